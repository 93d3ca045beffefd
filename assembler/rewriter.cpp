// SPDX-License-Identifier: GPL-2.0-or-later
#include "rewriter.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string_view>
#include <variant>

#include "directives.hpp"
#include "expressions.hpp"
#include "label_scope.hpp"
#include "line_syntax.hpp"
#include "text.hpp"
#include "user_instructions.hpp"

namespace tasm {

namespace {

constexpr std::array<std::string_view, 68> mnemonics{
    "adc",  "add",  "and",  "bit",  "call", "ccf",  "cp",  "cpd",  "cpdr", "cpi",  "cpir", "cpl",
    "daa",  "dec",  "di",   "djnz", "ei",   "ex",   "exx", "halt", "im",   "in",   "inc",  "ind",
    "indr", "ini",  "inir", "jp",   "jr",   "ld",   "ldd", "lddr", "ldi",  "ldir", "neg",  "nop",
    "or",   "otdr", "otir", "out",  "outd", "outi", "pop", "push", "res",  "ret",  "reti", "retn",
    "rl",   "rla",  "rlc",  "rlca", "rld",  "rr",   "rra", "rrc",  "rrca", "rrd",  "rst",  "sbc",
    "scf",  "set",  "sla",  "sll",  "sra",  "srl",  "sub", "xor",
};

// Operands that name a register, a register pair or a condition, written as
// they are (in lower case, without blanks).
constexpr std::array<std::string_view, 33> fixedOperands{
    "a",  "b",  "c",  "d",  "e",  "h",  "l",    "i",    "r",    "af",   "af'",
    "bc", "de", "hl", "sp", "ix", "iy", "ixh",  "ixl",  "iyh",  "iyl",  "nz",
    "z",  "nc", "po", "pe", "p",  "m",  "(hl)", "(bc)", "(de)", "(sp)", "(c)",
};

template <size_t N>
bool contains(const std::array<std::string_view, N>& list, std::string_view word) {
    return std::find(list.begin(), list.end(), word) != list.end();
}

// Adds an item to a comma-separated list.
void appendItem(std::string& list, std::string_view item) {
    if (!list.empty()) list += ',';
    list += item;
}

class Rewriter {
  public:
    Rewritten run(const std::vector<SourceLine>& source, std::vector<AddressCheck> checks);

  private:
    using Handler = void (Rewriter::*)(const LineFields&);
    struct HandlerRow {
        Directive directive;
        Handler handler;
    };
    static const HandlerRow handlers_[];

    void line(const SourceLine& line);
    void directive(const DirectiveRow* row, const LineFields& fields, const std::string& label);
    void instruction(const LineFields& fields, const std::string& label);
    bool userInstruction(const LineFields& fields);
    void data(const std::string& operands, bool bytes);
    void origin(const std::string& operand, const char* directive);
    void equate(const std::string& label, const std::string& operand, const char* directive);
    void set(const std::string& written, const std::string& operand);

    void org(const LineFields& f) {
        listing(f);
        origin(f.operands, ".org");
    }
    void bytes(const LineFields& f) { data(f.operands, true); }
    void words(const LineFields& f) { data(f.operands, false); }
    void block(const LineFields& f) {
        out_.listingSteps.push_back({lineIndex_, Directive::block, f.operands});
        origin("$+(" + f.operands + ")", lower(f.word).c_str());
    }
    void fill(const LineFields& f);
    void checksum(const LineFields& f);
    void echo(const LineFields& f);
    void module(const LineFields& f);
    void msFirst(const LineFields&) { msFirst_ = true; }
    void lsFirst(const LineFields&) { msFirst_ = false; }
    void addInstruction(const LineFields& f);
    void localLabelChar(const LineFields& f);
    void nothing(const LineFields&) {}
    void listing(const LineFields& f) {
        const DirectiveRow* row = findDirective(lower(f.word));
        out_.listingSteps.push_back({lineIndex_, row->directive, f.operands});
    }

