#include "gui/engine_notice.h"

#include "app/engines.h"

#include <QMessageBox>

namespace cantova::ui::qt {

void ShowMissingEngines(QWidget* owner, const char* searchPath) {
    const std::optional<std::string> notice =
        app::MissingEnginesNotice(app::MissingEngines(searchPath));
    if (!notice) {
        return;
    }
    auto* box = new QMessageBox(QMessageBox::Warning, "Engines missing",
                                QString::fromStdString(*notice), QMessageBox::Ok, owner);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
}

} // namespace cantova::ui::qt
