#pragma once

// What every gain mode's passes share: the settings of the next encoding pass, the figures of
// the report, and the steps of a plain job (unity gain, lowered only against overs). The gain
// modes (peak_gain_passes, loudness_passes) build on it; sound_passes picks one.

#include "command/decimal_text.h"
#include "sound/sound_passes.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace cantova {

// The largest magnitude a 16-bit sample holds (-32768); a float sample beyond it is clipped.
constexpr double kLargestSixteenBitDb = 1e-6;
// WAV is aimed two steps below it, so that the dither cannot take a sample to full scale.
const double kWavAimDb = 20.0 * std::log10(32765.0 / 32768.0);
// Lossy outputs are aimed here, decoded, and encoded again while they lie outside
// [kLossyLowestDb, 0]. The encoders move peaks by a few tenths of a dB: their noise raises them
// (Vorbis, Opus, lame's VBR by up to 0.7 dB), their lowpass lowers those of wide-band sound
// (lame at ABR 192 by 0.4 to 0.7 dB, at 128 by up to 1.2). A window a dB wide takes the first
// encode of nearly every one; a narrower one would cost a whole encode for tenths of a dB that
// nobody hears, and the aim near its top keeps the output as loud as the encoders let it be.
constexpr double kLossyAimDb = -0.3;
constexpr double kLossyLowestDb = -1.0;
// A job encodes at most this often, whatever its mode.
constexpr int kMostEncodes = 4;
// lame clips its input at full scale (float input included): an MP3 job's gain is never
// allowed to take the encoder's input above this, the largest error of a peak reading below
// full scale.
constexpr double kClippingInputCeilingDb = -kPeakReadingErrorDb;
// A source whose processed peak lies below this gets no gain: it is silence or dither.
constexpr double kSilenceDb = -70.0;
// A plain lossy job whose encoder input has a true peak above this is decoded and checked for
// overs; below it no encoder reaches full scale.
constexpr double kOverCheckDb = -1.5;

std::string hundredths(double value);

class GainPasses {
public:
    GainPasses(PassRunner& passes, const SoundPlan& plan, RunLog& log)
        : passes_(passes), plan_(plan), log_(log), lossy_(isLossy(passes.target())) {}

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

    // Settles what the last passes leave open (an AC3 output's dialogue level, the check of the
    // written files) and gives the report.
    SoundReport finish() {
        settleDialogueLevel();
        if (!checked_) {
            passes_.checkWritten(std::nullopt, 99, 100);
        }
        return report_;
    }

protected:
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
        decodedWhileWriting_ = figures.decoded;
        lastInputLoudness_ = figures.output.loudnessLufs;
        lastGainDb_ = settings_.gainDb;
        lastLimited_ = settings_.limiterCeilingDb.has_value();
        ++encodes_;
        if (figures.source) {
            report_.source = *figures.source;
        }
        report_.output = figures.output;
        report_.measured = OutputMeasure::EncoderInput;
        report_.limited = figures.limited;
        inputPeakDb_ = figures.output.samplePeakDb;
        // A clipped source stays clipped, whatever level the job gives it: an integer source's
        // samples at full scale are flat tops. A float source's samples beyond it are overs,
        // clipped only where the output's own samples reach full scale. Samples beyond full
        // scale are clipped by an encoder that clips its input, not by one that carries them.
        const long long inputClips = encoderCarriesOvers() ? 0 : figures.output.clippedSamples;
        const long long sourceClips = plan_.sourceCarriesOvers ? 0 : report_.source.clippedSamples;
        inputClipped_ = std::max(inputClips, sourceClips);
        report_.output.clippedSamples = inputClipped_;
        if (!settings_.limiterCeilingDb) {
            unityLoudness_ = figures.output.loudnessLufs - settings_.gainDb;
        }
        checked_ = false;
    }

    // Whether the encoder takes samples beyond full scale as they are, its decoder giving them
    // back: Vorbis fed float, AC3 and Opus. lame clips its input, and a 16-bit feed holds none.
    bool encoderCarriesOvers() const {
        const Target target = passes_.target();
        return target == Target::Ac3 || target == Target::Opus ||
               (target == Target::Ogg && settings_.feed == EncoderFeed::Float);
    }

    // Decodes the written output and measures it. The clipped count is the larger of the
    // samples at full scale the encoder received (or the source's, passed on) and the flat tops
    // of the decoded file: they count the same clipping where there is any.
    // The peaks of an output decoded while it was written need only its length checked.
    SoundFigures decode(MeterKind kind, int from, int to) {
        const bool peaksDecoded = kind == MeterKind::FastPeak && decodedWhileWriting_;
        const std::optional<SoundFigures> read =
            passes_.checkWritten(peaksDecoded ? std::nullopt : std::optional(kind), from, to);
        const SoundFigures decoded = peaksDecoded ? *decodedWhileWriting_ : *read;
        checked_ = true;
        if (kind == MeterKind::Levels) {
            report_.output = decoded;
            report_.measured = OutputMeasure::DecodedFile;
        } else {
            report_.output.samplePeakDb = decoded.samplePeakDb;
            report_.output.truePeakDb = decoded.truePeakDb;
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
    long long inputClipped_ = 0;                      // of the last encoding pass's input
    std::optional<SoundFigures> decodedWhileWriting_; // the last encoding pass's output
    int encodes_ = 0;
    bool checked_ = false;
};

} // namespace cantova
