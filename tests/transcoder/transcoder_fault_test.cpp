// File safety of whole transcoder runs: what the job may write, what it must refuse, and what is
// left when a disk fills, a name is taken meanwhile, or the transcoder is killed or abandoned.
#include "transcoder/transcoder_fault_fixture.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace cantova::testing {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

TEST_F(TranscoderFaults, WritesNoneOfItsNamesOverItsSource) {
    // The source under one of the six names of -6ch, under its output's name through a hard
    // link, and as the log.
    const std::string source = makeSource("Stream1_FL.wav", 0.5);
    const std::string before = readFile(source);
    EXPECT_EQ(runProgram(command(source, path("Stream1.wav"), "", "-6ch")).exitCode, 1);
    EXPECT_NE(readFile(log()).find("result: FAILED, the output " + source + " is the input itself"),
              std::string::npos)
        << readFile(log());

    fs::create_hard_link(source, path("Stream2.ac3"));
    EXPECT_EQ(runProgram(command(source, path("Stream2.ac3"), "-ac3enc( -b 192 )")).exitCode, 1);

    EXPECT_EQ(runProgram(transcoderCommand(source, path("Stream3.mp3"), source, "-lame( -b 128 )"))
                  .exitCode,
              2);
    EXPECT_EQ(readFile(source), before);
    EXPECT_EQ(filesIn(folder_.string()), (Words{"Stream1_FL.wav", "Stream2.ac3"}));
}

TEST_F(TranscoderFaults, ReportsAFullDiskInsteadOfSuccessAndLeavesNoOutput) {
    const std::string source = makeSource("source.wav", 3.0, true);
    // Files may grow to 32 KiB, as on a disk that fills up: every output here needs more.
    const std::vector<std::pair<std::string, std::string>> jobs = {
        {"Stream1.ac3", "-ac3enc( -b 448 )"}, {"Stream1.wav", ""},
        {"Stream1.mp3", "-lame( -b 320 )"},   {"Stream1.ogg", "-ogg( -q 1 )"},
        {"Stream1.opus", "-opus( -b 512 )"},  {"Stream1.flac", "-flac( -c 0 )"},
    };
    for (const auto& [output, groups] : jobs) {
        SCOPED_TRACE(output);
        fs::remove(log());
        ProcessOptions options;
        options.fileSizeLimit = 32 * 1024;
        Process run(command(source, path(output), groups), options);
        EXPECT_EQ(run.wait(60s), 1);
        const std::string text = readFile(log());
        EXPECT_NE(text.find("result: FAILED, the output could not be written: "), std::string::npos)
            << text;
        EXPECT_EQ(text.find("result: OK"), std::string::npos) << text;
        EXPECT_EQ(filesIn(folder_.string()), Words{"source.wav"});
    }
}

