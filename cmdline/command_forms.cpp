#include "cmdline/command_forms.h"

#include "cmdline/command_line.h"

#include <cstdio>
#include <vector>

namespace cantova::cmdline {

namespace {

std::string ShellQuoted(const std::string& argument) {
    std::string quoted = "'";
    for (const char c : argument) {
        if (c == '\'') {
            quoted += "'\\''";
        } else {
            quoted += c;
        }
    }
    return quoted + "'";
}

// The length of the UTF-8 sequence that starts at text[at], 0 when none starts there: no
// overlong forms, no surrogates, nothing above U+10FFFF.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF; // allowed range of the second byte
    if (lead < 0x80) {
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (at + length > text.size() || byte(at + 1) < low || byte(at + 1) > high) {
        return 0;
    }
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(at + i) < 0x80 || byte(at + i) > 0xBF) {
            return 0;
        }
    }
    return length;
}

std::optional<std::string> JsonString(std::string_view text) {
    std::string json = "\"";
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = Utf8SequenceLength(text, at);
        if (length == 0) {
            return std::nullopt;
        }
        const unsigned char c = static_cast<unsigned char>(text[at]);
        if (c == '"' || c == '\\') {
            json += '\\';
            json += static_cast<char>(c);
        } else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            json += escaped;
        } else {
            json.append(text, at, length);
        }
        at += length;
    }
    return json + "\"";
}

} // namespace

std::optional<CommandForm> CommandFormNamed(std::string_view name) {
    if (name == "line") {
        return CommandForm::Line;
    }
    if (name == "shell") {
        return CommandForm::Shell;
    }
    if (name == "json") {
        return CommandForm::Json;
    }
    return std::nullopt;
}

std::string ShellCommand(const std::string& line) {
    std::string command;
    for (const std::string& argument : SplitCommandLine(line)) {
        command += (command.empty() ? "" : " ") + ShellQuoted(argument);
    }
    return command;
}

std::optional<std::string> JsonArguments(const std::string& line) {
    std::string json = "[";
    for (const std::string& argument : SplitCommandLine(line)) {
        const std::optional<std::string> element = JsonString(argument);
        if (!element) {
            return std::nullopt;
        }
        json += (json.size() > 1 ? "," : "") + *element;
    }
    return json + "]";
}

std::optional<std::string> CommandInForm(const std::string& line, CommandForm form) {
    switch (form) {
    case CommandForm::Line:
        return line;
    case CommandForm::Shell:
        return ShellCommand(line);
    case CommandForm::Json:
        return JsonArguments(line);
    }
    return std::nullopt;
}

} // namespace cantova::cmdline
