// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Addresses while the source is read: the location counter and the values
// of the labels defined so far, which #if may test as TASM's first pass
// knows them ("#if $ >= 1000h").
//
// The length of each statement is worked out here from its mnemonic and the
// forms of its operands; z80asm still encodes every instruction. Where a
// length or an address cannot be known (an unknown instruction, an .org to a
// label defined later) the location counter has no value until the next
// .org that has one. The reader records the address each #if saw, and the
// assembly checks it against z80asm's.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "diagnostics.hpp"
#include "expressions.hpp"
#include "label_scope.hpp"
#include "line_syntax.hpp"
#include "user_instructions.hpp"

namespace tasm {

/// The length in bytes of the Z80 instruction `mnemonic` (lower case) with
/// `operands` (each trimmed, as written); nothing for an instruction that
/// does not exist in that form.
std::optional<size_t> instructionLength(std::string_view mnemonic,
                                        const std::vector<std::string>& operands);

class Layout {
  public:
    /// Follows one statement as the reader passes it on (macros expanded),
    /// whose fields are `fields`, read at `where`.
    void add(std::string_view statement, const LineFields& fields, const Location& where);

    struct Evaluation {
        Evaluated result;
        bool usesAddress = false;  ///< $ or a label whose value is an address
    };
    /// An expression over the labels defined so far and $.
    Evaluation evaluate(std::string_view expression) const;

    /// The location counter, if it has a value.
    std::optional<int64_t> location() const { return location_; }
    /// The statement whose length or address made the location counter
    /// unknown, when it is.
    const Location& lostAt() const { return lostAt_; }

  private:
    struct Known {
        int64_t value = 0;
        bool fromAddress = false;  ///< an address or computed from one
    };

    void addStatement(const LineFields& fields);
    std::optional<int64_t> value(std::string_view name, bool& usesAddress) const;
    std::optional<Known> known(std::string_view expression) const;
    std::optional<int64_t> length(const std::string& word, const std::string& operands) const;
    std::optional<int64_t> dataLength(const std::string& operands, int64_t itemLength) const;

    std::map<std::string, std::optional<Known>> labels_;
    std::optional<int64_t> location_ = 0;
    Location lostAt_;
    LabelScope scope_;
    UserInstructions userInstructions_;
};

}  // namespace tasm
