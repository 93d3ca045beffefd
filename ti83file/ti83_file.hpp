// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// What a TI-83 program file holds, known in one place for the program that
// writes it (pack83) and the one that runs it (calcview): the variable types,
// the shell headers a program starts with, the length word before a
// program's bytes, the hex text form of a program, and the .83p/.83g file
// itself, read here and written through libtifiles.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "result.hpp"

namespace ti83 {

using pack83::Failure;
using pack83::Result;
using pack83::Status;

/// Variable types of the TI-83 (the low five bits of a symbol's type byte).
inline constexpr std::uint8_t realType = 0x00;
inline constexpr std::uint8_t listType = 0x01;
inline constexpr std::uint8_t matrixType = 0x02;
inline constexpr std::uint8_t equationType = 0x03;
inline constexpr std::uint8_t stringType = 0x04;
inline constexpr std::uint8_t programType = 0x05;
inline constexpr std::uint8_t protectedProgramType = 0x06;
inline constexpr std::uint8_t pictureType = 0x07;
inline constexpr std::uint8_t graphDatabaseType = 0x08;
inline constexpr std::uint8_t complexType = 0x0C;
inline constexpr std::uint8_t complexListType = 0x0D;

/// Programs and lists have names of their own, kept with their length in the
/// program part of the symbol table; the other types have fixed names.
bool hasOwnName(std::uint8_t type);

/// The shell whose program header the code starts with.
enum class Shell { ion, ashell, sos, none };

/// Ion: `ret` or `xor a`, then `jr nc,`. AShell: `nop`, `jr`. SOS: `ccf`,
/// `jr`.
Shell detectShell(std::span<const std::uint8_t> code);
std::string_view shellName(Shell shell);

/// A variable as the calculator stores it.
struct Variable {
    /// Calculator bytes (tokens), at most 8.
    std::string name;
    std::uint8_t type = programType;
    /// The data as it lies in memory; for a program, the two-byte length of
    /// the program and the program itself.
    std::vector<std::uint8_t> data;
};

/// `bytes` after the little-endian length word the calculator keeps before
/// a program's bytes.
std::vector<std::uint8_t> withLengthWord(std::span<const std::uint8_t> bytes);

/// The program inside a program variable's data: the bytes its length word
/// counts. Bytes after them are ignored.
Result<std::span<const std::uint8_t>> programBytes(std::span<const std::uint8_t> data);

/// `code` as hex text: two hex-digit tokens a byte, `bytesPerLine` bytes a
/// line, lines ended by the newline token, closed by the lines End, 0000, End.
std::vector<std::uint8_t> hexText(std::span<const std::uint8_t> code, std::size_t bytesPerLine);
/// Whether a program's bytes are hex text: the digits 0-9 and A-F as tokens,
/// the newline token and the End token only.
bool isHexText(std::span<const std::uint8_t> tokens);
/// The code written as hex text, up to the first End token.
Result<std::vector<std::uint8_t>> decodeHexText(std::span<const std::uint8_t> tokens);

/// Every variable of a TI-83 file (.83p, .83g, any file of TI-83 variables).
/// The message names the file and the cause: a file whose data section does
/// not sum to its stored checksum is damaged.
Result<std::vector<Variable>> readCalculatorFile(const std::string& path);
/// The same for the file's bytes; `name` is the file's name, for messages.
Result<std::vector<Variable>> parseCalculatorFile(std::span<const std::uint8_t> bytes,
                                                  const std::string& name);

/// Writes `variable` as a TI-83 file at `path`: first under a temporary name
/// in the same folder, then renamed over `path`. On failure nothing is left
/// at the temporary name and the message names the file and the cause.
/// Through libtifiles (pack83; link ti83_file_tifiles).
Status writeCalculatorFile(const std::string& path, const Variable& variable);
/// Renames a finished temporary file to `path`; on failure removes it and
/// says why, naming both.
Status moveIntoPlace(const std::string& temporary, const std::string& path);

/// The bytes of a TI-83 file holding `variable`, with `comment` (at most 41
/// bytes are kept) in its header: what writeCalculatorFile writes.
Result<std::vector<std::uint8_t>> encodeCalculatorFile(const Variable& variable,
                                                        std::string_view comment);
/// Writes them as writeCalculatorFile does, temporary name first, without
/// libtifiles (calcview).
Status writeCalculatorFileBytes(const std::string& path, const Variable& variable,
                                std::string_view comment);

}  // namespace ti83
