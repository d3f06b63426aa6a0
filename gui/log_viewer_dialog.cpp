#include "gui/log_viewer_dialog.h"

#include "gui/log_window.h"

#include <QApplication>
#include <QFile>

namespace cantova::ui::qt {

void LogViewerDialog::ShowLog(const std::string& path) {
    QFile file(QString::fromStdString(path));
    QString text;
    if (file.open(QIODevice::ReadOnly)) {
        text = QString::fromUtf8(file.readAll());
    }
    if (window_) {
        window_->showLog(QString::fromStdString(path), text);
    } else {
        window_ = new LogWindow(QString::fromStdString(path), text, owner_, folder_);
    }
    window_->show();
    window_->raise();
    window_->activateWindow();
    // A message shown with the log (the report of a run that did not go well) keeps the windows
    // from input until it is dismissed: it stays above the log, where it can be seen.
    if (QWidget* message = QApplication::activeModalWidget()) {
        message->raise();
        message->activateWindow();
    }
}

} // namespace cantova::ui::qt
