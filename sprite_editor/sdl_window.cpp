// SPDX-License-Identifier: GPL-2.0-or-later
// The editor's window, on SDL2. The canvas is kept as palette numbers by the editor; this file
// turns the changed part of it into window pixels (each canvas pixel a scale x scale square)
// and turns the window's mouse back into canvas pixels and button bits.

#include "sdl_window.hpp"

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <optional>
#include <utility>
#include <vector>

#include "command_line.hpp"

namespace pixelkin {

namespace {

constexpr int tileSize = 16;
// A short sleep between idle passes: waiting for events with a time-out can make SDL 2.26 fail
// with an X error when the window closes later.
constexpr Uint32 idleDelayMs = 10;

struct PaletteColour {
    std::uint8_t number;
    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;
};

// The colours the editor draws with, as in the standard 256-colour palette.
constexpr std::array<PaletteColour, 6> paletteColours = {{
    {black, 0, 0, 0},
    {Colour::blue, 0, 0, 168},
    {Colour::green, 0, 168, 0},
    {white, 252, 252, 252},
    {gridBlack, 0, 0, 0},
    {grey, 128, 128, 128},
}};

/// An editing key with the modifiers it needs, and whether a held key's repeats count.
struct KeyCommand {
    SDL_Keycode key;
    bool control;
    bool shift;
    EventKind kind;
    bool repeats;
};

constexpr std::array<KeyCommand, 17> keyCommands = {{
    {SDLK_z, true, false, EventKind::undo, true},
    {SDLK_z, true, true, EventKind::redo, true},
    {SDLK_y, true, false, EventKind::redo, true},
    {SDLK_s, true, false, EventKind::save, false},
    {SDLK_c, true, false, EventKind::copy, false},
    {SDLK_v, true, false, EventKind::paste, false},
    {SDLK_e, true, false, EventKind::exportSheet, false},
    {SDLK_i, true, false, EventKind::importPicture, false},
    {SDLK_PAGEDOWN, false, false, EventKind::nextSprite, true},
    {SDLK_PAGEUP, false, false, EventKind::lastSprite, true},
    {SDLK_h, false, false, EventKind::flipLeftRight, true},
    {SDLK_v, false, false, EventKind::flipTopBottom, true},
    {SDLK_LEFT, false, false, EventKind::shiftLeft, true},
    {SDLK_RIGHT, false, false, EventKind::shiftRight, true},
    {SDLK_UP, false, false, EventKind::shiftUp, true},
    {SDLK_DOWN, false, false, EventKind::shiftDown, true},
    {SDLK_i, false, false, EventKind::invert, true},
}};

std::optional<EventKind> commandFor(const SDL_KeyboardEvent& key) {
    const bool control = (key.keysym.mod & KMOD_CTRL) != 0;
    const bool shift = (key.keysym.mod & KMOD_SHIFT) != 0;
    for (const KeyCommand& command : keyCommands) {
        if (command.key == key.keysym.sym && command.control == control && command.shift == shift &&
            (command.repeats || key.repeat == 0)) {
            return command.kind;
        }
    }
    return std::nullopt;
}

/// The editor's bit for an SDL mouse button, 0 for buttons it does not know.
int buttonBit(Uint8 button) {
    // Indexed by SDL_BUTTON_LEFT (1), SDL_BUTTON_MIDDLE (2) and SDL_BUTTON_RIGHT (3).
    constexpr std::array<int, 4> bits = {0, leftButton, middleButton, rightButton};
    return button < bits.size() ? bits[button] : 0;
}

std::string sdlError(const char* what) { return std::string(what) + ": " + SDL_GetError(); }

bool isSet(const char* name) {
    const char* value = SDL_getenv(name);
    return value != nullptr && value[0] != '\0';
}

/// True when nothing names a display or a video driver to use.
bool noDisplayNamed() {
    return !isSet("SDL_VIDEODRIVER") && !isSet("DISPLAY") && !isSet("WAYLAND_DISPLAY");
}

/// True when SDL fell back to a video driver that shows nothing on any screen, which it does
/// when no display can be reached, unless the user chose that driver by name.
bool onInvisibleDriver() {
    const char* driver = SDL_GetCurrentVideoDriver();
    const char* chosen = SDL_getenv("SDL_VIDEODRIVER");
    const bool invisible = driver != nullptr && (SDL_strcmp(driver, "offscreen") == 0 ||
                                                 SDL_strcmp(driver, "dummy") == 0);
    return invisible && (chosen == nullptr || SDL_strcasecmp(chosen, driver) != 0);
}

int screenScale() {
    SDL_Rect usable{};
    if (SDL_GetDisplayUsableBounds(0, &usable) != 0) {
        return smallestScale;
    }
    return fittingScale(usable.w, usable.h);
}

/// Division rounding towards minus infinity, so that positions left of or above the window
/// stay outside the canvas.
int floorDivide(int value, int divisor) {
    return value >= 0 ? value / divisor : -((-value + divisor - 1) / divisor);
}

Rect intersect(const Rect& a, const Rect& b) {
    return Rect{std::max(a.x1, b.x1), std::max(a.y1, b.y1), std::min(a.x2, b.x2),
                std::min(a.y2, b.y2)};
}

/// Adds a window rectangle, joining it to the previous one when it continues it to the right.
void addUpdateRect(std::vector<SDL_Rect>& rects, const SDL_Rect& rect) {
    if (!rects.empty()) {
        SDL_Rect& last = rects.back();
        if (last.y == rect.y && last.h == rect.h && last.x + last.w == rect.x) {
            last.w += rect.w;
            return;
        }
    }
    rects.push_back(rect);
}

}  // namespace

/// SDL's video subsystem, started for the lifetime of one window.
struct Window::SdlSession {
    SdlSession() = default;
    ~SdlSession() { SDL_Quit(); }
    SdlSession(const SdlSession&) = delete;
    SdlSession& operator=(const SdlSession&) = delete;
};

void Window::WindowCloser::operator()(SDL_Window* window) const { SDL_DestroyWindow(window); }

std::unique_ptr<Window::SdlSession> Window::startVideo(std::string& error) {
    if (noDisplayNamed()) {
        error = "no display: neither DISPLAY nor WAYLAND_DISPLAY is set";
        return nullptr;
    }
    if (!isSet("SDL_VIDEODRIVER") && !isSet("WAYLAND_DISPLAY")) {
        // Only X names a display: trying the other drivers would print their own complaints.
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
    }
    // Draw into the window's own pixels rather than through an OpenGL texture: the canvas is
    // small, and SDL would otherwise recreate the window to make it OpenGL-capable.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        error = sdlError("cannot start the video system");
        SDL_Quit();
        return nullptr;
    }
    auto session = std::make_unique<SdlSession>();
    if (onInvisibleDriver()) {
        error = "no display to show it on (DISPLAY or WAYLAND_DISPLAY names none)";
        return nullptr;
    }
    return session;
}

