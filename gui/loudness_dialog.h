#pragma once

// The loudness picture of a done job in a window of its own, beside the main window, with a
// button that saves it as a PNG file. The program goes on while it is open.

#include "gui/file_dialog_folder.h"
#include "gui/loudness_picture.h"

#include <QDialog>

namespace cantova::ui::qt {

class LoudnessDialog final : public QDialog {
public:
    // title names the job; Save As opens in the folder given, in the home folder without one.
    LoudnessDialog(const QString& title, jobs::LoudnessCurves curves, QWidget* owner,
                   FileDialogFolder* folder = nullptr);

    LoudnessPicture& picture() const { return *picture_; }
    // A save dialog that does not wait; the chosen file gets the picture.
    void saveAs();
    // Writes the picture, at the size it is shown, to path as PNG; false when that failed.
    bool saveTo(const QString& path) const;

private:
    LoudnessPicture* picture_;
    FileDialogFolder* folder_;
};

} // namespace cantova::ui::qt
