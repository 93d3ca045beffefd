// SPDX-License-Identifier: GPL-2.0-or-later
#include "command_line.hpp"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "text.hpp"

namespace tasm {

namespace {

struct Parsed {
    Job job;
    bool table = false;
    bool ignoreCase = false;
};

// One option: how it is written, what it does to the job; false for a value
// it does not take.
struct Option {
    const char* flag;  ///< "-o" takes what follows it, "-i" nothing
    bool takesValue;
    const char* help;
    bool (*apply)(Parsed&, const std::string& value);
};

bool hexValue(const std::string& text, size_t& value) {
    const auto hexDigit = [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; };
    if (text.empty() || text.size() > 2 || !std::all_of(text.begin(), text.end(), hexDigit)) {
        return false;
    }
    value = std::stoul(text, nullptr, 16);
    return value > 0;
}

const Option options[] = {
    {"-80", false, "the Z80 table (or -t80); needed",
     [](Parsed& p, const std::string&) { return p.table = true; }},
    {"-t80", false, nullptr, [](Parsed& p, const std::string&) { return p.table = true; }},
    {"-i", false, "labels ignore case; needed, the stand-in always does",
     [](Parsed& p, const std::string&) { return p.ignoreCase = true; }},
    {"-b", false, "the object file in plain binary, from the lowest to the highest byte",
     [](Parsed& p, const std::string&) {
         p.job.format = ObjectFormat::binary;
         return true;
     }},
    {"-o", true, "XX: Intel HEX data bytes per record, hexadecimal (default 18)",
     [](Parsed& p, const std::string& v) { return hexValue(v, p.job.recordLength); }},
    {"-p", true, "[N]: a page header in the listing every N lines (default 60)",
     [](Parsed& p, const std::string& v) {
         if (!v.empty() && !std::all_of(v.begin(), v.end(), isDigit)) return false;
         const int lines = v.empty() || v.size() > 3 ? 60 : std::stoi(v);
         p.job.pageLines = lines < 5 || lines > 256 ? 60 : lines;
         return true;
     }},
    {"-q", false, "no listing, unless the source turns it on with .list",
     [](Parsed& p, const std::string&) {
         p.job.listingOn = false;
         return true;
     }},
    {"-l", true, "[a][l]: a label table at the end of the listing (a: local labels too, l: long form)",
     [](Parsed& p, const std::string& v) {
         if (!std::all_of(v.begin(), v.end(), [](char c) { return c == 'a' || c == 'l'; })) {
             return false;
         }
         p.job.labels = v.find('a') == std::string::npos ? LabelTable::global : LabelTable::all;
         p.job.longLabels = v.find('l') != std::string::npos;
         return true;
     }},
    {"-s", false, "write the symbol file",
     [](Parsed& p, const std::string&) { return p.job.symbols = true; }},
};

// The option `argument` names, with its value.
const Option* findOption(const std::string& argument, std::string& value) {
    for (const Option& option : options) {
        const std::string flag = option.flag;
        if (argument == flag || (option.takesValue && argument.starts_with(flag))) {
            value = argument.substr(flag.size());
            return &option;
        }
    }
    return nullptr;
}

std::string withExtension(const std::string& source, const char* extension) {
    return std::filesystem::path(source).replace_extension(extension).string();
}

}  // namespace

std::optional<Job> parseArguments(const std::vector<std::string>& arguments) {
    Parsed parsed;
    std::vector<std::string> files;
    for (const std::string& argument : arguments) {
        if (argument.size() < 2 || argument[0] != '-') {
            files.push_back(argument);
            continue;
        }
        std::string value;
        const Option* option = findOption(argument, value);
        if (option == nullptr || !option->apply(parsed, value)) return std::nullopt;
    }
    // The source, then the object, listing, export and symbol files.
    if (!parsed.table || !parsed.ignoreCase || files.empty() || files.size() > 5) {
        return std::nullopt;
    }
    Job& job = parsed.job;
    job.source = files[0];
    const auto file = [&](size_t i, const char* extension) {
        return i < files.size() ? files[i] : withExtension(job.source, extension);
    };
    job.output = file(1, ".obj");
    job.listing = file(2, ".lst");
    job.symbolFile = file(4, ".sym");
    return job;
}

std::string usage() {
    std::string text =
        "usage: tasm.exe -80 -i [OPTION...] FILE.asm [OBJECT [LISTING [EXPORT [SYMBOLS]]]]\n"
        "       tasm.exe --version\n"
        "A stand-in for the TASM assembler that assembles the Z80 code with z80asm.\n"
        "It writes FILE.obj (Intel HEX) and the listing FILE.lst; the other names\n"
        "replace these. trovik starts it as tasm.exe -80 -p60 -i -o20 FILE.asm or\n"
        "tasm.exe -t80 -b -i FILE.asm FILE.bin.\n";
    for (const Option& option : options) {
        if (option.help == nullptr) continue;
        std::string flag = option.flag;
        const std::string help = option.help;
        const bool valueFirst = help[0] == '[' || help.compare(0, 2, "XX") == 0;
        if (valueFirst) {
            flag += help.substr(0, help.find(':'));
        }
        flag.resize(std::max<size_t>(flag.size(), 10), ' ');
        text += "  " + flag + " " + (valueFirst ? help.substr(help.find(':') + 2) : help) + "\n";
    }
    text +=
        "Include files are looked for next to the including file, next to the main\n"
        "source, in the folders of TASM_INCLUDE (separated by ':'), then in\n"
        "../share/trovik/include beside this program.\n"
        "Exit status: 0 assembled, 1 errors in the source, 2 out of memory,\n"
        "3 a file could not be read or written, 4 anything else.\n";
    return text;
}

}  // namespace tasm
