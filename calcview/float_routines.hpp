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

RoutineResult setXXOP1(Calculator& calc);
RoutineResult setXXOP2(Calculator& calc);
RoutineResult setXXXXOP2(Calculator& calc);
RoutineResult op1ToOP2(Calculator& calc);
RoutineResult op2ToOP1(Calculator& calc);
RoutineResult op1ExOP2(Calculator& calc);
RoutineResult mov9ToOP1(Calculator& calc);
RoutineResult op1Set0(Calculator& calc);
RoutineResult zeroOP1(Calculator& calc);
RoutineResult fpAdd(Calculator& calc);
RoutineResult fpSub(Calculator& calc);
RoutineResult fpMult(Calculator& calc);
RoutineResult fpDiv(Calculator& calc);
RoutineResult convOP1(Calculator& calc);
RoutineResult dispOP1A(Calculator& calc);
RoutineResult random(Calculator& calc);
RoutineResult getK(Calculator& calc);
RoutineResult hlTimes9(Calculator& calc);

/// The code TI-BASIC's getKey gives for a key (row * 10 + column, counted
/// from the top left), 0 for a key it has none for.
int basicKeyCode(int key);

}  // namespace calcview::numbers
