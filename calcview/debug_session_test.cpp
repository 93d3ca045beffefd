// SPDX-License-Identifier: GPL-2.0-or-later
#include "debug_session.hpp"

#include <gtest/gtest.h>

#include <limits>

#include "calculator.hpp"
#include "debug_expression.hpp"
#include "key_script.hpp"

namespace calcview::debug {
namespace {

// A program as a translation would make it, assembled by hand (z80asm's
// bytes), with the tables beside it:
//
//   1 var x, z          9352h, 9356h
//   2 var y             9354h
//   3 begin
//   4 x = 0             9327h  ld hl,0 / ld (x),hl
//   5 :loop
//   6 x = x + 1; z = R  932Dh  ld hl,(x) / inc hl / ld (x),hl / ld a,r / ld (z),a
//   7 goto(4,sub)       9339h  call sub
//   8 halt              933Ch  halt
//   9 if x < 5 ...      933Dh  ld hl,(x) / ld de,5 / or a / sbc hl,de / jr c,loop
//  10 return            9348h  ret
//  11
//  12 :sub
//  13 y = y + 2         9349h  ld hl,(y) / inc hl / inc hl / ld (y),hl
//  14 return            9351h  ret
const std::vector<std::uint8_t> loopProgram = {
    0x21, 0x00, 0x00, 0x22, 0x52, 0x93, 0x2a, 0x52, 0x93, 0x23, 0x22, 0x52, 0x93,
    0xed, 0x5f, 0x32, 0x56, 0x93, 0xcd, 0x49, 0x93, 0x76, 0x2a, 0x52, 0x93, 0x11,
    0x05, 0x00, 0xb7, 0xed, 0x52, 0x38, 0xe5, 0xc9, 0x2a, 0x54, 0x93, 0x23, 0x23,
    0x22, 0x54, 0x93, 0xc9, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};

const std::string sourcePath = "/tmp/calcview-debug-test/loop.p83";

DebugInfo loopInfo() {
    DebugInfo info;
    info.files = {sourcePath, "/tmp/calcview-debug-test/loop.asm"};
    info.lines = {
        {"var x, z", "var y", "begin", "x = 0", ":loop", "x = x + 1; z = R", "goto(4,sub)", "halt",
         "if x < 5 goto loop", "return", "", ":sub", "y = y + 2", "return"},
        {}};
    info.code = {{0x9327, 0x932D, 0, 4, true},  {0x932D, 0x9339, 0, 6, true},
                 {0x9339, 0x933C, 0, 7, true},  {0x933C, 0x933D, 0, 8, true},
                 {0x933D, 0x9348, 0, 9, true},  {0x9348, 0x9349, 0, 10, true},
                 {0x9349, 0x9351, 0, 13, true}, {0x9351, 0x9352, 0, 14, true},
                 {0x9327, 0x932A, 1, 20, true}, {0x932A, 0x932D, 1, 21, true}};
    info.labels = {{"loop", 0x932D, 0, 5}, {"sub", 0x9349, 0, 12}};
    info.variables = {{"x", 0x9352, 0, 1}, {"y", 0x9354, 0, 2}, {"z", 0x9356, 0, 1}};
    info.strings = {};
    return info;
}

struct Debugged {
    explicit Debugged(const std::vector<std::uint8_t>& code = loopProgram,
                      DebugInfo info = loopInfo(), SessionOptions options = {}) {
        calc.start(code, StartKind::plain);
        session = std::make_unique<Session>(calc, std::move(info), std::move(options));
    }
    /// Runs until a stop or the end; the outputs on the way are kept.
    Progress untilEvent() {
        Progress all;
        for (int slice = 0; slice < 10'000; ++slice) {
            Progress p = session->advance(100'000);
            for (auto& o : p.outputs) all.outputs.push_back(std::move(o));
            if (p.stopped || p.exited) {
                all.stopped = std::move(p.stopped);
                all.exited = std::move(p.exited);
                return all;
            }
        }
        ADD_FAILURE() << "no stop";
        return all;
    }
    int line() const { return session->stackTrace().front().line; }
    std::uint16_t word(std::uint16_t address) const { return calc.readWord(address); }
    std::uint16_t x() const { return word(0x9352); }

    Calculator calc;
    std::unique_ptr<Session> session;
};

TEST(DebugSession, LineBreakpointsAreAnsweredWhereTheyStop) {
    struct Case {
        SourceBreakpoint asked;
        bool verified;
        int line;
        std::string message;  // a part of it
    };
    const Case cases[] = {
        {{6, "", "", ""}, true, 6, ""},
        {{5, "", "", ""}, true, 6, "moved to line 6"},
        {{1, "", "", ""}, true, 4, "moved to line 4"},
        {{11, "", "", ""}, true, 13, ""},
        {{15, "", "", ""}, false, 15, "past the last statement"},
        {{6, "x >", "", ""}, false, 6, "does not parse"},
        {{6, "q = 1", "", ""}, false, 6, "'q' is neither a variable"},
        {{6, "", "often", ""}, false, 6, "hit count"},
        {{6, "", "", "x is {x"}, false, 6, "not closed"},
    };
    for (const Case& c : cases) {
        Debugged d;
        const auto answers = d.session->setBreakpoints(sourcePath, {c.asked});
        ASSERT_EQ(answers.size(), 1u);
        EXPECT_EQ(answers[0].verified, c.verified) << c.asked.line << " " << c.asked.condition;
        EXPECT_EQ(answers[0].line, c.line) << c.asked.line;
        EXPECT_NE(answers[0].message.find(c.message), std::string::npos) << answers[0].message;
    }
    Debugged d;
    const auto other = d.session->setBreakpoints("/tmp/elsewhere.p83", {{4, "", "", ""}});
    EXPECT_FALSE(other[0].verified);
    EXPECT_NE(other[0].message.find("not part of the program"), std::string::npos);
    const auto onAsm =
        d.session->setBreakpoints("/tmp/calcview-debug-test/loop.asm", {{21, "", "", ""}});
    EXPECT_TRUE(onAsm[0].verified);
}

TEST(DebugSession, ConditionsAndHitCountsChooseTheStops) {
    struct Case {
        std::string condition, hit;
        std::vector<int> xs;  // x at each stop on line 9
    };
    const Case cases[] = {
        {"", "", {1, 2, 3, 4, 5}},
        {"x = 3", "", {3}},
        {"x >= 2 and (x < 4 || x == 5)", "", {2, 3, 5}},
        {"", "3", {3}},
        {"", ">= 4", {4, 5}},
        {"", "% 2", {2, 4}},
        {"x > 1", "% 2", {3, 5}},
        {"HL <> 0 && x != 02h", "", {1, 3, 4, 5}},
    };
    for (const Case& c : cases) {
        Debugged d;
        ASSERT_TRUE(
            d.session->setBreakpoints(sourcePath, {{9, c.condition, c.hit, ""}})[0].verified);
        d.session->begin(false);
        std::vector<int> seen;
        for (;;) {
            const Progress p = d.untilEvent();
            if (p.exited) break;
            ASSERT_TRUE(p.stopped);
            EXPECT_EQ(p.stopped->reason, StopReason::breakpoint);
            EXPECT_EQ(d.line(), 9);
            seen.push_back(d.x());
            d.session->continueRun();
        }
        EXPECT_EQ(seen, c.xs) << c.condition << " / " << c.hit;
    }
    // Decided before the instruction runs, a condition on PC sees the
    // breakpoint's own address.
    Debugged first;
    first.session->setBreakpoints(sourcePath, {{9, "", "", ""}});
    first.session->begin(false);
    first.untilEvent();
    const std::string at = std::to_string(first.session->stackTrace().front().address);
    for (const auto& [condition, stops] : {std::pair{"PC = " + at, 5}, {"PC <> " + at, 0}}) {
        Debugged d;
        d.session->setBreakpoints(sourcePath, {{9, condition, "", ""}});
        d.session->begin(false);
        int seen = 0;
        while (d.untilEvent().stopped) {
            ++seen;
            d.session->continueRun();
        }
        EXPECT_EQ(seen, stops) << condition;
    }
}

TEST(DebugSession, LogpointsWriteAndGoOn) {
    Debugged d;
    d.session->setBreakpoints(sourcePath, {{13, "", "", "y={y} at x={x}, A {A}"}});
    d.session->begin(false);
    const Progress p = d.untilEvent();
    ASSERT_TRUE(p.exited);
    EXPECT_EQ(p.exited->status, 0);
    ASSERT_EQ(p.outputs.size(), 5u);
    EXPECT_EQ(p.outputs[0].text.substr(0, 10), "y=0 at x=1");
    EXPECT_EQ(p.outputs[4].text.substr(0, 11), "y=8 at x=5,");
    EXPECT_EQ(p.outputs[0].line, 13);
}

TEST(DebugSession, StepsFollowTheCalls) {
    Debugged d;
    d.session->begin(true);
    Progress p = d.untilEvent();
    ASSERT_TRUE(p.stopped);
    EXPECT_EQ(p.stopped->reason, StopReason::entry);
    EXPECT_EQ(d.line(), 4);
    // (what to do, the line after it, the number of frames)
    struct Step {
        void (*act)(Session&);
        int line;
        std::size_t frames;
    };
    const Step steps[] = {
        {[](Session& s) { s.next(); }, 6, 1},
        {[](Session& s) { s.next(); }, 7, 1},
        {[](Session& s) { s.next(); }, 8, 1},  // over the call
        {[](Session& s) { s.next(); }, 9, 1},  // over the halt
        {[](Session& s) { s.next(); }, 6, 1},
        {[](Session& s) { s.next(); }, 7, 1},
        {[](Session& s) { s.stepIn(); }, 13, 2},
        {[](Session& s) { s.next(); }, 14, 2},
        {[](Session& s) { s.stepOut(); }, 8, 1},
        {[](Session& s) { s.stepIn(Granularity::instruction); }, 9, 1},
        {[](Session& s) { s.stepIn(Granularity::instruction); }, 9, 1},
    };
    for (const Step& step : steps) {
        step.act(*d.session);
        p = d.untilEvent();
        ASSERT_TRUE(p.stopped);
        EXPECT_EQ(p.stopped->reason, StopReason::step);
        const auto frames = d.session->stackTrace();
        EXPECT_EQ(frames.front().line, step.line);
        EXPECT_EQ(frames.size(), step.frames);
    }
    EXPECT_EQ(d.calc.reg(Reg::pc), 0x9340);  // one instruction past 933Dh
    d.session->stepIn();
    d.session->stepOut();  // not stopped: ignored
    d.untilEvent();
    for (int i = 0; i < 2; ++i) {
        d.session->stepIn();
        d.untilEvent();
    }
    const auto frames = d.session->stackTrace();
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0].name, "sub");
    EXPECT_EQ(frames[0].line, 13);
    EXPECT_EQ(frames[1].name, "loop");
    EXPECT_EQ(frames[1].line, 7);
    EXPECT_EQ(frames[1].address, 0x9339);
    // An instruction step over the call.
    const Step over[] = {
        {[](Session& s) { s.stepOut(); }, 8, 1},
        {[](Session& s) { s.next(); }, 9, 1},
        {[](Session& s) { s.next(); }, 6, 1},
        {[](Session& s) { s.next(); }, 7, 1},
        {[](Session& s) { s.next(Granularity::instruction); }, 8, 1},
    };
    for (const Step& step : over) {
        step.act(*d.session);
        ASSERT_TRUE(d.untilEvent().stopped);
        EXPECT_EQ(d.line(), step.line);
        EXPECT_EQ(d.session->stackTrace().size(), step.frames);
    }
    EXPECT_EQ(d.calc.reg(Reg::pc), 0x933C);
}

TEST(DebugSession, FunctionAndDataBreakpointsStopWhereTheyHappen) {
    Debugged d;
    const auto labels = d.session->setFunctionBreakpoints({{":sub", "", ""}, {"nowhere", "", ""}});
    EXPECT_TRUE(labels[0].verified);
    EXPECT_EQ(labels[0].line, 12);
    EXPECT_FALSE(labels[1].verified);
    d.session->begin(false);
    Progress p = d.untilEvent();
    ASSERT_TRUE(p.stopped);
    EXPECT_EQ(p.stopped->reason, StopReason::functionBreakpoint);
    EXPECT_EQ(p.stopped->hitBreakpointIds, std::vector<int>{labels[0].id});
    d.session->setFunctionBreakpoints({});

    EXPECT_FALSE(d.session->dataBreakpointInfo("q").dataId);
    const auto info = d.session->dataBreakpointInfo("y");
    ASSERT_TRUE(info.dataId);
    const auto watches = d.session->setDataBreakpoints({{*info.dataId, DataAccess::write, "", ""}});
    ASSERT_TRUE(watches[0].verified);
    d.session->continueRun();
    p = d.untilEvent();
    ASSERT_TRUE(p.stopped);
    EXPECT_EQ(p.stopped->reason, StopReason::dataBreakpoint);
    EXPECT_EQ(p.stopped->description, "y written: 0 -> 2");
    EXPECT_EQ(d.line(), 13);  // the statement that wrote, not the next
    EXPECT_EQ(d.calc.reg(Reg::pc), 0x9351);
    d.session->continueRun();
    p = d.untilEvent();
    EXPECT_EQ(p.stopped->description, "y written: 2 -> 4");

    d.session->setDataBreakpoints({{"x", DataAccess::read, "x = 4", ""}});
    d.session->continueRun();
    p = d.untilEvent();
    ASSERT_TRUE(p.stopped);
    EXPECT_EQ(p.stopped->description, "x read: 4");
    EXPECT_EQ(d.line(), 9);
    // Back to the last write of y.
    d.session->setDataBreakpoints({{"y", DataAccess::write, "", ""}});
    std::string error;
    ASSERT_TRUE(d.session->reverseContinue(error)) << error;
    p = d.untilEvent();
    ASSERT_TRUE(p.stopped);
    EXPECT_EQ(p.stopped->reason, StopReason::dataBreakpoint);
    EXPECT_EQ(d.line(), 13);
    EXPECT_EQ(d.word(0x9354), 8);  // as the write left it
    EXPECT_EQ(d.x(), 4);
}

TEST(DebugSession, SteppingBackRestoresTheWholeMachine) {
    Debugged d;
    d.session->setBreakpoints(sourcePath, {{9, "", "3", ""}});
    d.session->begin(false);
    ASSERT_TRUE(d.untilEvent().stopped);
    ASSERT_EQ(d.x(), 3);
    const std::uint64_t cycles = d.calc.cycles();
    const std::uint16_t z = d.word(0x9356), y = d.word(0x9354);

    std::string error;
    const int lines[] = {8, 7, 6, 9, 8};
    for (int line : lines) {
        ASSERT_TRUE(d.session->stepBack(Granularity::statement, error)) << error;
        const Progress p = d.untilEvent();
        ASSERT_TRUE(p.stopped);
        EXPECT_EQ(d.line(), line);
    }
    EXPECT_EQ(d.x(), 2);
    EXPECT_EQ(d.word(0x9354), 4);
    // Forward again to where it was: the same machine, the refresh register
    // included.
    d.session->setBreakpoints(sourcePath, {});
    for (int i = 0; i < 5; ++i) {
        d.session->next();
        ASSERT_TRUE(d.untilEvent().stopped);
    }
    EXPECT_EQ(d.line(), 9);
    EXPECT_EQ(d.calc.cycles(), cycles);
    EXPECT_EQ(d.word(0x9356), z);
    EXPECT_EQ(d.word(0x9354), y);

    // Back to the last breakpoint hit, then to the start.
    d.session->setBreakpoints(sourcePath, {{13, "x = 2", "", ""}});
    ASSERT_TRUE(d.session->reverseContinue(error));
    Progress p = d.untilEvent();
    ASSERT_TRUE(p.stopped);
    EXPECT_EQ(p.stopped->reason, StopReason::breakpoint);
    EXPECT_EQ(d.line(), 13);
    EXPECT_EQ(d.x(), 2);
    d.session->setBreakpoints(sourcePath, {});
    ASSERT_TRUE(d.session->reverseContinue(error));
    p = d.untilEvent();
    EXPECT_EQ(d.calc.cycles(), 0u);
    EXPECT_FALSE(d.session->stepBack(Granularity::instruction, error));
    EXPECT_EQ(d.calc.cycles(), 0u);
    d.session->next();
    d.untilEvent();
    EXPECT_EQ(d.line(), 6);

    // Nothing before the first statement: the machine stays where it was.
    DebugInfo later = loopInfo();
    later.code.erase(later.code.begin());
    Debugged e(loopProgram, later);
    e.session->begin(true);
    e.untilEvent();
    ASSERT_EQ(e.line(), 6);
    const std::uint64_t first = e.calc.cycles();
    EXPECT_FALSE(e.session->stepBack(Granularity::statement, error));
    EXPECT_EQ(error, "the history holds nothing earlier");
    EXPECT_EQ(e.calc.cycles(), first);
    EXPECT_EQ(e.line(), 6);
    e.session->next();
    e.untilEvent();
    EXPECT_EQ(e.line(), 7);
}

TEST(DebugSession, StopsAndStepsLeaveTheRunAsItWas) {
    Calculator plain;
    plain.start(loopProgram, StartKind::plain);
    while (plain.run(plain.cycles() + 1000) == RunState::running) {
    }

    Debugged d;
    d.session->begin(true);
    d.untilEvent();
    std::string error;
    for (int i = 0; !d.session->ended() && i < 200; ++i) {
        if (i % 7 == 3) {
            d.session->stepBack(Granularity::instruction, error);
        } else {
            d.session->stepIn(i % 2 == 0 ? Granularity::instruction : Granularity::statement);
        }
        d.untilEvent();
    }
    EXPECT_TRUE(d.session->ended());
    EXPECT_EQ(d.calc.cycles(), plain.cycles());
    EXPECT_EQ(d.word(0x9356), plain.readWord(0x9356));
}

TEST(DebugSession, FaultsStopUnlessTheirFilterIsOff) {
    const std::vector<std::uint8_t> runsAway = {0x00, 0xC3, 0x34, 0x12};  // nop / jp 1234h
    DebugInfo info;
    info.files = {sourcePath};
    info.lines = {{"nop", "goto(1234h)"}};
    info.code = {{0x9327, 0x9328, 0, 1, true}, {0x9328, 0x932B, 0, 2, true}};
    {
        Debugged d(runsAway, info);
        d.session->begin(false);
        const Progress p = d.untilEvent();
        ASSERT_TRUE(p.stopped);
        EXPECT_EQ(p.stopped->reason, StopReason::exception);
        EXPECT_EQ(d.line(), 2);
        const auto details = d.session->exceptionInfo();
        ASSERT_TRUE(details);
        EXPECT_EQ(details->id, "ranAway");
        EXPECT_EQ(details->sourceLine, "loop.p83:2: goto(1234h)");
        std::string error;
        ASSERT_TRUE(d.session->stepBack(Granularity::statement, error)) << error;
        d.untilEvent();
        EXPECT_EQ(d.line(), 2);
        EXPECT_FALSE(d.session->exceptionInfo());
        d.session->continueRun();
        ASSERT_TRUE(d.untilEvent().stopped);
        d.session->continueRun();
        const Progress end = d.untilEvent();
        ASSERT_TRUE(end.exited);
        EXPECT_EQ(end.exited->status, 1);
    }
    {
        Debugged d(runsAway, info);
        std::string error;
        EXPECT_FALSE(d.session->setExceptionFilters({"nonsense"}, error));
        ASSERT_TRUE(d.session->setExceptionFilters({"stack"}, error));
        d.session->begin(false);
        const Progress p = d.untilEvent();
        ASSERT_TRUE(p.exited);
        EXPECT_EQ(p.exited->status, 1);
        EXPECT_NE(p.exited->message.find("loop.p83:2: goto(1234h)"), std::string::npos);
    }
    {
        const std::vector<std::uint8_t> forever = {0x18, 0xFE};  // jr $
        Debugged d(forever, info, SessionOptions{{}, 600'000, 64u << 20});
        d.session->begin(false);
        const Progress p = d.untilEvent();
        ASSERT_TRUE(p.exited);
        EXPECT_EQ(p.exited->status, 3);
    }
}

TEST(DebugSession, AStopShowsVariablesRegistersAndScreen) {
    Debugged d;
    d.session->setBreakpoints(sourcePath, {{9, "x = 2", "", ""}});
    d.session->begin(false);
    ASSERT_TRUE(d.untilEvent().stopped);
    const auto vars = d.session->variables(d.session->scopes(0)[0].variablesReference);
    ASSERT_EQ(vars.size(), 3u);
    EXPECT_EQ(vars[0].name, "x");
    EXPECT_EQ(vars[0].value, "2 (0002h, low byte 2)");
    EXPECT_EQ(vars[0].memoryReference, 0x9352);
    const auto regs = d.session->variables(3);
    ASSERT_GE(regs.size(), 9u);
    EXPECT_EQ(regs[0].name, "A");
    EXPECT_EQ(regs[1].name, "F");

    struct Case {
        std::string expression;
        bool ok;
        std::string value;
    };
    const Case cases[] = {
        {"x", true, "2 (0002h, low byte 2)"},
        {"y = 4 and x < $10", true, "true"},
        {"300", true, "300 (012Ch, low byte 44)"},
        {"(x", false, "not closed"},
        {"x = 70000", false, "not a number from 0 to 65535"},
    };
    for (const Case& c : cases) {
        const Answer a = d.session->evaluate(c.expression);
        EXPECT_EQ(a.ok, c.ok) << c.expression;
        EXPECT_NE(a.text.find(c.value), std::string::npos) << a.text;
    }
    const std::string screen = d.session->evaluate("screen").text;
    EXPECT_EQ(screen.size(), 64u * 97u);
    EXPECT_EQ(screen.substr(0, 3), "...");

    const Answer set = d.session->setVariable(1, "x", "4");
    ASSERT_TRUE(set.ok) << set.text;
    EXPECT_EQ(d.x(), 4);
    EXPECT_TRUE(d.session->setVariable(3, "A", "0FFh").ok);
    EXPECT_EQ(d.calc.reg(Reg::af) >> 8, 0xFF);
    EXPECT_FALSE(d.session->setVariable(1, "nothing", "1").ok);
    // Set values stay through stepping back and forth.
    d.session->next();
    d.untilEvent();
    std::string error;
    ASSERT_TRUE(d.session->stepBack(Granularity::statement, error)) << error;
    d.untilEvent();
    d.session->next();
    d.untilEvent();
    EXPECT_EQ(d.line(), 6);
    EXPECT_EQ(d.x(), 4);

    const auto code = d.session->disassemble(0x9339, -2, 4);
    ASSERT_EQ(code.size(), 4u);
    EXPECT_EQ(code[0].address, 0x9334);
    EXPECT_EQ(code[2].bytes, "CD 49 93");
    EXPECT_EQ(code[2].line, 7);
    EXPECT_EQ(d.session->readMemory(0x9352, 2), (std::vector<std::uint8_t>{4, 0}));
    EXPECT_EQ(d.session->disassemble(0x9327, std::numeric_limits<int>::min(), 2).size(), 2u);
}

TEST(DebugSession, KeysComeBackWhenSteppingBack) {
    // ld a,0FEh / out (1),a / in a,(1) / ld (9332h),a / jr start: the arrows' group.
    const std::vector<std::uint8_t> polls = {0x3E, 0xFE, 0xD3, 0x01, 0xDB, 0x01,
                                             0x32, 0x32, 0x93, 0x18, 0xF5};
    DebugInfo info;
    info.files = {sourcePath};
    info.lines = {{"poll"}};
    info.code = {{0x9327, 0x9332, 0, 1, true}};
    info.variables = {{"k", 0x9332, 0, 1}};
    SessionOptions options;
    options.keys = keyTimeline({{*keyIndex("down"), 100}});
    Debugged d(polls, info, options);
    d.session->setDataBreakpoints({{"k", DataAccess::write, "k <> 0FFh", ""}});
    d.session->begin(false);
    Progress p = d.untilEvent();
    ASSERT_TRUE(p.stopped);
    EXPECT_EQ(p.stopped->description, "k written: 255 -> 254");
    const std::uint64_t pressed = d.calc.cycles();
    std::string error;
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(d.session->stepBack(Granularity::instruction, error));
        d.untilEvent();
    }
    d.session->setDataBreakpoints({});
    d.session->pause();
    for (int i = 0; i < 3; ++i) {
        d.session->stepIn(Granularity::instruction);
        d.untilEvent();
    }
    EXPECT_EQ(d.calc.cycles(), pressed);
    EXPECT_EQ(d.word(0x9332), 0xFE);
    // The key goes up again.
    d.session->setDataBreakpoints({{"k", DataAccess::write, "k = 0FFh", ""}});
    d.session->continueRun();
    p = d.untilEvent();
    ASSERT_TRUE(p.stopped);
    EXPECT_EQ(p.stopped->description, "k written: 254 -> 255");
    d.session->continueRun();
    d.session->pause();
    p = d.untilEvent();
    ASSERT_TRUE(p.stopped);
    EXPECT_EQ(p.stopped->reason, StopReason::pause);
}

TEST(DebugExpression, HitConditionsParse) {
    std::string error;
    EXPECT_TRUE(HitCondition::parse(" 3 ", error));
    EXPECT_TRUE(HitCondition::parse(">=10", error));
    EXPECT_TRUE(HitCondition::parse("% 4", error));
    EXPECT_FALSE(HitCondition::parse("% 0", error));
    EXPECT_FALSE(HitCondition::parse("-2", error));
    EXPECT_FALSE(HitCondition::parse("", error));
    EXPECT_EQ(Session::checkCondition("a = = 1").empty(), false);
    EXPECT_EQ(Session::checkCondition("x = 1 or (y <> 2 && B >= $ff)"), "");
    // What a client sends cannot make the parser or the evaluation go deep.
    EXPECT_NE(Session::checkCondition(std::string(100, '(') + "x" + std::string(100, ')')), "");
    std::string chain = "x";
    for (int i = 0; i < 500; ++i) chain += " or x";
    EXPECT_NE(Session::checkCondition(chain), "");
}

}  // namespace
}  // namespace calcview::debug
