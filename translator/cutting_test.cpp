// SPDX-License-Identifier: GPL-2.0-or-later
#include "cutting.hpp"

#include <gtest/gtest.h>

namespace trovik {
namespace {

TEST(Cutting, FirstAndLastCharsClampTheirCount) {
    EXPECT_EQ(firstChars("abc", -1), "");
    EXPECT_EQ(firstChars("abc", 0), "");
    EXPECT_EQ(firstChars("abc", 2), "ab");
    EXPECT_EQ(firstChars("abc", 9), "abc");
    EXPECT_EQ(lastChars("abc", -3), "");
    EXPECT_EQ(lastChars("abc", 2), "bc");
    EXPECT_EQ(lastChars("abc", 4), "abc");
}

TEST(Cutting, LeadingBlanksAreOnlyTabLineFeedReturnAndSpace) {
    EXPECT_EQ(leadingBlankCount(" \t\r\ninc(x); "), 4u);
    EXPECT_EQ(leadingBlankCount("\vinc(x);"), 0u);
    EXPECT_EQ(leadingBlankCount("   "), 3u);
}

struct KeywordCase {
    const char* line;
    const char* keyword;
    bool matches;
};

class MatchKeyword : public ::testing::TestWithParam<KeywordCase> {};

TEST_P(MatchKeyword, ComparesAsciiLettersWithoutCase) {
    CuttingState state;
    state.currentLine = GetParam().line;
    EXPECT_EQ(state.matchKeyword(GetParam().keyword), GetParam().matches);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, MatchKeyword,
    ::testing::Values(KeywordCase{"inc(x);", "inc(", true}, KeywordCase{"INC(x);", "inc(", true},
                      KeywordCase{"iNc(x);", "inc(", true}, KeywordCase{"in", "inc(", false},
                      KeywordCase{" inc(x);", "inc(", false},
                      KeywordCase{"inc (x);", "inc(", false},
                      KeywordCase{"lsprite(a);", "sprite(", false},
                      KeywordCase{"^x:=1;", "^", true}, KeywordCase{"~x", "^", false},
                      KeywordCase{"\xc9nc(x);", "inc(", false}, KeywordCase{"[nc(", "{nc(", false},
                      KeywordCase{"@nc(", "`nc(", false}));

TEST(Cutting, CutInnerUsesTheLengthTakenByLoadWork) {
    CuttingState state;
    state.currentLine = "inc(score);";
    state.loadWork();
    state.cutInner(4, 2);
    EXPECT_EQ(state.workString, "score");
    EXPECT_EQ(state.currentLine, "inc(score);");
}

TEST(Cutting, CutInnerOfAShortLineIsEmpty) {
    CuttingState state;
    state.currentLine = "inc(";
    state.loadWork();
    state.cutInner(4, 2);
    EXPECT_EQ(state.workString, "");
}

TEST(Cutting, PeelLastSplitsAtTheLastDelimiterOfTheCurrentLine) {
    CuttingState state;
    state.currentLine = "kw(p,q,r);";
    state.loadWork();
    state.cutInner(3, 2);
    state.storeWork();
    EXPECT_EQ(state.peelLast(','), "r");
    EXPECT_EQ(state.workString, "p,q");
    state.storeWork();
    EXPECT_EQ(state.peelLast(','), "q");
    EXPECT_EQ(state.workString, "p");
    EXPECT_EQ(state.currentLine, "p,q");
}

TEST(Cutting, PeelLastWithoutDelimiterReturnsEverything) {
    CuttingState state;
    state.currentLine = "alone";
    state.workString = "alone";
    EXPECT_EQ(state.peelLast(','), "alone");
    EXPECT_EQ(state.workString, "");
}

TEST(Cutting, PeelLastAtTheLastCharacterGivesAnEmptyResult) {
    CuttingState state;
    state.currentLine = "a,";
    state.workString = "a,";
    EXPECT_EQ(state.peelLast(','), "");
    EXPECT_EQ(state.workString, "a");
}

struct ArgumentListCase {
    const char* line;
    long keywordLength;
    int count;
    std::vector<std::string> arguments;
    const char* lineAfter;
};

template <std::size_t N>
std::vector<std::string> asVector(const std::array<std::string_view, N>& arguments) {
    return {arguments.begin(), arguments.end()};
}

std::vector<std::string> cutArgumentList(CuttingState& state, long keywordLength, int count) {
    switch (count) {
        case 1: return asVector(state.cutArguments<1>(keywordLength));
        case 2: return asVector(state.cutArguments<2>(keywordLength));
        case 4: return asVector(state.cutArguments<4>(keywordLength));
        case 5: return asVector(state.cutArguments<5>(keywordLength));
        default: return asVector(state.cutArguments<3>(keywordLength));
    }
}

class CutArguments : public ::testing::TestWithParam<ArgumentListCase> {};

TEST_P(CutArguments, SplitsFromTheRight) {
    CuttingState state;
    state.currentLine = GetParam().line;
    EXPECT_EQ(cutArgumentList(state, GetParam().keywordLength, GetParam().count),
              GetParam().arguments);
    EXPECT_EQ(state.currentLine, GetParam().lineAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, CutArguments,
    ::testing::Values(
        ArgumentListCase{"mult(x,y,3);", 5, 2, {"x,y", "3"}, "x,y,3"},
        ArgumentListCase{"mult(x);", 5, 2, {"", "x"}, "x"},
        ArgumentListCase{"add(a, b);", 4, 2, {"a", " b"}, "a, b"},
        ArgumentListCase{"line(1,2,3,4,5);", 5, 5, {"1", "2", "3", "4", "5"}, "1,2"},
        ArgumentListCase{"circle(5,6);", 7, 4, {"", "", "5", "6"}, ""},
        ArgumentListCase{"for(count,zero,top);", 4, 3, {"count", "zero", "top"}, "count,zero"},
        ArgumentListCase{"inc(x);", 4, 1, {"x"}, "inc(x);"}));

}  // namespace
}  // namespace trovik
