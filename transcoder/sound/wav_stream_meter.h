#pragma once

#include "sound/pcm_meter.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace cantova {

// Measures a WAV stream of 32-bit float samples as ffmpeg writes it into a pipe (pcm_f32le, the
// sizes in its header left open): the header gives the sample rate, the channels and, in its
// channel mask, where they sit (the loudness weights); the samples then go to a PcmMeter.
class WavStreamMeter {
public:
    // watchedLevel: see PcmMeter.
    explicit WavStreamMeter(float watchedLevel = 0.0f) : watchedLevel_(watchedLevel) {}

    void take(std::string_view bytes);

    // Nothing before the header has been read, or when the stream is not such a WAV stream.
    const PcmMeter* meter() const { return meter_.get(); }
    int sampleRate() const { return sampleRate_; }

private:
    bool readHeader();
    void measure(std::string_view bytes);

    float watchedLevel_;
    std::string header_; // the bytes up to the samples
    bool refused_ = false;
    int sampleRate_ = 0;
    std::unique_ptr<PcmMeter> meter_;
    std::string partialFrame_; // the bytes of a frame split between two reads
    std::vector<float> frames_;
};

} // namespace cantova
