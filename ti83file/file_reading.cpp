// SPDX-License-Identifier: GPL-2.0-or-later
// Reading a TI-83 file: the bytes as the file format lays them out, checked
// against the file's own checksum. (Writing goes through libtifiles, in
// calculator_file.cpp.)
//
//   0     "**TI83**", 1Ah 0Ah 00h
//   0Bh   comment, 42 bytes
//   35h   n, the length of the data section
//   37h   the data section: the variables, one after the other
//   37h+n the checksum: the low 16 bits of the sum of the data section's bytes
//
// A variable: 0Bh 00h (the length of its header), its data's length L, its
// type, its name (8 bytes, ended by a zero when shorter; what follows the
// zero is not part of the name), L again, then the L bytes of data.

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "ti83_file.hpp"

namespace ti83 {

namespace {

constexpr std::string_view signature = "**TI83**\x1A\x0A";
constexpr std::string_view plusSignature = "**TI83F*";
constexpr std::size_t lengthAt = 0x35;
constexpr std::size_t dataStart = 0x37;
constexpr std::size_t entryHeader = 0x0B;  ///< data length, type, name
/// The header's length word, the header, the data length again.
constexpr std::size_t entryLength = 2 + entryHeader + 2;
constexpr std::size_t nameLength = 8;
constexpr std::uint8_t listToken = 0x5D;

std::size_t wordAt(std::span<const std::uint8_t> bytes, std::size_t at) {
    return bytes[at] | static_cast<std::size_t>(bytes[at + 1]) << 8;
}

bool startsWith(std::span<const std::uint8_t> bytes, std::string_view text) {
    return bytes.size() >= text.size() &&
           std::equal(text.begin(), text.end(), bytes.begin(),
                      [](char c, std::uint8_t b) { return static_cast<std::uint8_t>(c) == b; });
}

/// Calculator bytes up to the first zero; a list's name is the list token
/// and its number (L1 is 5Dh 00h).
std::string entryName(std::span<const std::uint8_t> field) {
    auto end = std::find(field.begin(), field.end(), 0);
    if (end == field.begin() + 1 && field[0] == listToken) ++end;
    return std::string(field.begin(), end);
}

Result<Variable> variableAt(std::span<const std::uint8_t> section, std::size_t& at,
                            std::size_t number) {
    const std::string which = "variable " + std::to_string(number);
    if (section.size() - at < entryLength) {
        return Failure{"the data section ends inside " + which + "'s header"};
    }
    if (wordAt(section, at) != entryHeader) {
        return Failure{which + "'s header is " + std::to_string(wordAt(section, at)) +
                       " bytes long, not 11 as in a TI-83 file"};
    }
    const std::size_t length = wordAt(section, at + 2);
    Variable variable;
    variable.type = section[at + 4];
    variable.name = entryName(section.subspan(at + 5, nameLength));
    at += entryLength;
    if (section.size() - at < length) {
        return Failure{which + " holds " + std::to_string(length) + " bytes, but only " +
                       std::to_string(section.size() - at) + " are left"};
    }
    variable.data.assign(section.begin() + static_cast<std::ptrdiff_t>(at),
                         section.begin() + static_cast<std::ptrdiff_t>(at + length));
    at += length;
    return variable;
}

}  // namespace

Result<std::vector<Variable>> parseCalculatorFile(std::span<const std::uint8_t> bytes,
                                                  const std::string& name) {
    if (startsWith(bytes, plusSignature)) {
        return Failure{name +
                       " is not a TI-83 file (a TI-83 Plus program expects other "
                       "addresses)"};
    }
    if (!startsWith(bytes, signature)) {
        return Failure{name +
                       " is not a TI-83 file (.83p or .83g; a TI-83 Plus program "
                       "expects other addresses)"};
    }
    if (bytes.size() < dataStart) return Failure{name + " is cut short inside its header"};
    const std::size_t length = wordAt(bytes, lengthAt);
    if (bytes.size() - dataStart < length + 2) {
        return Failure{name + " is cut short: its header promises " + std::to_string(length) +
                       " bytes of variables and a checksum, but only " +
                       std::to_string(bytes.size() - dataStart) + " bytes follow"};
    }
    const auto section = bytes.subspan(dataStart, length);
    unsigned sum = 0;
    for (const std::uint8_t byte : section) sum += byte;
    if ((sum & 0xFFFF) != wordAt(bytes, dataStart + length)) {
        return Failure{name + " is damaged: its checksum does not match its contents"};
    }
    std::vector<Variable> variables;
    for (std::size_t at = 0; at < section.size();) {
        auto variable = variableAt(section, at, variables.size() + 1);
        if (!variable) return Failure{name + " is damaged: " + variable.message()};
        variables.push_back(std::move(*variable));
    }
    return variables;
}

Result<std::vector<Variable>> readCalculatorFile(const std::string& path) {
    std::error_code status;
    if (std::filesystem::is_directory(path, status)) {
        return Failure{"cannot read " + path + ": " + std::strerror(EISDIR)};
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) return Failure{"cannot open " + path + ": " + std::strerror(errno)};
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                          std::istreambuf_iterator<char>());
    if (file.bad()) return Failure{"cannot read " + path + ": " + std::strerror(errno)};
    return parseCalculatorFile(bytes, path);
}

}  // namespace ti83
