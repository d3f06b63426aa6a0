#pragma once

// What a run needs from the platform besides child processes: showing the transcoder log, the log
// file itself, and telling the user that a run has ended.

#include <string>

namespace cantova::jobs {

// Shows the transcoder log to the user.
class LogViewer {
public:
    virtual ~LogViewer() = default;
    virtual void ShowLog(const std::string& path) = 0;
};

// The transcoder log as a run handles it: the old log is removed before the run, and the new one
// is looked for afterwards.
class TranscoderLogFiles {
public:
    virtual ~TranscoderLogFiles() = default;
    virtual void RemoveOld(const std::string& path) = 0;
    virtual bool Exists(const std::string& path) = 0;
};

// Tells the user that a run has ended, outside the window (a desktop notification).
class RunNotifier {
public:
    virtual ~RunNotifier() = default;
    virtual void RunEnded(int doneJobs, int unfinishedJobs) = 0;
};

// The log files as they are on disk.
TranscoderLogFiles& SystemTranscoderLogFiles();

// Shows nothing, tells nothing: for callers without a viewer or notifications.
LogViewer& SilentLogViewer();
RunNotifier& SilentRunNotifier();

} // namespace cantova::jobs
