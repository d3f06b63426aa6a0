// The GUI started with a file, as "Open With" starts it: once the windows are up, the file is the
// source, exactly as if it had been chosen in the source dialog.

#include "gui/gui_arguments.h"
#include "gui/gui_program.h"
#include "settings/file_dialogs.h"

#include "support/temp_folder.h"
#include "tests/tracklens/ac3_stream_builder.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <filesystem>

using namespace cantova;

class GuiStartTest : public QObject {
    Q_OBJECT

private slots:
    void aFileGivenAtStartIsTheSourceWithWhatTheLibraryReads() {
        TempFolder temp;
        // 448 kbit/s, 3/2 with LFE, 48 kHz.
        WriteText(temp.File("VTS_01 DELAY -24ms.ac3"), Ac3FileWithHeaderAt(0, {0, 30, 7, 1}));
        const std::filesystem::path previous = std::filesystem::current_path();
        std::filesystem::current_path(temp.Path());
        const ui::qt::GuiArguments arguments =
            ui::qt::ParseGuiArguments({"VTS_01 DELAY -24ms.ac3"});
        std::filesystem::current_path(previous);

        settings::ScriptedFileDialogs dialogs;
        ui::qt::GuiProgram program(&dialogs);
        program.show(arguments.source);
        const ui::qt::FormView& form = program.view().form();
        QCOMPARE(qobject_cast<QLineEdit*>(form.widgetOf("TxtStreamAudio"))->text().toStdString(),
                 temp.File("VTS_01 DELAY -24ms.ac3"));
        QCOMPARE(qobject_cast<QLabel*>(form.widgetOf("LbStream1Info"))->text().toStdString(),
                 std::string("Bitrate : 448 Kbps   Channels : 5   Frequency : 48000 Hz"));
        QCOMPARE(qobject_cast<QLineEdit*>(form.widgetOf("TxtDelay"))->text().toStdString(),
                 std::string("-24"));
        QVERIFY(qobject_cast<QPushButton*>(form.widgetOf("CmdAddAudioJobList"))->isEnabled());
        QVERIFY(program.view().isVisible());
    }
};

QTEST_MAIN(GuiStartTest)
#include "gui_start_test.moc"
