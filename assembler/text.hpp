// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Small text helpers shared by the stages of the assembler.

#include <optional>
#include <string>
#include <string_view>

namespace tasm {

inline bool isBlank(char c) { return c == ' ' || c == '\t'; }

/// A letter, digit, underscore or period: the characters of a label.
inline bool isNameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '.';
}

inline bool isDigit(char c) { return c >= '0' && c <= '9'; }

inline std::string lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

inline std::string_view trim(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

inline bool isOctalDigit(char c) { return c >= '0' && c <= '7'; }

/// The byte that the escape after a backslash stands for in strings and
/// character constants; `at` is the index after the backslash and is moved
/// past the escape. Up to three octal digits give the byte of that value
/// ("\101" is 'A'); n r t b f stand for control characters; any other
/// character stands for itself. Nothing when the octal value exceeds 377.
inline std::optional<unsigned char> escapedByte(std::string_view text, size_t& at) {
    if (at >= text.size()) return std::nullopt;
    if (isOctalDigit(text[at])) {
        unsigned value = 0;
        for (int digits = 0; digits < 3 && at < text.size() && isOctalDigit(text[at]); ++digits) {
            value = value * 8 + static_cast<unsigned>(text[at++] - '0');
        }
        if (value > 0xFF) return std::nullopt;
        return static_cast<unsigned char>(value);
    }
    switch (text[at++]) {
        case 'n':
            return '\n';
        case 'r':
            return '\r';
        case 't':
            return '\t';
        case 'b':
            return '\b';
        case 'f':
            return '\f';
        default:
            return static_cast<unsigned char>(text[at - 1]);
    }
}

/// The bytes of a string "..." with its escapes; nothing when the string
/// does not end at its closing quote or holds a bad escape.
inline std::optional<std::string> stringBytes(std::string_view item) {
    std::string bytes;
    for (size_t i = 1; i < item.size();) {
        if (item[i] == '"') return i + 1 == item.size() ? std::optional(bytes) : std::nullopt;
        if (item[i] != '\\') {
            bytes += item[i++];
            continue;
        }
        ++i;
        const std::optional<unsigned char> byte = escapedByte(item, i);
        if (!byte) return std::nullopt;
        bytes += static_cast<char>(*byte);
    }
    return std::nullopt;
}

/// Length of the character constant starting at text[at] ('c', '\c' or
/// '\ooo' with up to three octal digits), or 0 when there is none there.
inline size_t characterConstantLength(std::string_view text, size_t at) {
    if (at + 2 < text.size() && text[at + 1] != '\\' && text[at + 2] == '\'') return 3;
    if (at + 3 >= text.size() || text[at + 1] != '\\') return 0;
    size_t end = at + 2;
    while (end < text.size() && end < at + 5 && isOctalDigit(text[end])) ++end;
    if (end == at + 2) ++end;  // one character that is not an octal digit
    return end < text.size() && text[end] == '\'' ? end + 1 - at : 0;
}

/// Length of the quoted string or character constant starting at text[at],
/// or 0 when text[at] does not open one. Strings run to the closing double
/// quote (a backslash escapes the next character); a single quote opens a
/// character constant only in the forms characterConstantLength() takes, so
/// the quote of "af'" stays an ordinary character.
inline size_t quotedLength(std::string_view text, size_t at) {
    if (text[at] == '"') {
        size_t i = at + 1;
        while (i < text.size() && text[i] != '"') i += (text[i] == '\\') ? 2 : 1;
        return (i < text.size() ? i + 1 : text.size()) - at;
    }
    if (text[at] == '\'') return characterConstantLength(text, at);
    return 0;
}

}  // namespace tasm
