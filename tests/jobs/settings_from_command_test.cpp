// Command lines pasted back into the windows: the settings that give exactly the line, or nothing
// changed and a message naming the part that no setting gives.

#include "cmdline/job_command.h"
#include "cmdline/typed_values.h"
#include "fake_launcher.h"
#include "program_fixture.h"
#include "ui/state_access.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <clocale>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace cantova;
using namespace cantova::test;

// A program on a launcher that starts nothing.
struct PastingProgram : LauncherBase<FakeLauncher>, TestProgram {
    PastingProgram() : TestProgram(launcher) {}

    std::vector<std::string> Dump() { return ui::StateAccess(windows).dump(); }
    std::string Line(int job = 1) { return cmdline::BuildCommandOfSettings(windows, job).value(); }
    // Chooses the source as the source dialog does.
    void Select(const std::string& path) { program.sources.Select(path); }
};

class SettingsFromCommand : public ::testing::Test {
protected:
    SettingsFromCommand() {
        gProbe = &probe;
        for (const char* name : {"film.ac3", "talk DELAY -24ms.ac3", "song.mpa", "take.wav"}) {
            WriteText(folder.File(name), "stream");
        }
    }
    ~SettingsFromCommand() override { gProbe = nullptr; }

    // Pastes line into the program; the message it showed, empty when it took the settings.
    static std::string Paste(PastingProgram& into, const std::string& line) {
        into.messages.shown.clear();
        const bool applied = into.program.settingsFromCommand.Apply(line);
        EXPECT_EQ(applied, into.messages.shown.empty());
        return into.messages.shown.empty() ? std::string() : into.messages.shown.back().text;
    }

    TempFolder folder;
    ProbeScript probe;
};

TEST_F(SettingsFromCommand, AWorkedLineComesBackWithItsSourceAndTarget) {
    PastingProgram from;
    from.Select(folder.File("film.ac3"));
    ui::MainWindow& w = from.windows.frmMain;
    ui::AdvancedPanel& p = from.windows.frmPanelAudio;
    w.OptAudioCodec[1].setValue(true);
    w.CmbMP3Mode.setListIndex(2);
    w.CmbBitrateAudio.setListIndex(7);
    w.TxtDelay.setText("-60");
    p.ChkUseDynamicCompressionAzid.setValue(1);
    p.CmbDynaComp.setListIndex(1);
    const std::string line = from.Line(3);
    EXPECT_NE(line.find(" -lame( --alt-preset standard )"), std::string::npos) << line;

    PastingProgram into;
    into.windows.frmMain.CmbPriority.setListIndex(4);
    EXPECT_EQ(Paste(into, line), "");
    EXPECT_EQ(into.Line(3), line);
    EXPECT_EQ(into.windows.frmMain.TxtStreamAudio.text(), folder.File("film.ac3"));
    EXPECT_EQ(into.windows.frmMain.OptAudioCodec.chosen(), 1);
    EXPECT_EQ(into.windows.frmMain.CmbPriority.listIndex(), 4) << "the priority is no part of it";
    EXPECT_TRUE(into.windows.frmMain.CmdAddAudioJobList.enabled() &&
                into.windows.frmMain.CmdClipboard.enabled());

    // Adding the job and building its line as a run does gives the pasted line for its number.
    into.windows.frmMain.CmdAddAudioJobList.press();
    ASSERT_EQ(into.program.queue.count(), 1);
    const std::string added = into.program.commandLines.List().commands.at(0).line;
    EXPECT_EQ(added, into.Line(1));
}

