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

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "ti83_file.hpp"

namespace calcview {

class Machine;

/// Stores `variables` after the code at 9327h, builds the table and sets the
/// pointers. The variable `running` (if any) is the program whose code is
/// already at 9327h: when that code is the variable's own bytes, its data is
/// that code with the length word just before it (9325h), as a shell leaves
/// it; otherwise (hex text) its data is stored like the others'. Also guards
/// the data and the table from the stack. The message says why they do not
/// fit in memory.
std::optional<std::string> storeVariables(Machine& calc,
                                          std::span<const ti83::Variable> variables,
                                          std::optional<std::size_t> running,
                                          std::size_t codeSize);

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

}  // namespace calcview
