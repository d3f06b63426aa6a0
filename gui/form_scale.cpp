#include "gui/form_scale.h"

#include "gui/frame_box.h"

#include <QApplication>
#include <QFontMetrics>
#include <QScreen>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>

#include <algorithm>

namespace cantova::ui::qt {

namespace {

constexpr double kTwipsPerInch = 1440;
constexpr double kDesignDotsPerInch = 96;
// Width of the trial rectangles from which the style's own margins are read.
constexpr int kTrialWidth = 1000;

// The width a style takes from a control for anything but its text.
int ButtonMargins(const QStyle& style, QStyle::SubElement contents) {
    QStyleOptionButton option;
    option.rect = QRect(0, 0, kTrialWidth, 30);
    return kTrialWidth - style.subElementRect(contents, &option, nullptr).width();
}

int ComboMargins(const QStyle& style, bool editable) {
    QStyleOptionComboBox option;
    option.rect = QRect(0, 0, kTrialWidth, 30);
    option.editable = editable;
    option.frame = true;
    const QRect field =
        style.subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, nullptr);
    // A closed list draws its item one pixel in from either side of the field.
    return kTrialWidth - field.width() + 2;
}

// The caption as drawn: "&" marks an access key and takes no room.
QString ShownCaption(const std::string& caption) {
    return QString::fromStdString(caption).replace("&&", "\x01").remove('&').replace('\x01', '&');
}

struct TextNeed {
    int width = 0;  // the widest text with the control's margins
    int height = 0; // the text's height, where the control is as high as one line
};

TextNeed NeedOf(const ControlRow& row, const QFont& font, const QStyle& style) {
    QFont rowFont = font;
    rowFont.setBold(row.bold);
    const QFontMetrics metrics(rowFont);
    const auto widthOf = [&](const std::string& text) {
        return metrics.horizontalAdvance(ShownCaption(text));
    };
    switch (row.kind) {
    case ControlKind::CheckBox:
        return {widthOf(row.caption) + ButtonMargins(style, QStyle::SE_CheckBoxContents),
                metrics.height()};
    case ControlKind::OptionButton:
        return {widthOf(row.caption) + ButtonMargins(style, QStyle::SE_RadioButtonContents),
                metrics.height()};
    case ControlKind::Label:
        return {widthOf(row.caption), metrics.height()};
    case ControlKind::Button:
        return {widthOf(row.caption) + ButtonMargins(style, QStyle::SE_PushButtonContents), 0};
    case ControlKind::Frame:
        return {row.caption.empty() ? 0 : widthOf(row.caption) + 2 * FrameBox::titleInset(), 0};
    case ControlKind::ComboBox:
    case ControlKind::EditableComboBox: {
        int widest = 0;
        for (const std::string& item : row.items) {
            widest = std::max(widest, metrics.horizontalAdvance(QString::fromStdString(item)));
        }
        return {widest == 0
                    ? 0
                    : widest + ComboMargins(style, row.kind == ControlKind::EditableComboBox),
                0};
    }
    case ControlKind::TextBox:
    case ControlKind::ListBox:
    case ControlKind::Menu:
        return {};
    }
    return {};
}

} // namespace

QFont FormFont() {
    QFont font = QApplication::font();
    font.setPointSizeF(8.25);
    font.setStretch(QFont::SemiCondensed);
    return font;
}

double TextFitFactor(const FormTable& form, const QFont& font, const QStyle& style,
                     double pixelsPerTwip) {
    double factor = 1;
    for (const ControlRow& row : form.controls) {
        const TextNeed need = NeedOf(row, font, style);
        // One pixel more than the text needs, for the rounding of the edges to whole pixels.
        if (need.width > 0 && row.geometry.width > 0) {
            factor = std::max(factor, (need.width + 1) / (row.geometry.width * pixelsPerTwip));
        }
        if (need.height > 0 && row.geometry.height > 0) {
            factor = std::max(factor, need.height / (row.geometry.height * pixelsPerTwip));
        }
    }
    return factor;
}

double FormPixelsPerTwip() {
    static const double pixelsPerTwip = [] {
        const QScreen* screen = QGuiApplication::primaryScreen();
        const double dpi = screen != nullptr ? screen->logicalDotsPerInchX() : kDesignDotsPerInch;
        const double base = dpi / kTwipsPerInch;
        const QFont font = FormFont();
        const QStyle& style = *QApplication::style();
        return base * std::max(TextFitFactor(MainWindowForm(), font, style, base),
                               TextFitFactor(AdvancedPanelForm(), font, style, base));
    }();
    return pixelsPerTwip;
}

} // namespace cantova::ui::qt
