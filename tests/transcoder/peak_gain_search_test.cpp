// The peak modes' search for a lossy output's gain, against encoders whose decoded peak is a
// given function of the gain: how many encodes each answer costs, and which encode is kept.
#include "sound/peak_gain_passes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <stdlib.h>

namespace cantova {
namespace {

namespace fs = std::filesystem;

constexpr double kSourcePeakDb = -10.0;

// Encodes nothing: gives each encoding pass the input peak the gain makes and the decoded peak
// the encoder's answer makes of it, and remembers the gains.
class ScriptedEncoder : public PassRunner {
public:
    ScriptedEncoder(Target target, std::function<double(double inputPeakDb)> decodedPeak)
        : target_(target), decodedPeak_(std::move(decodedPeak)) {}

    Target target() const override { return target_; }

    EncodeFigures encode(const PassSettings& settings, int, int) override {
        EXPECT_TRUE(settings.decodeWhileWriting);
        gains.push_back(settings.gainDb);
        const double inputPeakDb = kSourcePeakDb + settings.gainDb;
        EncodeFigures figures;
        figures.output.samplePeakDb = inputPeakDb;
        figures.output.truePeakDb = inputPeakDb;
        SoundFigures decoded;
        decoded.samplePeakDb = decodedPeak_(inputPeakDb);
        decoded.truePeakDb = decoded.samplePeakDb;
        written = decoded.samplePeakDb;
        figures.decoded = decoded;
        return figures;
    }

    SoundFigures measureSource(MeterKind, int, int) override {
        SoundFigures figures;
        figures.samplePeakDb = kSourcePeakDb;
        figures.truePeakDb = kSourcePeakDb;
        figures.loudnessLufs = kSourcePeakDb - 3.0;
        return figures;
    }

    double lastPassSeconds() const override { return 60.0; }

    std::optional<SoundFigures> checkWritten(std::optional<MeterKind> meter, int, int) override {
        EXPECT_FALSE(meter.has_value()) << "the output was decoded while it was written";
        return std::nullopt;
    }

    std::vector<double> gains; // of each encode
    double written = NAN;      // the decoded peak of the last encode, which the file holds

private:
    Target target_;
    std::function<double(double)> decodedPeak_;
};

class PeakGainSearch : public ::testing::Test {
protected:
    void SetUp() override {
        std::string folder = (fs::temp_directory_path() / "peak-search-XXXXXX").string();
        ASSERT_NE(::mkdtemp(folder.data()), nullptr);
        folder_ = folder;
    }
    void TearDown() override { fs::remove_all(folder_); }

    // Runs -g max against the encoder; gives the report and fills logText.
    SoundReport run(ScriptedEncoder& encoder) {
        SoundPlan plan;
        plan.mode = GainMode::PeakBeforeEncoding;
        const std::string logPath = (folder_ / "job.log").string();
        SoundReport report;
        {
            RunLog log(logPath);
            report = runPeakGainPasses(encoder, plan, log);
        }
        std::ifstream file(logPath);
        std::ostringstream text;
        text << file.rdbuf();
        logText = text.str();
        return report;
    }

