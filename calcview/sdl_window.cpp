// SPDX-License-Identifier: GPL-2.0-or-later
// The window, on SDL2: the screen picture blitted into the window's own
// pixels whenever it changes, the PC keyboard turned into calculator keys, and
// the calculator run in slices so that its clock keeps pace with a monotonic
// wall clock (6 million cycles a second). Between frames the program sleeps.
// Files dropped on the window (SDL's drop events, from the first file to the
// drop's end) start afresh with them.
//
// This file is the window module: it knows calcview only through WindowHost
// and links nothing of calcview's own code.

#include <SDL.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <deque>
#include <memory>
#include <thread>
#include <utility>

#include "window.hpp"

namespace calcview {

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto frameTime = std::chrono::microseconds(1'000'000 / 60);
/// When the calculator falls further behind than this (the machine was busy,
/// the window was dragged), it skips the lost time instead of racing.
constexpr auto largestLag = std::chrono::milliseconds(250);
/// A key tapped between two frames is still held this long in calculator
/// time, so that a program polling the keypad sees it.
constexpr std::uint64_t shortestHold = clockHz / 20;

/// Draws into the window's own pixels rather than through an OpenGL texture:
/// a 96 x 64 screen needs no accelerated surface, and SDL would otherwise load
/// the machine's GL driver and recreate the window to make it GL-capable.
bool startVideo() {
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (SDL_getenv("SDL_VIDEODRIVER") == nullptr && SDL_getenv("WAYLAND_DISPLAY") == nullptr) {
        // Only X names a display: trying Wayland would print its own complaint.
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
    }
    return SDL_Init(SDL_INIT_VIDEO) == 0;
}

struct SdlSession {
    bool ok = startVideo();
    ~SdlSession() { SDL_Quit(); }
};

struct WindowDeleter {
    void operator()(SDL_Window* window) const { SDL_DestroyWindow(window); }
};
struct SurfaceDeleter {
    void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};

std::string sdlError(const char* what) { return std::string(what) + ": " + SDL_GetError(); }

bool isSet(const char* name) {
    const char* value = SDL_getenv(name);
    return value != nullptr && value[0] != '\0';
}

/// SDL falls back to a driver that shows nothing when no display can be
/// reached; a window nobody sees is no window.
bool displayReachable() {
    if (isSet("SDL_VIDEODRIVER")) return true;  // the user chose one
    const char* driver = SDL_GetCurrentVideoDriver();
    return (isSet("DISPLAY") || isSet("WAYLAND_DISPLAY")) && driver != nullptr &&
           SDL_strcmp(driver, "offscreen") != 0 && SDL_strcmp(driver, "dummy") != 0;
}

/// Key presses and releases still to come, in clock order.
class KeyQueue {
  public:
    explicit KeyQueue(const std::vector<KeyEvent>& script)
        : events_(script.begin(), script.end()) {}
    void add(const KeyEvent& event) {
        const auto later = std::upper_bound(
            events_.begin(), events_.end(), event.cycle,
            [](std::uint64_t cycle, const KeyEvent& queued) { return cycle < queued.cycle; });
        events_.insert(later, event);
    }
    /// Runs the calculator to `cycle`, pressing and releasing the keys due on the way.
    void runTo(WindowHost& calc, std::uint64_t cycle) {
        while (!events_.empty() && events_.front().cycle <= cycle &&
               calc.run(events_.front().cycle) == RunState::running) {
            const KeyEvent event = events_.front();
            events_.pop_front();
            if (event.down) {
                calc.pressKey(event.key);
            } else {
                calc.releaseKey(event.key);
            }
        }
        calc.run(cycle);
    }
    void clear() { events_.clear(); }

  private:
    std::deque<KeyEvent> events_;
};

/// What the window's events asked for.
enum class Request { none, close, restart };

class Window {
  public:
    Window(WindowHost& calc, KeyQueue& keys, int scale) : calc_(calc), keys_(keys), scale_(scale) {}

    bool open(const std::string& title, std::string& error) {
        if (!sdl_.ok) {
            const char* display = SDL_getenv("DISPLAY");
            error = display != nullptr && SDL_getenv("SDL_VIDEODRIVER") == nullptr
                        ? "cannot reach the display " + std::string(display) + " (" +
                              SDL_GetError() + "; or run with --headless)"
                        : sdlError("cannot start SDL");
            return false;
        }
        if (!displayReachable()) {
            error = "no display to open a window on (set DISPLAY, or run with --headless)";
            return false;
        }
        window_.reset(SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED,
                                       SDL_WINDOWPOS_CENTERED, screenWidth * scale_,
                                       screenHeight * scale_, 0));
        if (!window_) {
            error = sdlError("cannot open a window");
            return false;
        }
        return true;
    }

