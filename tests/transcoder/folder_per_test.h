#pragma once

// A folder of each test's own under the temporary folder ("cantova <label> <test> <pid>"), made
// when the test asks for it and removed with everything in it after the test.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace cantova::testing {

class FolderPerTest : public ::testing::Test {
protected:
    void makeFolder(const std::string& label) {
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::replace(name.begin(), name.end(), '/', '-');
        folder_ = std::filesystem::temp_directory_path() /
                  ("cantova " + label + " " + name + " " + std::to_string(::getpid()));
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override {
        if (!folder_.empty()) {
            std::error_code ignored;
            std::filesystem::remove_all(folder_, ignored);
        }
    }

    std::string path(const std::string& name) const { return (folder_ / name).string(); }

    std::filesystem::path folder_;
};

} // namespace cantova::testing
