// SPDX-License-Identifier: GPL-2.0-or-later
// The instruction lengths that #if relies on, against the bytes z80asm
// gives for the same instructions.

#include "layout.hpp"

#include <gtest/gtest.h>

#include "line_syntax.hpp"
#include "text.hpp"
#include "z80asm_run.hpp"

namespace tasm {
namespace {

// Every length class of every instruction family, as both this dialect and
// z80asm read them.
const char* const instructions =
    "ld a,b; ld a,5; ld a,(hl); ld (hl),a; ld (hl),5; ld a,(ix+5); ld (iy-3),b;"
    "ld (ix+1),7; ld a,(bc); ld (de),a; ld a,(1234h); ld (1234h),a; ld a,i; ld r,a;"
    "ld hl,1; ld bc,1; ld sp,1; ld ix,1; ld hl,(1234h); ld de,(1234h); ld iy,(1234h);"
    "ld (1234h),hl; ld (1234h),sp; ld (1234h),ix; ld sp,hl; ld sp,iy; ld a,0+(2);"
    "add a,b; add a,(ix+1); add a,5; sub 5; and (hl); cp (iy+2); add hl,de; adc hl,sp;"
    "sbc hl,bc; add ix,bc; add iy,iy; sbc a,c;"
    "inc a; inc (hl); inc (ix+1); inc bc; inc ix; dec hl;"
    "rlc b; rl (hl); rr (ix+1); sla a; sra (iy+2); srl l;"
    "bit 3,a; set 7,(hl); res 0,(ix+4);"
    "push af; pop ix; ex de,hl; ex af,af'; ex (sp),hl; ex (sp),iy;"
    "jp 1234h; jp nz,1234h; jp (hl); jp (ix); jr $; jr nz,$; djnz $; call 1234h;"
    "call z,1234h; ret; ret c; rst 38h;"
    "in a,(12h); in b,(c); out (12h),a; out (c),d; im 2;"
    "nop; halt; di; ei; exx; daa; cpl; ccf; scf; rla; rra; rlca; rrca; neg; reti; retn;"
    "rld; rrd; ldi; ldir; ldd; lddr; cpi; cpir; cpd; cpdr; ini; inir; ind; indr; outi;"
    "otir; outd; otdr";

TEST(InstructionLength, IsTheLengthZ80asmGives) {
    std::vector<std::string> list;
    for (std::string_view rest = instructions; !rest.empty();) {
        const size_t end = std::min(rest.find(';'), rest.size());
        list.emplace_back(trim(rest.substr(0, end)));
        rest.remove_prefix(std::min(end + 1, rest.size()));
    }
    std::vector<AsmLine> lines;
    for (size_t i = 0; i < list.size(); ++i) {
        lines.push_back({"at" + std::to_string(i) + ":", {}});
        lines.push_back({"\t" + list[i], {}});
    }
    lines.push_back({"at" + std::to_string(list.size()) + ":", {}});
    const Z80asmResult assembled = runZ80asm(lines, "lengths.asm");
    ASSERT_TRUE(assembled.errors.empty()) << assembled.errors.front().message;
    for (size_t i = 0; i < list.size(); ++i) {
        SCOPED_TRACE(list[i]);
        const std::string_view text = list[i];
        const size_t blank = std::min(text.find(' '), text.size());
        const std::optional<size_t> length =
            instructionLength(text.substr(0, blank), splitOperands(text.substr(blank)));
        ASSERT_TRUE(length.has_value());
        EXPECT_EQ(*length, assembled.labels.at("at" + std::to_string(i + 1)) -
                               assembled.labels.at("at" + std::to_string(i)));
    }
}

}  // namespace
}  // namespace tasm
