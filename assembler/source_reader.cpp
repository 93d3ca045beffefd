#include "source_reader.hpp"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>

#include "line_syntax.hpp"
#include "text.hpp"

namespace tasm {

namespace {

constexpr int maxIncludeDepth = 16;

class Reader {
  public:
    explicit Reader(const std::vector<std::string>& includeDirs) : includeDirs_(includeDirs) {}

    void readFile(const std::string& path, const Location& includedFrom, int depth);
    SourceText take() { return std::move(result_); }

  private:
    void readLine(std::string_view raw, const Location& where, int depth);
    void directive(std::string_view text, const Location& where, int depth);
    void define(std::string_view rest, const Location& where);
    void include(std::string_view rest, const Location& where, int depth);
    std::string expand(std::string_view text, std::vector<std::string>& active) const;
    void error(const Location& where, std::string message) {
        result_.errors.push_back({where, std::move(message)});
    }

    const std::vector<std::string>& includeDirs_;
    std::map<std::string, std::string> defines_;
    SourceText result_;
    bool ended_ = false;
};

std::string joinPath(const std::string& dir, const std::string& name) {
    if (dir.empty()) return name;
    return (std::filesystem::path(dir) / name).string();
}

void Reader::readFile(const std::string& path, const Location& includedFrom, int depth) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        const std::string why = std::strerror(errno);
        if (includedFrom.file.empty()) {
            error(Location{path, 0}, "cannot open the source file (" + why + ")");
        } else {
            error(includedFrom, "cannot open include file \"" + path + "\" (" + why + ")");
        }
        ended_ = true;
        return;
    }
    std::string raw;
    int lineNumber = 0;
    while (!ended_ && std::getline(in, raw)) {
        ++lineNumber;
        if (!raw.empty() && raw.back() == '\r') raw.pop_back();
        readLine(raw, Location{path, lineNumber}, depth);
    }
    if (in.bad()) error(Location{path, lineNumber}, "read error");
}

void Reader::readLine(std::string_view raw, const Location& where, int depth) {
    const std::string_view code = stripComment(raw);
    const std::string_view trimmed = trim(code);
    if (trimmed.empty()) return;
    if (trimmed.front() == '#') {
        directive(trimmed, where, depth);
        return;
    }
    std::vector<std::string> active;
    std::string text = expand(code, active);
    if (lower(splitFields(text).word) == ".end") {
        ended_ = true;
        return;
    }
    result_.lines.push_back({where, std::move(text)});
}

void Reader::directive(std::string_view text, const Location& where, int depth) {
    size_t nameEnd = 1;
    while (nameEnd < text.size() && !isBlank(text[nameEnd])) ++nameEnd;
    const std::string name = lower(text.substr(1, nameEnd - 1));
    const std::string_view rest = trim(text.substr(nameEnd));
    if (name == "define") {
        define(rest, where);
    } else if (name == "include") {
        include(rest, where, depth);
    } else {
        error(where, "unsupported directive #" + name);
    }
}

void Reader::define(std::string_view rest, const Location& where) {
    size_t i = 0;
    while (i < rest.size() && isNameChar(rest[i])) ++i;
    if (i == 0 || isDigit(rest[0])) {
        error(where, "#define needs a name");
        return;
    }
    if (i < rest.size() && rest[i] == '(') {
        error(where, "#define with arguments is not supported");
        return;
    }
    defines_[std::string(rest.substr(0, i))] = std::string(trim(rest.substr(i)));
}

void Reader::include(std::string_view rest, const Location& where, int depth) {
    const bool quoted = rest.size() >= 2 && ((rest.front() == '"' && rest.back() == '"') ||
                                             (rest.front() == '<' && rest.back() == '>'));
    if (!quoted) {
        error(where, "#include needs a file name in quotes");
        return;
    }
    const std::string name(rest.substr(1, rest.size() - 2));
    // A missing include would make every later use of its names an error
    // too, so reading stops at the first include that fails.
    if (depth >= maxIncludeDepth) {
        error(where, "includes nested more than " + std::to_string(maxIncludeDepth) + " deep");
        ended_ = true;
        return;
    }
    std::vector<std::string> dirs{std::filesystem::path(where.file).parent_path().string()};
    for (const std::string& dir : includeDirs_) {
        if (std::find(dirs.begin(), dirs.end(), dir) == dirs.end()) dirs.push_back(dir);
    }
    for (const std::string& dir : dirs) {
        const std::string candidate = joinPath(dir, name);
        std::error_code ignored;
        if (std::filesystem::is_regular_file(candidate, ignored)) {
            readFile(candidate, where, depth + 1);
            return;
        }
    }
    std::string looked;
    for (const std::string& dir : dirs) {
        looked += (looked.empty() ? "" : ", ") + (dir.empty() ? "." : dir);
    }
    error(where, "cannot find include file \"" + name + "\" (looked in " + looked + ")");
    ended_ = true;
}

// Replaces each defined name (a whole word, outside strings) by its text,
// whose own names are replaced in turn; a name is not replaced inside its own
// replacement, so definitions that refer to themselves stop.
std::string Reader::expand(std::string_view text, std::vector<std::string>& active) const {
    std::string out;
    for (size_t i = 0; i < text.size();) {
        if (const size_t quoted = quotedLength(text, i)) {
            out += text.substr(i, quoted);
            i += quoted;
            continue;
        }
        if (!isNameChar(text[i])) {
            out += text[i++];
            continue;
        }
        size_t end = i;
        while (end < text.size() && isNameChar(text[end])) ++end;
        const std::string word(text.substr(i, end - i));
        i = end;
        const auto found = defines_.find(word);
        if (found == defines_.end() ||
            std::find(active.begin(), active.end(), word) != active.end()) {
            out += word;
            continue;
        }
        active.push_back(word);
        out += expand(found->second, active);
        active.pop_back();
    }
    return out;
}

}  // namespace

SourceText readSource(const std::string& path, const std::vector<std::string>& includeDirs) {
    Reader reader(includeDirs);
    reader.readFile(path, Location{}, 0);
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
