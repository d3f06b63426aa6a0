// Containers as sources through the batch driver and the real media library: the track list,
// files refused at selection, the track on the command line, in pasted lines and profiles, and
// the language kept through an add of several files.

#include "support/program_runs.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace cantova::testing {
namespace {

namespace fs = std::filesystem;
using Words = std::vector<std::string>;

class TrackSources : public ::testing::Test {
protected:
    void SetUp() override {
        if (!programsAvailable({"ffmpeg"})) {
            GTEST_SKIP() << "ffmpeg is not installed: no media to test with";
        }
        home_ = temp_.Path() / "home";
        fs::create_directories(home_);
    }

    // AC3 5.1 (eng), AAC 2.0 (ger, "Kommentar", the default), FLAC 2.0 (fre).
    std::string makeFilm(const std::string& name) {
        const std::string path = temp_.File(name);
        ToneTrack ac3 = tone(440, "ac3", 6);
        ac3.language = "eng";
        ToneTrack aac = tone(1000, "aac", 2);
        aac.language = "ger";
        aac.title = "Kommentar";
        aac.isDefault = true;
        ToneTrack flac = tone(2500, "flac", 2);
        flac.language = "fre";
        makeToneMedia(path, {ac3, aac, flac});
        return path;
    }

    ProgramRun batch(const Words& steps) const {
        Words argv = {CANTOVA_BATCH};
        argv.insert(argv.end(), steps.begin(), steps.end());
        return runProgram(argv, {{"HOME", home_.string()}});
    }

