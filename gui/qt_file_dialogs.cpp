#include "gui/qt_file_dialogs.h"

#include "gui/window_placement.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QStringList>

namespace cantova::ui::qt {

namespace {

void SetNameFilters(QFileDialog& dialog, const std::string& filter) {
    QStringList nameFilters;
    for (const std::string& nameFilter : settings::ToQtNameFilters(filter)) {
        nameFilters << QString::fromStdString(nameFilter);
    }
    if (!nameFilters.isEmpty()) {
        dialog.setNameFilters(nameFilters);
    }
}

// Opens the dialog; chosen gets the chosen path, or empty text when it is cancelled.
void Open(QFileDialog::AcceptMode mode, const std::string& filter, const std::string& title,
          FileDialogFolder& folder, const std::string& initialFolder,
          settings::FileDialogs::PathChosen chosen) {
    auto* dialog = new QFileDialog(QApplication::activeWindow(), QString::fromStdString(title),
                                   QString::fromStdString(folder.startFolder(initialFolder)));
    FitDialogToScreen(*dialog, dialog->sizeHint());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setAcceptMode(mode);
    // Open takes only an existing file; save asks before overwriting (Qt's default).
    dialog->setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                        : QFileDialog::AnyFile);
    SetNameFilters(*dialog, filter);
    QObject::connect(dialog, &QDialog::finished, dialog,
                     [dialog, &folder, chosen = std::move(chosen)](int result) {
                         const QStringList files = dialog->selectedFiles();
                         const std::string file =
                             result == QDialog::Accepted && !files.isEmpty()
                                 ? QFile::encodeName(files.constFirst()).toStdString()
                                 : std::string();
                         if (!file.empty()) {
                             folder.chosen(file);
                         }
                         chosen(file);
                     });
    dialog->open();
}

} // namespace

void QtFileDialogs::ShowOpenDialog(const std::string& filter, const std::string& title,
                                   const std::string& initialFolder, PathChosen chosen) {
    Open(QFileDialog::AcceptOpen, filter, title, folder_, initialFolder, std::move(chosen));
}

void QtFileDialogs::ShowSaveDialog(const std::string& filter, const std::string& title,
                                   const std::string& initialFolder, PathChosen chosen) {
    Open(QFileDialog::AcceptSave, filter, title, folder_, initialFolder, std::move(chosen));
}

void QtFileDialogs::ShowOpenFilesDialog(const std::string& filter, const std::string& title,
                                        const std::string& initialFolder, FilesChosen chosen) {
    auto* dialog = new QFileDialog(QApplication::activeWindow(), QString::fromStdString(title),
                                   QString::fromStdString(folder_.startFolder(initialFolder)));
    FitDialogToScreen(*dialog, dialog->sizeHint());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFiles);
    SetNameFilters(*dialog, filter);
    QObject::connect(dialog, &QFileDialog::filesSelected, dialog,
                     [this, chosen = std::move(chosen)](const QStringList& files) {
                         std::vector<std::string> paths;
                         for (const QString& file : files) {
                             paths.push_back(QFile::encodeName(file).toStdString());
                         }
                         if (!paths.empty()) {
                             folder_.chosen(paths.front());
                         }
                         if (!paths.empty() && chosen) {
                             chosen(paths);
                         }
                     });
    dialog->open();
}

} // namespace cantova::ui::qt
