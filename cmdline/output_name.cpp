#include "cmdline/output_name.h"

#include "settings/paths.h"
#include "ui/windows.h"

#include <filesystem>

namespace cantova::cmdline {

namespace {

std::string Extension(int chosen) {
    switch (chosen) {
    case 0:
        return ".ac3";
    case 1:
        return ".mp3";
    case 2:
        return ".ogg";
    case 3:
        return ".wav";
    default:
        return {};
    }
}

} // namespace

std::optional<std::string> ChosenOutputFolder(const ui::Windows& windows) {
    std::string folder = windows.frmMain.TxtOutputFolder.text();
    if (folder.empty()) {
        return std::nullopt;
    }
    while (!folder.empty() && folder.back() == '/') {
        folder.pop_back();
    }
    return folder;
}

std::string BuildOutputName(const ui::Windows& windows, int jobNumber) {
    const std::string source = windows.frmMain.TxtStreamAudio.text();
    std::error_code error;
    const auto slash = source.rfind('/');
    if (slash == std::string::npos || !std::filesystem::is_regular_file(source, error)) {
        return {};
    }
    const std::optional<std::string> chosen = ChosenOutputFolder(windows);
    if (chosen && !chosen->empty() && !std::filesystem::is_directory(*chosen, error)) {
        return {};
    }
    const std::string folder = chosen ? *chosen : source.substr(0, slash);
    // The file-system root is the one folder whose text is empty.
    const std::string shortFolder = folder.empty() ? folder : settings::ShortPathOf(folder);
    if (!folder.empty() && shortFolder.empty()) {
        return {};
    }
    return "\"" + shortFolder + "/Stream" + std::to_string(jobNumber) +
           Extension(windows.frmMain.OptAudioCodec.chosen()) + "\"";
}

} // namespace cantova::cmdline
