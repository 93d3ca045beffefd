// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The debug adapter's requests: each DAP request mapped onto the debug
// session, each of the session's stops, outputs and ends turned into the
// protocol's events. It knows nothing of file descriptors: messages come in
// through receive() and go out through the function it was given, so that
// tests drive it in-process; the program runs in tick(), which the caller
// calls between reading its input.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "dap_reader.hpp"
#include "debug_session.hpp"
#include "window.hpp"

namespace calcview::dap {

/// Opens the window of a launch with "headless": false on what `host` shows;
/// nullptr with the error set when none can be opened.
using WindowOpener =
    std::function<std::unique_ptr<ScreenWindow>(WindowHost& host, std::string& error)>;

class Server {
  public:
    using Send = std::function<void(const Json&)>;

    /// `openWindow` empty: every launch is headless.
    explicit Server(Send send, WindowOpener openWindow = nullptr);
    ~Server();
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

    /// Answers a message from the client, or reports a problem the reader found.
    void receive(const Incoming& incoming);
    /// Runs the program for one slice, when it runs, and keeps the window live.
    void tick();
    /// How long the caller may wait for input before the next tick():
    /// 0 while the program runs headless, a frame while a window is open,
    /// -1 (for ever) otherwise.
    int idleMilliseconds() const;
    /// The session is over (disconnect): the adapter ends.
    bool finished() const { return finished_; }
    /// The client closed its end: nothing more will come.
    void inputEnded();

  private:
    struct Launch;
    struct Handler;
    static const std::vector<Handler>& handlers();

    void answer(const Json& request, const std::optional<Json>& body);
    void refuse(const Json& request, const std::string& message);
    void event(const std::string& name, const std::optional<Json>& body = std::nullopt);
    void console(const std::string& text, const std::string& category = "console");
    void dispatch(const Json& request);

    // The requests, in the order a session meets them.
    Json initialize(const Json& args);
    Json launch(const Json& args);
    Json configurationDone(const Json& args);
    Json setBreakpoints(const Json& args);
    Json setFunctionBreakpoints(const Json& args);
    Json setExceptionBreakpoints(const Json& args);
    Json dataBreakpointInfo(const Json& args);
    Json setDataBreakpoints(const Json& args);
    Json threads(const Json& args);
    Json continueRun(const Json& args);
    Json next(const Json& args);
    Json stepIn(const Json& args);
    Json stepOut(const Json& args);
    Json stepBack(const Json& args);
    Json reverseContinue(const Json& args);
    Json pause(const Json& args);
    Json stackTrace(const Json& args);
    Json scopes(const Json& args);
    Json variables(const Json& args);
    Json setVariable(const Json& args);
    Json evaluate(const Json& args);
    Json readMemory(const Json& args);
    Json disassemble(const Json& args);
    Json exceptionInfo(const Json& args);
    Json terminate(const Json& args);
    Json disconnect(const Json& args);

    /// The session, or a refusal when there is none to ask.
    debug::Session& session();
    /// The session, stopped: a refusal while the program runs or after it ended.
    debug::Session& stoppedSession();
    /// The program runs again: at the calculator's pace in a window (`paced`), or at once.
    void resumed(bool paced = false);
    /// The program's window keys and screen; the pace of a window run.
    void serveWindow();
    void runSlice();
    void report(const debug::Progress& progress);
    void endSession(int status);

    /// A file's path as the client knows it: as it last sent it, else as the
    /// build named it.
    std::string clientPath(int file) const;
    Json source(int file) const;
    int lineOut(int line) const { return line - lineBase_; }
    int lineIn(int line) const { return line + lineBase_; }
    Json breakpointJson(const debug::BreakpointAnswer& answer) const;

    Send send_;
    WindowOpener openWindow_;
    std::int64_t seq_ = 0;
    bool initialized_ = false;
    bool configured_ = false;
    bool ended_ = false;  ///< the program has exited (or was terminated)
    bool finished_ = false;
    /// 0 when the client counts lines from 1, else 1 (it counts from 0).
    int lineBase_ = 0;
    int columnBase_ = 0;  ///< the same for columns
    std::unique_ptr<Launch> launch_;
    std::map<int, std::string> clientPaths_;
};

}  // namespace calcview::dap
