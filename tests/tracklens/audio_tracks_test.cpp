// The audio tracks the library finds in generated containers and raw streams, and what it does
// with files that hold no audio, are cut short or are no media at all.

#include "tracklens/tracklens.h"

#include "support/program_runs.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

using cantova::testing::makeToneMedia;
using cantova::testing::tone;
using cantova::testing::ToneTrack;

struct Listed {
    int result = -1;
    int32_t count = -1;
    std::vector<TRACKLENS_AUDIO_TRACK> tracks;
};

Listed List(std::string path, int32_t capacity = 8) {
    Listed listed;
    listed.tracks.resize(static_cast<std::size_t>(capacity));
    listed.result = ListAudioTracks(path.data(), listed.tracks.data(), capacity, &listed.count);
    if (listed.result == 1) {
        listed.tracks.resize(static_cast<std::size_t>(std::min(listed.count, capacity)));
    }
    return listed;
}

class AudioTracks : public ::testing::Test {
protected:
    void SetUp() override {
        if (!cantova::testing::programsAvailable({"ffmpeg"})) {
            GTEST_SKIP() << "ffmpeg is not installed: no media to test with";
        }
    }
    TempFolder folder_;
};

TEST_F(AudioTracks, MkvTracksInOrderWithTheirDescriptions) {
    const std::string path = folder_.File("film.mkv");
    makeToneMedia(path, {{440, "ac3", 6, "eng", "", false, 0},
                         {1000, "aac", 2, "ger", "Kommentar", true, 0},
                         {2500, "flac", 2, "", "", false, 0.5}});
    const Listed listed = List(path);
    ASSERT_EQ(listed.result, 1);
    ASSERT_EQ(listed.count, 3);
    const TRACKLENS_AUDIO_TRACK& ac3 = listed.tracks[0];
    EXPECT_EQ(ac3.Number, 1);
    EXPECT_STREQ(ac3.Codec, "AC3");
    EXPECT_STREQ(ac3.Layout, "5.1");
    EXPECT_EQ(ac3.Channels, 6);
    EXPECT_EQ(ac3.LfeChannels, 1);
    EXPECT_EQ(ac3.SampleRate, 48000);
    EXPECT_EQ(ac3.Bitrate, 448); // ffmpeg's default for 5.1
    EXPECT_STREQ(ac3.Language, "eng");
    EXPECT_EQ(ac3.IsDefault, 0);
    const TRACKLENS_AUDIO_TRACK& aac = listed.tracks[1];
    EXPECT_STREQ(aac.Codec, "AAC");
    EXPECT_STREQ(aac.Layout, "2.0");
    EXPECT_STREQ(aac.Language, "ger");
    EXPECT_STREQ(aac.Title, "Kommentar");
    EXPECT_EQ(aac.IsDefault, 1);
    const TRACKLENS_AUDIO_TRACK& flac = listed.tracks[2];
    EXPECT_EQ(flac.Number, 3);
    EXPECT_STREQ(flac.Codec, "FLAC");
    EXPECT_STREQ(flac.Language, "");
    EXPECT_NEAR(flac.StartMs, 500, 40);
    // Matroska tells the file's length only: up to the end of the late FLAC track.
    EXPECT_NEAR(ac3.DurationMs, 2500, 100);
}

