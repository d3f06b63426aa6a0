// Command lines after sequences of choices a user makes, with no source chosen yet (the source
// path is only put into the text box, so the AC3 target stays enabled and the decoder group is
// written). Every expected line was worked out by following each reaction and its cascades in
// order; where a line looks surprising, the comment says which cascade causes it.

#include "app/batch_driver.h"
#include "settings/paths.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

class RealisticSequences : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = temp_.Path() / "realistic sequences";
        std::filesystem::create_directories(root_ / "Movie Audio");
        source_ = (root_ / "Movie Audio" / "track.ac3").string();
        std::ofstream(source_) << "not a stream";
    }

    // The lines printed by a run that starts by putting the source path into its text box.
    std::vector<std::string> Run(std::vector<std::string> steps) {
        steps.insert(steps.begin(), {"set", "TxtStreamAudio.Text=" + source_});
        std::ostringstream out, err;
        cantova::app::BatchDriver driver(out, err);
        EXPECT_EQ(driver.run(steps), 0) << err.str();
        std::vector<std::string> lines;
        std::istringstream in(out.str());
        for (std::string line; std::getline(in, line);) {
            lines.push_back(line);
        }
        return lines;
    }

    // Transcoder path and core group of job 1 (or another number) with extension ext; flag is the
    // WAV channel flag that follows the output path.
    std::string Core(const std::string& ext, int job = 1, const std::string& flag = "") const {
        return cantova::settings::ProgramFolder() + "/Cantova/Cantova -core( -input \"" + source_ +
               "\" -output \"" + (root_ / "Movie Audio").string() + "/Stream" +
               std::to_string(job) + ext + "\"" + flag + " -logfilea \"" +
               cantova::settings::TranscoderLogPath() + "\" )";
    }

    TempFolder temp_;
    std::filesystem::path root_;
    std::string source_;
};

// Keeping 5.1 is ticked by the 128 kbit/s defaults after the output mode was switched on, and
// its reaction switches the output mode off again: no " -s" in the decoder group. Input scaling
// and the CBR alt preset come from the MP3 part of the 128 kbit/s defaults.
TEST_F(RealisticSequences, StartUpGivesTheMp3DefaultsAt128) {
    EXPECT_EQ(Run({"command", "1"}),
              std::vector<std::string>{Core(".mp3") + " -azid( -n1 -c light -L -3db )" +
                                       " -lame( --scale 1 --alt-preset cbr 128 )"});
}

// Choosing the rate already shown runs nothing; running the defaults again would leave the
// output mode on, because "Keep 5.1" is already ticked and its reaction would not run.
TEST_F(RealisticSequences, ChoosingTheShownRateAgainChangesNothing) {
    EXPECT_EQ(Run({"set", "CmbBitrateAudio.ListIndex=5", "command", "1"}),
              std::vector<std::string>{Core(".mp3") + " -azid( -n1 -c light -L -3db )" +
                                       " -lame( --scale 1 --alt-preset cbr 128 )"});
}

// From now on "Keep 5.1" stays ticked, so the output mode that every rate's defaults switch on
// stays on with "Surround 2". VBR at 128 gets the individual switches; at 192 the preset
// "Standard" is chosen and the maximum of 208 is set, but the second run of the alt-preset
// reaction at the end of the defaults unticks the maximum again (back to 320).
TEST_F(RealisticSequences, VbrAt192EndsWithThePresetAlone) {
    const std::string azid = " -azid( -n1 -s surround2 -c light -L -3db )";
    EXPECT_EQ(
        Run({"set", "CmbMP3Mode.ListIndex=2", "command", "1", "set", "CmbBitrateAudio.ListIndex=7",
             "print", "CmbBitrateAudio.Text", "print", "ChkUseMaxBitrateMP3.Value", "print",
             "TxtMaxBitrateMP3.Text", "command", "1"}),
        (std::vector<std::string>{
            Core(".mp3") + azid +
                " -lame( -m j --scale 1 -v --vbr-mtrh -V 2 -b 64 -B 160 --lowpass 19"
                " --athtype 2 --nspsytune --ns-bass -6 )",
            "CmbBitrateAudio.Text=192   Kbt/s", "ChkUseMaxBitrateMP3.Value=0",
            "TxtMaxBitrateMP3.Text=320", Core(".mp3") + azid + " -lame( --alt-preset standard )"}));
}

// Going back down from the preset to 128 unticks the preset and sets every individual switch
// again, including the three that the baseline leaves alone and the preset had cleared.
TEST_F(RealisticSequences, VbrBackFrom192To128GivesTheIndividualSwitchesAgain) {
    EXPECT_EQ(Run({"set", "CmbMP3Mode.ListIndex=2", "set", "CmbBitrateAudio.ListIndex=7", "set",
                   "CmbBitrateAudio.ListIndex=5", "command", "1"}),
              std::vector<std::string>{
                  Core(".mp3") + " -azid( -n1 -s surround2 -c light -L -3db )" +
                  " -lame( -m j --scale 1 -v --vbr-mtrh -V 2 -b 64 -B 160 --lowpass 19"
                  " --athtype 2 --nspsytune --ns-bass -6 )"});
}

TEST_F(RealisticSequences, AbrKeepsTheAltPresetWithTheChosenRate) {
    const std::string azid = " -azid( -n1 -s surround2 -c light -L -3db )";
    EXPECT_EQ(
        Run({"set", "CmbMP3Mode.ListIndex=1", "command", "1", "set", "CmbBitrateAudio.ListIndex=6",
             "command", "1"}),
        (std::vector<std::string>{Core(".mp3") + azid + " -lame( --scale 1 --alt-preset 128 )",
                                  Core(".mp3") + azid + " -lame( --scale 1 --alt-preset 160 )"}));
}

