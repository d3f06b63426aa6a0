#pragma once

// The "Command Lines" menu of the main window: "Show Command Lines ..." and "Settings From
// Command Line ...", each opening its window without holding up the program.

#include "app/program.h"

#include <QObject>
#include <QPointer>

class QMainWindow;

namespace cantova::ui::qt {

class CommandLinesWindow;
class SettingsFromCommandDialog;

class CommandLineMenu final : public QObject {
    Q_OBJECT

public:
    CommandLineMenu(QMainWindow& window, app::Program& program, jobs::Clipboard& clipboard);

    void showCommandLines();
    void pasteCommandLine();

private:
    QMainWindow& window_;
    app::Program& program_;
    jobs::Clipboard& clipboard_;
    QPointer<CommandLinesWindow> linesWindow_;
    QPointer<SettingsFromCommandDialog> pasteDialog_;
};

} // namespace cantova::ui::qt
