// SPDX-License-Identifier: GPL-2.0-or-later
// calcview as a user runs it headless: exit statuses, messages, screenshots.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

struct Folder {
    fs::path path = fs::temp_directory_path() / ("calcview-cli-" + std::to_string(::getpid()));
    Folder() {
        fs::create_directories(path);
        write("returns.bin", {0xC9});
        write("loops.bin", {0x18, 0xFE});                     // jr $
        write("faults.bin", {0x00, 0x00, 0xC3, 0x00, 0x00});  // jp 0000h from 9329h
        // Ion header; ld hl,(progPtr) / ld ix,"LVL" / call ionDetect / jp nz,0000h / ret
        write("detects.bin", {0xC9, 0x30, 0x01, 0x00, 0x2A, 0x19, 0x93, 0xDD, 0x21, 0x39, 0x93,
                              0xCD, 0xB9, 0x91, 0xC2, 0x00, 0x00, 0xC9, 'L', 'V', 'L', 0x00});
        write("level.bin", {'L', 'V', 'L', 0x01});
        // ld hl,SCORE / rst 20h / call _ChkFindSym / jr c,create / inc de x2 / ld a,(de) /
        // inc a / ld (de),a / ret / create: ld hl,1 / call _CreateProg / inc de x2 /
        // ld a,1 / ld (de),a / ret / SCORE: 05h "SCORE" 0 0 0
        write("counts.bin", {0x21, 0x42, 0x93, 0xE7, 0xCD, 0x2A, 0x44, 0x38, 0x06, 0x13,
                             0x13, 0x1A, 0x3C, 0x12, 0xC9, 0x21, 0x01, 0x00, 0xCD, 0x8A,
                             0x44, 0x13, 0x13, 0x3E, 0x01, 0x12, 0xC9, 0x05, 'S', 'C',
                             'O', 'R', 'E', 0x00, 0x00, 0x00});
        // call _Random / ld a,10 / call _DispOP1A / ret
        write("random.bin", {0xCD, 0xB6, 0x50, 0x3E, 0x0A, 0xCD, 0xD4, 0x51, 0xC9});
        // A TI-83 file cut short inside its header.
        write("corrupt.83p", {'*', '*', 'T', 'I', '8', '3', '*', '*', 0x1A, 0x0A, 0x00, 'x'});
        // A whole file with one program (ret), its checksum wrong.
        std::string damaged = "**TI83**\x1A\x0A";
        damaged += std::string(43, '\0') + "\x12";
        damaged += std::string("\0\x0B\0\x03\0\x06" "A", 7) + std::string(7, '\0');
        damaged += std::string("\x03\0\x01\0\xC9\0\0", 7);
        std::ofstream(path / "damaged.83p", std::ios::binary) << damaged;
    }
    ~Folder() { fs::remove_all(path); }
    void write(const char* name, std::initializer_list<unsigned char> bytes) const {
        std::ofstream file(path / name, std::ios::binary);
        for (unsigned char byte : bytes) file.put(static_cast<char>(byte));
    }
};

const Folder& folder() {
    static const Folder instance;
    return instance;
}

struct Finished {
    int status;
    std::string errors;
};

/// Runs calcview with `arguments`, after `prefix` (such as an env command).
Finished calcview(const std::string& arguments, const std::string& prefix = "") {
    const fs::path log = folder().path / "stderr.txt";
    const std::string command = "cd '" + folder().path.string() + "' && " + prefix + "'" +
                                CALCVIEW_BINARY + "' " + arguments + " > /dev/null 2> '" +
                                log.string() + "'";
    const int status = std::system(command.c_str());
    std::ifstream file(log);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1,
            {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()}};
}

bool isPng(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    char signature[8] = {};
    file.read(signature, 8);
    return file && std::string(signature + 1, 3) == "PNG";
}

struct Case {
    const char* arguments;
    int status;
    const char* message;  // part of what stderr says
    bool ran = true;      // a program ran, so there is a screen to save
};

class ExitStatus : public testing::TestWithParam<Case> {};

TEST_P(ExitStatus, SaysHowTheRunEndedAndWritesTheScreenshotAnyway) {
    const fs::path shot = folder().path / "shot.png";
    fs::remove(shot);
    const Finished run = calcview(std::string(GetParam().arguments) + " --screenshot shot.png");
    EXPECT_EQ(run.status, GetParam().status) << run.errors;
    EXPECT_NE(run.errors.find(GetParam().message), std::string::npos) << run.errors;
    EXPECT_EQ(isPng(shot), GetParam().ran);
    EXPECT_FALSE(fs::exists(folder().path / "shot.png.tmp"));
}

