#include "sound/pcm_meter.h"

#include "sound/fixed_count.h"
#include "sound/true_peak.h"
#include "sound/vector_clones.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace cantova {

namespace {

// Chunks are short enough for float sums of squares and for the scratch buffers to stay in
// the cache.
constexpr std::size_t kChunkFrames = 1024;
// The stretches of a channel whose reach is bounded before they are interpolated: short enough
// to pass over the quiet parts of a chunk.
constexpr std::size_t kBoundFrames = 128;
// Frames whose channels' peaks are taken side by side.
constexpr std::size_t kPeakLanes = 8;
constexpr std::size_t kStepsPerSecond = 10;
// The largest 16-bit sample, 32767 of 32768: a float sample at or above it, or at or below
// -1, has reached full scale.
constexpr float kPositiveFullScale = 32767.0f / 32768.0f;
// BS.1770: the loudness of a mean square z is -0.691 + 10 log10(z).
constexpr double kLoudnessOffset = -0.691;
constexpr double kAbsoluteGateLufs = -70.0;
constexpr double kIntegratedRelativeGateLu = -10.0;
constexpr double kRangeRelativeGateLu = -20.0;
constexpr std::size_t kBlockSteps = 4;      // 400 ms
constexpr std::size_t kShortTermSteps = 30; // 3 s
constexpr double kRangeLowPercentile = 0.10;
constexpr double kRangeHighPercentile = 0.95;
constexpr double kSurroundWeight = 1.41;

double loudnessOf(double meanSquare) {
    return meanSquare > 0.0 ? kLoudnessOffset + 10.0 * std::log10(meanSquare) : -INFINITY;
}

// The mean square of the steps [begin, end).
double meanSquareOf(const std::vector<double>& energy, const std::vector<std::size_t>& frames,
                    std::size_t begin, std::size_t end) {
    const auto from = static_cast<std::ptrdiff_t>(begin);
    const auto to = static_cast<std::ptrdiff_t>(end);
    const double sum = std::accumulate(energy.begin() + from, energy.begin() + to, 0.0);
    const std::size_t count =
        std::accumulate(frames.begin() + from, frames.begin() + to, std::size_t{0});
    return sum / static_cast<double>(count);
}

// The windows of `steps` steps (one every step) whose loudness lies above the absolute gate:
// their mean squares and their loudness.
struct Windows {
    std::vector<double> meanSquares;
    std::vector<double> loudness;
};

Windows gatedWindows(const std::vector<double>& energy, const std::vector<std::size_t>& frames,
                     std::size_t steps) {
    Windows windows;
    for (std::size_t end = steps; end <= energy.size(); ++end) {
        const double meanSquare = meanSquareOf(energy, frames, end - steps, end);
        const double loudness = loudnessOf(meanSquare);
        if (loudness > kAbsoluteGateLufs) {
            windows.meanSquares.push_back(meanSquare);
            windows.loudness.push_back(loudness);
        }
    }
    return windows;
}

double mean(const std::vector<double>& values) {
    return std::accumulate(values.begin(), values.end(), 0.0) / static_cast<double>(values.size());
}

double percentile(const std::vector<double>& sorted, double share) {
    const double at = share * static_cast<double>(sorted.size() - 1);
    const auto below = static_cast<std::size_t>(std::floor(at));
    const std::size_t above = std::min(below + 1, sorted.size() - 1);
    return sorted[below] + (at - static_cast<double>(below)) * (sorted[above] - sorted[below]);
}

// The largest magnitude of count samples, and how many of them lie at or beyond full scale (a
// loop over lanes the compiler turns into vector instructions).
struct StretchLevels {
    float peak = 0.0f;
    long long clipped = 0;
};

CANTOVA_VECTOR_CLONES StretchLevels levelsOf(const float* samples, std::size_t count) {
    constexpr std::size_t kLanes = 8;
    float peaks[kLanes] = {};
    int clipped[kLanes] = {};
    std::size_t i = 0;
    for (; i + kLanes <= count; i += kLanes) {
        for (std::size_t lane = 0; lane < kLanes; ++lane) {
            const float value = samples[i + lane];
            const float magnitude = std::fabs(value);
            peaks[lane] = magnitude > peaks[lane] ? magnitude : peaks[lane];
            clipped[lane] += (value >= kPositiveFullScale) + (value <= -1.0f);
        }
    }
    for (; i < count; ++i) {
        peaks[0] = std::max(peaks[0], std::fabs(samples[i]));
        clipped[0] += (samples[i] >= kPositiveFullScale) + (samples[i] <= -1.0f);
    }
    return {*std::max_element(std::begin(peaks), std::end(peaks)),
            std::accumulate(std::begin(clipped), std::end(clipped), 0LL)};
}

// Each channel's largest magnitude in `frames` interleaved frames of `channels` samples, into
// peaks. Where the number of channels is known, kPeakLanes frames at a time side by side, which
// the compiler turns into vector instructions on registers; the frames left, one at a time.
template <std::size_t fixedChannels>
[[gnu::always_inline]] inline void channelPeaksIn(const float* interleaved, std::size_t channels,
                                                  std::size_t frames, float* peaks) {
    std::fill(peaks, peaks + channels, 0.0f);
    std::size_t i = 0;
    if constexpr (fixedChannels > 0) {
        constexpr std::size_t kWidth = fixedChannels * kPeakLanes;
        float lanes[kWidth] = {};
        for (; i + kPeakLanes <= frames; i += kPeakLanes) {
            const float* block = interleaved + i * fixedChannels;
            for (std::size_t k = 0; k < kWidth; ++k) {
                const float magnitude = std::fabs(block[k]);
                lanes[k] = magnitude > lanes[k] ? magnitude : lanes[k];
            }
        }
        for (std::size_t k = 0; k < kWidth; ++k) {
            peaks[k % fixedChannels] = std::max(peaks[k % fixedChannels], lanes[k]);
        }
    }
    for (; i < frames; ++i) {
        for (std::size_t c = 0; c < channels; ++c) {
            peaks[c] = std::max(peaks[c], std::fabs(interleaved[i * channels + c]));
        }
    }
}

// More channels than 8 are taken a frame at a time.
CANTOVA_VECTOR_CLONES void channelPeaksOf(const float* interleaved, std::size_t channels,
                                          std::size_t frames, float* peaks) {
    withFixedCount<8>(channels, [&]<std::size_t fixedChannels>() {
        channelPeaksIn<fixedChannels>(interleaved, channels, frames, peaks);
    });
}

} // namespace

