#include "translation.hpp"

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
    console_.setAttribute(Stream::err, Attribute::normal);
    console_.write(Stream::err, text);
    console_.write(Stream::err, "\n");
}

void Translation::warnAtLine(std::string_view text) {
    warn(settings.sourceName + ":" + std::to_string(sourceLineNumber_) + ": warning: " +
         std::string(text));
}

void Translation::stopWithError(std::vector<MessagePiece> message, bool clearScreenFirst,
                                bool waitForEnter) {
    if (stopped()) return;
    halt();
    error_ = TranslationError{std::move(message), clearScreenFirst, waitForEnter,
                              sourceLineNumber_};
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
