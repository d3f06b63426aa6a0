#pragma once

// A window's layout as one declarative table: the single source from which
// both the window model and its Qt view are built.

#include "ui/control.h"

#include <string>
#include <vector>

namespace cantova::ui {

struct ControlSpec {
    ControlKind kind = ControlKind::Label;
    std::string name;
    int index = -1;
    std::string container;
    // Caption of labels, buttons, frames, check and option boxes; design text of text boxes.
    std::string caption;
    Geometry geometry;
    std::vector<std::string> items;
    // Design value: check box value, 1 for the chosen option element.
    int value = 0;
    bool enabled = true;
    bool visible = true;
    bool bold = false;
    bool underline = false;
    bool readOnly = false;
    bool border = true;

    ControlSpec disabled() const;
    ControlSpec hidden() const;
    ControlSpec inBold() const;
    ControlSpec underlined() const;
    ControlSpec readOnlyText() const;
    ControlSpec borderless() const;
    ControlSpec withValue(int designValue) const;
};

struct FormSpec {
    std::string name;
    std::string caption;
    // Client area in twips.
    int clientWidth = 0;
    int clientHeight = 0;
    std::vector<ControlSpec> controls;
};

// Builders for the rows of a form table.
ControlSpec FrameSpec(std::string name, std::string container, std::string caption, Geometry g);
ControlSpec LabelSpec(std::string name, std::string container, std::string caption, Geometry g);
ControlSpec TextSpec(std::string name, std::string container, std::string text, Geometry g);
ControlSpec CheckSpec(std::string name, std::string container, std::string caption, Geometry g);
ControlSpec OptionSpec(std::string name, int index, std::string container, std::string caption,
                       Geometry g);
ControlSpec ComboSpec(std::string name, std::string container, std::vector<std::string> items,
                      Geometry g);
ControlSpec EditableComboSpec(std::string name, std::string container, std::string text,
                              std::vector<std::string> items, Geometry g);
ControlSpec ButtonSpec(std::string name, std::string container, std::string caption, Geometry g);
ControlSpec ListBoxSpec(std::string name, int index, std::string container, Geometry g);
ControlSpec MenuSpec(std::string name, std::string parent, std::string caption);

const FormSpec& MainWindowForm();
const FormSpec& AdvancedPanelForm();

} // namespace cantova::ui
