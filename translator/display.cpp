// SPDX-License-Identifier: GPL-2.0-or-later
// Contrast, run indicator and power: statements that control the calculator
// itself. None of them writes its cut text back into the current line.

#include "statements.hpp"

namespace trovik {

/// contrast(V); sends the value of V to the display driver as its contrast
/// command, once the driver is ready.
void translateContrast(Translation& t, std::string_view keyword) {
    t.loadWork();
    t.cutInner(keyword, 2);
    const std::string_view value = t.workString;
    t.emitEmpty();
    if (!t.optimise) t.emit("\tpush af");
    t.emit("\tld a,(", value, ")");
    t.emit("\tor 0C0h");
    t.emit("\tcall _lcd_busy");
    t.emit("\tout (LCDINSTPORT),a");
    if (!t.optimise) t.emit("\tpop af");
}

void translateCalcOff(Translation& t, std::string_view) {
    t.usesOff = true;
    t.emitEmpty();
    t.emit("\tcall off");
}

/// runindic(s); calls the system routine whose name is _runindic followed by
/// s, as in _runindicoff and _runindicon.
void translateRunIndicator(Translation& t, std::string_view keyword) {
    t.loadWork();
    t.cutInner(keyword, 2);
    const std::string_view suffix = t.workString;
    t.emitEmpty();
    t.emit("\tcall _runindic", suffix);
}

}  // namespace trovik
