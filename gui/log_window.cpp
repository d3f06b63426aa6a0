#include "gui/log_window.h"

#include "gui/window_placement.h"
#include "settings/atomic_write.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTextDocumentFragment>
#include <QVBoxLayout>

namespace cantova::ui::qt {

LogWindow::LogWindow(const QString& path, const QString& text, QWidget* owner,
                     FileDialogFolder* folder)
    : QDialog(owner), path_(path), view_(new QPlainTextEdit(text, this)), folder_(folder) {
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName("LogViewer");
    setWindowTitle(path);
    view_->setReadOnly(true);
    view_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // A path or a command line has no blanks to break at; it is broken anywhere instead.
    view_->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    view_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton* copyButton = buttons->addButton("&Copy", QDialogButtonBox::ActionRole);
    QPushButton* saveButton = buttons->addButton("Save &As ...", QDialogButtonBox::ActionRole);
    QObject::connect(copyButton, &QPushButton::clicked, this, [this] { copy(); });
    QObject::connect(saveButton, &QPushButton::clicked, this, [this] { saveAs(); });
    QObject::connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(view_);
    layout->addWidget(buttons);
    FitDialogToScreen(*this, QSize(720, 480));
}

void LogWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    scrollToEnd();
}

void LogWindow::showLog(const QString& path, const QString& text) {
    path_ = path;
    setWindowTitle(path);
    view_->setPlainText(text);
    scrollToEnd();
}

// The last job's lines are at the end.
void LogWindow::scrollToEnd() {
    view_->moveCursor(QTextCursor::End);
    view_->verticalScrollBar()->setValue(view_->verticalScrollBar()->maximum());
}

void LogWindow::copy() {
    const QTextCursor cursor = view_->textCursor();
    QApplication::clipboard()->setText(cursor.hasSelection() ? cursor.selection().toPlainText()
                                                             : view_->toPlainText());
}

void LogWindow::saveAs() {
    const QString start =
        folder_ != nullptr ? QString::fromStdString(folder_->startFolder()) : QDir::homePath();
    auto* dialog = new QFileDialog(this, "Save Log As", start);
    FitDialogToScreen(*dialog, dialog->sizeHint());
    dialog->selectFile(QFileInfo(path_).fileName());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setNameFilters({"Log Files (*.log)", "All Files (*)"});
    QObject::connect(dialog, &QFileDialog::fileSelected, this, [this](const QString& file) {
        if (folder_ != nullptr) {
            folder_->chosen(file.toStdString());
        }
        if (!saveTo(file)) {
            auto* box = new QMessageBox(QMessageBox::Warning, "Error",
                                        "The log could not be saved to \"" + file + "\".",
                                        QMessageBox::Ok, this);
            box->setAttribute(Qt::WA_DeleteOnClose);
            box->open();
        }
    });
    dialog->open();
}

bool LogWindow::saveTo(const QString& path) {
    const QByteArray content = view_->toPlainText().toUtf8();
    return settings::ReplaceFileAtomically(path.toStdString(),
                                           std::string_view(content.constData(), content.size()));
}

} // namespace cantova::ui::qt
