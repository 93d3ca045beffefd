// SPDX-License-Identifier: GPL-2.0-or-later
#include "debug_expression.hpp"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <optional>

namespace calcview::debug {

namespace {

using Op = Expression::Node::Op;

/// Bounds that keep parsing and evaluation shallow whatever a client sends.
constexpr std::size_t maxTokens = 256;
constexpr int maxNesting = 32;

struct Token {
    enum class Kind { end, word, number, symbol, open, close } kind = Kind::end;
    std::string text;
};

bool isNameChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$';
}

std::string lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

/// Splits the text into words (names, numbers, and/or), comparators and
/// parentheses; nullopt with `error` at a character that belongs to none.
std::optional<std::vector<Token>> tokenize(std::string_view text, std::string& error) {
    std::vector<Token> tokens;
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (std::isspace(static_cast<unsigned char>(c))) {
            ++i;
        } else if (c == '(' || c == ')') {
            tokens.push_back(
                {c == '(' ? Token::Kind::open : Token::Kind::close, std::string(1, c)});
            ++i;
        } else if (isNameChar(c) || c == '-') {
            std::size_t j = i + 1;
            while (j < text.size() && isNameChar(text[j])) ++j;
            tokens.push_back({Token::Kind::word, std::string(text.substr(i, j - i))});
            i = j;
        } else {
            static constexpr std::array<std::string_view, 10> symbols = {
                "==", "<>", "!=", "<=", ">=", "&&", "||", "=", "<", ">"};
            bool found = false;
            for (auto symbol : symbols) {
                if (text.substr(i, symbol.size()) == symbol) {
                    tokens.push_back({Token::Kind::symbol, std::string(symbol)});
                    i += symbol.size();
                    found = true;
                    break;
                }
            }
            if (!found) {
                const char quoted[] = {'\'', c, '\'', '\0'};
                error = std::string(quoted) + " is not part of an expression";
                return std::nullopt;
            }
        }
    }
    if (tokens.size() > maxTokens) {
        error = "the expression is too long (at most " + std::to_string(maxTokens) + " parts)";
        return std::nullopt;
    }
    tokens.push_back({});
    return tokens;
}

std::optional<std::int32_t> parseDigits(std::string_view digits, int base) {
    if (digits.empty() || digits.size() > 6) return std::nullopt;
    std::int32_t value = 0;
    for (char c : digits) {
        const int digit = std::isdigit(static_cast<unsigned char>(c))
                              ? c - '0'
                              : (std::isxdigit(static_cast<unsigned char>(c))
                                     ? std::tolower(static_cast<unsigned char>(c)) - 'a' + 10
                                     : 99);
        if (digit >= base) return std::nullopt;
        value = value * base + digit;
    }
    return value;
}

/// 123, 7Bh, $7B; -1 is FFFFh. nullopt: not a number.
std::optional<std::int32_t> parseNumber(std::string_view word, bool digitFirst) {
    const bool negative = !word.empty() && word.front() == '-';
    if (negative) word.remove_prefix(1);
    std::optional<std::int32_t> value;
    if (!word.empty() && word.front() == '$') {
        value = parseDigits(word.substr(1), 16);
    } else if (!word.empty() && (word.back() == 'h' || word.back() == 'H') &&
               (!digitFirst || std::isdigit(static_cast<unsigned char>(word.front())))) {
        value = parseDigits(word.substr(0, word.size() - 1), 16);
    } else if (!word.empty() && std::isdigit(static_cast<unsigned char>(word.front()))) {
        value = parseDigits(word, 10);
    }
    if (!value || *value > 0xFFFF) return std::nullopt;
    return negative ? (0x10000 - *value) & 0xFFFF : *value;
}

}  // namespace

class ExpressionParser {
  public:
    ExpressionParser(std::vector<Token> tokens, const NameResolver& resolve)
        : tokens_(std::move(tokens)), resolve_(resolve) {}

    std::optional<Expression> parse(std::string& error) {
        const int root = disjunction();
        if (root >= 0 && peek().kind != Token::Kind::end)
            fail("'" + peek().text + "' is not expected here");
        if (!error_.empty()) {
            error = error_;
            return std::nullopt;
        }
        expression_.root_ = root;
        if (!expression_.compile()) {
            error = "the expression is nested too deeply";
            return std::nullopt;
        }
        return std::move(expression_);
    }

