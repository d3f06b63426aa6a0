// The batch driver's command line steps: the Clipboard button's lines, the forms of the job
// list's lines, and a line pasted back with from-command.

#include "app/batch_driver.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

struct BatchRun {
    int status;
    Lines out;
    std::string err;
};

BatchRun RunBatch(const Lines& arguments) {
    std::ostringstream out, err;
    cantova::app::BatchDriver driver(out, err);
    const int status = driver.run(arguments);
    Lines lines;
    std::istringstream in(out.str());
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return {status, lines, err.str()};
}

// The lines that begin with prefix, without it.
Lines Prefixed(const Lines& lines, const std::string& prefix) {
    Lines found;
    for (const std::string& line : lines) {
        if (line.starts_with(prefix)) {
            found.push_back(line.substr(prefix.size()));
        }
    }
    return found;
}

// The dump lines among lines.
Lines DumpLines(Lines::const_iterator begin, Lines::const_iterator end) {
    Lines dump;
    std::copy_if(begin, end, std::back_inserter(dump), [](const std::string& line) {
        return line.starts_with("frmMain.") || line.starts_with("frmPanelAudio.") ||
               line.starts_with("Ac3");
    });
    return dump;
}

class CommandLineSteps : public ::testing::Test {
protected:
    CommandLineSteps() {
        source_ = folder_.File("Movie $1.ac3");
        WriteText(source_, "not a stream");
    }
    TempFolder folder_;
    std::string source_;
};

TEST_F(CommandLineSteps, ClipboardCopiesTheLinesStartRunsAndLeavesTheWindowsAsTheyWere) {
    const BatchRun run = RunBatch({"--dry-run",
                                   "select",
                                   source_,
                                   "click",
                                   "CmdAddAudioJobList",
                                   "set",
                                   "OptAudioCodec(2).Value=1",
                                   "click",
                                   "CmdAddAudioJobList",
                                   "set",
                                   "OptAudioCodec(0).Value=1",
                                   "set",
                                   "ChkAC3Reencode.Value=0",
                                   "click",
                                   "CmdAddAudioJobList",
                                   "set",
                                   "OptAudioCodec(3).Value=1",
                                   "set",
                                   "CmbWAVmode.ListIndex=2",
                                   "click",
                                   "CmdAddAudioJobList",
                                   "set",
                                   "OptAudioCodec(1).Value=1",
                                   "set",
                                   "CmbMP3Mode.ListIndex=2",
                                   "dump",
                                   "click",
                                   "CmdClipboard",
                                   "dump",
                                   "click",
                                   "cmdStartEncode"});
    ASSERT_EQ(run.status, 0) << run.err;
    const Lines copied = Prefixed(run.out, "clipboard: ");
    EXPECT_EQ(copied.size(), 3u) << "one line per job, none for the copy job";
    EXPECT_EQ(copied, Prefixed(run.out, "run: "));

    const auto first = std::find_if(run.out.begin(), run.out.end(), [](const std::string& line) {
        return line.starts_with("clipboard: ");
    });
    const auto after = std::find_if(first, run.out.end(), [](const std::string& line) {
        return !line.starts_with("clipboard: ");
    });
    const Lines before = DumpLines(run.out.begin(), first);
    const Lines afterwards = DumpLines(after, run.out.end());
    EXPECT_EQ(before, afterwards);
    EXPECT_NE(std::find(before.begin(), before.end(), "frmMain.CmdClipboard.Enabled=1"),
              before.end());
}

TEST_F(CommandLineSteps, WithAnEmptyListTheCurrentSettingsGiveJobOne) {
    const BatchRun run = RunBatch({"select", source_, "set", "OptAudioCodec(3).Value=1", "click",
                                   "CmdClipboard", "command", "1", "commands", "line"});
    ASSERT_EQ(run.status, 0) << run.err;
    const Lines copied = Prefixed(run.out, "clipboard: ");
    ASSERT_EQ(copied.size(), 1u);
    EXPECT_EQ(run.out.end()[-2], copied[0]);
    EXPECT_EQ(run.out.back(), copied[0]);
}

TEST_F(CommandLineSteps, CommandsPrintsEachJobInTheForm) {
    const Lines adds{
        "select", source_, "click", "CmdAddAudioJobList", "click", "CmdAddAudioJobList"};
    Lines shell = adds, json = adds;
    shell.insert(shell.end(), {"commands", "shell"});
    json.insert(json.end(), {"commands", "json"});
    const BatchRun shellRun = RunBatch(shell);
    const BatchRun jsonRun = RunBatch(json);
    ASSERT_EQ(shellRun.status, 0) << shellRun.err;
    ASSERT_EQ(jsonRun.status, 0) << jsonRun.err;
    EXPECT_TRUE(shellRun.out.back().starts_with("'")) << shellRun.out.back();
    EXPECT_NE(shellRun.out.back().find("'-core(' '-input' '" + source_ + "'"), std::string::npos);
    EXPECT_TRUE(jsonRun.out.back().starts_with("[\"")) << jsonRun.out.back();
    EXPECT_NE(jsonRun.out.back().find("/Stream2.mp3\""), std::string::npos);
    EXPECT_NE(jsonRun.out.end()[-2].find("/Stream1.mp3\""), std::string::npos);
    EXPECT_EQ(RunBatch({"commands", "xml"}).status, 2);
}

TEST_F(CommandLineSteps, FromCommandTakesTheSettingsOfALine) {
    const BatchRun made = RunBatch({"select", source_, "set", "OptAudioCodec(2).Value=1", "set",
                                    "CmbOGGMode.ListIndex=0", "set", "ChkUseBoost.Value=1", "set",
                                    "TxtDelay.Text=-42", "command", "4"});
    ASSERT_EQ(made.status, 0) << made.err;
    const std::string line = made.out.back();
    const BatchRun pasted = RunBatch({"from-command", line, "command", "4", "print",
                                      "OptAudioCodec(2).Value", "print", "TxtStreamAudio.Text"});
    ASSERT_EQ(pasted.status, 0) << pasted.err;
    Lines printed;
    std::copy_if(pasted.out.begin(), pasted.out.end(), std::back_inserter(printed),
                 [](const std::string& text) { return !text.starts_with("message: "); });
    EXPECT_EQ(printed, (Lines{line, "OptAudioCodec(2).Value=1", "TxtStreamAudio.Text=" + source_}));

    const BatchRun refused =
        RunBatch({"from-command", line + " -frob( )", "print", "TxtDelay.Text"});
    EXPECT_EQ(refused.status, 2);
    ASSERT_EQ(refused.out.size(), 1u);
    EXPECT_TRUE(refused.out[0].starts_with("message: Settings From Command Line: "))
        << refused.out[0];
    EXPECT_NE(refused.err.find("not applied"), std::string::npos);
}

} // namespace
