// What a person does with mouse and keys beyond the form's own controls: dropping files on the
// main window, the menus' access keys, Delete in the job list, Escape on the panel, adding files
// as jobs from the Jobs menu, and the About box.

#include "gui/gui_program.h"
#include "settings/file_dialogs.h"

#include "support/temp_folder.h"
#include "tests/gui/temp_home.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QtTest>

#include <memory>
#include <string>
#include <vector>

using namespace cantova;

namespace {

struct Gui {
    Gui() {
        windows.program.TranscoderPath = CANTOVA_RECORDING_TRANSCODER;
        program.show();
    }
    QWidget* widget(const std::string& name) const { return view.form().widgetOf(name); }
    std::vector<std::string> jobSources() {
        std::vector<std::string> sources;
        for (const jobs::Job& job : program.program().queue.jobs()) {
            sources.push_back(job.source);
        }
        return sources;
    }

    settings::ScriptedFileDialogs dialogs;
    ui::qt::GuiProgram program{&dialogs};
    ui::Windows& windows = program.windows();
    ui::qt::MainWindowView& view = program.view();
};

// Files as a file manager drags them: their addresses, also as plain text.
QMimeData* FilesData(const std::vector<std::string>& paths) {
    auto* data = new QMimeData;
    QList<QUrl> urls;
    QStringList lines;
    for (const std::string& path : paths) {
        urls << QUrl::fromLocalFile(QString::fromStdString(path));
        lines << urls.back().toString();
    }
    data->setUrls(urls);
    data->setText(lines.join("\n"));
    return data;
}

// A drag of the files entering the widget, then their drop on it, as the window system delivers
// them, and the events that follow; whether the widget took the drop.
bool DropFiles(QWidget* target, const std::vector<std::string>& paths) {
    const std::unique_ptr<QMimeData> data(FilesData(paths));
    const QPoint middle = target->rect().center();
    QDragEnterEvent enter(middle, Qt::CopyAction | Qt::MoveAction, data.get(), Qt::LeftButton,
                          Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted()) {
        return false;
    }
    QDropEvent drop(QPointF(middle), enter.dropAction(), data.get(), Qt::LeftButton,
                    Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    QCoreApplication::processEvents();
    return drop.isAccepted();
}

QAction* MenuItem(QMenuBar& bar, const QString& menu, const QString& item) {
    for (QAction* top : bar.actions()) {
        if (top->menu() != nullptr && top->text() == menu) {
            for (QAction* action : top->menu()->actions()) {
                if (action->text() == item) {
                    return action;
                }
            }
        }
    }
    return nullptr;
}

} // namespace

class WindowInputTest : public QObject {
    Q_OBJECT

private slots:
    void init() { temp = TempFolderAsHome(); }
    void cleanup() { temp.reset(); }

    void oneFileDroppedOnAFieldBecomesTheSourceInsteadOfText() {
        const std::string file = Make("Film DELAY 30ms.mpa");
        Gui gui;
        QVERIFY(DropFiles(gui.widget("TxtDelay"), {file}));
        QCOMPARE(gui.windows.frmMain.TxtStreamAudio.text(), file);
        QCOMPARE(gui.windows.frmMain.TxtDelay.text(), std::string("30"));
        QCOMPARE(qobject_cast<QLineEdit*>(gui.widget("TxtDelay"))->text(), QString("30"));
        QVERIFY(gui.jobSources().empty());
        QVERIFY(gui.windows.frmMain.CmdAddAudioJobList.enabled());
    }

    void severalFilesOrAFolderDroppedBecomeOneJobEach() {
        const std::string a = Make("a.mpa");
        const std::string b = Make("b.mpa");
        const std::string second = Make("rip/2.ac3");
        const std::string first = Make("rip/1.WAV");
        Make("rip/notes.txt");
        Gui gui;
        QVERIFY(DropFiles(gui.widget("LstJobAudio(0)"), {b, a}));
        QVERIFY(DropFiles(&gui.view, {temp->File("rip")}));
        QCOMPARE(gui.jobSources(), (std::vector<std::string>{b, a, first, second}));
        auto* list = qobject_cast<QAbstractItemView*>(gui.widget("LstJobAudio(0)"));
        QCOMPARE(list->model()->rowCount(), 4);
    }

    void aDropIsRefusedWhileJobsRun() {
        qputenv("CANTOVA_TEST_SLEEP_MS", "3000");
        const std::string file = Make("a.mpa");
        const std::string other = Make("b.mpa");
        Gui gui;
        gui.program.program().intake.AddFilesAsJobs({file});
        gui.windows.frmMain.cmdStartEncode.press();
        QVERIFY(gui.program.program().runner.InProgress());
        QVERIFY(!DropFiles(gui.widget("TxtDelay"), {other}));
        QVERIFY(!DropFiles(&gui.view, {other, file}));
        QCOMPARE(gui.windows.frmMain.TxtStreamAudio.text(), file);
        QCOMPARE(gui.jobSources(), std::vector<std::string>{file});
        QCOMPARE(gui.windows.frmMain.TxtDelay.text(), std::string("0"));
        gui.program.program().runner.StopNow();
        QTRY_VERIFY_WITH_TIMEOUT(!gui.program.program().runner.InProgress(), 10000);
    }

