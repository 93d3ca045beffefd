// SPDX-License-Identifier: GPL-2.0-or-later
// The debug adapter's edge: standard input read as it comes, without
// blocking while the program runs, and every message written whole to
// standard output, which carries nothing else.

#include "dap_adapter.hpp"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <iostream>

#include "dap_server.hpp"
#include "window.hpp"

namespace calcview {

namespace {

/// Writes all of `bytes` to standard output; false when the client is gone.
bool writeAll(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(STDOUT_FILENO, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

/// Waits up to `milliseconds` (-1: for ever) for input and reads what has
/// come; false at the end of the input.
bool readInput(dap::Reader& reader, int milliseconds) {
    pollfd input{STDIN_FILENO, POLLIN, 0};
    const int ready = ::poll(&input, 1, milliseconds);
    if (ready < 0) return errno == EINTR;
    if (ready == 0) return true;
    char buffer[1 << 16];
    const ssize_t count = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (count < 0) return errno == EINTR || errno == EAGAIN;
    if (count == 0) return false;
    reader.feed(std::string_view(buffer, static_cast<std::size_t>(count)));
    return true;
}

}  // namespace

int runDapAdapter() {
    // A client that closes its end mid-message must not kill the adapter
    // with SIGPIPE before it can leave tidily.
    std::signal(SIGPIPE, SIG_IGN);
    bool clientGone = false;
    dap::Server server(
        [&](const dap::Json& message) {
            if (!clientGone && !writeAll(dap::frame(message))) clientGone = true;
        },
        [](WindowHost& host, std::string& error) { return openScreenWindow(host, 4, error); });
    dap::Reader reader;
    while (!server.finished() && !clientGone) {
        const bool open = readInput(reader, server.idleMilliseconds());
        while (auto incoming = reader.next()) server.receive(*incoming);
        if (!open) {
            if (auto rest = reader.finish()) server.receive(*rest);
            server.inputEnded();
            break;
        }
        server.tick();
    }
    if (clientGone) std::cerr << "calcview: the debugger's client closed its end\n";
    return 0;
}

}  // namespace calcview
