#pragma once

#include "sound/pcm_meter.h"

#include <memory>
#include <span>
#include <string_view>
#include <vector>

namespace cantova {

// Measures a WAV stream of 32-bit float samples as ffmpeg writes it into a pipe (pcm_f32le, the
// sizes in its header left open): the header gives the sample rate, the channels and, in its
// channel mask, where they sit (the loudness weights); the samples then go to a PcmMeter.
// The stream is read straight into the meter's own buffer (room, filled), whose samples the
// meter measures where they lie: they are not copied on their way.
class WavStreamMeter {
public:
    // watchedLevel: see PcmMeter.
    explicit WavStreamMeter(float watchedLevel = 0.0f);

    // Room for the stream's next bytes (never empty), and how many of them were put there.
    std::span<char> room();
    void filled(std::size_t count);
    // The same for bytes that lie elsewhere: they are copied into the room.
    void take(std::string_view bytes);

    // Nothing before the header has been read, or when the stream is not such a WAV stream.
    const PcmMeter* meter() const { return meter_.get(); }
    int sampleRate() const { return sampleRate_; }

private:
    char* bytes() { return reinterpret_cast<char*>(buffer_.data()); }
    // Where the samples begin, once the header has come whole; refuses the stream where it
    // is no such WAV stream.
    std::size_t readHeader();
    void measureWholeFrames();

    float watchedLevel_;
    bool refused_ = false;
    int sampleRate_ = 0;
    std::unique_ptr<PcmMeter> meter_;
    // The bytes read and not yet measured lie at the start: the header until it has come
    // whole, then the part of a frame a read ended in. Float storage, so that the samples of
    // whole frames are measured where they lie.
    std::vector<float> buffer_;
    std::size_t pending_ = 0;
};

} // namespace cantova
