// A whole run through the Qt GUI: a scripted source dialog, clicks on the real buttons, the
// recording transcoder as the job's program, and the modal windows at the end closed as a
// person would close them.

#include "gui/gui_program.h"
#include "settings/file_dialogs.h"

#include "support/temp_folder.h"
#include "tests/gui/temp_home.h"
#include "tests/tracklens/ac3_stream_builder.h"

#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

using namespace cantova;

namespace {

// The GUI as the program builds it, with the source dialog answered from a script.
struct Gui {
    explicit Gui(const std::string& transcoder) {
        windows.program.TranscoderPath = transcoder;
        program.show();
    }
    QPushButton* button(const std::string& name) const {
        return qobject_cast<QPushButton*>(view.form().widgetOf(name));
    }
    void click(const std::string& name) const { QTest::mouseClick(button(name), Qt::LeftButton); }
    bool running() { return program.program().runner.InProgress(); }

    settings::ScriptedFileDialogs dialogs;
    ui::qt::GuiProgram program{&dialogs};
    ui::Windows& windows = program.windows();
    ui::qt::MainWindowView& view = program.view();
};

// What a person watching the screen during a click on Start sees, sampled by a timer of the
// GUI's own event loop. Modal windows are read and closed as they come.
struct Watcher {
    explicit Watcher(Gui& gui) : gui(gui) {
        QObject::connect(&timer, &QTimer::timeout, [this] { look(); });
        timer.start(50);
    }
    void look() {
        ++ticks;
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->objectName() == "LogViewer" && window->isVisible()) {
                logShown = window->findChild<QPlainTextEdit*>()->toPlainText().toStdString();
                window->close();
            }
        }
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr) {
            titles.insert(gui.view.windowTitle().toStdString());
            if (gui.running()) {
                for (const char* name : {"cmdStartEncode", "CmdBrowseStream1", "CmdAddAudioJobList",
                                         "CmdDelAudioJobList"}) {
                    if (gui.button(name)->isEnabled()) {
                        usableDuringRun.insert(name);
                    }
                }
            }
            gui.view.form().update();
            return;
        }
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            boxes.push_back(box->windowTitle().toStdString() + ": " + box->text().toStdString());
        }
        modal->close();
    }

    Gui& gui;
    QTimer timer;
    int ticks = 0;
    std::set<std::string> titles;
    // Job buttons found enabled while the run was in progress.
    std::set<std::string> usableDuringRun;
    std::vector<std::string> boxes;
    std::string logShown;
};

// Counts the repaints of a widget.
struct PaintCounter : QObject {
    bool eventFilter(QObject*, QEvent* event) override {
        paints += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
    int paints = 0;
};

// Message boxes as they are shown, also those whose loop returns at once because the
// application is quitting.
struct ShownBoxes : QObject {
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (auto* box = qobject_cast<QMessageBox*>(watched); box && event->type() == QEvent::Show) {
            texts.push_back(box->windowTitle().toStdString() + ": " + box->text().toStdString());
        }
        return false;
    }
    std::vector<std::string> texts;
};

} // namespace

class GuiRunTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        temp = TempFolderAsHome();
        source = temp->File("Film DELAY 0ms.mpa");
        WriteText(source, "stream");
    }
    void cleanup() { temp.reset(); }

    void startRunsBothJobsWhileTheWindowStaysResponsiveAndShowsTheLog() {
        qputenv("CANTOVA_TEST_SLEEP_MS", "2000");
        qputenv("CANTOVA_TEST_PROGRESS", "4");
        Gui gui(CANTOVA_RECORDING_TRANSCODER);
        gui.dialogs.Answer(source);
        gui.click("CmdBrowseStream1");
        gui.click("CmdAddAudioJobList");
        gui.windows.frmMain.OptAudioCodec[2].setValue(true);
        gui.click("CmdAddAudioJobList");
        QCOMPARE(gui.windows.frmMain.LstJobAudio(0).listCount(), 2);

        PaintCounter painted;
        gui.view.form().installEventFilter(&painted);
        Watcher watcher(gui);
        gui.click("cmdStartEncode");
        QTRY_VERIFY_WITH_TIMEOUT(!gui.running() && !watcher.logShown.empty(), 20000);

        QVERIFY2(watcher.ticks >= 20, "a timer fires all through the four seconds of the run");
        QVERIFY2(painted.paints >= 10, "the window repaints while the jobs run");
        const std::string title = "Cantova Light GUI v1.4.8";
        // The title takes a new percentage at the pace of the table and the status line.
        for (const std::string job : {" - job 1 of 2 - ", " - job 2 of 2 - "}) {
            QVERIFY2(std::any_of(watcher.titles.begin(), watcher.titles.end(),
                                 [&](const std::string& shown) {
                                     return shown.rfind(title + job, 0) == 0 && shown.back() == '%';
                                 }),
                     job.c_str());
        }
        QVERIFY(watcher.usableDuringRun.empty());
        QVERIFY(watcher.boxes.empty());
        QVERIFY2(watcher.logShown.find("transcoded " + temp->File("Stream1.mp3")) !=
                     std::string::npos,
                 watcher.logShown.c_str());
        QVERIFY(watcher.logShown.find("Stream2.ogg") != std::string::npos);
        QCOMPARE(gui.view.windowTitle().toStdString(), title);
        QVERIFY(gui.button("cmdStartEncode")->isEnabled());
        QCOMPARE(gui.windows.frmMain.LstJobAudio(0).listCount(), 0);
    }

    void anAc3SourceShowsWhatTheLibraryReadsInTheWindow() {
        const std::string ac3 = temp->File("VTS_01 DELAY -24ms.ac3");
        // 448 kbit/s, 3/2 with LFE, 48 kHz, not on a byte boundary.
        WriteText(ac3, Ac3FileWithHeaderAt(5, {0, 30, 7, 1}));
        Gui gui(CANTOVA_RECORDING_TRANSCODER);
        gui.dialogs.Answer(ac3);
        gui.click("CmdBrowseStream1");
        auto* info = qobject_cast<QLabel*>(gui.view.form().widgetOf("LbStream1Info"));
        auto* ac3Target = qobject_cast<QRadioButton*>(gui.view.form().widgetOf("OptAudioCodec(0)"));
        QVERIFY(info != nullptr && ac3Target != nullptr);
        QCOMPARE(info->text().toStdString(),
                 std::string("Bitrate : 448 Kbps   Channels : 5   Frequency : 48000 Hz"));
        QCOMPARE(ac3Target->text().toStdString(), std::string("AC3 448 Kbps"));
        QVERIFY(ac3Target->isEnabled());
        QCOMPARE(gui.windows.frmMain.TxtDelay.text(), std::string("-24"));
    }

    void aRunWithoutLogEndsWithNotFound() {
        Gui gui(temp->File("no-transcoder"));
        gui.dialogs.Answer(source);
        gui.click("CmdBrowseStream1");
        gui.click("CmdAddAudioJobList");
        Watcher watcher(gui);
        gui.click("cmdStartEncode");
        QTRY_COMPARE_WITH_TIMEOUT(watcher.boxes.size(), std::size_t{2}, 10000);
        // Both come at once, the last one on top.
        std::sort(watcher.boxes.begin(), watcher.boxes.end());
        QVERIFY(watcher.boxes[0].starts_with("Job Report: "));
        QVERIFY(watcher.boxes[0].find("could not be started") != std::string::npos);
        QCOMPARE(watcher.boxes[1], std::string("Not Found: No Log File Found"));
        QVERIFY(watcher.logShown.empty());
    }

    // The application quitting during a run (the session ends, say) stops the run as Exit does:
    // the jobs not done stay in the list, queued, for the program's end, which here (keeping no
    // list) discards them with their settings files. Nobody is left to read a report.
    void quittingTheApplicationDuringARunStopsItAsExitDoes() {
        qputenv("CANTOVA_TEST_SLEEP_MS", "20000");
        {
            Gui gui(CANTOVA_RECORDING_TRANSCODER);
            gui.dialogs.Answer(source);
            gui.click("CmdBrowseStream1");
            gui.click("CmdAddAudioJobList");
            gui.click("CmdAddAudioJobList");
            ShownBoxes boxes;
            qApp->installEventFilter(&boxes);
            QTimer::singleShot(0, qApp, [&] {
                QTimer::singleShot(300, qApp, [] { QCoreApplication::exit(0); });
                gui.click("cmdStartEncode");
            });
            QApplication::exec();
            qApp->removeEventFilter(&boxes);
            QVERIFY(!gui.running());
            QCOMPARE(boxes.texts, std::vector<std::string>{});
            const jobs::JobQueue& queue = gui.program.program().queue;
            QCOMPARE(queue.count(), 2);
            QCOMPARE(queue.at(0).status, jobs::JobStatus::Queued);
            QCOMPARE(queue.at(1).status, jobs::JobStatus::Queued);
            const std::string log = ReadText(temp->File("home/Audio_Stream.log"));
            QVERIFY2(log.find("Stream2") == std::string::npos, "the second job never starts");
        }
        std::vector<std::string> left;
        for (const auto& entry : std::filesystem::directory_iterator(temp->Path())) {
            left.push_back(entry.path().filename().string());
        }
        std::sort(left.begin(), left.end());
        QCOMPARE(left, (std::vector<std::string>{"Film DELAY 0ms.mpa", "home"}));
    }

private:
    std::unique_ptr<TempFolder> temp;
    std::string source;
};

QTEST_MAIN(GuiRunTest)
#include "gui_run_test.moc"
