// The main window's check boxes and the "Advanced Parameters" button.

#include "ui/main_window.h"
#include "ui/windows.h"

namespace cantova::ui {

void MainWindow::ChkAC3Reencode_Click() {
    if (ChosenCodec(*this) != Codec::Ac3) {
        return;
    }
    const bool ticked = ChkAC3Reencode.value() == 1;
    CmbBitrateAudio.setEnabled(ticked);
    CmdAdvancedAudio.setEnabled(ticked);
}

void MainWindow::ChkDownSample_Click() {
    CmbSampleRate.setListIndex(0);
    CmbSampleRate.setEnabled(ChkDownSample.value() == 1);
}

void MainWindow::ChkSplitStartPoint_Click() {
    TxtStartPoint.setText("0");
    TxtEndPoint.setText("0");
    const bool ticked = ChkSplitStartPoint.value() == 1;
    TxtStartPoint.setEnabled(ticked);
    TxtEndPoint.setEnabled(ticked);
}

void MainWindow::ChkAutoDelay_Click() {
    if (ChkAutoDelay.value() == 1) {
        TxtDelay.setText("0");
        TxtDelay.setEnabled(false);
    } else {
        TxtDelay.setEnabled(true);
    }
}

void MainWindow::ChkUseBoost_Click() {
    if (ChkUseBoost.value() == 1) {
        TxtBoostFactor.setEnabled(true);
        TxtLimitFactor.setEnabled(true);
        CmbCompModeBoost.setEnabled(true);
        return;
    }
    TxtBoostFactor.setEnabled(false);
    TxtLimitFactor.setEnabled(false);
    CmbCompModeBoost.setListIndex(1);
    CmbCompModeBoost.setEnabled(false);
    TxtBoostFactor.setText("3");
    TxtLimitFactor.setText("0.95");
    CmbCompModeBoost.setListIndex(1);
}

void MainWindow::CmdAdvancedAudio_Click() {
    if (ChosenCodec(*this)) {
        ShowAdvancedPanel(JobKindOf(*this));
    }
}

} // namespace cantova::ui
