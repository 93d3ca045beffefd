// SPDX-License-Identifier: GPL-2.0-or-later
// Writing a TI-83 file without libtifiles, in the layout file_reading.cpp
// describes, for calcview, which would otherwise load the library and all it
// pulls in at every start. pack83 writes through libtifiles
// (calculator_file.cpp); a test holds the two to the same bytes.

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "ti83_file.hpp"

namespace ti83 {

namespace {

constexpr char signature[] = "**TI83**\x1A\x0A";  // and its terminating zero
constexpr std::size_t commentLength = 42;
constexpr std::size_t nameLength = 8;

void putWord(std::vector<std::uint8_t>& bytes, std::size_t value) {
    bytes.push_back(static_cast<std::uint8_t>(value & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(value >> 8 & 0xFF));
}

}  // namespace

Result<std::vector<std::uint8_t>> encodeCalculatorFile(const Variable& variable,
                                                       std::string_view comment) {
    if (variable.data.size() > 0xFFFF - 17) {
        return Failure{"the variable's " + std::to_string(variable.data.size()) +
                       " bytes do not fit in a TI-83 file"};
    }
    std::vector<std::uint8_t> section;
    putWord(section, 0x0B);
    putWord(section, variable.data.size());
    section.push_back(variable.type);
    for (std::size_t i = 0; i < nameLength; ++i) {
        section.push_back(i < variable.name.size() ? static_cast<std::uint8_t>(variable.name[i])
                                                   : 0);
    }
    putWord(section, variable.data.size());
    section.insert(section.end(), variable.data.begin(), variable.data.end());

    std::vector<std::uint8_t> bytes(std::begin(signature), std::end(signature));
    for (std::size_t i = 0; i < commentLength; ++i) {
        bytes.push_back(i < comment.size() && i < commentLength - 1
                            ? static_cast<std::uint8_t>(comment[i])
                            : 0);
    }
    putWord(bytes, section.size());
    bytes.insert(bytes.end(), section.begin(), section.end());
    unsigned sum = 0;
    for (const std::uint8_t byte : section) sum += byte;
    putWord(bytes, sum & 0xFFFF);
    return bytes;
}

Status moveIntoPlace(const std::string& temporary, const std::string& path) {
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        const std::string cause = std::strerror(errno);
        std::remove(temporary.c_str());
        return Failure{path + ": cannot rename " + temporary + " to it (" + cause + ")"};
    }
    return {};
}

Status writeCalculatorFileBytes(const std::string& path, const Variable& variable,
                                std::string_view comment) {
    const auto bytes = encodeCalculatorFile(variable, comment);
    if (!bytes) return Failure{path + ": " + bytes.message()};
    const std::string temporary = path + ".tmp" + std::to_string(::getpid());
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    if (!file)
        return Failure{temporary + ": cannot create the file (" + std::strerror(errno) + ")"};
    file.write(reinterpret_cast<const char*>(bytes->data()),
               static_cast<std::streamsize>(bytes->size()));
    file.close();
    if (!file) {
        const std::string cause = std::strerror(errno);
        std::remove(temporary.c_str());
        return Failure{temporary + ": cannot write the file (" + cause + ")"};
    }
    return moveIntoPlace(temporary, path);
}

}  // namespace ti83
