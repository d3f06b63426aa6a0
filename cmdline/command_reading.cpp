#include "cmdline/command_reading.h"

#include "cmdline/channel_flag.h"
#include "cmdline/command_line.h"
#include "cmdline/group_grammar.h"
#include "settings/audio_profile_keys.h"
#include "ui/control_properties.h"
#include "ui/gain_modes.h"
#include "ui/typed_fields.h"

#include <algorithm>
#include <array>
#include <clocale>

namespace cantova::cmdline {

namespace {

constexpr std::array<int, 8> kAc3EncoderRates{128, 160, 192, 224, 256, 320, 384, 448};

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

// One option group of a line: its opening word and its switches, an empty word for an empty value.
struct Group {
    std::string word;
    std::vector<std::string> switches;
    std::string text() const {
        std::string joined = word;
        for (const std::string& s : switches) {
            joined += " " + s;
        }
        return joined + " )";
    }
};

// The option groups in text, which holds " -word( switches )" after each other; a problem when it
// does not.
std::vector<Group> SplitGroups(const std::string& text, std::string& problem) {
    std::vector<std::string> words;
    for (std::size_t at = 0; at <= text.size();) {
        const std::size_t blank = std::min(text.find(' ', at), text.size());
        words.push_back(text.substr(at, blank - at));
        at = blank + 1;
    }
    std::vector<Group> groups;
    if (text.empty()) {
        return groups;
    }
    if (!words.front().empty()) {
        problem = "After the -core( group the line has " + Quoted(words.front()) +
                  ", where only option groups such as \" -lame( ... )\" can follow.";
        return {};
    }
    for (std::size_t i = 1; i < words.size();) {
        if (GrammarOfGroup(words[i]) == nullptr) {
            problem = Quoted(words[i]) + " is no option group the windows can give.";
            return {};
        }
        Group group{words[i], {}};
        const auto close = std::find(words.begin() + static_cast<long>(i) + 1, words.end(), ")");
        if (close == words.end()) {
            problem = "The group " + Quoted(text.substr(text.find(words[i]))) +
                      " is not closed with \" )\".";
            return {};
        }
        group.switches.assign(words.begin() + static_cast<long>(i) + 1, close);
        i = static_cast<std::size_t>(close - words.begin()) + 1;
        groups.push_back(std::move(group));
    }
    return groups;
}

// The words " -track N" take after the input: 2 when they are there, else 0.
std::size_t TrackWords(const std::vector<CommandWord>& words) {
    return words.size() > 4 && words[4].text == "-track" ? 2 : 0;
}

// The index of the word that closes the core group, 0 when the words do not begin with one; a
// problem naming the part when they do not.
std::size_t CoreEnd(const std::vector<CommandWord>& words, std::string& problem) {
    const auto word = [&](std::size_t i) { return i < words.size() ? words[i].text : ""; };
    const auto expect = [&](std::size_t i, const std::string& wanted, const std::string& after) {
        if (word(i) == wanted) {
            return true;
        }
        problem = "The line does not have the form \"TRANSCODER -core( -input SOURCE -output "
                  "OUTPUT -logfilea LOG )\" of a job's command line: " +
                  (i < words.size() ? Quoted(word(i)) : std::string("nothing")) + " stands where " +
                  Quoted(wanted) + " should follow " + Quoted(after) + ".";
        return false;
    };
    if (!expect(1, "-core(", words.empty() ? "" : words[0].text) ||
        !expect(2, "-input", "-core(")) {
        return 0;
    }
    // A container's track stands between the input and the output.
    const std::size_t track = TrackWords(words);
    if (!expect(4 + track, "-output", word(3 + track))) {
        return 0;
    }
    // A WAV job's channel switch may stand between the output and the log.
    const std::size_t i = word(6 + track) == "-logfilea" ? 6 + track : 7 + track;
    if (!expect(i, "-logfilea", word(i - 1)) || !expect(i + 2, ")", word(i + 1))) {
        return 0;
    }
    return i + 2;
}

std::optional<ui::Codec> CodecOfExtension(const std::string& path) {
    constexpr std::array<const char*, 6> kExtensions{".ac3", ".mp3",  ".ogg",
                                                     ".wav", ".opus", ".flac"};
    for (std::size_t i = 0; i < kExtensions.size(); ++i) {
        if (path.ends_with(kExtensions[i])) {
            return static_cast<ui::Codec>(i);
        }
    }
    return std::nullopt;
}

const std::string* ValueOf(const std::vector<settings::IniEntry>& entries, const char* section,
                           const char* key) {
    const auto found = std::find_if(entries.rbegin(), entries.rend(), [&](const auto& entry) {
        return entry.section == section && entry.key == key;
    });
    return found == entries.rend() ? nullptr : &found->value;
}

std::optional<int> RateOf(const CommandReading& reading) {
    const auto number = [&](const char* section, const char* key) -> std::optional<int> {
        const std::string* value = ValueOf(reading.settings, section, key);
        return value != nullptr ? ui::ParseDecimal(*value) : std::nullopt;
    };
    switch (reading.codec.value_or(ui::Codec::Wav)) {
    case ui::Codec::Ac3: {
        const std::optional<int> item = number("AC3ENC", "BITRATE");
        if (item && *item >= 0 && *item < static_cast<int>(kAc3EncoderRates.size())) {
            return kAc3EncoderRates[static_cast<std::size_t>(*item)];
        }
        return std::nullopt;
    }
    case ui::Codec::Mp3:
        return number("SETTING", "MODE") != 2 ? number("LAME", "BITRATE") : std::nullopt;
    case ui::Codec::Ogg:
        return number("SETTING", "MODE") == 0 ? number("OGGENC", "BITRATE") : std::nullopt;
    case ui::Codec::Opus:
        return number("OPUS", "BITRATE");
    case ui::Codec::Wav:
    case ui::Codec::Flac:
        return std::nullopt;
    }
    return std::nullopt;
}

// Split points are written with the user's decimal separator but typed with ".".
void TypedSplitPoints(std::vector<settings::IniEntry>& entries) {
    const std::string separator = std::localeconv()->decimal_point;
    for (settings::IniEntry& entry : entries) {
        const auto at = entry.value.find(separator);
        if (entry.section == "SPLIT" && entry.key.ends_with("VALUE") && separator != "." &&
            at != std::string::npos) {
            entry.value.replace(at, separator.size(), ".");
        }
    }
}

void ReadCore(const std::vector<CommandWord>& words, std::size_t end, CommandReading& reading) {
    const std::size_t track = TrackWords(words);
    reading.programWord = words[0].text;
    reading.source = words[3].text;
    if (track > 0) {
        const std::optional<int> number = ui::ParseDecimal(words[5].text);
        if (!number || *number < 1) {
            reading.problem =
                Quoted(words[5].text) + " is no track number: the tracks of a source count from 1.";
            return;
        }
        reading.track = *number;
    }
    reading.output = words[5 + track].text;
    reading.log = words[end - 1].text;
    if (end == 9 + track) {
        reading.channelFlag = " " + words[6 + track].text;
    }
    int mode = -1;
    for (int data = 0; data < 3; ++data) {
        if (ChannelFlagForMode(data) == reading.channelFlag) {
            mode = data;
        }
    }
    if (!reading.channelFlag.empty() && mode < 0) {
        reading.problem = Quoted(words[6 + track].text) +
                          " is no channel switch of a WAV job (those are " +
                          "-2ch, -6chwav and -6ch).";
        return;
    }
    reading.settings.push_back({"WAVMODE", "NBRCHANNEL", std::to_string(mode)});
    reading.codec = CodecOfExtension(reading.output);
    const std::string name = reading.output.substr(reading.output.rfind('/') + 1);
    const std::size_t extension = name.size() - std::min(name.size(), name.rfind('.'));
    const std::optional<int> number =
        reading.codec && name.starts_with("Stream") && name.size() > 6 + extension
            ? ui::ParseDecimal(name.substr(6, name.size() - 6 - extension))
            : std::nullopt;
    if (!number) {
        reading.problem = "The output " + Quoted(reading.output) +
                          " is not named as the windows name outputs: \"Stream\", the job "
                          "number and .mp3, .ogg, .wav, .ac3, .opus or .flac, in the source's "
                          "folder.";
        return;
    }
    reading.jobNumber = *number;
}

// The grammar gives the gain mode as its item data; the profile holds its position in the
// target's list ("Loudness" is the last item of each list). A mode the target lacks gives no
// selection.
void GainModePositions(std::vector<settings::IniEntry>& entries, ui::Codec codec) {
    for (settings::IniEntry& entry : entries) {
        if (entry.section == "GAIN" && entry.key == "GAINMODE") {
            const std::optional<int> mode = ui::ParseDecimal(entry.value);
            entry.value = std::to_string(
                ui::GainModePosition(codec, mode.value_or(ui::kGainNone)).value_or(-1));
        }
    }
}

// Why a typed value of the line cannot be run by the transcoder, naming the word; nothing when
// every one can.
std::optional<std::string> TypedValueRefusal(const std::vector<settings::IniEntry>& entries) {
    for (const settings::IniEntry& entry : entries) {
        for (const settings::ProfileKey& row : settings::ProfileKeys()) {
            if (row.section != entry.section || row.key != entry.key ||
                !ui::IsTypedField(row.control)) {
                continue;
            }
            if (const auto problem = ui::TypedValueProblem(row.control, entry.value)) {
                return "The word " + Quoted(entry.value) + " cannot be the " +
                       ui::TypedFieldLabel(row.control) + " (" + std::string(row.control) +
                       "): it " + *problem + ", so the transcoder would refuse the line.";
            }
        }
    }
    return std::nullopt;
}

std::vector<Group> GroupsOf(const std::string& line, std::string& problem) {
    const std::vector<CommandWord> words = SplitCommandLineWords(line);
    const std::size_t end = CoreEnd(words, problem);
    return end == 0 ? std::vector<Group>{} : SplitGroups(line.substr(words[end].end), problem);
}

} // namespace

CommandReading ReadJobCommand(const std::string& line) {
    CommandReading reading;
    const std::vector<CommandWord> words = SplitCommandLineWords(line);
    const std::size_t end = CoreEnd(words, reading.problem);
    if (end == 0) {
        return reading;
    }
    ReadCore(words, end, reading);
    if (!reading.problem.empty()) {
        return reading;
    }
    const std::vector<Group> groups = SplitGroups(line.substr(words[end].end), reading.problem);
    if (!reading.problem.empty()) {
        return reading;
    }
    for (const std::string_view word : GroupWords()) {
        const GroupGrammar& grammar = *GrammarOfGroup(word);
        const auto count = std::count_if(groups.begin(), groups.end(),
                                         [&](const Group& group) { return group.word == word; });
        if (count > 1) {
            reading.problem = "The line holds the group " + Quoted(std::string(word)) + " twice.";
            return reading;
        }
        const auto group = std::find_if(groups.begin(), groups.end(),
                                        [&](const Group& g) { return g.word == word; });
        if (group == groups.end()) {
            const auto missing = SettingsOfMissingGroup(grammar);
            reading.settings.insert(reading.settings.end(), missing.begin(), missing.end());
            continue;
        }
        const GroupReading read = ReadGroupSwitches(grammar, group->switches);
        if (!read.settings) {
            const std::string where = read.wordsRead < group->switches.size()
                                          ? "they cannot give " +
                                                Quoted(group->switches[read.wordsRead]) +
                                                " at that place"
                                          : "the group ends where the windows give more";
            reading.problem =
                "No setting of the windows gives " + Quoted(group->text()) + ": " + where + ".";
            return reading;
        }
        reading.settings.insert(reading.settings.end(), read.settings->begin(),
                                read.settings->end());
    }
    if (std::optional<std::string> refusal = TypedValueRefusal(reading.settings)) {
        reading.problem = std::move(*refusal);
        return reading;
    }
    GainModePositions(reading.settings, reading.codec.value_or(ui::Codec::Wav));
    TypedSplitPoints(reading.settings);
    reading.rateKbps = RateOf(reading);
    // The Opus rate stands in the main window's rate list, not in a key of its own.
    std::erase_if(reading.settings, [](const settings::IniEntry& entry) {
        return entry.section == "OPUS" && entry.key == "BITRATE";
    });
    return reading;
}

std::optional<std::string> CommandDifference(const std::string& line, const std::string& rebuilt) {
    std::string problem;
    const std::vector<CommandWord> lineWords = SplitCommandLineWords(line);
    const std::vector<CommandWord> rebuiltWords = SplitCommandLineWords(rebuilt);
    const std::size_t lineEnd = CoreEnd(lineWords, problem);
    const std::size_t rebuiltEnd = CoreEnd(rebuiltWords, problem);
    if (!problem.empty()) {
        return problem;
    }
    for (std::size_t i = 0; i <= std::max(lineEnd, rebuiltEnd); ++i) {
        const std::string have = i <= lineEnd ? lineWords[i].text : "";
        const std::string give = i <= rebuiltEnd ? rebuiltWords[i].text : "";
        if (have != give) {
            return "In the -core( group the windows give " + Quoted(give) + " where the line has " +
                   Quoted(have) + ".";
        }
    }
    const std::vector<Group> have = GroupsOf(line, problem);
    const std::vector<Group> give = GroupsOf(rebuilt, problem);
    if (!problem.empty()) {
        return problem;
    }
    for (std::size_t i = 0; i < std::max(have.size(), give.size()); ++i) {
        if (i >= have.size()) {
            return "The line lacks " + Quoted(give[i].text()) +
                   ", which the windows give for this target and source.";
        }
        if (i < give.size() && have[i].text() == give[i].text()) {
            continue;
        }
        if (i < give.size() && have[i].word == give[i].word) {
            return "No setting of the windows gives " + Quoted(have[i].text()) +
                   "; the nearest they give is " + Quoted(give[i].text()) + ".";
        }
        const bool given = std::any_of(give.begin(), give.end(),
                                       [&](const Group& g) { return g.word == have[i].word; });
        if (!given) {
            return "The windows give no " + Quoted(have[i].word) +
                   " group for this target and source, so " + Quoted(have[i].text()) +
                   " cannot be given.";
        }
        return Quoted(have[i].text()) + " cannot stand here: the windows give " +
               (i < give.size() ? Quoted(give[i].text()) : std::string("nothing")) +
               " at this place.";
    }
    return std::nullopt;
}

} // namespace cantova::cmdline
