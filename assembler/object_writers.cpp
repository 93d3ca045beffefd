// SPDX-License-Identifier: GPL-2.0-or-later
#include "object_writers.hpp"

#include <vector>

namespace tasm {

namespace {

void appendHexByte(std::string& out, unsigned value) {
    static constexpr char digits[] = "0123456789ABCDEF";
    out += digits[(value >> 4) & 0xF];
    out += digits[value & 0xF];
}

std::string dataRecord(const MemoryImage& image, uint32_t address, size_t length) {
    std::string record = ":";
    unsigned sum = static_cast<unsigned>(length) + (address >> 8) + (address & 0xFF);
    appendHexByte(record, static_cast<unsigned>(length));
    appendHexByte(record, address >> 8);
    appendHexByte(record, address & 0xFF);
    appendHexByte(record, 0);
    for (size_t i = 0; i < length; ++i) {
        const uint8_t byte = image.at(address + static_cast<uint32_t>(i));
        appendHexByte(record, byte);
        sum += byte;
    }
    appendHexByte(record, (0x100 - (sum & 0xFF)) & 0xFF);
    return record + "\n";
}

}  // namespace

std::string intelHex(const MemoryImage& image, size_t recordLength) {
    std::string out;
    uint32_t address = 0;
    while (address < MemoryImage::size) {
        if (!image.used(address)) {
            ++address;
            continue;
        }
        size_t length = 0;
        while (length < recordLength && address + length < MemoryImage::size &&
               image.used(address + static_cast<uint32_t>(length))) {
            ++length;
        }
        out += dataRecord(image, address, length);
        address += static_cast<uint32_t>(length);
    }
    return out + ":00000001FF\n";
}

std::string plainBinary(const MemoryImage& image) {
    if (image.empty()) return {};
    std::string out;
    const uint32_t highest = image.highest();
    for (uint32_t a = image.lowest(); a <= highest; ++a) {
        out += static_cast<char>(image.at(a));
    }
    return out;
}

}  // namespace tasm
