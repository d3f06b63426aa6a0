// The alt preset switch, the preset list's separator skipping and the Vorbis estimate.

#include "ui/advanced_panel.h"
#include "ui/windows.h"

#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>

namespace cantova::ui {

namespace {

constexpr int kKeyLeft = 37;
constexpr int kKeyUp = 38;
constexpr int kR3mix = 6;

// The leading decimal number of the text ("." as separator), 0 when there is none.
double LeadingNumber(const std::string& text) {
    std::size_t i = text.find_first_not_of(' ');
    if (i == std::string::npos) {
        return 0.0;
    }
    std::size_t end = i;
    if (end < text.size() && (text[end] == '+' || text[end] == '-')) {
        ++end;
    }
    bool digits = false;
    while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end]))) {
        ++end;
        digits = true;
    }
    if (end < text.size() && text[end] == '.') {
        ++end;
        while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end]))) {
            ++end;
            digits = true;
        }
    }
    if (!digits) {
        return 0.0;
    }
    return std::strtod(text.substr(i, end - i).c_str(), nullptr);
}

} // namespace

void AdvancedPanel::ChkUseALtPreset_Click() {
    for (CheckBox* box :
         {&ChkModeMP3, &ChkLowPassMP3, &ChkUseATHType, &ChkUseNspsytune, &ChkPSYBass,
          &ChkUseMinBitrateMP3, &ChkUseMaxBitrateMP3, &ChkUseQualityVBR}) {
        box->setValue(0);
    }
    const int mode = Mp3Mode();
    if (ChkUseALtPreset.value() == 1) {
        for (Control* control :
             {static_cast<Control*>(&ChkModeMP3), static_cast<Control*>(&ChkLowPassMP3),
              static_cast<Control*>(&ChkUseATHType), static_cast<Control*>(&ChkUseNspsytune),
              static_cast<Control*>(&ChkPSYBass), static_cast<Control*>(&ChkUseQualityVBR),
              static_cast<Control*>(&CmbRoutineVBR)}) {
            control->setEnabled(false);
        }
        if (mode == 2) {
            CmbAltPreset.setEnabled(true);
        }
    } else {
        for (CheckBox* box :
             {&ChkModeMP3, &ChkLowPassMP3, &ChkUseATHType, &ChkUseNspsytune, &ChkPSYBass}) {
            box->setEnabled(true);
        }
        if (mode >= 0 && mode <= 2) {
            ChkUseMinBitrateMP3.setEnabled(mode != 0);
            ChkUseMaxBitrateMP3.setEnabled(mode != 0);
            ChkUseQualityVBR.setEnabled(mode == 2);
            CmbRoutineVBR.setEnabled(mode == 2);
            txtBitRateMP3.setEnabled(mode != 2);
        }
        CmbAltPreset.setListIndex(8);
        CmbAltPreset.setEnabled(false);
    }
    DisableUseLessSwitch();
}

void AdvancedPanel::CmbAltPreset_KeyDown(int keyCode) {
    isKeyDown = keyCode == kKeyUp || keyCode == kKeyLeft;
}

void AdvancedPanel::CmbAltPreset_Click() {
    int data = -1;
    CmbAltPreset.selectedData(data);
    const int position = CmbAltPreset.listIndex();
    if (data == 0) {
        CmbAltPreset.setListIndex(position + 1);
    }
    if (CmbAltPreset.selectedData(data) && (data == 3 || data == 7)) {
        const int current = CmbAltPreset.listIndex();
        if (isKeyDown && SavePreviousAltPresetListIndex > data) {
            CmbAltPreset.setListIndex(current - 1);
        } else {
            CmbAltPreset.setListIndex(current + 1);
        }
    }
    isKeyDown = false;
    int settled = 0;
    CmbAltPreset.selectedData(settled);
    SavePreviousAltPresetListIndex = static_cast<std::int16_t>(settled);
    if (settled == kR3mix) {
        ChkErrorProtection.setValue(0);
        ChkErrorProtection.setEnabled(false);
        ChkUseScaleInput.setValue(0);
        ChkUseScaleInput.setEnabled(false);
    } else {
        ChkErrorProtection.setEnabled(true);
        ChkUseScaleInput.setEnabled(true);
    }
}

void AdvancedPanel::CmbQualityOGG_Change() {
    const double q = LeadingNumber(CmbQualityOGG.text());
    const double e = 5405.416479 * std::pow(q, 5) - 11568.343333 * std::pow(q, 4) +
                     8784.377014 * std::pow(q, 3) - 2617.916703 * std::pow(q, 2) + 415.588462 * q +
                     56.845275;
    const double n = std::trunc(e);
    if (!std::isfinite(n) || n < std::numeric_limits<std::int16_t>::min() ||
        n > std::numeric_limits<std::int16_t>::max()) {
        return;
    }
    LbEstimate.setCaption("~ " + std::to_string(static_cast<int>(n)) + " Kbps");
}

} // namespace cantova::ui
