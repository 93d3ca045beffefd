// SPDX-License-Identifier: GPL-2.0-or-later
// Every statement family, translated under each shell header with and
// without -o, assembled, and run on the Z80. Each row of the table is a
// program body, the memory and keypad it starts with, and the effects it must
// leave: variables, the graph buffer, the routines it called with their
// registers, and the ports it wrote. One program per shell holds every row as
// a subroutine; each row is run from a fresh copy of the loaded memory and
// must return with the stack where it was.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <optional>
#include <regex>
#include <sstream>

#include "toolchain.hpp"

namespace z80test {
namespace {

/// The variables every test program declares, in this order, from 33381 on.
constexpr std::array<const char*, 6> variableNames{"x", "y", "w", "q", "u", "k"};
constexpr std::uint16_t firstVariable = 33381;
constexpr std::uint16_t graphBuffer = 0x8E29;

std::uint16_t var(char name) {
    for (std::size_t i = 0; i < variableNames.size(); ++i) {
        if (variableNames[i][0] == name) return static_cast<std::uint16_t>(firstVariable + 2 * i);
    }
    throw std::invalid_argument("no such variable");
}

constexpr std::array<std::uint8_t, 8> ball{0x3C, 0x7E, 0xFF, 0xDB, 0xFF, 0xC3, 0x7E, 0x3C};

std::string spriteFile() {
    std::string text = "ball:\n";
    for (std::uint8_t row : ball) text += "\t.db " + std::to_string(row) + "\n";
    return text;
}

std::uint8_t pictureByte(std::size_t i) { return static_cast<std::uint8_t>(i * 7 + 3); }

std::string pictureFile() {
    std::string text = "pic:\n";
    for (std::size_t line = 0; line < 768 / 16; ++line) {
        text += "\t.db ";
        for (std::size_t i = 0; i < 16; ++i) {
            if (i != 0) text += ',';
            text += std::to_string(pictureByte(line * 16 + i));
        }
        text += "\n";
    }
    return text + "end.\n";
}

/// What a check looks at after the program returned.
struct Outcome {
    const Machine& machine;
    Shell shell;
    bool optimised;
    Registers before;

    std::uint16_t word(char variable) const { return machine.readWord(var(variable)); }
    std::uint8_t byte(std::uint16_t address) const { return machine.readByte(address); }
    std::uint16_t symbol(std::string_view name) const { return includeSymbols().at(name); }

