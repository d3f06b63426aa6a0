// The GUI: both window models with Qt views, started as the program's load
// step starts them, ending when the main window is unloaded.

#include "gui/display_check.h"
#include "gui/gui_arguments.h"
#include "gui/gui_program.h"
#include "settings/paths.h"

#include <QApplication>
#include <QIcon>

#include <cstdlib>
#include <iostream>

int main(int argc, char* argv[]) {
    using cantova::ui::qt::GuiArguments;
    // Answered before Qt starts, so that they need no display.
    const GuiArguments arguments = cantova::ui::qt::ParseGuiArguments({argv + 1, argv + argc});
    switch (arguments.request) {
    case GuiArguments::Request::Help:
        std::cout << cantova::ui::qt::GuiHelpText();
        return 0;
    case GuiArguments::Request::Version:
        std::cout << "cantova-gui " << CANTOVA_VERSION << '\n';
        return 0;
    case GuiArguments::Request::Refused:
        std::cerr << "cantova-gui: " << arguments.error << "\nTry 'cantova-gui --help'.\n";
        return 2;
    case GuiArguments::Request::Run:
        break;
    }

    if (const auto missing =
            cantova::ui::qt::MissingDisplay(std::getenv("QT_QPA_PLATFORM"), std::getenv("DISPLAY"),
                                            std::getenv("WAYLAND_DISPLAY"))) {
        std::cerr << "cantova-gui: " << *missing << '\n';
        return 1;
    }

    // Qt takes none of the arguments: they have been read above.
    int qtArgumentCount = 1;
    cantova::ui::qt::EndWithoutAbortWhenNoDisplay();
    QApplication app(qtArgumentCount, argv);
    cantova::ui::qt::RestoreFatalHandling();
    QApplication::setApplicationVersion(CANTOVA_VERSION);
    // The desktop entry and the icon theme's icon of the installed program.
    QGuiApplication::setDesktopFileName("cantova-gui");
    QApplication::setWindowIcon(QIcon::fromTheme("cantova-gui"));
    // The forms are laid out for an 8.25 pt font.
    QFont font = QApplication::font();
    font.setPointSizeF(8.25);
    QApplication::setFont(font);

    cantova::ui::qt::GuiProgram program(nullptr, {}, cantova::settings::StateFolder(),
                                        cantova::ui::qt::RememberedSettings::DefaultFile());
    program.show(arguments.source);
    return QApplication::exec();
}
