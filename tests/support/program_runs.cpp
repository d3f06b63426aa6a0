#include "support/program_runs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace cantova::testing {

namespace fs = std::filesystem;

bool programsAvailable(const std::vector<std::string>& programs) {
    const char* path = std::getenv("PATH");
    std::vector<std::string> folders;
    std::stringstream list(path != nullptr ? path : "");
    for (std::string folder; std::getline(list, folder, ':');) {
        folders.push_back(folder);
    }
    return std::all_of(programs.begin(), programs.end(), [&](const std::string& program) {
        return std::any_of(folders.begin(), folders.end(), [&](const std::string& folder) {
            return ::access((fs::path(folder) / program).c_str(), X_OK) == 0;
        });
    });
}

namespace {

ProgramRun runProgramUntil(const std::vector<std::string>& arguments,
                           const Environment& environment, const std::string* marker) {
    int output[2];
    if (::pipe(output) != 0) {
        return {};
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(output[1], 1);
        ::close(output[0]);
        ::close(output[1]);
        for (const auto& [name, value] : environment) {
            ::setenv(name.c_str(), value.c_str(), 1);
        }
        std::vector<char*> argv;
        for (const std::string& word : arguments) {
            argv.push_back(const_cast<char*>(word.c_str()));
        }
        argv.push_back(nullptr);
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(output[1]);
    ProgramRun run;
    char buffer[4096];
    bool stopped = false;
    for (ssize_t count; (count = ::read(output[0], buffer, sizeof buffer)) > 0;) {
        run.output.append(buffer, static_cast<std::size_t>(count));
        if (marker != nullptr && !stopped && run.output.find(*marker) != std::string::npos) {
            ::kill(pid, SIGTERM);
            stopped = true;
        }
    }
    ::close(output[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

} // namespace

ProgramRun runProgram(const std::vector<std::string>& arguments, const Environment& environment) {
    return runProgramUntil(arguments, environment, nullptr);
}

ProgramRun runProgramStoppedAt(const std::vector<std::string>& arguments,
                               const std::string& marker) {
    return runProgramUntil(arguments, {}, &marker);
}

void runFfmpeg(const std::vector<std::string>& arguments) {
    std::vector<std::string> command = {"ffmpeg", "-v", "error", "-nostdin", "-y"};
    command.insert(command.end(), arguments.begin(), arguments.end());
    ASSERT_EQ(runProgram(command).exitCode, 0) << "ffmpeg could not make a test source";
}

namespace {

std::string valueOf(const std::string& text, const std::string& key) {
    const auto at = text.find(key + "=");
    if (at == std::string::npos) {
        return {};
    }
    const auto start = at + key.size() + 1;
    return text.substr(start, text.find('\n', start) - start);
}

long numberOf(const std::string& text, const std::string& key) {
    const std::string value = valueOf(text, key);
    return value.empty() || value == "N/A" ? 0 : std::stol(value);
}

} // namespace

AudioStreamInfo probeAudio(const std::string& path) {
    const ProgramRun run =
        runProgram({"ffprobe", "-v", "error", "-select_streams", "a:0", "-show_entries",
                    "stream=codec_name,channels,sample_rate,bit_rate", "-of",
                    "default=noprint_wrappers=1", path});
    AudioStreamInfo info;
    info.codec = valueOf(run.output, "codec_name");
    info.channels = static_cast<int>(numberOf(run.output, "channels"));
    info.sampleRate = static_cast<int>(numberOf(run.output, "sample_rate"));
    info.bitRate = numberOf(run.output, "bit_rate");
    return info;
}

double decodedSeconds(const std::string& path) {
    const ProgramRun run = runProgram({"ffmpeg", "-v", "error", "-nostdin", "-i", path, "-f",
                                       "null", "-", "-progress", "pipe:1"});
    const auto at = run.output.rfind("out_time_us=");
    if (at == std::string::npos) {
        return -1.0;
    }
    return std::stod(run.output.substr(at + 12)) / 1e6;
}

std::vector<long> packetSizes(const std::string& path) {
    const ProgramRun run =
        runProgram({"ffprobe", "-v", "error", "-select_streams", "a:0", "-show_entries",
                    "packet=size", "-of", "default=noprint_wrappers=1:nokey=1", path});
    std::vector<long> sizes;
    std::istringstream lines(run.output);
    for (long size; lines >> size;) {
        sizes.push_back(size);
    }
    return sizes;
}

double decodedPeakDb(const std::string& path) {
    const std::string log = fs::temp_directory_path() / ("peak-" + std::to_string(::getpid()));
    runProgram({"ffmpeg", "-v", "error", "-nostdin", "-i", path, "-af",
                "astats=metadata=1:measure_perchannel=none:measure_overall=Peak_level,ametadata="
                "mode=print:"
                "key=lavfi.astats.Overall.Peak_level:file=" +
                    log,
                "-f", "null", "-"});
    const std::string text = readFile(log);
    fs::remove(log);
    const auto at = text.rfind("Peak_level=");
    return at == std::string::npos ? -1000.0 : std::stod(text.substr(at + 11));
}

DecodedTone decodedTone(const std::string& path) {
    const std::string log = fs::temp_directory_path() / ("tone-" + std::to_string(::getpid()));
    runProgram({"ffmpeg", "-v", "error", "-nostdin", "-i", path, "-vn", "-af",
                "aresample=48000,aformat=channel_layouts=mono,astats=metadata=1:reset=0,ametadata="
                "mode=print:"
                "file=" +
                    log,
                "-f", "null", "-"});
    const std::string text = readFile(log);
    fs::remove(log);
    const auto number = [&](const std::string& key) -> std::optional<double> {
        const auto at = text.rfind("lavfi.astats.1." + key + "=");
        if (at == std::string::npos) {
            return std::nullopt;
        }
        return std::stod(text.substr(at + key.size() + 16));
    };
    DecodedTone tone;
    tone.hertz = number("Zero_crossings_rate").value_or(0) * 48000.0 / 2.0;
    tone.rmsDb = number("RMS_level").value_or(-1000);
    return tone;
}

void makeToneMedia(const std::string& path, const std::vector<ToneTrack>& tracks,
                   bool withPicture) {
    std::vector<std::string> arguments;
    std::vector<std::string> maps;
    const bool program = path.ends_with(".vob") || path.ends_with(".ts") ||
                         path.ends_with(".mpg") || path.ends_with(".m2ts");
    if (withPicture) {
        arguments.insert(arguments.end(), {"-f", "lavfi", "-i", "color=s=64x48:d=2:r=25"});
        maps.insert(maps.end(), {"-map", "0:v", "-c:v", program ? "mpeg2video" : "mpeg4"});
    }
    for (std::size_t i = 0; i < tracks.size(); ++i) {
        const ToneTrack& track = tracks[i];
        const std::string input = std::to_string(i + (withPicture ? 1 : 0));
        const std::string audio = std::to_string(i);
        if (track.startSeconds != 0) {
            arguments.insert(arguments.end(), {"-itsoffset", std::to_string(track.startSeconds)});
        }
        arguments.insert(
            arguments.end(),
            {"-f", "lavfi", "-i", "sine=f=" + std::to_string(track.hertz) + ":d=2:r=48000"});
        maps.insert(maps.end(), {"-map", input + ":a", "-c:a:" + audio, track.codec,
                                 "-ac:a:" + audio, std::to_string(track.channels),
                                 "-disposition:a:" + audio, track.isDefault ? "default" : "0"});
        if (!track.language.empty()) {
            maps.insert(maps.end(), {"-metadata:s:a:" + audio, "language=" + track.language});
        }
        if (!track.title.empty()) {
            maps.insert(maps.end(), {"-metadata:s:a:" + audio, "title=" + track.title});
        }
    }
    arguments.insert(arguments.end(), maps.begin(), maps.end());
    arguments.push_back(path);
    runFfmpeg(arguments);
}

std::string readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::vector<std::string> filesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace cantova::testing
