#include "command/command_line_error.h"
#include "command/decimal_text.h"
#include "command/target_plan.h"
#include "sound/source_format.h"

#include <gtest/gtest.h>

namespace cantova {
namespace {

using Words = std::vector<std::string>;

TEST(SourceFormat, AssumesDvdLpcmUnlessTheNameSaysOtherwise) {
    EXPECT_EQ(lpcmFormatFromName("/r/VTS_01 T01.pcm"), (LpcmFormat{48000, 16, 2}));
    EXPECT_EQ(lpcmFormatFromName("/r/track 96kHz 24bit 6ch.pcm"), (LpcmFormat{96000, 24, 6}));
    EXPECT_EQ(lpcmFormatFromName("/r/cd_44.1KHZ_mono.PCM"), (LpcmFormat{44100, 16, 1}));
    EXPECT_EQ(sourceReadArguments("/r/a.pcm", std::nullopt),
              (Words{"-f", "s16be", "-ar", "48000", "-ac", "2"}));
}

TEST(SourceFormat, SetsTheAc3DecodersCompressionOnlyForAc3Sources) {
    EXPECT_EQ(sourceReadArguments("/r/a.ac3", std::nullopt), (Words{"-drc_scale", "0"}));
    AzidOptions azid;
    azid.compression = Compression::Light;
    EXPECT_EQ(sourceReadArguments("/r/a.AC3", azid), (Words{"-drc_scale", "0.5"}));
    azid.compression = Compression::Heavy;
    EXPECT_EQ(sourceReadArguments("/r/a.ac3", azid),
              (Words{"-drc_scale", "1", "-heavy_compr", "1"}));
    EXPECT_TRUE(sourceReadArguments("/r/a.mp2", azid).empty());
}

TEST(SourceFormat, TakesTheDelayFromTheFileName) {
    EXPECT_EQ(delayFromFileName("/r/VTS_01 T01 DELAY -24ms.ac3"), -24.0);
    EXPECT_EQ(delayFromFileName("/r/x delay 120ms.ac3"), 120.0);
    EXPECT_EQ(delayFromFileName("/r/DELAY +7,5ms.ac3"), 7.5);
    EXPECT_FALSE(delayFromFileName("/DELAY -24ms/track.ac3").has_value());
}

TEST(DecimalText, ReadsPointAndCommaButNothingLooser) {
    EXPECT_EQ(parseDecimal("12.5"), 12.5);
    EXPECT_EQ(parseDecimal("12,5"), 12.5);
    EXPECT_EQ(parseDecimal("+60"), 60.0);
    EXPECT_EQ(parseDecimal("-24"), -24.0);
    for (const char* refused : {"", "-", "1.2.3", "12 ", "1e3", "12s", "++1", "0x10"}) {
        EXPECT_FALSE(parseDecimal(refused).has_value()) << refused;
    }
    EXPECT_EQ(formatDecimal(0.9), "0.9");
    EXPECT_EQ(formatDecimal(44100.0), "44100");
}

TEST(TargetPlan, MatchesTheOutputWithItsEncoderGroup) {
    JobRequest job;
    job.core.output = "/o/Stream1.MP3";
    job.lame = LameOptions{};
    EXPECT_EQ(targetOf(job), Target::Mp3);
    EXPECT_EQ(outputChannelsOf(job, Target::Mp3), OutputChannels::Stereo);
    job.core.output = "/o/Stream1.ogg";
    EXPECT_THROW(targetOf(job), CommandLineError);
    job.lame.reset();
    job.core.output = "/o/Stream1.wav";
    job.core.wavChannels = WavChannels::SixMonoFiles;
    EXPECT_EQ(targetOf(job), Target::Wav);
    EXPECT_EQ(outputChannelsOf(job, Target::Wav), OutputChannels::FiveOne);
    job.core.output = "/o/Stream1.aiff";
    EXPECT_THROW(targetOf(job), CommandLineError);
    job.core.output = "/o/Stream1.flac";
    EXPECT_THROW(targetOf(job), CommandLineError) << "a channel flag, or no FLAC group";
    job.core.wavChannels = WavChannels::Unspecified;
    EXPECT_THROW(targetOf(job), CommandLineError) << "no FLAC group";
    job.flac = FlacOptions{};
    EXPECT_EQ(targetOf(job), Target::Flac);
    EXPECT_EQ(outputChannelsOf(job, Target::Flac), OutputChannels::AsSource);
    job.core.output = "/o/Stream1.wav";
    EXPECT_THROW(targetOf(job), CommandLineError) << "a FLAC group for a WAV output";
    job.flac.reset();
    job.core.output = "/o/Stream1.Opus";
    job.opus = OpusOptions{128};
    EXPECT_EQ(targetOf(job), Target::Opus);
    EXPECT_EQ(outputChannelsOf(job, Target::Opus), OutputChannels::AsSource);
    job.opus->stereo = true;
    EXPECT_EQ(outputChannelsOf(job, Target::Opus), OutputChannels::Stereo);
    EXPECT_EQ(targetSampleRate(Target::Opus, 44100), 48000);
    EXPECT_EQ(targetSampleRate(Target::Opus, 22050), 24000);
    EXPECT_EQ(targetSampleRate(Target::Flac, 44100), 44100);
    job.opus.reset();
    job.core.output = "/o/Stream1.ac3";
    job.core.wavChannels = WavChannels::Unspecified;
    job.ac3enc = Ac3EncOptions{448};
    EXPECT_EQ(outputChannelsOf(job, Target::Ac3), OutputChannels::AsSource);
    job.azid = AzidOptions{};
    job.azid->stereoMode = StereoMode::Plain;
    EXPECT_EQ(outputChannelsOf(job, Target::Ac3), OutputChannels::Stereo);
}

TEST(TrackSource, ATrackIsReadWithTheAc3DecodersSettingsAndCopiedOnlyWithoutGroups) {
    EXPECT_EQ(sourceReadArguments("/r/film.mkv", std::nullopt, true), (Words{"-drc_scale", "0"}));
    EXPECT_TRUE(sourceReadArguments("/r/film.mkv", std::nullopt).empty());
    JobRequest job;
    job.core.input = "/r/film.mkv";
    job.core.output = "/r/Stream1.ac3";
    EXPECT_THROW(targetOf(job), CommandLineError) << "no track, no encoder group";
    job.core.track = 2;
    EXPECT_TRUE(copiesTrackFrames(job));
    EXPECT_EQ(targetOf(job), Target::Ac3);
    job.split = SplitOptions{};
    EXPECT_FALSE(copiesTrackFrames(job));
    EXPECT_THROW(targetOf(job), CommandLineError);
}

TEST(TrackSource, TheStartAfterThePictureCountsEachStreamOnce) {
    // A transport stream lists the streams of its program, then every stream.
    const std::string report = "0,video,1.440000,\n1,audio,1.434667\n2,audio,1.940000\n\n"
                               "0,video,1.440000,0,\n1,audio,1.434667,0\n2,audio,1.940000,0\n";
    EXPECT_DOUBLE_EQ(*trackStartDelayMs(report, 1), -5.333);
    EXPECT_DOUBLE_EQ(*trackStartDelayMs(report, 2), 500.0);
    EXPECT_FALSE(trackStartDelayMs(report, 3));
    // A cover picture is no picture to line the sound up with; nor is a stream without a start.
    EXPECT_FALSE(trackStartDelayMs("0,audio,0.000000,0\n1,video,0.000000,1\n", 1));
    EXPECT_FALSE(trackStartDelayMs("0,video,N/A,0\n1,audio,0.500000,0\n", 1));
}

// The depth of a source is read from ffmpeg's description of the stream it reads, never from
// that of its own output, which is PCM whatever the source.
TEST(SourceFormat, DepthComesFromTheInputStreamOfPcmAndLosslessSources) {
    const auto bits = [](const std::string& input, const std::string& frameFormat) {
        const std::optional<SourceInfo> info = readSourceProbe(
            "Input #0, x, from 'a':\n  Stream #0:0: Audio: " + input +
            "\nStream mapping:\nOutput #0, null, to 'pipe:':\n  Stream #0:0: Audio: pcm_s16le, "
            "48000 Hz, stereo, s16, 1536 kb/s\n[Parsed_ashowinfo_0 @ 0x5] n:0 pts:0 pts_time:0 "
            "pos:102 fmt:" +
            frameFormat + " channels:2 chlayout:stereo rate:48000 nb_samples:4608\n");
        return info ? info->pcmBits : -1;
    };
    EXPECT_EQ(bits("flac, 48000 Hz, stereo, s32 (24 bit)", "s32"), 24);
    EXPECT_EQ(bits("flac, 48000 Hz, stereo, s16", "s16"), 0);
    EXPECT_EQ(bits("truehd, 48000 Hz, stereo, s32 (24 bit)", "s32"), 24);
    EXPECT_EQ(bits("pcm_s24le ([1][0][0][0] / 0x0001), 48000 Hz, stereo, s32 (24 bit)", "s32"), 24);
    EXPECT_EQ(bits("pcm_f32le, 48000 Hz, stereo, flt", "flt"), 32);
    // A lossy decoder's float samples have no depth of their own.
    EXPECT_EQ(bits("ac3, 48000 Hz, stereo, fltp, 192 kb/s", "fltp"), 0);
    EXPECT_EQ(bits("aac (LC), 48000 Hz, stereo, fltp (24 bit)", "fltp"), 0);
}

// The decoded format tells whether samples beyond full scale can be the source's own.
TEST(SourceFormat, FloatSamplesComeFromTheDecodedFrames) {
    const auto decodedAsFloat = [](const std::string& frameFormat) {
        const std::optional<SourceInfo> info = readSourceProbe(
            "[Parsed_ashowinfo_0 @ 0x5] n:0 pts:0 pts_time:0 pos:102 fmt:" + frameFormat +
            " channels:2 chlayout:stereo rate:48000 nb_samples:1\n");
        return info ? std::optional(info->floatSamples) : std::nullopt;
    };
    for (const char* format : {"flt", "fltp", "dbl", "dblp"}) {
        EXPECT_EQ(decodedAsFloat(format), true) << format;
    }
    for (const char* format : {"u8", "s16", "s16p", "s32", "s32p", "s64"}) {
        EXPECT_EQ(decodedAsFloat(format), false) << format;
    }
}

// A container's tracks are all described; the depth is the one of the track ffmpeg maps.
TEST(SourceFormat, DepthComesFromTheTrackTheJobReads) {
    const auto bits = [](const std::string& mapped) {
        const std::optional<SourceInfo> info = readSourceProbe(
            "Input #0, mpegts, from 'a':\n"
            "  Stream #0:0[0x1011]: Video: mpeg2video (Main), yuv420p, 720x576\n"
            "  Stream #0:1[0x1100](eng): Audio: ac3, 48000 Hz, 5.1(side), fltp, 448 kb/s\n"
            "  Stream #0:2[0x1101](fre): Audio: pcm_s24le, 48000 Hz, stereo, s32 (24 bit)\n"
            "  Stream #0:3: Audio: flac, 48000 Hz, stereo, s16\n"
            "Stream mapping:\n  Stream #0:" +
            mapped +
            " -> #0:0 (x (native) -> pcm_s16le (native))\nOutput #0, null, to 'pipe:':\n"
            "  Stream #0:0: Audio: pcm_s16le, 48000 Hz, stereo, s16, 1536 kb/s\n"
            "[Parsed_ashowinfo_0 @ 0x5] n:0 pts:0 pts_time:0 pos:102 fmt:s32 channels:2 "
            "chlayout:stereo rate:48000 nb_samples:4608\n");
        return info ? info->pcmBits : -1;
    };
    EXPECT_EQ(bits("1"), 0);
    EXPECT_EQ(bits("2"), 24);
    EXPECT_EQ(bits("3"), 0);
}

} // namespace
} // namespace cantova
