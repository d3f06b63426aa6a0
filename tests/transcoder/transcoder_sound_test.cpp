// Levels measured from decoded samples: the downmix matrices of transcoder/README.md, the LFE
// mix, mono to stereo, the peak after each gain mode, headroom on full-scale sources, and the
// AC3 decoder's compression modes. Signals are a second long at most; each test runs its jobs
// a few at a time.
#include "transcoder/folder_per_test.h"
#include "transcoder/transcoder_harness.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <map>
#include <unistd.h>

namespace cantova::testing {
namespace {

namespace fs = std::filesystem;

// The 5.1 test source: a tone of its own in every channel, each at a quarter of full scale.
constexpr double kToneLevel = 0.25;
const std::vector<double> kToneHertz = {300, 500, 700, 60, 1100, 1300}; // FL FR FC LFE SL SR
enum Channel { kFL, kFR, kFC, kLFE, kSL, kSR };

// A downmix row (left or right output) over FL FR FC LFE SL SR, as transcoder/README.md
// gives it.
using Row = std::array<double, 6>;
struct Matrix {
    const char* mode;
    Row left;
    Row right;
};
const Matrix kMatrices[] = {
    {"stereo", {0.4142, 0, 0.2929, 0, 0.2929, 0}, {0, 0.4142, 0.2929, 0, 0, 0.2929}},
    {"surround", {0.3204, 0, 0.2265, 0, -0.2265, -0.2265}, {0, 0.3204, 0.2265, 0, 0.2265, 0.2265}},
    {"surround2", {0.3225, 0, 0.2280, 0, -0.2633, -0.1862}, {0, 0.3225, 0.2280, 0, 0.1862, 0.2633}},
};

// Test names and messages show a case by its name.
void PrintTo(const Matrix& matrix, std::ostream* out) {
    *out << matrix.mode;
}

constexpr double kLevelToleranceDb = 0.1;
// oggenc itself lifts tones by up to 0.1 dB (measured on WAV input it was handed directly).
constexpr double kVorbisLevelToleranceDb = 0.15;

struct Job {
    std::string output; // file name in the test's folder
    std::string channelFlag;
    std::string groups;
};

class Sound : public FolderPerTest {
protected:
    void SetUp() override {
        if (!programsAvailable({"ffmpeg", "ffprobe", "lame", "oggenc"})) {
            GTEST_SKIP() << "ffmpeg, ffprobe, lame or oggenc is not installed; the sound tests "
                            "need them (scripts/install-deps.sh installs them)";
        }
        makeFolder("sound");
    }

    // A test signal, made on first use.
    std::string source(const std::string& name) {
        const std::string file = path(name);
        if (fs::exists(file)) {
            return file;
        }
        const auto tones = [](const std::string& expressions, const std::string& layout,
                              const std::string& seconds = "1") {
            return Words{
                "-f",   "lavfi",
                "-i",   "aevalsrc=" + expressions + ":s=48000:d=" + seconds + ":c=" + layout,
                "-c:a", "pcm_s16le"};
        };
        std::string expressions;
        for (double hertz : kToneHertz) {
            expressions += (expressions.empty() ? "" : "|") + std::to_string(kToneLevel) +
                           "*sin(2*PI*" + std::to_string(static_cast<int>(hertz)) + "*t)";
        }
        const std::string full = "sin(2*PI*400*t)";
        const std::string noise = "anoisesrc=d=1:c=pink:r=48000:a=0.5:s=";
        const std::map<std::string, Words> recipes = {
            {"tones51.wav", tones(expressions, "5.1(side)")},
            {"mono.wav", tones("0.5*sin(2*PI*440*t)", "mono")},
            // Half a second of a sine at -24 dBFS, in stereo and in every channel of 5.1.
            {"quiet sine.wav", tones("0.0631*sin(2*PI*440*t)", "stereo", "0.5")},
            {"quiet sine51.wav", tones("0.0631*sin(2*PI*440*t)", "5.1(side)", "0.5")},
            // 60 Hz and 1 kHz in the LFE alone.
            {"lfe band.wav",
             tones("0|0|0|0.25*sin(2*PI*60*t)+0.25*sin(2*PI*1000*t)|0|0", "5.1(side)")},
            {"fullscale51.wav",
             tones(full + "|" + full + "|" + full + "|" + full + "|" + full + "|" + full,
                   "5.1(side)")},
            {"fullscale51inverted.wav",
             tones(full + "|" + full + "|" + full + "|" + full + "|-" + full + "|-" + full,
                   "5.1(side)")},
            {"noise51.ac3",
             {"-f", "lavfi", "-i", noise + "7", "-f", "lavfi", "-i", noise + "8", "-filter_complex",
              "[0][1]amerge=inputs=2,pan=5.1(side)|c0=c0|c1=c1|c2=0.5*c0+0.5*c1|c3=0.7*c0|c4=0.6*"
              "c1|c5=0.6*c0",
              "-c:a", "ac3", "-b:a", "448k"}},
            {"noise20.ac3",
             {"-f", "lavfi", "-i", noise + "7", "-f", "lavfi", "-i", noise + "8", "-filter_complex",
              "[0][1]amerge=inputs=2", "-c:a", "ac3", "-b:a", "192k"}},
        };
        Words arguments = recipes.at(name);
        arguments.push_back(file);
        runFfmpeg(arguments);
        return file;
    }

