#include "cmdline/group_grammar.h"

#include "ui/typed_fields.h"

#include <algorithm>

namespace cantova::cmdline {

namespace {

// A profile key and its value; "$1" and "$2" stand for the texts the form's value words matched.
struct Key {
    std::string section;
    std::string key;
    std::string value;
};
using Keys = std::vector<Key>;

// Words of a form: a word holding "$" is a value, matching any word that begins with the text
// before "$" and ends with the text after it, the text between being one typed value.
struct Form {
    std::vector<std::string> words;
    Keys keys;
};

struct Step {
    std::vector<Form> forms;
    bool optional = true;
    // The keys when the step is left out.
    Keys absent;
};

} // namespace

struct GroupGrammar {
    std::string word;
    std::vector<Step> steps;
    // The keys when the line holds no such group, for a group that is not dropped when empty;
    // a group that is dropped reads as if it had no switches.
    Keys missing;
};

namespace {

// A check box switch with a list beside it: one form per item, "switch caption" giving the item's
// position; left out, the box is unticked.
Step ListSwitch(const std::string& word, const std::vector<std::string>& values,
                const std::string& section, const std::string& box, const std::string& list) {
    Step step;
    for (std::size_t i = 0; i < values.size(); ++i) {
        step.forms.push_back(
            {{word, values[i]}, {{section, box, "1"}, {section, list, std::to_string(i)}}});
    }
    step.absent = {{section, box, "0"}};
    return step;
}

// A check box that writes the words when ticked.
Step Flag(std::vector<std::string> words, const std::string& section, const std::string& box) {
    return {{{std::move(words), {{section, box, "1"}}}}, true, {{section, box, "0"}}};
}

// A check box with a typed field: "word value" when ticked.
Step TypedSwitch(const std::string& word, const std::string& section, const std::string& box,
                 const std::string& field) {
    return {{{{word, "$"}, {{section, box, "1"}, {section, field, "$1"}}}},
            true,
            {{section, box, "0"}}};
}

// The gain mode is read as its item data (ReadJobCommand turns it into the list position).
GroupGrammar OtaGrammar() {
    Step delay{{{{"-d", "auto"}, {{"DELAY", "DELAYAUTO", "1"}}},
                {{"-d", "$"}, {{"DELAY", "DELAYAUTO", "0"}, {"DELAY", "DELAYVALUE", "$1"}}}},
               true,
               {{"DELAY", "DELAYAUTO", "0"}, {"DELAY", "DELAYVALUE", "0"}}};
    Step gain{{{{"-g", "max"}, {{"GAIN", "GAINMODE", "1"}}},
               {{"-G", "1"}, {{"GAIN", "GAINMODE", "2"}}},
               {{"-hybridgain"}, {{"GAIN", "GAINMODE", "3"}}},
               {{"-loudness", "$", "-truepeak", "$"},
                {{"GAIN", "GAINMODE", "4"},
                 {"GAIN", "LOUDNESSTARGET", "$1"},
                 {"GAIN", "TRUEPEAKCEILING", "$2"}}}},
              true,
              {{"GAIN", "GAINMODE", "0"}}};
    return {"-ota(", {delay, gain}, {}};
}

GroupGrammar AzidGrammar() {
    const auto gain = [](const std::string& word, const std::string& unit) {
        return Form{
            {"-g", word},
            {{"AZID", "USE_GAIN", "1"}, {"AZID", "GAIN", "$1"}, {"AZID", "GAINMODE", unit}}};
    };
    Step manualGain{
        {gain("$db", "0"), gain("$%", "1"), gain("$", "-1")}, true, {{"AZID", "USE_GAIN", "0"}}};
    return {"-azid(",
            {Flag({"-n1"}, "AZID", "DIALOG_NORM"),
             ListSwitch("-s", {"stereo", "surround", "surround2"}, "AZID", "USE_OUTPUTMODE",
                        "OUTPUTMODE"),
             ListSwitch("-c", {"light", "normal", "heavy"}, "AZID", "USE_DYNACOMP", "DYNACOMP"),
             manualGain, TypedSwitch("-L", "AZID", "USE_LFE_TO_LR", "LFE_TO_LR"),
             Flag({"--maximize"}, "AZID", "NORMALISE")},
            {}};
}

GroupGrammar BoostGrammar() {
    const auto algorithm = [](std::vector<std::string> words, const std::string& number) {
        Keys keys{{"BOOST", "USEBOOST", "1"}, {"BOOST", "BOOSTALGO", number}};
        if (!words.empty()) {
            keys.push_back({"BOOST", "BOOSTFACTOR", "$1"});
        }
        if (words.size() > 1) {
            keys.push_back({"BOOST", "BOOSTLIMITFACTOR", "$2"});
        }
        return Form{std::move(words), std::move(keys)};
    };
    Step step{{algorithm({"/b=$", "/l=$"}, "0"), algorithm({"/b2=$"}, "1"),
               algorithm({"/b3=$", "/l=$"}, "2"), algorithm({}, "-1")},
              false,
              {}};
    return {"-boost(", {step}, {{"BOOST", "USEBOOST", "0"}}};
}

GroupGrammar LameGrammar() {
    const auto rate = [](std::vector<std::string> words, const std::string& mode,
                         const std::string& preset, Key setting) {
        return Form{
            std::move(words),
            {{"SETTING", "MODE", mode}, {"LAME", "USE_PRESET", preset}, std::move(setting)}};
    };
    const Key typedRate{"LAME", "BITRATE", "$1"};
    const auto vbrPreset = [&](std::vector<std::string> words, const std::string& item) {
        return rate(std::move(words), "2", "1", {"LAME", "ALTPRESET", item});
    };
    Step bitrateMode{{rate({"-b", "$"}, "0", "0", typedRate),
                      rate({"--alt-preset", "cbr", "$"}, "0", "1", typedRate),
                      rate({"--abr", "$"}, "1", "0", typedRate),
                      rate({"-v", "--vbr-old"}, "2", "0", {"LAME", "VBRROUTINE", "0"}),
                      rate({"-v", "--vbr-new"}, "2", "0", {"LAME", "VBRROUTINE", "1"}),
                      rate({"-v", "--vbr-mtrh"}, "2", "0", {"LAME", "VBRROUTINE", "2"}),
                      vbrPreset({"--alt-preset", "extreme"}, "1"),
                      vbrPreset({"--alt-preset", "fast", "extreme"}, "2"),
                      vbrPreset({"--alt-preset", "standard"}, "4"),
                      vbrPreset({"--alt-preset", "fast", "standard"}, "5"),
                      vbrPreset({"--preset", "r3mix"}, "6"),
                      vbrPreset({"--alt-preset", "medium"}, "8"),
                      vbrPreset({"--alt-preset", "fast", "medium"}, "9"),
                      rate({"--alt-preset", "$"}, "1", "1", typedRate)},
                     false,
                     {}};
    return {"-lame(",
            {ListSwitch("-m", {"s", "j", "f"}, "LAME", "USE_OUTPUTMODE", "OUTPUTMODE"),
             TypedSwitch("--scale", "LAME", "USE_SCALE", "SCALE"), bitrateMode,
             ListSwitch("-V", {"0", "2", "4", "6", "8"}, "LAME", "USE_QUALITYVBR", "QUALITYVBR"),
             TypedSwitch("-b", "LAME", "USE_MINBIT", "MINBIT"),
             TypedSwitch("-B", "LAME", "USE_MAXBIT", "MAXBIT"), Flag({"-p"}, "LAME", "ERRORPROTEC"),
             ListSwitch("--lowpass", {"13", "14", "15", "16", "18", "19", "20", "21", "22"}, "LAME",
                        "USE_LOWPASS", "LOWPASS"),
             Flag({"--athtype", "2"}, "LAME", "ATH_2"), Flag({"--nspsytune"}, "LAME", "PSY_TUNING"),
             Flag({"--ns-bass", "-6"}, "LAME", "PSY_BASS")},
            {}};
}

GroupGrammar OggGrammar() {
    Step mode{{{{"-b", "$"}, {{"SETTING", "MODE", "0"}, {"OGGENC", "BITRATE", "$1"}}},
               {{"-q", "$"}, {{"SETTING", "MODE", "1"}, {"OGGENC", "VBRQUALITY", "$1"}}}},
              false,
              {}};
    return {"-ogg(",
            {mode, TypedSwitch("-m", "OGGENC", "USE_MINBIT", "MINBIT"),
             TypedSwitch("-M", "OGGENC", "USE_MAXBIT", "MAXBIT"),
             Flag({"-6ch"}, "OGGENC", "51OUTPUT")},
            {}};
}

GroupGrammar Ac3EncGrammar() {
    Step rate{{}, false, {}};
    const std::vector<std::string> rates{"128", "160", "192", "224", "256", "320", "384", "448"};
    for (std::size_t i = 0; i < rates.size(); ++i) {
        rate.forms.push_back({{"-b", rates[i]}, {{"AC3ENC", "BITRATE", std::to_string(i)}}});
    }
    // A list without a selection writes no rate.
    rate.forms.push_back({{"-b", ""}, {{"AC3ENC", "BITRATE", "-1"}}});
    return {"-ac3enc(", {rate}, {}};
}

// The rate goes to OPUS/BITRATE, which no profile holds: ReadJobCommand takes the list position
// of the main window's rate from it.
GroupGrammar OpusGrammar() {
    Step rate{{{{"-b", "$"}, {{"OPUS", "BITRATE", "$1"}}}}, false, {}};
    Step mode{{{{"-cvbr"}, {{"OPUS", "MODE", "1"}}}, {{"-cbr"}, {{"OPUS", "MODE", "2"}}}},
              true,
              {{"OPUS", "MODE", "0"}}};
    return {"-opus(", {rate, mode, Flag({"-s"}, "OPUS", "STEREO")}, {}};
}

GroupGrammar FlacGrammar() {
    Step level{{}, false, {}};
    for (int i = 0; i <= 8; ++i) {
        level.forms.push_back({{"-c", std::to_string(i)}, {{"FLAC", "LEVEL", std::to_string(i)}}});
    }
    return {"-flac(", {level}, {}};
}

GroupGrammar SsrcGrammar() {
    Step rate = ListSwitch("--rate", {"44100", "32000", "22050"}, "DOWNSAMPLING", "USESAMPLERATE",
                           "OUTPUTRATE");
    return {"-ssrc(", {rate}, {}};
}

GroupGrammar SplitGrammar() {
    return {"-split(",
            {TypedSwitch("-start", "SPLIT", "USESPLITSTART", "SPLITSTARTVALUE"),
             TypedSwitch("-end", "SPLIT", "USESPLITEND", "SPLITENDVALUE")},
            {}};
}

const std::vector<GroupGrammar>& Grammars() {
    static const std::vector<GroupGrammar> grammars{
        OtaGrammar(),    AzidGrammar(), BoostGrammar(), LameGrammar(), OggGrammar(),
        Ac3EncGrammar(), OpusGrammar(), FlacGrammar(),  SsrcGrammar(), SplitGrammar()};
    return grammars;
}

// The value a form's word matches in text, or nothing when it does not match.
std::optional<std::string> Match(const std::string& word, const std::string& text) {
    const std::size_t slot = word.find('$');
    if (slot == std::string::npos) {
        return word == text ? std::optional<std::string>("") : std::nullopt;
    }
    const std::string before = word.substr(0, slot), after = word.substr(slot + 1);
    if (text.size() < before.size() + after.size() || !text.starts_with(before) ||
        !text.ends_with(after)) {
        return std::nullopt;
    }
    std::string value = text.substr(before.size(), text.size() - before.size() - after.size());
    if (!ui::IsOneSwitchValue(value)) {
        return std::nullopt;
    }
    return value;
}

class Reader {
public:
    Reader(const GroupGrammar& grammar, const std::vector<std::string>& words)
        : grammar_(grammar), words_(words) {}

