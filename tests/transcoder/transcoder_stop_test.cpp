// Stops and sources that change under a running job: every pass reads the file opened at the
// start, and a signal ends the transcoder within seconds whatever its engines do.
#include "transcoder/transcoder_fault_fixture.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/stat.h>
#include <thread>

namespace cantova::testing {
namespace {

TEST_F(TranscoderFaults, ReadsEveryPassFromTheSourceOpenedAtTheStart) {
    // Renamed and replaced by a FIFO between the loudness job's measuring and encoding passes:
    // an engine opening the name would wait for a writer for ever.
    const std::string source = makeSource("source.wav", 3.0);
    EngineGate gate(root_ / "gate", {"ffmpeg"}, kEncodingPass);
    ProcessOptions options;
    options.environment = gate.environment();
    Process run(command(source, path("Stream1.wav"), "-ota( -loudness -23 )"), options);
    ASSERT_TRUE(gate.waitForArrivals(1, 60s)) << readFile(log());
    fs::rename(source, path("source renamed.wav"));
    ASSERT_EQ(::mkfifo(source.c_str(), 0600), 0);
    gate.open();
    ASSERT_EQ(run.wait(60s), 0) << readFile(log());
    EXPECT_NEAR(decodedSeconds(path("Stream1.wav")), 3.0, 0.01);
    const std::string text = readFile(log());
    const std::size_t report = text.find("sound: output: ");
    ASSERT_NE(report, std::string::npos) << text;
    EXPECT_NE(text.substr(report, text.find('\n', report) - report).find("loudness -23.0 LUFS"),
              std::string::npos)
        << text;
    EXPECT_TRUE(fs::is_fifo(source));

    // A FIFO from the start is refused at once.
    Process fromFifo(command(source, path("Stream2.wav"), ""));
    EXPECT_EQ(fromFifo.wait(30s), 1);
    EXPECT_NE(
        fromFifo.output().find("result: FAILED, the input " + source + " is not a readable file"),
        std::string::npos)
        << fromFifo.output();
}

// A job stopped by a signal in one of its states; the transcoder must end within a few seconds,
// its engines gone and no output left.
class StoppedJob : public TranscoderFaults {
protected:
    void expectStoppedWithin(Process& run, int signal, std::chrono::milliseconds limit) {
        const auto sent = std::chrono::steady_clock::now();
        ASSERT_EQ(::kill(run.pid(), signal), 0);
        const std::optional<int> status = run.wait(limit);
        ASSERT_TRUE(status.has_value())
            << "still running " << limit.count() << " ms after signal " << signal << "\n"
            << readFile(log());
        const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - sent);
        RecordProperty("stop_milliseconds_signal_" + std::to_string(signal),
                       std::to_string(took.count()));
        EXPECT_EQ(*status, 1);
        EXPECT_NE(run.output().find("result: FAILED, stopped by a signal"), std::string::npos)
            << run.output();
        EXPECT_EQ(orphans_.stillRunningAfter(5s), 0) << "engines outlived the transcoder";
        EXPECT_EQ(filesIn(folder_.string()), Words{"source.wav"});
    }

    OrphanCatcher orphans_;
};

TEST_F(StoppedJob, EndsWithinSecondsWhenAnEngineIgnoresTheStop) {
    // The engine probing the source and the one encoding it, each deaf to SIGTERM while it
    // waits: the transcoder kills it after a short grace.
    const std::string source = makeSource("source.wav", 1.0);
    struct Case {
        std::string word;
        int signal;
    };
    for (const Case& test :
         {Case{"ashowinfo", SIGTERM}, Case{kEncodingPass, SIGINT}, Case{kEncodingPass, SIGHUP}}) {
        SCOPED_TRACE(test.word + " " + std::to_string(test.signal));
        const fs::path gateFolder = root_ / ("gate " + std::to_string(test.signal));
        EngineGate gate(gateFolder, {"ffmpeg", "lame"}, test.word);
        gate.ignoreStopSignals();
        ProcessOptions options;
        options.environment = gate.environment();
        Process run(command(source, path("Stream1.mp3"), "-lame( -b 128 ) -ota( -loudness -20 )"),
                    options);
        ASSERT_TRUE(gate.waitForArrivals(1, 60s)) << readFile(log());
        expectStoppedWithin(run, test.signal, 6s);
    }
}

TEST_F(StoppedJob, EndsWithinSecondsWhenTheDecoderOfTheGrowingOutputIgnoresTheStop) {
    // The engine that decodes the output while it is written never reads it: the encoders end,
    // the bytes it was to get wait, and the stop still ends the job.
    const std::string source = makeSource("source.wav", 10.0, true);
    EngineGate gate(root_ / "gate", {"ffmpeg"}, "pipe:0");
    gate.ignoreStopSignals();
    ProcessOptions options;
    options.environment = gate.environment();
    Process run(command(source, path("Stream1.mp3"), "-lame( -b 320 ) -ota( -g max )"), options);
    ASSERT_TRUE(gate.waitForArrivals(1, 60s)) << readFile(log());
    expectStoppedWithin(run, SIGTERM, 6s);
}

TEST_F(TranscoderFaults, DecodesTheWholeGrowingOutputHoweverLateItsDecoderReads) {
    // The decoder starts reading only after the encoders have written the whole output, many
    // times what a pipe holds: it still gets every byte, in order, and its input then ends.
    const std::string source = makeSource("source.wav", 10.0, true);
    EngineGate gate(root_ / "gate", {"ffmpeg"}, "pipe:0");
    ProcessOptions options;
    options.environment = gate.environment();
    Process run(command(source, path("Stream1.mp3"), "-lame( -b 320 ) -ota( -g max )"), options);
    ASSERT_TRUE(gate.waitForArrivals(1, 60s)) << readFile(log());
    std::this_thread::sleep_for(2s);
    gate.open();
    ASSERT_EQ(run.wait(60s), 0) << readFile(log());
    const DecodedAudio written = decodeAudio(path("Stream1.mp3"));
    EXPECT_NEAR(
        loggedNumber(readFile(log()), "measured while writing: decoded: sample peak ", " dBFS"),
        peakDb(written), 0.06)
        << readFile(log());
}

TEST_F(StoppedJob, EndsAtOnceWhileItsEnginesWork) {
    const std::string source = makeSource("source.wav", 60.0, true);
    Process run(command(source, path("Stream1.ogg"), "-ogg( -q 0.5 ) -ota( -g max )"));
    ASSERT_TRUE(run.waitForOutput("progress ", 60s)) << readFile(log());
    expectStoppedWithin(run, SIGTERM, 6s);
}

} // namespace
} // namespace cantova::testing
