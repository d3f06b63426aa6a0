// Every caption and list item of both windows fits the space its control gives its text, measured
// with the font metrics of the control's own font, and no control crosses the line of the frame
// it lies in. CTest runs this once per scale factor (QT_SCALE_FACTOR 1, 1.25, 1.5 and 2).

#include "gui/form_view.h"
#include "gui/frame_box.h"
#include "gui/main_window_view.h"
#include "gui/panel_view.h"
#include "tests/gui/printed_messages.h"
#include "ui/windows.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QtTest>

using namespace cantova;

namespace {

// The text as drawn: "&" marks an access key and is not shown, "&&" shows one "&".
QString ShownText(QString text) {
    return text.replace("&&", "\x01").remove('&').replace('\x01', '&');
}

// The room a widget gives its text, by the rules its style draws it with; empty for widgets that
// show no caption.
QRect TextRoom(const QWidget& widget) {
    const QStyle& style = *widget.style();
    if (auto* button = qobject_cast<const QAbstractButton*>(&widget)) {
        QStyleOptionButton option;
        option.initFrom(&widget);
        option.text = button->text();
        const QStyle::SubElement contents =
            qobject_cast<const QCheckBox*>(&widget)      ? QStyle::SE_CheckBoxContents
            : qobject_cast<const QRadioButton*>(&widget) ? QStyle::SE_RadioButtonContents
                                                         : QStyle::SE_PushButtonContents;
        return style.subElementRect(contents, &option, &widget);
    }
    if (auto* label = qobject_cast<const QLabel*>(&widget)) {
        return label->contentsRect().marginsRemoved(
            QMargins(label->margin(), label->margin(), label->margin(), label->margin()));
    }
    if (auto* frame = dynamic_cast<const ui::qt::FrameBox*>(&widget)) {
        return frame->titleRoom();
    }
    return {};
}

QString TextOf(const QWidget& widget) {
    if (auto* button = qobject_cast<const QAbstractButton*>(&widget)) {
        return ShownText(button->text());
    }
    if (auto* label = qobject_cast<const QLabel*>(&widget)) {
        return label->text();
    }
    if (auto* frame = dynamic_cast<const ui::qt::FrameBox*>(&widget)) {
        return frame->caption();
    }
    return {};
}

// Each item against the field of a closed drop-down list; the style draws it one pixel in.
void CheckItems(const QComboBox& list, const QString& name, QStringList& problems) {
    QStyleOptionComboBox option;
    option.initFrom(&list);
    option.editable = list.isEditable();
    option.frame = list.hasFrame();
    const QRect field = list.style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                     QStyle::SC_ComboBoxEditField, &list);
    const QFontMetrics metrics(list.font());
    for (int i = 0; i < list.count(); ++i) {
        const int width = metrics.horizontalAdvance(list.itemText(i));
        if (width > field.width() - 2) {
            problems << QString("%1 item \"%2\": %3 px of text in %4 px")
                            .arg(name, list.itemText(i))
                            .arg(width)
                            .arg(field.width() - 2);
        }
    }
}

QStringList UnfitCaptions(const ui::Window& window, const ui::qt::FormView& form) {
    QStringList problems;
    for (const ui::Control* control : window.controls()) {
        const QString name = QString::fromStdString(control->qualifiedName());
        const QWidget* widget = form.widgetOf(control->qualifiedName());
        if (widget == nullptr) {
            continue;
        }
        if (auto* list = qobject_cast<const QComboBox*>(widget)) {
            CheckItems(*list, name, problems);
            continue;
        }
        const QString text = TextOf(*widget);
        const QRect room = TextRoom(*widget);
        if (text.isEmpty() || room.isNull()) {
            continue;
        }
        const QFontMetrics metrics(widget->font());
        const int width = metrics.horizontalAdvance(text);
        if (width > room.width() || metrics.height() > room.height()) {
            problems << QString("%1 \"%2\": %3 x %4 px of text in %5 x %6 px")
                            .arg(name, text)
                            .arg(width)
                            .arg(metrics.height())
                            .arg(room.width())
                            .arg(room.height());
        }
    }
    return problems;
}

// Controls that reach into the lines of the frame they lie in: its top line (through the middle of
// its title), its sides and its bottom. A check box that is the frame's title sits on its line.
QStringList ControlsOnFrameLines(const ui::Window& window, const ui::qt::FormView& form) {
    QStringList problems;
    for (const ui::Control* control : window.controls()) {
        auto* frame = dynamic_cast<const ui::qt::FrameBox*>(form.widgetOf(control->container()));
        const QWidget* widget = form.widgetOf(control->qualifiedName());
        if (frame == nullptr || widget == nullptr || !frame->border() ||
            widget == frame->titleWidget()) {
            continue;
        }
        const QRect inside = frame->rect().adjusted(2, frame->topLine() + 2, -2, -2);
        if (!inside.contains(widget->geometry())) {
            problems << QString("%1 at (%2, %3, %4 x %5) crosses a line of %6 (inside: %7, %8 to "
                                "%9, %10)")
                            .arg(QString::fromStdString(control->qualifiedName()))
                            .arg(widget->x())
                            .arg(widget->y())
                            .arg(widget->width())
                            .arg(widget->height())
                            .arg(QString::fromStdString(control->container()))
                            .arg(inside.left())
                            .arg(inside.top())
                            .arg(inside.right())
                            .arg(inside.bottom());
        }
    }
    return problems;
}

} // namespace

class CaptionFitTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        // The factor CTest asked for is the one the windows are drawn at.
        const QString factor = qEnvironmentVariable("QT_SCALE_FACTOR", "1");
        ui::PrintedMessages messages;
        ui::Windows windows(messages);
        ui::qt::MainWindowView view(windows.frmMain);
        QCOMPARE(view.devicePixelRatioF(), factor.toDouble());
    }

    void everyCaptionAndItemFits() {
        ui::PrintedMessages messages;
        ui::Windows windows(messages);
        windows.frmMain.Form_Load();
        ui::qt::MainWindowView view(windows.frmMain);
        ui::qt::PanelView panel(windows.frmPanelAudio, &view);
        // The longest texts the program writes into captions that change.
        windows.frmMain.OptAudioCodec[0].setCaption("AC3 640 Kbps");
        windows.frmMain.LbStream1Info.setCaption(
            "Bitrate : 640 Kbps   Channels : 6   Frequency : 48000 Hz");
        windows.frmPanelAudio.LbEstimate.setCaption("~ 499 Kbps");
        windows.frmMain.show();
        windows.frmPanelAudio.show();
        const QStringList problems = UnfitCaptions(windows.frmMain, view.form()) +
                                     UnfitCaptions(windows.frmPanelAudio, panel.form());
        for (const QString& problem : problems) {
            qWarning("%s", qPrintable(problem));
        }
        QCOMPARE(problems.size(), 0);
    }

    void noControlCrossesAFrameLine() {
        ui::PrintedMessages messages;
        ui::Windows windows(messages);
        windows.frmMain.Form_Load();
        ui::qt::MainWindowView view(windows.frmMain);
        ui::qt::PanelView panel(windows.frmPanelAudio, &view);
        const QStringList problems = ControlsOnFrameLines(windows.frmMain, view.form()) +
                                     ControlsOnFrameLines(windows.frmPanelAudio, panel.form());
        for (const QString& problem : problems) {
            qWarning("%s", qPrintable(problem));
        }
        QCOMPARE(problems.size(), 0);
    }
};

QTEST_MAIN(CaptionFitTest)
#include "caption_fit_test.moc"
