#include "sound/peak_gain_passes.h"

#include "sound/gain_passes.h"

#include <optional>

namespace cantova {

namespace {

// Two decoded peaks within a reading's error of each other, after gains this far apart, did
// not move.
constexpr double kUnmovedReadingDb = kPeakReadingErrorDb;
constexpr double kMovedGainDb = 0.5;
// The decoded peak is the largest float sample the decoder gives, not a reading rounded to a
// tenth of a dB: it need lie inside the window by no more than decoders that round otherwise
// may differ.
constexpr double kWindowMarginDb = 0.01;

// The peak modes (-g max, -G 1, -hybridgain): the output's peak brought to full scale. The
// processed source's peak, measured in a pass of its own, gives the first gain; a lossy output
// is then decoded, and its decoded peak settles the gain.
class PeakGainPasses : public GainPasses {
public:
    using GainPasses::GainPasses;

    SoundReport run() {
        normalisePeak();
        return finish();
    }

private:
    // Encodes again while the decoded peak lies outside [kLossyLowestDb, 0] (measured exactly,
    // so it need lie only kWindowMarginDb inside), within the job's encodes. Encoders are
    // not linear (AC3 quantises in steps of 6 dB), so the gain is found between the nearest
    // tries below and above full scale. The search ends at the encoder's input ceiling (where
    // the encoder clips), short of it where the gain left below it cannot lift the output into
    // the window, and where the decoded peak did not move with the gain (where it limits);
    // should no try land in the window, the best one below full scale is kept.
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
            if (decoded <= 0.0 && decoded >= kLossyLowestDb + kWindowMarginDb) {
                return;
            }
            if (decoded <= 0.0 && atInputCeiling(settings_.gainDb)) {
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
            const double room = next - settings_.gainDb;
            if (decoded < kLossyLowestDb && atInputCeiling(next) &&
                decoded + room * slope < kLossyLowestDb + kWindowMarginDb) {
                log_.write("peak gain: the output decodes at " + levelText(decoded) +
                           " dBFS and the encoder's input may rise only " + hundredths(room) +
                           " dB before full scale, where the encoder clips: too little to reach " +
                           levelText(kLossyLowestDb) + " dBFS; no further encode");
                break;
            }
            settings_.gainDb = next;
            encode(from + 5, 95);
            decoded = decode(MeterKind::FastPeak, 95, 99).samplePeakDb;
        }
        // None landed in the window: the best try below full scale is encoded again (the
        // encoders give the same output for the same input), and where every one went above
        // it, the gain is lowered by the excess. The last try is kept where it decoded as high
        // as the best at a gain too near it for the encoder to have limited in between (an
        // encoder that moves its peak in steps, as Opus and AC3 do).
        const bool asGoodAsBest = decoded <= 0.0 && best &&
                                  std::abs(decoded - best->peakDb) <= kPeakReadingErrorDb &&
                                  std::abs(settings_.gainDb - best->gainDb) < kMovedGainDb;
        if (!std::isfinite(decoded) || asGoodAsBest) {
            return;
        }
        settings_.gainDb = best ? best->gainDb : settings_.gainDb - (decoded - kLossyAimDb);
        encode(95, 97);
        decode(MeterKind::FastPeak, 97, 99);
    }

    // Where the gain takes an encoder that clips its input (lame) to its input ceiling.
    bool atInputCeiling(double gainDb) const { return gainDb >= inputCeilingGainDb_ - 0.01; }

    void normalisePeak() {
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
        // Every encode is checked on its decoded peak.
        settings_.decodeWhileWriting = true;
        limitToInputCeiling(processed.samplePeakDb);
        settings_.gainDb = std::min(kLossyAimDb - processed.samplePeakDb, inputCeilingGainDb_);
        encode(25, 75);
        settleLossyPeak(75);
    }

    // The largest gain for an encoder that clips its input, from the input's peak at unity.
    void limitToInputCeiling(double unityPeakDb) {
        if (passes_.target() == Target::Mp3) {
            inputCeilingGainDb_ = kClippingInputCeilingDb - unityPeakDb;
        }
    }
};

} // namespace

SoundReport runPeakGainPasses(PassRunner& passes, const SoundPlan& plan, RunLog& log) {
    return PeakGainPasses(passes, plan, log).run();
}

} // namespace cantova
