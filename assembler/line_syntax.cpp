// SPDX-License-Identifier: GPL-2.0-or-later
#include "line_syntax.hpp"

#include <optional>

#include "text.hpp"

namespace tasm {

namespace {

// "name = value" in column 1 gives the word "=", "*=value" and "$=value"
// anywhere the word ".org".
std::optional<LineFields> assignment(std::string_view text) {
    const bool indented = !text.empty() && isBlank(text[0]);
    const std::string_view rest = trim(text);
    size_t nameEnd = 0;
    if (!rest.empty() && (rest[0] == '*' || rest[0] == '$')) {
        nameEnd = 1;
    } else if (!indented) {
        while (nameEnd < rest.size() && isNameChar(rest[nameEnd])) ++nameEnd;
    }
    if (nameEnd == 0) return std::nullopt;
    const std::string_view after = trim(rest.substr(nameEnd));
    if (after.empty() || after[0] != '=' || (after.size() > 1 && after[1] == '=')) {
        return std::nullopt;
    }
    const std::string_view name = rest.substr(0, nameEnd);
    const std::string_view value = trim(after.substr(1));
    if (name == "*" || name == "$") return LineFields{"", ".org", std::string(value)};
    return LineFields{std::string(name), "=", std::string(value)};
}

}  // namespace

LineFields splitFields(std::string_view text) {
    if (std::optional<LineFields> assigned = assignment(text)) return *assigned;
    LineFields fields;
    size_t i = 0;
    if (!text.empty() && !isBlank(text[0]) && text[0] != '.') {
        while (i < text.size() && !isBlank(text[i]) && text[i] != ':') ++i;
        fields.label = text.substr(0, i);
        if (i < text.size() && text[i] == ':') ++i;
    }
    while (i < text.size() && isBlank(text[i])) ++i;
    const size_t wordStart = i;
    while (i < text.size() && !isBlank(text[i])) ++i;
    fields.word = text.substr(wordStart, i - wordStart);
    fields.operands = trim(text.substr(i));
    return fields;
}

std::vector<std::string> splitOperands(std::string_view operands) {
    std::vector<std::string> out;
    if (trim(operands).empty()) return out;
    int depth = 0;
    size_t start = 0;
    for (size_t i = 0; i < operands.size();) {
        if (const size_t quoted = quotedLength(operands, i)) {
            i += quoted;
            continue;
        }
        const char c = operands[i];
        if (c == '(') ++depth;
        if (c == ')') --depth;
        if (c == ',' && depth == 0) {
            out.emplace_back(trim(operands.substr(start, i - start)));
            start = i + 1;
        }
        ++i;
    }
    out.emplace_back(trim(operands.substr(start)));
    return out;
}

size_t closingParenthesis(std::string_view text) {
    int depth = 0;
    for (size_t i = 0; i < text.size();) {
        if (const size_t quoted = quotedLength(text, i)) {
            i += quoted;
            continue;
        }
        if (text[i] == '(') ++depth;
        if (text[i] == ')' && --depth == 0) return i;
        ++i;
    }
    return std::string_view::npos;
}

std::string_view stripComment(std::string_view text) {
    for (size_t i = 0; i < text.size();) {
        if (const size_t quoted = quotedLength(text, i)) {
            i += quoted;
            continue;
        }
        if (text[i] == ';') return text.substr(0, i);
        ++i;
    }
    return text;
}

}  // namespace tasm
