// SPDX-License-Identifier: GPL-2.0-or-later
// The requests as a table: each row names a command, what must have happened
// before it can be answered, and the member that answers it. A member returns
// the response's body; it refuses by throwing Refusal, which dispatch turns
// into an error response, so that a missing or wrong-typed argument deep in a
// request costs one line where it is read. Nothing a client sends ends the
// adapter but disconnect and the end of its input.

#include "dap_server.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <chrono>
#include <cmath>
#include <filesystem>

#include "calculator.hpp"
#include "key_script.hpp"
#include "program_build.hpp"
#include "session.hpp"
#include "window_host.hpp"

namespace calcview::dap {

namespace {

using Clock = std::chrono::steady_clock;

constexpr int threadId = 1;
constexpr const char* threadName = "TI-83";
/// Calculator time run between two looks at the input when headless: short
/// enough that pause answers at once, long enough that looking costs nothing.
constexpr std::uint64_t headlessSlice = clockHz / 100;
constexpr int frameMilliseconds = 16;
/// When a window run falls further behind than this, it skips the lost time.
constexpr std::uint64_t largestLag = clockHz / 4;
constexpr std::size_t largestRead = 1u << 16;
constexpr int largestDisassembly = 4096;

/// A request that cannot be answered, and why (for the user).
struct Refusal {
    std::string message;
};

[[noreturn]] void refuseWith(std::string message) { throw Refusal{std::move(message)}; }

// Reading arguments: each names what was wrong in the client's terms.

const Json& member(const Json& args, const char* name) {
    static const Json absent;
    if (!args.is_object()) return absent;
    const auto found = args.find(name);
    return found == args.end() ? absent : *found;
}

std::string quoted(const char* name) { return std::string("\"") + name + "\""; }

std::optional<std::string> optionalString(const Json& args, const char* name) {
    const Json& value = member(args, name);
    if (value.is_null()) return std::nullopt;
    if (!value.is_string()) refuseWith(quoted(name) + " must be a string");
    return value.get<std::string>();
}

std::string requiredString(const Json& args, const char* name) {
    auto value = optionalString(args, name);
    if (!value) refuseWith(quoted(name) + " is missing");
    return *value;
}

std::optional<std::int64_t> optionalInteger(const Json& args, const char* name) {
    const Json& value = member(args, name);
    if (value.is_null()) return std::nullopt;
    if (!value.is_number_integer()) refuseWith(quoted(name) + " must be a whole number");
    return value.get<std::int64_t>();
}

std::int64_t requiredInteger(const Json& args, const char* name) {
    auto value = optionalInteger(args, name);
    if (!value) refuseWith(quoted(name) + " is missing");
    return *value;
}

int intIn(const Json& args, const char* name, std::int64_t low, std::int64_t high,
          std::optional<std::int64_t> fallback = std::nullopt) {
    const auto value =
        fallback ? optionalInteger(args, name).value_or(*fallback) : requiredInteger(args, name);
    if (value < low || value > high) {
        refuseWith(quoted(name) + " must be from " + std::to_string(low) + " to " +
                   std::to_string(high));
    }
    return static_cast<int>(value);
}

bool optionalBool(const Json& args, const char* name, bool fallback) {
    const Json& value = member(args, name);
    if (value.is_null()) return fallback;
    if (!value.is_boolean()) refuseWith(quoted(name) + " must be true or false");
    return value.get<bool>();
}

const Json& optionalArray(const Json& args, const char* name) {
    static const Json empty = Json::array();
    const Json& value = member(args, name);
    if (value.is_null()) return empty;
    if (!value.is_array()) refuseWith(quoted(name) + " must be a list");
    return value;
}

std::vector<std::string> stringList(const Json& args, const char* name) {
    std::vector<std::string> list;
    for (const Json& item : optionalArray(args, name)) {
        if (!item.is_string()) refuseWith(quoted(name) + " must be a list of strings");
        list.push_back(item.get<std::string>());
    }
    return list;
}

debug::Granularity granularityOf(const Json& args) {
    const auto name = optionalString(args, "granularity").value_or("statement");
    return name == "instruction" ? debug::Granularity::instruction : debug::Granularity::statement;
}

void checkThread(const Json& args) {
    const auto id = optionalInteger(args, "threadId");
    if (id && *id != threadId) {
        refuseWith("there is no thread " + std::to_string(*id) + ": the one thread is " +
                   std::to_string(threadId) + " (" + threadName + ")");
    }
}

/// "0x9328", "9328h", "$9328" or decimal.
std::uint16_t addressOf(const std::string& reference) {
    std::string_view text = reference;
    int base = 10;
    if (text.starts_with("0x") || text.starts_with("0X")) {
        text.remove_prefix(2);
        base = 16;
    } else if (text.starts_with("$")) {
        text.remove_prefix(1);
        base = 16;
    } else if (text.ends_with('h') || text.ends_with('H')) {
        text.remove_suffix(1);
        base = 16;
    }
    unsigned value = 0;
    const auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || status != std::errc() || end != text.data() + text.size() ||
        value > 0xFFFF) {
        refuseWith("\"" + reference + "\" is not an address from 0 to 0xFFFF");
    }
    return static_cast<std::uint16_t>(value);
}

std::string hexAddress(std::uint16_t address) {
    constexpr char digits[] = "0123456789ABCDEF";
    std::string text = "0x";
    for (int shift = 12; shift >= 0; shift -= 4) text += digits[address >> shift & 0xF];
    return text;
}

std::string base64(const std::vector<std::uint8_t>& bytes) {
    constexpr char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t left = bytes.size() - i;
        const std::uint32_t group = static_cast<std::uint32_t>(bytes[i]) << 16 |
                                    (left > 1 ? bytes[i + 1] << 8 : 0) |
                                    (left > 2 ? bytes[i + 2] : 0);
        text += alphabet[group >> 18 & 63];
        text += alphabet[group >> 12 & 63];
        text += left > 1 ? alphabet[group >> 6 & 63] : '=';
        text += left > 2 ? alphabet[group & 63] : '=';
    }
    return text;
}

}  // namespace

