#include "support/program_runs.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <unistd.h>
#include <utility>

namespace cantova::testing {
namespace {

namespace fs = std::filesystem;
using Words = std::vector<std::string>;

constexpr double kSourceSeconds = 3.0;
// Names the set of sources below; change it whenever a source is added or changed.
constexpr const char* kSourceSet = "tones-3s, noise-40s, corrupt\n";

Words split(const std::string& groups) {
    std::istringstream in(groups);
    Words words;
    for (std::string word; in >> word;) {
        words.push_back(word);
    }
    return words;
}

// Every test writes into a folder of its own; source and output folders have blanks in
// their names, as DVD rip folders often have.
class TranscoderRun : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!programsAvailable({"ffmpeg", "ffprobe", "lame", "oggenc"})) {
            return;
        }
        // Made once per build tree and kept, so that each test process does not make them
        // again; made under a temporary name first, so that a half-made set is never used.
        const fs::path kept = CANTOVA_TEST_SOURCES;
        if (readFile((kept / "complete").string()) != kSourceSet) {
            std::error_code ignored;
            fs::remove_all(kept, ignored);
            const fs::path making = kept.string() + ".making-" + std::to_string(::getpid());
            fs::create_directories(making);
            makeSources(making);
            if (::testing::Test::HasFailure()) {
                fs::remove_all(making, ignored);
                sourcesFailed_ = true;
                return;
            }
            std::ofstream(making / "complete") << kSourceSet;
            std::error_code taken;
            fs::rename(making, kept, taken);
            if (taken) {
                fs::remove_all(making, taken);
            }
        }
        sources_ = kept;
    }

    static void makeSources(const fs::path& folder) {
        auto in = [&](const std::string& name) { return (folder / name).string(); };
        const std::string seconds = std::to_string(kSourceSeconds);
        const std::string tones = "sine=f=440:d=" + seconds + ":sample_rate=48000";
        runFfmpeg({"-f", "lavfi", "-i", tones, "-af",
                   "pan=5.1(side)|c0=0.5*c0|c1=0.4*c0|c2=0.3*c0|c3=0.2*c0|c4=0.2*c0|c5=0.2*c0",
                   "-c:a", "ac3", "-b:a", "448k", "-dialnorm", "-21",
                   in("VTS_01 DELAY -40ms.ac3")});
        runFfmpeg({"-f", "lavfi", "-i", tones, "-ac", "2", "-c:a", "ac3", "-b:a", "192k",
                   in("stereo.ac3")});
        runFfmpeg({"-f", "lavfi", "-i", tones, "-ac", "2", "-c:a", "mp2", "-b:a", "192k",
                   in("stereo.mp2")});
        runFfmpeg({"-f", "lavfi", "-i", tones, "-ac", "2", "-f", "s16be", in("dvd.pcm")});
        runFfmpeg({"-f", "lavfi", "-i", "sine=f=300:d=" + seconds + ":sample_rate=44100", "-ac",
                   "2", "-c:a", "pcm_s16le", in("wave.wav")});
        runFfmpeg({"-f", "lavfi", "-i", "anoisesrc=d=40:r=48000:a=0.2", "-ac", "6", "-c:a", "ac3",
                   "-b:a", "448k", in("long.ac3")});
        std::ofstream corrupt(in("corrupt.ac3"), std::ios::binary);
        for (int i = 0; i < 20000; ++i) {
            corrupt.put(static_cast<char>((i * 7919) % 251));
        }
    }

    void SetUp() override {
        if (sourcesFailed_) {
            GTEST_FAIL() << "ffmpeg could not make the test sources";
        }
        if (sources_.empty()) {
            GTEST_SKIP() << "ffmpeg, ffprobe, lame or oggenc is not installed; the transcoder "
                            "run tests need them (scripts/install-deps.sh installs them)";
        }
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        folder_ = fs::temp_directory_path() /
                  ("cantova out " + std::string(test->name()) + " " + std::to_string(::getpid()));
        fs::create_directories(folder_);
    }

    void TearDown() override {
        std::error_code ignored;
        if (!folder_.empty()) {
            fs::remove_all(folder_, ignored);
        }
    }

    static std::string surround(const std::string& name) { return (sources_ / name).string(); }
    std::string out(const std::string& name) const { return (folder_ / name).string(); }
    std::string log() const { return out("Audio_Stream.log"); }

    // Runs the transcoder with the core group for source and output, a WAV channel flag when
    // given, and the other groups split at blanks.
    ProgramRun transcode(const std::string& source, const std::string& output,
                         const std::string& groups, const std::string& channelFlag = "") {
        Words argv = {CANTOVA_TRANSCODER, "-core(",  "-input",
                      surround(source),   "-output", out(output)};
        if (!channelFlag.empty()) {
            argv.push_back(channelFlag);
        }
        for (const std::string& word : Words{"-logfilea", log(), ")"}) {
            argv.push_back(word);
        }
        for (const std::string& word : split(groups)) {
            argv.push_back(word);
        }
        return runProgram(argv);
    }

    static inline fs::path sources_;
    static inline bool sourcesFailed_ = false;
    fs::path folder_;
};

