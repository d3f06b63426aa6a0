#include "ui/bitrate_ladder.h"

#include <array>

namespace cantova::ui {

int KbpsOfRateCode(int code) {
    static constexpr std::array<int, 14> kLadder{56,  64,  80,  96,  112, 128, 160,
                                                 192, 224, 256, 320, 384, 448, 512};
    if (code < 0 || code >= static_cast<int>(kLadder.size())) {
        return 0;
    }
    return kLadder[static_cast<std::size_t>(code)];
}

} // namespace cantova::ui
