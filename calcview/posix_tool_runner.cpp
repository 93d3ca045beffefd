// SPDX-License-Identifier: GPL-2.0-or-later
// The build's programs as this system starts them: posix_spawn in the
// source's folder (trovik's process starter), found beside calcview first.

#include <unistd.h>

#include <cstdlib>

#include "posix_platform.hpp"
#include "program_build.hpp"

namespace calcview {

namespace {

bool isProgram(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error) && ::access(path.c_str(), X_OK) == 0;
}

class LineRelay final : public trovik::ProgramOutput {
  public:
    explicit LineRelay(const BuildOutput& output) : output_(output) {}
    void line(trovik::Stream, std::string_view text) override {
        if (output_) output_(text);
    }

  private:
    const BuildOutput& output_;
};

class SystemTools final : public ToolRunner {
  public:
    explicit SystemTools(std::filesystem::path programs) : programs_(std::move(programs)) {}

    ToolEnd run(const std::string& tool, const std::vector<std::string>& arguments,
                const std::filesystem::path& folder, const BuildOutput& output) override {
        const auto found = locate(tool);
        if (!found) return {tool + " is neither beside calcview nor on PATH", 0};
        // trovik starts tasm.exe by name: the same folder comes first for it.
        trovik::PosixProcessStarter starter(folder.string(), programs_.string());
        LineRelay relay(output);
        const trovik::ProgramEnd end = starter.run(found->string(), arguments, relay);
        return {end.notStarted, end.status};
    }

    std::optional<std::filesystem::path> locate(const std::string& tool) override {
        if (!programs_.empty() && isProgram(programs_ / tool)) return programs_ / tool;
        const char* path = std::getenv("PATH");
        std::string_view folders = path ? path : "";
        while (!folders.empty()) {
            const std::size_t colon = folders.find(':');
            const std::string_view folder = folders.substr(0, colon);
            if (!folder.empty() && isProgram(std::filesystem::path(folder) / tool)) {
                return std::filesystem::path(folder) / tool;
            }
            folders.remove_prefix(colon == std::string_view::npos ? folders.size() : colon + 1);
        }
        return std::nullopt;
    }

  private:
    std::filesystem::path programs_;
};

}  // namespace

std::unique_ptr<ToolRunner> toolRunnerIn(const std::filesystem::path& programs) {
    // The programs start in the source's folder: a relative path would be lost.
    std::error_code error;
    const auto absolute = programs.empty() ? programs : std::filesystem::absolute(programs, error);
    return std::make_unique<SystemTools>(error ? programs : absolute);
}

std::unique_ptr<ToolRunner> systemToolRunner() {
    std::error_code error;
    const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
    return toolRunnerIn(error ? std::filesystem::path() : executable.parent_path());
}

}  // namespace calcview
