// SPDX-License-Identifier: GPL-2.0-or-later
// The stand-in's pipeline. The source is read with its includes and defines
// (source_reader), following the location counter so that #if can read
// addresses (layout), rewritten into z80asm's syntax (rewriter, expressions,
// label_scope, user_instructions for .addinstr), assembled by z80asm, whose
// messages are mapped back to the source lines (z80asm_run); the addresses
// #if read are checked against z80asm's labels, its bytes placed at their
// addresses (memory_image), the .chk bytes and .echo values computed from
// z80asm's labels, and the image written in the format asked for
// (object_writers). Errors found before z80asm runs stop the run there, so
// z80asm only sees well-formed lines whose labels all exist. The kind of the
// first failure picks the exit status.

#include "assembly.hpp"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <ostream>

#include "expressions.hpp"
#include "listing.hpp"
#include "memory_image.hpp"
#include "object_writers.hpp"
#include "rewriter.hpp"
#include "source_reader.hpp"
#include "text.hpp"
#include "z80asm_run.hpp"

namespace tasm {

namespace {

bool report(const Diagnostics& diagnostics, std::ostream& errors) {
    for (const Diagnostic& d : diagnostics) errors << format(d) << '\n';
    return !diagnostics.empty();
}

std::string hex4(uint32_t value) {
    char text[8];
    std::snprintf(text, sizeof text, "%04Xh", value & 0xFFFF);
    return text;
}

// Writes beside the target first, so that a failed write leaves no partial
// file. `what` names the file in the message.
std::optional<Diagnostic> writeFile(const std::string& path, const std::string& content,
                                    const char* what) {
    const std::string partial = path + ".partial";
    const auto failed = [&](std::string why) {
        std::error_code ignored;
        std::filesystem::remove(partial, ignored);
        return Diagnostic{{path, 0}, std::string("cannot write the ") + what + why,
                          Failure::fileAccess};
    };
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
        out.close();
        if (!out) return failed("");
    }
    std::error_code failure;
    std::filesystem::rename(partial, path, failure);
    if (failure) return failed(": " + failure.message());
    return std::nullopt;
}

// The value of an expression over z80asm's labels, $ being the label `at`.
std::optional<int64_t> labelValue(const std::string& expression, const std::string& at,
                                  const Z80asmResult& assembled, const Location& where,
                                  Diagnostics& errors) {
    const ValueLookup lookup = [&](std::string_view name) -> std::optional<int64_t> {
        const auto found = assembled.labels.find(name == "$" ? at : std::string(name));
        if (found == assembled.labels.end()) return std::nullopt;
        return found->second;
    };
    const Evaluated result = evaluateExpression(expression, lookup);
    if (!result.error.empty()) {
        errors.push_back({where, result.error});
        return std::nullopt;
    }
    return result.value;
}

// #if decided on addresses worked out before z80asm ran; they must be the
// addresses z80asm gave, or the #if may have taken the wrong branch.
Diagnostics checkAddresses(const Rewritten& program, const Z80asmResult& assembled) {
    Diagnostics errors;
    for (const AddressCheck& check : program.addressChecks) {
        const auto found = assembled.labels.find(check.label);
        if (found == assembled.labels.end() || found->second == check.address) continue;
        errors.push_back({check.where,
                          "#if saw the location counter at " + hex4(check.address) +
                              ", but the code before it assembles to " + hex4(found->second) +
                              " (a fault of the stand-in; please report it)",
                          Failure::general});
    }
    return errors;
}

// z80asm keeps the low byte of a relative offset that .addinstr writes as
// data; one out of reach would jump elsewhere.
void checkReaches(const Rewritten& program, const Z80asmResult& assembled, Diagnostics& errors) {
    for (const RelativeReach& reach : program.reaches) {
        const std::optional<int64_t> target =
            labelValue(reach.target, reach.at, assembled, reach.where, errors);
        const auto found = assembled.labels.find(reach.at);
        if (!target || found == assembled.labels.end()) continue;
        const int64_t offset = *target - (int64_t{found->second} + int64_t(reach.length));
        if (offset < -128) {
            errors.push_back({reach.where, reach.mnemonic +
                                               " reaches 128 bytes back, the label is " +
                                               std::to_string(-offset) + " bytes back"});
        } else if (offset > 127) {
            errors.push_back({reach.where, reach.mnemonic +
                                               " reaches 127 bytes ahead, the label is " +
                                               std::to_string(offset) + " bytes ahead"});
        }
    }
}

// Each .chk byte becomes the low byte of the sum of the bytes before it,
// from its start address on.
void fillChecksums(const Rewritten& program, const Z80asmResult& assembled, MemoryImage& image,
                   Diagnostics& errors) {
    for (const Checksum& checksum : program.checksums) {
        const std::optional<int64_t> from =
            labelValue(checksum.from, checksum.at, assembled, checksum.where, errors);
        const auto found = assembled.labels.find(checksum.at);
        if (!from || found == assembled.labels.end()) continue;
        const uint32_t at = found->second;
        if (*from < 0 || *from > at) {
            errors.push_back({checksum.where, ".chk: the start address lies after the checksum"});
            continue;
        }
        unsigned sum = 0;
        for (uint32_t address = static_cast<uint32_t>(*from); address < at; ++address) {
            sum += image.at(address);
        }
        image.put(at, static_cast<uint8_t>(sum));
    }
}

std::string echoText(const Rewritten& program, const Z80asmResult& assembled, Diagnostics& errors) {
    std::string text;
    for (const Echo& echo : program.echoes) {
        if (echo.value.empty()) {
            text += echo.text;
        } else if (const auto value =
                       labelValue(echo.value, echo.at, assembled, echo.where, errors)) {
            text += std::to_string(*value);
        }
    }
    return text;
}

std::vector<LabelValue> labelValues(const Rewritten& program, const Z80asmResult& assembled) {
    std::vector<LabelValue> values;
    for (const Symbol& symbol : program.symbols) {
        const auto found = assembled.labels.find(symbol.label);
        if (found != assembled.labels.end()) {
            values.push_back({symbol.name, found->second, symbol.local});
        }
    }
    return values;
}

// The symbol file's name: the one a .sym gives, else the job's; nothing
// when neither -s nor .sym asks for one.
std::optional<std::string> symbolFileName(const Job& job, const Rewritten& program) {
    std::optional<std::string> name;
    if (job.symbols && !job.symbolFile.empty()) name = job.symbolFile;
    for (const ListingStep& step : program.listingSteps) {
        if (step.directive != Directive::symbols) continue;
        const std::optional<std::string> given = stringBytes(trim(step.operands));
        if (given && !given->empty()) {
            // Beside the source whatever folder it names: a source from
            // elsewhere must not write into other folders.
            name = (std::filesystem::path(job.source).parent_path() /
                    std::filesystem::path(*given).filename())
                       .string();
        } else if (!job.symbolFile.empty()) {
            name = job.symbolFile;
        }
    }
    return name;
}

bool sameFile(const std::string& a, const std::string& b) {
    std::error_code ignored;
    return std::filesystem::equivalent(a, b, ignored);
}

std::optional<Diagnostic> replacesSource(const Job& job,
                                         const std::optional<std::string>& symbolFile) {
    std::optional<Diagnostic> failed;
    for (const std::string* name :
         {&job.output, &job.listing, symbolFile ? &*symbolFile : nullptr}) {
        if (failed || name == nullptr || !sameFile(*name, job.source)) continue;
        failed.emplace();
        failed->where = {job.source, 0};
        failed->message = "writing " + *name + " would replace the source";
        failed->kind = Failure::general;
    }
    return failed;
}

// The listing (unless the options and the source leave it off) and the
// symbol file (when asked for); neither may take the place of the source.
std::optional<Diagnostic> writeListings(const Job& job, const Rewritten& program,
                                        const Z80asmResult& assembled, const MemoryImage& image) {
    const std::vector<LabelValue> labels = labelValues(program, assembled);
    const std::optional<std::string> symbolFile = symbolFileName(job, program);
    if (auto failed = replacesSource(job, symbolFile)) return failed;
    if (symbolFile) {
        if (auto failed = writeFile(*symbolFile, symbolFileText(labels), "symbol file")) {
            return failed;
        }
    }
    if (job.listing.empty()) return std::nullopt;
    const std::vector<StatementPlace> places = placeStatements(program, assembled.lineAddresses);
    const ListingInput input{program.listed, places, program.listingSteps, image,
                             assembled.lineAddresses.back(), labels};
    const std::optional<std::string> text = listingText(input, job);
    if (!text) {
        // An older listing must not pass for this run's.
        std::error_code ignored;
        std::filesystem::remove(job.listing, ignored);
        return std::nullopt;
    }
    return writeFile(job.listing, *text, "listing");
}

// The exit status; messages go to `errors` as they are found.
int assembleAndWrite(const Job& job, const std::vector<std::string>& includeDirs,
                     std::ostream& summary, std::ostream& errors) {
    if (auto failed = replacesSource(job, symbolFileName(job, Rewritten{}))) {
        report({*failed}, errors);
        return exitStatus({*failed});
    }
    const Rewritten program = translateSource(job.source, DiskFiles(), includeDirs);
    if (report(program.errors, errors)) return exitStatus(program.errors);
    const Z80asmResult assembled = runZ80asm(program.lines, job.source);
    report(assembled.warnings, errors);
    if (report(assembled.errors, errors)) return exitStatus(assembled.errors);
    Diagnostics placing = checkAddresses(program, assembled);
    checkReaches(program, assembled, placing);
    MemoryImage image = placeSegments(program, assembled, placing);
    if (report(placing, errors)) return exitStatus(placing);
    fillChecksums(program, assembled, image, placing);
    const std::string echoed = echoText(program, assembled, placing);
    if (report(placing, errors)) return exitStatus(placing);

    const std::string content = job.format == ObjectFormat::intelHex
                                    ? intelHex(image, job.recordLength)
                                    : plainBinary(image);
    if (const std::optional<Diagnostic> failed = writeFile(job.output, content, "object file")) {
        report({*failed}, errors);
        return exitStatus({*failed});
    }
    if (const std::optional<Diagnostic> failed = writeListings(job, program, assembled, image)) {
        report({*failed}, errors);
        return exitStatus({*failed});
    }
    summary << echoed;
    // The program is the span from the lowest to the highest byte written,
    // the bytes a .block skipped within it included.
    const uint32_t span = image.empty() ? 0 : image.highest() - image.lowest() + 1;
    summary << job.source << ": " << span << " bytes";
    if (!image.empty()) summary << " at " << hex4(image.lowest()) << "-" << hex4(image.highest());
    summary << ", written to " << job.output << '\n';
    return ExitStatus::assembled;
}

}  // namespace

