// SPDX-License-Identifier: GPL-2.0-or-later
// The source reader on files in memory: include files of the usual kind and
// input that must stop with an error instead of a hang or a crash.

#include "source_reader.hpp"

#include <gtest/gtest.h>

#include "assembly.hpp"

namespace tasm {
namespace {

std::vector<std::string> statements(const SourceText& source) {
    std::vector<std::string> texts;
    for (const SourceLine& line : source.lines) texts.push_back(line.text);
    return texts;
}

std::string errorText(const Diagnostics& errors) {
    std::string text;
    for (const Diagnostic& d : errors) text += format(d) + "\n";
    return text;
}

TEST(ReadSource, IncludeFilesWithGuardsAndCallMacros) {
    const MemoryFiles files({
        {"main.asm", "#include \"ti83.inc\"\n#include \"ti83.inc\"\n\tbcall(_puts)\n"},
        {"inc/ti83.inc",
         "#ifndef TI83_INC\n#define TI83_INC\n#define bcall(label) rst 28h \\ "
         ".dw label\n_puts .equ 450Ah\n#endif\n"},
    });
    const SourceText source = readSource("main.asm", files, {"inc"});
    EXPECT_EQ(errorText(source.errors), "");
    EXPECT_EQ(statements(source),
              (std::vector<std::string>{"_puts .equ 450Ah", "\trst 28h ", "\t.dw _puts"}));
    EXPECT_EQ(source.lines[0].where.file, "inc/ti83.inc");
    EXPECT_EQ(source.lines[2].where.line, 3);
}

struct BadInput {
    const char* name;
    std::map<std::string, std::string> files;
    const char* message;
};

TEST(ReadSource, BadInputStopsWithAnError) {
    std::string doubling;
    for (int i = 0; i < 40; ++i) {
        doubling += "#define m" + std::to_string(i) + " m" + std::to_string(i + 1) + " m" +
                    std::to_string(i + 1) + "\n";
    }
    const BadInput cases[] = {
        {"include loop",
         {{"a.asm", "\tnop\n#include \"b.inc\"\n"}, {"b.inc", "#include \"a.asm\"\n"}},
         "b.inc:1: \"a.asm\" includes itself\n"},
        {"missing include",
         {{"a.asm", "#include \"gone.inc\"\n"}},
         "a.asm:1: cannot find include file \"gone.inc\" (looked in .)\n"},
        {"line of a megabyte",
         {{"a.asm", "\tnop\n\t.db " + std::string(1 << 20, '1') + "\n\tnop\n"}},
         "a.asm:2: line is longer than 4096 characters\n"},
        {"macros that double at each step",
         {{"a.asm", doubling + "\t.db m0\n"}},
         "a.asm:41: the line grows beyond 65536 characters with its macros expanded\n"},
        {"macro with no closing parenthesis",
         {{"a.asm", "#define f(x) x\n\t.db f(1\n"}},
         "a.asm:2: f( has no closing ')'\n"},
        {"NUL byte",
         {{"a.asm", std::string("\tnop\n\t.db 1\0", 12)}},
         "a.asm:2: byte 00h does not belong in a source text\n"},
    };
    for (const BadInput& c : cases) {
        SCOPED_TRACE(c.name);
        const MemoryFiles files(c.files);
        const Rewritten program = translateSource("a.asm", files, {});
        EXPECT_EQ(errorText(program.errors), c.message);
        EXPECT_TRUE(program.lines.empty());
    }
}

}  // namespace
}  // namespace tasm
