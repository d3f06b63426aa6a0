// The Opus and FLAC targets on generated signals: Opus keeps 5.1 and 7.1 with every channel in
// its place, or downmixes on request; FLAC keeps a 16- or 24-bit source bit for bit; the gain
// modes and the loudness mode reach their levels on both. Signals of one to three seconds.
#include "transcoder/folder_per_test.h"
#include "transcoder/transcoder_harness.h"

#include <gtest/gtest.h>

#include <cmath>
#include <unistd.h>

namespace cantova::testing {
namespace {

namespace fs = std::filesystem;

struct Job {
    std::string output;
    std::string groups;
};

Words lavfi(const std::string& source, const Words& codec) {
    Words words = {"-f", "lavfi", "-i", source};
    words.insert(words.end(), codec.begin(), codec.end());
    return words;
}

// One tone per channel, each a quarter of full scale, in the source's channel order.
constexpr double kToneLevel = 0.25;
const std::vector<int> kToneHertz = {300, 500, 700, 100, 1100, 1300, 1500, 1700};

std::string tonesSource(int channels, double seconds) {
    std::string expressions;
    for (int c = 0; c < channels; ++c) {
        expressions += (c == 0 ? "" : "|") + std::to_string(kToneLevel) + "*sin(2*PI*" +
                       std::to_string(kToneHertz[c]) + "*t)";
    }
    return "aevalsrc=" + expressions + ":s=48000:d=" + std::to_string(seconds);
}

class OpusFlacTargets : public FolderPerTest {
protected:
    void SetUp() override {
        if (!programsAvailable({"ffmpeg", "ffprobe"})) {
            GTEST_SKIP() << "ffmpeg or ffprobe is not installed";
        }
        makeFolder("targets");
    }
    std::string make(const std::string& name, Words arguments) {
        arguments.push_back(path(name));
        runFfmpeg(arguments);
        return path(name);
    }

    void runAll(const std::string& input, const std::vector<Job>& jobs) {
        std::vector<Words> commands;
        for (const Job& job : jobs) {
            commands.push_back(
                transcoderCommand(input, path(job.output), path(job.output + ".log"), job.groups));
        }
        const std::vector<int> statuses = runInParallel(commands);
        for (std::size_t i = 0; i < jobs.size(); ++i) {
            ASSERT_EQ(statuses[i], 0) << jobs[i].output << "\n"
                                      << readFile(path(jobs[i].output + ".log"));
        }
    }

