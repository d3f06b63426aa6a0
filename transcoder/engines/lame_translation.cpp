#include "engines/lame_translation.h"

#include "command/bitrate_choice.h"

#include <algorithm>
#include <cctype>
#include <optional>

namespace cantova {

namespace {

bool choosesVariableOrAverageMode(const LameSwitch& lameSwitch) {
    return lameSwitch.name == "--abr" || lameSwitch.name == "--alt-preset abr" ||
           lameSwitch.name == "--alt-preset" || lameSwitch.name == "--preset r3mix" ||
           lameSwitch.name == "-v" || lameSwitch.name == "--vbr-old" ||
           lameSwitch.name == "--vbr-new" || lameSwitch.name == "--vbr-mtrh";
}

void append(std::vector<std::string>& arguments, std::initializer_list<std::string> words) {
    arguments.insert(arguments.end(), words);
}

// The constant bitrate as lame can use it at the sample rate; lame would silently take
// another one.
std::string usableConstantBitrate(const std::string& requested, int sampleRate,
                                  std::vector<std::string>& notes) {
    const int kbps = std::stoi(requested);
    const std::optional<int> usable = usableMp3Bitrate(kbps, sampleRate);
    if (!usable || *usable == kbps) {
        return requested;
    }
    notes.push_back("lame: MP3 cannot carry " + requested + " kbit/s at " +
                    std::to_string(sampleRate) + " Hz, encoded at " + std::to_string(*usable) +
                    " kbit/s, the nearest bitrate it can");
    return std::to_string(*usable);
}

} // namespace

LameTranslation translateLameSwitches(const LameOptions& lame, int sampleRate) {
    LameTranslation result;
    auto& out = result.arguments;
    // Without a VBR or ABR switch the first -b is the constant bitrate; a later -b is the
    // front end's minimum bitrate, which would silently replace the constant bitrate.
    const bool constantBitrate =
        std::none_of(lame.switches.begin(), lame.switches.end(), choosesVariableOrAverageMode);
    bool bitrateTaken = false;
    for (const LameSwitch& s : lame.switches) {
        const std::string& name = s.name;
        if (name == "-b") {
            if (constantBitrate && bitrateTaken) {
                result.notes.push_back("lame: minimum bitrate -b " + s.values[0] +
                                       " dropped, the constant bitrate is already set");
                continue;
            }
            append(out, {"-b", constantBitrate
                                   ? usableConstantBitrate(s.values[0], sampleRate, result.notes)
                                   : s.values[0]});
            bitrateTaken = bitrateTaken || constantBitrate;
        } else if (name == "--alt-preset cbr") {
            bitrateTaken = true;
            result.notes.push_back("lame: --alt-preset cbr " + s.values[0] +
                                   " passed as --preset cbr " + s.values[0]);
            append(out, {"--preset", "cbr",
                         usableConstantBitrate(s.values[0], sampleRate, result.notes)});
        } else if (name == "--alt-preset abr") {
            append(out, {"--preset", s.values[0]});
            result.notes.push_back("lame: --alt-preset " + s.values[0] + " passed as --preset " +
                                   s.values[0]);
        } else if (name == "--alt-preset") {
            out.push_back("--preset");
            out.insert(out.end(), s.values.begin(), s.values.end());
            std::string preset = s.values[0] + (s.values.size() > 1 ? " " + s.values[1] : "");
            result.notes.push_back("lame: --alt-preset " + preset + " passed as --preset " +
                                   preset);
        } else if (name == "--preset r3mix") {
            append(out, {"-V", "2"});
            result.notes.push_back("lame: --preset r3mix is not in the installed lame, encoded "
                                   "as -V 2 (the 192 kbit/s VBR quality)");
        } else if (name == "--athtype" || name == "--ns-bass") {
            result.notes.push_back("lame: " + name + " " + s.values[0] +
                                   " dropped, the installed lame no longer has it");
        } else if (name == "--nspsytune") {
            result.notes.push_back(
                "lame: --nspsytune dropped, the installed lame no longer has it");
        } else {
            out.push_back(name);
            out.insert(out.end(), s.values.begin(), s.values.end());
        }
    }
    return result;
}

bool lameKeepsLoudness(const std::vector<std::string>& arguments) {
    // lame's own default is CBR at 128 kbit/s; in VBR mode its default quality is 4.
    constexpr int kKeepingBitrate = 256;
    constexpr int kKeepingQuality = 4;
    bool variable = false;
    std::optional<int> quality;
    std::optional<int> bitrate;      // constant or average
    std::optional<int> firstMinimum; // -b: the constant bitrate unless VBR is chosen
    const auto number = [](const std::string& word) -> std::optional<int> {
        if (word.empty() || !std::all_of(word.begin(), word.end(), ::isdigit)) {
            return std::nullopt;
        }
        return std::stoi(word);
    };
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& word = arguments[i];
        const std::string next = i + 1 < arguments.size() ? arguments[i + 1] : "";
        if (word == "-v" || word == "--vbr-new" || word == "--vbr-old" || word == "--vbr-mtrh") {
            variable = true;
        } else if (word == "-V") {
            variable = true;
            quality = number(next);
        } else if (word == "--abr") {
            bitrate = number(next);
        } else if (word == "-b" && !firstMinimum) {
            firstMinimum = number(next);
        } else if (word == "--preset") {
            if (next == "medium" || next == "standard" || next == "extreme") {
                variable = true;
                quality = next == "medium" ? 4 : next == "standard" ? 2 : 0;
            } else if (next == "insane") {
                bitrate = 320;
            } else if (next == "cbr" && i + 2 < arguments.size()) {
                bitrate = number(arguments[i + 2]);
            } else if (number(next)) {
                bitrate = number(next);
            }
        }
    }
    if (variable && !bitrate) {
        return quality.value_or(kKeepingQuality) <= kKeepingQuality;
    }
    return bitrate.value_or(firstMinimum.value_or(128)) >= kKeepingBitrate;
}

} // namespace cantova
