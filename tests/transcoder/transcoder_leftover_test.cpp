// Whole transcoder runs that must fail with the true reason, and runs that tidy what killed runs
// left in their output folder.
#include "transcoder/ended_process.h"
#include "transcoder/transcoder_fault_fixture.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <sys/wait.h>

namespace cantova::testing {
namespace {

const Words kSixNames = {"FL", "FR", "FC", "LFE", "SL", "SR"};

std::string sixName(const std::string& channel) {
    return "Stream1_" + channel + ".wav";
}

bool holdsHiddenFiles(const fs::path& folder) {
    for (const std::string& name : filesIn(folder.string())) {
        if (name.front() == '.') {
            return true;
        }
    }
    return false;
}

TEST_F(TranscoderFaults, NamesAMissingEngineAndItsPackageInsteadOfBlamingTheSource) {
    const std::string source = makeSource("source.wav", 0.5);
    struct Case {
        std::string output, groups, missing, line;
    };
    const std::vector<Case> cases = {
        {"Stream1.mp3", "-lame( -b 128 )", "lame",
         "result: FAILED, the engine lame is missing: install the Debian package lame"},
        {"Stream1.ogg", "-ogg( -q 1 )", "oggenc",
         "result: FAILED, the engine oggenc is missing: install the Debian package vorbis-tools"},
        {"Stream1.wav", "", "ffmpeg",
         "result: FAILED, the engine ffmpeg is missing: install the Debian package ffmpeg"},
    };
    const std::string searchPath = std::getenv("PATH");
    auto installed = [&](const std::string& program) {
        for (std::size_t begin = 0, end = 0; end != std::string::npos; begin = end + 1) {
            end = searchPath.find(':', begin);
            const fs::path candidate = fs::path(searchPath.substr(begin, end - begin)) / program;
            if (::access(candidate.c_str(), X_OK) == 0) {
                return candidate;
            }
        }
        return fs::path();
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.missing);
        fs::remove(log());
        const fs::path engines = root_ / ("engines without " + test.missing);
        fs::create_directory(engines);
        for (const std::string program : {"ffmpeg", "lame", "oggenc"}) {
            if (program != test.missing) {
                fs::create_symlink(installed(program), engines / program);
            }
        }
        ProcessOptions options;
        options.environment = {{"PATH", engines.string()}};
        Process run(command(source, path(test.output), test.groups), options);
        EXPECT_EQ(run.wait(30s), 1);
        EXPECT_NE(run.output().find(test.line + "\n"), std::string::npos) << run.output();
        const std::string text = readFile(log());
        EXPECT_NE(text.find(test.line + "\n"), std::string::npos) << text;
        EXPECT_EQ(text.find("engine: "), std::string::npos) << "work began: " << text;
        EXPECT_EQ(filesIn(folder_.string()), Words{"source.wav"});
    }
    // Only the engines of the job's own target are needed.
    ProcessOptions withoutLame;
    withoutLame.environment = {{"PATH", (root_ / "engines without lame").string()}};
    Process vorbis(command(source, path("Stream1.ogg"), "-ogg( -q 1 )"), withoutLame);
    EXPECT_EQ(vorbis.wait(60s), 0) << readFile(log());
}

TEST_F(TranscoderFaults, FailsWithTheReasonWhenItsLogCannotBeWritten) {
    const std::string source = makeSource("source.wav", 0.5);
    constexpr long long kLimit = 1 << 20;
    ProcessOptions limited;
    limited.fileSizeLimit = kLimit; // as a disk that is full once the log has reached 1 MiB
    const std::string tooLarge =
        "result: FAILED, the log " + log() + " could not be written: File too large\n";

    // Full from the start: no work is done.
    writeText(log(), std::string(kLimit, '.'));
    Process full(command(source, path("Stream1.wav"), ""), limited);
    EXPECT_EQ(full.wait(30s), 1);
    EXPECT_NE(full.output().find(tooLarge), std::string::npos) << full.output();
    EXPECT_EQ(filesIn(folder_.string()), Words{"source.wav"});

    // Full half way: the job does not end as done with its log cut.
    writeText(log(), "");
    EngineGate gate(root_ / "gate", {"ffmpeg"}, kEncodingPass);
    limited.environment = gate.environment();
    Process filling(command(source, path("Stream1.wav"), ""), limited);
    ASSERT_TRUE(gate.waitForArrivals(1, 30s));
    std::ofstream(log(), std::ios::app) << std::string(kLimit - fs::file_size(log()), '.');
    gate.open();
    EXPECT_EQ(filling.wait(60s), 1);
    EXPECT_NE(filling.output().find(tooLarge), std::string::npos) << filling.output();
    EXPECT_EQ(filling.output().find("result: OK"), std::string::npos) << filling.output();
    EXPECT_EQ(filesIn(folder_.string()), Words{"source.wav"});

    // A log in a folder that does not exist.
    const std::string nowhere = (root_ / "no such folder" / "Audio_Stream.log").string();
    Process unopened(transcoderCommand(source, path("Stream1.wav"), nowhere, ""));
    EXPECT_EQ(unopened.wait(30s), 1);
    EXPECT_NE(unopened.output().find("result: FAILED, the log " + nowhere +
                                     " cannot be opened: No such file or directory\n"),
              std::string::npos)
        << unopened.output();
    EXPECT_EQ(filesIn(folder_.string()), Words{"source.wav"});
}

// A WAVE file of count copies of a tone: ffmpeg names no layout for more than 18 channels.
void writeManyChannels(const std::string& path, int count) {
    std::string labels;
    for (int i = 0; i < count; ++i) {
        labels += "[a" + std::to_string(i) + "]";
    }
    runFfmpeg({"-f", "lavfi", "-i", "sine=f=440:r=48000:d=0.5", "-filter_complex",
               "[0]asplit=" + std::to_string(count) + labels + ";" + labels +
                   "amerge=inputs=" + std::to_string(count),
               "-c:a", "pcm_s16le", path});
}

TEST_F(TranscoderFaults, SaysWhichPropertyOfASourceItCannotTake) {
    writeManyChannels(path("32 channels.wav"), 32);
    writeManyChannels(path("20 channels.wav"), 20);
    // A WAVE header that says 1 Hz (sample rate and byte rate of the format chunk).
    runFfmpeg({"-f", "lavfi", "-i", "sine=f=440:r=48000:d=0.5", "-ac", "2", "-c:a", "pcm_s16le",
               path("1 Hz.wav")});
    {
        std::fstream wave(path("1 Hz.wav"), std::ios::in | std::ios::out | std::ios::binary);
        const unsigned char rates[8] = {1, 0, 0, 0, 4, 0, 0, 0};
        wave.seekp(24);
        wave.write(reinterpret_cast<const char*>(rates), sizeof rates);
    }
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"32 channels.wav", "has 32 channels, more than the 24 the program takes"},
        {"20 channels.wav", "has 20 channels in no layout the program knows; without a layout "
                            "named in the file it takes 1 to 8, 16 or 24 channels"},
        {"1 Hz.wav", "has a sample rate of 1 Hz; the program takes 8000 to 192000 Hz"},
    };
    for (const auto& [source, reason] : cases) {
        for (const auto& [output, groups] : std::vector<std::pair<std::string, std::string>>{
                 {"Stream1.wav", ""}, {"Stream1.mp3", "-lame( -b 128 )"}}) {
            SCOPED_TRACE(source + " to " + output);
            Process run(command(path(source), path(output), groups));
            EXPECT_EQ(run.wait(30s), 1);
            EXPECT_NE(run.output().find("result: FAILED, the input " + path(source) + " " + reason +
                                        "\n"),
                      std::string::npos)
                << run.output();
        }
    }

    // -23 written with an exponent: refused, saying which form is read.
    Process exponent(command(path("1 Hz.wav"), path("Stream1.wav"), "-ota( -loudness -2.3e1 )"));
    EXPECT_EQ(exponent.wait(30s), 2);
    EXPECT_NE(readFile(log()).find("result: FAILED, command line refused: -ota( switch -loudness "
                                   "needs a plain decimal number (such as -23.5, with a point or "
                                   "a comma), not \"-2.3e1\""),
              std::string::npos)
        << readFile(log());
    EXPECT_EQ(filesIn(folder_.string()), (Words{"1 Hz.wav", "20 channels.wav", "32 channels.wav"}));
}

