#include "source_files.hpp"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace tasm {

bool DiskFiles::exists(const std::string& path) const {
    std::error_code ignored;
    return std::filesystem::is_regular_file(path, ignored);
}

FileText DiskFiles::read(const std::string& path) const {
    std::error_code ignored;
    if (std::filesystem::is_directory(path, ignored)) return {std::nullopt, "Is a directory"};
    std::ifstream in(path, std::ios::binary);
    if (!in) return {std::nullopt, std::strerror(errno)};
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) return {std::nullopt, "read error"};
    return {text.str(), ""};
}

FileText MemoryFiles::read(const std::string& path) const {
    const auto found = files_.find(path);
    if (found == files_.end()) return {std::nullopt, "No such file or directory"};
    return {found->second, ""};
}

}  // namespace tasm
