#include "gui/gui_arguments.h"

#include <filesystem>
#include <system_error>

namespace cantova::ui::qt {

namespace {

GuiArguments Refused(std::string error) {
    GuiArguments refused;
    refused.request = GuiArguments::Request::Refused;
    refused.error = std::move(error);
    return refused;
}

} // namespace

GuiArguments ParseGuiArguments(const std::vector<std::string>& arguments) {
    std::vector<std::string> files;
    bool optionsEnded = false;
    for (const std::string& argument : arguments) {
        if (!optionsEnded && argument == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && argument == "--help") {
            return {GuiArguments::Request::Help, std::nullopt, {}};
        } else if (!optionsEnded && argument == "--version") {
            return {GuiArguments::Request::Version, std::nullopt, {}};
        } else if (!optionsEnded && argument.size() > 1 && argument.front() == '-') {
            return Refused("unknown option '" + argument + "'");
        } else {
            files.push_back(argument);
        }
    }
    if (files.size() > 1) {
        return Refused("one source file at most, got " + std::to_string(files.size()));
    }
    GuiArguments run;
    if (files.empty()) {
        return run;
    }
    if (files.front().empty()) {
        return Refused("the source file's name is empty");
    }
    // The source box holds full paths, as the dialog gives them.
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(files.front(), error);
    if (error) {
        return Refused("the current folder of '" + files.front() +
                       "' is unknown: " + error.message());
    }
    run.source = absolute.string();
    return run;
}

std::string GuiHelpText() {
    return "Usage: cantova-gui [FILE]\n"
           "The window of the Cantova audio transcoder: choose a source, a target and its\n"
           "options, collect jobs and run them. FILE, when given, is selected as the source as\n"
           "if it had been chosen in the source dialog.\n"
           "\n"
           "Options:\n"
           "  --help     print this help and do nothing else\n"
           "  --version  print the version and do nothing else\n"
           "  --         take the next word as FILE even if it starts with '-'\n"
           "\n"
           "The display is the one of the environment (DISPLAY, WAYLAND_DISPLAY,\n"
           "QT_QPA_PLATFORM).\n";
}

} // namespace cantova::ui::qt
