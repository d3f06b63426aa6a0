// cantova-batch --help is made from the driver's own tables of options and steps: every entry
// needs its line there, and its place in the manual page.

#include "app/batch_driver.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct HelpEntry {
    std::string synopsis;
    std::string description;
};

// The lines of one section ("Options:", "Steps:") of the help, split at the blanks that start
// the description column.
std::vector<HelpEntry> Section(const std::string& help, const std::string& heading) {
    std::istringstream lines(help);
    std::string line;
    while (std::getline(lines, line) && line != heading) {
    }
    std::vector<HelpEntry> entries;
    const std::regex entry("  (\\S+(?: \\S+)*)(?:  +(.*))?");
    std::smatch parts;
    while (std::getline(lines, line) && !line.empty()) {
        EXPECT_TRUE(std::regex_match(line, parts, entry)) << line;
        entries.push_back({parts[1], parts[2]});
    }
    return entries;
}

std::string RunBatch(const std::vector<std::string>& arguments, int expectedStatus = 0) {
    std::ostringstream out, err;
    cantova::app::BatchDriver driver(out, err);
    EXPECT_EQ(driver.run(arguments), expectedStatus) << err.str();
    return out.str();
}

TEST(BatchHelp, EveryOptionAndStepHasItsLineAndItsPlaceInTheManual) {
    const std::string help = RunBatch({"--help"});
    const std::string manual = ReadText(CANTOVA_BATCH_MANUAL);
    ASSERT_FALSE(manual.empty());
    const std::vector<HelpEntry> options = Section(help, "Options:");
    const std::vector<HelpEntry> steps = Section(help, "Steps:");
    EXPECT_GE(options.size(), 4u);
    EXPECT_GE(steps.size(), 9u);
    for (const auto* entries : {&options, &steps}) {
        for (const HelpEntry& entry : *entries) {
            EXPECT_FALSE(entry.description.empty()) << entry.synopsis << " has no description";
            const std::string name = entry.synopsis.substr(0, entry.synopsis.find(' '));
            EXPECT_NE(manual.find("\n*" + name + "*"), std::string::npos)
                << name << " is missing from the manual page";
        }
    }
}

TEST(BatchHelp, HelpAndVersionDoNothingElse) {
    for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
             {"--help", "click", "cmdExit"}, {"--dry-run", "--help", "print", "NoSuchName"}}) {
        EXPECT_TRUE(RunBatch(arguments).starts_with("Usage: cantova-batch [OPTION]... STEP...\n"));
    }
    EXPECT_TRUE(RunBatch({"--version", "dump"}).starts_with("cantova-batch 1."));
    EXPECT_EQ(RunBatch({"--helpful"}, 2), "");
}

} // namespace
