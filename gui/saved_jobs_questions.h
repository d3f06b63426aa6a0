#pragma once

// Questions about where jobs go and whether they outlive a session, all open without holding up
// the program: an output folder for a source on read-only media, at Exit with jobs in the list or
// during a run (keep them for the next start, discard them, or stay), and at the start when an
// earlier session left jobs (take them back, discard them, or decide later).

#include "app/exit_with_jobs.h"
#include "app/program.h"

#include <QWidget>

#include <functional>
#include <string>

namespace cantova::ui::qt {

class QtExitQuestion final : public app::ExitQuestion {
public:
    explicit QtExitQuestion(QWidget* owner) : owner_(owner) {}
    // "Keep for Next Start" is the default button; Escape and the title bar's close cancel (and
    // leave a run going).
    void AskAboutJobs(int jobs, bool running, std::function<void(app::ExitChoice)> answer) override;
    // The answer was the user's: nothing to add.
    void TellKept(int) override {}
    // Says why, and the program goes on with the jobs in the list: the user may exit again and
    // discard them, or make room and keep them.
    app::ExitChoice TellNotKept(int jobs, const std::string& why) override;

private:
    QWidget* owner_;
};

// The folder dialog for an output folder, for a source whose own folder cannot be written;
// chosen gets the folder, or empty text when the dialog is cancelled.
void AskOutputFolder(QWidget* owner, const std::string& source,
                     std::function<void(std::string)> chosen);

// Asks, when the program's keeper found jobs that earlier sessions left, whether to take them
// back; "Take Back" is the default, "Later" (Escape) leaves them for the next start.
void OfferLeftJobs(QWidget* owner, app::Program& program);

} // namespace cantova::ui::qt
