// SPDX-License-Identifier: GPL-2.0-or-later
#include "vat_routines.hpp"

#include <algorithm>
#include <string>
#include <vector>

#include "addresses.hpp"
#include "float_routines.hpp"
#include "machine.hpp"
#include "variable_table.hpp"
#include "z80_values.hpp"

namespace calcview::vat {

namespace {

constexpr std::uint8_t listToken = 0x5D;

std::uint16_t freeBytes(const Machine& calc) {
    const std::uint16_t start = calc.readWord(fpsAddress), end = calc.readWord(opsAddress);
    return end > start ? static_cast<std::uint16_t>(end - start) : 0;
}

/// The calculator's ERR:MEMORY: the run ends naming the routine.
void outOfMemory(Machine& calc, const char* routine, std::uint32_t needed) {
    calc.systemError(std::string(routine) + calledFrom(calc) + " needs " + std::to_string(needed) +
                     " bytes of free memory, but only " + std::to_string(freeBytes(calc)) +
                     " are left: ERR:MEMORY, which stops the program on the calculator");
}

/// The name in OP1 after its type byte: up to 8 bytes ended by a zero; a
/// list's name is the list token and its number (L1 is 5Dh 00h).
std::string nameInOP1(const Machine& calc) {
    std::string name;
    for (int i = 1; i <= 8; ++i) {
        const std::uint8_t byte = calc.read(static_cast<std::uint16_t>(numbers::op1Address + i));
        if (byte == 0 && !(i == 2 && static_cast<std::uint8_t>(name[0]) == listToken)) break;
        name += static_cast<char>(byte);
    }
    return name;
}

/// A fixed name as the table holds it: 3 bytes, padded with zeros.
std::string fixedName(std::string name) {
    name.resize(3, '\0');
    return name;
}

void found(Machine& calc, const TableEntry& entry) {
    calc.setReg(Reg::hl, entry.at);
    calc.setReg(Reg::de, entry.data);
    calc.setA(entry.type & 0x1F);
    calc.setFlag(carryFlag, false);
}

RoutineResult search(Machine& calc, bool ownName) {
    const std::string name = ownName ? nameInOP1(calc) : fixedName(nameInOP1(calc));
    const std::uint16_t programs = calc.readWord(progPtrAddress);
    for (const TableEntry& entry : tableEntries(calc)) {
        if ((entry.at <= programs) == ownName && entry.name == name) {
            found(calc, entry);
            return RoutineResult::done;
        }
    }
    calc.setFlag(carryFlag, true);
    return RoutineResult::done;
}

/// Moves [from, end) by `by` bytes (up when positive), as the calculator's
/// block moves do.
void moveBlock(Machine& calc, std::uint16_t from, std::uint16_t end, int by) {
    std::vector<std::uint8_t> bytes;
    for (std::uint32_t at = from; at < end; ++at)
        bytes.push_back(calc.read(static_cast<std::uint16_t>(at)));
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        calc.write(static_cast<std::uint16_t>(from + by + static_cast<int>(i)), bytes[i]);
    }
}

/// Moves the data pointers of the entries whose data starts at or after
/// `from` by `by` bytes, and the pointers above the data.
void shiftData(Machine& calc, std::uint16_t from, int by) {
    for (const TableEntry& entry : tableEntries(calc)) {
        if (entry.data < from || entry.data < programOrigin) continue;
        const auto moved = static_cast<std::uint16_t>(entry.data + by);
        calc.write(static_cast<std::uint16_t>(entry.at - 2), low(moved));
        calc.write(static_cast<std::uint16_t>(entry.at - 3), high(moved));
    }
    for (const std::uint16_t pointer : {tempMemAddress, fpBaseAddress, fpsAddress}) {
        calc.writeWord(pointer, static_cast<std::uint16_t>(calc.readWord(pointer) + by));
    }
}

/// Makes `count` bytes of room at `at` in user memory; false (and the
/// calculator's error) when free memory is too small.
bool insertMemory(Machine& calc, const char* routine, std::uint16_t at, std::uint16_t count) {
    if (count > freeBytes(calc)) {
        outOfMemory(calc, routine, count);
        return false;
    }
    const std::uint16_t end = calc.readWord(fpsAddress);
    if (at < programOrigin || at > end) at = end;
    moveBlock(calc, at, end, count);
    shiftData(calc, at, count);
    guardVariables(calc);
    return true;
}

void deleteMemory(Machine& calc, std::uint16_t at, std::uint16_t count) {
    const std::uint16_t end = calc.readWord(fpsAddress);
    if (at < programOrigin || at >= end) return;
    count = std::min<std::uint16_t>(count, static_cast<std::uint16_t>(end - at));
    moveBlock(calc, static_cast<std::uint16_t>(at + count), end, -count);
    shiftData(calc, static_cast<std::uint16_t>(at + count), -count);
    guardVariables(calc);
}

void setTableBottom(Machine& calc, std::uint16_t bottom) {
    calc.writeWord(pTempAddress, bottom);
    calc.writeWord(opBaseAddress, bottom);
    calc.writeWord(opsAddress, bottom);
}

/// Adds an entry: a program or list at the bottom of the table, any other
/// variable at the bottom of the fixed-name part, the programs and lists
/// moved down to make room. Returns the address of its type byte.
std::uint16_t addEntry(Machine& calc, std::uint8_t type, const std::string& name,
                       std::uint16_t data) {
    const std::uint16_t size = entrySize(type, name.size());
    const std::uint16_t bottom = calc.readWord(pTempAddress);
    std::uint16_t at = bottom;
    if (!ti83::hasOwnName(type)) {
        at = calc.readWord(progPtrAddress);
        moveBlock(calc, static_cast<std::uint16_t>(bottom + 1), static_cast<std::uint16_t>(at + 1),
                  -size);
        calc.writeWord(progPtrAddress, static_cast<std::uint16_t>(at - size));
    }
    writeEntry(calc, at, type, name, data);
    setTableBottom(calc, static_cast<std::uint16_t>(bottom - size));
    return at;
}

void removeEntry(Machine& calc, const TableEntry& entry) {
    const auto size = static_cast<std::uint16_t>(entry.at - entry.next);
    const std::uint16_t bottom = calc.readWord(pTempAddress);
    moveBlock(calc, static_cast<std::uint16_t>(bottom + 1),
              static_cast<std::uint16_t>(entry.next + 1), size);
    const std::uint16_t programs = calc.readWord(progPtrAddress);
    if (entry.at > programs)
        calc.writeWord(progPtrAddress, static_cast<std::uint16_t>(programs + size));
    setTableBottom(calc, static_cast<std::uint16_t>(bottom + size));
}

/// Creates the variable named in OP1 with `size` bytes of data; a variable
/// whose data starts with its length word gets it. HL = its entry, DE = its
/// data, OP4 = its name.
RoutineResult create(Machine& calc, const char* routine, std::uint8_t type, std::uint16_t size,
                     bool lengthWord) {
    const std::string name = ti83::hasOwnName(type) ? nameInOP1(calc) : fixedName(nameInOP1(calc));
    const std::uint16_t bytes = static_cast<std::uint16_t>(size + (lengthWord ? 2 : 0));
    const std::uint32_t needed = bytes + entrySize(type, name.size());
    if (needed > freeBytes(calc) || bytes < size) {
        outOfMemory(calc, routine, needed);
        return RoutineResult::done;
    }
    const std::uint16_t data = calc.readWord(tempMemAddress);
    insertMemory(calc, routine, data, bytes);
    for (std::uint16_t i = 0; i < bytes; ++i) calc.write(static_cast<std::uint16_t>(data + i), 0);
    if (lengthWord) calc.writeWord(data, size);
    const std::uint16_t entry = addEntry(calc, type, name, data);
    guardVariables(calc);
    for (int i = 0; i < numbers::opSize; ++i) {
        calc.write(static_cast<std::uint16_t>(numbers::op1Address + 3 * numbers::opSize + i),
                   calc.read(static_cast<std::uint16_t>(numbers::op1Address + i)));
    }
    calc.write(static_cast<std::uint16_t>(numbers::op1Address + 3 * numbers::opSize), type);
    calc.setReg(Reg::hl, entry);
    calc.setReg(Reg::de, data);
    return RoutineResult::done;
}

}  // namespace

