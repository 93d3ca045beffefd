// SPDX-License-Identifier: GPL-2.0-or-later
#include "source_files.hpp"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace tasm {

namespace fs = std::filesystem;

namespace {

std::string withSlashes(std::string name) {
    std::replace(name.begin(), name.end(), '\\', '/');
    return name;
}

bool sameIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

}  // namespace

std::string joinPath(const std::string& dir, const std::string& name) {
    if (dir.empty()) return name;
    return (fs::path(dir) / name).string();
}

std::optional<std::string> DiskFiles::find(const std::string& dir, const std::string& name) const {
    const std::string path = joinPath(dir, withSlashes(name));
    std::error_code failure;
    if (fs::is_regular_file(path, failure)) return path;
    const fs::path folder = fs::path(path).parent_path();
    const std::string file = fs::path(path).filename().string();
    for (fs::directory_iterator entry(folder.empty() ? "." : folder, failure), end;
         !failure && entry != end; entry.increment(failure)) {
        const std::string candidate = entry->path().filename().string();
        if (sameIgnoringCase(candidate, file) && entry->is_regular_file(failure)) {
            return (folder / candidate).string();
        }
    }
    return std::nullopt;
}

FileText DiskFiles::read(const std::string& path) const {
    std::error_code ignored;
    if (fs::is_directory(path, ignored)) return {std::nullopt, "Is a directory"};
    std::ifstream in(path, std::ios::binary);
    if (!in) return {std::nullopt, std::strerror(errno)};
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) return {std::nullopt, "read error"};
    return {text.str(), ""};
}

std::optional<std::string> MemoryFiles::find(const std::string& dir,
                                             const std::string& name) const {
    std::string path = joinPath(dir, withSlashes(name));
    if (files_.count(path) == 0) return std::nullopt;
    return path;
}

FileText MemoryFiles::read(const std::string& path) const {
    const auto found = files_.find(path);
    if (found == files_.end()) return {std::nullopt, "No such file or directory"};
    return {found->second, ""};
}

}  // namespace tasm