// Lines no setting gives, each refused with the part named and nothing changed.
TEST_F(SettingsFromCommand, ALineNoSettingGivesIsRefusedWithThePartNamed) {
    PastingProgram from;
    from.Select(folder.File("film.ac3"));
    const std::string ac3Line = from.Line(1);
    from.Select(folder.File("song.mpa"));
    const std::string mpaLine = from.Line(2);
    const auto replaced = [](std::string line, const std::string& part, const std::string& with) {
        line.replace(line.find(part), part.size(), with);
        return line;
    };
    const auto groups = ac3Line.find(" -ota(") != std::string::npos ? ac3Line.find(" -ota(")
                                                                    : ac3Line.find(" -azid(");
    const std::string missing = folder.File("gone.ac3");
    struct Case {
        std::string line;
        std::string named;
    };
    const std::vector<Case> cases{
        {"", "empty"},
        {"Cantova -input x", "-core("},
        {replaced(ac3Line, " -lame(", " -lame( --foo"), "\"--foo\""},
        {replaced(ac3Line, " -lame( ", " -lame( -p "), "-lame("},
        {mpaLine + " -azid( -n1 )", "-azid( -n1 )"},
        {replaced(mpaLine, ".mp3\"", ".ac3\""), "AC3 source"},
        {replaced(mpaLine, "Stream2", "Track2"), "Track2"},
        {replaced(ac3Line, "film.ac3", "gone.ac3"), missing},
        {ac3Line.substr(0, groups) + " -ota( -d 0 )" + ac3Line.substr(groups), "-d 0"},
        {ac3Line + " -split( -start 1.50 )", "-start 1.50"},
        {ac3Line + " -frob( )", "-frob("},
        {replaced(ac3Line, "\" )", "\" -6ch )"), "-6ch"},
    };
    PastingProgram into;
    into.Select(folder.File("take.wav"));
    into.windows.frmMain.OptAudioCodec[3].setValue(true);
    const std::vector<std::string> before = into.Dump();
    for (const Case& c : cases) {
        const std::string message = Paste(into, c.line);
        EXPECT_NE(message.find(c.named), std::string::npos) << c.line << "\n" << message;
        EXPECT_EQ(into.Dump(), before) << c.line;
    }
    EXPECT_EQ(into.messages.shown.back().caption, "Settings From Command Line");
}

// "HybridGain" locks input scaling, but picking a preset unlocks it again: a profile load, which
// chooses the gain last, would untick it, so the gain is chosen first.
TEST_F(SettingsFromCommand, ALineWhoseSwitchTheGainChoiceWouldUndoComesBack) {
    PastingProgram from;
    from.Select(folder.File("song.mpa"));
    from.windows.frmMain.CmbMP3Mode.setListIndex(2);
    from.windows.frmMain.CmbBitrateAudio.setListIndex(7);
    from.windows.frmMain.CmbGainMode.setListIndex(3);
    from.windows.frmPanelAudio.CmbAltPreset.setListIndex(5);
    from.windows.frmPanelAudio.ChkUseScaleInput.setValue(1);
    const std::string line = from.Line();
    ASSERT_NE(line.find("-ota( -hybridgain ) -lame( --scale 1 --alt-preset fast standard )"),
              std::string::npos)
        << line;
    PastingProgram into;
    EXPECT_EQ(Paste(into, line), "");
    EXPECT_EQ(into.Line(), line);
}

// "Loudness" ends every target's gain list, so it stands at another position for each.
TEST_F(SettingsFromCommand, TheLoudnessModeComesBackOnEveryTarget) {
    for (const int codec : {0, 1, 2, 3, 4, 5}) {
        PastingProgram from;
        from.Select(folder.File("film.ac3"));
        ui::MainWindow& w = from.windows.frmMain;
        w.OptAudioCodec[codec].setValue(true);
        w.CmbGainMode.setListIndex(w.CmbGainMode.listCount() - 1);
        w.TxtLoudnessTarget.setText("-14");
        w.TxtTruePeakCeiling.setText("-2.5");
        const std::string line = from.Line();
        ASSERT_NE(line.find(" -loudness -14 -truepeak -2.5 )"), std::string::npos) << line;

        PastingProgram into;
        EXPECT_EQ(Paste(into, line), "") << line;
        EXPECT_EQ(into.Line(), line);
        EXPECT_EQ(into.windows.frmMain.CmbGainMode.text(), "Loudness");
        EXPECT_EQ(into.windows.frmMain.TxtTruePeakCeiling.text(), "-2.5");
    }
}

