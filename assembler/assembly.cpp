// The stand-in's pipeline. The source is read with its includes and defines
// (source_reader), rewritten into z80asm's syntax (rewriter, expressions),
// assembled by z80asm, whose messages are mapped back to the source lines
// (z80asm_run); its bytes are then placed at their addresses (memory_image)
// and written in the format asked for (object_writers). Errors found before
// z80asm runs stop the run there, so z80asm only sees well-formed lines whose
// labels all exist.

#include "assembly.hpp"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <ostream>

#include "memory_image.hpp"
#include "object_writers.hpp"
#include "rewriter.hpp"
#include "source_reader.hpp"
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
// object file.
bool writeFile(const std::string& path, const std::string& content, std::ostream& errors) {
    const std::string partial = path + ".partial";
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
        out.close();
        if (!out) {
            errors << path << ": cannot write the object file\n";
            std::error_code ignored;
            std::filesystem::remove(partial, ignored);
            return false;
        }
    }
    std::error_code failure;
    std::filesystem::rename(partial, path, failure);
    if (failure) {
        errors << path << ": cannot write the object file: " << failure.message() << '\n';
        std::filesystem::remove(partial, failure);
        return false;
    }
    return true;
}

bool assembleAndWrite(const Job& job, const std::vector<std::string>& includeDirs,
                      std::ostream& summary, std::ostream& errors) {
    const SourceText source = readSource(job.source, DiskFiles(), includeDirs);
    if (report(source.errors, errors)) return false;
    const Rewritten program = rewrite(source.lines);
    if (report(program.errors, errors)) return false;
    const Z80asmResult assembled = runZ80asm(program.lines);
    report(assembled.warnings, errors);
    if (report(assembled.errors, errors)) return false;
    Diagnostics placing;
    const MemoryImage image = placeSegments(program, assembled, placing);
    if (report(placing, errors)) return false;

    const std::string content = job.format == ObjectFormat::intelHex
                                    ? intelHex(image, hexRecordLength)
                                    : plainBinary(image);
    if (!writeFile(job.output, content, errors)) return false;
    summary << job.source << ": " << assembled.bytes.size() << " bytes";
    if (!image.empty()) summary << " at " << hex4(image.lowest()) << "-" << hex4(image.highest());
    summary << ", written to " << job.output << '\n';
    return true;
}

}  // namespace

int assemble(const Job& job, const std::vector<std::string>& includeDirs, std::ostream& report,
             std::ostream& errors) {
    if (assembleAndWrite(job, includeDirs, report, errors)) return 0;
    // An object file from an earlier run must not pass for this one's.
    std::error_code ignored;
    std::filesystem::remove(job.output, ignored);
    return 1;
}

}  // namespace tasm
