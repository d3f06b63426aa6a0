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

std::string BuildOutputName(const ui::Windows& windows, int jobNumber) {
    const std::string source = windows.frmMain.TxtStreamAudio.text();
    std::error_code error;
    const auto slash = source.rfind('/');
    if (slash == std::string::npos || !std::filesystem::is_regular_file(source, error)) {
        return {};
    }
    const std::string folder = source.substr(0, slash);
    // The file-system root is the one folder whose text is empty.
    const std::string shortFolder = folder.empty() ? folder : settings::ShortPathOf(folder);
    if (!folder.empty() && shortFolder.empty()) {
        return {};
    }
    return "\"" + shortFolder + "/Stream" + std::to_string(jobNumber) +
           Extension(windows.frmMain.OptAudioCodec.chosen()) + "\"";
}

} // namespace cantova::cmdline
