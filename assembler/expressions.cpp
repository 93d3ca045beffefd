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
// parentheses before it is combined with another operand.
struct Piece {
    std::string text;
    bool compound = false;
};

std::string wrapped(const Piece& piece) {
    return piece.compound ? "(" + piece.text + ")" : piece.text;
}

class Parser {
  public:
    Parser(std::string_view text, const LabelMapper& labels) : text_(text), labels_(labels) {}

    Translated run() {
        std::optional<Piece> whole = expression();
        skipBlanks();
        if (whole && pos_ < text_.size()) {
            fail(text_[pos_] == ')' ? "unbalanced ')'"
                                    : "unexpected '" + std::string(1, text_[pos_]) + "'");
        }
        if (!error_.empty()) return {"", error_};
        return {whole->text, ""};
    }

  private:
    std::optional<Piece> expression();
    std::optional<Piece> operand();
    std::optional<Piece> number();
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
    size_t pos_ = 0;
    std::string error_;
};

std::optional<Piece> Parser::expression() {
    std::optional<Piece> left = operand();
    if (!left) return std::nullopt;
    for (;;) {
        skipBlanks();
        if (pos_ >= text_.size() || at(')')) return left;
        std::optional<std::string> op = binaryOperator();
        if (!op) return std::nullopt;
        std::optional<Piece> right = operand();
        if (!right) return std::nullopt;
        left = Piece{wrapped(*left) + *op + wrapped(*right), true};
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
    if (c == '(') {
        ++pos_;
        std::optional<Piece> inner = expression();
        if (!inner) return std::nullopt;
        if (!at(')')) return fail("missing ')'");
        ++pos_;
        return Piece{"(" + inner->text + ")", false};
    }
    if (c == '-' || c == '~' || c == '+') {
        ++pos_;
        std::optional<Piece> inner = operand();
        if (!inner) return std::nullopt;
        return Piece{std::string(1, c) + wrapped(*inner), true};
    }
    if (c == '$' && !atAnyOf("0123456789abcdefABCDEF", 1)) {
        ++pos_;
        return Piece{"$", false};
    }
    if (c == '\'') {
        const size_t length = quotedLength(text_, pos_);
        if (length == 0) return fail("bad character constant");
        unsigned char value = static_cast<unsigned char>(text_[pos_ + 1]);
        if (length == 4) value = static_cast<unsigned char>(unescape(text_[pos_ + 2]));
        pos_ += length;
        return Piece{std::to_string(value), false};
    }
    if (isDigit(c) || c == '$' || c == '%' || c == '@') return number();
    if (isNameChar(c)) {
        const size_t start = pos_;
        while (pos_ < text_.size() && isNameChar(text_[pos_])) ++pos_;
        return Piece{labels_(text_.substr(start, pos_ - start)), false};
    }
    return fail("unexpected '" + std::string(1, c) + "'");
}

std::optional<Piece> Parser::number() {
    const size_t start = pos_++;
    while (pos_ < text_.size() && isNameChar(text_[pos_]) && text_[pos_] != '.') ++pos_;
    const std::string_view written = text_.substr(start, pos_ - start);
    const std::optional<uint32_t> value = parseNumber(written);
    if (!value) return fail("bad number '" + std::string(written) + "'");
    return Piece{std::to_string(*value), false};
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
    return Parser(text, labels).run();
}

}  // namespace tasm
