// SPDX-License-Identifier: GPL-2.0-or-later
#include "dap_reader.hpp"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace calcview::dap {

namespace {

constexpr std::string_view lengthHeader = "Content-Length:";
constexpr std::string_view headerEnd = "\r\n\r\n";
/// A header block longer than this is no header block.
constexpr std::size_t longestHeader = 1024;
/// Deeper nesting than any request needs is refused before parsing.
constexpr int deepestNesting = 64;
constexpr std::size_t excerptLength = 40;

bool isBlank(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; });
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.substr(0, 1))) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.substr(text.size() - 1))) text.remove_suffix(1);
    return text;
}

/// "Name: value", as the lines of a header block are.
bool isHeaderLine(std::string_view line) {
    const auto colon = line.find(':');
    if (colon == 0 || colon == std::string_view::npos) return false;
    return std::all_of(line.begin(), line.begin() + static_cast<std::ptrdiff_t>(colon), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '-';
    });
}

/// Skipped text that a client may send on purpose: blank lines and header
/// lines of their own (Content-Type).
bool isHarmless(std::string_view text) {
    while (!text.empty()) {
        const auto end = text.find('\n');
        const std::string_view line = trimmed(text.substr(0, end));
        if (!line.empty() && !isHeaderLine(line)) return false;
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return true;
}

/// The start of `text` for a message, printable and short.
std::string excerpt(std::string_view text) {
    std::string shown;
    for (const char c : text.substr(0, excerptLength)) {
        shown += std::isprint(static_cast<unsigned char>(c)) ? c : '?';
    }
    if (text.size() > excerptLength) shown += "...";
    return shown;
}

bool nestsTooDeep(std::string_view text) {
    int depth = 0;
    bool inString = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\') {
                ++i;
            } else if (c == '"') {
                inString = false;
            }
        } else if (c == '"') {
            inString = true;
        } else if (c == '{' || c == '[') {
            if (++depth > deepestNesting) return true;
        } else if (c == '}' || c == ']') {
            --depth;
        }
    }
    return false;
}

/// The JSON object in `text`, or nullopt with `why` set; `unfinished` tells
/// text that ends before its JSON does from text that is wrong.
std::optional<Json> parseObject(std::string_view text, std::string& why,
                                bool* unfinished = nullptr) {
    if (unfinished != nullptr) *unfinished = false;
    if (nestsTooDeep(text)) {
        why = "the message nests deeper than " + std::to_string(deepestNesting) + " levels";
        return std::nullopt;
    }
    Json parsed;
    try {
        parsed = Json::parse(text);
    } catch (const Json::parse_error& error) {
        if (unfinished != nullptr) *unfinished = error.byte >= text.size();
        why = "the message is not valid JSON: " + excerpt(text);
        return std::nullopt;
    }
    if (!parsed.is_object()) {
        why = "the message is JSON but not an object: " + excerpt(text);
        return std::nullopt;
    }
    return parsed;
}

std::string lengthMismatch(std::size_t said, std::size_t actual) {
    return "the message's Content-Length says " + std::to_string(said) +
           " bytes, but its JSON has " + std::to_string(actual);
}

}  // namespace

void Reader::feed(std::string_view bytes) { buffer_.append(bytes); }

void Reader::drop(std::size_t count) {
    buffer_.erase(0, std::min(count, buffer_.size()));
    searched_ = 0;
}

std::optional<Incoming> Reader::next() {
    while (!buffer_.empty()) {
        if (bodyLength_) return readBody();
        const std::size_t before = buffer_.size();
        if (auto problem = skipToHeader()) return problem;
        if (!buffer_.starts_with(lengthHeader)) {
            if (buffer_.size() == before) return std::nullopt;  // waiting for more
            continue;
        }
        if (auto problem = readHeader()) return problem;
        if (!bodyLength_) return std::nullopt;
    }
    return std::nullopt;
}

std::optional<Incoming> Reader::skipToHeader() {
    const auto at = buffer_.find(lengthHeader);
    if (at == 0) return std::nullopt;
    std::size_t skip = at;
    if (at == std::string::npos) {
        // A header may be arriving in pieces: keep the last unfinished line,
        // unless it is too long to be one.
        const auto lastLine = buffer_.rfind('\n');
        skip = lastLine == std::string::npos ? 0 : lastLine + 1;
        if (buffer_.size() - skip > longestHeader)
            skip = buffer_.size() - (lengthHeader.size() - 1);
    }
    if (skip == 0) return std::nullopt;
    const std::string skipped = buffer_.substr(0, skip);
    drop(skip);
    if (isHarmless(skipped)) return std::nullopt;
    return Incoming{std::nullopt, "skipped bytes that are not a message: " + excerpt(skipped)};
}

