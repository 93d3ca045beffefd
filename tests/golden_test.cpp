// SPDX-License-Identifier: GPL-2.0-or-later
// Golden cases: each folder under tests/golden holds a source program and the
// run's expected results. The case's files are copied to a fresh folder,
// trovik is run there as a separate process with a fake tasm.exe first on
// PATH, and everything it produced is compared byte for byte.
//
// Files of a case (a missing expected file reads as empty):
//   cmd              the command-line arguments, separated by blanks
//   setup            optional shell commands run in the folder first
//   no-assembler     optional: no tasm.exe on PATH at all
//   tasm-script      optional: shell lines the fake tasm.exe runs after it
//                    has noted its arguments (messages, an exit status)
//   expected.asm     FILENAME.asm; when missing it must not exist, unless
//                    there is a setup script (then it is not checked)
//   expected.status  the exit status (missing: 0)
//   expected.tasm    the assembler's arguments; when missing the assembler
//                    must not have been started
//   expected.err     standard error
//   expected.out     standard output
// Every other file is copied into the folder as it stands.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string readWholeFile(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream contents;
    contents << file.rdbuf();
    return contents.str();
}

void writeWholeFile(const fs::path& path, const std::string& contents) {
    std::ofstream file(path, std::ios::binary);
    file << contents;
    ASSERT_TRUE(file.good()) << "could not write " << path;
}

std::string expectedOrEmpty(const fs::path& caseFolder, const std::string& name) {
    return fs::exists(caseFolder / name) ? readWholeFile(caseFolder / name) : std::string();
}

std::string trimmed(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) {
        text.pop_back();
    }
    return text;
}

bool isCaseDescription(const std::string& name) {
    return name == "cmd" || name == "setup" || name == "no-assembler" || name == "tasm-script" ||
           name.starts_with("expected.");
}

std::vector<std::string> caseNames() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(GOLDEN_DIR)) {
        if (entry.is_directory()) names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

class GoldenCase : public ::testing::TestWithParam<std::string> {};

TEST_P(GoldenCase, ProducesExpectedFiles) {
    const fs::path caseFolder = fs::path(GOLDEN_DIR) / GetParam();
    const fs::path work = fs::temp_directory_path() / ("trovik-golden-" + GetParam() + "-" +
                                                       std::to_string(::getpid()));
    fs::remove_all(work);
    fs::create_directories(work / "fakebin");
    for (const auto& entry : fs::directory_iterator(caseFolder)) {
        const std::string name = entry.path().filename().string();
        if (!isCaseDescription(name)) fs::copy(entry.path(), work / name, fs::copy_options::recursive);
    }
    if (!fs::exists(caseFolder / "no-assembler")) {
        writeWholeFile(work / "fakebin" / "tasm.exe",
                       "#!/bin/sh\nprintf '%s\\n' \"$*\" > tasm.args\n" +
                           expectedOrEmpty(caseFolder, "tasm-script"));
        fs::permissions(work / "fakebin" / "tasm.exe", fs::perms::owner_all, fs::perm_options::add);
    }
    const bool hasSetup = fs::exists(caseFolder / "setup");
    const std::string arguments = trimmed(readWholeFile(caseFolder / "cmd"));
    std::string command = "cd '" + work.string() + "' && ";
    if (hasSetup) command += "sh '" + (caseFolder / "setup").string() + "' && ";
    command += "PATH='" + (work / "fakebin").string() + "':/usr/bin:/bin '" TROVIK_BINARY "' " +
               arguments + " >stdout.txt 2>stderr.txt </dev/null";

    const int raw = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(raw)) << command;
    const std::string statusText = trimmed(expectedOrEmpty(caseFolder, "expected.status"));
    EXPECT_EQ(WEXITSTATUS(raw), statusText.empty() ? 0 : std::stoi(statusText));

    EXPECT_EQ(readWholeFile(work / "stderr.txt"), expectedOrEmpty(caseFolder, "expected.err"));
    EXPECT_EQ(readWholeFile(work / "stdout.txt"), expectedOrEmpty(caseFolder, "expected.out"));

    const std::string stem = arguments.substr(0, arguments.find(' '));
    const fs::path produced = work / (stem + ".asm");
    if (fs::exists(caseFolder / "expected.asm")) {
        ASSERT_TRUE(fs::exists(produced)) << produced;
        EXPECT_EQ(readWholeFile(produced), readWholeFile(caseFolder / "expected.asm"));
    } else if (!hasSetup) {
        EXPECT_FALSE(stem.empty() ? false : fs::exists(produced)) << produced << " was written";
    }

    if (fs::exists(caseFolder / "expected.tasm")) {
        ASSERT_TRUE(fs::exists(work / "tasm.args")) << "the assembler was not started";
        EXPECT_EQ(readWholeFile(work / "tasm.args"), readWholeFile(caseFolder / "expected.tasm"));
    } else {
        EXPECT_FALSE(fs::exists(work / "tasm.args")) << "the assembler was started";
    }
    if (!HasFailure()) fs::remove_all(work);
}

INSTANTIATE_TEST_SUITE_P(Trovik, GoldenCase, ::testing::ValuesIn(caseNames()),
                         [](const auto& info) {
                             std::string name = info.param;
                             for (char& c : name) {
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             }
                             return name;
                         });

}  // namespace
