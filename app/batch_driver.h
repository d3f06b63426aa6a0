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
    // The progress of runs goes to err, as one rewritten line when err is a terminal.
    BatchDriver(std::ostream& out, std::ostream& err, bool errIsTerminal = false);
    // Runs "[OPTION]... STEP...". 0 on success; 1 when a job of a run was skipped, not started,
    // stopped or failed, or Exit could not keep the jobs in the list; 2 for an unknown option, step
    // or name, a step that cannot be done, or a step that was refused with a message (the steps
    // after it still run); 128 + the signal when SIGINT, SIGTERM or SIGHUP stopped it (the jobs
    // not done of a run it stopped are kept for --restore). With --help or --version among the
    // options it prints that and does nothing else. An invocation with "commands shell" or
    // "commands json" prints only that form's text on out and everything else on err.
    int run(const std::vector<std::string>& arguments);

private:
    struct Step {
        std::string verb;
        std::vector<std::string> operands;
    };
    struct Verb {
        // The operands as the help names them, one word each ("NAME CODE"); empty for none.
        std::string operands;
        // What the step does, one line for the help.
        std::string description;
        // Checks the operands against the start-up state; empty text when they are fine.
        std::function<std::string(BatchSession&, const Step&)> check;
        // Performs the step; empty text on success, else the error.
        std::function<std::string(BatchSession&, const Step&)> perform;
    };
    // What the options ask for.
    struct Invocation;
    struct Option {
        // The value the option takes, as the help names it ("N"); empty for a flag.
        std::string operand;
        // What the option does, one line for the help.
        std::string description;
        // Takes the option (and its value); empty text, or why the value cannot be taken.
        std::function<std::string(Invocation&, const std::string& value)> apply;
    };
    void defineOptions();
    void defineVerbs();
    void printHelp() const;
    bool parseOptions(std::vector<std::string>& words, Invocation& invocation);
    bool parse(const std::vector<std::string>& words, std::vector<Step>& steps);

    std::ostream& out_;
    std::ostream& err_;
    bool errIsTerminal_;
    std::map<std::string, Option> options_;
    std::map<std::string, Verb> verbs_;
};

} // namespace cantova::app