    // Reads the steps from step on, starting at word at; true when every word was read.
    bool read(std::size_t step, std::size_t at) {
        furthest_ = std::max(furthest_, at);
        if (step == grammar_.steps.size()) {
            return at == words_.size();
        }
        const Step& current = grammar_.steps[step];
        for (const Form& form : current.forms) {
            std::vector<std::string> values;
            if (!matches(form, at, values)) {
                continue;
            }
            const std::size_t kept = settings_.size();
            add(form.keys, values);
            if (read(step + 1, at + form.words.size())) {
                return true;
            }
            settings_.resize(kept);
        }
        if (current.optional) {
            const std::size_t kept = settings_.size();
            add(current.absent, {});
            if (read(step + 1, at)) {
                return true;
            }
            settings_.resize(kept);
        }
        return false;
    }

    std::vector<settings::IniEntry> settings_;
    std::size_t furthest_ = 0;

private:
    bool matches(const Form& form, std::size_t at, std::vector<std::string>& values) const {
        if (at + form.words.size() > words_.size()) {
            return false;
        }
        for (std::size_t i = 0; i < form.words.size(); ++i) {
            const std::optional<std::string> value = Match(form.words[i], words_[at + i]);
            if (!value) {
                return false;
            }
            if (form.words[i].find('$') != std::string::npos) {
                values.push_back(*value);
            }
        }
        return true;
    }

