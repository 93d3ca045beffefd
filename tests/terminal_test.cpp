// SPDX-License-Identifier: GPL-2.0-or-later
// trovik on a real terminal: the help screen clears the screen and switches
// between bright and normal text with ANSI sequences, which it never writes
// into a file or a pipe (the golden cases check the plain text there).

#include <gtest/gtest.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

namespace {

struct TerminalRun {
    std::string output;
    int status = -1;
};

/// Runs trovik without arguments on a new pseudo-terminal.
TerminalRun runOnTerminal() {
    TerminalRun run;
    int terminal = -1;
    const pid_t child = forkpty(&terminal, nullptr, nullptr, nullptr);
    if (child == 0) {
        execl(TROVIK_BINARY, TROVIK_BINARY, static_cast<char*>(nullptr));
        _exit(127);
    }
    if (child < 0) return run;
    char buffer[4096];
    for (ssize_t got; (got = read(terminal, buffer, sizeof buffer)) > 0;) {
        run.output.append(buffer, static_cast<std::size_t>(got));
    }
    close(terminal);
    int status = 0;
    waitpid(child, &status, 0);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

TEST(Terminal, HelpScreenUsesClearAndTextAttributes) {
    const TerminalRun run = runOnTerminal();
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.output.rfind("\x1b[H\x1b[2J\x1b[1mTrovik V1.0 The pascal compiler for the TI-83\r\n"
                               "\x1b[0mBy: Oskarine\r\n",
                               0),
              0u)
        << run.output;
    EXPECT_NE(run.output.find("-c/-nc -o\x1b[1m    IN THAT ORDER!!!!!!!\r\n\x1b[0mFILENAME ="),
              std::string::npos)
        << run.output;
    const std::string ending = "then it doesnt exist\r\n\x1b[0m";
    ASSERT_GE(run.output.size(), ending.size());
    EXPECT_EQ(run.output.substr(run.output.size() - ending.size()), ending);
}

}  // namespace
