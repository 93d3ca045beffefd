// SPDX-License-Identifier: GPL-2.0-or-later
#include "line_syntax.hpp"

#include <gtest/gtest.h>

namespace tasm {
namespace {

struct FieldsCase {
    const char* line;
    const char* label;
    const char* word;
    const char* operands;
};

TEST(SplitFields, ColumnOneHoldsTheLabel) {
    const FieldsCase cases[] = {
        {"\tld a, b", "", "ld", "a, b"},
        {"    Ld      de, plotsscreen", "", "Ld", "de, plotsscreen"},
        {"begin:", "begin", "", ""},
        {"prog_start", "prog_start", "", ""},
        {"LILOP:  ld      b,(ix+0)", "LILOP", "ld", "b,(ix+0)"},
        {"loop djnz loop", "loop", "djnz", "loop"},
        {"_grphCirc    .equ   4AD8h", "_grphCirc", ".equ", "4AD8h"},
        {"x:.db 1", "x", ".db", "1"},
        {".NOLIST", "", ".NOLIST", ""},
        {"\t.db \"a b\",0 ", "", ".db", "\"a b\",0"},
        {"size = 3*2", "size", "=", "3*2"},
        {"size=3", "size", "=", "3"},
        {"\t*= 9327h", "", ".org", "9327h"},
        {"$ = 100h", "", ".org", "100h"},
        {"\tcp a == b", "", "cp", "a == b"},
        {"x == 1", "x", "==", "1"},
    };
    for (const FieldsCase& c : cases) {
        const LineFields fields = splitFields(c.line);
        EXPECT_EQ(fields.label, c.label) << c.line;
        EXPECT_EQ(fields.word, c.word) << c.line;
        EXPECT_EQ(fields.operands, c.operands) << c.line;
    }
}

TEST(SplitOperands, CommasInsideParenthesesStringsAndCharactersStay) {
    using Words = std::vector<std::string>;
    EXPECT_EQ(splitOperands("ix ,label"), (Words{"ix", "label"}));
    EXPECT_EQ(splitOperands("af,af'"), (Words{"af", "af'"}));
    EXPECT_EQ(splitOperands("\"a,b\",',',(1,2)"), (Words{"\"a,b\"", "','", "(1,2)"}));
    EXPECT_EQ(splitOperands("  "), Words{});
    EXPECT_EQ(splitOperands("a,"), (Words{"a", ""}));
}

TEST(StripComment, SemicolonsInStringsAndCharactersStay) {
    EXPECT_EQ(stripComment("\tld a,b ; load"), "\tld a,b ");
    EXPECT_EQ(stripComment("\t.db \"x;y\",';' ;c"), "\t.db \"x;y\",';' ");
    EXPECT_EQ(stripComment("\tex af,af' ; swap"), "\tex af,af' ");
    EXPECT_EQ(stripComment(";whole line"), "");
}

}  // namespace
}  // namespace tasm