// OGG preselects 96 in VBR mode; 160 gives quality 0.525, a picked quality goes in as shown,
// and switching to ABR writes the nominal rate with the 160 kbit/s limits.
TEST_F(RealisticSequences, OggQualitiesAndAbrLimits) {
    const std::string head = Core(".ogg") + " -azid( -n1 -s surround2 -c light -L -3db )";
    EXPECT_EQ(Run({"set",     "OptAudioCodec(2).Value=1",
                   "print",   "CmbBitrateAudio.ListIndex",
                   "command", "1",
                   "set",     "CmbBitrateAudio.ListIndex=6",
                   "command", "1",
                   "set",     "CmbQualityOGG.ListIndex=7",
                   "print",   "LbEstimate.Caption",
                   "command", "1",
                   "set",     "CmbOGGMode.ListIndex=0",
                   "command", "1"}),
              (std::vector<std::string>{"CmbBitrateAudio.ListIndex=3", head + " -ogg( -q 0.250 )",
                                        head + " -ogg( -q 0.525 )", "LbEstimate.Caption=~ 195 Kbps",
                                        head + " -ogg( -q 0.650 )",
                                        head + " -ogg( -b 160 -m 96 -M 176 )"}));
}

TEST_F(RealisticSequences, ChoosingMp3AfterOggGivesThe128DefaultsWithTheOutputModeOn) {
    EXPECT_EQ(
        Run({"set", "OptAudioCodec(2).Value=1", "set", "OptAudioCodec(1).Value=1", "command", "1"}),
        std::vector<std::string>{Core(".mp3") + " -azid( -n1 -s surround2 -c light -L -3db )" +
                                 " -lame( --scale 1 --alt-preset cbr 128 )"});
}

// With no AC3 bit rate known, AC3 preselects 320. Unticking "Keep 5.1" only unlocks; ticking it
// again switches the output mode off and locks it. Ticking "Convert 5.1 -> 2.0" while "Keep
// 5.1" is ticked leaves the output mode on and, through "Keep 5.1"'s own reaction, enabled.
TEST_F(RealisticSequences, Ac3TargetWithKeep51AndConvert) {
    const std::string keep = " -azid( -n1 -s surround2 -c light -L -3db )";
    const std::string kept = " -azid( -n1 -c light -L -3db )";
    EXPECT_EQ(Run({"set", "OptAudioCodec(0).Value=1", "command", "1", "set",
                   "CmbBitrateAudio.ListIndex=7", "command", "1", "set", "ChkUse51ModeAC3.Value=0",
                   "command", "1", "set", "ChkUse51ModeAC3.Value=1", "print",
                   "ChkUseOutPutModeAzid.Enabled", "command", "1"}),
              (std::vector<std::string>{Core(".ac3") + keep + " -ac3enc( -b 320 )",
                                        Core(".ac3") + keep + " -ac3enc( -b 448 )",
                                        Core(".ac3") + keep + " -ac3enc( -b 448 )",
                                        "ChkUseOutPutModeAzid.Enabled=0",
                                        Core(".ac3") + kept + " -ac3enc( -b 448 )"}));
    EXPECT_EQ(Run({"set", "OptAudioCodec(0).Value=1", "set", "CmbBitrateAudio.ListIndex=7", "set",
                   "ChkConvertAC351To20.Value=1", "print", "ChkUseOutPutModeAzid.Enabled", "print",
                   "CmbStereoMode.Enabled", "print", "ChkUse51ModeAC3.Enabled", "command", "1"}),
              (std::vector<std::string>{"ChkUseOutPutModeAzid.Enabled=1", "CmbStereoMode.Enabled=0",
                                        "ChkUse51ModeAC3.Enabled=0",
                                        Core(".ac3") + keep + " -ac3enc( -b 448 )"}));
}

// WAV runs the 56 kbit/s defaults, which have no AC3 part: "Keep 5.1" is not ticked by them and
// the output mode stays on.
TEST_F(RealisticSequences, WavWithNoSourceYetCarriesTheDecoderGroup) {
    const std::string azid = " -azid( -n1 -s surround2 -c light -L -3db )";
    EXPECT_EQ(Run({"set", "OptAudioCodec(3).Value=1", "command", "1", "set",
                   "CmbWAVmode.ListIndex=1", "command", "2"}),
              (std::vector<std::string>{Core(".wav", 1, " -2ch") + azid,
                                        Core(".wav", 2, " -6chwav") + azid}));
}

// HybridGain unticks dialogue normalisation and input scaling; a later rate's defaults tick
// them again, and the switch rules that end the rate reaction untick them once more.
TEST_F(RealisticSequences, HybridGainKeepsNormalisationAndScalingOff) {
    EXPECT_EQ(
        Run({"set", "CmbGainMode.ListIndex=3", "command", "1", "set", "CmbBitrateAudio.ListIndex=7",
             "set", "TxtDelay.Text=-24", "command", "1"}),
        (std::vector<std::string>{
            Core(".mp3") + " -ota( -hybridgain ) -azid( -c light -L -3db )" +
                " -lame( --alt-preset cbr 128 )",
            Core(".mp3") + " -ota( -d -24 -hybridgain ) -azid( -s surround2 -c light -L -3db )" +
                " -lame( --alt-preset cbr 192 )"}));
}

} // namespace
