#include "sound/k_weighting.h"

#include "sound/vector_clones.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

namespace cantova {

namespace {

// The analog prototypes' parameters that give the recommendation's 48 kHz coefficients.
constexpr double kShelfHertz = 1681.974450955533;
constexpr double kShelfGainDb = 3.999843853973347;
constexpr double kShelfQ = 0.7071752369554196;
// The share of the shelf's gain that reaches its middle band (the prototype's zero placement).
constexpr double kShelfBandExponent = 0.4996667741545416;
constexpr double kHighPassHertz = 38.13547087602444;
constexpr double kHighPassQ = 0.5003270373238773;

constexpr std::size_t kGroupChannels = 8;
// Filter states below this (-300 dB) are set to 0, so that silence after sound never leaves
// them in the slow range of denormal numbers.
constexpr float kNegligibleState = 1e-15f;

// Four channels side by side: the compiler gives each operation on them one vector
// instruction where the processor has them.
using FourLanes = float __attribute__((vector_size(16)));

struct FourFilters {
    FourLanes x1{}, x2{}, y1{}, y2{}, z1{}, z2{}, squares{};
};

struct Coefficients {
    float sb0, sb1, sb2, sa1, sa2, ha1, ha2;
};

// Direct form I: the feedback of each section waits for one multiplication and one addition
// per sample, the shortest chain a recursive filter allows.
inline void weigh(FourFilters& f, const Coefficients& k, FourLanes x) {
    const FourLanes y = (k.sb0 * x + k.sb1 * f.x1 + k.sb2 * f.x2 - k.sa2 * f.y2) - k.sa1 * f.y1;
    // The high-pass's numerator is 1, -2, 1.
    const FourLanes z = (y - 2.0f * f.y1 + f.y2 - k.ha2 * f.z2) - k.ha1 * f.z1;
    f.x2 = f.x1;
    f.x1 = x;
    f.y2 = f.y1;
    f.y1 = y;
    f.z2 = f.z1;
    f.z1 = z;
    f.squares += z * z;
}

// `count` samples in the first lanes of a vector, 0 in the others.
template <std::size_t count> inline FourLanes lanesOf(const float* samples) {
    FourLanes x{};
    if constexpr (count >= 4) {
        std::memcpy(&x, samples, sizeof x);
    } else {
        x[0] = samples[0];
        if constexpr (count >= 2) {
            x[1] = samples[1];
        }
        if constexpr (count >= 3) {
            x[2] = samples[2];
        }
    }
    return x;
}

FourFilters loaded(const KWeightedEnergy::State& state, std::size_t first) {
    FourFilters f;
    FourLanes* fields[] = {&f.x1, &f.x2, &f.y1, &f.y2, &f.z1, &f.z2};
    for (std::size_t i = 0; i < 6; ++i) {
        std::memcpy(fields[i], &state[i][first], sizeof(FourLanes));
    }
    return f;
}

// Keeps the filters' state, and returns the weighted sum of their squares.
double stored(const FourFilters& f, KWeightedEnergy::State& state, std::size_t first,
              const double* weights) {
    const FourLanes* fields[] = {&f.x1, &f.x2, &f.y1, &f.y2, &f.z1, &f.z2};
    double energy = 0.0;
    for (std::size_t lane = 0; lane < 4; ++lane) {
        for (std::size_t i = 0; i < 6; ++i) {
            const float value = (*fields[i])[lane];
            state[i][first + lane] = std::fabs(value) < kNegligibleState ? 0.0f : value;
        }
        energy += weights[first + lane] * f.squares[lane];
    }
    return energy;
}

// The K-weighting of `lanes` channels side by side in frames of `stride` samples; returns the
// weighted sum of squares.
template <std::size_t lanes>
double weighLanes(KWeightedEnergy::State& state, const Coefficients& k, const float* frames,
                  std::size_t stride, std::size_t count, const double* weights) {
    FourFilters low = loaded(state, 0);
    if constexpr (lanes <= 4) {
        for (std::size_t i = 0; i < count; ++i) {
            weigh(low, k, lanesOf<lanes>(frames + i * stride));
        }
        return stored(low, state, 0, weights);
    } else {
        FourFilters high = loaded(state, 4);
        for (std::size_t i = 0; i < count; ++i) {
            weigh(low, k, lanesOf<4>(frames + i * stride));
            weigh(high, k, lanesOf<lanes - 4>(frames + i * stride + 4));
        }
        return stored(low, state, 0, weights) + stored(high, state, 4, weights);
    }
}

// The K-weighting of `lanes` (1 to 8) channels, the first at `samples`, in frames of `stride`
// samples; returns the weighted sum of squares.
CANTOVA_VECTOR_CLONES double weighGroup(KWeightedEnergy::State& state, const KWeighting& weighting,
                                        const float* samples, std::size_t lanes, std::size_t stride,
                                        std::size_t frames, const double* weights) {
    const Coefficients k{
        static_cast<float>(weighting.shelf.b0),   static_cast<float>(weighting.shelf.b1),
        static_cast<float>(weighting.shelf.b2),   static_cast<float>(weighting.shelf.a1),
        static_cast<float>(weighting.shelf.a2),   static_cast<float>(weighting.highPass.a1),
        static_cast<float>(weighting.highPass.a2)};
    const auto weighed = [&]<std::size_t count>() {
        return weighLanes<count>(state, k, samples, stride, frames, weights);
    };
    switch (lanes) {
    case 1:
        return weighed.template operator()<1>();
    case 2:
        return weighed.template operator()<2>();
    case 3:
        return weighed.template operator()<3>();
    case 4:
        return weighed.template operator()<4>();
    case 5:
        return weighed.template operator()<5>();
    case 6:
        return weighed.template operator()<6>();
    case 7:
        return weighed.template operator()<7>();
    default:
        return weighed.template operator()<8>();
    }
}

} // namespace

KWeighting kWeightingAt(int sampleRate) {
    KWeighting weighting;
    {
        const double k = std::tan(std::numbers::pi * kShelfHertz / sampleRate);
        const double high = std::pow(10.0, kShelfGainDb / 20.0);
        const double band = std::pow(high, kShelfBandExponent);
        const double a0 = 1.0 + k / kShelfQ + k * k;
        weighting.shelf = {(high + band * k / kShelfQ + k * k) / a0, 2.0 * (k * k - high) / a0,
                           (high - band * k / kShelfQ + k * k) / a0, 2.0 * (k * k - 1.0) / a0,
                           (1.0 - k / kShelfQ + k * k) / a0};
    }
    {
        const double k = std::tan(std::numbers::pi * kHighPassHertz / sampleRate);
        const double a0 = 1.0 + k / kHighPassQ + k * k;
        weighting.highPass = {1.0, -2.0, 1.0, 2.0 * (k * k - 1.0) / a0,
                              (1.0 - k / kHighPassQ + k * k) / a0};
    }
    return weighting;
}

KWeightedEnergy::KWeightedEnergy(const std::vector<double>& channelWeights, int sampleRate)
    : channels_(channelWeights.size()), weighting_(kWeightingAt(sampleRate)) {
    for (std::size_t first = 0; first < channels_; first += kGroupChannels) {
        Group group;
        group.first = first;
        group.count = std::min(kGroupChannels, channels_ - first);
        std::copy_n(channelWeights.begin() + static_cast<std::ptrdiff_t>(first), group.count,
                    group.weights);
        groups_.push_back(group);
    }
}

double KWeightedEnergy::add(const float* interleaved, std::size_t frames) {
    double energy = 0.0;
    for (Group& group : groups_) {
        energy += weighGroup(group.state, weighting_, interleaved + group.first, group.count,
                             channels_, frames, group.weights);
    }
    return energy;
}

} // namespace cantova
