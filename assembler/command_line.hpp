// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The command line, as TASM's manual gives it: options anywhere, then the
// source and, optionally, the object, listing, export and symbol files.

#include <optional>
#include <string>
#include <vector>

namespace tasm {

enum class ObjectFormat { intelHex, binary };

/// The label table -l adds to the listing.
enum class LabelTable { none, global, all };

/// What to assemble and what to write.
struct Job {
    std::string source;
    std::string output;  ///< the object file
    ObjectFormat format = ObjectFormat::intelHex;
    size_t recordLength = 0x18;  ///< Intel HEX data bytes per record (-o)
    std::string listing{};       ///< the listing file; none when empty
    bool listingOn = true;       ///< -q: off until a .list
    int pageLines = 0;           ///< -p: a page header every so many lines; 0 for none
    LabelTable labels = LabelTable::none;
    bool longLabels = false;  ///< -ll: the long form of the label table
    std::string symbolFile{};  ///< the symbol file, written with -s (or .sym)
    bool symbols = false;
};

/// The job of `arguments` (the program's name not included); nothing for a
/// command line the stand-in does not take. The Z80 table (-80 or -t80)
/// and -i must be given.
std::optional<Job> parseArguments(const std::vector<std::string>& arguments);

/// The usage text, made from the table of options.
std::string usage();

}  // namespace tasm
