// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "editor.hpp"
#include "framebuffer.hpp"

struct SDL_MouseButtonEvent;
struct SDL_Surface;
struct SDL_Window;

namespace pixelkin {

/// The editor's window: shows the canvas enlarged with nearest-neighbour scaling in the
/// editor's palette and reads the mouse back in canvas pixels. The only part of the editor that
/// knows the window library.
class Window {
    struct SdlSession;
    /// Lets only open() construct a window.
    struct OpenKey {
        explicit OpenKey() = default;
    };

  public:
    /// Opens the window titled `title` at `scale` times the canvas size, or at the largest scale
    /// that fits the screen when `scale` is empty. Returns nothing and sets `error` to the cause
    /// on failure.
    static std::unique_ptr<Window> open(std::optional<int> scale, const std::string& title,
                                        std::string& error);

    /// A window over an opened SDL window; use open().
    Window(OpenKey, std::unique_ptr<SdlSession> session, SDL_Window* window, int scale);
    ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    /// Replaces `input.events` with the window's events since the last call (button presses,
    /// editing keys, close requests) and reads the mouse held now into `input.mouse`.
    void readInput(PassInput& input);
    /// The pointer in canvas pixels and the held buttons (1 left, 2 right, 4 middle).
    MouseState readMouse() const;
    /// What a present did.
    enum class Presented { nothing, updated, failed };

    /// Shows the pixels of `screen` that differ from what the window shows, if any were
    /// written since the last call (or all of them after the window was exposed). Sets `error`
    /// when it fails.
    Presented present(Framebuffer& screen, std::string& error);
    /// Shows the whole of `screen`, whatever changed.
    Presented presentAll(Framebuffer& screen, std::string& error);
    /// Waits briefly between passes while nothing is being drawn.
    void idle() const;
    /// The enlargement in use.
    int scale() const { return scale_; }

  private:
    struct WindowCloser {
        void operator()(SDL_Window* window) const;
    };

    static std::unique_ptr<SdlSession> startVideo(std::string& error);
    void addButtonEvent(const SDL_MouseButtonEvent& button, PassInput& input);
    bool prepare(std::string& error);
    Presented presentArea(Framebuffer& screen, Rect area, bool all, std::string& error);
    /// True when `area` of `screen` differs from what the window shows.
    bool differsFromShown(const Framebuffer& screen, const Rect& area) const;
    /// Puts `area` of `screen` into the window's pixels, enlarged, and remembers it as shown.
    void copyToWindow(const Framebuffer& screen, const Rect& area, SDL_Surface& surface);

    // Declared in this order so that the window closes before the library shuts down.
    std::unique_ptr<SdlSession> session_;
    std::unique_ptr<SDL_Window, WindowCloser> window_;
    int scale_;
    bool exposed_ = true;
    /// The buttons held as the events tell it, to know what else was held at each press.
    int heldButtons_ = 0;
    std::array<std::uint32_t, 256> colourTable_{};
    std::array<std::uint8_t, canvasWidth * canvasHeight> shown_{};
};

/// Changes what a pass read from the window before the editor sees it (for measurements).
using InputFilter = std::function<void(PassInput&)>;

/// Runs the editor's loop in `window` until the editor leaves: each pass reads the clock, the
/// window's events and the mouse, acts, and presents what changed; unless a stroke is being
/// drawn on the grid it then idles briefly. `filter`, when given, changes each pass's input.
/// Returns false and sets `error` when the window failed.
bool runEditorLoop(Editor& editor, Window& window, std::string& error,
                   const InputFilter& filter = {});

}  // namespace pixelkin