RoutineResult memChk(Machine& calc) {
    calc.setReg(Reg::hl, freeBytes(calc));
    calc.setReg(Reg::de, calc.readWord(fpsAddress));
    return RoutineResult::done;
}

RoutineResult chkFindSym(Machine& calc) {
    return search(calc, ti83::hasOwnName(calc.read(numbers::op1Address)));
}

RoutineResult findSym(Machine& calc) { return search(calc, false); }

RoutineResult createReal(Machine& calc) {
    return create(calc, "_CreateReal", ti83::realType, realNumberSize, false);
}

RoutineResult createStrng(Machine& calc) {
    return create(calc, "_CreateStrng", ti83::stringType, calc.reg(Reg::hl), true);
}

RoutineResult createProg(Machine& calc) {
    return create(calc, "_CreateProg", ti83::programType, calc.reg(Reg::hl), true);
}

/// HL = the variable's entry (as _ChkFindSym leaves it).
RoutineResult delVar(Machine& calc) {
    const std::uint16_t at = calc.reg(Reg::hl);
    for (const TableEntry& entry : tableEntries(calc)) {
        if (entry.at != at) continue;
        const std::uint16_t size = dataSize(calc, entry.type, entry.data);
        removeEntry(calc, entry);
        deleteMemory(calc, entry.data, size);
        guardVariables(calc);
        return RoutineResult::done;
    }
    return RoutineResult::done;  // no such entry: nothing the table holds changes
}

