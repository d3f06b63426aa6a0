#include "jobs/job_target.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <system_error>
#include <type_traits>
#include <vector>

namespace cantova::jobs {

namespace {

// The words of the encoder group "-NAME( ... )" of the command, without its brackets.
std::vector<std::string_view> GroupWords(std::string_view command, std::string_view name) {
    std::vector<std::string_view> words;
    const std::string opening = "-" + std::string(name) + "(";
    std::size_t at = command.find(opening);
    if (at == std::string_view::npos) {
        return words;
    }
    at += opening.size();
    const std::size_t end = command.find(')', at);
    const std::string_view group =
        command.substr(at, end == std::string_view::npos ? end : end - at);
    for (std::size_t i = 0; i < group.size();) {
        const std::size_t next = group.find(' ', i);
        const std::string_view word =
            group.substr(i, next == std::string_view::npos ? next : next - i);
        if (!word.empty()) {
            words.push_back(word);
        }
        i = next == std::string_view::npos ? group.size() : next + 1;
    }
    return words;
}

bool IsNumber(std::string_view word) {
    return !word.empty() && word.find_first_not_of("0123456789.") == std::string_view::npos;
}

std::string WordAfter(const std::vector<std::string_view>& words, std::size_t i) {
    return i + 1 < words.size() ? std::string(words[i + 1]) : std::string();
}

std::string Mp3Target(std::string_view command) {
    const std::vector<std::string_view> words = GroupWords(command, "lame");
    // The first rate switch is the mode; a later "-b" is the lowest rate of a VBR mode.
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (words[i] == "--alt-preset") {
            const std::string next = WordAfter(words, i);
            if (next == "cbr") {
                return "MP3 CBR " + WordAfter(words, i + 1) + " kbit/s";
            }
            return IsNumber(next) ? "MP3 ABR " + next + " kbit/s" : "MP3 VBR";
        }
        if (words[i] == "-b") {
            return "MP3 CBR " + WordAfter(words, i) + " kbit/s";
        }
        if (words[i] == "--abr") {
            return "MP3 ABR " + WordAfter(words, i) + " kbit/s";
        }
        if (words[i] == "-v" || words[i] == "--preset") {
            return "MP3 VBR";
        }
    }
    return "MP3";
}

std::string OggTarget(std::string_view command) {
    const std::vector<std::string_view> words = GroupWords(command, "ogg");
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (words[i] == "-b") {
            return "Ogg ABR " + WordAfter(words, i) + " kbit/s";
        }
        if (words[i] == "-q") {
            return "Ogg VBR (q " + WordAfter(words, i) + ")";
        }
    }
    return "Ogg";
}

std::string Ac3Target(std::string_view command) {
    const std::vector<std::string_view> words = GroupWords(command, "ac3enc");
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (words[i] == "-b") {
            return "AC3 " + WordAfter(words, i) + " kbit/s";
        }
    }
    return "AC3";
}

// "Opus VBR 128 kbit/s", "Opus CBR 256 kbit/s".
std::string OpusTarget(std::string_view command) {
    const std::vector<std::string_view> words = GroupWords(command, "opus");
    std::string mode = "VBR";
    std::string rate;
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (words[i] == "-cvbr" || words[i] == "-cbr") {
            mode = words[i] == "-cbr" ? "CBR" : "CVBR";
        } else if (words[i] == "-b") {
            rate = WordAfter(words, i);
        }
    }
    return "Opus " + mode + (rate.empty() ? "" : " " + rate + " kbit/s");
}

// "FLAC level 5".
std::string FlacTarget(std::string_view command) {
    const std::vector<std::string_view> words = GroupWords(command, "flac");
    const auto level = std::find(words.begin(), words.end(), "-c");
    if (level == words.end()) {
        return "FLAC";
    }
    return "FLAC level " + WordAfter(words, static_cast<std::size_t>(level - words.begin()));
}