    std::string operand(const std::string& mnemonic, const std::string& written);
    std::string expression(std::string_view written, bool immediate);
    std::string constant(std::string_view written, const char* directive);
    void checkDisplacement(const std::string& displacement);
    std::string baseName(std::string_view written) const { return scope_.qualified(written); }
    std::string labelName(std::string_view written) const;
    static std::string setName(int count, const std::string& base) {
        return "_set" + std::to_string(count) + "_" + base;
    }
    bool defineLabel(const std::string& written);
    void requireDefinedBefore(size_t firstReference, const char* directive);
    std::string newLabel(const char* kind) {
        std::string name = "_";
        name += kind;
        name += std::to_string(++generated_);
        return name;
    }

    void emit(std::string text) { out_.lines.push_back({std::move(text), where_}); }
    // The labels of a line in error are not checked as well.
    void error(std::string message) {
        errors_.push_back({lineIndex_, {where_, std::move(message)}});
        lineFailed_ = true;
        std::erase_if(references_, [&](const Reference& r) { return r.lineIndex == lineIndex_; });
    }

    struct Reference {
        std::string name;
        std::string written;
        Location where;
        size_t lineIndex;
    };

    Rewritten out_;
    Location where_;
    LabelScope scope_;
    bool msFirst_ = false;
    std::map<std::string, Location> defined_;
    std::map<std::string, int> setCounts_;  // how often each .set label was given a value
    UserInstructions userInstructions_;
    std::vector<Reference> references_;
    std::vector<std::pair<size_t, Diagnostic>> errors_;  // by the index of their line
    size_t lineIndex_ = 0;
    size_t generated_ = 0;
    bool lineFailed_ = false;
};

// .equ, = and .set define their label themselves and are handled apart.
const Rewriter::HandlerRow Rewriter::handlers_[] = {
    {Directive::origin, &Rewriter::org},
    {Directive::equate, &Rewriter::nothing},
    {Directive::set, &Rewriter::nothing},
    {Directive::bytes, &Rewriter::bytes},
    {Directive::words, &Rewriter::words},
    {Directive::block, &Rewriter::block},
    {Directive::fill, &Rewriter::fill},
    {Directive::checksum, &Rewriter::checksum},
    {Directive::echo, &Rewriter::echo},
    {Directive::module, &Rewriter::module},
    {Directive::localLabelChar, &Rewriter::localLabelChar},
    {Directive::addInstruction, &Rewriter::addInstruction},
    {Directive::msFirst, &Rewriter::msFirst},
    {Directive::lsFirst, &Rewriter::lsFirst},
    {Directive::end, &Rewriter::nothing},
    {Directive::list, &Rewriter::listing},
    {Directive::noList, &Rewriter::listing},
    {Directive::codes, &Rewriter::listing},
    {Directive::noCodes, &Rewriter::listing},
    {Directive::page, &Rewriter::listing},
    {Directive::noPage, &Rewriter::listing},
    {Directive::eject, &Rewriter::listing},
    {Directive::title, &Rewriter::listing},
    {Directive::symbols, &Rewriter::listing},
    {Directive::other, &Rewriter::nothing},
};

Rewritten Rewriter::run(const std::vector<SourceLine>& source, std::vector<AddressCheck> checks) {
    if (!source.empty()) where_ = source.front().where;
    out_.segmentOrigins.push_back(where_);
    emit(segmentStart(0) + ":");
    auto check = checks.begin();
    // A label marks the place of each checked #if.
    const auto markChecks = [&] {
        for (; check != checks.end() && check->before == lineIndex_; ++check) {
            check->label = newLabel("if");
            out_.lines.push_back({check->label + ":", check->where});
        }
    };
    for (; lineIndex_ < source.size(); ++lineIndex_) {
        markChecks();
        out_.statementLines.push_back(out_.lines.size());
        line(source[lineIndex_]);
    }
    markChecks();
    out_.addressChecks = std::move(checks);
    emit(segmentEnd(out_.segmentOrigins.size() - 1) + ":");
    // A label given new values by .set ends with the last one.
    for (Symbol& symbol : out_.symbols) {
        const auto found = setCounts_.find(symbol.label);
        if (found != setCounts_.end()) symbol.label = setName(found->second, symbol.label);
    }
    for (const Reference& reference : references_) {
        if (defined_.count(reference.name) != 0) continue;
        errors_.push_back({reference.lineIndex,
                           {reference.where, "unknown label \"" + reference.written + "\""}});
    }
    std::stable_sort(errors_.begin(), errors_.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (auto& [index, diagnostic] : errors_) out_.errors.push_back(std::move(diagnostic));
    return std::move(out_);
}

void Rewriter::line(const SourceLine& sourceLine) {
    where_ = sourceLine.where;
    lineFailed_ = false;
    const LineFields fields = splitFields(scope_.marked(sourceLine.text));
    const std::string word = lower(fields.word);
    if (!fields.label.empty() && !validLabel(fields.label)) {
        return error("bad label \"" + fields.label + "\"");
    }
    const DirectiveRow* row = findDirective(word);
    if (row != nullptr && row->directive == Directive::set) {
        if (fields.label.empty()) return error(".set needs a label in column 1");
        return set(fields.label, fields.operands);
    }
    std::string label;
    if (!fields.label.empty()) {
        label = labelName(fields.label);
        if (!defineLabel(fields.label)) return;
    }
    if (word.empty()) {
        if (!label.empty()) emit(label + ":");
    } else if (word[0] == '.' || word == "=") {
        directive(row, fields, label);
    } else {
        instruction(fields, label);
    }
}

void Rewriter::directive(const DirectiveRow* row, const LineFields& fields,
                         const std::string& label) {
    if (row == nullptr) {
        if (!label.empty()) emit(label + ":");
        return error("unknown directive " + fields.word);
    }
    if (row->directive == Directive::equate) {
        if (label.empty()) return error(fields.word + " needs a label in column 1");
        return equate(label, fields.operands, row->name == "=" ? "=" : ".equ");
    }
    static_assert(std::size(handlers_) == static_cast<size_t>(Directive::count),
                  "every directive has its step");
    // A label on an .org line names the new address, as in TASM's
    // "start .org 1000h".
    const bool labelAfter = row->directive == Directive::origin;
    if (!label.empty() && !labelAfter) emit(label + ":");
    for (const HandlerRow& step : handlers_) {
        if (step.directive == row->directive) (this->*step.handler)(fields);
    }
    if (!label.empty() && labelAfter) emit(label + ":");
}

void Rewriter::instruction(const LineFields& fields, const std::string& label) {
    if (!label.empty()) emit(label + ":");
    if (userInstruction(fields)) return;
    const std::string mnemonic = lower(fields.word);
    if (!contains(mnemonics, mnemonic)) return error("unknown instruction \"" + fields.word + "\"");
    std::string text = "\t";
    text += mnemonic;
    const char* separator = " ";
    for (const std::string& written : splitOperands(fields.operands)) {
        text += separator;
        text += operand(mnemonic, written);
        separator = ",";
    }
    if (!lineFailed_) emit(text);
}

// An instruction that .addinstr defined, written as its bytes.
bool Rewriter::userInstruction(const LineFields& fields) {
    const std::optional<UserInstructions::Match> match =
        userInstructions_.find(fields.word, fields.operands);
    if (!match) return false;
    std::vector<std::string> operands;
    for (const std::string& written : match->operands) {
        operands.push_back(expression(written, false));
    }
    std::string items;
    const UserInstruction& user = *match->instruction;
    for (const std::string& byte : encodeUserInstruction(user, operands)) appendItem(items, byte);
    if (lineFailed_) return true;
    if (user.rule == Rule::relative && user.operandBytes() == 1 && !operands.empty()) {
        const std::string at = newLabel("rel");
        out_.reaches.push_back({at, operands[0], lower(fields.word), user.length, where_});
        emit(at + ":\tdefb " + items);
    } else {
        emit("\tdefb " + items);
    }
    return true;
}

// .db, .byte and .text take strings (one byte per character) and
// expressions; .dw and .word take expressions.
void Rewriter::data(const std::string& operands, bool bytes) {
    std::string items;
    const auto add = [&](const std::string& item) { appendItem(items, item); };
    for (const std::string& item : splitOperands(operands)) {
        if (!bytes || item.empty() || item.front() != '"') {
            const std::string value = expression(item, true);
            if (bytes || !msFirst_) {
                add(value);
            } else {
                add("((" + value + ")>>8)&255");
                add("(" + value + ")&255");
            }
            continue;
        }
        const std::optional<std::string> text = stringBytes(item);
        if (!text) return error("bad string " + item);
        for (const char c : *text) add(std::to_string(static_cast<unsigned char>(c)));
    }
    if (operands.empty()) return error("missing data");
    const bool asBytes = bytes || msFirst_;
    if (!lineFailed_ && !items.empty()) emit((asBytes ? "\tdefb " : "\tdefw ") + items);
}

// .fill count[,value]: count bytes of value, 0FFh when it is left out.
void Rewriter::fill(const LineFields& fields) {
    const std::vector<std::string> operands = splitOperands(fields.operands);
    if (operands.empty() || operands.size() > 2) return error(".fill takes a count and a value");
    const std::string count = constant(operands[0], ".fill");
    const std::string value = operands.size() == 2 ? expression(operands[1], true) : "255";
    if (!lineFailed_) emit("\tdefs " + count + "," + value);
}

void Rewriter::checksum(const LineFields& fields) {
    const std::string at = newLabel("chk");
    const std::string from = expression(fields.operands, false);
    if (lineFailed_) return;
    emit(at + ":\tdefb 0");
    out_.checksums.push_back({at, from, where_});
}

void Rewriter::echo(const LineFields& fields) {
    const std::string at = newLabel("echo");
    for (const std::string& item : splitOperands(fields.operands)) {
        if (!item.empty() && item.front() == '"') {
            const std::optional<std::string> text = stringBytes(item);
            if (!text) return error("bad string " + item);
            out_.echoes.push_back({*text, "", at, where_});
        } else {
            out_.echoes.push_back({"", expression(item, false), at, where_});
        }
    }
    if (!lineFailed_) emit(at + ":");
}

void Rewriter::module(const LineFields& fields) {
    if (std::string why = scope_.setModule(fields.operands); !why.empty()) error(std::move(why));
}

void Rewriter::addInstruction(const LineFields& fields) {
    std::variant<UserInstruction, std::string> parsed = parseUserInstruction(fields.operands);
    if (auto* why = std::get_if<std::string>(&parsed)) return error(std::move(*why));
    userInstructions_.add(std::move(std::get<UserInstruction>(parsed)));
}

void Rewriter::localLabelChar(const LineFields& fields) {
    if (std::string why = scope_.setLocalChar(fields.operands); !why.empty()) {
        error(std::move(why));
    }
}

void Rewriter::origin(const std::string& operand, const char* directive) {
    const std::string address = constant(operand, directive);
    if (lineFailed_) return;
    emit(segmentEnd(out_.segmentOrigins.size() - 1) + ":");
    emit("\torg " + address);
    out_.segmentOrigins.push_back(where_);
    emit(segmentStart(out_.segmentOrigins.size() - 1) + ":");
}

void Rewriter::equate(const std::string& label, const std::string& operand, const char* directive) {
    const std::string value = constant(operand, directive);
    if (!lineFailed_) emit(label + ":\tequ " + value);
}

// .set gives a label defined on an earlier line (by .equ, =, as a code
// label or by .set) a new value. Each .set gives the label a new z80asm
// name; the value still sees the previous one, so "count .set count+1"
// counts.
void Rewriter::set(const std::string& written, const std::string& operand) {
    const std::string base = baseName(written);
    if (defined_.count(base) == 0) {
        return error("no such label \"" + written + "\": a label must pre-exist for .set");
    }
    const std::string value = constant(operand, ".set");
    if (lineFailed_) return;
    ++setCounts_[base];
    const std::string name = labelName(written);
    defined_.emplace(name, where_);
    emit(name + ":\tequ " + value);
}

// An expression that z80asm must compute at once: it may only use labels
// defined on earlier lines.
std::string Rewriter::constant(std::string_view written, const char* directive) {
    const size_t firstReference = references_.size();
    std::string value = expression(written, true);
    requireDefinedBefore(firstReference, directive);
    return value;
}

// z80asm computes .org and .equ at once, from the labels defined so far; a
// label defined later would silently count as 0.
void Rewriter::requireDefinedBefore(size_t firstReference, const char* directive) {
    for (size_t i = firstReference; i < references_.size(); ++i) {
        if (defined_.count(references_[i].name) != 0) continue;
        error(std::string(directive) + " uses \"" + references_[i].written +
              "\", which is not defined before this line");
        return;
    }
}

std::string Rewriter::operand(const std::string& mnemonic, const std::string& written) {
    const std::string compact = lower(withoutBlanks(written));
    if (compact == "(ix)" || compact == "(iy)") {
        return mnemonic == "jp" ? compact : compact.substr(0, 3) + "+0)";
    }
    if (contains(fixedOperands, compact)) return compact;
    const std::string_view text = written;
    if (text.empty() || text.front() != '(' || closingParenthesis(text) != text.size() - 1) {
        return expression(text, true);
    }
    const std::string_view inner = trim(text.substr(1, text.size() - 2));
    const std::string index = lower(inner.substr(0, 2));
    if ((index == "ix" || index == "iy") && inner.size() > 2 &&
        (inner[2] == '+' || inner[2] == '-' || isBlank(inner[2]))) {
        std::string_view offset = trim(inner.substr(2));
        if (!offset.empty() && offset.front() == '+') offset.remove_prefix(1);
        const std::string displacement = expression(offset, false);
        checkDisplacement(displacement);
        return "(" + index + "+" + displacement + ")";
    }
    std::string wrapped = "(";
    wrapped += expression(inner, false);
    wrapped += ")";
    return wrapped;
}

// z80asm takes any byte as an index offset, so (ix+200) would silently reach
// ix-56; an offset written as a plain number must fit a signed byte.
void Rewriter::checkDisplacement(const std::string& displacement) {
    const bool negative = !displacement.empty() && displacement.front() == '-';
    const std::string digits = displacement.substr(negative ? 1 : 0);
    if (digits.empty() || !std::all_of(digits.begin(), digits.end(), isDigit)) return;
    const bool fits = digits.size() <= 3 && std::stoi(digits) <= (negative ? 128 : 127);
    if (!fits) error("index offset " + displacement + " is out of range (-128 to 127)");
}

// `immediate`: the result stands alone as an operand, where z80asm would
// read a leading '(' as a memory operand; 0+ keeps it a value.
std::string Rewriter::expression(std::string_view written, bool immediate) {
    const LabelMapper mapper = [this](std::string_view label) {
        std::string name = labelName(label);
        references_.push_back({name, std::string(label), where_, lineIndex_});
        return name;
    };
    Translated translated = translateExpression(written, mapper);
    if (!translated.error.empty()) {
        if (lineFailed_) return "0";
        if (trim(written).empty()) {
            error("missing operand");
        } else {
            error(translated.error + " in \"" + std::string(trim(written)) + "\"");
        }
        return "0";
    }
    if (immediate && translated.text.front() == '(') return "0+" + translated.text;
    return translated.text;
}

std::string Rewriter::labelName(std::string_view written) const {
    std::string name = baseName(written);
    const auto found = setCounts_.find(name);
    if (found == setCounts_.end()) return name;
    return setName(found->second, name);
}

bool Rewriter::defineLabel(const std::string& written) {
    const std::string name = labelName(written);
    const auto [found, inserted] = defined_.emplace(name, where_);
    if (inserted) {
        const std::string base = baseName(written);
        if (name == base) {
            const bool local = base.find('.') != std::string::npos;
            out_.symbols.push_back({local ? base : written, base, local});
        }
        return true;
    }
    const Location& earlier = found->second;
    const std::string place = earlier.file + ":" + std::to_string(earlier.line);
    // A name of the program that an include file defines as well: both
    // places are named, the program's line being one of them.
    if (earlier.file != where_.file) {
        error("\"" + written + "\" is defined twice: here and at " + place);
    } else {
        error("label \"" + written + "\" is already defined at " + place);
    }
    return false;
}

}  // namespace

Rewritten rewrite(const std::vector<SourceLine>& source, std::vector<AddressCheck> checks) {
    return Rewriter().run(source, std::move(checks));
}

std::string segmentStart(size_t segment) { return "__start" + std::to_string(segment); }
std::string segmentEnd(size_t segment) { return "__end" + std::to_string(segment); }

}  // namespace tasm
