#include "program_variable.hpp"

#include <algorithm>
#include <array>

namespace pack83 {

namespace {

// Tokens of the hex text form.
constexpr std::uint8_t tokenNewline = 0x3F;
constexpr std::uint8_t tokenEnd = 0xD4;
constexpr std::uint8_t tokenZero = 0x30;

struct HeaderStart {
    std::uint8_t first;
    std::uint8_t second;
    Shell shell;
};

constexpr std::array<HeaderStart, 4> headerStarts{{
    {0xC9, 0x30, Shell::ion},     // ret, jr nc
    {0xAF, 0x30, Shell::ion},     // xor a, jr nc
    {0x00, 0x18, Shell::ashell},  // nop, jr
    {0x3F, 0x18, Shell::sos},     // ccf, jr
}};

bool isUpperLetter(char c) { return c >= 'A' && c <= 'Z'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

/// The length word the calculator keeps before a program's bytes.
std::vector<std::uint8_t> withLength(const std::vector<std::uint8_t>& bytes) {
    std::vector<std::uint8_t> data(bytes.size() + 2);
    data[0] = static_cast<std::uint8_t>(bytes.size() & 0xFF);
    data[1] = static_cast<std::uint8_t>(bytes.size() >> 8);
    std::copy(bytes.begin(), bytes.end(), data.begin() + 2);
    return data;
}

std::vector<std::uint8_t> hexText(const std::vector<std::uint8_t>& code) {
    static constexpr char digits[] = "0123456789ABCDEF";
    std::vector<std::uint8_t> text;
    text.reserve(code.size() * 2 + code.size() / bytesPerHexLine + 9);
    for (size_t i = 0; i < code.size(); ++i) {
        if (i > 0 && i % bytesPerHexLine == 0) text.push_back(tokenNewline);
        text.push_back(static_cast<std::uint8_t>(digits[code[i] >> 4]));
        text.push_back(static_cast<std::uint8_t>(digits[code[i] & 0x0F]));
    }
    // The lines End, 0000, End close the hex text.
    for (const std::uint8_t token : {tokenNewline, tokenEnd, tokenNewline, tokenZero, tokenZero,
                                     tokenZero, tokenZero, tokenNewline, tokenEnd}) {
        text.push_back(token);
    }
    return text;
}

}  // namespace

Shell detectShell(const std::vector<std::uint8_t>& code) {
    if (code.size() < 2) return Shell::none;
    const auto found = std::find_if(headerStarts.begin(), headerStarts.end(), [&](const auto& h) {
        return h.first == code[0] && h.second == code[1];
    });
    return found == headerStarts.end() ? Shell::none : found->shell;
}

std::string_view shellName(Shell shell) {
    static constexpr std::array<std::string_view, 4> names{"Ion", "AShell", "SOS", "no shell"};
    return names[static_cast<size_t>(shell)];
}

Form formFor(Shell shell) { return shell == Shell::none ? Form::unsquished : Form::squished; }

Result<std::string> programName(std::string_view requested) {
    std::string name(requested);
    std::transform(name.begin(), name.end(), name.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; });
    const bool valid = !name.empty() && name.size() <= 8 && isUpperLetter(name[0]) &&
                       std::all_of(name.begin(), name.end(),
                                   [](char c) { return isUpperLetter(c) || isDigit(c); });
    if (!valid) {
        std::string message = "\"";
        message += requested;
        message +=
            "\" is not a program name the calculator accepts: 1 to 8 letters and digits, a "
            "letter first (choose one with --name)";
        return Failure{message};
    }
    return name;
}

Result<Variable> programVariable(const Program& program, Form form, const std::string& name) {
    Variable variable{name, protectedProgramType, {}};
    if (form == Form::unsquished) {
        variable.type = programType;
        variable.data = withLength(hexText(program.code));
    } else {
        variable.data = withLength(program.code);
    }
    if (variable.data.size() > 0xFFFF) return Failure{"the program is too large for a variable"};
    return variable;
}

}  // namespace pack83
