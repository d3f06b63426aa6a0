// The GUI: both window models with Qt views, started as the program's load
// step starts them, ending when the main window is unloaded.

#include "ui/qt/gui_program.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // The forms are laid out for an 8.25 pt font.
    QFont font = QApplication::font();
    font.setPointSizeF(8.25);
    QApplication::setFont(font);

    cantova::ui::qt::GuiProgram program;
    program.show();
    return QApplication::exec();
}
