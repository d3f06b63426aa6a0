#include "command/command_line_error.h"
#include "command/command_line_parser.h"
#include "engines/engine_pipeline.h"
#include "engines/progress_reporter.h"
#include "engines/stop_request.h"
#include "files/output_files.h"
#include "files/run_log.h"
#include "transcode_job.h"

#include <fcntl.h>
#include <iostream>
#include <optional>
#include <span>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kExitRefused = 2;
constexpr int kExitFailed = 1;

constexpr const char* kHelp =
    "Usage: Cantova -core( -input SOURCE -output TARGET [-2ch|-6chwav|-6ch] -logfilea LOG )\n"
    "               [-ota( ... )] [-azid( ... )] [-boost( ... )]\n"
    "               [-lame( ... ) | -ogg( ... ) | -ac3enc( ... )] [-ssrc( ... )] [-split( ... )]\n"
    "       Cantova --help | --version\n"
    "Transcodes one audio stream with ffmpeg, lame and oggenc as the job's command line says,\n"
    "appends what it did to LOG and prints 'progress N%' lines. The target follows TARGET's\n"
    "extension (.ac3, .mp3, .ogg, .wav). Exit status: 0 done, 1 the job failed, 2 the command\n"
    "line was refused. The groups and their switches: man Cantova.\n";

std::string resultList(const std::vector<std::string>& files) {
    std::string text;
    for (const std::string& file : files) {
        text += (text.empty() ? "" : ", ") + file;
    }
    return text;
}

// A standard descriptor the program was started without is opened on /dev/null, so that no
// file the program opens lands there and receives what was meant for it.
void openMissingStandardDescriptors() {
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) < 0) {
            const int opened = ::open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
            if (opened >= 0 && opened != fd) {
                ::dup2(opened, fd);
                ::close(opened);
            }
        }
    }
}

// A failed job's result line goes to the standard output as well, where it can be read even when
// the log could not take it (a job done ends its output with "progress 100%" as before), and its
// reason is the standard error's last line, where the front end looks when the log holds none.
int failJob(cantova::RunLog& log, const std::string& reason) {
    const std::string result = "result: FAILED, " + reason;
    log.write(result);
    std::cout << result << std::endl;
    std::cerr << "Cantova: failed: " << reason << '\n';
    return kExitFailed;
}

std::optional<cantova::FileIdentity> fileReachedBy(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        return std::nullopt;
    }
    return cantova::FileIdentity{status.st_dev, status.st_ino};
}

} // namespace

int main(int argc, char** argv) {
    using namespace cantova;
    openMissingStandardDescriptors();
    installStopHandlers();
    const std::vector<std::string> received(argv, argv + argc);
    const std::span<const std::string> words = std::span(received).subspan(1);
    if (words.size() == 1 && (words[0] == "--help" || words[0] == "--version")) {
        std::cout << (words[0] == "--help" ? kHelp : "Cantova " CANTOVA_VERSION "\n");
        return 0;
    }

    JobRequest job;
    try {
        job = parseCommandLine(words);
    } catch (const CommandLineError& error) {
        std::cerr << "Cantova: command line refused: " << error.what() << '\n';
        if (auto logFile = findLogFile(words)) {
            RunLog log(*logFile);
            log.beginEntry(describeCommand(received));
            log.write(std::string("result: FAILED, command line refused: ") + error.what());
        }
        return kExitRefused;
    }

    RunLog log(job.core.logFile);
    std::string refusal = log.refusal();
    if (refusal.empty() && log.identity() && log.identity() == fileReachedBy(job.core.input)) {
        refusal = "the log " + job.core.logFile + " is the input itself";
    }
    if (!refusal.empty()) {
        std::cerr << "Cantova: command line refused: " << refusal << '\n';
        return kExitRefused;
    }
    log.beginEntry(describeCommand(received));
    if (!log.failure().empty()) {
        return failJob(log, log.failure());
    }
    const double delayForProgress = job.ota && !job.ota->autoDelay ? job.ota->delayMs : 0.0;
    ProgressReporter progress(std::cout, [&](double sourceSeconds) {
        return expectedOutputSeconds(job, delayForProgress, sourceSeconds);
    });
    try {
        const JobResult result = runTranscodeJob(job, log, progress);
        const std::vector<std::string>& written = result.files;
        log.write(
            "result: OK, wrote " + resultList(written) +
            (result.clippedSamples > 0
                 ? "; the output is clipped: " + std::to_string(result.clippedSamples) + " samples"
                 : ""));
        if (!log.failure().empty()) {
            // The outputs stand, but the log does not say so: the job is not reported done.
            return failJob(log,
                           log.failure() + "; the outputs were written: " + resultList(written));
        }
        return 0;
    } catch (const std::exception& error) {
        return failJob(log, error.what());
    }
}
