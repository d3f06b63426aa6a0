#include "app/batch_session.h"

namespace cantova::app {

void PrintedMessageBoxes::Show(const std::string& text, const std::string& caption,
                               ui::MessageIcon icon) {
    warnings_ += icon == ui::MessageIcon::Exclamation ? 1 : 0;
    out_ << "message: " << caption << ": " << text << '\n';
}

bool PrintedMessageBoxes::Ask(const std::string& text, const std::string& caption) {
    out_ << "message: " << caption << ": " << text << '\n';
    return answer_;
}

void PrintedClipboard::CopyLines(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        out_ << "clipboard: " << line << '\n';
    }
}

BatchSession::BatchSession(std::ostream& out, const BatchOptions& options)
    : out(out), options(options) {
    program.runner.setJobsAtOnce(options.jobsAtOnce);
}

void BatchSession::RunUntilIdle() {
    if (options.dryRun) {
        dryRunLauncher.RunUntilIdle();
    } else {
        spawnLauncher.RunUntilIdle();
    }
}

} // namespace cantova::app
