// SPDX-License-Identifier: GPL-2.0-or-later
// The warnings about statement lines: each mistake and the first line of the
// warning it gets, and that no warning changes what is written.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "memory_files.hpp"
#include "trovik.hpp"

namespace trovik {
namespace {

namespace fs = std::filesystem;

class ErrorsOnly final : public Console {
  public:
    void clearScreen(Stream) override {}
    void setAttribute(Stream, Attribute) override {}
    void write(Stream stream, std::string_view text) override {
        if (stream == Stream::err) errors.append(text);
    }
    bool inputIsTerminal() override { return false; }
    bool readLine(std::string&) override { return false; }
    std::string errors;
};

class NoAssembler final : public ProcessStarter {
  public:
    ProgramEnd run(const std::string&, const std::vector<std::string>&, ProgramOutput&) override {
        return {};
    }
};

struct Outcome {
    std::string errors;
    std::map<std::string, std::string> files;
};

Outcome translate(MemoryFileSystem files, const std::vector<std::string>& arguments,
                  bool checkStatements = true) {
    ErrorsOnly console;
    NoAssembler assembler;
    runTrovik(arguments, console, assembler, files, checkStatements);
    return {console.errors, files.files};
}

/// A body line in a program with two variables, on line 7; or, when it
/// starts with "program", the whole source.
std::string sourceWith(const std::string& line) {
    if (line.starts_with("program")) return line;
    return "program demo;\nshell(ion);\nvar\n score\n points\nbegin\n" + line + "\nend.\nEOF\n";
}

Outcome translateLine(const std::string& line, bool checkStatements = true) {
    MemoryFileSystem files;
    files.files["demo.p83"] = sourceWith(line);
    return translate(files, {"demo"}, checkStatements);
}

std::string firstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

struct Mistake {
    std::string line;
    std::string firstWarning;
};

const Mistake mistakes[] = {
    // How a line ends.
    {"inc(secret)",
     "demo.p83:7: warning: the line ends without \";\" after \")\", and the "
     "translation drops its last two characters all the same: \"t\" is lost from "
     "the arguments"},
    {"if(n,zero,2,tick;",
     "demo.p83:7: warning: the line ends without \")\" before \";\", and the "
     "translation drops its last two characters all the same: \"k\" is lost "
     "from the arguments"},
    {"dec(score); // one less",
     "demo.p83:7: warning: the line goes on after \");\", and that text is read into the "
     "arguments (the translation drops the line's last two characters, whatever they are); "
     "comments go on their own line, starting with //"},
    {"^score:=10",
     "demo.p83:7: warning: the line ends without \";\", and the translation drops "
     "its last character all the same: \"0\" is lost from the value"},
    {"pixelon(score,points)",
     "demo.p83:7: warning: the line ends without \";\" after \")\", and "
     "the arguments are not read as written"},
    {"calcoff; // off",
     "demo.p83:7: warning: the rest of the line is not read; comments go on "
     "their own line, starting with //"},
    {":loop;",
     "demo.p83:7: warning: the label is the whole rest of the line, \"loop;\"; a label "
     "is letters, digits, _ and ."},
    // How many arguments.
    {"if(score,points,tick);",
     "demo.p83:7: warning: if( takes 4 arguments (X,Y,Q,label); this line has 3"},
    {"write(0006,m2,\"No options yet\");",
     "demo.p83:7: warning: write( takes 4 arguments "
     "(RRRR,CCCC,name,\"text\"); this line has 3"},
    {"inc(score,2);", "demo.p83:7: warning: inc( takes 1 argument (X); this line has 2"},
    {"add(score);", "demo.p83:7: warning: add( takes 2 arguments (X,Y); this line has 1"},
    {"line(0,0,95,63);",
     "demo.p83:7: warning: line( takes 5 arguments (x1,y1,x2,y2,m); this line has 4"},
    {"circle(1,2,3,4,5);",
     "demo.p83:7: warning: circle( takes 4 arguments (px,py,cx,cy); this line has 5"},
    {"sprite(ball,score);",
     "demo.p83:7: warning: sprite( takes 3 arguments (S,A,B); this line has 2"},
    {"lsprite(big,score,points,2);",
     "demo.p83:7: warning: lsprite( takes 5 arguments (S,X,Y,W,H); this line has 4"},
    {"pixeloff(score);", "demo.p83:7: warning: pixeloff( takes 2 arguments (X,Y); this line has 1"},
    {"for(score,points);",
     "demo.p83:7: warning: for( takes 3 arguments (A,B,label); this line has 2"},
    {"contrast();", "demo.p83:7: warning: contrast( takes X; this line leaves it empty"},
    // Arguments of a fixed kind.
    {"goto(7,top);",
     "demo.p83:7: warning: goto( takes K as one character, 1 to 6; this line has \"7\""},
    {"if(score,points, 1,top);",
     "demo.p83:7: warning: if( takes Q as one character, 1 or 2; this line has \" 1\""},
    {"iskey(25,0,up);",
     "demo.p83:7: warning: iskey( takes KKK as exactly three characters, such "
     "as 254; this line has \"25\", and the fields after it are cut at the "
     "wrong places"},
    {"multkey(254,253,3,both);",
     "demo.p83:7: warning: multkey( takes M as one character, 0 to 2; this line has \"3\""},
    {"rewrite(0003,0000,3,hello);",
     "demo.p83:7: warning: rewrite( takes M as one character, 1 or 2; this line has \"3\""},
    {"outtextxy(6,0,hi,\"Hi\");",
     "demo.p83:7: warning: outtextxy( takes XXXX as exactly four "
     "characters, such as 0006; this line has \"6\", and the "
     "fields after it are cut at the wrong places"},
    {"write(0000,0000,\"Hi\",hi);",
     "demo.p83:7: warning: write( takes name as a name, not a text in quotes"},
    {"write(0000,0000,hi,Hello);",
     "demo.p83:7: warning: write( takes \"text\" in double quotes; "
     "the translation drops the first and the last character of "
     "\"Hello\" all the same"},
    {"getkey(12,key);",
     "demo.p83:7: warning: getkey( takes G as one character, 1 to 7; this "
     "line has \"12\""},
    {"disppic(\"frame\");",
     "demo.p83:7: warning: disppic( takes label as a name, not a text in quotes"},
    {"goto(1,my loop);",
     "demo.p83:7: warning: goto( takes label as one name; \"my loop\" holds a blank"},
    {"inc(\"score\");", "demo.p83:7: warning: inc( takes X as a variable, not a text in quotes"},
    {"^score=10;",
     "demo.p83:7: warning: ^ takes X:=V; this line has \"=\" without \":\", so the "
     "variable is left out"},
    {"^score:=points;",
     "demo.p83:7: note: this stores the address of points (33383), not its "
     "value; to copy the value, write the two lines \"ld hl,(points)\" and "
     "\"ld (score),hl\" in an asm{ block"},
    {"if(^score,points,1,top);",
     "demo.p83:7: warning: what if( leaves of this line, "
     "\"^score,points\", begins with ^, and is translated as that "
     "statement too"},
    // Near misses.
    {"wirte(0000,0000,hi,\"Hi\");",
     "demo.p83:7: warning: no statement matches this line; "
     "nothing was written for it; did you mean write(?"},
    {"score:=10;",
     "demo.p83:7: warning: no statement matches this line; nothing was written for "
     "it; did you mean ^score:=10;?"},
    {"mult score,2);",
     "demo.p83:7: warning: no statement matches this line; nothing was written "
     "for it; did you mean mult(score,2);?"},
    {"ret",
     "demo.p83:7: warning: no statement matches this line; nothing was written for it; "
     "did you mean ret;?"},
    {"Begin",
     "demo.p83:7: warning: no statement matches this line; nothing was written for it; "
     "did you mean begin?"},
    {"EOF ",
     "demo.p83:7: warning: no statement matches this line: EOF is compared exactly, "
     "without blanks after it"},
    // The lines before the body.
    {"program demo;\nvar\nscore\nbegin\nend.\nEOF\n",
     "demo.p83:3: warning: a variable line begins with one blank, which is dropped; this one "
     "does not, so the variable is named \"core\""},
    {"program demo;\nvar\n c\nbegin\nend.\nEOF\n",
     "demo.p83:3: warning: the variable c has the name of a Z80 register or condition; its "
     "#define rewrites every generated instruction that uses that name"},
    {"program demo;\nvar\n x: integer;\nbegin\nend.\nEOF\n",
     "demo.p83:3: warning: the variable's name is the whole rest of the line, \"x: integer;\"; a "
     "name is letters, digits and _, one to a line"},
    {"program countdown;\nbegin\nend.\nEOF\n",
     "demo.p83:1: warning: the calculator takes a program name of 1 to 8 letters and digits, a "
     "letter first, and \"countdown\" is not one; pack83 refuses it unless it is given a name "
     "that is: pack83 --name NAME"},
    {"program demo;\nshell(ion)\nbegin\nend.\nEOF\n",
     "demo.p83:2: warning: the line ends without \";\" after \")\", and the translation drops its "
     "last two characters all the same: \"n\" is lost from the shell name"},
    {"program demo;\nVAR\n x\nbegin\nend.\nEOF\n",
     "demo.p83:2: warning: var opens the variable section only in small letters; this line is "
     "taken for begin and is not translated"},
};

class StatementCheck : public ::testing::TestWithParam<Mistake> {};

TEST_P(StatementCheck, NamesTheMistake) {
    const Outcome checked = translateLine(GetParam().line);
    EXPECT_EQ(firstLine(checked.errors), GetParam().firstWarning) << checked.errors;
    EXPECT_EQ(checked.files, translateLine(GetParam().line, false).files);
}

INSTANTIATE_TEST_SUITE_P(Mistakes, StatementCheck, ::testing::ValuesIn(mistakes));

TEST(StatementCheckDisplay, ShowsTheLineWithACaretAndCounts) {
    const Outcome run = translateLine("\tif(score,points,tick);");
    EXPECT_EQ(run.errors,
              "demo.p83:7: warning: if( takes 4 arguments (X,Y,Q,label); this line has 3\n"
              "demo.p83:7: \tif(score,points,tick);\n"
              "            \t                    ^\n"
              "trovik: 1 warning\n");
}

// A line of any length gets at most one warning of each kind, and a window
// of it is shown.
TEST(StatementCheckDisplay, HostileLines) {
    const std::string commas = "line(" + std::string(100000, ',') + ");";
    const std::string longLine = "inc(" + std::string(1 << 20, 'x') + ")";
    const std::string unbalanced = "write(0000,0000,s,\"((((\"" + std::string(5000, '"') + "(;";
    for (const std::string& line : {commas, longLine, unbalanced}) {
        const Outcome run = translateLine(line);
        EXPECT_LE(std::count(run.errors.begin(), run.errors.end(), '\n'), 2 * 3 + 2);
        EXPECT_LT(run.errors.size(), 2000u);
        EXPECT_EQ(run.files, translateLine(line, false).files);
    }
}

/// The folder's files, as a memory file system holds them.
MemoryFileSystem filesOf(const fs::path& folder) {
    MemoryFileSystem files;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (!entry.is_regular_file()) continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::ostringstream contents;
        contents << in.rdbuf();
        files.files[entry.path().filename().string()] = contents.str();
    }
    return files;
}

// Every golden case writes the same files with the statement checks as
// without them.
TEST(StatementCheckGolden, WarningsChangeNoOutput) {
    int cases = 0;
    for (const auto& entry : fs::directory_iterator(GOLDEN_DIR)) {
        if (!entry.is_directory() || fs::exists(entry.path() / "setup")) continue;
        const MemoryFileSystem files = filesOf(entry.path());
        std::istringstream cmd(files.files.at("cmd"));
        std::vector<std::string> arguments;
        for (std::string word; cmd >> word;) arguments.push_back(word);
        const Outcome checked = translate(files, arguments);
        EXPECT_EQ(checked.files, translate(files, arguments, false).files) << entry.path();
        ++cases;
    }
    EXPECT_GT(cases, 40);
}

}  // namespace
}  // namespace trovik