    // Runs the jobs on the input, a few at a time, each with a log of its own; a job that fails
    // fails the test.
    void runAll(const std::string& input, const std::vector<Job>& jobs) {
        std::vector<Words> commands;
        for (const Job& job : jobs) {
            commands.push_back(transcoderCommand(input, path(job.output), logOf(job), job.groups,
                                                 job.channelFlag));
        }
        const std::vector<int> statuses = runInParallel(commands);
        for (std::size_t i = 0; i < jobs.size(); ++i) {
            ASSERT_EQ(statuses[i], 0) << jobs[i].output << " " << jobs[i].groups << "\n"
                                      << readFile(logOf(jobs[i]));
        }
    }

    std::string logOf(const Job& job) const { return path(job.output + ".log"); }
};

// A level in dB against what it should be, with the file and tone in the message.
void expectLevel(double measured, double expected, double toleranceDb, const std::string& what) {
    if (expected == 0.0) {
        EXPECT_LT(decibels(measured / kToneLevel), -50.0) << what << " should be silent";
        return;
    }
    EXPECT_NEAR(decibels(measured), decibels(std::abs(expected)), toleranceDb) << what;
}

double toleranceFor(const std::string& output) {
    return output.ends_with(".ogg") ? kVorbisLevelToleranceDb : kLevelToleranceDb;
}

class DownmixMatrix : public Sound, public ::testing::WithParamInterface<Matrix> {};

TEST_P(DownmixMatrix, IsTheDocumentedOneForEveryTargetWhateverFollowsIt) {
    const Matrix& matrix = GetParam();
    const std::string mode = std::string("-s ") + matrix.mode;
    // Each job with the gain that follows the downmix; NaN: the gain its log reports.
    const std::vector<std::pair<Job, double>> jobs = {
        {{"plain.wav", "-2ch", "-azid( " + mode + " )"}, 1.0},
        {{"azid gain.wav", "-2ch", "-azid( " + mode + " -g 3db )"}, std::pow(10.0, 3.0 / 20.0)},
        {{"resampled.wav", "-2ch", "-azid( " + mode + " ) -ssrc( --rate 44100 )"}, 1.0},
        {{"boosted.wav", "-2ch", "-azid( " + mode + " ) -boost( /b=1.5 /l=1 )"}, 1.5},
        {{"normalised.wav", "-2ch", "-ota( -g max ) -azid( " + mode + " )"}, std::nan("")},
        {{"Stream.mp3", "", "-azid( " + mode + " ) -lame( -b 320 )"}, 1.0},
        {{"Stream.ogg", "", "-azid( " + mode + " ) -ogg( -q 1 )"}, 1.0},
        {{"Stream.ac3", "", "-azid( " + mode + " ) -ac3enc( -b 640 )"}, 1.0},
    };
    std::vector<Job> runs;
    for (const auto& [job, gain] : jobs) {
        runs.push_back(job);
    }
    ASSERT_NO_FATAL_FAILURE(runAll(source("tones51.wav"), runs));

    for (const auto& [job, knownGain] : jobs) {
        SCOPED_TRACE(job.output);
        const double gain =
            std::isnan(knownGain)
                ? std::pow(10.0, loggedNumber(readFile(logOf(job)), "gain: ", " dB") / 20.0)
                : knownGain;
        const DecodedAudio audio = decodeAudio(path(job.output));
        ASSERT_EQ(audio.channels, 2);
        for (int channel = kFL; channel <= kSR; ++channel) {
            for (int side = 0; side < 2; ++side) {
                const double coefficient = (side == 0 ? matrix.left : matrix.right)[channel];
                expectLevel(toneAmplitude(audio, side, kToneHertz[channel]),
                            coefficient * kToneLevel * gain, toleranceFor(job.output),
                            "source channel " + std::to_string(channel) + " in output " +
                                std::to_string(side));
            }
            // The sign: a channel that reaches both sides reaches them in phase or, where the
            // matrix says so, in opposite phase.
            if (matrix.left[channel] != 0.0 && matrix.right[channel] != 0.0) {
                const double turn =
                    std::abs(std::arg(toneComponent(audio, 0, kToneHertz[channel]) /
                                      toneComponent(audio, 1, kToneHertz[channel])));
                const bool opposite = matrix.left[channel] * matrix.right[channel] < 0.0;
                EXPECT_NEAR(turn, opposite ? M_PI : 0.0, 0.05) << "channel " << channel;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EveryStereoMode, DownmixMatrix, ::testing::ValuesIn(kMatrices),
                         [](const auto& info) { return std::string(info.param.mode); });

TEST_F(Sound, LfeIsMixedLowPassedIntoStereoOutputsAndKeptApartInFiveOneOutputs) {
    const double lfe = std::pow(10.0, -3.0 / 20.0);
    const std::vector<Job> jobs = {
        {"stereo.wav", "-2ch", "-azid( -L -3db )"},
        {"Stream.mp3", "", "-azid( -s stereo -L -3db ) -lame( -b 320 )"},
        {"five one.wav", "-6chwav", "-azid( -L -3db )"},
        {"mono files.wav", "-6ch", "-azid( -L -3db )"},
        {"Stream.ogg", "", "-azid( -L -3db ) -ogg( -q 1 -6ch )"},
    };
    ASSERT_NO_FATAL_FAILURE(runAll(source("tones51.wav"), jobs));

    // Stereo: the Lo/Ro matrix with the LFE at -3 dB to the fronts, scaled to full scale; the
    // LFE's 60 Hz passes the 120 Hz low-pass, its 1 kHz does not.
    const double stereoFront = kToneLevel / (1.0 + 2.0 * std::sqrt(0.5) + lfe);
    for (const char* output : {"stereo.wav", "Stream.mp3"}) {
        SCOPED_TRACE(output);
        const DecodedAudio audio = decodeAudio(path(output));
        for (int side = 0; side < 2; ++side) {
            expectLevel(toneAmplitude(audio, side, kToneHertz[side]), stereoFront,
                        kLevelToleranceDb, "front");
            expectLevel(toneAmplitude(audio, side, kToneHertz[kLFE]), stereoFront * lfe,
                        kLevelToleranceDb, "LFE");
        }
    }
    {
        const std::vector<Job> band = {{"band.wav", "-2ch", "-azid( -L 0db )"}};
        ASSERT_NO_FATAL_FAILURE(runAll(source("lfe band.wav"), band));
        const DecodedAudio audio = decodeAudio(path("band.wav"));
        EXPECT_GT(toneAmplitude(audio, 0, 60), 0.05);
        EXPECT_LT(decibels(toneAmplitude(audio, 0, 1000) / toneAmplitude(audio, 0, 60)), -40.0);
    }
    // 5.1: every channel where it was, at its own level; -L is ignored, and says so.
    const auto checkFiveOne = [&](const std::function<double(int, double)>& level, double tolerance,
                                  bool lfeChannelToo) {
        for (int channel = kFL; channel <= kSR; ++channel) {
            if (channel != kLFE || lfeChannelToo) {
                expectLevel(level(channel, kToneHertz[channel]), kToneLevel, tolerance,
                            "channel " + std::to_string(channel));
            }
        }
        for (int front : {kFL, kFR}) {
            expectLevel(level(front, kToneHertz[kLFE]), 0.0, tolerance,
                        "LFE in front " + std::to_string(front));
        }
    };
    {
        SCOPED_TRACE("-6chwav");
        const DecodedAudio audio = decodeAudio(path("five one.wav"));
        checkFiveOne([&](int c, double hz) { return toneAmplitude(audio, c, hz); },
                     kLevelToleranceDb, true);
        EXPECT_NE(readFile(path("five one.wav.log")).find("-L ignored"), std::string::npos);
    }
    {
        SCOPED_TRACE("-6ch");
        std::vector<DecodedAudio> files;
        for (const char* name : {"FL", "FR", "FC", "LFE", "SL", "SR"}) {
            files.push_back(decodeAudio(path(std::string("mono files_") + name + ".wav")));
        }
        checkFiveOne([&](int c, double hz) { return toneAmplitude(files[c], 0, hz); },
                     kLevelToleranceDb, true);
    }
    {
        // Decoded, Vorbis puts the channels in ffmpeg's 5.1 order (FL FR FC LFE BL BR) too.
        // oggenc lifts its LFE channel by 0.8 dB at 30 Hz to 2.1 dB at 100 Hz, whatever the
        // quality: a response, not a level, so that channel is left out.
        SCOPED_TRACE("Vorbis -6ch");
        const DecodedAudio audio = decodeAudio(path("Stream.ogg"));
        checkFiveOne([&](int c, double hz) { return toneAmplitude(audio, c, hz); },
                     kVorbisLevelToleranceDb, false);
    }
}

TEST_F(Sound, MonoSourceReachesEachSideAtItsOwnLevel) {
    const std::vector<Job> jobs = {
        {"Stream.wav", "-2ch", ""},
        {"Stream.mp3", "", "-lame( -b 320 )"},
        {"Stream.ogg", "", "-ogg( -q 1 )"},
        {"Stream.ac3", "", "-azid( -s surround ) -ac3enc( -b 448 )"},
    };
    ASSERT_NO_FATAL_FAILURE(runAll(source("mono.wav"), jobs));
    for (const Job& job : jobs) {
        SCOPED_TRACE(job.output);
        const DecodedAudio audio = decodeAudio(path(job.output));
        ASSERT_EQ(audio.channels, 2);
        for (int side = 0; side < 2; ++side) {
            expectLevel(toneAmplitude(audio, side, 440), 0.5, toleranceFor(job.output), "side");
        }
    }
}

// The gain modes of the OTA and Azid groups, as the front end writes them; every one of them
// brings the peak to full scale.
const char* const kGainModes[] = {"-ota( -g max )", "-ota( -G 1 )", "-ota( -hybridgain )",
                                  "-azid( --maximize )"};

struct GainCase {
    const char* name;
    const char* source;
    std::vector<Job> targets; // "%" in the groups: where the gain mode goes
};

void PrintTo(const GainCase& gainCase, std::ostream* out) {
    *out << gainCase.name;
}

class GainModes : public Sound, public ::testing::WithParamInterface<GainCase> {};

TEST_P(GainModes, EndWithTheDecodedPeakJustBelowFullScaleInEveryTarget) {
    std::vector<Job> jobs;
    for (const Job& target : GetParam().targets) {
        for (std::size_t mode = 0; mode < std::size(kGainModes); ++mode) {
            std::string groups = target.groups;
            std::string gain = kGainModes[mode];
            // --maximize joins an Azid group the target already has.
            if (gain.starts_with("-azid( ") && groups.find("-azid( ") != std::string::npos) {
                groups.replace(groups.find("-azid( "), 7, "-azid( --maximize ");
                gain.clear();
            }
            jobs.push_back({std::to_string(mode) + " " + target.output, target.channelFlag,
                            gain + " " + groups});
        }
    }
    ASSERT_NO_FATAL_FAILURE(runAll(source(GetParam().source), jobs));
    for (const Job& job : jobs) {
        SCOPED_TRACE(job.output + ": " + job.groups);
        if (job.channelFlag == "-6ch") {
            continue; // six mono files: checked below as one
        }
        const DecodedAudio audio = decodeAudio(path(job.output));
        const double peak = peakDb(audio);
        if (job.output.ends_with(".wav")) {
            EXPECT_NEAR(peak, 0.0, 0.01);
            EXPECT_EQ(clippedSamples(audio), 0);
        } else {
            // Within four encodes: noise through Vorbis moves its peaks by tenths of a dB with
            // the gain, and AC3 by steps (0.42 dB more gain moved 5.1 noise's decoded peak by
            // 1.7 dB, from -1.6 to +0.1 dBFS), so the search may end on its best try below full
            // scale instead of in [-1, 0].
            EXPECT_LE(peak, 0.0);
            EXPECT_GE(peak, job.output.ends_with(".ac3") ? -2.0 : -1.5);
            // The kept encode was decoded while it was written, and its peak is the written
            // file's (logged to a tenth of a dB), whatever an encode before it left in the file.
            const std::string log = readFile(logOf(job));
            EXPECT_NEAR(loggedNumber(log, "measured while writing: decoded: sample peak ", " dBFS"),
                        peak, 0.06)
                << log;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    StereoAndFiveOneSources, GainModes,
    ::testing::Values(GainCase{"stereo",
                               "noise20.ac3",
                               {{"Stream.wav", "", ""},
                                {"Stream.mp3", "", "-lame( -b 192 )"},
                                {"Stream.ogg", "", "-ogg( -q 0.5 )"},
                                {"Stream.ac3", "", "-ac3enc( -b 384 )"}}},
                      GainCase{"fiveOne",
                               "noise51.ac3",
                               {{"stereo.wav", "-2ch", ""},
                                {"five one.wav", "-6chwav", "-azid( -L -3db )"},
                                {"Stream.mp3", "", "-lame( --alt-preset standard )"},
                                {"Stream.ogg", "", "-ogg( -q 0.5 )"},
                                {"five one.ac3", "", "-ac3enc( -b 448 )"},
                                {"stereo.ac3", "", "-azid( -s surround2 ) -ac3enc( -b 384 )"}}}),
    [](const auto& info) { return std::string(info.param.name); });

// The crest factor of a channel over the middle half of the file, in dB: a sine's is 3.01.
double crestDb(const DecodedAudio& audio, int channel) {
    double peak = 0.0;
    double power = 0.0;
    const std::size_t first = audio.frames() / 4;
    const std::size_t last = 3 * audio.frames() / 4;
    for (std::size_t i = first; i < last; ++i) {
        const double sample = audio.samples[i * audio.channels + channel];
        peak = std::max(peak, std::abs(sample));
        power += sample * sample;
    }
    return decibels(peak / std::sqrt(power / static_cast<double>(last - first)));
}

TEST_F(Sound, PeakModesBringAQuietSineToFullScaleWithoutClippingAtAnyBitrate) {
    // lame clips its input at full scale, and at 128 kbit/s decodes a sine 0.9 dB below it:
    // the search may not raise the gain past the encoder's input ceiling. Each mode name meets
    // every target once, from a stereo sine and from a 5.1 sine (downmixed but for AC3).
    const std::vector<std::string> targets = {"x.mp3 -lame( --scale 1 --alt-preset 128 )",
                                              "x.mp3 -lame( --alt-preset cbr 128 )",
                                              "x.mp3 -lame( -b 320 )",
                                              "x.mp3 -lame( -V 6 )",
                                              "x.mp3 -lame( --alt-preset standard )",
                                              "x.ogg -ogg( -q 0.1 )",
                                              "x.ogg -ogg( -q 0.8 )",
                                              "x.ac3 -ac3enc( -b 192 )"};
    const std::vector<std::pair<std::string, std::vector<std::string>>> sources = {
        {"quiet sine.wav", {"-ota( -g max )", "-ota( -G 1 )"}},
        {"quiet sine51.wav", {"-ota( -hybridgain )", "-azid( --maximize )"}}};
    const double sineCrestDb = decibels(std::sqrt(2.0));
    for (const auto& [input, modes] : sources) {
        std::vector<Job> jobs;
        for (std::size_t t = 0; t < targets.size(); ++t) {
            const std::string extension = targets[t].substr(1, 4);
            for (std::size_t m = 0; m < modes.size(); ++m) {
                jobs.push_back({input + " " + std::to_string(t) + std::to_string(m) + extension, "",
                                modes[m] + " " + targets[t].substr(6)});
            }
        }
        ASSERT_NO_FATAL_FAILURE(runAll(source(input), jobs));
        for (const Job& job : jobs) {
            SCOPED_TRACE(job.output + ": " + job.groups);
            const DecodedAudio audio = decodeAudio(path(job.output));
            EXPECT_LE(peakDb(audio), 0.0);
            EXPECT_GE(peakDb(audio), -1.0);
            EXPECT_NEAR(crestDb(audio, 0), sineCrestDb, 0.3);
            const std::string log = readFile(logOf(job));
            int encodes = 0;
            for (std::size_t at = log.find("-map [enc]"); at != std::string::npos;
                 at = log.find("-map [enc]", at + 1)) {
                ++encodes;
            }
            EXPECT_LE(encodes, 4);
        }
    }
}

TEST_F(Sound, FullScaleSurroundClipsInNoTargetAndNoMode) {
    const std::vector<Job> targets = {
        {"stereo.wav", "-2ch", "-azid( -s stereo -L 0db )"},
        {"surround.wav", "-2ch", "-azid( -s surround )"},
        {"surround2.wav", "-2ch", "-azid( -s surround2 )"},
        {"five one.wav", "-6chwav", "-azid( -L 0db )"},
        {"stereo.mp3", "", "-azid( -s stereo ) -lame( -b 320 )"},
        {"surround.mp3", "", "-azid( -s surround ) -lame( -b 320 )"},
        {"surround2.mp3", "", "-azid( -s surround2 -L 0db ) -lame( -b 320 )"},
        {"stereo.ogg", "", "-azid( -s stereo ) -ogg( -q 1 )"},
        {"surround.ogg", "", "-azid( -s surround -L 0db ) -ogg( -q 1 )"},
        {"surround2.ogg", "", "-azid( -s surround2 ) -ogg( -q 1 )"},
        {"five one.ogg", "", "-azid( -L 0db ) -ogg( -q 1 -6ch )"},
        {"stereo.ac3", "", "-azid( -s stereo -L 0db ) -ac3enc( -b 640 )"},
        {"surround.ac3", "", "-azid( -s surround ) -ac3enc( -b 640 )"},
        {"surround2.ac3", "", "-azid( -s surround2 ) -ac3enc( -b 640 )"},
    };
    // In phase, every channel adds up in every output but the left one of the surround
    // modes, which takes the surrounds inverted: the second source drives that one to the top.
    for (const char* input : {"fullscale51.wav", "fullscale51inverted.wav"}) {
        SCOPED_TRACE(input);
        const bool inverted = std::string(input) == "fullscale51inverted.wav";
        std::vector<Job> jobs;
        for (const Job& job : targets) {
            if (!inverted || job.output.starts_with("surround")) {
                jobs.push_back(
                    {std::string(input) + " " + job.output, job.channelFlag, job.groups});
            }
        }
        if (!inverted) {
            jobs.push_back({std::string(input) + " mono files.wav", "-6ch", "-azid( -L 0db )"});
        }
        ASSERT_NO_FATAL_FAILURE(runAll(source(input), jobs));
        std::vector<std::string> files;
        for (const Job& job : jobs) {
            if (job.channelFlag != "-6ch") {
                files.push_back(path(job.output));
            }
        }
        for (const char* name : {"FL", "FR", "FC", "LFE", "SL", "SR"}) {
            if (!inverted) {
                files.push_back(path(std::string(input) + " mono files_" + name + ".wav"));
            }
        }
        for (const std::string& file : files) {
            SCOPED_TRACE(file);
            const DecodedAudio audio = decodeAudio(file);
            if (file.ends_with(".wav")) {
                EXPECT_EQ(clippedSamples(audio), 0);
                EXPECT_LE(peakDb(audio), 0.0);
                continue;
            }
            // Clipping the encoder's input would spread the tone's power over its overtones.
            // (Vorbis codes its LFE channel without the tone: that one is passed over.)
            for (int channel = 0; channel < audio.channels; ++channel) {
                if (toneAmplitude(audio, channel, 400) > 0.1) {
                    EXPECT_LT(residualDb(audio, channel, {400}), -40.0) << "channel " << channel;
                }
            }
        }
    }
}

TEST_F(Sound, CompressionModesApplyTheStreamsWordsAsDocumented) {
    // Every block asks for -12.04 dB (dynrng 0xC0), every frame for -18.06 dB under heavy
    // compression (compr 0xD0).
    const std::string input = path("compressed.ac3");
    writeCompressedAc3(input, 0xC0, 0xD0, 1.0);
    ASSERT_EQ(runProgram({"ffmpeg", "-v", "error", "-nostdin", "-err_detect", "crccheck+explode",
                          "-i", input, "-f", "null", "-"})
                  .exitCode,
              0)
        << "the hand-made AC3 stream does not decode cleanly";

    const std::vector<std::pair<Job, double>> jobs = {
        {{"full range.wav", "", ""}, 0.0},
        {{"light.wav", "", "-azid( -c light )"}, -6.02},
        {{"normal.wav", "", "-azid( -c normal )"}, -12.04},
        {{"heavy.wav", "", "-azid( -c heavy )"}, -18.06},
    };
    std::vector<Job> runs;
    for (const auto& [job, change] : jobs) {
        runs.push_back(job);
    }
    ASSERT_NO_FATAL_FAILURE(runAll(input, runs));
    const double fullRange = rmsDb(decodeAudio(path("full range.wav")), 0);
    EXPECT_GT(fullRange, -40.0) << "the test signal is too quiet to measure";
    for (const auto& [job, change] : jobs) {
        EXPECT_NEAR(rmsDb(decodeAudio(path(job.output)), 0) - fullRange, change, 0.1) << job.output;
    }
}

} // namespace
} // namespace cantova::testing
