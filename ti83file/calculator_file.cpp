// SPDX-License-Identifier: GPL-2.0-or-later
// Writing the .83p/.83g file through libtifiles, the one file that uses it.
//
// What the library promises on failure, and how it is kept here:
// - tifiles_content_create_regular and tifiles_ve_create_alloc_data return
//   NULL when out of memory; checked.
// - tifiles_file_write_regular may leave a partial file; it is written under
//   a temporary name that is removed on failure.
// - tifiles_error_get gives a message to free, or an error status.

#include <glib.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

#include "tifiles_api.hpp"
#include "ti83_file.hpp"

namespace ti83 {

namespace {

constexpr char fileComment[] = "Written by pack83";

/// The library reports through glib's log as well as through its error
/// codes; the codes become our messages, the log would only repeat them.
void quiet(const gchar*, GLogLevelFlags, const gchar*, gpointer) {}

/// libtifiles set up for the life of the program.
class Library {
  public:
    Library() {
        g_log_set_handler("tifiles", G_LOG_LEVEL_MASK, quiet, nullptr);
        tifiles_library_init();
    }
    ~Library() { tifiles_library_exit(); }
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;
};

void useLibrary() { static const Library library; }

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
    // "Msg: what.\nCause: why." becomes one line.
    if (text.starts_with("Msg: ")) text.erase(0, 5);
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
    std::replace(text.begin(), text.end(), '\n', ' ');
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
    if (tifiles_content_add_entry(&content, entry) < 0) {
        tifiles_ve_delete(entry);
        return "out of memory";
    }
    return std::nullopt;
}

}  // namespace

Status writeCalculatorFile(const std::string& path, const Variable& variable) {
    useLibrary();
    const Content content(tifiles_content_create_regular(CALC_TI83));
    if (!content) return Failure{path + ": cannot prepare the file (out of memory)"};
    if (auto problem = fill(*content, variable)) return Failure{path + ": " + *problem};

    const std::string temporary = path + ".tmp" + std::to_string(::getpid());
    if (const int error = tifiles_file_write_regular(temporary.c_str(), content.get(), nullptr)) {
        std::remove(temporary.c_str());
        return Failure{temporary + ": cannot write the file (" + libraryMessage(error) + ")"};
    }
    return moveIntoPlace(temporary, path);
}

}  // namespace ti83
