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
struct BatchOptions;

class BatchDriver {
public:
    BatchDriver(std::ostream& out, std::ostream& err);
    // Runs "[--dry-run] [--overwrite] STEP...". 0 on success; 1 when a job of a run was skipped,
    // not started, stopped or failed; 2 for an unknown option, step or name, or a step that
    // cannot be done; 128 + the signal when SIGINT, SIGTERM or SIGHUP stopped it.
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
    bool parseOptions(std::vector<std::string>& words, BatchOptions& options);
    bool parse(const std::vector<std::string>& words, std::vector<Step>& steps);

    std::ostream& out_;
    std::ostream& err_;
    std::map<std::string, Verb> verbs_;
};

} // namespace cantova::app