constexpr double kMp3FrameSeconds = 1152.0 / 44100.0;

TEST_F(TranscoderRun, MakesAVbrMp3FromASurroundAc3WithEveryProcessingGroup) {
    const ProgramRun run = transcode(
        "VTS_01 DELAY -40ms.ac3", "Stream1.mp3",
        "-ota( -d -60 ) -azid( -s stereo -c normal -L -3db ) -boost( /b=3 /l=0.95 ) "
        "-lame( --alt-preset standard ) -ssrc( --rate 44100 ) -split( -start 0,5 -end 2.5 )");
    ASSERT_EQ(run.exitCode, 0) << readFile(log());
    const AudioStreamInfo info = probeAudio(out("Stream1.mp3"));
    EXPECT_EQ(info.codec, "mp3");
    EXPECT_EQ(info.channels, 2);
    EXPECT_EQ(info.sampleRate, 44100);
    EXPECT_NEAR(decodedSeconds(out("Stream1.mp3")), 2.0 - 0.060, kMp3FrameSeconds);
    EXPECT_NE(readFile(out("Stream1.mp3")).substr(0, 4096).find("Xing"), std::string::npos)
        << "a VBR file carries a Xing header";
    EXPECT_NE(run.output.find("progress 0%\n"), std::string::npos);
    EXPECT_TRUE(run.output.ends_with("progress 100%\n")) << run.output;

    const std::string text = readFile(log());
    EXPECT_NE(text.find("==== "), std::string::npos);
    EXPECT_NE(text.find("arguments: "), std::string::npos);
    EXPECT_NE(text.find("-split( -start 0,5 -end 2.5 )"), std::string::npos);
    EXPECT_NE(text.find("engine: ffmpeg "), std::string::npos);
    EXPECT_NE(text.find("engine: lame --quiet --preset standard"), std::string::npos);
    EXPECT_NE(text.find("result: OK, wrote " + out("Stream1.mp3")), std::string::npos);
    // The loudness curves lie beside the log, and the job names them.
    EXPECT_EQ(filesIn(folder_.string()),
              (Words{"Audio_Stream.Stream1.mp3.loudness", "Audio_Stream.log", "Stream1.mp3"}));
    EXPECT_NE(
        run.output.find("\nsound: curves: " + out("Audio_Stream.Stream1.mp3.loudness") + "\n"),
        std::string::npos)
        << run.output;
}

TEST_F(TranscoderRun, MakesAConstantBitrateMp3FromMpegAudio) {
    ASSERT_EQ(transcode("stereo.mp2", "Stream1.mp3", "-lame( -b 128 -b 64 )").exitCode, 0)
        << readFile(log());
    const AudioStreamInfo info = probeAudio(out("Stream1.mp3"));
    EXPECT_EQ(info.codec, "mp3");
    EXPECT_EQ(info.bitRate, 128000) << "the minimum bitrate must not replace the CBR bitrate";
    EXPECT_NE(readFile(out("Stream1.mp3")).substr(0, 4096).find("Info"), std::string::npos)
        << "a CBR file carries an Info header";
    EXPECT_NEAR(decodedSeconds(out("Stream1.mp3")), kSourceSeconds, kMp3FrameSeconds);
}

