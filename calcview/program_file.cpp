#include "program_file.hpp"

// libtifiles' headers use C's restrict, which C++ spells __restrict.
#define restrict __restrict
#include <tilp2/tifiles.h>
#undef restrict

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>

namespace calcview {

namespace {

constexpr std::uint8_t newlineToken = 0x3F;
constexpr std::uint8_t endToken = 0xD4;
constexpr std::uint8_t programType = 0x05;
constexpr std::uint8_t protectedProgramType = 0x06;

std::optional<int> hexDigit(std::uint8_t token) {
    if (token >= '0' && token <= '9') return token - '0';
    if (token >= 'A' && token <= 'F') return token - 'A' + 10;
    return std::nullopt;
}

bool checkSize(const std::vector<std::uint8_t>& code, std::string& error) {
    if (code.empty()) {
        error = "the program is empty";
        return false;
    }
    if (code.size() > largestProgram) {
        error = "the program has " + std::to_string(code.size()) + " bytes; at most " +
                std::to_string(largestProgram) + " fit in the calculator's memory";
        return false;
    }
    return true;
}

struct ContentDeleter {
    void operator()(FileContent* content) const { tifiles_content_delete_regular(content); }
};

std::string libraryError(int code) {
    char* message = nullptr;
    tifiles_error_get(code, &message);
    std::string text = message != nullptr ? message : "error " + std::to_string(code);
    if (message != nullptr) tifiles_error_free(message);
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
    return text;
}

std::optional<Program> loadProgramFileContent(const std::filesystem::path& path,
                                              std::string& error) {
    static const int initialised = tifiles_library_init();
    (void)initialised;
    if (!std::filesystem::exists(path)) {
        error = "cannot open " + path.string() + ": " + std::strerror(ENOENT);
        return std::nullopt;
    }
    std::unique_ptr<FileContent, ContentDeleter> content(tifiles_content_create_regular(CALC_NONE));
    if (!content) {
        error = "cannot read " + path.string() + ": out of memory";
        return std::nullopt;
    }
    const int status = tifiles_file_read_regular(path.c_str(), content.get());
    if (status != 0) {
        error = "cannot read " + path.string() + ": " + libraryError(status);
        return std::nullopt;
    }
    if (content->model != CALC_TI83) {
        error =
            path.string() + " is not a TI-83 file (a TI-83 Plus program expects other addresses)";
        return std::nullopt;
    }
    for (unsigned i = 0; i < content->num_entries && content->entries != nullptr; ++i) {
        const VarEntry* entry = content->entries[i];
        if (entry == nullptr || (entry->type != programType && entry->type != protectedProgramType))
            continue;
        std::string cause;
        auto program = programFromVariable(std::span(entry->data, entry->size), cause);
        if (!program) error = path.string() + ": " + cause;
        return program;
    }
    error = path.string() + " holds no program";
    return std::nullopt;
}

std::optional<Program> loadBinary(const std::filesystem::path& path, std::string& error) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = "cannot open " + path.string() + ": " + std::strerror(errno);
        return std::nullopt;
    }
    std::vector<std::uint8_t> code((std::istreambuf_iterator<char>(file)),
                                   std::istreambuf_iterator<char>());
    if (file.bad()) {
        error = "cannot read " + path.string() + ": " + std::strerror(errno);
        return std::nullopt;
    }
    std::string cause;
    if (!checkSize(code, cause)) {
        error = path.string() + ": " + cause;
        return std::nullopt;
    }
    return programFromCode(std::move(code));
}

}  // namespace

Program programFromCode(std::vector<std::uint8_t> code) {
    struct Header {
        std::uint8_t first, second;
        const char* shell;
        StartKind start;
    };
    static constexpr Header headers[] = {
        {0xC9, 0x30, "Ion", StartKind::ion},       // ret / jr nc
        {0xAF, 0x30, "Ion", StartKind::ion},       // xor a / jr nc
        {0x00, 0x18, "AShell", StartKind::plain},  // nop / jr
        {0x3F, 0x18, "SOS", StartKind::plain},     // ccf / jr
    };
    Program program;
    program.shell = "no shell";
    for (const Header& header : headers) {
        if (code.size() >= 2 && code[0] == header.first && code[1] == header.second) {
            program.shell = header.shell;
            program.start = header.start;
        }
    }
    program.code = std::move(code);
    return program;
}

bool isHexText(std::span<const std::uint8_t> tokens) {
    if (tokens.empty()) return false;
    return std::all_of(tokens.begin(), tokens.end(), [](std::uint8_t token) {
        return hexDigit(token).has_value() || token == newlineToken || token == endToken;
    });
}

std::optional<std::vector<std::uint8_t>> decodeHexText(std::span<const std::uint8_t> tokens,
                                                       std::string& error) {
    std::vector<std::uint8_t> code;
    std::optional<int> pending;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const std::uint8_t token = tokens[i];
        if (token == endToken) break;
        if (token == newlineToken) continue;
        const auto digit = hexDigit(token);
        if (!digit) {
            error = "byte " + std::to_string(i) + " of the hex text is not a hex digit";
            return std::nullopt;
        }
        if (pending) {
            code.push_back(static_cast<std::uint8_t>(*pending * 16 + *digit));
            pending.reset();
        } else {
            pending = digit;
        }
    }
    if (pending) {
        error = "the hex text has an odd number of digits";
        return std::nullopt;
    }
    return code;
}

std::optional<Program> programFromVariable(std::span<const std::uint8_t> data, std::string& error) {
    if (data.size() < 2) {
        error = "the program variable is shorter than its length word";
        return std::nullopt;
    }
    const std::size_t length = data[0] | static_cast<std::size_t>(data[1]) << 8;
    if (length > data.size() - 2) {
        error = "the program's length word says " + std::to_string(length) + " bytes, but only " +
                std::to_string(data.size() - 2) + " follow";
        return std::nullopt;
    }
    const auto body = data.subspan(2, length);
    std::vector<std::uint8_t> code(body.begin(), body.end());
    if (isHexText(body)) {
        auto decoded = decodeHexText(body, error);
        if (!decoded) return std::nullopt;
        code = std::move(*decoded);
    }
    if (!checkSize(code, error)) return std::nullopt;
    return programFromCode(std::move(code));
}

std::optional<Program> loadProgramFile(const std::filesystem::path& path, std::string& error) {
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == ".bin") return loadBinary(path, error);
    if (extension == ".83p") return loadProgramFileContent(path, error);
    error = path.string() + ": not a .83p or .bin file";
    return std::nullopt;
}

}  // namespace calcview
