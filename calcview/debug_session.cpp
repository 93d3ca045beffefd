// SPDX-License-Identifier: GPL-2.0-or-later
// The debug session. The machine runs inside the calculator's own loop with
// 64 KiB tables of marks: a fetch mark stops the run before the instruction
// at that address (breakpoints; statement starts while stepping; every
// address for an instruction step), an access mark after an instruction that
// read or wrote a watched variable. While the program runs to its
// breakpoints, their conditions and hit counts are decided inside the run
// (the calculator asks the session at the mark, before the instruction), so
// a breakpoint that does not hold costs no stop. At a stop the session
// decides the rest at once (log message, call depth) and either reports a
// stop or lets the machine go on: nothing waits for the client.
//
// Calls are followed from the call, rst and ret instructions the processor
// carries out (a shadow stack), not unwound from memory.
//
// History: the whole machine is saved every so many cycles and at stops,
// memory in 256-byte pages shared with the previous save when unchanged;
// whatever reaches the machine from outside (keys, values the user sets) is
// recorded with the cycle it came at. The machine runs the same however its
// run is cut into slices, so going back to cycle c is restoring the last save
// before it and running forward to c with the same input.

#include "debug_session.hpp"

#include <z80ex/z80ex_dasm.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <limits>
#include <map>

#include "calculator.hpp"
#include "debug_expression.hpp"
#include "key_script.hpp"
#include "keypad.hpp"

namespace calcview::debug {

namespace {

constexpr ExceptionFilter filters[] = {
    {"ranAway", "Ran away",
     "The program went to an address below 8000h where the calculator has nothing the preview "
     "knows"},
    {"stack", "Stack fault",
     "The stack ran into the program, its variables or the variable table, or underflowed"},
    {"calculatorError", "Calculator error",
     "A calculator routine ended in an error the calculator shows on its screen"},
    {"unsupportedRoutine", "Routine not carried out",
     "The program called a calculator routine the preview does not carry out"},
};

std::string_view filterId(FaultKind kind) {
    switch (kind) {
        case FaultKind::ranAway:
            return filters[0].id;
        case FaultKind::stack:
            return filters[1].id;
        case FaultKind::calculatorError:
            return filters[2].id;
        case FaultKind::unsupportedRoutine:
            return filters[3].id;
    }
    return filters[2].id;
}

std::string hex4(std::uint16_t value) {
    std::array<char, 8> text{};
    std::snprintf(text.data(), text.size(), "%04Xh", value);
    return text.data();
}

std::string hex2(unsigned value) {
    std::array<char, 8> text{};
    std::snprintf(text.data(), text.size(), "%02Xh", value & 0xFFu);
    return text.data();
}

std::string lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t\r");
    return std::string(text.substr(first, last - first + 1));
}

bool isCall(std::uint8_t opcode) {
    return opcode == 0xCD || (opcode & 0xC7) == 0xC4 || (opcode & 0xC7) == 0xC7;
}

/// The registers a condition names, upper case: a byte half or a pair.
struct RegisterName {
    std::string_view name;
    NameRef::Kind kind;
    Reg reg;
};
constexpr RegisterName registerNames[] = {
    {"A", NameRef::Kind::reg8high, Reg::af}, {"F", NameRef::Kind::reg8low, Reg::af},
    {"B", NameRef::Kind::reg8high, Reg::bc}, {"C", NameRef::Kind::reg8low, Reg::bc},
    {"D", NameRef::Kind::reg8high, Reg::de}, {"E", NameRef::Kind::reg8low, Reg::de},
    {"H", NameRef::Kind::reg8high, Reg::hl}, {"L", NameRef::Kind::reg8low, Reg::hl},
    {"AF", NameRef::Kind::reg16, Reg::af},   {"BC", NameRef::Kind::reg16, Reg::bc},
    {"DE", NameRef::Kind::reg16, Reg::de},   {"HL", NameRef::Kind::reg16, Reg::hl},
    {"IX", NameRef::Kind::reg16, Reg::ix},   {"IY", NameRef::Kind::reg16, Reg::iy},
    {"SP", NameRef::Kind::reg16, Reg::sp},   {"PC", NameRef::Kind::reg16, Reg::pc},
};

/// The cells of the Calculator scope.
struct CalculatorCell {
    std::string_view name;
    std::uint16_t address;
};
constexpr CalculatorCell calculatorCells[] = {
    {"currow", currowAddress},
    {"curcol", curcolAddress},
    {"penrow", penrowAddress},
    {"pencol", pencolAddress},
};

enum ScopeReference { variablesScope = 1, stringsScope, registersScope, calculatorScope };

/// Saves come at least this many cycles apart, and after at least
/// snapshotWork of running: a program that mostly waits costs few.
constexpr std::uint64_t snapshotInterval = 200'000;
constexpr std::chrono::microseconds snapshotWork{2000};
constexpr std::uint64_t longestRun = 1'000'000;
constexpr std::size_t pageSize = 256;
constexpr std::size_t pageCount = (0x10000 - ramStart) / pageSize;
constexpr std::size_t frameLimit = 4096;

using Page = std::array<std::uint8_t, pageSize>;

}  // namespace

std::string_view dapName(DataAccess access) {
    switch (access) {
        case DataAccess::read:
            return "read";
        case DataAccess::write:
            return "write";
        case DataAccess::readWrite:
            return "readWrite";
    }
    return "write";
}

std::optional<DataAccess> dataAccessNamed(std::string_view name) {
    for (DataAccess access : {DataAccess::read, DataAccess::write, DataAccess::readWrite}) {
        if (dapName(access) == name) return access;
    }
    return std::nullopt;
}

std::span<const ExceptionFilter> exceptionFilters() { return filters; }

std::string_view dapName(StopReason reason) {
    switch (reason) {
        case StopReason::step:
            return "step";
        case StopReason::breakpoint:
            return "breakpoint";
        case StopReason::exception:
            return "exception";
        case StopReason::pause:
            return "pause";
        case StopReason::entry:
            return "entry";
        case StopReason::functionBreakpoint:
            return "function breakpoint";
        case StopReason::dataBreakpoint:
            return "data breakpoint";
        case StopReason::instructionBreakpoint:
            return "instruction breakpoint";
    }
    return "step";
}

struct Session::Impl final : FetchFilter, StackObserver {
    // ---- Types ----
    struct Frame {
        std::uint16_t target, returnAddress, sp, callAt;
    };
    /// Conditions common to every kind of breakpoint.
    struct Check {
        std::optional<Expression> condition;
        std::optional<HitCondition> hit;
        std::optional<LogMessage> log;
        std::uint64_t hits = 0;
    };
    struct LineBreakpoint {
        int id;
        SourceBreakpoint asked;
        int file, line;
        std::optional<std::uint16_t> address;  ///< none: unverified
        Check check;
    };
    struct LabelBreakpoint {
        int id;
        FunctionBreakpoint asked;
        std::optional<std::uint16_t> address;
        Check check;
    };
    struct WatchBreakpoint {
        int id;
        std::size_t variable;
        DataAccess access;
        Check check;
    };
    /// A breakpoint that counted at a fetch: a stop, or a log line.
    struct FetchHit {
        int id;
        const LogMessage* log;
        int file, line;
        bool label;
    };
    enum class Motion { run, next, stepIn, stepOut, entry, instructionNext, instructionIn };
    enum class State { configuring, running, stopped, ended };
    struct Input {
        enum class Kind { press, release, poke, setReg } kind;
        std::uint64_t cycle;
        int a, b;
        std::int64_t scriptIndex = -1;
    };
    struct Snapshot {
        Calculator::State machine;
        std::vector<std::shared_ptr<const Page>> pages;
        std::vector<Frame> frames;
        std::uint64_t inputCount;
        std::size_t scriptNext;
        std::size_t bytes;
    };
    /// A place in the history: the machine's clock and the input it had.
    struct Position {
        std::uint64_t cycle;
        std::uint64_t inputs;
    };