    /// Handles pending window events: keys go to a running program, any key
    /// closes the window once it has ended; a finished drop asks for a restart
    /// with dropped().
    Request handleEvents(bool running, bool ended) {
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            if (event.type == SDL_QUIT) return Request::close;
            if (event.type == SDL_DROPBEGIN) dropping_.clear();
            if (event.type == SDL_DROPFILE && event.drop.file != nullptr) {
                dropping_.emplace_back(event.drop.file);
            }
            if (event.type == SDL_DROPFILE || event.type == SDL_DROPTEXT) SDL_free(event.drop.file);
            if (event.type == SDL_DROPCOMPLETE && !dropping_.empty()) {
                dropped_ = std::exchange(dropping_, {});
                return Request::restart;
            }
            if ((event.type == SDL_KEYDOWN || event.type == SDL_KEYUP) && event.key.repeat == 0) {
                if (ended && event.type == SDL_KEYDOWN) return Request::close;
                if (!running) continue;
                const auto key = calc_.calculatorKey(SDL_GetKeyName(event.key.keysym.sym));
                if (!key) continue;
                if (event.type == SDL_KEYDOWN) {
                    calc_.pressKey(*key);
                    pressedAt_[static_cast<std::size_t>(*key)] = calc_.cycles();
                } else {
                    const std::uint64_t due =
                        pressedAt_[static_cast<std::size_t>(*key)] + shortestHold;
                    keys_.add({std::max(due, calc_.cycles()), *key, false});
                }
            }
            if (event.type == SDL_WINDOWEVENT) shownSmall_.clear();  // exposed: draw again
        }
        return Request::none;
    }

    /// The files of the last drop.
    const std::vector<std::filesystem::path>& dropped() const { return dropped_; }

    /// Puts the screen into the window when it changed.
    void present() {
        std::vector<std::uint8_t> small = calc_.screenImage(1);
        if (small == shownSmall_) return;
        shownSmall_ = std::move(small);
        shown_ = calc_.screenImage(scale_);
        std::unique_ptr<SDL_Surface, SurfaceDeleter> picture(SDL_CreateRGBSurfaceWithFormatFrom(
            shown_.data(), screenWidth * scale_, screenHeight * scale_, 24,
            screenWidth * scale_ * 3, SDL_PIXELFORMAT_RGB24));
        SDL_Surface* surface = SDL_GetWindowSurface(window_.get());
        if (!picture || surface == nullptr ||
            SDL_BlitSurface(picture.get(), nullptr, surface, nullptr) != 0 ||
            SDL_UpdateWindowSurface(window_.get()) != 0) {
            SDL_Log("%s", sdlError("cannot draw the screen").c_str());
        }
    }

    void setTitle(const std::string& title) { SDL_SetWindowTitle(window_.get(), title.c_str()); }

  private:
    SdlSession sdl_;
    std::unique_ptr<SDL_Window, WindowDeleter> window_;
    WindowHost& calc_;
    std::vector<std::filesystem::path> dropping_;  ///< the files of a drop still going on
    std::vector<std::filesystem::path> dropped_;
    KeyQueue& keys_;
    int scale_;
    std::array<std::uint64_t, 64> pressedAt_{};
    std::vector<std::uint8_t> shownSmall_;  ///< the screen last drawn, one pixel a pixel
    std::vector<std::uint8_t> shown_;       ///< and enlarged, as the window holds it
};

std::uint64_t cyclesBetween(Clock::time_point from, Clock::time_point to) {
    const auto elapsed = std::chrono::duration_cast<std::chrono::microseconds>(to - from).count();
    return static_cast<std::uint64_t>(std::max<std::int64_t>(elapsed, 0)) * (clockHz / 1'000'000);
}

std::string endingOf(const RunReport& report) {
    switch (report.outcome) {
        case Outcome::returned:
            return "the program returned";
        case Outcome::timeLimit:
            return "stopped at the time limit";
        case Outcome::interrupted:
            return "stopped";
        case Outcome::fault:
            return "fault: " + report.message +
                   (report.sourceLine.empty() ? "" : " - " + report.sourceLine);
    }
    return {};
}

