// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The debugger's tables from the build's own steps, run here in-process on
// the same inputs: trovik's translation gives the .asm text, the .p83 line
// of every .asm line (its line map) and the declared names; the stand-in
// assembler's reader and layout give the address of every statement of the
// .asm. Nothing is read back from a listing.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "debug_info.hpp"
#include "result.hpp"

namespace calcview {

/// A name the .p83 declares and the line that declares it.
struct DeclaredName {
    std::string name;
    int line = 0;
    std::uint16_t address = 0;  ///< a variable's; labels and strings get theirs from the layout
};

/// What trovik's translation made of a .p83.
struct TranslatedSource {
    std::string asmText;
    /// The .p83 line that wrote each .asm line (index: .asm line - 1); 0
    /// where none did.
    std::vector<int> sourceLineOf;
    std::vector<DeclaredName> variables;
    std::vector<DeclaredName> labels;
    std::vector<DeclaredName> strings;
};

/// Translates `source` (FILE.p83) as `trovik FILE options...` would, into
/// memory; the files it copies (FILE.spr, FILE.pic) are read beside it.
/// Fails with trovik's message and the .p83 line it names.
pack83::Result<TranslatedSource> translateInMemory(const std::filesystem::path& source,
                                                   const std::vector<std::string>& trovikOptions);

/// One statement of an assembler source that takes room in the program.
struct PlacedStatement {
    int file = 0;  ///< index into SourceLayout::files
    int line = 0;
    std::uint16_t start = 0;
    std::uint16_t end = 0;  ///< one past its last byte
    bool data = false;      ///< .db, .dw, .text, .fill, .chk: no instruction
};

/// Every statement of an assembler source with its address.
struct SourceLayout {
    /// The main source, then each #include file that places code or data,
    /// in the order first met.
    std::vector<std::string> files;
    std::vector<PlacedStatement> statements;  ///< in the order of the source
    /// The code labels of those files, as written (they match without
    /// regard to case), with the line that defines each.
    std::vector<DeclaredName> labels;
    std::vector<int> labelFiles;  ///< the file of each label
};

/// Lays `asmPath` out as the stand-in does (its #include files searched in
/// `includeDirs` after its own folder); `text` is its text. Fails with the
/// reader's first message.
pack83::Result<SourceLayout> layOut(const std::filesystem::path& asmPath, const std::string& text,
                                    const std::vector<std::string>& includeDirs);

/// The tables of a .p83 program: files {p83, asm, the asm's include files
/// with code}.
DebugInfo tablesOfSource(const std::filesystem::path& p83, const std::string& p83Text,
                         const std::filesystem::path& asmPath, const TranslatedSource& translated,
                         const SourceLayout& layout);

/// The tables of a hand-written assembler source: files {asm, its include
/// files with code}.
DebugInfo tablesOfAssembly(const std::filesystem::path& asmPath, const std::string& asmText,
                           const SourceLayout& layout);

/// The object file tasm.exe writes when trovik runs with `trovikOptions` on
/// `source`: FILE.obj, or FILE.bin with -c. Fails when trovik would refuse
/// the options.
pack83::Result<std::string> objectFileName(const std::filesystem::path& source,
                                           const std::vector<std::string>& trovikOptions);

/// The folders the stand-in searches for the #include files of `asmPath`
/// after its own, when it is `tasmProgram` (empty: not known).
std::vector<std::string> includeFoldersFor(const std::filesystem::path& asmPath,
                                           const std::filesystem::path& tasmProgram);

/// Assembles `asmText` as `tasm.exe -t80 -b` would, as the file `asmName` in
/// a temporary folder that is removed afterwards, with the #include files of
/// `includeDirs`: the program's bytes, or the assembler's first message
/// (naming the source as `asmName`).
pack83::Result<std::vector<std::uint8_t>> assembleAside(const std::string& asmName,
                                                        const std::string& asmText,
                                                        const std::vector<std::string>& includeDirs);

/// The lines of `text` (LF or CR LF), without their ends.
std::vector<std::string> linesOf(const std::string& text);

}  // namespace calcview
