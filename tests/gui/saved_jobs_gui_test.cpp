// Jobs that outlive a session, in the offscreen GUI as a person meets them: Exit with jobs in the
// list or during a run asks without stopping the program (keep them, the default; discard them;
// or stay), and the next start offers kept jobs back.

#include "gui/gui_program.h"
#include "settings/file_dialogs.h"

#include "support/temp_folder.h"
#include "tests/gui/temp_home.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

#include <filesystem>
#include <memory>
#include <string>

using namespace cantova;
namespace fs = std::filesystem;

namespace {

bool Exists(const std::string& path) {
    return fs::exists(fs::symlink_status(path));
}

bool Empty(const std::string& folder) {
    return !fs::exists(folder) || fs::is_empty(folder);
}

QMessageBox* VisibleQuestion() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* box = qobject_cast<QMessageBox*>(widget); box != nullptr && box->isVisible()) {
            return box;
        }
    }
    return nullptr;
}

// The question box, once the event loop has shown it.
QMessageBox* OpenQuestion() {
    QMessageBox* box = nullptr;
    const bool shown = QTest::qWaitFor([&] { return (box = VisibleQuestion()) != nullptr; });
    return shown ? box : nullptr;
}

void Click(QMessageBox* box, const char* button) {
    QVERIFY(box != nullptr);
    auto* pushButton = box->findChild<QPushButton*>(button);
    QVERIFY(pushButton != nullptr);
    QTest::mouseClick(pushButton, Qt::LeftButton);
}

} // namespace

class SavedJobsGuiTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TempFolder> temp_;
    std::string source_, settingsFile_, state_;

    // A GUI over the test's state folder with one job in its list.
    std::unique_ptr<ui::qt::GuiProgram> StartWithAJob(settings::ScriptedFileDialogs& dialogs) {
        auto gui = std::make_unique<ui::qt::GuiProgram>(&dialogs, std::string(), state_);
        gui->show();
        gui->program().sources.Select(source_);
        gui->windows().frmMain.CmdAddAudioJobList_Click();
        return gui;
    }
    void PressExit(ui::qt::GuiProgram& gui) {
        QTest::mouseClick(qobject_cast<QAbstractButton*>(gui.view().form().widgetOf("cmdExit")),
                          Qt::LeftButton);
    }

