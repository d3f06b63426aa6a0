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

// The frequency in Hz of the tone the decoded file holds (from the zero crossings of its mono
// downmix), and its level in dBFS (RMS of that downmix).
struct DecodedTone {
    double hertz = 0;
    double rmsDb = -1000;
};
DecodedTone decodedTone(const std::string& path);

// One audio track of a generated media file: a sine tone of its own frequency.
struct ToneTrack {
    int hertz = 440;
    std::string codec = "ac3"; // ffmpeg's encoder name
    int channels = 2;
    std::string language; // empty: untagged
    std::string title;    // empty: none
    bool isDefault = false;
    double startSeconds = 0; // later than the picture by this much
};

// A track of the tone with the codec and channels, untagged and not marked as default.
inline ToneTrack tone(int hertz, std::string codec, int channels) {
    ToneTrack track;
    track.hertz = hertz;
    track.codec = std::move(codec);
    track.channels = channels;
    return track;
}

// Makes a media file of the container its extension names (".mkv", ".mp4", ".ts", ".vob",
// ".avi", ...), 2 seconds long, with a small picture track first (unless withPicture is false)
// and the tracks in order. Fails the current test when ffmpeg cannot make it.
void makeToneMedia(const std::string& path, const std::vector<ToneTrack>& tracks,
                   bool withPicture = true);

std::string readFile(const std::string& path);
// The file names in a folder, sorted.
std::vector<std::string> filesIn(const std::string& folder);

} // namespace cantova::testing