/// What the debugger's window shows: the launch's calculator, whose program
/// the session runs; the keys typed go to the session, which records them so
/// that stepping back and forth replays them.
class DebuggerHost final : public CalculatorHost {
  public:
    DebuggerHost(Calculator& calc, std::string title, debug::Session& session)
        : CalculatorHost(calc, std::move(title), nullptr), session_(session) {}
    RunState run(std::uint64_t) override { return state(); }
    void pressKey(int key) override { session_.pressKey(key); }
    void releaseKey(int key) override { session_.releaseKey(key); }
    bool restart(const std::vector<std::filesystem::path>&, std::string& error) override {
        error = "a program dropped on the window is not debugged: launch it";
        return false;
    }

  private:
    debug::Session& session_;
};

/// What a launch set up: the machine, the session over it, the window.
struct Server::Launch {
    Calculator calc;
    std::unique_ptr<debug::Session> session;
    std::string title;
    bool stopOnEntry = false;
    /// A window run after continue keeps the calculator's pace; a step
    /// runs as fast as it can, so that it answers at once.
    bool paced = true;
    // A window run keeps the calculator's clock to the wall clock's.
    Clock::time_point paceStart = Clock::now();
    std::uint64_t paceCycle = 0;
    std::unique_ptr<WindowHost> host;  ///< what the window shows
    std::unique_ptr<ScreenWindow> window;
};

/// When a request may be answered.
enum class Needs { nothing, initialize, launch, stopped };

struct Server::Handler {
    std::string_view command;
    Needs needs;
    Json (Server::*answer)(const Json& args);
};

