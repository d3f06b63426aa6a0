#include "jobs/command_lines.h"

#include "cmdline/job_command.h"
#include "jobs/job_command_line.h"
#include "jobs/job_files.h"
#include "ui/windows.h"

namespace cantova::jobs {

CommandListing InForm(const CommandListing& listing, cmdline::CommandForm form) {
    CommandListing converted{{}, listing.problems};
    for (const ListedCommand& command : listing.commands) {
        if (const std::optional<std::string> line = cmdline::CommandInForm(command.line, form)) {
            converted.commands.push_back({command.label, *line});
        } else {
            converted.problems.push_back(command.label +
                                         ": its arguments are not UTF-8 text, which JSON cannot "
                                         "carry.");
        }
    }
    return converted;
}

CommandListing CommandLines::List() const {
    if (queue_.count() == 0) {
        return ListCurrentSettings();
    }
    CommandListing listing;
    for (int i = 0; i < queue_.count(); ++i) {
        const Job& job = queue_.at(i);
        if (job.copy) {
            continue;
        }
        const std::string label =
            "Job " + std::to_string(i + 1) + " (" + SourceLabel(job.source, job.track) + ")";
        if (const std::optional<std::string> line =
                CommandLineOfJob(job, windows_.program.TranscoderPath)) {
            listing.commands.push_back({label, *line});
        } else {
            listing.problems.push_back(label + ": its settings file \"" + job.settingsFile +
                                       "\" cannot be read.");
        }
    }
    return listing;
}

CommandListing CommandLines::ListCurrentSettings() const {
    const ui::MainWindow& w = windows_.frmMain;
    const std::string source = w.TxtStreamAudio.text();
    CommandListing listing;
    // A container's AC3 track kept as it is is copied out by the transcoder.
    if (cmdline::KeepsAc3Frames(w) && w.ChosenSourceTrack() == 0) {
        listing.problems.push_back("The current settings keep the AC3 source as it is: no "
                                   "transcoder runs for them.");
    } else if (const std::optional<std::string> line =
                   cmdline::BuildCommandOfSettings(windows_, 1)) {
        listing.commands.push_back({"The current settings as job 1", *line});
    } else {
        listing.problems.push_back("No output file name can be formed for the source \"" + source +
                                   "\".");
    }
    return listing;
}

void CommandLines::CopyCommandLines() {
    const CommandListing listing = List();
    std::vector<std::string> lines;
    for (const ListedCommand& command : listing.commands) {
        lines.push_back(command.line);
    }
    if (lines.empty() && listing.problems.empty()) {
        messages_.Show("Nothing was copied: every job of the list keeps its AC3 source as it is, "
                       "so none runs the transcoder.",
                       "Clipboard", ui::MessageIcon::Exclamation);
        return;
    }
    if (!lines.empty()) {
        clipboard_.CopyLines(lines);
    }
    if (!listing.problems.empty()) {
        std::string text = lines.empty() ? "Nothing was copied." : "Not every job has a line.";
        for (const std::string& problem : listing.problems) {
            text += "\n" + problem;
        }
        messages_.Show(text, "Clipboard", ui::MessageIcon::Exclamation);
    }
}

} // namespace cantova::jobs
