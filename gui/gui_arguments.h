#pragma once

// The command line of cantova-gui: "[--help | --version | [--] FILE]".

#include <optional>
#include <string>
#include <vector>

namespace cantova::ui::qt {

struct GuiArguments {
    enum class Request { Run, Help, Version, Refused };
    Request request = Request::Run;
    // The file to select as the source once the windows are up, made absolute; none when no
    // file was given.
    std::optional<std::string> source;
    // Why the arguments were refused.
    std::string error;
};

// Reads the arguments that follow the program's name. --help and --version are answered as soon
// as they come; after "--" every word is a file, even one that starts with "-".
GuiArguments ParseGuiArguments(const std::vector<std::string>& arguments);

// What --help prints.
std::string GuiHelpText();

} // namespace cantova::ui::qt
