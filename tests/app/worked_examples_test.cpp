// The two model command lines of the command-line format, produced through the
// batch driver from the settings they list, on the Linux paths.

#include "app/batch_driver.h"
#include "settings/paths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

class WorkedExamples : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = std::filesystem::path(::testing::TempDir()) / "worked examples";
        std::filesystem::create_directories(root_ / "Rips" / "Movie Audio");
        source_ = (root_ / "Rips" / "Movie Audio" / "track.ac3").string();
        std::ofstream(source_) << "not a stream";
    }
    void TearDown() override { std::filesystem::remove_all(root_); }

    // The last line printed by a run that starts with choosing the source.
    std::string LastLine(std::vector<std::string> steps) {
        steps.insert(steps.begin(), {"select", source_});
        std::ostringstream out, err;
        cantova::app::BatchDriver driver(out, err);
        EXPECT_EQ(driver.run(steps), 0) << err.str();
        std::string text = out.str();
        if (!text.empty() && text.back() == '\n') {
            text.pop_back();
        }
        return text.substr(text.rfind('\n') + 1);
    }

    std::string CoreGroup(const std::string& output) const {
        return cantova::settings::ProgramFolder() + "/Cantova/Cantova -core( -input \"" + source_ +
               "\" -output \"" + (root_ / "Rips" / "Movie Audio").string() + "/" + output +
               " -logfilea \"" + cantova::settings::TranscoderLogPath() + "\" )";
    }

    std::filesystem::path root_;
    std::string source_;
};

TEST_F(WorkedExamples, Mp3FromAnAc3Source) {
    const std::string line = LastLine({
        "set",     "OptAudioCodec(1).Value=1",     //
        "set",     "CmbMP3Mode.ListIndex=2",       // VBR
        "set",     "ChkAutoDelay.Value=0",         //
        "set",     "TxtDelay.Text=-60",            //
        "set",     "CmbGainMode.ListIndex=0",      // item data 0
        "set",     "ChkUseOutPutModeAzid.Value=1", //
        "set",     "CmbStereoMode.ListIndex=0",    // Stereo
        "set",     "ChkUseDynamicCompressionAzid.Value=1",
        "set",     "CmbDynaComp.ListIndex=1",    // Normal
        "set",     "ChkUseLFEtoLR.Value=1",      //
        "set",     "TxtLFEToLR.Text=-3db",       //
        "set",     "ChkDialogNormalise.Value=0", //
        "set",     "ChkUseGain.Value=0",         //
        "set",     "ChkNormalise.Value=0",       //
        "set",     "ChkUseBoost.Value=0",        //
        "set",     "ChkModeMP3.Value=0",         //
        "set",     "ChkUseALtPreset.Value=1",    //
        "set",     "CmbAltPreset.ListIndex=4",   // Standard
        "set",     "ChkUseScaleInput.Value=0",   // the only other LAME box ticked
        "set",     "ChkDownSample.Value=0",      //
        "set",     "ChkSplitStartPoint.Value=0", //
        "set",     "ChkSplitEndPoint.Value=0",   //
        "command", "1",
    });
    EXPECT_EQ(line, CoreGroup("Stream1.mp3\"") +
                        " -ota( -d -60 ) -azid( -s stereo -c normal -L -3db )"
                        " -lame( --alt-preset standard )");
}

// The WAV target offers only the gain items "None" and "Pre -Gain", so the example's gain item
// with item data 2 cannot be chosen here; with "None" its OTA group keeps only the delay. The
// builder's side of item data 2 (" -G 1") is covered with the processing groups.
TEST_F(WorkedExamples, SixMonoWavFilesFromAnAc3Source) {
    const std::string line = LastLine({
        "set",     "OptAudioCodec(3).Value=1",     //
        "set",     "CmbWAVmode.ListIndex=2",       // 6 Mono File
        "set",     "ChkAutoDelay.Value=1",         //
        "set",     "CmbGainMode.ListIndex=0",      //
        "set",     "ChkUseOutPutModeAzid.Value=0", //
        "set",     "ChkUseDynamicCompressionAzid.Value=0",
        "set",     "ChkUseLFEtoLR.Value=0",        //
        "set",     "ChkDialogNormalise.Value=0",   //
        "set",     "ChkUseGain.Value=0",           //
        "set",     "ChkNormalise.Value=0",         //
        "set",     "ChkUseBoost.Value=1",          //
        "set",     "CmbCompModeBoost.ListIndex=0", // Rook
        "set",     "TxtBoostFactor.Text=2",        //
        "set",     "TxtLimitFactor.Text=0.95",     //
        "set",     "ChkDownSample.Value=1",        //
        "set",     "CmbSampleRate.ListIndex=0",    // 44100
        "set",     "ChkSplitStartPoint.Value=1",   //
        "set",     "TxtStartPoint.Text=10",        //
        "set",     "ChkSplitEndPoint.Value=0",     //
        "command", "2",
    });
    EXPECT_EQ(line, CoreGroup("Stream2.wav\" -6ch") +
                        " -ota( -d auto ) -boost( /b=2 /l=0.95 ) -ssrc( --rate 44100 )"
                        " -split( -start 10 )");
}

} // namespace
