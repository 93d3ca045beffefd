// SPDX-License-Identifier: GPL-2.0-or-later
// calcview: runs a TI-83 program with the calculator's routines carried out
// here, in a window or headless. main reads the command line, loads the
// program, runs it and turns the outcome into the exit status.

#include <chrono>
#include <csignal>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "calculator.hpp"
#include "command_line.hpp"
#include "dap_adapter.hpp"
#include "png_file.hpp"
#include "program_build.hpp"
#include "program_file.hpp"
#include "saved_variables.hpp"
#include "screen_image.hpp"
#include "session.hpp"
#include "window.hpp"
#include "window_host.hpp"

namespace {

volatile std::sig_atomic_t stopSignal = 0;

void requestStop(int) { stopSignal = 1; }

constexpr int badCommandLine = 2;
constexpr int failure = 1;

bool saveScreenshot(const calcview::Calculator& calc, const calcview::Options& options) {
    if (!options.screenshot) return true;
    std::string error;
    if (!pngfile::writePng(*options.screenshot, calcview::screenWidth * options.scale,
                           calcview::screenHeight * options.scale,
                           calcview::screenImage(calc, options.scale), error)) {
        std::cerr << "calcview: " << error << "\n";
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    std::string error;
    const auto options = calcview::parseCommandLine(args, error);
    if (!options) {
        std::cerr << "calcview: " << error << "\n(calcview --help shows the options)\n";
        return badCommandLine;
    }
    if (options->help) {
        std::cout << calcview::helpText();
        return 0;
    }
    if (options->version) {
        std::cout << TOOLCHAIN_VERSION << "\n";
        return 0;
    }
    if (options->dap) return calcview::runDapAdapter();
    // Without a file the window waits for one to be dropped on it.
    std::optional<calcview::Loaded> loaded;
    if (!options->files.empty()) {
        auto read = calcview::loadFiles(options->files);
        if (!read) {
            std::cerr << "calcview: " << read.message() << "\n";
            return failure;
        }
        loaded = std::move(*read);
    }

    calcview::Calculator calc;
    if (loaded) {
        if (const auto started = calcview::startLoaded(calc, *loaded); !started) {
            std::cerr << "calcview: " << started.message() << "\n";
            return failure;
        }
    }
    if (options->seed) {
        calc.seedRandom(*options->seed);
    } else if (!options->headless) {
        calc.seedRandom(static_cast<std::uint64_t>(
            std::chrono::system_clock::now().time_since_epoch().count()));
    }
    const auto timeline = calcview::keyTimeline(options->keys);
    std::optional<std::uint64_t> limit;
    if (options->timeLimit) limit = calcview::cyclesIn(*options->timeLimit);

    calcview::RunReport report;
    calcview::CalculatorHost shown(
        calc, loaded ? calcview::windowTitle(options->files.front(), loaded->program) : "",
        calcview::startLoaded);
    // The source's tables are made only when a fault asks for its line: a
    // run without one pays nothing.
    shown.nameFaultSources(calcview::faultSourceLine,
                           loaded ? options->files.front() : std::filesystem::path());
    if (options->headless) {
        // Ctrl+C or a kill ends the run like the time limit, screenshot included.
        std::signal(SIGINT, requestStop);
        std::signal(SIGTERM, requestStop);
        report = calcview::runHeadless(calc, timeline, limit, [] { return stopSignal != 0; });
        if (report.outcome == calcview::Outcome::fault) report = shown.report();
    } else {
        auto windowed = calcview::runInWindow(shown, {options->scale, timeline, limit}, error);
        if (!windowed) {
            std::cerr << "calcview: " << error << "\n";
            return failure;
        }
        report = *windowed;
    }
    if (report.outcome == calcview::Outcome::fault) {
        std::cerr << "calcview: " << report.message << "\n";
        if (!report.sourceLine.empty()) std::cerr << report.sourceLine << "\n";
    }
    if (report.outcome == calcview::Outcome::timeLimit && options->headless) {
        std::cerr << "calcview: stopped at the time limit\n";
    }
    if (report.outcome == calcview::Outcome::interrupted) std::cerr << "calcview: stopped\n";
    if (!saveScreenshot(shown.calculator(), *options)) return failure;
    // Of the program the command line named (a dropped one runs in a calculator of its own).
    if (options->saveVariables && loaded && report.outcome != calcview::Outcome::fault &&
        &shown.calculator() == &calc) {
        const auto changed = calcview::changedVariables(calc, *loaded);
        if (const auto saved = calcview::saveVariables(*options->saveVariables, changed); !saved) {
            std::cerr << "calcview: " << saved.message() << "\n";
            return failure;
        }
    }
    return static_cast<int>(report.outcome);
}
