#include "rewriter.hpp"

#include <algorithm>
#include <array>
#include <map>
#include <optional>
#include <string_view>

#include "expressions.hpp"
#include "line_syntax.hpp"
#include "text.hpp"

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

bool validLabel(std::string_view name) {
    if (name.empty() || isDigit(name[0]) || name[0] == '.') return false;
    return std::all_of(name.begin(), name.end(), isNameChar);
}

std::string withoutBlanks(std::string_view text) {
    std::string out;
    for (const char c : text) {
        if (!isBlank(c)) out += c;
    }
    return out;
}

// The bytes of a string "..." with backslash escapes; nothing when the
// string does not end at its closing quote.
std::optional<std::string> stringBytes(std::string_view item) {
    std::string bytes;
    for (size_t i = 1; i < item.size(); ++i) {
        if (item[i] == '"') return i + 1 == item.size() ? std::optional(bytes) : std::nullopt;
        bytes += (item[i] == '\\' && i + 1 < item.size()) ? unescape(item[++i]) : item[i];
    }
    return std::nullopt;
}

class Rewriter {
  public:
    Rewritten run(const std::vector<SourceLine>& source);

  private:
    void line(const SourceLine& line);
    void directive(const std::string& name, const LineFields& fields, const std::string& label);
    void instruction(const LineFields& fields, const std::string& label);
    void data(const std::string& keyword, const std::string& operands, bool bytes);
    void origin(const std::string& operand);
    void equate(const std::string& label, const std::string& operand);

    std::string operand(const std::string& mnemonic, const std::string& written);
    std::string expression(std::string_view written, bool immediate);
    void checkDisplacement(const std::string& displacement);
    std::string labelName(std::string_view written) const;
    bool defineLabel(const std::string& written);
    void requireDefinedBefore(size_t firstReference, const char* directive);

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
    std::string module_ = "noname";
    std::map<std::string, Location> defined_;
    std::vector<Reference> references_;
    std::vector<std::pair<size_t, Diagnostic>> errors_;  // by the index of their line
    size_t lineIndex_ = 0;
    bool lineFailed_ = false;
};

Rewritten Rewriter::run(const std::vector<SourceLine>& source) {
    if (!source.empty()) where_ = source.front().where;
    out_.segmentOrigins.push_back(where_);
    emit(segmentStart(0) + ":");
    for (; lineIndex_ < source.size(); ++lineIndex_) line(source[lineIndex_]);
    emit(segmentEnd(out_.segmentOrigins.size() - 1) + ":");
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
    const LineFields fields = splitFields(sourceLine.text);
    const std::string word = lower(fields.word);
    std::string label;
    if (!fields.label.empty()) {
        if (!validLabel(fields.label)) return error("bad label \"" + fields.label + "\"");
        label = labelName(fields.label);
        if (!defineLabel(fields.label)) return;
    }
    if (word.empty()) {
        if (!label.empty()) emit(label + ":");
    } else if (word[0] == '.') {
        directive(word, fields, label);
    } else {
        instruction(fields, label);
    }
}

void Rewriter::directive(const std::string& name, const LineFields& fields,
                         const std::string& label) {
    if (name == ".equ") {
        if (label.empty()) return error(".equ needs a label in column 1");
        return equate(label, fields.operands);
    }
    if (!label.empty()) emit(label + ":");
    if (name == ".org") {
        origin(fields.operands);
    } else if (name == ".db") {
        data("defb", fields.operands, true);
    } else if (name == ".dw") {
        data("defw", fields.operands, false);
    } else if (name == ".module") {
        if (!validLabel(fields.operands)) return error(".module needs a name");
        module_ = lower(fields.operands);
    } else if (name != ".list" && name != ".nolist") {
        error("unknown directive " + fields.word);
    }
}

void Rewriter::instruction(const LineFields& fields, const std::string& label) {
    const std::string mnemonic = lower(fields.word);
    if (!contains(mnemonics, mnemonic)) return error("unknown instruction \"" + fields.word + "\"");
    std::string text = label.empty() ? "\t" : label + ":\t";
    text += mnemonic;
    const char* separator = " ";
    for (const std::string& written : splitOperands(fields.operands)) {
        text += separator;
        text += operand(mnemonic, written);
        separator = ",";
    }
    if (!lineFailed_) emit(text);
}

// .db takes strings (one byte per character) and expressions; .dw takes
// expressions.
void Rewriter::data(const std::string& keyword, const std::string& operands, bool bytes) {
    std::string items;
    const auto add = [&](const std::string& item) { items += (items.empty() ? "" : ",") + item; };
    for (const std::string& item : splitOperands(operands)) {
        if (!bytes || item.empty() || item.front() != '"') {
            add(expression(item, true));
            continue;
        }
        const std::optional<std::string> text = stringBytes(item);
        if (!text) return error("bad string " + item);
        for (const char c : *text) add(std::to_string(static_cast<unsigned char>(c)));
    }
    if (operands.empty()) return error("missing data");
    if (!lineFailed_ && !items.empty()) emit("\t" + keyword + " " + items);
}

void Rewriter::origin(const std::string& operand) {
    const size_t firstReference = references_.size();
    const std::string address = expression(operand, true);
    requireDefinedBefore(firstReference, ".org");
    if (lineFailed_) return;
    emit(segmentEnd(out_.segmentOrigins.size() - 1) + ":");
    emit("\torg " + address);
    out_.segmentOrigins.push_back(where_);
    emit(segmentStart(out_.segmentOrigins.size() - 1) + ":");
}

void Rewriter::equate(const std::string& label, const std::string& operand) {
    const size_t firstReference = references_.size();
    const std::string value = expression(operand, true);
    requireDefinedBefore(firstReference, ".equ");
    if (!lineFailed_) emit(label + ":\tequ " + value);
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
    const long long value = (negative ? -1 : 1) * std::stoll(digits);
    if (value < -128 || value > 127) {
        error("index offset " + std::to_string(value) + " is out of range (-128 to 127)");
    }
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
    if (!written.empty() && written.front() == '_') return module_ + "." + lower(written);
    return lower(written);
}

bool Rewriter::defineLabel(const std::string& written) {
    const std::string name = labelName(written);
    const auto [found, inserted] = defined_.emplace(name, where_);
    if (inserted) return true;
    error("label \"" + written + "\" is already defined at " + found->second.file + ":" +
          std::to_string(found->second.line));
    return false;
}

}  // namespace

Rewritten rewrite(const std::vector<SourceLine>& source) { return Rewriter().run(source); }

std::string segmentStart(size_t segment) { return "__start" + std::to_string(segment); }
std::string segmentEnd(size_t segment) { return "__end" + std::to_string(segment); }

}  // namespace tasm