    void altPOpensTheProfilsMenuInsteadOfTypingAndLLoads() {
        Gui gui;
        QVERIFY(QTest::qWaitForWindowActive(&gui.view));
        QLineEdit* delay = qobject_cast<QLineEdit*>(gui.widget("TxtDelay"));
        delay->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), delay);
        QTest::keyClick(delay, Qt::Key_P, Qt::AltModifier);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(menu != nullptr);
        QCOMPARE(menu->title(), QString("&Profils"));
        QCOMPARE(delay->text(), QString("0"));
        QTest::keyClick(menu, Qt::Key_L, Qt::AltModifier);
        QTRY_COMPARE(gui.dialogs.Requests().size(), std::size_t(1));
        QCOMPARE(gui.dialogs.Requests()[0].kind, settings::ScriptedFileDialogs::Kind::Open);
        QCOMPARE(gui.dialogs.Requests()[0].title, std::string("Choose Audio Profil File"));
        QCOMPARE(gui.windows.frmMain.TxtDelay.text(), std::string("0"));
    }

    void theMenusShowTheirAccessKeys() {
        Gui gui;
        QMenuBar& bar = *gui.view.menuBar();
        QVERIFY(MenuItem(bar, "&Profils", "&Load Audio ...") != nullptr);
        QVERIFY(MenuItem(bar, "&Profils", "&Save Audio ...") != nullptr);
        QVERIFY(MenuItem(bar, "&Help", "&About") != nullptr);
        QVERIFY(MenuItem(bar, "&Jobs", "&Add Files as Jobs ...") != nullptr);
        // The models keep their captions.
        QCOMPARE(gui.windows.frmMain.MenuPrf.caption(), std::string("Profils"));
    }

    void deleteInTheJobListDeletesTheSelectedJobOnly() {
        const std::string a = Make("a.mpa");
        const std::string b = Make("b.mpa");
        Gui gui;
        gui.program.program().intake.AddFilesAsJobs({a, b});
        QVERIFY(QTest::qWaitForWindowActive(&gui.view));
        auto* list = qobject_cast<QAbstractItemView*>(gui.widget("LstJobAudio(0)"));
        auto* delay = qobject_cast<QLineEdit*>(gui.widget("TxtDelay"));
        delay->setFocus();
        delay->selectAll();
        QTest::keyClick(delay, Qt::Key_Delete);
        QCOMPARE(delay->text(), QString());
        QCOMPARE(gui.jobSources().size(), std::size_t(2));

        list->setFocus();
        list->setCurrentIndex(list->model()->index(0, 0));
        QTRY_COMPARE(QApplication::focusWidget(), list);
        QTest::keyClick(list, Qt::Key_Delete);
        QCOMPARE(gui.jobSources(), std::vector<std::string>{b});
        // With no job selected, Delete does not pick one.
        list->setCurrentIndex({});
        QTest::keyClick(list, Qt::Key_Delete);
        QCOMPARE(gui.jobSources(), std::vector<std::string>{b});
    }

    void escapeOnThePanelActsAsItsCloseButton() {
        Gui gui;
        gui.windows.frmMain.CmdAdvancedAudio.press();
        ui::qt::PanelView& panel = gui.program.panel();
        QVERIFY(panel.isVisible());
        panel.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&panel));
        QTest::keyClick(&panel, Qt::Key_Escape);
        QVERIFY(!gui.windows.frmPanelAudio.visible());
        QVERIFY(!panel.isVisible());
    }

    void addFilesAsJobsTakesTheFilesChosenTogether() {
        const std::string a = Make("a.mpa");
        const std::string b = Make("b DELAY 8ms.mpa");
        Gui gui;
        gui.dialogs.AnswerFiles({a, b});
        QAction* item = MenuItem(*gui.view.menuBar(), "&Jobs", "&Add Files as Jobs ...");
        QVERIFY(item != nullptr);
        item->trigger();
        QCOMPARE(gui.jobSources(), (std::vector<std::string>{a, b}));
        QCOMPARE(gui.dialogs.Requests().at(0).kind, settings::ScriptedFileDialogs::Kind::OpenFiles);
    }

    void theAboutBoxNamesTheVersion() {
        Gui gui;
        QAction* about = MenuItem(*gui.view.menuBar(), "&Help", "&About");
        QVERIFY(about != nullptr);
        about->trigger();
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box != nullptr);
        QVERIFY2(box->text().contains("Version " CANTOVA_VERSION), qPrintable(box->text()));
        box->close();
    }

private:
    std::string Make(const std::string& name) const {
        const std::string path = temp->File(name);
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        WriteText(path, "stream");
        return path;
    }

    std::unique_ptr<TempFolder> temp;
};

QTEST_MAIN(WindowInputTest)
#include "window_input_test.moc"
