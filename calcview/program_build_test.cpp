// SPDX-License-Identifier: GPL-2.0-or-later
// Building what a launch names with the real trovik, tasm.exe and pack83 of
// the build tree, in a folder of its own, and the tables that come with it.

#include "program_build.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>

#include "debug_session.hpp"

namespace calcview {
namespace {

namespace fs = std::filesystem;

/// A folder of the test's own with copies of the examples.
class ProgramBuildTest : public ::testing::Test {
  protected:
    fs::path folder = fs::temp_directory_path() /
                      ("calcview-build-" + std::to_string(::getpid()) + "-" +
                       ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::unique_ptr<ToolRunner> tools = toolRunnerIn(PROGRAMS_DIR);
    std::vector<std::string> messages;

    void SetUp() override {
        fs::remove_all(folder);
        fs::create_directories(folder);
        for (const auto& entry : fs::directory_iterator(EXAMPLES_DIR)) {
            fs::copy_file(entry.path(), folder / entry.path().filename());
        }
    }
    void TearDown() override { fs::remove_all(folder); }

    void write(const std::string& name, const std::string& text) {
        std::ofstream(folder / name, std::ios::binary) << text;
    }
    pack83::Result<BuiltProgram> build(const std::string& name,
                                       std::vector<std::string> options = {}) {
        return buildProgram({folder / name, {}, std::move(options)},
                            [&](std::string_view line) { messages.emplace_back(line); }, *tools);
    }
};

const Symbol* named(const std::vector<Symbol>& symbols, const std::string& name) {
    const auto found = std::find_if(symbols.begin(), symbols.end(),
                                    [&](const Symbol& s) { return s.name == name; });
    return found == symbols.end() ? nullptr : &*found;
}

/// The statement ranges of `line` in `file`, first stretch first.
std::vector<CodeRange> rangesOf(const DebugInfo& debug, int file, int line) {
    std::vector<CodeRange> ranges;
    for (const CodeRange& r : debug.code) {
        if (r.file == file && r.line == line) ranges.push_back(r);
    }
    return ranges;
}

std::vector<std::uint8_t> bytesAt(const BuiltProgram& built, std::uint16_t address, std::size_t n) {
    const auto& code = built.loaded.program.code;
    const std::size_t from = address - 0x9327u;
    return {code.begin() + static_cast<long>(from), code.begin() + static_cast<long>(from + n)};
}

/// The .asm's ranges (every file's with -1) cover the program's bytes
/// exactly once, and every .p83 range lies inside the program.
void expectCoverage(const BuiltProgram& built, int asmFile) {
    std::vector<CodeRange> ranges;
    for (const CodeRange& r : built.debug.code) {
        EXPECT_GE(r.start, 0x9327);
        EXPECT_LE(r.end, 0x9327 + built.loaded.program.code.size());
        EXPECT_LT(r.start, r.end);
        if (r.file == asmFile || (asmFile < 0 && r.file >= 0)) ranges.push_back(r);
    }
    std::sort(ranges.begin(), ranges.end(),
              [](const CodeRange& a, const CodeRange& b) { return a.start < b.start; });
    std::uint16_t next = 0x9327;
    for (const CodeRange& r : ranges) {
        EXPECT_EQ(r.start, next) << "asm line " << r.line;
        next = r.end;
    }
    EXPECT_EQ(next, 0x9327 + built.loaded.program.code.size());
}

TEST_F(ProgramBuildTest, ExamplesBuildWithTablesThatCoverTheirBytes) {
    const std::map<std::string, std::vector<std::string>> examples{
        {"hello.p83", {}}, {"catch.p83", {"-s"}}, {"drawing.p83", {"-ns", "-c"}}};
    for (const auto& [name, options] : examples) {
        SCOPED_TRACE(name);
        const auto built = build(name, options);
        ASSERT_TRUE(built) << built.message();
        EXPECT_EQ(built->programFile.extension(), ".83p");
        ASSERT_EQ(built->debug.files.size(), 2u);
        EXPECT_EQ(built->debug.files[0], (folder / name).string());
        expectCoverage(*built, 1);
    }
    EXPECT_NE(std::find(messages.begin(), messages.end(), "> trovik catch -s"), messages.end());
}

TEST_F(ProgramBuildTest, NamesComeWithTheirAddressesAndLines) {
    const auto built = build("hello.p83");
    ASSERT_TRUE(built) << built.message();
    const DebugInfo& debug = built->debug;
    const Symbol* count = named(debug.variables, "count");
    ASSERT_TRUE(count);
    EXPECT_EQ(count->address, 33381);
    EXPECT_EQ(count->line, 5);
    const Symbol* again = named(debug.labels, "again");
    ASSERT_TRUE(again);
    EXPECT_EQ(again->line, 12);
    const Symbol* greeting = named(debug.strings, "greeting");
    ASSERT_TRUE(greeting);
    EXPECT_EQ(greeting->line, 9);
    const std::string text = "Hello from trovik";
    EXPECT_EQ(bytesAt(*built, greeting->address, text.size()),
              std::vector<std::uint8_t>(text.begin(), text.end()));
    // inc(count); begins with ld hl,(count), and the label sits on it.
    const auto inc = rangesOf(debug, 0, 13);
    ASSERT_EQ(inc.size(), 1u);
    EXPECT_TRUE(inc[0].statementStart);
    EXPECT_EQ(bytesAt(*built, inc[0].start, 3), (std::vector<std::uint8_t>{0x2A, 0x65, 0x82}));
    EXPECT_EQ(again->address, inc[0].start);
    EXPECT_EQ(sourceLineAt(debug, static_cast<std::uint16_t>(inc[0].start + 1)),
              "hello.p83:13: inc(count);");
    EXPECT_TRUE(rangesOf(debug, 0, 12).empty());  // a label makes no code
}

TEST_F(ProgramBuildTest, TheDebugSessionStopsAndStepsAtTheLinesOfABuild) {
    const auto built = build("hello.p83");
    ASSERT_TRUE(built) << built.message();
    Calculator calc;
    const auto started = startLoaded(calc, built->loaded);
    ASSERT_TRUE(started) << started.message();
    debug::Session session(calc, built->debug);
    const auto answers = session.setBreakpoints(built->debug.files[0], {{12, {}, {}, {}}});  // :again
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_TRUE(answers[0].verified);
    EXPECT_EQ(answers[0].line, 13) << "a label line moves to the statement after it";
    const auto lineAfter = [&] {
        for (int slice = 0; slice < 100; ++slice) {
            const debug::Progress progress = session.advance(clockHz / 10);
            if (progress.stopped) return session.stackTrace().front().line;
            if (progress.exited) return -1;
        }
        return 0;
    };
    session.begin(false);
    EXPECT_EQ(lineAfter(), 13);
    session.next();
    EXPECT_EQ(lineAfter(), 14);
}

TEST_F(ProgramBuildTest, LoopsAndAssemblyBlocksHaveTheirStretches) {
    write("loops.p83",
          "program loops;\nvar\n n\n m\nbegin\n^n:=3;\n^m:=0;\nfor(n,m,round);\nbegin\n"
          "inc(m);\nend;\nasm{\n\tld a,(n)\n\tinc a\n}\ngoto(4,sub);\nret;\n:sub\nret;\nend.\nEOF\n");
    const auto built = build("loops.p83");
    ASSERT_TRUE(built) << built.message();
    expectCoverage(*built, 1);
    const DebugInfo& debug = built->debug;
    // for( sets up before its body and counts down after it.
    const auto loop = rangesOf(debug, 0, 8);
    ASSERT_EQ(loop.size(), 2u);
    EXPECT_TRUE(loop[0].statementStart);
    EXPECT_FALSE(loop[1].statementStart);
    const auto body = rangesOf(debug, 0, 10);
    ASSERT_EQ(body.size(), 1u);
    EXPECT_LT(loop[0].end, loop[1].start);
    EXPECT_EQ(named(debug.labels, "round")->line, 8);
    // An asm{ line is a .p83 line, and its .asm line has a range too.
    const auto load = rangesOf(debug, 0, 13);
    ASSERT_EQ(load.size(), 1u);
    EXPECT_EQ(bytesAt(*built, load[0].start, 3), (std::vector<std::uint8_t>{0x3A, 0x65, 0x82}));
    const auto& asmLines = debug.lines[1];
    const auto asmLine = std::find(asmLines.begin(), asmLines.end(), "\tld a,(n)") - asmLines.begin() + 1;
    const auto inAsm = rangesOf(debug, 1, static_cast<int>(asmLine));
    ASSERT_EQ(inAsm.size(), 1u);
    EXPECT_EQ(inAsm[0].start, load[0].start);
}

TEST_F(ProgramBuildTest, AFailedBuildGivesItsFirstMessageAndLine) {
    const struct {
        std::string body;
        std::string message;
    } cases[] = {
        {"goto(1,nowhere);", "unknown label \"nowhere\""},
        {"rand(x,5);", "ION must be used to use random!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.body);
        write("bad.p83", "program bad;\nvar\n x\nbegin\n" + c.body + "\nend.\nEOF\n");
        const auto built = build("bad.p83");
        ASSERT_FALSE(built);
        EXPECT_NE(built.message().find(c.message), std::string::npos) << built.message();
        EXPECT_NE(built.message().find("\nbad.p83:5: " + c.body), std::string::npos)
            << built.message();
    }
}

/// Plays back the lines and status of a program run.
class ScriptedTools final : public ToolRunner {
  public:
    std::vector<std::string> lines;
    ToolEnd end;
    ToolEnd run(const std::string&, const std::vector<std::string>&, const fs::path&,
                const BuildOutput& output) override {
        for (const auto& line : lines) output(line);
        return end;
    }
    std::optional<fs::path> locate(const std::string&) override { return std::nullopt; }
};

TEST_F(ProgramBuildTest, TheFirstMessageIsNoWarning) {
    const struct {
        std::vector<std::string> lines;
        ToolEnd end;
        std::string message;
    } cases[] = {
        {{"hello.p83:4: warning: no statement matches this line; nothing was written for it",
          "Warning: a sprite statement was used without the -s option", "",
          "hello.asm:30: unknown label \"x\"", "hello.p83:9: goto(1,x);", "hello.p83:10: goto(1,y);",
          "tasm.exe failed (exit status 1); hello.asm was written"},
         {std::nullopt, 3},
         "hello.asm:30: unknown label \"x\"\nhello.p83:9: goto(1,x);"},
        {{"hello.p83:9: warning: if( takes 4 arguments (X,Y,Q,label); this line has 3",
          "hello.p83:9: if(n,zero,tick);", "                          ^",
          "hello.p83:11: note: this stores the address of points (33383), not its value",
          "hello.p83:11: ^score:=points;", "      ^", "ION must be used to use random!",
          "hello.p83:12: rand(x,5);", "     ^", "trovik: 1 warning, 1 note"},
         {std::nullopt, 1},
         "ION must be used to use random!\nhello.p83:12: rand(x,5);"},
        {{"trovik: hello.p83: Access denied"}, {std::nullopt, 217}, "trovik: hello.p83: Access denied"},
        {{}, {std::nullopt, 134}, "trovik hello failed (exit status 134)"},
        {{}, {"No such file or directory", 0}, "trovik could not be started (No such file or directory)"},
    };
    for (const auto& c : cases) {
        ScriptedTools scripted;
        scripted.lines = c.lines;
        scripted.end = c.end;
        const auto built = buildProgram({folder / "hello.p83", {}, {}}, nullptr, scripted);
        ASSERT_FALSE(built);
        EXPECT_EQ(built.message(), c.message);
    }
}

TEST_F(ProgramBuildTest, AProgramFileIsCheckedAgainstItsSource) {
    ASSERT_TRUE(build("catch.p83", {"-s"}));
    // Without options: the forms trovik is used with are tried.
    const auto unchanged = build("catch.83p");
    ASSERT_TRUE(unchanged) << unchanged.message();
    ASSERT_EQ(unchanged->debug.files.size(), 2u);
    expectCoverage(*unchanged, 1);

    std::ifstream in(folder / "catch.p83");
    std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    text.insert(text.find("begin\n") + 6, "^x:=1;\n");
    write("catch.p83", text);
    const auto stale = build("catch.83p");
    ASSERT_FALSE(stale);
    EXPECT_EQ(stale.message().find((folder / "catch.p83").string() +
                                   " changed since catch.83p was written"),
              0u)
        << stale.message();
    write("catch.p83", "program catch;\nbegin\ngoto(1,nowhere);\nend.\nEOF\n");
    const auto broken = build("catch.83p");
    ASSERT_FALSE(broken);
    EXPECT_NE(broken.message().find("catch.83p was written: building it again does not give the "
                                    "program's bytes (it fails: catch.asm:13: unknown label "
                                    "\"nowhere\"\ncatch.p83:3: goto(1,nowhere);)"),
              std::string::npos)
        << broken.message();
    // The user's files stay as they were.
    EXPECT_FALSE(fs::exists(folder / "catch.bin"));
}

TEST_F(ProgramBuildTest, HandWrittenAssembly) {
    write("hand.asm",
          "#include \"ti83asm.inc\"\nstart: .org 9327h\n\tld a,5 \\ ld b,a\n\tcall _clrlcdfull\n"
          "loop:\tdjnz loop\n\tret\n#include \"data.asm\"\n.end\n");
    write("data.asm", "; the program's text\nmsg:\t.db \"hi\",0\n");
    const auto built = build("hand.asm");
    ASSERT_TRUE(built) << built.message();
    EXPECT_EQ(built->programFile, folder / "hand.bin");
    expectCoverage(*built, -1);
    EXPECT_EQ(named(built->debug.labels, "start")->address, 0x9327);
    const auto both = rangesOf(built->debug, 0, 3);  // two statements on one line
    ASSERT_EQ(both.size(), 1u);
    EXPECT_EQ(both[0].end - both[0].start, 3);
    EXPECT_EQ(named(built->debug.labels, "loop")->address, 0x9327 + 6);
    EXPECT_EQ(sourceLineAt(built->debug, 0x9327 + 6), "hand.asm:5: loop:\tdjnz loop");
    // An include file with code or data is a file of its own; ti83asm.inc names only.
    ASSERT_EQ(built->debug.files.size(), 2u);
    EXPECT_EQ(sourceLineAt(built->debug, 0x9327 + 9), "data.asm:2: msg:\t.db \"hi\",0");
    EXPECT_EQ(named(built->debug.labels, "msg")->file, 1);

    const auto fromBinary = build("hand.bin");
    ASSERT_TRUE(fromBinary) << fromBinary.message();
    EXPECT_EQ(fromBinary->debug.code.size(), built->debug.code.size());
    write("hand.asm", "#include \"ti83asm.inc\"\n.org 9327h\n\tret\n.end\n");
    EXPECT_FALSE(build("hand.bin"));
}

TEST_F(ProgramBuildTest, AFaultNamesTheSourceLineWhileTheSourceMatches) {
    write("recurse.p83",
          "program recurse;\nshell(ion);\nvar\n depth\nbegin\n:again\ninc(depth);\n"
          "goto(4,again);\nend.\nEOF\n");
    ASSERT_TRUE(build("recurse.p83"));
    const auto run = [&] {
        const std::string command =
            "'" CALCVIEW_BINARY "' --headless '" + (folder / "recurse.83p").string() + "' 2>&1";
        std::string output;
        FILE* pipe = ::popen(command.c_str(), "r");
        for (char buffer[256]; std::fgets(buffer, sizeof buffer, pipe);) output += buffer;
        ::pclose(pipe);
        return output;
    };
    const std::string fault = run();
    EXPECT_NE(fault.find("after the instruction at "), std::string::npos) << fault;
    EXPECT_NE(fault.find("\nrecurse.p83:8: goto(4,again);\n"), std::string::npos) << fault;
    write("recurse.p83", "program recurse;\nbegin\nend.\nEOF\n");
    const std::string stale = run();
    EXPECT_EQ(stale.find("recurse.p83:"), std::string::npos) << stale;
    EXPECT_NE(stale.find("recurse.p83 changed since recurse.83p was written: building it again "
                         "does not give the program's bytes; no source line is named"),
              std::string::npos)
        << stale;
}

}  // namespace
}  // namespace calcview