    std::string logText;

private:
    fs::path folder_;
};

TEST_F(PeakGainSearch, AFirstEncodeWithinADbBelowFullScaleIsKept) {
    // A lowpass that takes 0.6 dB off the peaks, and one that takes 0.9 dB: the first encode,
    // aimed at -0.3 dBFS, decodes at -0.9 and -1.2.
    ScriptedEncoder lowpass(Target::Ogg, [](double input) { return input - 0.6; });
    const SoundReport report = run(lowpass);
    EXPECT_EQ(lowpass.gains.size(), 1U) << logText;
    EXPECT_NEAR(report.output.samplePeakDb, -0.9, 1e-9);
    EXPECT_EQ(report.measured, OutputMeasure::DecodedPeaks);

    ScriptedEncoder steeper(Target::Ogg, [](double input) { return input - 0.9; });
    run(steeper);
    ASSERT_EQ(steeper.gains.size(), 2U) << logText;
    EXPECT_NEAR(steeper.written, -0.3, 1e-9);
}

TEST_F(PeakGainSearch, AnOutputOverFullScaleIsEncodedAgainBelowIt) {
    ScriptedEncoder noisy(Target::Opus, [](double input) { return input + 0.5; });
    const SoundReport report = run(noisy);
    ASSERT_EQ(noisy.gains.size(), 2U) << logText;
    EXPECT_NEAR(noisy.gains[1], noisy.gains[0] - 0.5, 1e-9);
    EXPECT_NEAR(report.output.samplePeakDb, -0.3, 1e-9);
}

TEST_F(PeakGainSearch, LameIsEncodedAgainOnlyWhereItsInputCeilingLeavesRoomToReachTheWindow) {
    // lame clips its input at full scale, so the gain stops 0.05 dB below it: 0.25 dB above the
    // aim. A first encode at -1.5 dBFS cannot come nearer than -1.25: it is kept, with a word.
    ScriptedEncoder far(Target::Mp3, [](double input) { return input - 1.2; });
    run(far);
    EXPECT_EQ(far.gains.size(), 1U) << logText;
    EXPECT_NE(logText.find("peak gain: the output decodes at -1.5 dBFS and the encoder's input "
                           "may rise only 0.25 dB before full scale, where the encoder clips: "
                           "too little to reach -1.0 dBFS; no further encode"),
              std::string::npos)
        << logText;

    // One at -1.2 dBFS reaches -0.95 at the ceiling, and is encoded there, once.
    ScriptedEncoder near(Target::Mp3, [](double input) { return input - 0.9; });
    run(near);
    ASSERT_EQ(near.gains.size(), 2U) << logText;
    EXPECT_NEAR(kSourcePeakDb + near.gains[1], -kPeakReadingErrorDb, 1e-9);
    EXPECT_NEAR(near.written, -0.95, 1e-9);
}

TEST_F(PeakGainSearch, AnEncoderThatMovesItsPeakInStepsEndsOnAnEncodeAsGoodAsTheBest) {
    // Decodes 0.2 dBFS over full scale from an input of -0.4 dBFS, and -1.3 dBFS below it:
    // no gain lands in the window. The tries below it decode alike; the last of them is kept
    // as it was written, not the one of the lowest gain encoded once more.
    ScriptedEncoder stepped(Target::Opus, [](double input) { return input >= -0.4 ? 0.2 : -1.3; });
    const SoundReport report = run(stepped);
    EXPECT_EQ(stepped.gains.size(), 3U) << logText;
    EXPECT_NEAR(stepped.written, -1.3, 1e-9);
    EXPECT_NEAR(report.output.samplePeakDb, -1.3, 1e-9);
}

TEST_F(PeakGainSearch, AnEncoderThatLimitsEndsTheSearchOnItsLowestGain) {
    // Whatever the gain above -0.8 dBFS at its input, the output decodes at -1.5 dBFS.
    ScriptedEncoder limiting(Target::Ogg, [](double input) { return std::min(input - 0.7, -1.5); });
    const SoundReport report = run(limiting);
    EXPECT_NE(logText.find("the encoder limits; the best gain below full scale is kept"),
              std::string::npos)
        << logText;
    ASSERT_GE(limiting.gains.size(), 2U);
    EXPECT_LE(limiting.gains.size(), 3U);
    EXPECT_DOUBLE_EQ(limiting.gains.back(), limiting.gains.front());
    EXPECT_NEAR(report.output.samplePeakDb, -1.5, 1e-9);
}

TEST_F(PeakGainSearch, AnErraticEncoderCostsAtMostFourEncodesAndEndsBelowFullScale) {
    // Over full scale and far below it, in turn, whatever the gain.
    int call = 0;
    ScriptedEncoder erratic(Target::Ogg, [&call](double) { return ++call % 2 == 1 ? 0.4 : -2.0; });
    const SoundReport report = run(erratic);
    EXPECT_LE(erratic.gains.size(), 4U) << logText;
    EXPECT_LE(erratic.written, 0.0) << logText;
    EXPECT_LE(report.output.samplePeakDb, 0.0);
}

} // namespace
} // namespace cantova
