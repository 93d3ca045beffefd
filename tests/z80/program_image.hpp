// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Assembled programs as the assembler writes them: Intel HEX object files and
// plain binaries, turned into runs of bytes at their addresses.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace z80test {

class Machine;

/// Bytes that belong at consecutive addresses from `address` on.
struct Segment {
    std::uint16_t address = 0;
    std::vector<std::uint8_t> bytes;
};

/// An assembled program: its segments in file order.
struct ProgramImage {
    std::vector<Segment> segments;

    /// The lowest address that holds a byte of the program.
    std::uint16_t lowestAddress() const;
    /// Copies every segment into the machine's memory.
    void loadInto(Machine& machine) const;
};

/// Reads Intel HEX text: data records (type 00) up to the end record (type
/// 01). Every record's checksum is checked. On failure the result is empty
/// and `error` says which line is wrong and why.
std::optional<ProgramImage> parseIntelHex(std::string_view text, std::string& error);

/// A plain binary is the program's bytes from its origin on.
ProgramImage plainBinary(std::uint16_t origin, std::vector<std::uint8_t> bytes);

}  // namespace z80test
