// SPDX-License-Identifier: GPL-2.0-or-later
// Times the build a launch makes (bench/build_bench.sh runs it): each
// program of the build as it starts, the tables made in-process, and the
// check of a program file against its source. Prints milliseconds, the best
// of `runs` runs.
//   calcview_build_bench PROGRAMS_DIR FILE.p83 [trovik options...]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "build_tables.hpp"
#include "program_build.hpp"

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: calcview_build_bench PROGRAMS_DIR FILE.p83 [trovik options...]\n");
        return 2;
    }
    const std::filesystem::path source = argv[2];
    const std::vector<std::string> options(argv + 3, argv + argc);
    auto tools = calcview::toolRunnerIn(argv[1]);
    constexpr int runs = 10;
    std::vector<std::pair<std::string, double>> best;  // in the order first met
    const auto keep = [&](const std::string& what, double ms) {
        const auto at = std::find_if(best.begin(), best.end(), [&](const auto& b) { return b.first == what; });
        if (at == best.end()) {
            best.emplace_back(what, ms);
        } else {
            at->second = std::min(at->second, ms);
        }
    };
    for (int run = 0; run < runs; ++run) {
        // The launch of a .p83, each program of the build timed from the
        // line that starts it to the next.
        std::string step;
        auto stepStart = Clock::now();
        const auto start = stepStart;
        const auto output = [&](std::string_view line) {
            if (!line.starts_with("> ")) return;
            if (!step.empty()) keep("  " + step, msSince(stepStart));
            step = std::string(line.substr(2, line.find(' ', 2) - 2)) + " (process)";
            stepStart = Clock::now();
        };
        const auto built = calcview::buildProgram({source, {}, options}, output, *tools);
        if (!built) {
            std::fprintf(stderr, "%s\n", built.message().c_str());
            return 1;
        }
        keep("launch of the .p83, in all", msSince(start));
        keep("  " + step + ", the tables and loading", msSince(stepStart));

        auto phase = Clock::now();
        const auto translated = calcview::translateInMemory(source, options);
        keep("tables: translation with its line map", msSince(phase));
        phase = Clock::now();
        const auto asmPath = std::filesystem::path(built->debug.files[1]);
        const auto layout = calcview::layOut(
            asmPath, translated->asmText,
            calcview::includeFoldersFor(asmPath, tools->locate("tasm.exe").value_or("")));
        keep("tables: reading and layout of the .asm", msSince(phase));

        phase = Clock::now();
        const auto checked = calcview::buildProgram({built->programFile, {}, options}, nullptr, *tools);
        if (!checked) {
            std::fprintf(stderr, "%s\n", checked.message().c_str());
            return 1;
        }
        keep("launch of the .83p, checked against the .p83", msSince(phase));
        phase = Clock::now();
        if (!calcview::buildProgram({built->programFile, {}, {}}, nullptr, *tools)) return 1;
        keep("  the same without trovikOptions (forms tried)", msSince(phase));
    }
    for (const auto& [what, ms] : best) std::printf("%-50s %7.2f ms\n", what.c_str(), ms);
    return 0;
}
