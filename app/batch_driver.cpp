#include "app/batch_driver.h"

#include "app/batch_session.h"
#include "app/stop_signals.h"
#include "cmdline/channel_flag.h"
#include "cmdline/job_command.h"
#include "cmdline/output_name.h"
#include "jobs/source_path_rules.h"
#include "ui/control_properties.h"

#include <memory>
#include <ostream>
#include <sstream>

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

} // namespace

BatchDriver::BatchDriver(std::ostream& out, std::ostream& err) : out_(out), err_(err) {
    defineVerbs();
}

void BatchDriver::defineVerbs() {
    verbs_["set"] = {
        1, [](BatchSession& s, const Step& step) { return CheckAssignment(s, step.operands[0]); },
        [](BatchSession& s, const Step& step) {
            std::string name, value, error;
            SplitAssignment(step.operands[0], name, value);
            if (SourceAccepted(s, name, value)) {
                s.state.assign(name, value, error);
            }
            return error;
        }};
    verbs_["click"] = {
        1, [](BatchSession& s, const Step& step) { return CheckButton(s, step.operands[0]); },
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
    verbs_["key"] = {2,
                     [](BatchSession& s, const Step& step) {
                         return CheckList(s, step.operands[0], step.operands[1]);
                     },
                     [](BatchSession& s, const Step& step) {
                         std::string error;
                         auto* list = dynamic_cast<ui::ComboBox*>(
                             s.state.findControl(step.operands[0], error));
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
    verbs_["select"] = {1, anyPath, answerAndPress("CmdBrowseStream1")};
    verbs_["load"] = {1, anyPath, answerAndPress("MenuPrfAudioLoad")};
    verbs_["save"] = {1, anyPath, answerAndPress("MenuPrfAudioSave")};
    // As a file dropped with others: selected as the source, then added as a job.
    verbs_["add"] = {1, anyPath, [](BatchSession& s, const Step& step) {
                         s.program.intake.AddFilesAsJobs({step.operands[0]});
                         return std::string();
                     }};
    verbs_["print"] = {1,
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
        1,
        [](BatchSession&, const Step& step) {
            return ui::ParseDecimal(step.operands[0])
                       ? std::string()
                       : "'command' needs a job number, got '" + step.operands[0] + "'";
        },
        [](BatchSession& s, const Step& step) {
            const ui::Windows& w = s.windows;
            const int number = *ui::ParseDecimal(step.operands[0]);
            std::string output = cmdline::BuildOutputName(w, number);
            if (output.empty()) {
                return "no output name can be formed for the source '" +
                       w.frmMain.TxtStreamAudio.text() + "'";
            }
            if (ui::ChosenCodec(w.frmMain) == ui::Codec::Wav) {
                output += cmdline::ChannelFlag(w);
            }
            s.out << cmdline::BuildJobCommand(w, ui::JobKindOf(w.frmMain),
                                              w.frmMain.TxtStreamAudio.text(), output)
                  << '\n';
            return std::string();
        }};
    verbs_["dump"] = {0, [](BatchSession&, const Step&) { return std::string(); },
                      [](BatchSession& s, const Step&) {
                          for (const std::string& line : s.state.dump()) {
                              s.out << line << '\n';
                          }
                          return std::string();
                      }};
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
        for (int k = 0; k < verb->second.operandCount; ++k, ++i) {
            if (i >= words.size()) {
                err_ << "cantova-batch: step '" << step.verb << "' needs "
                     << verb->second.operandCount << " operand(s)\n";
                return false;
            }
            step.operands.push_back(words[i]);
        }
        steps.push_back(std::move(step));
    }
    return true;
}

bool BatchDriver::parseOptions(std::vector<std::string>& words, BatchOptions& options) {
    while (!words.empty() && words.front().starts_with("--")) {
        if (words.front() == "--dry-run") {
            options.dryRun = true;
        } else if (words.front() == "--overwrite") {
            options.overwrite = true;
        } else if (words.front() == "--jobs") {
            const std::optional<int> jobs =
                words.size() > 1 ? ui::ParseDecimal(words[1]) : std::nullopt;
            if (!jobs || *jobs < 1) {
                err_ << "cantova-batch: '--jobs' needs a number of jobs of at least 1\n";
                return false;
            }
            options.jobsAtOnce = *jobs;
            words.erase(words.begin());
        } else {
            err_ << "cantova-batch: unknown option '" << words.front() << "'\n";
            return false;
        }
        words.erase(words.begin());
    }
    return true;
}

int BatchDriver::run(const std::vector<std::string>& arguments) {
    std::vector<std::string> words = arguments;
    BatchOptions options;
    std::vector<Step> steps;
    if (!parseOptions(words, options) || !parse(words, steps)) {
        return kExitRefused;
    }
    {
        // Names are checked against a separate start-up state, so that nothing is done
        // when any step is wrong; list items are looked for when their step runs.
        std::ostringstream discarded;
        BatchSession probe(discarded, BatchOptions{true, false, -1});
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
    BatchSession session(out_, options);
    bool unfinishedJobs = false;
    for (const Step& step : steps) {
        if (session.windows.program.ended) {
            break;
        }
        const std::string error = verbs_.at(step.verb).perform(session, step);
        session.RunUntilIdle();
        unfinishedJobs = unfinishedJobs || session.program.runner.unfinishedJobsOfLastRun() > 0;
        if (!error.empty()) {
            out_.flush();
            err_ << "cantova-batch: " << error << '\n';
            return kExitRefused;
        }
        if (const int signal = stopSignals.received(); signal != 0) {
            out_.flush();
            err_ << "cantova-batch: stopped by signal " << signal << '\n';
            return 128 + signal;
        }
    }
    return unfinishedJobs ? kExitUnfinishedJobs : 0;
}

} // namespace cantova::app
