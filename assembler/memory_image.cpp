// SPDX-License-Identifier: GPL-2.0-or-later
#include "memory_image.hpp"

#include <string>

namespace tasm {

bool MemoryImage::empty() const {
    for (uint32_t a = 0; a < size; ++a) {
        if (used_[a]) return false;
    }
    return true;
}

uint32_t MemoryImage::lowest() const {
    uint32_t a = 0;
    while (a + 1 < size && !used_[a]) ++a;
    return a;
}

uint32_t MemoryImage::highest() const {
    uint32_t a = size - 1;
    while (a > 0 && !used_[a]) --a;
    return a;
}

MemoryImage placeSegments(const Rewritten& program, const Z80asmResult& assembled,
                          Diagnostics& errors) {
    MemoryImage image;
    size_t offset = 0;
    for (size_t segment = 0; segment < program.segmentOrigins.size(); ++segment) {
        const auto start = assembled.labels.find(segmentStart(segment));
        const auto end = assembled.labels.find(segmentEnd(segment));
        const Location& where = program.segmentOrigins[segment];
        if (start == assembled.labels.end() || end == assembled.labels.end()) {
            errors.push_back({where, "z80asm reported no address for this .org"});
            return image;
        }
        // z80asm counts addresses modulo 64 KiB, so a segment that runs past
        // FFFFh ends below its start (or, if longer still, the sizes below
        // do not add up).
        if (end->second < start->second) {
            errors.push_back({where, "code runs past address FFFFh"});
            return image;
        }
        const size_t length = end->second - start->second;
        if (offset + length > assembled.bytes.size()) break;
        for (size_t i = 0; i < length; ++i) {
            image.put(start->second + static_cast<uint32_t>(i), assembled.bytes[offset + i]);
        }
        offset += length;
    }
    if (offset != assembled.bytes.size()) {
        errors.push_back({program.segmentOrigins.back(), "code runs past address FFFFh"});
    }
    return image;
}

}  // namespace tasm
