#include "cutting.hpp"

namespace trovik {

std::string_view firstChars(std::string_view text, long n) {
    if (n <= 0) return {};
    return text.substr(0, static_cast<std::size_t>(n));
}

std::string_view lastChars(std::string_view text, long n) {
    if (n <= 0) return {};
    if (n >= lengthOf(text)) return text;
    return text.substr(text.size() - static_cast<std::size_t>(n));
}

long lastPosition(std::string_view text, char c) {
    const std::size_t found = text.rfind(c);
    return found == std::string_view::npos ? 0 : static_cast<long>(found) + 1;
}

std::string_view withoutLeadingBlanks(std::string_view text) {
    return text.substr(leadingBlankCount(text));
}

std::string_view CuttingState::peelLast(char delimiter) {
    lineLength = lengthOf(currentLine);
    const long position = lastPosition(currentLine, delimiter);
    const std::string_view after = lastChars(workString, lineLength - position);
    workString = firstChars(workString, position - 1);
    return after;
}

}  // namespace trovik