// Opus and FLAC lines come back with their rate, mode, downmix and level; a rate or level the
// lists do not offer is refused with the nearest line the windows give.
TEST_F(SettingsFromCommand, OpusAndFlacLinesComeBack) {
    const auto line = [&](const std::string& source, const std::string& output,
                          const std::string& groups) {
        return "Cantova -core( -input \"" + folder.File(source) + "\" -output \"" +
               folder.File(output) + "\" -logfilea \"" + folder.File("log") + "\" )" + groups;
    };
    // The output and the option groups, from the output on, without the log.
    const auto outputAndGroups = [](const std::string& text) {
        const std::size_t output = text.find(" -output ");
        const std::size_t log = text.find(" -logfilea ");
        return text.substr(output, log - output) + text.substr(text.find(" )", log) + 2);
    };
    for (const auto& [source, output, groups] : std::vector<std::array<std::string, 3>>{
             {"song.mpa", "Stream2.opus", " -ota( -G 1 ) -opus( -b 512 -cvbr )"},
             {"film.ac3", "Stream1.opus", " -azid( -s stereo ) -opus( -b 64 -cbr -s )"},
             {"take.wav", "Stream3.flac", " -ota( -loudness -18 -truepeak -1 ) -flac( -c 8 )"},
             {"film.ac3", "Stream1.flac", " -azid( -n1 ) -flac( -c 0 )"}}) {
        PastingProgram into;
        const std::string pasted = line(source, output, groups);
        EXPECT_EQ(Paste(into, pasted), "") << pasted;
        EXPECT_EQ(outputAndGroups(into.Line(output[6] - '0')), outputAndGroups(pasted));
    }
    PastingProgram into;
    EXPECT_NE(Paste(into, line("song.mpa", "Stream1.opus", " -opus( -b 100 )"))
                  .find("\"-opus( -b 128 )\""),
              std::string::npos);
    EXPECT_NE(Paste(into, line("song.mpa", "Stream1.flac", " -flac( -c 12 )")), "");
    EXPECT_NE(Paste(into, line("song.mpa", "Stream1.flac", " -opus( -b 128 )")), "");
}

// Values the transcoder would refuse, pasted: refused with the word named, nothing changed.
TEST_F(SettingsFromCommand, ValuesTheTranscoderRefusesAreRefusedNamingTheWord) {
    PastingProgram from;
    from.Select(folder.File("song.mpa"));
    from.windows.frmMain.CmbGainMode.setListIndex(4);
    const std::string line = from.Line();
    const auto replaced = [&](const std::string& part, const std::string& with) {
        std::string changed = line;
        changed.replace(changed.find(part), part.size(), with);
        return changed;
    };
    struct Case {
        std::string line;
        std::string named;
    };
    const std::vector<Case> cases{
        {replaced("cbr 128", "cbr 128\v"), "\"128\v\" cannot be the MP3 bit rate"},
        {replaced("cbr 128", "cbr 12\f8"), "holds a form feed"},
        {replaced("cbr 128", "cbr 128\xC2\xA0"), "holds a no-break space"},
        {replaced("cbr 128", "cbr \xEF\xBB\xBF"
                             "128"),
         "holds a byte-order mark"},
        {replaced("cbr 128", "cbr 999"), "\"999\" cannot be the MP3 bit rate"},
        {replaced("-loudness -23", "-loudness -41"), "\"-41\" cannot be the Loudness target"},
        {replaced("-truepeak -1", "-truepeak 3"), "is not a number from -9 to 0"},
    };
    PastingProgram into;
    into.Select(folder.File("take.wav"));
    const std::vector<std::string> before = into.Dump();
    for (const Case& c : cases) {
        EXPECT_NE(Paste(into, c.line).find(c.named), std::string::npos) << c.line;
        EXPECT_EQ(into.Dump(), before) << c.line;
    }
}

