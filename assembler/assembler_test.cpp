// SPDX-License-Identifier: GPL-2.0-or-later
// Runs the built tasm.exe on small sources and on the programs under
// tests/programs, and compares the object files with hand-assembled bytes.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;

const fs::path testData = ASSEMBLER_TEST_DIR;

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeFile(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// "C9 30 03 ; comment" lines into bytes.
std::string bytesFromHex(const std::string& listing) {
    std::istringstream lines(listing);
    std::string line;
    std::string bytes;
    while (std::getline(lines, line)) {
        std::istringstream words(line.substr(0, line.find(';')));
        std::string word;
        while (words >> word) bytes += static_cast<char>(std::stoi(word, nullptr, 16));
    }
    return bytes;
}

std::string hexOf(const std::string& bytes) {
    std::string out;
    char digits[4];
    for (const char b : bytes) {
        std::snprintf(digits, sizeof digits, "%02X ", static_cast<unsigned char>(b));
        out += digits;
    }
    return out;
}

struct Outcome {
    int status = -1;
    std::string errors;
};

// A fresh folder per test, removed afterwards.
class StandInTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(info->test_suite_name()) + "." + info->name();
        for (char& c : name) {
            if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
        }
        dir_ = fs::temp_directory_path() /
               ("tasm-standin-test-" + std::to_string(getpid()) + "-" + name);
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    Outcome run(const std::string& arguments, const std::string& includePath = "") const {
        const std::string command = "cd '" + dir_.string() + "' && TASM_INCLUDE='" + includePath +
                                    "' '" TASM_STANDIN "' " + arguments +
                                    " >stdout.txt 2>stderr.txt";
        const int status = std::system(command.c_str());
        return Outcome{WIFEXITED(status) ? WEXITSTATUS(status) : -1, readFile(dir_ / "stderr.txt")};
    }

    // Assembles `source` as main.asm into main.bin.
    Outcome binary(const std::string& source, const std::string& includePath = "") const {
        writeFile(dir_ / "main.asm", source);
        return run("-t80 -b -i main.asm main.bin", includePath);
    }

    fs::path dir_;
};

// Each case holds a source in this assembler's dialect and the same program
// in z80asm's plain syntax; z80asm assembles the latter for the expected
// bytes. Grouped as the dialect's manual describes it.
struct BytesCase {
    const char* name;
    const char* source;
    const char* plain;
    const char* include = "";  ///< written as usual.inc beside the source
};

const BytesCase sourceFormatCases[] = {
    {"labels with and without colon in any case",
     "\t.org 9327h\nStart\n\tjp START\nLoop:\tjr loop\n", "org 9327h\ns: jp s\nl: jr l\n"},
    {"several statements on a line", "\tld a,1 \\ ld b,2\\inc a\n\tnop ; no \\ split\n",
     "ld a,1\nld b,2\ninc a\nnop\n"},
    {"a label after a backslash", "\tnop \\ here: jr here\n", "nop\nh: jr h\n"},
    {"nothing after the first end",
     "#define END .end\n\tnop\nEND\n\tthis is not read\n#include \"missing.inc\"\n", "nop\n"},
    {"CR LF, a byte order mark and Ctrl-Z", "\xEF\xBB\xBF\tnop\r\n\tret\r\n\x1A\x01", "nop\nret\n"},
    {"labels used before their line", "\tjp later\nlater\tret\n", "jp l\nl: ret\n"},
    {"operand forms and mnemonics in any case",
     "label .equ 9000h\n\tLD A,1\n\tLd b, 2\n\tld ix ,label\n\tEX AF,AF'\n\tld a, (label)\n"
     "\tld a,( label )\n\tld a,(2+3)*4\n\tld b,(ix+0)\n\tld (iy-2),a\n\tld a,(ix)\n"
     "\tld (ix+127),a\n\tld (iy-128),a\n\tjp (hl)\n\tjp (ix)\n\tout (003H),a\n\tin a,(c)\n"
     "\tim 1\n\trst 38h\n\tld a,255\n\tld a,-128\n\tld bc,-1\n\tld hl,[label+1]/2\n",
     "ld a,1\nld b,2\nld ix,9000h\nex af,af'\nld a,(9000h)\nld a,(9000h)\nld a,20\n"
     "ld b,(ix+0)\nld (iy-2),a\nld a,(ix+0)\nld (ix+127),a\nld (iy-128),a\njp (hl)\njp (ix)\n"
     "out (3),a\nin a,(c)\nim 1\nrst 38h\nld a,255\nld a,-128\nld bc,65535\n"
     "ld hl,0+(9000h+1)/2\n"},
};

