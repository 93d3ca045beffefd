#include "variable_table.hpp"

#include <algorithm>
#include <vector>

#include "addresses.hpp"
#include "machine.hpp"

namespace calcview {

namespace {

/// Bytes of an entry before its name: type, T2, data address (2), and for
/// programs and lists the name's length.
constexpr int fixedNameLength = 3;

std::uint32_t entrySize(const ti83::Variable& variable) {
    return ti83::hasOwnName(variable.type) ? 5 + static_cast<std::uint32_t>(variable.name.size())
                                           : 4 + fixedNameLength;
}

/// Writes the entry whose type byte is at `top`; returns the address below it.
std::uint16_t writeEntry(Machine& calc, std::uint16_t top, const ti83::Variable& variable,
                         std::uint16_t data) {
    auto at = top;
    calc.write(at--, variable.type);
    calc.write(at--, 0);  // T2
    calc.write(at--, static_cast<std::uint8_t>(data));
    calc.write(at--, static_cast<std::uint8_t>(data >> 8));
    if (ti83::hasOwnName(variable.type)) {
        calc.write(at--, static_cast<std::uint8_t>(variable.name.size()));
        for (char c : variable.name) calc.write(at--, static_cast<std::uint8_t>(c));
    } else {
        for (int i = 0; i < fixedNameLength; ++i) {
            const auto index = static_cast<std::size_t>(i);
            calc.write(at--, index < variable.name.size()
                                 ? static_cast<std::uint8_t>(variable.name[index])
                                 : 0);
        }
    }
    return at;
}

/// Whether the running program's code at 9327h is the variable's own bytes.
bool codeIsVariable(const ti83::Variable& variable, std::size_t codeSize) {
    const auto bytes = ti83::programBytes(variable.data);
    return bytes && bytes->size() == codeSize && !ti83::isHexText(*bytes);
}

}  // namespace

std::optional<std::string> storeVariables(Machine& calc,
                                          std::span<const ti83::Variable> variables,
                                          std::optional<std::size_t> running,
                                          std::size_t codeSize) {
    // Where each variable's data goes.
    std::vector<std::uint16_t> dataAt(variables.size());
    std::uint32_t free = programOrigin + static_cast<std::uint32_t>(codeSize);
    std::uint32_t tableSize = 0;
    for (std::size_t i = 0; i < variables.size(); ++i) {
        tableSize += entrySize(variables[i]);
        if (running == i && codeIsVariable(variables[i], codeSize)) {
            dataAt[i] = programOrigin - 2;
            continue;
        }
        dataAt[i] = static_cast<std::uint16_t>(std::min<std::uint32_t>(free, 0xFFFF));
        free += static_cast<std::uint32_t>(variables[i].data.size());
    }
    const std::uint32_t tableBottom = symTableAddress + 1 - std::min(tableSize, symTableAddress + 1u);
    if (free > tableBottom) {
        return "the files' variables need " + std::to_string(free - programOrigin + tableSize) +
               " bytes of user memory; the calculator has " +
               std::to_string(symTableAddress + 1 - programOrigin);
    }

    for (std::size_t i = 0; i < variables.size(); ++i) {
        if (dataAt[i] == programOrigin - 2) {
            calc.writeWord(dataAt[i], static_cast<std::uint16_t>(codeSize));
            continue;
        }
        const auto& data = variables[i].data;
        for (std::size_t k = 0; k < data.size(); ++k) {
            calc.write(static_cast<std::uint16_t>(dataAt[i] + k), data[k]);
        }
    }
    // The fixed-name part first, then the programs and lists.
    std::uint16_t top = symTableAddress;
    for (const bool ownName : {false, true}) {
        if (ownName) calc.writeWord(progPtrAddress, top);
        for (std::size_t i = 0; i < variables.size(); ++i) {
            if (ti83::hasOwnName(variables[i].type) == ownName) {
                top = writeEntry(calc, top, variables[i], dataAt[i]);
            }
        }
    }
    calc.writeWord(pTempAddress, top);
    calc.guardFromStack(programOrigin - 2, free, "the program and its variables");
    calc.guardFromStack(static_cast<std::uint16_t>(top + 1), symTableAddress, "the variable table");
    return std::nullopt;
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

}  // namespace calcview