const std::vector<Server::Handler>& Server::handlers() {
    static const std::vector<Handler> table = {
        {"initialize", Needs::nothing, &Server::initialize},
        {"launch", Needs::initialize, &Server::launch},
        {"setBreakpoints", Needs::launch, &Server::setBreakpoints},
        {"setFunctionBreakpoints", Needs::launch, &Server::setFunctionBreakpoints},
        {"setExceptionBreakpoints", Needs::launch, &Server::setExceptionBreakpoints},
        {"dataBreakpointInfo", Needs::launch, &Server::dataBreakpointInfo},
        {"setDataBreakpoints", Needs::launch, &Server::setDataBreakpoints},
        {"configurationDone", Needs::launch, &Server::configurationDone},
        {"threads", Needs::initialize, &Server::threads},
        {"continue", Needs::stopped, &Server::continueRun},
        {"next", Needs::stopped, &Server::next},
        {"stepIn", Needs::stopped, &Server::stepIn},
        {"stepOut", Needs::stopped, &Server::stepOut},
        {"stepBack", Needs::stopped, &Server::stepBack},
        {"reverseContinue", Needs::stopped, &Server::reverseContinue},
        {"pause", Needs::launch, &Server::pause},
        {"stackTrace", Needs::stopped, &Server::stackTrace},
        {"scopes", Needs::stopped, &Server::scopes},
        {"variables", Needs::stopped, &Server::variables},
        {"setVariable", Needs::stopped, &Server::setVariable},
        {"evaluate", Needs::stopped, &Server::evaluate},
        {"readMemory", Needs::stopped, &Server::readMemory},
        {"disassemble", Needs::stopped, &Server::disassemble},
        {"exceptionInfo", Needs::stopped, &Server::exceptionInfo},
        {"terminate", Needs::initialize, &Server::terminate},
        {"disconnect", Needs::nothing, &Server::disconnect},
    };
    return table;
}

Server::Server(Send send, WindowOpener openWindow)
    : send_(std::move(send)), openWindow_(std::move(openWindow)) {}

Server::~Server() = default;

// ---- Messages out ----------------------------------------------------------

void Server::answer(const Json& request, const std::optional<Json>& body) {
    Json response = {{"seq", ++seq_},
                     {"type", "response"},
                     {"request_seq", request["seq"]},
                     {"success", true},
                     {"command", request["command"]}};
    if (body && !body->is_null()) response["body"] = *body;
    send_(response);
}

void Server::refuse(const Json& request, const std::string& message) {
    const Json seq = request.is_object() ? request.value("seq", Json(0)) : Json(0);
    const Json command = request.is_object() ? request.value("command", Json("")) : Json("");
    send_({{"seq", ++seq_},
           {"type", "response"},
           {"request_seq", seq},
           {"success", false},
           {"command", command},
           {"message", message},
           {"body", {{"error", {{"id", 1}, {"format", message}, {"showUser", true}}}}}});
}

void Server::event(const std::string& name, const std::optional<Json>& body) {
    Json message = {{"seq", ++seq_}, {"type", "event"}, {"event", name}};
    if (body) message["body"] = *body;
    send_(message);
}

void Server::console(const std::string& text, const std::string& category) {
    event("output",
          Json{{"category", category}, {"output", text.ends_with('\n') ? text : text + "\n"}});
}

// ---- Messages in -----------------------------------------------------------

void Server::receive(const Incoming& incoming) {
    if (!incoming.message) {
        console("calcview: " + incoming.problem);
        return;
    }
    const Json& message = *incoming.message;
    const Json& seq = member(message, "seq");
    const Json& command = member(message, "command");
    if (!seq.is_number_integer() || !command.is_string() || member(message, "type") != "request") {
        std::string problem = incoming.problem.empty() ? "" : incoming.problem + "; ";
        problem +=
            "a message that is not a request (one needs \"type\": \"request\", a whole "
            "number \"seq\" and a \"command\")";
        if (seq.is_number_integer() && command.is_string()) {
            refuse(message, problem);
        } else {
            console("calcview: " + problem);
        }
        return;
    }
    if (!incoming.problem.empty()) console("calcview: " + incoming.problem);
    dispatch(message);
}

