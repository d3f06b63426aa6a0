#include "app/batch_session.h"

#include "jobs/job_files.h"

namespace cantova::app {

void PrintedMessageBoxes::Show(const std::string& text, const std::string& caption,
                               ui::MessageIcon icon) {
    warnings_ += icon == ui::MessageIcon::Exclamation ? 1 : 0;
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

// A step runs until no job runs: Exit never comes during a run.
void PrintedExitQuestion::AskAboutJobs(int jobs, bool, std::function<void(ExitChoice)> answer) {
    if (dryRun_) {
        out_ << "message: Exit: " << jobs
             << " job(s) in the list are discarded (a dry run keeps nothing)\n";
        answer(ExitChoice::Discard);
        return;
    }
    answer(ExitChoice::Keep);
}

void PrintedExitQuestion::TellKept(int jobs) {
    out_ << "message: Exit: " << jobs
         << " job(s) in the list are kept for the next start (--restore takes them back)\n";
}

ExitChoice PrintedExitQuestion::TellNotKept(int jobs, const std::string& why) {
    notKept_ = true;
    out_ << "message: Exit: " << jobs
         << " job(s) in the list could not be kept for the next start (" << why
         << "): they are discarded with their settings files\n";
    return ExitChoice::Discard;
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
        out << "sound: " << jobs::SourceLabel(job.source, job.track) << ": "
            << jobs::SoundReportText(*job.sound) << '\n';
    }
}

void BatchSession::RunUntilIdle() {
    if (options.dryRun) {
        dryRunLauncher.RunUntilIdle();
    } else {
        spawnLauncher.RunUntilIdle();
    }
    if (program.keeper) {
        program.keeper->SavePending();
    }
}

std::string BatchSession::KeepAfterStop() {
    const int jobs = program.queue.count();
    if (options.dryRun || !program.runner.lastRunEndedForExit() || jobs == 0) {
        return {};
    }
    const std::string counted = "; " + std::to_string(jobs) + " job(s) not done ";
    if (const std::optional<std::string> why = program.endWith(JobsAtEnd::KeepForNextStart)) {
        program.endWith(JobsAtEnd::Discard);
        return counted + "could not be kept for the next start (" + *why +
               "): they are discarded with their settings files";
    }
    return counted + "are kept for the next start (--restore takes them back)";
}

void BatchSession::TakeBackLeftJobs(std::ostream& err) {
    if (!program.keeper) {
        return;
    }
    for (const std::string& problem : program.keeper->LeftListProblems()) {
        err << "cantova-batch: " << problem << '\n';
    }
    if (program.keeper->leftJobCount() == 0) {
        return;
    }
    if (!options.restore) {
        err << "cantova-batch: " << program.keeper->leftJobCount()
            << " job(s) of an earlier session wait to be taken back with --restore\n";
        return;
    }
    const jobs::TakenBack taken = program.TakeBackLeftJobs(options.dryRun);
    std::string text = std::to_string(taken.jobs) + " job(s) of an earlier session taken back";
    if (taken.done > 0) {
        text += ", " + std::to_string(taken.done) + " were done already";
    }
    for (const std::string& source : taken.requeued) {
        text += "; the job of \"" + source + "\" was running and is queued again";
    }
    messages.Show(text, "Restore", ui::MessageIcon::Information);
}

} // namespace cantova::app
