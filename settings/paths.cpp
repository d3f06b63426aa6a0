#include "settings/paths.h"
#include <filesystem>
namespace cantova::settings {
std::string ShortPathOf(const std::string& path) { std::error_code ec; return std::filesystem::exists(path, ec) ? path : std::string(); }
std::string ProgramFolder() { std::error_code ec; return std::filesystem::read_symlink("/proc/self/exe", ec).parent_path().string(); }
}