Rewritten translateSource(const std::string& path, const SourceFiles& files,
                          const std::vector<std::string>& includeDirs) {
    SourceText source = readSource(path, files, includeDirs);
    if (!source.errors.empty()) {
        Rewritten failed;
        failed.errors = std::move(source.errors);
        return failed;
    }
    Rewritten rewritten = rewrite(source.lines, std::move(source.addressChecks));
    rewritten.listed = std::move(source.listed);
    return rewritten;
}

int exitStatus(const Diagnostics& diagnostics) {
    static constexpr std::pair<Failure, ExitStatus> statuses[] = {
        {Failure::memory, outOfMemory},
        {Failure::fileAccess, fileAccessError},
        {Failure::general, generalError},
    };
    for (const Diagnostic& d : diagnostics) {
        for (const auto& [kind, status] : statuses) {
            if (d.kind == kind) return status;
        }
    }
    return diagnostics.empty() ? ExitStatus::assembled : sourceErrors;
}

int assemble(const Job& job, const std::vector<std::string>& includeDirs, std::ostream& report,
             std::ostream& errors) {
    const int status = assembleAndWrite(job, includeDirs, report, errors);
    if (status != ExitStatus::assembled) {
        // An object file or listing from an earlier run must not pass for
        // this one's.
        std::error_code ignored;
        for (const std::string& path : {job.output, job.listing}) {
            if (!path.empty() && !sameFile(path, job.source)) std::filesystem::remove(path, ignored);
        }
    }
    return status;
}

}  // namespace tasm
