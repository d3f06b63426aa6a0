#include "cmdline/typed_values.h"

#include <algorithm>

namespace cantova::cmdline {

const std::string& TypedValueCheck::use(const std::string& controlName, const std::string& text) {
    if (std::any_of(refused_.begin(), refused_.end(),
                    [&](const Field& field) { return field.control == controlName; })) {
        return text;
    }
    if (const std::optional<std::string> problem = ui::TypedValueProblem(controlName, text)) {
        refused_.push_back({controlName, text, *problem});
    }
    return text;
}

} // namespace cantova::cmdline