    std::vector<StubCall> callsTo(std::string_view name) const {
        std::vector<StubCall> found;
        for (const StubCall& call : machine.calls()) {
            if (call.name == name) found.push_back(call);
        }
        return found;
    }
    /// The registers of the one call of `name`; fails the test otherwise.
    Registers onlyCall(std::string_view name) const {
        const auto found = callsTo(name);
        EXPECT_EQ(found.size(), 1u) << "calls of " << name;
        return found.empty() ? Registers{} : found.front().registers;
    }
    /// The zero-terminated text at `address`.
    std::string text(std::uint16_t address) const {
        std::string result;
        while (machine.readByte(address) != 0 && result.size() < 300) {
            result += static_cast<char>(machine.readByte(address++));
        }
        return result;
    }
    std::string calledNames() const {
        std::string names;
        for (const StubCall& call : machine.calls()) names += call.name + " ";
        return names;
    }
};

/// Port 1 answers like the keypad: `held` for the group whose mask was
/// written last, FFh (no key) otherwise.
std::function<void(Machine&)> keypad(std::uint8_t groupMask, std::uint8_t held) {
    return [=](Machine& machine) {
        machine.setPortReader([&machine, groupMask, held](std::uint8_t port, std::uint8_t) {
            const auto& writes = machine.portWrites();
            const bool selected = port == 1 && !writes.empty() && writes.back().port == 1 &&
                                  writes.back().value == groupMask;
            return selected ? held : std::uint8_t{0xFF};
        });
    };
}

std::function<void(Machine&)> variables(std::vector<std::pair<char, std::uint16_t>> values) {
    return [values](Machine& machine) {
        for (const auto& [name, value] : values) machine.writeWord(var(name), value);
    };
}

std::function<void(Machine&)> both(std::function<void(Machine&)> first,
                                   std::function<void(Machine&)> second) {
    return [=](Machine& machine) {
        first(machine);
        second(machine);
    };
}

/// Puts AAh into the bytes after curcol and penrow.
void markAfterCursorAndPen(Machine& machine) {
    machine.writeByte(static_cast<std::uint16_t>(includeSymbols().at("curcol") + 1), 0xAA);
    machine.writeByte(static_cast<std::uint16_t>(includeSymbols().at("penrow") + 1), 0xAA);
}

enum class Shells { all, ionOnly };

struct StatementCase {
    const char* name;
    const char* body;
    Shells shells;
    std::function<void(Machine&)> setup;
    std::function<void(const Outcome&)> check;
};

void expectPreserved(const Outcome& o, std::initializer_list<const char*> pairs) {
    if (o.optimised) return;
    const Registers after = o.machine.registers();
    for (std::string_view pair : pairs) {
        if (pair == "a") {
            EXPECT_EQ(after.a(), o.before.a()) << "a is not restored";
        } else if (pair == "bc") {
            EXPECT_EQ(after.bc, o.before.bc) << "bc is not restored";
        } else if (pair == "de") {
            EXPECT_EQ(after.de, o.before.de) << "de is not restored";
        } else if (pair == "hl") {
            EXPECT_EQ(after.hl, o.before.hl) << "hl is not restored";
        }
    }
}

/// The body of the if( cases: r ends as 1 when the jump was taken, else 2.
constexpr const char* ifBody =
    "^u:=1;\n"
    "if(x,y,%c,same);\n"
    "^u:=2;\n"
    ":same\n";

std::string ifProgram(char code) {
    std::string body = ifBody;
    const std::size_t at = body.find("%c");
    body.replace(at, 2, 1, code);
    return body;
}

void checkIf(const Outcome& o, bool jumps) {
    EXPECT_EQ(o.word('u'), jumps ? 1 : 2);
    expectPreserved(o, {"a", "hl"});
}

/// The body of the conditional goto( cases: each goto follows an if( with
/// no jump, which leaves the zero flag of its comparison.
constexpr const char* conditionalGotoBody =
    "if(x,y,3,none);\n"
    "goto(5,plusu);\n"
    "if(x,y,3,none);\n"
    "goto(6,plusw);\n"
    "if(x,y,3,none);\n"
    "goto(2,skipq);\n"
    "inc(q);\n"
    ":skipq\n"
    "if(x,y,3,none);\n"
    "goto(3,skipk);\n"
    "inc(k);\n"
    ":skipk\n"
    "goto(1,done);\n"
    ":plusu\n"
    "inc(u);\n"
    "ret;\n"
    ":plusw\n"
    "inc(w);\n"
    "ret;\n"
    ":done\n";

constexpr const char* loopBody =
    "for(q,w,lp);\n"
    "begin\n"
    "\tline(1,2,3,4,5);\n"
    "\tinc(u);\n"
    "end;\n";

void checkLoop(const Outcome& o, int passes) {
    EXPECT_EQ(o.word('u'), passes);
    EXPECT_EQ(o.callsTo("_iline").size(), static_cast<std::size_t>(passes));
}

/// The 8x8 ball drawn by exclusive or at (column, row) into an empty buffer.
void expectBallInBuffer(const Outcome& o, int column, int row) {
    std::vector<std::uint8_t> expected(768);
    for (int line = 0; line < 8; ++line) {
        const int at = (row + line) * 12 + column / 8;
        expected[at] ^= static_cast<std::uint8_t>(ball[line] >> (column % 8));
        if (column % 8)
            expected[at + 1] ^= static_cast<std::uint8_t>(ball[line] << (8 - column % 8));
    }
    for (std::size_t i = 0; i < expected.size(); ++i) {
        ASSERT_EQ(o.byte(static_cast<std::uint16_t>(graphBuffer + i)), expected[i])
            << "graph buffer byte " << i;
    }
}

const std::vector<StatementCase>& statementCases() {
    static const std::vector<StatementCase> cases{
        {"inc_dec", "inc(x);\ndec(y);\ninc(w);\ndec(q);\n", Shells::all,
         variables({{'x', 0x12FF}, {'y', 0x1300}, {'w', 0xFFFF}, {'q', 0x0000}}),
         [](const Outcome& o) {
             EXPECT_EQ(o.word('x'), 0x1300);
             EXPECT_EQ(o.word('y'), 0x12FF);
             EXPECT_EQ(o.word('w'), 0x0000);
             EXPECT_EQ(o.word('q'), 0xFFFF);
         }},
        {"add_low_bytes", "add(x,y);\n", Shells::all, variables({{'x', 0x12F0}, {'y', 0x0125}}),
         [](const Outcome& o) {
             EXPECT_EQ(o.word('x'), 0x1215);
             EXPECT_EQ(o.word('y'), 0x0125);
             expectPreserved(o, {"bc", "hl"});
         }},
        {"sub_low_bytes", "sub(x,y);\n", Shells::all, variables({{'x', 0x1210}, {'y', 0x0520}}),
         [](const Outcome& o) {
             EXPECT_EQ(o.word('x'), 0x12F0);
             expectPreserved(o, {"a", "bc"});
         }},
        {"mult", "mult(x,300);\nmult(y,3);\n", Shells::all,
         variables({{'x', 0x0107}, {'y', 0x00FF}}),
         [](const Outcome& o) {
             EXPECT_EQ(o.word('x'), 2100);
             EXPECT_EQ(o.word('y'), 765);
         }},
        {"div", "div(x,7);\ndiv(y,200);\ndiv(w,255);\n", Shells::all,
         variables({{'x', 1000}, {'y', 50000}, {'w', 65535}}),
         [](const Outcome& o) {
             EXPECT_EQ(o.word('x'), 142);
             EXPECT_EQ(o.word('y'), 250);
             EXPECT_EQ(o.word('w'), 257);
         }},
        {"mult_and_div", "mult(x,10);\ndiv(x,3);\n", Shells::all, variables({{'x', 25}}),
         [](const Outcome& o) { EXPECT_EQ(o.word('x'), 83); }},
        {"assign", "^x:=1234h;\n^y:=w;\n^q:=0;\n", Shells::all, variables({{'q', 0xFFFF}}),
         [](const Outcome& o) {
             EXPECT_EQ(o.word('x'), 0x1234);
             EXPECT_EQ(o.word('y'), var('w'));
             EXPECT_EQ(o.word('q'), 0);
             expectPreserved(o, {"hl"});
         }},
        {"if_equal_on_code_1", nullptr, Shells::all, variables({{'x', 0x0105}, {'y', 0x0205}}),
         [](const Outcome& o) { checkIf(o, true); }},
        {"if_unequal_on_code_1", nullptr, Shells::all, variables({{'x', 5}, {'y', 6}}),
         [](const Outcome& o) { checkIf(o, false); }},
        {"if_equal_on_code_2", nullptr, Shells::all, variables({{'x', 9}, {'y', 9}}),
         [](const Outcome& o) { checkIf(o, false); }},
        {"if_unequal_on_code_2", nullptr, Shells::all, variables({{'x', 0x0109}, {'y', 0x0108}}),
         [](const Outcome& o) { checkIf(o, true); }},
        {"goto_jump_and_call", "goto(4,sub);\ngoto(1,done);\n:sub\ninc(u);\nret;\n:done\n",
         Shells::all, nullptr, [](const Outcome& o) { EXPECT_EQ(o.word('u'), 1); }},
        {"goto_conditional_on_equal", conditionalGotoBody, Shells::all,
         variables({{'x', 4}, {'y', 4}}),
         [](const Outcome& o) {
             EXPECT_EQ(o.word('u'), 1);
             EXPECT_EQ(o.word('w'), 0);
             EXPECT_EQ(o.word('q'), 0);
             EXPECT_EQ(o.word('k'), 1);
         }},
        {"goto_conditional_on_unequal", conditionalGotoBody, Shells::all,
         variables({{'x', 4}, {'y', 3}}),
         [](const Outcome& o) {
             EXPECT_EQ(o.word('u'), 0);
             EXPECT_EQ(o.word('w'), 1);
             EXPECT_EQ(o.word('q'), 1);
             EXPECT_EQ(o.word('k'), 0);
         }},
        {"loop_counts_the_difference", loopBody, Shells::all, variables({{'q', 7}, {'w', 2}}),
         [](const Outcome& o) { checkLoop(o, 5); }},
        {"loop_of_difference_0_runs_256_times", loopBody, Shells::all,
         variables({{'q', 0x0102}, {'w', 2}}), [](const Outcome& o) { checkLoop(o, 256); }},
        {"loop_counts_modulo_256", loopBody, Shells::all, variables({{'q', 1}, {'w', 3}}),
         [](const Outcome& o) { checkLoop(o, 254); }},
        {"rand", "rand(x,10);\n", Shells::ionOnly,
         both(variables({{'x', 0x1234}}),
              [](Machine& m) {
                  m.setStubEffect("ionrandom", [](Machine& machine) {
                      Registers r = machine.registers();
                      r.af = static_cast<std::uint16_t>(0x07 << 8 | r.f());
                      r.bc &= 0x00FF;
                      machine.setRegisters(r);
                  });
              }),
         [](const Outcome& o) {
             EXPECT_EQ(o.onlyCall("ionrandom").b(), 10);
             EXPECT_EQ(o.byte(var('x')), 7);
             // Only the low byte is stored: the high byte keeps its value.
             EXPECT_EQ(o.byte(var('x') + 1), 0x12);
         }},
        {"comment_and_asm_block", "// set x by hand\nasm{\n\tld a, 42\n\tld (x), a\n}\n",
         Shells::all, nullptr, [](const Outcome& o) { EXPECT_EQ(o.byte(var('x')), 42); }},
        {"clrscr", "clrscr();\n", Shells::all, nullptr,
         [](const Outcome& o) { o.onlyCall("_clrlcdfull"); }},
        {"write", "write(0003,0005,hello,\"Hi there\");\n", Shells::all, markAfterCursorAndPen,
         [](const Outcome& o) {
             const Registers call = o.onlyCall("_puts");
             EXPECT_EQ(o.text(call.hl), "Hi there");
             EXPECT_EQ(o.byte(o.symbol("currow")), 3);
             EXPECT_EQ(o.byte(o.symbol("curcol")), 5);
             // The positions are stored as words: the byte after curcol
             // gets the column's high byte.
             EXPECT_EQ(o.byte(o.symbol("curcol") + 1), 0);
         }},
        {"outtextxy", "outtextxy(0010,0020,msg,\"Score\");\n", Shells::all, markAfterCursorAndPen,
         [](const Outcome& o) {
             const Registers call = o.onlyCall("_vputs");
             EXPECT_EQ(o.text(call.hl), "Score");
             EXPECT_EQ(o.byte(o.symbol("pencol")), 10);
             EXPECT_EQ(o.byte(o.symbol("penrow")), 20);
             // As with write(: the byte after penrow gets the row's high byte.
             EXPECT_EQ(o.byte(o.symbol("penrow") + 1), 0);
         }},
        {"rewrite",
         "write(0001,0002,one,\"One\");\nrewrite(0004,0006,2,one);\nrewrite(0007,0008,1,one);\n"
         "rewrite(0000,0000,3,one);\n",
         Shells::all, nullptr,
         [](const Outcome& o) {
             const auto puts = o.callsTo("_puts");
             const auto vputs = o.callsTo("_vputs");
             ASSERT_EQ(puts.size(), 2u);
             ASSERT_EQ(vputs.size(), 1u);
             EXPECT_EQ(o.text(puts[0].registers.hl), "One");
             EXPECT_EQ(vputs[0].registers.hl, puts[0].registers.hl);
             EXPECT_EQ(puts[1].registers.hl, puts[0].registers.hl);
             EXPECT_EQ(o.byte(o.symbol("currow")), 0);
             EXPECT_EQ(o.byte(o.symbol("curcol")), 0);
         }},
        {"pixelon", "pixelon(x,y);\n", Shells::all,
         both(variables({{'x', 13}, {'y', 5}}),
              [](Machine& m) { m.writeByte(graphBuffer + 5 * 12 + 1, 0x81); }),
         [](const Outcome& o) {
             EXPECT_EQ(o.byte(graphBuffer + 5 * 12 + 1), 0x85);
             EXPECT_EQ(o.byte(graphBuffer + 5 * 12), 0);
             EXPECT_EQ(o.byte(graphBuffer + 5 * 12 + 2), 0);
         }},
        {"pixeloff", "pixeloff(x,y);\n", Shells::all,
         both(variables({{'x', 95}, {'y', 63}}),
              [](Machine& m) {
                  for (int i = 0; i < 768; ++i) m.writeByte(graphBuffer + i, 0xFF);
              }),
         [](const Outcome& o) {
             for (int i = 0; i < 768; ++i) {
                 ASSERT_EQ(o.byte(graphBuffer + i), i == 767 ? 0xFE : 0xFF) << i;
             }
         }},
        {"pixeltest", "pixeltest(x,y);\n", Shells::all, variables({{'x', 40}, {'y', 30}}),
         [](const Outcome& o) {
             const Registers call = o.onlyCall("_ipoint");
             EXPECT_EQ(call.b(), 40);
             EXPECT_EQ(call.c(), 30);
             EXPECT_EQ(call.d(), 3);
         }},
        {"line", "line(1,2,3,4,5);\n", Shells::all, nullptr,
         [](const Outcome& o) {
             const Registers call = o.onlyCall("_iline");
             EXPECT_EQ(call.b(), 1);
             EXPECT_EQ(call.c(), 2);
             EXPECT_EQ(call.d(), 3);
             EXPECT_EQ(call.e(), 4);
             EXPECT_EQ(call.h(), 5);
             expectPreserved(o, {"bc", "de", "hl"});
         }},
        {"circle", "circle(10,20,30,40);\n", Shells::all, nullptr,
         [](const Outcome& o) {
             o.onlyCall("_grphcirc");
             EXPECT_EQ(o.byte(0x8870), 10);
             EXPECT_EQ(o.byte(0x886F), 20);
             EXPECT_EQ(o.byte(o.symbol("curgx")), 30);
             EXPECT_EQ(o.byte(o.symbol("curgy")), 40);
         }},
        {"clrdrw", "clrdrw;\n", Shells::all, nullptr,
         [](const Outcome& o) { o.onlyCall("_grbufclr"); }},
        {"disppic", "disppic(pic);\n", Shells::all, nullptr,
         [](const Outcome& o) {
             for (std::size_t i = 0; i < 768; ++i) {
                 ASSERT_EQ(o.byte(static_cast<std::uint16_t>(graphBuffer + i)), pictureByte(i))
                     << i;
             }
             o.onlyCall(o.shell == Shell::ion ? "ionfastcopy" : "_grbufcpy_v");
         }},
        {"getkey", "getkey(2,k);\n", Shells::all,
         both(variables({{'k', 0x1200}}), keypad(0xFD, 0xBF)),
         [](const Outcome& o) {
             const auto& writes = o.machine.portWrites();
             ASSERT_EQ(writes.size(), 2u);
             EXPECT_EQ(writes[0].port, 1);
             EXPECT_EQ(writes[0].value, 0xFF);
             EXPECT_EQ(writes[1].port, 1);
             EXPECT_EQ(writes[1].value, 0xFD);
             EXPECT_EQ(o.byte(var('k')), 0xBF);
             EXPECT_EQ(o.byte(var('k') + 1), 0x12);
         }},
        {"iskey_held", "getkey(2,k);\niskey(191,0,hit);\ninc(u);\n:hit\n", Shells::all,
         keypad(0xFD, 0xBF), [](const Outcome& o) { EXPECT_EQ(o.word('u'), 0); }},
        {"iskey_not_held", "getkey(2,k);\niskey(191,0,hit);\ninc(u);\n:hit\n", Shells::all,
         keypad(0xFE, 0xBF), [](const Outcome& o) { EXPECT_EQ(o.word('u'), 1); }},
        {"iskey_call",
         "getkey(1,k);\niskey(254,3,sub);\ngoto(1,done);\n:sub\ninc(u);\nret;\n:done\n",
         Shells::all, keypad(0xFE, 0xFE), [](const Outcome& o) { EXPECT_EQ(o.word('u'), 1); }},
        {"multkey_both_held", "getkey(1,k);\nmultkey(254,253,0,both);\ninc(u);\n:both\n",
         Shells::all, keypad(0xFE, 0xFC), [](const Outcome& o) { EXPECT_EQ(o.word('u'), 0); }},
        {"multkey_one_held", "getkey(1,k);\nmultkey(254,253,0,both);\ninc(u);\n:both\n",
         Shells::all, keypad(0xFE, 0xFE), [](const Outcome& o) { EXPECT_EQ(o.word('u'), 1); }},
        {"contrast", "contrast(x);\n", Shells::all, variables({{'x', 0x0115}}),
         [](const Outcome& o) {
             o.onlyCall("_lcd_busy");
             const auto& writes = o.machine.portWrites();
             ASSERT_EQ(writes.size(), 1u);
             EXPECT_EQ(writes[0].port, o.symbol("lcdinstport"));
             EXPECT_EQ(writes[0].value, 0xD5);
             expectPreserved(o, {"a"});
         }},
        {"runindic", "runindic(off);\nrunindic(on);\n", Shells::all, nullptr,
         [](const Outcome& o) { EXPECT_EQ(o.calledNames(), "_runindicoff _runindicon "); }},
        {"calcoff", "calcoff;\ninc(u);\n", Shells::all, nullptr,
         [](const Outcome& o) {
             const auto& writes = o.machine.portWrites();
             ASSERT_EQ(writes.size(), 2u);
             EXPECT_EQ(writes[0].port, 3);
             EXPECT_EQ(writes[0].value, 1);
             EXPECT_EQ(writes[1].port, 4);
             EXPECT_EQ(writes[1].value, 0);
             EXPECT_EQ(o.word('u'), 1);
         }},
        {"sprite", "sprite(ball,x,y);\n", Shells::all, variables({{'x', 18}, {'y', 21}}),
         [](const Outcome& o) {
             if (o.shell == Shell::ion) {
                 // ION: the first operand is the row (l), the second the column (a).
                 const Registers call = o.onlyCall("ionputsprite");
                 EXPECT_EQ(call.l(), 18);
                 EXPECT_EQ(call.a(), 21);
                 EXPECT_EQ(call.b(), 8);
                 for (std::size_t i = 0; i < ball.size(); ++i) {
                     EXPECT_EQ(o.byte(static_cast<std::uint16_t>(call.ix + i)), ball[i]);
                 }
                 EXPECT_EQ(o.calledNames(), "ionputsprite ionfastcopy ");
             } else {
                 // SPRXOR: the first operand is the column, the second the row.
                 expectBallInBuffer(o, 18, 21);
                 EXPECT_EQ(o.calledNames(), "_grbufcpy_v ");
             }
         }},
        {"lsprite", "lsprite(ball,x,y,1,8);\n", Shells::ionOnly, variables({{'x', 30}, {'y', 9}}),
         [](const Outcome& o) {
             const Registers call = o.onlyCall("ionlargesprite");
             EXPECT_EQ(call.a(), 30);
             EXPECT_EQ(call.l(), 9);
             EXPECT_EQ(call.b(), 8);
             EXPECT_EQ(call.c(), 1);
             EXPECT_EQ(o.byte(call.ix), ball[0]);
             EXPECT_EQ(o.calledNames(), "ionlargesprite ionfastcopy ");
         }},
    };
    return cases;
}

std::string bodyOf(const StatementCase& c) {
    if (c.body) return c.body;
    // The if( rows differ only in the condition code, named in the row.
    const std::string name = c.name;
    return ifProgram(name.back());
}

bool appliesTo(const StatementCase& c, Shell shell) {
    return c.shells == Shells::all || shell == Shell::ion;
}

/// The labels a body defines (label lines and loop labels), which are
/// renamed per case so that the bodies can share one program.
std::vector<std::string> labelsOf(const std::string& body) {
    std::vector<std::string> labels;
    std::istringstream lines(body);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.starts_with(":")) labels.push_back(line.substr(1));
        if (line.starts_with("for(")) {
            const std::size_t comma = line.rfind(',');
            labels.push_back(line.substr(comma + 1, line.size() - comma - 3));
        }
    }
    return labels;
}

