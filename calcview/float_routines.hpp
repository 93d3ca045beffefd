// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The system routines that work on real numbers in the OP registers (OP1 to
// OP6 at 8039h, 11 bytes apart, the first 9 bytes a number as bcd.hpp
// describes): loading small integers, moving and swapping, the four
// operations, converting back to an integer, showing a number, random
// numbers, and _GetK, which gives the key as a number.

#include "routines.hpp"

namespace calcview::numbers {

inline constexpr std::uint16_t op1Address = 0x8039;
inline constexpr std::uint16_t op2Address = 0x8044;
inline constexpr std::uint16_t op3Address = 0x804F;
inline constexpr int opSize = 11;

RoutineResult setXXOP1(Machine& calc);
RoutineResult setXXOP2(Machine& calc);
RoutineResult setXXXXOP2(Machine& calc);
RoutineResult op1ToOP2(Machine& calc);
RoutineResult op2ToOP1(Machine& calc);
RoutineResult op1ExOP2(Machine& calc);
RoutineResult mov9ToOP1(Machine& calc);
RoutineResult op1Set0(Machine& calc);
RoutineResult zeroOP1(Machine& calc);
RoutineResult fpAdd(Machine& calc);
RoutineResult fpSub(Machine& calc);
RoutineResult fpMult(Machine& calc);
RoutineResult fpDiv(Machine& calc);
RoutineResult convOP1(Machine& calc);
RoutineResult dispOP1A(Machine& calc);
RoutineResult random(Machine& calc);
RoutineResult getK(Machine& calc);
RoutineResult hlTimes9(Machine& calc);

/// The code TI-BASIC's getKey gives for a key (row * 10 + column, counted
/// from the top left), 0 for a key it has none for.
int basicKeyCode(int key);

}  // namespace calcview::numbers
