#include "sound/true_peak.h"

#include "sound/vector_clones.h"

#include <cmath>

namespace cantova {

namespace {

// The first two phases of the filter; the other two are their mirror images (phase 3 is
// phase 0 reversed, phase 2 phase 1).
constexpr int kTaps = 12;
constexpr float kPhase0[kTaps] = {0.0017089843750f,  0.0109863281250f,  -0.0196533203125f,
                                  0.0332031250000f,  -0.0594482421875f, 0.1373291015625f,
                                  0.9721679687500f,  -0.1022949218750f, 0.0476074218750f,
                                  -0.0266113281250f, 0.0148925781250f,  -0.0083007812500f};
constexpr float kPhase1[kTaps] = {-0.0291748046875f, 0.0292968750000f,  -0.0517578125000f,
                                  0.0891113281250f,  -0.1665039062500f, 0.4650878906250f,
                                  0.7797851562500f,  -0.2003173828125f, 0.1015625000000f,
                                  -0.0582275390625f, 0.0330810546875f,  -0.0189208984375f};

// A phase h and its mirror image g (g[k] = h[11 - k]) applied to the same samples give y and z
// with y + z = the sum over k < 6 of (h[k] + h[11 - k]) s[k] and y - z = the sum of
// (h[k] - h[11 - k]) d[k], where s[k] and d[k] are the sum and the difference of the samples k
// and 11 - k back. And max(|y|, |z|) = (|y + z| + |y - z|) / 2: half the multiplications, and
// no output of its own for each phase.
constexpr int kHalf = kTaps / 2;
struct FoldedPhases {
    float sum0[kHalf];
    float difference0[kHalf];
    float sum1[kHalf];
    float difference1[kHalf];
};
constexpr FoldedPhases folded() {
    FoldedPhases taps{};
    for (int k = 0; k < kHalf; ++k) {
        taps.sum0[k] = kPhase0[k] + kPhase0[kTaps - 1 - k];
        taps.difference0[k] = kPhase0[k] - kPhase0[kTaps - 1 - k];
        taps.sum1[k] = kPhase1[k] + kPhase1[kTaps - 1 - k];
        taps.difference1[k] = kPhase1[k] - kPhase1[kTaps - 1 - k];
    }
    return taps;
}
constexpr FoldedPhases kFolded = folded();

// Outputs computed side by side: loops over a fixed number of lanes, which the compiler turns
// into vector instructions.
constexpr std::ptrdiff_t kLanes = 8;

// Twice the largest magnitude of the four phases after the sample at[lane], for kLanes
// consecutive samples when lanes is kLanes.
template <std::ptrdiff_t lanes> [[gnu::always_inline]] inline float doublePeaks(const float* at) {
    float sum0[lanes] = {}, difference0[lanes] = {}, sum1[lanes] = {}, difference1[lanes] = {};
    for (int k = 0; k < kHalf; ++k) {
        for (std::ptrdiff_t lane = 0; lane < lanes; ++lane) {
            const float recent = at[lane - k];
            const float early = at[lane - (kTaps - 1) + k];
            sum0[lane] += kFolded.sum0[k] * (recent + early);
            difference0[lane] += kFolded.difference0[k] * (recent - early);
            sum1[lane] += kFolded.sum1[k] * (recent + early);
            difference1[lane] += kFolded.difference1[k] * (recent - early);
        }
    }
    float largest[lanes];
    for (std::ptrdiff_t lane = 0; lane < lanes; ++lane) {
        const float first = std::fabs(sum0[lane]) + std::fabs(difference0[lane]);
        const float second = std::fabs(sum1[lane]) + std::fabs(difference1[lane]);
        largest[lane] = first > second ? first : second;
    }
    float peak = 0.0f;
    for (const float value : largest) {
        peak = value > peak ? value : peak;
    }
    return peak;
}

// The largest magnitude of the samples the kLanes outputs after at[0] to at[kLanes - 1] are
// made of: at[-11] to at[kLanes - 1], read as three overlapping runs of kLanes.
[[gnu::always_inline]] inline float reachOf(const float* at) {
    static_assert(kLanes == 8 && kTaps - 1 <= 2 * kLanes - 3);
    float largest[kLanes];
    for (std::ptrdiff_t lane = 0; lane < kLanes; ++lane) {
        const float early = std::fabs(at[lane - (kTaps - 1)]);
        const float middle = std::fabs(at[lane - 3]);
        const float late = std::fabs(at[lane]);
        const float front = early > middle ? early : middle;
        largest[lane] = front > late ? front : late;
    }
    float reach = 0.0f;
    for (const float value : largest) {
        reach = value > reach ? value : reach;
    }
    return reach;
}

} // namespace

CANTOVA_VECTOR_CLONES float interpolatedPeak(const float* x, std::size_t count, float floor) {
    const auto total = static_cast<std::ptrdiff_t>(count);
    // Twice the largest magnitude found, and twice the level below which nothing counts.
    float peak = 0.0f;
    const float doubleFloor = 2.0f * floor;
    std::ptrdiff_t n = 0;
    for (; n + kLanes <= total; n += kLanes) {
        const float above = peak > doubleFloor ? peak : doubleFloor;
        if (2.0f * kTruePeakBound * reachOf(x + n) <= above) {
            continue;
        }
        const float here = doublePeaks<kLanes>(x + n);
        peak = here > peak ? here : peak;
    }
    for (; n < total; ++n) {
        const float here = doublePeaks<1>(x + n);
        peak = here > peak ? here : peak;
    }
    return 0.5f * peak;
}

} // namespace cantova
