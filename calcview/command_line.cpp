// SPDX-License-Identifier: GPL-2.0-or-later
#include "command_line.hpp"

#include <charconv>
#include <cmath>
#include <functional>
#include <map>
#include <sstream>

#include "keypad.hpp"

namespace calcview {

namespace {

constexpr int largestScale = 16;
constexpr double longestTimeLimit = 1e6;

bool parseScale(std::string_view text, Options& options, std::string& error) {
    int scale = 0;
    const auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), scale);
    if (status != std::errc() || end != text.data() + text.size() || scale < 1 ||
        scale > largestScale) {
        error = "--scale takes a whole number from 1 to 16";
        return false;
    }
    options.scale = scale;
    return true;
}

bool parseTimeLimit(std::string_view text, Options& options, std::string& error) {
    double seconds = 0;
    const auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), seconds);
    if (status != std::errc() || end != text.data() + text.size() || !std::isfinite(seconds) ||
        seconds <= 0 || seconds > longestTimeLimit) {
        error = "--time-limit takes a number of seconds above 0";
        return false;
    }
    options.timeLimit = seconds;
    return true;
}

bool parseKeys(std::string_view text, Options& options, std::string& error) {
    std::string cause;
    auto strokes = parseKeyScript(text, cause);
    if (!strokes) {
        error = "--keys: " + cause;
        return false;
    }
    options.keys = std::move(*strokes);
    return true;
}

bool setScreenshot(std::string_view text, Options& options, std::string&) {
    options.screenshot = std::filesystem::path(text);
    return true;
}

bool setSaveFolder(std::string_view text, Options& options, std::string&) {
    options.saveVariables = std::filesystem::path(text);
    return true;
}

bool parseSeed(std::string_view text, Options& options, std::string& error) {
    std::uint64_t seed = 0;
    const auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), seed);
    if (status != std::errc() || end != text.data() + text.size()) {
        error = "--seed takes a whole number from 0 to 18446744073709551615";
        return false;
    }
    options.seed = seed;
    return true;
}

using ValueParser = std::function<bool(std::string_view, Options&, std::string&)>;

const std::map<std::string_view, ValueParser>& valueOptions() {
    static const std::map<std::string_view, ValueParser> table = {
        {"--scale", parseScale},
        {"--keys", parseKeys},
        {"--time-limit", parseTimeLimit},
        {"--screenshot", setScreenshot},
        {"--save-variables", setSaveFolder},
        {"--seed", parseSeed},
    };
    return table;
}

}  // namespace

const std::vector<PcKey>& pcKeys() {
    static const std::vector<PcKey> table = {
        {"Up", "up"},
        {"Down", "down"},
        {"Left", "left"},
        {"Right", "right"},
        {"Return", "enter"},
        {"Keypad Enter", "enter"},
        {"Escape", "clear"},
        {"Backspace", "del"},
        {"Delete", "del"},
        {"Left Shift", "2nd"},
        {"Right Shift", "2nd"},
        {"Left Ctrl", "alpha"},
        {"Right Ctrl", "alpha"},
        {"Home", "mode"},
        {"F1", "y="},
        {"F2", "window"},
        {"F3", "zoom"},
        {"F4", "trace"},
        {"F5", "graph"},
        {"F12", "on"},
        {"Keypad +", "+"},
        {"Keypad -", "-"},
        {"-", "-"},
        {"Keypad *", "*"},
        {"Keypad /", "/"},
        {"/", "/"},
        {",", ","},
        {".", "."},
        {"Keypad .", "."},
        {"[", "("},
        {"]", ")"},
    };
    return table;
}

std::optional<Options> parseCommandLine(const std::vector<std::string_view>& args,
                                        std::string& error) {
    Options options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        // --option=value as well as --option value.
        const std::size_t equals = arg.starts_with("--") ? arg.find('=') : std::string_view::npos;
        const std::string_view name = arg.substr(0, equals);
        if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--version") {
            options.version = true;
        } else if (arg == "--dap") {
            if (args.size() != 1) {
                error = "--dap takes no other arguments: the program and its options come in the "
                        "debugger's launch request";
                return std::nullopt;
            }
            options.dap = true;
        } else if (arg == "--headless") {
            options.headless = true;
        } else if (const auto found = valueOptions().find(name); found != valueOptions().end()) {
            if (equals == std::string_view::npos && i + 1 >= args.size()) {
                error = std::string(arg) + " needs a value";
                return std::nullopt;
            }
            const std::string_view value =
                equals == std::string_view::npos ? args[++i] : arg.substr(equals + 1);
            if (!found->second(value, options, error)) return std::nullopt;
        } else if (arg.starts_with("-") && arg.size() > 1) {
            error = "unknown option " + std::string(arg);
            return std::nullopt;
        } else {
            options.files.emplace_back(arg);
        }
    }
    if (!options.help && !options.version && options.files.empty() && options.headless) {
        error = "no program file given (--headless needs one)";
        return std::nullopt;
    }
    return options;
}

