#include "ui/qt/log_viewer_dialog.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace cantova::ui::qt {

void LogViewerDialog::ShowLog(const std::string& path) {
    QFile file(QString::fromStdString(path));
    QString text;
    if (file.open(QIODevice::ReadOnly)) {
        text = QString::fromUtf8(file.readAll());
    }
    auto* dialog = new QDialog(owner_);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setObjectName("LogViewer");
    dialog->setWindowTitle(QString::fromStdString(path));
    auto* view = new QPlainTextEdit(text, dialog);
    view->setReadOnly(true);
    view->setLineWrapMode(QPlainTextEdit::NoWrap);
    view->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, dialog);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(view);
    layout->addWidget(buttons);
    dialog->resize(720, 480);
    dialog->show();
    // A message shown with the log (the report of a run that did not go well) keeps the windows
    // from input until it is dismissed: it stays above the log, where it can be seen.
    if (QWidget* message = QApplication::activeModalWidget()) {
        message->raise();
        message->activateWindow();
    }
}

} // namespace cantova::ui::qt
