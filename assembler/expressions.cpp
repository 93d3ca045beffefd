// SPDX-License-Identifier: GPL-2.0-or-later
#include "expressions.hpp"

#include <vector>

#include "text.hpp"

namespace tasm {

namespace {

std::optional<uint32_t> digitsValue(std::string_view digits, unsigned base) {
    if (digits.empty()) return std::nullopt;
    uint64_t value = 0;
    for (const char c : digits) {
        const char l = lower(std::string_view(&c, 1))[0];
        unsigned digit = 0;
        if (isDigit(l)) {
            digit = static_cast<unsigned>(l - '0');
        } else if (l >= 'a' && l <= 'f') {
            digit = static_cast<unsigned>(l - 'a' + 10);
        } else {
            return std::nullopt;
        }
        if (digit >= base) return std::nullopt;
        value = value * base + digit;
        if (value > 0xFFFFFFFFu) return std::nullopt;
    }
    return static_cast<uint32_t>(value);
}

// A partial expression in z80asm syntax; `compound` when it must be put in
// parentheses before it is combined with another operand. `value` is known
// while every operand so far has one.
struct Piece {
    std::string text;
    bool compound = false;
    std::optional<int64_t> value;
};

// Sums, differences, products and negations wrap around instead of
// overflowing.
int64_t wrap(uint64_t value) { return static_cast<int64_t>(value); }

std::optional<int64_t> combine(int64_t a, std::string_view op, int64_t b) {
    const uint64_t ua = static_cast<uint64_t>(a);
    const uint64_t ub = static_cast<uint64_t>(b);
    if (op == "+") return wrap(ua + ub);
    if (op == "-") return wrap(ua - ub);
    if (op == "*") return wrap(ua * ub);
    if ((op == "/" || op == "%") && b == 0) return std::nullopt;
    if ((op == "/" || op == "%") && b == -1) return op == "/" ? wrap(0 - ua) : 0;
    if (op == "/") return a / b;
    if (op == "%") return a % b;
    if (op == "&") return a & b;
    if (op == "|") return a | b;
    if (op == "^") return a ^ b;
    if (op == "<<") return (b < 0 || b > 63) ? 0 : wrap(ua << b);
    if (op == ">>") return (b < 0 || b > 63) ? (a < 0 ? -1 : 0) : a >> b;
    if (op == "==") return a == b;
    if (op == "!=") return a != b;
    if (op == "<") return a < b;
    if (op == ">") return a > b;
    if (op == "<=") return a <= b;
    return a >= b;
}

std::string wrapped(const Piece& piece) {
    return piece.compound ? "(" + piece.text + ")" : piece.text;
}

// A piece whose value is known is written as that number: z80asm then
// reads a short number instead of a long parenthesised expression.
Piece folded(Piece piece) {
    if (!piece.value) return piece;
    return Piece{std::to_string(*piece.value), *piece.value < 0, piece.value};
}

// z80asm has no remainder operator; a%b is a-((a/b)*b) with its division,
// parenthesised so that it also reads right from left to right.
std::string joined(const Piece& left, const std::string& op, const Piece& right) {
    const std::string a = wrapped(left);
    const std::string b = wrapped(right);
    if (op == "%") return a + "-((" + a + "/" + b + ")*" + b + ")";
    return a + op + b;
}

class Parser {
  public:
    Parser(std::string_view text, const LabelMapper& labels, const ValueLookup& values)
        : text_(text), labels_(labels), values_(values) {}

    std::optional<Piece> run() {
        std::optional<Piece> whole = expression();
        skipBlanks();
        if (whole && pos_ < text_.size()) {
            fail(text_[pos_] == ')' || text_[pos_] == ']'
                     ? "unbalanced '" + std::string(1, text_[pos_]) + "'"
                     : "unexpected '" + std::string(1, text_[pos_]) + "'");
        }
        if (!error_.empty()) return std::nullopt;
        return whole;
    }
    const std::string& error() const { return error_; }

  private:
    std::optional<Piece> expression();
    std::optional<Piece> operand();
    std::optional<Piece> number();
    std::optional<Piece> name();
    std::optional<std::string> binaryOperator();

    void skipBlanks() {
        while (pos_ < text_.size() && isBlank(text_[pos_])) ++pos_;
    }
    bool at(char c) const { return pos_ < text_.size() && text_[pos_] == c; }
    bool atAnyOf(std::string_view set, size_t offset = 0) const {
        return pos_ + offset < text_.size() && set.find(text_[pos_ + offset]) != set.npos;
    }
    std::nullopt_t fail(std::string message) {
        if (error_.empty()) error_ = std::move(message);
        return std::nullopt;
    }