    Impl(Calculator& calculator, DebugInfo debugInfo, SessionOptions sessionOptions)
        : calc(calculator), info(std::move(debugInfo)), options(std::move(sessionOptions)) {
        primary.assign(0x10000, -1);
        secondary.assign(0x10000, -1);
        for (std::size_t i = 0; i < info.code.size(); ++i) {
            const CodeRange& range = info.code[i];
            auto& table = range.file == 0 ? primary : secondary;
            for (std::uint32_t a = range.start; a < range.end && a < 0x10000; ++a) {
                table[a] = static_cast<int>(i);
            }
            if (range.file == 0 && range.statementStart) {
                statementMarks[range.start] = 1;
                hasStatements = true;
            }
        }
        allMarks.fill(1);
        enabledFilters.assign(std::size(filters), true);
        calc.setStackObserver(this);
        followFrames();
        rebuildMarks();
    }
    ~Impl() override {
        calc.setStackObserver(nullptr);
        calc.setDebugMarks(nullptr, nullptr);
    }

    Calculator& calc;
    DebugInfo info;
    SessionOptions options;
    std::vector<int> primary, secondary;  ///< the code range of each address
    std::array<std::uint8_t, 0x10000> statementMarks{}, breakMarks{}, stepMarks{}, allMarks{},
        accessMarks{};

    bool hasStatements = false;  ///< without, a statement step is an instruction step
    std::map<int, std::vector<LineBreakpoint>> lineBreakpoints;  ///< by file
    std::vector<LabelBreakpoint> labelBreakpoints;
    std::vector<WatchBreakpoint> watchBreakpoints;
    std::vector<bool> enabledFilters;
    int nextId = 1;

    State state = State::configuring;
    Motion motion = Motion::run;
    std::size_t startDepth = 0;
    bool returnedFromStep = false;
    bool pauseRequested = false;
    bool stoppedBeforeFetch = false;  ///< the instruction at PC has not run yet
    bool faulted = false;
    bool replaying = false;
    std::optional<std::uint16_t> stopLocation;  ///< where the stop is shown, when not PC
    std::optional<Stopped> pendingStop;
    std::optional<Exited> pendingExit;
    std::optional<ExceptionDetails> exception;
    std::vector<Frame> frames;
    std::map<std::uint16_t, std::uint8_t> watchedBytes;  ///< value at the last look
    /// The line and label breakpoints by address, in the order a stop names
    /// them; breakSlot[a] is 1 + the index of the first at a (0: none).
    struct BreakSlot {
        std::uint16_t address;
        Check* check;
        FetchHit hit;
    };
    std::vector<BreakSlot> breakSlots;
    std::vector<std::uint32_t> breakSlot = std::vector<std::uint32_t>(0x10000);
    /// The breakpoints that counted at the last fetch mark, and where (PC,
    /// clock) the run counted them, when it did (atFetch takes them as found).
    std::vector<FetchHit> fetchHits;
    std::optional<std::pair<std::uint16_t, std::uint64_t>> countedInRun;

    std::deque<Snapshot> history;
    std::size_t historyBytes = 0;
    std::deque<Input> inputs;
    std::uint64_t inputsBase = 0;     ///< the absolute index of inputs.front()
    std::uint64_t inputsApplied = 0;  ///< absolute count
    std::size_t scriptNext = 0;
    std::uint64_t lastSnapshotCycle = 0;
    std::chrono::steady_clock::duration workSinceSnapshot{};
    std::chrono::steady_clock::time_point workFrom;

    // ---- Tables ----

    /// The code range an address belongs to, the first file's first.
    const CodeRange* rangeAt(std::uint16_t address) const {
        int index = primary[address];
        if (index < 0) index = secondary[address];
        return index < 0 ? nullptr : &info.code[static_cast<std::size_t>(index)];
    }

    std::string fileName(int file) const {
        if (file < 0 || static_cast<std::size_t>(file) >= info.files.size()) return {};
        return std::filesystem::path(info.files[static_cast<std::size_t>(file)])
            .filename()
            .string();
    }

    std::string programName() const {
        if (info.files.empty()) return "program";
        return std::filesystem::path(info.files.front()).stem().string();
    }

    std::optional<NameRef> resolve(std::string_view name) const {
        for (const auto& v : info.variables) {
            if (v.name == name) return NameRef{NameRef::Kind::variable, v.address, 0, v.name};
        }
        const std::string upper = [&] {
            std::string u(name);
            for (char& c : u) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            return u;
        }();
        for (const auto& r : registerNames) {
            if (r.name == upper)
                return NameRef{r.kind, 0, static_cast<int>(r.reg), std::string(r.name)};
        }
        for (const auto& v : info.variables) {
            if (lower(v.name) == lower(name)) {
                return NameRef{NameRef::Kind::variable, v.address, 0, v.name};
            }
        }
        return std::nullopt;
    }
    NameResolver resolver() const {
        return [this](std::string_view name) { return resolve(name); };
    }
    /// Calculator::read directly (readWord goes through Machine's virtual read).
    std::uint16_t memoryWord(std::uint16_t address) const {
        return static_cast<std::uint16_t>(calc.read(address) |
                                          calc.read(static_cast<std::uint16_t>(address + 1)) << 8);
    }
    std::uint16_t readName(const NameRef& ref) const {
        switch (ref.kind) {
            case NameRef::Kind::variable:
                return memoryWord(ref.address);
            case NameRef::Kind::reg8high:
                return static_cast<std::uint16_t>(calc.reg(static_cast<Reg>(ref.reg)) >> 8);
            case NameRef::Kind::reg8low:
                return static_cast<std::uint16_t>(calc.reg(static_cast<Reg>(ref.reg)) & 0xFF);
            case NameRef::Kind::reg16:
                return calc.reg(static_cast<Reg>(ref.reg));
        }
        return 0;
    }
    NameReader reader() const {
        return [this](const NameRef& ref) { return readName(ref); };
    }
    /// A condition's value with the program counter at `pc`.
    std::int32_t valueAt(const Expression& condition, std::uint16_t pc) const {
        return condition.evaluateWith([&](const NameRef& ref) -> std::uint16_t {
            if (ref.kind == NameRef::Kind::variable) return memoryWord(ref.address);
            if (ref.kind == NameRef::Kind::reg16 && ref.reg == static_cast<int>(Reg::pc)) return pc;
            return readName(ref);
        });
    }

    // ---- Breakpoints ----

    /// Parses a breakpoint's condition, hit count and log message; false with `error`.
    bool makeCheck(const std::string& condition, const std::string& hit, const std::string& log,
                   Check& check, std::string& error) const {
        if (!trimmed(condition).empty()) {
            std::string why;
            check.condition = Expression::parse(condition, resolver(), why);
            if (!check.condition) {
                error = "the condition '" + condition + "' does not parse: " + why;
                return false;
            }
        }
        if (!trimmed(hit).empty()) {
            check.hit = HitCondition::parse(hit, error);
            if (!check.hit) return false;
        }
        if (!log.empty()) {
            std::string why;
            check.log = LogMessage::parse(log, resolver(), why);
            if (!check.log) {
                error = "the log message does not parse: " + why;
                return false;
            }
        }
        return true;
    }

    /// Whether a breakpoint's hit counts, after its condition and hit count.
    bool counts(Check& check, std::uint16_t pc) {
        if (check.condition && valueAt(*check.condition, pc) == 0) return false;
        ++check.hits;
        return !check.hit || check.hit->holds(check.hits);
    }

