#include "ui/typed_fields.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace cantova::ui {

namespace {

// What a field's text must read as besides being one plain switch value.
enum class ValueKind { Any, WholeNumber, Number };

struct TypedField {
    std::string_view control;
    std::string_view label;
    ValueKind kind = ValueKind::Any;
    int lowest = 0;
    int highest = 0;
};

// MP3 frames carry 8 to 320 kbit/s at the sample rates lame writes.
constexpr int kLowestMp3Kbps = 8;
constexpr int kHighestMp3Kbps = 320;

constexpr TypedField kTypedFields[] = {
    {"TxtDelay", "Delay"},
    {"TxtBoostFactor", "Boost factor"},
    {"TxtLimitFactor", "Boost limit factor"},
    {"TxtGainAzid", "Gain"},
    {"TxtLFEToLR", "LFE to L/R level"},
    {"txtBitRateMP3", "MP3 bit rate", ValueKind::WholeNumber, kLowestMp3Kbps, kHighestMp3Kbps},
    {"TxtMinBitrateMP3", "MP3 minimum bit rate", ValueKind::WholeNumber, kLowestMp3Kbps,
     kHighestMp3Kbps},
    {"TxtMaxBitrateMP3", "MP3 maximum bit rate", ValueKind::WholeNumber, kLowestMp3Kbps,
     kHighestMp3Kbps},
    {"TxtScaleInput", "MP3 input scale"},
    {"TxtNominalBitrate", "Vorbis nominal bit rate"},
    {"TxtMinBitrateOGG", "Vorbis minimum bit rate"},
    {"TxtMaxBitrateOGG", "Vorbis maximum bit rate"},
    {"CmbQualityOGG", "Vorbis quality"},
    {"TxtLoudnessTarget", "Loudness target (LUFS)", ValueKind::Number, -40, -5},
    {"TxtTruePeakCeiling", "True-peak ceiling (dBTP)", ValueKind::Number, -9, 0},
};

const TypedField* FieldNamed(std::string_view controlName) {
    const auto* found = std::find_if(std::begin(kTypedFields), std::end(kTypedFields),
                                     [&](const TypedField& f) { return f.control == controlName; });
    return found == std::end(kTypedFields) ? nullptr : found;
}

// The first character of text that no switch value may hold, named for a message.
std::optional<std::string> ForbiddenCharacter(std::string_view text) {
    static constexpr struct {
        std::string_view bytes;
        std::string_view name;
    } kNamed[] = {
        {" ", "a blank"},
        {"\t", "a tab"},
        {"\v", "a vertical tab"},
        {"\f", "a form feed"},
        {"\r", "a carriage return"},
        {"\n", "a line break"},
        {"\"", "a double quote"},
        {"(", "\"(\""},
        {")", "\")\""},
        {"\xC2\xA0", "a no-break space"},
        {"\xEF\xBB\xBF", "a byte-order mark"},
    };
    for (std::size_t at = 0; at < text.size(); ++at) {
        for (const auto& named : kNamed) {
            if (text.substr(at).starts_with(named.bytes)) {
                return std::string(named.name);
            }
        }
        const auto byte = static_cast<unsigned char>(text[at]);
        if (byte < 0x20 || byte >= 0x7F) {
            return "a character the transcoder does not read (byte " + std::to_string(byte) + ")";
        }
    }
    return std::nullopt;
}

// The text as a number as the transcoder reads it: an optional sign, digits and, unless a whole
// number is wanted, "." or "," and more digits; nothing when it is none.
std::optional<double> NumberOf(std::string_view text, bool whole) {
    std::string normalised(text.starts_with('+') ? text.substr(1) : text);
    if (!whole) {
        std::replace(normalised.begin(), normalised.end(), ',', '.');
    }
    const char* end = normalised.data() + normalised.size();
    double value = 0;
    std::from_chars_result read{};
    if (whole) {
        long number = 0;
        read = std::from_chars(normalised.data(), end, number);
        value = static_cast<double>(number);
    } else {
        read = std::from_chars(normalised.data(), end, value, std::chars_format::fixed);
    }
    if (normalised.empty() || read.ec != std::errc{} || read.ptr != end || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

// Whether the text is a number in a form the transcoder does not read, such as "-2.3e1".
bool IsNumberInOtherForm(std::string_view text) {
    double value = 0;
    const char* end = text.data() + text.size();
    const std::from_chars_result read = std::from_chars(text.data(), end, value);
    return !text.empty() && read.ec == std::errc{} && read.ptr == end && std::isfinite(value);
}

} // namespace

bool IsOneSwitchValue(std::string_view text) {
    return text.find_first_of(" \t\"()") == std::string_view::npos;
}

std::optional<std::string> TypedTextProblem(std::string_view text) {
    if (const std::optional<std::string> character = ForbiddenCharacter(text)) {
        return "holds " + *character;
    }
    return std::nullopt;
}

std::optional<std::string> TypedValueProblem(std::string_view controlName, std::string_view text) {
    if (std::optional<std::string> problem = TypedTextProblem(text)) {
        return problem;
    }
    const TypedField* field = FieldNamed(controlName);
    if (field == nullptr || field->kind == ValueKind::Any) {
        return std::nullopt;
    }
    const bool whole = field->kind == ValueKind::WholeNumber;
    const std::optional<double> number = NumberOf(text, whole);
    if (!number && !whole && IsNumberInOtherForm(text)) {
        return "is not a plain decimal number (such as -23.5) from " +
               std::to_string(field->lowest) + " to " + std::to_string(field->highest);
    }
    if (!number || *number < field->lowest || *number > field->highest) {
        return std::string("is not ") + (whole ? "a whole number" : "a number") + " from " +
               std::to_string(field->lowest) + " to " + std::to_string(field->highest);
    }
    return std::nullopt;
}

bool IsTypedField(std::string_view controlName) {
    return FieldNamed(controlName) != nullptr;
}

std::string TypedFieldLabel(std::string_view controlName) {
    const TypedField* field = FieldNamed(controlName);
    return std::string(field != nullptr ? field->label : controlName);
}

} // namespace cantova::ui
