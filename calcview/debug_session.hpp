// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The debug session's face: everything a debugger front end (the DAP wire
// layer, a test) asks of a program being debugged, in the protocol's terms
// but without its JSON. Breakpoints, stepping, the call stack, the history
// that steps back, and the program's variables live behind it; the machine
// runs only inside advance(), in slices the caller chooses, so the caller can
// read its input and draw a window between them.
//
// Lines are counted from 1. Files are DebugInfo's (the .p83, the .asm); a
// path given here is matched to them by its canonical form. Everything stays
// valid while the program is stopped; while it runs, only advance(), pause()
// and the key calls are meaningful.
//
// This header is stable: callers code against it; additions only.

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "debug_info.hpp"
#include "key_script.hpp"

namespace calcview {

class Calculator;

namespace debug {

// ---- Breakpoints ---------------------------------------------------------

/// A line breakpoint as the client asks for it. Empty strings: not given.
struct SourceBreakpoint {
    int line = 0;
    std::string condition;     ///< e.g. "x > 10 and A = 0"
    std::string hitCondition;  ///< "N", ">= N" or "% N"
    std::string logMessage;    ///< "x is {x}": output instead of a stop
};

/// A :label name (with or without the colon), for setFunctionBreakpoints.
struct FunctionBreakpoint {
    std::string name;
    std::string condition;
    std::string hitCondition;
};

enum class DataAccess { read, write, readWrite };
/// "read", "write", "readWrite" (the protocol's names).
std::string_view dapName(DataAccess access);
std::optional<DataAccess> dataAccessNamed(std::string_view name);

/// The answer to dataBreakpointInfo.
struct DataBreakpointInfo {
    std::optional<std::string> dataId;  ///< nullopt: nothing to watch there
    std::string description;            ///< what would be watched, or why not
    std::vector<DataAccess> accessTypes;
};

struct DataBreakpoint {
    std::string dataId;  ///< from DataBreakpointInfo
    DataAccess access = DataAccess::write;
    std::string condition;
    std::string hitCondition;
};

/// The answer for one breakpoint, in the order they were given.
struct BreakpointAnswer {
    int id = 0;
    bool verified = false;
    int line = 0;         ///< the actual line (0: none)
    int file = -1;        ///< index into DebugInfo::files (-1: none)
    std::string message;  ///< why unverified, or where it moved
};

/// One kind of fault the calculator names. Each is on by default: the fault
/// stops the program instead of ending it.
struct ExceptionFilter {
    std::string_view id;  ///< "ranAway", "stack", "calculatorError", "unsupportedRoutine"
    std::string_view label;
    std::string_view description;
};
std::span<const ExceptionFilter> exceptionFilters();

// ---- What running the program brings -------------------------------------

enum class StopReason {
    step,
    breakpoint,
    exception,
    pause,
    entry,
    functionBreakpoint,
    dataBreakpoint,
    instructionBreakpoint,
};
/// The protocol's word for it: "step", "function breakpoint", ...
std::string_view dapName(StopReason reason);

struct Stopped {
    StopReason reason = StopReason::step;
    std::string description;  ///< for the user, e.g. "x written: 3 -> 4"
    std::string text;         ///< the fault's message for an exception
    std::vector<int> hitBreakpointIds;
};

/// A logpoint's message (category console) or a fault that ends the run.
struct Output {
    std::string text;  ///< ends with a newline
    int file = -1;     ///< where a logpoint is (-1: nowhere)
    int line = 0;
};

struct Exited {
    int status = 0;       ///< 0 returned, 1 fault, 3 time limit (as calcview's)
    std::string message;  ///< the fault or "stopped at the time limit"; empty when returned
};

/// What one advance() brought: outputs in order, then at most one of a stop
/// or the end. Neither: the program still runs; call advance() again.
struct Progress {
    std::vector<Output> outputs;
    std::optional<Stopped> stopped;
    std::optional<Exited> exited;
};

enum class Granularity { statement, instruction };

// ---- What a stop shows ---------------------------------------------------

struct StackFrame {
    int id = 0;
    std::string name;  ///< the label called, or the program's name for the bottom frame
    int file = -1;     ///< -1: no source line here
    int line = 0;
    std::uint16_t address = 0;  ///< the instruction pointer
};

struct Scope {
    std::string name;  ///< "Variables", "Strings", "Registers", "Calculator"
    int variablesReference = 0;
};

struct Variable {
    std::string name;
    std::string value;         ///< e.g. "300 (012Ch, low byte 44)"
    std::string evaluateName;  ///< empty: cannot be evaluated
    std::optional<std::uint16_t> memoryReference;
};

/// A value or why there is none.
struct Answer {
    bool ok = false;
    std::string text;  ///< the value, or the reason
    std::optional<std::uint16_t> memoryReference;
};

struct Instruction {
    std::uint16_t address = 0;
    std::string bytes;  ///< "CD 28 93"
    std::string text;   ///< "call 9328h"
    int file = -1;
    int line = 0;
};

struct ExceptionDetails {
    std::string id;           ///< the filter's id
    std::string description;  ///< the fault's message
    std::string sourceLine;   ///< "recurse.p83:12: goto(4,waitkey);" when known
};

struct SessionOptions {
    /// Keys pressed at their cycles (headless runs), as calcview's --keys.
    std::vector<KeyEvent> keys;
    /// The clock cycle at which the run ends with the time limit.
    std::optional<std::uint64_t> timeLimit;
    /// The most memory the history of stepping back may take.
    std::size_t historyBytes = 64u << 20;
};

class Session {
  public:
    /// `calc` holds the started program (startLoaded); it stays the caller's
    /// and must outlive the session. Nothing runs until begin().
    Session(Calculator& calc, DebugInfo info, SessionOptions options = {});
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    const DebugInfo& info() const;
    /// The index of `path` among info().files, matched by canonical path.
    std::optional<int> fileIndex(const std::string& path) const;