// The number after label in text ("true peak -1.5 dBTP" after "true peak ").
template <typename Number>
bool NumberAfter(std::string_view text, std::string_view label, Number& value) {
    const std::size_t at = text.find(label);
    if (at == std::string_view::npos) {
        return false;
    }
    const char* begin = text.data() + at + label.size();
    const char* end = text.data() + text.size();
    if constexpr (std::is_floating_point_v<Number>) {
        // from_chars for doubles reads "-inf" as well, which a silent output reports.
        std::string word(begin, static_cast<std::size_t>(end - begin));
        word = word.substr(0, word.find(' '));
        char* stop = nullptr;
        value = std::strtod(word.c_str(), &stop);
        return stop != word.c_str() && *stop == '\0';
    } else {
        return std::from_chars(begin, end, value).ec == std::errc();
    }
}

} // namespace

std::string TargetOfCommand(ui::Codec codec, std::string_view command) {
    switch (codec) {
    case ui::Codec::Mp3:
        return Mp3Target(command);
    case ui::Codec::Ogg:
        return OggTarget(command);
    case ui::Codec::Ac3:
        return Ac3Target(command);
    case ui::Codec::Wav:
        return "WAV";
    case ui::Codec::Opus:
        return OpusTarget(command);
    case ui::Codec::Flac:
        return FlacTarget(command);
    }
    return {};
}

std::string OggVbrTarget(std::string_view target, int kbps) {
    constexpr std::string_view kVbr = "Ogg VBR ";
    if (kbps <= 0 || target.substr(0, kVbr.size()) != kVbr) {
        return std::string(target);
    }
    return std::string(kVbr) + "~" + std::to_string(kbps) + " kbit/s " +
           std::string(target.substr(kVbr.size()));
}

std::string GainOfCommand(std::string_view command) {
    const std::vector<std::string_view> words = GroupWords(command, "ota");
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (words[i] == "-g") {
            return "Pre-Gain";
        }
        if (words[i] == "-G") {
            return "Post-Gain";
        }
        if (words[i] == "-hybridgain") {
            return "HybridGain";
        }
        if (words[i] == "-loudness") {
            std::string text = "Loudness " + WordAfter(words, i) + " LUFS";
            for (std::size_t j = i; j < words.size(); ++j) {
                if (words[j] == "-truepeak") {
                    text += " / " + WordAfter(words, j) + " dBTP";
                }
            }
            return text;
        }
    }
    return {};
}

bool DownmixesToStereo(std::string_view command) {
    for (const std::string_view group : {"azid", "opus"}) {
        const std::vector<std::string_view> words = GroupWords(command, group);
        if (std::find(words.begin(), words.end(), "-s") != words.end()) {
            return true;
        }
    }
    return false;
}

std::string ChannelLayoutName(int channels) {
    switch (channels) {
    case 1:
        return "1.0";
    case 2:
        return "2.0";
    case 5:
        return "5.1";
    default:
        return std::to_string(channels) + " ch";
    }
}

std::optional<SoundReport> ParseSoundReport(std::string_view line) {
    constexpr std::string_view kStart = "sound: output: ";
    const std::size_t at = line.find(kStart);
    if (at == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view text = line.substr(at + kStart.size());
    SoundReport report;
    if (!NumberAfter(text, "sample peak ", report.samplePeak) ||
        !NumberAfter(text, "true peak ", report.truePeak) ||
        !NumberAfter(text, "loudness ", report.loudness) ||
        !NumberAfter(text, "range ", report.range) ||
        !NumberAfter(text, "clipped ", report.clipped)) {
        return std::nullopt;
    }
    return report;
}

std::string SoundReportText(const SoundReport& report) {
    char text[96];
    std::snprintf(text, sizeof text, "%.1f LUFS, true peak %.1f dBTP", report.loudness,
                  report.truePeak);
    return text;
}

} // namespace cantova::jobs
