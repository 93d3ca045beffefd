// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The 64 KiB that the program fills, built from z80asm's bytes and the
// segment labels around each .org.

#include <cstdint>
#include <vector>

#include "diagnostics.hpp"
#include "rewriter.hpp"
#include "z80asm_run.hpp"

namespace tasm {

class MemoryImage {
  public:
    static constexpr uint32_t size = 0x10000;

    /// Later bytes at the same address replace earlier ones.
    void put(uint32_t address, uint8_t value) {
        bytes_[address] = value;
        used_[address] = true;
    }
    bool used(uint32_t address) const { return used_[address]; }
    uint8_t at(uint32_t address) const { return bytes_[address]; }
    bool empty() const;
    uint32_t lowest() const;   ///< lowest used address; only when not empty
    uint32_t highest() const;  ///< highest used address; only when not empty

  private:
    std::vector<uint8_t> bytes_ = std::vector<uint8_t>(size, 0);
    std::vector<bool> used_ = std::vector<bool>(size, false);
};

/// Places z80asm's bytes segment by segment at the addresses its labels
/// give. A segment that runs past FFFFh is an error on its .org line.
MemoryImage placeSegments(const Rewritten& program, const Z80asmResult& assembled,
                          Diagnostics& errors);

}  // namespace tasm
