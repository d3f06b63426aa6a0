#include "gui/qt_message_boxes.h"

#include "gui/message_fit.h"

#include <QApplication>
#include <QMessageBox>

namespace cantova::ui::qt {

namespace {

QMessageBox::Icon QtIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Exclamation:
        return QMessageBox::Warning;
    case MessageIcon::Question:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

} // namespace

void QtMessageBoxes::Show(const std::string& text, const std::string& caption, MessageIcon icon) {
    // Modal for the windows, but nothing waits for it: the program goes on meanwhile.
    auto* box =
        new QMessageBox(QtIcon(icon), QString::fromStdString(caption), QString::fromStdString(text),
                        QMessageBox::Ok, QApplication::activeWindow());
    box->setAttribute(Qt::WA_DeleteOnClose);
    FitMessageToScreen(*box);
    box->setWindowModality(Qt::ApplicationModal);
    box->show();
}

void QtMessageBoxes::Ask(const std::string& text, const std::string& caption, Answer answered) {
    auto* box = new QMessageBox(QMessageBox::Question, QString::fromStdString(caption),
                                QString::fromStdString(text), QMessageBox::Yes | QMessageBox::No,
                                QApplication::activeWindow());
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::ApplicationModal);
    FitMessageToScreen(*box);
    // Enter keeps things as they are; saying yes takes a deliberate choice.
    box->setDefaultButton(QMessageBox::No);
    // Closing the box without a button (Escape, the window's close button) answers no.
    QObject::connect(box, &QMessageBox::finished, box, [box, answered = std::move(answered)] {
        answered(box->clickedButton() == box->button(QMessageBox::Yes));
    });
    box->open();
}

} // namespace cantova::ui::qt
