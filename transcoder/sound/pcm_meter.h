#pragma once

#include "sound/k_weighting.h"

#include <cstddef>
#include <string_view>
#include <vector>

namespace cantova {

// The weight of a channel (ffmpeg's name) in the loudness sum of ITU-R BS.1770: none for the
// LFE, 1.41 (+1.5 dB) for the surrounds and the channels behind, 1 for the others.
double loudnessWeight(std::string_view channelName);

// Measures 32-bit float PCM as it streams past: sample peak, true peak (BS.1770-4, 4x
// oversampled), the samples at or beyond full scale, and the K-weighted energy of every 100 ms,
// from which it gives the integrated loudness (BS.1770-4 gating), the loudness range (EBU Tech
// 3342) and the short-term loudness curve. Peaks are linear (1 is full scale), loudness in
// LUFS, its range in LU.
class PcmMeter {
public:
    // One weight per channel, in the order of the samples. watchedLevel: a level (linear, such
    // as a limiter's ceiling) whose reach by the true peak is noted for every 100 ms; 0: none.
    PcmMeter(std::vector<double> channelWeights, int sampleRate, float watchedLevel = 0.0f);

    std::size_t channels() const { return channels_; }

    // Frames of interleaved samples, channels() values each.
    void addInterleaved(const float* samples, std::size_t frames);
    // The same with each channel's samples apart.
    void addPlanar(const float* const* channels, std::size_t frames);

    long long frames() const { return frames_; }
    float samplePeak() const { return samplePeak_; }
    // The largest magnitude of the signal between and at the samples.
    float truePeak() const;
    long long clippedSamples() const { return clipped_; }
    // -inf where every 400 ms block lies below the absolute gate (-70 LUFS), or there is none.
    double integratedLoudness() const;
    double loudnessRange() const;
    // The loudness of the 3 s up to the end of each 100 ms of the audio (less at the start).
    std::vector<double> shortTermLoudness() const;
    // For each complete 100 ms of the audio, whether its true peak reaches the watched level.
    const std::vector<bool>& stepsReachingWatchedLevel() const { return stepsReaching_; }

private:
    void addChunk(const float* interleaved, std::size_t frames);
    void peakChunk(const float* interleaved, std::size_t frames);
    // A channel's samples of `count` frames of the chunk from `start`, after the
    // kTruePeakHistory before them (from the history where they precede the chunk), gathered
    // into stretch_; returns where the frame at `start` is.
    const float* gathered(const float* interleaved, std::size_t channel, std::size_t start,
                          std::size_t count);
    std::size_t stepEnd(std::size_t step) const;

    std::size_t channels_;
    int sampleRate_;
    float watchedLevel_;
    KWeightedEnergy weighting_;

    long long frames_ = 0;
    float samplePeak_ = 0.0f;
    float interpolatedPeak_ = 0.0f;
    long long clipped_ = 0;
    // The weighted sum of squares of each complete 100 ms step, and of the one under way.
    std::vector<double> stepEnergy_;
    std::vector<std::size_t> stepFrames_;
    std::vector<bool> stepsReaching_;
    double energy_ = 0.0;
    bool stepReaches_ = false;
    std::size_t stepFramesSoFar_ = 0;
    // Each channel's last kTruePeakHistory samples, which the next interpolated ones depend
    // on, a channel after the other.
    std::vector<float> history_;
    // One channel's stretch gathered for the interpolation, after the samples before it.
    std::vector<float> stretch_;
    // Each channel's largest magnitude in a stretch and the samples before it.
    std::vector<float> reach_;
    std::vector<float> interleaved_; // planar input made interleaved
};

} // namespace cantova
