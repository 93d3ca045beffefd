// SPDX-License-Identifier: GPL-2.0-or-later
#include "listing.hpp"

#include <algorithm>
#include <cstdio>

#include "text.hpp"

namespace tasm {

namespace {

constexpr size_t bytesPerLine = 4;
// The location counter's '~' or blank and the bytes fill this many
// columns, so that the text of every line starts in the same column.
constexpr size_t codeColumns = 13;
constexpr int defaultPageLines = 60;
constexpr const char* identifier = "TASM Z80 Assembler (stand-in)";

std::string hex(uint32_t value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*X", digits, value);
    return text;
}

std::string padded(std::string text, size_t width) {
    if (text.size() < width) text.resize(width, ' ');
    return text;
}

bool byName(const LabelValue& a, const LabelValue& b) { return lower(a.name) < lower(b.name); }

class ListingWriter {
  public:
    ListingWriter(const ListingInput& input, const Job& job)
        : input_(input),
          job_(job),
          on_(job.listingOn),
          paging_(job.pageLines > 0),
          pageLines_(job.pageLines > 0 ? job.pageLines : defaultPageLines) {}

    std::optional<std::string> run() {
        if (paging_) eject();
        auto step = input_.steps.begin();
        for (const ListedLine& line : input_.lines) {
            if (line.statements == 0) {
                show(line, placeBefore(line.firstStatement), 0, line.text);
                continue;
            }
            for (size_t k = 0; k < line.statements; ++k) {
                const size_t statement = line.firstStatement + k;
                for (; step != input_.steps.end() && step->statement <= statement; ++step) {
                    if (step->statement == statement) apply(*step);
                }
                const StatementPlace& place = input_.statements[statement];
                show(line, place.shown, place.bytes, k == 0 ? line.text : "");
            }
        }
        if (job_.labels != LabelTable::none) labelTable();
        emit("tasm: Number of errors = 0\n");
        if (!listed_) return std::nullopt;
        return std::move(out_);
    }

  private:
    uint32_t placeBefore(size_t statement) const {
        return statement < input_.statements.size() ? input_.statements[statement].start
                                                    : input_.end;
    }

    void apply(const ListingStep& step) {
        switch (step.directive) {
            case Directive::list: on_ = true; break;
            case Directive::noList: on_ = false; break;
            case Directive::codes: codes_ = true; break;
            case Directive::noCodes: codes_ = false; break;
            case Directive::page: paging_ = true; break;
            case Directive::noPage: paging_ = false; break;
            case Directive::eject:
                if (paging_) eject();
                break;
            case Directive::title: {
                const std::optional<std::string> text = stringBytes(trim(step.operands));
                title_ = text ? *text : step.operands;
                break;
            }
            default: break;
        }
    }

    // One line of the listing and the lines that carry its further bytes.
    void show(const ListedLine& line, uint32_t address, uint32_t bytes, const std::string& text) {
        if (!codes_) return emit(text + "\n");
        static constexpr const char* includeMarks[] = {"   ", "+  ", "++ ", "+++"};
        char lineNumber[16];
        std::snprintf(lineNumber, sizeof lineNumber, "%04d", line.where.line);
        const std::string prefix =
            std::string(lineNumber) + includeMarks[std::min(line.depth, 3)];
        std::string code(1, line.skipped ? '~' : ' ');
        uint32_t done = 0;
        for (; done < bytes && done < bytesPerLine; ++done) code += byteAt(address + done) + " ";
        emit(prefix + hex(address & 0xFFFF, 4) + padded(code, codeColumns) + text + "\n");
        while (done < bytes) {
            std::string more = prefix + hex((address + done) & 0xFFFF, 4) + " ";
            for (size_t i = 0; i < bytesPerLine && done < bytes; ++i, ++done) {
                more += byteAt(address + done) + " ";
            }
            emit(more + "\n");
        }
    }

    std::string byteAt(uint32_t address) const {
        return hex(input_.image.at(address & 0xFFFF), 2);
    }

    void labelTable() {
        std::vector<LabelValue> labels;
        for (const LabelValue& label : input_.labels) {
            if (!label.local || job_.labels == LabelTable::all) labels.push_back(label);
        }
        std::sort(labels.begin(), labels.end(), byName);
        emit("\n");
        emit("\n");
        emit("\n");
        if (job_.longLabels) {
            emit("Value    Type   Label\n");
            emit("-----    ----   ------------------------------\n");
            for (const LabelValue& label : labels) {
                emit(hex(label.value, 4) + "     " + (label.local ? "L" : " ") + "      " +
                     label.name + "\n");
            }
        } else {
            emit("Label        Value      Label        Value      Label        Value\n");
            emit("------------------      ------------------      ------------------\n");
            std::string row;
            for (size_t i = 0; i < labels.size(); ++i) {
                row += padded(labels[i].name, 13) + " " + hex(labels[i].value, 4) + "      ";
                if ((i + 1) % 3 == 0 || i + 1 == labels.size()) {
                    emit(row + "\n");
                    row.clear();
                }
            }
        }
        emit("\n");
    }

    // A form feed and the page's header: the assembler, the source, the
    // page number and the title.
    void eject() {
        ++page_;
        pageLine_ = 0;
        emit("\f");
        emit(padded(identifier, 30) + "    " + padded(job_.source, 30) + "   page " +
             std::to_string(page_) + "\n");
        emit(title_ + "\n");
        emit("\n");
    }

    // A page full when the next line comes begins a new one, so that the
    // listing never ends with an empty page.
    void emit(const std::string& text) {
        if (!on_) return;
        if (paging_ && pageLine_ >= pageLines_) eject();
        out_ += text;
        listed_ = true;
        ++pageLine_;
    }

    const ListingInput& input_;
    const Job& job_;
    bool on_;
    bool codes_ = true;
    bool paging_;
    int pageLines_;
    int pageLine_ = 0;
    int page_ = 0;
    std::string title_;
    std::string out_;
    bool listed_ = false;
};

}  // namespace

std::vector<StatementPlace> placeStatements(const Rewritten& program,
                                            const std::vector<uint32_t>& lineAddresses) {
    std::vector<StatementPlace> places;
    const size_t count = program.statementLines.size();
    const auto startOf = [&](size_t statement) {
        return statement < count ? lineAddresses[program.statementLines[statement]]
                                 : lineAddresses.back();
    };
    places.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        const uint32_t start = startOf(i);
        const uint32_t next = startOf(i + 1);
        places.push_back({start, start, next >= start ? next - start : 0});
    }
    for (const ListingStep& step : program.listingSteps) {
        StatementPlace& place = places[step.statement];
        if (step.directive == Directive::origin) place = {place.start, startOf(step.statement + 1), 0};
        if (step.directive == Directive::block) place.bytes = 0;
    }
    return places;
}

std::optional<std::string> listingText(const ListingInput& input, const Job& job) {
    return ListingWriter(input, job).run();
}

std::string symbolFileText(const std::vector<LabelValue>& labels) {
    std::vector<LabelValue> sorted = labels;
    std::sort(sorted.begin(), sorted.end(), byName);
    std::string text;
    for (const LabelValue& label : sorted) {
        text += padded(label.name, 16) + "  " + hex(label.value & 0xFFFF, 4) + "\n";
    }
    return text;
}

}  // namespace tasm
