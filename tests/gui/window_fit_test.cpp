// Every window and dialog of the GUI opens with its frame inside the screen's available area and
// every button in reach: inside the window, or inside a scroll area that brings it into view.
// CTest runs this on a 1280x720 and a 1920x1080 screen at scale factors 1, 1.5 and 2.

#include "gui/gui_program.h"
#include "gui/log_window.h"
#include "gui/loudness_dialog.h"
#include "gui/qt_file_dialogs.h"
#include "gui/qt_message_boxes.h"
#include "gui/saved_jobs_questions.h"
#include "settings/file_dialogs.h"

#include "support/temp_folder.h"
#include "tests/gui/temp_home.h"

#include <QAbstractButton>
#include <QFileDialog>
#include <QLayout>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QScrollArea>
#include <QTimer>
#include <QTreeView>
#include <QtTest>

#include <functional>
#include <memory>
#include <string>

using namespace cantova;

namespace {

QString Describe(const QRect& rect) {
    return QString("%1,%2 %3x%4").arg(rect.x()).arg(rect.y()).arg(rect.width()).arg(rect.height());
}

// The frame lies inside the available area, and each button shown is whole and can be seen:
// inside the window, or inside the scroll area it lies in once that has scrolled to it, and no
// smaller than its layout would make it.
bool Fits(QWidget& window, QString& problem) {
    const QRect area = window.screen()->availableGeometry();
    if (!area.contains(window.frameGeometry())) {
        problem = window.objectName() + " frame " + Describe(window.frameGeometry()) + " outside " +
                  Describe(area);
        return false;
    }
    for (QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
        if (!button->isVisibleTo(&window)) {
            continue;
        }
        QWidget* room = &window;
        for (QWidget* parent = button->parentWidget(); parent != &window;
             parent = parent->parentWidget()) {
            if (auto* scroll = qobject_cast<QScrollArea*>(parent)) {
                scroll->ensureWidgetVisible(button, 0, 0);
                room = scroll->viewport();
                break;
            }
        }
        const QRect at(button->mapTo(room, QPoint(0, 0)), button->size());
        // A button a layout places gets at least the size it needs; the forms place their own.
        const QLayout* layout = button->parentWidget()->layout();
        const QSize least = layout != nullptr && layout->indexOf(button) >= 0
                                ? button->minimumSizeHint().boundedTo(button->maximumSize())
                                : QSize(1, 1);
        if (!room->rect().contains(at) || button->width() < least.width() ||
            button->height() < least.height()) {
            problem = "button \"" + button->text() + "\" at " + Describe(at) + " of " +
                      window.objectName() + " " + Describe(room->rect());
            return false;
        }
    }
    return true;
}

// A message box with details fits with them shown too.
bool FitsWithDetails(QWidget& window, QString& problem) {
    auto* box = qobject_cast<QMessageBox*>(&window);
    if (box == nullptr || box->detailedText().isEmpty()) {
        return true;
    }
    for (QAbstractButton* button : box->buttons()) {
        if (box->buttonRole(button) == QMessageBox::ActionRole) {
            button->click();
        }
    }
    QCoreApplication::processEvents();
    return Fits(window, problem);
}

#define VERIFY_FITS(window)                                                                        \
    do {                                                                                           \
        QString problem;                                                                           \
        QVERIFY2(Fits(window, problem), qPrintable(problem));                                      \
    } while (false)

// Runs open, which shows a dialog that may wait for its answer, and checks the dialog it shows
// before closing it.
template <typename Dialog> void CheckOpened(const std::function<void()>& open) {
    bool checked = false;
    QString problem;
    const auto check = [&] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<Dialog*>(window);
            if (dialog == nullptr || !dialog->isVisible() || checked) {
                continue;
            }
            if (!QTest::qWaitForWindowExposed(dialog)) {
                problem = "not exposed";
            } else if (!Fits(*dialog, problem) || !FitsWithDetails(*dialog, problem)) {
                problem = dialog->windowTitle() + ": " + problem;
            }
            checked = true;
            dialog->reject();
        }
    };
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, check);
    timer.start(10);
    open();
    QTRY_VERIFY(checked);
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
}

QAction* ItemNamed(QMenuBar& bar, const QString& name) {
    for (QAction* top : bar.actions()) {
        if (top->menu() == nullptr) {
            continue;
        }
        for (QAction* action : top->menu()->actions()) {
            if (action->objectName() == name) {
                return action;
            }
        }
    }
    return nullptr;
}

std::string ManyLines(const std::string& head, int count) {
    std::string text = head;
    for (int line = 1; line <= count; ++line) {
        text += "\n/home/someone/Music/rip " + std::to_string(line) + "/Stream1.mp3";
    }
    return text;
}

} // namespace

class WindowFitTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { temp = TempFolderAsHome(); }

    void theMainWindowFitsAndItsJobListTakesTheRoomThereIs() {
        settings::ScriptedFileDialogs dialogs;
        ui::qt::GuiProgram gui(&dialogs);
        gui.show();
        ui::qt::MainWindowView& view = gui.view();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        VERIFY_FITS(view);

        // Resizable down to the whole form where the screen has room for it.
        const QSize room = view.screen()->availableGeometry().size();
        QVERIFY(view.minimumSize() != view.maximumSize());
        QVERIFY(view.minimumSize().width() <= room.width());
        QVERIFY(view.minimumSize().height() <= room.height());

        std::vector<std::string> files;
        for (int job = 0; job < 9; ++job) {
            files.push_back(temp->File("home/take " + std::to_string(job) + ".mpa"));
            WriteText(files.back(), "stream");
        }
        gui.program().intake.AddFilesAsJobs(files);
        auto* list = qobject_cast<QTreeView*>(view.form().widgetOf("LstJobAudio(0)"));
        QVERIFY(list != nullptr);
        const auto rowShown = [list](int row) {
            return list->viewport()->rect().contains(
                list->visualRect(list->model()->index(row, 0)));
        };
        // The list shows eight jobs without scrolling it, on every screen; where the screen is
        // too low for that and the whole form, the form scrolls.
        list->scrollToTop();
        QVERIFY(rowShown(7));

        // Where the window shows the whole form, more room goes to the list; the controls below it
        // move down, those above stay. (Elsewhere more room first shows more of the form.)
        const auto* scroll = qobject_cast<QScrollArea*>(view.centralWidget());
        QVERIFY(scroll != nullptr);
        if (scroll->viewport()->width() < view.form().minimumWidth() ||
            scroll->viewport()->height() < view.form().minimumHeight()) {
            return;
        }
        QWidget* exit = view.form().widgetOf("cmdExit");
        QWidget* delay = view.form().widgetOf("TxtDelay");
        const QRect listBefore = list->geometry();
        const QPoint exitBefore = exit->mapTo(&view.form(), QPoint(0, 0));
        const QPoint delayBefore = delay->mapTo(&view.form(), QPoint(0, 0));
        view.resize(view.size() + QSize(40, 60));
        QTRY_COMPARE(list->height(), listBefore.height() + 60);
        QCOMPARE(list->width(), listBefore.width() + 40);
        QCOMPARE(exit->mapTo(&view.form(), QPoint(0, 0)), exitBefore + QPoint(0, 60));
        QCOMPARE(delay->mapTo(&view.form(), QPoint(0, 0)), delayBefore);
    }

    void theAdvancedPanelFits() {
        settings::ScriptedFileDialogs dialogs;
        ui::qt::GuiProgram gui(&dialogs);
        gui.show();
        gui.windows().frmMain.CmdAdvancedAudio.press();
        QVERIFY(QTest::qWaitForWindowExposed(&gui.panel()));
        VERIFY_FITS(gui.panel());
    }

    void theCommandLineWindowsFit() {
        settings::ScriptedFileDialogs dialogs;
        ui::qt::GuiProgram gui(&dialogs);
        gui.show();
        QMenuBar& bar = *gui.view().menuBar();
        for (const char* item : {"MenuShowCommandLines", "MenuSettingsFromCommandLine"}) {
            QAction* action = ItemNamed(bar, item);
            QVERIFY2(action != nullptr, item);
            CheckOpened<QDialog>([action] { action->trigger(); });
        }
    }

    void theLogWindowAndItsSaveDialogFit() {
        auto* window = new ui::qt::LogWindow(
            "/tmp/Audio_Stream.log", QString::fromStdString(ManyLines("log", 300)), nullptr);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        VERIFY_FITS(*window);
        CheckOpened<QFileDialog>([window] { window->saveAs(); });
        window->close();
    }

    void theLoudnessPictureAndItsSaveDialogFit() {
        jobs::LoudnessCurves curves;
        curves.interval = 0.5;
        curves.source.assign(2000, -20);
        curves.output.assign(2000, -16);
        auto* window = new ui::qt::LoudnessDialog("Loudness of Stream1.mp3", curves, nullptr);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        VERIFY_FITS(*window);
        CheckOpened<QFileDialog>([window] { window->saveAs(); });
        window->close();
    }

    void theFileDialogsFit() {
        ui::qt::QtFileDialogs dialogs;
        CheckOpened<QFileDialog>([&] {
            dialogs.ShowOpenDialog("All Files|*.*", "Open", "", [](const std::string&) {});
        });
        CheckOpened<QFileDialog>([&] {
            dialogs.ShowSaveDialog("All Files|*.*", "Save", "", [](const std::string&) {});
        });
        CheckOpened<QFileDialog>(
            [&] { dialogs.ShowOpenFilesDialog("All Files|*.*", "Files", "", nullptr); });
    }

    // The folder dialog for a source on read-only media, and the question of Exit with jobs (and
    // during a run).
    void theQuestionsAboutJobsFit() {
        settings::ScriptedFileDialogs dialogs;
        ui::qt::GuiProgram gui(&dialogs);
        gui.show();
        QVERIFY(QTest::qWaitForWindowExposed(&gui.view()));
        CheckOpened<QFileDialog>([&gui] {
            ui::qt::AskOutputFolder(&gui.view(), "/media/dvd/VIDEO_TS/VTS_01 T80 DELAY -24ms.ac3",
                                    [](const std::string&) {});
        });
        ui::qt::QtExitQuestion exit(&gui.view());
        for (const bool running : {false, true}) {
            CheckOpened<QMessageBox>(
                [&exit, running] { exit.AskAboutJobs(12, running, [](app::ExitChoice) {}); });
        }
    }

    void messagesAndQuestionsWithLongTextsFit() {
        ui::qt::QtMessageBoxes messages;
        CheckOpened<QMessageBox>([&] {
            messages.Show(ManyLines("These jobs failed:", 60), "Cantova",
                          ui::MessageIcon::Exclamation);
        });
        CheckOpened<QMessageBox>([&] {
            messages.Ask(ManyLines("These files exist and the run would replace them:", 60),
                         "Replace", [](bool) {});
        });
    }

private:
    std::unique_ptr<TempFolder> temp;
};

QTEST_MAIN(WindowFitTest)
#include "window_fit_test.moc"
