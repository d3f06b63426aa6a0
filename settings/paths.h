#pragma once
// Placeholder until the settings branch lands.
#include <string>
namespace cantova::settings {
std::string ShortPathOf(const std::string& path);
bool FileExist(const std::string& path);
std::string HomeFolder();
std::string TranscoderLogPath();
std::string ProgramFolder();
bool DeleteFile(const std::string& path);
} // namespace cantova::settings
