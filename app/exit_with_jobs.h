#pragma once

// Exit with jobs in the list, or during a run, asks what becomes of them: kept for the next start
// (settings files and all), discarded (their settings files removed), or the exit cancelled.
// During a run Keep and Discard first stop it as Stop Now does and wait for its end, watching the
// runner's states: the interrupted job and those not yet run are queued again, the done ones have
// left the list. Neither the question nor the stop waits in a loop of its own: the exit goes on
// from the answer, and from the run's end.

#include "jobs/job_queue.h"
#include "jobs/job_runner.h"
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
    // Asks about the jobs not done (running says that a run goes on, which Keep and Discard stop
    // first); answer is called once, now or later.
    virtual void AskAboutJobs(int jobs, bool running, std::function<void(ExitChoice)> answer) = 0;
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
    ExitWithJobs(ui::Windows& windows, const jobs::JobQueue& queue, jobs::JobRunner& runner,
                 Decide decide);
    ~ExitWithJobs() override;
    ExitWithJobs(const ExitWithJobs&) = delete;
    ExitWithJobs& operator=(const ExitWithJobs&) = delete;

    // Without a question (nobody to ask) Exit keeps the jobs, the safe choice (or, when they
    // cannot be kept, discards them: nothing stays behind that no list names).
    void setQuestion(ExitQuestion* question) { question_ = question; }
    bool MayExit() override;

private:
    // Stops the run; the choice is carried out when it has ended.
    void stopThen(ExitChoice choice);
    // Keeps or discards the jobs in the list and unloads the main window, unless keeping failed
    // and the person chose to stay.
    void end(ExitChoice choice);

    ui::Windows& windows_;
    const jobs::JobQueue& queue_;
    jobs::JobRunner& runner_;
    Decide decide_;
    ExitQuestion* question_ = nullptr;
    int subscription_ = 0;
    bool asking_ = false;
    // The choice waiting for the run to end.
    std::optional<ExitChoice> afterRun_;
};

} // namespace cantova::app
