#include "gui/command_line_menu.h"

#include "gui/command_lines_window.h"
#include "gui/settings_from_command_dialog.h"

#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace cantova::ui::qt {

CommandLineMenu::CommandLineMenu(QMainWindow& window, app::Program& program,
                                 jobs::Clipboard& clipboard)
    : window_(window), program_(program), clipboard_(clipboard) {
    auto* menu = new QMenu(tr("Co&mmand Lines"), &window);
    menu->setObjectName("MenuCommandLines");
    QAction* show = menu->addAction(tr("&Show Command Lines ..."));
    show->setObjectName("MenuShowCommandLines");
    connect(show, &QAction::triggered, this, &CommandLineMenu::showCommandLines);
    QAction* paste = menu->addAction(tr("Settings &From Command Line ..."));
    paste->setObjectName("MenuSettingsFromCommandLine");
    connect(paste, &QAction::triggered, this, &CommandLineMenu::pasteCommandLine);
    // Before the last menu, the help menu.
    const QList<QAction*> menus = window.menuBar()->actions();
    window.menuBar()->insertMenu(menus.isEmpty() ? nullptr : menus.back(), menu);
}

void CommandLineMenu::showCommandLines() {
    if (linesWindow_ == nullptr) {
        linesWindow_ = new CommandLinesWindow(program_.commandLines, clipboard_, &window_);
    }
    linesWindow_->refresh();
    linesWindow_->show();
    linesWindow_->raise();
    linesWindow_->activateWindow();
}

void CommandLineMenu::pasteCommandLine() {
    if (pasteDialog_ == nullptr) {
        pasteDialog_ = new SettingsFromCommandDialog(program_.settingsFromCommand, &window_);
    }
    pasteDialog_->open();
}

} // namespace cantova::ui::qt