TEST_F(SettingsFromCommand, NothingChangesWhileJobsRun) {
    PastingProgram into;
    into.Select(folder.File("song.mpa"));
    const std::string line = into.Line(1);
    into.windows.frmMain.CmdAddAudioJobList.press();
    into.windows.frmMain.cmdStartEncode.press();
    EXPECT_NE(Paste(into, line).find("while jobs run"), std::string::npos);
    into.launcher.endAll([] {});
}

TEST_F(SettingsFromCommand, SplitFractionsWrittenWithADecimalCommaComeBack) {
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr) {
        GTEST_SKIP() << "locale de_DE.UTF-8 is not installed";
    }
    PastingProgram from;
    from.Select(folder.File("song.mpa"));
    from.windows.frmMain.ChkSplitStartPoint.setValue(1);
    from.windows.frmMain.TxtStartPoint.setText("12.5");
    const std::string line = from.Line();
    PastingProgram into;
    const std::string message = Paste(into, line);
    const std::string rebuilt = message.empty() ? into.Line() : "";
    std::setlocale(LC_NUMERIC, previous.c_str());
    EXPECT_EQ(message, "");
    EXPECT_NE(line.find("-start 12,5"), std::string::npos) << line;
    EXPECT_EQ(rebuilt, line);
    EXPECT_EQ(into.windows.frmMain.TxtStartPoint.text(), "12.5");
}

// A person's random choices, each made on an enabled control as a click or a typed text would.
class RandomChoices {
public:
    RandomChoices(unsigned seed, const TempFolder& folder, ProbeScript& probe)
        : random_(seed), folder_(folder), probe_(probe) {}

    void Choose(PastingProgram& program) {
        if (Pick(20) == 0) {
            ui::OptionArray& codecs = program.windows.frmMain.OptAudioCodec;
            const int count = codecs.count();
            codecs[Pick(codecs[0].enabled() ? count : count - 1) + (codecs[0].enabled() ? 0 : 1)]
                .setValue(true);
            return;
        }
        if (Pick(20) == 0 || program.windows.frmMain.TxtStreamAudio.text().empty()) {
            const char* sources[] = {"film.ac3", "talk DELAY -24ms.ac3", "song.mpa", "take.wav"};
            const int channels[] = {2, 5, 6};
            probe_.answer.Channels = channels[Pick(3)];
            program.Select(folder_.File(sources[Pick(4)]));
            return;
        }
        // The main window's controls and those of the panel's frames for the job kind.
        const ui::JobKind kind = ui::JobKindOf(program.windows.frmMain);
        const std::vector<std::string> frames{"",
                                              ui::UsesAc3Decoder(kind) ? "Frame6" : "",
                                              ui::UsesMp3Encoder(kind) ? "Frame8" : "",
                                              ui::UsesVorbisEncoder(kind) ? "Frame7" : "",
                                              ui::UsesAc3Encoder(kind) ? "Frame9" : "",
                                              ui::UsesOpusEncoder(kind) ? "FrameOpus" : "",
                                              ui::UsesFlacEncoder(kind) ? "FrameFlac" : ""};
        std::vector<ui::Control*> controls;
        for (ui::Control* control : program.windows.frmMain.controls()) {
            controls.push_back(control);
        }
        for (ui::Control* control : program.windows.frmPanelAudio.controls()) {
            if (std::find(frames.begin(), frames.end(), control->container()) != frames.end()) {
                controls.push_back(control);
            }
        }
        // The output folder and the way outputs are named are chosen apart from the settings, as
        // the source is.
        std::erase_if(controls, [](const ui::Control* control) {
            const auto* text = dynamic_cast<const ui::TextBox*>(control);
            return !control->enabled() || control->kind() == ui::ControlKind::ListBox ||
                   control->name() == "TxtOutputFolder" ||
                   control->name() == "ChkOutputNameFromSource" ||
                   control->kind() == ui::ControlKind::OptionButton ||
                   (text != nullptr && text->readOnly());
        });
        ui::Control& control = *controls[static_cast<std::size_t>(Pick(controls.size()))];
        if (auto* box = dynamic_cast<ui::CheckBox*>(&control)) {
            box->setValue(1 - box->value());
        } else if (auto* editable = dynamic_cast<ui::EditableComboBox*>(&control);
                   editable != nullptr && Pick(2) == 0) {
            editable->setText(Typed());
        } else if (auto* list = dynamic_cast<ui::ComboBox*>(&control)) {
            list->setListIndex(Pick(list->listCount()));
        } else if (auto* text = dynamic_cast<ui::TextBox*>(&control)) {
            const bool splitPoint =
                text->name() == "TxtStartPoint" || text->name() == "TxtEndPoint";
            text->setText(splitPoint && Pick(2) == 0 ? " 12.50 s" : Typed());
        }
    }

