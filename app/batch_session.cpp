#include "app/batch_session.h"

#include "jobs/job_files.h"

namespace cantova::app {

void PrintedMessageBoxes::Show(const std::string& text, const std::string& caption,
                               ui::MessageIcon) {
    out_ << "message: " << caption << ": " << text << '\n';
}

void PrintedMessageBoxes::Ask(const std::string& text, const std::string& caption,
                              Answer answered) {
    out_ << "message: " << caption << ": " << text << '\n';
    answered(answer_);
}

void PrintedClipboard::CopyLines(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        out_ << "clipboard: " << line << '\n';
    }
}

BatchSession::BatchSession(std::ostream& out, const BatchOptions& options)
    : out(out), options(options) {
    program.runner.setJobsAtOnce(options.jobsAtOnce);
    queueSubscription_ =
        program.queue.subscribe([this](const jobs::JobListChange& change) { printSound(change); });
}

BatchSession::~BatchSession() {
    program.queue.unsubscribe(queueSubscription_);
}

void BatchSession::printSound(const jobs::JobListChange& change) {
    if (change.kind != jobs::JobListChange::Kind::Updated) {
        return;
    }
    const jobs::Job& job = program.queue.at(change.first);
    if (job.status == jobs::JobStatus::Done && job.sound) {
        out << "sound: " << jobs::FileNamePart(job.source) << ": "
            << jobs::SoundReportText(*job.sound) << '\n';
    }
}

void BatchSession::RunUntilIdle() {
    if (options.dryRun) {
        dryRunLauncher.RunUntilIdle();
    } else {
        spawnLauncher.RunUntilIdle();
    }
}

} // namespace cantova::app