void Server::dispatch(const Json& request) {
    const std::string command = request["command"].get<std::string>();
    const auto row =
        std::find_if(handlers().begin(), handlers().end(),
                     [&](const Handler& handler) { return handler.command == command; });
    try {
        if (row == handlers().end()) {
            refuseWith("calcview does not know the request \"" + command + "\"");
        }
        if (row->needs != Needs::nothing && !initialized_) refuseWith("send initialize first");
        if (row->needs == Needs::launch) session();
        if (row->needs == Needs::stopped) stoppedSession();
        const Json& args = member(request, "arguments");
        if (!args.is_null() && !args.is_object()) refuseWith("\"arguments\" must be an object");
        const Json body = (this->*row->answer)(args);
        answer(request, body);
        if (command == "launch") event("initialized");
        if (command == "disconnect") finished_ = true;
    } catch (const Refusal& refusal) {
        refuse(request, command + ": " + refusal.message);
    }
}

debug::Session& Server::session() {
    if (ended_) refuseWith("the program has ended");
    if (!launch_) refuseWith("launch a program first");
    return *launch_->session;
}

debug::Session& Server::stoppedSession() {
    debug::Session& running = session();
    if (!configured_) refuseWith("the program has not started yet (send configurationDone)");
    if (running.ended()) refuseWith("the program has ended");
    if (running.running()) refuseWith("the program is running: pause it first");
    return running;
}

// ---- Starting ---------------------------------------------------------------

Json Server::initialize(const Json& args) {
    if (initialized_) refuseWith("the session is already initialized");
    initialized_ = true;
    lineBase_ = optionalBool(args, "linesStartAt1", true) ? 0 : 1;
    columnBase_ = optionalBool(args, "columnsStartAt1", true) ? 0 : 1;
    Json filters = Json::array();
    for (const debug::ExceptionFilter& filter : debug::exceptionFilters()) {
        filters.push_back({{"filter", filter.id},
                           {"label", filter.label},
                           {"description", filter.description},
                           {"default", true}});
    }
    return {
        {"supportsConfigurationDoneRequest", true},
        {"supportsFunctionBreakpoints", true},
        {"supportsConditionalBreakpoints", true},
        {"supportsHitConditionalBreakpoints", true},
        {"supportsLogPoints", true},
        {"supportsDataBreakpoints", true},
        {"supportsEvaluateForHovers", true},
        {"supportsSetVariable", true},
        {"supportsStepBack", true},
        {"supportsSteppingGranularity", true},
        {"supportsReadMemoryRequest", true},
        {"supportsDisassembleRequest", true},
        {"supportsExceptionInfoRequest", true},
        {"supportsTerminateRequest", true},
        {"supportTerminateDebuggee", true},
        {"exceptionBreakpointFilters", filters},
    };
}

Json Server::launch(const Json& args) {
    if (launch_ || ended_) refuseWith("a program is already launched");
    BuildRequest request;
    request.program = requiredString(args, "program");
    for (const auto& file : stringList(args, "files")) request.files.emplace_back(file);
    request.trovikOptions = stringList(args, "trovikOptions");
    auto started = std::make_unique<Launch>();
    started->stopOnEntry = optionalBool(args, "stopOnEntry", false);
    const bool headless = optionalBool(args, "headless", false);
    debug::SessionOptions options;
    if (const auto keys = optionalString(args, "keys")) {
        std::string error;
        const auto strokes = parseKeyScript(*keys, error);
        if (!strokes) refuseWith("\"keys\": " + error);
        options.keys = keyTimeline(*strokes);
    }
    if (const Json& limit = member(args, "timeLimit"); !limit.is_null()) {
        if (!limit.is_number() || !(limit.get<double>() > 0) ||
            !std::isfinite(limit.get<double>())) {
            refuseWith("\"timeLimit\" must be a number of seconds above 0");
        }
        options.timeLimit = cyclesIn(limit.get<double>());
    }

    auto built = buildProgram(request, [&](std::string_view line) { console(std::string(line)); });
    if (!built) refuseWith(built.message());
    if (const auto status = startLoaded(started->calc, built->loaded); !status) {
        refuseWith(status.message());
    }
    started->title = windowTitle(built->programFile, built->loaded.program);
    started->session = std::make_unique<debug::Session>(started->calc, std::move(built->debug),
                                                        std::move(options));
    if (!headless) {
        std::string error;
        started->host =
            std::make_unique<DebuggerHost>(started->calc, started->title, *started->session);
        if (openWindow_) started->window = openWindow_(*started->host, error);
        if (!started->window) {
            console("calcview: " + (openWindow_ ? error : "no window here") +
                    "; the program runs headless");
        }
    }
    launch_ = std::move(started);
    if (launch_->window) launch_->window->show();
    return nullptr;
}

