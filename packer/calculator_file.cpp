#include "calculator_file.hpp"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "tifiles_api.hpp"

namespace pack83 {

namespace {

constexpr char fileComment[] = "Written by pack83";

/// libtifiles set up for the life of the program.
class Library {
  public:
    Library() { tifiles_library_init(); }
    ~Library() { tifiles_library_exit(); }
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;
};

struct ContentDeleter {
    void operator()(FileContent* content) const { tifiles_content_delete_regular(content); }
};
using Content = std::unique_ptr<FileContent, ContentDeleter>;

std::string libraryMessage(int error) {
    char* message = nullptr;
    if (tifiles_error_get(error, &message) != 0 || message == nullptr) {
        return "libtifiles error " + std::to_string(error);
    }
    std::string text = message;
    tifiles_error_free(message);
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
    return text;
}

/// The file's contents: one variable, and our comment in place of the
/// library's default (the whole buffer is written to the file, so it is
/// cleared first).
std::optional<std::string> fill(FileContent& content, const Variable& variable) {
    std::memset(content.comment, 0, sizeof content.comment);
    std::strncpy(content.comment, fileComment, sizeof content.comment - 1);
    VarEntry* entry = tifiles_ve_create_alloc_data(static_cast<uint32_t>(variable.data.size()));
    if (entry == nullptr) return "out of memory";
    std::memcpy(entry->data, variable.data.data(), variable.data.size());
    entry->size = static_cast<uint32_t>(variable.data.size());
    entry->type = variable.type;
    // The name is calculator bytes, at most 8 of them, checked before.
    std::strncpy(entry->name, variable.name.c_str(), sizeof entry->name - 1);
    tifiles_content_add_entry(&content, entry);
    return std::nullopt;
}

}  // namespace

std::optional<std::string> writeCalculatorFile(const std::string& path, const Variable& variable) {
    static const Library library;
    const Content content(tifiles_content_create_regular(CALC_TI83));
    if (!content) return path + ": cannot prepare the file (out of memory)";
    if (auto problem = fill(*content, variable)) return path + ": " + *problem;

    const std::string temporary = path + ".tmp" + std::to_string(::getpid());
    if (const int error = tifiles_file_write_regular(temporary.c_str(), content.get(), nullptr)) {
        std::remove(temporary.c_str());
        return temporary + ": cannot write the file (" + libraryMessage(error) + ")";
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        const std::string cause = std::strerror(errno);
        std::remove(temporary.c_str());
        return path + ": cannot rename " + temporary + " to it (" + cause + ")";
    }
    return std::nullopt;
}

}  // namespace pack83
