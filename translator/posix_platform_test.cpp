// SPDX-License-Identifier: GPL-2.0-or-later
// The assembler's output as trovik receives it: line by line from both
// streams, a last line without its end, a line too long to hold kept in
// pieces, and how the program ended.

#include "posix_platform.hpp"

#include <gtest/gtest.h>

namespace trovik {
namespace {

struct Received final : public ProgramOutput {
    void line(Stream stream, std::string_view text) override {
        (stream == Stream::out ? out : err).push_back(std::string(text));
    }
    std::vector<std::string> out;
    std::vector<std::string> err;
};

ProgramEnd runShell(const std::string& script, Received& received) {
    PosixProcessStarter starter;
    return starter.run("sh", {"-c", script}, received);
}

TEST(PosixProcessStarter, PassesLinesOfBothStreamsAndTellsHowTheProgramEnded) {
    Received received;
    const ProgramEnd end = runShell("echo one; echo two >&2; printf 'three'; exit 4", received);
    EXPECT_FALSE(end.notStarted);
    EXPECT_EQ(end.status, 4);
    EXPECT_EQ(received.out, (std::vector<std::string>{"one", "three"}));
    EXPECT_EQ(received.err, (std::vector<std::string>{"two"}));

    EXPECT_EQ(runShell("kill -9 $$", received).status, 128 + 9);
    PosixProcessStarter starter;
    EXPECT_TRUE(starter.run("trovik-no-such-program", {}, received).notStarted);
}

TEST(PosixProcessStarter, PassesALineLongerThanItHoldsInPieces) {
    Received received;
    runShell("head -c 150000 /dev/zero | tr '\\0' a; echo; echo next", received);
    ASSERT_GE(received.out.size(), 3u);
    std::string joined;
    for (std::size_t i = 0; i + 1 < received.out.size(); ++i) {
        EXPECT_LE(received.out[i].size(), 150000u);
        joined += received.out[i];
    }
    EXPECT_EQ(joined, std::string(150000, 'a'));
    EXPECT_EQ(received.out.back(), "next");
}

}  // namespace
}  // namespace trovik
