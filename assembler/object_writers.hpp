// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The two object file formats.

#include <string>

#include "memory_image.hpp"

namespace tasm {

/// Intel HEX: for each run of used addresses, data records of at most
/// `recordLength` bytes, then the end record ":00000001FF". Upper-case
/// hexadecimal digits, each record on a line of its own.
std::string intelHex(const MemoryImage& image, size_t recordLength);

/// The bytes from the lowest to the highest used address; addresses in
/// between that nothing was assembled to hold 0. Empty for an empty image.
std::string plainBinary(const MemoryImage& image);

}  // namespace tasm
