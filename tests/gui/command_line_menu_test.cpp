// The Clipboard button and the "Command Lines" menu in the GUI, under the offscreen platform.

#include "cmdline/command_forms.h"
#include "cmdline/job_command.h"
#include "gui/form_view.h"
#include "gui/gui_program.h"

#include "support/temp_folder.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QDialog>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

using namespace cantova;

class CommandLineMenuTest : public QObject {
    Q_OBJECT

private slots:
    void clipboardShowAndPasteWorkOnTheWindows() {
        TempFolder folder;
        const std::string source = folder.File("song.mpa");
        WriteText(source, "stream");
        settings::ScriptedFileDialogs dialogs;
        ui::qt::GuiProgram gui(&dialogs);
        gui.show();
        gui.program().sources.Select(source);
        ui::Windows& windows = gui.windows();
        const std::string mp3Line = cmdline::BuildCommandOfSettings(windows, 1).value();

        auto* clipboardButton =
            qobject_cast<QAbstractButton*>(gui.view().form().widgetOf("CmdClipboard"));
        QVERIFY(clipboardButton != nullptr && clipboardButton->isEnabled());
        clipboardButton->click();
        QCOMPARE(QGuiApplication::clipboard()->text(), QString::fromStdString(mp3Line));

        QAction* show = gui.view().findChild<QAction*>("MenuShowCommandLines");
        QVERIFY(show != nullptr);
        show->trigger();
        auto* window = gui.view().findChild<QDialog*>("CommandLines");
        QVERIFY(window != nullptr && window->isVisible());
        auto* list = window->findChild<QListWidget*>();
        QCOMPARE(list->count(), 1);
        QCOMPARE(list->item(0)->text(), QString::fromStdString(mp3Line));
        window->findChild<QPushButton*>("CopyShell")->click();
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 QString::fromStdString(cmdline::ShellCommand(mp3Line)));

        // A line made with other settings, pasted back.
        windows.frmMain.OptAudioCodec[2].setValue(true);
        windows.frmMain.ChkUseBoost.setValue(1);
        const std::string oggLine = cmdline::BuildCommandOfSettings(windows, 7).value();
        windows.frmMain.OptAudioCodec[1].setValue(true);
        windows.frmMain.ChkUseBoost.setValue(0);
        gui.view().findChild<QAction*>("MenuSettingsFromCommandLine")->trigger();
        auto* paste = gui.view().findChild<QDialog*>("SettingsFromCommand");
        QVERIFY(paste != nullptr && paste->isVisible());
        paste->findChild<QLineEdit*>("CommandLine")->setText(QString::fromStdString(oggLine));
        QTest::keyClick(paste->findChild<QLineEdit*>("CommandLine"), Qt::Key_Return);
        QVERIFY(!paste->isVisible());
        QCOMPARE(cmdline::BuildCommandOfSettings(windows, 7).value(), oggLine);
        QCOMPARE(windows.frmMain.ChkUseBoost.value(), 1);
        auto* boostBox = qobject_cast<QAbstractButton*>(gui.view().form().widgetOf("ChkUseBoost"));
        QVERIFY(boostBox->isChecked());
    }
};

QTEST_MAIN(CommandLineMenuTest)
#include "command_line_menu_test.moc"
