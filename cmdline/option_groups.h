#pragma once

// One builder per option group of the transcoder command line. Each reads the
// window models and changes nothing; a group that would be empty is empty text
// where the group allows it. Typed texts the group uses go through the check when one is given.

#include "cmdline/typed_values.h"

#include <string>

namespace cantova::ui {
struct Windows;
}

namespace cantova::cmdline {

std::string BuildOtaGroup(const ui::Windows& windows, TypedValueCheck* check = nullptr);
std::string BuildAzidGroup(const ui::Windows& windows, TypedValueCheck* check = nullptr);
std::string BuildBoostGroup(const ui::Windows& windows, TypedValueCheck* check = nullptr);
std::string BuildLameGroup(const ui::Windows& windows, TypedValueCheck* check = nullptr);
std::string BuildOggGroup(const ui::Windows& windows, TypedValueCheck* check = nullptr);
std::string BuildAc3EncGroup(const ui::Windows& windows, TypedValueCheck* check = nullptr);
std::string BuildOpusGroup(const ui::Windows& windows, TypedValueCheck* check = nullptr);
std::string BuildFlacGroup(const ui::Windows& windows, TypedValueCheck* check = nullptr);
std::string BuildSsrcGroup(const ui::Windows& windows, TypedValueCheck* check = nullptr);
std::string BuildSplitGroup(const ui::Windows& windows, TypedValueCheck* check = nullptr);

// " -word(" + switches + " )", or empty text when there are no switches and the group may be
// dropped.
std::string CloseGroup(const std::string& word, const std::string& switches, bool dropWhenEmpty);

} // namespace cantova::cmdline
