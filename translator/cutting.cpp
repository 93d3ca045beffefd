#include "cutting.hpp"

#include <algorithm>

namespace trovik {

namespace {

char foldAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

long lengthOf(std::string_view text) { return static_cast<long>(text.size()); }

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

bool CuttingState::matchKeyword(std::string_view keyword) const {
    if (currentLine.size() < keyword.size()) return false;
    for (std::size_t i = 0; i < keyword.size(); ++i) {
        if (foldAsciiLetter(currentLine[i]) != foldAsciiLetter(keyword[i])) return false;
    }
    return true;
}

void CuttingState::loadWork() {
    workString = currentLine;
    lineLength = lengthOf(currentLine);
}

void CuttingState::cutInner(long k, long e) {
    workString = lastChars(workString, lineLength - k);
    workString = firstChars(workString, lineLength - k - e);
}

void CuttingState::storeWork() { currentLine = workString; }

std::string CuttingState::peelLast(char delimiter) {
    lineLength = lengthOf(currentLine);
    const std::size_t found = currentLine.rfind(delimiter);
    const long position = found == std::string::npos ? 0 : static_cast<long>(found) + 1;
    std::string after = lastChars(workString, lineLength - position);
    workString = firstChars(workString, position - 1);
    return after;
}

std::vector<std::string> CuttingState::cutArguments(long keywordLength, int count) {
    loadWork();
    cutInner(keywordLength, 2);
    std::vector<std::string> arguments(static_cast<std::size_t>(std::max(count, 1)));
    for (std::size_t i = arguments.size() - 1; i > 0; --i) {
        storeWork();
        arguments[i] = peelLast(',');
    }
    arguments[0] = workString;
    return arguments;
}

}  // namespace trovik
