#pragma once

// The typed texts a command uses, checked as the command is built (the rule is
// ui::TypedValueProblem).

#include "ui/typed_fields.h"

#include <string>
#include <string_view>
#include <vector>

namespace cantova::cmdline {

// Notes the typed fields a command uses whose text the transcoder could not run.
class TypedValueCheck {
public:
    struct Field {
        std::string control;
        std::string text;
        // Why the text cannot be used ("holds a vertical tab").
        std::string problem;
    };
    // The field's text, unchanged; the field is noted when the text cannot be used.
    const std::string& use(const std::string& controlName, const std::string& text);
    // Each refused field once, in the order the command used them.
    const std::vector<Field>& refusedFields() const { return refused_; }

private:
    std::vector<Field> refused_;
};

// The text of a typed field for a group builder, checked when a check is given.
inline const std::string& Typed(TypedValueCheck* check, const std::string& controlName,
                                const std::string& text) {
    return check != nullptr ? check->use(controlName, text) : text;
}

} // namespace cantova::cmdline