Json Server::configurationDone(const Json&) {
    if (configured_) refuseWith("the configuration is already done");
    configured_ = true;
    session().begin(launch_->stopOnEntry);
    resumed(true);
    return nullptr;
}

// ---- Breakpoints ------------------------------------------------------------

std::string Server::clientPath(int file) const {
    if (const auto found = clientPaths_.find(file); found != clientPaths_.end())
        return found->second;
    const auto& files = launch_->session->info().files;
    if (file < 0 || static_cast<std::size_t>(file) >= files.size()) return {};
    // Clients open what a path names without a folder to read it from.
    std::error_code error;
    const auto absolute = std::filesystem::absolute(files[static_cast<std::size_t>(file)], error);
    return error ? files[static_cast<std::size_t>(file)] : absolute.lexically_normal().string();
}

Json Server::source(int file) const {
    const std::string path = clientPath(file);
    return {{"name", std::filesystem::path(path).filename().string()}, {"path", path}};
}

Json Server::breakpointJson(const debug::BreakpointAnswer& answer) const {
    Json breakpoint = {{"id", answer.id}, {"verified", answer.verified}};
    if (answer.line > 0) breakpoint["line"] = lineOut(answer.line);
    if (answer.file >= 0) breakpoint["source"] = source(answer.file);
    if (!answer.message.empty()) breakpoint["message"] = answer.message;
    return breakpoint;
}