/// `body` with each of its labels followed by `suffix`.
std::string withLabelsRenamed(std::string body, const std::string& suffix) {
    for (const std::string& label : labelsOf(body)) {
        const std::regex word("\\b" + label + "\\b");
        body = std::regex_replace(body, word, label + suffix);
    }
    return body;
}

/// Marks the table of case addresses in the assembled program.
constexpr std::string_view caseTableMark = "CASES";

/// One program for a shell that holds every case that applies to it as a
/// subroutine: the program itself jumps over them to its end, and a table
/// after a mark lists their addresses in the order of the table of cases.
std::string sourceFor(Shell shell) {
    std::ostringstream source;
    source << "program t;\n";
    if (shell != Shell::none) source << "shell(" << shellName(shell) << ");\n";
    source << "var\n";
    for (const char* name : variableNames) source << " " << name << "\n";
    source << "begin\ngoto(1,main);\nasm{\n\t.db \"" << caseTableMark << "\"\n";
    const auto& cases = statementCases();
    for (std::size_t i = 0; i < cases.size(); ++i) {
        if (appliesTo(cases[i], shell)) source << "\t.dw tc" << i << "\n";
    }
    source << "}\n";
    for (std::size_t i = 0; i < cases.size(); ++i) {
        if (!appliesTo(cases[i], shell)) continue;
        std::string suffix = "c";
        suffix += std::to_string(i);
        source << ":tc" << i << "\n" << withLabelsRenamed(bodyOf(cases[i]), suffix) << "ret;\n";
    }
    source << ":main\nend.\nEOF\n";
    return source.str();
}

