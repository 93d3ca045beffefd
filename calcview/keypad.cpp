// SPDX-License-Identifier: GPL-2.0-or-later
#include "keypad.hpp"

#include <algorithm>

namespace calcview {

namespace {

// Group 0 (mask FEh): the arrows; group 1: Enter column; ... group 6: the top
// rows. The _getkey codes: arrows 01h-04h, Enter 05h, Clear 09h, Del 0Ah,
// digits 8Eh-97h, letters 9Ah-B3h (after Alpha), space 99h, and so on.
constexpr KeyInfo keys[] = {
    {"down", 0, 0, 0x04, 0, 0},    {"left", 0, 1, 0x02, 0, 0},      {"right", 0, 2, 0x01, 0, 0},
    {"up", 0, 3, 0x03, 0, 0},      {"enter", 1, 0, 0x05, 0, 0},     {"+", 1, 1, 0x80, 0, 0},
    {"-", 1, 2, 0x81, 0xB0, 0},    {"*", 1, 3, 0x82, 0xAB, 0},      {"/", 1, 4, 0x83, 0xA6, 0},
    {"^", 1, 5, 0x84, 0xA1, 0},    {"clear", 1, 6, 0x09, 0, 0},     {"(-)", 2, 0, 0x8C, 0, 0},
    {"3", 2, 1, 0x91, 0, 0},       {"6", 2, 2, 0x94, 0xAF, 0},      {"9", 2, 3, 0x97, 0xAA, 0},
    {")", 2, 4, 0x86, 0xA5, 0},    {"tan", 2, 5, 0xBB, 0xA0, 0},    {"vars", 2, 6, 0x35, 0, 0},
    {".", 3, 0, 0x8D, 0, 0},       {"2", 3, 1, 0x90, 0xB3, 0},      {"5", 3, 2, 0x93, 0xAE, 0},
    {"8", 3, 3, 0x96, 0xA9, 0},    {"(", 3, 4, 0x85, 0xA4, 0},      {"cos", 3, 5, 0xB9, 0x9F, 0},
    {"prgm", 3, 6, 0x2D, 0x9C, 0}, {"stat", 3, 7, 0x31, 0, 0},      {"0", 4, 0, 0x8E, 0x99, 0},
    {"1", 4, 1, 0x8F, 0xB2, 0},    {"4", 4, 2, 0x92, 0xAD, 0},      {"7", 4, 3, 0x95, 0xA8, 0},
    {",", 4, 4, 0x8B, 0xA3, 0},    {"sin", 4, 5, 0xB7, 0x9E, 0},    {"matrx", 4, 6, 0x37, 0x9B, 0},
    {"xt", 4, 7, 0, 0, 0},         {"sto", 5, 1, 0x8A, 0xB1, 0},    {"ln", 5, 2, 0xBF, 0xAC, 0},
    {"log", 5, 3, 0xC1, 0xA7, 0},  {"square", 5, 4, 0xBD, 0xA2, 0}, {"recip", 5, 5, 0, 0x9D, 0},
    {"math", 5, 6, 0x32, 0x9A, 0}, {"alpha", 5, 7, 0, 0, 0},        {"graph", 6, 0, 0x44, 0, 0},
    {"trace", 6, 1, 0x5A, 0, 0},   {"zoom", 6, 2, 0x2E, 0, 0},      {"window", 6, 3, 0x48, 0, 0},
    {"y=", 6, 4, 0x49, 0, 0},      {"2nd", 6, 5, 0, 0, 0},          {"mode", 6, 6, 0x45, 0, 0x40},
    {"del", 6, 7, 0x0A, 0, 0x0B},
    // ON is wired to the interrupt controller and port 4, not the keypad.
    {"on", onKeyGroup, 0, 0, 0, 0},
};

constexpr std::uint8_t firstLetterCode = 0x9A;  // A; Z is B3h

}  // namespace

std::span<const KeyInfo> allKeys() { return keys; }

std::optional<int> keyIndex(std::string_view name) {
    // A single letter names the key that carries it above (A on Math, ...).
    if (name.size() == 1 && name[0] >= 'a' && name[0] <= 'z') {
        const auto code = static_cast<std::uint8_t>(firstLetterCode + (name[0] - 'a'));
        const auto* letter =
            std::find_if(std::begin(keys), std::end(keys),
                         [&](const KeyInfo& key) { return key.alphaCode == code; });
        if (letter != std::end(keys)) return static_cast<int>(letter - std::begin(keys));
    }
    const auto* found = std::find_if(std::begin(keys), std::end(keys),
                                     [&](const KeyInfo& key) { return key.name == name; });
    if (found == std::end(keys)) return std::nullopt;
    return static_cast<int>(found - std::begin(keys));
}

std::uint8_t scanCode(const KeyInfo& key) {
    if (key.group == onKeyGroup) return 0;
    return static_cast<std::uint8_t>(key.group * 8 + key.bit + 1);
}

void Keypad::press(int key) { held_.at(static_cast<std::size_t>(key)) = true; }
void Keypad::release(int key) { held_.at(static_cast<std::size_t>(key)) = false; }

bool Keypad::anyHeld() const { return std::find(held_.begin(), held_.end(), true) != held_.end(); }

std::uint8_t Keypad::read() const {
    std::uint8_t value = 0xFF;
    for (std::size_t i = 0; i < std::size(keys); ++i) {
        const KeyInfo& key = keys[i];
        if (held_[i] && key.group != onKeyGroup && (mask_ >> key.group & 1) == 0)
            value &= static_cast<std::uint8_t>(~(1 << key.bit));
    }
    return value;
}

}  // namespace calcview
