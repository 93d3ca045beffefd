// SPDX-License-Identifier: GPL-2.0-or-later
#include "command_line.hpp"

#include <gtest/gtest.h>

namespace trovik {
namespace {

struct CommandLineCase {
    std::vector<std::string> arguments;
    bool accepted;
    std::string spriteFileName;
    std::string assemblerArguments;
    bool optimise;
};

class ParseCommandLine : public ::testing::TestWithParam<CommandLineCase> {};

TEST_P(ParseCommandLine, AcceptsOptionsOnlyAtTheirPositions) {
    const CommandLineCase& c = GetParam();
    const auto line = parseCommandLine(c.arguments);
    ASSERT_EQ(line.has_value(), c.accepted);
    if (!line) return;
    EXPECT_EQ(line->fileName, c.arguments[0]);
    EXPECT_EQ(line->sourceName, c.arguments[0] + ".p83");
    EXPECT_EQ(line->outputName, c.arguments[0] + ".asm");
    EXPECT_EQ(line->spriteFileName, c.spriteFileName);
    EXPECT_EQ(line->assemblerArguments, c.assemblerArguments);
    EXPECT_EQ(line->optimise, c.optimise);
}

const std::string plain = "-80 -p60 -i -o20 demo.asm";
const std::string compressed = "-t80 -b -i demo.asm demo.bin";

INSTANTIATE_TEST_SUITE_P(
    Arguments, ParseCommandLine,
    ::testing::Values(CommandLineCase{{"demo"}, true, "", plain, false},
                      CommandLineCase{{"demo", "-s", "-c", "-o"}, true, "demo.spr", compressed, true},
                      CommandLineCase{{"demo", "-S", "-C", "-O"}, true, "demo.spr", compressed, true},
                      CommandLineCase{{"demo", "-ns", "-NC", "-O"}, true, "", plain, true},
                      CommandLineCase{{"demo", "-s"}, true, "demo.spr", plain, false},
                      CommandLineCase{{"demo", "-NS", "-nc"}, true, "", plain, false},
                      CommandLineCase{{"dir/demo", "-s", "-c"}, true, "dir/demo.spr",
                                      "-t80 -b -i dir/demo.asm dir/demo.bin", false},
                      CommandLineCase{{}, false, "", "", false},
                      CommandLineCase{{"demo", "-c"}, false, "", "", false},
                      CommandLineCase{{"demo", "-Ns"}, false, "", "", false},
                      CommandLineCase{{"demo", "-s", "-o"}, false, "", "", false},
                      CommandLineCase{{"demo", "-s", "-c", "-x"}, false, "", "", false},
                      CommandLineCase{{"demo", "-s", "-c", "-o", "-o"}, false, "", "", false},
                      CommandLineCase{{"demo", ""}, false, "", "", false}));

TEST(SplitAtBlanks, DropsRunsOfBlanks) {
    EXPECT_EQ(splitAtBlanks("-80 -p60  -i -o20 demo.asm "),
              (std::vector<std::string>{"-80", "-p60", "-i", "-o20", "demo.asm"}));
    EXPECT_TRUE(splitAtBlanks("").empty());
}

/// Records what is written, with the attribute switches as <b> and <n>.
class RecordingConsole final : public Console {
public:
    void clearScreen(Stream) override { text += "<clear>"; }
    void setAttribute(Stream, Attribute attribute) override {
        if (attribute != current_) text += attribute == Attribute::bright ? "<b>" : "<n>";
        current_ = attribute;
    }
    void write(Stream, std::string_view written) override { text += written; }
    bool inputIsTerminal() override { return false; }
    bool readLine(std::string&) override { return false; }

    std::string text;

private:
    Attribute current_ = Attribute::normal;
};

TEST(Help, ShowsItsLinesInTheirAttributes) {
    RecordingConsole console;
    showHelp(console);
    EXPECT_EQ(console.text,
              "<clear><b>Trovik V1.0 The pascal compiler for the TI-83\n"
              "<n>By: Oskarine\n"
              "Command Line Options\n"
              "Trovik.exe FILENAME -s/-ns -c/-nc -o<b>    IN THAT ORDER!!!!!!!\n"
              "<n>FILENAME = The source file w/o extention, also the name of the output file\n"
              "-s/-ns   = Sprites used, FILENAME.spr is where Trovik looks for sprites\n"
              "           /No sprites\n"
              "-c/-nc   = Compress for DevPac83/Dont compress for Obj83\n"
              "-o       = Optimize code, push and pop are taken out for speed\n"
              "You must use a sprite option to get to compress, and a compress option\n"
              "to get to optimize!\n"
              "Trovik automatically runs TASM\n"
              "It translates from pascal to ASM\n"
              "<b>No support is offered for Trovik, if you cant find it in the readme\n"
              "then it doesnt exist\n"
              "<n>");
}

}  // namespace
}  // namespace trovik
