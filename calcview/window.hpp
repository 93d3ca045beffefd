// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The window: the calculator's screen enlarged, the PC keyboard as its keypad,
// the program running at the calculator's own speed, and files dropped on it
// run in its place.
//
// The window lives in a module of its own (calcview-window.so, the one part
// that knows SDL2), loaded only when a window opens, so that a headless run
// does not load SDL2 and the libraries it pulls in. The module sees calcview
// only through WindowHost, so it needs none of calcview's own code.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calculator.hpp"
#include "key_script.hpp"
#include "session.hpp"

namespace calcview {

/// The program the window shows, as the window drives it.
class WindowHost {
  public:
    virtual ~WindowHost() = default;
    /// false while no program was given or dropped: the screen asks for one.
    virtual bool hasProgram() const = 0;
    /// The window's title, naming the program.
    virtual std::string title() const = 0;
    virtual RunState run(std::uint64_t cycle) = 0;
    virtual RunState state() const = 0;
    virtual std::uint64_t cycles() const = 0;
    virtual void pressKey(int key) = 0;
    virtual void releaseKey(int key) = 0;
    /// The screen as screenImage draws it.
    virtual std::vector<std::uint8_t> screenImage(int scale) const = 0;
    /// How the run ended (or that it reached its limit).
    virtual RunReport report() const = 0;
    /// The calculator key a PC key (as the window library names it) presses.
    virtual std::optional<int> calculatorKey(std::string_view pcKey) const = 0;
    /// Starts the program among `files` afresh with the other files' variables beside it.
    /// false with `error` set, the program shown so far left as it was.
    virtual bool restart(const std::vector<std::filesystem::path>& files, std::string& error) = 0;
};

struct WindowSettings {
    int scale = 4;
    /// Keys pressed in the first program's run.
    std::vector<KeyEvent> timeline;
    /// Clock cycles after which the window closes; none when nullopt.
    std::optional<std::uint64_t> limit;
};

/// Runs `host`'s program in a window until it ends and then a key is pressed or
/// the window closed; at the time limit (counted from the start, whether the
/// program still runs or not) the window closes at once. A program dropped on
/// the window starts afresh, its clock from 0. Without a program the window
/// waits for one to be dropped.
/// nullopt with `error` set when no window can be opened.
std::optional<RunReport> runInWindow(WindowHost& host, const WindowSettings& settings,
                                     std::string& error);

/// The module's entry point, looked up by this name.
inline constexpr const char* windowEntryName = "calcview_run_window";
/// false with `error` set when no window can be opened; `report` otherwise.
using WindowEntry = bool(WindowHost& host, const WindowSettings& settings, RunReport& report,
                         std::string& error);

/// A window that shows the screen of a program something else runs (the
/// debugger). Keys typed into it go to the host's pressKey and releaseKey;
/// the host's run() is only asked to let go of keys held long enough.
class ScreenWindow {
  public:
    virtual ~ScreenWindow() = default;
    /// Handles the window's events; false once the window has been closed.
    virtual bool serve() = 0;
    /// Shows the host's screen, when it changed.
    virtual void show() = 0;
    virtual void setTitle(const std::string& title) = 0;
};

/// Opens a window on `host`'s screen; nullptr with `error` set when none can be opened.
std::unique_ptr<ScreenWindow> openScreenWindow(WindowHost& host, int scale, std::string& error);

/// The module's entry point for openScreenWindow, looked up by this name.
inline constexpr const char* screenWindowEntryName = "calcview_open_screen_window";
using ScreenWindowEntry = ScreenWindow*(WindowHost& host, int scale, std::string& error);

}  // namespace calcview
