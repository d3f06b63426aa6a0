#pragma once

#include <cstddef>
#include <vector>

namespace cantova {

// One second-order section: y[n] = b0 x[n] + b1 x[n-1] + b2 x[n-2] - a1 y[n-1] - a2 y[n-2].
struct Biquad {
    double b0 = 1.0;
    double b1 = 0.0;
    double b2 = 0.0;
    double a1 = 0.0;
    double a2 = 0.0;
};

// The K-weighting of ITU-R BS.1770 at a sample rate: a high shelf (+4 dB above about 1.7 kHz,
// the head's effect) followed by a high-pass (the RLB curve, about 38 Hz). Both are designed
// from their analog prototypes with the bilinear transform, so that at 48 kHz they are the
// recommendation's coefficients and at any other rate the same curve.
struct KWeighting {
    Biquad shelf;
    Biquad highPass;
};

KWeighting kWeightingAt(int sampleRate);

// K-weights interleaved frames of any number of channels as they stream past, up to eight
// channels side by side in vector instructions (in 32-bit float), and sums the squares of the
// weighted samples, each channel's times its weight.
class KWeightedEnergy {
public:
    KWeightedEnergy(const std::vector<double>& channelWeights, int sampleRate);

    // The weighted sum of squares of the frames.
    double add(const float* interleaved, std::size_t frames);

    // The state of eight channels: the last two inputs and outputs of the shelf, the last two
    // outputs of the high-pass (whose inputs are the shelf's outputs).
    using State = float[6][8];

private:
    struct Group {
        std::size_t first = 0;
        std::size_t count = 0;
        State state = {};
        double weights[8] = {}; // 0 for the lanes without a channel
    };

    std::size_t channels_;
    KWeighting weighting_;
    std::vector<Group> groups_;
};

} // namespace cantova
