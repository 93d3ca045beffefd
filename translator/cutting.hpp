// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The operations with which every statement cuts its arguments out of the
// current source line. They are defined here once and used by all statements.
// Every cut is a narrower window on the same line text: the current line, the
// working string and each argument are views, and no cut copies or changes a
// character. They stay valid while the line they were cut from is current.

#include <array>
#include <string>
#include <string_view>

namespace trovik {

/// The length of `text` as the signed count the cutting arithmetic uses.
inline long lengthOf(std::string_view text) { return static_cast<long>(text.size()); }
/// The first `n` characters of `text`: empty for n <= 0, all of it for n
/// beyond its length.
inline std::string_view firstChars(std::string_view text, long n) {
    if (n <= 0) return {};
    return text.substr(0, static_cast<std::size_t>(n));
}
/// The last `n` characters of `text`, with the same rules.
inline std::string_view lastChars(std::string_view text, long n) {
    if (n <= 0) return {};
    if (n >= lengthOf(text)) return text;
    return text.substr(text.size() - static_cast<std::size_t>(n));
}
/// The 1-based position of the last `c` in `text`, 0 when there is none.
inline long lastPosition(std::string_view text, char c) {
    const std::size_t found = text.rfind(c);
    return found == std::string_view::npos ? 0 : static_cast<long>(found) + 1;
}
/// How many TAB, LF, CR and space characters `text` begins with.
inline std::size_t leadingBlankCount(std::string_view text) {
    if (text.empty() || text.front() > ' ') return 0;  // most lines
    std::size_t blanks = 0;
    auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    while (blanks < text.size() && isBlank(text[blanks])) ++blanks;
    return blanks;
}

/// `c` with an ASCII capital letter made small; every other byte unchanged.
inline char foldAsciiLetter(char c) {
    static constexpr auto folded = [] {
        std::array<char, 256> table{};
        for (int i = 0; i < 256; ++i) {
            table[i] = static_cast<char>(i >= 'A' && i <= 'Z' ? i - 'A' + 'a' : i);
        }
        return table;
    }();
    return folded[static_cast<unsigned char>(c)];
}

/// The current line, the working string and the line length that the cutting
/// operations share.
struct CuttingState {
    /// The source line being translated. Keyword tests read it; `storeWork`
    /// writes the working string back into it.
    std::string_view currentLine;
    /// The working string into which a statement cuts the current line.
    std::string_view workString;
    /// L: the length of the current line as `loadWork` or `peelLast` took it.
    long lineLength = 0;

    /// True when the current line begins with `keyword`, which is written in
    /// small letters; the line's ASCII capitals match their small letters.
    bool matchKeyword(std::string_view keyword) const {
        if (currentLine.size() < keyword.size()) return false;
        const char* line = currentLine.data();
        for (char k : keyword) {
            if (foldAsciiLetter(*line++) != k) return false;
        }
        return true;
    }
    /// workString := currentLine; L := its length.
    void loadWork() {
        workString = currentLine;
        lineLength = lengthOf(currentLine);
    }
    /// workString := the last L - k characters of workString, then the first
    /// L - k - e characters of that: the text between a keyword of length k
    /// and e closing characters.
    void cutInner(long k, long e) {
        workString = firstChars(lastChars(workString, lineLength - k), lineLength - k - e);
    }
    /// `cutInner` after `keyword`, a keyword of the statement table.
    void cutInner(std::string_view keyword, long e) { cutInner(lengthOf(keyword), e); }
    /// currentLine := workString.
    void storeWork() { currentLine = workString; }
    /// Splits at the last `delimiter` of the current line: returns the text
    /// of workString after it and leaves workString holding the text before
    /// it. Without a delimiter, returns all of workString and empties it.
    std::string_view peelLast(char delimiter) {
        lineLength = lengthOf(currentLine);
        const long position = lastPosition(currentLine, delimiter);
        const std::string_view after = lastChars(workString, lineLength - position);
        workString = firstChars(workString, position - 1);
        return after;
    }

    /// The usual cut of kw(a1,...,aN);: `loadWork`, `cutInner`(k, 2), then
    /// `storeWork` and `peelLast`(",") for each argument from the last to the
    /// second. Returns a1 to aN; the current line keeps the last write-back.
    template <std::size_t N>
    std::array<std::string_view, N> cutArguments(long keywordLength) {
        static_assert(N >= 1);
        loadWork();
        cutInner(keywordLength, 2);
        std::array<std::string_view, N> arguments;
        for (std::size_t i = N - 1; i > 0; --i) {
            storeWork();
            arguments[i] = peelLast(',');
        }
        arguments[0] = workString;
        return arguments;
    }
    /// `cutArguments` after `keyword`, a keyword of the statement table.
    template <std::size_t N>
    std::array<std::string_view, N> cutArguments(std::string_view keyword) {
        return cutArguments<N>(lengthOf(keyword));
    }
};

}  // namespace trovik
