// The E&xit button ends the program as the title bar's close does: the application's event loop
// returns. Driven through the real widgets, by mouse and by its access key. What the GUI keeps of
// its settings for the next start.

#include "gui/gui_program.h"
#include "settings/file_dialogs.h"
#include "ui/gain_modes.h"

#include "support/temp_folder.h"

#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <filesystem>
#include <functional>

using namespace cantova;

namespace {

// Runs the application's event loop with the action queued as its first event; the exit code
// of the loop, or -1 when it was still running after ten seconds.
int ExecAfter(const std::function<void()>& action) {
    QTimer::singleShot(0, qApp, action);
    QTimer::singleShot(10000, qApp, [] { QCoreApplication::exit(-1); });
    return QApplication::exec();
}

} // namespace

class ExitTest : public QObject {
    Q_OBJECT

private slots:
    void clickingExitEndsTheApplication() {
        settings::ScriptedFileDialogs dialogs;
        ui::qt::GuiProgram program(&dialogs);
        program.show();
        auto* exit = qobject_cast<QPushButton*>(program.view().form().widgetOf("cmdExit"));
        QVERIFY(exit != nullptr);
        QCOMPARE(ExecAfter([exit] { QTest::mouseClick(exit, Qt::LeftButton); }), 0);
        QVERIFY(!program.view().isVisible());
        QVERIFY(program.windows().program.ended);
    }

    void altXEndsTheApplication() {
        settings::ScriptedFileDialogs dialogs;
        ui::qt::GuiProgram program(&dialogs);
        program.show();
        QVERIFY(QTest::qWaitForWindowActive(&program.view()));
        QCOMPARE(ExecAfter([&] { QTest::keyClick(&program.view(), Qt::Key_X, Qt::AltModifier); }),
                 0);
        QVERIFY(program.windows().program.ended);
    }

    // The settings the GUI ended with are those of its next start; "Default Settings" brings back
    // the ones a first start has.
    void theSettingsOfTheLastSessionComeBackAndTheDefaultsOnRequest() {
        TempFolder temp;
        const std::string file = temp.File("config/cantova/last-settings.aud");
        settings::ScriptedFileDialogs dialogs;
        const auto rate = [](ui::qt::GuiProgram& program) {
            return program.windows().frmMain.CmbBitrateAudio.selectedText();
        };
        std::string chosenRate;
        {
            ui::qt::GuiProgram first(&dialogs, {}, {}, file);
            first.show();
            ui::MainWindow& main = first.windows().frmMain;
            const std::string defaultRate = rate(first);
            main.OptAudioCodec[static_cast<int>(ui::Codec::Ogg)].setValue(true);
            main.CmbBitrateAudio.setListIndex(main.CmbBitrateAudio.listIndex() + 3);
            main.CmbGainMode.setListIndex(*ui::GainModePosition(ui::Codec::Ogg, ui::kGainLoudness));
            chosenRate = rate(first);
            QVERIFY(chosenRate != defaultRate);
            QCOMPARE(ExecAfter([&main] { main.cmdExit.press(); }), 0);
        }
        QVERIFY(std::filesystem::is_regular_file(file));
        QVERIFY(!std::filesystem::exists(file + ".tmp"));

        ui::qt::GuiProgram second(&dialogs, {}, {}, file);
        second.show();
        ui::MainWindow& main = second.windows().frmMain;
        QCOMPARE(main.OptAudioCodec.chosen(), static_cast<int>(ui::Codec::Ogg));
        QCOMPARE(rate(second), chosenRate);
        QCOMPARE(main.TxtLoudnessTarget.text(), std::string("-23"));
        int mode = -1;
        QVERIFY(main.CmbGainMode.selectedData(mode) && mode == ui::kGainLoudness);

        auto* defaults = second.view().findChild<QAction*>("MenuPrfDefaultSettings");
        QVERIFY(defaults != nullptr);
        QCOMPARE(defaults->text(), QString("Default Settings"));
        defaults->trigger();
        QCOMPARE(main.OptAudioCodec.chosen(), static_cast<int>(ui::Codec::Mp3));
        QVERIFY(main.CmbGainMode.selectedData(mode) && mode == ui::kGainNone);
        QVERIFY(rate(second) != chosenRate);
    }

    // Values that cannot be used leave the start-up settings as they are.
    void aBrokenSettingsFileChangesNothing() {
        TempFolder temp;
        WriteText(temp.File("last-settings.aud"), "[SETTING]\nCodec=AAC\nJobKind=x\n");
        settings::ScriptedFileDialogs dialogs;
        ui::qt::GuiProgram program(&dialogs, {}, {}, temp.File("last-settings.aud"));
        QCOMPARE(program.windows().frmMain.OptAudioCodec.chosen(),
                 static_cast<int>(ui::Codec::Mp3));
    }
};

QTEST_MAIN(ExitTest)
#include "exit_test.moc"