std::string helpText() {
    std::ostringstream text;
    text << "usage: calcview [options] PROGRAM.83p|PROGRAM.bin [FILE.83p|FILE.83g...]\n"
            "       calcview [options]\n"
            "       calcview --dap\n"
            "Runs a TI-83 assembly program on a Z80 with the calculator's system routines\n"
            "carried out by calcview (no ROM image needed) and shows its 96 x 64 screen.\n"
            "Every variable of every file is put into the calculator's memory, as the\n"
            "calculator keeps it; the first file's program runs.\n"
            "Without a program the window asks for one: drop a .83p, .83g or .bin file on\n"
            "it. A drop on the window runs the dropped program afresh, with the data files\n"
            "dropped together beside it.\n\n"
            "  --scale N              window and screenshot pixels per calculator pixel (1-16, "
            "default 4)\n"
            "  --headless             no window: run PROGRAM as fast as possible\n"
            "  --keys LIST            keys to press, e.g. \"right:150,clear\": a key name and an\n"
            "                         optional hold in ms (default 100), comma-separated, each\n"
            "                         pressed 100 ms after the one before was released\n"
            "  --time-limit SECONDS   stop after this much calculator time; a window closes\n"
            "                         then, however the program ended\n"
            "  --screenshot FILE.png  save the screen when the run ends, however it ends\n"
            "  --save-variables FOLDER\n"
            "                         when the run ends (unless it faulted), write each\n"
            "                         variable the program created or changed as\n"
            "                         FOLDER/NAME.83p; give them back with FOLDER/*.83p\n"
            "  --seed N               start the random numbers (ionRandom, _Random, R) from N;\n"
            "                         by default a headless run always draws the same ones\n"
            "                         and a window run seeds them from the clock\n"
            "  --help, -h             show this text\n"
            "  --version              print calcview's version\n"
            "  --dap                  be a debugger for an editor: the Debug Adapter Protocol\n"
            "                         on standard input and output (the only argument; the\n"
            "                         program comes in the launch request, see the README)\n"
            "An option with a value also takes it after '=', as in --scale=2.\n\n"
            "Exit status: 0 the program returned or the window was closed; 3 the time limit\n"
            "stopped it; 1 the program faulted (ran away, called a routine calcview does not\n"
            "carry out, ran its stack into memory the calculator would lose), a routine met\n"
            "an error that stops a program on the calculator (a division by 0, a number too\n"
            "large), a file could not be read or written, the variables do not fit in\n"
            "memory, or there is no display for the window; 2 a bad command line; 130\n"
            "Ctrl+C or SIGTERM stopped a headless run (the screenshot is still saved).\n\n"
            "Key names for --keys:";
    int column = 0;
    for (const KeyInfo& key : allKeys()) {
        if (column % 12 == 0) text << "\n ";
        text << ' ' << key.name;
        ++column;
    }
    text << "\n  and the letters a-z (the key that carries the letter).\n\n"
            "Keys in the window: letters and digits press the key with that letter or digit;";
    std::string line;
    for (std::size_t i = 0; i < pcKeys().size(); ++i) {
        const PcKey& key = pcKeys()[i];
        std::string item = std::string(key.pcKey) + " = " + std::string(key.calcKey);
        if (i % 4 != 3) item.resize(std::max<std::size_t>(item.size() + 2, 23), ' ');
        line += item;
        if (i % 4 == 3 || i + 1 == pcKeys().size()) {
            while (!line.empty() && line.back() == ' ') line.pop_back();
            text << "\n  " << line;
            line.clear();
        }
    }
    text << "\n";
    return text.str();
}

}  // namespace calcview
