// The meter's processor time for one minute of audio (one iteration) at 48 kHz: 5.1 (a source) and
// stereo (an encoder's input) of noise whose level wanders as programme does, and 5.1 whose level
// rises all the time, so that every block has to be interpolated for the true peak (the worst
// case).
#include "sound/pcm_meter.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>
#include <random>

namespace {

constexpr int kRate = 48000;
constexpr std::size_t kFrames = 60 * kRate;

enum class Level { Wandering, Rising };

std::vector<float> minuteOf(std::size_t channels, Level level) {
    std::mt19937 random(7);
    std::normal_distribution<float> noise(0.0f, 1.0f);
    std::vector<float> samples(kFrames * channels);
    for (std::size_t i = 0; i < kFrames; ++i) {
        const double seconds = static_cast<double>(i) / kRate;
        // Wandering: -6 to -26 dB around a peak level of about -3 dBFS; rising: -40 dB to 0.
        const double gainDb = level == Level::Wandering
                                  ? -16.0 + 10.0 * std::sin(2.0 * std::numbers::pi * seconds / 7.0)
                                  : -40.0 + 40.0 * seconds / 60.0;
        const auto gain = static_cast<float>(0.2 * std::pow(10.0, gainDb / 20.0));
        for (std::size_t c = 0; c < channels; ++c) {
            samples[i * channels + c] = gain * noise(random);
        }
    }
    return samples;
}

void measureMinute(benchmark::State& state, std::size_t channels, Level level) {
    const std::vector<float> samples = minuteOf(channels, level);
    const std::vector<double> weights = channels == 6
                                            ? std::vector<double>{1.0, 1.0, 1.0, 0.0, 1.41, 1.41}
                                            : std::vector<double>(channels, 1.0);
    for (auto _ : state) {
        cantova::PcmMeter meter(weights, kRate);
        meter.addInterleaved(samples.data(), kFrames);
        benchmark::DoNotOptimize(meter.truePeak());
        benchmark::DoNotOptimize(meter.integratedLoudness());
        benchmark::DoNotOptimize(meter.loudnessRange());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kFrames));
}

void BM_FiveOneMinute(benchmark::State& state) {
    measureMinute(state, 6, Level::Wandering);
}
void BM_StereoMinute(benchmark::State& state) {
    measureMinute(state, 2, Level::Wandering);
}
void BM_FiveOneMinuteEveryBlockInterpolated(benchmark::State& state) {
    measureMinute(state, 6, Level::Rising);
}

BENCHMARK(BM_FiveOneMinute)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StereoMinute)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FiveOneMinuteEveryBlockInterpolated)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
