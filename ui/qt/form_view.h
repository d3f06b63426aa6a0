#pragma once

// The generic view of a window model: one widget per control of the form
// table, placed at its geometry inside its frame, each bound to its control.
// Menus are left to the window that owns a menu bar; array elements created
// after the form (the hidden job-list elements) get no widget.

#include "ui/qt/control_binding.h"
#include "ui/window.h"

#include <QButtonGroup>
#include <QWidget>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace cantova::ui::qt {

class FrameBinding;

class FormView final : public QWidget {
public:
    explicit FormView(Window& window, QWidget* parent = nullptr);
    ~FormView() override;

    Window& window() const { return window_; }
    // The widget of a control by qualified name ("OptAudioCodec(2)"); nullptr when it has none.
    QWidget* widgetOf(const std::string& qualifiedName) const;

private:
    void build(const ControlRow& row);
    QWidget& containerOf(const ControlRow& row);
    QButtonGroup& groupOf(const std::string& arrayName);
    void placeTitleControls();

    Window& window_;
    std::vector<std::unique_ptr<ControlBinding>> bindings_;
    std::map<std::string, QWidget*> widgets_;
    std::map<std::string, FrameBinding*> frames_;
    std::map<std::string, QButtonGroup*> groups_;
};

} // namespace cantova::ui::qt