/// HL bytes at DE.
RoutineResult insertMem(Machine& calc) {
    insertMemory(calc, "_InsertMem", calc.reg(Reg::de), calc.reg(Reg::hl));
    return RoutineResult::done;
}

/// DE bytes from HL.
RoutineResult delMem(Machine& calc) {
    deleteMemory(calc, calc.reg(Reg::hl), calc.reg(Reg::de));
    return RoutineResult::done;
}

// The statistics results are no longer valid: their RAM is the program's.
RoutineResult delRes(Machine& calc) {
    const auto flags = static_cast<std::uint16_t>(calc.reg(Reg::iy) + statFlagsOffset);
    calc.write(flags, static_cast<std::uint8_t>(calc.read(flags) & ~(1 << statsValidBit)));
    return RoutineResult::done;
}

RoutineResult pushRealO1(Machine& calc) {
    if (freeBytes(calc) < realNumberSize) {
        outOfMemory(calc, "_PushRealO1", realNumberSize);
        return RoutineResult::done;
    }
    const std::uint16_t top = calc.readWord(fpsAddress);
    for (int i = 0; i < realNumberSize; ++i) {
        calc.write(static_cast<std::uint16_t>(top + i),
                   calc.read(static_cast<std::uint16_t>(numbers::op1Address + i)));
    }
    calc.writeWord(fpsAddress, static_cast<std::uint16_t>(top + realNumberSize));
    return RoutineResult::done;
}

RoutineResult popRealO1(Machine& calc) {
    const auto top = static_cast<std::uint16_t>(calc.readWord(fpsAddress) - realNumberSize);
    for (int i = 0; i < realNumberSize; ++i) {
        calc.write(static_cast<std::uint16_t>(numbers::op1Address + i),
                   calc.read(static_cast<std::uint16_t>(top + i)));
    }
    calc.writeWord(fpsAddress, top);
    return RoutineResult::done;
}

}  // namespace calcview::vat
