#pragma once

// "Settings From Command Line": a line edit for a pasted job command line; Apply gives the windows
// the settings of that line (a message names the part no setting gives) and closes the dialog
// when they took them. Window-modal over the main window, but nothing waits for it.

#include "jobs/settings_from_command.h"

#include <QDialog>

class QLineEdit;

namespace cantova::ui::qt {

class SettingsFromCommandDialog final : public QDialog {
    Q_OBJECT

public:
    SettingsFromCommandDialog(jobs::SettingsFromCommand& settingsFromCommand, QWidget* owner);

private:
    void apply();

    jobs::SettingsFromCommand& settingsFromCommand_;
    QLineEdit* line_;
};

} // namespace cantova::ui::qt