const BytesCase expressionCases[] = {
    {"number notations",
     "\t.org 100h\n\t.db $FF,0FFh,%0101,0101b,12d,12,'A',@17,17o,17q\n"
     "\t.dw 33381d,$1234\n",
     "org 100h\ndefb 255,255,5,5,12,12,65,15,15,15\ndefw 33381,4660\n"},
    {"strict left-to-right order", "\t.db 2+3*4, 10-2-3, 2*(3+4), 1+6/4*2, 7&3|8, -2+5\n",
     "defb (2+3)*4, (10-2)-3, 2*(3+4), ((1+6)/4)*2, (7&3)|8, (-2)+5\n"},
    {"remainder", "\t.db 17%5, 2+17%5, %1010%4\n", "defb 17-(17/5)*5, 19-(19/5)*5, 10-(10/4)*4\n"},
    {"comparisons give one or zero", "\t.db 3=3, 3==4, 2<3, 2>3, 2<=2, 3>=4, 1!=2\n",
     "defb 3==3, 3==4, 2<3, 2>3, 2<=2, 3>=4, 1!=2\n"},
    {"shifts and bit operators", "\t.db 1<<4>>2, ~0&$F0, 5^1, 6&3|8\n",
     "defb (1<<4)>>2, (~0)&0F0h, 5^1, (6&3)|8\n"},
    {"location counter as $ and *", "\t.org 8000h\n\tjr *\n\t.dw $, *+2\n",
     "org 8000h\njr $\ndefw $, $+2\n"},
    {"character constants and string escapes",
     "\t.db 'a', '\\n', ';', '\\\\', \"\\t\\\"x\\r\\b\\f\\\\\"\n",
     "defb 'a', 10, ';', 92, 9, 34, 'x', 13, 8, 12, 92\n"},
    {"octal escapes", "\t.db \"\\301MODE]\", '\\101', \"\\0\\12\\1234\"\n\t.text \"\\177\"\n",
     "defb 0C1h,'M','O','D','E',']',65,0,10,83,'4',127\n"},
    {"labels in expressions", "\tld hl,finish-start\nstart\t.db 1,2,3\nfinish\n",
     "ld hl,f-s\ns: defb 1,2,3\nf:\n"},
};

const BytesCase directiveCases[] = {
    {".byte .word .text .db .dw",
     "\t.byte 1,2\n\t.word 300h\n\t.text \"hi\\n\"\n\t.db 3\n\t.dw 4\n",
     "defb 1,2\ndefw 300h\ndefb 'h','i',10\ndefb 3\ndefw 4\n"},
    {".msfirst and .lsfirst", "\t.msfirst\n\t.dw 1234h\n\t.word 5\n\t.lsfirst\n\t.dw 1234h\n",
     "defb 12h,34h,0,5\ndefw 1234h\n"},
    {".block reserves bytes", "\t.org 10h\n\t.db 1\n\t.block 2\n\t.db $\n",
     "org 10h\ndefb 1\ndefs 2\ndefb $\n"},
    {".ds, which TASM takes as .block", "\t.org 10h\n\t.db 1\n\t.ds 2\n#if $ = 13h\n\t.db $\n#endif\n",
     "org 10h\ndefb 1\ndefs 2\ndefb $\n"},
    {".fill with a value and without", "\t.fill 3\n\t.fill 2,7\n", "defs 3,0FFh\ndefs 2,7\n"},
    {".chk sums the bytes from its address", "\t.org 100h\nstart\t.db 1,2,3,250\n\t.chk start\n",
     "org 100h\ndefb 1,2,3,250\ndefb (1+2+3+250)&255\n"},
    {"= .equ and .set, which changes a label made by .equ, = or as a code label",
     "size = 3\nbig .equ size*2\ncount .equ 1\n\t.db count\ncount .set count+1\n\t.db "
     "count,size,big\nsize .set 9\nhere\tnop\nhere .set here+1\n\t.db size,here\n",
     "defb 1\ndefb 2,3,6\nnop\ndefb 9,5\n"},
    {"a label on an .org line names the new address", "start\t.org 1000h\n#if start = 1000h\n\tjp start\n#endif\n",
     "org 1000h\ns: jp s\n"},
    {"*= and $= set the location counter", "\t*= 9000h\n\tjp $\n\t$=9010h\n\tjp *\n",
     "org 9000h\njp $\ndefs 9010h-$\njp $\n"},
    {"a gap between origins holds zero", "\t.org 10h\n\t.db 1\n\t.org 12h\n\t.db 2\n",
     "defb 1,0,2\n"},
    {"a later origin below an earlier one", "\t.org 20h\n\t.db 2\n\t.org 1Fh\n\t.db 1\n",
     "defb 1,2\n"},
    {"underscore labels belong to their module",
     "\t.module one\n_loop\tdjnz _loop\n\t.module two\n_loop:\tdjnz _LOOP\n\tjp One._Loop\n",
     "a: djnz a\nb: djnz b\njp a\n"},
    {"underscore labels before any module", "_puts .equ 4A00h\n\tcall _PUTS\n", "call 4A00h\n"},
    {".locallabelchar", "\t.locallabelchar \"?\"\n\t.module a\n?x\tjr ?x\n\t.module b\n?x\tjr ?X\n",
     "a: jr a\nb: jr b\n"},
    {".addinstr",
     "\t.addinstr SLL2 A 37CB 2 NOP 1\n\t.addinstr LDX A,* 3EDD 3 NOP 1\n"
     "\t.addinstr NEG2 \"\" 44ED 2 NOP 1\n\t.addinstr JRX * 18 2 R1 1\n\tneg2\n\tsll2 a\n"
     "\tldx a, 5\nhere\tjrx here\n",
     "neg\ndefb 0CBh,37h\ndefb 0DDh,3Eh,5\nh: jr h\n"},
    {".addinstr with the rules of TASM's tables",
     "\t.addinstr XBIT *,(IX*) CBDD 4 ZBIT 1 0 4600\n\t.addinstr XBIT *,A 47CB 2 ZBIT 1\n"
     "\t.addinstr XLD (IX*),* 36DD 4 ZIX 1\n\t.addinstr XRL (IX*) CBDD 4 ZIX 1 0 1600\n"
     "\t.addinstr XCALL * CD 3 NOTOUCH 1\n\t.addinstr XSW * FE 3 SWAP 1\n"
     "\t.addinstr XCB *,* FD 3 COMBINE 1\n\t.addinstr XCS *,* FD 3 CSWAP 1\n"
     "\t.addinstr XSH * 21DD 4 NOTOUCH 1 8 12\n\t.addinstr XR2 * FE 3 R2 1\n"
     "\txbit 3,(ix+5)\n\txbit 6, a\n\txld (ix-2),7\n\txrl (IX+1)\n\txcall 1234h\n"
     "\txsw 1234h\n\txcb 45h,67h\n\txcs 45h,67h\n\txsh 34h\nhere\txr2 here+4\n",
     "bit 3,(ix+5)\nbit 6,a\nld (ix-2),7\nrl (ix+1)\ncall 1234h\ndefb 0FEh,12h,34h\n"
     "defb 0FDh,45h,67h\ndefb 0FDh,67h,45h\ndefb 0DDh,21h,12h,34h\ndefb 0FEh,1,0\n"},
    {"listing directives change no byte",
     "\t.title \"x\"\n\t.page\n\t.nopage\n\t.eject\n\t.codes\n\t.nocodes\n\t.list\n\t.nolist\n"
     "\t.echo \"a\"\n\tnop\n",
     "nop\n"},
};

