// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Text on the display: the home screen's 8 rows of 16 characters in the large
// font, at the cursor (currow, curcol), with the characters also kept in the
// text shadow; and the small font at the pen (penrow, pencol).

#include <cstdint>

namespace calcview {

class Machine;

/// Where the 5 x 7 glyph sits in its 6 x 8 cell.
inline constexpr int largeGlyphLeft = 0;
inline constexpr int largeGlyphTop = 0;
/// The font code the system turns into a new line.
inline constexpr std::uint8_t enterCode = 0xD6;

/// Draws `code` in the cell (row, column) without moving the cursor.
void putLargeChar(Machine& calc, std::uint8_t code, int row, int column);
/// Draws `code` at the cursor and moves it on, wrapping at the end of a row
/// and scrolling the screen up after the last cell.
void putCharAdvance(Machine& calc, std::uint8_t code);
/// The cursor to the start of the next row, scrolling at the bottom.
void newLine(Machine& calc);
/// The whole home screen up one row; the bottom row empty.
void scrollHomeUp(Machine& calc);
/// Empties the text shadow.
void clearTextShadow(Machine& calc);
/// Clears the display memory.
void clearDisplay(Machine& calc);

/// Draws `code` in the small font at the pen and moves the pen right by its
/// width. Into the graph buffer instead of the display when the system flag
/// textWrite is set.
void putSmallChar(Machine& calc, std::uint8_t code);

}  // namespace calcview