Json Server::setBreakpoints(const Json& args) {
    const Json& from = member(args, "source");
    if (!from.is_object()) refuseWith("\"source\" is missing");
    const std::string path = requiredString(from, "path");
    std::vector<debug::SourceBreakpoint> wanted;
    for (const Json& item : optionalArray(args, "breakpoints")) {
        if (!item.is_object()) refuseWith("\"breakpoints\" must be a list of objects");
        debug::SourceBreakpoint breakpoint;
        breakpoint.line = lineIn(intIn(item, "line", 1 - lineBase_, 1'000'000'000));
        breakpoint.condition = optionalString(item, "condition").value_or("");
        breakpoint.hitCondition = optionalString(item, "hitCondition").value_or("");
        breakpoint.logMessage = optionalString(item, "logMessage").value_or("");
        wanted.push_back(std::move(breakpoint));
    }
    debug::Session& debugged = session();
    const auto file = debugged.fileIndex(path);
    if (!file) {
        if (wanted.empty()) return {{"breakpoints", Json::array()}};
        std::string names;
        for (const auto& name : debugged.info().files) names += (names.empty() ? "" : ", ") + name;
        refuseWith(path + " is not part of the program (its files are " + names + ")");
    }
    clientPaths_[*file] = path;
    Json answers = Json::array();
    for (const auto& answer : debugged.setBreakpoints(path, wanted)) {
        Json breakpoint = breakpointJson(answer);
        breakpoint["source"] = {{"path", path}};  // echoed as the client sent it
        answers.push_back(std::move(breakpoint));
    }
    return {{"breakpoints", answers}};
}

Json Server::setFunctionBreakpoints(const Json& args) {
    std::vector<debug::FunctionBreakpoint> wanted;
    for (const Json& item : optionalArray(args, "breakpoints")) {
        if (!item.is_object()) refuseWith("\"breakpoints\" must be a list of objects");
        wanted.push_back({requiredString(item, "name"),
                          optionalString(item, "condition").value_or(""),
                          optionalString(item, "hitCondition").value_or("")});
    }
    Json answers = Json::array();
    for (const auto& answer : session().setFunctionBreakpoints(wanted)) {
        answers.push_back(breakpointJson(answer));
    }
    return {{"breakpoints", answers}};
}

Json Server::setExceptionBreakpoints(const Json& args) {
    // Clients send the filters they know of; unknown ones are passed over.
    std::vector<std::string> ids;
    auto keepKnown = [&](const std::string& id) {
        const auto known = debug::exceptionFilters();
        if (std::any_of(known.begin(), known.end(),
                        [&](const auto& filter) { return filter.id == id; }))
            ids.push_back(id);
    };
    for (const auto& id : stringList(args, "filters")) keepKnown(id);
    for (const Json& option : optionalArray(args, "filterOptions")) {
        keepKnown(requiredString(option, "filterId"));
    }
    std::string error;
    session().setExceptionFilters(ids, error);
    return nullptr;
}

Json Server::dataBreakpointInfo(const Json& args) {
    const auto info = session().dataBreakpointInfo(requiredString(args, "name"));
    Json accessTypes = Json::array();
    for (const auto access : info.accessTypes) accessTypes.push_back(debug::dapName(access));
    return {{"dataId", info.dataId ? Json(*info.dataId) : Json(nullptr)},
            {"description", info.description},
            {"accessTypes", accessTypes},
            {"canPersist", false}};
}

Json Server::setDataBreakpoints(const Json& args) {
    std::vector<debug::DataBreakpoint> wanted;
    for (const Json& item : optionalArray(args, "breakpoints")) {
        if (!item.is_object()) refuseWith("\"breakpoints\" must be a list of objects");
        debug::DataBreakpoint breakpoint;
        breakpoint.dataId = requiredString(item, "dataId");
        if (const auto access = optionalString(item, "accessType")) {
            const auto known = debug::dataAccessNamed(*access);
            if (!known) refuseWith("\"accessType\" must be read, write or readWrite");
            breakpoint.access = *known;
        }
        breakpoint.condition = optionalString(item, "condition").value_or("");
        breakpoint.hitCondition = optionalString(item, "hitCondition").value_or("");
        wanted.push_back(std::move(breakpoint));
    }
    Json answers = Json::array();
    for (const auto& answer : session().setDataBreakpoints(wanted)) {
        answers.push_back(breakpointJson(answer));
    }
    return {{"breakpoints", answers}};
}

// ---- Running ----------------------------------------------------------------

Json Server::threads(const Json&) {
    return {{"threads", Json::array({{{"id", threadId}, {"name", threadName}}})}};
}

void Server::resumed(bool paced) {
    launch_->paced = paced;
    launch_->paceStart = Clock::now();
    launch_->paceCycle = launch_->calc.cycles();
}

Json Server::continueRun(const Json& args) {
    checkThread(args);
    stoppedSession().continueRun();
    resumed(true);
    return {{"allThreadsContinued", true}};
}

Json Server::next(const Json& args) {
    checkThread(args);
    stoppedSession().next(granularityOf(args));
    resumed();
    return nullptr;
}

Json Server::stepIn(const Json& args) {
    checkThread(args);
    stoppedSession().stepIn(granularityOf(args));
    resumed();
    return nullptr;
}

Json Server::stepOut(const Json& args) {
    checkThread(args);
    stoppedSession().stepOut(granularityOf(args));
    resumed();
    return nullptr;
}

Json Server::stepBack(const Json& args) {
    checkThread(args);
    std::string error;
    if (!stoppedSession().stepBack(granularityOf(args), error)) refuseWith(error);
    resumed();
    return nullptr;
}

Json Server::reverseContinue(const Json& args) {
    checkThread(args);
    std::string error;
    if (!stoppedSession().reverseContinue(error)) refuseWith(error);
    resumed();
    return nullptr;
}

Json Server::pause(const Json& args) {
    checkThread(args);
    // Pausing a stopped program is no fault: it stays where it is.
    if (configured_ && session().running()) session().pause();
    return nullptr;
}

Json Server::terminate(const Json&) {
    if (launch_ && !ended_) {
        endSession(static_cast<int>(Outcome::interrupted));
    } else if (!ended_) {
        ended_ = true;
        event("terminated");
    }
    return nullptr;
}

Json Server::disconnect(const Json&) {
    launch_.reset();
    return nullptr;
}

void Server::inputEnded() {
    launch_.reset();
    finished_ = true;
}

void Server::endSession(int status) {
    ended_ = true;
    event("exited", Json{{"exitCode", status}});
    event("terminated");
    // A window stays, showing what the program left, until the client
    // disconnects or the user closes it.
    if (launch_ && launch_->window) {
        launch_->window->setTitle(launch_->title + " - the program ended");
    } else {
        launch_.reset();
    }
}

int Server::idleMilliseconds() const {
    if (!launch_) return -1;
    const bool running = configured_ && !ended_ && launch_->session->running();
    if (launch_->window) return running && !launch_->paced ? 0 : frameMilliseconds;
    return running ? 0 : -1;
}

void Server::tick() {
    if (!launch_) return;
    if (launch_->window) {
        serveWindow();
    } else if (configured_ && !ended_ && launch_->session->running()) {
        runSlice();
    }
}

void Server::serveWindow() {
    Launch& run = *launch_;
    if (!run.window->serve()) {
        // Closing the window ends the program, as closing calcview's would.
        if (!ended_) {
            console("calcview: the window was closed");
            endSession(static_cast<int>(Outcome::interrupted));
        }
        launch_.reset();
        return;
    }
    if (ended_) return;
    debug::Session& debugged = *run.session;
    const std::uint64_t now = run.calc.cycles();
    if (configured_ && debugged.running() && !run.paced) {
        report(debugged.advance(headlessSlice));
    } else if (configured_ && debugged.running()) {
        const auto elapsed =
            std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - run.paceStart)
                .count();
        std::uint64_t target =
            run.paceCycle +
            static_cast<std::uint64_t>(std::max<std::int64_t>(elapsed, 0)) * (clockHz / 1'000'000);
        if (target > now + largestLag) {
            resumed(true);
            target = now + headlessSlice;
        }
        if (target > now) report(debugged.advance(target - now));
    }
    if (launch_) launch_->window->show();
}

void Server::runSlice() { report(launch_->session->advance(headlessSlice)); }

void Server::report(const debug::Progress& progress) {
    for (const debug::Output& output : progress.outputs) {
        Json body = {{"category", "console"}, {"output", output.text}};
        if (output.file >= 0) {
            body["source"] = source(output.file);
            body["line"] = lineOut(output.line);
        }
        event("output", body);
    }
    if (progress.stopped) {
        const debug::Stopped& stop = *progress.stopped;
        Json body = {{"reason", debug::dapName(stop.reason)},
                     {"threadId", threadId},
                     {"allThreadsStopped", true}};
        if (!stop.description.empty()) body["description"] = stop.description;
        if (!stop.text.empty()) body["text"] = stop.text;
        if (!stop.hitBreakpointIds.empty()) body["hitBreakpointIds"] = stop.hitBreakpointIds;
        event("stopped", body);
    }
    if (progress.exited) {
        if (!progress.exited->message.empty()) console("calcview: " + progress.exited->message);
        endSession(progress.exited->status);
    }
}

// ---- What a stop shows --------------------------------------------------------

Json Server::stackTrace(const Json& args) {
    checkThread(args);
    const auto frames = session().stackTrace();
    const int start = intIn(args, "startFrame", 0, 1'000'000, 0);
    const int levels = intIn(args, "levels", 0, 1'000'000, 0);
    Json list = Json::array();
    for (std::size_t i = static_cast<std::size_t>(start);
         i < frames.size() && (levels == 0 || list.size() < static_cast<std::size_t>(levels));
         ++i) {
        const debug::StackFrame& frame = frames[i];
        Json item = {{"id", frame.id},
                     {"name", frame.name},
                     {"line", frame.file >= 0 ? lineOut(frame.line) : 0},
                     {"column", frame.file >= 0 ? 1 - columnBase_ : 0},
                     {"instructionPointerReference", hexAddress(frame.address)}};
        if (frame.file >= 0) {
            item["source"] = source(frame.file);
        } else {
            item["presentationHint"] = "subtle";
        }
        list.push_back(std::move(item));
    }
    return {{"stackFrames", list}, {"totalFrames", frames.size()}};
}

Json Server::scopes(const Json& args) {
    Json list = Json::array();
    for (const debug::Scope& scope : session().scopes(intIn(args, "frameId", 0, INT32_MAX))) {
        Json item = {{"name", scope.name},
                     {"variablesReference", scope.variablesReference},
                     {"expensive", false}};
        if (scope.name == "Registers") item["presentationHint"] = "registers";
        if (scope.name == "Variables") item["presentationHint"] = "locals";
        list.push_back(std::move(item));
    }
    return {{"scopes", list}};
}

Json Server::variables(const Json& args) {
    Json list = Json::array();
    for (const debug::Variable& variable :
         session().variables(intIn(args, "variablesReference", 0, INT32_MAX))) {
        Json item = {{"name", variable.name}, {"value", variable.value}, {"variablesReference", 0}};
        if (!variable.evaluateName.empty()) item["evaluateName"] = variable.evaluateName;
        if (variable.memoryReference)
            item["memoryReference"] = hexAddress(*variable.memoryReference);
        list.push_back(std::move(item));
    }
    return {{"variables", list}};
}

Json Server::setVariable(const Json& args) {
    const auto answer =
        session().setVariable(intIn(args, "variablesReference", 0, INT32_MAX),
                              requiredString(args, "name"), requiredString(args, "value"));
    if (!answer.ok) refuseWith(answer.text);
    Json body = {{"value", answer.text}, {"variablesReference", 0}};
    if (answer.memoryReference) body["memoryReference"] = hexAddress(*answer.memoryReference);
    return body;
}

Json Server::evaluate(const Json& args) {
    const auto answer = session().evaluate(requiredString(args, "expression"));
    if (!answer.ok) refuseWith(answer.text);
    Json body = {{"result", answer.text}, {"variablesReference", 0}};
    if (answer.memoryReference) body["memoryReference"] = hexAddress(*answer.memoryReference);
    return body;
}

Json Server::readMemory(const Json& args) {
    const std::uint16_t base = addressOf(requiredString(args, "memoryReference"));
    const int offset = intIn(args, "offset", -0xFFFF, 0xFFFF, 0);
    const int count = intIn(args, "count", 0, static_cast<std::int64_t>(largestRead));
    const auto start = static_cast<std::uint16_t>(base + offset);
    const auto bytes = session().readMemory(start, static_cast<std::size_t>(count));
    return {{"address", hexAddress(start)}, {"data", base64(bytes)}, {"unreadableBytes", 0}};
}

Json Server::disassemble(const Json& args) {
    const std::uint16_t base = addressOf(requiredString(args, "memoryReference"));
    const int offset = intIn(args, "offset", -0xFFFF, 0xFFFF, 0);
    const int instructionOffset = intIn(args, "instructionOffset", -65536, 65536, 0);
    const int count = intIn(args, "instructionCount", 0, largestDisassembly);
    Json list = Json::array();
    for (const debug::Instruction& instruction : session().disassemble(
             static_cast<std::uint16_t>(base + offset), instructionOffset, count)) {
        Json item = {{"address", hexAddress(instruction.address)},
                     {"instructionBytes", instruction.bytes},
                     {"instruction", instruction.text}};
        if (instruction.file >= 0) {
            item["location"] = source(instruction.file);
            item["line"] = lineOut(instruction.line);
        }
        list.push_back(std::move(item));
    }
    return {{"instructions", list}};
}

Json Server::exceptionInfo(const Json& args) {
    checkThread(args);
    const auto details = session().exceptionInfo();
    if (!details) refuseWith("the program did not stop at a fault");
    Json body = {{"exceptionId", details->id},
                 {"description", details->description},
                 {"breakMode", "always"}};
    if (!details->sourceLine.empty()) {
        body["details"] = {{"message", details->description}, {"stackTrace", details->sourceLine}};
    }
    return body;
}

}  // namespace calcview::dap
