#include "command/decimal_text.h"
#include "command/group_parsers.h"
#include "command/source_name.h"

#include <cmath>

namespace cantova {

namespace {

void setOnce(GroupReader& reader, bool& seen, const std::string& switchName) {
    if (seen) {
        reader.fail("has switch " + switchName + " twice");
    }
    seen = true;
}

void setGainMode(GroupReader& reader, OtaOptions& ota, GainMode mode) {
    if (ota.gain != GainMode::None) {
        reader.fail("has more than one gain mode");
    }
    ota.gain = mode;
}

} // namespace

double decimalValue(GroupReader& reader, const std::string& switchName) {
    const std::string& text = reader.takeValue(switchName);
    auto value = parseDecimal(text);
    if (!value) {
        reader.fail("switch " + switchName +
                    " needs a plain decimal number (such as -23.5, with a point or a comma), "
                    "not \"" +
                    text + "\"");
    }
    return *value;
}

int positiveIntegerValue(GroupReader& reader, const std::string& switchName) {
    const std::string& text = reader.takeValue(switchName);
    auto value = parseInteger(text);
    if (!value || *value <= 0) {
        reader.fail("switch " + switchName + " needs a positive whole number, not \"" + text +
                    "\"");
    }
    return *value;
}

double levelFactorValue(GroupReader& reader, const std::string& switchName, bool allowPercent) {
    const std::string& text = reader.takeValue(switchName);
    std::string_view number = text;
    bool percent = false;
    if (allowPercent && number.ends_with("%")) {
        number.remove_suffix(1);
        percent = true;
    } else if (number.size() >= 2 && (number.ends_with("db") || number.ends_with("dB") ||
                                      number.ends_with("DB") || number.ends_with("Db"))) {
        number.remove_suffix(2);
    }
    auto value = parseDecimal(number);
    if (!value || (percent && *value < 0.0)) {
        reader.fail("switch " + switchName + " needs a level such as 3db" +
                    (allowPercent ? " or 150%" : "") + ", not \"" + text + "\"");
    }
    return percent ? *value / 100.0 : std::pow(10.0, *value / 20.0);
}

std::optional<OtaOptions> parseOtaGroup(GroupReader& reader) {
    OtaOptions ota;
    bool delaySeen = false;
    std::optional<double> ceiling;
    const auto valueWithin = [&](const std::string& word, double lowest, double highest,
                                 const char* unit) {
        const double value = decimalValue(reader, word);
        if (value < lowest || value > highest) {
            reader.fail("switch " + word + " needs a value from " + formatDecimal(lowest) + " to " +
                        formatDecimal(highest) + " " + unit + ", not " + formatDecimal(value));
        }
        return value;
    };
    while (reader.hasSwitch()) {
        const std::string& word = reader.takeSwitch();
        if (word == "-d") {
            setOnce(reader, delaySeen, word);
            if (reader.takeIf("auto")) {
                ota.autoDelay = true;
            } else {
                ota.delayMs = decimalValue(reader, word);
            }
        } else if (word == "-g") {
            const std::string& value = reader.takeValue(word);
            if (value != "max") {
                reader.fail("switch -g accepts only \"max\", not \"" + value + "\"");
            }
            setGainMode(reader, ota, GainMode::PeakBeforeEncoding);
        } else if (word == "-G") {
            const std::string& value = reader.takeValue(word);
            if (value != "1") {
                reader.fail("switch -G accepts only \"1\", not \"" + value + "\"");
            }
            setGainMode(reader, ota, GainMode::PeakAfterEncoding);
        } else if (word == "-hybridgain") {
            setGainMode(reader, ota, GainMode::Hybrid);
        } else if (word == "-loudness") {
            setGainMode(reader, ota, GainMode::Loudness);
            ota.loudness = LoudnessTarget{valueWithin(word, -40.0, -5.0, "LUFS"), -1.0};
        } else if (word == "-truepeak") {
            if (ceiling) {
                reader.fail("has switch -truepeak twice");
            }
            ceiling = valueWithin(word, -9.0, 0.0, "dBTP");
        } else {
            reader.fail("has unknown switch \"" + word + "\"");
        }
    }
    if (ceiling && !ota.loudness) {
        reader.fail("has -truepeak without -loudness");
    }
    if (ceiling) {
        ota.loudness->truePeakCeilingDb = *ceiling;
    }
    if (!delaySeen && ota.gain == GainMode::None) {
        return std::nullopt;
    }
    return ota;
}

AzidOptions parseAzidGroup(GroupReader& reader) {
    AzidOptions azid;
    bool gainSeen = false;
    bool lfeSeen = false;
    bool dialogueSeen = false;
    bool maximizeSeen = false;
    while (reader.hasSwitch()) {
        const std::string& word = reader.takeSwitch();
        if (word == "-n1") {
            setOnce(reader, dialogueSeen, word);
            azid.dialogueNormalisation = true;
        } else if (word == "-s") {
            if (azid.stereoMode) {
                reader.fail("has switch -s twice");
            }
            const std::string& value = reader.takeValue(word);
            if (value == "stereo") {
                azid.stereoMode = StereoMode::Plain;
            } else if (value == "surround") {
                azid.stereoMode = StereoMode::DolbySurround;
            } else if (value == "surround2") {
                azid.stereoMode = StereoMode::ProLogic2;
            } else {
                reader.fail("switch -s accepts stereo, surround or surround2, not \"" + value +
                            "\"");
            }
        } else if (word == "-c") {
            if (azid.compression) {
                reader.fail("has switch -c twice");
            }
            const std::string& value = reader.takeValue(word);
            if (value == "light") {
                azid.compression = Compression::Light;
            } else if (value == "normal") {
                azid.compression = Compression::Normal;
            } else if (value == "heavy") {
                azid.compression = Compression::Heavy;
            } else {
                reader.fail("switch -c accepts light, normal or heavy, not \"" + value + "\"");
            }
        } else if (word == "-g") {
            setOnce(reader, gainSeen, word);
            azid.gainFactor = levelFactorValue(reader, word, true);
        } else if (word == "-L") {
            setOnce(reader, lfeSeen, word);
            azid.lfeMixFactor = levelFactorValue(reader, word, false);
        } else if (word == "--maximize") {
            setOnce(reader, maximizeSeen, word);
            azid.maximize = true;
        } else {
            reader.fail("has unknown switch \"" + word + "\"");
        }
    }
    return azid;
}

std::optional<BoostOptions> parseBoostGroup(GroupReader& reader) {
    std::optional<BoostAlgorithm> algorithm;
    std::optional<double> factor;
    std::optional<double> limit;
    while (reader.hasSwitch()) {
        const std::string& word = reader.takeSwitch();
        auto equals = word.find('=');
        std::string name = word.substr(0, equals == std::string::npos ? word.size() : equals + 1);
        std::string text = equals == std::string::npos ? std::string() : word.substr(equals + 1);
        if (name == "/l=") {
            if (limit) {
                reader.fail("has switch /l= twice");
            }
            auto value = parseDecimal(text);
            if (text.empty()) {
                reader.fail("switch /l= has no value");
            }
            if (!value || *value <= 0.0 || *value > 1.0) {
                reader.fail("switch /l= needs a ceiling above 0 and at most 1, not \"" + text +
                            "\"");
            }
            limit = value;
            continue;
        }
        BoostAlgorithm named;
        if (name == "/b=") {
            named = BoostAlgorithm::Rook;
        } else if (name == "/b2=") {
            named = BoostAlgorithm::Kestrel;
        } else if (name == "/b3=") {
            named = BoostAlgorithm::Wren;
        } else {
            reader.fail("has unknown switch \"" + word + "\"");
        }
        if (algorithm) {
            reader.fail("has more than one boost switch");
        }
        if (text.empty()) {
            reader.fail("switch " + name + " has no value");
        }
        auto value = parseDecimal(text);
        if (!value || *value <= 0.0) {
            reader.fail("switch " + name + " needs a factor above 0, not \"" + text + "\"");
        }
        algorithm = named;
        factor = value;
    }
    if (!algorithm) {
        if (limit) {
            reader.fail("has /l= without a boost switch");
        }
        return std::nullopt;
    }
    const bool needsLimit = *algorithm != BoostAlgorithm::Kestrel;
    if (needsLimit && !limit) {
        reader.fail("needs /l= with this boost switch");
    }
    if (!needsLimit && limit) {
        reader.fail("does not take /l= with /b2=");
    }
    return BoostOptions{*algorithm, *factor, limit.value_or(1.0)};
}

std::optional<SsrcOptions> parseSsrcGroup(GroupReader& reader) {
    std::optional<SsrcOptions> ssrc;
    while (reader.hasSwitch()) {
        const std::string& word = reader.takeSwitch();
        if (word != "--rate") {
            reader.fail("has unknown switch \"" + word + "\"");
        }
        if (ssrc) {
            reader.fail("has switch --rate twice");
        }
        const int rate = positiveIntegerValue(reader, word);
        if (rate < kLowestSampleRate || rate > kHighestSampleRate) {
            reader.fail("switch --rate needs a sample rate from " +
                        std::to_string(kLowestSampleRate) + " to " +
                        std::to_string(kHighestSampleRate) + " Hz, not " + std::to_string(rate));
        }
        ssrc = SsrcOptions{rate};
    }
    return ssrc;
}

SplitOptions parseSplitGroup(GroupReader& reader) {
    SplitOptions split;
    while (reader.hasSwitch()) {
        const std::string& word = reader.takeSwitch();
        std::optional<double>* target = nullptr;
        if (word == "-start") {
            target = &split.startSeconds;
        } else if (word == "-end") {
            target = &split.endSeconds;
        } else {
            reader.fail("has unknown switch \"" + word + "\"");
        }
        if (target->has_value()) {
            reader.fail("has switch " + word + " twice");
        }
        double seconds = decimalValue(reader, word);
        if (seconds < 0.0) {
            reader.fail("switch " + word + " needs seconds of at least 0");
        }
        *target = seconds;
    }
    if (split.startSeconds && split.endSeconds && *split.endSeconds <= *split.startSeconds) {
        reader.fail("has an end point that is not after its start point");
    }
    return split;
}

} // namespace cantova
