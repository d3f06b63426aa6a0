#pragma once

// The program's two windows and what they share. The main window comes
// first; the advanced panel exists from start-up on, hidden.

#include "ui/advanced_panel.h"
#include "ui/main_window.h"
#include "ui/message_boxes.h"
#include "ui/program_values.h"

namespace cantova::ui {

struct Windows {
    explicit Windows(MessageBoxes& messages) : messages(messages) {}
    Windows(const Windows&) = delete;
    Windows& operator=(const Windows&) = delete;

    MessageBoxes& messages;
    ProgramValues program;
    MainWindow frmMain{*this};
    AdvancedPanel frmPanelAudio{*this};
};

} // namespace cantova::ui
