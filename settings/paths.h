#pragma once
#include <string>
namespace cantova::settings {
std::string ShortPathOf(const std::string& path);
std::string ProgramFolder();
}
