// Steering a run through the Qt GUI as a person does: the job table and the status line during a
// run, the Jobs menu's stops, retry and moves, and dialogs opened while jobs run. The recording
// test transcoder is the jobs' program; its record tells which jobs ran, in which order.

#include "gui/gui_program.h"
#include "gui/job_table_model.h"
#include "settings/file_dialogs.h"

#include "support/temp_folder.h"
#include "tests/gui/temp_home.h"

#include <QAbstractButton>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QTreeView>
#include <QtTest>

#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

using namespace cantova;
using Model = ui::qt::JobTableModel;

namespace {

// The GUI as the program builds it, with the recording transcoder as the jobs' program.
struct Gui {
    Gui(const std::string& record, settings::FileDialogs* dialogs) : program(dialogs) {
        qputenv("CANTOVA_TEST_RECORD", QByteArray::fromStdString(record));
        windows.program.TranscoderPath = CANTOVA_RECORDING_TRANSCODER;
        program.show();
    }
    template <typename T = QWidget> T* find(const char* name) const {
        return view.findChild<T*>(name);
    }
    QAction& action(const char* name) const { return *find<QAction>(name); }
    QTreeView& table() const { return *find<QTreeView>("JobTable"); }
    const QAbstractItemModel& rows() const { return *table().model(); }
    int finishedCount() const { return static_cast<const Model&>(rows()).finishedCount(); }
    QString cell(int row, int column) const {
        return rows().data(rows().index(row, column)).toString();
    }
    bool running() { return program.program().runner.InProgress(); }
    // Adds one job with the source and target given.
    void add(const std::string& source, ui::Codec codec) {
        QVERIFY(program.program().sources.Select(source));
        windows.frmMain.OptAudioCodec[static_cast<int>(codec)].setValue(true);
        QTest::mouseClick(
            qobject_cast<QAbstractButton*>(view.form().widgetOf("CmdAddAudioJobList")),
            Qt::LeftButton);
    }
    void start() const {
        QTest::mouseClick(qobject_cast<QAbstractButton*>(view.form().widgetOf("cmdStartEncode")),
                          Qt::LeftButton);
    }
    // Closes the message boxes the end of a run shows, as a person would.
    static void closeMessages() {
        while (QWidget* modal = QApplication::activeModalWidget()) {
            modal->close();
        }
    }

    ui::qt::GuiProgram program;
    ui::Windows& windows = program.windows();
    ui::qt::MainWindowView& view = program.view();
};

// The output argument of each transcoder call in the record, in the order of the calls.
std::vector<std::string> RecordedOutputs(const std::string& record) {
    std::vector<std::string> outputs;
    const std::string text = ReadText(record);
    for (std::size_t at = text.find("-output"); at != std::string::npos;
         at = text.find("-output", at + 1)) {
        const std::size_t begin = text.find('\0', at) + 1;
        outputs.push_back(std::filesystem::path(text.substr(begin, text.find('\0', begin) - begin))
                              .filename()
                              .string());
    }
    return outputs;
}

// What the window shows during a run, sampled by a timer of the GUI's own event loop.
struct Sampler {
    explicit Sampler(Gui& gui) : gui(gui) {
        QObject::connect(&timer, &QTimer::timeout, [this] { look(); });
        timer.start(25);
    }
    void look() {
        if (!gui.running()) {
            return;
        }
        const int jobPercent = gui.find<QProgressBar>("JobProgress")->value();
        const int runPercent = gui.find<QProgressBar>("RunProgress")->value();
        QString rows;
        for (int row = 0; row < gui.rows().rowCount(); ++row) {
            rows += gui.cell(row, Model::Status) + " | ";
        }
        seen.insert(QString("%1 job %2% run %3% %4")
                        .arg(rows)
                        .arg(jobPercent)
                        .arg(runPercent)
                        .arg(gui.find<QLabel>("TimeLeft")->text().isEmpty() ? "" : "time left")
                        .toStdString());
        stopEnabled = stopEnabled && gui.action("MenuJobsStopNow").isEnabled();
        retryDisabled = retryDisabled && !gui.action("MenuJobsRetryFailed").isEnabled();
    }