INSTANTIATE_TEST_SUITE_P(
    Calcview, ExitStatus,
    testing::Values(Case{"--headless returns.bin", 0, ""},
                    Case{"--headless --time-limit 0.5 loops.bin", 3, "time limit"},
                    Case{"--headless --time-limit 1 --keys enter:50,clear loops.bin", 3,
                         "time limit"},
                    Case{"--headless faults.bin", 1, "0000h"},
                    Case{"--headless missing.bin", 1, "missing.bin", false},
                    Case{"--headless --scale 0 returns.bin", 2, "--scale", false},
                    Case{"--headless --keys banana returns.bin", 2, "banana", false},
                    Case{"--headless --keys right:x returns.bin", 2, "right:x", false},
                    Case{"--headless --time-limit -1 returns.bin", 2, "--time-limit", false},
                    Case{"--headless --frobnicate returns.bin", 2, "--frobnicate", false},
                    Case{"--dap returns.bin", 2, "--dap takes no other arguments", false},
                    Case{"--headless detects.bin level.bin", 0, ""},
                    Case{"--headless detects.bin", 1, "0000h"},
                    Case{"--headless corrupt.83p", 1, "corrupt.83p", false},
                    Case{"--headless damaged.83p", 1, "checksum", false},
                    Case{"--headless --time-limit=0.5 loops.bin", 3, "time limit"},
                    Case{"--headless --scale=0 returns.bin", 2, "--scale", false},
                    Case{"--headless", 2, "no program", false}),
    [](const auto& info) {
        std::string name = std::to_string(info.index) + "_" + info.param.arguments;
        for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return name;
    });

std::string fileBytes(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

TEST(Calcview, SavedVariablesCarryAScoreToTheNextRun) {
    const fs::path saved = folder().path / "saved" / "SCORE.83p";
    fs::remove_all(folder().path / "saved");
    for (const char expected : {1, 2, 3}) {
        const std::string more = expected == 1 ? "" : " saved/SCORE.83p";
        const Finished run = calcview("--headless --save-variables saved counts.bin" + more);
        ASSERT_EQ(run.status, 0) << run.errors;
        const std::string bytes = fileBytes(saved);
        ASSERT_GT(bytes.size(), 5u) << saved;
        // ... the data (length 1, the score), then the checksum.
        EXPECT_EQ(bytes.substr(bytes.size() - 5, 3), std::string("\x01\x00", 2) + expected);
    }
}

TEST(Calcview, HeadlessRandomNumbersRepeatUnlessSeeded) {
    const auto shot = [](const std::string& seed) {
        EXPECT_EQ(calcview("--headless --screenshot r.png" + seed + " random.bin").status, 0);
        return fileBytes(folder().path / "r.png");
    };
    EXPECT_EQ(shot(""), shot(""));
    EXPECT_EQ(shot(" --seed 7"), shot(" --seed=7"));
    EXPECT_NE(shot(" --seed 7"), shot(" --seed 8"));
    EXPECT_EQ(calcview("--headless --seed x random.bin").status, 2);
}

TEST(Calcview, VersionIsAllItPrints) {
    const std::string command = std::string("'") + CALCVIEW_BINARY + "' --version";
    FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string out;
    for (int c; (c = std::fgetc(pipe)) != EOF;) out += static_cast<char>(c);
    EXPECT_EQ(::pclose(pipe), 0);
    EXPECT_EQ(out, std::string(TOOLCHAIN_VERSION) + "\n");
}

TEST(Calcview, ScreenshotThatCannotBeWrittenIsAFailure) {
    const Finished run = calcview("--headless --screenshot no/such/folder/shot.png returns.bin");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.errors.find("no/such/folder"), std::string::npos) << run.errors;
}

TEST(Calcview, WithoutADisplayTheWindowIsAFailureSaidInOneLineOfItsOwn) {
    // A display that cannot be reached gets as far as starting SDL, whose D-Bus
    // leaks a block in a sanitizer build; calcview's own code is leak-checked
    // by the headless runs.
    for (const char* display : {"-u DISPLAY", "DISPLAY=:4711 ASAN_OPTIONS=detect_leaks=0"}) {
        for (const char* file : {"returns.bin", ""}) {
            const Finished run = calcview(
                file, std::string("env -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER -u XDG_RUNTIME_DIR ") +
                          display + " ");
            EXPECT_EQ(run.status, 1) << display << " " << file;
            EXPECT_EQ(run.errors.find("calcview: "), 0u) << run.errors;
            EXPECT_EQ(run.errors.find('\n'), run.errors.size() - 1) << run.errors;
            EXPECT_NE(run.errors.find("--headless"), std::string::npos) << run.errors;
        }
    }
}

TEST(Calcview, InterruptedRunStillSavesItsScreenshot) {
    const fs::path shot = folder().path / "interrupted.png";
    const std::string command = "cd '" + folder().path.string() + "' && { '" + CALCVIEW_BINARY +
                                "' --headless --screenshot interrupted.png loops.bin 2>/dev/null & "
                                "pid=$!; sleep 0.5; kill -INT $pid; wait $pid; }";
    const int status = std::system(command.c_str());
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 130);
    EXPECT_TRUE(isPng(shot));
}

}  // namespace
