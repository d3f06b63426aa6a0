#pragma once

#include "support/program_runs.h"

#include <chrono>
#include <complex>
#include <filesystem>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

// What the sound measurements and the file-safety tests share: the transcoder started as a
// process under the test's control, test signals, and the analysis of decoded outputs.
namespace cantova::testing {

using Words = std::vector<std::string>;

// Splits groups written as one line at blanks.
Words wordsOf(const std::string& line);

// The transcoder's command line for a job: the core group (with the channel flag, when given)
// and the other groups.
Words transcoderCommand(const std::string& input, const std::string& output, const std::string& log,
                        const std::string& groups, const std::string& channelFlag = "");

struct ProcessOptions {
    Environment environment;
    std::string workingDirectory; // empty: the test's own
    // Largest file the process and its children may write (RLIMIT_FSIZE, with SIGXFSZ
    // ignored, so that writing past it fails as on a full disk); 0: no limit.
    long long fileSizeLimit = 0;
    // The child waits before exec until release(), so that the test knows its pid first.
    bool holdBeforeExec = false;
};

// A program started in the background with its standard output in a pipe.
class Process {
public:
    explicit Process(const Words& arguments, const ProcessOptions& options = {});
    ~Process(); // a process still running is killed and reaped
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    pid_t pid() const { return pid_; }
    void release();
    // Reads the standard output until it holds text; false when it ended or time ran out.
    bool waitForOutput(const std::string& text, std::chrono::milliseconds timeout);
    void closeOutput();
    // The exit status, -1 when a signal ended it, nothing when it still runs after timeout.
    std::optional<int> wait(std::chrono::milliseconds timeout);
    const std::string& output() const { return output_; }

private:
    bool readAvailable(int timeoutMilliseconds);

    pid_t pid_ = -1;
    int output_fd_ = -1;
    int hold_fd_ = -1;
    bool reaped_ = false;
    std::string output_;
};

// Runs the commands, a few at a time, with their standard output discarded; the exit
// statuses in the same order.
std::vector<int> runInParallel(const std::vector<Words>& commands);

// Makes this test process adopt the orphans of the processes it starts (its grandchildren
// whose parent died), for as long as it lives; then reaps every such process that ends within
// the timeout, and returns how many are still running (which it kills).
class OrphanCatcher {
public:
    OrphanCatcher();
    ~OrphanCatcher();
    int stillRunningAfter(std::chrono::milliseconds timeout);
};

// The engines' stand-in of the fault tests (engine_gate): a folder to put first in PATH in which
// the named engines wait, when started with the word among their arguments (any, when it is
// empty), until the test opens the gate.
class EngineGate {
public:
    EngineGate(const std::filesystem::path& folder, const Words& engines, std::string word = "");
    // The engines ignore SIGTERM, SIGINT and SIGHUP while they wait.
    void ignoreStopSignals() { ignoreStopSignals_ = true; }
    Environment environment() const;
    // Waits until count engines have arrived at the gate.
    bool waitForArrivals(int count, std::chrono::milliseconds timeout) const;
    void open() const;

private:
    std::filesystem::path folder_;
    std::string word_;
    bool ignoreStopSignals_ = false;
};

// The samples of a decoded file, interleaved, as 32-bit float.
struct DecodedAudio {
    int sampleRate = 0;
    int channels = 0;
    std::vector<float> samples;
    std::size_t frames() const { return channels == 0 ? 0 : samples.size() / channels; }
};

DecodedAudio decodeAudio(const std::string& path);

double decibels(double linear);
// A tone (a whole number of Hz, even) in one channel, over the half second in the middle of
// the file, as amplitude and phase.
std::complex<double> toneComponent(const DecodedAudio& audio, int channel, double hertz);
double toneAmplitude(const DecodedAudio& audio, int channel, double hertz);
// The share of the middle half second's power in one channel that is not in the tones, in dB.
double residualDb(const DecodedAudio& audio, int channel, const std::vector<double>& tones);
double peakDb(const DecodedAudio& audio);
double peakDb(const DecodedAudio& audio, int channel);
double rmsDb(const DecodedAudio& audio, int channel);
// How many samples later than in the source the stretch of channel 0 that starts at frame `at`
// lies in the output (within maxLag either way): where the two match best.
int lagOf(const DecodedAudio& output, const DecodedAudio& source, std::size_t at,
          std::size_t length, int maxLag);
// Samples at full scale next to another at full scale: the flat tops of a clipped signal.
int clippedSamples(const DecodedAudio& audio);

// The number in the log's last line that begins with head and ends with tail; NaN when none.
double loggedNumber(const std::string& log, const std::string& head, const std::string& tail);

// A mono AC3 stream of noise (dithered, with no coded mantissas) whose every audio block
// carries the dynamic range word dynrng and whose every frame carries the heavy compression
// word compr: the encoder of the installed ffmpeg writes neither.
void writeCompressedAc3(const std::string& path, int dynrng, int compr, double seconds);

} // namespace cantova::testing
