#pragma once

// One builder per option group of the transcoder command line. Each reads the
// window models and changes nothing; a group that would be empty is empty text
// where the group allows it.

#include <string>

namespace cantova::ui {
struct Windows;
}

namespace cantova::cmdline {

std::string BuildOtaGroup(const ui::Windows& windows);
std::string BuildAzidGroup(const ui::Windows& windows);
std::string BuildBoostGroup(const ui::Windows& windows);
std::string BuildLameGroup(const ui::Windows& windows);
std::string BuildOggGroup(const ui::Windows& windows);
std::string BuildAc3EncGroup(const ui::Windows& windows);
std::string BuildSsrcGroup(const ui::Windows& windows);
std::string BuildSplitGroup(const ui::Windows& windows);

// " -word(" + switches + " )", or empty text when there are no switches and the group may be
// dropped.
std::string CloseGroup(const std::string& word, const std::string& switches, bool dropWhenEmpty);

} // namespace cantova::cmdline
