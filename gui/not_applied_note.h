#pragma once

// While the window's settings make a WAV job from a source that is not AC3, which runs with the
// core group alone, the frames of the settings its command leaves out (delay, gain mode, boost,
// sample rate, split) say on their top line that they are not applied. The settings stay as they
// are, and so does the command.

#include "gui/form_view.h"
#include "ui/main_window.h"

#include <QLabel>
#include <QObject>

#include <utility>
#include <vector>

namespace cantova::ui::qt {

class NotAppliedNote final : public QObject {
public:
    NotAppliedNote(FormView& form, MainWindow& window);
    ~NotAppliedNote() override;

    // The notes by frame, for the tests.
    const std::vector<QLabel*>& notes() const { return notes_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void show();
    void place(QLabel& note) const;

    MainWindow& window_;
    std::vector<QLabel*> notes_;
    std::vector<std::pair<Control*, int>> subscriptions_;
};

} // namespace cantova::ui::qt
