// The dialogs and the keyboard: each one that opens takes the keys, Escape closes it, and Enter
// on a question keeps the files; and where the file dialogs open. Runs on an X server of its own
// (xvfb-run), which gives a window the keys only when the program asks for them.

#include "gui/gui_program.h"
#include "gui/log_viewer_dialog.h"
#include "gui/qt_file_dialogs.h"
#include "gui/qt_message_boxes.h"
#include "settings/file_dialogs.h"

#include "support/temp_folder.h"
#include "tests/gui/temp_home.h"

#include <QFileDialog>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <filesystem>
#include <memory>
#include <string>

using namespace cantova;

namespace {

QAction* ItemNamed(QMenuBar& bar, const QString& name) {
    for (QAction* top : bar.actions()) {
        for (QAction* action :
             top->menu() != nullptr ? top->menu()->actions() : QList<QAction*>()) {
            if (action->objectName() == name) {
                return action;
            }
        }
    }
    return nullptr;
}

// The visible top-level window of the type given, other than the main window.
template <typename Window> Window* Shown() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* window = qobject_cast<Window*>(widget);
        if (window != nullptr && window->isVisible() &&
            qobject_cast<QMainWindow*>(widget) == nullptr) {
            return window;
        }
    }
    return nullptr;
}

// The window that opens is active and one of its widgets has the keys; Escape then closes it.
bool TakesKeysAndEscapeCloses(QWidget* window, QString& problem) {
    if (window == nullptr) {
        problem = "no window opened";
        return false;
    }
    if (!QTest::qWaitForWindowActive(window)) {
        problem = window->objectName() + " is not active";
        return false;
    }
    const auto hasKeys = [window] {
        return QApplication::focusWidget() != nullptr &&
               QApplication::focusWidget()->window() == window;
    };
    if (!QTest::qWaitFor(hasKeys, 2000)) {
        problem = window->objectName() + " does not have the keys";
        return false;
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    if (!QTest::qWaitFor([window] { return !window->isVisible(); }, 2000)) {
        problem = "Escape left " + window->objectName() + " open";
        return false;
    }
    return true;
}

#define VERIFY_KEYS(window)                                                                        \
    do {                                                                                           \
        QString problem;                                                                           \
        QVERIFY2(TakesKeysAndEscapeCloses(window, problem), qPrintable(problem));                  \
    } while (false)

// Runs ask (a question that waits for its answer); meanwhile presses the key given on the question
// that opened. The caption of the question's default button, empty when it has none.
QString AnswerWithKey(const std::function<void()>& ask, Qt::Key key) {
    QString defaultButton;
    bool answered = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box != nullptr && QTest::qWaitForWindowActive(box)) {
            if (box->defaultButton() != nullptr) {
                defaultButton = box->defaultButton()->text().remove('&');
            }
            QTest::keyClick(QApplication::focusWidget(), key);
        }
        answered = true;
    });
    ask();
    const bool done = QTest::qWaitFor([&] { return answered; }, 2000);
    // The answered box goes only once the event loop deletes it; the next question must not find
    // it.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return done ? defaultButton : QString();
}

} // namespace

class DialogsTest : public QObject {
    Q_OBJECT

private slots:
    void init() { temp = TempFolderAsHome(); }
    void cleanup() { temp.reset(); }

    void thePanelAndEachDialogTakeTheKeysAndEscapeClosesThem() {
        settings::ScriptedFileDialogs dialogs;
        ui::qt::GuiProgram gui(&dialogs);
        gui.show();
        QVERIFY(QTest::qWaitForWindowActive(&gui.view()));
        gui.windows().frmMain.CmdAdvancedAudio.press();
        // A tool window counts as active while its owner is: the keys must have moved to it.
        QTRY_VERIFY(gui.panel().isAncestorOf(QApplication::focusWidget()));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(!gui.windows().frmPanelAudio.visible());
        QVERIFY(!gui.panel().isVisible());

        QMenuBar& bar = *gui.view().menuBar();
        for (const char* item : {"MenuShowCommandLines", "MenuSettingsFromCommandLine"}) {
            ItemNamed(bar, item)->trigger();
            VERIFY_KEYS(Shown<QDialog>());
        }
        const std::string log = temp->File("home/Audio_Stream.log");
        WriteText(log, "job 1\n");
        ui::qt::LogViewerDialog logViewer(&gui.view());
        logViewer.ShowLog(log);
        VERIFY_KEYS(Shown<QDialog>());

        ui::qt::QtMessageBoxes messages;
        messages.Show("Done.", "Cantova", ui::MessageIcon::Information);
        VERIFY_KEYS(Shown<QMessageBox>());
    }

    void enterOnAQuestionAnswersNoAndEscapeToo() {
        ui::qt::QtMessageBoxes messages;
        bool answer = true;
        const auto ask = [&] {
            messages.Ask("These files exist and the run would replace them:\n/a.mp3", "Replace",
                         [&answer](bool yes) { answer = yes; });
        };
        QCOMPARE(AnswerWithKey(ask, Qt::Key_Return), QString("No"));
        QVERIFY(!answer);
        answer = true;
        AnswerWithKey(ask, Qt::Key_Escape);
        QVERIFY(!answer);
        // Yes stays within reach of a deliberate key.
        AnswerWithKey(ask, Qt::Key_Y);
        // A mnemonic key clicks its button with a short animation, after the key press.
        QTRY_VERIFY(answer);
    }

    void fileDialogsOpenWhereTheLastOneChoseElseBesideTheSourceElseHome() {
        namespace fs = std::filesystem;
        const std::string music = temp->File("music");
        const std::string other = temp->File("other");
        fs::create_directories(music);
        fs::create_directories(other);
        std::string source;
        ui::qt::QtFileDialogs dialogs;
        dialogs.folder().setSourcePath([&source] { return source; });

        QString opened;
        QStringList answer;
        const auto open = [&] {
            dialogs.ShowOpenFilesDialog("All Files|*.*", "Files", "", [](const auto&) {});
            auto* dialog = Shown<QFileDialog>();
            QVERIFY(dialog != nullptr);
            opened = dialog->directory().absolutePath();
            if (answer.isEmpty()) {
                dialog->reject();
            } else {
                emit dialog->filesSelected(answer);
                dialog->close();
            }
            QCoreApplication::processEvents();
        };
        open();
        QCOMPARE(opened, QDir::homePath());
        source = music + "/VTS_01.ac3";
        open();
        QCOMPARE(opened, QString::fromStdString(music));
        // A choice elsewhere is where the next dialog opens, whatever the source.
        answer = {QString::fromStdString(other + "/a.mpa"),
                  QString::fromStdString(other + "/b.mpa")};
        open();
        answer.clear();
        open();
        QCOMPARE(opened, QString::fromStdString(other));
        // Once that folder is gone, the source's is next.
        fs::remove_all(other);
        open();
        QCOMPARE(opened, QString::fromStdString(music));
    }

private:
    std::unique_ptr<TempFolder> temp;
};

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
