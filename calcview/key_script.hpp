// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The keys a headless run presses: "right:150,clear" is Right held for 150 ms,
// then Clear held for the default time. Each key goes down after a pause, so a
// program sees every key released before the next.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace calcview {

inline constexpr int defaultHoldMs = 100;
inline constexpr int pauseBeforeKeyMs = 100;

struct KeyStroke {
    int key;  ///< index into allKeys()
    int holdMs;
};

/// nullopt with `error` naming the bad item.
std::optional<std::vector<KeyStroke>> parseKeyScript(std::string_view text, std::string& error);

struct KeyEvent {
    std::uint64_t cycle;  ///< calculator clock cycle
    int key;
    bool down;
};

/// The presses and releases in time order.
std::vector<KeyEvent> keyTimeline(const std::vector<KeyStroke>& strokes);

}  // namespace calcview