const BytesCase preprocessorCases[] = {
    {"defines replace whole words outside strings",
     "#define size 3\n#define twice size*2\nsizes .equ 9\n\t.db size,twice,sizes,\"size\"\n",
     "defb 3,6,9,'s','i','z','e'\n"},
    {"the prologue's defines of end and equ",
     "#define end .end\n#define END .end\n#define equ .equ\n#define EQU .equ\n"
     "five equ 5\nsix EQU 6\n\t.db five,six\n.end\n\t.db 7\n",
     "defb 5,6\n"},
    {"a macro with an argument and backslashes",
     "#define bcall(addr) rst 28h \\ .dw addr\n\tbcall(4A00h)\n\tbcall( 1234h ) \\ nop\n",
     "rst 28h\ndefw 4A00h\nrst 28h\ndefw 1234h\nnop\n"},
    {"macros used inside macros",
     "#define pair(a,b) .db a,b\n#define twice(x) pair(x,x)\n"
     "#define two(x) x,x\n\ttwice(7)\n\tpair(two(1),2)\n",
     "defb 7,7\ndefb 1,1,2\n"},
    {"arguments replace whole words only",
     "#define load(v) ld a,v \\ ld b,value\nvalue .equ 9\n\tload(3)\n", "ld a,3\nld b,9\n"},
    {"#defcont continues the last define",
     "#define pushall push af\n#defcont \\ push bc\n#defcont \\ push de\n\tpushall\n",
     "push af\npush bc\npush de\n"},
    {"nested #ifdef, #ifndef and #else",
     "#define ti83\n#ifdef ti83\n\t.db 1\n#ifndef ti83\n\t.db 2\n#else\n\t.db 3\n#endif\n#else\n"
     "\t.db 4\n#endif\n#ifdef ti86\n\t.db 5\n#endif\n",
     "defb 1\ndefb 3\n"},
    {"#if takes an expression",
     "#define version 3\n#if version >= 2\n\t.db 1\n#else\n\t.db 2\n#endif\n#if version-3\n"
     "\t.db 3\n#endif\nsize = 4\nTwice .equ Size*2\n#if twice = 8\n\t.db twice\n#endif\n",
     "defb 1\ndefb 8\n"},
    {"an include file of the usual kind, included twice",
     "#include \"usual.inc\"\n#include \"usual.inc\"\n\t.org progstart\n\tbcall(_clrlcdfull)\n"
     "\tBCALL _clrlcdfull \\ ret\n",
     "org 9327h\ncall 4755h\ncall 4755h\nret\n",
     "#ifndef USUAL_INC\n#define USUAL_INC\n#ifdef TI83P\n#define bcall(xxxx) rst 28h \\ .dw xxxx\n"
     "#else\n#define bcall(xxxx) call xxxx\n\t.addinstr BCALL * CD 3 NOP 1\n#endif\n"
     "_clrlcdfull = 4755h ; clears the screen\nprogstart .equ 9327h\n#endif\n"},
    {"an include name without quotes, in another case, as DOS TASM took it",
     "#include USUAL.INC\n\t.db value\n", "defb 7\n", "value .equ 7\n"},
    {"#if sees $ and the labels above it",
     "\t.org 0FF0h\nstart\t.db 1,2,\"\\101\"\n\t.fill 8\n\tld a,(ix+1)\n#if ($ >= 1000h)\n"
     "\t.db 0EEh\n#else\n\t.db $-start\n#endif\n\tld hl,1234h\n#if ($ >= 1000h)\n\t.db 1\n"
     "#endif\n#if start = 0FF0h\n\t.db 2\n#endif\n",
     "org 0FF0h\ndefb 1,2,65\ndefs 8,0FFh\nld a,(ix+1)\ndefb 14\nld hl,1234h\ndefb 1,2\n"},
    {"skipped lines are not read",
     "#if 0\n\tgarbage (\n#include \"missing.inc\"\n#define x\n#endif\n"
     "#ifndef x\n\tnop\n#endif\n",
     "nop\n"},
};

