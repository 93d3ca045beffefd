#pragma once
// The window: the calculator's screen enlarged, the PC keyboard as its keypad,
// the program running at the calculator's own speed.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "calculator.hpp"
#include "key_script.hpp"
#include "session.hpp"

namespace calcview {

/// Runs `calc` in a window until the program ends and then a key is pressed or
/// the window closed; at the time limit (counted from the start, whether the
/// program still runs or not) the window closes at once.
/// nullopt with `error` set when no window can be opened. After a fault the
/// title shows `faultSource()` too, when it is given and has a line.
std::optional<RunReport> runInWindow(
    Calculator& calc, const std::vector<KeyEvent>& timeline, std::optional<std::uint64_t> limit,
    int scale, const std::string& title, std::string& error,
    const std::function<std::optional<std::string>()>& faultSource = nullptr);

/// A key the user pressed or let go of in a window.
struct TypedKey {
    int key = 0;
    bool down = false;
};

/// A window that shows a calculator's screen while something else runs the
/// calculator (the debugger), and hands over the keys typed into it.
class ScreenWindow {
  public:
    virtual ~ScreenWindow() = default;
    /// Adds the keys typed since the last call to `typed`; false once the
    /// window has been closed.
    virtual bool takeKeys(std::vector<TypedKey>& typed) = 0;
    /// Shows the screen of `calc`, when it changed.
    virtual void show(const Calculator& calc) = 0;
    virtual void setTitle(const std::string& title) = 0;
};

/// nullptr with `error` set when no window can be opened.
std::unique_ptr<ScreenWindow> openScreenWindow(int scale, const std::string& title,
                                               std::string& error);

}  // namespace calcview
