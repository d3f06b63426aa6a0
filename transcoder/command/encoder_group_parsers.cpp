#include "command/bitrate_choice.h"
#include "command/decimal_text.h"
#include "command/group_parsers.h"

#include <algorithm>
#include <array>

namespace cantova {

namespace {

bool isOneOf(const std::string& word, std::initializer_list<const char*> choices) {
    return std::any_of(choices.begin(), choices.end(),
                       [&](const char* choice) { return word == choice; });
}

std::string integerText(GroupReader& reader, const std::string& switchName) {
    return std::to_string(positiveIntegerValue(reader, switchName));
}

// "--alt-preset" is followed by "cbr N", a bitrate, or a named VBR preset.
LameSwitch parseAltPreset(GroupReader& reader) {
    const std::string& first = reader.takeValue("--alt-preset");
    if (first == "cbr") {
        return {"--alt-preset cbr", {integerText(reader, "--alt-preset cbr")}};
    }
    if (parseInteger(first)) {
        if (*parseInteger(first) <= 0) {
            reader.fail("switch --alt-preset needs a positive bitrate, not \"" + first + "\"");
        }
        return {"--alt-preset abr", {first}};
    }
    if (first == "fast") {
        const std::string& name = reader.takeValue("--alt-preset fast");
        if (!isOneOf(name, {"extreme", "standard", "medium"})) {
            reader.fail("has unknown preset \"fast " + name + "\"");
        }
        return {"--alt-preset", {"fast", name}};
    }
    if (!isOneOf(first, {"extreme", "standard", "medium"})) {
        reader.fail("has unknown preset \"" + first + "\"");
    }
    return {"--alt-preset", {first}};
}

} // namespace

LameOptions parseLameGroup(GroupReader& reader) {
    LameOptions lame;
    while (reader.hasSwitch()) {
        const std::string& word = reader.takeSwitch();
        if (word == "-m") {
            const std::string& mode = reader.takeValue(word);
            if (!isOneOf(mode, {"s", "j", "f"})) {
                reader.fail("switch -m accepts s, j or f, not \"" + mode + "\"");
            }
            lame.switches.push_back({word, {mode}});
        } else if (word == "--scale") {
            double factor = decimalValue(reader, word);
            if (factor <= 0.0) {
                reader.fail("switch --scale needs a factor above 0");
            }
            lame.switches.push_back({word, {formatDecimal(factor)}});
        } else if (isOneOf(word, {"-b", "-B", "--abr"})) {
            lame.switches.push_back({word, {integerText(reader, word)}});
        } else if (word == "--alt-preset") {
            lame.switches.push_back(parseAltPreset(reader));
        } else if (word == "--preset") {
            const std::string& name = reader.takeValue(word);
            if (name != "r3mix") {
                reader.fail("has unknown preset \"" + name + "\"");
            }
            lame.switches.push_back({"--preset r3mix", {}});
        } else if (isOneOf(word,
                           {"-v", "--vbr-old", "--vbr-new", "--vbr-mtrh", "-p", "--nspsytune"})) {
            lame.switches.push_back({word, {}});
        } else if (word == "-V") {
            const std::string& quality = reader.takeValue(word);
            auto value = parseInteger(quality);
            if (!value || *value < 0 || *value > 9) {
                reader.fail("switch -V needs a quality 0 to 9, not \"" + quality + "\"");
            }
            lame.switches.push_back({word, {quality}});
        } else if (word == "--lowpass") {
            double kilohertz = decimalValue(reader, word);
            if (kilohertz <= 0.0) {
                reader.fail("switch --lowpass needs a frequency above 0");
            }
            lame.switches.push_back({word, {formatDecimal(kilohertz)}});
        } else if (word == "--athtype" || word == "--ns-bass") {
            const std::string& text = reader.takeValue(word);
            if (!parseInteger(text)) {
                reader.fail("switch " + word + " needs a whole number, not \"" + text + "\"");
            }
            lame.switches.push_back({word, {text}});
        } else {
            reader.fail("has unknown switch \"" + word + "\"");
        }
    }
    return lame;
}

OggOptions parseOggGroup(GroupReader& reader) {
    OggOptions ogg;
    while (reader.hasSwitch()) {
        const std::string& word = reader.takeSwitch();
        std::optional<int>* bitrate = nullptr;
        if (word == "-b") {
            bitrate = &ogg.nominalBitrate;
        } else if (word == "-m") {
            bitrate = &ogg.minBitrate;
        } else if (word == "-M") {
            bitrate = &ogg.maxBitrate;
        }
        if (bitrate != nullptr) {
            if (bitrate->has_value()) {
                reader.fail("has switch " + word + " twice");
            }
            *bitrate = positiveIntegerValue(reader, word);
        } else if (word == "-q") {
            if (ogg.quality) {
                reader.fail("has switch -q twice");
            }
            double quality = decimalValue(reader, word);
            if (quality < 0.0 || quality > 1.0) {
                reader.fail("switch -q needs a quality from 0 to 1");
            }
            ogg.quality = quality;
        } else if (word == "-6ch") {
            ogg.sixChannels = true;
        } else {
            reader.fail("has unknown switch \"" + word + "\"");
        }
    }
    const bool managed = ogg.nominalBitrate || ogg.minBitrate || ogg.maxBitrate;
    if (managed && ogg.quality) {
        reader.fail("mixes a quality (-q) with bitrates (-b, -m, -M)");
    }
    if (!managed && !ogg.quality) {
        reader.fail("needs a bitrate (-b) or a quality (-q)");
    }
    return ogg;
}

Ac3EncOptions parseAc3EncGroup(GroupReader& reader) {
    std::optional<Ac3EncOptions> ac3;
    while (reader.hasSwitch()) {
        const std::string& word = reader.takeSwitch();
        if (word != "-b") {
            reader.fail("has unknown switch \"" + word + "\"");
        }
        if (ac3) {
            reader.fail("has switch -b twice");
        }
        const int bitrate = positiveIntegerValue(reader, word);
        if (bitrate < kLowestAc3Bitrate || bitrate > kHighestAc3Bitrate) {
            reader.fail("switch -b needs an AC3 bitrate from " + std::to_string(kLowestAc3Bitrate) +
                        " to " + std::to_string(kHighestAc3Bitrate) + " kbit/s, not " +
                        std::to_string(bitrate));
        }
        ac3 = Ac3EncOptions{bitrate};
    }
    if (!ac3) {
        reader.fail("needs a bitrate (-b)");
    }
    return *ac3;
}

OpusOptions parseOpusGroup(GroupReader& reader) {
    std::optional<int> bitrate;
    OpusOptions opus;
    bool rateModeGiven = false;
    while (reader.hasSwitch()) {
        const std::string& word = reader.takeSwitch();
        if (word == "-b") {
            if (bitrate) {
                reader.fail("has switch -b twice");
            }
            bitrate = positiveIntegerValue(reader, word);
            if (*bitrate < kLowestOpusBitrate || *bitrate > kHighestOpusBitrate) {
                reader.fail("switch -b needs an Opus bitrate from " +
                            std::to_string(kLowestOpusBitrate) + " to " +
                            std::to_string(kHighestOpusBitrate) + " kbit/s, not " +
                            std::to_string(*bitrate));
            }
        } else if (word == "-cvbr" || word == "-cbr") {
            if (rateModeGiven) {
                reader.fail("has more than one of -cvbr and -cbr");
            }
            rateModeGiven = true;
            opus.rateMode = word == "-cbr" ? OpusRateMode::Constant : OpusRateMode::Constrained;
        } else if (word == "-s") {
            opus.stereo = true;
        } else {
            reader.fail("has unknown switch \"" + word + "\"");
        }
    }
    if (!bitrate) {
        reader.fail("needs a bitrate (-b)");
    }
    opus.bitrate = *bitrate;
    return opus;
}

FlacOptions parseFlacGroup(GroupReader& reader) {
    FlacOptions flac;
    bool levelGiven = false;
    while (reader.hasSwitch()) {
        const std::string& word = reader.takeSwitch();
        if (word != "-c") {
            reader.fail("has unknown switch \"" + word + "\"");
        }
        if (levelGiven) {
            reader.fail("has switch -c twice");
        }
        levelGiven = true;
        const std::string& text = reader.takeValue(word);
        const std::optional<int> level = parseInteger(text);
        if (!level || *level < 0 || *level > kHighestFlacLevel) {
            reader.fail("switch -c needs a compression level 0 to " +
                        std::to_string(kHighestFlacLevel) + ", not \"" + text + "\"");
        }
        flac.compressionLevel = *level;
    }
    return flac;
}

} // namespace cantova
