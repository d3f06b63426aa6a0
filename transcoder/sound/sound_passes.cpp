#include "sound/sound_passes.h"

#include "command/decimal_text.h"

#include <algorithm>
#include <cmath>

namespace cantova {

namespace {

// The largest magnitude a 16-bit sample holds (-32768); a float sample beyond it is clipped.
constexpr double kLargestSixteenBitDb = 1e-6;
// WAV is aimed two steps below it, so that the dither cannot take a sample to full scale.
const double kWavAimDb = 20.0 * std::log10(32765.0 / 32768.0);
// Lossy outputs are aimed here, decoded, and encoded again while they lie outside
// [kLossyLowestDb, 0]: the encoders move peaks by a few tenths of a dB, up more often than down
// (their noise adds to the peaks), so the aim lies below the window's middle.
constexpr double kLossyAimDb = -0.3;
constexpr double kLossyLowestDb = -0.5;
// A job encodes at most this often, whatever its mode.
constexpr int kMostEncodes = 4;
// lame clips its input at full scale (float input included): an MP3 job's gain is never
// allowed to take the encoder's input above this, the largest error of a peak reading below
// full scale.
constexpr double kClippingInputCeilingDb = -kPeakReadingErrorDb;
// Two decoded peaks within a reading's error of each other, after gains this far apart, did
// not move.
constexpr double kUnmovedReadingDb = kPeakReadingErrorDb;
constexpr double kMovedGainDb = 0.5;
// A source whose processed peak lies below this gets no gain: it is silence or dither.
constexpr double kSilenceDb = -70.0;
// The loudness is gated in blocks of this length: a shorter source has none to measure.
constexpr double kGatingBlockSeconds = 0.4;
// A plain lossy job whose encoder input has a true peak above this is decoded and checked for
// overs; below it no encoder reaches full scale.
constexpr double kOverCheckDb = -1.5;
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

std::string hundredths(double value) {
    return formatDecimal(std::round(value * 100.0) / 100.0);
}

class SoundPasses {
public:
    SoundPasses(PassRunner& passes, const SoundPlan& plan, RunLog& log)
        : passes_(passes), plan_(plan), log_(log), lossy_(isLossy(passes.target())) {}

    SoundReport run() {
        switch (plan_.mode) {
        case GainMode::None:
            plain(0);
            break;
        case GainMode::PeakBeforeEncoding:
        case GainMode::Hybrid:
            peakBeforeEncoding();
            break;
        case GainMode::PeakAfterEncoding:
            peakAfterEncoding();
            break;
        case GainMode::Loudness:
            loudness();
            break;
        }
        settleDialogueLevel();
        if (!checked_) {
            passes_.checkWritten(std::nullopt, 99, 100);
        }
        return report_;
    }

private:
    // The levels reach the output as the source has them: an AC3 source's dialogue level still
    // describes it.
    bool levelsKept() const {
        return !plan_.processingChangesLevels && std::abs(settings_.gainDb) < 1e-6 &&
               !settings_.limiterCeilingDb;
    }

    // The dialogue level an AC3 output carries: the source's where the levels are kept, else
    // the output's loudness as the passes so far let it be foreseen (settled after the last
    // pass); none, the encoder's default, for a source without one whose levels are kept.
    std::optional<int> dialogueLevel() const {
        if (levelsKept() && (plan_.sourceDialogueLevel || plan_.mode == GainMode::None)) {
            return plan_.sourceDialogueLevel;
        }
        if (std::isfinite(lastInputLoudness_) &&
            settings_.limiterCeilingDb.has_value() == lastLimited_) {
            return dialogueLevelOf(lastInputLoudness_ + settings_.gainDb - lastGainDb_);
        }
        if (std::isfinite(unityLoudness_)) {
            return dialogueLevelOf(unityLoudness_ + settings_.gainDb);
        }
        return std::nullopt;
    }

