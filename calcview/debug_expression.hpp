// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The expressions a debugger's user writes: breakpoint conditions, watches,
// the {name} parts of a log message. Operands are numbers (decimal, nnnnh,
// $nnnn), the program's variables and the registers; they compare with = ==
// <> != < <= > >= and combine with and/or (&& ||) and parentheses.
//
//   expression := conjunction { ("or" | "||") conjunction }
//   conjunction := comparison { ("and" | "&&") comparison }
//   comparison := operand [ comparator operand ]
//   operand    := number | name | "(" expression ")"
//
// Names are resolved when the expression is parsed, so a condition that
// names nothing is refused then, not at the breakpoint. A variable spelt
// exactly as written comes first, then a register (in any case), then a
// variable in another case.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace calcview::debug {

/// What a name in an expression stands for.
struct NameRef {
    enum class Kind { variable, reg8high, reg8low, reg16 } kind = Kind::variable;
    std::uint16_t address = 0;  ///< a variable's
    int reg = 0;                ///< a register pair (Reg's value)
    std::string name;           ///< as resolved ("x", "HL")
};

/// Looks a name up: nullopt when it names nothing.
using NameResolver = std::function<std::optional<NameRef>(std::string_view)>;
/// Reads what a name stands for.
using NameReader = std::function<std::uint16_t(const NameRef&)>;

class Expression {
  public:
    /// nullopt with `error` saying what does not parse.
    static std::optional<Expression> parse(std::string_view text, const NameResolver& resolve,
                                           std::string& error);
    std::int32_t evaluate(const NameReader& read) const;
    /// The same with any callable read(const NameRef&) -> std::uint16_t:
    /// nothing allocated, no recursion, for a condition decided inside the run.
    template <typename Read>
    std::int32_t evaluateWith(const Read& read) const {
        std::array<std::int32_t, stackSize> stack;
        std::size_t top = 0;  // stack[top - 1] is the top
        const Step* const steps = program_.data();
        const std::size_t count = program_.size();
        for (std::size_t i = 0; i < count; ++i) {
            const Step& step = steps[i];
            switch (step.op) {
                case Step::Op::operand:
                    stack[top++] = operandValue(step.left, read);
                    break;
                case Step::Op::compareOperands:
                    stack[top++] = compare(step.comparison, operandValue(step.left, read),
                                           operandValue(step.right, read));
                    break;
                case Step::Op::andJump:  // false: that is the value, skip the right side
                    if (stack[top - 1] == 0) {
                        i = static_cast<std::size_t>(step.target) - 1;
                    } else {
                        --top;
                    }
                    break;
                case Step::Op::orJump:
                    if (stack[top - 1] != 0) {
                        stack[top - 1] = 1;
                        i = static_cast<std::size_t>(step.target) - 1;
                    } else {
                        --top;
                    }
                    break;
                case Step::Op::truth:
                    stack[top - 1] = stack[top - 1] != 0;
                    break;
                case Step::Op::compare: {
                    const std::int32_t right = stack[--top];
                    stack[top - 1] = compare(step.comparison, stack[top - 1], right);
                    break;
                }
            }
        }
        return stack[0];
    }
    /// Whether its value is a truth (a comparison or and/or) rather than a number.
    bool isTruth() const;
    /// The one name it is, if it is just a name.
    const NameRef* soleName() const;

    struct Node {
        enum class Op { number, name, eq, ne, lt, le, gt, ge, andOp, orOp } op = Op::number;
        std::int32_t number = 0;
        NameRef name;
        int left = -1, right = -1;  ///< indices into nodes
    };

  private:
    /// A number, or a name (its node) to read.
    struct Operand {
        bool isName = false;
        std::int32_t value = 0;
    };
    /// The tree in postfix order, and/or short-circuiting by jumps; a
    /// comparison of two operands is one step.
    struct Step {
        enum class Op : std::uint8_t {
            operand,
            compareOperands,
            compare,
            andJump,
            orJump,
            truth
        } op = Op::operand;
        /// For a comparison: bit 0, 1, 2 say whether it holds when the left
        /// side is less than, equal to, greater than the right.
        std::uint8_t comparison = 0;
        Operand left, right;
        std::int32_t target = 0;  ///< where a jump goes
    };
    static constexpr std::size_t stackSize = 64;
    static std::int32_t compare(std::uint8_t holds, std::int32_t left, std::int32_t right) {
        const int order = left < right ? 0 : (left == right ? 1 : 2);
        return (holds >> order) & 1;
    }
    template <typename Read>
    std::int32_t operandValue(const Operand& operand, const Read& read) const {
        return operand.isName ? read(nodes_[static_cast<std::size_t>(operand.value)].name)
                              : operand.value;
    }
    /// Fills program_ from the tree; false when it would need a deeper stack.
    bool compile();
    void compileNode(int index, std::size_t depth, std::size_t& deepest);

    std::vector<Step> program_;
    std::vector<Node> nodes_;
    int root_ = -1;
    friend class ExpressionParser;
};

/// A hit condition: "N" stops at the N-th hit, ">= N" from it on, "% N" at
/// every N-th (also "== N", "> N").
struct HitCondition {
    enum class Op { equal, atLeast, greater, every } op = Op::atLeast;
    std::uint64_t count = 1;
    bool holds(std::uint64_t hits) const;
    /// nullopt with `error` for a condition that does not parse.
    static std::optional<HitCondition> parse(std::string_view text, std::string& error);
};

/// A log message with {expression} parts.
class LogMessage {
  public:
    static std::optional<LogMessage> parse(std::string_view text, const NameResolver& resolve,
                                           std::string& error);
    std::string format(const NameReader& read) const;

  private:
    std::vector<std::variant<std::string, Expression>> parts_;
};

/// "300 (012Ch, low byte 44)": a word as the Variables scope shows it.
std::string describeWord(std::uint16_t value);

}  // namespace calcview::debug