TEST_F(TranscoderRun, PadsADvdLpcmSourceByAPositiveDelay) {
    ASSERT_EQ(transcode("dvd.pcm", "Stream1.mp3", "-ota( -d +500 ) -lame( --abr 192 )").exitCode, 0)
        << readFile(log());
    const AudioStreamInfo info = probeAudio(out("Stream1.mp3"));
    EXPECT_EQ(info.sampleRate, 48000);
    EXPECT_NEAR(decodedSeconds(out("Stream1.mp3")), kSourceSeconds + 0.5, 1152.0 / 48000.0);
}

TEST_F(TranscoderRun, MakesVorbisInStereoOrSixChannels) {
    ASSERT_EQ(transcode("VTS_01 DELAY -40ms.ac3", "Stream1.ogg",
                        "-ota( -d auto ) -azid( -s surround2 ) -ogg( -q 0.350 )")
                  .exitCode,
              0)
        << readFile(log());
    const AudioStreamInfo stereo = probeAudio(out("Stream1.ogg"));
    EXPECT_EQ(stereo.codec, "vorbis");
    EXPECT_EQ(stereo.channels, 2);
    EXPECT_NEAR(decodedSeconds(out("Stream1.ogg")), kSourceSeconds - 0.040, 0.025);
    EXPECT_NE(readFile(log()).find("delay: -40 ms from the input's name"), std::string::npos);

    ASSERT_EQ(transcode("VTS_01 DELAY -40ms.ac3", "Stream2.ogg",
                        "-ogg( -b 160 -m 96 -M 256 -6ch ) -boost( /b2=2 )")
                  .exitCode,
              0)
        << readFile(log());
    EXPECT_EQ(probeAudio(out("Stream2.ogg")).channels, 6);
    EXPECT_NE(readFile(log()).find("oggenc --quiet --ignorelength -b 160 -m 96 -M 256 --managed"),
              std::string::npos);
}

TEST_F(TranscoderRun, EncodesAc3KeepingTheChannelsUnlessAStereoModeIsAsked) {
    ASSERT_EQ(transcode("VTS_01 DELAY -40ms.ac3", "Stream1.ac3", "-ac3enc( -b 384 )").exitCode, 0)
        << readFile(log());
    const AudioStreamInfo surround = probeAudio(out("Stream1.ac3"));
    EXPECT_EQ(surround.codec, "ac3");
    EXPECT_EQ(surround.channels, 6);
    EXPECT_EQ(surround.bitRate, 384000);
    ASSERT_EQ(transcode("VTS_01 DELAY -40ms.ac3", "Stream2.ac3",
                        "-azid( -s surround ) -ac3enc( -b 192 ) -ssrc( --rate 32000 )")
                  .exitCode,
              0)
        << readFile(log());
    const AudioStreamInfo stereo = probeAudio(out("Stream2.ac3"));
    EXPECT_EQ(stereo.channels, 2);
    EXPECT_EQ(stereo.sampleRate, 32000);
    EXPECT_EQ(stereo.bitRate, 192000);
}

TEST_F(TranscoderRun, ResamplesAnAc3OnceToTheNearestRateItCanCarry) {
    ASSERT_EQ(
        transcode("stereo.ac3", "Stream1.ac3", "-ac3enc( -b 192 ) -ssrc( --rate 22050 )").exitCode,
        0)
        << readFile(log());
    EXPECT_EQ(probeAudio(out("Stream1.ac3")).sampleRate, 32000);
    const std::string text = readFile(log());
    EXPECT_NE(text.find("ssrc: the target cannot carry 22050 Hz, resampled to 32000 Hz"),
              std::string::npos)
        << text;
    EXPECT_EQ(text.find("aresample=22050"), std::string::npos) << text;
}

