// SPDX-License-Identifier: GPL-2.0-or-later
#include "layout.hpp"

#include <algorithm>
#include <array>
#include <unordered_map>

#include "directives.hpp"
#include "line_syntax.hpp"
#include "text.hpp"

namespace tasm {

namespace {

// The forms of operand that decide an instruction's length.
enum class Kind {
    reg8,         // a b c d e h l
    indexHalf,    // ixh ixl iyh iyl
    hlMemory,     // (hl)
    indexMemory,  // (ix+d) (iy+d), and (ix) (iy)
    hl,
    pair,        // bc de sp af af'
    indexPair,   // ix iy
    special,     // i r
    pairMemory,  // (bc) (de) (sp) (c)
    memory,      // (address)
    immediate,
};

struct Named {
    std::string_view text;
    Kind kind;
};

constexpr std::array<Named, 25> namedOperands{{
    {"a", Kind::reg8},          {"b", Kind::reg8},          {"c", Kind::reg8},
    {"d", Kind::reg8},          {"e", Kind::reg8},          {"h", Kind::reg8},
    {"l", Kind::reg8},          {"ixh", Kind::indexHalf},   {"ixl", Kind::indexHalf},
    {"iyh", Kind::indexHalf},   {"iyl", Kind::indexHalf},   {"(hl)", Kind::hlMemory},
    {"hl", Kind::hl},           {"bc", Kind::pair},         {"de", Kind::pair},
    {"sp", Kind::pair},         {"af", Kind::pair},         {"af'", Kind::pair},
    {"ix", Kind::indexPair},    {"iy", Kind::indexPair},    {"i", Kind::special},
    {"r", Kind::special},       {"(bc)", Kind::pairMemory}, {"(de)", Kind::pairMemory},
    {"(sp)", Kind::pairMemory},
}};

Kind kindOf(const std::string& written) {
    const std::string compact = lower(withoutBlanks(written));
    for (const Named& named : namedOperands) {
        if (named.text == compact) return named.kind;
    }
    if (compact == "(c)") return Kind::pairMemory;
    const bool indexed = (compact.starts_with("(ix") || compact.starts_with("(iy")) &&
                         (compact.size() == 4 || compact[3] == '+' || compact[3] == '-');
    const std::string_view trimmed = trim(written);
    if (trimmed.empty() || trimmed.front() != '(' ||
        closingParenthesis(trimmed) != trimmed.size() - 1) {
        return Kind::immediate;
    }
    return indexed ? Kind::indexMemory : Kind::memory;
}

enum class Family { fixed, load, arithmetic, counting, rotation, bit, stack, jump, call };

struct Mnemonic {
    std::string_view name;
    Family family;
    size_t bytes = 0;  // of the fixed ones, whose operands do not change it
};

constexpr Mnemonic mnemonics[] = {
    {"nop", Family::fixed, 1},   {"halt", Family::fixed, 1},  {"di", Family::fixed, 1},
    {"ei", Family::fixed, 1},    {"exx", Family::fixed, 1},   {"daa", Family::fixed, 1},
    {"cpl", Family::fixed, 1},   {"ccf", Family::fixed, 1},   {"scf", Family::fixed, 1},
    {"rla", Family::fixed, 1},   {"rra", Family::fixed, 1},   {"rlca", Family::fixed, 1},
    {"rrca", Family::fixed, 1},  {"ret", Family::fixed, 1},   {"rst", Family::fixed, 1},
    {"neg", Family::fixed, 2},   {"reti", Family::fixed, 2},  {"retn", Family::fixed, 2},
    {"rld", Family::fixed, 2},   {"rrd", Family::fixed, 2},   {"ldi", Family::fixed, 2},
    {"ldir", Family::fixed, 2},  {"ldd", Family::fixed, 2},   {"lddr", Family::fixed, 2},
    {"cpi", Family::fixed, 2},   {"cpir", Family::fixed, 2},  {"cpd", Family::fixed, 2},
    {"cpdr", Family::fixed, 2},  {"ini", Family::fixed, 2},   {"inir", Family::fixed, 2},
    {"ind", Family::fixed, 2},   {"indr", Family::fixed, 2},  {"outi", Family::fixed, 2},
    {"otir", Family::fixed, 2},  {"outd", Family::fixed, 2},  {"otdr", Family::fixed, 2},
    {"im", Family::fixed, 2},    {"in", Family::fixed, 2},    {"out", Family::fixed, 2},
    {"jr", Family::fixed, 2},    {"djnz", Family::fixed, 2},  {"call", Family::fixed, 3},
    {"ld", Family::load},        {"add", Family::arithmetic}, {"adc", Family::arithmetic},
    {"sub", Family::arithmetic}, {"sbc", Family::arithmetic}, {"and", Family::arithmetic},
    {"xor", Family::arithmetic}, {"or", Family::arithmetic},  {"cp", Family::arithmetic},
    {"inc", Family::counting},   {"dec", Family::counting},   {"rlc", Family::rotation},
    {"rl", Family::rotation},    {"rrc", Family::rotation},   {"rr", Family::rotation},
    {"sla", Family::rotation},   {"sra", Family::rotation},   {"sll", Family::rotation},
    {"srl", Family::rotation},   {"bit", Family::bit},        {"set", Family::bit},
    {"res", Family::bit},        {"push", Family::stack},     {"pop", Family::stack},
    {"ex", Family::stack},       {"jp", Family::jump},
};

const Mnemonic* findMnemonic(std::string_view name) {
    static const std::unordered_map<std::string_view, const Mnemonic*> index = [] {
        std::unordered_map<std::string_view, const Mnemonic*> built;
        for (const Mnemonic& m : mnemonics) built.emplace(m.name, &m);
        return built;
    }();
    const auto found = index.find(name);
    return found == index.end() ? nullptr : found->second;
}

struct KindLength {
    Kind kind;
    size_t bytes;
};

// The operand of the 8-bit arithmetic (its last one) and of inc and dec.
constexpr KindLength arithmeticLengths[] = {
    {Kind::reg8, 1},        {Kind::indexHalf, 2}, {Kind::hlMemory, 1},
    {Kind::indexMemory, 3}, {Kind::immediate, 2},
};
constexpr KindLength countingLengths[] = {
    {Kind::reg8, 1}, {Kind::indexHalf, 2}, {Kind::hlMemory, 1},  {Kind::indexMemory, 3},
    {Kind::hl, 1},   {Kind::pair, 1},      {Kind::indexPair, 2},
};
// The operand of the rotations and shifts, the second one of bit, set, res.
constexpr KindLength bitLengths[] = {
    {Kind::reg8, 2},
    {Kind::hlMemory, 2},
    {Kind::indexMemory, 4},
};

struct LoadLength {
    Kind to;
    Kind from;
    size_t bytes;
};

constexpr LoadLength loadLengths[] = {
    {Kind::reg8, Kind::reg8, 1},           {Kind::reg8, Kind::indexHalf, 2},
    {Kind::indexHalf, Kind::reg8, 2},      {Kind::indexHalf, Kind::indexHalf, 2},
    {Kind::reg8, Kind::immediate, 2},      {Kind::indexHalf, Kind::immediate, 3},
    {Kind::reg8, Kind::hlMemory, 1},       {Kind::hlMemory, Kind::reg8, 1},
    {Kind::hlMemory, Kind::immediate, 2},  {Kind::reg8, Kind::indexMemory, 3},
    {Kind::indexMemory, Kind::reg8, 3},    {Kind::indexMemory, Kind::immediate, 4},
    {Kind::reg8, Kind::pairMemory, 1},     {Kind::pairMemory, Kind::reg8, 1},
    {Kind::reg8, Kind::memory, 3},         {Kind::memory, Kind::reg8, 3},
    {Kind::reg8, Kind::special, 2},        {Kind::special, Kind::reg8, 2},
    {Kind::hl, Kind::immediate, 3},        {Kind::pair, Kind::immediate, 3},
    {Kind::indexPair, Kind::immediate, 4}, {Kind::hl, Kind::memory, 3},
    {Kind::pair, Kind::memory, 4},         {Kind::indexPair, Kind::memory, 4},
    {Kind::memory, Kind::hl, 3},           {Kind::memory, Kind::pair, 4},
    {Kind::memory, Kind::indexPair, 4},    {Kind::pair, Kind::hl, 1},
    {Kind::pair, Kind::indexPair, 2},
};

template <size_t N>
std::optional<size_t> lengthFor(const KindLength (&table)[N], Kind kind) {
    for (const KindLength& row : table) {
        if (row.kind == kind) return row.bytes;
    }
    return std::nullopt;
}

std::optional<size_t> loadLength(const std::vector<Kind>& kinds) {
    if (kinds.size() != 2) return std::nullopt;
    for (const LoadLength& row : loadLengths) {
        if (row.to == kinds[0] && row.from == kinds[1]) return row.bytes;
    }
    return std::nullopt;
}

std::optional<size_t> arithmeticLength(std::string_view mnemonic, const std::vector<Kind>& kinds) {
    if (kinds.empty() || kinds.size() > 2) return std::nullopt;
    if (kinds.size() == 2 && kinds[0] == Kind::indexPair) return 2;  // add ix,bc
    if (kinds.size() == 2 && kinds[0] == Kind::hl) return mnemonic == "add" ? 1 : 2;
    return lengthFor(arithmeticLengths, kinds.back());
}

std::optional<size_t> jumpLength(const std::vector<Kind>& kinds) {
    if (kinds.size() == 1 && kinds[0] == Kind::hlMemory) return 1;     // jp (hl)
    if (kinds.size() == 1 && kinds[0] == Kind::indexMemory) return 2;  // jp (ix)
    return 3;
}

// Addresses and lengths far outside the 64 KiB make the location counter
// unknown rather than overflow; the rewriter reports them.
std::optional<int64_t> inRange(int64_t value) {
    constexpr int64_t limit = int64_t{1} << 32;
    if (value < 0 || value >= limit) return std::nullopt;
    return value;
}

}  // namespace

std::optional<size_t> instructionLength(std::string_view mnemonic,
                                        const std::vector<std::string>& operands) {
    const Mnemonic* known = findMnemonic(mnemonic);
    if (known == nullptr) return std::nullopt;
    if (known->family == Family::fixed) return known->bytes;
    std::vector<Kind> kinds;
    for (const std::string& operand : operands) kinds.push_back(kindOf(operand));
    switch (known->family) {
        case Family::load:
            return loadLength(kinds);
        case Family::arithmetic:
            return arithmeticLength(mnemonic, kinds);
        case Family::counting:
            return kinds.size() == 1 ? lengthFor(countingLengths, kinds[0]) : std::nullopt;
        case Family::rotation:
            return kinds.empty() ? std::nullopt : lengthFor(bitLengths, kinds[0]);
        case Family::bit:
            return kinds.size() < 2 ? std::nullopt : lengthFor(bitLengths, kinds[1]);
        case Family::stack: {
            const bool indexed = std::any_of(kinds.begin(), kinds.end(), [](Kind k) {
                return k == Kind::indexPair || k == Kind::indexHalf || k == Kind::indexMemory;
            });
            return indexed ? 2 : 1;
        }
        case Family::jump:
            return jumpLength(kinds);
        default:
            return std::nullopt;
    }
}

Layout::Evaluation Layout::evaluate(std::string_view expression) const {
    Evaluation evaluation;
    const ValueLookup lookup = [&](std::string_view name) -> std::optional<int64_t> {
        return value(name, evaluation.usesAddress);
    };
    evaluation.result = evaluateExpression(scope_.marked(expression), lookup);
    return evaluation;
}

std::optional<int64_t> Layout::value(std::string_view name, bool& usesAddress) const {
    if (name == "$") {
        if (location_) usesAddress = true;
        return location_;
    }
    const auto found = labels_.find(scope_.qualified(name));
    if (found == labels_.end() || !found->second) return std::nullopt;
    usesAddress = usesAddress || found->second->fromAddress;
    return found->second->value;
}

std::optional<Layout::Known> Layout::known(std::string_view expression) const {
    const Evaluation evaluation = evaluate(expression);
    if (!evaluation.result.error.empty()) return std::nullopt;
    return Known{evaluation.result.value, evaluation.usesAddress};
}

void Layout::add(std::string_view statement, const LineFields& fields, const Location& where) {
    const bool wasKnown = location_.has_value();
    // The fields change only where a local label character that is no name
    // character is written as a mark.
    if (scope_.marksLocalLabels()) {
        addStatement(splitFields(scope_.marked(statement)));
    } else {
        addStatement(fields);
    }
    if (wasKnown && !location_) lostAt_ = where;
}

void Layout::addStatement(const LineFields& fields) {
    const std::string word = lower(fields.word);
    const DirectiveRow* directive = findDirective(word);
    const Directive kind = directive ? directive->directive : Directive::count;
    if (kind == Directive::equate || kind == Directive::set) {
        if (!fields.label.empty()) labels_[scope_.qualified(fields.label)] = known(fields.operands);
        return;
    }
    if (kind == Directive::origin) {
        const std::optional<Known> origin = known(fields.operands);
        location_ = origin ? inRange(origin->value) : std::nullopt;
    }
    if (!fields.label.empty()) {
        std::optional<Known> address;
        if (location_) address = Known{*location_, true};
        labels_[scope_.qualified(fields.label)] = address;
    }
    if (word.empty() || kind == Directive::origin) return;
    if (kind == Directive::module) {
        scope_.setModule(fields.operands);
    } else if (kind == Directive::localLabelChar) {
        scope_.setLocalChar(fields.operands);
    } else if (kind == Directive::addInstruction) {
        auto parsed = parseUserInstruction(fields.operands);
        if (auto* user = std::get_if<UserInstruction>(&parsed)) userInstructions_.add(*user);
    }
    const std::optional<int64_t> bytes = length(word, fields.operands);
    location_ = location_ && bytes && inRange(*bytes) ? inRange(*location_ + *bytes) : std::nullopt;
}

// How far a statement moves the location counter.
std::optional<int64_t> Layout::length(const std::string& word, const std::string& operands) const {
    if (word[0] != '.') {
        if (const auto match = userInstructions_.find(word, operands)) {
            return match->instruction->length;
        }
        const std::optional<size_t> bytes = instructionLength(word, splitOperands(operands));
        return bytes ? std::optional<int64_t>(*bytes) : std::nullopt;
    }
    const DirectiveRow* directive = findDirective(word);
    if (directive == nullptr) return std::nullopt;
    switch (directive->moves) {
        case Moves::none:
        case Moves::origin:
            return 0;
        case Moves::byte:
            return 1;
        case Moves::bytes:
            return dataLength(operands, 1);
        case Moves::words:
            return dataLength(operands, 2);
        case Moves::count: {
            const std::vector<std::string> items = splitOperands(operands);
            const std::optional<Known> count = items.empty() ? std::nullopt : known(items[0]);
            return count ? std::optional(count->value) : std::nullopt;
        }
    }
    return std::nullopt;
}

std::optional<int64_t> Layout::dataLength(const std::string& operands, int64_t itemLength) const {
    int64_t bytes = 0;
    for (const std::string& item : splitOperands(operands)) {
        if (itemLength == 1 && !item.empty() && item.front() == '"') {
            const std::optional<std::string> text = stringBytes(item);
            if (!text) return std::nullopt;
            bytes += static_cast<int64_t>(text->size());
        } else {
            bytes += itemLength;
        }
    }
    return bytes;
}

}  // namespace tasm
