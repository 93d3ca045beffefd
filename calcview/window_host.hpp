// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// What the window runs: the program of the command line, or none, and then
// each program dropped on the window in a calculator of its own.

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "calculator.hpp"
#include "program_file.hpp"
#include "window.hpp"

namespace calcview {

/// The window's title for `program` read from `file`: "calcview - catch.83p (Ion)".
std::string windowTitle(const std::filesystem::path& file, const Program& program);

/// Reads dropped files: the first of them (in their order) that holds a program
/// runs (`programFile`), the others' variables are put beside it. The error
/// names what is wrong with the files.
std::optional<Loaded> loadDropped(const std::vector<std::filesystem::path>& files,
                                  std::filesystem::path& programFile, std::string& error);

/// The screen of a window with no program: what to drop on it.
void showDropInvitation(Calculator& calc);

class CalculatorHost : public WindowHost {
  public:
    /// Puts loaded files into a fresh calculator and starts it; the error names the problem.
    using Starter = std::function<ti83::Status(Calculator&, const Loaded&)>;

    /// Shows `first`, started by `title`'s program, or when `title` is empty,
    /// showing the invitation to drop one. Dropped programs are started with `start`.
    CalculatorHost(Calculator& first, std::string title, Starter start);

    /// The calculator shown now.
    Calculator& calculator() { return *shown_; }

    /// The source line of the faulting instruction at `address` of the program
    /// read from `programFile`, when there is one.
    using FaultSource =
        std::function<std::optional<std::string>(const std::filesystem::path&, std::uint16_t)>;
    /// From now on a fault's report carries the line `source` names for the
    /// program of `programFile`, and for each program dropped later.
    void nameFaultSources(FaultSource source, std::filesystem::path programFile);

    bool hasProgram() const override { return !title_.empty(); }
    std::string title() const override;
    RunState run(std::uint64_t cycle) override { return shown_->run(cycle); }
    RunState state() const override { return shown_->state(); }
    std::uint64_t cycles() const override { return shown_->cycles(); }
    void pressKey(int key) override { shown_->pressKey(key); }
    void releaseKey(int key) override { shown_->releaseKey(key); }
    std::vector<std::uint8_t> screenImage(int scale) const override;
    RunReport report() const override;
    std::optional<int> calculatorKey(std::string_view pcKey) const override;
    bool restart(const std::vector<std::filesystem::path>& files, std::string& error) override;

  private:
    Calculator* shown_;
    std::unique_ptr<Calculator> dropped_;
    std::string title_;
    Starter start_;
    FaultSource faultSource_;
    std::filesystem::path programFile_;
    /// The line `faultSource_` gave for the fault shown, once asked.
    mutable std::optional<std::optional<std::string>> sourceLine_;
};

}  // namespace calcview