    void rebuildMarks() {
        breakMarks.fill(0);
        breakSlots.clear();
        for (auto& [file, list] : lineBreakpoints) {
            for (auto& bp : list) {
                if (!bp.address) continue;
                const LogMessage* log = bp.check.log ? &*bp.check.log : nullptr;
                breakSlots.push_back(
                    {*bp.address, &bp.check, {bp.id, log, bp.file, bp.line, false}});
            }
        }
        for (auto& bp : labelBreakpoints) {
            if (bp.address)
                breakSlots.push_back({*bp.address, &bp.check, {bp.id, nullptr, -1, 0, true}});
        }
        std::stable_sort(
            breakSlots.begin(), breakSlots.end(),
            [](const BreakSlot& a, const BreakSlot& b) { return a.address < b.address; });
        std::fill(breakSlot.begin(), breakSlot.end(), 0);
        for (std::size_t i = breakSlots.size(); i-- > 0;) {
            breakMarks[breakSlots[i].address] = 1;
            breakSlot[breakSlots[i].address] = static_cast<std::uint32_t>(i + 1);
        }
        for (std::size_t a = 0; a < stepMarks.size(); ++a) {
            stepMarks[a] = static_cast<std::uint8_t>(breakMarks[a] | statementMarks[a]);
        }
        accessMarks.fill(0);
        for (const auto& bp : watchBreakpoints) {
            const std::uint8_t bits = bp.access == DataAccess::read
                                          ? Calculator::watchRead
                                          : (bp.access == DataAccess::write
                                                 ? Calculator::watchWrite
                                                 : Calculator::watchRead | Calculator::watchWrite);
            const std::uint16_t address = info.variables[bp.variable].address;
            accessMarks[address] |= bits;
            accessMarks[static_cast<std::uint16_t>(address + 1)] |= bits;
        }
        if (state == State::running) applyMarks();
    }

    const std::uint8_t* fetchMarksFor(Motion m) const {
        switch (m) {
            case Motion::run:
                return breakMarks.data();
            case Motion::stepOut:
                return returnedFromStep ? allMarks.data() : breakMarks.data();
            case Motion::next:
            case Motion::stepIn:
            case Motion::entry:
                return hasStatements ? stepMarks.data() : allMarks.data();
            case Motion::instructionNext:
            case Motion::instructionIn:
                return allMarks.data();
        }
        return breakMarks.data();
    }
    void applyMarks() {
        calc.setDebugMarks(fetchMarksFor(motion),
                           watchBreakpoints.empty() ? nullptr : accessMarks.data(), this);
    }

    /// Counts the breakpoints at `pc` whose condition holds into fetchHits;
    /// whether any did (and wants a stop or a log line).
    bool countBreakpointsAt(std::uint16_t pc) {
        fetchHits.clear();
        if (breakSlot[pc] == 0) return false;
        for (std::size_t i = breakSlot[pc] - 1u;
             i < breakSlots.size() && breakSlots[i].address == pc; ++i) {
            if (counts(*breakSlots[i].check, pc)) fetchHits.push_back(breakSlots[i].hit);
        }
        return !fetchHits.empty();
    }

    /// Inside the run, at a fetch mark. Running to the breakpoints, only one
    /// that counts stops the run; a step stops at every mark and decides in
    /// atFetch.
    bool stopsAt(std::uint16_t pc) override {
        const bool toBreakpoints =
            motion == Motion::run || (motion == Motion::stepOut && !returnedFromStep);
        if (!toBreakpoints) return true;
        if (!countBreakpointsAt(pc)) return false;
        countedInRun = {pc, calc.cycles()};
        return true;
    }

    static LineBreakpoint* findSame(std::vector<LineBreakpoint>& list,
                                    const SourceBreakpoint& asked);
    static std::string trimmedName(std::string_view name) {
        std::string text = trimmed(name);
        if (!text.empty() && text.front() == ':') text.erase(0, 1);
        return text;
    }
    std::vector<BreakpointAnswer> setLineBreakpoints(
        const std::string& path, const std::vector<SourceBreakpoint>& requested);
    BreakpointAnswer placeLine(LineBreakpoint& bp, int file) const;

    // ---- Running ----

    void afterStackInstruction(std::uint8_t opcode, std::uint16_t address,
                               std::uint16_t sp) override {
        const bool call = isCall(opcode);
        if (!call && (frames.empty() || frames.back().sp >= sp)) return;
        if (call) {
            const auto returnAddress =
                static_cast<std::uint16_t>(address + ((opcode & 0xC7) == 0xC7 ? 1 : 3));
            const std::uint16_t pc = calc.reg(Reg::pc);
            if (pc != returnAddress && pc >= ramStart && calc.readWord(sp) == returnAddress) {
                if (frames.size() >= frameLimit) frames.erase(frames.begin());
                frames.push_back({pc, returnAddress, sp, address});
                followFrames();
            }
            return;
        }
        // SP above a frame's return address: that call has returned (or the
        // program moved its stack away).
        while (!frames.empty() && frames.back().sp < sp) frames.pop_back();
        followFrames();
        if (!replaying && motion == Motion::stepOut && !returnedFromStep &&
            frames.size() < startDepth) {
            returnedFromStep = true;
            applyMarks();
        }
    }

    /// Only a call, or SP rising above the innermost frame, changes the frames.
    void followFrames() { calc.observeStackAbove(frames.empty() ? 0xFFFF : frames.back().sp); }

    void resume(Motion m) {
        if (state != State::stopped) return;
        if (!hasStatements && (m == Motion::next || m == Motion::stepIn)) {
            m = m == Motion::next ? Motion::instructionNext : Motion::instructionIn;
        }
        state = State::running;
        if (faulted) {
            pendingExit = Exited{1, calc.faultMessage()};
            return;
        }
        motion = m;
        startDepth = frames.size();
        returnedFromStep = false;
        if (m == Motion::stepOut && startDepth == 0) motion = Motion::run;
        stopLocation.reset();
        exception.reset();
        refreshWatched();
        if (stoppedBeforeFetch) calc.passFetchMark();
        applyMarks();
    }

    Stopped stopWith(StopReason reason, std::string description = {}) {
        state = State::stopped;
        Stopped s;
        s.reason = reason;
        s.description = std::move(description);
        refreshWatched();
        if (calc.cycles() >= lastSnapshotCycle + snapshotInterval / 8) takeSnapshot();
        return s;
    }

    void refreshWatched() {
        watchedBytes.clear();
        for (const auto& bp : watchBreakpoints) {
            const std::uint16_t address = info.variables[bp.variable].address;
            for (std::uint16_t a : {address, static_cast<std::uint16_t>(address + 1)}) {
                watchedBytes[a] = calc.read(a);
            }
        }
    }
    std::uint16_t watchedWord(std::uint16_t address) const {
        auto byte = [&](std::uint16_t a) -> unsigned {
            const auto it = watchedBytes.find(a);
            return it != watchedBytes.end() ? it->second : calc.read(a);
        };
        return static_cast<std::uint16_t>(byte(address) |
                                          byte(static_cast<std::uint16_t>(address + 1)) << 8);
    }

    /// At a fetch mark: a stop, or nullopt to go on (outputs added).
    std::optional<Stopped> atFetch(Progress& progress) {
        const std::uint16_t pc = calc.reg(Reg::pc);
        std::vector<int> hit;
        bool label = false;
        if (breakMarks[pc] != 0) {
            const bool counted =
                countedInRun && countedInRun->first == pc && countedInRun->second == calc.cycles();
            countedInRun.reset();
            if (!counted) countBreakpointsAt(pc);
            for (const FetchHit& h : fetchHits) {
                if (h.log != nullptr) {
                    progress.outputs.push_back({h.log->format(reader()) + "\n", h.file, h.line});
                } else {
                    hit.push_back(h.id);
                    label = label || h.label;
                }
            }
        }
        if (!hit.empty()) {
            Stopped s = stopWith(label ? StopReason::functionBreakpoint : StopReason::breakpoint);
            s.hitBreakpointIds = std::move(hit);
            return s;
        }
        const std::size_t depth = frames.size();
        switch (motion) {
            case Motion::run:
                return std::nullopt;
            case Motion::instructionIn:
                return stopWith(StopReason::step);
            case Motion::instructionNext:
                if (depth <= startDepth) return stopWith(StopReason::step);
                return std::nullopt;
            case Motion::stepOut:
                if (returnedFromStep) return stopWith(StopReason::step);
                return std::nullopt;
            case Motion::next:
                if (statementMarks[pc] != 0 && depth <= startDepth)
                    return stopWith(StopReason::step);
                return std::nullopt;
            case Motion::stepIn:
                if (statementMarks[pc] != 0) return stopWith(StopReason::step);
                return std::nullopt;
            case Motion::entry:
                if (statementMarks[pc] != 0 || !hasStatements) return stopWith(StopReason::entry);
                return std::nullopt;
        }
        return std::nullopt;
    }

