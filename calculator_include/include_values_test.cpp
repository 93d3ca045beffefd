// SPDX-License-Identifier: GPL-2.0-or-later
// Every name of the calculator include files against its TI-83 value: each
// file is assembled with the stand-in, one `.dw NAME` per row, and the words
// are compared; every name a file defines must have its row here.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "assembly.hpp"

namespace {

namespace fs = std::filesystem;

struct Row {
    std::string file;
    std::string name;
    std::uint16_t value;
};

const std::vector<Row> fixedRows = {
    // Restart vectors.
    {"ti83asm.inc", "rOP1TOOP2", 0x08},
    {"ti83asm.inc", "rFINDSYM", 0x10},
    {"ti83asm.inc", "rPUSHREALO1", 0x18},
    {"ti83asm.inc", "rMOV9TOOP1", 0x20},
    {"ti83asm.inc", "rFPADD", 0x30},
    // System routines.
    {"ti83asm.inc", "_ldHLind", 0x4000},
    {"ti83asm.inc", "_cphlde", 0x4004},
    {"ti83asm.inc", "_divHLBy10", 0x4008},
    {"ti83asm.inc", "_divHLbyA", 0x400C},
    {"ti83asm.inc", "_getcsc", 0x4014},
    {"ti83asm.inc", "_lcd_busy", 0x4066},
    {"ti83asm.inc", "_FPSub", 0x408E},
    {"ti83asm.inc", "_FPAdd", 0x4092},
    {"ti83asm.inc", "_FPMult", 0x40AA},
    {"ti83asm.inc", "_FPDiv", 0x40C6},
    {"ti83asm.inc", "_HLTimes9", 0x4146},
    {"ti83asm.inc", "_OP1ToOP2", 0x418E},
    {"ti83asm.inc", "_OP2ToOP1", 0x41C2},
    {"ti83asm.inc", "_Mov9ToOP1", 0x4206},
    {"ti83asm.inc", "_OP1Set0", 0x4286},
    {"ti83asm.inc", "_ZeroOP1", 0x428E},
    {"ti83asm.inc", "_ZEROOOP1", 0x428E},
    {"ti83asm.inc", "_OP1ExOP2", 0x4306},
    {"ti83asm.inc", "_HTimesL", 0x4382},
    {"ti83asm.inc", "_MemChk", 0x441A},
    {"ti83asm.inc", "_ChkFindSym", 0x442A},
    {"ti83asm.inc", "_FindSym", 0x442E},
    {"ti83asm.inc", "_InsertMem", 0x4432},
    {"ti83asm.inc", "_CreateReal", 0x4452},
    {"ti83asm.inc", "_CreateStrng", 0x4472},
    {"ti83asm.inc", "_CreateProg", 0x448A},
    {"ti83asm.inc", "_DelVar", 0x44AA},
    {"ti83asm.inc", "_DelMem", 0x44B2},
    {"ti83asm.inc", "_PopOP1", 0x44E6},
    {"ti83asm.inc", "_PopRealO1", 0x44FE},
    {"ti83asm.inc", "_PushRealO1", 0x4536},
    {"ti83asm.inc", "_PushOP1", 0x454A},
    {"ti83asm.inc", "_putmap", 0x4701},
    {"ti83asm.inc", "_putc", 0x4705},
    {"ti83asm.inc", "_dispHL", 0x4709},
    {"ti83asm.inc", "_puts", 0x470D},
    {"ti83asm.inc", "_putps", 0x4715},
    {"ti83asm.inc", "_newline", 0x473D},
    {"ti83asm.inc", "_moveDown", 0x4741},
    {"ti83asm.inc", "_scrollUp", 0x4745},
    {"ti83asm.inc", "_moveUp", 0x474D},
    {"ti83asm.inc", "_scrollDown", 0x4751},
    {"ti83asm.inc", "_clrlcdfull", 0x4755},
    {"ti83asm.inc", "_clrLCD", 0x4759},
    {"ti83asm.inc", "_clrScrnFull", 0x475D},
    {"ti83asm.inc", "_clrTxtShd", 0x4765},
    {"ti83asm.inc", "_eraseEOL", 0x476D},
    {"ti83asm.inc", "_homeUp", 0x4775},
    {"ti83asm.inc", "_vputmap", 0x477D},
    {"ti83asm.inc", "_vputs", 0x4781},
    {"ti83asm.inc", "_vputsn", 0x4785},
    {"ti83asm.inc", "_runindicon", 0x4791},
    {"ti83asm.inc", "_runindicoff", 0x4795},
    {"ti83asm.inc", "_dispDone", 0x47F1},
    {"ti83asm.inc", "_GetK", 0x4A18},
    {"ti83asm.inc", "_SetXXOP1", 0x4A74},
    {"ti83asm.inc", "_SetXXOP2", 0x4A78},
    {"ti83asm.inc", "_SetXXXXOP2", 0x4A7C},
    {"ti83asm.inc", "_CLine", 0x4A84},
    {"ti83asm.inc", "_DarkLine", 0x4AE0},
    {"ti83asm.inc", "_iline", 0x4AE4},
    {"ti83asm.inc", "_ipoint", 0x4AE8},
    {"ti83asm.inc", "_CPointS", 0x4B00},
    {"ti83asm.inc", "_grbufcpy", 0x4B9C},
    {"ti83asm.inc", "_Regraph", 0x4BCC},
    {"ti83asm.inc", "_PDspGrph", 0x4BEB},
    {"ti83asm.inc", "_HorizCmd", 0x4BEF},
    {"ti83asm.inc", "_VertCmd", 0x4BF3},
    {"ti83asm.inc", "_getkey", 0x4CFE},
    {"ti83asm.inc", "_formReal", 0x4D32},
    {"ti83asm.inc", "_ParseInp", 0x4E8C},
    {"ti83asm.inc", "_StoX", 0x4ED4},
    {"ti83asm.inc", "_RclY", 0x4EE0},
    {"ti83asm.inc", "_RclX", 0x4EE8},
    {"ti83asm.inc", "_ConvOP1", 0x4EFC},
    {"ti83asm.inc", "_Random", 0x50B6},
    {"ti83asm.inc", "_StoRand", 0x50BA},
    {"ti83asm.inc", "_grbufclr", 0x515B},
    {"ti83asm.inc", "_GRBUFCPY_V", 0x5164},
    {"ti83asm.inc", "_setPenX", 0x51A7},
    {"ti83asm.inc", "_setPenY", 0x51B0},
    {"ti83asm.inc", "_setPenT", 0x51B9},
    {"ti83asm.inc", "_DispOP1A", 0x51D4},
    // System variables and ports.
    {"ti83asm.inc", "contrast", 0x8008},
    {"ti83asm.inc", "currow", 0x800C},
    {"ti83asm.inc", "curcol", 0x800D},
    {"ti83asm.inc", "asm_ind_call", 0x80C8},
    {"ti83asm.inc", "textShadow", 0x80C9},
    {"ti83asm.inc", "pencol", 0x8252},
    {"ti83asm.inc", "penrow", 0x8253},
    {"ti83asm.inc", "saveSScreen", 0x8265},
    {"ti83asm.inc", "usermem_offset", 0x8565},
    {"ti83asm.inc", "statVars", 0x858F},
    {"ti83asm.inc", "curgy", 0x886D},
    {"ti83asm.inc", "curgx", 0x886E},
    {"ti83asm.inc", "PLOTSSCREEN", 0x8E29},
    {"ti83asm.inc", "cmdShadow", 0x9157},
    {"ti83asm.inc", "tempMem", 0x9309},
    {"ti83asm.inc", "fpBase", 0x930B},
    {"ti83asm.inc", "FPS", 0x930D},
    {"ti83asm.inc", "OPBase", 0x930F},
    {"ti83asm.inc", "OPS", 0x9311},
    {"ti83asm.inc", "pTempCnt", 0x9313},
    {"ti83asm.inc", "cleanTmp", 0x9315},
    {"ti83asm.inc", "pTemp", 0x9317},
    {"ti83asm.inc", "progPtr", 0x9319},
    {"ti83asm.inc", "userMem", 0x9327},
    {"ti83asm.inc", "symTable", 0xFE6E},
    {"ti83asm.inc", "LCDINSTPORT", 0x10},
    {"ti83asm.inc", "lcddataport", 0x11},
    // Flag offsets from iy and their bits.
    {"ti83asm.inc", "trigFlags", 0},
    {"ti83asm.inc", "trigDeg", 2},
    {"ti83asm.inc", "plotFlags", 2},
    {"ti83asm.inc", "plotLoc", 1},
    {"ti83asm.inc", "plotDisp", 2},
    {"ti83asm.inc", "grfModeFlags", 2},
    {"ti83asm.inc", "grfFuncM", 4},
    {"ti83asm.inc", "grfPolarM", 5},
    {"ti83asm.inc", "grfParamM", 6},
    {"ti83asm.inc", "grfRecurM", 7},
    {"ti83asm.inc", "graphFlags", 3},
    {"ti83asm.inc", "graphDraw", 0},
    {"ti83asm.inc", "graphCursor", 2},
    {"ti83asm.inc", "grfDBFlags", 4},
    {"ti83asm.inc", "grfDot", 0},
    {"ti83asm.inc", "grfSimul", 1},
    {"ti83asm.inc", "grfGrid", 2},
    {"ti83asm.inc", "grfPolar", 3},
    {"ti83asm.inc", "grfNoCoord", 4},
    {"ti83asm.inc", "grfNoAxis", 5},
    {"ti83asm.inc", "grfLabel", 6},
    {"ti83asm.inc", "textFlags", 5},
    {"ti83asm.inc", "textEraseBelow", 1},
    {"ti83asm.inc", "textScrolled", 2},
    {"ti83asm.inc", "textInverse", 3},
    {"ti83asm.inc", "onFlags", 9},
    {"ti83asm.inc", "onRunning", 3},
    {"ti83asm.inc", "onInterrupt", 4},
    {"ti83asm.inc", "statFlags", 9},
    {"ti83asm.inc", "statsValid", 6},
    {"ti83asm.inc", "fmtFlags", 0x0A},
    {"ti83asm.inc", "fmtExponent", 0},
    {"ti83asm.inc", "fmtEng", 1},
    {"ti83asm.inc", "numMode", 10},
    {"ti83asm.inc", "fmtReal", 5},
    {"ti83asm.inc", "fmtRect", 6},
    {"ti83asm.inc", "fmtPolar", 7},
    {"ti83asm.inc", "curFlags", 0x0C},
    {"ti83asm.inc", "curAble", 2},
    {"ti83asm.inc", "curOn", 3},
    {"ti83asm.inc", "curLock", 4},
    {"ti83asm.inc", "appFlags", 0x0D},
    {"ti83asm.inc", "appTextSave", 1},
    {"ti83asm.inc", "appAutoScroll", 2},
    {"ti83asm.inc", "plotFlag2", 0x11},
    {"ti83asm.inc", "expr_param", 3},
    {"ti83asm.inc", "expr_writing", 4},
    {"ti83asm.inc", "indicFlags", 0x12},
    {"ti83asm.inc", "indicRun", 0},
    {"ti83asm.inc", "indicOnly", 2},
    {"ti83asm.inc", "shiftFlags", 0x12},
    {"ti83asm.inc", "shift2nd", 3},
    {"ti83asm.inc", "shiftAlpha", 4},
    {"ti83asm.inc", "shiftALock", 6},
    {"ti83asm.inc", "tblFlags", 0x13},
    {"ti83asm.inc", "AutoFill", 4},
    {"ti83asm.inc", "AutoCalc", 5},
    {"ti83asm.inc", "sGrFlags", 0x14},
    {"ti83asm.inc", "grfSplit", 0},
    {"ti83asm.inc", "VertSplit", 1},
    {"ti83asm.inc", "write_on_graph", 4},
    {"ti83asm.inc", "textWrite", 7},
    {"ti83asm.inc", "asm_flag1", 0x21},
    {"ti83asm.inc", "asm_flag2", 0x22},
    {"ti83asm.inc", "asm_flag3", 0x23},
    // _getcsc scan codes.
    {"ti83asm.inc", "skDown", 0x01},
    {"ti83asm.inc", "skLeft", 0x02},
    {"ti83asm.inc", "skRight", 0x03},
    {"ti83asm.inc", "skUp", 0x04},
    {"ti83asm.inc", "skEnter", 0x09},
    {"ti83asm.inc", "skAdd", 0x0A},
    {"ti83asm.inc", "skSub", 0x0B},
    {"ti83asm.inc", "skMul", 0x0C},
    {"ti83asm.inc", "skDiv", 0x0D},
    {"ti83asm.inc", "skPower", 0x0E},
    {"ti83asm.inc", "skClear", 0x0F},
    {"ti83asm.inc", "skChs", 0x11},
    {"ti83asm.inc", "sk3", 0x12},
    {"ti83asm.inc", "sk6", 0x13},
    {"ti83asm.inc", "sk9", 0x14},
    {"ti83asm.inc", "skRParen", 0x15},
    {"ti83asm.inc", "skTan", 0x16},
    {"ti83asm.inc", "skVars", 0x17},
    {"ti83asm.inc", "skDecPnt", 0x19},
    {"ti83asm.inc", "sk2", 0x1A},
    {"ti83asm.inc", "sk5", 0x1B},
    {"ti83asm.inc", "sk8", 0x1C},
    {"ti83asm.inc", "skLParen", 0x1D},
    {"ti83asm.inc", "skCos", 0x1E},
    {"ti83asm.inc", "skPrgm", 0x1F},
    {"ti83asm.inc", "skStat", 0x20},
    {"ti83asm.inc", "sk0", 0x21},
    {"ti83asm.inc", "sk1", 0x22},
    {"ti83asm.inc", "sk4", 0x23},
    {"ti83asm.inc", "sk7", 0x24},
    {"ti83asm.inc", "skComma", 0x25},
    {"ti83asm.inc", "skSin", 0x26},
    {"ti83asm.inc", "skMatrix", 0x27},
    {"ti83asm.inc", "skGraphvar", 0x28},
    {"ti83asm.inc", "skStore", 0x2A},
    {"ti83asm.inc", "skLn", 0x2B},
    {"ti83asm.inc", "skLog", 0x2C},
    {"ti83asm.inc", "skSquare", 0x2D},
    {"ti83asm.inc", "skRecip", 0x2E},
    {"ti83asm.inc", "skMath", 0x2F},
    {"ti83asm.inc", "skAlpha", 0x30},
    {"ti83asm.inc", "skGraph", 0x31},
    {"ti83asm.inc", "skTrace", 0x32},
    {"ti83asm.inc", "skZoom", 0x33},
    {"ti83asm.inc", "skWindow", 0x34},
    {"ti83asm.inc", "skYEqu", 0x35},
    {"ti83asm.inc", "sk2nd", 0x36},
    {"ti83asm.inc", "skMode", 0x37},
    {"ti83asm.inc", "skDel", 0x38},
    // _getkey codes (k0..k9 and kCapA..kCapZ are added below).
    {"ti83asm.inc", "kRight", 0x01},
    {"ti83asm.inc", "kLeft", 0x02},
    {"ti83asm.inc", "kUp", 0x03},
    {"ti83asm.inc", "kDown", 0x04},
    {"ti83asm.inc", "kEnter", 0x05},
    {"ti83asm.inc", "kAlphaEnter", 0x06},
    {"ti83asm.inc", "kClear", 0x09},
    {"ti83asm.inc", "kDel", 0x0A},
    {"ti83asm.inc", "kIns", 0x0B},
    {"ti83asm.inc", "kPrgm", 0x2D},
    {"ti83asm.inc", "kZoom", 0x2E},
    {"ti83asm.inc", "kStat", 0x31},
    {"ti83asm.inc", "kMath", 0x32},
    {"ti83asm.inc", "kVars", 0x35},
    {"ti83asm.inc", "kMatrix", 0x37},
    {"ti83asm.inc", "kQuit", 0x40},
    {"ti83asm.inc", "kGraph", 0x44},
    {"ti83asm.inc", "kMode", 0x45},
    {"ti83asm.inc", "kWindow", 0x48},
    {"ti83asm.inc", "kYequ", 0x49},
    {"ti83asm.inc", "kTable", 0x4A},
    {"ti83asm.inc", "kTrace", 0x5A},
    {"ti83asm.inc", "kAdd", 0x80},
    {"ti83asm.inc", "kSub", 0x81},
    {"ti83asm.inc", "kMul", 0x82},
    {"ti83asm.inc", "kDiv", 0x83},
    {"ti83asm.inc", "kExpon", 0x84},
    {"ti83asm.inc", "kLParen", 0x85},
    {"ti83asm.inc", "kRParen", 0x86},
    {"ti83asm.inc", "kStore", 0x8A},
    {"ti83asm.inc", "kComma", 0x8B},
    {"ti83asm.inc", "kChs", 0x8C},
    {"ti83asm.inc", "kDecPnt", 0x8D},
    {"ti83asm.inc", "kEE", 0x98},
    {"ti83asm.inc", "kSpace", 0x99},
    {"ti83asm.inc", "kSin", 0xB7},
    {"ti83asm.inc", "kCos", 0xB9},
    {"ti83asm.inc", "kTan", 0xBB},
    {"ti83asm.inc", "kSquare", 0xBD},
    {"ti83asm.inc", "kLn", 0xBF},
    {"ti83asm.inc", "kLog", 0xC1},
    // Ion.
    {"ion.inc", "progstart", 0x9327},
    {"ion.inc", "cmdshad", 0x9157},
    {"ion.inc", "lVectors", 0x91A7},
    {"ion.inc", "ionVersion", 0x91A7},
    {"ion.inc", "ionRandom", 0x91AA},
    {"ion.inc", "ionPutSprite", 0x91AD},
    {"ion.inc", "ionLargeSprite", 0x91B0},
    {"ion.inc", "ionGetPixel", 0x91B3},
    {"ion.inc", "ionFastCopy", 0x91B6},
    {"ion.inc", "ionDetect", 0x91B9},
    {"ion.inc", "ionDecompress", 0x91BC},
    {"ion.inc", "saferam1", 0x8265},
    {"ion.inc", "saferam2", 0x858F},
    {"ion.inc", "saferam3", 0x80C9},
    {"ion.inc", "saferam4", 0x8039},
    {"ion.inc", "saferam5", 0x8094},
    {"ion.inc", "gbuf", 0x8E29},
    {"ion.inc", "graph_mem", 0x8E29},
    {"ion.inc", "vat", 0x9319},
    {"ion.inc", "usermemoff", 0x8565},
    {"ion.inc", "_clrlcdf", 0x4755},
    {"ion.inc", "_clrscrf", 0x475D},
    {"ion.inc", "_cleargbuf", 0x515B},
    {"ion.inc", "_copygbuf", 0x4B9C},
    {"ion.inc", "_lcdbusy", 0x4066},
    {"ion.inc", "_indicatorOn", 0x4791},
    {"ion.inc", "_indicatorOff", 0x4795},
    {"ion.inc", "_cleartextshad", 0x4765},
    {"ion.inc", "_memfree", 0x441A},
    {"ion.inc", "_chksysvar", 0x442A},
    {"ion.inc", "_createstring", 0x4472},
    {"ion.inc", "_deletemem", 0x44B2},
    // Tokens.
    {"tokens.inc", "t2ByteTok", 0xBB},
    {"tokens.inc", "tColon", 0x3E},
    {"tokens.inc", "tEnter", 0x3F},
    {"tokens.inc", "tProg", 0x5F},
    {"tokens.inc", "tEnd", 0xD4},
    {"tokens.inc", "tSendMBL", 0xE7},
    {"tokens.inc", "tTheta", 0x5B},
};

std::vector<Row> allRows() {
    std::vector<Row> rows = fixedRows;
    const auto series = [&](const char* file, const std::string& prefix, char first, char last,
                            int value) {
        for (char c = first; c <= last; ++c)
            rows.push_back({file, prefix + c, std::uint16_t(value++)});
    };
    series("ti83asm.inc", "k", '0', '9', 0x8E);
    series("ti83asm.inc", "kCap", 'A', 'Z', 0x9A);
    for (int i = 0; i < 6; ++i) {
        rows.push_back(
            {"ti83asm.inc", "OP" + std::to_string(i + 1), std::uint16_t(0x8039 + 11 * i)});
    }
    for (int i = 0; i < 5; ++i) {
        rows.push_back(
            {"ti83asm.inc", "iMathPtr" + std::to_string(i + 1), std::uint16_t(0x8094 + 2 * i)});
    }
    return rows;
}

std::string lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

/// The names a file defines with `.equ`, in lower case.
std::set<std::string> definedNames(const fs::path& file) {
    std::ifstream in(file);
    std::set<std::string> names;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line.substr(0, line.find(';')));
        std::string name, directive;
        if (words >> name >> directive && lower(directive) == ".equ") names.insert(lower(name));
    }
    return names;
}