    void encode(int from, int to) {
        settings_.dialogueLevel = dialogueLevel();
        const EncodeFigures figures = passes_.encode(settings_, from, to);
        lastInputLoudness_ = figures.output.loudnessLufs;
        lastGainDb_ = settings_.gainDb;
        lastLimited_ = settings_.limiterCeilingDb.has_value();
        ++encodes_;
        if (figures.source) {
            report_.source = *figures.source;
        }
        report_.output = figures.output;
        report_.measured = OutputMeasure::EncoderInput;
        inputPeakDb_ = figures.output.samplePeakDb;
        // A clipped source stays clipped, whatever level the job gives it.
        inputClipped_ = std::max(figures.output.clippedSamples, report_.source.clippedSamples);
        report_.output.clippedSamples = inputClipped_;
        if (!settings_.limiterCeilingDb) {
            unityLoudness_ = figures.output.loudnessLufs - settings_.gainDb;
        }
        checked_ = false;
    }

    // Decodes the written output and measures it. The clipped count is the larger of the
    // samples at full scale the encoder received (or the source's, passed on) and the flat tops
    // of the decoded file: they count the same clipping where there is any.
    SoundFigures decode(MeterKind kind, int from, int to) {
        SoundFigures decoded = *passes_.checkWritten(kind, from, to);
        checked_ = true;
        if (kind == MeterKind::Levels) {
            report_.output = decoded;
            report_.measured = OutputMeasure::DecodedFile;
        } else {
            report_.output.samplePeakDb = decoded.samplePeakDb;
            report_.output.truePeakDb = std::max(report_.output.truePeakDb, decoded.samplePeakDb);
            report_.output.clippedSamples = decoded.clippedSamples;
            report_.measured = OutputMeasure::DecodedPeaks;
        }
        report_.output.clippedSamples = std::max(report_.output.clippedSamples, inputClipped_);
        return decoded;
    }

    void logSilent(const std::string& level) {
        log_.write("silent source: gain not applied (" + level + ")");
    }

    void lowerForOvers(double byDb, int from, int to) {
        log_.write("over protection: gain lowered by " + hundredths(byDb) + " dB");
        settings_.gainDb -= byDb;
        encode(from, to);
    }

    // An AC3 output whose dialogue level was foreseen wrongly (a limiter moved the loudness, or
    // no pass had measured it yet) is encoded once more with the level its loudness gives.
    void settleDialogueLevel() {
        if (passes_.target() == Target::Ac3 && encodes_ < kMostEncodes &&
            dialogueLevel() != settings_.dialogueLevel) {
            encode(97, 99);
        }
    }

    // Unity gain, lowered only where the output would go above full scale. An AC3 output whose
    // processing changes the levels is measured first, for its dialogue level.
    void plain(int from) {
        if (passes_.target() == Target::Ac3 && plan_.processingChangesLevels &&
            !std::isfinite(unityLoudness_)) {
            unityLoudness_ =
                passes_.measureSource(MeterKind::Loudness, from, from + 30).loudnessLufs;
            from += 30;
        }
        encode(from, 90);
        if (!lossy_) {
            if (report_.output.samplePeakDb > kLargestSixteenBitDb) {
                lowerForOvers(report_.output.samplePeakDb - kWavAimDb, 90, 99);
            }
            return;
        }
        // The encoder's 16-bit input holds nothing above full scale; AC3 and Opus are encoded
        // from float.
        const auto inputOver = [&] {
            return settings_.feed == EncoderFeed::SixteenBit && passes_.target() != Target::Ac3 &&
                   passes_.target() != Target::Opus && inputPeakDb_ > kLargestSixteenBitDb;
        };
        if (!inputOver() && report_.output.truePeakDb < kOverCheckDb) {
            return;
        }
        double decoded = decode(MeterKind::FastPeak, 90, 93).samplePeakDb;
        while (encodes_ < kMostEncodes && (decoded > 0.0 || inputOver())) {
            const double over = std::max(decoded, inputOver() ? inputPeakDb_ : -INFINITY);
            lowerForOvers(over - kLossyAimDb, 93, 97);
            decoded = decode(MeterKind::FastPeak, 97, 99).samplePeakDb;
        }
    }