    /// After an instruction that touched a watched variable.
    std::optional<Stopped> atAccess() {
        const std::uint16_t address = calc.accessAddress();
        const bool write = calc.accessWasWrite();
        std::optional<Stopped> stop;
        for (auto& bp : watchBreakpoints) {
            const Symbol& v = info.variables[bp.variable];
            if (static_cast<std::uint16_t>(address - v.address) > 1) continue;
            const bool wanted =
                bp.access == DataAccess::readWrite || (bp.access == DataAccess::write) == write;
            if (!wanted || !counts(bp.check, calc.reg(Reg::pc)) || stop) continue;
            const std::uint16_t now = calc.readWord(v.address);
            std::string description =
                write ? v.name + " written: " + std::to_string(watchedWord(v.address)) + " -> " +
                            std::to_string(now)
                      : v.name + " read: " + std::to_string(now);
            stop = stopWith(StopReason::dataBreakpoint, std::move(description));
            stop->hitBreakpointIds.push_back(bp.id);
        }
        refreshWatched();
        if (stop) {
            stopLocation = calc.lastInstruction();
            stoppedBeforeFetch = false;
        }
        return stop;
    }

    /// The run ended with a fault: a stop, or the end when its filter is off.
    void atFault(Progress& progress) {
        const auto kind = calc.faultKind();
        const auto index = static_cast<std::size_t>(
            std::find_if(std::begin(filters), std::end(filters),
                         [&](const ExceptionFilter& f) { return f.id == filterId(kind); }) -
            std::begin(filters));
        if (!enabledFilters[index]) {
            end(progress, Exited{1, faultText()});
            return;
        }
        Stopped s = stopWith(StopReason::exception, calc.faultMessage());
        s.text = faultText();
        faulted = true;
        stopLocation = calc.lastInstruction();
        stoppedBeforeFetch = false;
        exception = ExceptionDetails{std::string(filterId(kind)), calc.faultMessage(),
                                     sourceLineOf(calc.lastInstruction())};
        progress.stopped = std::move(s);
    }
    std::string faultText() const {
        std::string text = calc.faultMessage();
        const std::string line = sourceLineOf(calc.lastInstruction());
        if (!line.empty()) text += "\n" + line;
        return text;
    }

    void end(Progress& progress, Exited exited) {
        state = State::ended;
        calc.setDebugMarks(nullptr, nullptr);
        progress.exited = std::move(exited);
    }

    void applyScriptKeys() {
        while (scriptNext < options.keys.size() &&
               options.keys[scriptNext].cycle <= calc.cycles()) {
            const KeyEvent& key = options.keys[scriptNext];
            record({key.down ? Input::Kind::press : Input::Kind::release, calc.cycles(), key.key, 0,
                    static_cast<std::int64_t>(scriptNext)});
        }
    }

    Progress advance(std::uint64_t budget) {
        Progress progress;
        if (state != State::running) return progress;
        if (pendingStop) {
            state = State::stopped;
            progress.stopped = std::move(*pendingStop);
            pendingStop.reset();
            return progress;
        }
        if (pendingExit) {
            end(progress, std::move(*pendingExit));
            pendingExit.reset();
            return progress;
        }
        const std::uint64_t limit =
            options.timeLimit.value_or(std::numeric_limits<std::uint64_t>::max());
        // The time spent running counts from here (not between the calls).
        workFrom = std::chrono::steady_clock::now();
        const std::uint64_t room = std::numeric_limits<std::uint64_t>::max() - calc.cycles();
        const std::uint64_t stopAt = std::min(limit, calc.cycles() + std::min(budget, room));
        while (true) {
            if (pauseRequested) {
                pauseRequested = false;
                stoppedBeforeFetch = calc.reg(Reg::pc) >= ramStart;
                progress.stopped = stopWith(StopReason::pause);
                return progress;
            }
            // Returns now and then for the history; seldom, since each
            // return cuts short the calculator's skipping of idle loops.
            std::uint64_t target = std::min(stopAt, calc.cycles() + longestRun);
            if (scriptNext < options.keys.size())
                target = std::min(target, options.keys[scriptNext].cycle);
            const RunState result = calc.run(target);
            if (result == RunState::fault) {
                atFault(progress);
                return progress;
            }
            if (result == RunState::returned) {
                end(progress, Exited{0, {}});
                return progress;
            }
            if (calc.debugStop() == DebugStop::fetch) {
                stoppedBeforeFetch = true;
                if (auto stop = atFetch(progress)) {
                    progress.stopped = std::move(stop);
                    return progress;
                }
                calc.passFetchMark();
                continue;
            }
            if (calc.debugStop() == DebugStop::access) {
                if (auto stop = atAccess()) {
                    progress.stopped = std::move(stop);
                    return progress;
                }
                continue;
            }
            applyScriptKeys();
            if (calc.cycles() >= lastSnapshotCycle + snapshotInterval) {
                const auto now = std::chrono::steady_clock::now();
                workSinceSnapshot += now - workFrom;
                workFrom = now;
                if (workSinceSnapshot >= snapshotWork) takeSnapshot();
            }
            if (calc.cycles() >= limit) {
                end(progress, Exited{3, "stopped at the time limit"});
                return progress;
            }
            if (calc.cycles() >= stopAt) return progress;
        }
    }

    // ---- History ----

    Position here() const { return {calc.cycles(), inputsApplied}; }

    void record(Input input) {
        apply(input);
        // Input after a place the session went back to replaces what followed it.
        const std::uint64_t keep = inputsApplied - inputsBase;
        if (inputs.size() > keep) inputs.resize(keep);
        inputs.push_back(input);
        ++inputsApplied;
    }

    void apply(const Input& input) {
        switch (input.kind) {
            case Input::Kind::press:
                calc.pressKey(input.a);
                break;
            case Input::Kind::release:
                calc.releaseKey(input.a);
                break;
            case Input::Kind::poke:
                calc.write(static_cast<std::uint16_t>(input.a), static_cast<std::uint8_t>(input.b));
                break;
            case Input::Kind::setReg:
                calc.setReg(static_cast<Reg>(input.a), static_cast<std::uint16_t>(input.b));
                break;
        }
        if (input.scriptIndex >= 0) scriptNext = static_cast<std::size_t>(input.scriptIndex) + 1;
    }

    void takeSnapshot() {
        if (!calc.canSave() || calc.state() != RunState::running) return;
        Snapshot s{calc.save(), {}, frames, inputsApplied, scriptNext, 0};
        s.pages.resize(pageCount);
        const Snapshot* previous = history.empty() ? nullptr : &history.back();
        s.bytes = sizeof(Snapshot) + s.machine.size() - s.machine.ram.size() +
                  frames.size() * sizeof(Frame);
        for (std::size_t i = 0; i < pageCount; ++i) {
            Page page;
            std::copy_n(s.machine.ram.begin() + static_cast<std::ptrdiff_t>(i * pageSize), pageSize,
                        page.begin());
            if (previous != nullptr && *previous->pages[i] == page) {
                s.pages[i] = previous->pages[i];
            } else {
                s.pages[i] = std::make_shared<const Page>(page);
                s.bytes += sizeof(Page) + 32;
            }
        }
        s.machine.ram.clear();
        s.machine.ram.shrink_to_fit();
        historyBytes += s.bytes;
        lastSnapshotCycle = calc.cycles();
        workSinceSnapshot = {};
        history.push_back(std::move(s));
        while (historyBytes > options.historyBytes && history.size() > 1) dropOldest();
    }

    void dropOldest() {
        Snapshot& old = history.front();
        Snapshot& next = history[1];
        std::size_t moved = 0;
        for (std::size_t i = 0; i < pageCount; ++i) {
            if (next.pages[i] == old.pages[i]) moved += sizeof(Page) + 32;
        }
        next.bytes += moved;
        historyBytes -= old.bytes;
        historyBytes += moved;
        history.pop_front();
        while (!inputs.empty() && inputsBase < history.front().inputCount) {
            inputs.pop_front();
            ++inputsBase;
        }
    }

