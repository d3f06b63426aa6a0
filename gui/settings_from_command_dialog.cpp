#include "gui/settings_from_command_dialog.h"

#include "gui/window_placement.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace cantova::ui::qt {

SettingsFromCommandDialog::SettingsFromCommandDialog(jobs::SettingsFromCommand& settingsFromCommand,
                                                     QWidget* owner)
    : QDialog(owner), settingsFromCommand_(settingsFromCommand), line_(new QLineEdit(this)) {
    setObjectName("SettingsFromCommand");
    setWindowTitle(tr("Settings From Command Line"));
    line_->setObjectName("CommandLine");
    line_->setClearButtonEnabled(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Apply | QDialogButtonBox::Close, this);
    connect(buttons->button(QDialogButtonBox::Apply), &QPushButton::clicked, this,
            &SettingsFromCommandDialog::apply);
    connect(line_, &QLineEdit::returnPressed, this, &SettingsFromCommandDialog::apply);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(tr("Paste a job's &command line. The windows take the settings that "
                                "give exactly this line; its source becomes the chosen source."),
                             this);
    label->setWordWrap(true);
    label->setBuddy(line_);
    layout->addWidget(label);
    layout->addWidget(line_);
    layout->addWidget(buttons);
    FitDialogToScreen(*this, QSize(760, sizeHint().height()));
}

void SettingsFromCommandDialog::apply() {
    if (settingsFromCommand_.Apply(line_->text().toStdString())) {
        accept();
    }
}

} // namespace cantova::ui::qt
