#pragma once

#include "cmdline/typed_values.h"
#include "ui/job_kind.h"

#include <optional>
#include <string>

namespace cantova::ui {
struct Windows;
}

namespace cantova::cmdline {

// A job's source: the file, and the number of the audio track the job reads from it, for a
// container (0 for any other source).
struct JobSource {
    JobSource(std::string path, int track = 0) : path(std::move(path)), track(track) {}
    JobSource(const char* path) : path(path) {}
    std::string path;
    int track = 0;
};

// Whether a job keeps an AC3 source's frames as they are (the AC3 target without re-encoding).
bool KeepsAc3Frames(const ui::MainWindow& main);

// The whole command line of one job: the transcoder path, the core group with
// input, the track of a container (" -track N"), output (as passed, with its own quotes) and
// log, then the groups of the job kind in their order. A WAV job without an AC3 source carries
// the core group only, as does a job that keeps the frames of a container's AC3 track (the
// transcoder copies them out).
// Source and log are quoted so that each arrives as one argument whatever it holds.
// The typed texts the groups use go through the check when one is given. The log is the
// transcoder log of the user's home folder unless another is given.
std::string BuildJobCommand(const ui::Windows& windows, ui::JobKind jobKind,
                            const JobSource& source, const std::string& outputArgument,
                            TypedValueCheck* check = nullptr, const std::string& logPath = {});

// The command the current settings give as job number jobNumber, with the channel flag of a WAV
// target behind the output; nothing when no output name can be formed for the source.
std::optional<std::string> BuildCommandOfSettings(const ui::Windows& windows, int jobNumber,
                                                  const std::string& logPath = {});

} // namespace cantova::cmdline
