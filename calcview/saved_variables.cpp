// SPDX-License-Identifier: GPL-2.0-or-later
#include "saved_variables.hpp"

#include <algorithm>
#include <array>
#include <cstdio>

#include "addresses.hpp"
#include "machine.hpp"
#include "variable_table.hpp"

namespace calcview {

namespace {

/// A fixed name in the table is padded to 3 bytes; a file's name ends at its
/// first zero.
std::string fileName(const TableEntry& entry) {
    if (ti83::hasOwnName(entry.type)) return entry.name;
    return entry.name.substr(0, entry.name.find('\0'));
}

std::string pathName(const std::string& name) {
    std::string text;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte >= 'A' && byte <= 'Z') || (byte >= '0' && byte <= '9')) {
            text += c;
        } else {
            std::array<char, 4> hex{};
            std::snprintf(hex.data(), hex.size(), "_%02X", byte);
            text += hex.data();
        }
    }
    return text.empty() ? "_" : text;
}

}  // namespace

std::vector<ti83::Variable> changedVariables(const Machine& calc, const Loaded& loaded) {
    const std::string running =
        loaded.running < loaded.variables.size() ? loaded.variables[loaded.running].name : "";
    std::vector<ti83::Variable> changed;
    for (const TableEntry& entry : tableEntries(calc)) {
        ti83::Variable variable{fileName(entry), static_cast<std::uint8_t>(entry.type & 0x1F), {}};
        if (entry.data == programOrigin - 2 || variable.name == running) continue;
        const std::uint16_t size = dataSize(calc, entry.type, entry.data);
        for (std::uint32_t i = 0; i < size; ++i) {
            variable.data.push_back(calc.read(static_cast<std::uint16_t>(entry.data + i)));
        }
        const bool kept = std::any_of(
            loaded.variables.begin(), loaded.variables.end(), [&](const ti83::Variable& was) {
                return was.name == variable.name && (was.type & 0x1F) == variable.type &&
                       was.data == variable.data;
            });
        if (!kept) changed.push_back(std::move(variable));
    }
    return changed;
}

ti83::Status saveVariables(const std::filesystem::path& folder,
                           std::span<const ti83::Variable> variables) {
    std::error_code status;
    std::filesystem::create_directories(folder, status);
    if (status) {
        return ti83::Failure{"cannot make the folder " + folder.string() + ": " + status.message()};
    }
    for (const auto& variable : variables) {
        const auto path = folder / (pathName(variable.name) + ".83p");
        const auto written =
            ti83::writeCalculatorFileBytes(path.string(), variable, "Written by calcview");
        if (!written) {
            return written;
        }
    }
    return {};
}

}  // namespace calcview
