// Pictures of both windows for every target, to look at after a change to the views: the main
// window and the advanced panel as "Advanced Parameters" arranges it, for the MP3, OGG and WAV
// targets of a source without AC3 and for all four targets of an AC3 source, at a scale factor
// (1 unless given). Each window is pictured as it shows on the screen, and its whole form as well
// when the screen has no room for all of it. Not a test.
//
//   xvfb-run -a build/bin/window_shots FOLDER [FACTOR]

#include "gui/main_window_view.h"
#include "gui/panel_view.h"
#include "tests/gui/printed_messages.h"
#include "ui/windows.h"

#include <QAbstractButton>
#include <QApplication>

#include <cstdlib>
#include <iostream>

namespace {

// The window as it shows, and its whole form when the window shows only part of it.
void Save(QWidget& window, QWidget& form, const QString& base) {
    window.grab().save(base + ".png");
    if (form.visibleRegion() != QRegion(form.rect())) {
        form.grab().save(base + "-whole.png");
    }
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 2 && argc != 3) {
        std::cerr << "usage: window_shots FOLDER [FACTOR]\n";
        return 2;
    }
    const double factor = argc == 3 ? std::atof(argv[2]) : 1;
    if (factor <= 0) {
        std::cerr << "window_shots: the factor must be a positive number\n";
        return 2;
    }
    // Qt reads the factor when the application starts.
    qputenv("QT_SCALE_FACTOR", QByteArray::number(factor));
    QApplication app(argc, argv);
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
            Save(view, view.form(), base + "-main");
            if (panel.isVisible()) {
                Save(panel, panel.form(), base + "-panel");
            }
            std::cout << base.toStdString() << (panel.isVisible() ? " (with panel)\n" : "\n");
        }
    }
    return 0;
}
