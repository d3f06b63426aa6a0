#pragma once

// Control properties by name, as text: the vocabulary of the batch driver and
// of state dumps. Booleans read as 1 or 0.

#include "ui/control.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace cantova::ui {

// Reads "Value", "ListIndex", "Text", "Caption", "Enabled", "Visible", "ListCount",
// "List(i)", "ItemData(i)", "Left", "Top", "Width", "Height" or "BorderStyle";
// nothing when the control has no such property (or no such item).
std::optional<std::string> ReadProperty(const Control& control, const std::string& property);

// The item number of an item property, "List(i)" or "ItemData(i)"; nothing for other properties.
std::optional<int> ItemPropertyIndex(const std::string& property);

enum class AssignResult { Done, NoSuchProperty, InvalidValue };

// A program assignment of "Value", "ListIndex" or "Text", with reactions under the cascade rule.
AssignResult AssignProperty(Control& control, const std::string& property,
                            const std::string& value);

// Every property of the control with its value, items included.
std::vector<std::pair<std::string, std::string>> AllProperties(const Control& control);

// Strict decimal integer: optional "-", digits only, in int range.
std::optional<int> ParseDecimal(const std::string& text);

} // namespace cantova::ui
