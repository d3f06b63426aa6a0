#pragma once

#include "command/target_plan.h"
#include "sound/sound_meter.h"

#include <optional>
#include <vector>

namespace cantova {

// How lame and oggenc get their input: 16-bit samples, or 32-bit float where a gain mode may
// take the encoder's input above full scale to bring its decoded output to it.
enum class EncoderFeed { SixteenBit, Float };

// What one encoding pass applies after the job's processing.
struct PassSettings {
    double gainDb = 0.0;
    // The true-peak ceiling (dBTP) of a look-ahead limiter after the gain; none: no limiter.
    std::optional<double> limiterCeilingDb;
    EncoderFeed feed = EncoderFeed::SixteenBit;
    // The dialogue level an AC3 output carries (1 to 31 for -1 to -31 dBFS); none: the
    // encoder's default.
    std::optional<int> dialogueLevel;
    // A lossy output is decoded while it is written and measured (EncodeFigures::decoded):
    // for a pass that is checked on its decoded output anyway.
    bool decodeWhileWriting = false;
};

struct EncodeFigures {
    std::optional<SoundFigures> source; // measured on the first encoding pass only
    SoundFigures output;                // the samples the encoder received
    // With a limiter: the stretches where it held the encoder's input at its ceiling.
    std::vector<TimeStretch> limited;
    // The output decoded while it was written.
    std::optional<SoundFigures> decoded;
};

// The passes a gain mode asks for, over the job's source and its written files. The job's
// engines carry them out; the gain modes decide which to run and with what settings.
class PassRunner {
public:
    virtual ~PassRunner() = default;

    virtual Target target() const = 0;

    // Encodes with the settings, measuring what the encoder receives (and the source, on the
    // first pass).
    virtual EncodeFigures encode(const PassSettings& settings, int from, int to) = 0;

    // Measures the processed source, exactly as the encoding pass receives it before its gain.
    virtual SoundFigures measureSource(MeterKind kind, int from, int to) = 0;

    // How many seconds of audio the last pass went through.
    virtual double lastPassSeconds() const = 0;

    // Reads the written files back: fails the job when they play shorter than the encoding
    // pass made them by more than one frame of the target. When a meter is asked for, they
    // are decoded as a player would and measured.
    virtual std::optional<SoundFigures> checkWritten(std::optional<MeterKind> meter, int from,
                                                     int to) = 0;
};

} // namespace cantova
