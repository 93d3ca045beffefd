// SPDX-License-Identifier: GPL-2.0-or-later
#include "ti83_file.hpp"

#include <algorithm>
#include <array>

namespace ti83 {

namespace {

// Tokens of the hex text form.
constexpr std::uint8_t tokenNewline = 0x3F;
constexpr std::uint8_t tokenEnd = 0xD4;
constexpr std::uint8_t tokenZero = 0x30;

struct HeaderStart {
    std::uint8_t first;
    std::uint8_t second;
    Shell shell;
};

constexpr std::array<HeaderStart, 4> headerStarts{{
    {0xC9, 0x30, Shell::ion},     // ret, jr nc
    {0xAF, 0x30, Shell::ion},     // xor a, jr nc
    {0x00, 0x18, Shell::ashell},  // nop, jr
    {0x3F, 0x18, Shell::sos},     // ccf, jr
}};

int hexDigit(std::uint8_t token) {
    if (token >= '0' && token <= '9') return token - '0';
    if (token >= 'A' && token <= 'F') return token - 'A' + 10;
    return -1;
}

}  // namespace

bool hasOwnName(std::uint8_t type) {
    const std::uint8_t kind = type & 0x1F;
    return kind == programType || kind == protectedProgramType || kind == listType ||
           kind == complexListType;
}

Shell detectShell(std::span<const std::uint8_t> code) {
    if (code.size() < 2) return Shell::none;
    const auto found = std::find_if(headerStarts.begin(), headerStarts.end(), [&](const auto& h) {
        return h.first == code[0] && h.second == code[1];
    });
    return found == headerStarts.end() ? Shell::none : found->shell;
}

std::string_view shellName(Shell shell) {
    static constexpr std::array<std::string_view, 4> names{"Ion", "AShell", "SOS", "no shell"};
    return names[static_cast<std::size_t>(shell)];
}

std::vector<std::uint8_t> withLengthWord(std::span<const std::uint8_t> bytes) {
    std::vector<std::uint8_t> data(bytes.size() + 2);
    data[0] = static_cast<std::uint8_t>(bytes.size() & 0xFF);
    data[1] = static_cast<std::uint8_t>(bytes.size() >> 8);
    std::copy(bytes.begin(), bytes.end(), data.begin() + 2);
    return data;
}

Result<std::span<const std::uint8_t>> programBytes(std::span<const std::uint8_t> data) {
    if (data.size() < 2) return Failure{"the program variable is shorter than its length word"};
    const std::size_t length = data[0] | static_cast<std::size_t>(data[1]) << 8;
    if (length > data.size() - 2) {
        return Failure{"the program's length word says " + std::to_string(length) +
                       " bytes, but only " + std::to_string(data.size() - 2) + " follow"};
    }
    return data.subspan(2, length);
}

std::vector<std::uint8_t> hexText(std::span<const std::uint8_t> code, std::size_t bytesPerLine) {
    static constexpr char digits[] = "0123456789ABCDEF";
    std::vector<std::uint8_t> text;
    text.reserve(code.size() * 2 + code.size() / bytesPerLine + 9);
    for (std::size_t i = 0; i < code.size(); ++i) {
        if (i > 0 && i % bytesPerLine == 0) text.push_back(tokenNewline);
        text.push_back(static_cast<std::uint8_t>(digits[code[i] >> 4]));
        text.push_back(static_cast<std::uint8_t>(digits[code[i] & 0x0F]));
    }
    // The lines End, 0000, End close the hex text.
    for (const std::uint8_t token : {tokenNewline, tokenEnd, tokenNewline, tokenZero, tokenZero,
                                     tokenZero, tokenZero, tokenNewline, tokenEnd}) {
        text.push_back(token);
    }
    return text;
}

bool isHexText(std::span<const std::uint8_t> tokens) {
    if (tokens.empty()) return false;
    return std::all_of(tokens.begin(), tokens.end(), [](std::uint8_t token) {
        return hexDigit(token) >= 0 || token == tokenNewline || token == tokenEnd;
    });
}

Result<std::vector<std::uint8_t>> decodeHexText(std::span<const std::uint8_t> tokens) {
    std::vector<std::uint8_t> code;
    int pending = -1;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const std::uint8_t token = tokens[i];
        if (token == tokenEnd) break;
        if (token == tokenNewline) continue;
        const int digit = hexDigit(token);
        if (digit < 0) {
            return Failure{"byte " + std::to_string(i) + " of the hex text is not a hex digit"};
        }
        if (pending >= 0) {
            code.push_back(static_cast<std::uint8_t>(pending * 16 + digit));
            pending = -1;
        } else {
            pending = digit;
        }
    }
    if (pending >= 0) return Failure{"the hex text has an odd number of digits"};
    return code;
}

}  // namespace ti83
