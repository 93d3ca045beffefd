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

struct BytesCase {
    const char* name;
    const char* source;
    const char* bytes;
};

const BytesCase bytesCases[] = {
    {"number notations", "\t.org 100h\n\t.db $FF,0FFh,%0101,0101b,12d,12,'A'\n\t.dw 33381d,$1234\n",
     "FF FF 05 05 0C 0C 41 65 82 34 12"},
    {"strict left-to-right order", "\t.db 2+3*4, 10-2-3, 2*(3+4), 1+6/4*2, 7&3|8, -2+5\n",
     "14 05 0E 02 0B 03"},
    {"defines replace whole words outside strings",
     "#define size 3\n#define twice size*2\nsizes .equ 9\n\t.db size,twice,sizes,\"size\"\n",
     "03 06 09 73 69 7A 65"},
    {"the prologue's defines of end and equ",
     "#define end .end\n#define END .end\n#define equ .equ\n#define EQU .equ\n"
     "five equ 5\nsix EQU 6\n\t.db five,six\n.end\n\t.db 7\n",
     "05 06"},
    {"labels with and without colon in any case",
     "\t.org 9327h\nStart\n\tjp START\nLoop:\tjr loop\n", "C3 27 93 18 FE"},
    {"underscore labels belong to their module",
     "\t.module one\n_loop\tdjnz _loop\n\t.module two\n_loop:\tdjnz _LOOP\n\tjp One._Loop\n",
     "10 FE 10 FE C3 00 00"},
    {"underscore labels before any module", "_puts .equ 4A00h\n\tcall _PUTS\n", "CD 00 4A"},
    {"operand forms and mnemonics in any case",
     "label .equ 9000h\n\tLD A,1\n\tLd b, 2\n\tld ix ,label\n\tEX AF,AF'\n\tld a, (label)\n"
     "\tld a,( label )\n\tld a,(2+3)*4\n\tld b,(ix+0)\n\tld (iy-2),a\n\tld a,(ix)\n\tld "
     "(ix+127),a\n\tld (iy-128),a\n"
     "\tjp (hl)\n\tjp (ix)\n\tout (003H),a\n\tin a,(c)\n\tim 1\n\trst 38h\n",
     "3E 01 06 02 DD 21 00 90 08 3A 00 90 3A 00 90 3E 14 DD 46 00 FD 77 FE DD 7E 00 "
     "DD 77 7F FD 77 80 "
     "E9 DD E9 D3 03 ED 78 ED 56 FF"},
    {"strings, characters and comments",
     "\t.db \"a;b\",0 ; comment\n\t.db ';', \"x\\\"y\"   ; quote\n\tcp ';'\n",
     "61 3B 62 00 3B 78 22 79 FE 3B"},
    {"nothing after the first end",
     "#define END .end\n\tnop\nEND\n\tthis is not read\n#include \"missing.inc\"\n", "00"},
    {"location counter", "\t.org 8000h\n\tjr $\n\t.dw $\n", "18 FE 02 80"},
    {"a gap between origins holds zero", "\t.org 10h\n\t.db 1\n\t.org 12h\n\t.db 2\n", "01 00 02"},
    {"a later origin below an earlier one", "\t.org 20h\n\t.db 2\n\t.org 1Fh\n\t.db 1\n", "01 02"},
    {"lines ending in CR LF", "\tnop\r\n\tret\r\n", "00 C9"},
    {"labels used before their line", "\tjp later\nlater\tret\n", "C3 03 00 C9"},
};

TEST_F(StandInTest, AssemblesEachCaseToItsBytes) {
    for (const BytesCase& c : bytesCases) {
        SCOPED_TRACE(c.name);
        fs::remove(dir_ / "main.bin");
        const Outcome result = binary(c.source);
        ASSERT_EQ(result.status, 0) << result.errors;
        EXPECT_EQ(hexOf(readFile(dir_ / "main.bin")), hexOf(bytesFromHex(c.bytes)));
    }
}

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
    {"code past the end of memory", "\t.org 0FFFFh\n\tnop\n\tnop\n",
     "main.asm:1: code runs past address FFFFh\n"},
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

TEST_F(StandInTest, AMissingSourceIsAnError) {
    const Outcome result = run("-t80 -b -i nothere.asm main.bin");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.errors,
              "nothere.asm: cannot open the source file (No such file or directory)\n");
    EXPECT_FALSE(fs::exists(dir_ / "main.bin"));
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

TEST_F(StandInTest, AnyOtherArgumentsGetTheUsage) {
    writeFile(dir_ / "main.asm", "\tnop\n");
    const char* argumentLists[] = {
        "",
        "main.asm",
        "-80 -p60 -i main.asm",
        "-80 -p60 -i -o20 main.asm extra",
        "-t80 -b -i main.asm",
        "-t80 -b main.asm main.bin",
    };
    for (const char* arguments : argumentLists) {
        SCOPED_TRACE(arguments);
        const Outcome result = run(arguments);
        EXPECT_EQ(result.status, 2);
        EXPECT_EQ(result.errors.rfind("usage: ", 0), 0u) << result.errors;
    }
    EXPECT_FALSE(fs::exists(dir_ / "main.obj"));
    EXPECT_FALSE(fs::exists(dir_ / "main.bin"));
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
