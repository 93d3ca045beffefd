// SPDX-License-Identifier: GPL-2.0-or-later
// Opening the window module: found beside calcview at the place the build and
// the installation both put it, loaded when the first window opens.

#include <dlfcn.h>

#include <cstdlib>
#include <filesystem>

#include "window.hpp"

namespace calcview {

namespace {

bool isSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] != '\0';
}

std::filesystem::path modulePath() {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    return (error ? std::filesystem::path(".") : self.parent_path()) / CALCVIEW_WINDOW_MODULE;
}

/// The module's entry point `name`; nullptr with `error` set.
void* moduleEntry(const char* name, std::string& error) {
    // Without a display named, SDL would try its drivers one by one, and the
    // Wayland library says so on standard error before SDL gives up.
    if (!isSet("DISPLAY") && !isSet("WAYLAND_DISPLAY") && !isSet("SDL_VIDEODRIVER")) {
        error = "no display to open a window on (set DISPLAY, or run with --headless)";
        return nullptr;
    }
    const std::filesystem::path path = modulePath().lexically_normal();
    // Kept loaded until calcview ends: SDL may leave handlers and threads behind.
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
        error = std::string("cannot load the window: ") + dlerror();
        return nullptr;
    }
    void* entry = dlsym(module, name);
    if (entry == nullptr) error = "cannot load the window: " + path.string() + " has no " + name;
    return entry;
}

}  // namespace

std::optional<RunReport> runInWindow(WindowHost& host, const WindowSettings& settings,
                                     std::string& error) {
    auto* entry = reinterpret_cast<WindowEntry*>(moduleEntry(windowEntryName, error));
    if (entry == nullptr) return std::nullopt;
    RunReport report;
    if (!entry(host, settings, report, error)) return std::nullopt;
    return report;
}

std::unique_ptr<ScreenWindow> openScreenWindow(WindowHost& host, int scale, std::string& error) {
    auto* entry = reinterpret_cast<ScreenWindowEntry*>(moduleEntry(screenWindowEntryName, error));
    if (entry == nullptr) return nullptr;
    return std::unique_ptr<ScreenWindow>(entry(host, scale, error));
}

}  // namespace calcview
