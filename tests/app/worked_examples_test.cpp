// The two model command lines of the command-line format, produced through the
// batch driver from the settings they list, on the Linux paths.

#include "app/batch_driver.h"
#include "settings/paths.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

class WorkedExamples : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = temp_.Path() / "worked examples";
        std::filesystem::create_directories(root_ / "Rips" / "Movie Audio");
        source_ = (root_ / "Rips" / "Movie Audio" / "track.ac3").string();
        std::ofstream(source_) << "not a stream";
    }

    // The command line printed after choosing the source and making the assignments in order.
    std::string CommandAfter(const std::vector<std::pair<std::string, std::string>>& assignments,
                             int jobNumber) {
        std::vector<std::string> steps{"select", source_};
        for (const auto& [name, value] : assignments) {
            steps.insert(steps.end(), {"set", name + "=" + value});
        }
        steps.insert(steps.end(), {"command", std::to_string(jobNumber)});
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

    TempFolder temp_;
    std::filesystem::path root_;
    std::string source_;
};

TEST_F(WorkedExamples, Mp3FromAnAc3Source) {
    const std::string line = CommandAfter(
        {
            {"OptAudioCodec(1).Value", "1"},
            {"CmbMP3Mode.ListIndex", "2"}, // VBR
            {"ChkAutoDelay.Value", "0"},
            {"TxtDelay.Text", "-60"},
            {"CmbGainMode.ListIndex", "0"}, // item data 0
            {"ChkUseOutPutModeAzid.Value", "1"},
            {"CmbStereoMode.ListIndex", "0"}, // Stereo
            {"ChkUseDynamicCompressionAzid.Value", "1"},
            {"CmbDynaComp.ListIndex", "1"}, // Normal
            {"ChkUseLFEtoLR.Value", "1"},
            {"TxtLFEToLR.Text", "-3db"},
            {"ChkDialogNormalise.Value", "0"},
            {"ChkUseGain.Value", "0"},
            {"ChkNormalise.Value", "0"},
            {"ChkUseBoost.Value", "0"},
            {"ChkModeMP3.Value", "0"},
            {"ChkUseALtPreset.Value", "1"},
            {"CmbAltPreset.ListIndex", "4"}, // Standard
            {"ChkUseScaleInput.Value", "0"}, // the only other LAME box ticked
            {"ChkDownSample.Value", "0"},
            {"ChkSplitStartPoint.Value", "0"},
            {"ChkSplitEndPoint.Value", "0"},
        },
        1);
    EXPECT_EQ(line, CoreGroup("Stream1.mp3\"") +
                        " -ota( -d -60 ) -azid( -s stereo -c normal -L -3db )"
                        " -lame( --alt-preset standard )");
}

// The WAV target offers only the gain items "None" and "Pre -Gain", so the example's gain item
// with item data 2 cannot be chosen here; with "None" its OTA group keeps only the delay. The
// builder's side of item data 2 (" -G 1") is covered with the processing groups.
TEST_F(WorkedExamples, SixMonoWavFilesFromAnAc3Source) {
    const std::string line = CommandAfter(
        {
            {"OptAudioCodec(3).Value", "1"},     {"CmbWAVmode.ListIndex", "2"}, // 6 Mono File
            {"ChkAutoDelay.Value", "1"},         {"CmbGainMode.ListIndex", "0"},
            {"ChkUseOutPutModeAzid.Value", "0"}, {"ChkUseDynamicCompressionAzid.Value", "0"},
            {"ChkUseLFEtoLR.Value", "0"},        {"ChkDialogNormalise.Value", "0"},
            {"ChkUseGain.Value", "0"},           {"ChkNormalise.Value", "0"},
            {"ChkUseBoost.Value", "1"},          {"CmbCompModeBoost.ListIndex", "0"}, // Rook
            {"TxtBoostFactor.Text", "2"},        {"TxtLimitFactor.Text", "0.95"},
            {"ChkDownSample.Value", "1"},        {"CmbSampleRate.ListIndex", "0"}, // 44100
            {"ChkSplitStartPoint.Value", "1"},   {"TxtStartPoint.Text", "10"},
            {"ChkSplitEndPoint.Value", "0"},
        },
        2);
    EXPECT_EQ(line, CoreGroup("Stream2.wav\" -6ch") +
                        " -ota( -d auto ) -boost( /b=2 /l=0.95 ) -ssrc( --rate 44100 )"
                        " -split( -start 10 )");
}

} // namespace