    std::string_view text_;
    const LabelMapper& labels_;
    const ValueLookup& values_;
    size_t pos_ = 0;
    std::string error_;
};

std::optional<Piece> Parser::expression() {
    std::optional<Piece> left = operand();
    if (!left) return std::nullopt;
    for (;;) {
        skipBlanks();
        if (pos_ >= text_.size() || at(')') || at(']')) return left;
        std::optional<std::string> op = binaryOperator();
        if (!op) return std::nullopt;
        std::optional<Piece> right = operand();
        if (!right) return std::nullopt;
        std::optional<int64_t> value;
        if (left->value && right->value) {
            value = combine(*left->value, *op, *right->value);
            if (!value && values_) return fail("division by zero");
        }
        left = folded(Piece{joined(*left, *op, *right), true, value});
    }
}

std::optional<std::string> Parser::binaryOperator() {
    static constexpr std::string_view twoChar[] = {"<<", ">>", "==", "!=", "<=", ">="};
    for (const std::string_view op : twoChar) {
        if (text_.substr(pos_, 2) == op) {
            pos_ += 2;
            return std::string(op);
        }
    }
    if (atAnyOf("+-*/%&|^<>")) return std::string(1, text_[pos_++]);
    if (at('=')) {
        ++pos_;
        return std::string("==");
    }
    return fail("unexpected '" + std::string(1, text_[pos_]) + "' where an operator belongs");
}

std::optional<Piece> Parser::operand() {
    skipBlanks();
    if (pos_ >= text_.size()) return fail("missing operand");
    const char c = text_[pos_];
    // Brackets group as parentheses do, where a parenthesis would make an
    // operand a memory reference.
    if (c == '(' || c == '[') {
        const char close = c == '(' ? ')' : ']';
        ++pos_;
        std::optional<Piece> inner = expression();
        if (!inner) return std::nullopt;
        if (!at(close)) return fail("missing '" + std::string(1, close) + "'");
        ++pos_;
        return folded(Piece{"(" + inner->text + ")", false, inner->value});
    }
    if (c == '-' || c == '~' || c == '+') {
        ++pos_;
        std::optional<Piece> inner = operand();
        if (!inner) return std::nullopt;
        std::optional<int64_t> value = inner->value;
        if (value && c == '-') value = wrap(0 - static_cast<uint64_t>(*value));
        if (value && c == '~') value = ~*value;
        std::string text(1, c);
        text += wrapped(*inner);
        return folded(Piece{std::move(text), true, value});
    }
    if ((c == '$' && !atAnyOf("0123456789abcdefABCDEF", 1)) || c == '*') {
        ++pos_;
        if (!values_) return Piece{"$", false, std::nullopt};
        const std::optional<int64_t> value = values_("$");
        if (!value) return fail("the location counter has no value here");
        return Piece{"$", false, value};
    }
    if (c == '\'') {
        const size_t length = quotedLength(text_, pos_);
        if (length == 0) return fail("bad character constant");
        size_t at = pos_ + 2;
        const std::optional<unsigned char> value =
            length == 3 ? static_cast<unsigned char>(text_[pos_ + 1]) : escapedByte(text_, at);
        if (!value) return fail("bad character constant");
        pos_ += length;
        return Piece{std::to_string(*value), false, *value};
    }
    if (isDigit(c) || c == '$' || c == '%' || c == '@') return number();
    if (isNameChar(c)) return name();
    return fail("unexpected '" + std::string(1, c) + "'");
}

std::optional<Piece> Parser::name() {
    const size_t start = pos_;
    while (pos_ < text_.size() && isNameChar(text_[pos_])) ++pos_;
    const std::string_view written = text_.substr(start, pos_ - start);
    if (!values_) return Piece{labels_(written), false, std::nullopt};
    const std::optional<int64_t> value = values_(written);
    if (!value) {
        std::string message = "\"";
        message += written;
        message += "\" is not defined";
        return fail(std::move(message));
    }
    return Piece{std::string(written), false, value};
}

std::optional<Piece> Parser::number() {
    const size_t start = pos_++;
    while (pos_ < text_.size() && isNameChar(text_[pos_]) && text_[pos_] != '.') ++pos_;
    const std::string_view written = text_.substr(start, pos_ - start);
    const std::optional<uint32_t> value = parseNumber(written);
    if (!value) return fail("bad number '" + std::string(written) + "'");
    return Piece{std::to_string(*value), false, *value};
}

}  // namespace

std::optional<uint32_t> parseNumber(std::string_view text) {
    if (text.empty()) return std::nullopt;
    if (text[0] == '$') return digitsValue(text.substr(1), 16);
    if (text[0] == '%') return digitsValue(text.substr(1), 2);
    if (text[0] == '@') return digitsValue(text.substr(1), 8);
    if (!isDigit(text[0])) return std::nullopt;
    const std::string_view body = text.substr(0, text.size() - 1);
    switch (lower(text.substr(text.size() - 1))[0]) {
        case 'h':
            return digitsValue(body, 16);
        case 'b':
            return digitsValue(body, 2);
        case 'd':
            return digitsValue(body, 10);
        case 'o':
        case 'q':
            return digitsValue(body, 8);
        default:
            return digitsValue(text, 10);
    }
}

Translated translateExpression(std::string_view text, const LabelMapper& labels) {
    const ValueLookup none;
    Parser parser(text, labels, none);
    const std::optional<Piece> whole = parser.run();
    if (!whole) return {"", parser.error()};
    return {whole->text, ""};
}

Evaluated evaluateExpression(std::string_view text, const ValueLookup& values) {
    const LabelMapper same = [](std::string_view name) { return std::string(name); };
    Parser parser(text, same, values);
    const std::optional<Piece> whole = parser.run();
    if (!whole) return {0, parser.error()};
    return {*whole->value, ""};
}

}  // namespace tasm