    void restore(const Snapshot& s) {
        Calculator::State machine = s.machine;
        machine.ram.resize(0x10000 - ramStart);
        for (std::size_t i = 0; i < pageCount; ++i) {
            std::copy(s.pages[i]->begin(), s.pages[i]->end(),
                      machine.ram.begin() + static_cast<std::ptrdiff_t>(i * pageSize));
        }
        calc.restore(machine);
        frames = s.frames;
        followFrames();
        inputsApplied = s.inputCount;
        scriptNext = s.scriptNext;
    }

    /// Restores save `index` and runs to `to`, calling `seen` at every fetch
    /// or access stop the marks bring on the way (before `to`).
    template <typename Seen>
    void replay(std::size_t index, Position to, const std::uint8_t* fetchMarks,
                const std::uint8_t* access, Seen&& seen) {
        replaying = true;
        restore(history[index]);
        calc.setDebugMarks(fetchMarks, access);
        while (calc.state() == RunState::running) {
            const bool inputDue =
                inputsApplied < to.inputs && inputsApplied - inputsBase < inputs.size();
            const std::uint64_t target =
                inputDue ? inputs[inputsApplied - inputsBase].cycle : to.cycle;
            while (calc.state() == RunState::running && calc.cycles() < target) {
                calc.run(target);
                if (calc.debugStop() == DebugStop::fetch) {
                    seen(true);
                    calc.passFetchMark();
                } else if (calc.debugStop() == DebugStop::access) {
                    seen(false);
                }
            }
            if (!inputDue || calc.state() != RunState::running) break;
            apply(inputs[inputsApplied - inputsBase]);
            ++inputsApplied;
        }
        calc.setDebugMarks(nullptr, nullptr);
        replaying = false;
    }

    /// The last save before `at`.
    std::optional<std::size_t> saveBefore(Position at) const {
        for (std::size_t i = history.size(); i-- > 0;) {
            if (history[i].machine.cycles < at.cycle) return i;
        }
        return std::nullopt;
    }

    /// Goes back to the last place before here that `wanted` accepts
    /// (scanning with the given marks); false when the history holds none.
    template <typename Wanted>
    bool goBack(const std::uint8_t* fetchMarks, const std::uint8_t* access, Wanted&& wanted,
                Position& found, bool& foundFetch) {
        const Position from = here();
        const auto hitsSaved = saveHits();
        bool any = false;
        for (auto index = saveBefore(from); index;) {
            const Position end =
                *index + 1 < history.size()
                    ? Position{history[*index + 1].machine.cycles, history[*index + 1].inputCount}
                    : from;
            replay(*index, end, fetchMarks, access, [&](bool fetch) {
                if (calc.cycles() < from.cycle && wanted(fetch)) {
                    found = here();
                    foundFetch = fetch;
                    any = true;
                }
            });
            if (any || *index == 0) break;
            index = *index - 1;
        }
        restoreHits(hitsSaved);
        if (!any && calc.cycles() != from.cycle) {
            // Back where the session was, as it was.
            const bool wasFaulted = faulted;
            auto details = exception;
            const auto location = stopLocation;
            const bool beforeFetch = stoppedBeforeFetch;
            moveTo(from);
            faulted = wasFaulted;
            exception = std::move(details);
            stopLocation = location;
            stoppedBeforeFetch = beforeFetch;
        }
        return any;
    }

    /// Moves the machine to `to` (known to be in the history) and forgets
    /// what came after it.
    void moveTo(Position to) {
        const auto index = saveBefore({to.cycle + 1, 0});
        replay(*index, to, nullptr, nullptr, [](bool) {});
        while (history.size() > 1 && (history.back().machine.cycles > to.cycle ||
                                      (history.back().machine.cycles == to.cycle &&
                                       history.back().inputCount > inputsApplied))) {
            historyBytes -= history.back().bytes;
            history.pop_back();
        }
        inputs.resize(std::min<std::size_t>(inputs.size(), inputsApplied - inputsBase));
        lastSnapshotCycle = history.back().machine.cycles;
        faulted = false;
        exception.reset();
        refreshWatched();
    }

    std::vector<std::uint64_t> saveHits() const {
        std::vector<std::uint64_t> hits;
        for (const auto& [file, list] : lineBreakpoints) {
            for (const auto& bp : list) hits.push_back(bp.check.hits);
        }
        for (const auto& bp : labelBreakpoints) hits.push_back(bp.check.hits);
        for (const auto& bp : watchBreakpoints) hits.push_back(bp.check.hits);
        return hits;
    }
    void restoreHits(const std::vector<std::uint64_t>& hits) {
        std::size_t i = 0;
        for (auto& [file, list] : lineBreakpoints) {
            for (auto& bp : list) bp.check.hits = hits[i++];
        }
        for (auto& bp : labelBreakpoints) bp.check.hits = hits[i++];
        for (auto& bp : watchBreakpoints) bp.check.hits = hits[i++];
    }

    bool stepBack(Granularity granularity, std::string& error) {
        if (state != State::stopped) {
            error = "the program is not stopped";
            return false;
        }
        const std::size_t depth = frames.size();
        Position found{};
        bool fetch = true;
        const bool any =
            granularity == Granularity::instruction
                ? goBack(
                      allMarks.data(), nullptr, [](bool) { return true; }, found, fetch)
                : goBack(
                      statementMarks.data(), nullptr,
                      [&](bool) {
                          return statementMarks[calc.reg(Reg::pc)] != 0 && frames.size() <= depth;
                      },
                      found, fetch);
        if (!any) {
            error = "the history holds nothing earlier";
            return false;
        }
        arriveBack(found, fetch, Stopped{StopReason::step, {}, {}, {}});
        return true;
    }

    bool reverseContinue(std::string& error) {
        if (state != State::stopped) {
            error = "the program is not stopped";
            return false;
        }
        if (history.empty()) {
            error = "the history holds nothing earlier";
            return false;
        }
        Position found{};
        bool fetch = true;
        std::vector<int> ids;
        StopReason reason = StopReason::breakpoint;
        const bool any = goBack(
            breakMarks.data(), watchBreakpoints.empty() ? nullptr : accessMarks.data(),
            [&](bool atFetchMark) {
                const auto stop = atFetchMark ? wouldBreak() : wouldWatch();
                if (!stop) return false;
                ids = stop->hitBreakpointIds;
                reason = stop->reason;
                return true;
            },
            found, fetch);
        if (!any) {
            found = {history.front().machine.cycles, history.front().inputCount};
            moveTo(found);
            stoppedBeforeFetch = true;
            state = State::running;
            pendingStop = Stopped{StopReason::step, "the start of the recorded history", {}, {}};
            return true;
        }
        arriveBack(found, fetch, Stopped{reason, {}, {}, ids});
        return true;
    }

    /// Whether a breakpoint here would stop (its condition holds), without counting.
    std::optional<Stopped> wouldBreak() const {
        const std::uint16_t pc = calc.reg(Reg::pc);
        Stopped s;
        for (const auto& [file, list] : lineBreakpoints) {
            for (const auto& bp : list) {
                if (bp.address == pc && !bp.check.log &&
                    (!bp.check.condition || bp.check.condition->evaluate(reader()) != 0)) {
                    s.hitBreakpointIds.push_back(bp.id);
                }
            }
        }
        for (const auto& bp : labelBreakpoints) {
            if (bp.address == pc &&
                (!bp.check.condition || bp.check.condition->evaluate(reader()) != 0)) {
                s.reason = StopReason::functionBreakpoint;
                s.hitBreakpointIds.push_back(bp.id);
            }
        }
        if (s.hitBreakpointIds.empty()) return std::nullopt;
        if (s.reason != StopReason::functionBreakpoint) s.reason = StopReason::breakpoint;
        return s;
    }
    std::optional<Stopped> wouldWatch() const {
        const std::uint16_t address = calc.accessAddress();
        for (const auto& bp : watchBreakpoints) {
            const Symbol& v = info.variables[bp.variable];
            if (static_cast<std::uint16_t>(address - v.address) > 1) continue;
            if (bp.access != DataAccess::readWrite &&
                (bp.access == DataAccess::write) != calc.accessWasWrite())
                continue;
            if (bp.check.condition && bp.check.condition->evaluate(reader()) == 0) continue;
            return Stopped{StopReason::dataBreakpoint, {}, {}, {bp.id}};
        }
        return std::nullopt;
    }

