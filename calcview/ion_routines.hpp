// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Ion's library routines for the TI-83, with Ion's register contracts. The
// jump table Ion writes at 91A7h leads to them (see routines.cpp).

namespace calcview {

class Machine;

/// HL = Ion's version (H major, L minor), A = how many library routines.
void ionVersion(Machine& calc);
/// A = a random number in [0, B).
void ionRandom(Machine& calc);
/// XORs B rows of one byte from IX into the graph buffer at column A, row L.
void ionPutSprite(Machine& calc);
/// As ionPutSprite, C bytes wide.
void ionLargeSprite(Machine& calc);
/// Column A, row E: HL = the graph-buffer byte, A = the pixel's mask.
void ionGetPixel(Machine& calc);
/// Searches the variable table from the entry at HL (down to (pTemp)) for a
/// program whose data starts with the zero-terminated string at IX. Found:
/// Z set, HL = the data after the string, DE = the next entry, to search on
/// from. Not found: Z clear, DE = HL = (pTemp).
void ionDetect(Machine& calc);
/// Expands B bytes from HL into DE: each byte holds 8, 4 or 2 values of 1, 2
/// or 4 bits (C = 1, 3 or 15, the mask of one value), the highest bits
/// first, one value a byte. HL and DE end after what they covered; B = 0.
void ionDecompress(Machine& calc);

}  // namespace calcview
