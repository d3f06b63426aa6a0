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
    case 4:
        return ".opus";
    case 5:
        return ".flac";
    default:
        return {};
    }
}

bool Exists(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::symlink_status(path, error).type() !=
           std::filesystem::file_type::not_found;
}

// A WAV job may write six mono files named after its output instead of it.
bool TakenOnDisk(const std::filesystem::path& path) {
    if (Exists(path)) {
        return true;
    }
    if (path.extension() != ".wav") {
        return false;
    }
    for (const char* channel : {"FL", "FR", "FC", "LFE", "SL", "SR"}) {
        if (Exists(path.parent_path() / (path.stem().string() + "_" + channel + ".wav"))) {
            return true;
        }
    }
    return false;
}

// folder/name.extension, or folder/name (2).extension, ... for the first one not taken.
std::string FreeName(const std::string& folder, const std::string& name,
                     const std::string& extension, const OutputTaken& taken) {
    for (int copy = 1;; ++copy) {
        const std::string path =
            folder + "/" + name + (copy == 1 ? "" : " (" + std::to_string(copy) + ")") + extension;
        if (!TakenOnDisk(path) && !(taken && taken(path))) {
            return path;
        }
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

std::string BuildOutputName(const ui::Windows& windows, int jobNumber, const OutputTaken& taken) {
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
    const std::string extension = Extension(windows.frmMain.OptAudioCodec.chosen());
    if (windows.frmMain.ChkOutputNameFromSource.value() == 1) {
        const std::string name = std::filesystem::path(source).stem().string();
        return "\"" + FreeName(shortFolder, name, extension, taken) + "\"";
    }
    return "\"" + shortFolder + "/Stream" + std::to_string(jobNumber) + extension + "\"";
}

} // namespace cantova::cmdline