/// The address of the case table, after its mark.
std::optional<std::uint16_t> caseTable(const Machine& machine) {
    const auto memory = machine.memory();
    const auto found = std::search(memory.begin() + programOrigin, memory.end(),
                                   caseTableMark.begin(), caseTableMark.end());
    if (found == memory.end()) return std::nullopt;
    return static_cast<std::uint16_t>(found - memory.begin() + caseTableMark.size());
}

struct Variant {
    Shell shell;
    bool optimised;
};

std::string variantName(const Variant& v) {
    return std::string(shellName(v.shell)) + (v.optimised ? "_optimised" : "");
}

/// trovik's options after the file name. One variant takes the plain
/// binary path ("-c"), the others Intel HEX, so that both argument sets of
/// the assembler run are assembled and loaded.
std::vector<std::string> optionsFor(const Variant& v) {
    if (!v.optimised) return {"-s"};
    if (v.shell == Shell::none) return {"-s", "-c", "-o"};
    return {"-s", "-nc", "-o"};
}

class StatementFamilies : public ::testing::TestWithParam<Variant> {};

TEST_P(StatementFamilies, EachCaseRunsToItsReturnWithItsEffects) {
    const Variant& v = GetParam();
    SourceProgram program;
    program.name = "t";
    program.source = sourceFor(v.shell);
    program.options = optionsFor(v);
    program.files = {{"t.spr", spriteFile()}, {"t.pic", pictureFile()}};
    const BuiltProgram built = translateAndAssemble(program, variantName(v));
    ASSERT_TRUE(built.image) << "not assembled:\n" << built.log << "\n" << built.assembly;

    Machine machine;
    prepareMachine(machine, *built.image);
    const std::vector<std::uint8_t> pristine(machine.memory().begin(), machine.memory().end());
    const RunResult whole = runProgram(machine, v.shell);
    ASSERT_EQ(whole.stop, Stop::returned) << describe(whole.stop);
    ASSERT_EQ(machine.registers().sp, Machine::initialStack);
    const auto table = caseTable(machine);
    ASSERT_TRUE(table) << "no case table";

    std::uint16_t entry = *table;
    const auto& cases = statementCases();
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const StatementCase& c = cases[i];
        if (!appliesTo(c, v.shell)) continue;
        SCOPED_TRACE(std::string("case ") + c.name);
        machine.load(0, pristine);
        machine.clearRecords();
        machine.clearStubEffects();
        machine.setPortReader(nullptr);
        Registers before;
        before.af = 0x4400;
        before.bc = 0x1111;
        before.de = 0x2222;
        before.hl = 0x3333;
        before.ix = 0x5555;
        before.iy = 0x89F0;
        before.sp = Machine::initialStack;
        machine.setRegisters(before);
        if (c.setup) c.setup(machine);
        before = machine.registers();

        const RunResult result = machine.call(machine.readWord(entry), 2'000'000);
        entry = static_cast<std::uint16_t>(entry + 2);
        EXPECT_EQ(result.stop, Stop::returned)
            << describe(result.stop) << " at " << machine.registers().pc;
        if (result.stop != Stop::returned) continue;
        EXPECT_EQ(machine.registers().sp, Machine::initialStack) << "stack not balanced";
        c.check(Outcome{machine, v.shell, v.optimised, before});
    }
    if (HasFailure()) ADD_FAILURE() << built.assembly;
}

