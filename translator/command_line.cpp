// SPDX-License-Identifier: GPL-2.0-or-later
#include "command_line.hpp"

#include <array>
#include <string_view>

namespace trovik {

namespace {

bool isOneOf(const std::string& argument, std::initializer_list<std::string_view> forms) {
    for (std::string_view form : forms) {
        if (argument == form) return true;
    }
    return false;
}

bool isSpriteOption(const std::string& a) { return isOneOf(a, {"-s", "-S"}); }
bool isSpriteOptionForm(const std::string& a) { return isOneOf(a, {"-s", "-S", "-ns", "-NS"}); }
bool isCompressOption(const std::string& a) { return isOneOf(a, {"-c", "-C"}); }
bool isCompressOptionForm(const std::string& a) { return isOneOf(a, {"-c", "-C", "-nc", "-NC"}); }
bool isOptimiseOption(const std::string& a) { return isOneOf(a, {"-o", "-O"}); }

struct HelpLine {
    Attribute attribute;
    std::string_view text;
};

constexpr std::array<HelpLine, 15> helpLines{{
    {Attribute::bright, "Trovik V1.0 The pascal compiler for the TI-83"},
    {Attribute::normal, "By: Oskarine"},
    {Attribute::normal, "Command Line Options"},
    {Attribute::normal, "Trovik.exe FILENAME -s/-ns -c/-nc -o"},
    {Attribute::normal, "FILENAME = The source file w/o extention, also the name of the output file"},
    {Attribute::normal, "-s/-ns   = Sprites used, FILENAME.spr is where Trovik looks for sprites"},
    {Attribute::normal, "           /No sprites"},
    {Attribute::normal, "-c/-nc   = Compress for DevPac83/Dont compress for Obj83"},
    {Attribute::normal, "-o       = Optimize code, push and pop are taken out for speed"},
    {Attribute::normal, "You must use a sprite option to get to compress, and a compress option"},
    {Attribute::normal, "to get to optimize!"},
    {Attribute::normal, "Trovik automatically runs TASM"},
    {Attribute::normal, "It translates from pascal to ASM"},
    {Attribute::bright, "No support is offered for Trovik, if you cant find it in the readme"},
    {Attribute::bright, "then it doesnt exist"},
}};

/// What each option position takes, for the message about a refused one.
struct OptionSlot {
    bool (*accepts)(const std::string&);
    std::string_view expected;
};

constexpr std::array<OptionSlot, 3> optionSlots{{
    {isSpriteOptionForm, "a sprite option: -s, -S, -ns or -NS"},
    {isCompressOptionForm, "a compress option: -c, -C, -nc or -NC"},
    {isOptimiseOption, "the optimise option: -o or -O"},
}};

constexpr std::size_t orderLine = 3;
constexpr std::string_view orderWarning = "    IN THAT ORDER!!!!!!!";

}  // namespace

std::optional<CommandLine> parseCommandLine(const std::vector<std::string>& arguments) {
    const std::size_t count = arguments.size();
    if (count == 0 || count > 4) return std::nullopt;
    auto argument = [&](std::size_t position) {
        return position <= count ? arguments[position - 1] : std::string();
    };

    CommandLine line;
    line.fileName = argument(1);
    line.sourceName = line.fileName + ".p83";
    line.outputName = line.fileName + ".asm";
    line.assemblerArguments = "-80 -p60 -i -o20 " + line.fileName + ".asm";
    if (isSpriteOption(argument(2))) line.spriteFileName = line.fileName + ".spr";
    if (count > 1 && !isSpriteOptionForm(argument(2))) return std::nullopt;
    if (count > 2 && !isCompressOptionForm(argument(3))) return std::nullopt;
    if (count > 3 && !isOptimiseOption(argument(4))) return std::nullopt;
    if (count > 2 && isCompressOption(argument(3))) {
        line.assemblerArguments = "-t80 -b -i " + line.fileName + ".asm " + line.fileName + ".bin";
    }
    line.optimise = isOptimiseOption(argument(4));
    return line;
}

std::string describeRefusedArguments(const std::vector<std::string>& arguments) {
    if (arguments.size() > 1 + optionSlots.size()) {
        return "trovik: \"" + arguments[optionSlots.size() + 1] +
               "\" is one argument too many; expected at most FILENAME and three options";
    }
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const OptionSlot& slot = optionSlots[i - 1];
        if (!slot.accepts(arguments[i])) {
            return "trovik: \"" + arguments[i] + "\" is not understood as argument " +
                   std::to_string(i + 1) + "; expected " + std::string(slot.expected) +
                   " (the options go in that order)";
        }
    }
    return {};
}

void showHelp(Console& console) {
    console.clearScreen(Stream::out);
    for (std::size_t i = 0; i < helpLines.size(); ++i) {
        console.setAttribute(Stream::out, helpLines[i].attribute);
        console.write(Stream::out, helpLines[i].text);
        if (i == orderLine) {
            console.setAttribute(Stream::out, Attribute::bright);
            console.write(Stream::out, orderWarning);
        }
        console.write(Stream::out, "\n");
    }
    console.setAttribute(Stream::out, Attribute::normal);
}

std::vector<std::string> splitAtBlanks(const std::string& text) {
    std::vector<std::string> words;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(' ', start);
        if (end == std::string::npos) end = text.size();
        if (end > start) words.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return words;
}

}  // namespace trovik
