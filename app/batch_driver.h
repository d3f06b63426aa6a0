#pragma once

// cantova-batch: the window models driven by steps on the command line, the
// scripted twin of the GUI.

#include <functional>
#include <iosfwd>
#include <map>
#include <string>
#include <vector>

namespace cantova::app {

class BatchSession;

class BatchDriver {
public:
    BatchDriver(std::ostream& out, std::ostream& err);
    // Runs "[--dry-run] STEP..."; 0 on success, 2 for an unknown step or name or an invalid value.
    int run(const std::vector<std::string>& arguments);

private:
    struct Step {
        std::string verb;
        std::vector<std::string> operands;
    };
    struct Verb {
        int operandCount;
        // Checks the operands against the start-up state; empty text when they are fine.
        std::function<std::string(BatchSession&, const Step&)> check;
        // Performs the step; empty text on success, else the error.
        std::function<std::string(BatchSession&, const Step&)> perform;
    };
    void defineVerbs();
    bool parse(const std::vector<std::string>& words, std::vector<Step>& steps);

    std::ostream& out_;
    std::ostream& err_;
    std::map<std::string, Verb> verbs_;
    bool dryRun_ = false;
};

} // namespace cantova::app
