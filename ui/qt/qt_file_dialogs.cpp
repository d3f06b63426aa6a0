#include "ui/qt/qt_file_dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QStringList>

namespace cantova::ui::qt {

namespace {

// Runs the dialog; the chosen path, or empty text when cancelled.
std::string Run(QFileDialog::AcceptMode mode, const std::string& filter, const std::string& title,
                const std::string& initialFolder) {
    QFileDialog dialog(QApplication::activeWindow(), QString::fromStdString(title),
                       QString::fromStdString(initialFolder));
    dialog.setAcceptMode(mode);
    // Open takes only an existing file; save asks before overwriting (Qt's default).
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    QStringList nameFilters;
    for (const std::string& nameFilter : settings::ToQtNameFilters(filter)) {
        nameFilters << QString::fromStdString(nameFilter);
    }
    if (!nameFilters.isEmpty()) {
        dialog.setNameFilters(nameFilters);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().constFirst().toStdString();
}

} // namespace

std::string QtFileDialogs::ShowOpenDialog(const std::string& filter, const std::string& title,
                                          const std::string& initialFolder) {
    return Run(QFileDialog::AcceptOpen, filter, title, initialFolder);
}

std::string QtFileDialogs::ShowSaveDialog(const std::string& filter, const std::string& title,
                                          const std::string& initialFolder) {
    return Run(QFileDialog::AcceptSave, filter, title, initialFolder);
}

} // namespace cantova::ui::qt
