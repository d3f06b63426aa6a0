#pragma once

// Exit with jobs in the list asks what becomes of them: kept for the next start (settings files
// and all), discarded (their settings files removed), or the exit cancelled. The question never
// waits in a loop of its own: its answer comes later, and the exit goes on from there.

#include "jobs/job_queue.h"
#include "ui/main_window_ports.h"

#include <functional>
#include <optional>
#include <string>

namespace cantova::ui {
struct Windows;
}

namespace cantova::app {

enum class JobsAtEnd { KeepForNextStart, Discard };

enum class ExitChoice { Keep, Discard, Cancel };

// The question as a platform service: a dialog in the GUI, a printed line in the batch driver.
class ExitQuestion {
public:
    virtual ~ExitQuestion() = default;
    // Asks about the jobs in the list; answer is called once, now or later.
    virtual void AskAboutJobs(int jobs, std::function<void(ExitChoice)> answer) = 0;
    // The jobs were kept as answered.
    virtual void TellKept(int jobs) = 0;
    // The jobs could not be kept (why names the file and the reason): Discard ends the program
    // without them (their settings files removed), Cancel goes on with them in the list.
    virtual ExitChoice TellNotKept(int jobs, const std::string& why) = 0;
};

class ExitWithJobs : public ui::ExitPort {
public:
    // Decide is told the choice before the main window is unloaded; it keeps the jobs at once and
    // says why when it could not.
    using Decide = std::function<std::optional<std::string>(JobsAtEnd)>;
    ExitWithJobs(ui::Windows& windows, const jobs::JobQueue& queue, Decide decide)
        : windows_(windows), queue_(queue), decide_(std::move(decide)) {}

    // Without a question (nobody to ask) Exit keeps the jobs, the safe choice (or, when they
    // cannot be kept, discards them: nothing stays behind that no list names).
    void setQuestion(ExitQuestion* question) { question_ = question; }
    bool MayExit() override;

private:
    ui::Windows& windows_;
    const jobs::JobQueue& queue_;
    Decide decide_;
    ExitQuestion* question_ = nullptr;
    bool asking_ = false;
};

} // namespace cantova::app
