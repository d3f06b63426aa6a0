#include "gui/run_status_bar.h"

#include "jobs/job_command_line.h"

#include <algorithm>

namespace cantova::ui::qt {

namespace {

QProgressBar& MakeProgressBar(const char* objectName, const char* format, QStatusBar& bar) {
    auto* progress = new QProgressBar(&bar);
    progress->setObjectName(objectName);
    progress->setRange(0, 100);
    progress->setFormat(format);
    progress->setFixedWidth(110);
    bar.addPermanentWidget(progress);
    return *progress;
}

} // namespace

QString TimeLeftText(std::chrono::seconds left) {
    const long long total = std::max<long long>(0, left.count());
    const long long hours = total / 3600;
    const long long minutes = total / 60 % 60;
    const QString seconds = QString("%1").arg(total % 60, 2, 10, QChar('0'));
    if (hours > 0) {
        return QString("%1:%2:%3 left").arg(hours).arg(minutes, 2, 10, QChar('0')).arg(seconds);
    }
    return QString("%1:%2 left").arg(minutes).arg(seconds);
}

RunStatusBar::RunStatusBar(QStatusBar& bar, app::Program& program, ProgressPace& pace)
    : program_(program), commandLine_(*new QLineEdit(&bar)),
      jobProgress_(MakeProgressBar("JobProgress", "Job: %p%", bar)),
      runProgress_(MakeProgressBar("RunProgress", "All: %p%", bar)), timeLeft_(*new QLabel(&bar)),
      settingsNote_(*new QLabel(&bar)), pace_(pace) {
    commandLine_.setObjectName("JobCommandLine");
    commandLine_.setReadOnly(true);
    commandLine_.setFrame(false);
    commandLine_.setPlaceholderText("Select a job to see its command line");
    bar.insertWidget(0, &commandLine_, 1);
    timeLeft_.setObjectName("TimeLeft");
    // Clear of the window's right edge.
    timeLeft_.setContentsMargins(0, 0, 6, 0);
    bar.addPermanentWidget(&timeLeft_);
    bar.setSizeGripEnabled(false);
    jobProgress_.hide();
    runProgress_.hide();
    timeLeft_.hide();
    subscription_ = program_.queue.subscribe([this](const jobs::JobListChange& change) {
        using Kind = jobs::JobListChange::Kind;
        if (change.kind == Kind::Progressed || change.kind == Kind::RunJobFile) {
            return;
        }
        showCommandLine();
        // A job that starts or ends moves the run's figures at once.
        if (change.kind == Kind::Updated && program_.runner.InProgress()) {
            pace_.showNow();
        }
    });
    runSubscription_ =
        program_.runner.observe([this](const jobs::RunStateChange&) { followRun(); });
    settingsNote_.setObjectName("SettingsNote");
    settingsNote_.setText("The windows show the last job's settings; Jobs > Restore My Settings "
                          "puts yours back.");
    settingsNote_.hide();
    bar.insertWidget(1, &settingsNote_);
    settingsSubscription_ = program_.settingsBeforeRun.onChange(
        [this] { settingsNote_.setVisible(program_.settingsBeforeRun.available()); });
    paceSubscription_ = pace_.follow([this] { showProgress(); });
    showCommandLine();
}

RunStatusBar::~RunStatusBar() {
    program_.queue.unsubscribe(subscription_);
    program_.runner.unobserve(runSubscription_);
    pace_.stopFollowing(paceSubscription_);
    program_.settingsBeforeRun.stopTelling(settingsSubscription_);
}

void RunStatusBar::followRun() {
    const bool running = program_.runner.InProgress();
    jobProgress_.setVisible(running);
    runProgress_.setVisible(running);
    timeLeft_.setVisible(running);
    if (running) {
        showProgress();
    }
}

void RunStatusBar::showCommandLine() {
    const int selected = program_.queue.selectedIndex();
    const std::optional<int> job =
        selected >= 0 ? std::optional<int>(program_.queue.at(selected).number) : std::nullopt;
    if (job == shownJob_) {
        return;
    }
    shownJob_ = job;
    QString text;
    QString placeholder = "Select a job to see its command line";
    if (job) {
        const jobs::Job& chosen = program_.queue.at(selected);
        text = QString::fromStdString(
            jobs::CommandLineOfJob(chosen, program_.windows.program.TranscoderPath).value_or(""));
        placeholder = chosen.copy ? "This job keeps the AC3 source as it is: it runs no command"
                                  : "This job's settings file cannot be read";
    }
    commandLine_.setPlaceholderText(placeholder);
    commandLine_.setText(text);
    commandLine_.setCursorPosition(0);
    commandLine_.setToolTip(text);
}

void RunStatusBar::showProgress() {
    if (!program_.runner.InProgress()) {
        return;
    }
    const jobs::RunProgress progress = program_.runner.progress();
    jobProgress_.setValue(progress.runningJob ? progress.jobPercent.value_or(0) : 0);
    runProgress_.setValue(progress.runPercent);
    timeLeft_.setText(progress.timeLeft ? TimeLeftText(*progress.timeLeft) : QString());
}

} // namespace cantova::ui::qt
