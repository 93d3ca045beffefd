// SPDX-License-Identifier: GPL-2.0-or-later
// libFuzzer target: calcview's file reading, loading into memory and a short
// run. An input is up to three files separated by lines "%%%%": the first is
// the program's file, the others hold further variables. A part that starts
// with the TI-83 signature is written as .83p (the first) or .83g, any other
// as .bin (a TI-83 file gets its checksum put right). Files that load are put
// into memory and run for a tenth of a second of calculator time with a key
// pressed and released (programs in the corpus create and delete variables);
// then the variables the program created or changed are read back.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "calculator.hpp"
#include "keypad.hpp"
#include "program_file.hpp"
#include "saved_variables.hpp"
#include "session.hpp"

namespace {

constexpr std::string_view separator = "\n%%%%\n";
constexpr std::string_view signature = "**TI83**";

std::vector<std::string_view> parts(std::string_view input) {
    std::vector<std::string_view> found;
    while (found.size() < 2) {
        const auto at = input.find(separator);
        if (at == std::string_view::npos) break;
        found.push_back(input.substr(0, at));
        input.remove_prefix(at + separator.size());
    }
    found.push_back(input);
    return found;
}

/// A damaged file is refused at its checksum; so that mutations reach the
/// loader, the sum is put right where the data section's length allows.
std::string withChecksum(std::string_view bytes) {
    std::string file(bytes);
    constexpr std::size_t dataStart = 0x37;
    if (file.size() < dataStart) return file;
    const std::size_t length = static_cast<std::uint8_t>(file[0x35]) |
                               static_cast<std::size_t>(static_cast<std::uint8_t>(file[0x36])) << 8;
    if (dataStart + length + 2 > file.size()) return file;
    unsigned sum = 0;
    for (std::size_t i = dataStart; i < dataStart + length; ++i)
        sum += static_cast<std::uint8_t>(file[i]);
    file[dataStart + length] = static_cast<char>(sum & 0xFF);
    file[dataStart + length + 1] = static_cast<char>(sum >> 8 & 0xFF);
    return file;
}

std::filesystem::path writePart(std::string_view bytes, std::size_t index) {
    const bool calculatorFile = bytes.starts_with(signature);
    const std::string contents = calculatorFile ? withChecksum(bytes) : std::string(bytes);
    const char* extension = !calculatorFile ? ".bin" : index == 0 ? ".83p" : ".83g";
    const auto path = std::filesystem::temp_directory_path() /
                      ("fuzz_calcview_" + std::to_string(::getpid()) + "_" +
                       std::to_string(index) + extension);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(contents.data(), static_cast<std::streamsize>(contents.size()));
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    std::vector<std::filesystem::path> paths;
    for (const std::string_view part : parts(input)) paths.push_back(writePart(part, paths.size()));

    const auto loaded = calcview::loadFiles(paths);
    for (const auto& path : paths) std::filesystem::remove(path);
    if (!loaded) return 0;

    calcview::Calculator calc;
    if (!calcview::startLoaded(calc, *loaded)) return 0;
    const int enter = *calcview::keyIndex("enter");
    const std::vector<calcview::KeyEvent> keys = {{calcview::clockHz / 50, enter, true},
                                                  {calcview::clockHz / 25, enter, false}};
    calcview::runHeadless(calc, keys, calcview::clockHz / 10);
    // What --save-variables would keep, read back from a table the program may have changed.
    (void)calcview::changedVariables(calc, *loaded);
    return 0;
}