double loudnessWeight(std::string_view channelName) {
    constexpr std::string_view kUnweighted[] = {"LFE", "LFE2"};
    constexpr std::string_view kSurrounds[] = {"SL",  "SR",  "BL",  "BR",  "BC",  "SDL",
                                               "SDR", "TBL", "TBR", "TBC", "TSL", "TSR"};
    const auto among = [&](const auto& names) {
        return std::find(std::begin(names), std::end(names), channelName) != std::end(names);
    };
    return among(kUnweighted) ? 0.0 : among(kSurrounds) ? kSurroundWeight : 1.0;
}

PcmMeter::PcmMeter(std::vector<double> channelWeights, int sampleRate, float watchedLevel)
    : channels_(channelWeights.size()), sampleRate_(sampleRate), watchedLevel_(watchedLevel),
      weighting_(channelWeights, sampleRate), history_(channels_ * kTruePeakHistory, 0.0f),
      stretch_(kTruePeakHistory + kBoundFrames), reach_(channels_) {}

std::size_t PcmMeter::stepEnd(std::size_t step) const {
    const auto rate = static_cast<std::size_t>(sampleRate_);
    return ((step + 1) * rate + kStepsPerSecond / 2) / kStepsPerSecond;
}

void PcmMeter::addInterleaved(const float* samples, std::size_t frames) {
    while (frames > 0) {
        const std::size_t end = stepEnd(stepEnergy_.size());
        const std::size_t count =
            std::min({frames, kChunkFrames, end - static_cast<std::size_t>(frames_)});
        addChunk(samples, count);
        samples += count * channels_;
        frames -= count;
        frames_ += static_cast<long long>(count);
        stepFramesSoFar_ += count;
        if (static_cast<std::size_t>(frames_) == end) {
            stepEnergy_.push_back(energy_);
            stepFrames_.push_back(stepFramesSoFar_);
            stepsReaching_.push_back(stepReaches_);
            energy_ = 0.0;
            stepReaches_ = false;
            stepFramesSoFar_ = 0;
        }
    }
}

void PcmMeter::addPlanar(const float* const* channels, std::size_t frames) {
    interleaved_.resize(kChunkFrames * channels_);
    for (std::size_t done = 0; done < frames;) {
        const std::size_t count = std::min(kChunkFrames, frames - done);
        for (std::size_t c = 0; c < channels_; ++c) {
            for (std::size_t i = 0; i < count; ++i) {
                interleaved_[i * channels_ + c] = channels[c][done + i];
            }
        }
        addInterleaved(interleaved_.data(), count);
        done += count;
    }
}

void PcmMeter::addChunk(const float* interleaved, std::size_t frames) {
    energy_ += weighting_.add(interleaved, frames);
    peakChunk(interleaved, frames);
}

const float* PcmMeter::gathered(const float* interleaved, std::size_t channel, std::size_t start,
                                std::size_t count) {
    // Frames counted from the first of the history: those before the chunk come from it.
    const std::size_t fromHistory = start < kTruePeakHistory ? kTruePeakHistory - start : 0;
    const auto before = history_.begin() + static_cast<std::ptrdiff_t>(channel * kTruePeakHistory);
    std::copy_n(before + static_cast<std::ptrdiff_t>(kTruePeakHistory - fromHistory), fromHistory,
                stretch_.begin());
    const float* frame =
        interleaved + (start + fromHistory - kTruePeakHistory) * channels_ + channel;
    for (std::size_t j = fromHistory; j < kTruePeakHistory + count; ++j, frame += channels_) {
        stretch_[j] = *frame;
    }
    return stretch_.data() + kTruePeakHistory;
}

