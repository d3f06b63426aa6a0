// What the transcoder does to levels beyond the matrices: the silence rule, the over
// protection, dither, AC3 metadata and delay, three-channel WAVE files, the loudness mode and
// the sound report. Signals of one to eight seconds; each test runs its jobs a few at a time.
#include "sound/ac3_header.h"
#include "transcoder/folder_per_test.h"
#include "transcoder/transcoder_harness.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <regex>
#include <unistd.h>

namespace cantova::testing {
namespace {

namespace fs = std::filesystem;

struct Job {
    std::string output;
    std::string groups;
    std::string channelFlag = "";
};

// What ffmpeg's ebur128 says of a decoded file: the tests measure with it, not with the
// transcoder's own report.
struct Loudness {
    double integrated = NAN;
    double range = NAN;
    double truePeak = NAN;
};

Loudness measureLoudness(const std::string& path) {
    const ProgramRun run =
        runProgram({"sh", "-c",
                    "ffmpeg -hide_banner -nostdin -i \"$0\" -af ebur128=peak=true:framelog=verbose "
                    "-f null - 2>&1 | sed -n '/Summary:/,$p'",
                    path});
    Loudness loudness;
    std::smatch match;
    if (std::regex_search(run.output, match, std::regex(R"(I:\s+(-?[\d.]+) LUFS)"))) {
        loudness.integrated = std::stod(match[1]);
    }
    if (std::regex_search(run.output, match, std::regex(R"(LRA:\s+(-?[\d.]+) LU)"))) {
        loudness.range = std::stod(match[1]);
    }
    if (std::regex_search(run.output, match,
                          std::regex(R"(True peak:\s+Peak:\s+(-?[\d.]+|-inf))"))) {
        loudness.truePeak = match[1] == "-inf" ? -INFINITY : std::stod(match[1]);
    }
    return loudness;
}

class SoundLevels : public FolderPerTest {
protected:
    void SetUp() override {
        if (!programsAvailable({"ffmpeg", "ffprobe", "lame", "oggenc", "sh", "sed"})) {
            GTEST_SKIP() << "ffmpeg, ffprobe, lame or oggenc is not installed";
        }
        makeFolder("levels");
    }
    std::string logOf(const Job& job) const { return path(job.output + ".log"); }
    std::string log(const std::string& output) const { return readFile(path(output + ".log")); }

    // Writes a source with ffmpeg: the arguments before the output name.
    std::string make(const std::string& name, Words arguments) {
        arguments.push_back(path(name));
        runFfmpeg(arguments);
        return path(name);
    }

