// Takes the README's picture of the track list: the main window at scale 1.5 with a container
// chosen as the source and its track list open. Not a test; scripts/screenshots.sh runs it under
// xvfb-run.
//
//   track_list_shot FILE SOURCE

#include "gui/gui_program.h"
#include "picture_taking.h"

#include <QApplication>
#include <QComboBox>
#include <QScreen>

#include <iostream>

using namespace cantova;

namespace {

// The track list: the one list whose first item is a track ("1: AC3 5.1, ...").
QComboBox* TrackList(QWidget& window) {
    for (QComboBox* list : window.findChildren<QComboBox*>()) {
        if (list->count() > 0 && list->itemText(0).startsWith("1: ")) {
            return list;
        }
    }
    return nullptr;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 3) {
        std::cerr << "usage: track_list_shot FILE SOURCE\n";
        return 2;
    }
    qputenv("QT_SCALE_FACTOR", "1.5");
    QApplication app(argc, argv);
    test::UseFormFont();

    ui::qt::GuiProgram gui;
    gui.show(std::string(argv[2]));
    test::Settle(500);
    QComboBox* tracks = TrackList(gui.view());
    if (tracks == nullptr) {
        std::cerr << "track_list_shot: the source shows no track list\n";
        return 1;
    }
    tracks->showPopup();
    test::Settle(500);
    // The window and the open list, as the screen shows them.
    QRect area = gui.view().frameGeometry();
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && window != &gui.view()) {
            area = area.united(window->frameGeometry());
        }
    }
    const QPixmap picture =
        gui.view().screen()->grabWindow(0, area.x(), area.y(), area.width(), area.height());
    if (!picture.save(argv[1])) {
        std::cerr << "track_list_shot: could not write " << argv[1] << '\n';
        return 1;
    }
    std::cout << argv[1] << '\n';
    return 0;
}
