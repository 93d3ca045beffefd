// SPDX-License-Identifier: GPL-2.0-or-later
#include "user_instructions.hpp"

#include <algorithm>

#include "expressions.hpp"
#include "text.hpp"

namespace tasm {

namespace {

// The rule names of TASM's tables; those without a rule serve processors
// other than the Z80.
struct RuleName {
    std::string_view name;
    std::optional<Rule> rule;
};

constexpr RuleName ruleNames[] = {
    {"notouch", Rule::notouch}, {"nop", Rule::notouch},  {"r1", Rule::relative},
    {"r2", Rule::relative},     {"swap", Rule::swap},    {"combine", Rule::combine},
    {"zix", Rule::combine},     {"cswap", Rule::cswap},  {"zbit", Rule::zbit},
    {"jmppage", std::nullopt},  {"zpage", std::nullopt}, {"mbit", std::nullopt},
    {"mzero", std::nullopt},    {"3arg", std::nullopt},  {"3rel", std::nullopt},
    {"t1", std::nullopt},       {"tdma", std::nullopt},  {"tar", std::nullopt},
};

std::vector<std::string> words(std::string_view text) {
    std::vector<std::string> out;
    for (text = trim(text); !text.empty(); text = trim(text)) {
        const size_t end = std::min(text.find_first_of(" \t"), text.size());
        out.emplace_back(text.substr(0, end));
        text.remove_prefix(end);
    }
    return out;
}

std::string parenthesised(const std::string& text) { return "(" + text + ")"; }

std::string lowByte(const std::string& value) { return "(" + value + "&255)"; }

std::string shiftedLeft(const std::string& value, unsigned bits) {
    return "(" + value + "<<" + std::to_string(bits) + ")";
}

std::string either(const std::string& a, const std::string& b) { return "(" + a + "|" + b + ")"; }

// Two low bytes, `low` at the lower address.
std::string bytePair(const std::string& low, const std::string& high) {
    return either(lowByte(low), shiftedLeft(lowByte(high), 8));
}

// The value whose low bytes follow the opcode.
std::string argumentValue(const UserInstruction& user, const std::vector<std::string>& operands) {
    const std::string first = operands.empty() ? "0" : parenthesised(operands[0]);
    const std::string second = operands.size() < 2 ? "0" : parenthesised(operands[1]);
    switch (user.rule) {
        case Rule::notouch:
            return first;
        case Rule::relative:
            return "(" + first + "-($+" + std::to_string(user.length) + "))";
        case Rule::swap:
            return bytePair("(" + first + ">>8)", first);
        case Rule::combine:
            return operands.size() < 2 ? first : bytePair(first, second);
        case Rule::cswap:
            return bytePair(second, first);
        case Rule::zbit:
            return either(lowByte(second), shiftedLeft("(" + first + "&7)", 11));
    }
    return first;
}

}  // namespace

std::string withoutBlanks(std::string_view text) {
    std::string out;
    for (const char c : text) {
        if (!isBlank(c)) out += c;
    }
    return out;
}

std::variant<UserInstruction, std::string> parseUserInstruction(std::string_view fields) {
    const std::vector<std::string> w = words(fields);
    if (w.size() < 5 || w.size() > 8) {
        return ".addinstr needs a mnemonic, operands, opcode, length and rule (and optionally "
               "class, shift and OR)";
    }
    UserInstruction user;
    user.mnemonic = lower(w[0]);
    user.pattern = w[1] == "\"\"" ? "" : lower(w[1]);
    const std::optional<uint32_t> opcode = parseNumber("$" + w[2]);
    const std::optional<uint32_t> length = parseNumber(w[3]);
    const size_t opcodeBytes = (w[2].size() + 1) / 2;
    if (!opcode || !length || opcodeBytes > 4 || *length < opcodeBytes ||
        *length > opcodeBytes + 4) {
        return ".addinstr: bad opcode or length";
    }
    const std::string ruleName = lower(w[4]);
    const auto named = std::find_if(std::begin(ruleNames), std::end(ruleNames),
                                    [&](const RuleName& r) { return r.name == ruleName; });
    if (named == std::end(ruleNames)) return ".addinstr: unknown rule " + w[4];
    if (!named->rule) return ".addinstr: the rule " + w[4] + " is for another processor";
    user.rule = *named->rule;
    const std::optional<uint32_t> shift = w.size() > 6 ? parseNumber(w[6]) : 0u;
    const std::optional<uint32_t> orMask = w.size() > 7 ? parseNumber("$" + w[7]) : 0u;
    if (!shift || *shift > 31 || !orMask) return ".addinstr: bad shift or OR field";
    for (size_t i = 0; i < opcodeBytes; ++i) {
        user.opcode.push_back(static_cast<uint8_t>(*opcode >> (8 * i)));
    }
    user.length = *length;
    user.shift = *shift;
    user.orMask = *orMask;
    return user;
}

std::optional<std::vector<std::string>> matchOperands(const UserInstruction& user,
                                                      std::string_view operands) {
    const std::string compact = lower(operands);
    const std::string_view pattern = user.pattern;
    std::vector<std::string> found;
    size_t p = 0;
    size_t at = 0;
    for (;;) {
        const size_t star = pattern.find('*', p);
        const std::string_view literal = pattern.substr(p, star - p);
        if (compact.compare(at, literal.size(), literal) != 0) return std::nullopt;
        at += literal.size();
        if (star == std::string_view::npos) {
            if (at != compact.size()) return std::nullopt;
            return found;
        }
        p = star + 1;
        // An expression runs up to the next literal part; the last one up to
        // the part that ends the pattern.
        const size_t nextStar = pattern.find('*', p);
        const std::string_view next = pattern.substr(p, nextStar - p);
        size_t end = 0;
        if (nextStar == std::string_view::npos) {
            if (compact.size() < at + 1 + next.size()) return std::nullopt;
            end = compact.size() - next.size();
        } else {
            end = next.empty() ? std::string::npos : compact.find(next, at + 1);
            if (end == std::string::npos) return std::nullopt;
        }
        found.emplace_back(operands.substr(at, end - at));
        at = end;
    }
}

std::vector<std::string> encodeUserInstruction(const UserInstruction& user,
                                               const std::vector<std::string>& operands) {
    std::vector<std::string> bytes;
    for (const uint8_t byte : user.opcode) bytes.push_back(std::to_string(byte));
    if (user.rule == Rule::zbit && user.operandBytes() == 0 && !operands.empty()) {
        bytes.back() = "0+" + either(bytes.back(), shiftedLeft("(" + operands[0] + "&7)", 3));
        return bytes;
    }
    std::string value = argumentValue(user, operands);
    if (user.shift != 0) value = shiftedLeft(value, user.shift);
    if (user.orMask != 0) value = either(value, std::to_string(user.orMask));
    for (size_t i = 0; i < user.operandBytes(); ++i) {
        bytes.push_back(i == 0 ? lowByte(value)
                               : lowByte("(" + value + ">>" + std::to_string(8 * i) + ")"));
    }
    // z80asm warns of a data item wholly in parentheses.
    for (std::string& byte : bytes) {
        if (byte.front() == '(') byte.insert(0, "0+");
    }
    return bytes;
}

std::optional<UserInstructions::Match> UserInstructions::find(std::string_view mnemonic,
                                                              std::string_view operands) const {
    if (defined_.empty()) return std::nullopt;
    const std::string name = lower(mnemonic);
    const std::string compact = withoutBlanks(operands);
    for (const UserInstruction& user : defined_) {
        if (user.mnemonic != name) continue;
        if (std::optional<std::vector<std::string>> found = matchOperands(user, compact)) {
            return Match{&user, std::move(*found)};
        }
    }
    return std::nullopt;
}

}  // namespace tasm
