// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The shared state of one translation and the services every statement uses:
// emitting output lines, reading further source lines, warnings, and stopping
// the run with an error.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "cutting.hpp"
#include "line_map.hpp"
#include "platform.hpp"
#include "text_files.hpp"

namespace trovik {

/// What the command line decided for the translation.
struct TranslationSettings {
    std::string fileName;        ///< FILENAME, the stem of every file name
    std::string sourceName;      ///< FILENAME.p83
    std::string spriteFileName;  ///< FILENAME.spr with -s, else empty
    bool optimise = false;       ///< -o: leave out register saves and restores
    /// Warn about statement lines whose shape the translation will misread.
    bool checkStatements = true;
};

/// A named string that the program end writes out as a `.db` line.
struct StringEntry {
    std::string name;
    std::string text;
    long sourceLine = 0;  ///< the line that named it
};

/// A variable or label the source declares, for a debugger's tables.
struct Declaration {
    enum class Kind { variable, label };
    Kind kind = Kind::variable;
    std::string name;
    long sourceLine = 0;  ///< the line that declared it
    long address = 0;     ///< a variable's; 0 for a label
};

/// A piece of a console message with its text attribute.
struct MessagePiece {
    std::string text;
    Attribute attribute = Attribute::normal;
};

/// An error in the source that stops the translation.
struct TranslationError {
    std::vector<MessagePiece> message;  ///< the message line, without its line break
    bool clearScreenFirst = false;
    bool waitForEnter = false;  ///< read a line first, where a person can type one
    long sourceLineNumber = 0;  ///< the source line it was found on, counted from 1
    long column = -1;           ///< where on that line, counted from 0; -1 when not known
};

/// The lines that show source line `number` under a message about it:
/// FILENAME.p83:N: and the line as written, and below it a caret under
/// `column` (counted from 0) when that is 0 or more. A long line is shown in
/// part, around the caret.
std::string sourceLineDisplay(std::string_view sourceName, long number, std::string_view line,
                              long column);

/// The routines and data that statements ask the program end to append.
struct RoutineFlags {
    bool usesPix = false;
    bool usesSprites = false;
    bool usesPicture = false;
    bool usesOff = false;
    bool usesMultiply = false;
    bool usesDivide = false;
    bool usesCircle = false;
};

/// The most entries the string table holds, the program description included.
inline constexpr int stringTableCapacity = 100;

/// One run of the translator over one source file: the shared translation
/// state, the open source and output files, and the console for warnings.
class Translation : public CuttingState, public RoutineFlags {
public:
    Translation(TranslationSettings settings, LineReader& source, OutputFile& output,
                LineMap* lineMap, Console& console, FileSystem& files);

    const TranslationSettings settings;
    std::string shellName;
    bool shellDeclared = false;
    /// Entry 1 is the program description; `stringCount` is its size.
    std::vector<StringEntry> stringTable;
    long nextVarAddress = 33381;
    bool optimise;
    /// The lines of the program line and the shell line, 0 until read.
    long programLine = 0;
    long shellLine = 0;

    /// Where the declared variables and labels are recorded; null (trovik's
    /// own runs) keeps no record, so that memory stays the same for any
    /// length of program.
    std::vector<Declaration>* declarations = nullptr;
    void declare(Declaration::Kind kind, std::string_view name, long sourceLine, long address = 0) {
        if (declarations) declarations->push_back({kind, std::string(name), sourceLine, address});
    }

    int stringCount() const { return static_cast<int>(stringTable.size()); }
    bool shellIsIon() const { return shellName == "ion"; }

    /// Writes one output line made of `parts`.
    template <typename... Parts>
    void emit(const Parts&... parts) {
        output_.writeLineOf(parts...);  // it drops the lines after a stop or a failure
    }
    /// Writes an empty output line.
    void emitEmpty() { emit(std::string_view()); }
    /// Writes `lines` in order, each as it stands.
    template <typename Lines>
    void emitLines(const Lines& lines) {
        for (std::string_view line : lines) emit(line);
    }

