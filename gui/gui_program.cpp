#include "gui/gui_program.h"

#include "gui/engine_notice.h"
#include "gui/job_table_binding.h"

#include <QApplication>
#include <QMenu>
#include <QStatusBar>
#include <QTimer>

#include <cctype>
#include <cstdlib>
#include <iostream>

namespace cantova::ui::qt {

namespace {

// "the job list ..." as a sentence: "The job list ... ."
std::string Sentence(std::string text) {
    text += ".";
    text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    return text;
}

// The visible job list as a table of the queue.
BindingFactories JobTable(jobs::JobQueue& queue, ProgressPace& pace) {
    return {{"LstJobAudio(0)", [&queue, &pace](Control& list, QWidget& container) {
                 return std::make_unique<JobTableBinding>(dynamic_cast<ListBox&>(list), container,
                                                          queue, pace);
             }}};
}

} // namespace

GuiProgram::GuiProgram(settings::FileDialogs* dialogs, const std::string& programFolder,
                       const std::string& stateFolder, const std::string& settingsFile)
    : program_({.dialogs = dialogs != nullptr ? *dialogs : qtDialogs_,
                .messages = messages_,
                .processes = processes_,
                .logViewer = logViewer_,
                .notifier = notifier_,
                .clipboard = clipboard_,
                .stateFolder = stateFolder,
                .exitQuestion = &exitQuestion_},
               programFolder),
      pace_(program_.queue),
      mainView_(program_.windows.frmMain, nullptr, JobTable(program_.queue, pace_)),
      panelView_(program_.windows.frmPanelAudio, &mainView_),
      commandLineMenu_(mainView_, program_, clipboard_), intakeView_(mainView_, program_.intake),
      runMenuItems_(mainView_, program_), statusBar_(*mainView_.statusBar(), program_, pace_) {
    logViewer_.setOwner(&mainView_);
    logViewer_.setDialogFolder(&qtDialogs_.folder());
    qtDialogs_.folder().setSourcePath(
        [this] { return program_.windows.frmMain.TxtStreamAudio.text(); });
    exitQuestion_ = QtExitQuestion(&mainView_);
    program_.jobList.setOutputFolderQuestion(
        [this](const std::string& source, std::function<void(std::string)> chosen) {
            AskOutputFolder(&mainView_, source, std::move(chosen));
        });
    if (program_.keeper) {
        // Unanswered (the session ends, say), the jobs stay for the next start.
        program_.setJobsAtEnd(app::JobsAtEnd::KeepForNextStart);
        program_.keeper->setScheduler([this](std::chrono::milliseconds delay) {
            QTimer::singleShot(delay, &mainView_, [this] { program_.keeper->SavePending(); });
        });
        // Told once the window is up, as a sentence.
        program_.keeper->setSavingProblemNotice([this](const std::string& problem) {
            QTimer::singleShot(0, &mainView_, [this, problem] {
                messages_.Show(Sentence(problem), "Job List", ui::MessageIcon::Exclamation);
            });
        });
    }
    // The title shows a new percentage in the moment the table and the status line do.
    program_.runCaption.showPercentagesAtOnce(false);
    pace_.follow([this] { program_.runCaption.refresh(); });
    // A run still going when the application quits is stopped as Exit stops it: its jobs not done
    // stay in the list, for the end of the program to keep.
    QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, &mainView_,
                     [this] {
                         program_.runner.StopForExit();
                         processes_.StopAllAndWait();
                     });
    if (!settingsFile.empty()) {
        remembered_.emplace(program_.windows, program_.settingsBeforeRun, settingsFile);
        if (auto* profiles = mainView_.findChild<QMenu*>("MenuPrf")) {
            QAction* defaults = profiles->addAction("Default Settings");
            defaults->setObjectName("MenuPrfDefaultSettings");
            QObject::connect(defaults, &QAction::triggered, &mainView_,
                             [this] { remembered_->restoreDefaults(); });
        }
    }
    QObject::connect(&mainView_, &MainWindowView::modelHidden, &mainView_, [this] {
        if (program_.windows.program.ended) {
            // The window is gone: only the terminal can still be told.
            if (remembered_ && !remembered_->save()) {
                std::cerr << "cantova-gui: the settings could not be kept in "
                          << remembered_->file() << '\n';
            }
            QApplication::quit();
        }
    });
}

void GuiProgram::show(const std::optional<std::string>& source) {
    program_.windows.frmMain.show();
    ShowMissingEngines(&mainView_, std::getenv("PATH"));
    if (source) {
        program_.sources.Select(*source);
    }
    if (program_.keeper) {
        for (const std::string& problem : program_.keeper->LeftListProblems()) {
            messages_.Show(Sentence(problem), "Job List", ui::MessageIcon::Exclamation);
        }
    }
    OfferLeftJobs(&mainView_, program_);
}

} // namespace cantova::ui::qt
