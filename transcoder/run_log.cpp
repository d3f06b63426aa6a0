#include "run_log.h"

#include <ctime>
#include <fstream>
#include <iostream>
#include <sstream>

namespace cantova {

RunLog::RunLog(std::string path) : path_(std::move(path)) {}

void RunLog::beginEntry(const std::string& argumentLine) {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
    write(std::string("==== ") + stamp + " ====");
    write("arguments: " + argumentLine);
}

void RunLog::write(const std::string& line) {
    std::ofstream file(path_, std::ios::app);
    file << line << '\n';
    if (!file) {
        std::cerr << "Cantova: cannot append to the log " << path_ << ": " << line << '\n';
    }
}

void RunLog::writeIndented(const std::string& text) {
    std::istringstream lines(text);
    std::string block;
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        block += (block.empty() ? "    " : "\n    ") + line;
    }
    if (!block.empty()) {
        write(block);
    }
}

} // namespace cantova