    // Encodes again while the decoded peak lies outside [kLossyLowestDb, 0] (read to a tenth of
    // a dB, so it must read kPeakReadingErrorDb inside), within the job's encodes. Encoders are
    // not linear (AC3 quantises in steps of 6 dB), so the gain is found between the nearest
    // tries below and above full scale. The search ends at the encoder's input ceiling (where
    // the encoder clips) and where the decoded peak did not move with the gain (where it
    // limits); should no try land in the window, the best one below full scale is kept.
    void settleLossyPeak(int from) {
        struct Try {
            double gainDb;
            double peakDb;
        };
        std::optional<Try> below; // the largest gain that decoded at most full scale
        std::optional<Try> above; // the smallest gain that decoded above it
        std::optional<Try> best;  // the highest peak at most full scale, at the lowest gain
        std::optional<Try> last;
        double decoded = decode(MeterKind::FastPeak, from, from + 5).samplePeakDb;
        while (std::isfinite(decoded)) {
            const Try now{settings_.gainDb, decoded};
            if (decoded > 0.0) {
                above = above && above->gainDb < now.gainDb ? above : now;
            } else {
                below = below && below->gainDb > now.gainDb ? below : now;
                const bool higher = !best || now.peakDb > best->peakDb + kPeakReadingErrorDb;
                const bool asHighForLess =
                    best && std::abs(now.peakDb - best->peakDb) <= kPeakReadingErrorDb &&
                    now.gainDb < best->gainDb;
                best = higher || asHighForLess ? now : best;
            }
            if (decoded <= 0.0 && decoded >= kLossyLowestDb + kPeakReadingErrorDb) {
                return;
            }
            if (decoded <= 0.0 && atInputCeiling()) {
                log_.write("peak gain: the encoder's input is at full scale, where the encoder "
                           "clips; the output decodes at " +
                           levelText(decoded) + " dBFS");
                return;
            }
            if (last && std::abs(now.gainDb - last->gainDb) >= kMovedGainDb &&
                std::abs(now.peakDb - last->peakDb) < kUnmovedReadingDb) {
                log_.write("peak gain: the decoded peak stayed at " + levelText(decoded) +
                           " dBFS for gains " + hundredths(last->gainDb) + " and " +
                           hundredths(now.gainDb) +
                           " dB: the encoder limits; the best gain "
                           "below full scale is kept");
                break;
            }
            if (encodes_ >= kMostEncodes - 1) {
                break; // the last encode is kept for the best try
            }
            // The step the decoded peak took for the last change of gain, else one for one. Noise
            // in the encoders' peaks (Vorbis moves them by tenths of a dB) makes a small step
            // unreliable: a step is taken as at least 0.7 of the gain.
            double slope = 1.0;
            if (last && std::abs(now.gainDb - last->gainDb) > 0.01) {
                slope =
                    std::clamp((now.peakDb - last->peakDb) / (now.gainDb - last->gainDb), 0.7, 1.5);
            }
            last = now;
            const double straight = settings_.gainDb + (kLossyAimDb - decoded) / slope;
            const bool bracketed = below && above && above->peakDb > below->peakDb;
            double next = straight;
            if (bracketed && (straight <= below->gainDb || straight >= above->gainDb)) {
                // Kept off the ends, so that a step in the encoder's response still narrows the
                // bracket.
                const double share = std::clamp(
                    (kLossyAimDb - below->peakDb) / (above->peakDb - below->peakDb), 0.25, 0.75);
                next = below->gainDb + share * (above->gainDb - below->gainDb);
            }
            next = std::min(next, inputCeilingGainDb_);
            if (std::abs(next - settings_.gainDb) < 0.01) {
                break;
            }
            settings_.gainDb = next;
            encode(from + 5, 95);
            decoded = decode(MeterKind::FastPeak, 95, 99).samplePeakDb;
        }
        // None landed in the window: the best try below full scale is encoded again (the
        // encoders give the same output for the same input), and where every one went above
        // it, the gain is lowered by the excess.
        if (!std::isfinite(decoded) ||
            (decoded <= 0.0 && best && best->gainDb == settings_.gainDb)) {
            return;
        }
        settings_.gainDb = best ? best->gainDb : settings_.gainDb - (decoded - kLossyAimDb);
        encode(95, 97);
        decode(MeterKind::FastPeak, 97, 99);
    }

