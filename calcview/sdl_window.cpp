// The window, on SDL2: the screen picture blitted into the window's own
// pixels whenever it changes, the PC keyboard turned into calculator keys, and
// the calculator run in slices so that its clock keeps pace with a monotonic
// wall clock (6 million cycles a second). Between frames the program sleeps.

#include <SDL.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <deque>
#include <memory>
#include <thread>

#include "command_line.hpp"
#include "keypad.hpp"
#include "screen_image.hpp"
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

/// The calculator key a PC key presses, if any.
std::optional<int> calculatorKey(SDL_Keycode code) {
    const std::string_view name = SDL_GetKeyName(code);
    for (const PcKey& key : pcKeys()) {
        if (key.pcKey == name) return keyIndex(key.calcKey);
    }
    std::string_view plain = name;
    if (plain.starts_with("Keypad ")) plain.remove_prefix(7);
    if (plain.size() == 1 && std::isalnum(static_cast<unsigned char>(plain[0]))) {
        const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(plain[0])));
        return keyIndex(std::string_view(&lower, 1));
    }
    return std::nullopt;
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
    void runTo(Calculator& calc, std::uint64_t cycle) {
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

  private:
    std::deque<KeyEvent> events_;
};

/// Puts the screen of `calc` into `window` when it differs from `shownSmall`
/// (the screen last drawn, one pixel a pixel); `shown` keeps the enlarged
/// picture the window's surface was drawn from.
void presentScreen(SDL_Window* window, const Calculator& calc, int scale,
                   std::vector<std::uint8_t>& shownSmall, std::vector<std::uint8_t>& shown) {
    std::vector<std::uint8_t> small = screenImage(calc, 1);
    if (small == shownSmall) return;
    shownSmall = std::move(small);
    shown = screenImage(calc, scale);
    std::unique_ptr<SDL_Surface, SurfaceDeleter> picture(SDL_CreateRGBSurfaceWithFormatFrom(
        shown.data(), screenWidth * scale, screenHeight * scale, 24, screenWidth * scale * 3,
        SDL_PIXELFORMAT_RGB24));
    SDL_Surface* surface = SDL_GetWindowSurface(window);
    if (!picture || surface == nullptr || SDL_BlitSurface(picture.get(), nullptr, surface, nullptr) != 0 ||
        SDL_UpdateWindowSurface(window) != 0) {
        SDL_Log("%s", sdlError("cannot draw the screen").c_str());
    }
}

/// Opens a window of the screen's size times `scale`; nullptr with `error`
/// set, which for want of a display suggests `withoutWindow`.
std::unique_ptr<SDL_Window, WindowDeleter> openWindow(bool videoStarted, int scale,
                                                      const std::string& title,
                                                      const std::string& withoutWindow,
                                                      std::string& error) {
    if (!videoStarted) {
        error = sdlError("cannot start SDL");
        return nullptr;
    }
    if (!displayReachable()) {
        error = "no display to open a window on (set DISPLAY, or " + withoutWindow + ")";
        return nullptr;
    }
    std::unique_ptr<SDL_Window, WindowDeleter> window(
        SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                         screenWidth * scale, screenHeight * scale, 0));
    if (!window) error = sdlError("cannot open a window");
    return window;
}

class Window {
  public:
    Window(Calculator& calc, KeyQueue& keys, int scale) : calc_(calc), keys_(keys), scale_(scale) {}

    bool open(const std::string& title, std::string& error) {
        window_ = openWindow(sdl_.ok, scale_, title, "run with --headless", error);
        return window_ != nullptr;
    }

