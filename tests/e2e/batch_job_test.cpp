// Whole jobs as a user runs them: the batch driver selects a source made with ffmpeg, sets the
// options, adds the job and presses Start; the real transcoder writes the output next to the
// source and the tests look at what it wrote with ffprobe.

#include "support/program_runs.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <locale.h>

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace cantova::testing {
namespace {

namespace fs = std::filesystem;
using Words = std::vector<std::string>;

constexpr double kSourceSeconds = 3.0;
// Every job with a split group cuts this piece out of its source (ResampleAndSplitSteps).
constexpr double kSplitStart = 0.5;
constexpr double kSplitEnd = 2.5;

enum class Source { Surround51Ac3, StereoAc3, StereoMp2, SixChannelWav, Corrupt };

// What the tests know about a source: its file name and the steps that give its job a delay
// (the 5.1 AC3 carries its delay, -40 ms, in its name, as demuxers name their tracks; the
// others are given 100 ms).
struct SourceFile {
    std::string name;
    Words delaySteps;
};

SourceFile Describe(Source source) {
    const Words typedDelay = {"set", "TxtDelay.Text=100"};
    switch (source) {
    case Source::Surround51Ac3:
        return {"VTS_01 T80 DELAY -40ms.ac3", {}};
    case Source::StereoAc3:
        return {"stereo.ac3", typedDelay};
    case Source::StereoMp2:
        return {"stereo.mp2", typedDelay};
    case Source::SixChannelWav:
        return {"surround.wav", typedDelay};
    case Source::Corrupt:
        break;
    }
    return {"broken.ac3", {}};
}

void MakeSource(Source source, const std::string& path) {
    const std::string tone = "sine=f=440:d=" + std::to_string(kSourceSeconds) + ":r=48000";
    const std::string surround =
        "pan=5.1(side)|c0=0.5*c0|c1=0.4*c0|c2=0.3*c0|c3=0.2*c0|c4=0.2*c0|c5=0.2*c0";
    switch (source) {
    case Source::Surround51Ac3:
        runFfmpeg(
            {"-f", "lavfi", "-i", tone, "-af", surround, "-c:a", "ac3", "-b:a", "448k", path});
        return;
    case Source::StereoAc3:
        runFfmpeg({"-f", "lavfi", "-i", tone, "-ac", "2", "-c:a", "ac3", "-b:a", "192k", path});
        return;
    case Source::StereoMp2:
        runFfmpeg({"-f", "lavfi", "-i", tone, "-ac", "2", "-c:a", "mp2", "-b:a", "192k", path});
        return;
    case Source::SixChannelWav:
        runFfmpeg({"-f", "lavfi", "-i", tone, "-af", surround, "-c:a", "pcm_s16le", path});
        return;
    case Source::Corrupt: {
        std::string noise;
        for (int i = 0; i < 20000; ++i) {
            noise.push_back(static_cast<char>((i * 7919) % 251));
        }
        WriteText(path, noise);
        return;
    }
    }
}

enum class Mp3Mode { NotChecked, Constant, Variable };

// Lame's constant bit rate gives frames of one size, one byte more where a frame is padded.
Mp3Mode BitrateModeOf(const std::string& path) {
    const std::vector<long> sizes = packetSizes(path);
    if (sizes.size() < 2) {
        return Mp3Mode::NotChecked; // nothing to tell from
    }
    const auto [smallest, largest] = std::minmax_element(sizes.begin(), sizes.end());
    return *largest - *smallest <= 1 ? Mp3Mode::Constant : Mp3Mode::Variable;
}

struct ExpectedOutput {
    Words files; // in the source's folder
    std::string codec;
    int channels;
    int sampleRate;
    double seconds;
    double frameSeconds; // the tolerance of the length
    Mp3Mode mp3Mode = Mp3Mode::NotChecked;
};

struct JobCase {
    std::string name;
    Source source;
    // The user's choices after selecting the source; the resampling, split and delay steps
    // follow them.
    Words choices;
    // The groups the transcoder must receive, in order: they tell the job kind.
    Words groups;
    ExpectedOutput expected;
};

void PrintTo(const JobCase& job, std::ostream* out) {
    *out << job.name;
}

// Steps that switch on resampling to 44100 Hz and the split.
Words ResampleAndSplitSteps() {
    return {"set", "ChkDownSample.Value=1",      "set", "CmbSampleRate.ListIndex=0",
            "set", "ChkSplitStartPoint.Value=1", "set", "TxtStartPoint.Text=0.5",
            "set", "ChkSplitEndPoint.Value=1",   "set", "TxtEndPoint.Text=2.5"};
}

class BatchJob : public ::testing::Test {
protected:
    void SetUp() override {
        if (!programsAvailable({"ffmpeg", "ffprobe", "lame", "oggenc"})) {
            GTEST_SKIP() << "ffmpeg, ffprobe, lame or oggenc is not installed; the end-to-end "
                            "tests need them (scripts/install-deps.sh installs them)";
        }
        // A folder with blanks, as DVD rip folders often are.
        folder_ = temp_.Path() / "rips of VTS_01";
        fs::create_directories(folder_);
        home_ = temp_.Path() / "home of the user";
        fs::create_directories(home_);
    }

    std::string inFolder(const std::string& name) const { return (folder_ / name).string(); }
    std::string log() const { return (home_ / "Audio_Stream.log").string(); }

    std::string makeSource(Source source) {
        const std::string path = inFolder(Describe(source).name);
        MakeSource(source, path);
        return path;
    }

    // Runs the batch driver with HOME in the test's folder, so that the transcoder's log is
    // written there and never in the real home; it has blanks, as the log path must arrive in
    // one piece.
    ProgramRun runBatch(const Words& steps, Environment environment = {}) const {
        Words argv = {CANTOVA_BATCH};
        argv.insert(argv.end(), steps.begin(), steps.end());
        environment.emplace_back("HOME", home_.string());
        return runProgram(argv, environment);
    }

    // select, the choices, add and start.
    ProgramRun runJob(const std::string& source, const Words& choices,
                      const Environment& environment = {}) const {
        Words steps = {"select", source};
        steps.insert(steps.end(), choices.begin(), choices.end());
        for (const char* button : {"CmdAddAudioJobList", "cmdStartEncode"}) {
            steps.push_back("click");
            steps.push_back(button);
        }
        return runBatch(steps, environment);
    }

    TempFolder temp_;
    fs::path folder_;
    fs::path home_;
};

// The log's "arguments:" line of the last run.
std::string ArgumentsLine(const std::string& log) {
    const auto at = log.rfind("arguments: ");
    return at == std::string::npos ? std::string() : log.substr(at, log.find('\n', at) - at);
}

bool HasInOrder(const std::string& text, const Words& parts) {
    std::size_t at = 0;
    for (const std::string& part : parts) {
        at = text.find(" " + part + " ", at);
        if (at == std::string::npos) {
            return false;
        }
    }
    return true;
}

class EveryJobKind : public BatchJob, public ::testing::WithParamInterface<JobCase> {};

TEST_P(EveryJobKind, WritesTheChosenTargetNextToTheSource) {
    const JobCase& job = GetParam();
    const SourceFile source = Describe(job.source);
    const std::string path = makeSource(job.source);
    Words choices = job.choices;
    for (const Words& more : {ResampleAndSplitSteps(), source.delaySteps}) {
        choices.insert(choices.end(), more.begin(), more.end());
    }

    const ProgramRun run = runJob(path, choices);

    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(run.output.find("message: Job Report"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("log: " + log() + "\n"), std::string::npos) << run.output;
    const std::string logText = readFile(log());
    EXPECT_NE(logText.find("result: OK, wrote " + inFolder(job.expected.files.front())),
              std::string::npos)
        << logText;
    EXPECT_TRUE(HasInOrder(ArgumentsLine(logText), job.groups)) << ArgumentsLine(logText);

    // Nothing else is left: no settings file, no job file, no half-written output.
    Words expectedFiles = job.expected.files;
    expectedFiles.push_back(source.name);
    std::sort(expectedFiles.begin(), expectedFiles.end());
    EXPECT_EQ(filesIn(folder_.string()), expectedFiles);

    for (const std::string& file : job.expected.files) {
        SCOPED_TRACE(file);
        const AudioStreamInfo info = probeAudio(inFolder(file));
        EXPECT_EQ(info.codec, job.expected.codec);
        EXPECT_EQ(info.channels, job.expected.channels);
        EXPECT_EQ(info.sampleRate, job.expected.sampleRate);
        // Decoded, so that an MP3's encoder delay and padding are not counted.
        EXPECT_NEAR(decodedSeconds(inFolder(file)), job.expected.seconds,
                    job.expected.frameSeconds);
        if (job.expected.mp3Mode != Mp3Mode::NotChecked) {
            EXPECT_EQ(BitrateModeOf(inFolder(file)), job.expected.mp3Mode);
        }
    }
}

constexpr double kPiece = kSplitEnd - kSplitStart;
constexpr double kMp3Frame = 1152.0 / 44100.0;
constexpr double kMp3Frame48k = 1152.0 / 48000.0;
constexpr double kAc3Frame = 1536.0 / 44100.0;
constexpr double kVorbisShortBlock = 256.0 / 44100.0;
constexpr double kWavTolerance = 0.001;
// The 5.1 source's job cuts 40 ms from the start of the piece, the others put 100 ms of
// silence in front of it.
constexpr double kSurroundSeconds = kPiece - 0.040;
constexpr double kStereoSeconds = kPiece + 0.100;

Words Set(const std::string& assignment) {
    return {"set", assignment};
}

Words Join(std::initializer_list<Words> parts) {
    Words joined;
    for (const Words& part : parts) {
        joined.insert(joined.end(), part.begin(), part.end());
    }
    return joined;
}

const Words kMp3 = Set("OptAudioCodec(1).Value=1");
const Words kVorbis = Set("OptAudioCodec(2).Value=1");
const Words kAc3 = Set("OptAudioCodec(0).Value=1");
const Words kWav = Set("OptAudioCodec(3).Value=1");
const Words kOpus = Set("OptAudioCodec(4).Value=1");
const Words kFlac = Set("OptAudioCodec(5).Value=1");
// Opus decodes in frames of 20 ms at most; it carries 48000 Hz, to which 44100 Hz is raised.
constexpr double kOpusFrame = 0.020;
const Words kSixMono = {"Stream1_FL.wav",  "Stream1_FR.wav", "Stream1_FC.wav",
                        "Stream1_LFE.wav", "Stream1_SL.wav", "Stream1_SR.wav"};

INSTANTIATE_TEST_SUITE_P(
    Kinds, EveryJobKind,
    ::testing::Values(
        JobCase{"Kind0Mp3CbrFromMpegAudio",
                Source::StereoMp2,
                kMp3,
                {"-core(", "-ota(", "-lame(", "-ssrc(", "-split("},
                {{"Stream1.mp3"}, "mp3", 2, 44100, kStereoSeconds, kMp3Frame, Mp3Mode::Constant}},
        JobCase{"Kind1Mp3VbrFrom51Ac3",
                Source::Surround51Ac3,
                Join({kMp3, Set("CmbMP3Mode.ListIndex=2"), Set("CmbBitrateAudio.ListIndex=7")}),
                {"-core(", "-ota(", "-azid(", "-lame(", "-ssrc(", "-split("},
                {{"Stream1.mp3"}, "mp3", 2, 44100, kSurroundSeconds, kMp3Frame, Mp3Mode::Variable}},
        JobCase{"Kind2VorbisFromStereoAc3",
                Source::StereoAc3,
                kVorbis,
                {"-core(", "-ota(", "-azid(", "-ogg(", "-ssrc(", "-split("},
                {{"Stream1.ogg"}, "vorbis", 2, 44100, kStereoSeconds, kVorbisShortBlock}},
        JobCase{"Kind3Ac3KeepsTheSixChannelsWithoutADownmix",
                Source::Surround51Ac3,
                Join({kAc3, Set("frmPanelAudio.ChkUseOutPutModeAzid.Value=0")}),
                {"-core(", "-ota(", "-azid(", "-ac3enc(", "-ssrc(", "-split("},
                {{"Stream1.ac3"}, "ac3", 6, 44100, kSurroundSeconds, kAc3Frame}},
        JobCase{"Kind3Ac3FromStereoAc3",
                Source::StereoAc3,
                Join({kAc3, Set("CmbBitrateAudio.ListIndex=0")}),
                {"-core(", "-ota(", "-azid(", "-ac3enc(", "-ssrc(", "-split("},
                {{"Stream1.ac3"}, "ac3", 2, 44100, kStereoSeconds, kAc3Frame}},
        JobCase{"Kind4VorbisFromMpegAudio",
                Source::StereoMp2,
                kVorbis,
                {"-core(", "-ota(", "-ogg(", "-ssrc(", "-split("},
                {{"Stream1.ogg"}, "vorbis", 2, 44100, kStereoSeconds, kVorbisShortBlock}},
        // The transcoder reads the delay from the source's name itself.
        JobCase{"Kind5StereoWavWithAutoDelay",
                Source::Surround51Ac3,
                Join({kWav, Set("CmbWAVmode.ListIndex=0"), Set("ChkAutoDelay.Value=1")}),
                {"-core(", "-2ch", "-ota(", "-d", "auto", "-azid(", "-ssrc(", "-split("},
                {{"Stream1.wav"}, "pcm_s16le", 2, 44100, kSurroundSeconds, kWavTolerance}},
        JobCase{"Kind5OneSixChannelWav",
                Source::Surround51Ac3,
                Join({kWav, Set("CmbWAVmode.ListIndex=1")}),
                {"-core(", "-6chwav", "-ota(", "-azid(", "-ssrc(", "-split("},
                {{"Stream1.wav"}, "pcm_s16le", 6, 44100, kSurroundSeconds, kWavTolerance}},
        JobCase{"Kind5SixMonoWavs",
                Source::Surround51Ac3,
                Join({kWav, Set("CmbWAVmode.ListIndex=2")}),
                {"-core(", "-6ch", "-ota(", "-azid(", "-ssrc(", "-split("},
                {kSixMono, "pcm_s16le", 1, 44100, kSurroundSeconds, kWavTolerance}},
        // Kind 6 has the core group only: resampling, split and delay do not apply.
        JobCase{"Kind6StereoWav",
                Source::SixChannelWav,
                Join({kWav, Set("CmbWAVmode.ListIndex=0")}),
                {"-core(", "-2ch", "-logfilea"},
                {{"Stream1.wav"}, "pcm_s16le", 2, 48000, kSourceSeconds, kWavTolerance}},
        JobCase{"Kind8OpusKeepsTheSixChannelsOfA51Ac3",
                Source::Surround51Ac3,
                kOpus,
                {"-core(", "-ota(", "-azid(", "-opus(", "-b", "256", ")", "-ssrc(", "-split("},
                {{"Stream1.opus"}, "opus", 6, 48000, kSurroundSeconds, kOpusFrame}},
        JobCase{"Kind7OpusMixesASixChannelWavDownOnRequest",
                Source::SixChannelWav,
                Join({kOpus, Set("ChkOpusStereo.Value=1"), Set("CmbOpusMode.ListIndex=2")}),
                {"-core(", "-ota(", "-opus(", "-cbr", "-s", ")", "-ssrc(", "-split("},
                {{"Stream1.opus"}, "opus", 2, 48000, kStereoSeconds, kOpusFrame}},
        JobCase{"Kind9FlacKeepsTheSixChannelsOfAWav",
                Source::SixChannelWav,
                Join({kFlac, Set("CmbFlacLevel.ListIndex=8")}),
                {"-core(", "-ota(", "-flac(", "-c", "8", ")", "-ssrc(", "-split("},
                {{"Stream1.flac"}, "flac", 6, 44100, kStereoSeconds, kWavTolerance}},
        JobCase{"Kind6OneSixChannelWav",
                Source::SixChannelWav,
                Join({kWav, Set("CmbWAVmode.ListIndex=1")}),
                {"-core(", "-6chwav", "-logfilea"},
                {{"Stream1.wav"}, "pcm_s16le", 6, 48000, kSourceSeconds, kWavTolerance}},
        JobCase{"Kind6SixMonoWavs",
                Source::SixChannelWav,
                Join({kWav, Set("CmbWAVmode.ListIndex=2")}),
                {"-core(", "-6ch", "-logfilea"},
                {kSixMono, "pcm_s16le", 1, 48000, kSourceSeconds, kWavTolerance}}),
    [](const ::testing::TestParamInfo<JobCase>& info) { return info.param.name; });

TEST_F(BatchJob, EveryJobOfARunKeepsItsOwnSettingsAndAppendsToTheOneLog) {
    const std::string path = makeSource(Source::Surround51Ac3);
    const Words steps = Join({{"select", path},
                              kVorbis,
                              Set("frmPanelAudio.ChkUse51ModeOGG.Value=1"),
                              {"click", "CmdAddAudioJobList"},
                              kMp3,
                              Set("CmbGainMode.ListIndex=2"),
                              {"click", "CmdAddAudioJobList", "click", "cmdStartEncode"}});

    const ProgramRun run = runBatch(steps);

    ASSERT_EQ(run.exitCode, 0) << run.output;
    const std::string logText = readFile(log());
    const auto first = logText.find("result: OK, wrote " + inFolder("Stream1.ogg"));
    const auto second = logText.find("result: OK, wrote " + inFolder("Stream2.mp3"));
    EXPECT_NE(first, std::string::npos) << logText;
    EXPECT_NE(second, std::string::npos) << logText;
    EXPECT_LT(first, second) << logText;
    EXPECT_EQ(filesIn(folder_.string()),
              (Words{"Stream1.ogg", "Stream2.mp3", Describe(Source::Surround51Ac3).name}));

    const AudioStreamInfo vorbis = probeAudio(inFolder("Stream1.ogg"));
    EXPECT_EQ(vorbis.codec, "vorbis");
    EXPECT_EQ(vorbis.channels, 6);
    const AudioStreamInfo mp3 = probeAudio(inFolder("Stream2.mp3"));
    EXPECT_EQ(mp3.codec, "mp3");
    EXPECT_EQ(mp3.channels, 2);
    // The post-encoding gain brings the decoded MP3 to full scale.
    EXPECT_NEAR(decodedPeakDb(inFolder("Stream2.mp3")), 0.0, 0.5);
    EXPECT_NEAR(decodedSeconds(inFolder("Stream2.mp3")), kSourceSeconds - 0.040, kMp3Frame48k);
}

// What ffprobe says of the first audio stream's entry, such as bits_per_raw_sample.
std::string StreamEntry(const std::string& path, const std::string& entry) {
    const ProgramRun run =
        runProgram({"ffprobe", "-v", "error", "-select_streams", "a:0", "-show_entries",
                    "stream=" + entry, "-of", "default=noprint_wrappers=1:nokey=1", path});
    return run.output.substr(0, run.output.find('\n'));
}

// A WAV's samples go into a FLAC file bit for bit at 16 and at 24 bits when nothing changes them,
// and so do those of a 24-bit FLAC source.
TEST_F(BatchJob, FlacKeepsTheSamplesAndTheDepthOfItsSource) {
    struct Depth {
        std::string bits, source, encoding, decodedFormat;
    };
    for (const Depth& depth : {Depth{"16", "deep.wav", "pcm_s16le", "s16le"},
                               Depth{"24", "deep.wav", "pcm_s24le", "s32le"},
                               Depth{"24", "deep.flac", "flac", "s32le"}}) {
        SCOPED_TRACE(depth.source + ", " + depth.bits + " bits");
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        const std::string source = inFolder(depth.source);
        runFfmpeg({"-f", "lavfi", "-i", "anoisesrc=d=2:c=pink:r=48000:a=0.4", "-ac", "2", "-c:a",
                   depth.encoding, "-sample_fmt", depth.bits == "16" ? "s16" : "s32", source});

        const ProgramRun run = runJob(source, kFlac);

        ASSERT_EQ(run.exitCode, 0) << run.output;
        const std::string output = inFolder("Stream1.flac");
        EXPECT_EQ(probeAudio(output).codec, "flac");
        EXPECT_EQ(StreamEntry(output, "bits_per_raw_sample"), depth.bits);
        for (const std::string& file : {source, output}) {
            runFfmpeg({"-i", file, "-f", depth.decodedFormat, "-c:a", "pcm_" + depth.decodedFormat,
                       file + ".raw"});
        }
        const std::string samples = readFile(source + ".raw");
        EXPECT_GT(samples.size(), 2u * 48000u * 2u);
        EXPECT_TRUE(samples == readFile(output + ".raw")) << "the decoded samples differ";
    }
}

TEST_F(BatchJob, UnderADecimalCommaLocaleTheNumbersArriveWithCommasAndAreRead) {
    const locale_t german = ::newlocale(LC_ALL_MASK, "de_DE.UTF-8", nullptr);
    if (german == nullptr) {
        GTEST_SKIP() << "locale de_DE.UTF-8 is not installed (scripts/install-deps.sh makes it)";
    }
    ::freelocale(german);
    const std::string path = makeSource(Source::StereoAc3);

    const ProgramRun run =
        runJob(path,
               Join({kWav, Set("ChkSplitStartPoint.Value=1"), Set("TxtStartPoint.Text=0.5"),
                     Set("ChkSplitEndPoint.Value=1"), Set("TxtEndPoint.Text=2.25"),
                     Set("TxtDelay.Text=12,5")}),
               {{"LC_ALL", "de_DE.UTF-8"}});

    ASSERT_EQ(run.exitCode, 0) << run.output;
    const std::string arguments = ArgumentsLine(readFile(log()));
    EXPECT_NE(arguments.find("-ota( -d 12,5 )"), std::string::npos) << arguments;
    EXPECT_NE(arguments.find("-split( -start 0,5 -end 2,25 )"), std::string::npos) << arguments;
    EXPECT_NEAR(decodedSeconds(inFolder("Stream1.wav")), 1.75 + 0.0125, kWavTolerance);
}

TEST_F(BatchJob, ACopyJobRunsNothingAndLeavesTheSourceUntouched) {
    const std::string path = makeSource(Source::Surround51Ac3);
    const std::string before = readFile(path);

    const ProgramRun run = runJob(path, Join({kAc3, Set("ChkAC3Reencode.Value=0")}));

    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("message: Not Found: No Log File Found\n"), std::string::npos)
        << run.output;
    EXPECT_FALSE(fs::exists(log()));
    EXPECT_EQ(filesIn(folder_.string()), Words{Describe(Source::Surround51Ac3).name});
    EXPECT_EQ(readFile(path), before);
}

TEST_F(BatchJob, ACorruptSourceFailsWithALogEntryAReportAndNoOutput) {
    const std::string path = makeSource(Source::Corrupt);

    const ProgramRun run = runJob(path, kMp3);

    EXPECT_EQ(run.exitCode, 1) << run.output;
    // The report gives the reason from the transcoder's own result line in the log.
    const std::string logText = readFile(log());
    const std::string reasonPrefix = "result: FAILED, ";
    const std::size_t reasonAt = logText.rfind(reasonPrefix);
    ASSERT_NE(reasonAt, std::string::npos) << logText;
    const std::string reason =
        logText.substr(reasonAt + reasonPrefix.size(),
                       logText.find('\n', reasonAt) - reasonAt - reasonPrefix.size());
    EXPECT_NE(run.output.find("message: Job Report: Not every job ran as it should:\n"
                              "Job 1 (broken.ac3): the transcoder failed (exit status 1): " +
                              reason + "\n"),
              std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find("log: " + log() + "\n"), std::string::npos) << run.output;
    EXPECT_NE(logText.find("engine error output (ffmpeg"), std::string::npos) << logText;
    EXPECT_NE(logText.find("result: FAILED"), std::string::npos) << logText;
    EXPECT_EQ(filesIn(folder_.string()), Words{"broken.ac3"});
}

} // namespace
} // namespace cantova::testing
