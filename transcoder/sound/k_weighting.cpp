#include "sound/k_weighting.h"

#include "sound/fixed_count.h"
#include "sound/vector_clones.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <type_traits>
#include <utility>

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

// Four or eight channels side by side: the compiler gives each operation on them one vector
// instruction where the processor has vectors that wide (two where it has half as wide). One
// vector of eight rather than two of four: the filters' state then stays in the registers.
using FourLanes = float __attribute__((vector_size(16)));
using EightLanes = float __attribute__((vector_size(32)));

template <typename Lanes> struct Filters {
    static constexpr std::size_t kWidth = sizeof(Lanes) / sizeof(float);
    Lanes x1{}, x2{}, y1{}, y2{}, z1{}, z2{}, squares{};
};

struct Coefficients {
    float sb0, sb1, sb2, sa1, sa2, ha1, ha2;
};

// Direct form I: the feedback of each section waits for one multiplication and one addition
// per sample, the shortest chain a recursive filter allows. (Vectors pass by reference: wide
// ones by value would depend on the processor's instructions.)
template <typename Lanes>
inline void weigh(Filters<Lanes>& f, const Coefficients& k, const Lanes& x) {
    const Lanes y = (k.sb0 * x + k.sb1 * f.x1 + k.sb2 * f.x2 - k.sa2 * f.y2) - k.sa1 * f.y1;
    // The high-pass's numerator is 1, -2, 1.
    const Lanes z = (y - 2.0f * f.y1 + f.y2 - k.ha2 * f.z2) - k.ha1 * f.z1;
    f.x2 = f.x1;
    f.x1 = x;
    f.y2 = f.y1;
    f.y1 = y;
    f.z2 = f.z1;
    f.z1 = z;
    f.squares += z * z;
}

// `count` samples in the first lanes of a vector, 0 in the others.
template <typename Lanes, std::size_t... lane>
inline void loadLanes(Lanes& x, const float* samples, std::index_sequence<lane...>) {
    if constexpr (sizeof...(lane) * sizeof(float) == sizeof(Lanes)) {
        std::memcpy(&x, samples, sizeof x);
    } else {
        x = Lanes{samples[lane]...};
    }
}

template <typename Lanes> Filters<Lanes> loaded(const KWeightedEnergy::State& state) {
    Filters<Lanes> f;
    Lanes* fields[] = {&f.x1, &f.x2, &f.y1, &f.y2, &f.z1, &f.z2};
    for (std::size_t i = 0; i < 6; ++i) {
        std::memcpy(fields[i], &state[i][0], sizeof(Lanes));
    }
    return f;
}

// Keeps the filters' state, and returns the weighted sum of their squares.
template <typename Lanes>
double stored(const Filters<Lanes>& f, KWeightedEnergy::State& state, const double* weights) {
    const Lanes* fields[] = {&f.x1, &f.x2, &f.y1, &f.y2, &f.z1, &f.z2};
    double energy = 0.0;
    for (std::size_t lane = 0; lane < Filters<Lanes>::kWidth; ++lane) {
        for (std::size_t i = 0; i < 6; ++i) {
            const float value = (*fields[i])[lane];
            state[i][lane] = std::fabs(value) < kNegligibleState ? 0.0f : value;
        }
        energy += weights[lane] * f.squares[lane];
    }
    return energy;
}

// The K-weighting of `lanes` channels side by side in frames of `stride` samples; returns the
// weighted sum of squares.
template <std::size_t lanes>
double weighLanes(KWeightedEnergy::State& state, const Coefficients& k, const float* frames,
                  std::size_t stride, std::size_t count, const double* weights) {
    using Lanes = std::conditional_t<(lanes <= 4), FourLanes, EightLanes>;
    Filters<Lanes> filters = loaded<Lanes>(state);
    for (std::size_t i = 0; i < count; ++i) {
        Lanes x;
        loadLanes(x, frames + i * stride, std::make_index_sequence<lanes>());
        weigh(filters, k, x);
    }
    return stored(filters, state, weights);
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
    // A group has 1 to kGroupChannels channels.
    return withFixedCount<kGroupChannels>(lanes, [&]<std::size_t count>() {
        return weighLanes<(count > 0 ? count : kGroupChannels)>(state, k, samples, stride, frames,
                                                                weights);
    });
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