std::optional<Incoming> Reader::readHeader() {
    const auto end = buffer_.find(headerEnd);
    if (end == std::string::npos || end > longestHeader) {
        if (buffer_.size() <= longestHeader) return std::nullopt;  // the rest is on its way
        drop(lengthHeader.size());
        return Incoming{std::nullopt, "a Content-Length header with no blank line after it"};
    }
    const auto firstLineEnd = buffer_.find("\r\n");
    const std::string_view block(buffer_.data(), end);
    std::string_view value =
        trimmed(block.substr(lengthHeader.size(), firstLineEnd - lengthHeader.size()));
    std::size_t length = 0;
    const auto [stop, status] = std::from_chars(value.data(), value.data() + value.size(), length);
    std::string problem;
    if (value.empty() || status != std::errc() || stop != value.data() + value.size()) {
        problem = "a Content-Length that is not a number of bytes: " + excerpt(value);
    } else if (length > largestBody) {
        problem = "a Content-Length of " + std::string(value) + " bytes, more than the " +
                  std::to_string(largestBody) + " a message may have";
    } else {
        std::string_view rest = firstLineEnd < end ? block.substr(firstLineEnd + 2) : "";
        while (!rest.empty()) {
            const auto lineEnd = std::min(rest.find("\r\n"), rest.size());
            if (!isHeaderLine(rest.substr(0, lineEnd))) {
                problem = "a Content-Length header with no blank line after it";
                break;
            }
            rest.remove_prefix(std::min(lineEnd + 2, rest.size()));
        }
    }
    if (!problem.empty()) {
        drop(firstLineEnd + 2);
        return Incoming{std::nullopt, problem};
    }
    drop(end + headerEnd.size());
    bodyLength_ = length;
    return std::nullopt;
}

std::optional<Incoming> Reader::readBody() {
    const std::size_t length = *bodyLength_;
    if (buffer_.size() < length) return mismatchedLength();
    std::string why;
    bool unfinished = false;
    if (auto message = parseObject(std::string_view(buffer_).substr(0, length), why, &unfinished)) {
        drop(length);
        bodyLength_.reset();
        return Incoming{std::move(message), {}};
    }
    if (auto found = mismatchedLength()) return found;
    // JSON cut off by too small a length: the rest may still be on its way.
    if (unfinished && buffer_.find(lengthHeader, 1) == std::string::npos &&
        buffer_.size() <= largestBody) {
        return std::nullopt;
    }
    drop(length);
    bodyLength_.reset();
    return Incoming{std::nullopt, why};
}

std::optional<Incoming> Reader::mismatchedLength() {
    // Where the next message begins, or where the bytes at hand end.
    const std::size_t from = searched_ > lengthHeader.size() ? searched_ - lengthHeader.size() : 1;
    auto nextHeader = buffer_.find(lengthHeader, from);
    searched_ = buffer_.size();
    if (nextHeader == std::string::npos) {
        const std::string_view body = trimmed(buffer_);
        if (!body.ends_with('}')) return std::nullopt;
        nextHeader = buffer_.size();
    }
    const std::string_view candidate = trimmed(std::string_view(buffer_).substr(0, nextHeader));
    std::string why;
    auto message = parseObject(candidate, why);
    // No JSON yet: still arriving (a string in it may hold the header's
    // words), or, for a complete body, readBody reports it.
    if (!message) return std::nullopt;
    Incoming found{std::move(message), lengthMismatch(*bodyLength_, candidate.size())};
    drop(nextHeader);
    bodyLength_.reset();
    return found;
}

std::optional<Incoming> Reader::finish() {
    const bool waiting = bodyLength_.has_value();
    const std::string rest = std::move(buffer_);
    buffer_.clear();
    bodyLength_.reset();
    searched_ = 0;
    if (isHarmless(rest) && !waiting) return std::nullopt;
    if (waiting)
        return Incoming{std::nullopt, "the input ended inside a message: " + excerpt(rest)};
    return Incoming{std::nullopt,
                    "the input ended with bytes that are not a message: " + excerpt(rest)};
}

std::string frame(const Json& message) {
    const std::string body = message.dump(-1, ' ', false, Json::error_handler_t::replace);
    return std::string(lengthHeader) + " " + std::to_string(body.size()) + std::string(headerEnd) +
           body;
}

}  // namespace calcview::dap
