// The file of loudness curves a job writes beside its log: it follows the documented format,
// has a point every half second of the output, the levels of tones measured against levels
// computed from the K-weighting, the loudness mode's target and ceiling, and the stretches where
// the limiter held a loud burst down.
#include "sound/k_weighting.h"
#include "transcoder/folder_per_test.h"
#include "transcoder/transcoder_harness.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <regex>
#include <sstream>
#include <unistd.h>

namespace cantova::testing {
namespace {

namespace fs = std::filesystem;

// The file as the front end reads it (jobs/loudness_curves.h), read here from the text: the
// transcoder's tests cannot link the front end.
struct Curves {
    std::optional<double> target;
    std::optional<double> ceiling;
    std::optional<std::pair<double, double>> integrated;
    std::optional<double> interval;
    std::vector<std::pair<double, double>> limiter;
    std::vector<double> source;
    std::vector<double> output;
};

// Fails the test where a line is not of the format: numbers with a point (or "-inf"), one blank
// between words, the known lines before the first point, only points after it.
Curves parsed(const std::string& text) {
    const std::regex number(R"(-?\d+(\.\d+)?|-inf)");
    const auto value = [&](const std::string& word) {
        EXPECT_TRUE(std::regex_match(word, number)) << word;
        return word == "-inf" ? -INFINITY : std::stod(word);
    };
    std::istringstream lines(text);
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "cantova-loudness 1");
    Curves curves;
    while (std::getline(lines, line)) {
        std::smatch words;
        EXPECT_TRUE(std::regex_match(line, words, std::regex(R"((\S+) (\S+)(?: (\S+))?)"))) << line;
        const std::string first = words[1];
        const bool point = std::regex_match(first, number);
        EXPECT_TRUE(point || curves.source.empty()) << "after the points: " << line;
        EXPECT_EQ(words[3].matched, first == "integrated" || first == "limiter") << line;
        if (point) {
            curves.source.push_back(value(first));
            curves.output.push_back(value(words[2]));
        } else if (first == "target") {
            curves.target = value(words[2]);
        } else if (first == "ceiling") {
            curves.ceiling = value(words[2]);
        } else if (first == "integrated") {
            curves.integrated = {value(words[2]), value(words[3])};
        } else if (first == "interval") {
            curves.interval = value(words[2]);
        } else if (first == "limiter") {
            curves.limiter.emplace_back(value(words[2]), value(words[3]));
        } else {
            ADD_FAILURE() << "unknown line: " << line;
        }
    }
    return curves;
}

// The loudness of a stereo sine of amplitude peakDb (dBFS) at hertz: -0.691 + 10 log10 of the
// sum of both channels' mean squares after the K-weighting at 48 kHz.
double stereoSineLufs(double peakDb, double hertz) {
    const KWeighting k = kWeightingAt(48000);
    const std::complex<double> z = std::polar(1.0, -2.0 * std::numbers::pi * hertz / 48000.0);
    const auto gain = [&](const Biquad& f) {
        return std::abs((f.b0 + f.b1 * z + f.b2 * z * z) / (1.0 + f.a1 * z + f.a2 * z * z));
    };
    const double amplitude = std::pow(10.0, peakDb / 20.0) * gain(k.shelf) * gain(k.highPass);
    return -0.691 + 10.0 * std::log10(2.0 * amplitude * amplitude / 2.0);
}

class LoudnessCurvesFile : public FolderPerTest {
protected:
    void SetUp() override {
        if (!programsAvailable({"ffmpeg", "ffprobe", "lame"})) {
            GTEST_SKIP() << "ffmpeg, ffprobe or lame is not installed";
        }
        makeFolder("curves");
    }
    std::string log(const std::string& output) const { return readFile(path(output + ".log")); }

    // A stereo 16-bit WAV source of the expression (of t), 48 kHz.
    std::string source(const std::string& name, const std::string& expression, double seconds) {
        runFfmpeg(
            {"-f", "lavfi", "-i",
             "aevalsrc='" + expression + "':s=48000:d=" + std::to_string(seconds) + ":c=stereo",
             "-c:a", "pcm_s16le", path(name)});
        return path(name);
    }