TEST_F(TranscoderFaults, ReportsAnOutputShorterThanEncodedInsteadOfSuccess) {
    // lame ends as if all went well, but half of what it wrote is lost.
    const std::string source = makeSource("source.wav", 2.0);
    EngineGate gate(root_ / "gate", {"lame"});
    gate.open();
    ProcessOptions options;
    options.environment = gate.environment();
    options.environment.emplace_back("CANTOVA_TEST_GATE_HALVE", "1");
    Process run(command(source, path("Stream1.mp3"), "-lame( -b 192 )"), options);
    EXPECT_EQ(run.wait(60s), 1);
    const std::string text = readFile(log());
    EXPECT_NE(text.find("result: FAILED, the output was not fully written: it plays 0.9"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find(" s of the 2 s encoded"), std::string::npos) << text;
    EXPECT_EQ(filesIn(folder_.string()), Words{"source.wav"});
}

TEST_F(TranscoderFaults, ReplacingSeveralFilesIsAllOrNothing) {
    // The front and the left surround files of an earlier run are there; while the job runs,
    // another program writes the centre file. The job must fail and leave all three as they
    // were, the new ones of this job gone.
    runFfmpeg({"-f", "lavfi", "-i", "sine=f=440:r=48000:d=0.5", "-ac", "6", "-c:a", "pcm_s16le",
               path("six.wav")});
    for (const char* name : {"FL", "FR", "SL"}) {
        writeText(path(std::string("Stream1_") + name + ".wav"), std::string("old ") + name);
    }
    EngineGate gate(root_ / "gate", {"ffmpeg"}, kEncodingPass);
    ProcessOptions options;
    options.environment = gate.environment();
    Process run(command(path("six.wav"), path("Stream1.wav"), "", "-6ch"), options);
    ASSERT_TRUE(gate.waitForArrivals(1, 30s));
    writeText(path("Stream1_FC.wav"), "somebody else's");
    gate.open();
    EXPECT_EQ(run.wait(60s), 1);

    EXPECT_NE(readFile(log()).find("result: FAILED, the output " + path("Stream1_FC.wav") +
                                   " appeared during the run"),
              std::string::npos)
        << readFile(log());
    EXPECT_EQ(readFile(path("Stream1_FL.wav")), "old FL");
    EXPECT_EQ(readFile(path("Stream1_FR.wav")), "old FR");
    EXPECT_EQ(readFile(path("Stream1_SL.wav")), "old SL");
    EXPECT_EQ(readFile(path("Stream1_FC.wav")), "somebody else's");
    EXPECT_EQ(filesIn(folder_.string()), (Words{"Stream1_FC.wav", "Stream1_FL.wav",
                                                "Stream1_FR.wav", "Stream1_SL.wav", "six.wav"}));
}

TEST_F(TranscoderFaults, OfTwoJobsWritingTheSameNewOutputTheSecondFails) {
    // Two front ends in one folder: both jobs start before either has written Stream1.mp3.
    const std::string first = makeSource("first.wav", 1.0);
    const std::string second = makeSource("second.wav", 0.5);
    EngineGate gate(root_ / "gate", {"ffmpeg"}, kEncodingPass);
    ProcessOptions options;
    options.environment = gate.environment();
    Process one(transcoderCommand(first, path("Stream1.mp3"), (root_ / "one.log").string(),
                                  "-lame( -b 128 )"),
                options);
    Process two(transcoderCommand(second, path("Stream1.mp3"), (root_ / "two.log").string(),
                                  "-lame( -b 128 )"),
                options);
    ASSERT_TRUE(gate.waitForArrivals(2, 30s));
    gate.open();
    const std::optional<int> oneStatus = one.wait(60s);
    const std::optional<int> twoStatus = two.wait(60s);
    ASSERT_TRUE(oneStatus && twoStatus);
    EXPECT_EQ(*oneStatus + *twoStatus, 1) << "exactly one of them succeeds";
    const std::string winner = *oneStatus == 0 ? "one" : "two";
    const std::string loser = *oneStatus == 0 ? "two" : "one";
    EXPECT_NE(
        readFile((root_ / (loser + ".log")).string())
            .find("result: FAILED, the output " + path("Stream1.mp3") + " appeared during the run"),
        std::string::npos);
    EXPECT_NEAR(decodedSeconds(path("Stream1.mp3")), winner == "one" ? 1.0 : 0.5, 0.03);
    EXPECT_EQ(filesIn(folder_.string()), (Words{"Stream1.mp3", "first.wav", "second.wav"}));
    // Beside the logs, only the winner's loudness curves: the loser's output has no name.
    EXPECT_TRUE(fs::exists(root_ / (winner + ".Stream1.mp3.loudness")));
    EXPECT_FALSE(fs::exists(root_ / (loser + ".Stream1.mp3.loudness")));
}

TEST_F(TranscoderFaults, WritesThroughNoLinkPlantedAtATemporaryName) {
    // Whoever knows the job's process id could plant a link where a temporary file is
    // expected; the job must neither follow it nor leave any named file before it is done.
    const std::string source = makeSource("source.wav", 0.5);
    const std::string victim = (root_ / "victim.txt").string();
    writeText(victim, "precious");
    EngineGate gate(root_ / "gate", {"ffmpeg"}, kEncodingPass);
    ProcessOptions options;
    options.environment = gate.environment();
    options.holdBeforeExec = true;
    Process run(command(source, path("Stream1.wav"), "", "-2ch"), options);
    const std::string pid = std::to_string(run.pid());
    fs::create_symlink(victim, path(".Stream1.part-" + pid + ".wav"));
    for (int n = 0; n < 3; ++n) {
        fs::create_symlink(victim, path(".Stream1.part-" + pid + "-" + std::to_string(n) + ".wav"));
    }
    const Words planted = filesIn(folder_.string());
    run.release();
    ASSERT_TRUE(gate.waitForArrivals(1, 30s));
    EXPECT_EQ(filesIn(folder_.string()), planted) << "a named file appeared before the end";
    gate.open();
    EXPECT_EQ(run.wait(60s), 0) << readFile(log());
    EXPECT_EQ(readFile(victim), "precious");
    EXPECT_EQ(probeAudio(path("Stream1.wav")).channels, 2);
}

TEST_F(TranscoderFaults, ReadsASourceNamedLikeAnFfmpegProtocolAsALocalFile) {
    // "pipe:0 ..." would make ffmpeg read its standard input.
    makeSource("pipe:0 take.wav", 0.5);
    ProcessOptions options;
    options.workingDirectory = folder_.string();
    Process run(command("pipe:0 take.wav", "Stream1.mp3", "-lame( -b 128 )"), options);
    EXPECT_EQ(run.wait(60s), 0) << readFile(log());
    EXPECT_NEAR(decodedSeconds(path("Stream1.mp3")), 0.5, 0.03);
}

// The transcoder started on a job whose encoder waits at the gate, so that it is certainly in
// the middle of its work.
class AbandonedJob : public TranscoderFaults {
protected:
    void SetUp() override {
        TranscoderFaults::SetUp();
        if (IsSkipped()) {
            return;
        }
        gate_.emplace(root_ / "gate", Words{"oggenc"});
        ProcessOptions options;
        options.environment = gate_->environment();
        run_.emplace(command(makeSource("source.wav"), path("Stream1.ogg"), "-ogg( -q 0.5 )"),
                     options);
        ASSERT_TRUE(gate_->waitForArrivals(1, 30s));
        ASSERT_TRUE(run_->waitForOutput("progress 0%", 30s));
    }

    void TearDown() override {
        if (gate_) {
            gate_->open();
        }
        run_.reset();
        TranscoderFaults::TearDown();
    }

    OrphanCatcher orphans_;
    std::optional<EngineGate> gate_;
    std::optional<Process> run_;
};

TEST_F(AbandonedJob, EnginesEndWithAKilledTranscoderAndLeaveNoFile) {
    ::kill(run_->pid(), SIGKILL);
    EXPECT_EQ(run_->wait(10s), -1);
    EXPECT_EQ(orphans_.stillRunningAfter(5s), 0) << "engines outlived the transcoder";
    EXPECT_EQ(filesIn(folder_.string()), Words{"source.wav"});
}

TEST_F(AbandonedJob, AClosedStandardOutputStopsTheJobInOrder) {
    run_->closeOutput(); // the front end has gone
    const std::optional<int> status = run_->wait(10s);
    ASSERT_TRUE(status.has_value()) << "the transcoder did not notice";
    EXPECT_EQ(*status, 1);
    EXPECT_NE(readFile(log()).find("result: FAILED, stopped: the standard output was closed"),
              std::string::npos)
        << readFile(log());
    EXPECT_EQ(orphans_.stillRunningAfter(5s), 0);
    EXPECT_EQ(filesIn(folder_.string()), Words{"source.wav"});
}

TEST_F(TranscoderFaults, RefusesAbsurdValuesBeforeAnyWork) {
    const std::string source = makeSource("source.wav", 0.5);
    fs::copy_file(source, path("track 99999999999kHz.pcm"));
    const std::vector<Words> refused = {
        command(source, path("Stream1.wav"), "-ssrc( --rate 2147483647 )", "-2ch"),
        command(source, path("Stream1.wav"), "-ssrc( --rate 7999 )", "-2ch"),
        command(path("track 99999999999kHz.pcm"), path("Stream1.wav"), "", "-2ch"),
        command(source, path("Stream1.ac3"), "-ac3enc( -b 99999 )"),
    };
    for (const Words& words : refused) {
        Process run(words);
        EXPECT_EQ(run.wait(10s), 2) << words.back();
    }
    EXPECT_EQ(filesIn(folder_.string()), (Words{"source.wav", "track 99999999999kHz.pcm"}));
}

TEST_F(TranscoderFaults, RefusesALogThatIsNoRegularFileInsteadOfWaitingForIt) {
    const std::string source = makeSource("source.wav", 0.5);
    const std::string fifo = (root_ / "log fifo").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    Process run(transcoderCommand(source, path("Stream1.wav"), fifo, "", "-2ch"));
    EXPECT_EQ(run.wait(10s), 2) << "the job waited for a reader of its log";
    EXPECT_EQ(filesIn(folder_.string()), Words{"source.wav"});
}

TEST_F(TranscoderFaults, UsesTheNearestMp3BitrateTheOutputsSampleRateCarries) {
    const std::string source = makeSource("source.wav", 0.5);
    ASSERT_EQ(
        runProgram(command(source, path("Stream1.mp3"), "-lame( -b 192 ) -ssrc( --rate 22050 )"))
            .exitCode,
        0)
        << readFile(log());
    EXPECT_EQ(probeAudio(path("Stream1.mp3")).bitRate, 160000);
    EXPECT_NE(readFile(log()).find("lame: MP3 cannot carry 192 kbit/s at 22050 Hz, encoded at "
                                   "160 kbit/s"),
              std::string::npos)
        << readFile(log());
}

} // namespace
} // namespace cantova::testing
