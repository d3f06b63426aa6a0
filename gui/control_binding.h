#pragma once

// Two-way link between one model control and its Qt widget. Model changes
// reach the widget through the control's observer with the widget's signals
// blocked; user actions become model assignments, after which the widget shows
// the model's value again (a reaction may have refused or rewritten it). Only
// user-action signals are connected, so a model update never feeds back.

#include "ui/control.h"

#include <QObject>
#include <QWidget>

#include <functional>

namespace cantova::ui::qt {

class ControlBinding {
public:
    ControlBinding(const ControlBinding&) = delete;
    ControlBinding& operator=(const ControlBinding&) = delete;
    virtual ~ControlBinding();

    Control& control() const { return control_; }

protected:
    explicit ControlBinding(Control& control);

    // Subscribes to the control and shows its whole state; called once the widget exists.
    void start();
    // Runs a user's change against the model, then shows the model's value again.
    void userAction(const std::function<void()>& assignment);

    virtual QObject* signalSource() const = 0;
    virtual void showChange(ControlChange change) = 0;

private:
    void refresh(ControlChange change);

    Control& control_;
    int subscription_ = 0;
};

// A control shown by one widget: enabled state, visibility and geometry are common.
class WidgetBinding : public ControlBinding {
public:
    QWidget& widget() const { return widget_; }

protected:
    WidgetBinding(Control& control, QWidget& widget);

    QObject* signalSource() const override { return &widget_; }
    void showChange(ControlChange change) override;
    virtual void showValue() {}
    virtual void showItems() {}
    virtual void showCaption() {}
    virtual void showBorder() {}

private:
    QWidget& widget_;
};

} // namespace cantova::ui::qt
