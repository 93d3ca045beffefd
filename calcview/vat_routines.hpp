// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The system routines that keep variables while a program runs: finding one
// by the name in OP1, creating and deleting one, making room in user memory
// and giving it back, telling how much memory is free, and the
// floating-point stack above the variables' data. They work on the memory
// and the variable table as variable_table.hpp describes them, so what a
// program creates is found, counted and saved like what the files held.

#include "routines.hpp"

namespace calcview::vat {

RoutineResult memChk(Machine& calc);
RoutineResult chkFindSym(Machine& calc);
RoutineResult findSym(Machine& calc);
RoutineResult createReal(Machine& calc);
RoutineResult createStrng(Machine& calc);
RoutineResult createProg(Machine& calc);
RoutineResult delVar(Machine& calc);
RoutineResult insertMem(Machine& calc);
RoutineResult delMem(Machine& calc);
RoutineResult delRes(Machine& calc);
RoutineResult pushRealO1(Machine& calc);
RoutineResult popRealO1(Machine& calc);

}  // namespace calcview::vat
