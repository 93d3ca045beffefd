// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Which label a name means: labels ignore case, and a label that begins with
// the local label character ('_' unless .locallabelchar picks another)
// belongs to the current .module ("noname" until the first one) and is
// known as "module._name".

#include <string>
#include <string_view>

namespace tasm {

/// A label name as this dialect allows it in column 1.
bool validLabel(std::string_view name);

class LabelScope {
  public:
    /// The name `written` stands for: in lower case, local ones with their
    /// module. Takes names as marked() writes them.
    std::string qualified(std::string_view written) const;

    /// `text` with the local label character, where it begins a name outside
    /// strings, written as a mark that is a name, when the character itself
    /// cannot be part of one (such as '?').
    std::string marked(std::string_view text) const;

    /// Whether marked() changes anything.
    bool marksLocalLabels() const;

    /// .module NAME; the error message, or "" when done.
    std::string setModule(std::string_view operand);
    /// .locallabelchar "c"; the error message, or "" when done.
    std::string setLocalChar(std::string_view operand);

  private:
    std::string module_ = "noname";
    char localChar_ = '_';
};

}  // namespace tasm
