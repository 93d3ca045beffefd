// SPDX-License-Identifier: GPL-2.0-or-later
// pack83 from the command line to the .83p file, read back through
// libtifiles; and every input it must refuse without leaving a .83p.

#include "packer.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "tifiles_api.hpp"

namespace pack83 {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

struct ReadBack {
    int status = -1;
    std::string name;
    int type = -1;
    Bytes data;
};

ReadBack readCalculatorFile(const fs::path& path) {
    tifiles_library_init();
    ReadBack result;
    FileContent* content = tifiles_content_create_regular(CALC_TI83);
    result.status = tifiles_file_read_regular(path.c_str(), content);
    if (result.status == 0 && content->num_entries == 1) {
        const VarEntry* entry = content->entries[0];
        result.name = entry->name;
        result.type = entry->type;
        result.data.assign(entry->data, entry->data + entry->size);
    }
    tifiles_content_delete_regular(content);
    tifiles_library_exit();
    return result;
}

/// The code bytes of a program's hex text, up to its End line.
Bytes decodeHexText(const Bytes& data) {
    Bytes code;
    std::string digits;
    for (size_t i = 2; i < data.size() && data[i] != 0xD4; ++i) {
        if (data[i] != 0x3F) digits += static_cast<char>(data[i]);
    }
    for (size_t i = 0; i + 1 < digits.size(); i += 2) {
        code.push_back(static_cast<std::uint8_t>(std::stoi(digits.substr(i, 2), nullptr, 16)));
    }
    return code;
}

Bytes withLength(const Bytes& code) {
    Bytes data(code.size() + 2);
    data[0] = static_cast<std::uint8_t>(code.size() & 0xFF);
    data[1] = static_cast<std::uint8_t>(code.size() >> 8);
    std::copy(code.begin(), code.end(), data.begin() + 2);
    return data;
}

class Pack83 : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = fs::path(testing::TempDir()) /
                  ("pack83-" +
                   std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    fs::path file(const std::string& name, const std::string& contents) {
        std::ofstream(folder_ / name, std::ios::binary) << contents;
        return folder_ / name;
    }
    fs::path binary(const std::string& name, const Bytes& code) {
        return file(name, std::string(code.begin(), code.end()));
    }
    int pack(std::vector<std::string> arguments) {
        out_.str("");
        errors_.str("");
        return run(arguments, out_, errors_);
    }

    fs::path folder_;
    std::ostringstream out_, errors_;
};

const Bytes ionProgram{0xC9, 0x30, 0x04, 'H', 'i', 0x00, 0xCD, 0x55, 0x47, 0xC9};
const Bytes plainProgram{0xCD, 0x55, 0x47, 0x21, 0x33, 0x93, 0xCD, 0x0D, 0x47, 0xC9};

TEST_F(Pack83, ShellProgramIsSquishedAndProtected) {
    ASSERT_EQ(pack({binary("catch.bin", ionProgram)}), 0) << errors_.str();
    const ReadBack back = readCalculatorFile(folder_ / "catch.83p");
    ASSERT_EQ(back.status, 0);
    EXPECT_EQ(back.name, "CATCH");
    EXPECT_EQ(back.type, 0x06);
    EXPECT_EQ(back.data, withLength(ionProgram));
    EXPECT_EQ(fs::file_size(folder_ / "catch.83p"), 57 + 15 + ionProgram.size() + 2);
}

TEST_F(Pack83, ProgramWithoutHeaderIsHexTextThatDecodesToTheCode) {
    ASSERT_EQ(pack({binary("plain.bin", plainProgram)}), 0) << errors_.str();
    const ReadBack back = readCalculatorFile(folder_ / "plain.83p");
    ASSERT_EQ(back.status, 0);
    EXPECT_EQ(back.type, 0x05);
    EXPECT_EQ(decodeHexText(back.data), plainProgram);
    const Bytes trailer{0x3F, 0xD4, 0x3F, 0x30, 0x30, 0x30, 0x30, 0x3F, 0xD4};
    EXPECT_TRUE(std::equal(trailer.rbegin(), trailer.rend(), back.data.rbegin()));
}

TEST_F(Pack83, OptionsForceTheFormAndTheName) {
    ASSERT_EQ(pack({"--unsquished", "--name", "game2", binary("x.bin", ionProgram).string()}), 0);
    ReadBack back = readCalculatorFile(folder_ / "x.83p");
    EXPECT_EQ(back.name, "GAME2");
    EXPECT_EQ(back.type, 0x05);
    EXPECT_EQ(decodeHexText(back.data), ionProgram);

    ASSERT_EQ(pack({"--name=GAME3", binary("z.bin", ionProgram).string()}), 0);
    EXPECT_EQ(readCalculatorFile(folder_ / "z.83p").name, "GAME3");

    ASSERT_EQ(pack({binary("y.bin", plainProgram), "--squished"}), 0);
    back = readCalculatorFile(folder_ / "y.83p");
    EXPECT_EQ(back.type, 0x06);
    EXPECT_EQ(back.data, withLength(plainProgram));
}

TEST_F(Pack83, IntelHexObjectFile) {
    ASSERT_EQ(pack({file("hex.obj", ":03932700C9300446\n:02932B00AABBDB\n:00000001FF\n")}), 0);
    const ReadBack back = readCalculatorFile(folder_ / "hex.83p");
    EXPECT_EQ(back.data, withLength({0xC9, 0x30, 0x04, 0x00, 0xAA, 0xBB}));
}

// A .83p from an earlier run of a bad input is removed, so that it is not
// sent by mistake; one whose input is missing is someone else's and stays.
TEST_F(Pack83, BadInputLeavesNoProgramFileButAMissingOneTouchesNothing) {
    const struct {
        const char* what;
        std::string input;  // in the test folder
        std::vector<std::string> options;
        const char* message;
        bool kept = false;  // the .83p of that name is left alone
    } cases[] = {
        {"missing file", "none.bin", {}, "none.bin: cannot open (No such file or directory)", true},
        {"folder", "dir.bin", {}, "dir.bin: is a folder", true},
        {"wrong checksum", "sum.obj", {}, "sum.obj: line 1: wrong checksum"},
        {"bad record", "rec.obj", {}, "rec.obj: line 1: a record must start with ':'"},
        {"overlap", "over.obj", {}, "over.obj: line 2: the record overlaps"},
        {"too big", "big.bin", {}, "big.bin: the program does not fit"},
        {"empty", "empty.bin", {}, "empty.bin: the file holds no program bytes"},
        {"name from the file", "my_prog.bin", {}, "\"my_prog\" is not a program name"},
        {"name option", "good.bin", {"--name", "TOOLONGNAME"}, "\"TOOLONGNAME\" is not"},
    };
    file("sum.obj", ":03932700C9300447\n:00000001FF\n");
    file("rec.obj", "hello\n");
    file("over.obj", ":03932700C9300446\n:01932900AA99\n:00000001FF\n");
    binary("big.bin", Bytes(0xFE6E - 0x9327 + 1));
    file("empty.bin", "");
    binary("my_prog.bin", ionProgram);
    binary("good.bin", ionProgram);
    fs::create_directories(folder_ / "dir.bin");
    for (const auto& c : cases) {
        const fs::path output = fs::path(folder_ / c.input).replace_extension(".83p");
        file(output.filename().string(), "from an earlier run");
        std::vector<std::string> arguments = c.options;
        arguments.push_back((folder_ / c.input).string());
        EXPECT_EQ(pack(arguments), 1) << c.what;
        EXPECT_NE(errors_.str().find(c.message), std::string::npos)
            << c.what << ": " << errors_.str();
        EXPECT_EQ(fs::exists(output), c.kept) << c.what;
    }
    for (const auto& entry : fs::directory_iterator(folder_)) {
        EXPECT_EQ(entry.path().string().find(".tmp"), std::string::npos) << entry.path();
    }
}

TEST_F(Pack83, CommandLinesItDoesNotUnderstand) {
    for (const std::vector<std::string>& arguments :
         std::vector<std::vector<std::string>>{{},
                                               {"a.bin", "b.bin"},
                                               {"prog.asm"},
                                               {"--name"},
                                               {"--squished=yes", "a.bin"},
                                               {"--fast", "a.bin"},
                                               {"--squished", "--unsquished", "a.bin"}}) {
        EXPECT_EQ(pack(arguments), 2) << arguments.size();
        EXPECT_NE(errors_.str().find("Usage: pack83"), std::string::npos);
    }
    EXPECT_EQ(pack({"--help"}), 0);
    EXPECT_NE(out_.str().find(".83p"), std::string::npos);
    EXPECT_EQ(pack({"--version"}), 0);
    EXPECT_EQ(out_.str(), TOOLCHAIN_VERSION "\n");
}

}  // namespace
}  // namespace pack83