    /// Handles pending window events; false once the window is closed.
    bool handleEvents(bool running) {
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            if (event.type == SDL_QUIT) return false;
            if ((event.type == SDL_KEYDOWN || event.type == SDL_KEYUP) && event.key.repeat == 0) {
                if (!running && event.type == SDL_KEYDOWN) return false;  // any key closes it then
                const auto key = calculatorKey(event.key.keysym.sym);
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
        return true;
    }

    /// Puts the screen into the window when it changed.
    void present() { presentScreen(window_.get(), calc_, scale_, shownSmall_, shown_); }

    void setTitle(const std::string& title) { SDL_SetWindowTitle(window_.get(), title.c_str()); }

  private:
    SdlSession sdl_;
    std::unique_ptr<SDL_Window, WindowDeleter> window_;
    Calculator& calc_;
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
            return "fault: " + report.message;
    }
    return {};
}

/// The debugger's window: it shows the screen and passes on the keys; the
/// debugger runs the calculator.
class DebuggerWindow final : public ScreenWindow {
  public:
    DebuggerWindow(int scale, const std::string& title, std::string& error)
        : window_(openWindow(sdl_.ok, scale, title, "launch with \"headless\": true", error)),
          scale_(scale) {}
    bool opened() const { return window_ != nullptr; }

    bool takeKeys(std::vector<TypedKey>& typed) override {
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            if (event.type == SDL_QUIT) return false;
            if ((event.type == SDL_KEYDOWN || event.type == SDL_KEYUP) && event.key.repeat == 0) {
                if (const auto key = calculatorKey(event.key.keysym.sym)) {
                    typed.push_back({*key, event.type == SDL_KEYDOWN});
                }
            }
            if (event.type == SDL_WINDOWEVENT) shownSmall_.clear();  // exposed: draw again
        }
        return true;
    }
    void show(const Calculator& calc) override {
        presentScreen(window_.get(), calc, scale_, shownSmall_, shown_);
    }
    void setTitle(const std::string& title) override {
        SDL_SetWindowTitle(window_.get(), title.c_str());
    }

  private:
    SdlSession sdl_;
    std::unique_ptr<SDL_Window, WindowDeleter> window_;
    int scale_;
    std::vector<std::uint8_t> shownSmall_;
    std::vector<std::uint8_t> shown_;
};

}  // namespace

std::unique_ptr<ScreenWindow> openScreenWindow(int scale, const std::string& title,
                                               std::string& error) {
    auto window = std::make_unique<DebuggerWindow>(scale, title, error);
    if (!window->opened()) return nullptr;
    return window;
}

std::optional<RunReport> runInWindow(
    Calculator& calc, const std::vector<KeyEvent>& timeline, std::optional<std::uint64_t> limit,
    int scale, const std::string& title, std::string& error,
    const std::function<std::optional<std::string>()>& faultSource) {
    KeyQueue keys(timeline);
    Window window(calc, keys, scale);
    if (!window.open(title, error)) return std::nullopt;
    auto base = Clock::now();
    std::uint64_t baseCycle = 0;
    while (calc.state() == RunState::running && (!limit || calc.cycles() < *limit)) {
        if (!window.handleEvents(true)) return RunReport{};  // closed while running
        const auto now = Clock::now();
        std::uint64_t target = baseCycle + cyclesBetween(base, now);
        if (target > calc.cycles() + cyclesBetween(now, now + largestLag)) {
            base = now;
            baseCycle = target = calc.cycles();
        }
        if (limit) target = std::min(target, *limit);
        keys.runTo(calc, target);
        window.present();
        std::this_thread::sleep_until(now + frameTime);
    }
    const RunReport report = reportOf(calc);
    window.present();
    if (report.outcome == Outcome::timeLimit) return report;  // a script's run: no waiting
    std::string ending = endingOf(report);
    if (report.outcome == Outcome::fault && faultSource) {
        if (const auto line = faultSource()) ending += " - " + *line;
    }
    window.setTitle(title + " - " + ending + " (press a key or close the window)");
    // The time limit closes the window however the program ended: the clock
    // goes on counting after the program has stopped.
    while (window.handleEvents(false)) {
        if (limit && baseCycle + cyclesBetween(base, Clock::now()) >= *limit) break;
        std::this_thread::sleep_for(frameTime);
    }
    return report;
}

}  // namespace calcview
