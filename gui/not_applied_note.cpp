#include "gui/not_applied_note.h"

#include "gui/frame_box.h"
#include "ui/core_only_settings.h"

#include <QEvent>

namespace cantova::ui::qt {

namespace {

// The frames of the delay, the gain mode, the boost, the sample rate and the split.
constexpr const char* kFrames[] = {"Frame32", "Frame24", "Frame27", "Frame26", "Frame31"};

constexpr const char* kExplanation =
    "A WAV job from a source that is not AC3 is only decoded and written: its delay, gain mode, "
    "boost, sample rate and split settings are not applied.";

} // namespace

NotAppliedNote::NotAppliedNote(FormView& form, MainWindow& window)
    : QObject(&form), window_(window) {
    for (const char* name : kFrames) {
        auto* frame = dynamic_cast<FrameBox*>(form.widgetOf(name));
        if (frame == nullptr) {
            continue;
        }
        auto* note = new QLabel(QStringLiteral("not applied"), frame);
        note->setObjectName(QString("NotApplied") + name);
        note->setToolTip(kExplanation);
        note->setAutoFillBackground(true);
        QFont font = note->font();
        font.setItalic(true);
        note->setFont(font);
        note->hide();
        frame->installEventFilter(this);
        notes_.push_back(note);
    }
    // The job kind follows the chosen target and whether the AC3 target can be chosen.
    for (int i = 0; i < window_.OptAudioCodec.count(); ++i) {
        Control& option = window_.OptAudioCodec[i];
        subscriptions_.emplace_back(&option, option.subscribe([this](ControlChange change) {
            if (change == ControlChange::Value || change == ControlChange::Enabled) {
                show();
            }
        }));
    }
    show();
}

NotAppliedNote::~NotAppliedNote() {
    for (const auto& [control, id] : subscriptions_) {
        control->unsubscribe(id);
    }
}

void NotAppliedNote::show() {
    const bool shown = OnlyCoreSettingsApply(window_);
    for (QLabel* note : notes_) {
        if (shown) {
            place(*note);
        }
        note->setVisible(shown);
    }
}

// At the right end of the frame's top line, over the line.
void NotAppliedNote::place(QLabel& note) const {
    const auto& frame = static_cast<const FrameBox&>(*note.parentWidget());
    const QSize size = note.sizeHint();
    note.setGeometry(frame.width() - FrameBox::titleInset() - size.width(),
                     frame.topLine() - size.height() / 2, size.width(), size.height());
}

bool NotAppliedNote::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Resize || event->type() == QEvent::FontChange) {
        for (QLabel* note : notes_) {
            if (note->parentWidget() == watched && note->isVisibleTo(note->parentWidget())) {
                place(*note);
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace cantova::ui::qt
