#pragma once

// The window state by name, as the batch driver and the tests address it:
// "[window.]Control[(i)].Property", "[window.]Value" for window values and
// "window.Property" for a window's caption, visibility and size.

#include "ui/control_properties.h"

#include <optional>
#include <string>
#include <vector>

namespace cantova::ui {

struct Windows;
class Window;

class StateAccess {
public:
    explicit StateAccess(Windows& windows) : windows_(windows) {}

    // The value as text; on failure nothing, with the reason in error.
    std::optional<std::string> read(const std::string& name, std::string& error) const;
    // Whether the name can be read in some state of the windows: as read, except that an item of
    // a list ("List(i)", "ItemData(i)") need not exist yet. False with the reason in error.
    bool readable(const std::string& name, std::string& error) const;
    // A program assignment, with reactions; false with the reason in error.
    bool assign(const std::string& name, const std::string& value, std::string& error);
    // The control named "[window.]Control[(i)]"; nullptr with the reason in error.
    Control* findControl(const std::string& name, std::string& error) const;
    // Every property of both windows, "window.Control.Property=VALUE", sorted.
    std::vector<std::string> dump() const;

    // What a name stands for: a control's property, or a value of a window (control empty) or of
    // the program (window and control empty).
    struct Target {
        Window* window = nullptr;
        Control* control = nullptr;
        std::string property;
    };
    std::optional<Target> resolve(const std::string& name, std::string& error) const;

private:
    std::optional<std::string> readWindowValue(const Window* window, const std::string& name) const;
    Window* windowNamed(const std::string& name) const;

    Windows& windows_;
};

} // namespace cantova::ui
