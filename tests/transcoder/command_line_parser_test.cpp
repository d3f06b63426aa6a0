#include "command/command_line_error.h"
#include "command/command_line_parser.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

namespace cantova {
namespace {

std::vector<std::string> words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> result;
    for (std::string word; in >> word;) {
        result.push_back(word);
    }
    return result;
}

const std::string kCore = "-core( -input /a/in.ac3 -output /a/Stream1.mp3 -logfilea /a/x.log ) ";

JobRequest parse(const std::string& line) {
    return parseCommandLine(words(line));
}

JobRequest parseWithCore(const std::string& groups) {
    return parse(kCore + groups);
}

TEST(CommandLineParser, ReadsTheFullMp3JobOfASurroundSource) {
    std::vector<std::string> argv = {"-core(",
                                     "-input",
                                     "/home/u/Rips/Movie Audio/VTS_01 DELAY -24ms.ac3",
                                     "-output",
                                     "/home/u/Rips/Movie Audio/Stream1.mp3",
                                     "-logfilea",
                                     "/home/u/Audio_Stream.log",
                                     ")"};
    for (const std::string& word : words(
             "-ota( -d -60 ) -azid( -s stereo -c normal -L -3db ) -boost( /b=3 /l=0.95 ) "
             "-lame( --alt-preset standard ) -ssrc( --rate 44100 ) -split( -start 10 -end 12 )")) {
        argv.push_back(word);
    }
    const JobRequest job = parseCommandLine(argv);
    EXPECT_EQ(job.core.input, "/home/u/Rips/Movie Audio/VTS_01 DELAY -24ms.ac3");
    EXPECT_EQ(job.core.output, "/home/u/Rips/Movie Audio/Stream1.mp3");
    EXPECT_EQ(job.core.logFile, "/home/u/Audio_Stream.log");
    EXPECT_EQ(job.core.wavChannels, WavChannels::Unspecified);
    ASSERT_TRUE(job.ota && job.azid && job.boost && job.lame && job.ssrc && job.split);
    EXPECT_DOUBLE_EQ(job.ota->delayMs, -60.0);
    EXPECT_EQ(job.azid->stereoMode, StereoMode::Plain);
    EXPECT_EQ(job.azid->compression, Compression::Normal);
    EXPECT_NEAR(*job.azid->lfeMixFactor, std::pow(10.0, -3.0 / 20.0), 1e-12);
    EXPECT_EQ(job.boost->algorithm, BoostAlgorithm::Rook);
    EXPECT_DOUBLE_EQ(job.boost->factor, 3.0);
    EXPECT_DOUBLE_EQ(job.boost->limit, 0.95);
    EXPECT_EQ(job.lame->switches, (std::vector<LameSwitch>{{"--alt-preset", {"standard"}}}));
    EXPECT_EQ(job.ssrc->rate, 44100);
    EXPECT_EQ(job.split->startSeconds, 10.0);
    EXPECT_EQ(job.split->endSeconds, 12.0);
}

TEST(CommandLineParser, ReadsTheChannelFlagOfWavJobs) {
    const std::pair<const char*, WavChannels> cases[] = {{"-2ch", WavChannels::Stereo},
                                                         {"-6chwav", WavChannels::SixChannelFile},
                                                         {"-6ch", WavChannels::SixMonoFiles}};
    for (const auto& [flag, channels] : cases) {
        const JobRequest job =
            parse(std::string("-core( -input i.ac3 -output o.wav ") + flag + " -logfilea l )");
        EXPECT_EQ(job.core.wavChannels, channels) << flag;
    }
}

TEST(CommandLineParser, ReadsDelaysAsTypedAndTheGainModes) {
    EXPECT_DOUBLE_EQ(parseWithCore("-ota( -d +60 )").ota->delayMs, 60.0);
    EXPECT_DOUBLE_EQ(parseWithCore("-ota( -d 60.0 )").ota->delayMs, 60.0);
    EXPECT_DOUBLE_EQ(parseWithCore("-ota( -d -24,5 )").ota->delayMs, -24.5);
    EXPECT_TRUE(parseWithCore("-ota( -d auto )").ota->autoDelay);
    EXPECT_EQ(parseWithCore("-ota( -g max )").ota->gain, GainMode::PeakBeforeEncoding);
    EXPECT_EQ(parseWithCore("-ota( -d auto -G 1 )").ota->gain, GainMode::PeakAfterEncoding);
    EXPECT_EQ(parseWithCore("-ota( -d -80 -hybridgain )").ota->gain, GainMode::Hybrid);
    EXPECT_FALSE(parseWithCore("-ota( )").ota.has_value());
}

TEST(CommandLineParser, ReadsTheLoudnessModeAndRefusesTargetsOutOfRange) {
    const OtaOptions ota = *parseWithCore("-ota( -d 20 -loudness -16 -truepeak -1,5 )").ota;
    EXPECT_EQ(ota.gain, GainMode::Loudness);
    EXPECT_DOUBLE_EQ(ota.loudness->lufs, -16.0);
    EXPECT_DOUBLE_EQ(ota.loudness->truePeakCeilingDb, -1.5);
    EXPECT_DOUBLE_EQ(parseWithCore("-ota( -loudness -23.5 )").ota->loudness->truePeakCeilingDb,
                     -1.0);
    EXPECT_DOUBLE_EQ(parseWithCore("-ota( -loudness -40 -truepeak 0 )").ota->loudness->lufs, -40.0);
    EXPECT_DOUBLE_EQ(
        parseWithCore("-ota( -truepeak -9 -loudness -5 )").ota->loudness->truePeakCeilingDb, -9.0);
    for (const char* groups :
         {"-ota( -loudness -41 )", "-ota( -loudness -4.9 )", "-ota( -loudness -23 -truepeak 0.1 )",
          "-ota( -loudness -23 -truepeak -9.5 )", "-ota( -truepeak -1 )", "-ota( -loudness loud )",
          "-ota( -g max -loudness -23 )", "-ota( -loudness -23 -truepeak -1 -truepeak -2 )",
          "-ota( -loudness )"}) {
        EXPECT_THROW(parseWithCore(groups), CommandLineError) << groups;
    }
}

TEST(CommandLineParser, ReadsEveryAzidSwitch) {
    const JobRequest job =
        parseWithCore("-azid( -n1 -s surround2 -c heavy -g 2db -L -3db --maximize )");
    EXPECT_TRUE(job.azid->dialogueNormalisation);
    EXPECT_EQ(job.azid->stereoMode, StereoMode::ProLogic2);
    EXPECT_EQ(job.azid->compression, Compression::Heavy);
    EXPECT_NEAR(*job.azid->gainFactor, std::pow(10.0, 2.0 / 20.0), 1e-12);
    EXPECT_TRUE(job.azid->maximize);
    EXPECT_EQ(parseWithCore("-azid( -s surround )").azid->stereoMode, StereoMode::DolbySurround);
    EXPECT_EQ(parseWithCore("-azid( -c light )").azid->compression, Compression::Light);
    EXPECT_DOUBLE_EQ(*parseWithCore("-azid( -g 150% )").azid->gainFactor, 1.5);
}

TEST(CommandLineParser, ReadsTheThreeBoostAlgorithms) {
    const JobRequest kestrel = parseWithCore("-boost( /b2=3 )");
    EXPECT_EQ(kestrel.boost->algorithm, BoostAlgorithm::Kestrel);
    EXPECT_DOUBLE_EQ(kestrel.boost->factor, 3.0);
    const JobRequest wren = parseWithCore("-boost( /b3=2,5 /l=0,9 )");
    EXPECT_EQ(wren.boost->algorithm, BoostAlgorithm::Wren);
    EXPECT_DOUBLE_EQ(wren.boost->factor, 2.5);
    EXPECT_DOUBLE_EQ(wren.boost->limit, 0.9);
    // An algorithm choice outside the list leaves an empty group: no boost.
    EXPECT_FALSE(parseWithCore("-boost( )").boost.has_value());
}

TEST(CommandLineParser, ReadsEveryLameSwitch) {
    const JobRequest job = parseWithCore(
        "-lame( -m j --scale 0,9 -b 128 --abr 160 -v --vbr-old --vbr-new --vbr-mtrh -V 2 -B 256 "
        "-p --lowpass 19 --athtype 2 --nspsytune --ns-bass -6 )");
    const std::vector<LameSwitch> expected = {
        {"-m", {"j"}},        {"--scale", {"0.9"}}, {"-b", {"128"}},      {"--abr", {"160"}},
        {"-v", {}},           {"--vbr-old", {}},    {"--vbr-new", {}},    {"--vbr-mtrh", {}},
        {"-V", {"2"}},        {"-B", {"256"}},      {"-p", {}},           {"--lowpass", {"19"}},
        {"--athtype", {"2"}}, {"--nspsytune", {}},  {"--ns-bass", {"-6"}}};
    EXPECT_EQ(job.lame->switches, expected);
}

TEST(CommandLineParser, ReadsEveryLamePresetForm) {
    const std::pair<const char*, LameSwitch> cases[] = {
        {"--alt-preset cbr 192", {"--alt-preset cbr", {"192"}}},
        {"--alt-preset 160", {"--alt-preset abr", {"160"}}},
        {"--alt-preset extreme", {"--alt-preset", {"extreme"}}},
        {"--alt-preset fast extreme", {"--alt-preset", {"fast", "extreme"}}},
        {"--alt-preset fast standard", {"--alt-preset", {"fast", "standard"}}},
        {"--alt-preset medium", {"--alt-preset", {"medium"}}},
        {"--alt-preset fast medium", {"--alt-preset", {"fast", "medium"}}},
        {"--preset r3mix", {"--preset r3mix", {}}},
        {"-m s", {"-m", {"s"}}},
        {"-m f", {"-m", {"f"}}}};
    for (const auto& [text, expected] : cases) {
        const JobRequest job = parseWithCore(std::string("-lame( ") + text + " )");
        EXPECT_EQ(job.lame->switches, std::vector<LameSwitch>{expected}) << text;
    }
    EXPECT_TRUE(parseWithCore("-lame( )").lame->switches.empty());
}

TEST(CommandLineParser, ReadsTheVorbisAndAc3EncoderGroups) {
    const JobRequest managed =
        parse("-core( -input i.ac3 -output o.ogg -logfilea l ) -ogg( -b 160 -m 96 -M 256 -6ch )");
    EXPECT_EQ(managed.ogg->nominalBitrate, 160);
    EXPECT_EQ(managed.ogg->minBitrate, 96);
    EXPECT_EQ(managed.ogg->maxBitrate, 256);
    EXPECT_TRUE(managed.ogg->sixChannels);
    const JobRequest quality =
        parse("-core( -input i.ac3 -output o.ogg -logfilea l ) -ogg( -q 0.42 )");
    EXPECT_DOUBLE_EQ(*quality.ogg->quality, 0.42);
    EXPECT_FALSE(quality.ogg->sixChannels);
    for (int bitrate : {32, 448, 640}) {
        EXPECT_EQ(parse("-core( -input i.ac3 -output o.ac3 -logfilea l ) -ac3enc( -b " +
                        std::to_string(bitrate) + " )")
                      .ac3enc->bitrate,
                  bitrate);
    }
}

TEST(CommandLineParser, ReadsTheOpusAndFlacEncoderGroups) {
    const JobRequest variable =
        parse("-core( -input i.ac3 -output o.opus -logfilea l ) -opus( -b 256 )");
    EXPECT_EQ(variable.opus->bitrate, 256);
    EXPECT_EQ(variable.opus->rateMode, OpusRateMode::Variable);
    EXPECT_FALSE(variable.opus->stereo);
    const JobRequest constant =
        parse("-core( -input i.ac3 -output o.opus -logfilea l ) -opus( -s -cbr -b 64 )");
    EXPECT_EQ(constant.opus->bitrate, 64);
    EXPECT_EQ(constant.opus->rateMode, OpusRateMode::Constant);
    EXPECT_TRUE(constant.opus->stereo);
    EXPECT_EQ(parse("-core( -input i.ac3 -output o.opus -logfilea l ) -opus( -b 512 -cvbr )")
                  .opus->rateMode,
              OpusRateMode::Constrained);
    EXPECT_EQ(
        parse("-core( -input i.wav -output o.flac -logfilea l ) -flac( )").flac->compressionLevel,
        5);
    EXPECT_EQ(parse("-core( -input i.wav -output o.flac -logfilea l ) -flac( -c 12 )")
                  .flac->compressionLevel,
              12);
}

TEST(CommandLineParser, ReadsResamplingAndSplitPointsInEitherDecimalForm) {
    EXPECT_EQ(parseWithCore("-ssrc( --rate 32000 )").ssrc->rate, 32000);
    EXPECT_EQ(parseWithCore("-ssrc( --rate 8000 )").ssrc->rate, 8000);
    EXPECT_EQ(parseWithCore("-ssrc( --rate 192000 )").ssrc->rate, 192000);
    EXPECT_NO_THROW(parse("-core( -input /r/a_192kHz.pcm -output o.wav -logfilea l )"));
    const JobRequest point = parseWithCore("-split( -start 12.5 -end 20 )");
    EXPECT_EQ(point.split->startSeconds, 12.5);
    EXPECT_EQ(point.split->endSeconds, 20.0);
    const JobRequest comma = parseWithCore("-split( -end 12,5 )");
    EXPECT_FALSE(comma.split->startSeconds.has_value());
    EXPECT_EQ(comma.split->endSeconds, 12.5);
}

TEST(CommandLineParser, AcceptsTheGroupOrdersOfBothVorbisKinds) {
    const std::string core = "-core( -input i.ac3 -output o.ogg -logfilea l ) ";
    EXPECT_NO_THROW(
        parse(core + "-ota( -d 5 ) -ogg( -q 0.5 ) -boost( /b2=2 ) -ssrc( --rate 44100 )"));
    EXPECT_NO_THROW(parse(core + "-ota( -d 5 ) -azid( -n1 ) -boost( /b2=2 ) -ogg( -q 0.5 )"));
}

TEST(CommandLineParser, RefusesMalformedCommandLines) {
    const char* refused[] = {
        // structure
        "",
        "-ota( -d 5 )",
        "-core( -input i -output o.mp3 -logfilea l",
        "-core( -input i -output o.mp3 -logfilea l ) -lame( -b 128",
        "-core( -input i -output o.mp3 -logfilea l ) -lame( ) -lame( )",
        "-core( -input i -output o.mp3 -logfilea l ) -volume( )",
        "-core( -input i -output o.mp3 -logfilea l ) stray",
        "-core( -input i -output o.mp3 -logfilea l ) -lame( ) -ogg( -q 0.5 )",
        "-core( -input i -output o.opus -logfilea l ) -opus( -b 128 ) -flac( )",
        // core
        "-core( -input i -output o.mp3 )",
        "-core( -input i -output o.mp3 -logfilea )",
        "-core( -input i -input j -output o.mp3 -logfilea l )",
        "-core( -input i -output o.wav -2ch -6ch -logfilea l )",
        "-core( -input i -output o.mp3 -logfilea l -quiet )",
        // OTA
        "-core( -input i -output o.mp3 -logfilea l ) -ota( -d )",
        "-core( -input i -output o.mp3 -logfilea l ) -ota( -d 6o )",
        "-core( -input i -output o.mp3 -logfilea l ) -ota( -g min )",
        "-core( -input i -output o.mp3 -logfilea l ) -ota( -G 2 )",
        "-core( -input i -output o.mp3 -logfilea l ) -ota( -g max -hybridgain )",
        // Azid
        "-core( -input i -output o.mp3 -logfilea l ) -azid( -s mono )",
        "-core( -input i -output o.mp3 -logfilea l ) -azid( -c )",
        "-core( -input i -output o.mp3 -logfilea l ) -azid( -g db )",
        "-core( -input i -output o.mp3 -logfilea l ) -azid( -L )",
        "-core( -input i -output o.mp3 -logfilea l ) -azid( -x )",
        // boost
        "-core( -input i -output o.mp3 -logfilea l ) -boost( /b= /l= )",
        "-core( -input i -output o.mp3 -logfilea l ) -boost( /b=3 )",
        "-core( -input i -output o.mp3 -logfilea l ) -boost( /b2=3 /l=0.9 )",
        "-core( -input i -output o.mp3 -logfilea l ) -boost( /b=3 /l=1.5 )",
        "-core( -input i -output o.mp3 -logfilea l ) -boost( /b=3 /b2=3 /l=0.9 )",
        "-core( -input i -output o.mp3 -logfilea l ) -boost( /c=3 )",
        // LAME
        "-core( -input i -output o.mp3 -logfilea l ) -lame( -b )",
        "-core( -input i -output o.mp3 -logfilea l ) -lame( -b -B 256 )",
        "-core( -input i -output o.mp3 -logfilea l ) -lame( -m x )",
        "-core( -input i -output o.mp3 -logfilea l ) -lame( -V 10 )",
        "-core( -input i -output o.mp3 -logfilea l ) -lame( --alt-preset insane )",
        "-core( -input i -output o.mp3 -logfilea l ) -lame( --alt-preset fast )",
        "-core( -input i -output o.mp3 -logfilea l ) -lame( --preset standard )",
        "-core( -input i -output o.mp3 -logfilea l ) -lame( --scale )",
        "-core( -input i -output o.mp3 -logfilea l ) -lame( --resample 44 )",
        // Vorbis and AC3 encoder
        "-core( -input i -output o.ogg -logfilea l ) -ogg( -b )",
        "-core( -input i -output o.ogg -logfilea l ) -ogg( -q 2 )",
        "-core( -input i -output o.ogg -logfilea l ) -ogg( -q 0.5 -b 128 )",
        "-core( -input i -output o.ogg -logfilea l ) -ogg( -6ch )",
        "-core( -input i -output o.ac3 -logfilea l ) -ac3enc( -b )",
        "-core( -input i -output o.ac3 -logfilea l ) -ac3enc( )",
        "-core( -input i -output o.ac3 -logfilea l ) -ac3enc( -b 99999 )",
        "-core( -input i -output o.ac3 -logfilea l ) -ac3enc( -b 641 )",
        "-core( -input i -output o.ac3 -logfilea l ) -ac3enc( -b 31 )",
        // Opus and FLAC encoder
        "-core( -input i -output o.opus -logfilea l ) -opus( )",
        "-core( -input i -output o.opus -logfilea l ) -opus( -b 63 )",
        "-core( -input i -output o.opus -logfilea l ) -opus( -b 513 )",
        "-core( -input i -output o.opus -logfilea l ) -opus( -b 128 -b 128 )",
        "-core( -input i -output o.opus -logfilea l ) -opus( -b 128 -cbr -cvbr )",
        "-core( -input i -output o.flac -logfilea l ) -flac( -c 13 )",
        "-core( -input i -output o.flac -logfilea l ) -flac( -c -1 )",
        "-core( -input i -output o.flac -logfilea l ) -flac( -c )",
        "-core( -input i -output o.flac -logfilea l ) -flac( -b 16 )",
        // SSRC and split
        "-core( -input i -output o.mp3 -logfilea l ) -ssrc( --rate )",
        "-core( -input i -output o.mp3 -logfilea l ) -ssrc( --rate 0 )",
        "-core( -input i -output o.mp3 -logfilea l ) -ssrc( --rate 7999 )",
        "-core( -input i -output o.mp3 -logfilea l ) -ssrc( --rate 192001 )",
        "-core( -input i -output o.mp3 -logfilea l ) -ssrc( --rate 2147483647 )",
        "-core( -input i -output o.mp3 -logfilea l ) -ssrc( --rate 99999999999 )",
        // LPCM whose name gives a sample rate out of range
        "-core( -input /r/a_99999999999kHz.pcm -output o.wav -logfilea l )",
        "-core( -input /r/a_7.9kHz.pcm -output o.wav -logfilea l )",
        "-core( -input /r/a_999999Hz.pcm -output o.wav -logfilea l )",
        "-core( -input i -output o.mp3 -logfilea l ) -split( -start )",
        "-core( -input i -output o.mp3 -logfilea l ) -split( -start 10 -end 2 )",
        "-core( -input i -output o.mp3 -logfilea l ) -split( -middle 3 )",
    };
    for (const char* line : refused) {
        EXPECT_THROW(parse(line), CommandLineError) << line;
    }
}

TEST(CommandLineParser, FindsTheLogOfARefusedCommandLine) {
    EXPECT_EQ(findLogFile(words("-core( -input i -logfilea /t/a.log -bogus )")), "/t/a.log");
    EXPECT_FALSE(findLogFile(words("-core( -input i -logfilea )")).has_value());
}

TEST(CommandLineParser, ReadsTheTrackOfAContainer) {
    const JobRequest job = parse("-core( -input /a/film.mkv -track 3 -output /a/Stream1.mp3 "
                                 "-logfilea /a/x.log ) -lame( --alt-preset cbr 128 )");
    EXPECT_EQ(job.core.track, 3);
    EXPECT_FALSE(parseWithCore("-lame( --alt-preset cbr 128 )").core.track);
    for (const char* track : {"0", "-1", "x", "1000", "2.5"}) {
        EXPECT_THROW(parse(std::string("-core( -input /a/f.mkv -track ") + track +
                           " -output /a/Stream1.wav -logfilea /a/x.log )"),
                     CommandLineError)
            << track;
    }
    EXPECT_THROW(parse("-core( -input /a/f.mkv -track 1 -track 2 -output /a/Stream1.wav "
                       "-logfilea /a/x.log )"),
                 CommandLineError);
}

} // namespace
} // namespace cantova