class BytesTest : public StandInTest {
  protected:
    // The bytes z80asm makes of `plain`.
    std::string plainBytes(const std::string& plain) const {
        writeFile(dir_ / "plain.z80", plain);
        const std::string command =
            "cd '" + dir_.string() + "' && z80asm -o plain.bin plain.z80 2>plain.txt";
        EXPECT_EQ(std::system(command.c_str()), 0) << readFile(dir_ / "plain.txt");
        return readFile(dir_ / "plain.bin");
    }

    template <size_t N>
    void check(const BytesCase (&cases)[N]) {
        for (const BytesCase& c : cases) {
            SCOPED_TRACE(c.name);
            fs::remove(dir_ / "main.bin");
            writeFile(dir_ / "usual.inc", c.include);
            const Outcome result = binary(c.source);
            ASSERT_EQ(result.status, 0) << result.errors;
            EXPECT_EQ(hexOf(readFile(dir_ / "main.bin")), hexOf(plainBytes(c.plain)));
        }
    }
};

TEST_F(BytesTest, SourceFormat) { check(sourceFormatCases); }
TEST_F(BytesTest, Expressions) { check(expressionCases); }
TEST_F(BytesTest, Directives) { check(directiveCases); }
TEST_F(BytesTest, Preprocessor) { check(preprocessorCases); }

struct ErrorCase {
    const char* name;
    const char* source;
    const char* message;
};

