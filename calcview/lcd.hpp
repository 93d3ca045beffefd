// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The calculator's display controller (a T6A04) as programs use it: 64 rows of
// 120 pixels of display memory, of which the left 96 are visible; a command
// port (10h) that sets the row, the column, the scroll row, the word width (6 or
// 8 bits), the direction the address moves after each access, the contrast and
// on/off; and a data port (11h) that writes and reads one word at the address.
// Reads lag one access behind, as on the real controller: the first read after
// an address change returns the previous buffer contents (a dummy read).

#include <array>
#include <cstdint>

#include "addresses.hpp"

namespace calcview {

class Lcd {
  public:
    static constexpr int memoryWidth = 120;

    /// A write to port 10h.
    void command(std::uint8_t value);
    /// A read of port 10h: bit 6 = 8-bit words, bit 5 = on, bits 0-1 = direction.
    std::uint8_t status() const;
    /// A write to port 11h.
    void writeData(std::uint8_t value);
    /// A read of port 11h.
    std::uint8_t readData();

    /// Display memory, addressed directly (the system routines draw here).
    bool pixel(int x, int row) const;
    void setPixel(int x, int row, bool on);
    /// Clears the whole display memory.
    void clear();

    /// What the glass shows at (x, y) of the 96 x 64 screen, scrolling and
    /// on/off included.
    bool shown(int x, int y) const;
    bool isOn() const { return on_; }
    std::uint8_t contrast() const { return contrast_; }

  private:
    enum class Direction : std::uint8_t { rowUp = 0, rowDown = 1, columnLeft = 2, columnRight = 3 };

    int wordBits() const { return eightBit_ ? 8 : 6; }
    int columnCount() const { return memoryWidth / wordBits(); }
    std::uint8_t wordAtAddress() const;
    void advance();

    std::array<std::array<bool, memoryWidth>, screenHeight> memory_{};
    bool eightBit_ = true;
    bool on_ = true;
    Direction direction_ = Direction::rowDown;
    int row_ = 0;
    int column_ = 0;
    int scrollRow_ = 0;
    std::uint8_t contrast_ = 0x2F;
    std::uint8_t readBuffer_ = 0;
};

}  // namespace calcview
