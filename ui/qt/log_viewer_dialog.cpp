#include "ui/qt/log_viewer_dialog.h"

#include "ui/qt/log_window.h"

#include <QFile>

namespace cantova::ui::qt {

void LogViewerDialog::ShowLog(const std::string& path) {
    QFile file(QString::fromStdString(path));
    QString text;
    if (file.open(QIODevice::ReadOnly)) {
        text = QString::fromUtf8(file.readAll());
    }
    (new LogWindow(QString::fromStdString(path), text, owner_))->show();
}

} // namespace cantova::ui::qt
