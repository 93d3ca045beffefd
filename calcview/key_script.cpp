// SPDX-License-Identifier: GPL-2.0-or-later
#include "key_script.hpp"

#include <charconv>
#include <sstream>

#include "addresses.hpp"
#include "keypad.hpp"

namespace calcview {

namespace {

constexpr int longestHoldMs = 600'000;

std::uint64_t cyclesOf(int ms) { return static_cast<std::uint64_t>(ms) * clockHz / 1000; }

std::optional<KeyStroke> parseStroke(std::string_view item, std::string& error) {
    const auto colon = item.find(':');
    const std::string_view name = item.substr(0, colon);
    const auto key = keyIndex(name);
    if (!key) {
        std::ostringstream message;
        message << "unknown key \"" << name << "\" (calcview --help lists the keys)";
        error = message.str();
        return std::nullopt;
    }
    int hold = defaultHoldMs;
    if (colon != std::string_view::npos) {
        const std::string_view digits = item.substr(colon + 1);
        const auto [end, status] =
            std::from_chars(digits.data(), digits.data() + digits.size(), hold);
        if (digits.empty() || status != std::errc() || end != digits.data() + digits.size() ||
            hold < 1 || hold > longestHoldMs) {
            std::ostringstream message;
            message << '"' << item << "\": the hold time must be 1 to 600000 ms";
            error = message.str();
            return std::nullopt;
        }
    }
    return KeyStroke{*key, hold};
}

}  // namespace

std::optional<std::vector<KeyStroke>> parseKeyScript(std::string_view text, std::string& error) {
    std::vector<KeyStroke> strokes;
    while (!text.empty()) {
        const auto comma = text.find(',', 1);  // a leading comma is the comma key
        const std::string_view item = text.substr(0, comma);
        auto stroke = parseStroke(item, error);
        if (!stroke) return std::nullopt;
        strokes.push_back(*stroke);
        text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
    }
    return strokes;
}

std::vector<KeyEvent> keyTimeline(const std::vector<KeyStroke>& strokes) {
    std::vector<KeyEvent> events;
    std::uint64_t now = 0;
    for (const KeyStroke& stroke : strokes) {
        now += cyclesOf(pauseBeforeKeyMs);
        events.push_back({now, stroke.key, true});
        now += cyclesOf(stroke.holdMs);
        events.push_back({now, stroke.key, false});
    }
    return events;
}

}  // namespace calcview