    // Where the gain takes an encoder that clips its input (lame) to its input ceiling.
    bool atInputCeiling() const { return settings_.gainDb >= inputCeilingGainDb_ - 0.01; }

    void peakBeforeEncoding() {
        // An AC3 output's dialogue level follows the loudness, which is measured with the peak.
        const SoundFigures processed =
            passes_.measureSource(passes_.target() == Target::Ac3 ? MeterKind::Levels
                                  : lossy_                        ? MeterKind::FastPeak
                                                                  : MeterKind::Peak,
                                  0, 25);
        if (processed.samplePeakDb < kSilenceDb) {
            logSilent("peak " + levelText(processed.samplePeakDb) + " dBFS");
            plain(25);
            return;
        }
        unityLoudness_ = processed.loudnessLufs;
        if (!lossy_) {
            settings_.gainDb = kWavAimDb - processed.samplePeakDb;
            encode(25, 95);
            return;
        }
        settings_.feed = EncoderFeed::Float;
        limitToInputCeiling(processed.samplePeakDb);
        settings_.gainDb = std::min(kLossyAimDb - processed.samplePeakDb, inputCeilingGainDb_);
        encode(25, 75);
        settleLossyPeak(75);
    }

    void peakAfterEncoding() {
        settings_.feed = EncoderFeed::Float;
        encode(0, 45);
        if (report_.output.samplePeakDb < kSilenceDb) {
            logSilent("peak " + levelText(report_.output.samplePeakDb) + " dBFS");
            return;
        }
        limitToInputCeiling(inputPeakDb_);
        settleLossyPeak(45);
    }

    // The largest gain for an encoder that clips its input, from the input's peak at unity.
    void limitToInputCeiling(double unityPeakDb) {
        if (passes_.target() == Target::Mp3) {
            inputCeilingGainDb_ = kClippingInputCeilingDb - unityPeakDb;
        }
    }

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

    PassRunner& passes_;
    const SoundPlan& plan_;
    RunLog& log_;
    const bool lossy_;
    PassSettings settings_;
    SoundReport report_;
    double unityLoudness_ = -INFINITY;
    // The loudness of the last encoding pass's input, and its gain and limiter.
    double lastInputLoudness_ = -INFINITY;
    double lastGainDb_ = 0.0;
    bool lastLimited_ = false;
    double inputPeakDb_ = -INFINITY; // of the last encoding pass's input
    double inputCeilingGainDb_ = INFINITY;
    long long inputClipped_ = 0; // of the last encoding pass's input
    int encodes_ = 0;
    bool checked_ = false;
};

} // namespace

std::string outputLineEnd(const SoundReport& report) {
    std::string end;
    switch (report.measured) {
    case OutputMeasure::EncoderInput:
        end = "; measured at the encoder's input";
        break;
    case OutputMeasure::DecodedFile:
        end = "; measured on the decoded file";
        break;
    case OutputMeasure::DecodedPeaks:
        end = "; peaks measured on the decoded file, the rest at the encoder's input";
        break;
    }
    if (report.loudnessMissedByLu) {
        end += "; target missed by " + levelText(*report.loudnessMissedByLu) +
               " LU: the ceiling limits it";
    }
    return end;
}

int dialogueLevelOf(double loudnessLufs) {
    if (!std::isfinite(loudnessLufs)) {
        return 31;
    }
    return std::clamp(static_cast<int>(std::lround(-loudnessLufs)), 1, 31);
}

SoundReport runSoundPasses(PassRunner& passes, const SoundPlan& plan, RunLog& log) {
    return SoundPasses(passes, plan, log).run();
}

} // namespace cantova
