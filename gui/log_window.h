#pragma once

// The transcoder log in a read-only window: long lines wrap, it opens at the end, where the last
// job's lines are, and its text, or the part selected, can be copied or saved to a file.

#include "gui/file_dialog_folder.h"

#include <QDialog>
#include <QPlainTextEdit>
#include <QString>

namespace cantova::ui::qt {

class LogWindow final : public QDialog {
public:
    // Save As opens in the folder given, in the home folder without one.
    LogWindow(const QString& path, const QString& text, QWidget* owner,
              FileDialogFolder* folder = nullptr);

    QPlainTextEdit& view() const { return *view_; }
    // Shows another log in place of the one shown, at its end.
    void showLog(const QString& path, const QString& text);
    // The selection, or the whole text when nothing is selected, to the clipboard.
    void copy();
    // A save dialog that does not wait; the chosen file gets the whole text.
    void saveAs();
    // Writes the whole text to path, replacing its content at once; false when that failed.
    bool saveTo(const QString& path);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void scrollToEnd();

    QString path_;
    QPlainTextEdit* view_;
    FileDialogFolder* folder_;
};

} // namespace cantova::ui::qt