  private:
    const Token& peek() const { return tokens_[position_]; }
    bool takeWord(std::string_view a, std::string_view b) {
        const Token& token = peek();
        if (token.kind == Token::Kind::end || token.kind == Token::Kind::open ||
            token.kind == Token::Kind::close) {
            return false;
        }
        const std::string text = lower(token.text);
        if (text != a && text != b) return false;
        ++position_;
        return true;
    }
    int fail(std::string message) {
        if (error_.empty()) error_ = std::move(message);
        return -1;
    }
    int add(Expression::Node node) {
        expression_.nodes_.push_back(std::move(node));
        return static_cast<int>(expression_.nodes_.size() - 1);
    }
    int combine(Op op, int left, int right) {
        if (left < 0 || right < 0) return -1;
        Expression::Node node;
        node.op = op;
        node.left = left;
        node.right = right;
        return add(std::move(node));
    }

    int disjunction() {
        int left = conjunction();
        while (left >= 0 && takeWord("or", "||")) left = combine(Op::orOp, left, conjunction());
        return left;
    }
    int conjunction() {
        int left = comparison();
        while (left >= 0 && takeWord("and", "&&")) left = combine(Op::andOp, left, comparison());
        return left;
    }
    int comparison() {
        const int left = operand();
        if (left < 0 || peek().kind != Token::Kind::symbol) return left;
        static const std::pair<std::string_view, Op> comparators[] = {
            {"=", Op::eq}, {"==", Op::eq}, {"<>", Op::ne}, {"!=", Op::ne},
            {"<", Op::lt}, {"<=", Op::le}, {">", Op::gt},  {">=", Op::ge}};
        for (const auto& [text, op] : comparators) {
            if (peek().text == text) {
                ++position_;
                return combine(op, left, operand());
            }
        }
        return left;  // && and ||: for the callers
    }
    int operand() {
        const Token token = peek();
        switch (token.kind) {
            case Token::Kind::end:
                return fail(position_ == 0 ? "the expression is empty"
                                           : "the expression ends where a value should follow");
            case Token::Kind::close:
                return fail("')' comes where a value should");
            case Token::Kind::symbol:
                return fail("'" + token.text + "' comes where a value should");
            case Token::Kind::open: {
                ++position_;
                if (++nesting_ > maxNesting) return fail("the parentheses are nested too deeply");
                const int inner = disjunction();
                --nesting_;
                if (inner < 0) return -1;
                if (peek().kind != Token::Kind::close) return fail("a '(' is not closed");
                ++position_;
                return inner;
            }
            default:
                break;
        }
        ++position_;
        Expression::Node node;
        if (auto number = parseNumber(token.text, true)) {
            node.number = *number;
            return add(std::move(node));
        }
        if (auto name = resolve_(token.text)) {
            node.op = Op::name;
            node.name = std::move(*name);
            return add(std::move(node));
        }
        if (auto number = parseNumber(token.text, false)) {
            node.number = *number;
            return add(std::move(node));
        }
        const char first = token.text.front();
        if (std::isdigit(static_cast<unsigned char>(first)) || first == '$' || first == '-') {
            return fail("'" + token.text + "' is not a number from 0 to 65535");
        }
        return fail("'" + token.text + "' is neither a variable of the program nor a register");
    }

    std::vector<Token> tokens_;
    const NameResolver& resolve_;
    std::size_t position_ = 0;
    int nesting_ = 0;
    Expression expression_;
    std::string error_;
};

std::optional<Expression> Expression::parse(std::string_view text, const NameResolver& resolve,
                                            std::string& error) {
    auto tokens = tokenize(text, error);
    if (!tokens) return std::nullopt;
    return ExpressionParser(std::move(*tokens), resolve).parse(error);
}

std::int32_t Expression::evaluate(const NameReader& read) const { return evaluateWith(read); }

bool Expression::compile() {
    program_.clear();
    std::size_t deepest = 0;
    compileNode(root_, 0, deepest);
    return deepest <= stackSize;
}

