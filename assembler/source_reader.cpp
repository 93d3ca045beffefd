// SPDX-License-Identifier: GPL-2.0-or-later
#include "source_reader.hpp"

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>

#include "expressions.hpp"
#include "layout.hpp"
#include "line_syntax.hpp"
#include "text.hpp"

namespace tasm {

namespace {

struct Macro {
    Location where;
    bool takesArguments = false;
    std::vector<std::string> parameters;
    std::string body;
};

// One #if, #ifdef or #ifndef that is open.
struct Condition {
    Location where;
    std::string directive;
    bool outerTaking = true;  // the lines around it are assembled
    bool holds = false;       // its condition is true
    bool seenElse = false;
    bool taking() const { return outerTaking && (holds != seenElse); }
};

std::string hexByte(unsigned char c) {
    static constexpr char digits[] = "0123456789ABCDEF";
    return std::string{digits[c >> 4], digits[c & 0xF]} + "h";
}

// A byte that has no place in a text file (TAB, CR and form feed do).
bool isBinary(unsigned char c) { return c < 0x20 && c != '\t' && c != '\r' && c != '\f'; }

size_t nameLength(std::string_view text, size_t at) {
    size_t end = at;
    while (end < text.size() && isNameChar(text[end])) ++end;
    return end - at;
}

// Copies `text` to `out`, all but its names (outside strings and character
// constants): for each of those `onName(name, i)` is called, i being the
// index after the name; it appends what the name stands for and may move i
// further. Stops with false as soon as `onName` returns false.
template <typename OnName>
bool copyNames(std::string_view text, std::string& out, OnName onName) {
    for (size_t i = 0; i < text.size();) {
        if (const size_t quoted = quotedLength(text, i)) {
            out += text.substr(i, quoted);
            i += quoted;
            continue;
        }
        const size_t length = nameLength(text, i);
        if (length == 0) {
            out += text[i++];
            continue;
        }
        const std::string_view name = text.substr(i, length);
        i += length;
        if (!onName(name, i)) return false;
    }
    return true;
}

// Replaces each parameter, as a whole word outside strings, by its argument.
std::string substitute(std::string_view body, const Macro& macro,
                       const std::vector<std::string>& arguments) {
    std::string out;
    copyNames(body, out, [&](std::string_view word, size_t&) {
        const auto found = std::find(macro.parameters.begin(), macro.parameters.end(), word);
        if (found == macro.parameters.end()) {
            out += word;
        } else {
            out += arguments[static_cast<size_t>(found - macro.parameters.begin())];
        }
        return true;
    });
    return out;
}

// The statements of one line, split at each '\\' outside strings. Those after
// the first are indented unless they begin with "label:".
std::vector<std::string> splitStatements(std::string_view line) {
    std::vector<std::string> statements;
    size_t start = 0;
    const auto add = [&](size_t end) {
        std::string_view piece = line.substr(start, end - start);
        if (start != 0) piece = trim(piece);
        if (trim(piece).empty()) return;
        const std::string_view word = piece.substr(0, piece.find_first_of(" \t"));
        const bool indent = start != 0 && word.back() != ':';
        std::string statement = indent ? "\t" : "";
        statement += piece;
        statements.push_back(std::move(statement));
    };
    for (size_t i = 0; i < line.size();) {
        if (const size_t quoted = quotedLength(line, i)) {
            i += quoted;
            continue;
        }
        if (line[i] == '\\') {
            add(i);
            start = i + 1;
        }
        ++i;
    }
    add(line.size());
    return statements;
}

class Reader {
  public:
    Reader(const SourceFiles& files, const std::vector<std::string>& includeDirs)
        : files_(files), includeDirs_(includeDirs) {}

    void readMain(const std::string& path);
    SourceText take() { return std::move(result_); }

  private:
    void readFile(const std::string& path, const Location& includedFrom, int depth);
    void readLines(std::string_view text, const std::string& path, int depth);
    void readLine(std::string_view raw, const Location& where, int depth);
    void readStatements(std::string_view raw, const Location& where);
    void directive(std::string_view text, const Location& where, int depth);
    bool conditional(const std::string& name, std::string_view rest, const Location& where);
    bool condition(const std::string& name, std::string_view rest, const Location& where);
    bool clashesWithDefine(std::string_view code, std::string_view expanded, const Location& where);
    void define(std::string_view rest, const Location& where);
    void defcont(std::string_view rest, const Location& where);
    void include(std::string_view rest, const Location& where, int depth);
    std::optional<std::string> expand(std::string_view text, const Location& where);
    bool expandInto(std::string_view text, std::vector<std::string>& active, std::string& out,
                    const Location& where);
    bool expandMacro(const std::string& name, std::string_view text, size_t& i,
                     std::vector<std::string>& active, std::string& out, const Location& where);
    bool taking() const { return conditions_.empty() || conditions_.back().taking(); }
    void error(const Location& where, std::string message) {
        result_.errors.push_back({where, std::move(message)});
    }
    // Reading stops at once, for errors that would only bring more errors.
    void stop(const Location& where, std::string message, Failure kind = Failure::source) {
        result_.errors.push_back({where, std::move(message), kind});
        ended_ = true;
    }