/// The files whose names a program gets by including `file`.
std::vector<std::string> brought(const std::string& file) {
    if (file == "ion.inc" || file == "sos.inc") return {file, "ti83asm.inc"};
    return {file};
}

class IncludeFile : public ::testing::TestWithParam<std::string> {};

TEST_P(IncludeFile, EveryNameItDefinesHasItsValue) {
    const std::string file = GetParam();
    const std::vector<std::string> files = brought(file);
    std::vector<Row> rows;
    for (const Row& row : allRows()) {
        if (std::find(files.begin(), files.end(), row.file) != files.end()) rows.push_back(row);
    }
    const fs::path folder = fs::path(testing::TempDir()) / ("include-" + file);
    fs::create_directories(folder);
    std::ofstream source(folder / "values.asm");
    // Included again, and beside ti83asm.inc: the guards keep each name defined once.
    const std::string include = "#include \"" + file + "\"\n";
    source << include << "#include \"ti83asm.inc\"\n" << include << "\t.org 0\n";
    for (const Row& row : rows) source << "\t.dw " << row.name << "\n";
    source << "\t.end\n";
    source.close();

    std::ostringstream report, errors;
    const tasm::Job job{(folder / "values.asm").string(), (folder / "values.bin").string(),
                        tasm::ObjectFormat::binary};
    ASSERT_EQ(tasm::assemble(job, {INCLUDE_DIR}, report, errors), 0) << errors.str();
    std::ifstream in(folder / "values.bin", std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    ASSERT_EQ(bytes.size(), 2 * rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        const auto word =
            std::uint16_t(std::uint8_t(bytes[2 * i]) | std::uint8_t(bytes[2 * i + 1]) << 8);
        EXPECT_EQ(word, rows[i].value) << rows[i].name;
    }

    std::set<std::string> expected;
    for (const Row& row : rows) {
        if (row.file == file) expected.insert(lower(row.name));
    }
    EXPECT_EQ(definedNames(fs::path(INCLUDE_DIR) / file), expected);
}

// Ion's sources write ROM calls as bcall(x); on the TI-83 each is a plain call or jump.
TEST(IonInclude, RomCallMacrosArePlainCallsAndJumps) {
    const fs::path folder = fs::path(testing::TempDir()) / "include-bcall";
    fs::create_directories(folder);
    std::ofstream(folder / "calls.asm")
        << "#include \"ion.inc\"\n\t.org 0\n\tbcall(_clrlcdfull)\n\tbcallz(_clrlcdfull)\n"
           "\tbcallnz(_clrlcdfull)\n\tbcallc(_clrlcdfull)\n\tbcallnc(_clrlcdfull)\n"
           "\tbjump(_clrlcdfull)\n\t.end\n";
    std::ostringstream report, errors;
    const tasm::Job job{(folder / "calls.asm").string(), (folder / "calls.bin").string(),
                        tasm::ObjectFormat::binary};
    ASSERT_EQ(tasm::assemble(job, {INCLUDE_DIR}, report, errors), 0) << errors.str();
    std::ifstream in(folder / "calls.bin", std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    // call, call z, call nz, call c, call nc, jp: each with _clrlcdfull's address.
    const std::string opcodes = "\xCD\xCC\xC4\xDC\xD4\xC3";
    ASSERT_EQ(bytes.size(), 3 * opcodes.size());
    for (size_t i = 0; i < opcodes.size(); ++i) {
        EXPECT_EQ(bytes[3 * i], opcodes[i]) << i;
        EXPECT_EQ(bytes.substr(3 * i + 1, 2), bytes.substr(1, 2)) << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Files, IncludeFile,
                         ::testing::Values("ti83asm.inc", "ion.inc", "sos.inc", "tokens.inc"),
                         [](const auto& info) {
                             return info.param.substr(0, info.param.find('.'));
                         });

}  // namespace