TEST_F(TranscoderRun, WritesWavInEachChannelMode) {
    ASSERT_EQ(transcode("wave.wav", "Stream1.wav", "", "-2ch").exitCode, 0) << readFile(log());
    const AudioStreamInfo stereo = probeAudio(out("Stream1.wav"));
    EXPECT_EQ(stereo.codec, "pcm_s16le");
    EXPECT_EQ(stereo.channels, 2);
    EXPECT_EQ(stereo.sampleRate, 44100);

    ASSERT_EQ(transcode("VTS_01 DELAY -40ms.ac3", "Stream2.wav",
                        "-ssrc( --rate 22050 ) -split( -end 1,5 )", "-6chwav")
                  .exitCode,
              0)
        << readFile(log());
    const AudioStreamInfo six = probeAudio(out("Stream2.wav"));
    EXPECT_EQ(six.channels, 6);
    EXPECT_EQ(six.sampleRate, 22050);
    EXPECT_NEAR(decodedSeconds(out("Stream2.wav")), 1.5, 0.001);

    ASSERT_EQ(transcode("VTS_01 DELAY -40ms.ac3", "Stream3.wav", "", "-6ch").exitCode, 0)
        << readFile(log());
    for (const char* channel : {"FL", "FR", "FC", "LFE", "SL", "SR"}) {
        const std::string name = out(std::string("Stream3_") + channel + ".wav");
        EXPECT_EQ(probeAudio(name).channels, 1) << name;
    }
    EXPECT_FALSE(fs::exists(out("Stream3.wav")));
}

TEST_F(TranscoderRun, NormalisesThePeakBeforeOrAfterEncoding) {
    ASSERT_EQ(transcode("stereo.ac3", "Stream1.wav", "-ota( -g max )", "-2ch").exitCode, 0)
        << readFile(log());
    EXPECT_NEAR(decodedPeakDb(out("Stream1.wav")), 0.0, 0.1);

    // Lossy outputs land in [-1, 0] dBFS, aimed at -0.3.
    ASSERT_EQ(transcode("stereo.ac3", "Stream2.mp3", "-ota( -G 1 ) -lame( -b 192 )").exitCode, 0)
        << readFile(log());
    EXPECT_LE(decodedPeakDb(out("Stream2.mp3")), 0.0);
    EXPECT_GE(decodedPeakDb(out("Stream2.mp3")), -1.0);

    ASSERT_EQ(transcode("stereo.ac3", "Stream3.ogg", "-ota( -hybridgain ) -ogg( -q 0.5 )").exitCode,
              0)
        << readFile(log());
    EXPECT_LT(decodedPeakDb(out("Stream3.ogg")), 0.3);
    EXPECT_GT(decodedPeakDb(out("Stream3.ogg")), -1.5);
}

TEST_F(TranscoderRun, NormalisingAfterEncodingStopsWhereLameWouldClipItsInput) {
    // A quiet tone whose MP3 peaks 0.9 dB below its input: the decoded peak cannot reach full
    // scale without taking lame's input past it, where lame clips. The gain stops there.
    ASSERT_EQ(transcode("VTS_01 DELAY -40ms.ac3", "Stream1.mp3",
                        "-ota( -G 1 ) -azid( -s surround2 -c light -L -3db ) "
                        "-lame( --alt-preset cbr 128 )")
                  .exitCode,
              0)
        << readFile(log());
    const std::string text = readFile(log());
    const double peak = decodedPeakDb(out("Stream1.mp3"));
    EXPECT_LE(peak, 0.0) << text;
    EXPECT_GE(peak, -1.0) << text;
    // The last gain on the processed peak (logged to a tenth of a dB) at most at full scale.
    double lastGain = NAN;
    const std::regex gainLine(R"(\ngain: (-?[\d.]+) dB\n)");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), gainLine);
         it != std::sregex_iterator(); ++it) {
        lastGain = std::stod((*it)[1]);
    }
    std::smatch processed;
    ASSERT_TRUE(
        std::regex_search(text, processed, std::regex(R"(processed: sample peak (-?[\d.]+) dBFS)")))
        << text;
    EXPECT_LE(std::stod(processed[1]) + lastGain, 0.0) << text;
}

