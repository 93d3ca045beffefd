// SPDX-License-Identifier: GPL-2.0-or-later
#include "expressions.hpp"

#include <gtest/gtest.h>

#include "text.hpp"

namespace tasm {
namespace {

struct NumberCase {
    const char* text;
    std::optional<uint32_t> value;
};

TEST(ParseNumber, ReadsEveryNotation) {
    const NumberCase cases[] = {
        {"255", 255},
        {"33381d", 33381},
        {"$FF", 255},
        {"$ff", 255},
        {"0FFh", 255},
        {"0ffH", 255},
        {"%0101", 5},
        {"0101b", 5},
        {"0101B", 5},
        {"@17", 15},
        {"17o", 15},
        {"17q", 15},
        {"0", 0},
        {"$FFFFFFFF", 0xFFFFFFFFu},
        {"FFh", std::nullopt},  // a label, not a number
        {"12AB", std::nullopt},
        {"0102b", std::nullopt},
        {"$", std::nullopt},
        {"%", std::nullopt},
        {"19d0", std::nullopt},
        {"$100000000", std::nullopt},
        {"99999999999", std::nullopt},
    };
    for (const NumberCase& c : cases) EXPECT_EQ(parseNumber(c.text), c.value) << c.text;
}

struct ExpressionCase {
    const char* text;
    const char* translated;  ///< nullptr: an error is expected
};

TEST(TranslateExpression, KeepsStrictLeftToRightOrder) {
    const ExpressionCase cases[] = {
        {"2+3*4", "20"},
        {"a+b*c", "(a+b)*c"},
        {"a + b * c", "(a+b)*c"},
        {"x-2-3", "(x-2)-3"},
        {"a-(b+c)", "a-(b+c)"},
        {"x*(3+4)", "x*7"},
        {"[x+1]*2", "(x+1)*2"},
        {"[(x)]", "((x))"},
        {"-x*2", "(-x)*2"},
        {"x*-2", "x*(-2)"},
        {"~x&$FF", "(~x)&255"},
        {"a|b^c&d", "((a|b)^c)&d"},
        {"x<<4>>2", "(x<<4)>>2"},
        {"a=b", "a==b"},
        {"x%3", "x-((x/3)*3)"},
        {"x%3*2", "(x-((x/3)*3))*2"},
        {"%0101%3*2", "4"},
        {"*+1", "$+1"},
        {"$+2", "$+2"},
        {"'A'+x", "65+x"},
        {"';'", "59"},
        {"'\\n'", "10"},
        {"Start._loop", "start._loop"},
        {"0FFh", "255"},
        {"1-2", "-1"},
        {"1-2+x", "(-1)+x"},
        {"1/0+x", "(1/0)+x"},
        {"", nullptr},
        {"2+", nullptr},
        {"(2", nullptr},
        {"[2)", nullptr},
        {"2)", nullptr},
        {"2 3", nullptr},
        {"\"ab\"", nullptr},
        {"12AB", nullptr},
        {"2+,3", nullptr},
    };
    const LabelMapper mapper = [](std::string_view label) { return lower(label); };
    for (const ExpressionCase& c : cases) {
        const Translated result = translateExpression(c.text, mapper);
        if (c.translated == nullptr) {
            EXPECT_FALSE(result.error.empty()) << c.text << " gave " << result.text;
        } else {
            EXPECT_EQ(result.text, c.translated) << c.text << ": " << result.error;
        }
    }
}

TEST(TranslateExpression, HandsEveryLabelToTheMapper) {
    std::vector<std::string> seen;
    const LabelMapper mapper = [&](std::string_view label) {
        seen.emplace_back(label);
        std::string mapped = "L";
        mapped += label;
        return mapped;
    };
    EXPECT_EQ(translateExpression("one+_two*$+three", mapper).text, "((Lone+L_two)*$)+Lthree");
    EXPECT_EQ(seen, (std::vector<std::string>{"one", "_two", "three"}));
}

}  // namespace
}  // namespace tasm
