#pragma once

// A window's layout as one declarative table: the single source from which
// both the window model and its Qt view are built.

#include "ui/control.h"

#include <string>
#include <vector>

namespace cantova::ui {

struct ControlRow {
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

    ControlRow disabled() const;
    ControlRow hidden() const;
    ControlRow inBold() const;
    ControlRow underlined() const;
    ControlRow readOnlyText() const;
    ControlRow borderless() const;
    ControlRow withValue(int designValue) const;
};

struct FormTable {
    std::string name;
    std::string caption;
    // Client area in twips.
    int clientWidth = 0;
    int clientHeight = 0;
    std::vector<ControlRow> controls;
};

// Builders for the rows of a form table.
ControlRow FrameRow(std::string name, std::string container, std::string caption, Geometry g);
ControlRow LabelRow(std::string name, std::string container, std::string caption, Geometry g);
ControlRow TextRow(std::string name, std::string container, std::string text, Geometry g);
ControlRow CheckRow(std::string name, std::string container, std::string caption, Geometry g);
ControlRow OptionRow(std::string name, int index, std::string container, std::string caption,
                     Geometry g);
ControlRow ComboRow(std::string name, std::string container, std::vector<std::string> items,
                    Geometry g);
ControlRow EditableComboRow(std::string name, std::string container, std::string text,
                            std::vector<std::string> items, Geometry g);
ControlRow ButtonRow(std::string name, std::string container, std::string caption, Geometry g);
ControlRow ListBoxRow(std::string name, int index, std::string container, Geometry g);
ControlRow MenuRow(std::string name, std::string parent, std::string caption);

const FormTable& MainWindowForm();
const FormTable& AdvancedPanelForm();

} // namespace cantova::ui
