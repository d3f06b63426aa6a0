#include "sound/loudness_passes.h"

#include "sound/gain_passes.h"

#include <optional>

namespace cantova {

namespace {

// The loudness is gated in blocks of this length: a shorter source has none to measure.
constexpr double kGatingBlockSeconds = 0.4;
// How far below the true-peak ceiling the loudness mode's limiter holds the peaks: the way
// back to the sample rate and, more, lossy coding raise them again.
constexpr double kWavLimiterMarginDb = 0.3;
constexpr double kLossyLimiterMarginDb = 1.0;
// The decoded true peak may exceed the ceiling by this much before the job is encoded again.
constexpr double kCeilingToleranceDb = 0.1;
// A lossy output whose decoded loudness misses the target by more than this is encoded again
// with the gain corrected, at most this many times.
constexpr double kLoudnessToleranceLu = 0.3;
constexpr int kLoudnessCorrections = 2;
// The most the loudness mode's limiter may take off the programme's loudness before the
// target is given up for the ceiling.
constexpr double kMostLimitingDb = 6.0;
// The loudness mode lands within this of its target, or says why not.
constexpr double kLoudnessWindowLu = 0.5;

// The loudness mode: one linear gain to the target loudness, a true-peak limiter where the
// peaks would pass the ceiling, and corrections of the gain as the output measures.
class LoudnessPasses : public GainPasses {
public:
    using GainPasses::GainPasses;

    SoundReport run() {
        loudness();
        return finish();
    }

private:
    void loudness() {
        const LoudnessTarget target = *plan_.loudness;
        const SoundFigures processed = passes_.measureSource(MeterKind::Loudness, 0, 25);
        if (processed.samplePeakDb >= kSilenceDb &&
            passes_.lastPassSeconds() < kGatingBlockSeconds) {
            log_.write("too short to measure: gain not applied (" +
                       hundredths(passes_.lastPassSeconds()) +
                       " s; the loudness is measured over " + formatDecimal(kGatingBlockSeconds) +
                       " s blocks)");
            plain(25);
            return;
        }
        if (!(processed.loudnessLufs > kSilenceDb) || processed.samplePeakDb < kSilenceDb) {
            logSilent("loudness " + levelText(processed.loudnessLufs) + " LUFS");
            plain(25);
            return;
        }
        unityLoudness_ = processed.loudnessLufs;
        settings_.feed = EncoderFeed::Float;
        settings_.gainDb = target.lufs - processed.loudnessLufs;
        const double ceiling =
            target.truePeakCeilingDb - (lossy_ ? kLossyLimiterMarginDb : kWavLimiterMarginDb);
        log_.write("loudness: " + levelText(processed.loudnessLufs) + " LUFS, sample peak " +
                   levelText(processed.samplePeakDb) + " dBFS; gain " +
                   hundredths(settings_.gainDb) + " dB to " + formatDecimal(target.lufs) + " LUFS");
        // The true peak never lies below the sample peak: where the sample peak goes above the
        // ceiling, so does the true peak. Else the encoding pass measures the true peak of the
        // encoder's input, and where that went above the ceiling, the job is encoded again with
        // the limiter.
        if (processed.samplePeakDb + settings_.gainDb > ceiling) {
            settings_.limiterCeilingDb = ceiling;
        }
        encode(25, 50);
        if (!settings_.limiterCeilingDb && report_.output.truePeakDb > ceiling) {
            settings_.limiterCeilingDb = ceiling;
            encode(50, 75);
        }
        settleLoudness(target, ceiling);
    }

    // Lossy coding moves the level (lame's quantiser takes up to a dB off a pure tone) and
    // raises the true peak, and a limiter takes loudness off with the peaks: the output is
    // measured (decoded, unless the encoder keeps the level, nothing is limited and the true
    // peak stays well below the ceiling), and encoded again, at most twice, with the gain
    // corrected by the miss (the limiter in place) and the limiter lower by any excess of the
    // true peak. The gain stops where the limiter would take more than kMostLimitingDb off the
    // programme's loudness: the ceiling, not the gain, then limits the loudness.
    void settleLoudness(const LoudnessTarget& target, double ceiling) {
        struct Try {
            double gainDb;
            double loudnessLufs;
        };
        std::optional<Try> last;
        int corrections = 0;
        for (int pass = 0;; ++pass) {
            const int from = std::min(75 + pass * 6, 93);
            const double expected = report_.output.truePeakDb;
            const double inputLoudness = report_.output.loudnessLufs;
            const bool nearCeiling = expected > target.truePeakCeilingDb - 2.0;
            if (lossy_ &&
                (nearCeiling || !plan_.encoderKeepsLoudness || settings_.limiterCeilingDb)) {
                decode(MeterKind::Levels, from, from + 2);
            }
            const double excess = report_.output.truePeakDb - target.truePeakCeilingDb;
            const double miss = report_.output.loudnessLufs - target.lufs;
            // What the limiter took off the programme's loudness: the input's loudness below
            // what the gain alone gives; and how the loudness answered the last correction
            // (under a limiter, with less than the gain).
            const double limiting =
                std::max(0.0, unityLoudness_ + settings_.gainDb - inputLoudness);
            const Try now{settings_.gainDb, report_.output.loudnessLufs};
            double slope = 1.0;
            if (last && std::abs(now.gainDb - last->gainDb) > 0.01) {
                slope = std::clamp((now.loudnessLufs - last->loudnessLufs) /
                                       (now.gainDb - last->gainDb),
                                   0.2, 1.0);
            }
            last = now;
            // The limiting the target would take: each dB of gain adds what the loudness does
            // not gain.
            const double raise = -miss / slope;
            const bool ceilingLimits =
                settings_.limiterCeilingDb && miss < 0.0 &&
                limiting + std::max(0.0, raise) * (1.0 - slope) > kMostLimitingDb;
            const bool correct = std::abs(miss) > kLoudnessToleranceLu &&
                                 (!ceilingLimits || limiting < kMostLimitingDb - 0.1) &&
                                 corrections < kLoudnessCorrections;
            if ((excess <= kCeilingToleranceDb && !correct) || encodes_ >= kMostEncodes) {
                if (ceilingLimits && -miss > kLoudnessWindowLu) {
                    report_.loudnessMissedByLu = -miss;
                    log_.write("loudness: target missed by " + levelText(-miss) +
                               " LU: the ceiling limits it");
                }
                return;
            }
            if (excess > kCeilingToleranceDb) {
                settings_.limiterCeilingDb =
                    settings_.limiterCeilingDb.value_or(expected) - excess - kCeilingToleranceDb;
            }
            if (correct) {
                ++corrections;
                // No further than kMostLimitingDb of limiting.
                const double step = ceilingLimits
                                        ? (kMostLimitingDb - limiting) / std::max(1.0 - slope, 0.2)
                                        : raise;
                settings_.gainDb += step;
                log_.write("loudness: the output measures " +
                           levelText(report_.output.loudnessLufs) + " LUFS; gain " +
                           hundredths(settings_.gainDb) + " dB");
                if (!settings_.limiterCeilingDb && expected + step > ceiling) {
                    settings_.limiterCeilingDb = ceiling;
                }
            }
            encode(from + 2, from + 6);
        }
    }
};

} // namespace

SoundReport runLoudnessPasses(PassRunner& passes, const SoundPlan& plan, RunLog& log) {
    return LoudnessPasses(passes, plan, log).run();
}

} // namespace cantova