TEST_F(AudioTracks, EveryContainerGivesItsTracks) {
    struct Case {
        const char* name;
        std::vector<ToneTrack> tracks;
        std::vector<std::string> codecs;
    };
    const std::vector<Case> cases = {
        {"clip.mp4", {tone(440, "aac", 6), tone(1000, "ac3", 2)}, {"AAC", "AC3"}},
        {"broadcast.ts", {tone(440, "ac3", 6), tone(1000, "mp2", 2)}, {"AC3", "MP2"}},
        {"VTS_01_1.VOB",
         {tone(440, "ac3", 6), tone(1000, "mp2", 2), tone(2500, "pcm_dvd", 2)},
         {"AC3", "MP2", "LPCM"}},
        {"old.avi", {tone(440, "ac3", 6), tone(1000, "mp2", 2)}, {"AC3", "MP2"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string path = folder_.File(c.name);
        if (path.ends_with(".VOB")) {
            // ffmpeg names its muxers by lower-case extension.
            makeToneMedia(folder_.File("made.vob"), c.tracks);
            std::filesystem::rename(folder_.File("made.vob"), path);
        } else {
            makeToneMedia(path, c.tracks);
        }
        const Listed listed = List(path);
        ASSERT_EQ(listed.result, 1);
        ASSERT_EQ(listed.count, static_cast<int32_t>(c.codecs.size()));
        for (std::size_t i = 0; i < c.codecs.size(); ++i) {
            EXPECT_EQ(listed.tracks[i].Codec, c.codecs[i]);
            EXPECT_EQ(listed.tracks[i].SampleRate, 48000);
        }
        EXPECT_STREQ(listed.tracks[0].Layout, "5.1");
    }
}

TEST_F(AudioTracks, RawStreamsAreOneTrack) {
    for (const auto& [name, codec, expected] :
         std::vector<std::tuple<std::string, std::string, std::string>>{
             {"a.dts", "dca", "DTS"},
             {"a.eac3", "eac3", "E-AC3"},
             {"a.aac", "aac", "AAC"},
             {"a.flac", "flac", "FLAC"},
             {"a.opus", "libopus", "Opus"}}) {
        SCOPED_TRACE(name);
        const std::string path = folder_.File(name);
        std::vector<std::string> arguments = {"-f",  "lavfi", "-i",   "sine=f=440:d=1:r=48000",
                                              "-ac", "6",     "-c:a", codec};
        if (codec == "dca") {
            arguments.insert(arguments.end(), {"-strict", "-2"});
        }
        arguments.push_back(path);
        cantova::testing::runFfmpeg(arguments);
        const Listed listed = List(path);
        ASSERT_EQ(listed.result, 1);
        ASSERT_EQ(listed.count, 1);
        EXPECT_EQ(listed.tracks[0].Codec, expected);
        EXPECT_STREQ(listed.tracks[0].Layout, "5.1");
    }
}

TEST_F(AudioTracks, NoAudioTruncatedAndNoMedia) {
    const std::string picture = folder_.File("picture.mkv");
    makeToneMedia(picture, {});
    Listed listed = List(picture);
    EXPECT_EQ(listed.result, 1);
    EXPECT_EQ(listed.count, 0);

    // Cut after the header: the tracks are still named (or the file is refused), never a crash.
    const std::string film = folder_.File("film.mkv");
    makeToneMedia(film, {tone(440, "ac3", 6), tone(1000, "aac", 2)});
    const std::string cut = folder_.File("cut.mkv");
    WriteText(cut, ReadText(film).substr(0, 600));
    listed = List(cut);
    EXPECT_TRUE(listed.result == 0 || listed.count <= 2);

    const std::string text = folder_.File("notes.mkv");
    WriteText(text, std::string(100000, 'x'));
    listed = List(text);
    EXPECT_EQ(listed.result, 0);
    EXPECT_EQ(listed.count, -1);
    EXPECT_EQ(List(folder_.Path().string()).result, 0);
    EXPECT_EQ(List(folder_.File("missing.mkv")).result, 0);
}

TEST_F(AudioTracks, CountBeyondCapacityAndNullOutputs) {
    std::string path = folder_.File("film.mkv");
    makeToneMedia(path, {tone(440, "ac3", 2), tone(1000, "ac3", 2), tone(2500, "ac3", 2)});
    Listed listed = List(path, 1);
    ASSERT_EQ(listed.result, 1);
    EXPECT_EQ(listed.count, 3);
    int32_t count = -1;
    EXPECT_EQ(ListAudioTracks(path.data(), nullptr, 0, &count), 1);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(ListAudioTracks(path.data(), nullptr, 2, &count), 0);
    TRACKLENS_AUDIO_TRACK track{};
    EXPECT_EQ(ListAudioTracks(path.data(), &track, 1, nullptr), 0);
    EXPECT_EQ(ListAudioTracks(nullptr, &track, 1, &count), 0);
}

} // namespace