    const SourceFiles& files_;
    const std::vector<std::string>& includeDirs_;
    std::map<std::string, Macro> macros_;
    Layout layout_;
    std::string lastDefine_;
    std::vector<Condition> conditions_;
    std::vector<std::string> reading_;  // the files being read, outermost first
    SourceText result_;
    size_t sourceSize_ = 0;
    bool ended_ = false;
};

void Reader::readMain(const std::string& path) {
    readFile(path, Location{}, 0);
    if (ended_) return;
    for (const Condition& open : conditions_) {
        error(open.where, open.directive + " has no #endif");
    }
}

void Reader::readFile(const std::string& path, const Location& includedFrom, int depth) {
    const std::string normal = std::filesystem::path(path).lexically_normal().string();
    if (std::find(reading_.begin(), reading_.end(), normal) != reading_.end()) {
        return stop(includedFrom, "\"" + path + "\" includes itself");
    }
    const FileText file = files_.read(path);
    if (!file.text) {
        if (includedFrom.file.empty()) {
            return stop(Location{path, 0}, "cannot open the source file (" + file.why + ")",
                        Failure::fileAccess);
        }
        return stop(includedFrom, "cannot open include file \"" + path + "\" (" + file.why + ")",
                    Failure::fileAccess);
    }
    // Editors on other systems may open a file with a byte order mark or end
    // it with Ctrl-Z.
    std::string_view text = *file.text;
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    text = text.substr(0, text.find('\x1A'));
    reading_.push_back(normal);
    readLines(text, path, depth);
    reading_.pop_back();
}

void Reader::readLines(std::string_view text, const std::string& path, int depth) {
    int lineNumber = 0;
    while (!ended_ && !text.empty()) {
        const size_t newline = text.find('\n');
        std::string_view raw = text.substr(0, newline);
        text.remove_prefix(newline == std::string_view::npos ? text.size() : newline + 1);
        const Location where{path, ++lineNumber};
        if (raw.size() > maxLineLength) {
            error(where, "line is longer than " + std::to_string(maxLineLength) + " characters");
            continue;
        }
        if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
        const auto binary = std::find_if(
            raw.begin(), raw.end(), [](char c) { return isBinary(static_cast<unsigned char>(c)); });
        if (binary != raw.end()) {
            return stop(where, "byte " + hexByte(static_cast<unsigned char>(*binary)) +
                                   " does not belong in a source text");
        }
        readLine(raw, where, depth);
    }
}

void Reader::readLine(std::string_view raw, const Location& where, int depth) {
    const size_t first = result_.lines.size();
    const size_t entry = result_.listed.size();
    result_.listed.push_back({where, depth, std::string(raw), false, first, 0});
    const std::string_view trimmed = trim(stripComment(raw));
    if (!trimmed.empty() && trimmed.front() == '#') {
        // An include's lines are its file's, not this line's.
        directive(trimmed, where, depth);
    } else {
        readStatements(raw, where);
        result_.listed[entry].statements = result_.lines.size() - first;
    }
    result_.listed[entry].skipped = !taking();
}

void Reader::readStatements(std::string_view raw, const Location& where) {
    const std::string_view code = stripComment(raw);
    if (trim(code).empty() || !taking()) return;
    const std::optional<std::string> expanded = expand(code, where);
    if (!expanded || clashesWithDefine(code, *expanded, where)) return;
    for (std::string& statement : splitStatements(*expanded)) {
        const LineFields fields = splitFields(statement);
        if (lower(fields.word) == ".end") {
            ended_ = true;
            return;
        }
        layout_.add(statement, fields, where);
        sourceSize_ += statement.size();
        if (sourceSize_ > maxSourceSize) {
            return stop(where,
                        "the source grows beyond " + std::to_string(maxSourceSize >> 20) +
                            " MiB with its macros expanded",
                        Failure::memory);
        }
        result_.lines.push_back({where, std::move(statement)});
    }
}

void Reader::directive(std::string_view text, const Location& where, int depth) {
    size_t nameEnd = 1;
    while (nameEnd < text.size() && !isBlank(text[nameEnd]) && text[nameEnd] != '(') ++nameEnd;
    const std::string name = lower(text.substr(1, nameEnd - 1));
    const std::string_view rest = trim(text.substr(nameEnd));
    if (conditional(name, rest, where) || !taking()) return;
    if (name == "define") {
        define(rest, where);
    } else if (name == "defcont") {
        defcont(rest, where);
    } else if (name == "include") {
        include(rest, where, depth);
    } else {
        error(where, "unknown directive #" + name);
    }
}

// Handles #if, #ifdef, #ifndef, #else and #endif; false for any other.
bool Reader::conditional(const std::string& name, std::string_view rest, const Location& where) {
    if (name == "if" || name == "ifdef" || name == "ifndef") {
        const bool outer = taking();
        conditions_.push_back({where, "#" + name, outer, outer && condition(name, rest, where)});
    } else if (name == "else") {
        if (conditions_.empty()) {
            error(where, "#else without #if");
        } else if (conditions_.back().seenElse) {
            const Location& open = conditions_.back().where;
            error(where, "second #else for the " + conditions_.back().directive + " at " +
                             open.file + ":" + std::to_string(open.line));
        } else {
            conditions_.back().seenElse = true;
        }
    } else if (name == "endif") {
        if (conditions_.empty()) {
            error(where, "#endif without #if");
        } else {
            conditions_.pop_back();
        }
    } else {
        return false;
    }
    return true;
}

bool Reader::condition(const std::string& name, std::string_view rest, const Location& where) {
    if (name != "if") {
        const size_t length = nameLength(rest, 0);
        if (length == 0 || length != rest.size()) {
            error(where, "#" + name + " needs one name");
            return false;
        }
        return (macros_.count(std::string(rest)) != 0) == (name == "ifdef");
    }
    const std::optional<std::string> expanded = expand(rest, where);
    if (!expanded) return false;
    const Layout::Evaluation evaluation = layout_.evaluate(*expanded);
    const Evaluated& result = evaluation.result;
    if (!result.error.empty()) {
        std::string why = result.error;
        const Location& lost = layout_.lostAt();
        if (!layout_.location() && why.starts_with("the location counter")) {
            why += " (the address after " + lost.file + ":" + std::to_string(lost.line) +
                   " is not known)";
        }
        error(where, "#if " + std::string(trim(*expanded)) + ": " + why);
        return false;
    }
    if (evaluation.usesAddress && layout_.location()) {
        result_.addressChecks.push_back({result_.lines.size(), *layout_.location(), where, ""});
    }
    return result.value != 0;
}

// A name in column 1 that a #define of another file replaces: a name of the
// program (a variable is a #define) that an include file defines as a label
// too, or the other way round. A macro that makes the line a directive or an
// instruction is no clash.
bool Reader::clashesWithDefine(std::string_view code, std::string_view expanded,
                               const Location& where) {
    const size_t length = nameLength(code, 0);
    if (length == 0) return false;
    const std::string name(code.substr(0, length));
    const auto found = macros_.find(name);
    if (found == macros_.end() || found->second.where.file == where.file) return false;
    if (expanded.empty() || expanded[0] == '.' || isBlank(expanded[0])) return false;
    const Location& defined = found->second.where;
    error(where, "\"" + name + "\" is defined twice: here and at " + defined.file + ":" +
                     std::to_string(defined.line));
    return true;
}

void Reader::define(std::string_view rest, const Location& where) {
    const size_t length = nameLength(rest, 0);
    if (length == 0 || isDigit(rest[0])) return error(where, "#define needs a name");
    const std::string name(rest.substr(0, length));
    Macro macro;
    macro.where = where;
    rest.remove_prefix(length);
    if (!rest.empty() && rest.front() == '(') {
        const size_t close = rest.find(')');
        if (close == std::string_view::npos)
            return error(where, "#define " + name + "( has no ')'");
        macro.takesArguments = true;
        for (const std::string& parameter : splitOperands(rest.substr(1, close - 1))) {
            if (parameter.empty() || nameLength(parameter, 0) != parameter.size()) {
                return error(where, "#define " + name + ": bad parameter \"" + parameter + "\"");
            }
            macro.parameters.push_back(parameter);
        }
        rest.remove_prefix(close + 1);
    }
    macro.body = trim(rest);
    macros_[name] = std::move(macro);
    lastDefine_ = name;
}

void Reader::defcont(std::string_view rest, const Location& where) {
    const auto found = macros_.find(lastDefine_);
    if (found == macros_.end()) return error(where, "#defcont without a #define before it");
    std::string& body = found->second.body;
    body += (body.empty() ? "" : " ") + std::string(rest);
}

void Reader::include(std::string_view rest, const Location& where, int depth) {
    const bool quoted = rest.size() >= 2 && ((rest.front() == '"' && rest.back() == '"') ||
                                             (rest.front() == '<' && rest.back() == '>'));
    // DOS TASM also took the name without quotes: #include ion.inc.
    const bool bare = !rest.empty() && rest.front() != '"' && rest.front() != '<' &&
                      std::none_of(rest.begin(), rest.end(), isBlank);
    if (!quoted && !bare) return error(where, "#include needs a file name, as \"file.inc\"");
    const std::string name(quoted ? rest.substr(1, rest.size() - 2) : rest);
    // A missing include would make every later use of its names an error
    // too, so reading stops at the first include that fails.
    if (depth >= maxIncludeDepth) {
        return stop(where,
                    "includes nested more than " + std::to_string(maxIncludeDepth) + " deep");
    }
    std::vector<std::string> dirs{std::filesystem::path(where.file).parent_path().string()};
    for (const std::string& dir : includeDirs_) {
        if (std::find(dirs.begin(), dirs.end(), dir) == dirs.end()) dirs.push_back(dir);
    }
    for (const std::string& dir : dirs) {
        if (const std::optional<std::string> found = files_.find(dir, name)) {
            return readFile(*found, where, depth + 1);
        }
    }
    std::string looked;
    for (const std::string& dir : dirs) {
        looked += (looked.empty() ? "" : ", ") + (dir.empty() ? "." : dir);
    }
    stop(where, "cannot find include file \"" + name + "\" (looked in " + looked + ")",
         Failure::fileAccess);
}

std::optional<std::string> Reader::expand(std::string_view text, const Location& where) {
    std::vector<std::string> active;
    std::string out;
    if (!expandInto(text, active, out, where)) return std::nullopt;
    return out;
}

// Copies `text` to `out` with each macro replaced by its expansion.
bool Reader::expandInto(std::string_view text, std::vector<std::string>& active, std::string& out,
                        const Location& where) {
    return copyNames(text, out, [&](std::string_view name, size_t& i) {
        const std::string word(name);
        if (macros_.count(word) == 0) {
            out += word;
        } else if (!expandMacro(word, text, i, active, out, where)) {
            return false;
        }
        if (out.size() <= maxExpandedLength) return true;
        error(where, "the line grows beyond " + std::to_string(maxExpandedLength) +
                         " characters with its macros expanded");
        return false;
    });
}

// Expands the macro `name`, whose name ends before text[i]; a macro with
// arguments takes them from the parentheses that follow, moving i past them.
bool Reader::expandMacro(const std::string& name, std::string_view text, size_t& i,
                         std::vector<std::string>& active, std::string& out,
                         const Location& where) {
    const Macro& macro = macros_.at(name);
    if (std::find(active.begin(), active.end(), name) != active.end()) {
        error(where, "the macro " + name + " expands into itself");
        return false;
    }
    if (static_cast<int>(active.size()) >= maxMacroDepth) {
        error(where, "macros nested more than " + std::to_string(maxMacroDepth) + " deep");
        return false;
    }
    std::string body = macro.body;
    if (macro.takesArguments) {
        size_t open = i;
        while (open < text.size() && isBlank(text[open])) ++open;
        if (open == text.size() || text[open] != '(') {
            out += name;  // the name alone, not a use of the macro
            return true;
        }
        const size_t close = open + closingParenthesis(text.substr(open));
        if (close < open) {
            error(where, name + "( has no closing ')'");
            return false;
        }
        std::vector<std::string> arguments;
        for (const std::string& argument : splitOperands(text.substr(open + 1, close - open - 1))) {
            std::string expanded;
            if (!expandInto(argument, active, expanded, where)) return false;
            arguments.push_back(std::move(expanded));
        }
        if (arguments.empty()) arguments.emplace_back();
        if (arguments.size() != std::max<size_t>(macro.parameters.size(), 1)) {
            error(where, name + " takes " + std::to_string(macro.parameters.size()) +
                             " arguments, not " + std::to_string(arguments.size()));
            return false;
        }
        if (!macro.parameters.empty()) body = substitute(macro.body, macro, arguments);
        i = close + 1;
    }
    active.push_back(name);
    const bool expanded = expandInto(body, active, out, where);
    active.pop_back();
    return expanded;
}

}  // namespace

SourceText readSource(const std::string& path, const SourceFiles& files,
                      const std::vector<std::string>& includeDirs) {
    Reader reader(files, includeDirs);
    reader.readMain(path);
    return reader.take();
}

std::vector<std::string> splitIncludePath(const char* value) {
    std::vector<std::string> dirs;
    if (value == nullptr) return dirs;
    std::string_view rest(value);
    while (!rest.empty()) {
        const size_t colon = rest.find(':');
        const std::string_view dir = rest.substr(0, colon);
        if (!dir.empty()) dirs.emplace_back(dir);
        if (colon == std::string_view::npos) break;
        rest.remove_prefix(colon + 1);
    }
    return dirs;
}

}  // namespace tasm
