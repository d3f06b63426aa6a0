// The GUI started with a file, as "Open With" starts it: once the windows are up, the file is the
// source, exactly as if it had been chosen in the source dialog.

#include "gui/gui_arguments.h"
#include "gui/gui_program.h"
#include "settings/file_dialogs.h"

#include "support/temp_folder.h"
#include "tests/tracklens/ac3_stream_builder.h"

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
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

    // Without oggenc on the search path the start says which package holds it, in a notice
    // that leaves the windows usable.
    void aMissingEngineIsNamedOnceWithItsPackage() {
        TempFolder temp;
        for (const char* engine : {"ffmpeg", "lame"}) {
            WriteText(temp.File(engine), "#!/bin/sh\n");
            std::filesystem::permissions(temp.File(engine), std::filesystem::perms::owner_all);
        }
        const QByteArray previous = qgetenv("PATH");
        qputenv("PATH", QByteArray::fromStdString(temp.Path().string()));
        settings::ScriptedFileDialogs dialogs;
        ui::qt::GuiProgram program(&dialogs);
        program.show();
        qputenv("PATH", previous);
        QList<QMessageBox*> notices;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* box = qobject_cast<QMessageBox*>(widget);
                box != nullptr && box->isVisible()) {
                notices.push_back(box);
            }
        }
        QCOMPARE(notices.size(), 1);
        QVERIFY(notices[0]->text().contains("oggenc (Debian package vorbis-tools)"));
        QVERIFY(!notices[0]->text().contains("lame ("));
        QCOMPARE(notices[0]->windowModality(), Qt::NonModal);
        QVERIFY(program.view().isEnabled());
    }
};

QTEST_MAIN(GuiStartTest)
#include "gui_start_test.moc"
