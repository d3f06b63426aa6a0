#include "run_batch.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include <sstream>
#include <string>
#include <vector>

namespace {

using cantova::test::BatchRun;
using cantova::test::RunBatch;

TEST(BatchDriver, PrintsNamesAsGivenWithTheirValues) {
    const BatchRun run = RunBatch({"print", "frmMain.Caption", "print", "CmbPriority.List(3)",
                                   "print", "frmPanelAudio.Label1.Caption", "print",
                                   "OptAudioCodec(1).Value", "print", "CmdClipboard.Enabled"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "frmMain.Caption=Cantova Light GUI v1.4.8\n"
                       "CmbPriority.List(3)=NORMAL \n"
                       "frmPanelAudio.Label1.Caption=VBR (Alt) Preset :\n"
                       "OptAudioCodec(1).Value=1\n"
                       "CmdClipboard.Enabled=0\n");
}

TEST(BatchDriver, SetIsAProgramAssignmentAndStepsRunInOrder) {
    const BatchRun run = RunBatch({"print", "ChkSplitEndPoint.Value", "set",
                                   "ChkSplitEndPoint.Value=1", "print", "ChkSplitEndPoint.Value",
                                   "set", "TxtDelay.Text=-24 ms", "print", "TxtDelay.Text"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "ChkSplitEndPoint.Value=0\nChkSplitEndPoint.Value=1\nTxtDelay.Text=-24 ms\n");
}

TEST(BatchDriver, ClickingTheCloseButtonHidesThePanel) {
    const BatchRun run = RunBatch({"print", "frmPanelAudio.Visible", "click", "CmdCloseAudioPanel",
                                   "print", "frmPanelAudio.Visible"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "frmPanelAudio.Visible=0\nfrmPanelAudio.Visible=0\n");
}

TEST(BatchDriver, AboutPrintsItsMessage) {
    const BatchRun run = RunBatch({"click", "MenuAbout"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.rfind(
                  "message: About ...: Cantova Light GUI v1.4.8\nVersion " CANTOVA_VERSION "\n", 0),
              0u)
        << run.out;
}

TEST(BatchDriver, ExitEndsTheRunWithoutFurtherSteps) {
    const BatchRun run = RunBatch({"click", "cmdExit", "print", "frmMain.Caption"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");
}

TEST(BatchDriver, WrongStepsAreRefusedBeforeAnythingIsDone) {
    for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
             {"print", "frmMain.Caption", "frobnicate"},
             {"print", "frmMain.Caption", "print", "NoSuchControl.Value"},
             {"print", "frmMain.Caption", "print", "Label1.Caption"},
             {"print", "frmMain.Caption", "print", "ChkUseBoost.ListIndex"},
             {"print", "frmMain.Caption", "set", "ChkUseBoost.Value"},
             {"print", "frmMain.Caption", "click", "ChkUseBoost"},
             {"print", "frmMain.Caption", "print"},
         }) {
        const BatchRun run = RunBatch(arguments);
        EXPECT_EQ(run.status, 2) << arguments.back();
        EXPECT_EQ(run.out, "") << arguments.back();
        EXPECT_NE(run.err, "") << arguments.back();
    }
}

TEST(BatchDriver, InvalidValuesStopTheRunWithStatusTwo) {
    const BatchRun run = RunBatch({"set", "ChkSplitEndPoint.Value=3", "print", "frmMain.Caption"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("invalid value"), std::string::npos) << run.err;
}

TEST(BatchDriver, DumpListsEveryControlSortedWithItems) {
    const BatchRun run = RunBatch({"dump"});
    ASSERT_EQ(run.status, 0) << run.err;
    std::vector<std::string> lines;
    std::istringstream in(run.out);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    EXPECT_TRUE(std::is_sorted(lines.begin(), lines.end()));
    const auto has = [&](const std::string& line) {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    };
    EXPECT_TRUE(has("frmMain.CmdBrowseStream1.Caption=\\ ..."));
    EXPECT_TRUE(has("frmMain.LstJobAudio(1).Visible=0"));
    EXPECT_TRUE(has("frmPanelAudio.CmbAltPreset.List(3)=----- 192 Kbps  ------"));
    EXPECT_TRUE(has("frmPanelAudio.CmbAltPreset.ItemData(9)=9"));
    EXPECT_TRUE(has("frmPanelAudio.Frame6.Caption=Azid (AC3) "));
    EXPECT_TRUE(has("frmPanelAudio.CmbQualityOGG.Left=1680"));
    EXPECT_TRUE(has("frmPanelAudio.isKeyDown=0"));
    EXPECT_TRUE(has("frmMain.BitRateAC3=0"));
    EXPECT_TRUE(has("Ac3Channels=0"));
}

TEST(BatchDriver, SelectStandsForTheSourceDialogsChoice) {
    const BatchRun run =
        RunBatch({"select", "/no/such/folder/x DELAY 7ms.mpa", "print", "TxtStreamAudio.Text",
                  "print", "TxtDelay.Text", "print", "OptAudioCodec(0).Enabled", "select", "",
                  "print", "TxtStreamAudio.Text", "print", "cmdStartEncode.Enabled"});
    EXPECT_EQ(run.status, 0) << run.err;
    // An empty answer is a cancelled dialog, which changes nothing.
    EXPECT_EQ(run.out, "TxtStreamAudio.Text=/no/such/folder/x DELAY 7ms.mpa\n"
                       "TxtDelay.Text=7\nOptAudioCodec(0).Enabled=0\n"
                       "TxtStreamAudio.Text=/no/such/folder/x DELAY 7ms.mpa\n"
                       "cmdStartEncode.Enabled=1\n");
}

TEST(BatchDriver, AddSelectsEachFileAndAddsItAsAJob) {
    const TempFolder temp;
    WriteText(temp.File("b DELAY 5ms.mpa"), "stream");
    WriteText(temp.File("a.mpa"), "stream");
    const BatchRun run = RunBatch({"add", temp.File("a.mpa"), "add", temp.Path().string(), "add",
                                   temp.File("gone.mpa"), "print", "LstJobAudio(0).ListCount",
                                   "print", "LstJobAudio(0).List(2)", "print", "TxtDelay.Text"});
    // The refused file makes the status 2; the steps after it still ran.
    EXPECT_EQ(run.status, 2) << run.err;
    // A folder gives its audio files by name; a file that cannot be read is reported.
    EXPECT_EQ(run.out, "message: Error: The source file \"" + temp.File("gone.mpa") +
                           "\" cannot be read any more, so no job was added.\n"
                           "LstJobAudio(0).ListCount=3\n"
                           "LstJobAudio(0).List(2)=b DELAY 5ms.mpa\n"
                           "TxtDelay.Text=0\n");
}

TEST(BatchDriver, AProfileLoadsBackAndReportsBadKeysOnce) {
    const TempFolder temp;
    const std::string path = temp.File("round_trip_profile");
    const BatchRun saved =
        RunBatch({"set", "ChkUseBoost.Value=1", "set", "TxtBoostFactor.Text=5", "set",
                  "ChkSplitStartPoint.Value=1", "set", "TxtStartPoint.Text= 5", "set",
                  "frmPanelAudio.TxtScaleInput.Text=2", "save", path, "dump"});
    ASSERT_EQ(saved.status, 0) << saved.err;
    const BatchRun loaded = RunBatch({"load", path + ".aud", "dump"});
    ASSERT_EQ(loaded.status, 0) << loaded.err;
    EXPECT_EQ(loaded.out, saved.out);
    {
        std::ofstream broken(path + ".bad.aud");
        broken << "[SETTING]\nCODEC=MP3\n[BOOST]\nUSEBOOST=7\nBOOSTFACTOR=9\n";
    }
    const BatchRun bad = RunBatch({"load", path + ".bad.aud", "print", "ChkUseBoost.Value", "print",
                                   "TxtBoostFactor.Text", "print", "TxtDelay.Text"});
    EXPECT_EQ(bad.status, 2) << "keys were skipped";
    EXPECT_NE(bad.out.find("message: Error: "), std::string::npos) << bad.out;
    EXPECT_NE(bad.out.find("BOOST/USEBOOST"), std::string::npos) << bad.out;
    EXPECT_NE(bad.out.find("DELAY/DELAYVALUE"), std::string::npos) << bad.out;
    EXPECT_NE(bad.out.find("ChkUseBoost.Value=0\nTxtBoostFactor.Text=9\nTxtDelay.Text=0\n"),
              std::string::npos)
        << bad.out;
}

TEST(BatchDriver, KeysMoveTheAltPresetAcrossItsSeparators) {
    const BatchRun run = RunBatch({"set",
                                   "CmbMP3Mode.ListIndex=2",
                                   "set",
                                   "CmbBitrateAudio.ListIndex=7",
                                   "print",
                                   "CmbAltPreset.ListIndex",
                                   "key",
                                   "CmbAltPreset",
                                   "38",
                                   "print",
                                   "CmbAltPreset.ListIndex",
                                   "key",
                                   "CmbAltPreset",
                                   "40",
                                   "print",
                                   "CmbAltPreset.ListIndex",
                                   "key",
                                   "CmbAltPreset",
                                   "39",
                                   "key",
                                   "CmbAltPreset",
                                   "39",
                                   "key",
                                   "CmbAltPreset",
                                   "37",
                                   "key",
                                   "CmbAltPreset",
                                   "37",
                                   "print",
                                   "CmbAltPreset.ListIndex",
                                   "key",
                                   "CmbAltPreset",
                                   "13",
                                   "print",
                                   "CmbAltPreset.ListIndex",
                                   "set",
                                   "ChkUseALtPreset.Value=0",
                                   "key",
                                   "CmbAltPreset",
                                   "40",
                                   "print",
                                   "CmbAltPreset.ListIndex"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "CmbAltPreset.ListIndex=4\n"   // Standard at 192 kbit/s
                       "CmbAltPreset.ListIndex=2\n"   // up over the separator to Fast Extreme
                       "CmbAltPreset.ListIndex=4\n"   // down over it again
                       "CmbAltPreset.ListIndex=4\n"   // to R3mix and back
                       "CmbAltPreset.ListIndex=4\n"   // another key only runs the handler
                       "CmbAltPreset.ListIndex=8\n"); // a disabled list ignores keys
}

TEST(BatchDriver, KeyStepsNeedADropDownListAndACode) {
    EXPECT_EQ(RunBatch({"key", "ChkUseBoost", "40"}).status, 2);
    EXPECT_EQ(RunBatch({"key", "CmbAltPreset", "down"}).status, 2);
}

// The Opus and FLAC controls join the dump when one of their targets is chosen or one of their
// settings is changed, so that the dump of a session without them is as it was.
TEST(BatchDriver, DumpListsTheOpusAndFlacControlsOnceTheyAreUsed) {
    const auto lines = [](const std::vector<std::string>& steps) {
        const BatchRun run = RunBatch(steps);
        EXPECT_EQ(run.status, 0) << run.err;
        std::size_t count = 0;
        for (const char* name : {"OptAudioCodec(4).", "OptAudioCodec(5).", ".FrameOpus.",
                                 ".CmbOpusMode.", ".ChkOpusStereo.", ".CmbFlacLevel."}) {
            count += run.out.find(name) != std::string::npos ? 1 : 0;
        }
        return count;
    };
    EXPECT_EQ(lines({"set", "OptAudioCodec(2).Value=1", "click", "CmdAdvancedAudio", "dump"}), 0u);
    EXPECT_EQ(lines({"set", "OptAudioCodec(5).Value=1", "dump"}), 6u);
    EXPECT_EQ(lines({"set", "CmbFlacLevel.ListIndex=2", "dump"}), 6u);
    EXPECT_EQ(lines({"set", "OptAudioCodec(4).Value=1", "set", "OptAudioCodec(1).Value=1", "dump"}),
              0u);
}

} // namespace
