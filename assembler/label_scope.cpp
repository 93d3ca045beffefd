// SPDX-License-Identifier: GPL-2.0-or-later
#include "label_scope.hpp"

#include <algorithm>

#include "text.hpp"

namespace tasm {

namespace {

// Stands for a local label character that is no name character.
constexpr std::string_view localMark = "_l_";

}  // namespace

bool validLabel(std::string_view name) {
    if (name.empty() || isDigit(name[0]) || name[0] == '.') return false;
    return std::all_of(name.begin(), name.end(), isNameChar);
}

std::string LabelScope::qualified(std::string_view written) const {
    const bool local =
        !written.empty() && (written.front() == localChar_ ||
                             (!isNameChar(localChar_) && written.starts_with(localMark)));
    return local ? module_ + "." + lower(written) : lower(written);
}

bool LabelScope::marksLocalLabels() const { return !isNameChar(localChar_); }

std::string LabelScope::marked(std::string_view text) const {
    if (!marksLocalLabels()) return std::string(text);
    std::string out;
    for (size_t i = 0; i < text.size();) {
        if (const size_t quoted = quotedLength(text, i)) {
            out += text.substr(i, quoted);
            i += quoted;
            continue;
        }
        const bool startsName = text[i] == localChar_ && i + 1 < text.size() &&
                                isNameChar(text[i + 1]) && (i == 0 || !isNameChar(text[i - 1]));
        if (startsName) {
            out += localMark;
        } else {
            out += text[i];
        }
        ++i;
    }
    return out;
}

std::string LabelScope::setModule(std::string_view operand) {
    if (!validLabel(operand)) return ".module needs a name";
    module_ = lower(operand);
    return "";
}

std::string LabelScope::setLocalChar(std::string_view text) {
    const bool quoted =
        text.size() == 3 && (text[0] == '"' || text[0] == '\'') && text[2] == text[0];
    if (!quoted && text.size() != 1) return ".locallabelchar needs one character";
    const char c = quoted ? text[1] : text[0];
    if (isBlank(c) || c == '"' || c == '\'' || c == ';' || c == '\\' || isDigit(c)) {
        return ".locallabelchar: '" + std::string(1, c) + "' cannot begin a label";
    }
    localChar_ = c;
    return "";
}

}  // namespace tasm
