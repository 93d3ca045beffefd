// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <cstdint>

namespace calcview {

/// Bits of the Z80's flag register that routines report results in.
constexpr std::uint8_t carryFlag = 0x01;
constexpr std::uint8_t zeroFlag = 0x40;

/// The halves of a 16-bit word, as a register pair holds them.
constexpr std::uint8_t high(std::uint16_t value) { return static_cast<std::uint8_t>(value >> 8); }
constexpr std::uint8_t low(std::uint16_t value) { return static_cast<std::uint8_t>(value); }

}  // namespace calcview