    /// Reads the next source line as it stands; `line` shows it until the
    /// next read. At the end of the file (or after a read failure, which
    /// stops the run) `line` is empty and the result false.
    bool readSourceLine(std::string_view& line) {
        if (!stopped() && source_.readLine(line)) {
            attributeTo(++sourceLineNumber_);
            sourceText_ = line;
            return true;
        }
        return atEndOfSource(line);
    }
    /// Reads source lines until one has characters. False at the end of the file.
    bool readNonEmptySourceLine(std::string_view& line);
    /// `readSourceLine` and `readNonEmptySourceLine` into the current line.
    bool readCurrentLine() { return readIntoCurrentLine(&Translation::readSourceLine); }
    bool readNonEmptyCurrentLine() {
        return readIntoCurrentLine(&Translation::readNonEmptySourceLine);
    }
    /// Makes a copy of `text` the current line; `text` may not be a view of
    /// the current line itself.
    void setCurrentLine(std::string_view text) {
        if (text.size() > currentLineText_.size()) currentLineText_.resize(text.size());
        copyText(currentLineText_.data(), text);
        currentLine = std::string_view(currentLineText_.data(), text.size());
    }

    /// The number of the source line read last, counted from 1.
    long sourceLineNumber() const { return sourceLineNumber_; }
    /// Output lines written from now on come from `sourceLine`, for the line
    /// map when there is one. Reading a source line attributes the lines
    /// after it to that line.
    void attributeTo(long sourceLine) {
        if (lineMap_) lineMap_->mark(output_.linesWritten() + 1, sourceLine);
    }

    /// The files the translation copies from.
    FileSystem& files() { return files_; }
    /// Reports once per run that the source ended where `expected` was due.
    void warnEndOfSource(std::string_view expected);
    /// One warning line on standard error.
    void warn(std::string_view text);
    /// A warning about the source line read last: FILENAME.p83:N: warning:
    /// `text`, then that line with a caret under `column`, a position in
    /// the current line, when it is known.
    void warnAtLine(std::string_view text, long column = -1);
    /// The same as a note: something that works as written but is rarely
    /// what was meant.
    void noteAtLine(std::string_view text, long column = -1);
    /// Keeps a declared variable's address for the checks (up to a few
    /// thousand variables; the checks leave out the rest).
    void rememberVariable(std::string_view name, long address) {
        if (variables_.size() < rememberedVariables) variables_.emplace(name, address);
    }
    /// The address of the declared variable `name`, if it is one.
    std::optional<long> variableAddress(std::string_view name) const {
        const auto found = variables_.find(name);
        if (found == variables_.end()) return std::nullopt;
        return found->second;
    }
    /// Whether any warning or message was written.
    bool warned() const { return warned_; }
    int warningCount() const { return warnings_; }
    /// Whether the next warning is shown: only the first `shownWarnings`
    /// of a run are, the rest are counted.
    bool showsMoreWarnings() const { return warnings_ + notes_ < shownWarnings; }
    static constexpr int shownWarnings = 100;
    int noteCount() const { return notes_; }

    /// Stops the translation with an error found on the current source line.
    void stopWithError(std::vector<MessagePiece> message, bool clearScreenFirst = false,
                       bool waitForEnter = false, long column = -1);
    /// Stops the translation because a file operation failed.
    void stopWithFileFailure(FileFailure failure);
    bool stopped() const { return halted_ || output_.failure(); }

    const std::optional<TranslationError>& error() const { return error_; }
    /// The first file failure of the run: source, output or another file.
    std::optional<FileFailure> fileFailure() const;

private:
    bool atEndOfSource(std::string_view& line);
    void messageAtLine(std::string_view severity, std::string_view text, long column);
    /// `column` of the current line as a column of the source line read last.
    long sourceColumn(long column) const;
    /// Stops the run; the output keeps what was written so far.
    void halt();
    bool readIntoCurrentLine(bool (Translation::*read)(std::string_view&)) {
        std::string_view line;
        const bool wasRead = (this->*read)(line);
        setCurrentLine(line);
        return wasRead;
    }

    struct NameHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view name) const {
            return std::hash<std::string_view>()(name);
        }
    };
    static constexpr std::size_t rememberedVariables = 4096;
    std::unordered_map<std::string, long, NameHash, std::equal_to<>> variables_;
    /// Holds the text of the current line, which every cut views; it only
    /// grows, so that a new line rarely needs memory.
    std::vector<char> currentLineText_;
    LineReader& source_;
    OutputFile& output_;
    LineMap* lineMap_;  ///< null when no map is kept
    Console& console_;
    FileSystem& files_;
    long sourceLineNumber_ = 0;
    /// The source line read last, as read; valid until the next read.
    std::string_view sourceText_;
    bool warnedEndOfSource_ = false;
    bool warned_ = false;
    int warnings_ = 0;
    int notes_ = 0;
    std::optional<TranslationError> error_;
    std::optional<FileFailure> otherFileFailure_;
    /// Set by a translation error or a failure of any file but the output.
    bool halted_ = false;
};

}  // namespace trovik