TEST_F(TranscoderRun, BoostsUpToTheLimiterCeiling) {
    ASSERT_EQ(transcode("stereo.ac3", "Stream1.wav", "-boost( /b=8 /l=0.5 )", "-2ch").exitCode, 0)
        << readFile(log());
    EXPECT_NEAR(decodedPeakDb(out("Stream1.wav")), 20.0 * std::log10(0.5), 0.3);
}

TEST_F(TranscoderRun, NormalisesDialogueToTheAc3DialogueLevel) {
    ASSERT_EQ(transcode("VTS_01 DELAY -40ms.ac3", "Stream1.wav", "-azid( -n1 )", "-2ch").exitCode,
              0)
        << readFile(log());
    EXPECT_NE(readFile(log()).find("dialogue level -21 dBFS, gain -10 dB"), std::string::npos)
        << readFile(log());
}

TEST_F(TranscoderRun, FailingEngineLeavesALogEntryAndNoOutput) {
    const ProgramRun run = transcode("corrupt.ac3", "Stream1.mp3", "-lame( -b 128 )");
    EXPECT_NE(run.exitCode, 0);
    const std::string text = readFile(log());
    EXPECT_NE(text.find("engine error output (ffmpeg"), std::string::npos) << text;
    EXPECT_NE(text.find("result: FAILED"), std::string::npos) << text;
    EXPECT_EQ(filesIn(folder_.string()), Words{"Audio_Stream.log"});
}

TEST_F(TranscoderRun, FailsWithoutOutputWhenNothingIsLeftToEncode) {
    // Through an encoder and written by ffmpeg itself: both would end with an empty file.
    for (const auto& [output, groups] : std::vector<std::pair<std::string, std::string>>{
             {"Stream1.mp3", "-lame( --alt-preset standard ) -split( -start 5 -end 6 )"},
             {"Stream1.wav", "-ota( -d -3500 )"},
             // A peak mode, which measures the source before it encodes.
             {"Stream1.mp3", "-ota( -G 1 ) -split( -start 5 -end 6 ) -lame( -b 320 )"}}) {
        SCOPED_TRACE(output);
        EXPECT_EQ(transcode("stereo.ac3", output, groups).exitCode, 1);
        const std::string text = readFile(log());
        EXPECT_TRUE(text.ends_with("result: FAILED, no audio to encode: nothing is left of the "
                                   "source after the split and the delay, or it holds none\n"))
            << text;
        EXPECT_EQ(filesIn(folder_.string()), Words{"Audio_Stream.log"});
    }
}

TEST_F(TranscoderRun, StopsItsEnginesAndRemovesPartialOutputOnSigterm) {
    const ProgramRun run = runProgramStoppedAt(
        {CANTOVA_TRANSCODER, "-core(", "-input", surround("long.ac3"), "-output",
         out("Stream1.ogg"), "-logfilea", log(), ")", "-ogg(", "-q", "0.9", "-6ch", ")"},
        "progress 0%");
    EXPECT_NE(run.exitCode, 0);
    EXPECT_FALSE(run.output.ends_with("progress 100%\n")) << "the job ended before the stop";
    EXPECT_NE(readFile(log()).find("result: FAILED, stopped by a signal"), std::string::npos)
        << readFile(log());
    EXPECT_EQ(filesIn(folder_.string()), Words{"Audio_Stream.log"});
}

TEST_F(TranscoderRun, RefusesABadCommandLineAndLeavesTheSourceUntouched) {
    const ProgramRun refused = transcode("stereo.mp2", "Stream1.mp3", "-lame( -b )");
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_NE(readFile(log()).find("result: FAILED, command line refused: -lame( switch -b has "
                                   "no value"),
              std::string::npos);

    const std::string before = readFile(surround("stereo.ac3"));
    const ProgramRun inPlace =
        runProgram({CANTOVA_TRANSCODER, "-core(", "-input", surround("stereo.ac3"), "-output",
                    surround("stereo.ac3"), "-logfilea", log(), ")", "-ac3enc(", "-b", "192", ")"});
    EXPECT_NE(inPlace.exitCode, 0);
    EXPECT_EQ(readFile(surround("stereo.ac3")), before);
    EXPECT_EQ(filesIn(folder_.string()), Words{"Audio_Stream.log"});
}

} // namespace
} // namespace cantova::testing
