#include "layout.hpp"

#include <algorithm>
#include <array>

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

struct Length {
    std::string_view mnemonic;
    size_t bytes;
};

// Instructions without operands, or whose length the operands do not change.
constexpr std::array<Length, 41> fixedLengths{{
    {"nop", 1},  {"halt", 1}, {"di", 1},   {"ei", 1},   {"exx", 1},  {"daa", 1},  {"cpl", 1},
    {"ccf", 1},  {"scf", 1},  {"rla", 1},  {"rra", 1},  {"rlca", 1}, {"rrca", 1}, {"ret", 1},
    {"rst", 1},  {"neg", 2},  {"reti", 2}, {"retn", 2}, {"rld", 2},  {"rrd", 2},  {"ldi", 2},
    {"ldir", 2}, {"ldd", 2},  {"lddr", 2}, {"cpi", 2},  {"cpir", 2}, {"cpd", 2},  {"cpdr", 2},
    {"ini", 2},  {"inir", 2}, {"ind", 2},  {"indr", 2}, {"outi", 2}, {"otir", 2}, {"outd", 2},
    {"otdr", 2}, {"im", 2},   {"in", 2},   {"out", 2},  {"jr", 2},   {"djnz", 2},
}};

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

bool among(std::string_view word, std::initializer_list<std::string_view> words) {
    return std::find(words.begin(), words.end(), word) != words.end();
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
    for (const Length& fixed : fixedLengths) {
        if (fixed.mnemonic == mnemonic) return fixed.bytes;
    }
    std::vector<Kind> kinds;
    for (const std::string& operand : operands) kinds.push_back(kindOf(operand));
    const bool indexed = std::any_of(kinds.begin(), kinds.end(), [](Kind k) {
        return k == Kind::indexPair || k == Kind::indexHalf || k == Kind::indexMemory;
    });
    if (mnemonic == "ld") return loadLength(kinds);
    if (among(mnemonic, {"add", "adc", "sub", "sbc", "and", "xor", "or", "cp"})) {
        return arithmeticLength(mnemonic, kinds);
    }
    if (among(mnemonic, {"inc", "dec"})) {
        return kinds.size() == 1 ? lengthFor(countingLengths, kinds[0]) : std::nullopt;
    }
    if (among(mnemonic, {"rlc", "rl", "rrc", "rr", "sla", "sra", "sll", "srl"})) {
        return kinds.empty() ? std::nullopt : lengthFor(bitLengths, kinds[0]);
    }
    if (among(mnemonic, {"bit", "set", "res"})) {
        return kinds.size() < 2 ? std::nullopt : lengthFor(bitLengths, kinds[1]);
    }
    if (among(mnemonic, {"push", "pop", "ex"})) return indexed ? 2 : 1;
    if (mnemonic == "jp") return jumpLength(kinds);
    if (mnemonic == "call") return 3;
    return std::nullopt;
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

void Layout::add(std::string_view statement, const Location& where) {
    const bool wasKnown = location_.has_value();
    addStatement(statement);
    if (wasKnown && !location_) lostAt_ = where;
}

void Layout::addStatement(std::string_view statement) {
    const LineFields fields = splitFields(scope_.marked(statement));
    const std::string word = lower(fields.word);
    if (word == ".equ" || word == "=" || word == ".set") {
        if (!fields.label.empty()) labels_[scope_.qualified(fields.label)] = known(fields.operands);
        return;
    }
    if (!fields.label.empty()) {
        std::optional<Known> address;
        if (location_) address = Known{*location_, true};
        labels_[scope_.qualified(fields.label)] = address;
    }
    if (word.empty()) return;
    if (word == ".org") {
        const std::optional<Known> origin = known(fields.operands);
        location_ = origin ? inRange(origin->value) : std::nullopt;
        return;
    }
    if (word == ".module") {
        scope_.setModule(fields.operands);
    } else if (word == ".locallabelchar") {
        scope_.setLocalChar(fields.operands);
    } else if (word == ".addinstr") {
        auto parsed = parseUserInstruction(fields.operands);
        if (auto* user = std::get_if<UserInstruction>(&parsed)) userInstructions_.add(*user);
    }
    const std::optional<int64_t> bytes = length(word, fields.operands);
    location_ = location_ && bytes && inRange(*bytes) ? inRange(*location_ + *bytes) : std::nullopt;
}

// How far a statement moves the location counter.
std::optional<int64_t> Layout::length(const std::string& word, const std::string& operands) const {
    static constexpr std::array<std::string_view, 18> noBytes{
        ".echo",   ".module", ".locallabelchar", ".addinstr", ".msfirst", ".lsfirst", ".list",
        ".nolist", ".title",  ".page",           ".nopage",   ".eject",   ".codes",   ".nocodes",
        ".sym",    ".tsym",   ".export",         ".end",
    };
    if (std::find(noBytes.begin(), noBytes.end(), word) != noBytes.end()) return 0;
    if (among(word, {".db", ".byte", ".text"})) return dataLength(operands, 1);
    if (among(word, {".dw", ".word"})) return dataLength(operands, 2);
    if (word == ".chk") return 1;
    if (among(word, {".block", ".fill"})) {
        const std::vector<std::string> items = splitOperands(operands);
        const std::optional<Known> count = items.empty() ? std::nullopt : known(items[0]);
        return count ? std::optional(count->value) : std::nullopt;
    }
    if (word[0] == '.') return std::nullopt;
    if (const auto match = userInstructions_.find(word, operands)) {
        return match->instruction->length;
    }
    const std::optional<size_t> bytes = instructionLength(word, splitOperands(operands));
    return bytes ? std::optional<int64_t>(*bytes) : std::nullopt;
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
