#pragma once

#include <cstddef>

namespace cantova {

// The true peak of ITU-R BS.1770-4: the signal interpolated to four times its rate by the
// recommendation's 48-tap polyphase filter (12 taps per phase).
inline constexpr std::size_t kTruePeakHistory = 11; // earlier samples each output depends on

// No interpolated sample is larger than this times the largest magnitude of the samples it is
// made of (the largest sum of a phase's absolute taps): a block whose samples stay below the
// true peak found so far divided by it cannot raise that peak, and need not be interpolated.
inline constexpr float kTruePeakBound = 2.0228271484375f;

// The largest magnitude of the interpolated signal between and at the samples x[0] to
// x[count - 1], where it lies above floor (else a level at most floor): runs of outputs whose
// samples cannot reach above it are not computed. x[-kTruePeakHistory] to x[-1] must be
// readable (the samples before, zeros at the start).
float interpolatedPeak(const float* x, std::size_t count, float floor = 0.0f);

} // namespace cantova