    Gui& gui;
    QTimer timer;
    std::set<std::string> seen;
    bool stopEnabled = true;
    bool retryDisabled = true;
};

} // namespace

class JobQueueGuiTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        temp = TempFolderAsHome();
        qunsetenv("CANTOVA_TEST_SLEEP_MS");
        qunsetenv("CANTOVA_TEST_PROGRESS");
        qunsetenv("CANTOVA_TEST_FAIL_OUTPUT");
        for (const char* name : {"a.mpa", "b.mpa", "c.mpa"}) {
            WriteText(temp->File(name), "stream");
        }
        record = temp->File("record");
    }
    void cleanup() { temp.reset(); }

    void theJobTableAndTheStatusLineShowARunAsItGoes() {
        // Each percentage stands for 1.5 s, longer than the views wait between two showings.
        qputenv("CANTOVA_TEST_SLEEP_MS", "3000");
        qputenv("CANTOVA_TEST_PROGRESS", "2");
        Gui gui(record, &dialogs);
        gui.add(temp->File("a.mpa"), ui::Codec::Mp3);
        gui.add(temp->File("b.mpa"), ui::Codec::Ogg);
        QCOMPARE(gui.rows().rowCount(), 2);
        QCOMPARE(gui.cell(0, Model::Source), QString("a.mpa"));
        QCOMPARE(gui.cell(0, Model::Target), QString("MP3 CBR 128 kbit/s"));
        // The OGG job runs in quality mode: its command line says so, with the rate it stands
        // for.
        QCOMPARE(gui.cell(1, Model::Target), QString("Ogg VBR ~96 kbit/s (q 0.250)"));
        QCOMPARE(gui.cell(1, Model::Output), QString("Stream2.ogg"));
        QVERIFY(!gui.find<QProgressBar>("JobProgress")->isVisible());
        QVERIFY(!gui.action("MenuJobsStopNow").isEnabled());

        // Choosing a row shows the job's command line, to read and to copy.
        gui.table().setCurrentIndex(gui.rows().index(1, Model::Target));
        const QString command = gui.find<QLineEdit>("JobCommandLine")->text();
        QVERIFY2(command.startsWith(CANTOVA_RECORDING_TRANSCODER) &&
                     command.contains("Stream2.ogg") && command.contains("-input"),
                 qPrintable(command));

        Sampler sampler(gui);
        gui.start();
        QVERIFY(gui.find<QProgressBar>("RunProgress")->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(!gui.running(), 20000);
        sampler.timer.stop();
        QVERIFY(sampler.stopEnabled);
        QVERIFY(sampler.retryDisabled);
        // Both sources weigh the same, so the run is half through when the first job is done.
        for (const std::string shown : {"running 50% | queued |  job 50% run 25% time left",
                                        "done | running 50% |  job 50% run 75% time left"}) {
            QVERIFY2(sampler.seen.count(shown) == 1, shown.c_str());
        }
        QCOMPARE(RecordedOutputs(record).size(), std::size_t{2});
        // Both jobs left the list; the table shows them, finished, until the next run.
        QCOMPARE(gui.windows.frmMain.LstJobAudio(0).listCount(), 0);
        QCOMPARE(gui.finishedCount(), 2);
        QCOMPARE(gui.cell(1, Model::Output), QString("Stream2.ogg"));
        QVERIFY(!gui.find<QProgressBar>("JobProgress")->isVisible());
        QVERIFY(gui.find<QLineEdit>("JobCommandLine")->text().isEmpty());
    }

    void stopNowEndsTheRunningTranscoderAndKeepsTheJobs() {
        qputenv("CANTOVA_TEST_SLEEP_MS", "30000");
        Gui gui(record, &dialogs);
        gui.add(temp->File("a.mpa"), ui::Codec::Mp3);
        gui.add(temp->File("b.mpa"), ui::Codec::Mp3);
        gui.start();
        QTRY_COMPARE(RecordedOutputs(record).size(), std::size_t{1});
        QCOMPARE(gui.cell(0, Model::Status), QString("running 0%"));
        QElapsedTimer stopping;
        stopping.start();
        QVERIFY(gui.action("MenuJobsStopNow").isEnabled());
        gui.action("MenuJobsStopNow").trigger();
        QTRY_VERIFY_WITH_TIMEOUT(!gui.running(), 10000);
        QVERIFY2(stopping.elapsed() < 5000, "the transcoder ends at once, not after its work");
        QCOMPARE(gui.rows().rowCount(), 2);
        QCOMPARE(gui.cell(0, Model::Status), QString("stopped"));
        QCOMPARE(gui.cell(1, Model::Status), QString("not started"));
        QCOMPARE(RecordedOutputs(record).size(), std::size_t{1});
        for (const jobs::Job& job : gui.program.program().queue.jobs()) {
            QVERIFY2(std::filesystem::exists(job.settingsFile), "kept for another run");
        }
        QVERIFY(!gui.action("MenuJobsStopNow").isEnabled());
        QVERIFY(gui.action("MenuJobsRetryFailed").isEnabled());
    }

    void stopAfterTheCurrentJobLetsItFinishAndStartsNoOther() {
        qputenv("CANTOVA_TEST_SLEEP_MS", "1000");
        Gui gui(record, &dialogs);
        gui.add(temp->File("a.mpa"), ui::Codec::Mp3);
        gui.add(temp->File("b.mpa"), ui::Codec::Mp3);
        gui.add(temp->File("c.mpa"), ui::Codec::Mp3);
        gui.start();
        QTRY_COMPARE(gui.cell(0, Model::Status), QString("running 0%"));
        gui.action("MenuJobsStopAfterCurrent").trigger();
        QTRY_VERIFY_WITH_TIMEOUT(!gui.running(), 10000);
        QCOMPARE(RecordedOutputs(record), std::vector<std::string>{"Stream1.mp3"});
        // The job that was done stays in the table, above the list's jobs, until the next run.
        QCOMPARE(gui.rows().rowCount(), 3);
        QCOMPARE(gui.finishedCount(), 1);
        QCOMPARE(gui.cell(0, Model::Status), QString("done"));
        QCOMPARE(gui.cell(1, Model::Source), QString("b.mpa"));
        QCOMPARE(gui.cell(1, Model::Status), QString("not started"));
        // The windows show the last job's settings; the status line says so until they are put
        // back.
        QVERIFY(gui.find<QLabel>("SettingsNote")->isVisible());
        QVERIFY(gui.action("MenuJobsRestoreSettings").isEnabled());
        gui.action("MenuJobsRestoreSettings").trigger();
        QVERIFY(!gui.find<QLabel>("SettingsNote")->isVisible());
        QVERIFY(!gui.action("MenuJobsRestoreSettings").isEnabled());
    }

    void retryFailedRunsOnlyTheFailedJobAgain() {
        qputenv("CANTOVA_TEST_FAIL_OUTPUT", "Stream2");
        Gui gui(record, &dialogs);
        gui.add(temp->File("a.mpa"), ui::Codec::Mp3);
        gui.add(temp->File("b.mpa"), ui::Codec::Mp3);
        gui.add(temp->File("c.mpa"), ui::Codec::Mp3);
        QVERIFY(!gui.action("MenuJobsRetryFailed").isEnabled());
        gui.start();
        QTRY_VERIFY_WITH_TIMEOUT(!gui.running(), 10000);
        QCOMPARE(gui.rows().rowCount() - gui.finishedCount(), 1);
        QCOMPARE(gui.cell(2, Model::Output), QString("Stream2.mp3"));
        QVERIFY2(gui.cell(2, Model::Status)
                     .startsWith("failed: the transcoder failed (exit status 3): Cantova: failed"),
                 qPrintable(gui.cell(2, Model::Status)));
        Gui::closeMessages();

        qunsetenv("CANTOVA_TEST_FAIL_OUTPUT");
        QVERIFY(gui.action("MenuJobsRetryFailed").isEnabled());
        gui.action("MenuJobsRetryFailed").trigger();
        QTRY_VERIFY_WITH_TIMEOUT(!gui.running(), 10000);
        QCOMPARE(RecordedOutputs(record), (std::vector<std::string>{"Stream1.mp3", "Stream2.mp3",
                                                                    "Stream3.mp3", "Stream2.mp3"}));
        // The retry's run cleared the first run's finished jobs; its own stays.
        QCOMPARE(gui.rows().rowCount(), 1);
        QCOMPARE(gui.finishedCount(), 1);
        QCOMPARE(gui.cell(0, Model::Output), QString("Stream2.mp3"));
        QVERIFY(!gui.action("MenuJobsRetryFailed").isEnabled());
    }

    void moveUpAndDownFromTheKeyboardChangeOnlyTheRunOrder() {
        Gui gui(record, &dialogs);
        gui.add(temp->File("a.mpa"), ui::Codec::Mp3);
        gui.add(temp->File("b.mpa"), ui::Codec::Mp3);
        gui.add(temp->File("c.mpa"), ui::Codec::Mp3);
        QVERIFY(QTest::qWaitForWindowActive(&gui.view));
        QTreeView& table = gui.table();
        const QModelIndex third = gui.rows().index(2, Model::Source);
        table.scrollTo(third);
        QTest::mouseClick(table.viewport(), Qt::LeftButton, {}, table.visualRect(third).center());
        QCOMPARE(gui.windows.frmMain.LstJobAudio(0).listIndex(), 2);
        QVERIFY(!gui.action("MenuJobsMoveDown").isEnabled());
        QTest::keyClick(&table, Qt::Key_Up, Qt::ControlModifier);
        QTest::keyClick(&table, Qt::Key_Up, Qt::ControlModifier);
        QCOMPARE(gui.cell(0, Model::Source), QString("c.mpa"));
        QCOMPARE(gui.cell(0, Model::Output), QString("Stream3.mp3"));
        QCOMPARE(gui.windows.frmMain.LstJobAudio(0).listIndex(), 0);
        QCOMPARE(table.currentIndex().row(), 0);
        QVERIFY(!gui.action("MenuJobsMoveUp").isEnabled());
        QTest::keyClick(&table, Qt::Key_Down, Qt::ControlModifier);
        QCOMPARE(gui.cell(1, Model::Source), QString("c.mpa"));
        QCOMPARE(gui.windows.frmMain.LstJobAudio(0).list(1), "c.mpa");

        gui.start();
        QTRY_VERIFY_WITH_TIMEOUT(!gui.running(), 10000);
        QCOMPARE(RecordedOutputs(record),
                 (std::vector<std::string>{"Stream1.mp3", "Stream3.mp3", "Stream2.mp3"}));
    }

    void anAboutBoxOpenDuringARunDoesNotDelayTheNextJob() {
        qputenv("CANTOVA_TEST_SLEEP_MS", "500");
        Gui gui(record, &dialogs);
        gui.add(temp->File("a.mpa"), ui::Codec::Mp3);
        gui.add(temp->File("b.mpa"), ui::Codec::Mp3);
        gui.start();
        gui.windows.frmMain.MenuAbout.press();
        QVERIFY(qobject_cast<QMessageBox*>(QApplication::activeModalWidget()) != nullptr);
        QTRY_COMPARE_WITH_TIMEOUT(gui.cell(1, Model::Status), QString("running 0%"), 5000);
        auto* about = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY2(about != nullptr && about->windowTitle() == "About ...",
                 "the second job started while the About box was open");
        about->close();
        QTRY_VERIFY_WITH_TIMEOUT(!gui.running(), 10000);
    }

    // Dialogs run no event loop of their own: the click that opens one returns with it open, and
    // the run goes on in the program's loop until it is answered.
    void aFileDialogOpenDuringARunDoesNotDelayTheNextJob() {
        qputenv("CANTOVA_TEST_SLEEP_MS", "500");
        // The real file dialogs.
        Gui gui(record, nullptr);
        gui.add(temp->File("a.mpa"), ui::Codec::Mp3);
        gui.add(temp->File("b.mpa"), ui::Codec::Mp3);
        gui.start();
        gui.windows.frmMain.MenuPrfAudioSave.press();
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        QVERIFY2(dialog != nullptr, "the press returned with the dialog open");
        QTRY_COMPARE_WITH_TIMEOUT(gui.cell(1, Model::Status), QString("running 0%"), 5000);
        QCOMPARE(QApplication::activeModalWidget(), dialog);
        dialog->reject();
        QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);
        QTRY_VERIFY_WITH_TIMEOUT(!gui.running(), 10000);
    }

    void questionsAreAnsweredThroughTheLoopWhileTheRunGoesOn() {
        qputenv("CANTOVA_TEST_SLEEP_MS", "500");
        Gui gui(record, &dialogs);
        gui.add(temp->File("a.mpa"), ui::Codec::Mp3);
        gui.add(temp->File("b.mpa"), ui::Codec::Mp3);
        WriteText(temp->File("Stream1.mp3"), "old");
        // The question about replacing files: the start waits for it, nothing else does.
        gui.start();
        auto* replace = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(replace != nullptr && replace->windowTitle() == "Replace Files");
        QCOMPARE(gui.program.program().runner.state(), jobs::RunState::Starting);
        replace->button(QMessageBox::Yes)->click();
        QCOMPARE(gui.program.program().runner.state(), jobs::RunState::Running);
        // Exit's question during the run: the next job starts while it is open; Cancel leaves
        // the run going.
        gui.windows.frmMain.cmdExit.press();
        auto* exit = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(exit != nullptr && exit->windowTitle() == "Exit");
        QTRY_COMPARE_WITH_TIMEOUT(gui.cell(1, Model::Status), QString("running 0%"), 5000);
        exit->button(QMessageBox::Cancel)->click();
        QTRY_VERIFY_WITH_TIMEOUT(!gui.running(), 10000);
        QVERIFY(!gui.windows.program.ended);
        Gui::closeMessages();
    }

    // A large add runs a slice at a time under a progress window: the window stays responsive,
    // and Cancel keeps the jobs added so far.
    void aLargeAddShowsItsProgressAndCanBeCancelled() {
        Gui gui(record, &dialogs);
        const std::filesystem::path folder = temp->Path() / "many";
        std::filesystem::create_directories(folder);
        for (int i = 0; i < 2000; ++i) {
            WriteText((folder / (std::to_string(10000 + i) + ".mpa")).string(), "stream");
        }
        gui.program.program().intake.Drop({folder.string()});
        auto* progress = gui.view.findChild<QProgressDialog*>("AddingJobs");
        QVERIFY2(progress != nullptr, "the drop returned with the add under way");
        QTRY_VERIFY_WITH_TIMEOUT(gui.rows().rowCount() > 0, 5000);
        int ticks = 0;
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
        ticker.start(10);
        QTRY_VERIFY_WITH_TIMEOUT(ticks >= 3, 5000);
        const int before = gui.rows().rowCount();
        QVERIFY2(before < 2000, "the loop ran between slices");
        progress->findChild<QPushButton*>()->click();
        QTRY_VERIFY(gui.view.findChild<QProgressDialog*>("AddingJobs") == nullptr);
        const int kept = gui.rows().rowCount();
        QVERIFY(kept >= before && kept < 2000);
        QTest::qWait(100);
        QCOMPARE(gui.rows().rowCount(), kept);
    }

private:
    std::unique_ptr<TempFolder> temp;
    std::string record;
    settings::ScriptedFileDialogs dialogs;
};

QTEST_MAIN(JobQueueGuiTest)
#include "job_queue_gui_test.moc"