    void add(const Keys& keys, const std::vector<std::string>& values) {
        for (const Key& key : keys) {
            std::string value = key.value;
            if (value == "$1" || value == "$2") {
                value = values.at(value == "$1" ? 0 : 1);
            }
            settings_.push_back({key.section, key.key, value});
        }
    }

    const GroupGrammar& grammar_;
    const std::vector<std::string>& words_;
};

} // namespace

const GroupGrammar* GrammarOfGroup(std::string_view word) {
    for (const GroupGrammar& grammar : Grammars()) {
        if (grammar.word == word) {
            return &grammar;
        }
    }
    return nullptr;
}

const std::vector<std::string_view>& GroupWords() {
    static const std::vector<std::string_view> words = [] {
        std::vector<std::string_view> all;
        for (const GroupGrammar& grammar : Grammars()) {
            all.push_back(grammar.word);
        }
        return all;
    }();
    return words;
}

GroupReading ReadGroupSwitches(const GroupGrammar& grammar, const std::vector<std::string>& words) {
    Reader reader(grammar, words);
    GroupReading reading;
    if (reader.read(0, 0)) {
        reading.settings = std::move(reader.settings_);
    } else {
        reading.wordsRead = reader.furthest_;
    }
    return reading;
}

std::vector<settings::IniEntry> SettingsOfMissingGroup(const GroupGrammar& grammar) {
    if (!grammar.missing.empty()) {
        std::vector<settings::IniEntry> entries;
        for (const Key& key : grammar.missing) {
            entries.push_back({key.section, key.key, key.value});
        }
        return entries;
    }
    return ReadGroupSwitches(grammar, {}).settings.value_or(std::vector<settings::IniEntry>{});
}

} // namespace cantova::cmdline
