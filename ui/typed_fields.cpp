#include "ui/typed_fields.h"

#include <algorithm>

namespace cantova::ui {

namespace {

struct TypedField {
    std::string_view control;
    std::string_view label;
};

constexpr TypedField kTypedFields[] = {
    {"TxtDelay", "Delay"},
    {"TxtBoostFactor", "Boost factor"},
    {"TxtLimitFactor", "Boost limit factor"},
    {"TxtGainAzid", "Gain"},
    {"TxtLFEToLR", "LFE to L/R level"},
    {"txtBitRateMP3", "MP3 bit rate"},
    {"TxtMinBitrateMP3", "MP3 minimum bit rate"},
    {"TxtMaxBitrateMP3", "MP3 maximum bit rate"},
    {"TxtScaleInput", "MP3 input scale"},
    {"TxtNominalBitrate", "Vorbis nominal bit rate"},
    {"TxtMinBitrateOGG", "Vorbis minimum bit rate"},
    {"TxtMaxBitrateOGG", "Vorbis maximum bit rate"},
    {"CmbQualityOGG", "Vorbis quality"},
};

const TypedField* FieldNamed(std::string_view controlName) {
    const auto* found = std::find_if(std::begin(kTypedFields), std::end(kTypedFields),
                                     [&](const TypedField& f) { return f.control == controlName; });
    return found == std::end(kTypedFields) ? nullptr : found;
}

} // namespace

bool IsOneSwitchValue(std::string_view text) {
    return text.find_first_of(" \t\"()") == std::string_view::npos;
}

bool IsTypedField(std::string_view controlName) {
    return FieldNamed(controlName) != nullptr;
}

std::string TypedFieldLabel(std::string_view controlName) {
    const TypedField* field = FieldNamed(controlName);
    return std::string(field != nullptr ? field->label : controlName);
}

} // namespace cantova::ui