void PcmMeter::peakChunk(const float* interleaved, std::size_t frames) {
    // The chunk lies within one step: its sample peak tells whether the step reaches the
    // watched level at a sample.
    const StretchLevels chunk = levelsOf(interleaved, frames * channels_);
    samplePeak_ = std::max(samplePeak_, chunk.peak);
    clipped_ += chunk.clipped;
    stepReaches_ = stepReaches_ || (watchedLevel_ > 0.0f && chunk.peak >= watchedLevel_);
    // Stretches of each channel whose samples, and those before them that the interpolation
    // reaches back to, cannot go above the largest level found so far are not interpolated;
    // nor, where a level is watched, above that level in a step that has not reached it yet.
    // The others are gathered from the interleaved frames, after the samples before them.
    for (std::size_t start = 0; start < frames; start += kBoundFrames) {
        const std::size_t count = std::min(kBoundFrames, frames - start);
        if (start == 0) {
            channelPeaksOf(interleaved, channels_, count, reach_.data());
            for (std::size_t c = 0; c < channels_; ++c) {
                const auto before =
                    history_.begin() + static_cast<std::ptrdiff_t>(c * kTruePeakHistory);
                for (auto sample = before; sample != before + kTruePeakHistory; ++sample) {
                    reach_[c] = std::max(reach_[c], std::fabs(*sample));
                }
            }
        } else {
            channelPeaksOf(interleaved + (start - kTruePeakHistory) * channels_, channels_,
                           kTruePeakHistory + count, reach_.data());
        }
        for (std::size_t c = 0; c < channels_; ++c) {
            const bool watching = watchedLevel_ > 0.0f && !stepReaches_;
            const float found = std::max(interpolatedPeak_, samplePeak_);
            const float floor = watching ? std::min(found, watchedLevel_) : found;
            if (reach_[c] * kTruePeakBound <= floor) {
                continue;
            }
            const float peak =
                interpolatedPeak(gathered(interleaved, c, start, count), count, floor);
            interpolatedPeak_ = std::max(interpolatedPeak_, peak);
            stepReaches_ = stepReaches_ || (watching && peak >= watchedLevel_);
        }
    }
    // Each channel's last samples, for the next chunk (some still the earlier chunk's where
    // this one is short).
    for (std::size_t c = 0; c < channels_; ++c) {
        const float* last = gathered(interleaved, c, frames, 0);
        std::copy(last - kTruePeakHistory, last,
                  history_.begin() + static_cast<std::ptrdiff_t>(c * kTruePeakHistory));
    }
}

float PcmMeter::truePeak() const {
    // The interpolation's phase at the samples is not exactly the samples: the true peak is
    // never given below the sample peak.
    return std::max(interpolatedPeak_, samplePeak_);
}

double PcmMeter::integratedLoudness() const {
    const Windows blocks = gatedWindows(stepEnergy_, stepFrames_, kBlockSteps);
    if (blocks.meanSquares.empty()) {
        return -INFINITY;
    }
    const double gate = loudnessOf(mean(blocks.meanSquares)) + kIntegratedRelativeGateLu;
    std::vector<double> kept;
    for (std::size_t i = 0; i < blocks.loudness.size(); ++i) {
        if (blocks.loudness[i] > gate) {
            kept.push_back(blocks.meanSquares[i]);
        }
    }
    return loudnessOf(mean(kept));
}

double PcmMeter::loudnessRange() const {
    const Windows windows = gatedWindows(stepEnergy_, stepFrames_, kShortTermSteps);
    if (windows.loudness.empty()) {
        return 0.0;
    }
    const double gate = loudnessOf(mean(windows.meanSquares)) + kRangeRelativeGateLu;
    std::vector<double> kept;
    std::copy_if(windows.loudness.begin(), windows.loudness.end(), std::back_inserter(kept),
                 [&](double loudness) { return loudness > gate; });
    std::sort(kept.begin(), kept.end());
    return percentile(kept, kRangeHighPercentile) - percentile(kept, kRangeLowPercentile);
}

std::vector<double> PcmMeter::shortTermLoudness() const {
    std::vector<double> curve;
    for (std::size_t end = 1; end <= stepEnergy_.size(); ++end) {
        const std::size_t begin = end > kShortTermSteps ? end - kShortTermSteps : 0;
        curve.push_back(loudnessOf(meanSquareOf(stepEnergy_, stepFrames_, begin, end)));
    }
    return curve;
}

} // namespace cantova
