// SPDX-License-Identifier: GPL-2.0-or-later
#include "program_build.hpp"

namespace calcview {

std::unique_ptr<ToolRunner> systemToolRunner() { return nullptr; }

pack83::Result<BuiltProgram> buildProgram(const BuildRequest& request, const BuildOutput&,
                                          ToolRunner&) {
    return pack83::Failure{request.program.string() + ": building is not there yet"};
}

pack83::Result<BuiltProgram> buildProgram(const BuildRequest& request, const BuildOutput& output) {
    auto tools = systemToolRunner();
    if (!tools) return pack83::Failure{request.program.string() + ": building is not there yet"};
    return buildProgram(request, output, *tools);
}

std::optional<std::string> sourceLineAt(const DebugInfo&, std::uint16_t) { return std::nullopt; }

std::optional<std::string> faultSourceLine(const std::filesystem::path&, std::uint16_t) {
    return std::nullopt;
}

}  // namespace calcview