    std::string probe(const std::string& output, const std::string& entries) const {
        return runProgram({"ffprobe", "-v", "error", "-show_entries", "stream=" + entries, "-of",
                           "csv=p=0", path(output)})
            .output;
    }
};

TEST_F(OpusFlacTargets, OpusKeepsEverySurroundChannelInItsPlaceOrDownmixesOnRequest) {
    const std::string fiveOne =
        make("five one.wav", lavfi(tonesSource(6, 1.5) + ",aformat=channel_layouts=5.1(side)",
                                   {"-c:a", "pcm_s16le"}));
    const std::string sevenOne =
        make("seven one.wav",
             lavfi(tonesSource(8, 1.5) + ",aformat=channel_layouts=7.1", {"-c:a", "pcm_s16le"}));
    ASSERT_NO_FATAL_FAILURE(runAll(
        fiveOne, {{"five one.opus", "-opus( -b 320 )"}, {"downmixed.opus", "-opus( -b 128 -s )"}}));
    ASSERT_NO_FATAL_FAILURE(runAll(sevenOne, {{"seven one.opus", "-opus( -b 448 -cbr )"}}));

    // The side surrounds of 5.1 are what the Opus mapping calls the back ones.
    EXPECT_EQ(probe("five one.opus", "channel_layout,sample_rate"), "48000,5.1\n");
    EXPECT_EQ(probe("seven one.opus", "channel_layout,sample_rate"), "48000,7.1\n");
    for (const auto& [output, channels] :
         std::vector<std::pair<std::string, int>>{{"five one.opus", 6}, {"seven one.opus", 8}}) {
        const DecodedAudio audio = decodeAudio(path(output));
        ASSERT_EQ(audio.channels, channels) << output;
        for (int c = 0; c < channels; ++c) {
            SCOPED_TRACE(output + ", channel " + std::to_string(c));
            EXPECT_NEAR(decibels(toneAmplitude(audio, c, kToneHertz[c]) / kToneLevel), 0.0, 0.3);
            for (int other = 0; other < channels; ++other) {
                if (other != c) {
                    // A channel out of place would carry a tone at its full level; the encoder
                    // leaves others' tones at -35 dB at most (the 7.1 LFE).
                    EXPECT_LT(decibels(toneAmplitude(audio, c, kToneHertz[other]) / kToneLevel),
                              -30.0)
                        << "the tone of channel " << other;
                }
            }
        }
    }
    // The stereo matrix: the front left at 0.4142, the centre at 0.2929 on both sides.
    const DecodedAudio downmixed = decodeAudio(path("downmixed.opus"));
    ASSERT_EQ(downmixed.channels, 2);
    EXPECT_NEAR(decibels(toneAmplitude(downmixed, 0, kToneHertz[0]) / kToneLevel), decibels(0.4142),
                0.3);
    EXPECT_NEAR(decibels(toneAmplitude(downmixed, 1, kToneHertz[2]) / kToneLevel), decibels(0.2929),
                0.3);
}

TEST_F(OpusFlacTargets, OpusResamplesWhatItCannotCarryAndPlaysTheWholeSource) {
    const std::string input =
        make("cd.wav", lavfi("sine=f=1000:d=2:sample_rate=44100", {"-c:a", "pcm_s16le"}));
    ASSERT_NO_FATAL_FAILURE(runAll(input, {{"cd.opus", "-opus( -b 96 )"}}));
    EXPECT_EQ(probe("cd.opus", "sample_rate"), "48000\n");
    const DecodedAudio audio = decodeAudio(path("cd.opus"));
    EXPECT_NEAR(static_cast<double>(audio.frames()) / audio.sampleRate, 2.0, 0.01);
    EXPECT_NEAR(decibels(toneAmplitude(audio, 0, 1000) / 0.125), 0.0, 0.3);
}

TEST_F(OpusFlacTargets, FlacKeepsSixteenAndTwentyFourBitSourcesBitForBit) {
    // Noise fills every bit of the samples, which a rounding anywhere would change.
    const std::string noise = "anoisesrc=d=1:a=0.5:r=48000:seed=7";
    const std::string shallow =
        make("shallow.wav", lavfi(noise + ",pan=stereo|c0=c0|c1=-0.5*c0", {"-c:a", "pcm_s16le"}));
    const std::string deep = make(
        "deep.wav", lavfi(noise + ",pan=5.1(side)|c0=c0|c1=0.9*c0|c2=0.7*c0|c3=0.5*c0|c4=-0.6*c0|"
                                  "c5=-0.8*c0",
                          {"-c:a", "pcm_s24le"}));
    ASSERT_NO_FATAL_FAILURE(
        runAll(shallow, {{"shallow.flac", "-flac( )"}, {"shallow fast.flac", "-flac( -c 0 )"}}));
    ASSERT_NO_FATAL_FAILURE(runAll(deep, {{"deep.flac", "-flac( -c 12 )"}}));

    EXPECT_EQ(probe("shallow.flac", "bits_per_raw_sample,channel_layout"), "stereo,16\n");
    EXPECT_EQ(probe("deep.flac", "bits_per_raw_sample,channel_layout"), "5.1(side),24\n");
    const auto pcm = [](const std::string& file, const char* format) {
        return runProgram({"ffmpeg", "-v", "error", "-nostdin", "-i", file, "-f", format, "-"})
            .output;
    };
    EXPECT_TRUE(pcm(path("shallow.flac"), "s16le") == pcm(shallow, "s16le"));
    EXPECT_TRUE(pcm(path("shallow fast.flac"), "s16le") == pcm(shallow, "s16le"));
    EXPECT_TRUE(pcm(path("deep.flac"), "s24le") == pcm(deep, "s24le"));
    EXPECT_LT(fs::file_size(path("shallow.flac")), fs::file_size(path("shallow fast.flac")));
}

TEST_F(OpusFlacTargets, GainAndLoudnessModesReachTheirLevelsOnBoth) {
    const std::string input =
        make("quiet.wav",
             lavfi("aevalsrc=0.1*sin(2*PI*1000*t)|0.05*sin(2*PI*1000*t):s=48000:d=3:c=stereo",
                   {"-c:a", "pcm_s16le"}));
    ASSERT_NO_FATAL_FAILURE(
        runAll(input, {{"max.flac", "-ota( -g max ) -flac( )"},
                       {"loud.flac", "-ota( -loudness -16 ) -flac( )"},
                       {"max.opus", "-ota( -g max ) -opus( -b 128 )"},
                       {"after.opus", "-ota( -G 1 ) -opus( -b 128 )"},
                       {"loud.opus", "-ota( -loudness -16 ) -opus( -b 128 )"}}));
    // FLAC as WAV: two 16-bit steps below full scale, dither included.
    EXPECT_NEAR(peakDb(decodeAudio(path("max.flac"))), 0.0, 0.01);
    // Opus is decoded and encoded again until its peak lies in the lossy window.
    for (const char* output : {"max.opus", "after.opus"}) {
        const double peak = peakDb(decodeAudio(path(output)));
        EXPECT_LE(peak, 0.0) << output;
        EXPECT_GE(peak, -0.6) << output;
    }
    // A stereo tone: its loudness is its mean power in the two channels, less 0.691 dB, plus the
    // K-weighting's 0.691 dB at 1 kHz.
    for (const char* output : {"loud.flac", "loud.opus"}) {
        const DecodedAudio audio = decodeAudio(path(output));
        const double power =
            std::pow(10.0, rmsDb(audio, 0) / 10.0) + std::pow(10.0, rmsDb(audio, 1) / 10.0);
        EXPECT_NEAR(10.0 * std::log10(power), -16.0, 0.3) << output;
    }
}

} // namespace
} // namespace cantova::testing