    void runAll(const std::string& input, const std::vector<Job>& jobs) {
        std::vector<Words> commands;
        for (const Job& job : jobs) {
            commands.push_back(transcoderCommand(input, path(job.output), logOf(job), job.groups,
                                                 job.channelFlag));
        }
        const std::vector<int> statuses = runInParallel(commands);
        for (std::size_t i = 0; i < jobs.size(); ++i) {
            ASSERT_EQ(statuses[i], 0) << jobs[i].output << "\n" << readFile(logOf(jobs[i]));
        }
    }
};

Words lavfi(const std::string& source, const Words& codec) {
    Words words = {"-f", "lavfi", "-i", source};
    words.insert(words.end(), codec.begin(), codec.end());
    return words;
}

// How many encoding passes a job's log shows.
std::size_t encodesIn(const std::string& log) {
    std::size_t count = 0;
    for (std::size_t at = log.find("-map [enc]"); at != std::string::npos;
         at = log.find("-map [enc]", at + 1)) {
        ++count;
    }
    return count;
}

const Words kAc3 = {"-c:a", "ac3", "-b:a", "448k"};
const Words kWav16 = {"-c:a", "pcm_s16le"};

TEST_F(SoundLevels, SilenceGetsNoGainFromAnyGainMode) {
    // Dither at about -100 dBFS, as a silent AC3 track decodes.
    const std::string input =
        make("silence.ac3",
             lavfi("anoisesrc=d=1:c=white:r=48000:a=0.00001,pan=stereo|c0=c0|c1=c0", kAc3));
    const std::vector<Job> jobs = {
        {"max.wav", "-ota( -g max )", "-2ch"},
        {"after.mp3", "-ota( -G 1 ) -lame( -b 192 )"},
        {"hybrid.ogg", "-ota( -hybridgain ) -ogg( -q 0.5 )"},
        {"maximize.ac3", "-azid( --maximize ) -ac3enc( -b 192 )"},
        {"loudness.mp3", "-ota( -loudness -16 -truepeak -1 ) -lame( -b 192 )"},
    };
    ASSERT_NO_FATAL_FAILURE(runAll(input, jobs));
    for (const Job& job : jobs) {
        SCOPED_TRACE(job.output);
        EXPECT_LT(peakDb(decodeAudio(path(job.output))), -70.0);
        EXPECT_NE(readFile(logOf(job)).find("silent source: gain not applied ("), std::string::npos)
            << readFile(logOf(job));
    }
}

TEST_F(SoundLevels, OversAreTakenOffJustEnoughAndJobsBelowFullScaleStayAsTheyWere) {
    // A tone at -0.9 dBFS raised by 150%: 2.6 dB over full scale.
    const std::string hot =
        make("hot source.wav",
             lavfi("aevalsrc=0.9*sin(2*PI*997*t):s=48000:d=1:c=stereo", {"-c:a", "pcm_f32le"}));
    const std::vector<Job> overs = {
        {"hot.wav", "-azid( -g 150% )", "-2ch"},
        {"hot.mp3", "-azid( -g 150% ) -lame( -b 256 )"},
        {"hot.ogg", "-azid( -g 150% ) -ogg( -q 0.6 )"},
        {"hot.ac3", "-azid( -g 150% ) -ac3enc( -b 384 )"},
    };
    ASSERT_NO_FATAL_FAILURE(runAll(hot, overs));
    for (const Job& job : overs) {
        SCOPED_TRACE(job.output);
        const DecodedAudio audio = decodeAudio(path(job.output));
        EXPECT_LE(peakDb(audio), 0.0);
        EXPECT_GE(peakDb(audio), job.output.ends_with(".wav") ? -0.01 : -0.5);
        EXPECT_EQ(clippedSamples(audio), 0);
        EXPECT_GT(loggedNumber(readFile(logOf(job)), "over protection: gain lowered by ", " dB"),
                  2.5);
    }

    // 16-bit, below full scale: passed on sample for sample, with no word of protection.
    const std::string quiet =
        make("quiet.wav",
             lavfi("aevalsrc=0.5*sin(2*PI*440*t)|0.25*sin(2*PI*440*t):s=44100:d=1", kWav16));
    const std::vector<Job> plain = {{"same.wav", ""}, {"quiet.mp3", "-lame( -b 192 )"}};
    ASSERT_NO_FATAL_FAILURE(runAll(quiet, plain));
    EXPECT_EQ(decodeAudio(path("same.wav")).samples, decodeAudio(quiet).samples);
    for (const Job& job : plain) {
        EXPECT_EQ(readFile(logOf(job)).find("over protection"), std::string::npos);
    }
}

TEST_F(SoundLevels, ChangedSamplesAreDitheredToSixteenBits) {
    // A 16-bit tone 40 steps high, lowered to 0.4 of the smallest 16-bit step: rounded, it
    // would vanish; dithered, it stays in the noise at its level.
    const double level = 0.4 / 32768.0;
    const std::string input = make("faint.wav", lavfi("aevalsrc=" + std::to_string(100 * level) +
                                                          "*sin(2*PI*1000*t):s=48000:d=2:c=stereo",
                                                      kWav16));
    ASSERT_NO_FATAL_FAILURE(runAll(input, {{"faint16.wav", "-azid( -g 1% )", "-2ch"}}));
    const DecodedAudio audio = decodeAudio(path("faint16.wav"));
    EXPECT_NEAR(decibels(toneAmplitude(audio, 0, 1000) / level), 0.0, 1.5);
    // TPDF dither of one step each way (1/6 of a step squared), the rounding after it (1/12)
    // and the tone (0.08): about -95 dBFS.
    EXPECT_NEAR(rmsDb(audio, 0), 20.0 * std::log10(std::sqrt(1.0 / 6 + 1.0 / 12 + 0.08) / 32768.0),
                0.5);
}

TEST_F(SoundLevels, WavKeepsTheDepthOfItsSourceAndDithersOnlyWhereItGoesDown) {
    // A tone with a second one 0.4 of a 16-bit step high, in 24-bit and float WAVE files.
    const std::string tones = "aevalsrc=0.25*sin(2*PI*1000*t)+" + std::to_string(0.4 / 32768.0) +
                              "*sin(2*PI*3000*t):s=48000:d=1:c=stereo";
    const std::string deep = make("deep.wav", lavfi(tones, {"-c:a", "pcm_s24le"}));
    const std::string floating = make("floating.wav", lavfi(tones, {"-c:a", "pcm_f32le"}));
    ASSERT_NO_FATAL_FAILURE(
        runAll(deep, {{"same.wav", "", ""}, {"normalised.wav", "-ota( -g max )", "-2ch"}}));
    ASSERT_NO_FATAL_FAILURE(runAll(floating, {{"from float.wav", "", ""}}));
    const auto bits = [](const std::string& file) {
        return runProgram({"ffprobe", "-v", "error", "-show_entries", "stream=bits_per_sample",
                           "-of", "csv=p=0", file})
            .output;
    };
    // Unchanged, the 24-bit samples pass as they are; changed, they stay 24-bit, undithered:
    // nothing but the tones is in them, 120 dB down and more.
    EXPECT_EQ(decodeAudio(path("same.wav")).samples, decodeAudio(deep).samples);
    for (const char* output : {"same.wav", "normalised.wav", "from float.wav"}) {
        SCOPED_TRACE(output);
        EXPECT_EQ(bits(path(output)), "24\n");
        const DecodedAudio audio = decodeAudio(path(output));
        EXPECT_LT(residualDb(audio, 0, {1000, 3000}), -120.0);
        EXPECT_NEAR(decibels(toneAmplitude(audio, 0, 3000) / toneAmplitude(audio, 0, 1000)),
                    decibels(0.4 / 32768.0 / 0.25), 0.5);
    }
    EXPECT_NEAR(peakDb(decodeAudio(path("normalised.wav"))), 0.0, 0.01);

    // Shorter than one block of the loudness gate: not measured, and said so.
    const std::string brief =
        make("brief.wav", lavfi("aevalsrc=0.25*sin(2*PI*997*t):s=48000:d=0.2:c=stereo", kWav16));
    ASSERT_NO_FATAL_FAILURE(runAll(brief, {{"brief out.wav", "-ota( -loudness -16 )", "-2ch"}}));
    EXPECT_NE(log("brief out.wav").find("too short to measure: gain not applied (0.2 s"),
              std::string::npos)
        << log("brief out.wav");
    EXPECT_EQ(log("brief out.wav").find("silent source"), std::string::npos);
    EXPECT_NEAR(peakDb(decodeAudio(path("brief out.wav"))), decibels(0.25), 0.01);
}

TEST_F(SoundLevels, PeakAfterEncodingCostsNoMoreThanPeakBeforeEncoding) {
    // A quiet sine needs 20 dB; a sine at -0.3 dBFS needs none. Both peak modes start from the
    // measured peak and settle on the decoded one: they encode as often, and write the same
    // output, at its level and whole.
    const std::string sine = make(
        "sine.wav", lavfi("aevalsrc=0.1*sin(2*PI*440*t)|0.1*sin(2*PI*440*t):s=48000:d=4", kWav16));
    const std::string loud =
        make("loud.wav", lavfi("aevalsrc=0.966*sin(2*PI*440*t)|0.966*sin(2*PI*440*t):s=48000:d=3",
                               {"-c:a", "pcm_f32le"}));
    const std::vector<std::string> targets = {"mp3 -lame( -b 320 )", "ogg -ogg( -q 0.8 )",
                                              "ac3 -ac3enc( -b 192 )", "opus -opus( -b 128 )"};
    for (const auto& [input, seconds] : {std::pair{sine, 4.0}, std::pair{loud, 3.0}}) {
        std::vector<Job> jobs;
        for (const std::string& target : targets) {
            const std::string name = fs::path(input).stem().string();
            const std::string extension = target.substr(0, target.find(' '));
            const std::string encoder = target.substr(target.find(' ') + 1);
            jobs.push_back({name + " after." + extension, "-ota( -G 1 ) " + encoder});
            jobs.push_back({name + " before." + extension, "-ota( -g max ) " + encoder});
        }
        ASSERT_NO_FATAL_FAILURE(runAll(input, jobs));
        for (std::size_t i = 0; i < jobs.size(); i += 2) {
            const Job& after = jobs[i];
            SCOPED_TRACE(after.output);
            EXPECT_EQ(encodesIn(log(after.output)), encodesIn(log(jobs[i + 1].output)))
                << log(after.output);
            // The same gains: the same sound (Ogg streams differ in their serial numbers).
            const DecodedAudio audio = decodeAudio(path(after.output));
            EXPECT_TRUE(audio.samples == decodeAudio(path(jobs[i + 1].output)).samples);
            ASSERT_GT(audio.sampleRate, 0);
            EXPECT_NEAR(static_cast<double>(audio.frames()) / audio.sampleRate, seconds, 0.05);
            EXPECT_LE(peakDb(audio), 0.0) << log(after.output);
            EXPECT_GE(peakDb(audio), -1.0) << log(after.output);
        }
    }
}

TEST_F(SoundLevels, AFilmIsEncodedOnceWhereItsFirstEncodeLandsOrNoOtherCouldDoBetter) {
    // Pink noise and a tone in 5.1. Aimed at -0.3 dBFS, Opus at 96 kbit/s decodes at -0.6 and
    // lame at ABR 192 at -0.9 (its lowpass takes the top off the noise): within a dB of full
    // scale, where a second encode would cost as much as the first for tenths of a dB. lame at
    // CBR 128 decodes at -1.5, and its input may rise only 0.25 dB before it clips: no encode
    // brings that into the window, and none is made.
    const std::string film =
        make("film.ac3",
             {"-f", "lavfi", "-i", "anoisesrc=d=60:c=pink:r=48000:a=0.3:seed=3", "-f", "lavfi",
              "-i", "sine=f=220:d=60:r=48000", "-filter_complex",
              "[0][1]amerge=inputs=2,pan=5.1(side)|c0=c0+c1|c1=0.8*c0+c1|c2=c1|c3=0.5*c1|c4=0.6*c0|"
              "c5=0.5*c0",
              "-c:a", "ac3", "-b:a", "448k"});
    ASSERT_NO_FATAL_FAILURE(
        runAll(film, {{"film.opus", "-ota( -g max ) -opus( -b 96 )"},
                      {"abr.mp3", "-ota( -G 1 ) -lame( --alt-preset 192 )"},
                      {"cbr.mp3", "-ota( -g max ) -lame( --alt-preset cbr 128 )"}}));
    for (const std::string output : {"film.opus", "abr.mp3", "cbr.mp3"}) {
        SCOPED_TRACE(output);
        const std::string text = log(output);
        EXPECT_EQ(encodesIn(text), 1U) << text;
        const DecodedAudio audio = decodeAudio(path(output));
        EXPECT_LE(peakDb(audio), 0.0) << text;
        EXPECT_GE(peakDb(audio), output == "cbr.mp3" ? -2.0 : -1.0) << text;
        EXPECT_EQ(clippedSamples(audio), 0);
    }
    EXPECT_NE(log("cbr.mp3").find("too little to reach -1.0 dBFS; no further encode"),
              std::string::npos)
        << log("cbr.mp3");
}

TEST_F(SoundLevels, Ac3MetadataSetsTheDownmixAndIsPassedOnOrRewritten) {
    // The 5.1 tones, coded with a centre mix level of -6 dB and surrounds left out of a
    // downmix, dialogue level -27.
    Words codec = {"-c:a", "ac3",       "-b:a", "448k", "-center_mixlev", "0.5", "-surround_mixlev",
                   "0",    "-dialnorm", "-27"};
    const std::string input = make(
        "tones.ac3",
        lavfi("aevalsrc=0.25*sin(2*PI*300*t)|0.25*sin(2*PI*500*t)|0.25*sin(2*PI*700*t)|0.25*sin("
              "2*PI*60*t)|0.25*sin(2*PI*1100*t)|0.25*sin(2*PI*1300*t):s=48000:d=1:c=5.1(side)",
              codec));
    const std::vector<Job> jobs = {
        {"lo ro.wav", "-azid( -s stereo )", "-2ch"},
        {"lt rt.wav", "-azid( -s surround )", "-2ch"},
        {"kept.ac3", "-ac3enc( -b 448 )"},
        {"dialogue.ac3", "-azid( -n1 ) -ac3enc( -b 448 )"},
        {"surround.ac3", "-azid( -s surround ) -ac3enc( -b 192 )"},
        {"normalised.ac3", "-ota( -loudness -20 -truepeak -1 ) -ac3enc( -b 448 )"},
        {"downmixed.ac3", "-azid( -s stereo ) -ac3enc( -b 192 )"},
        {"quieter.ac3", "-azid( -g 50% ) -ac3enc( -b 448 )"},
        {"peak after.ac3", "-ota( -G 1 ) -ac3enc( -b 448 )"},
    };
    ASSERT_NO_FATAL_FAILURE(runAll(input, jobs));
    // Pink noise with its peak at -0.3 dBFS needs no gain from -G 1; at -5 LUFS under -3 dBTP
    // the loudness mode falls short of its target.
    const std::string pink =
        make("pink.wav", lavfi("anoisesrc=d=3:c=pink:r=48000:a=0.5:s=9,pan=stereo|c0=c0|c1=c0,"
                               "loudnorm=linear=true:i=-14:tp=-0.3:lra=20,aresample=48000",
                               {"-c:a", "pcm_f32le"}));
    const std::vector<Job> pinkJobs = {
        {"no gain.ac3", "-ota( -G 1 ) -ac3enc( -b 448 )"},
        {"short of target.ac3", "-ota( -loudness -5 -truepeak -3 ) -ac3enc( -b 448 )"}};
    ASSERT_NO_FATAL_FAILURE(runAll(pink, pinkJobs));
    // Wherever the levels change, the dialogue level is the output's own loudness, rounded and
    // held to -31..-1.
    for (const char* output :
         {"downmixed.ac3", "quieter.ac3", "peak after.ac3", "no gain.ac3", "short of target.ac3"}) {
        SCOPED_TRACE(output);
        const auto header = readAc3Header(path(output));
        ASSERT_TRUE(header.has_value());
        const double loudness = measureLoudness(path(output)).integrated;
        EXPECT_NEAR(header->dialogueLevel, std::clamp(-loudness, 1.0, 31.0), 0.6) << log(output);
    }

    // Lo/Ro: L = FL + 0.5 FC, scaled by 1/1.5; the surrounds are left out as the stream asks.
    const DecodedAudio loRo = decodeAudio(path("lo ro.wav"));
    EXPECT_NEAR(decibels(toneAmplitude(loRo, 0, 300) / 0.25), decibels(1.0 / 1.5), 0.1);
    EXPECT_NEAR(decibels(toneAmplitude(loRo, 0, 700) / 0.25), decibels(0.5 / 1.5), 0.1);
    EXPECT_LT(decibels(toneAmplitude(loRo, 0, 1100) / 0.25), -50.0);
    // Lt/Rt has matrix levels of its own: the stream's levels do not apply.
    const DecodedAudio ltRt = decodeAudio(path("lt rt.wav"));
    EXPECT_NEAR(decibels(toneAmplitude(ltRt, 0, 1100) / 0.25), decibels(0.2265), 0.1);

    const auto kept = readAc3Header(path("kept.ac3"));
    ASSERT_TRUE(kept.has_value());
    EXPECT_EQ(kept->dialogueLevel, 27);
    EXPECT_NEAR(*kept->centreMixLevel, 0.5, 1e-3);
    EXPECT_NEAR(*kept->surroundMixLevel, 0.0, 1e-3);
    EXPECT_EQ(readAc3Header(path("dialogue.ac3"))->dialogueLevel, 31);
    const auto surround = readAc3Header(path("surround.ac3"));
    ASSERT_TRUE(surround.has_value());
    EXPECT_EQ(surround->surroundMode, 2);
    const auto normalised = readAc3Header(path("normalised.ac3"));
    ASSERT_TRUE(normalised.has_value());
    EXPECT_EQ(normalised->dialogueLevel, 20);
}

TEST_F(SoundLevels, AClickStaysAtItsTimeInEveryTarget) {
    // One sample at 1.000 s in a WAVE source, and in an AC3 source as it decodes.
    const std::string wav = make(
        "click source.wav", lavfi("aevalsrc='if(eq(n,48000),0.9,0)':s=48000:d=2:c=stereo", kWav16));
    const std::vector<Job> jobs = {
        {"click.wav", "", "-2ch"},
        {"click.mp3", "-lame( -b 256 )"},
        {"click.ogg", "-ogg( -q 0.8 )"},
        {"click.ac3", "-ac3enc( -b 448 )"},
        {"delayed.ac3", "-ota( -d 20 ) -ac3enc( -b 448 )"},
    };
    ASSERT_NO_FATAL_FAILURE(runAll(wav, jobs));
    const auto clickAt = [](const DecodedAudio& audio) {
        std::size_t loudest = 0;
        for (std::size_t i = 0; i < audio.samples.size(); ++i) {
            loudest = std::abs(audio.samples[i]) > std::abs(audio.samples[loudest]) ? i : loudest;
        }
        return static_cast<double>(loudest / audio.channels) / audio.sampleRate;
    };
    for (const Job& job : jobs) {
        EXPECT_NEAR(clickAt(decodeAudio(path(job.output))),
                    job.output == "delayed.ac3" ? 1.020 : 1.000, 0.001)
            << job.output;
    }
    // From the AC3 output as a source: it decodes with the click at 1.000 s, and so does a
    // WAVE file made of it.
    ASSERT_NO_FATAL_FAILURE(runAll(path("click.ac3"), {{"from ac3.wav", "", "-2ch"}}));
    EXPECT_NEAR(clickAt(decodeAudio(path("from ac3.wav"))), 1.000, 0.001);
}

TEST_F(SoundLevels, AThreeChannelWaveFileWithoutAChannelMaskKeepsItsCentre) {
    // A plain WAVE header (format 1) with three channels: no mask says where they sit.
    const std::string raw = make(
        "three.raw",
        lavfi("aevalsrc=0.5*sin(2*PI*300*t)|0.5*sin(2*PI*500*t)|0.5*sin(2*PI*700*t):s=48000:d=1",
              {"-f", "s16le"}));
    const std::string input = path("three.wav");
    {
        const std::string data = readFile(raw);
        std::string header = "RIFF";
        const auto put = [&](std::uint32_t value, int bytes) {
            for (int i = 0; i < bytes; ++i) {
                header.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
            }
        };
        put(36 + data.size(), 4);
        header += "WAVEfmt ";
        put(16, 4), put(1, 2), put(3, 2), put(48000, 4), put(48000 * 6, 4), put(6, 2), put(16, 2);
        header += "data";
        put(data.size(), 4);
        std::ofstream(input, std::ios::binary) << header << data;
    }
    ASSERT_NO_FATAL_FAILURE(runAll(input, {{"stereo.wav", "", "-2ch"}}));
    const DecodedAudio audio = decodeAudio(path("stereo.wav"));
    const double sum = 1.0 + std::sqrt(0.5);
    EXPECT_NEAR(decibels(toneAmplitude(audio, 0, 300) / 0.5), decibels(1.0 / sum), 0.1);
    EXPECT_NEAR(decibels(toneAmplitude(audio, 1, 500) / 0.5), decibels(1.0 / sum), 0.1);
    for (int side = 0; side < 2; ++side) {
        EXPECT_NEAR(decibels(toneAmplitude(audio, side, 700) / 0.5), decibels(std::sqrt(0.5) / sum),
                    0.1);
    }
}

// Eight seconds of programme: speech-like bursts of band-limited noise, four syllables a
// second with pauses, over a quiet bed; "transients" adds short loud hits that only a limiter
// can keep under a ceiling after the gain.
std::string programme(bool transients) {
    std::string graph = "anoisesrc=d=8:c=pink:r=48000:a=0.3:s=3,bandpass=f=800:w=1.2:t=o,"
                        "volume='0.05+0.95*gt(sin(2*PI*4*t)+0.3*sin(2*PI*0.7*t),0.2)':eval=frame,"
                        "pan=stereo|c0=c0|c1=0.9*c0";
    if (transients) {
        graph += ",volume='if(lt(mod(t,1),0.004),6,1)':eval=frame";
    }
    return graph;
}

TEST_F(SoundLevels, LoudnessModeReachesItsTargetUnderItsTruePeakCeiling) {
    const std::string speech = make(
        "speech.wav", lavfi(programme(false) + ",aformat=sample_fmts=flt", {"-c:a", "pcm_f32le"}));
    const std::string hits = make(
        "hits.wav", lavfi(programme(true) + ",aformat=sample_fmts=flt", {"-c:a", "pcm_f32le"}));
    const std::vector<Job> plainJobs = {
        {"ebu.wav", "-ota( -loudness -23 -truepeak -1 )", "-2ch"},
        {"online.mp3", "-ota( -loudness -16 -truepeak -1 ) -lame( -b 256 )"},
        {"loud.ogg", "-ota( -loudness -18 -truepeak -1 ) -ogg( -q 0.6 )"},
    };
    const std::vector<Job> limitedJobs = {
        {"limited.wav", "-ota( -loudness -14 -truepeak -1 )", "-2ch"},
        {"limited.mp3", "-ota( -loudness -14 -truepeak -1 ) -lame( -b 256 )"},
        {"limited.ac3", "-ota( -loudness -16 -truepeak -2 ) -ac3enc( -b 448 )"},
    };
    ASSERT_NO_FATAL_FAILURE(runAll(speech, plainJobs));
    ASSERT_NO_FATAL_FAILURE(runAll(hits, limitedJobs));
    const Loudness source = measureLoudness(speech);
    const std::regex target(R"(-loudness (-?\d+) -truepeak (-?\d+))");
    for (const auto& [jobs, limited] :
         {std::pair{plainJobs, false}, std::pair{limitedJobs, true}}) {
        for (const Job& job : jobs) {
            SCOPED_TRACE(job.output);
            std::smatch match;
            ASSERT_TRUE(std::regex_search(job.groups, match, target));
            const Loudness output = measureLoudness(path(job.output));
            EXPECT_NEAR(output.integrated, std::stod(match[1]), 0.5);
            EXPECT_LE(output.truePeak, std::stod(match[2]) + 0.2);
            if (!limited) {
                EXPECT_NEAR(output.range, source.range, 1.0);
            }
            EXPECT_EQ(readFile(logOf(job)).find("limiter:") != std::string::npos, limited)
                << readFile(logOf(job));
        }
    }
}

constexpr int kCentre = 2;
constexpr int kLfe = 3;

// A film in 5.1: speech-like programme with hits in the centre, the other five channels a
// quiet bed 37 dB below it. Three seconds.
std::string filmFiveOne() {
    return "anoisesrc=d=3:c=pink:r=48000:a=0.5:s=3,bandpass=f=800:w=1.2:t=o,"
           "volume='3.5*(0.05+0.95*gt(sin(2*PI*4*t)+0.3*sin(2*PI*0.7*t),0.2))':eval=frame,"
           "aformat=sample_fmts=flt:channel_layouts=mono[c];"
           "anoisesrc=d=3:c=pink:r=48000:a=0.0178:s=5,aformat=sample_fmts=flt:channel_layouts=mono["
           "bed];[c][bed]amerge="
           "inputs=2,"
           "pan=5.1(side)|c0=c1|c1=0.9*c1|c2=c0|c3=0.8*c1|c4=0.7*c1|c5=0.95*c1";
}

TEST_F(SoundLevels, TheLimiterGivesEveryChannelOneGainAndKeepsTheTiming) {
    const std::string film =
        make("film.wav", {"-filter_complex", filmFiveOne(), "-c:a", "pcm_f32le"});
    // A quiet tone with a loud burst from sample 48000 on.
    const std::string burst =
        make("burst.wav", lavfi("aevalsrc='0.1*sin(2*PI*300*t)+0.9*sin(2*PI*2000*t)*gte(n\\,48000)*"
                                "lt(n\\,48960)':s=48000:d=2:c=5.1(side)",
                                {"-c:a", "pcm_f32le"}));
    const std::vector<Job> filmJobs = {
        {"film 51.wav", "-ota( -loudness -14 -truepeak -2 )", "-6chwav"},
        {"film.ac3", "-ota( -loudness -14 -truepeak -2 ) -ac3enc( -b 448 )"},
        {"boosted 51.wav", "-boost( /b=4 /l=0.5 )", "-6chwav"},
    };
    const std::vector<Job> burstJobs = {
        {"burst 51.wav", "-ota( -loudness -10 -truepeak -1 )", "-6chwav"},
        {"burst 20.wav", "-ota( -loudness -10 -truepeak -1 )", "-2ch"},
    };
    ASSERT_NO_FATAL_FAILURE(runAll(film, filmJobs));
    ASSERT_NO_FATAL_FAILURE(runAll(burst, burstJobs));

    // Every channel gets the gain, or less where the centre is limited: none rises above its
    // own peak or its own power with the gain, and the quiet ones all change by the same dB
    // (AC3 coding noise moves them by a few tenths; its LFE is low-passed). AC3 coding noise
    // lifts the peaks of the quiet channels by up to a dB.
    const DecodedAudio source = decodeAudio(film);
    for (const Job& job : filmJobs) {
        SCOPED_TRACE(job.output);
        const bool ac3 = job.output.ends_with(".ac3");
        const double gain = job.groups.starts_with("-boost")
                                ? decibels(4.0)
                                : loggedNumber(readFile(logOf(job)), "gain: ", " dB");
        const DecodedAudio output = decodeAudio(path(job.output));
        ASSERT_EQ(output.channels, 6);
        const double change = rmsDb(output, 0) - rmsDb(source, 0);
        for (int channel = 0; channel < 6; ++channel) {
            SCOPED_TRACE("channel " + std::to_string(channel));
            EXPECT_LE(peakDb(output, channel), peakDb(source, channel) + gain + (ac3 ? 1.0 : 0.05));
            if (channel == kCentre || (ac3 && channel == kLfe)) {
                continue;
            }
            EXPECT_LE(rmsDb(output, channel), rmsDb(source, channel) + gain + 0.1);
            EXPECT_NEAR(rmsDb(output, channel) - rmsDb(source, channel), change, ac3 ? 0.5 : 0.05);
        }
        EXPECT_LE(peakDb(output, kCentre),
                  job.groups.starts_with("-boost") ? decibels(0.5) + 0.05 : -2.0);
    }
    // The burst starts at sample 48000, limited or not.
    const DecodedAudio burstSource = decodeAudio(burst);
    for (const Job& job : burstJobs) {
        SCOPED_TRACE(job.output);
        EXPECT_NE(readFile(logOf(job)).find("limiter:"), std::string::npos);
        EXPECT_EQ(lagOf(decodeAudio(path(job.output)), burstSource, 47800, 1400, 300), 0);
    }
}

TEST_F(SoundLevels, LoudnessModeReachesItsTargetWithTheLimiterInTheChain) {
    // Pink noise at -20.6 LUFS, speech-like programme, and short bursts 18 dB over a bed of
    // pink noise; four seconds each. lame at 128 kbit/s takes loudness off as the limiter does:
    // both are corrected with the limiter in place.
    const std::string pink =
        make("pink.wav", lavfi("anoisesrc=d=4:c=pink:r=48000:a=0.355:s=4,pan=stereo|c0=c0|c1=c0",
                               {"-c:a", "pcm_f32le"}));
    const std::string speech =
        make("speech.wav", lavfi(programme(false) + ",volume=14dB,atrim=end=4,aformat=sample_"
                                                    "fmts=flt",
                                 {"-c:a", "pcm_f32le"}));
    const std::string hits = make(
        "hits.wav",
        {"-f", "lavfi", "-i", "anoisesrc=d=4:c=pink:r=48000:a=0.15:s=6", "-f", "lavfi", "-i",
         "aevalsrc='0.4*sin(2*PI*2000*t)*lt(mod(t\\,0.5)\\,0.005)':s=48000:d=4", "-filter_complex",
         "[0][1]amix=inputs=2:normalize=0,pan=stereo|c0=c0|c1=c0", "-c:a", "pcm_f32le"});
    const std::vector<std::pair<std::string, std::vector<Job>>> runs = {
        {pink,
         {{"pink.mp3", "-ota( -loudness -12 -truepeak -1 ) -lame( --alt-preset cbr 128 )"},
          {"far.mp3", "-ota( -loudness -5 -truepeak -3 ) -lame( -b 192 )"}}},
        {speech,
         {{"speech.mp3", "-ota( -loudness -14 -truepeak -2 ) -lame( --alt-preset cbr 128 )"}}},
        {hits,
         {{"hits.mp3", "-ota( -loudness -14 -truepeak -2 ) -lame( --alt-preset cbr 128 )"},
          {"hits out.wav", "-ota( -loudness -16 -truepeak -1 )", "-2ch"}}}};
    for (const auto& [input, jobs] : runs) {
        ASSERT_NO_FATAL_FAILURE(runAll(input, jobs));
    }
    const std::regex target(R"(-loudness (-?\d+) -truepeak (-?\d+))");
    for (const auto& [input, jobs] : runs) {
        for (const Job& job : jobs) {
            SCOPED_TRACE(job.output);
            std::smatch match;
            ASSERT_TRUE(std::regex_search(job.groups, match, target));
            const double lufs = std::stod(match[1]);
            const Loudness output = measureLoudness(path(job.output));
            const std::string text = readFile(logOf(job));
            EXPECT_LE(output.truePeak, std::stod(match[2]) + 0.1) << text;
            if (job.output != "far.mp3") {
                EXPECT_NEAR(output.integrated, lufs, 0.5) << text;
                EXPECT_NE(text.find("limiter:"), std::string::npos);
                EXPECT_EQ(text.find("target missed"), std::string::npos) << text;
                continue;
            }
            // -5 LUFS under -3 dBTP would take pink noise into more than 6 dB of limiting: the
            // job stops there and says by how much it missed.
            EXPECT_LT(output.integrated, lufs - 3.0);
            const double missed =
                loggedNumber(text, "loudness: target missed by ", " LU: the ceiling limits it");
            EXPECT_NEAR(missed, lufs - output.integrated, 0.2) << text;
            EXPECT_NE(text.find("; target missed by "), std::string::npos) << text;
        }
    }
}

TEST_F(SoundLevels, LoudnessModeLimitsPeaksBetweenTheSamples) {
    // A quiet tone with a burst at a quarter of the rate every second, its samples at 45
    // degrees: the bursts' true peaks lie 3 dB above their samples. At -16 LUFS the samples stay
    // below the ceiling, the true peaks do not.
    const std::string bursts =
        make("bursts.wav", lavfi("aevalsrc='0.05*sin(2*PI*1000*t)+0.5*sin(2*PI*12000*t+PI/4)*"
                                 "lt(mod(t\\,1)\\,0.01)':s=48000:d=6:c=stereo",
                                 kWav16));
    ASSERT_NO_FATAL_FAILURE(
        runAll(bursts, {{"bursts-out.wav", "-ota( -loudness -16 -truepeak -1 )", "-2ch"}}));
    const Loudness output = measureLoudness(path("bursts-out.wav"));
    EXPECT_LE(output.truePeak, -1.0 + 0.2) << log("bursts-out.wav");
    EXPECT_NEAR(output.integrated, -16.0, 1.0);
    EXPECT_NE(log("bursts-out.wav").find("limiter:"), std::string::npos);
}

TEST_F(SoundLevels, LoudnessModeReachesItsTargetWhereTheEncoderMovesTheLevel) {
    // lame's quantiser at 128 kbit/s takes almost a dB off a pure tone: the decoded output is
    // what has to be at the target.
    const std::string tone =
        make("tone.wav", lavfi("aevalsrc='0.25*sin(2*PI*440*t)':s=48000:d=6:c=stereo", kWav16));
    const std::vector<Job> jobs = {
        {"tone.mp3", "-ota( -loudness -16 -truepeak -1 ) -lame( --alt-preset cbr 128 )"},
        {"tone.ogg", "-ota( -loudness -20 -truepeak -1 ) -ogg( -q 0.1 )"},
    };
    ASSERT_NO_FATAL_FAILURE(runAll(tone, jobs));
    EXPECT_NEAR(measureLoudness(path("tone.mp3")).integrated, -16.0, 0.5) << log("tone.mp3");
    EXPECT_NEAR(measureLoudness(path("tone.ogg")).integrated, -20.0, 0.5) << log("tone.ogg");
    // The report gives the decoded output's loudness.
    EXPECT_NE(
        log("tone.mp3")
            .find("loudness -16.0 LUFS, range 0.0 LU, clipped 0; measured on the decoded file\n"),
        std::string::npos)
        << log("tone.mp3");
}

TEST_F(SoundLevels, TheReportGivesTheLevelsOfTheUsedSourceAndOfTheOutput) {
    // Ten seconds of a -20 dBFS tone, then a second of silence; the split takes the tone's
    // last two seconds.
    const std::string input = make(
        "tone.wav", lavfi("aevalsrc='0.1*sin(2*PI*997*t)*lt(t,10)':s=48000:d=11:c=stereo", kWav16));
    const std::vector<Job> jobs = {
        {"cut.wav", "-split( -start 8 -end 10 ) -azid( -g 6db )", "-2ch"},
        {"silent.mp3", "-split( -start 10 ) -lame( -b 128 )"}};
    ASSERT_NO_FATAL_FAILURE(runAll(input, jobs));
    const std::string text = log("cut.wav");
    const auto number = [&](const std::string& head, const std::string& what,
                            const std::string& text) {
        const std::regex line("sound: " + head + ": .*" + what + " (-?[\\d.]+|-inf)");
        std::smatch match;
        return std::regex_search(text, match, line)
                   ? match[1] == "-inf" ? -INFINITY : std::stod(match[1])
                   : NAN;
    };
    // A sine's true peak is its peak; a stereo 997 Hz tone at -20 dBFS is -20 LUFS.
    EXPECT_NEAR(number("source", "sample peak", text), -20.0, 0.1);
    EXPECT_NEAR(number("source", "true peak", text), -20.0, 0.15);
    EXPECT_NEAR(number("source", "loudness", text), -20.0, 0.2);
    EXPECT_NEAR(number("output", "sample peak", text), -14.0, 0.1);
    EXPECT_NEAR(number("output", "loudness", text), -14.0, 0.2);
    EXPECT_NE(text.find("range 0.0 LU, clipped 0; measured at the encoder's input\n"),
              std::string::npos)
        << text;
    const std::string silent = log("silent.mp3");
    EXPECT_NE(silent.find("sound: source: sample peak -inf dBFS, true peak -inf dBTP, loudness "
                          "-inf LUFS, range 0.0 LU, clipped 0"),
              std::string::npos)
        << silent;
}

TEST_F(SoundLevels, TheReportCountsTheClippedSamplesOfASourceAtFullScale) {
    // A 100 Hz sine at twice full scale, clipped flat by the 16-bit file, and one that stops
    // just short of full scale (-0.02 dBFS).
    const std::string clipped =
        make("clipped.wav", lavfi("aevalsrc='2*sin(2*PI*100*t)':s=48000:d=2:c=stereo", kWav16));
    const std::string close =
        make("close.wav", lavfi("aevalsrc='0.9977*sin(2*PI*100*t)':s=48000:d=2:c=stereo", kWav16));
    ASSERT_NO_FATAL_FAILURE(runAll(clipped, {{"clipped-out.wav", "", "-2ch"},
                                             {"clipped-out.mp3", "-lame( -b 192 )"},
                                             {"clipped-out.ogg", "-ogg( -q 0.5 )"}}));
    ASSERT_NO_FATAL_FAILURE(runAll(close, {{"close-out.wav", "", "-2ch"}}));
    // The report counts, per channel at full scale, the samples at its lowest and highest value.
    const DecodedAudio audio = decodeAudio(clipped);
    long long extremes = 0;
    for (const float sample : audio.samples) {
        extremes += sample >= 32767.0f / 32768.0f || sample <= -1.0f ? 1 : 0;
    }
    ASSERT_GT(extremes, 1000);
    // The source passes unchanged: the output holds the same clipped samples, and its result
    // line says so; the Vorbis output is lowered below full scale, its flat tops with it, and
    // stays clipped.
    const std::string closeText = log("close-out.wav");
    for (const std::string output : {"clipped-out.wav", "clipped-out.mp3", "clipped-out.ogg"}) {
        SCOPED_TRACE(output);
        const std::string text = log(output);
        for (const std::string what : {"source", "output"}) {
            const std::regex line("sound: " + what + ": sample peak [^\n]* clipped (\\d+)");
            std::smatch match;
            ASSERT_TRUE(std::regex_search(text, match, line)) << text;
            EXPECT_EQ(std::stoll(match[1]), extremes) << what;
            ASSERT_TRUE(std::regex_search(closeText, match, line)) << closeText;
            EXPECT_EQ(match[1], "0") << what;
        }
        EXPECT_NE(text.find("; the output is clipped: " + std::to_string(extremes) + " samples\n"),
                  std::string::npos)
            << text;
    }
    EXPECT_NE(log("clipped-out.mp3")
                  .find("clipped " + std::to_string(extremes) +
                        "; peaks measured on the decoded file, the rest at "
                        "the encoder's input\n"),
              std::string::npos);
    EXPECT_EQ(closeText.find("the output is clipped"), std::string::npos) << closeText;
}

TEST_F(SoundLevels, SamplesBeyondFullScaleThatTheEncoderCarriesAreNotCountedAsClipped) {
    // Vorbis at -q 0.1 drops the 19 kHz half of the source: to decode at full scale, the
    // encoder's float input goes 5 dB beyond it, and the decoder gives the overs back.
    const std::string input = make(
        "two tones.wav",
        lavfi("aevalsrc=0.3*sin(2*PI*1000*t)+0.3*sin(2*PI*19000*t):s=48000:d=3:c=stereo", kWav16));
    ASSERT_NO_FATAL_FAILURE(runAll(input, {{"carried.ogg", "-ota( -g max ) -ogg( -q 0.1 )"}}));
    const std::string text = log("carried.ogg");
    const DecodedAudio audio = decodeAudio(path("carried.ogg"));
    EXPECT_LE(peakDb(audio), 0.0);
    EXPECT_EQ(clippedSamples(audio), 0);
    // The output line gives the decoded file's peaks, and no clipping.
    std::smatch match;
    ASSERT_TRUE(std::regex_search(
        text, match,
        std::regex("sound: output: sample peak (-?[\\d.]+) dBFS, true peak (-?[\\d.]+) dBTP, "
                   "[^\n]* clipped 0; peaks measured on the decoded file")))
        << text;
    EXPECT_LE(std::stod(match[2]), 0.5) << text;
    EXPECT_EQ(text.find("the output is clipped"), std::string::npos) << text;
}

TEST_F(SoundLevels, AFloatSourcesOversAreNotClippingOnceTheJobTakesThemOff) {
    // A tone 2 dB beyond full scale, as float PCM and as AC3, whose decoder gives it back so:
    // its samples beyond full scale are counted in the source's line, and every plain job
    // lowers them whole.
    const std::string floating =
        make("overs.wav",
             lavfi("aevalsrc=1.26*sin(2*PI*997*t):s=48000:d=1:c=stereo", {"-c:a", "pcm_f32le"}));
    const std::string ac3 = make("overs.ac3", {"-i", floating, "-c:a", "ac3", "-b:a", "384k"});
    ASSERT_NO_FATAL_FAILURE(runAll(floating, {{"overs-out.wav", "", "-2ch"},
                                              {"overs-out.mp3", "-lame( -b 256 )"},
                                              {"overs-out.ogg", "-ogg( -q 0.6 )"},
                                              {"overs-out.opus", "-opus( -b 128 )"}}));
    ASSERT_NO_FATAL_FAILURE(
        runAll(ac3, {{"ac3-out.wav", "", "-2ch"}, {"ac3-out.ac3", "-ac3enc( -b 384 )"}}));
    for (const std::string output : {"overs-out.wav", "overs-out.mp3", "overs-out.ogg",
                                     "overs-out.opus", "ac3-out.wav", "ac3-out.ac3"}) {
        SCOPED_TRACE(output);
        const std::string text = log(output);
        EXPECT_EQ(clippedSamples(decodeAudio(path(output))), 0);
        std::smatch match;
        ASSERT_TRUE(std::regex_search(
            text, match,
            std::regex("sound: source: sample peak \\d\\.\\d dBFS, [^\n]* clipped (\\d+)")))
            << text;
        EXPECT_GT(std::stoll(match[1]), 1000);
        EXPECT_TRUE(std::regex_search(text, std::regex("sound: output: [^\n]* clipped 0"))) << text;
        EXPECT_EQ(text.find("the output is clipped"), std::string::npos) << text;
    }
}

} // namespace
} // namespace cantova::testing