const ErrorCase errorCases[] = {
    {"unknown instruction", "\tnop\n\tfoo a\n", "main.asm:2: unknown instruction \"foo\"\n"},
    {"unknown label", "\tnop\n\tjp nowhere\n", "main.asm:2: unknown label \"nowhere\"\n"},
    {"operand z80asm rejects", "\tnop\n\tld b,(de)\n\tnop\n", "main.asm:2: invalid operand (de)\n"},
    {"jump z80asm finds too far", "\tjr far\n\t.org 200\nfar\tnop\n",
     "main.asm:1: jr reaches 127 bytes ahead, the label is 198 bytes ahead\n"},
    {"index offset beyond a signed byte", "\tld a,(ix+200)\n",
     "main.asm:1: index offset 200 is out of range (-128 to 127)\n"},
    {"label defined twice", "a1\tnop\nA1\tnop\n",
     "main.asm:2: label \"A1\" is already defined at main.asm:1\n"},
    {"equate using a later label", "x .equ y+1\ny .equ 2\n",
     "main.asm:1: .equ uses \"y\", which is not defined before this line\n"},
    {"local label of another module", "\t.module one\n_x\tnop\n\t.module two\n\tjp _x\n",
     "main.asm:4: unknown label \"_x\"\n"},
    {"unknown directive", "\tnop\n\t.bseg\n", "main.asm:2: unknown directive .bseg\n"},
    {"bad expression", "\t.db 2+\n", "main.asm:1: missing operand in \"2+\"\n"},
    {"unterminated string", "\t.db \"ab\\\"\n", "main.asm:1: bad string \"ab\\\"\n"},
    {"byte operand too wide", "\tnop\n\tld a,1234h\n",
     "main.asm:2: the operand value 4660 does not fit in a byte (-128 to 255)\n"},
    {"word operand too wide", "\tld bc,12345h\n",
     "main.asm:1: the operand value 74565 does not fit in a word (-32768 to 65535)\n"},
    {"counted loop too long", "top\t.fill 141\n\tdjnz top\n",
     "main.asm:2: djnz reaches 128 bytes back, the label is 143 bytes back\n"},
    {"#if without #endif", "\tnop\n#ifdef x\n\tnop\n", "main.asm:2: #ifdef has no #endif\n"},
    {"stray #else", "\tnop\n#else\n", "main.asm:2: #else without #if\n"},
    {"stray #endif", "#endif\n", "main.asm:1: #endif without #if\n"},
    {"second #else", "#if 1\n#else\n#else\n#endif\n",
     "main.asm:3: second #else for the #if at main.asm:1\n"},
    {"#if on the location counter, as the manual's example",
     "\t.org 0FFEh\n\tld hl,0\n#if ($ >= 1000h)\n!!! PROM bounds exceeded.\n#endif\n",
     "main.asm:4: bad label \"!!!\"\n"},
    {"#if on $ after an .org to a later label", "\t.org later\n#if $\n#endif\nlater\n",
     "main.asm:2: #if $: the location counter has no value here (the address after main.asm:1 "
     "is not known)\n"},
    {"#if with an unknown name", "#if later\n#endif\n",
     "main.asm:1: #if later: \"later\" is not defined\n"},
    {"macro that expands into itself", "#define loop loop+1\n\t.db loop\n",
     "main.asm:2: the macro loop expands into itself\n"},
    {"macros that expand into each other", "#define a b\n#define b a\n\t.db a\n",
     "main.asm:3: the macro a expands into itself\n"},
    {"macro with too few arguments", "#define f(a,b) a\n\t.db f(1)\n",
     "main.asm:2: f takes 2 arguments, not 1\n"},
    {"#defcont without #define", "#defcont \\ nop\n",
     "main.asm:1: #defcont without a #define before it\n"},
    {"binary bytes", "\tnop\n\x01\x02\x7f\n",
     "main.asm:2: byte 01h does not belong in a source text\n"},
    {".set of a label not defined above", "x .set 1\nx .equ 2\n",
     "main.asm:1: no such label \"x\": a label must pre-exist for .set\n"},
    {".addinstr with another processor's rule", "\t.addinstr XZ * A5 2 ZPAGE 1\n",
     "main.asm:1: .addinstr: the rule ZPAGE is for another processor\n"},
    {".addinstr relative jump out of reach",
     "\t.addinstr JRX * 18 2 R1 1\n\tjrx far\n\t.fill 130\nfar\tnop\n",
     "main.asm:2: jrx reaches 127 bytes ahead, the label is 130 bytes ahead\n"},
    {"octal escape beyond a byte", "\t.db \"\\400\"\n", "main.asm:1: bad string \"\\400\"\n"},
    {".fill with a later count", "\t.fill n\nn .equ 2\n",
     "main.asm:1: .fill uses \"n\", which is not defined before this line\n"},
    {"code past the end of memory", "\t.org 0FFFFh\n\tnop\n\tnop\n",
     "main.asm:1: code runs past address FFFFh\n"},
    {"#include with two names", "#include a.inc b.inc\n",
     "main.asm:1: #include needs a file name, as \"file.inc\"\n"},
    {"file including itself", "\tnop\n#include \"main.asm\"\n",
     "main.asm:2: \"main.asm\" includes itself\n"},
};

TEST_F(StandInTest, ReportsEachErrorOnItsLineAndWritesNoObjectFile) {
    for (const ErrorCase& c : errorCases) {
        SCOPED_TRACE(c.name);
        writeFile(dir_ / "main.bin", "from an earlier run");
        const Outcome result = binary(c.source, "/nowhere");
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.errors, c.message);
        EXPECT_FALSE(fs::exists(dir_ / "main.bin"));
    }
}

TEST_F(StandInTest, ANameDefinedByTheProgramAndAnIncludeFileNamesBothPlaces) {
    struct Clash {
        const char* name;
        const char* source;
        const char* include;
        const char* message;
    };
    const Clash clashes[] = {
        {"a variable's #define above the include",
         "#define contrast 33387d\n#include \"usual.inc\"\n", "\tnop\ncontrast .equ 8447h\n",
         "usual.inc:2: \"contrast\" is defined twice: here and at main.asm:1\n"},
        {"a label below the include", "#include \"usual.inc\"\ncontrast\t.db 1\n",
         "contrast .equ 8447h\n",
         "main.asm:2: \"contrast\" is defined twice: here and at usual.inc:1\n"},
        {"a label above the include", "contrast = 5\n#include \"usual.inc\"\n",
         "\tnop\ncontrast .equ 8447h\n",
         "usual.inc:2: \"contrast\" is defined twice: here and at main.asm:1\n"},
    };
    for (const Clash& c : clashes) {
        SCOPED_TRACE(c.name);
        writeFile(dir_ / "usual.inc", c.include);
        const Outcome result = binary(c.source);
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.errors, c.message);
    }
}

TEST_F(StandInTest, TheClosingLineCountsTheSpanABlockLeavesInside) {
    const Outcome result = binary("\t.org 9327h\n\t.db 1\n\t.block 300\n\t.db 2\n\t.block 5\n");
    ASSERT_EQ(result.status, 0) << result.errors;
    EXPECT_EQ(readFile(dir_ / "stdout.txt"), "main.asm: 302 bytes at 9327h-9454h, written to main.bin\n");
    EXPECT_EQ(fs::file_size(dir_ / "main.bin"), 302u);
}