    void arriveBack(Position found, bool fetch, Stopped stop) {
        moveTo(found);
        stoppedBeforeFetch = fetch;
        if (!fetch) stopLocation = calc.lastInstruction();
        if (stop.reason == StopReason::dataBreakpoint) stop.description = "back at the access";
        state = State::running;  // the stop comes with the next advance()
        pendingStop = std::move(stop);
    }

    // ---- Inspection ----

    std::string sourceLineOf(std::uint16_t address) const {
        const CodeRange* range = rangeAt(address);
        if (range == nullptr) return {};
        std::string text = fileName(range->file) + ":" + std::to_string(range->line) + ":";
        const auto file = static_cast<std::size_t>(range->file);
        if (file < info.lines.size() && range->line >= 1 &&
            static_cast<std::size_t>(range->line) <= info.lines[file].size()) {
            text += " " + trimmed(info.lines[file][static_cast<std::size_t>(range->line - 1)]);
        }
        return text;
    }

    std::string labelName(std::uint16_t address) const {
        for (const auto& label : info.labels) {
            if (label.address == address) return label.name;
        }
        return hex4(address);
    }

    std::uint16_t location() const {
        if (stopLocation) return *stopLocation;
        const std::uint16_t pc = calc.reg(Reg::pc);
        return pc < ramStart ? calc.lastInstruction() : pc;
    }

    std::vector<StackFrame> stackTrace() const {
        std::vector<StackFrame> out;
        std::uint16_t at = location();
        for (std::size_t i = frames.size() + 1; i-- > 0;) {
            StackFrame frame;
            frame.id = static_cast<int>(out.size()) + 1;
            frame.name = i == 0 ? programName() : labelName(frames[i - 1].target);
            frame.address = at;
            if (const CodeRange* range = rangeAt(at)) {
                frame.file = range->file;
                frame.line = range->line;
            }
            out.push_back(std::move(frame));
            if (i > 0) at = frames[i - 1].callAt;
        }
        return out;
    }

    std::string stringAt(std::uint16_t address) const {
        std::string text = "\"";
        for (int i = 0; i < 256; ++i) {
            const std::uint8_t c = calc.read(static_cast<std::uint16_t>(address + i));
            if (c == 0) return text + "\"";
            if (c == '"' || c == '\\') {
                text += '\\';
                text += static_cast<char>(c);
            } else if (c >= 0x20 && c < 0x7F) {
                text += static_cast<char>(c);
            } else {
                std::array<char, 8> escaped{};
                std::snprintf(escaped.data(), escaped.size(), "\\x%02X", c);
                text += escaped.data();
            }
        }
        return text + "...\"";
    }

    static std::string flagsText(std::uint8_t f) {
        static constexpr std::pair<std::uint8_t, std::string_view> names[] = {
            {0x80, "sign"},     {0x40, "zero"}, {0x10, "half carry"}, {0x04, "parity/overflow"},
            {0x02, "subtract"}, {0x01, "carry"}};
        std::string set;
        for (const auto& [bit, name] : names) {
            if (f & bit) set += (set.empty() ? "" : ", ") + std::string(name);
        }
        return hex2(f) + " (" + (set.empty() ? std::string("no flags") : set) + ")";
    }

    std::vector<Variable> variables(int reference) const {
        std::vector<Variable> out;
        switch (reference) {
            case variablesScope:
                for (const auto& v : info.variables) {
                    out.push_back(
                        {v.name, describeWord(calc.readWord(v.address)), v.name, v.address});
                }
                break;
            case stringsScope:
                for (const auto& s : info.strings)
                    out.push_back({s.name, stringAt(s.address), s.name, s.address});
                break;
            case registersScope: {
                const std::uint16_t af = calc.reg(Reg::af);
                out.push_back(
                    {"A", describeByte(static_cast<std::uint8_t>(af >> 8)), "A", std::nullopt});
                out.push_back({"F", flagsText(static_cast<std::uint8_t>(af)), "F", std::nullopt});
                static constexpr std::pair<std::string_view, Reg> pairs[] = {
                    {"BC", Reg::bc}, {"DE", Reg::de}, {"HL", Reg::hl}, {"IX", Reg::ix},
                    {"IY", Reg::iy}, {"SP", Reg::sp}, {"PC", Reg::pc}};
                for (const auto& [name, reg] : pairs) {
                    const std::uint16_t value = calc.reg(reg);
                    out.push_back(
                        {std::string(name), describeWord(value), std::string(name), value});
                }
                static constexpr std::pair<std::string_view, Reg> shadows[] = {
                    {"AF'", Reg::af}, {"BC'", Reg::bc}, {"DE'", Reg::de}, {"HL'", Reg::hl}};
                for (const auto& [name, reg] : shadows) {
                    out.push_back(
                        {std::string(name), describeWord(calc.shadowReg(reg)), {}, std::nullopt});
                }
                break;
            }
            case calculatorScope: {
                for (const auto& cell : calculatorCells) {
                    out.push_back({std::string(cell.name),
                                   std::to_string(calc.read(cell.address)),
                                   {},
                                   cell.address});
                }
                const int key = calc.lastKeyTaken();
                out.push_back(
                    {"last key",
                     key < 0 ? "none" : std::string(allKeys()[static_cast<std::size_t>(key)].name),
                     {},
                     std::nullopt});
                break;
            }
            default:
                break;
        }
        return out;
    }

    static std::string describeByte(std::uint8_t value) {
        return std::to_string(value) + " (" + hex2(value) + ")";
    }

    Answer setVariable(int reference, const std::string& name, const std::string& text) {
        if (state != State::stopped) return {false, "the program is not stopped", {}};
        std::string error;
        auto expression = Expression::parse(text, resolver(), error);
        if (!expression) return {false, "'" + text + "' is not a value: " + error, {}};
        const auto value = static_cast<std::uint16_t>(expression->evaluate(reader()));
        auto poke = [&](std::uint16_t address, std::uint8_t byte) {
            record({Input::Kind::poke, calc.cycles(), address, byte});
        };
        switch (reference) {
            case variablesScope:
                for (const auto& v : info.variables) {
                    if (v.name != name) continue;
                    poke(v.address, static_cast<std::uint8_t>(value));
                    poke(static_cast<std::uint16_t>(v.address + 1),
                         static_cast<std::uint8_t>(value >> 8));
                    refreshWatched();
                    return {true, describeWord(calc.readWord(v.address)), v.address};
                }
                break;
            case registersScope:
                for (const auto& r : registerNames) {
                    if (r.name != name) continue;
                    const std::uint16_t old = calc.reg(r.reg);
                    std::uint16_t now = value;
                    if (r.kind == NameRef::Kind::reg8high)
                        now = static_cast<std::uint16_t>((old & 0x00FF) | (value & 0xFF) << 8);
                    if (r.kind == NameRef::Kind::reg8low)
                        now = static_cast<std::uint16_t>((old & 0xFF00) | (value & 0xFF));
                    record({Input::Kind::setReg, calc.cycles(), static_cast<int>(r.reg), now});
                    if (r.reg == Reg::pc) stoppedBeforeFetch = false;
                    if (r.kind == NameRef::Kind::reg16) return {true, describeWord(now), now};
                    return {true,
                            r.kind == NameRef::Kind::reg8low && r.name == "F"
                                ? flagsText(static_cast<std::uint8_t>(now))
                                : describeByte(static_cast<std::uint8_t>(value)),
                            std::nullopt};
                }
                break;
            case calculatorScope:
                for (const auto& cell : calculatorCells) {
                    if (cell.name != name) continue;
                    poke(cell.address, static_cast<std::uint8_t>(value));
                    return {true, std::to_string(calc.read(cell.address)), cell.address};
                }
                break;
            default:
                break;
        }
        return {false, "'" + name + "' cannot be set here", {}};
    }

