// SPDX-License-Identifier: GPL-2.0-or-later
// The statement errors as a person at a terminal meets them: the screen is
// cleared, the message keeps its bright part, and only the string limit waits
// for Enter. Golden cases cannot see these, since their streams are files.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "posix_platform.hpp"
#include "trovik.hpp"

namespace trovik {
namespace {

namespace fs = std::filesystem;

/// A terminal on every stream: records what is written, with the attribute
/// switches as <b> and <n>, and counts the lines read.
class TerminalRecorder final : public Console {
public:
    void clearScreen(Stream stream) override {
        text += stream == Stream::err ? "<clear>" : "";
        clears += stream == Stream::out ? 1 : 0;
    }
    void setAttribute(Stream, Attribute attribute) override {
        if (attribute != current_) text += attribute == Attribute::bright ? "<b>" : "<n>";
        current_ = attribute;
    }
    void write(Stream stream, std::string_view written) override {
        if (stream == Stream::err) text += written;
    }
    bool inputIsTerminal() override { return true; }
    bool readLine(std::string& line) override {
        ++linesRead;
        line.clear();
        return true;
    }

    std::string text;
    int linesRead = 0;
    int clears = 0;  ///< of standard output

private:
    Attribute current_ = Attribute::normal;
};

class NoAssembler final : public ProcessStarter {
public:
    ProgramEnd run(const std::string&, const std::vector<std::string>&, ProgramOutput&) override {
        ++starts;
        return {};
    }
    int starts = 0;
};

class StatementError : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("trovik-errors-" + std::to_string(::getpid()));
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    int translate(const std::string& shellLine, const std::string& body) {
        std::ofstream(folder_ / "demo.p83") << "program demo;\n" << shellLine << "\nbegin\n"
                                            << body << "end.\nEOF\n";
        return runTrovik({(folder_ / "demo").string()}, console, assembler, files);
    }

    TerminalRecorder console;
    NoAssembler assembler;
    PosixFileSystem files;

private:
    fs::path folder_;
};

TEST_F(StatementError, TooManyStringsWaitsForEnter) {
    std::string body;
    for (int i = 2; i <= 101; ++i) body += "write(0001,0001,s" + std::to_string(i) + ",\"x\");\n";
    EXPECT_EQ(translate("shell(ion);", body), exitTranslationError);
    EXPECT_TRUE(console.text.starts_with("<clear>Error: Can't have more than <b>100 strings\n<n>"))
        << console.text;
    EXPECT_EQ(console.linesRead, 1);
    EXPECT_EQ(assembler.starts, 0);
}

TEST_F(StatementError, RandomWithoutIonDoesNotWait) {
    EXPECT_EQ(translate("shell(sos);", "rand(n,5);\n"), exitTranslationError);
    EXPECT_TRUE(console.text.starts_with("<clear>ION must be used to use random!\n"))
        << console.text;
    EXPECT_EQ(console.linesRead, 0);
    EXPECT_EQ(assembler.starts, 0);
}

// A clear after a warning would wipe it before anyone could read it.
TEST_F(StatementError, WarningsKeepTheScreen) {
    EXPECT_EQ(translate("shell(ion);", "inc(x);\n"), exitNormal);
    EXPECT_EQ(console.clears, 2);  // at the start and before the assembler
    console = TerminalRecorder();
    EXPECT_EQ(translate("shell(ion);", "inc(x);\nwirte(0000,0000,hi,\"Hi\");\n"), exitNormal);
    EXPECT_EQ(console.clears, 1);
    console = TerminalRecorder();
    EXPECT_EQ(translate("shell(ION);", "rand(n,5);\n"), exitTranslationError);
    EXPECT_TRUE(console.text.find("<clear>") == std::string::npos) << console.text;
}

}  // namespace
}  // namespace trovik
