#include "gui/loudness_dialog.h"

#include "gui/window_placement.h"
#include "settings/atomic_write.h"

#include <QBuffer>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace cantova::ui::qt {

LoudnessDialog::LoudnessDialog(const QString& title, jobs::LoudnessCurves curves, QWidget* owner,
                               FileDialogFolder* folder)
    : QDialog(owner), picture_(new LoudnessPicture(std::move(curves), this)), folder_(folder) {
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName("LoudnessPictureWindow");
    setWindowTitle(title);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton* save = buttons->addButton("Save as &PNG ...", QDialogButtonBox::ActionRole);
    QObject::connect(save, &QPushButton::clicked, this, [this] { saveAs(); });
    QObject::connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(picture_, 1);
    layout->addWidget(buttons);
    FitDialogToScreen(*this, sizeHint());
}

void LoudnessDialog::saveAs() {
    const QString start =
        folder_ != nullptr ? QString::fromStdString(folder_->startFolder()) : QDir::homePath();
    auto* dialog = new QFileDialog(this, "Save Loudness Picture As", start);
    FitDialogToScreen(*dialog, dialog->sizeHint());
    dialog->selectFile(windowTitle() + ".png");
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setDefaultSuffix("png");
    dialog->setNameFilters({"PNG Pictures (*.png)"});
    QObject::connect(dialog, &QFileDialog::fileSelected, this, [this](const QString& file) {
        if (folder_ != nullptr) {
            folder_->chosen(file.toStdString());
        }
        if (!saveTo(file)) {
            auto* box = new QMessageBox(QMessageBox::Warning, "Error",
                                        "The picture could not be saved to \"" + file + "\".",
                                        QMessageBox::Ok, this);
            box->setAttribute(Qt::WA_DeleteOnClose);
            box->open();
        }
    });
    dialog->open();
}

bool LoudnessDialog::saveTo(const QString& path) const {
    QByteArray png;
    QBuffer buffer(&png);
    if (!buffer.open(QIODevice::WriteOnly) ||
        !picture_->image(picture_->size()).save(&buffer, "PNG")) {
        return false;
    }
    return settings::ReplaceFileAtomically(path.toStdString(),
                                           std::string_view(png.constData(), png.size()));
}

} // namespace cantova::ui::qt
