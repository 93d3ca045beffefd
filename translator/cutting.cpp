#include "cutting.hpp"


namespace trovik {

namespace {

long lengthOf(std::string_view text) { return static_cast<long>(text.size()); }

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

std::string withoutLeadingBlanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of("\t\n\r ");
    return first == std::string_view::npos ? std::string() : std::string(text.substr(first));
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
    const std::size_t found = currentLine.rfind(delimiter);
    const long position = found == std::string::npos ? 0 : static_cast<long>(found) + 1;
    std::string after = lastChars(workString, lineLength - position);
    keepFirstChars(workString, position - 1);
    return after;
}

}  // namespace trovik