    // Runs the jobs (output name and groups) on the input, each with a log "<output>.log"; the
    // curves file each one names in its log and on its standard output.
    std::vector<Curves> curvesOf(const std::string& input,
                                 const std::vector<std::pair<std::string, std::string>>& jobs) {
        std::vector<Words> commands;
        for (const auto& [output, groups] : jobs) {
            commands.push_back(
                transcoderCommand(input, path(output), path(output + ".log"), groups));
        }
        const std::vector<int> statuses = runInParallel(commands);
        std::vector<Curves> curves;
        for (std::size_t i = 0; i < jobs.size(); ++i) {
            const std::string& output = jobs[i].first;
            EXPECT_EQ(statuses[i], 0) << log(output);
            const std::string file = path(output + "." + output + ".loudness");
            EXPECT_NE(log(output).find("\nsound: curves: " + file + "\n"), std::string::npos)
                << log(output);
            curves.push_back(parsed(readFile(file)));
        }
        return curves;
    }
};

TEST_F(LoudnessCurvesFile, HoldsAPointEveryHalfSecondAtTheLevelsOfTheSourceAndOutput) {
    // A 997 Hz tone at -20 dBFS for 6 s, then at -40 dBFS to 10.3 s: twenty points, the last
    // 0.3 s make none.
    const std::string input = source("tone.wav", "if(lt(t,6),0.1,0.01)*sin(2*PI*997*t)", 10.3);
    const std::vector<Curves> curves =
        curvesOf(input, {{"plain.wav", ""},
                         {"loud.wav", "-ota( -loudness -16 -truepeak -1 )"},
                         {"plain.mp3", "-lame( -b 192 )"}});
    const double loud = stereoSineLufs(-20.0, 997.0);
    const double quiet = stereoSineLufs(-40.0, 997.0);
    // The quiet tone's blocks lie below the relative gate; of the 400 ms blocks that pass it, 57
    // hold the loud tone only and three 3/4, 1/2 and 1/4 of it.
    const double integrated = loud + 10.0 * std::log10(58.5 / 60.0);
    const double gain = loggedNumber(log("loud.wav"), "gain: ", " dB");
    const std::vector<double> gains = {0.0, gain, 0.0};
    for (std::size_t job = 0; job < curves.size(); ++job) {
        SCOPED_TRACE(job);
        const Curves& file = curves[job];
        EXPECT_EQ(file.interval, 0.5);
        ASSERT_EQ(file.source.size(), 20u);
        ASSERT_EQ(file.output.size(), 20u);
        // Up to 6 s the 3 s before each point (less at the start) hold the loud tone; from
        // 9 s on the quiet one.
        for (std::size_t i = 0; i < 20; ++i) {
            const double seconds = 0.5 * static_cast<double>(i + 1);
            if (seconds <= 6.0 || seconds >= 9.0) {
                const double level = seconds <= 6.0 ? loud : quiet;
                EXPECT_NEAR(file.source[i], level, 0.1) << seconds << " s";
                EXPECT_NEAR(file.output[i], level + gains[job], 0.1) << seconds << " s";
            }
        }
        ASSERT_TRUE(file.integrated);
        EXPECT_NEAR(file.integrated->first, integrated, 0.1);
        EXPECT_NEAR(file.integrated->second, integrated + gains[job], 0.1);
        EXPECT_TRUE(file.limiter.empty());
    }
    EXPECT_FALSE(curves[0].target || curves[0].ceiling);
    // Where the encoder receives the source's samples as they are, they are handed over and
    // measured once, for both lines of the report; with a gain, twice.
    for (const auto& [output, taps] : {std::pair{"plain.wav", 1}, std::pair{"loud.wav", 2}}) {
        const std::string text = log(output);
        const std::size_t engine = text.rfind("\nengine: ffmpeg ");
        const std::string line = text.substr(engine, text.find('\n', engine + 1) - engine);
        EXPECT_EQ(line.find("-map [src]") == std::string::npos, taps == 1) << line;
    }
    const std::regex figures(R"(sound: (source|output): (sample peak [^;\n]*))");
    const std::string plain = log("plain.wav");
    std::vector<std::string> lines;
    for (std::sregex_iterator it(plain.begin(), plain.end(), figures), end; it != end; ++it) {
        lines.push_back((*it)[2]);
    }
    ASSERT_EQ(lines.size(), 2u) << plain;
    EXPECT_EQ(lines[0], lines[1]);
    EXPECT_EQ(curves[1].target, -16.0);
    EXPECT_EQ(curves[1].ceiling, -1.0);
    EXPECT_NEAR(gain, -16.0 - integrated, 0.05);
}

TEST_F(LoudnessCurvesFile, ShowsWhereTheLimiterHeldALoudBurstDown) {
    // A 997 Hz bed at -26 dBFS with a burst 20 dB louder from 4.0 to 4.5 s: at -10 LUFS the
    // gain takes the burst far over the ceiling, the bed stays well below it. The MP3 output's
    // curve is measured on the decoded file, as its report line is.
    const std::string input =
        source("bed and burst.wav", "(0.05+0.45*between(t,4,4.5))*sin(2*PI*997*t)", 10.0);
    const std::vector<std::pair<std::string, std::string>> jobs = {
        {"burst.wav", "-ota( -loudness -10 -truepeak -1 )"},
        {"burst.mp3", "-ota( -loudness -10 -truepeak -1 ) -lame( -b 192 )"}};
    const std::vector<Curves> curves = curvesOf(input, jobs);
    for (std::size_t job = 0; job < jobs.size(); ++job) {
        SCOPED_TRACE(jobs[job].first);
        const Curves& file = curves[job];
        ASSERT_FALSE(file.limiter.empty()) << log(jobs[job].first);
        EXPECT_LE(file.limiter.front().first, 4.1);
        EXPECT_GE(file.limiter.back().second, 4.4);
        for (const auto& [from, to] : file.limiter) {
            EXPECT_GE(from, 3.9);
            EXPECT_LE(to, 4.6);
            EXPECT_LT(from, to);
        }
        // The output's integrated loudness is the one its report line gives.
        std::smatch reported;
        const std::string text = log(jobs[job].first);
        ASSERT_TRUE(std::regex_search(
            text, reported, std::regex(R"(\nsound: output: [^\n]* loudness (-?[\d.]+) LUFS)")));
        ASSERT_TRUE(file.integrated);
        EXPECT_EQ(file.integrated->second, std::stod(reported[1]));
    }
}

} // namespace
} // namespace cantova::testing
