// SPDX-License-Identifier: GPL-2.0-or-later
#include "include_search.hpp"

#include <filesystem>

#include "source_reader.hpp"

namespace tasm {

namespace fs = std::filesystem;

std::vector<std::string> includeFolders(const std::string& mainSource, const char* tasmInclude,
                                        const std::string& executable) {
    std::vector<std::string> folders{fs::path(mainSource).parent_path().string()};
    for (std::string& folder : splitIncludePath(tasmInclude)) folders.push_back(std::move(folder));
    if (!executable.empty()) {
        folders.push_back(
            (fs::path(executable).parent_path() / ".." / "share" / "trovik" / "include")
                .lexically_normal()
                .string());
    }
    return folders;
}

std::string runningExecutable() {
    std::error_code failure;
    const fs::path path = fs::read_symlink("/proc/self/exe", failure);
    return failure ? std::string() : path.string();
}

}  // namespace tasm
