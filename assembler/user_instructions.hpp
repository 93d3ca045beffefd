// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Instructions a source adds with .addinstr, in the form of TASM's
// instruction tables: MNEMONIC ARGS OPCODE NBYTES RULE CLASS [SHIFT [OR]].
//
// ARGS is matched without blanks and without regard to case; each '*' in it
// stands for an expression ("" for no operands). OPCODE is hexadecimal with
// its rightmost pair at the lowest address. The operands become one value
// (argval) by the rule, argval is shifted left by SHIFT and OR-ed with OR,
// and its low NBYTES minus opcode bytes follow the opcode, least significant
// first:
//   NOTOUCH (or NOP)  the first operand as it is
//   R1, R2            the first operand relative to the next instruction
//   SWAP              the two low bytes of the first operand swapped
//   COMBINE, ZIX      low byte of the first operand, then of the second
//   CSWAP             low byte of the second operand, then of the first
//   ZBIT              Z80 bit number (first operand) times 8 OR-ed into the
//                     last opcode byte, or, when operand bytes follow, into
//                     the byte after the second operand's low byte

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tasm {

enum class Rule { notouch, relative, swap, combine, cswap, zbit };

struct UserInstruction {
    std::string mnemonic;         ///< in lower case
    std::string pattern;          ///< ARGS in lower case, "" for none
    std::vector<uint8_t> opcode;  ///< in address order
    size_t length = 0;            ///< NBYTES, the whole instruction
    Rule rule = Rule::notouch;
    unsigned shift = 0;
    uint32_t orMask = 0;

    size_t operandBytes() const { return length - opcode.size(); }
};

/// Reads the operand field of .addinstr: the instruction, or what is wrong.
std::variant<UserInstruction, std::string> parseUserInstruction(std::string_view fields);

/// The expressions that the '*'s of `user.pattern` stand for in `operands`
/// (as written, blanks removed), or nothing when the operands do not match.
std::optional<std::vector<std::string>> matchOperands(const UserInstruction& user,
                                                      std::string_view operands);

/// The bytes of `user` as z80asm expressions, given its operands already
/// written as z80asm expressions (as many as its pattern has '*'s).
std::vector<std::string> encodeUserInstruction(const UserInstruction& user,
                                               const std::vector<std::string>& operands);

/// The instructions defined so far; a later definition of the same mnemonic
/// and pattern is tried after the earlier one, as in TASM's tables.
class UserInstructions {
  public:
    void add(UserInstruction user) { defined_.push_back(std::move(user)); }

    struct Match {
        const UserInstruction* instruction = nullptr;
        std::vector<std::string> operands;
    };
    /// The first definition that `mnemonic` with `operands` matches.
    std::optional<Match> find(std::string_view mnemonic, std::string_view operands) const;

  private:
    std::vector<UserInstruction> defined_;
};

/// `text` with its blanks removed.
std::string withoutBlanks(std::string_view text);

}  // namespace tasm
