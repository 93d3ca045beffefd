#pragma once
// The two outside services the translator needs: a text console and a way to
// start the assembler. The core only sees these interfaces, so it runs in
// tests without a terminal or an assembler.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace trovik {

enum class Stream { out, err };
enum class Attribute { normal, bright };

/// The console: standard output and standard error with a bright and a
/// normal text attribute, and standard input for reading a line.
class Console {
public:
    virtual ~Console() = default;
    /// Clears the screen that `stream` shows (only where it is a terminal).
    virtual void clearScreen(Stream stream) = 0;
    /// Switches the text attribute of later writes on `stream`.
    virtual void setAttribute(Stream stream, Attribute attribute) = 0;
    virtual void write(Stream stream, std::string_view text) = 0;
    /// Whether a person can type at standard input.
    virtual bool inputIsTerminal() = 0;
    /// Reads one line from standard input; false at its end.
    virtual bool readLine(std::string& line) = 0;
};

/// Starts an outside program found by the usual program search.
class ProcessStarter {
public:
    virtual ~ProcessStarter() = default;
    /// Runs `program` with `arguments` and waits for it to end. Its exit
    /// status is not looked at. Returns the reason when it could not be
    /// started, nothing when it ran.
    virtual std::optional<std::string> runAndWait(const std::string& program,
                                                  const std::vector<std::string>& arguments) = 0;
};

}  // namespace trovik
