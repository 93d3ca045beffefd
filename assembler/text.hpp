#pragma once
// Small text helpers shared by the stages of the assembler.

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

/// The character that a backslash followed by `e` stands for in strings and
/// character constants.
inline char unescape(char e) {
    switch (e) {
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
        case '0':
            return '\0';
        default:
            return e;
    }
}

/// Length of the quoted string or character constant starting at text[at],
/// or 0 when text[at] does not open one. Strings run to the closing double
/// quote (a backslash escapes the next character); a single quote opens a
/// character constant only in the forms 'c' and '\c', so the quote of
/// "af'" stays an ordinary character.
inline size_t quotedLength(std::string_view text, size_t at) {
    if (text[at] == '"') {
        size_t i = at + 1;
        while (i < text.size() && text[i] != '"') i += (text[i] == '\\') ? 2 : 1;
        return (i < text.size() ? i + 1 : text.size()) - at;
    }
    if (text[at] == '\'') {
        if (at + 2 < text.size() && text[at + 1] != '\\' && text[at + 2] == '\'') return 3;
        if (at + 3 < text.size() && text[at + 1] == '\\' && text[at + 3] == '\'') return 4;
    }
    return 0;
}

}  // namespace tasm
