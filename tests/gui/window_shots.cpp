// Pictures of both windows for every target, to look at after a change to the views: the main
// window and the advanced panel as "Advanced Parameters" arranges it, for the MP3, OGG and WAV
// targets of a source without AC3 and for all four targets of an AC3 source. Not a test.
//
//   xvfb-run -a build/bin/window_shots FOLDER

#include "tests/gui/printed_messages.h"
#include "ui/qt/main_window_view.h"
#include "ui/qt/panel_view.h"
#include "ui/windows.h"

#include <QAbstractButton>
#include <QApplication>

#include <iostream>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::cerr << "usage: window_shots FOLDER\n";
        return 2;
    }
    using namespace cantova;
    ui::PrintedMessages messages;
    ui::Windows windows(messages);
    windows.frmMain.Form_Load();
    ui::qt::MainWindowView view(windows.frmMain);
    ui::qt::PanelView panel(windows.frmPanelAudio, &view);
    windows.frmMain.show();

    const QString folder = argv[1];
    const char* targets[] = {"ac3", "mp3", "ogg", "wav"};
    for (const bool ac3Source : {false, true}) {
        // An AC3 source is what enables the AC3 target and changes the job kinds.
        windows.frmMain.OptAudioCodec[0].setEnabled(ac3Source);
        for (int target = ac3Source ? 0 : 1; target < 4; ++target) {
            windows.frmMain.OptAudioCodec[target].setValue(true);
            windows.frmPanelAudio.hide();
            qobject_cast<QAbstractButton*>(view.form().widgetOf("CmdAdvancedAudio"))->click();
            QApplication::processEvents();
            const QString base =
                folder + (ac3Source ? "/ac3-source-" : "/source-") + targets[target];
            view.grab().save(base + "-main.png");
            if (panel.isVisible()) {
                panel.grab().save(base + "-panel.png");
            }
            std::cout << base.toStdString() << (panel.isVisible() ? " (with panel)\n" : "\n");
        }
    }
    return 0;
}