    TempFolder temp_;
    fs::path home_;
};

TEST_F(TrackSources, TheListShowsEveryTrackAndStartsWithTheDefault) {
    const std::string film = makeFilm("film.mkv");
    const ProgramRun run = batch({"select", film,
                                  "print",  "CmbSourceTrack.List(0)",
                                  "print",  "CmbSourceTrack.List(1)",
                                  "print",  "CmbSourceTrack.List(2)",
                                  "print",  "CmbSourceTrack.ListIndex",
                                  "print",  "LbStream1Info.Caption",
                                  "print",  "OptAudioCodec(0).Enabled",
                                  "set",    "CmbSourceTrack.ListIndex=0",
                                  "print",  "LbStream1Info.Caption",
                                  "print",  "OptAudioCodec(0).Enabled",
                                  "print",  "OptAudioCodec(0).Caption"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.output, "CmbSourceTrack.List(0)=1: AC3 5.1, 48000 Hz, 448 kbit/s, eng\n"
                          "CmbSourceTrack.List(1)=2: AAC 2.0, 48000 Hz, ger, Kommentar (default)\n"
                          "CmbSourceTrack.List(2)=3: FLAC 2.0, 48000 Hz, fre\n"
                          "CmbSourceTrack.ListIndex=1\n"
                          "LbStream1Info.Caption=Codec : AAC   Channels : 2.0   Frequency : 48000 "
                          "Hz\n"
                          "OptAudioCodec(0).Enabled=0\n"
                          "LbStream1Info.Caption=Codec : AC3   Bitrate : 448 Kbps   Channels : 5.1"
                          "   Frequency : 48000 Hz\n"
                          "OptAudioCodec(0).Enabled=1\n"
                          "OptAudioCodec(0).Caption=AC3 448 Kbps\n");
}

TEST_F(TrackSources, FilesWithoutAudioOrCutShortAreRefusedAndNothingIsAdded) {
    const std::string picture = temp_.File("picture.mkv");
    makeToneMedia(picture, {});
    const std::string cut = temp_.File("cut.mkv");
    WriteText(cut, ReadText(makeFilm("film.mkv")).substr(0, 300));
    for (const std::string& path : {picture, cut}) {
        const ProgramRun run = batch({"select", path, "click", "CmdAddAudioJobList", "print",
                                      "TxtStreamAudio.Text", "print", "LstJobAudio(0).ListCount"});
        EXPECT_EQ(run.exitCode, 2) << path;
        EXPECT_NE(run.output.find(path == picture ? "holds no audio track"
                                                  : "cannot be read as audio or video"),
                  std::string::npos)
            << run.output;
        EXPECT_NE(run.output.find("TxtStreamAudio.Text=\nLstJobAudio(0).ListCount=0\n"),
                  std::string::npos)
            << run.output;
    }
}

TEST_F(TrackSources, TheCommandLineAndTheJobListNameTheTrack) {
    const std::string film = makeFilm("film.mkv");
    const ProgramRun run =
        batch({"select", film, "set", "CmbSourceTrack.ListIndex=2", "click", "CmdAddAudioJobList",
               "print", "LstJobAudio(0).List(0)", "commands", "line"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.output.find("LstJobAudio(0).List(0)=film.mkv #3\n"), std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find("-core( -input \"" + film + "\" -track 3 -output \"" +
                              temp_.File("Stream1.mp3") + "\" -logfilea "),
              std::string::npos)
        << run.output;
}

TEST_F(TrackSources, APastedLineAndAProfileBringTheTrackBack) {
    const std::string film = makeFilm("film.mkv");
    const std::string line = batch({"select", film, "set", "CmbSourceTrack.ListIndex=0", "set",
                                    "OptAudioCodec(2).Value=1", "click", "CmdClipboard"})
                                 .output.substr(std::string("clipboard: ").size());
    ASSERT_NE(line.find(" -track 1 "), std::string::npos) << line;
    ProgramRun run = batch({"from-command", line.substr(0, line.size() - 1), "print",
                            "CmbSourceTrack.ListIndex", "click", "CmdClipboard"});
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(run.output, "CmbSourceTrack.ListIndex=0\nclipboard: " + line);

    std::string other = line;
    other.replace(other.find(" -track 1 "), 10, " -track 7 ");
    run = batch({"from-command", other});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.output.find("has no audio track 7"), std::string::npos) << run.output;

    const std::string profile = temp_.File("track three.aud");
    ASSERT_EQ(
        batch({"select", film, "set", "CmbSourceTrack.ListIndex=2", "save", profile}).exitCode, 0);
    EXPECT_NE(ReadText(profile).find("[SOURCE]\nTRACK=3\n"), std::string::npos);
    run = batch({"select", film, "load", profile, "print", "CmbSourceTrack.ListIndex"});
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(run.output, "CmbSourceTrack.ListIndex=2\n");
}

TEST_F(TrackSources, SeveralFilesTakeTheLanguageChosenOnce) {
    fs::create_directories(temp_.Path() / "season");
    ToneTrack english = tone(440, "ac3", 2);
    english.language = "eng";
    english.isDefault = true;
    ToneTrack german = tone(1000, "ac3", 2);
    german.language = "ger";
    makeToneMedia(temp_.File("season/e1.mkv"), {english, german});
    makeToneMedia(temp_.File("season/e2.mkv"), {german, english});
    makeToneMedia(temp_.File("season/e3.mkv"), {english});
    const ProgramRun run =
        batch({"select", temp_.File("season/e1.mkv"), "set", "CmbSourceTrack.ListIndex=1", "add",
               temp_.File("season"), "commands", "line"});
    EXPECT_EQ(run.exitCode, 0) << run.output;
    for (const char* expected :
         {"e1.mkv\" -track 2 ", "e2.mkv\" -track 1 ", "e3.mkv\" -track 1 "}) {
        EXPECT_NE(run.output.find(expected), std::string::npos) << expected << "\n" << run.output;
    }
}

// Jobs that read one track: the output holds that track's tone, whatever the container.
class TrackJobs : public TrackSources {
protected:
    void SetUp() override {
        TrackSources::SetUp();
        if (!programsAvailable({"ffmpeg", "ffprobe", "lame"})) {
            GTEST_SKIP() << "ffmpeg, ffprobe or lame is not installed";
        }
    }
    // Adds a job for the track (from 1) with the steps and runs it; the output's path.
    std::string runTrack(const std::string& source, int track, const Words& steps,
                         const std::string& extension) {
        Words all = {"select", source, "set",
                     "CmbSourceTrack.ListIndex=" + std::to_string(track - 1)};
        all.insert(all.end(), steps.begin(), steps.end());
        all.insert(all.end(), {"click", "CmdAddAudioJobList", "click", "cmdStartEncode"});
        const ProgramRun run = batch(all);
        EXPECT_EQ(run.exitCode, 0) << run.output << ReadText((home_ / "Audio_Stream.log").string());
        return (fs::path(source).parent_path() / ("Stream1" + extension)).string();
    }
};

TEST_F(TrackJobs, TheChosenTracksToneIsInTheOutputOfEveryContainer) {
    const Words mp3 = {"set", "OptAudioCodec(1).Value=1"};
    struct Case {
        std::string name;
        std::vector<ToneTrack> tracks;
    };
    const std::vector<Case> cases = {
        {"film.mkv", {tone(440, "ac3", 6), tone(1000, "aac", 2), tone(2500, "flac", 2)}},
        {"clip.mp4", {tone(440, "aac", 6), tone(1000, "ac3", 2), tone(2500, "aac", 2)}},
        {"broadcast.ts", {tone(440, "ac3", 6), tone(1000, "mp2", 2), tone(2500, "ac3", 2)}},
        {"dvd.vob", {tone(440, "ac3", 6), tone(1000, "mp2", 2), tone(2500, "pcm_dvd", 2)}},
        {"old.avi", {tone(440, "ac3", 6), tone(1000, "mp2", 2), tone(2500, "mp3", 2)}},
    };
    for (const Case& c : cases) {
        for (int track : {2, 3}) {
            SCOPED_TRACE(c.name + " #" + std::to_string(track));
            const fs::path folder = temp_.Path() / (c.name + std::to_string(track));
            fs::create_directories(folder);
            const std::string source = (folder / c.name).string();
            makeToneMedia(source, c.tracks);
            const DecodedTone heard = decodedTone(runTrack(source, track, mp3, ".mp3"));
            const double wanted = c.tracks[static_cast<std::size_t>(track - 1)].hertz;
            EXPECT_NEAR(heard.hertz, wanted, wanted * 0.02);
            EXPECT_GT(heard.rmsDb, -40.0);
        }
    }
}

TEST_F(TrackJobs, AnAc3TrackKeptAsItIsIsCopiedBitForBit) {
    const std::string source = makeFilm("film.mkv");
    const std::string output = runTrack(
        source, 1, {"set", "OptAudioCodec(0).Value=1", "set", "ChkAC3Reencode.Value=0"}, ".ac3");
    const std::string reference = temp_.File("reference.ac3");
    runFfmpeg({"-i", source, "-map", "0:a:0", "-c:a", "copy", "-f", "ac3", reference});
    ASSERT_FALSE(ReadText(reference).empty());
    EXPECT_EQ(ReadText(output), ReadText(reference));
}

TEST_F(TrackJobs, AWavOutputKeepsTheDepthOfTheChosenTrack) {
    // An AC3 track first, 24-bit PCM second: the lossy track's decoded samples come out as
    // dithered 16-bit, the PCM track's 24 bits as they are.
    const std::string wav = "OptAudioCodec(3).Value=1";
    for (int track : {1, 2}) {
        SCOPED_TRACE(track);
        const fs::path folder = temp_.Path() / ("depth" + std::to_string(track));
        fs::create_directories(folder);
        const std::string source = (folder / "film.mkv").string();
        makeToneMedia(source, {tone(440, "ac3", 2), tone(1000, "pcm_s24le", 2)});
        const std::string output = runTrack(source, track, {"set", wav}, ".wav");
        const ProgramRun bits = runProgram({"ffprobe", "-v", "error", "-show_entries",
                                            "stream=bits_per_sample", "-of", "csv=p=0", output});
        EXPECT_EQ(bits.output, track == 1 ? "16\n" : "24\n");
    }
}

TEST_F(TrackJobs, TheAutoDelayTakesTheTracksStartAfterThePicture) {
    const std::string source = temp_.File("late.mkv");
    ToneTrack late = tone(1000, "ac3", 2);
    late.startSeconds = 0.5;
    makeToneMedia(source, {tone(440, "ac3", 2), late});
    const std::string output = runTrack(
        source, 2, {"set", "OptAudioCodec(3).Value=1", "set", "ChkAutoDelay.Value=1"}, ".wav");
    EXPECT_NE(ReadText((home_ / "Audio_Stream.log").string()).find(" ms from the start of track 2"),
              std::string::npos);
    // 0.5 s of silence before the tone, measured over its first 0.45 s.
    const std::string head = temp_.File("head.wav");
    runFfmpeg({"-i", output, "-t", "0.45", head});
    EXPECT_LT(decodedTone(head).rmsDb, -90.0);
    EXPECT_NEAR(decodedSeconds(output), 2.5, 0.05);
}

} // namespace
} // namespace cantova::testing
