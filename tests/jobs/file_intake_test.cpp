// Several sources at once: dropped files, files chosen together, folders, and the refusals that
// must not stop the other files.

#include "fake_launcher.h"
#include "program_fixture.h"

#include "jobs/file_intake.h"
#include "settings/ini_file.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace cantova;
using namespace cantova::test;
namespace fs = std::filesystem;

class FileIntake : public ::testing::Test,
                   protected LauncherBase<FakeLauncher>,
                   public TestProgram {
protected:
    FileIntake() : TestProgram(launcher) { gProbe = &probe; }
    ~FileIntake() override { gProbe = nullptr; }

    void SetUp() override {
        fs::create_directories(temp_.Path() / "home");
        setenv("HOME", temp_.File("home").c_str(), 1);
    }
    std::string Make(const std::string& name) {
        const std::string path = temp_.File(name);
        fs::create_directories(fs::path(path).parent_path());
        WriteText(path, "stream");
        return path;
    }
    std::vector<std::string> Sources() const {
        std::vector<std::string> names;
        for (const jobs::Job& job : program.queue.jobs()) {
            names.push_back(fs::path(job.source).lexically_relative(temp_.Path()).string());
        }
        return names;
    }
    std::string DelayOf(int job) const {
        return settings::ReadIniValue("DELAY", "DELAYVALUE", program.queue.at(job).settingsFile);
    }

    TempFolder temp_;
    ProbeScript probe;
};

TEST_F(FileIntake, AFolderGivesItsAudioFilesInNameOrderEachWithItsOwnDelay) {
    Make("rip/b DELAY 40ms.MPA");
    Make("rip/a DELAY -24ms.ac3");
    Make("rip/c.Wav");
    Make("rip/notes.txt");
    Make("rip/inner/d.ac3");
    // Hidden files, resource forks and the transcoder's temporary outputs are no sources.
    Make("rip/.hidden.ac3");
    Make("rip/._a DELAY -24ms.ac3");
    Make("rip/.Stream1.part-4242-1.wav");
    fs::create_directories(temp_.Path() / "rip" / "e.ac3");
    program.intake.Drop({temp_.File("rip")});
    EXPECT_EQ(Sources(), (std::vector<std::string>{"rip/a DELAY -24ms.ac3", "rip/b DELAY 40ms.MPA",
                                                   "rip/c.Wav"}));
    ASSERT_EQ(program.queue.count(), 3);
    EXPECT_EQ(DelayOf(0), "-24");
    EXPECT_EQ(DelayOf(1), "40");
    EXPECT_EQ(DelayOf(2), "0");
    EXPECT_TRUE(messages.shown.empty());
    // The last file stays the source, as if it had been chosen last.
    EXPECT_EQ(main.TxtStreamAudio.text(), temp_.File("rip/c.Wav"));
}

TEST_F(FileIntake, EachFileIsSelectedInTurnWithItsAc3InformationAndTheTargetRule) {
    main.OptAudioCodec[0].setValue(true);
    const std::string ac3 = Make("a.ac3");
    const std::string mpa = Make("b.mpa");
    EXPECT_EQ(program.intake.AddFilesAsJobs({ac3, mpa}), 2);
    ASSERT_EQ(program.queue.count(), 2);
    EXPECT_EQ(program.queue.at(0).codec, ui::Codec::Ac3);
    // The AC3 target needs an AC3 source: the second file's job falls back to MP3.
    EXPECT_EQ(program.queue.at(1).codec, ui::Codec::Mp3);
    EXPECT_EQ(probe.seenPath, ac3);
    EXPECT_EQ(main.LbStream1Info.caption(), "");
}

TEST_F(FileIntake, ARefusedFileIsReportedAndTheOthersStillBecomeJobs) {
    const std::string first = Make("one.mpa");
    const std::string quoted = Make("say \"hi\".mpa");
    const std::string last = Make("two.mpa");
    EXPECT_EQ(program.intake.AddFilesAsJobs({first, quoted, temp_.File("gone.mpa"), last}), 2);
    EXPECT_EQ(Sources(), (std::vector<std::string>{"one.mpa", "two.mpa"}));
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_NE(messages.shown[0].text.find("double quote"), std::string::npos);
    EXPECT_NE(messages.shown[1].text.find("cannot be read"), std::string::npos);
}

TEST_F(FileIntake, ASingleDroppedFileIsOnlySelectedSeveralBecomeJobs) {
    const std::string first = Make("VTS DELAY 12ms.mpa");
    const std::string second = Make("x.mpa");
    program.intake.Drop({first});
    EXPECT_EQ(program.queue.count(), 0);
    EXPECT_EQ(main.TxtStreamAudio.text(), first);
    EXPECT_EQ(main.TxtDelay.text(), "12");
    EXPECT_TRUE(main.CmdAddAudioJobList.enabled());
    program.intake.Drop({first, second});
    EXPECT_EQ(Sources(), (std::vector<std::string>{"VTS DELAY 12ms.mpa", "x.mpa"}));
}