TEST_F(StandInTest, EchoPrintsTextAndValuesLaterLabelsIncluded) {
    const Outcome result =
        binary("start\t.db 1,2,3\n\t.echo \"size \", finish-start, \"\\n\"\nfinish\n");
    ASSERT_EQ(result.status, 0) << result.errors;
    EXPECT_EQ(readFile(dir_ / "stdout.txt").substr(0, 7), "size 3\n");
}

TEST_F(StandInTest, AMissingFileIsAFileAccessError) {
    const Outcome result = run("-t80 -b -i nothere.asm main.bin");
    EXPECT_EQ(result.status, 3);
    EXPECT_EQ(result.errors,
              "nothere.asm: cannot open the source file (No such file or directory)\n");
    EXPECT_FALSE(fs::exists(dir_ / "main.bin"));
    EXPECT_EQ(binary("#include \"nothere.inc\"\n", "/nowhere").status, 3);
}

// The first statement comes from the include file; the message is still
// about the program.
TEST_F(StandInTest, WithoutZ80asmTheMessageNamesTheProgramAndThePackage) {
    writeFile(dir_ / "usual.inc", "value .equ 7\n");
    writeFile(dir_ / "main.asm", "#include \"usual.inc\"\n\t.db value\n");
    const std::string command = "cd '" + dir_.string() + "' && PATH=/nonexistent '" TASM_STANDIN
                                "' -t80 -b -i main.asm main.bin 2>stderr.txt";
    const int status = std::system(command.c_str());
    EXPECT_EQ(WEXITSTATUS(status), 4);
    EXPECT_EQ(readFile(dir_ / "stderr.txt"),
              "main.asm: cannot run z80asm: it is not installed (not found on PATH); install the "
              "z80asm package\n");
}

TEST_F(StandInTest, VersionIsTheProjectsAlone) {
    const Outcome result = run("--version");
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(readFile(dir_ / "stdout.txt"), TOOLCHAIN_VERSION "\n");
    EXPECT_EQ(result.errors, "");
}

// Each name is defined in several of the folders, with the value of the
// folder that must win: 1 beside the including file, 2 beside the main
// source, 3 and 4 in TASM_INCLUDE's folders, 5 in the shipped folder.
TEST_F(StandInTest, IncludesAreSearchedInOrderEndingBesideTheProgram) {
    const std::vector<std::pair<std::string, std::vector<std::string>>> filesByFolder = {
        {"src/lib", {"one"}},
        {"src", {"one", "two"}},
        {"third", {"two", "three"}},
        {"fourth", {"two", "three", "four"}},
        {"share/trovik/include", {"one", "two", "three", "four", "five"}},
    };
    int value = 1;
    for (const auto& [folder, names] : filesByFolder) {
        fs::create_directories(dir_ / folder);
        for (const std::string& name : names) {
            writeFile(dir_ / folder / (name + ".inc"),
                      name + " .equ " + std::to_string(value) + "\n");
        }
        ++value;
    }
    writeFile(dir_ / "src/lib/part.inc", "#include \"one.inc\"\n#include \"two.inc\"\n");
    writeFile(dir_ / "src/main.asm",
              "#include \"lib/part.inc\"\n#include \"three.inc\"\n#include \"four.inc\"\n"
              "#include \"five.inc\"\n\t.db one,two,three,four,five\n");
    fs::create_directories(dir_ / "bin");
    fs::copy_file(TASM_STANDIN, dir_ / "bin/tasm.exe");
    const std::string command = "cd '" + dir_.string() +
                                "' && TASM_INCLUDE=third::fourth bin/tasm.exe -t80 -b -i "
                                "src/main.asm main.bin 2>stderr.txt";
    ASSERT_EQ(std::system(command.c_str()), 0) << readFile(dir_ / "stderr.txt");
    EXPECT_EQ(hexOf(readFile(dir_ / "main.bin")), "01 02 03 04 05 ");

    writeFile(dir_ / "src/main.asm", "#include \"six.inc\"\n");
    EXPECT_NE(std::system(command.c_str()), 0);
    EXPECT_EQ(readFile(dir_ / "stderr.txt"),
              "src/main.asm:1: cannot find include file \"six.inc\" (looked in src, third, "
              "fourth, " +
                  (dir_ / "share/trovik/include").string() + ")\n");
}

TEST_F(StandInTest, IncludeNamesMayUseBackslashesAndAnotherCase) {
    fs::create_directories(dir_ / "sub");
    writeFile(dir_ / "sub" / "Values.inc", "value .equ 7\n");
    const Outcome result = binary("#include \"sub\\VALUES.INC\"\n\t.db value\n");
    ASSERT_EQ(result.status, 0) << result.errors;
    EXPECT_EQ(hexOf(readFile(dir_ / "main.bin")), "07 ");
}

