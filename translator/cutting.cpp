#include "cutting.hpp"


namespace trovik {

namespace {

/// text := its first n characters, in place.
void keepFirstChars(std::string& text, long n) {
    if (n <= 0) {
        text.clear();
    } else if (n < lengthOf(text)) {
        text.resize(static_cast<std::size_t>(n));
    }
}

/// text := its last n characters, in place.
void keepLastChars(std::string& text, long n) {
    if (n <= 0) {
        text.clear();
    } else if (n < lengthOf(text)) {
        text.erase(0, text.size() - static_cast<std::size_t>(n));
    }
}

}  // namespace

std::string firstChars(std::string_view text, long n) {
    if (n <= 0) return {};
    return std::string(text.substr(0, static_cast<std::size_t>(n)));
}

std::string lastChars(std::string_view text, long n) {
    if (n <= 0) return {};
    if (n >= lengthOf(text)) return std::string(text);
    return std::string(text.substr(text.size() - static_cast<std::size_t>(n)));
}

long lastPosition(std::string_view text, char c) {
    const std::size_t found = text.rfind(c);
    return found == std::string_view::npos ? 0 : static_cast<long>(found) + 1;
}

std::size_t leadingBlankCount(std::string_view text) {
    std::size_t blanks = 0;
    auto isBlank = [](char c) { return c == '\t' || c == '\n' || c == '\r' || c == ' '; };
    while (blanks < text.size() && isBlank(text[blanks])) ++blanks;
    return blanks;
}

std::string withoutLeadingBlanks(std::string_view text) {
    return std::string(text.substr(leadingBlankCount(text)));
}

void CuttingState::loadWork() {
    workString = currentLine;
    lineLength = lengthOf(currentLine);
}

void CuttingState::cutInner(long k, long e) {
    keepLastChars(workString, lineLength - k);
    keepFirstChars(workString, lineLength - k - e);
}

void CuttingState::storeWork() { currentLine = workString; }

std::string CuttingState::peelLast(char delimiter) {
    lineLength = lengthOf(currentLine);
    const long position = lastPosition(currentLine, delimiter);
    std::string after = lastChars(workString, lineLength - position);
    keepFirstChars(workString, position - 1);
    return after;
}

}  // namespace trovik
