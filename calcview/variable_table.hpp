// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The calculator's variables as the TI-83 keeps them: each variable's data in
// user memory, and an entry for it in the variable table (VAT), which grows
// down from symTable (FE6Eh). Entries are written backwards, their first byte
// at the highest address:
//
//   type, T2 (0), data address low, data address high, then
//   - programs and lists: the name's length, then the name (up to 8 bytes);
//   - the other types: a fixed 3-byte name.
//
// The fixed-name entries come first, from symTable down; (progPtr) is where
// the programs and lists begin, and (pTemp) is the byte just below the last
// entry. A program walking the table goes from (progPtr) down until it
// reaches (pTemp).
//
// Free memory lies between the two: from (FPS), just after the variables'
// data (tempMem and fpBase point there too while the floating-point stack is
// empty), to (OPS), which with (OPBase) is (pTemp) while the operator stack
// is empty. Loading the files places each variable's data, writes it and
// writes the table; creating and deleting a variable while the program runs
// take the same steps one variable at a time.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "ti83_file.hpp"

namespace calcview {

class Machine;

/// The names under which the data and the table are guarded from the stack.
inline constexpr char variablesGuard[] = "the program and its variables";
inline constexpr char tableGuard[] = "the variable table";

/// Where the files' variables go in user memory.
struct Placement {
    std::vector<std::uint16_t> dataAt;  ///< each variable's data address
    /// The variable whose data is the running program's code at 9327h, with
    /// its length word just before it (9325h), as a shell leaves it.
    std::optional<std::size_t> sharesCode;
    std::uint16_t userEnd = 0;  ///< the first byte after the data
};

/// Places `variables` after the code at 9327h. The variable `running` (if
/// any) is the program whose code is already there: when that code is the
/// variable's own bytes, its data is that code; otherwise (hex text) its data
/// is placed like the others'. Fails when data and table do not fit.
ti83::Result<Placement> placeVariables(std::span<const ti83::Variable> variables,
                                       std::optional<std::size_t> running, std::size_t codeSize);

/// Writes each variable's data at its place.
void writeVariableData(Machine& calc, std::span<const ti83::Variable> variables,
                       const Placement& placement, std::size_t codeSize);

/// Writes the table from symTable down, fixed-name entries first, and sets
/// progPtr and pTemp.
void writeTable(Machine& calc, std::span<const ti83::Variable> variables,
                std::span<const std::uint16_t> dataAt);

/// Sets the pointers around free memory for data ending at `userEnd` and the
/// table ending at (pTemp).
void setFreeMemory(Machine& calc, std::uint16_t userEnd);
/// Guards the data (9325h up to (tempMem)) and the table from the stack.
void guardVariables(Machine& calc);

/// The four steps for the loaded files.
ti83::Status storeVariables(Machine& calc, std::span<const ti83::Variable> variables,
                            std::optional<std::size_t> running, std::size_t codeSize);

/// Bytes of a real number.
inline constexpr std::uint16_t realNumberSize = 9;

/// The bytes a variable's data at `data` takes, from its type and the size
/// its data holds.
std::uint16_t dataSize(const Machine& calc, std::uint8_t type, std::uint16_t data);

/// Bytes of the table entry of a variable of this type and name.
std::uint16_t entrySize(std::uint8_t type, std::size_t nameLength);

/// Writes the entry whose type byte is at `top`; returns the address below it.
std::uint16_t writeEntry(Machine& calc, std::uint16_t top, std::uint8_t type,
                         const std::string& name, std::uint16_t data);

/// One entry of the table as read back from memory.
struct TableEntry {
    std::uint16_t at;    ///< the address of its type byte
    std::uint16_t next;  ///< the address of the entry below it
    std::uint8_t type;
    std::uint16_t data;
    std::string name;
};

/// The entry whose type byte is at `at` in the program part of the table.
TableEntry programEntryAt(const Machine& calc, std::uint16_t at);
/// The entry at `at` in the fixed-name part (above (progPtr)).
TableEntry fixedEntryAt(const Machine& calc, std::uint16_t at);
/// Every entry from symTable down to (pTemp), in that order.
std::vector<TableEntry> tableEntries(const Machine& calc);

}  // namespace calcview
