// SPDX-License-Identifier: GPL-2.0-or-later
#include "prologue.hpp"

#include <algorithm>
#include <array>
#include <cctype>

#include "statement_checks.hpp"

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

/// A variable line is one blank or TAB and the name; the first character
/// is dropped whatever it is, and the rest of the line is the name.
void checkVariableLine(Translation& t, std::string_view line, std::string_view name) {
    // The line begin with a blank around it.
    const std::size_t first = line.find_first_not_of(" \t");
    const std::size_t last = line.find_last_not_of(" \t");
    const bool begin = first != std::string_view::npos &&
                       line.substr(first, last - first + 1) == "begin";
    if (begin || (line.front() != ' ' && line.front() != '\t')) {
        t.warnAtLine(begin ? "begin ends the var section only as the whole line, without "
                             "blanks around it; this line declares a variable " + quoted(name)
                           : "a variable line begins with one blank, which is dropped; this one "
                             "does not, so the variable is named " + quoted(name),
                     0);
        return;
    }
    const std::string_view trimmed = name.substr(std::min(name.find_first_not_of(" \t"), name.size()));
    if (!isPlainName(trimmed)) {
        t.warnAtLine("the variable's name is the whole rest of the line, " + quoted(trimmed) +
                         "; a name is letters, digits and _, one to a line",
                     1);
    } else {
        t.rememberVariable(trimmed, t.nextVarAddress);
    }
}

void declareVariable(Translation& t, std::string_view line) {
    const std::string_view name = line.substr(1);
    if (t.settings.checkStatements) checkVariableLine(t, line, name);
    if (isRegisterOrConditionName(name)) {
        t.warnAtLine("the variable " + std::string(name) +
                     " has the name of a Z80 register or condition; its #define rewrites every "
                     "generated instruction that uses that name", 1);
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

/// The word program and the blank after it.
constexpr std::string_view programKeyword = "program";
constexpr long programKeywordWithBlank = 8;
constexpr std::string_view shellKeyword = "shell(";

/// The calculator takes 1 to 8 letters and digits, a letter first.
bool isCalculatorProgramName(std::string_view name) {
    return !name.empty() && name.size() <= 8 && std::isalpha(static_cast<unsigned char>(name[0])) &&
           std::all_of(name.begin(), name.end(),
                       [](unsigned char c) { return std::isalnum(c) && c < 0x80; });
}

void checkProgramName(Translation& t) {
    const std::string_view keyword = firstChars(t.currentLine, programKeywordWithBlank);
    const std::size_t end = checkLineEnding(t, keyword, ";", "the name");
    const std::string_view name = t.currentLine.substr(keyword.size(), end - std::min(end, keyword.size()));
    if (isCalculatorProgramName(name)) return;
    t.warnAtLine("the calculator takes a program name of 1 to 8 letters and digits, a letter "
                 "first, and " + quoted(name) + " is not one; pack83 refuses it unless it is "
                 "given a name that is: pack83 --name NAME",
                 static_cast<long>(keyword.size()));
}

/// The line after the program and shell lines is taken for begin when no
/// var section comes first.
void checkBeginLine(Translation& t) {
    if (t.currentLine == "begin" || t.currentLine.empty()) return;
    const bool var = t.currentLine.size() >= 3 && equalIgnoringCase(t.currentLine.substr(0, 3), "var");
    t.warnAtLine(var ? "var opens the variable section only in small letters; this line is taken "
                       "for begin and is not translated"
                     : "after the program line (and a shell line) come var or begin; this line "
                       "is taken for begin and is not translated",
                 0);
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
    if (!t.matchKeyword(programKeyword)) {
        t.stopWithError({{"First line in code has to be", Attribute::normal},
                         {" Program NAME;", Attribute::bright}});
        return;
    }
    t.programLine = t.sourceLineNumber();
    if (t.settings.checkStatements) checkProgramName(t);
    t.loadWork();
    t.cutInner(programKeywordWithBlank, 1);
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
    if (t.matchKeyword(shellKeyword)) {
        if (t.settings.checkStatements) checkLineEnding(t, shellKeyword, ");", "the shell name");
        t.loadWork();
        t.cutInner(shellKeyword, 2);
        t.shellName = t.workString;
        t.shellDeclared = true;
        t.shellLine = t.sourceLineNumber();
        warnAboutShellCase(t);
        if (!t.readNonEmptyCurrentLine()) {
            t.warnEndOfSource("a line after the shell line");
        }
    }
    if (t.currentLine.starts_with("var")) {
        declareVariables(t);
    } else if (t.settings.checkStatements && !t.stopped()) {
        checkBeginLine(t);
    }
    writeShellHeader(t);
}

}  // namespace trovik