std::unique_ptr<Window> Window::open(std::optional<int> scale, const std::string& title,
                                     std::string& error) {
    auto session = startVideo(error);
    if (!session) {
        return nullptr;
    }
    const int chosenScale = scale ? *scale : screenScale();
    SDL_Window* window =
        SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                         canvasWidth * chosenScale, canvasHeight * chosenScale, SDL_WINDOW_SHOWN);
    if (window == nullptr) {
        error = sdlError("cannot create the window");
        return nullptr;
    }
    auto opened = std::make_unique<Window>(OpenKey{}, std::move(session), window, chosenScale);
    return opened->prepare(error) ? std::move(opened) : nullptr;
}

bool Window::prepare(std::string& error) {
    SDL_Surface* surface = SDL_GetWindowSurface(window_.get());
    if (surface == nullptr) {
        error = sdlError("cannot draw into the window");
        return false;
    }
    if (surface->format->BytesPerPixel != 4) {
        error = "the window does not offer 32-bit pixels";
        return false;
    }
    for (const PaletteColour& colour : paletteColours) {
        colourTable_[colour.number] =
            SDL_MapRGB(surface->format, colour.red, colour.green, colour.blue);
    }
    // The editor reads keys, not text; without text input SDL does not poll an input method.
    SDL_StopTextInput();
    if (SDL_ShowCursor(SDL_ENABLE) < 0) {
        error = sdlError("cannot show the mouse pointer");
        return false;
    }
    return true;
}

Window::Window(OpenKey, std::unique_ptr<SdlSession> session, SDL_Window* window, int scale)
    : session_(std::move(session)), window_(window), scale_(scale) {}

Window::~Window() = default;

void Window::readInput(PassInput& input) {
    input.events.clear();
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) {
        switch (event.type) {
            case SDL_QUIT:
                input.events.push_back(InputEvent{EventKind::close, {}});
                break;
            case SDL_MOUSEBUTTONDOWN:
                addButtonEvent(event.button, input);
                break;
            case SDL_MOUSEBUTTONUP:
                heldButtons_ &= ~buttonBit(event.button.button);
                break;
            case SDL_KEYDOWN:
                if (const auto command = commandFor(event.key)) {
                    input.events.push_back(InputEvent{*command, {}});
                }
                break;
            case SDL_DROPFILE:
                if (event.drop.file != nullptr) {
                    input.events.push_back(InputEvent{
                        EventKind::importPicture, {}, std::filesystem::path(event.drop.file)});
                }
                SDL_free(event.drop.file);
                break;
            case SDL_DROPTEXT:
                SDL_free(event.drop.file);  // only files are imported
                break;
            case SDL_WINDOWEVENT:
                if (event.window.event == SDL_WINDOWEVENT_EXPOSED ||
                    event.window.event == SDL_WINDOWEVENT_SHOWN) {
                    exposed_ = true;
                }
                break;
            default:
                break;
        }
    }
    input.mouse = readMouse();
    // A release outside the window may never arrive as an event; the held state settles it.
    heldButtons_ = input.mouse.buttons;
}

void Window::addButtonEvent(const SDL_MouseButtonEvent& button, PassInput& input) {
    heldButtons_ |= buttonBit(button.button);
    input.events.push_back(InputEvent{
        EventKind::buttonDown,
        MouseState{floorDivide(button.x, scale_), floorDivide(button.y, scale_), heldButtons_}});
}

