#include "app/batch_driver.h"

#include "app/batch_progress.h"
#include "app/batch_session.h"
#include "app/stop_signals.h"
#include "cmdline/command_forms.h"
#include "cmdline/job_command.h"
#include "jobs/source_path_rules.h"
#include "settings/paths.h"
#include "ui/control_properties.h"

#include <algorithm>
#include <iterator>
#include <memory>
#include <optional>
#include <ostream>
#include <set>
#include <sstream>
#include <utility>

namespace cantova::app {

namespace {

constexpr int kExitUnfinishedJobs = 1;
constexpr int kExitRefused = 2;

// "NAME=VALUE" split at the first "=".
bool SplitAssignment(const std::string& operand, std::string& name, std::string& value) {
    const auto equals = operand.find('=');
    if (equals == std::string::npos || equals == 0) {
        return false;
    }
    name = operand.substr(0, equals);
    value = operand.substr(equals + 1);
    return true;
}

std::string CheckAssignment(BatchSession& session, const std::string& operand) {
    std::string name, value, error;
    if (!SplitAssignment(operand, name, value)) {
        return "'set' needs NAME=VALUE, got '" + operand + "'";
    }
    if (!session.state.readable(name, error)) {
        return error;
    }
    return {};
}

// The source box is read-only in the window: a source given to the driver must pass the rules a
// chosen source passes. Shows their message and returns false when it does not.
bool SourceAccepted(BatchSession& session, const std::string& name, const std::string& value) {
    std::string error;
    const auto target = session.state.resolve(name, error);
    if (!target || target->control != &session.windows.frmMain.TxtStreamAudio ||
        target->property != "Text") {
        return true;
    }
    if (const std::optional<std::string> problem = jobs::SourcePathProblem(value)) {
        session.messages.Show(*problem, "Error", ui::MessageIcon::Exclamation);
        return false;
    }
    return true;
}

std::string CheckList(BatchSession& session, const std::string& name, const std::string& code) {
    std::string error;
    const ui::Control* control = session.state.findControl(name, error);
    if (control == nullptr) {
        return error;
    }
    if (dynamic_cast<const ui::ComboBox*>(control) == nullptr) {
        return "'" + name + "' is not a drop-down list";
    }
    if (!ui::ParseDecimal(code)) {
        return "'key' needs a decimal key code, got '" + code + "'";
    }
    return {};
}

// The Jobs menu's actions that make sense in a script; the menu has no control in the window model.
using JobAction = void (*)(BatchSession&);
const std::map<std::string, JobAction>& JobActions() {
    static const std::map<std::string, JobAction> actions{
        {"MenuJobsRetryFailed", [](BatchSession& s) { s.program.runner.RetryFailed(); }},
        {"MenuJobsMoveUp", [](BatchSession& s) { s.program.jobList.MoveSelected(-1); }},
        {"MenuJobsMoveDown", [](BatchSession& s) { s.program.jobList.MoveSelected(+1); }},
        {"MenuJobsRestoreSettings", [](BatchSession& s) { s.program.settingsBeforeRun.Restore(); }},
    };
    return actions;
}

std::string CheckButton(BatchSession& session, const std::string& name) {
    if (JobActions().count(name) != 0) {
        return {};
    }
    std::string error;
    const ui::Control* control = session.state.findControl(name, error);
    if (control == nullptr) {
        return error;
    }
    if (control->kind() != ui::ControlKind::Button && control->kind() != ui::ControlKind::Menu) {
        return "'" + name + "' is not a button or menu item";
    }
    return {};
}

// Whether the step tells of what it could not do only by a message: a source that cannot be one,
// a job that cannot be added, a profile that cannot be read or written.
bool RefusableStep(const std::string& verb, const std::vector<std::string>& operands) {
    static const std::set<std::string> steps{"select", "add", "load", "save", "set"};
    static const std::set<std::string> buttons{"CmdBrowseStream1", "CmdAddAudioJobList",
                                               "MenuPrfAudioLoad", "MenuPrfAudioSave"};
    return steps.count(verb) != 0 || (verb == "click" && buttons.count(operands[0]) != 0);
}

// The operands of a step, one word each.
std::size_t OperandCount(const std::string& operands) {
    std::istringstream words(operands);
    return static_cast<std::size_t>(std::distance(std::istream_iterator<std::string>(words), {}));
}

} // namespace

struct BatchDriver::Invocation {
    BatchOptions options;
    bool helpWanted = false;
    bool versionWanted = false;
};

BatchDriver::BatchDriver(std::ostream& out, std::ostream& err, bool errIsTerminal)
    : out_(out), err_(err), errIsTerminal_(errIsTerminal) {
    defineOptions();
    defineVerbs();
}

void BatchDriver::defineOptions() {
    const auto flag = [](bool Invocation::*wanted) {
        return [wanted](Invocation& i, const std::string&) {
            i.*wanted = true;
            return std::string();
        };
    };
    options_["--dry-run"] = {
        "", "print the transcoder commands and deletions of a run instead of doing them",
        [](Invocation& i, const std::string&) {
            i.options.dryRun = true;
            return std::string();
        }};
    options_["--overwrite"] = {"", "answer yes when a run would replace existing output files",
                               [](Invocation& i, const std::string&) {
                                   i.options.overwrite = true;
                                   return std::string();
                               }};
    options_["--jobs"] = {"N", "run up to N jobs of a run at once (1 by default)",
                          [](Invocation& i, const std::string& value) {
                              const std::optional<int> jobs = ui::ParseDecimal(value);
                              if (!jobs || *jobs < 1) {
                                  return "'--jobs' needs a number of jobs of at least 1, got '" +
                                         value + "'";
                              }
                              i.options.jobsAtOnce = *jobs;
                              return std::string();
                          }};
    options_["--restore"] = {"", "first take back the jobs an earlier session left (crash or kept)",
                             [](Invocation& i, const std::string&) {
                                 i.options.restore = true;
                                 return std::string();
                             }};
    options_["--help"] = {"", "print this help and do nothing else", flag(&Invocation::helpWanted)};
    options_["--version"] = {"", "print the version and do nothing else",
                             flag(&Invocation::versionWanted)};
}

void BatchDriver::defineVerbs() {
    verbs_["set"] = {
        "NAME=VALUE", "assign VALUE to the property NAME as the program would, with its reactions",
        [](BatchSession& s, const Step& step) { return CheckAssignment(s, step.operands[0]); },
        [](BatchSession& s, const Step& step) {
            std::string name, value, error;
            SplitAssignment(step.operands[0], name, value);
            if (SourceAccepted(s, name, value)) {
                s.state.assign(name, value, error);
            }
            return error;
        }};
    verbs_["click"] = {
        "NAME", "press the button or menu item NAME",
        [](BatchSession& s, const Step& step) { return CheckButton(s, step.operands[0]); },
        [](BatchSession& s, const Step& step) {
            if (const auto action = JobActions().find(step.operands[0]);
                action != JobActions().end()) {
                action->second(s);
                return std::string();
            }
            std::string error;
            auto* button = dynamic_cast<ui::Button*>(s.state.findControl(step.operands[0], error));
            if (button != nullptr) {
                button->press();
            }
            return error;
        }};
    verbs_["key"] = {
        "NAME CODE", "press the key of decimal key code CODE in the drop-down list NAME",
        [](BatchSession& s, const Step& step) {
            return CheckList(s, step.operands[0], step.operands[1]);
        },
        [](BatchSession& s, const Step& step) {
            std::string error;
            auto* list = dynamic_cast<ui::ComboBox*>(s.state.findControl(step.operands[0], error));
            if (list != nullptr) {
                list->pressKey(*ui::ParseDecimal(step.operands[1]));
            }
            return error;
        }};
    // Steps that stand for a dialog's choice: the scripted dialog answers with PATH, then the
    // button or menu item that opens the dialog is pressed.
    const auto answerAndPress = [](const char* buttonName) {
        return [buttonName](BatchSession& s, const Step& step) {
            std::string error;
            auto* button = dynamic_cast<ui::Button*>(s.state.findControl(buttonName, error));
            if (button != nullptr) {
                s.dialogs.Answer(step.operands[0]);
                button->press();
            }
            return error;
        };
    };
    const auto anyPath = [](BatchSession&, const Step&) { return std::string(); };
    verbs_["select"] = {"PATH", "choose PATH as the source, as in the source dialog", anyPath,
                        answerAndPress("CmdBrowseStream1")};
    verbs_["load"] = {"PATH", "load the audio profile PATH, as the Profils menu does", anyPath,
                      answerAndPress("MenuPrfAudioLoad")};
    verbs_["save"] = {"PATH",
                      "save the settings as the audio profile PATH, as the Profils menu does",
                      anyPath, answerAndPress("MenuPrfAudioSave")};
    // As a file dropped with others: selected as the source, then added as a job.
    verbs_["add"] = {"PATH", "add PATH (a file, or a folder's audio files) as jobs, as a drop does",
                     anyPath, [](BatchSession& s, const Step& step) {
                         s.program.intake.AddFilesAsJobs({step.operands[0]});
                         return std::string();
                     }};
    verbs_["print"] = {"NAME", "print NAME=VALUE for the property or program value NAME",
                       [](BatchSession& s, const Step& step) {
                           std::string error;
                           s.state.readable(step.operands[0], error);
                           return error;
                       },
                       [](BatchSession& s, const Step& step) {
                           std::string error;
                           if (auto value = s.state.read(step.operands[0], error)) {
                               s.out << step.operands[0] << '=' << *value << '\n';
                           }
                           return error;
                       }};
    verbs_["command"] = {
        "N", "print the transcoder command line of job number N with the current settings",
        [](BatchSession&, const Step& step) {
            return ui::ParseDecimal(step.operands[0])
                       ? std::string()
                       : "'command' needs a job number, got '" + step.operands[0] + "'";
        },
        [](BatchSession& s, const Step& step) {
            const std::optional<std::string> command =
                cmdline::BuildCommandOfSettings(s.windows, *ui::ParseDecimal(step.operands[0]));
            if (!command) {
                return "no output name can be formed for the source '" +
                       s.windows.frmMain.TxtStreamAudio.text() + "'";
            }
            s.out << *command << '\n';
            return std::string();
        }};
    // The lines Start would run (or the current settings' as job 1), as the Show Command Lines
    // window copies them.
    verbs_["commands"] = {
        "FORM", "print the job list's command lines in FORM: line, shell or json",
        [](BatchSession&, const Step& step) {
            return cmdline::CommandFormNamed(step.operands[0])
                       ? std::string()
                       : "'commands' needs line, shell or json, got '" + step.operands[0] + "'";
        },
        [this](BatchSession& s, const Step& step) {
            const jobs::CommandListing listing = jobs::InForm(
                s.program.commandLines.List(), *cmdline::CommandFormNamed(step.operands[0]));
            // The form's own text is all that goes to the standard output of a machine form.
            for (const jobs::ListedCommand& command : listing.commands) {
                out_ << command.line << '\n';
            }
            for (const std::string& problem : listing.problems) {
                s.messages.Show(problem, "Command Lines", ui::MessageIcon::Exclamation);
            }
            return std::string();
        }};
    verbs_["from-command"] = {"LINE",
                              "give the windows the settings that build the command line LINE",
                              anyPath, [](BatchSession& s, const Step& step) {
                                  return s.program.settingsFromCommand.Apply(step.operands[0])
                                             ? std::string()
                                             : std::string("the command line was not applied");
                              }};
    verbs_["dump"] = {"", "print every property of both windows with its value, sorted",
                      [](BatchSession&, const Step&) { return std::string(); },
                      [](BatchSession& s, const Step&) {
                          for (const std::string& line : s.state.dump()) {
                              s.out << line << '\n';
                          }
                          return std::string();
                      }};
}

void BatchDriver::printHelp() const {
    std::vector<std::pair<std::string, std::string>> optionLines, stepLines;
    for (const auto& [name, option] : options_) {
        optionLines.emplace_back(option.operand.empty() ? name : name + ' ' + option.operand,
                                 option.description);
    }
    for (const auto& [name, verb] : verbs_) {
        stepLines.emplace_back(verb.operands.empty() ? name : name + ' ' + verb.operands,
                               verb.description);
    }
    std::size_t width = 0;
    for (const auto* lines : {&optionLines, &stepLines}) {
        for (const auto& line : *lines) {
            width = std::max(width, line.first.size());
        }
    }
    const auto print = [&](const char* heading, const auto& lines) {
        out_ << '\n' << heading << '\n';
        for (const auto& [synopsis, description] : lines) {
            out_ << "  " << synopsis << std::string(width + 2 - synopsis.size(), ' ') << description
                 << '\n';
        }
    };
    out_ << "Usage: cantova-batch [OPTION]... STEP...\n"
            "Drives the windows of cantova-gui without a display: the steps run in order, as a "
            "user's\nactions would; nothing runs when one of them is wrong.\n";
    print("Options:", optionLines);
    print("Steps:", stepLines);
    out_ << "\nWith 'commands shell' or 'commands json' the standard output holds only that "
            "form;\nmessages and everything else go to the standard error. Progress of runs goes "
            "to the\nstandard error.\n"
            "\nExit status: 0 done; 1 a job of a run was skipped, not started, stopped or "
            "failed,\nor cmdExit could not keep the jobs in the list for the next start;\n2 an "
            "unknown option, step or name, a step that cannot be done, or a step "
            "refused with\na message (select, add, load, save, set, and clicks on the buttons and "
            "menu "
            "items they\nstand for; the later steps still run); 128+N stopped by signal N.\n";
}

bool BatchDriver::parse(const std::vector<std::string>& words, std::vector<Step>& steps) {
    for (std::size_t i = 0; i < words.size();) {
        auto verb = verbs_.find(words[i]);
        if (verb == verbs_.end()) {
            err_ << "cantova-batch: unknown step '" << words[i] << "'\n";
            return false;
        }
        Step step{words[i], {}};
        ++i;
        const std::size_t operandCount = OperandCount(verb->second.operands);
        for (std::size_t k = 0; k < operandCount; ++k, ++i) {
            if (i >= words.size()) {
                err_ << "cantova-batch: step '" << step.verb << "' needs " << operandCount
                     << " operand(s)\n";
                return false;
            }
            step.operands.push_back(words[i]);
        }
        steps.push_back(std::move(step));
    }
    return true;
}

bool BatchDriver::parseOptions(std::vector<std::string>& words, Invocation& invocation) {
    while (!words.empty() && words.front().starts_with("--")) {
        const auto option = options_.find(words.front());
        if (option == options_.end()) {
            err_ << "cantova-batch: unknown option '" << words.front() << "'\n";
            return false;
        }
        std::string value;
        if (!option->second.operand.empty()) {
            if (words.size() < 2) {
                err_ << "cantova-batch: option '" << words.front() << "' needs "
                     << option->second.operand << '\n';
                return false;
            }
            value = words[1];
            words.erase(words.begin());
        }
        if (const std::string error = option->second.apply(invocation, value); !error.empty()) {
            err_ << "cantova-batch: " << error << '\n';
            return false;
        }
        words.erase(words.begin());
    }
    return true;
}

int BatchDriver::run(const std::vector<std::string>& arguments) {
    std::vector<std::string> words = arguments;
    Invocation invocation;
    if (!parseOptions(words, invocation)) {
        return kExitRefused;
    }
    if (invocation.helpWanted) {
        printHelp();
        return 0;
    }
    if (invocation.versionWanted) {
        out_ << "cantova-batch " << CANTOVA_VERSION << '\n';
        return 0;
    }
    BatchOptions options = invocation.options;
    std::vector<Step> steps;
    if (!parse(words, steps)) {
        return kExitRefused;
    }
    {
        // Names are checked against a separate start-up state, so that nothing is done
        // when any step is wrong; list items are looked for when their step runs.
        std::ostringstream discarded;
        BatchSession probe(discarded, BatchOptions{.dryRun = true});
        for (const Step& step : steps) {
            const std::string error = verbs_.at(step.verb).check(probe, step);
            if (!error.empty()) {
                err_ << "cantova-batch: " << error << '\n';
                return kExitRefused;
            }
        }
    }
    const StopSignals stopSignals;
    options.stopDescriptor = stopSignals.descriptor();
    // A script or JSON document on the standard output must hold nothing else: a message quotes
    // file names, which a shell would run.
    const bool machineForm = std::any_of(steps.begin(), steps.end(), [](const Step& step) {
        return step.verb == "commands" && step.operands[0] != "line";
    });
    options.stateFolder = settings::StateFolder();
    BatchSession session(machineForm ? err_ : out_, options);
    if (session.program.keeper) {
        session.program.keeper->setSavingProblemNotice(
            [this](const std::string& problem) { err_ << "cantova-batch: " << problem << '\n'; });
    }
    session.TakeBackLeftJobs(err_);
    std::optional<BatchProgress> progress;
    if (!options.dryRun) {
        progress.emplace(session.program.queue, session.program.runner, err_, errIsTerminal_);
    }
    bool unfinishedJobs = false;
    bool refusedSteps = false;
    for (const Step& step : steps) {
        if (session.windows.program.ended) {
            break;
        }
        const int warningsBefore = session.messages.warnings();
        const std::string error = verbs_.at(step.verb).perform(session, step);
        session.RunUntilIdle();
        if (progress) {
            progress->endLine();
        }
        unfinishedJobs = unfinishedJobs || session.program.runner.unfinishedJobsOfLastRun() > 0;
        refusedSteps = refusedSteps || (RefusableStep(step.verb, step.operands) &&
                                        session.messages.warnings() > warningsBefore);
        if (!error.empty()) {
            out_.flush();
            err_ << "cantova-batch: " << error << '\n';
            return kExitRefused;
        }
        if (const int signal = stopSignals.received(); signal != 0) {
            out_.flush();
            err_ << "cantova-batch: stopped by signal " << signal << session.KeepAfterStop()
                 << '\n';
            return 128 + signal;
        }
    }
    if (refusedSteps) {
        return kExitRefused;
    }
    return unfinishedJobs || session.exitQuestion.notKept() ? kExitUnfinishedJobs : 0;
}

} // namespace cantova::app
