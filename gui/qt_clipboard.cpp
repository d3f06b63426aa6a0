#include "gui/qt_clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QStringList>

namespace cantova::ui::qt {

void QtClipboard::CopyLines(const std::vector<std::string>& lines) {
    QStringList texts;
    for (const std::string& line : lines) {
        texts.append(QString::fromStdString(line));
    }
    QGuiApplication::clipboard()->setText(texts.join('\n'));
}

} // namespace cantova::ui::qt
