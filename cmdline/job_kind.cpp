#include "cmdline/job_kind.h"

#include "ui/windows.h"

namespace cantova::cmdline {

int JobKind(const ui::Windows& windows) {
    const ui::OptionArray& target = windows.frmMain.OptAudioCodec;
    if (target[0].enabled()) {
        constexpr int kinds[] = {3, 1, 2, 5};
        for (int i = 0; i < 4; ++i) {
            if (target[i].value()) {
                return kinds[i];
            }
        }
        return 0;
    }
    constexpr int kinds[] = {0, 0, 4, 6};
    for (int i = 1; i < 4; ++i) {
        if (target[i].value()) {
            return kinds[i];
        }
    }
    return 0;
}

} // namespace cantova::cmdline