private slots:
    void init() {
        temp_ = TempFolderAsHome();
        source_ = temp_->File("film.mpa");
        settingsFile_ = temp_->File("film.stream1.aud");
        state_ = temp_->File("state");
        WriteText(source_, "stream");
    }

    void exitAsksWithoutHoldingUpAndCancelStays() {
        settings::ScriptedFileDialogs dialogs;
        auto gui = StartWithAJob(dialogs);
        QCOMPARE(gui->program().queue.count(), 1);
        PressExit(*gui);
        QMessageBox* box = OpenQuestion();
        QVERIFY(box != nullptr);
        QCOMPARE(box->defaultButton()->objectName(), QString("KeepJobs"));
        QVERIFY(!gui->windows().program.ended);
        // The program goes on while the question is open: a timer still fires.
        bool fired = false;
        QTimer::singleShot(0, [&] { fired = true; });
        QTRY_VERIFY(fired);
        QTest::keyClick(box, Qt::Key_Escape);
        QTRY_VERIFY(VisibleQuestion() == nullptr);
        QVERIFY(!gui->windows().program.ended);
        QVERIFY(gui->view().isVisible());
        QCOMPARE(gui->program().queue.count(), 1);
    }

    void discardRemovesTheSettingsFilesAndTheList() {
        settings::ScriptedFileDialogs dialogs;
        auto gui = StartWithAJob(dialogs);
        QVERIFY(Exists(settingsFile_));
        PressExit(*gui);
        Click(OpenQuestion(), "DiscardJobs");
        QTRY_VERIFY(gui->windows().program.ended);
        gui.reset();
        QVERIFY(!Exists(settingsFile_));
        QVERIFY(Empty(state_ + "/cantova"));
    }

    void keepingThatFailsSaysWhyAndTheJobsStay() {
        settings::ScriptedFileDialogs dialogs;
        auto gui = StartWithAJob(dialogs);
        fs::remove_all(state_);
        WriteText(state_, "a file where the folder was");
        PressExit(*gui);
        QMessageBox* box = OpenQuestion();
        QVERIFY(box != nullptr);
        QTest::keyClick(box, Qt::Key_Return);
        QMessageBox* told = nullptr;
        QTRY_VERIFY((told = qobject_cast<QMessageBox*>(VisibleQuestion())) != nullptr &&
                    told->objectName() == "JobsNotKept");
        QVERIFY2(told->text().contains("could not be kept for the next start (" +
                                       QString::fromStdString(state_)),
                 qPrintable(told->text()));
        QVERIFY(!gui->windows().program.ended);
        QCOMPARE(gui->program().queue.count(), 1);
        QVERIFY(Exists(settingsFile_));
        QTest::keyClick(told, Qt::Key_Return);
        QTRY_VERIFY(VisibleQuestion() == nullptr);
        PressExit(*gui);
        Click(OpenQuestion(), "DiscardJobs");
        QTRY_VERIFY(gui->windows().program.ended);
        gui.reset();
        QVERIFY(!Exists(settingsFile_));
    }

    void aDamagedListIsNamedWhenTheWindowOpens() {
        fs::create_directories(state_);
        fs::permissions(state_, fs::perms::owner_all);
        WriteText(state_ + "/queue-999999-1.list", "cantova job list 2\njob\n");
        settings::ScriptedFileDialogs dialogs;
        ui::qt::GuiProgram gui(&dialogs, std::string(), state_);
        gui.show();
        QMessageBox* box = OpenQuestion();
        QVERIFY(box != nullptr);
        QCOMPARE(box->windowTitle(), QString("Job List"));
        QVERIFY2(box->text().startsWith("The job list " + QString::fromStdString(state_) +
                                        "/queue-999999-1.list is damaged (it is of an unknown "
                                        "version"),
                 qPrintable(box->text()));
        QVERIFY(Exists(state_ + "/queue-999999-1.list.damaged"));
    }

    void keptJobsAreOfferedBackAtTheNextStart() {
        settings::ScriptedFileDialogs dialogs;
        {
            auto gui = StartWithAJob(dialogs);
            PressExit(*gui);
            QMessageBox* box = OpenQuestion();
            QVERIFY(box != nullptr);
            QTest::keyClick(box, Qt::Key_Return); // the default
            QTRY_VERIFY(gui->windows().program.ended);
        }
        QVERIFY(Exists(settingsFile_));
        ui::qt::GuiProgram next(&dialogs, std::string(), state_);
        next.show();
        QMessageBox* offer = OpenQuestion();
        QVERIFY(offer != nullptr);
        QVERIFY(offer->text().contains("1 job of an earlier session"));
        QCOMPARE(offer->defaultButton()->objectName(), QString("TakeBackJobs"));
        Click(offer, "TakeBackJobs");
        QTRY_COMPARE(next.program().queue.count(), 1);
        QCOMPARE(next.program().queue.at(0).settingsFile, settingsFile_);
        QCOMPARE(next.program().queue.at(0).source, source_);
    }

    // Keep during a run stops it while the event loop goes on; the stopped job and the one never
    // started come back at the next start, queued.
    void exitDuringARunKeepsTheJobsNotDone() {
        qputenv("CANTOVA_TEST_SLEEP_MS", "60000");
        qputenv("CANTOVA_TEST_RECORD", QByteArray::fromStdString(temp_->File("record")));
        settings::ScriptedFileDialogs dialogs;
        {
            auto gui = StartWithAJob(dialogs);
            gui->windows().frmMain.CmdAddAudioJobList_Click();
            gui->windows().program.TranscoderPath = CANTOVA_RECORDING_TRANSCODER;
            gui->windows().frmMain.cmdStartEncode_Click();
            QTRY_VERIFY(Exists(temp_->File("record"))); // the first job's transcoder runs
            PressExit(*gui);
            QMessageBox* box = OpenQuestion();
            QVERIFY(box != nullptr);
            QVERIFY2(box->text().startsWith("Jobs are still running, and Exit stops the run "
                                            "first. 2 jobs are not done"),
                     qPrintable(box->text()));
            QCOMPARE(box->defaultButton()->objectName(), QString("KeepJobs"));
            QTest::keyClick(box, Qt::Key_Return);
            QVERIFY(!gui->windows().program.ended);
            QTRY_VERIFY_WITH_TIMEOUT(gui->windows().program.ended, 10000);
            QVERIFY(VisibleQuestion() == nullptr);
        }
        qunsetenv("CANTOVA_TEST_SLEEP_MS");
        QVERIFY(Exists(settingsFile_));
        QVERIFY(Exists(temp_->File("film.stream2.aud")));
        ui::qt::GuiProgram next(&dialogs, std::string(), state_);
        next.show();
        QMessageBox* offer = OpenQuestion();
        QVERIFY(offer != nullptr);
        QVERIFY2(offer->text().contains("2 jobs of an earlier session"), qPrintable(offer->text()));
        Click(offer, "TakeBackJobs");
        QTRY_COMPARE(next.program().queue.count(), 2);
        QCOMPARE(next.program().queue.at(0).settingsFile, settingsFile_);
        QCOMPARE(next.program().queue.at(0).status, jobs::JobStatus::Queued);
        QCOMPARE(next.program().queue.at(1).status, jobs::JobStatus::Queued);
    }
};

QTEST_MAIN(SavedJobsGuiTest)
#include "saved_jobs_gui_test.moc"
