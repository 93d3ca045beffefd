// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The calculator's keypad: seven groups of up to eight keys, read through port
// 1. A program writes a group mask (a 0 bit selects that group) and reads one
// bit per key of the selected groups, 0 for a key held down.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace calcview {

/// One calculator key.
struct KeyInfo {
    std::string_view name;    ///< as written in --keys, e.g. "right", "2nd", "a"
    int group;                ///< 0..6: the bit of the group mask that selects it (ON: -1)
    int bit;                  ///< 0..7: its bit in the byte read
    std::uint8_t getkeyCode;  ///< what _getkey returns for it (0: nothing)
    std::uint8_t alphaCode;   ///< what _getkey returns after Alpha (0: as getkeyCode)
    std::uint8_t secondCode;  ///< what _getkey returns after 2nd (0: as getkeyCode)
};

/// The group of ON, which no group mask selects.
inline constexpr int onKeyGroup = -1;

/// Every key, in keypad order, ON last.
std::span<const KeyInfo> allKeys();
/// The key of that name (lower-case, as allKeys names them).
std::optional<int> keyIndex(std::string_view name);
/// The code _getcsc returns for a key: group * 8 + bit + 1.
std::uint8_t scanCode(const KeyInfo& key);

class Keypad {
  public:
    void press(int key);
    void release(int key);
    void releaseAll() { held_ = {}; }
    bool isHeld(int key) const { return held_.at(static_cast<std::size_t>(key)); }
    bool anyHeld() const;

    /// A write to port 1.
    void selectGroups(std::uint8_t mask) { mask_ = mask; }
    /// A read of port 1.
    std::uint8_t read() const;
    std::uint8_t selectedGroups() const { return mask_; }

  private:
    std::array<bool, 64> held_{};
    std::uint8_t mask_ = 0xFF;
};

}  // namespace calcview
