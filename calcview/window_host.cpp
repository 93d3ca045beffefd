// SPDX-License-Identifier: GPL-2.0-or-later
#include "window_host.hpp"

#include <array>
#include <cctype>
#include <span>
#include <string_view>
#include <utility>

#include "command_line.hpp"
#include "home_screen.hpp"
#include "keypad.hpp"
#include "screen_image.hpp"

namespace calcview {

namespace {

/// The home screen's rows while no program is shown, from the second row on.
constexpr std::array<std::string_view, 4> invitation = {
    "Drop a .83p,",
    ".83g or .bin",
    "file here to",
    "run it.",
};

bool holdsNoProgram(const std::string& error) { return error.ends_with(" holds no program"); }

}  // namespace

std::string windowTitle(const std::filesystem::path& file, const Program& program) {
    return "calcview - " + file.filename().string() + " (" + program.shell + ")";
}

std::optional<Loaded> loadDropped(const std::vector<std::filesystem::path>& files,
                                  std::filesystem::path& programFile, std::string& error) {
    std::string firstError;
    for (std::size_t first = 0; first < files.size(); ++first) {
        std::vector<std::filesystem::path> order{files[first]};
        for (std::size_t i = 0; i < files.size(); ++i) {
            if (i != first) order.push_back(files[i]);
        }
        auto loaded = loadFiles(order);
        if (loaded) {
            programFile = files[first];
            return std::move(*loaded);
        }
        const std::string& cause = loaded.message();
        // A data file is no program; anything else wrong with a file is worth telling.
        if (!holdsNoProgram(cause)) {
            error = cause;
            return std::nullopt;
        }
        if (firstError.empty()) firstError = cause;
    }
    error = files.size() == 1 ? firstError : "none of the dropped files holds a program";
    return std::nullopt;
}

void showDropInvitation(Calculator& calc) {
    int row = 1;
    for (std::string_view line : invitation) {
        for (std::size_t column = 0; column < line.size(); ++column) {
            putLargeChar(calc, static_cast<std::uint8_t>(line[column]), row,
                         static_cast<int>(column));
        }
        ++row;
    }
}

CalculatorHost::CalculatorHost(Calculator& first, std::string title, Starter start)
    : shown_(&first), title_(std::move(title)), start_(std::move(start)) {
    if (title_.empty()) showDropInvitation(first);
}

std::string CalculatorHost::title() const {
    return hasProgram() ? title_ : "calcview - drop a .83p, .83g or .bin file here";
}

void CalculatorHost::nameFaultSources(FaultSource source, std::filesystem::path programFile) {
    faultSource_ = std::move(source);
    programFile_ = std::move(programFile);
}

RunReport CalculatorHost::report() const {
    RunReport report = reportOf(*shown_);
    if (report.outcome != Outcome::fault || !faultSource_ || programFile_.empty()) return report;
    // Asked once per fault: building the tables takes a moment.
    if (!sourceLine_) sourceLine_ = faultSource_(programFile_, shown_->lastInstruction());
    report.sourceLine = sourceLine_->value_or("");
    return report;
}

std::vector<std::uint8_t> CalculatorHost::screenImage(int scale) const {
    return calcview::screenImage(*shown_, scale);
}

std::optional<int> CalculatorHost::calculatorKey(std::string_view pcKey) const {
    for (const PcKey& key : pcKeys()) {
        if (key.pcKey == pcKey) return keyIndex(key.calcKey);
    }
    std::string_view plain = pcKey;
    if (plain.starts_with("Keypad ")) plain.remove_prefix(7);
    if (plain.size() == 1 && std::isalnum(static_cast<unsigned char>(plain[0]))) {
        const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(plain[0])));
        return keyIndex(std::string_view(&lower, 1));
    }
    return std::nullopt;
}

bool CalculatorHost::restart(const std::vector<std::filesystem::path>& files, std::string& error) {
    std::filesystem::path programFile;
    const auto loaded = loadDropped(files, programFile, error);
    if (!loaded) return false;
    auto fresh = std::make_unique<Calculator>();
    if (const auto started = start_(*fresh, *loaded); !started) {
        error = started.message();
        return false;
    }
    title_ = windowTitle(programFile, loaded->program);
    programFile_ = programFile;
    sourceLine_.reset();
    dropped_ = std::move(fresh);
    shown_ = dropped_.get();
    return true;
}

}  // namespace calcview