TEST_F(FileIntake, FoldersWithoutAudioFilesAreReported) {
    fs::create_directories(temp_.Path() / "empty");
    Make("texts/a.txt");
    program.intake.Drop({temp_.File("empty"), temp_.File("texts")});
    EXPECT_EQ(program.queue.count(), 0);
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_NE(messages.shown[0].text.find("no audio files (*.ac3, *.mpa, *.mp2, *.pcm, *.wav, "
                                          "*.mkv, *.mka, *.webm, *.mp4, *.m4a, *.mov, *.ts, "
                                          "*.m2ts, *.mts, *.vob, *.mpg, *.mpeg, *.avi, *.dts, "
                                          "*.eac3, *.ec3, *.thd, *.aac, *.flac, *.opus)"),
              std::string::npos)
        << messages.shown[0].text;
}

TEST_F(FileIntake, NothingIsTakenDuringARun) {
    Make("a.mpa");
    program.intake.AddFilesAsJobs({temp_.File("a.mpa")});
    main.cmdStartEncode.press();
    ASSERT_TRUE(program.runner.InProgress());
    const std::string other = Make("b.mpa");
    program.intake.Drop({other});
    program.intake.Drop({other, other});
    program.intake.ChooseFilesAsJobs();
    EXPECT_EQ(main.TxtStreamAudio.text(), temp_.File("a.mpa"));
    EXPECT_EQ(program.queue.count(), 1);
    EXPECT_EQ(messages.shown.size(), 3u);
    EXPECT_TRUE(dialogs.Requests().empty());
    launcher.end(launcher.running().front());
}

TEST_F(FileIntake, TheDialogsOfferAllFilesAfterTheAudioEntries) {
    const std::string a = Make("a.mpa");
    const std::string b = Make("b.mpa");
    dialogs.AnswerFiles({b, a});
    program.intake.ChooseFilesAsJobs();
    EXPECT_EQ(Sources(), (std::vector<std::string>{"b.mpa", "a.mpa"}));
    main.CmdBrowseStream1.press();
    ASSERT_EQ(dialogs.Requests().size(), 2u);
    EXPECT_EQ(dialogs.Requests()[0].kind, settings::ScriptedFileDialogs::Kind::OpenFiles);
    for (const auto& request : dialogs.Requests()) {
        EXPECT_EQ(
            request.filter.rfind("All Compatible Audio Stream|*.ac3;*.mpa;*.mp2;*.pcm;*.wav|", 0),
            0u);
        EXPECT_EQ(settings::ToQtNameFilters(request.filter).back(), "All Files (*)");
    }
    EXPECT_EQ(dialogs.Requests()[1].title, "Choose Audio Source File");
}

// A program with an event loop adds a large folder a slice at a time: it learns how far the add
// has come, and a cancel keeps the jobs added so far with their settings files.
TEST_F(FileIntake, ALargeAddGoesToTheDriverASliceAtATimeAndCanBeCancelled) {
    const int count = jobs::FileIntake::kFilesAddedAtOnce + 50;
    for (int i = 0; i < count; ++i) {
        Make("many/" + std::to_string(1000 + i) + ".mpa");
    }
    std::shared_ptr<jobs::JobAdding> handed;
    program.intake.setAddDriver([&](std::shared_ptr<jobs::JobAdding> adding) { handed = adding; });
    program.intake.Drop({temp_.File("many")});
    ASSERT_TRUE(handed);
    EXPECT_EQ(handed->total(), count);
    EXPECT_EQ(program.queue.count(), 0) << "the driver adds them";
    handed->addNext(100);
    EXPECT_EQ(handed->done(), 100);
    EXPECT_EQ(handed->added(), 100);
    ASSERT_EQ(program.queue.count(), 100);
    EXPECT_EQ(fs::path(program.queue.at(99).source).filename(), "1099.mpa") << "in name order";
    handed->cancel();
    EXPECT_TRUE(handed->finished());
    handed->addNext(10);
    EXPECT_EQ(program.queue.count(), 100) << "nothing after the cancel";
    EXPECT_TRUE(fs::exists(program.queue.at(99).settingsFile));

    // A few files need no driver.
    Make("few/a.mpa");
    handed.reset();
    EXPECT_EQ(program.intake.AddFilesAsJobs({temp_.File("few")}), 1);
    EXPECT_FALSE(handed);
}

} // namespace