    std::string screen() const {
        std::string text;
        text.reserve(static_cast<std::size_t>(screenHeight * (screenWidth + 1)));
        for (int y = 0; y < screenHeight; ++y) {
            for (int x = 0; x < screenWidth; ++x) text += calc.shownPixel(x, y) ? '#' : '.';
            text += '\n';
        }
        return text;
    }

    Answer evaluate(const std::string& text) const {
        const std::string expression = trimmed(text);
        if (expression == "screen") return {true, screen(), std::nullopt};
        for (const auto& s : info.strings) {
            if (s.name == expression) return {true, stringAt(s.address), s.address};
        }
        std::string error;
        auto parsed = Expression::parse(expression, resolver(), error);
        if (!parsed) return {false, error, std::nullopt};
        const std::int32_t value = parsed->evaluate(reader());
        if (parsed->isTruth()) return {true, value != 0 ? "true" : "false", std::nullopt};
        std::optional<std::uint16_t> reference;
        if (const NameRef* name = parsed->soleName();
            name && name->kind == NameRef::Kind::variable) {
            reference = name->address;
        }
        return {true, describeWord(static_cast<std::uint16_t>(value)), reference};
    }

    Instruction disassembleOne(std::uint16_t address) const {
        std::array<char, 64> text{};
        int states = 0, states2 = 0;
        const int length = z80ex_dasm(
            text.data(), static_cast<int>(text.size()), 0, &states, &states2,
            [](Z80EX_WORD a, void* self) -> Z80EX_BYTE {
                return static_cast<const Calculator*>(self)->read(a);
            },
            address, const_cast<Calculator*>(&calc));
        Instruction out;
        out.address = address;
        for (int i = 0; i < std::max(length, 1); ++i) {
            std::array<char, 4> byte{};
            std::snprintf(byte.data(), byte.size(), "%02X",
                          calc.read(static_cast<std::uint16_t>(address + i)));
            if (i > 0) out.bytes += ' ';
            out.bytes += byte.data();
        }
        out.text = text.data();
        if (const CodeRange* range = rangeAt(address)) {
            out.file = range->file;
            out.line = range->line;
        }
        return out;
    }
    int lengthAt(std::uint16_t address) const {
        std::array<char, 64> text{};
        int states = 0, states2 = 0;
        return std::max(1, z80ex_dasm(
                               text.data(), static_cast<int>(text.size()), 0, &states, &states2,
                               [](Z80EX_WORD a, void* self) -> Z80EX_BYTE {
                                   return static_cast<const Calculator*>(self)->read(a);
                               },
                               address, const_cast<Calculator*>(&calc)));
    }

    std::vector<Instruction> disassemble(std::uint16_t address, int offset, int count) const {
        offset = std::clamp(offset, -0x10000, 0x10000);
        count = std::clamp(count, 0, 0x10000);
        std::uint32_t start = address;
        if (offset < 0) {
            // Instructions before `address`: from a start far enough back
            // whose instructions meet `address` exactly (Z80 code falls into
            // step within a few instructions); else a byte per instruction.
            const int wanted = -offset;
            for (int back = wanted * 4; back >= wanted * 4 - 3; --back) {
                std::vector<std::uint16_t> starts;
                std::uint32_t a = address >= back ? address - static_cast<std::uint32_t>(back) : 0;
                while (a < address) {
                    starts.push_back(static_cast<std::uint16_t>(a));
                    a += static_cast<std::uint32_t>(lengthAt(static_cast<std::uint16_t>(a)));
                }
                if (a == address && starts.size() >= static_cast<std::size_t>(wanted)) {
                    start = starts[starts.size() - static_cast<std::size_t>(wanted)];
                    break;
                }
                if (back == wanted * 4 - 3) {
                    start = address >= wanted ? address - static_cast<std::uint32_t>(wanted) : 0;
                }
            }
        } else {
            for (int i = 0; i < offset; ++i)
                start += static_cast<std::uint32_t>(lengthAt(static_cast<std::uint16_t>(start)));
        }
        std::vector<Instruction> out;
        for (int i = 0; i < count && i < 65536; ++i) {
            out.push_back(disassembleOne(static_cast<std::uint16_t>(start)));
            start += static_cast<std::uint32_t>(lengthAt(static_cast<std::uint16_t>(start)));
        }
        return out;
    }
};

// ---- Line breakpoints ----

Session::Impl::LineBreakpoint* Session::Impl::findSame(std::vector<LineBreakpoint>& list,
                                                       const SourceBreakpoint& asked) {
    for (auto& bp : list) {
        if (bp.asked.line == asked.line && bp.asked.condition == asked.condition &&
            bp.asked.hitCondition == asked.hitCondition &&
            bp.asked.logMessage == asked.logMessage) {
            return &bp;
        }
    }
    return nullptr;
}

BreakpointAnswer Session::Impl::placeLine(LineBreakpoint& bp, int file) const {
    BreakpointAnswer answer{bp.id, false, bp.asked.line, file, {}};
    if (bp.asked.line < 1) {
        answer.message =
            "line " + std::to_string(bp.asked.line) + " is not a line of " + fileName(file);
        bp.address.reset();
        return answer;
    }
    // The statement on that line, or the next line that has one.
    const CodeRange* best = nullptr;
    int lastLine = 0;
    for (const auto& range : info.code) {
        if (range.file != file || !range.statementStart) continue;
        lastLine = std::max(lastLine, range.line);
        if (range.line < bp.asked.line) continue;
        if (best == nullptr || range.line < best->line ||
            (range.line == best->line && range.start < best->start)) {
            best = &range;
        }
    }
    if (best == nullptr) {
        answer.message = lastLine == 0 ? fileName(file) + " has no code"
                                       : "line " + std::to_string(bp.asked.line) +
                                             " is past the last statement of " + fileName(file) +
                                             " (line " + std::to_string(lastLine) + ")";
        bp.address.reset();
        return answer;
    }
    bp.file = file;
    bp.line = best->line;
    bp.address = best->start;
    answer.line = best->line;
    answer.verified = true;
    if (best->line != bp.asked.line) {
        answer.message = "line " + std::to_string(bp.asked.line) + " has no code; moved to line " +
                         std::to_string(best->line);
    }
    return answer;
}

std::vector<BreakpointAnswer> Session::Impl::setLineBreakpoints(
    const std::string& path, const std::vector<SourceBreakpoint>& requested) {
    std::vector<BreakpointAnswer> answers;
    const std::optional<int> file = [&]() -> std::optional<int> {
        std::error_code ec;
        const auto wanted = std::filesystem::weakly_canonical(path, ec);
        for (std::size_t i = 0; i < info.files.size(); ++i) {
            std::error_code ec2;
            if (std::filesystem::weakly_canonical(info.files[i], ec2) == wanted && !ec && !ec2) {
                return static_cast<int>(i);
            }
        }
        return std::nullopt;
    }();
    std::vector<LineBreakpoint> old =
        file ? std::move(lineBreakpoints[*file]) : std::vector<LineBreakpoint>{};
    std::vector<LineBreakpoint> placed;
    for (const auto& asked : requested) {
        LineBreakpoint bp{0, asked, file.value_or(-1), asked.line, std::nullopt, {}};
        if (LineBreakpoint* same = findSame(old, asked)) {
            bp.id = same->id;
            bp.check.hits = same->check.hits;
        } else {
            bp.id = nextId++;
        }
        if (!file) {
            std::string names;
            for (const auto& f : info.files)
                names += (names.empty() ? "" : ", ") + std::filesystem::path(f).filename().string();
            answers.push_back({bp.id, false, asked.line, -1,
                               std::filesystem::path(path).filename().string() +
                                   " is not part of the program being debugged (" + names + ")"});
            continue;
        }
        std::string error;
        const std::uint64_t hits = bp.check.hits;
        if (!makeCheck(asked.condition, asked.hitCondition, asked.logMessage, bp.check, error)) {
            answers.push_back({bp.id, false, asked.line, *file, error});
            continue;
        }
        bp.check.hits = hits;
        answers.push_back(placeLine(bp, *file));
        if (bp.address) placed.push_back(std::move(bp));
    }
    if (file) lineBreakpoints[*file] = std::move(placed);
    rebuildMarks();
    return answers;
}