    int Pick(std::size_t count) {
        return std::uniform_int_distribution<int>(0, static_cast<int>(count) - 1)(random_);
    }

private:
    // Texts a person types, each one switch value of a command line.
    std::string Typed() {
        const char* texts[] = {"128",  "0",        "-60",  "+60",  "60.0", "",
                               "3",    "0.95",     "-3db", "2.5",  "1e2",  "x",
                               "7.25", "\xc3\xa4", "007",  "0.42", "db",   "-6"};
        return texts[Pick(std::size(texts))];
    }

    std::mt19937 random_;
    const TempFolder& folder_;
    ProbeScript& probe_;
};

unsigned Seed() {
    const char* given = std::getenv("CANTOVA_PASTE_SEED");
    return given != nullptr ? static_cast<unsigned>(std::strtoul(given, nullptr, 10)) : 20240615u;
}

// Random states of the windows, each line pasted into fresh windows and into windows that hold
// the settings of the line before, must build the very same line again.
TEST_F(SettingsFromCommand, RandomStatesComeBackAsTheSameLine) {
    const unsigned seed = Seed();
    RandomChoices choices(seed, folder, probe);
    PastingProgram user;
    PastingProgram used;
    int pasted = 0;
    int refused = 0;
    for (int state = 0; state < 1000; ++state) {
        for (int choice = choices.Pick(40) + 1; choice > 0; --choice) {
            choices.Choose(user);
        }
        const ui::MainWindow& w = user.windows.frmMain;
        if (ui::ChosenCodec(w) == ui::Codec::Ac3 && w.ChkAC3Reencode.value() != 1) {
            continue; // a copy job has no line
        }
        const int job = choices.Pick(20) + 1;
        const std::string line = user.Line(job);
        // A line with a typed value the transcoder cannot run is refused, naming the word.
        cmdline::TypedValueCheck typed;
        cmdline::BuildJobCommand(user.windows, ui::JobKindOf(w), "source", "output", &typed);
        PastingProgram fresh;
        for (PastingProgram* into : {&fresh, &used}) {
            const std::string message = Paste(*into, line);
            if (!typed.refusedFields().empty()) {
                const auto named = [&](const cmdline::TypedValueCheck::Field& field) {
                    return message.find("The word \"" + field.text + "\"") != std::string::npos;
                };
                ASSERT_TRUE(
                    std::any_of(typed.refusedFields().begin(), typed.refusedFields().end(), named))
                    << "seed " << seed << ", state " << state << ":\n"
                    << line << "\n"
                    << message;
                continue;
            }
            ASSERT_EQ(message, "") << "seed " << seed << ", state " << state << ":\n" << line;
            ASSERT_EQ(into->Line(job), line) << "seed " << seed << ", state " << state;
        }
        pasted += typed.refusedFields().empty() ? 1 : 0;
        refused += typed.refusedFields().empty() ? 0 : 1;
    }
    EXPECT_GT(pasted, 500);
    EXPECT_GT(refused, 50);
}

} // namespace