TEST_F(StandInTest, ErrorsInAnIncludeFileNameThatFile) {
    fs::create_directories(dir_ / "inc");
    writeFile(dir_ / "inc" / "bad.inc", "; a test include\n\tfoo\n");
    const Outcome result = binary("\tnop\n#include \"bad.inc\"\n", (dir_ / "inc").string());
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.errors,
              (dir_ / "inc" / "bad.inc").string() + ":2: unknown instruction \"foo\"\n");
}

TEST_F(StandInTest, IntelHexGoesToTheObjectFileInRecordsOf32Bytes) {
    std::string source = "\t.org 9327h\n";
    for (int i = 0; i < 40; ++i) source += "\t.db " + std::to_string(i) + "\n";
    writeFile(dir_ / "main.asm", source);
    const Outcome result = run("-80 -p60 -i -o20 main.asm");
    ASSERT_EQ(result.status, 0) << result.errors;
    EXPECT_EQ(readFile(dir_ / "main.obj"),
              ":20932700000102030405060708090A0B0C0D0E0F101112131415161718191A1B1C1D1E1F36\n"
              ":08934700202122232425262702\n"
              ":00000001FF\n");
}

TEST_F(StandInTest, ACommandLineItDoesNotTakeGetsTheUsage) {
    writeFile(dir_ / "main.asm", "\tnop\n");
    const char* argumentLists[] = {
        "",
        "main.asm",
        "-i main.asm",
        "-t80 -b main.asm main.bin",
        "-65 -i main.asm",
        "-80 -i -g2 main.asm",
        "-80 -i -o main.asm",
        "-80 -i -lx main.asm",
        "-80 -i main.asm a.obj a.lst a.exp a.sym extra",
        "--version main.asm",
    };
    for (const char* arguments : argumentLists) {
        SCOPED_TRACE(arguments);
        const Outcome result = run(arguments);
        EXPECT_EQ(result.status, 4);
        EXPECT_EQ(result.errors.rfind("usage: ", 0), 0u) << result.errors;
    }
    EXPECT_TRUE(fs::is_empty(dir_ / "stdout.txt"));
    for (const char* name : {"main.obj", "main.bin", "main.lst", "a.obj"}) {
        EXPECT_FALSE(fs::exists(dir_ / name)) << name;
    }
}

struct ListingCase {
    const char* name;
    const char* arguments;  ///< between the table and the file names
    const char* source;
    const char* listing;  ///< "" for none
};

// The first case is shaped like the example of the manual's LISTING FILE
// FORMAT: the columns there are the columns here.
const ListingCase listingCases[] = {
    {"the manual's example", "-i",
     "label1  .equ  40h\nlabel2  .equ  44h\n\nstart:  .org  1000h\n        inc   (ix+label1)\n"
     "        ld    hl,label2\n        ld    (label2),a\n        jp    start\n        .end\n",
     "0001   0000             label1  .equ  40h\n"
     "0002   0000             label2  .equ  44h\n"
     "0003   0000             \n"
     "0004   1000             start:  .org  1000h\n"
     "0005   1000 DD 34 40            inc   (ix+label1)\n"
     "0006   1003 21 44 00            ld    hl,label2\n"
     "0007   1006 32 44 00            ld    (label2),a\n"
     "0008   1009 C3 00 10            jp    start\n"
     "0009   100C                     .end\n"
     "tasm: Number of errors = 0\n"},
    {"includes, skipped lines, statements after a backslash, long data, .block", "-i",
     "\t.org 20h\n#include \"usual.inc\"\n#if 0\n\tnop\n#endif\n\tnop \\ ret ; two\n"
     "\t.db 1,2,3,4,5,6,7,8,9\n\t.block 3\n\t.db $\n",
     "0001   0020             \t.org 20h\n"
     "0002   0020             #include \"usual.inc\"\n"
     "0001+  0020 3E 07       \tld a,7\n"
     "0003   0022~            #if 0\n"
     "0004   0022~            \tnop\n"
     "0005   0022             #endif\n"
     "0006   0022 00          \tnop \\ ret ; two\n"
     "0006   0023 C9          \n"
     "0007   0024 01 02 03 04 \t.db 1,2,3,4,5,6,7,8,9\n"
     "0007   0028 05 06 07 08 \n"
     "0007   002C 09 \n"
     "0008   002D             \t.block 3\n"
     "0009   0030 30          \t.db $\n"
     "tasm: Number of errors = 0\n"},
    {".nolist, .list and .nocodes", "-i",
     ".nolist\n\tnop\n.list\n\tnop\n\t.nocodes\n; a wide comment\n\t.codes\n\tret\n",
     "0003   0001             .list\n"
     "0004   0001 00          \tnop\n"
     "\t.nocodes\n"
     "; a wide comment\n"
     "0007   0002             \t.codes\n"
     "0008   0002 C9          \tret\n"
     "tasm: Number of errors = 0\n"},
    {"-q leaves it off until a .list", "-i -q", "\tnop\n\t.list\n\tret\n",
     "0002   0001             \t.list\n"
     "0003   0001 C9          \tret\n"
     "tasm: Number of errors = 0\n"},
    {"-q and no .list: no listing", "-i -q", "\tnop\n", ""},
    {"pages with their headers and .title", "-i -p6", "\t.title \"Ball\"\n\tnop\n\tret\n",
     "\fTASM Z80 Assembler (stand-in)     main.asm                         page 1\n\n\n"
     "0001   0000             \t.title \"Ball\"\n"
     "0002   0000 00          \tnop\n"
     "\fTASM Z80 Assembler (stand-in)     main.asm                         page 2\nBall\n\n"
     "0003   0001 C9          \tret\n"
     "tasm: Number of errors = 0\n"},
    {"a label table with -l, local labels with -la", "-i -la",
     "Zeta\tnop\nalpha = 7\n\t.module m\n_loop\tjr _loop\n",
     "0001   0000 00          Zeta\tnop\n"
     "0002   0001             alpha = 7\n"
     "0003   0001             \t.module m\n"
     "0004   0001 18 FE       _loop\tjr _loop\n"
     "\n\n\n"
     "Label        Value      Label        Value      Label        Value\n"
     "------------------      ------------------      ------------------\n"
     "alpha         0007      m._loop       0001      Zeta          0000      \n"
     "\n"
     "tasm: Number of errors = 0\n"},
};