MouseState Window::readMouse() const {
    int x = 0;
    int y = 0;
    const Uint32 held = SDL_GetMouseState(&x, &y);
    MouseState mouse{floorDivide(x, scale_), floorDivide(y, scale_), 0};
    if ((held & SDL_BUTTON_LMASK) != 0) {
        mouse.buttons |= leftButton;
    }
    if ((held & SDL_BUTTON_RMASK) != 0) {
        mouse.buttons |= rightButton;
    }
    if ((held & SDL_BUTTON_MMASK) != 0) {
        mouse.buttons |= middleButton;
    }
    return mouse;
}

Window::Presented Window::present(Framebuffer& screen, std::string& error) {
    const Rect changed = screen.takeChangedArea();
    if (std::exchange(exposed_, false)) {
        return presentArea(screen, Rect{0, 0, canvasWidth - 1, canvasHeight - 1}, true, error);
    }
    if (changed.empty()) {
        return Presented::nothing;
    }
    return presentArea(screen, changed, false, error);
}

Window::Presented Window::presentAll(Framebuffer& screen, std::string& error) {
    screen.takeChangedArea();
    exposed_ = false;
    return presentArea(screen, Rect{0, 0, canvasWidth - 1, canvasHeight - 1}, true, error);
}

void Window::idle() const { SDL_Delay(idleDelayMs); }

Window::Presented Window::presentArea(Framebuffer& screen, Rect area, bool all,
                                      std::string& error) {
    SDL_Surface* surface = SDL_GetWindowSurface(window_.get());
    if (surface == nullptr) {
        error = sdlError("cannot draw into the window");
        return Presented::failed;
    }
    if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) {
        error = sdlError("cannot lock the window's pixels");
        return Presented::failed;
    }
    std::vector<SDL_Rect> updates;
    for (int tileY = area.y1 / tileSize; tileY <= area.y2 / tileSize; ++tileY) {
        for (int tileX = area.x1 / tileSize; tileX <= area.x2 / tileSize; ++tileX) {
            const Rect tile = intersect(
                area, Rect{tileX * tileSize, tileY * tileSize, tileX * tileSize + tileSize - 1,
                           tileY * tileSize + tileSize - 1});
            if (all || differsFromShown(screen, tile)) {
                copyToWindow(screen, tile, *surface);
                addUpdateRect(updates, SDL_Rect{tile.x1 * scale_, tile.y1 * scale_,
                                                (tile.x2 - tile.x1 + 1) * scale_,
                                                (tile.y2 - tile.y1 + 1) * scale_});
            }
        }
    }
    if (SDL_MUSTLOCK(surface)) {
        SDL_UnlockSurface(surface);
    }
    if (updates.empty()) {
        return Presented::nothing;
    }
    if (SDL_UpdateWindowSurfaceRects(window_.get(), updates.data(),
                                     static_cast<int>(updates.size())) != 0) {
        error = sdlError("cannot update the window");
        return Presented::failed;
    }
    return Presented::updated;
}

bool Window::differsFromShown(const Framebuffer& screen, const Rect& area) const {
    const int width = area.x2 - area.x1 + 1;
    for (int y = area.y1; y <= area.y2; ++y) {
        if (std::memcmp(screen.row(y) + area.x1, &shown_[y * canvasWidth + area.x1], width) != 0) {
            return true;
        }
    }
    return false;
}

void Window::copyToWindow(const Framebuffer& screen, const Rect& area, SDL_Surface& surface) {
    const int width = area.x2 - area.x1 + 1;
    std::vector<std::uint32_t> scaledRow(static_cast<std::size_t>(width * scale_));
    for (int y = area.y1; y <= area.y2; ++y) {
        const std::uint8_t* source = screen.row(y) + area.x1;
        std::memcpy(&shown_[y * canvasWidth + area.x1], source, width);
        for (int x = 0; x < width; ++x) {
            std::fill_n(scaledRow.begin() + x * scale_, scale_, colourTable_[source[x]]);
        }
        for (int copy = 0; copy < scale_; ++copy) {
            auto* target = static_cast<std::uint8_t*>(surface.pixels) +
                           (y * scale_ + copy) * surface.pitch + area.x1 * scale_ * 4;
            std::memcpy(target, scaledRow.data(), scaledRow.size() * 4);
        }
    }
}

bool runEditorLoop(Editor& editor, Window& window, std::string& error, const InputFilter& filter) {
    if (window.presentAll(editor.screen(), error) == Window::Presented::failed) {
        return false;
    }
    PassInput input;
    for (;;) {
        input.now = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now().time_since_epoch());
        window.readInput(input);
        if (filter) {
            filter(input);
        }
        const PassResult pass = editor.runPass(input);
        if (window.present(editor.screen(), error) == Window::Presented::failed) {
            return false;
        }
        if (pass.quit) {
            return true;
        }
        if (!pass.drawing) {
            window.idle();
        }
    }
}

}  // namespace pixelkin
