#pragma once

// The generic view of a window model: one widget per control of the form
// table, placed at its geometry inside its frame, each bound to its control.
// Menus are left to the window that owns a menu bar; array elements created
// after the form (the hidden job-list elements) get no widget.

#include "gui/control_binding.h"
#include "ui/window.h"

#include <QButtonGroup>
#include <QWidget>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace cantova::ui::qt {

class FrameBinding;

// Builds the binding of one control in place of the generic one, its widget in the container given.
using BindingFactory = std::function<std::unique_ptr<WidgetBinding>(Control&, QWidget& container)>;
// Factories by qualified control name.
using BindingFactories = std::map<std::string, BindingFactory>;

class FormView final : public QWidget {
public:
    explicit FormView(Window& window, QWidget* parent = nullptr,
                      const BindingFactories& factories = {});
    ~FormView() override;

    Window& window() const { return window_; }
    // The widget of a control by qualified name ("OptAudioCodec(2)"); nullptr when it has none.
    QWidget* widgetOf(const std::string& qualifiedName) const;

private:
    void build(const ControlRow& row, const BindingFactories& factories);
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
