// SPDX-License-Identifier: GPL-2.0-or-later
#include "translation.hpp"

#include <algorithm>

namespace trovik {

Translation::Translation(TranslationSettings settingsIn, LineReader& source, OutputFile& output,
                         LineMap* lineMap, Console& console, FileSystem& files)
    : settings(std::move(settingsIn)),
      stringTable{StringEntry{"description", ""}},
      optimise(settings.optimise),
      source_(source),
      output_(output),
      lineMap_(lineMap),
      console_(console),
      files_(files) {}

bool Translation::atEndOfSource(std::string_view& line) {
    if (source_.failure()) halt();
    line = {};
    return false;
}

bool Translation::readNonEmptySourceLine(std::string_view& line) {
    while (readSourceLine(line)) {
        if (!line.empty()) return true;
    }
    return false;
}

void Translation::warnEndOfSource(std::string_view expected) {
    if (warnedEndOfSource_ || stopped()) return;
    warnedEndOfSource_ = true;
    warn("Warning: " + settings.sourceName + " ends without " + std::string(expected) +
         "; its end is taken for it");
}

void Translation::warn(std::string_view text) {
    warned_ = true;
    ++warnings_;
    if (warnings_ + notes_ > shownWarnings) return;
    console_.setAttribute(Stream::err, Attribute::normal);
    console_.write(Stream::err, text);
    console_.write(Stream::err, "\n");
}

void Translation::warnAtLine(std::string_view text, long column) {
    ++warnings_;
    messageAtLine("warning", text, column);
}

void Translation::noteAtLine(std::string_view text, long column) {
    ++notes_;
    messageAtLine("note", text, column);
}

void Translation::messageAtLine(std::string_view severity, std::string_view text, long column) {
    warned_ = true;
    if (warnings_ + notes_ > shownWarnings) return;
    const std::string number = std::to_string(sourceLineNumber_);
    console_.setAttribute(Stream::err, Attribute::normal);
    console_.write(Stream::err, settings.sourceName + ":" + number + ": " + std::string(severity) +
                                    ": " + std::string(text) + "\n");
    console_.write(Stream::err, sourceLineDisplay(settings.sourceName, sourceLineNumber_,
                                                  sourceText_, sourceColumn(column)));
}

long Translation::sourceColumn(long column) const {
    if (column < 0) return -1;
    // The current line is the source line without its leading blanks.
    const long indent = std::max(0L, lengthOf(sourceText_) - lengthOf(currentLine));
    return std::min(indent + column, lengthOf(sourceText_));
}

std::string sourceLineDisplay(std::string_view sourceName, long number, std::string_view line,
                              long column) {
    constexpr long shownWidth = 160;
    const long length = lengthOf(line);
    long start = 0;
    if (length > shownWidth && column > shownWidth / 2) {
        start = std::min(column - shownWidth / 2, length - shownWidth);
    }
    const std::string_view shown = line.substr(static_cast<std::size_t>(start),
                                               static_cast<std::size_t>(shownWidth));
    std::string prefix = std::string(sourceName) + ":" + std::to_string(number) + ": ";
    if (start > 0) prefix += "...";
    std::string display = prefix + std::string(shown);
    if (start + lengthOf(shown) < length) display += "...";
    display += "\n";
    if (column < 0) return display;
    std::string caret(prefix.size(), ' ');
    // TABs stay TABs, so that the caret lines up on any terminal.
    for (char c : shown.substr(0, static_cast<std::size_t>(column - start))) {
        caret += c == '\t' ? '\t' : ' ';
    }
    return display + caret + "^\n";
}

void Translation::stopWithError(std::vector<MessagePiece> message, bool clearScreenFirst,
                                bool waitForEnter, long column) {
    if (stopped()) return;
    halt();
    error_ = TranslationError{std::move(message), clearScreenFirst, waitForEnter,
                              sourceLineNumber_, sourceColumn(column)};
}

void Translation::halt() {
    halted_ = true;
    output_.dropLaterLines();
}

void Translation::stopWithFileFailure(FileFailure failure) {
    halt();
    if (!otherFileFailure_) otherFileFailure_ = std::move(failure);
}

std::optional<FileFailure> Translation::fileFailure() const {
    if (source_.failure()) return source_.failure();
    if (output_.failure()) return output_.failure();
    return otherFileFailure_;
}

}  // namespace trovik
