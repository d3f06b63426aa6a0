#include "cmdline/channel_flag.h"

#include "ui/windows.h"

namespace cantova::cmdline {

std::string ChannelFlag(const ui::Windows& windows) {
    int data = -1;
    if (!windows.frmMain.CmbWAVmode.selectedData(data)) {
        return {};
    }
    return ChannelFlagForMode(data);
}

std::string ChannelFlagForMode(int data) {
    switch (data) {
    case 0:
        return " -2ch";
    case 1:
        return " -6chwav";
    case 2:
        return " -6ch";
    default:
        return {};
    }
}

} // namespace cantova::cmdline