// ---- Session ----

Session::Session(Calculator& calc, DebugInfo info, SessionOptions options)
    : impl_(std::make_unique<Impl>(calc, std::move(info), std::move(options))) {}

Session::~Session() = default;

const DebugInfo& Session::info() const { return impl_->info; }

std::optional<int> Session::fileIndex(const std::string& path) const {
    std::error_code ec;
    const auto wanted = std::filesystem::weakly_canonical(path, ec);
    if (ec) return std::nullopt;
    for (std::size_t i = 0; i < impl_->info.files.size(); ++i) {
        std::error_code ec2;
        if (std::filesystem::weakly_canonical(impl_->info.files[i], ec2) == wanted && !ec2) {
            return static_cast<int>(i);
        }
    }
    return std::nullopt;
}

std::vector<BreakpointAnswer> Session::setBreakpoints(
    const std::string& path, const std::vector<SourceBreakpoint>& breakpoints) {
    return impl_->setLineBreakpoints(path, breakpoints);
}

std::vector<BreakpointAnswer> Session::setFunctionBreakpoints(
    const std::vector<FunctionBreakpoint>& breakpoints) {
    Impl& s = *impl_;
    std::vector<BreakpointAnswer> answers;
    std::vector<Impl::LabelBreakpoint> placed;
    for (const auto& asked : breakpoints) {
        Impl::LabelBreakpoint bp{s.nextId++, asked, std::nullopt, {}};
        std::string name = Impl::trimmedName(asked.name);
        const Symbol* label = nullptr;
        for (const auto& l : s.info.labels) {
            if (l.name == name) label = &l;
        }
        for (const auto& l : s.info.labels) {
            if (label == nullptr && lower(l.name) == lower(name)) label = &l;
        }
        if (label == nullptr) {
            answers.push_back({bp.id, false, 0, -1, "the program has no label :" + name});
            continue;
        }
        std::string error;
        if (!s.makeCheck(asked.condition, asked.hitCondition, {}, bp.check, error)) {
            answers.push_back({bp.id, false, label->line, label->file, error});
            continue;
        }
        bp.address = label->address;
        answers.push_back({bp.id, true, label->line, label->file, {}});
        placed.push_back(std::move(bp));
    }
    s.labelBreakpoints = std::move(placed);
    s.rebuildMarks();
    return answers;
}

DataBreakpointInfo Session::dataBreakpointInfo(const std::string& name) const {
    for (const auto& v : impl_->info.variables) {
        if (v.name == name) {
            return {v.name,
                    v.name + " (2 bytes at " + hex4(v.address) + ")",
                    {DataAccess::write, DataAccess::read, DataAccess::readWrite}};
        }
    }
    return {std::nullopt, "'" + name + "' is not a variable of the program", {}};
}

std::vector<BreakpointAnswer> Session::setDataBreakpoints(
    const std::vector<DataBreakpoint>& breakpoints) {
    Impl& s = *impl_;
    std::vector<BreakpointAnswer> answers;
    std::vector<Impl::WatchBreakpoint> placed;
    for (const auto& asked : breakpoints) {
        Impl::WatchBreakpoint bp{s.nextId++, 0, asked.access, {}};
        const auto it = std::find_if(s.info.variables.begin(), s.info.variables.end(),
                                     [&](const Symbol& v) { return v.name == asked.dataId; });
        if (it == s.info.variables.end()) {
            answers.push_back(
                {bp.id, false, 0, -1, "'" + asked.dataId + "' is not a variable of the program"});
            continue;
        }
        std::string error;
        if (!s.makeCheck(asked.condition, asked.hitCondition, {}, bp.check, error)) {
            answers.push_back({bp.id, false, it->line, it->file, error});
            continue;
        }
        bp.variable = static_cast<std::size_t>(it - s.info.variables.begin());
        answers.push_back({bp.id, true, it->line, it->file, {}});
        placed.push_back(std::move(bp));
    }
    s.watchBreakpoints = std::move(placed);
    s.rebuildMarks();
    s.refreshWatched();
    return answers;
}

bool Session::setExceptionFilters(const std::vector<std::string>& ids, std::string& error) {
    std::vector<bool> enabled(std::size(filters), false);
    for (const auto& id : ids) {
        const auto it = std::find_if(std::begin(filters), std::end(filters),
                                     [&](const ExceptionFilter& f) { return f.id == id; });
        if (it == std::end(filters)) {
            error = "there is no exception filter '" + id + "'";
            return false;
        }
        enabled[static_cast<std::size_t>(it - std::begin(filters))] = true;
    }
    impl_->enabledFilters = enabled;
    return true;
}

void Session::begin(bool stopOnEntry) {
    Impl& s = *impl_;
    if (s.state != Impl::State::configuring) return;
    s.takeSnapshot();
    s.lastSnapshotCycle = s.calc.cycles();
    s.state = Impl::State::stopped;
    s.stoppedBeforeFetch = false;
    s.resume(stopOnEntry ? Impl::Motion::entry : Impl::Motion::run);
}

Progress Session::advance(std::uint64_t cycles) { return impl_->advance(cycles); }
bool Session::running() const { return impl_->state == Impl::State::running; }
bool Session::ended() const { return impl_->state == Impl::State::ended; }

void Session::continueRun() { impl_->resume(Impl::Motion::run); }
void Session::next(Granularity g) {
    impl_->resume(g == Granularity::instruction ? Impl::Motion::instructionNext
                                                : Impl::Motion::next);
}
void Session::stepIn(Granularity g) {
    impl_->resume(g == Granularity::instruction ? Impl::Motion::instructionIn
                                                : Impl::Motion::stepIn);
}
void Session::stepOut(Granularity) { impl_->resume(Impl::Motion::stepOut); }
bool Session::stepBack(Granularity g, std::string& error) { return impl_->stepBack(g, error); }
bool Session::reverseContinue(std::string& error) { return impl_->reverseContinue(error); }
void Session::pause() {
    if (impl_->state == Impl::State::running) impl_->pauseRequested = true;
}

void Session::pressKey(int key) {
    if (impl_->state == Impl::State::ended || impl_->faulted) return;
    impl_->record({Impl::Input::Kind::press, impl_->calc.cycles(), key, 0});
}
void Session::releaseKey(int key) {
    if (impl_->state == Impl::State::ended || impl_->faulted) return;
    impl_->record({Impl::Input::Kind::release, impl_->calc.cycles(), key, 0});
}

std::vector<StackFrame> Session::stackTrace() const { return impl_->stackTrace(); }

std::vector<Scope> Session::scopes(int) const {
    return {{"Variables", variablesScope},
            {"Strings", stringsScope},
            {"Registers", registersScope},
            {"Calculator", calculatorScope}};
}

std::vector<Variable> Session::variables(int reference) const {
    return impl_->variables(reference);
}

Answer Session::setVariable(int reference, const std::string& name, const std::string& value) {
    return impl_->setVariable(reference, name, value);
}

Answer Session::evaluate(const std::string& expression) const {
    return impl_->evaluate(expression);
}

std::vector<std::uint8_t> Session::readMemory(std::uint16_t address, std::size_t count) const {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(std::min<std::size_t>(count, 0x10000));
    for (std::size_t i = 0; i < count && i < 0x10000; ++i) {
        bytes.push_back(impl_->calc.read(static_cast<std::uint16_t>(address + i)));
    }
    return bytes;
}

std::vector<Instruction> Session::disassemble(std::uint16_t address, int offset, int count) const {
    return impl_->disassemble(address, offset, count);
}

std::optional<ExceptionDetails> Session::exceptionInfo() const { return impl_->exception; }

std::string Session::sourceLineOf(std::uint16_t address) const {
    return impl_->sourceLineOf(address);
}

std::string Session::checkCondition(const std::string& condition) {
    std::string error;
    // Every name is accepted here: the program's tables decide later.
    const NameResolver any = [](std::string_view name) -> std::optional<NameRef> {
        return NameRef{NameRef::Kind::variable, 0, 0, std::string(name)};
    };
    if (!Expression::parse(condition, any, error)) return error;
    return {};
}

}  // namespace calcview::debug
