#include "transcoder/transcoder_harness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace cantova::testing {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

Words wordsOf(const std::string& line) {
    std::istringstream in(line);
    Words words;
    for (std::string word; in >> word;) {
        words.push_back(word);
    }
    return words;
}

Words transcoderCommand(const std::string& input, const std::string& output, const std::string& log,
                        const std::string& groups, const std::string& channelFlag) {
    Words command = {CANTOVA_TRANSCODER, "-core(", "-input", input, "-output", output};
    if (!channelFlag.empty()) {
        command.push_back(channelFlag);
    }
    for (const std::string& word : Words{"-logfilea", log, ")"}) {
        command.push_back(word);
    }
    for (const std::string& word : wordsOf(groups)) {
        command.push_back(word);
    }
    return command;
}

namespace {

std::vector<char*> argumentVector(const Words& arguments) {
    std::vector<char*> argv;
    for (const std::string& word : arguments) {
        argv.push_back(const_cast<char*>(word.c_str()));
    }
    argv.push_back(nullptr);
    return argv;
}

} // namespace

Process::Process(const Words& arguments, const ProcessOptions& options) {
    int output[2];
    int hold[2];
    if (::pipe2(output, O_CLOEXEC) != 0 || ::pipe2(hold, O_CLOEXEC) != 0) {
        ADD_FAILURE() << "cannot make a pipe";
        return;
    }
    std::vector<char*> argv = argumentVector(arguments);
    pid_ = ::fork();
    if (pid_ == 0) {
        ::dup2(output[1], 1);
        for (const auto& [name, value] : options.environment) {
            ::setenv(name.c_str(), value.c_str(), 1);
        }
        if (!options.workingDirectory.empty() && ::chdir(options.workingDirectory.c_str()) != 0) {
            ::_exit(126);
        }
        if (options.fileSizeLimit > 0) {
            ::signal(SIGXFSZ, SIG_IGN); // kept by exec: writes past the limit fail with EFBIG
            const rlimit limit{static_cast<rlim_t>(options.fileSizeLimit),
                               static_cast<rlim_t>(options.fileSizeLimit)};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        if (options.holdBeforeExec) {
            char go = 0;
            ::close(hold[1]);
            if (::read(hold[0], &go, 1) != 1) {
                ::_exit(126);
            }
        }
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(output[1]);
    ::close(hold[0]);
    output_fd_ = output[0];
    hold_fd_ = hold[1];
}

Process::~Process() {
    if (pid_ > 0 && !reaped_) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    closeOutput();
    if (hold_fd_ >= 0) {
        ::close(hold_fd_);
    }
}

void Process::release() {
    const char go = 1;
    EXPECT_EQ(::write(hold_fd_, &go, 1), 1);
}

void Process::closeOutput() {
    if (output_fd_ >= 0) {
        ::close(output_fd_);
        output_fd_ = -1;
    }
}

bool Process::readAvailable(int timeoutMilliseconds) {
    if (output_fd_ < 0) {
        return false;
    }
    pollfd polled{output_fd_, POLLIN, 0};
    if (::poll(&polled, 1, timeoutMilliseconds) <= 0) {
        return true;
    }
    char buffer[4096];
    const ssize_t count = ::read(output_fd_, buffer, sizeof buffer);
    if (count <= 0) {
        closeOutput();
        return false;
    }
    output_.append(buffer, static_cast<std::size_t>(count));
    return true;
}

bool Process::waitForOutput(const std::string& text, std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    while (output_.find(text) == std::string::npos) {
        if (Clock::now() > deadline || !readAvailable(20)) {
            return output_.find(text) != std::string::npos;
        }
    }
    return true;
}

std::optional<int> Process::wait(std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    while (true) {
        int status = 0;
        const pid_t done = ::waitpid(pid_, &status, WNOHANG);
        if (done == pid_) {
            reaped_ = true;
            while (readAvailable(0)) {
            }
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        if (Clock::now() > deadline) {
            return std::nullopt;
        }
        if (!readAvailable(20)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
}

std::vector<int> runInParallel(const std::vector<Words>& commands) {
    constexpr std::size_t kAtOnce = 3;
    std::vector<int> statuses(commands.size(), -1);
    std::vector<std::pair<pid_t, std::size_t>> running;
    std::size_t next = 0;
    while (next < commands.size() || !running.empty()) {
        while (next < commands.size() && running.size() < kAtOnce) {
            std::vector<char*> argv = argumentVector(commands[next]);
            const pid_t pid = ::fork();
            if (pid == 0) {
                const int nothing = ::open("/dev/null", O_WRONLY);
                ::dup2(nothing, 1);
                ::execvp(argv[0], argv.data());
                ::_exit(127);
            }
            running.emplace_back(pid, next++);
        }
        int status = 0;
        const pid_t done = ::waitpid(-1, &status, 0);
        const auto finished = std::find_if(running.begin(), running.end(),
                                           [&](const auto& run) { return run.first == done; });
        if (finished != running.end()) {
            statuses[finished->second] = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            running.erase(finished);
        }
    }
    return statuses;
}

OrphanCatcher::OrphanCatcher() {
    ::prctl(PR_SET_CHILD_SUBREAPER, 1);
}

OrphanCatcher::~OrphanCatcher() {
    ::prctl(PR_SET_CHILD_SUBREAPER, 0);
}

int OrphanCatcher::stillRunningAfter(std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    while (Clock::now() < deadline) {
        const pid_t done = ::waitpid(-1, nullptr, WNOHANG);
        if (done < 0 && errno == ECHILD) {
            return 0;
        }
        if (done == 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }
    // The adopted ones still running are our children now: find them, kill and reap them.
    int running = 0;
    for (const auto& entry : fs::directory_iterator("/proc")) {
        std::ifstream stat(entry.path() / "stat");
        std::string text((std::istreambuf_iterator<char>(stat)), {});
        const auto close = text.rfind(')');
        if (close == std::string::npos) {
            continue;
        }
        std::istringstream fields(text.substr(close + 2));
        std::string state;
        pid_t parent = 0;
        fields >> state >> parent;
        if (parent == ::getpid()) {
            const pid_t pid = std::stoi(entry.path().filename().string());
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
            ++running;
        }
    }
    return running;
}

EngineGate::EngineGate(const fs::path& folder, const Words& engines, std::string word)
    : folder_(folder), word_(std::move(word)) {
    fs::create_directories(folder_);
    for (const std::string& engine : engines) {
        fs::create_symlink(CANTOVA_ENGINE_GATE, folder_ / engine);
    }
}

Environment EngineGate::environment() const {
    const char* path = std::getenv("PATH");
    const std::string original = path != nullptr ? path : "/usr/bin:/bin";
    Environment environment = {{"PATH", folder_.string() + ":" + original},
                               {"CANTOVA_TEST_GATE", folder_.string()},
                               {"CANTOVA_TEST_GATE_PATH", original}};
    if (!word_.empty()) {
        environment.emplace_back("CANTOVA_TEST_GATE_WORD", word_);
    }
    if (ignoreStopSignals_) {
        environment.emplace_back("CANTOVA_TEST_GATE_DEAF", "1");
    }
    return environment;
}

bool EngineGate::waitForArrivals(int count, std::chrono::milliseconds timeout) const {
    const auto deadline = Clock::now() + timeout;
    while (Clock::now() < deadline) {
        int arrived = 0;
        for (const auto& entry : fs::directory_iterator(folder_)) {
            arrived += entry.path().filename().string().starts_with("arrived-") ? 1 : 0;
        }
        if (arrived >= count) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

void EngineGate::open() const {
    std::ofstream(folder_ / "open") << "open\n";
}

DecodedAudio decodeAudio(const std::string& path) {
    const AudioStreamInfo info = probeAudio(path);
    DecodedAudio audio;
    audio.sampleRate = info.sampleRate;
    audio.channels = info.channels;
    const ProgramRun run = runProgram({"ffmpeg", "-v", "error", "-nostdin", "-i", path, "-map",
                                       "0:a:0", "-f", "f32le", "-c:a", "pcm_f32le", "-"});
    EXPECT_EQ(run.exitCode, 0) << "ffmpeg could not decode " << path;
    audio.samples.resize(run.output.size() / sizeof(float));
    std::copy_n(run.output.data(), audio.samples.size() * sizeof(float),
                reinterpret_cast<char*>(audio.samples.data()));
    return audio;
}

double decibels(double linear) {
    return 20.0 * std::log10(std::max(linear, 1e-12));
}

namespace {

// The half second in the middle: every tone at a whole even number of Hz fills it with whole
// periods, so tones do not leak into each other's measurement.
std::pair<std::size_t, std::size_t> middleHalfSecond(const DecodedAudio& audio) {
    const std::size_t length = static_cast<std::size_t>(audio.sampleRate / 2);
    EXPECT_GE(audio.frames(), length);
    return {(audio.frames() - std::min(length, audio.frames())) / 2, length};
}

} // namespace

std::complex<double> toneComponent(const DecodedAudio& audio, int channel, double hertz) {
    const auto [start, length] = middleHalfSecond(audio);
    std::complex<double> sum;
    const double step = 2.0 * M_PI * hertz / audio.sampleRate;
    for (std::size_t i = 0; i < length; ++i) {
        const double sample = audio.samples[(start + i) * audio.channels + channel];
        sum += sample * std::polar(1.0, -step * static_cast<double>(i));
    }
    return 2.0 * sum / static_cast<double>(length);
}

double toneAmplitude(const DecodedAudio& audio, int channel, double hertz) {
    return std::abs(toneComponent(audio, channel, hertz));
}

double residualDb(const DecodedAudio& audio, int channel, const std::vector<double>& tones) {
    const auto [start, length] = middleHalfSecond(audio);
    double power = 0.0;
    for (std::size_t i = 0; i < length; ++i) {
        const double sample = audio.samples[(start + i) * audio.channels + channel];
        power += sample * sample;
    }
    power /= static_cast<double>(length);
    double tonePower = 0.0;
    for (double hertz : tones) {
        const double amplitude = toneAmplitude(audio, channel, hertz);
        tonePower += amplitude * amplitude / 2.0;
    }
    return 10.0 * std::log10(std::max(power - tonePower, 1e-20) / power);
}

double peakDb(const DecodedAudio& audio) {
    float peak = 0.0f;
    for (float sample : audio.samples) {
        peak = std::max(peak, std::abs(sample));
    }
    return decibels(peak);
}

double peakDb(const DecodedAudio& audio, int channel) {
    float peak = 0.0f;
    for (std::size_t i = 0; i < audio.frames(); ++i) {
        peak = std::max(peak, std::abs(audio.samples[i * audio.channels + channel]));
    }
    return decibels(peak);
}

int lagOf(const DecodedAudio& output, const DecodedAudio& source, std::size_t at,
          std::size_t length, int maxLag) {
    int best = 0;
    double bestMatch = -INFINITY;
    for (int lag = -maxLag; lag <= maxLag; ++lag) {
        double match = 0.0;
        for (std::size_t i = at; i < at + length; ++i) {
            const std::size_t shifted = static_cast<std::size_t>(static_cast<long long>(i) + lag);
            if (shifted < output.frames() && i < source.frames()) {
                match +=
                    output.samples[shifted * output.channels] * source.samples[i * source.channels];
            }
        }
        if (match > bestMatch) {
            bestMatch = match;
            best = lag;
        }
    }
    return best;
}

double rmsDb(const DecodedAudio& audio, int channel) {
    double power = 0.0;
    for (std::size_t i = 0; i < audio.frames(); ++i) {
        const double sample = audio.samples[i * audio.channels + channel];
        power += sample * sample;
    }
    return 10.0 * std::log10(std::max(power / static_cast<double>(audio.frames()), 1e-20));
}

int clippedSamples(const DecodedAudio& audio) {
    const auto atFullScale = [](float sample) { return std::abs(sample) >= 32767.0f / 32768.0f; };
    int clipped = 0;
    for (int channel = 0; channel < audio.channels; ++channel) {
        for (std::size_t i = 1; i < audio.frames(); ++i) {
            clipped += atFullScale(audio.samples[i * audio.channels + channel]) &&
                               atFullScale(audio.samples[(i - 1) * audio.channels + channel])
                           ? 1
                           : 0;
        }
    }
    return clipped;
}

double loggedNumber(const std::string& log, const std::string& head, const std::string& tail) {
    double found = std::nan("");
    for (std::size_t at = log.find(head); at != std::string::npos; at = log.find(head, at + 1)) {
        if (at > 0 && log[at - 1] != '\n') {
            continue;
        }
        const std::size_t end = log.find('\n', at);
        const std::string line = log.substr(at + head.size(), end - at - head.size());
        if (line.ends_with(tail)) {
            found = std::stod(line.substr(0, line.size() - tail.size()));
        }
    }
    return found;
}

namespace {

class BitWriter {
public:
    explicit BitWriter(std::size_t bytes) : bytes_(bytes, 0) {}
    void put(unsigned value, int bits) {
        for (int bit = bits - 1; bit >= 0; --bit, ++position_) {
            if (((value >> bit) & 1u) != 0) {
                bytes_[position_ / 8] |= static_cast<std::uint8_t>(0x80u >> (position_ % 8));
            }
        }
    }
    std::vector<std::uint8_t>& bytes() { return bytes_; }

private:
    std::vector<std::uint8_t> bytes_;
    std::size_t position_ = 0;
};

// AC3's CRC: x^16 + x^15 + x^2 + 1, most significant bit first, starting from 0.
std::uint16_t crc16(const std::uint8_t* data, std::size_t size) {
    std::uint16_t crc = 0;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= static_cast<std::uint16_t>(data[i] << 8);
        for (int bit = 0; bit < 8; ++bit) {
            crc =
                static_cast<std::uint16_t>((crc & 0x8000u) != 0 ? (crc << 1) ^ 0x8005u : crc << 1);
        }
    }
    return crc;
}

// The word at the start of a region that makes the region's CRC zero: the CRC is linear, so
// the word's share is found from the CRCs of its single bits followed by zeros.
std::uint16_t leadingCrcWord(std::vector<std::uint8_t> region) {
    region[0] = region[1] = 0;
    const std::uint16_t rest = crc16(region.data(), region.size());
    std::array<std::uint16_t, 16> ofBit{};
    std::vector<std::uint8_t> unit(region.size(), 0);
    for (int bit = 0; bit < 16; ++bit) {
        std::fill(unit.begin(), unit.end(), 0);
        unit[bit < 8 ? 1 : 0] = static_cast<std::uint8_t>(1u << (bit % 8));
        ofBit[bit] = crc16(unit.data(), unit.size());
    }
    for (unsigned word = 0; word <= 0xFFFF; ++word) {
        std::uint16_t share = 0;
        for (int bit = 0; bit < 16; ++bit) {
            share ^= ((word >> bit) & 1u) != 0 ? ofBit[bit] : 0;
        }
        if (share == rest) {
            return static_cast<std::uint16_t>(word);
        }
    }
    ADD_FAILURE() << "no CRC word found";
    return 0;
}

// One 32 kbit/s, 48 kHz mono frame (A/52 syntax, bsid 8) of six blocks whose mantissas all
// have zero bits: the decoder fills them with dither noise shaped by the exponents.
std::vector<std::uint8_t> compressedFrame(int dynrng, int compr) {
    constexpr std::size_t kFrameBytes = 128;
    constexpr std::size_t kFirstFiveEighths = ((kFrameBytes >> 2) + (kFrameBytes >> 4)) << 1;
    constexpr unsigned kExponent = 7;
    BitWriter out(kFrameBytes);
    out.put(0x0B77, 16); // syncword
    out.put(0, 16);      // crc1, below
    out.put(0, 2);       // 48 kHz
    out.put(0, 6);       // 32 kbit/s
    out.put(8, 5);       // bsid
    out.put(0, 3);       // complete main service
    out.put(1, 3);       // 1/0: mono
    out.put(0, 1);       // no LFE
    out.put(31, 5);      // dialogue at -31 dBFS
    out.put(1, 1);       // compre
    out.put(static_cast<unsigned>(compr), 8);
    out.put(0, 1); // no language code
    out.put(0, 1); // no production information
    out.put(0, 1); // not copyrighted
    out.put(1, 1); // original
    out.put(0, 2); // no time codes
    out.put(0, 1); // no additional information
    for (int block = 0; block < 6; ++block) {
        const bool first = block == 0;
        out.put(0, 1); // long transform
        out.put(1, 1); // dither
        out.put(1, 1); // dynrnge
        out.put(static_cast<unsigned>(dynrng), 8);
        out.put(first ? 1 : 0, 1); // new coupling strategy in block 0 ...
        if (first) {
            out.put(0, 1); // ... without coupling
        }
        out.put(first ? 1 : 0, 2); // exponents: D15 in block 0, reused after it
        if (first) {
            out.put(0, 6);         // bandwidth code 0: 73 coefficients
            out.put(kExponent, 4); // the first exponent ...
            for (int group = 0; group < 24; ++group) {
                out.put(62, 7); // ... and 72 more alike (deltas 0, 0, 0)
            }
            out.put(0, 2); // gainrng
        }
        out.put(first ? 1 : 0, 1); // bit allocation parameters in block 0
        if (first) {
            out.put(2, 2); // slow decay
            out.put(1, 2); // fast decay
            out.put(1, 2); // slow gain
            out.put(2, 2); // dB per bit
            out.put(4, 3); // floor
        }
        out.put(first ? 1 : 0, 1); // SNR offsets in block 0:
        if (first) {
            out.put(0, 6); // coarse 0 and fine 0: no mantissa gets a bit
            out.put(0, 4);
            out.put(4, 3); // fast gain
        }
        out.put(0, 1); // no delta bit allocation
        out.put(0, 1); // no skipped data
    }
    std::vector<std::uint8_t>& frame = out.bytes();
    const std::uint16_t crc1 =
        leadingCrcWord({frame.begin() + 2, frame.begin() + kFirstFiveEighths});
    frame[2] = static_cast<std::uint8_t>(crc1 >> 8);
    frame[3] = static_cast<std::uint8_t>(crc1 & 0xFF);
    const std::uint16_t crc2 =
        crc16(frame.data() + kFirstFiveEighths, kFrameBytes - kFirstFiveEighths - 2);
    frame[kFrameBytes - 2] = static_cast<std::uint8_t>(crc2 >> 8);
    frame[kFrameBytes - 1] = static_cast<std::uint8_t>(crc2 & 0xFF);
    return frame;
}

} // namespace

void writeCompressedAc3(const std::string& path, int dynrng, int compr, double seconds) {
    const std::vector<std::uint8_t> frame = compressedFrame(dynrng, compr);
    std::ofstream file(path, std::ios::binary);
    for (int i = 0; i < static_cast<int>(std::ceil(seconds * 48000.0 / 1536.0)); ++i) {
        file.write(reinterpret_cast<const char*>(frame.data()),
                   static_cast<std::streamsize>(frame.size()));
    }
}

} // namespace cantova::testing
