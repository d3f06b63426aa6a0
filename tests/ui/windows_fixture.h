#pragma once

#include "ui/message_boxes.h"
#include "ui/windows.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace cantova::ui::testing {

class RecordingMessageBoxes : public MessageBoxes {
public:
    void Show(const std::string& text, const std::string& caption, MessageIcon) override {
        shown.push_back(caption + ": " + text);
    }
    void Ask(const std::string&, const std::string&, Answer answered) override { answered(false); }
    std::vector<std::string> shown;
};

// Both windows after the main window's load step, with stand-in services.
class WindowsTest : public ::testing::Test {
protected:
    WindowsTest() { main.Form_Load(); }

    // Picks the bit rate in kbit/s from the MP3 or Ogg list.
    void PickRate(int kbps) {
        for (int i = 0; i < main.CmbBitrateAudio.listCount(); ++i) {
            if (std::stoi(main.CmbBitrateAudio.list(i)) == kbps) {
                main.CmbBitrateAudio.setListIndex(i);
                return;
            }
        }
        FAIL() << "no " << kbps << " kbit/s in the list";
    }

    RecordingMessageBoxes messages;
    Windows windows{messages};
    MainWindow& main = windows.frmMain;
    AdvancedPanel& panel = windows.frmPanelAudio;
};

} // namespace cantova::ui::testing
