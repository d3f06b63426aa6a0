#include "output_files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <unistd.h>

namespace cantova {

namespace fs = std::filesystem;

OutputFiles::OutputFiles(const std::string& output,
                         const std::vector<std::string>& channelSuffixes) {
    const fs::path path(output);
    const std::string stem = path.stem().string();
    const std::string extension = path.extension().string();
    const std::string mark = ".part-" + std::to_string(::getpid());
    auto add = [&](const std::string& name) {
        final_.push_back((path.parent_path() / (name + extension)).string());
        temporary_.push_back((path.parent_path() / ("." + name + mark + extension)).string());
    };
    if (channelSuffixes.empty()) {
        add(stem);
    }
    for (const std::string& suffix : channelSuffixes) {
        add(stem + "_" + suffix);
    }
}

OutputFiles::~OutputFiles() {
    if (committed_) {
        return;
    }
    for (const std::string& path : temporary_) {
        std::error_code ignored;
        fs::remove(path, ignored);
    }
}

void OutputFiles::commit() {
    for (const std::string& path : temporary_) {
        std::error_code error;
        if (!fs::is_regular_file(path, error) || fs::file_size(path, error) == 0) {
            throw std::runtime_error("the engines left no output in " + path);
        }
    }
    for (std::size_t i = 0; i < temporary_.size(); ++i) {
        if (std::rename(temporary_[i].c_str(), final_[i].c_str()) != 0) {
            const std::string reason = std::strerror(errno);
            for (std::size_t done = 0; done < i; ++done) {
                std::remove(final_[done].c_str());
            }
            throw std::runtime_error("cannot rename " + temporary_[i] + " to " + final_[i] + ": " +
                                     reason);
        }
    }
    committed_ = true;
}

} // namespace cantova
