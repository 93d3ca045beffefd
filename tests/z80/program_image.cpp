// SPDX-License-Identifier: GPL-2.0-or-later
#include "program_image.hpp"

#include <algorithm>

#include "machine.hpp"

namespace z80test {

namespace {

std::optional<int> hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return std::nullopt;
}

/// The bytes written as hexadecimal pairs in `digits`.
std::optional<std::vector<std::uint8_t>> hexBytes(std::string_view digits) {
    if (digits.size() % 2 != 0) return std::nullopt;
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        auto high = hexDigit(digits[i]);
        auto low = hexDigit(digits[i + 1]);
        if (!high || !low) return std::nullopt;
        bytes.push_back(static_cast<std::uint8_t>(*high << 4 | *low));
    }
    return bytes;
}

std::string_view trimmedLine(std::string_view line) {
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) {
        line.remove_suffix(1);
    }
    return line;
}

}  // namespace

std::uint16_t ProgramImage::lowestAddress() const {
    std::uint16_t lowest = 0xFFFF;
    for (const Segment& segment : segments) {
        if (!segment.bytes.empty()) lowest = std::min(lowest, segment.address);
    }
    return lowest;
}

void ProgramImage::loadInto(Machine& machine) const {
    for (const Segment& segment : segments) machine.load(segment.address, segment.bytes);
}

std::optional<ProgramImage> parseIntelHex(std::string_view text, std::string& error) {
    ProgramImage image;
    std::size_t lineNumber = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = trimmedLine(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        ++lineNumber;
        if (line.empty()) continue;
        auto fail = [&](const std::string& why) {
            error = "line " + std::to_string(lineNumber) + ": " + why;
            return std::nullopt;
        };
        if (line.front() != ':') return fail("a record must start with ':'");
        auto bytes = hexBytes(line.substr(1));
        if (!bytes || bytes->size() < 5) return fail("not a record of hexadecimal pairs");
        const std::vector<std::uint8_t>& record = *bytes;
        if (record.size() != std::size_t{record[0]} + 5) return fail("length does not match");
        std::uint8_t sum = 0;
        for (std::uint8_t byte : record) sum = static_cast<std::uint8_t>(sum + byte);
        if (sum != 0) return fail("checksum mismatch");
        const std::uint8_t type = record[3];
        if (type == 0x01) return image;
        if (type != 0x00) return fail("unexpected record type " + std::to_string(type));
        Segment segment;
        segment.address = static_cast<std::uint16_t>(record[1] << 8 | record[2]);
        segment.bytes.assign(record.begin() + 4, record.end() - 1);
        image.segments.push_back(std::move(segment));
    }
    error = "no end record";
    return std::nullopt;
}

ProgramImage plainBinary(std::uint16_t origin, std::vector<std::uint8_t> bytes) {
    ProgramImage image;
    image.segments.push_back(Segment{origin, std::move(bytes)});
    return image;
}

}  // namespace z80test
