#include "prologue.hpp"

#include <algorithm>
#include <array>
#include <cctype>

namespace trovik {

namespace {

constexpr std::array<std::string_view, 6> fixedHeader{
    ";Programmed with Trovik.exe V1.5", ".NOLIST",          "#define end .end",
    "#define END .end",                 "#define equ .equ", "#define EQU .equ",
};

constexpr std::array<std::string_view, 12> ashellHeader{
    "",
    "#include \"ti83asm.inc\"",
    "#include \"tokens.inc\"",
    ".LIST",
    "\t.org 9327h",
    "\tnop",
    "\tjr      prog_start",
    "\t.dw     $0000",
    "\t.dw     Description",
    ";\t.dw     Icon",
    "",
    "prog_start",
};

constexpr std::array<std::string_view, 10> sosHeader{
    "",
    "#include \"sos.inc\"",
    ".list",
    "\t.org 9327h",
    "\tccf",
    "\tjr start_of_program",
    "\t.dw\t$0000",
    "\t.dw\tdescription",
    "",
    "start_of_program:",
};

constexpr std::array<std::string_view, 4> plainHeader{
    "#include \"ti83asm.inc\"",
    "#include \"tokens.inc\"",
    ".LIST",
    "\t.org 9327h",
};

constexpr std::array<std::string_view, 23> registerAndConditionNames{
    "a",  "b",  "c",  "d",  "e",  "h", "l", "i",  "r", "af", "bc", "de",
    "hl", "ix", "iy", "sp", "z", "nz", "nc", "p", "m", "pe", "po",
};

void writeIonHeader(Translation& t) {
    const std::string& programName = t.stringTable.front().text;
    t.emit("#include \"ion.inc\"");
    t.emit(".list");
    t.emit("\t.org progstart");
    t.emit("\tret");
    t.emit("\tjr nc, begin");
    t.emit("\t.db \"", programName, "\",0");
    t.emitEmpty();
    t.emit("begin:");
}

void writeShellHeader(Translation& t) {
    t.attributeTo(t.shellDeclared ? t.shellLine : t.programLine);
    if (!t.shellDeclared) {
        t.emitLines(plainHeader);
    } else if (t.shellName == "ion") {
        writeIonHeader(t);
    } else if (t.shellName == "ashell") {
        t.emitLines(ashellHeader);
    } else if (t.shellName == "sos") {
        t.emitLines(sosHeader);
    }
}

constexpr std::array<std::string_view, 3> shellNames{"ion", "ashell", "sos"};

bool equalIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return foldAsciiLetter(x) == foldAsciiLetter(y);
           });
}

/// Shell names are compared exactly: shell(ION); gets no header and no ION
/// statements, which is easily missed.
void warnAboutShellCase(Translation& t) {
    if (std::find(shellNames.begin(), shellNames.end(), t.shellName) != shellNames.end()) return;
    for (std::string_view name : shellNames) {
        if (equalIgnoringCase(t.shellName, name)) {
            t.warnAtLine("shell names are compared exactly; \"" + t.shellName +
                         "\" is not the shell " + std::string(name) +
                         ", and no shell header is written for it");
            return;
        }
    }
}

void declareVariable(Translation& t, std::string_view line) {
    const std::string_view name = line.substr(1);
    if (isRegisterOrConditionName(name)) {
        t.warn("Warning: the variable " + std::string(name) +
               " has the name of a Z80 register or condition; its #define rewrites every "
               "generated instruction that uses that name");
    }
    t.emit("#define\t", name, " ", std::to_string(t.nextVarAddress), "d");
    t.declare(Declaration::Kind::variable, name, t.sourceLineNumber(), t.nextVarAddress);
    t.nextVarAddress += 2;
}

void declareVariables(Translation& t) {
    for (;;) {
        if (!t.readNonEmptyCurrentLine()) {
            t.warnEndOfSource("the line begin that ends the var section");
            return;
        }
        if (t.currentLine == "begin") return;
        declareVariable(t, t.currentLine);
    }
}

}  // namespace

bool isRegisterOrConditionName(std::string_view name) {
    std::string folded(name);
    std::transform(folded.begin(), folded.end(), folded.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return std::find(registerAndConditionNames.begin(), registerAndConditionNames.end(), folded) !=
           registerAndConditionNames.end();
}

void copyLeadingComments(Translation& t) {
    t.readCurrentLine();
    while (t.matchKeyword("//")) {
        t.emit(";", t.currentLine);
        if (!t.readCurrentLine()) break;
    }
}

void checkProgramLine(Translation& t) {
    if (!t.matchKeyword("program")) {
        t.stopWithError({{"First line in code has to be", Attribute::normal},
                         {" Program NAME;", Attribute::bright}});
        return;
    }
    t.programLine = t.sourceLineNumber();
    t.loadWork();
    t.cutInner(8, 1);
    t.stringTable.front() = StringEntry{"description", std::string(t.workString), t.programLine};
    t.emit(";", t.currentLine);
}

void writeFixedHeader(Translation& t) {
    if (!t.readNonEmptyCurrentLine()) {
        t.warnEndOfSource("a line after the program line");
    }
    t.attributeTo(t.programLine);
    t.emitLines(fixedHeader);
}

void declareShellAndVariables(Translation& t) {
    if (t.matchKeyword("shell(")) {
        t.loadWork();
        t.cutInner(6, 2);
        t.shellName = t.workString;
        t.shellDeclared = true;
        t.shellLine = t.sourceLineNumber();
        warnAboutShellCase(t);
        if (!t.readNonEmptyCurrentLine()) {
            t.warnEndOfSource("a line after the shell line");
        }
    }
    if (t.currentLine.starts_with("var")) declareVariables(t);
    writeShellHeader(t);
}

}  // namespace trovik
