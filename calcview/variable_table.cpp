// SPDX-License-Identifier: GPL-2.0-or-later
#include "variable_table.hpp"

#include <algorithm>

#include "addresses.hpp"
#include "machine.hpp"

namespace calcview {

namespace {

/// Bytes of a fixed name.
constexpr int fixedNameLength = 3;

/// The fixed-name part goes first, then programs and lists.
constexpr bool ownNamePart[] = {false, true};

}  // namespace

std::uint16_t entrySize(std::uint8_t type, std::size_t nameLength) {
    return static_cast<std::uint16_t>(ti83::hasOwnName(type) ? 5 + nameLength
                                                             : 4 + fixedNameLength);
}

std::uint16_t writeEntry(Machine& calc, std::uint16_t top, std::uint8_t type,
                         const std::string& name, std::uint16_t data) {
    auto at = top;
    calc.write(at--, type);
    calc.write(at--, 0);  // T2
    calc.write(at--, static_cast<std::uint8_t>(data));
    calc.write(at--, static_cast<std::uint8_t>(data >> 8));
    if (ti83::hasOwnName(type)) {
        calc.write(at--, static_cast<std::uint8_t>(name.size()));
        for (char c : name) calc.write(at--, static_cast<std::uint8_t>(c));
    } else {
        for (std::size_t i = 0; i < fixedNameLength; ++i) {
            calc.write(at--, i < name.size() ? static_cast<std::uint8_t>(name[i]) : 0);
        }
    }
    return at;
}

ti83::Result<Placement> placeVariables(std::span<const ti83::Variable> variables,
                                       std::optional<std::size_t> running, std::size_t codeSize) {
    Placement placement;
    placement.dataAt.resize(variables.size());
    std::uint32_t end = programOrigin + static_cast<std::uint32_t>(codeSize);
    std::uint32_t tableSize = 0;
    for (std::size_t i = 0; i < variables.size(); ++i) {
        tableSize += entrySize(variables[i].type, variables[i].name.size());
        const auto bytes = ti83::programBytes(variables[i].data);
        if (running == i && bytes && bytes->size() == codeSize && !ti83::isHexText(*bytes)) {
            placement.dataAt[i] = programOrigin - 2;
            placement.sharesCode = i;
            continue;
        }
        placement.dataAt[i] = static_cast<std::uint16_t>(std::min<std::uint32_t>(end, 0xFFFF));
        end += static_cast<std::uint32_t>(variables[i].data.size());
    }
    const std::uint32_t tableBottom =
        symTableAddress + 1 - std::min(tableSize, symTableAddress + 1u);
    if (end > tableBottom) {
        return ti83::Failure{"the files' variables need " +
                             std::to_string(end - programOrigin + tableSize) +
                             " bytes of user memory; the calculator has " +
                             std::to_string(symTableAddress + 1 - programOrigin)};
    }
    placement.userEnd = static_cast<std::uint16_t>(end);
    return placement;
}

void writeVariableData(Machine& calc, std::span<const ti83::Variable> variables,
                       const Placement& placement, std::size_t codeSize) {
    for (std::size_t i = 0; i < variables.size(); ++i) {
        const std::uint16_t at = placement.dataAt[i];
        if (placement.sharesCode == i) {
            calc.writeWord(at, static_cast<std::uint16_t>(codeSize));
            continue;
        }
        const auto& data = variables[i].data;
        for (std::size_t k = 0; k < data.size(); ++k) {
            calc.write(static_cast<std::uint16_t>(at + k), data[k]);
        }
    }
}

void writeTable(Machine& calc, std::span<const ti83::Variable> variables,
                std::span<const std::uint16_t> dataAt) {
    std::uint16_t top = symTableAddress;
    for (const bool ownName : ownNamePart) {
        if (ownName) calc.writeWord(progPtrAddress, top);
        for (std::size_t i = 0; i < variables.size(); ++i) {
            const auto& variable = variables[i];
            if (ti83::hasOwnName(variable.type) == ownName) {
                top = writeEntry(calc, top, variable.type, variable.name, dataAt[i]);
            }
        }
    }
    calc.writeWord(pTempAddress, top);
}

void setFreeMemory(Machine& calc, std::uint16_t userEnd) {
    for (const std::uint16_t pointer : {tempMemAddress, fpBaseAddress, fpsAddress}) {
        calc.writeWord(pointer, userEnd);
    }
    const std::uint16_t tableBottom = calc.readWord(pTempAddress);
    calc.writeWord(opBaseAddress, tableBottom);
    calc.writeWord(opsAddress, tableBottom);
}

void guardVariables(Machine& calc) {
    calc.guardFromStack(programOrigin - 2, calc.readWord(tempMemAddress), variablesGuard);
    calc.guardFromStack(static_cast<std::uint16_t>(calc.readWord(pTempAddress) + 1), stackBottom,
                        tableGuard);
}

ti83::Status storeVariables(Machine& calc, std::span<const ti83::Variable> variables,
                            std::optional<std::size_t> running, std::size_t codeSize) {
    const auto placement = placeVariables(variables, running, codeSize);
    if (!placement) return ti83::Failure{placement.message()};
    writeVariableData(calc, variables, *placement, codeSize);
    writeTable(calc, variables, placement->dataAt);
    setFreeMemory(calc, placement->userEnd);
    guardVariables(calc);
    return {};
}

/// The bytes a variable's data takes, from its type and the size it holds.
std::uint16_t dataSize(const Machine& calc, std::uint8_t type, std::uint16_t data) {
    const std::uint16_t count = calc.readWord(data);
    switch (type & 0x1F) {
        case ti83::realType:
            return realNumberSize;
        case ti83::complexType:
            return 2 * realNumberSize;
        case ti83::listType:
            return static_cast<std::uint16_t>(2 + count * realNumberSize);
        case ti83::complexListType:
            return static_cast<std::uint16_t>(2 + count * 2 * realNumberSize);
        case ti83::matrixType:
            return static_cast<std::uint16_t>(
                2 +
                calc.read(data) * calc.read(static_cast<std::uint16_t>(data + 1)) * realNumberSize);
        default:
            return static_cast<std::uint16_t>(2 + count);  // a length word, then the bytes
    }
}

TableEntry programEntryAt(const Machine& calc, std::uint16_t at) {
    TableEntry entry{at, at, calc.read(at), 0, {}};
    auto next = static_cast<std::uint16_t>(at - 2);
    entry.data = static_cast<std::uint16_t>(calc.read(next) | calc.read(next - 1) << 8);
    next = static_cast<std::uint16_t>(next - 2);
    const std::uint8_t length = calc.read(next--);
    for (int i = 0; i < length; ++i) entry.name += static_cast<char>(calc.read(next--));
    entry.next = next;
    return entry;
}

TableEntry fixedEntryAt(const Machine& calc, std::uint16_t at) {
    TableEntry entry{
        at, static_cast<std::uint16_t>(at - 4 - fixedNameLength), calc.read(at), 0, {}};
    entry.data = static_cast<std::uint16_t>(calc.read(static_cast<std::uint16_t>(at - 2)) |
                                            calc.read(static_cast<std::uint16_t>(at - 3)) << 8);
    for (int i = 0; i < fixedNameLength; ++i) {
        entry.name += static_cast<char>(calc.read(static_cast<std::uint16_t>(at - 4 - i)));
    }
    return entry;
}

std::vector<TableEntry> tableEntries(const Machine& calc) {
    const std::uint16_t programs = calc.readWord(progPtrAddress);
    const std::uint16_t bottom = calc.readWord(pTempAddress);
    std::vector<TableEntry> entries;
    // At most one entry for each 6 bytes of the table: the walk ends even in
    // a table the program has scribbled over.
    for (std::uint16_t at = symTableAddress; at > bottom && entries.size() < 0x3000;) {
        entries.push_back(at > programs ? fixedEntryAt(calc, at) : programEntryAt(calc, at));
        if (entries.back().next >= at) break;
        at = entries.back().next;
    }
    return entries;
}

}  // namespace calcview