// A -6ch job replacing the six files of an earlier run, killed after some of its renames; then
// another job in the folder.
class KilledNaming : public TranscoderFaults {
protected:
    void SetUp() override {
        TranscoderFaults::SetUp();
        if (IsSkipped()) {
            return;
        }
        runFfmpeg({"-f", "lavfi", "-i", "sine=f=440:r=48000:d=0.5", "-ac", "6", "-c:a", "pcm_s16le",
                   path("six.wav")});
        for (const std::string& channel : kSixNames) {
            writeText(path(sixName(channel)), "old " + channel);
        }
    }

    // Leaves the job paused after its renames-th rename.
    std::unique_ptr<Process> pausedAfter(int renames) {
        ProcessOptions options;
        options.environment = {{"CANTOVA_TEST_PAUSE_NAMING", std::to_string(renames)}};
        auto run = std::make_unique<Process>(
            command(path("six.wav"), path("Stream1.wav"), "", "-6ch"), options);
        EXPECT_TRUE(run->waitForOutput("naming paused", 60s)) << readFile(log());
        return run;
    }

    void runNextJob() {
        EXPECT_EQ(runProgram(command(path("six.wav"), path("Stream2.wav"), "", "-2ch")).exitCode, 0)
            << readFile(log());
    }

    Words allNames() const {
        Words names = {"Stream2.wav", "six.wav"};
        for (const std::string& channel : kSixNames) {
            names.push_back(sixName(channel));
        }
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(KilledNaming, IsUndoneByTheNextRunOnceTheKilledProcessHasEnded) {
    // Three old files hidden; then all six hidden and two new ones named.
    for (const int renames : {3, 8}) {
        SCOPED_TRACE(renames);
        std::unique_ptr<Process> run = pausedAfter(renames);
        runNextJob();
        EXPECT_TRUE(holdsHiddenFiles(folder_)) << "the paused run's files were touched";
        ::kill(run->pid(), SIGKILL);
        EXPECT_EQ(run->wait(10s), -1);

        runNextJob();
        EXPECT_EQ(filesIn(folder_.string()), allNames());
        for (const std::string& channel : kSixNames) {
            EXPECT_EQ(readFile(path(sixName(channel))), "old " + channel);
        }
        const std::string all = "Stream1_FL.wav, Stream1_FR.wav, Stream1_FC.wav, Stream1_LFE.wav, "
                                "Stream1_SL.wav, Stream1_SR.wav";
        const std::string undone = "tidy: undid the naming of " + all + " that an ended run began";
        // Every removal is said as one.
        const std::string removed = renames == 8 ? ": removed the new files it had named: "
                                                   "Stream1_FL.wav, Stream1_FR.wav"
                                                 : "";
        const std::string putBack =
            "; the old files put back: " + (renames == 8 ? all
                                                         : "Stream1_FL.wav, Stream1_FR.wav, "
                                                           "Stream1_FC.wav");
        EXPECT_NE(readFile(log()).find(undone + removed + putBack + "\n"), std::string::npos)
            << readFile(log());
    }
}

TEST_F(KilledNaming, IsFinishedByTheNextRunWhenEveryNewFileHasItsName) {
    std::unique_ptr<Process> run = pausedAfter(12);
    ::kill(run->pid(), SIGKILL);
    EXPECT_EQ(run->wait(10s), -1);
    runNextJob();
    EXPECT_EQ(filesIn(folder_.string()), allNames());
    for (const std::string& channel : kSixNames) {
        EXPECT_EQ(probeAudio(path(sixName(channel))).channels, 1) << channel;
    }
    EXPECT_NE(readFile(log()).find("tidy: finished the naming of Stream1_FL.wav, "),
              std::string::npos)
        << readFile(log());
    EXPECT_NE(readFile(log()).find("began: removed the old files it had moved aside: "
                                   ".Stream1_FL.replaced-"),
              std::string::npos)
        << readFile(log());
}

TEST_F(TranscoderFaults, RemovesNoTemporaryLookingNamesWhereNoneAreMade) {
    // This folder takes unnamed files: the transcoder makes no ".part" files here, so none of
    // these can be its own, not even those a record of an ended run lists.
    const std::string source = makeSource("source.wav", 0.5);
    const std::string ended = std::to_string(endedProcessId());
    const std::string living = std::to_string(::getpid());
    const Words names = {
        ".holiday.part-" + ended + "-2.WAV",                  // the user's own
        ".Stream1.part-" + ended + "-1.wav",                  // listed in a record below
        ".Stream1 DELAY -24ms.part-" + ended + "-123456.MP3", //
        ".Stream1.part-" + living + "-7.wav",                 // its process still runs
        "Stream1.part-" + ended + "-7.wav",                   // not hidden
        ".Stream1.part-" + ended + "-7.wav.bak",              // more after the pattern
        ".Stream1.part-" + ended + "-x7.wav",                 // no number
        ".Stream1.replaced-" + ended + "-0.wav",              // an old output
        ".Stream3.part-" + ended + "-1.wav",                  // a link
        ".Stream4.part-" + ended + "-1.wav",                  // a folder
    };
    for (const std::string& name : names) {
        if (name.find("Stream3") != std::string::npos) {
            fs::create_symlink(source, path(name));
        } else if (name.find("Stream4") != std::string::npos) {
            fs::create_directory(path(name));
        } else {
            writeText(path(name), "someone's");
        }
    }
    struct stat listed {};
    ASSERT_EQ(::stat(path(names[1]).c_str(), &listed), 0);
    writeText(path(".cantova-parts-" + ended + "-1"),
              std::string("cantova parts record 1") + '\0' + names[1] + '\0' +
                  std::to_string(listed.st_dev) + '\0' + std::to_string(listed.st_ino) + '\0');
    Words expected = filesIn(folder_.string());
    ASSERT_EQ(runProgram(command(source, path("Stream2.wav"), "")).exitCode, 0) << readFile(log());
    expected.push_back("Stream2.wav");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(filesIn(folder_.string()), expected);
    EXPECT_EQ(readFile(log()).find("tidy: "), std::string::npos) << readFile(log());
}

} // namespace
} // namespace cantova::testing
