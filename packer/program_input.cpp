// SPDX-License-Identifier: GPL-2.0-or-later
#include "program_input.hpp"

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>
#include <string>

namespace pack83 {

namespace {

std::string hex4(std::uint32_t value) {
    std::array<char, 8> text{};
    std::snprintf(text.data(), text.size(), "%04Xh", static_cast<unsigned>(value));
    return text.data();
}

std::string hex2(unsigned value) {
    std::array<char, 8> text{};
    std::snprintf(text.data(), text.size(), "%02Xh", value);
    return text.data();
}

Failure tooLarge(std::uint32_t first, std::uint32_t last) {
    return Failure{"the program does not fit in the calculator's user memory (" + hex4(userMemory) +
                   " to " + hex4(symbolTable - 1) + "): it takes " + hex4(first) + " to " +
                   hex4(last)};
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

/// The bytes of one record line after its ':', or nothing when the line
/// holds anything other than pairs of hexadecimal digits.
std::optional<std::vector<std::uint8_t>> recordBytes(std::string_view digits) {
    if (digits.size() % 2 != 0) return std::nullopt;
    std::vector<std::uint8_t> bytes;
    for (size_t i = 0; i < digits.size(); i += 2) {
        const int high = hexDigit(digits[i]);
        const int low = hexDigit(digits[i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
    }
    return bytes;
}

/// The bytes of memory the records have written so far.
class MemoryImage {
  public:
    /// Stores `data` from `address` on; a message when it overlaps earlier
    /// bytes or runs past the end of memory.
    std::optional<std::string> store(std::uint32_t address, const std::uint8_t* data, size_t size) {
        if (address + size > memory_.size()) {
            return "the record runs past the end of memory at FFFFh";
        }
        for (size_t i = 0; i < size; ++i) {
            if (written_[address + i]) {
                return "the record overlaps bytes an earlier record wrote, at " +
                       hex4(address + static_cast<std::uint32_t>(i));
            }
        }
        for (size_t i = 0; i < size; ++i) {
            memory_[address + i] = data[i];
            written_[address + i] = true;
        }
        if (size > 0) {
            first_ = std::min(first_, address);
            last_ = std::max(last_, static_cast<std::uint32_t>(address + size - 1));
        }
        return std::nullopt;
    }

    Result<Program> program() const {
        if (first_ > last_) return Failure{"the file holds no program bytes"};
        if (first_ < userMemory || last_ >= symbolTable) return tooLarge(first_, last_);
        return Program{{memory_.begin() + userMemory, memory_.begin() + last_ + 1}};
    }

  private:
    std::vector<std::uint8_t> memory_ = std::vector<std::uint8_t>(0x10000);
    std::vector<bool> written_ = std::vector<bool>(0x10000);
    std::uint32_t first_ = 0x10000;
    std::uint32_t last_ = 0;
};

Failure atLine(size_t line, const std::string& message) {
    return Failure{"line " + std::to_string(line) + ": " + message};
}

/// Takes the next line from `text`, without its line end.
std::string_view nextLine(std::string_view& text) {
    const size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
}

}  // namespace

Result<Program> readBinary(std::string_view bytes) {
    if (bytes.empty()) return Failure{"the file holds no program bytes"};
    if (bytes.size() > largestProgram) {
        return tooLarge(userMemory, userMemory + static_cast<std::uint32_t>(bytes.size()) - 1);
    }
    return Program{{bytes.begin(), bytes.end()}};
}

Result<Program> readIntelHex(std::string_view text) {
    MemoryImage image;
    size_t lineNumber = 0;
    while (!text.empty()) {
        const std::string_view line = nextLine(text);
        ++lineNumber;
        if (line.empty()) continue;
        if (line.front() != ':') return atLine(lineNumber, "a record must start with ':'");
        const auto bytes = recordBytes(line.substr(1));
        if (!bytes) return atLine(lineNumber, "a record holds only pairs of hexadecimal digits");
        if (bytes->size() < 5 || bytes->size() != 5u + (*bytes)[0]) {
            return atLine(lineNumber, "the record's length does not match its byte count");
        }
        unsigned sum = 0;
        for (const std::uint8_t b : *bytes) sum += b;
        if (sum % 256 != 0) {
            const unsigned expected = (256 - (sum - bytes->back()) % 256) % 256;
            return atLine(lineNumber, "wrong checksum " + hex2(bytes->back()) +
                                          ", the record's bytes need " + hex2(expected));
        }
        const std::uint32_t address = (*bytes)[1] * 256u + (*bytes)[2];
        const std::uint8_t type = (*bytes)[3];
        if (type == 0x01) {
            while (!text.empty()) {
                ++lineNumber;
                if (!nextLine(text).empty()) {
                    return atLine(lineNumber, "a record after the end-of-file record");
                }
            }
            return image.program();
        }
        if (type != 0x00) {
            return atLine(lineNumber, "record type " + hex2(type) +
                                          " is not supported (only data 00h and end of file 01h)");
        }
        if (auto problem = image.store(address, bytes->data() + 4, (*bytes)[0])) {
            return atLine(lineNumber, *problem);
        }
    }
    return Failure{"the file ends without an end-of-file record (type 01h)"};
}

}  // namespace pack83
