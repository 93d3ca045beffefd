// SPDX-License-Identifier: GPL-2.0-or-later
// The checks read a statement line the way its writer meant it, split at
// its commas as the statement table's form says, and compare that with what
// the translation will cut: a missing ");", text after it, an argument too
// many or too few, a fixed field of the wrong width, a choice out of range.
// Each check looks at the line once, so a line of any length costs time in
// proportion to it, and gives at most one warning of each kind. Nothing here
// changes the line or what is written for it.

#include "statement_checks.hpp"

#include <algorithm>
#include <array>
#include <limits>

namespace trovik {

namespace {

constexpr std::size_t none = std::string_view::npos;

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isNameCharacter(char c) { return isLetter(c) || isDigit(c) || c == '_' || c == '.'; }

std::string_view withoutLeadingBlanks(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    return text;
}
std::string_view withoutTrailingBlanks(std::string_view text) {
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

bool isComment(std::string_view text) { return withoutLeadingBlanks(text).starts_with("//"); }

std::string numberWord(std::size_t n) {
    static constexpr std::array<std::string_view, 6> words{"no",    "one",  "two",
                                                           "three", "four", "five"};
    return n < words.size() ? std::string(words[n]) : std::to_string(n);
}

/// "its last character", "its last two characters".
std::string lastCharacters(std::size_t n) {
    return n == 1 ? "its last character" : "its last " + numberWord(n) + " characters";
}

/// What goes wrong when more text follows the end of a statement.
std::string textAfterEnd(std::string_view ending, std::string_view after,
                         std::string_view whatIsRead, bool dropsEnding) {
    const std::string dropped = !dropsEnding
                                    ? std::string()
                                    : " (the translation drops the line's " +
                                          lastCharacters(ending.size()).substr(4) + ", whatever " +
                                          (ending.size() == 1 ? "it is)" : "they are)");
    std::string message = withoutLeadingBlanks(after).empty()
                              ? "blanks after " + quoted(ending) + " are read into " +
                                    std::string(whatIsRead) + dropped
                              : "the line goes on after " + quoted(ending) +
                                    ", and that text is read into " + std::string(whatIsRead) +
                                    dropped;
    if (isComment(after)) message += "; comments go on their own line, starting with //";
    return message;
}

/// The argument list of `form`, as the README writes it: X,Y,Q,label.
std::string argumentList(const StatementForm& form) {
    std::string list;
    for (std::size_t i = 0; i < form.argumentCount; ++i) {
        if (i > 0) list += ",";
        list += form.arguments[i].name;
    }
    return list;
}

/// The choices 1, 2 as "1 or 2", 1 to 7 as "1 to 7".
std::string describeChoices(std::string_view choices) {
    if (choices.size() == 2) return std::string(1, choices[0]) + " or " + choices[1];
    return std::string(1, choices.front()) + " to " + choices.back();
}

/// Whether `argument` has the shape that `form` asks for; the common case,
/// so it builds no message.
bool argumentFits(const ArgumentForm& form, std::string_view argument) {
    if (argument.empty()) return false;
    switch (form.kind) {
        case ArgumentKind::memory:
            return argument.front() != '"';
        case ArgumentKind::operand:
            return true;
        case ArgumentKind::label: {
            const std::string_view name = withoutLeadingBlanks(argument);
            return !name.starts_with('"') && std::none_of(name.begin(), name.end(), isBlank);
        }
        case ArgumentKind::text:
            return argument.size() >= 2 && argument.front() == '"' && argument.back() == '"';
        case ArgumentKind::choice:
            return argument.size() == 1 && form.choices.find(argument.front()) != none;
        case ArgumentKind::field:
            return argument.size() == form.name.size();
    }
    return true;
}

/// What is wrong with `argument`, which does not fit `form`.
std::string argumentFault(std::string_view keyword, const ArgumentForm& form,
                          std::string_view argument) {
    const std::string takes = std::string(keyword) + " takes " + std::string(form.name);
    if (argument.empty()) return takes + "; this line leaves it empty";
    switch (form.kind) {
        case ArgumentKind::memory:
            return takes + " as a variable, not a text in quotes";
        case ArgumentKind::label:
            if (withoutLeadingBlanks(argument).starts_with('"')) {
                return takes + " as a name, not a text in quotes";
            }
            return takes + " as one name; " + quoted(argument) + " holds a blank";
        case ArgumentKind::text:
            return takes +
                   " in double quotes; the translation drops the first and the last "
                   "character of " +
                   quoted(argument) + " all the same";
        case ArgumentKind::choice:
            return takes + " as one character, " + describeChoices(form.choices) +
                   "; this line has " + quoted(argument);
        case ArgumentKind::field:
            return takes + " as exactly " + numberWord(form.name.size()) + " characters, such as " +
                   (form.name.size() == 4 ? "0006" : "254") + "; this line has " +
                   quoted(argument) + ", and the fields after it are cut at the wrong places";
        case ArgumentKind::operand:
            break;
    }
    return takes;
}

/// A wrong group of getkey( stops the run with its own error.
bool stopsTheRun(std::string_view keyword, const ArgumentForm& form, std::string_view argument) {
    return keyword == "getkey(" && form.kind == ArgumentKind::choice &&
           (argument.empty() || form.choices.find(argument.front()) == none);
}

void checkArguments(Translation& t, std::string_view keyword, const StatementForm& form,
                    std::size_t contentEnd) {
    const std::string_view line = t.currentLine;
    const std::size_t start = std::min(keyword.size(), contentEnd);
    const std::string_view inner = line.substr(start, contentEnd - start);
    const std::size_t wanted = form.argumentCount;
    const std::size_t commasToSplit =
        form.lastTakesRest ? wanted - 1 : std::numeric_limits<std::size_t>::max();

    std::array<std::string_view, maxArguments> arguments;
    std::array<std::size_t, maxArguments + 1> starts{};
    std::size_t count = 0;
    std::size_t position = 0;
    for (;;) {
        const std::size_t comma = count < commasToSplit ? inner.find(',', position) : none;
        if (count < maxArguments) arguments[count] = inner.substr(position, comma - position);
        if (count <= maxArguments) starts[count] = start + position;
        ++count;
        if (comma == none) break;
        position = comma + 1;
    }

    if (count != wanted) {
        t.warnAtLine(std::string(keyword) + " takes " + std::to_string(wanted) + " argument" +
                         (wanted == 1 ? "" : "s") + " (" + argumentList(form) +
                         "); this line has " + std::to_string(count),
                     static_cast<long>(count > wanted ? starts[wanted] : contentEnd));
        return;
    }
    for (std::size_t i = 0; i < wanted; ++i) {
        if (argumentFits(form.arguments[i], arguments[i])) continue;
        if (stopsTheRun(keyword, form.arguments[i], arguments[i])) return;
        t.warnAtLine(argumentFault(keyword, form.arguments[i], arguments[i]),
                     static_cast<long>(starts[i]));
        return;
    }
}

/// ^X:=V; with V a declared variable loads V's address.
void checkAssignment(Translation& t, std::string_view keyword) {
    const std::size_t contentEnd = checkLineEnding(t, keyword, ";", "the value");
    const std::string_view line = t.currentLine;
    const std::size_t start = std::min(keyword.size(), contentEnd);
    const std::string_view inner = line.substr(start, contentEnd - start);
    const std::size_t assign = inner.find(":=");
    if (assign == none) {
        const std::size_t equals = inner.find('=');
        t.warnAtLine(equals == none
                         ? "^ takes X:=V; this line has no \":=\""
                         : "^ takes X:=V; this line has \"=\" without \":\", so the variable is "
                           "left out",
                     static_cast<long>(start + (equals == none ? 0 : equals)));
        return;
    }
    const std::string_view variable = inner.substr(0, assign);
    const std::string_view value = inner.substr(assign + 2);
    if (variable.empty() || value.empty()) {
        t.warnAtLine(std::string("^ takes X:=V; this line leaves ") +
                         (variable.empty() ? "X" : "V") + " empty",
                     static_cast<long>(start + (variable.empty() ? 0 : assign + 2)));
        return;
    }
    if (!isLetter(value.front()) && value.front() != '_') return;  // most values are numbers
    const auto address = t.variableAddress(value);
    if (!address) return;
    const std::string v(value);
    const std::string x(variable);
    t.noteAtLine("this stores the address of " + v + " (" + std::to_string(*address) +
                     "), not its value; to copy the value, write the two lines \"ld hl,(" + v +
                     ")\" and \"ld (" + x + "),hl\" in an asm{ block",
                 static_cast<long>(start + assign + 2));
}

/// :label takes the whole rest of the line.
void checkLabelLine(Translation& t, std::string_view keyword) {
    const std::string_view name =
        t.currentLine.substr(std::min(keyword.size(), t.currentLine.size()));
    if (name.empty()) {
        t.warnAtLine("a label line names its label after the colon; this one names none",
                     static_cast<long>(keyword.size()));
        return;
    }
    const auto bad = std::find_if_not(name.begin(), name.end(), isNameCharacter);
    if (bad == name.end()) return;
    const std::size_t at = static_cast<std::size_t>(bad - name.begin());
    std::string message = "the label is the whole rest of the line, " + quoted(name);
    message += isComment(name.substr(at)) ? "; comments go on their own line, starting with //"
                                          : "; a label is letters, digits, _ and .";
    t.warnAtLine(message, static_cast<long>(keyword.size() + at));
}

/// calcoff; ret; clrdrw; clrscr(); read nothing after the keyword.
void checkNothingAfter(Translation& t, std::string_view keyword) {
    const std::string_view rest =
        t.currentLine.substr(std::min(keyword.size(), t.currentLine.size()));
    if (withoutLeadingBlanks(rest).empty()) return;
    t.warnAtLine(
        isComment(rest)
            ? "the rest of the line is not read; comments go on their own line, "
              "starting with //"
            : "the rest of the line, " + quoted(rest) + ", is not read; a line holds one statement",
        static_cast<long>(keyword.size()));
}

/// Damerau-Levenshtein distance of two short texts, ASCII letters folded;
/// anything above `limit` counts as limit + 1. Three rows of the table are
/// kept: the one being filled and the two before it.
std::size_t editDistance(std::string_view a, std::string_view b, std::size_t limit) {
    constexpr std::size_t longest = 24;
    if (a.size() > b.size() + limit || b.size() > a.size() + limit) return limit + 1;
    if (a.size() >= longest || b.size() >= longest) return limit + 1;
    std::array<std::size_t, longest + 1> twoBack, previous, row;
    for (std::size_t j = 0; j <= b.size(); ++j) previous[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        row[0] = i;
        const char x = foldAsciiLetter(a[i - 1]);
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const char y = foldAsciiLetter(b[j - 1]);
            row[j] =
                std::min({previous[j] + 1, row[j - 1] + 1, previous[j - 1] + (x == y ? 0 : 1)});
            if (i > 1 && j > 1 && x == foldAsciiLetter(b[j - 2]) &&
                foldAsciiLetter(a[i - 2]) == y) {
                row[j] = std::min(row[j], twoBack[j - 2] + 1);
            }
        }
        twoBack = previous;
        previous = row;
    }
    return std::min(previous[b.size()], limit + 1);
}

/// The start of a line that names its statement: up to and with the first
/// "(", ";", "{" or ".", else its leading letters.
std::string_view leadingWord(std::string_view line) {
    constexpr std::size_t longest = 16;
    for (std::size_t i = 0; i < std::min(line.size(), longest); ++i) {
        const char c = line[i];
        if (c == '(' || c == ';' || c == '{' || c == '.') return line.substr(0, i + 1);
        if (!isLetter(c)) return line.substr(0, i);
    }
    return line.substr(0, std::min(line.size(), longest));
}

constexpr std::array<std::string_view, 3> structuralLines{"begin", "end;", "EOF"};

/// Suggestions show a whole line only when it is short.
constexpr std::size_t longestShownLine = 80;

}  // namespace

bool isPlainName(std::string_view text) {
    return !text.empty() && !isDigit(text.front()) &&
           std::all_of(text.begin(), text.end(), isNameCharacter);
}

std::string quoted(std::string_view text) {
    constexpr std::size_t longest = 40;
    std::string result(1, '"');
    result.append(text.substr(0, text.size() <= longest ? longest : longest - 3));
    if (text.size() > longest) result.append("...");
    result.push_back('"');
    return result;
}

std::size_t checkLineEnding(Translation& t, std::string_view keyword, std::string_view ending,
                            std::string_view whatIsRead, bool dropsEnding) {
    const std::string_view line = t.currentLine;
    const std::size_t start = std::min(keyword.size(), line.size());
    const std::string_view rest = line.substr(start);
    if (rest.ends_with(ending)) return line.size() - ending.size();

    if (const std::size_t at = rest.find(ending); at != none) {
        t.warnAtLine(textAfterEnd(ending, rest.substr(at + ending.size()), whatIsRead, dropsEnding),
                     static_cast<long>(start + at + ending.size()));
        return start + at;
    }
    // Part of the ending may be there: ")" of ");", or its ";".
    std::size_t present = 0;
    std::string missing;
    for (std::size_t j = ending.size() - 1; j > 0; --j) {
        if (rest.ends_with(ending.substr(0, j))) {
            present = j;
            missing = quoted(ending.substr(j)) + " after " + quoted(ending.substr(0, j));
            break;
        }
        if (rest.ends_with(ending.substr(ending.size() - j))) {
            present = j;
            missing = quoted(ending.substr(0, ending.size() - j)) + " before " +
                      quoted(ending.substr(ending.size() - j));
            break;
        }
    }
    if (present == 0) missing = quoted(ending);
    const std::string_view dropped = lastChars(rest, lengthOf(ending));
    const std::string_view lost =
        firstChars(dropped, lengthOf(dropped) - static_cast<long>(present));
    std::string message = "the line ends without " + missing;
    if (!dropsEnding) {
        message += ", and " + std::string(whatIsRead) + " are not read as written";
    } else if (!lost.empty()) {
        message += ", and the translation drops " + lastCharacters(ending.size()) +
                   " all the same: " + quoted(lost) + " is lost from " + std::string(whatIsRead);
    }
    t.warnAtLine(message, lengthOf(line));
    return line.size() - present;
}

void checkStatementLineInFull(Translation& t, std::string_view keyword, const StatementForm& form) {
    switch (form.shape) {
        case LineShape::free:
            return;
        case LineShape::keywordOnly:
            checkNothingAfter(t, keyword);
            return;
        case LineShape::label:
            checkLabelLine(t, keyword);
            return;
        case LineShape::assignment:
            checkAssignment(t, keyword);
            return;
        case LineShape::arguments:
            checkArguments(t, keyword, form,
                           checkLineEnding(t, keyword, ");", "the arguments", form.dropsLastTwo));
            return;
    }
}

void warnAboutSecondStatement(Translation& t, std::string_view first, std::string_view second) {
    t.warnAtLine("what " + std::string(first) + " leaves of this line, " + quoted(t.currentLine) +
                 ", begins with " + std::string(second) +
                 ", and is translated as that statement too");
}

void warnAboutUnknownStatement(Translation& t) {
    if (!t.showsMoreWarnings()) {
        t.warnAtLine({});  // counted, not shown
        return;
    }
    const std::string_view trimmed = withoutTrailingBlanks(t.currentLine);
    if (std::find(structuralLines.begin(), structuralLines.end(), trimmed) !=
        structuralLines.end()) {
        t.warnAtLine("no statement matches this line: " + std::string(trimmed) +
                         " is compared exactly, without blanks after it",
                     lengthOf(trimmed));
        return;
    }
    std::string message = "no statement matches this line; nothing was written for it";
    if (const std::string suggestion = suggestStatement(t.currentLine); !suggestion.empty()) {
        message += "; did you mean " + suggestion + "?";
    }
    t.warnAtLine(message, 0);
}

std::string suggestStatement(std::string_view line) {
    // Pascal's assignment, n:=10;
    if (const std::size_t assign = line.find(":="); assign != none && assign < longestShownLine) {
        if (isPlainName(withoutTrailingBlanks(line.substr(0, assign))) &&
            line.size() < longestShownLine) {
            std::string mended("^");
            mended.append(line);
            if (!mended.ends_with(';')) mended.push_back(';');
            return mended;
        }
    }
    // A keyword without its "(", as in mult score,2);
    for (const StatementRow& row : statementTable()) {
        const std::string_view keyword = row.keyword;
        if (keyword.size() < 3 || keyword.back() != '(') continue;
        const std::string_view stem = keyword.substr(0, keyword.size() - 1);
        if (line.size() <= stem.size() || !isBlank(line[stem.size()])) continue;
        if (editDistance(line.substr(0, stem.size()), stem, 0) != 0) continue;
        if (line.size() >= longestShownLine) return std::string(keyword);
        std::string rest(withoutLeadingBlanks(line.substr(stem.size())));
        if (rest.ends_with(';') && !rest.ends_with(");")) rest.insert(rest.size() - 1, ")");
        return std::string(keyword) + rest;
    }
    // A misspelt keyword, two edits away at most (one for a short one).
    const std::string_view word = leadingWord(line);
    if (word.empty()) return {};
    std::string_view best;
    std::size_t bestDistance = 3;
    const char first = foldAsciiLetter(word.front());
    const char second = word.size() > 1 ? foldAsciiLetter(word[1]) : first;
    auto consider = [&](std::string_view candidate) {
        // A misspelling keeps the first letter, or swaps, drops or adds one there.
        if (candidate.size() < 3) return;
        const char c0 = foldAsciiLetter(candidate[0]);
        if (first != c0 && first != foldAsciiLetter(candidate[1]) && second != c0) return;
        const std::size_t limit = candidate.size() <= 4 ? 1 : 2;
        const std::size_t distance = editDistance(word, candidate, limit);
        if (distance <= limit && distance < bestDistance) {
            best = candidate;
            bestDistance = distance;
        }
    };
    for (const StatementRow& row : statementTable()) consider(row.keyword);
    for (std::string_view structural : structuralLines) consider(structural);
    consider("for(");
    return std::string(best);
}

}  // namespace trovik