    // Breakpoints: each call replaces the whole set of its kind (line
    // breakpoints: of that file). An answer per breakpoint, in order.
    std::vector<BreakpointAnswer> setBreakpoints(const std::string& path,
                                                 const std::vector<SourceBreakpoint>& breakpoints);
    std::vector<BreakpointAnswer> setFunctionBreakpoints(
        const std::vector<FunctionBreakpoint>& breakpoints);
    /// `name` is a variable's name (the scope does not matter).
    DataBreakpointInfo dataBreakpointInfo(const std::string& name) const;
    std::vector<BreakpointAnswer> setDataBreakpoints(
        const std::vector<DataBreakpoint>& breakpoints);
    /// The filters (by id) whose faults stop; the others end the run.
    /// false with `error` naming an unknown id.
    bool setExceptionFilters(const std::vector<std::string>& ids, std::string& error);

    // Running. begin() once, after the configuration; then the program runs
    // (or stops at entry) inside advance().
    void begin(bool stopOnEntry);
    /// Runs the machine for at most `cycles` clock cycles of calculator time
    /// (fewer when it stops, ends or waits on a key that has not come).
    /// Headless, slices of a tenth of a second (clockHz / 10), as a plain
    /// headless run takes, keep the speed: each return cuts short the
    /// calculator's skipping of a loop that waits for a key.
    Progress advance(std::uint64_t cycles);
    /// true between a resume and the stop or end that follows it.
    bool running() const;
    bool ended() const;

    void continueRun();
    void next(Granularity granularity = Granularity::statement);
    void stepIn(Granularity granularity = Granularity::statement);
    void stepOut(Granularity granularity = Granularity::statement);
    /// Back to the previous statement (or instruction) at the same or a
    /// shallower call depth; the whole machine comes back, and the stop
    /// (reason step) comes with the next advance(). false with `error` when
    /// the history holds nothing earlier (the machine stays where it was).
    bool stepBack(Granularity granularity, std::string& error);
    /// Back to the last place a breakpoint (condition holding; hit counts
    /// and log messages aside) or data breakpoint would have stopped, or the
    /// start of the history; the stop comes with the next advance().
    bool reverseContinue(std::string& error);
    /// The next advance() stops at once with reason pause.
    void pause();

    /// A key from the window; recorded so that stepping back and forth
    /// replays it.
    void pressKey(int key);
    void releaseKey(int key);

    // What a stop shows (meaningful while stopped).
    /// Top frame first (ids from 1), the program last. The top frame of a
    /// data breakpoint or fault stop is at the instruction that did it.
    std::vector<StackFrame> stackTrace() const;
    /// The same four for every frame, with references 1 to 4.
    std::vector<Scope> scopes(int frameId) const;
    std::vector<Variable> variables(int variablesReference) const;
    /// Sets a variable (Variables scope), a register (Registers) or a
    /// calculator cell (Calculator) from an expression; the new value's text.
    Answer setVariable(int variablesReference, const std::string& name, const std::string& value);
    /// A condition expression's value, or the screen for "screen".
    Answer evaluate(const std::string& expression) const;
    /// Bytes from `address` on (wrapping at FFFFh).
    std::vector<std::uint8_t> readMemory(std::uint16_t address, std::size_t count) const;
    /// `count` instructions, the first `offset` instructions away from `address`.
    std::vector<Instruction> disassemble(std::uint16_t address, int offset, int count) const;
    /// The fault of the last exception stop.
    std::optional<ExceptionDetails> exceptionInfo() const;
    /// "file.p83:12: goto(4,waitkey);" for an address, or empty.
    std::string sourceLineOf(std::uint16_t address) const;

    /// Checks a condition without setting anything: empty, or the reason it
    /// does not parse.
    static std::string checkCondition(const std::string& condition);

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace debug
}  // namespace calcview
