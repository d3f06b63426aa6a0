// The meter of the sound report against levels computed from the signals: tones of known
// level and loudness, the gating and loudness-range cases of the EBU's test signals (made
// here), peaks between the samples, and figures that must not depend on how the audio arrives.
#include "sound/pcm_meter.h"
#include "sound/sound_meter.h"
#include "sound/true_peak.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

namespace cantova {
namespace {

constexpr int kRate = 48000;

double decibels(double linear) {
    return 20.0 * std::log10(linear);
}

// Interleaved frames: each channel a sine of its own (peak in dBFS; -inf: silent).
struct Tone {
    double hertz = 997.0;
    double peakDb = -20.0;
    double phase = 0.0;
};
std::vector<float> tones(const std::vector<Tone>& channels, double seconds, int rate = kRate) {
    const auto frames = static_cast<std::size_t>(std::lround(seconds * rate));
    std::vector<float> samples(frames * channels.size());
    for (std::size_t i = 0; i < frames; ++i) {
        for (std::size_t c = 0; c < channels.size(); ++c) {
            const Tone& tone = channels[c];
            samples[i * channels.size() + c] = static_cast<float>(
                std::pow(10.0, tone.peakDb / 20.0) *
                std::sin(2.0 * std::numbers::pi * tone.hertz * static_cast<double>(i) / rate +
                         tone.phase));
        }
    }
    return samples;
}

// A stereo 1 kHz tone in pieces of the given levels (dBFS) and lengths (seconds).
std::vector<float> stereoSteps(const std::vector<std::pair<double, double>>& pieces) {
    std::vector<float> samples;
    for (const auto& [level, seconds] : pieces) {
        const std::vector<float> piece = tones({{1000.0, level}, {1000.0, level}}, seconds);
        samples.insert(samples.end(), piece.begin(), piece.end());
    }
    return samples;
}

PcmMeter measured(const std::vector<float>& samples, std::vector<double> weights,
                  int rate = kRate) {
    PcmMeter meter(std::move(weights), rate);
    meter.addInterleaved(samples.data(), samples.size() / meter.channels());
    return meter;
}

// The gain of a biquad at a frequency, in dB.
double gainDb(const Biquad& f, double hertz, int rate) {
    const std::complex<double> z = std::polar(1.0, -2.0 * std::numbers::pi * hertz / rate);
    return decibels(std::abs((f.b0 + f.b1 * z + f.b2 * z * z) / (1.0 + f.a1 * z + f.a2 * z * z)));
}

TEST(KWeighting, IsTheRecommendationsFilterAt48kHzAndTheSameCurveAtOtherRates) {
    const KWeighting at48 = kWeightingAt(48000);
    EXPECT_NEAR(at48.shelf.b0, 1.53512485958697, 1e-9);
    EXPECT_NEAR(at48.shelf.b1, -2.69169618940638, 1e-9);
    EXPECT_NEAR(at48.shelf.b2, 1.19839281085285, 1e-9);
    EXPECT_NEAR(at48.shelf.a1, -1.69065929318241, 1e-9);
    EXPECT_NEAR(at48.shelf.a2, 0.73248077421585, 1e-9);
    EXPECT_NEAR(at48.highPass.a1, -1.99004745483398, 1e-9);
    EXPECT_NEAR(at48.highPass.a2, 0.99007225036621, 1e-9);
    for (const int rate : {44100, 96000, 32000}) {
        const KWeighting other = kWeightingAt(rate);
        for (const double hertz : {20.0, 100.0, 997.0, 4000.0}) {
            EXPECT_NEAR(gainDb(other.shelf, hertz, rate) + gainDb(other.highPass, hertz, rate),
                        gainDb(at48.shelf, hertz, 48000) + gainDb(at48.highPass, hertz, 48000),
                        0.05)
                << rate << " Hz, at " << hertz << " Hz";
        }
    }
}

TEST(PcmMeter, AToneAtMinus20dBFSHasItsPeaksAndLoudnessAtEveryRate) {
    // A stereo 997 Hz sine: the K-weighting lifts it by the 0.691 dB the loudness formula
    // takes off, so its loudness is its peak level. (At 11025 Hz its samples fall up to 0.35 dB
    // below its peak, and the interpolator's ripple reads up to 0.22 dB above.)
    for (const int rate : {48000, 44100, 11025, 96000}) {
        SCOPED_TRACE(rate);
        const PcmMeter meter = measured(tones({{}, {}}, 5.0, rate), {1.0, 1.0}, rate);
        EXPECT_NEAR(decibels(meter.samplePeak()), -20.0, rate > 11025 ? 0.01 : 0.4);
        EXPECT_NEAR(decibels(meter.truePeak()), -20.0, rate > 11025 ? 0.1 : 0.25);
        EXPECT_NEAR(meter.integratedLoudness(), -20.0, 0.1);
        EXPECT_NEAR(meter.loudnessRange(), 0.0, 0.1);
        EXPECT_EQ(meter.clippedSamples(), 0);
    }
}

TEST(PcmMeter, LoudnessFollowsTheChannelWeightsAndGates) {
    // Stereo 1 kHz at -23 dBFS is -23 LUFS.
    EXPECT_NEAR(measured(stereoSteps({{-23.0, 20.0}}), {1.0, 1.0}).integratedLoudness(), -23.0,
                0.1);
    // The relative gate leaves out the quiet ends, the absolute gate the almost silent ones.
    EXPECT_NEAR(measured(stereoSteps({{-36.0, 10.0}, {-23.0, 60.0}, {-36.0, 10.0}}), {1.0, 1.0})
                    .integratedLoudness(),
                -23.0, 0.1);
    EXPECT_NEAR(
        measured(stereoSteps(
                     {{-72.0, 10.0}, {-36.0, 20.0}, {-23.0, 60.0}, {-36.0, 20.0}, {-72.0, 10.0}}),
                 {1.0, 1.0})
            .integratedLoudness(),
        -23.0, 0.1);
    // 5.1: the five main channels at -30 dBFS (the surrounds weighted 1.41), and a loud LFE
    // that does not count. A sine's mean square is half its peak's square.
    const std::vector<std::string> names = {"FL", "FR", "FC", "LFE", "SL", "SR"};
    std::vector<double> weights;
    for (const std::string& name : names) {
        weights.push_back(loudnessWeight(name));
    }
    const PcmMeter fiveOne = measured(tones({{1000.0, -30.0},
                                             {1000.0, -30.0},
                                             {1000.0, -30.0},
                                             {50.0, 0.0},
                                             {1000.0, -30.0},
                                             {1000.0, -30.0}},
                                            5.0),
                                      weights);
    EXPECT_NEAR(fiveOne.integratedLoudness(), 10.0 * std::log10(0.5 * 1e-3 * (3.0 + 2.0 * 1.41)),
                0.1);
    EXPECT_NEAR(decibels(fiveOne.samplePeak()), 0.0, 0.01);
}

TEST(PcmMeter, LoudnessRangeIsTheSpreadOfTheShortTermLoudness) {
    EXPECT_NEAR(measured(stereoSteps({{-20.0, 20.0}, {-30.0, 20.0}}), {1.0, 1.0}).loudnessRange(),
                10.0, 1.0);
    EXPECT_NEAR(measured(stereoSteps({{-20.0, 20.0}, {-15.0, 20.0}}), {1.0, 1.0}).loudnessRange(),
                5.0, 1.0);
    // The relative gate (20 LU below) leaves out the quietest parts.
    EXPECT_NEAR(
        measured(stereoSteps(
                     {{-50.0, 20.0}, {-35.0, 20.0}, {-20.0, 20.0}, {-35.0, 20.0}, {-50.0, 20.0}}),
                 {1.0, 1.0})
            .loudnessRange(),
        15.0, 1.0);
    // The curve: a point every 100 ms, each the loudness of the 3 s before it.
    const PcmMeter steps = measured(stereoSteps({{-20.0, 5.0}, {-30.0, 5.0}}), {1.0, 1.0});
    const std::vector<double> curve = steps.shortTermLoudness();
    ASSERT_EQ(curve.size(), 100u);
    EXPECT_NEAR(curve[29], -20.0, 0.1);
    EXPECT_NEAR(curve[49], -20.0, 0.1);
    EXPECT_NEAR(curve[99], -30.0, 0.1);
    EXPECT_NEAR(curve[64], 10.0 * std::log10(0.5 * 0.01 + 0.5 * 0.001), 0.1);
}

TEST(PcmMeter, TruePeakFindsPeaksBetweenTheSamples) {
    // A sine at a quarter of the rate, sampled at 45 degrees: its peaks lie halfway between
    // samples that reach only 1/sqrt(2) of them, 3 dB below.
    const std::vector<float> quarter = tones({{kRate / 4.0, -6.0, std::numbers::pi / 4.0}}, 1.0);
    const PcmMeter meter = measured(quarter, {1.0});
    EXPECT_NEAR(decibels(meter.samplePeak()), -9.01, 0.01);
    EXPECT_NEAR(decibels(meter.truePeak()), -6.0, 0.1);
    // After a louder tone, a burst whose samples stay below that tone's peak but whose true
    // peak goes above it: the blocks it lies in must not be passed over.
    std::vector<float> signal = tones({{997.0, -3.0}}, 1.0);
    const std::vector<float> burst = tones({{kRate / 4.0, -0.8, std::numbers::pi / 4.0}}, 0.01);
    signal.insert(signal.end(), burst.begin(), burst.end());
    const PcmMeter later = measured(signal, {1.0});
    EXPECT_NEAR(decibels(later.samplePeak()), -3.0, 0.01);
    EXPECT_NEAR(decibels(later.truePeak()), -0.8, 0.1);
}

TEST(PcmMeter, NotesTheStepsWhoseTruePeakReachesTheWatchedLevel) {
    // Watched: -6 dBFS. A quiet 1 kHz tone with, from 0.3 to 0.45 s, a burst whose samples stay
    // 3 dB below the watched level and whose true peak lies 1 dB above it; from 0.7 to 1.0 s a
    // tone 0.3 dB below it (a 1 kHz tone's true peak is its peak), then to 1.05 s one 0.5 dB
    // above it. Each piece ends a whole number of cycles, and each loud one 50 ms before the
    // end of its step: the interpolated samples lag the samples by half the filter's length.
    const auto piece = [](std::vector<float>& signal, const Tone& tone, double seconds) {
        const std::vector<float> samples = tones({tone}, seconds);
        signal.insert(signal.end(), samples.begin(), samples.end());
    };
    std::vector<float> signal;
    piece(signal, {1000.0, -30.0}, 0.3);
    piece(signal, {kRate / 4.0, -5.0, std::numbers::pi / 4.0}, 0.15);
    piece(signal, {1000.0, -30.0}, 0.25);
    piece(signal, {1000.0, -6.3}, 0.3);
    piece(signal, {1000.0, -5.5}, 0.05);
    piece(signal, {1000.0, -30.0}, 0.4);
    const auto watched = static_cast<float>(std::pow(10.0, -6.0 / 20.0));
    PcmMeter meter({1.0}, kRate, watched);
    meter.addInterleaved(signal.data(), signal.size());
    const std::vector<bool> expected = {false, false, false, true, true,  false, false,
                                        false, false, false, true, false, false, false};
    EXPECT_EQ(meter.stepsReachingWatchedLevel(), expected) << "the last 50 ms is no whole step";
    EXPECT_EQ(stretchesAtWatchedLevel(meter), (std::vector<TimeStretch>{{0.3, 0.5}, {1.0, 1.1}}));
    // Watching changes none of the figures.
    const PcmMeter unwatched = measured(signal, {1.0});
    EXPECT_EQ(meter.truePeak(), unwatched.truePeak());
    EXPECT_EQ(meter.samplePeak(), unwatched.samplePeak());
    EXPECT_EQ(std::count(unwatched.stepsReachingWatchedLevel().begin(),
                         unwatched.stepsReachingWatchedLevel().end(), true),
              0);
}

TEST(PcmMeter, CountsTheSamplesAtOrBeyondFullScale) {
    // A sine at twice full scale, clipped as a 16-bit file holds it, then one just below.
    std::vector<float> samples = tones({{100.0, decibels(2.0)}}, 0.5);
    long long expected = 0;
    for (float& sample : samples) {
        sample = std::clamp(sample, -1.0f, 32767.0f / 32768.0f);
        expected += std::fabs(sample) >= 32767.0f / 32768.0f ? 1 : 0;
    }
    const std::vector<float> below = tones({{100.0, -0.02}}, 0.5);
    samples.insert(samples.end(), below.begin(), below.end());
    samples.push_back(1.5f); // a float sample beyond full scale
    const PcmMeter meter = measured(samples, {1.0});
    EXPECT_GT(expected, 1000);
    EXPECT_EQ(meter.clippedSamples(), expected + 1);
    EXPECT_FLOAT_EQ(meter.samplePeak(), 1.5f);
}

TEST(PcmMeter, GivesTheSameFiguresHoweverTheAudioArrives) {
    std::vector<float> signal = stereoSteps({{-30.0, 2.0}, {-10.0, 2.0}});
    const std::vector<float> burst = tones({{kRate / 4.0, -2.0, 0.7}, {5000.0, -1.0}}, 0.3);
    signal.insert(signal.end(), burst.begin(), burst.end());
    const PcmMeter whole = measured(signal, {1.0, 1.41});
    // In pieces of odd sizes, across every chunk and 100 ms boundary.
    PcmMeter pieces({1.0, 1.41}, kRate);
    for (std::size_t at = 0, piece = 1; at < signal.size() / 2; piece = piece * 7 % 5003 + 1) {
        const std::size_t count = std::min(piece, signal.size() / 2 - at);
        pieces.addInterleaved(signal.data() + 2 * at, count);
        at += count;
    }
    // Planar.
    std::vector<float> left, right;
    for (std::size_t i = 0; i < signal.size(); i += 2) {
        left.push_back(signal[i]);
        right.push_back(signal[i + 1]);
    }
    PcmMeter planar({1.0, 1.41}, kRate);
    const float* channels[] = {left.data(), right.data()};
    planar.addPlanar(channels, left.size());
    for (const PcmMeter* other : {&pieces, &planar}) {
        EXPECT_EQ(other->frames(), whole.frames());
        EXPECT_EQ(other->samplePeak(), whole.samplePeak());
        EXPECT_EQ(other->truePeak(), whole.truePeak());
        EXPECT_NEAR(other->integratedLoudness(), whole.integratedLoudness(), 1e-4);
        EXPECT_NEAR(other->loudnessRange(), whole.loudnessRange(), 1e-4);
    }
    EXPECT_GT(whole.truePeak(), whole.samplePeak());
}

TEST(PcmMeter, EachChannelCountsAsItWouldAloneInEveryLayout) {
    // Every channel a tone of its own level, then after a quiet gap a burst in one channel only
    // whose samples stay below the loudest tone's peaks and whose true peak goes above them:
    // the channels' figures must not leak into each other's, whichever lanes hold them.
    for (const std::size_t channels : {1u, 2u, 3u, 5u, 6u, 8u, 10u}) {
        SCOPED_TRACE(channels);
        for (const std::size_t loud : {std::size_t{0}, channels - 1, channels / 2}) {
            SCOPED_TRACE(loud);
            std::vector<Tone> steady, bursting;
            std::vector<double> weights;
            for (std::size_t c = 0; c < channels; ++c) {
                steady.push_back({500.0 + 150.0 * static_cast<double>(c), -4.0 - 2.0 * c});
                bursting.push_back({1000.0, -30.0});
                weights.push_back(c % 3 == 1 ? 1.41 : c % 3 == 2 ? 0.0 : 1.0);
            }
            bursting[loud] = {kRate / 4.0, -1.0, std::numbers::pi / 4.0};
            std::vector<float> signal = tones(steady, 1.0);
            // Quiet gaps around the burst, so that no other channel is loud within its reach.
            const std::vector<float> gap = tones(std::vector<Tone>(channels, {1000.0, -30.0}), 0.1);
            signal.insert(signal.end(), gap.begin(), gap.end());
            const std::vector<float> burst = tones(bursting, 0.05);
            signal.insert(signal.end(), burst.begin(), burst.end());
            signal.insert(signal.end(), gap.begin(), gap.end());
            const std::vector<float> after = tones(steady, 0.5);
            signal.insert(signal.end(), after.begin(), after.end());
            const std::size_t frames = signal.size() / channels;

            // Fed in pieces of odd sizes, some shorter than the interpolation's reach back.
            PcmMeter meter(weights, kRate);
            for (std::size_t at = 0, piece = 3; at < frames; piece = piece * 5 % 2999 + 1) {
                const std::size_t count = std::min(piece, frames - at);
                meter.addInterleaved(signal.data() + at * channels, count);
                at += count;
            }
            float truePeak = 0.0f, samplePeak = 0.0f;
            double power = 0.0;
            for (std::size_t c = 0; c < channels; ++c) {
                std::vector<float> alone(frames);
                for (std::size_t i = 0; i < frames; ++i) {
                    alone[i] = signal[i * channels + c];
                }
                const PcmMeter single = measured(alone, {1.0});
                truePeak = std::max(truePeak, single.truePeak());
                samplePeak = std::max(samplePeak, single.samplePeak());
                power += weights[c] * std::pow(10.0, single.integratedLoudness() / 10.0);
            }
            EXPECT_FLOAT_EQ(meter.truePeak(), truePeak);
            EXPECT_NEAR(decibels(meter.truePeak()), -1.0, 0.1);
            EXPECT_FLOAT_EQ(meter.samplePeak(), samplePeak);
            EXPECT_NEAR(meter.integratedLoudness(), 10.0 * std::log10(power), 0.01);
        }
    }
}

TEST(PcmMeter, SilenceAndAudioShorterThanABlockHaveNoLoudness) {
    const PcmMeter silence = measured(std::vector<float>(2 * kRate, 0.0f), {1.0, 1.0});
    EXPECT_EQ(silence.samplePeak(), 0.0f);
    EXPECT_EQ(silence.truePeak(), 0.0f);
    EXPECT_EQ(silence.integratedLoudness(), -INFINITY);
    EXPECT_EQ(silence.loudnessRange(), 0.0);
    const PcmMeter shortTone = measured(tones({{}}, 0.3), {1.0});
    EXPECT_NEAR(decibels(shortTone.samplePeak()), -20.0, 0.01);
    EXPECT_EQ(shortTone.integratedLoudness(), -INFINITY);
}

} // namespace
} // namespace cantova