/// The window's loop: the program runs at the calculator's speed; when it
/// ends the title says how and any key closes the window; without a program
/// the window waits for a drop.
class WindowLoop {
  public:
    WindowLoop(WindowHost& host, const WindowSettings& settings)
        : host_(host),
          settings_(settings),
          keys_(settings.timeline),
          window_(host, keys_, settings.scale) {}

    bool open(std::string& error) { return window_.open(host_.title(), error); }

    RunReport run() {
        restartClock();
        for (;;) {
            const bool running = host_.hasProgram() && !ended_;
            const Request request = window_.handleEvents(running, ended_);
            if (request == Request::close) return running ? RunReport{} : report_;
            if (request == Request::restart) restart();
            const auto now = Clock::now();
            if (host_.hasProgram() && !ended_) {
                advance(now);
                if (host_.state() != RunState::running || atLimit(host_.cycles())) {
                    if (finish()) return report_;
                }
            } else if (settings_.limit && atLimit(baseCycle_ + cyclesBetween(base_, now))) {
                // The clock goes on counting after the program has stopped.
                return report_;
            }
            window_.present();
            std::this_thread::sleep_until(now + frameTime);
        }
    }

  private:
    bool atLimit(std::uint64_t cycle) const { return settings_.limit && cycle >= *settings_.limit; }

    void restartClock() {
        base_ = Clock::now();
        baseCycle_ = 0;
        ended_ = false;
        report_ = RunReport{};
    }

    void restart() {
        std::string error;
        if (!host_.restart(window_.dropped(), error)) {
            std::fprintf(stderr, "calcview: %s\n", error.c_str());
            window_.setTitle(host_.title() + " - " + error);
            return;
        }
        keys_.clear();  // the key script was for the program first given
        restartClock();
        window_.setTitle(host_.title());
    }

    void advance(Clock::time_point now) {
        std::uint64_t target = baseCycle_ + cyclesBetween(base_, now);
        if (target > host_.cycles() + cyclesBetween(now, now + largestLag)) {
            base_ = now;
            baseCycle_ = target = host_.cycles();
        }
        if (settings_.limit) target = std::min(target, *settings_.limit);
        keys_.runTo(host_, target);
    }

    /// The program has ended or reached the limit; true when the window closes now.
    bool finish() {
        ended_ = true;
        report_ = host_.report();
        window_.present();
        if (report_.outcome == Outcome::timeLimit) return true;  // a script's run: no waiting
        window_.setTitle(host_.title() + " - " + endingOf(report_) +
                         " (press a key or close the window)");
        return false;
    }

    WindowHost& host_;
    const WindowSettings& settings_;
    KeyQueue keys_;
    Window window_;
    Clock::time_point base_;
    std::uint64_t baseCycle_ = 0;
    bool ended_ = false;
    RunReport report_;
};

/// The debugger's window: the screen and the keys, while the debugger runs
/// the program.
class DebuggerWindow final : public ScreenWindow {
  public:
    DebuggerWindow(WindowHost& host, int scale) : host_(host), window_(host, keys_, scale) {}
    bool open(std::string& error) { return window_.open(host_.title(), error); }

    bool serve() override {
        if (window_.handleEvents(true, false) == Request::close) return false;
        keys_.runTo(host_, host_.cycles());  // lets go of the keys held long enough
        return true;
    }
    void show() override { window_.present(); }
    void setTitle(const std::string& title) override { window_.setTitle(title); }

  private:
    WindowHost& host_;
    KeyQueue keys_{{}};
    Window window_;
};

}  // namespace

}  // namespace calcview

extern "C" __attribute__((visibility("default"))) calcview::ScreenWindow*
calcview_open_screen_window(calcview::WindowHost& host, int scale, std::string& error) {
    auto window = std::make_unique<calcview::DebuggerWindow>(host, scale);
    if (!window->open(error)) return nullptr;
    return window.release();
}

extern "C" __attribute__((visibility("default"))) bool calcview_run_window(
    calcview::WindowHost& host, const calcview::WindowSettings& settings,
    calcview::RunReport& report, std::string& error) {
    calcview::WindowLoop loop(host, settings);
    if (!loop.open(error)) return false;
    report = loop.run();
    return true;
}
