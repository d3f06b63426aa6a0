#pragma once

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace cantova {

// One engine started directly with its argument vector; the program is looked up in PATH.
struct EngineCommand {
    std::vector<std::string> arguments; // arguments[0] is the program
};

struct EngineOutcome {
    bool started = false;
    int exitCode = -1;       // -1 when it was not started or ended by a signal
    std::string errorOutput; // the end of what it wrote to its standard error
    bool succeeded() const { return started && exitCode == 0; }
};

struct PipelineListener {
    // Each line the first engine writes to descriptor 3 (ffmpeg's "-progress pipe:3").
    std::function<void(std::string_view)> progressLine;
    // Each line the first engine writes to its standard error.
    std::function<void(std::string_view)> firstEngineErrorLine;
    // The bytes an engine (the first, unless a tap names another) writes to each of its tap
    // descriptors (tapDescriptor), as they come: a stream of samples the transcoder measures.
    // They are read straight into the room the tap's receiver gives (never empty), which is
    // then told how many came.
    struct Tap {
        std::function<std::span<char>()> room;
        std::function<void(std::size_t)> filled;
        std::size_t engine = 0;
    };
    std::vector<Tap> taps;
    // A file that the engines before `reader` write, which `reader` reads on its standard input
    // as it grows: the transcoder empties it before they start (the reader gets nothing an
    // earlier pass wrote), hands the reader its bytes as they come, and ends its input once
    // those engines have ended. Its reader is fed by nothing else.
    struct GrowingFile {
        int descriptor = -1; // the transcoder's, open for reading
        std::size_t reader = 0;
    };
    std::optional<GrowingFile> growingFile;
};

// Every engine of a pass finds the descriptors handed to it at kFirstSharedDescriptor and on,
// and names them by these paths: the files being written are opened by the transcoder and
// reached by the engines through the descriptors, never through a name someone else could
// have prepared.
inline constexpr int kFirstSharedDescriptor = 4;
std::string sharedDescriptorPath(std::size_t index);

// The descriptor of the engine that feeds the listener's tap `index`. Taps lie after
// room for kMostSharedDescriptors shared ones, so that an engine's command line names them
// without knowing how many descriptors a pass shares (its outputs, and the source it reads).
inline constexpr std::size_t kMostSharedDescriptors = 16;
int tapDescriptor(std::size_t index);

// Runs the engines side by side, the standard output of each feeding the standard input of
// the next (but for the reader of a growing file), and waits for all of them. The first reads
// nothing, the last writes nowhere. Each engine is killed when the transcoder ends, however it
// ends; when a stop is requested it gets SIGTERM, and SIGKILL if it has not ended two seconds
// later.
std::vector<EngineOutcome> runEnginePipeline(const std::vector<EngineCommand>& engines,
                                             const PipelineListener& listener,
                                             const std::vector<int>& sharedDescriptors = {});

// One engine command as a line for the log, with words holding blanks in double quotes.
std::string describeCommand(const std::vector<std::string>& arguments);

} // namespace cantova