INSTANTIATE_TEST_SUITE_P(AllShells, StatementFamilies,
                         ::testing::Values(Variant{Shell::ion, false}, Variant{Shell::ion, true},
                                           Variant{Shell::ashell, false},
                                           Variant{Shell::ashell, true}, Variant{Shell::sos, false},
                                           Variant{Shell::sos, true}, Variant{Shell::none, false},
                                           Variant{Shell::none, true}),
                         [](const auto& info) { return variantName(info.param); });

/// A counted loop whose body holds `increments` times inc(u);.
std::string longLoopSource(int increments) {
    std::string source = "program t;\nvar\n q\n w\n u\nbegin\nfor(q,w,lp);\nbegin\n";
    for (int i = 0; i < increments; ++i) source += "\tinc(u);\n";
    return source + "end;\nend.\nEOF\n";
}

TEST(TextOutput, TextWithACommaDoesNotAssemble) {
    // A text is cut at the last comma of its line, so a comma inside the
    // text moves the string's name and text: the lines
    //     ld hl, s,"a
    //   s,"a:
    // are written, and the assembler refuses both.
    SourceProgram program;
    program.name = "t";
    program.source = "program t;\nbegin\nwrite(0001,0001,s,\"a,b\");\nend.\nEOF\n";
    const BuiltProgram built = translateAndAssemble(program, "text-comma");
    EXPECT_FALSE(built.image);
    EXPECT_NE(built.assembly.find("\tld hl, s,\"a\n"), std::string::npos) << built.assembly;
    EXPECT_NE(built.assembly.find("\ns,\"a:\n"), std::string::npos) << built.assembly;
    EXPECT_NE(built.log.find("t.asm:"), std::string::npos) << built.log;
}

TEST(CountedLoop, DjnzReachesBackOverABodyOf124Bytes) {
    // Each inc( is 7 bytes; with push bc, pop bc and djnz around it, 17 of
    // them (119 bytes) still reach, 18 (126 bytes) do not: the line
    // "\tdjnz lp" is then out of range and the program does not assemble.
    SourceProgram program;
    program.name = "t";
    program.source = longLoopSource(17);
    const BuiltProgram fits = translateAndAssemble(program, "loop-17");
    ASSERT_TRUE(fits.image) << fits.log;
    Machine machine;
    prepareMachine(machine, *fits.image);
    machine.writeWord(33381, 3);
    ASSERT_EQ(runProgram(machine, Shell::none).stop, Stop::returned);
    EXPECT_EQ(machine.readWord(33385), 3 * 17);

    program.source = longLoopSource(18);
    const BuiltProgram tooLong = translateAndAssemble(program, "loop-18");
    EXPECT_FALSE(tooLong.image);
    EXPECT_NE(tooLong.assembly.find("\tdjnz lp\n"), std::string::npos);
    EXPECT_NE(tooLong.log.find("t.asm:"), std::string::npos) << tooLong.log;
}

}  // namespace
}  // namespace z80test
