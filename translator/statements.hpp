// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The statement translators, one per keyword test, grouped by family. Each
// runs when its keyword matches the current line, cuts its arguments with the
// shared cutting operations and writes its lines.

#include "translation.hpp"

namespace trovik {

// Comments, inline assembly and random numbers.
void translateComment(Translation& t, std::string_view keyword);
void translateRandom(Translation& t, std::string_view keyword);
void translateInlineAssembly(Translation& t, std::string_view keyword);

// Conditionals and jumps.
void translateIf(Translation& t, std::string_view keyword);
void translateReturn(Translation& t, std::string_view keyword);
void translateGoto(Translation& t, std::string_view keyword);
void translateLabel(Translation& t, std::string_view keyword);

// Arithmetic.
void translateMultiply(Translation& t, std::string_view keyword);
void translateDivide(Translation& t, std::string_view keyword);
void translateIncrement(Translation& t, std::string_view keyword);
void translateDecrement(Translation& t, std::string_view keyword);
void translateAdd(Translation& t, std::string_view keyword);
void translateSubtract(Translation& t, std::string_view keyword);
void translateAssignment(Translation& t, std::string_view keyword);

// Text output.
void translateRewrite(Translation& t, std::string_view keyword);
void translateClearScreen(Translation& t, std::string_view keyword);
void translateWrite(Translation& t, std::string_view keyword);
void translateOutTextXY(Translation& t, std::string_view keyword);

// Drawing.
void translateCircle(Translation& t, std::string_view keyword);
void translateLine(Translation& t, std::string_view keyword);
void translateShowPicture(Translation& t, std::string_view keyword);
void translatePixelOn(Translation& t, std::string_view keyword);
void translateClearDrawing(Translation& t, std::string_view keyword);
void translatePixelTest(Translation& t, std::string_view keyword);
void translatePixelOff(Translation& t, std::string_view keyword);

// Keyboard.
void translateMultipleKeys(Translation& t, std::string_view keyword);
void translateGetKey(Translation& t, std::string_view keyword);
void translateIsKey(Translation& t, std::string_view keyword);

// Display and power control.
void translateContrast(Translation& t, std::string_view keyword);
void translateCalcOff(Translation& t, std::string_view keyword);
void translateRunIndicator(Translation& t, std::string_view keyword);

// Sprites.
void translateLargeSprite(Translation& t, std::string_view keyword);
void translateSprite(Translation& t, std::string_view keyword);

// Program end.
void translateProgramEnd(Translation& t, std::string_view keyword);

}  // namespace trovik
