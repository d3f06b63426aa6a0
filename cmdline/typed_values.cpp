#include "cmdline/typed_values.h"

#include <algorithm>

namespace cantova::cmdline {

const std::string& TypedValueCheck::use(const std::string& controlName, const std::string& text) {
    if (!ui::IsOneSwitchValue(text) &&
        std::none_of(refused_.begin(), refused_.end(),
                     [&](const Field& field) { return field.control == controlName; })) {
        refused_.push_back({controlName, text});
    }
    return text;
}

} // namespace cantova::cmdline
