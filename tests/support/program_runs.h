#pragma once

#include <string>
#include <utility>
#include <vector>

// Helpers for the tests that run the transcoder and the engines as programs.
namespace cantova::testing {

// True when every program is found in PATH.
bool programsAvailable(const std::vector<std::string>& programs);

struct ProgramRun {
    int exitCode = -1;
    std::string output; // standard output
};

// Variables set in a child's environment on top of the test's own.
using Environment = std::vector<std::pair<std::string, std::string>>;

// Runs a program with its argument vector, no shell, collecting its standard output.
ProgramRun runProgram(const std::vector<std::string>& arguments,
                      const Environment& environment = {});

// Runs a program and sends it SIGTERM once its standard output holds the marker text.
ProgramRun runProgramStoppedAt(const std::vector<std::string>& arguments,
                               const std::string& marker);

// Runs ffmpeg with the arguments and fails the current test when it does not succeed.
void runFfmpeg(const std::vector<std::string>& arguments);

struct AudioStreamInfo {
    std::string codec;
    int channels = 0;
    int sampleRate = 0;
    long bitRate = 0;
};

AudioStreamInfo probeAudio(const std::string& path);
// The length in seconds a decoder plays back (encoder delay and padding removed).
double decodedSeconds(const std::string& path);
// The sizes in bytes of the first audio stream's packets, in file order.
std::vector<long> packetSizes(const std::string& path);
// The overall peak level of the decoded file in dBFS.
double decodedPeakDb(const std::string& path);

std::string readFile(const std::string& path);
// The file names in a folder, sorted.
std::vector<std::string> filesIn(const std::string& folder);

} // namespace cantova::testing
