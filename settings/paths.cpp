// Placeholder until the settings branch lands.
#include "settings/paths.h"
#include <cstdlib>
#include <filesystem>
#include <fstream>
namespace cantova::settings {
std::string ShortPathOf(const std::string& path) { std::error_code ec; return std::filesystem::exists(path, ec) ? path : std::string(); }
bool FileExist(const std::string& path) { std::error_code ec; if (std::filesystem::is_directory(path, ec)) return false; std::ifstream f(path); return f.good(); }
std::string HomeFolder() { const char* h = std::getenv("HOME"); return h ? h : ""; }
std::string TranscoderLogPath() { return HomeFolder() + "/Audio_Stream.log"; }
std::string ProgramFolder() { std::error_code ec; return std::filesystem::read_symlink("/proc/self/exe", ec).parent_path().string(); }
bool DeleteFile(const std::string& path) { std::error_code ec; return std::filesystem::remove(path, ec); }
} // namespace cantova::settings