TEST_F(StandInTest, TheListingHasTheManualsLayout) {
    writeFile(dir_ / "usual.inc", "\tld a,7\n");
    for (const ListingCase& c : listingCases) {
        SCOPED_TRACE(c.name);
        writeFile(dir_ / "main.lst", "from an earlier run");
        writeFile(dir_ / "main.asm", c.source);
        const Outcome result = run(std::string("-80 ") + c.arguments + " main.asm");
        ASSERT_EQ(result.status, 0) << result.errors;
        if (*c.listing == '\0') {
            EXPECT_FALSE(fs::exists(dir_ / "main.lst"));
        } else {
            EXPECT_EQ(readFile(dir_ / "main.lst"), c.listing);
        }
    }
}

TEST_F(StandInTest, TheSymbolFileListsEveryLabelWithItsValue) {
    writeFile(dir_ / "main.asm",
              "start\t.org 9327h\nSize = 300\n\t.module m\n_loop\tjr _loop\ncount .equ 1\n"
              "count .set count+1\n");
    ASSERT_EQ(run("-t80 -b -i -s main.asm main.bin").status, 0);
    EXPECT_EQ(readFile(dir_ / "main.sym"),
              "count             0002\n"
              "m._loop           9327\n"
              "Size              012C\n"
              "start             9327\n");
    EXPECT_TRUE(fs::exists(dir_ / "main.lst"));
    writeFile(dir_ / "main.asm", "\t.sym \"other.map\"\nhere\tnop\n\tjp nowhere\n");
    EXPECT_EQ(run("-t80 -b -i main.asm main.bin").status, 1);
    EXPECT_FALSE(fs::exists(dir_ / "main.lst")) << "an older listing stays behind";
    EXPECT_FALSE(fs::exists(dir_ / "other.map"));
    writeFile(dir_ / "main.asm", "\t.sym \"../other.map\"\nhere\tnop\n");
    EXPECT_EQ(run("-t80 -b -i main.asm main.bin").status, 0);
    EXPECT_EQ(readFile(dir_ / "other.map"), "here              0000\n") << "beside the source";
}

TEST_F(StandInTest, NoFileItWritesTakesThePlaceOfTheSource) {
    for (const char* arguments : {"-80 -i main.lst", "-80 -i main.lst main.obj main.lst",
                                  "-t80 -b -i main.lst main.lst", "-80 -i -s main.sym"}) {
        SCOPED_TRACE(arguments);
        const std::string source = std::string(arguments).substr(std::string(arguments).rfind(' ') + 1);
        writeFile(dir_ / source, "\tnop\n");
        EXPECT_EQ(run(arguments).status, 4);
        EXPECT_EQ(readFile(dir_ / source), "\tnop\n");
    }
}

// Generated programs (the shell headers and the routine library) with
// hand-assembled bytes, assembled with the test include files.
class ProgramTest : public StandInTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(ProgramTest, AssemblesToTheHandAssembledBytes) {
    const fs::path programs = testData / "programs";
    fs::copy_file(programs / (GetParam() + ".asm"), dir_ / "main.asm");
    const Outcome result = run("-t80 -b -i main.asm main.bin", (testData / "include").string());
    ASSERT_EQ(result.status, 0) << result.errors;
    EXPECT_EQ(hexOf(readFile(dir_ / "main.bin")),
              hexOf(bytesFromHex(readFile(programs / (GetParam() + ".expected")))));
}

std::vector<std::string> programNames() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(testData / "programs")) {
        if (entry.path().extension() == ".asm") names.push_back(entry.path().stem().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

INSTANTIATE_TEST_SUITE_P(Generated, ProgramTest, ::testing::ValuesIn(programNames()),
                         [](const auto& info) { return info.param; });

}  // namespace