void Expression::compileNode(int index, std::size_t depth, std::size_t& deepest) {
    using StepOp = Step::Op;
    const Node& node = nodes_[static_cast<std::size_t>(index)];
    const auto leaf = [&](int at) -> std::optional<Operand> {
        const Node& n = nodes_[static_cast<std::size_t>(at)];
        if (n.op == Op::number) return Operand{false, n.number};
        if (n.op == Op::name) return Operand{true, at};
        return std::nullopt;
    };
    if (const auto operand = leaf(index)) {
        program_.push_back({StepOp::operand, 0, *operand, {}, 0});
        deepest = std::max(deepest, depth + 1);
        return;
    }
    if (node.op == Op::andOp || node.op == Op::orOp) {
        compileNode(node.left, depth, deepest);
        const std::size_t jump = program_.size();
        program_.push_back({node.op == Op::andOp ? StepOp::andJump : StepOp::orJump, 0, {}, {}, 0});
        compileNode(node.right, depth, deepest);
        program_.push_back({StepOp::truth, 0, {}, {}, 0});
        program_[jump].target = static_cast<std::int32_t>(program_.size());
        return;
    }
    // Less, equal, greater: which of them each comparison holds for.
    constexpr std::uint8_t holds[] = {0b010, 0b101, 0b001, 0b011, 0b100, 0b110};
    const std::uint8_t comparison = holds[static_cast<int>(node.op) - static_cast<int>(Op::eq)];
    const auto left = leaf(node.left), right = leaf(node.right);
    if (left && right) {
        program_.push_back({StepOp::compareOperands, comparison, *left, *right, 0});
        deepest = std::max(deepest, depth + 1);
        return;
    }
    compileNode(node.left, depth, deepest);
    compileNode(node.right, depth + 1, deepest);
    program_.push_back({StepOp::compare, comparison, {}, {}, 0});
}

bool Expression::isTruth() const {
    const Op op = nodes_[static_cast<std::size_t>(root_)].op;
    return op != Op::number && op != Op::name;
}

const NameRef* Expression::soleName() const {
    const Node& node = nodes_[static_cast<std::size_t>(root_)];
    return node.op == Op::name ? &node.name : nullptr;
}

bool HitCondition::holds(std::uint64_t hits) const {
    switch (op) {
        case Op::equal:
            return hits == count;
        case Op::atLeast:
            return hits >= count;
        case Op::greater:
            return hits > count;
        case Op::every:
            return hits % count == 0;
    }
    return false;
}

std::optional<HitCondition> HitCondition::parse(std::string_view text, std::string& error) {
    static const std::pair<std::string_view, Op> forms[] = {{">=", Op::atLeast}, {"==", Op::equal},
                                                            {"=", Op::equal},    {">", Op::greater},
                                                            {"%", Op::every},    {"", Op::equal}};
    std::size_t start = text.find_first_not_of(" \t");
    if (start == std::string_view::npos) start = text.size();
    for (const auto& [prefix, op] : forms) {
        if (text.substr(start, prefix.size()) != prefix) continue;
        std::string_view rest = text.substr(start + prefix.size());
        while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t'))
            rest.remove_prefix(1);
        while (!rest.empty() && (rest.back() == ' ' || rest.back() == '\t')) rest.remove_suffix(1);
        const auto count = parseDigits(rest, 10);
        if (!count || *count == 0) break;
        return HitCondition{op, static_cast<std::uint64_t>(*count)};
    }
    error = "the hit count '" + std::string(text) +
            "' is none of N (the N-th hit), >= N (from the N-th on) and % N (every N-th), "
            "with N from 1 to 999999";
    return std::nullopt;
}

std::optional<LogMessage> LogMessage::parse(std::string_view text, const NameResolver& resolve,
                                            std::string& error) {
    LogMessage message;
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t open = text.find('{', i);
        if (open == std::string_view::npos) {
            message.parts_.emplace_back(std::string(text.substr(i)));
            break;
        }
        if (open > i) message.parts_.emplace_back(std::string(text.substr(i, open - i)));
        const std::size_t close = text.find('}', open);
        if (close == std::string_view::npos) {
            error = "a '{' in the log message is not closed";
            return std::nullopt;
        }
        std::string inner;
        auto expression =
            Expression::parse(text.substr(open + 1, close - open - 1), resolve, inner);
        if (!expression) {
            error = "in {" + std::string(text.substr(open + 1, close - open - 1)) + "}: " + inner;
            return std::nullopt;
        }
        message.parts_.emplace_back(std::move(*expression));
        i = close + 1;
    }
    return message;
}

std::string LogMessage::format(const NameReader& read) const {
    std::string out;
    for (const auto& part : parts_) {
        if (const auto* text = std::get_if<std::string>(&part)) {
            out += *text;
        } else {
            out += std::to_string(std::get<Expression>(part).evaluate(read));
        }
    }
    return out;
}

std::string describeWord(std::uint16_t value) {
    std::array<char, 40> text{};
    std::snprintf(text.data(), text.size(), "%u (%04Xh, low byte %u)", value, value, value & 0xFFu);
    return text.data();
}

}  // namespace calcview::debug
