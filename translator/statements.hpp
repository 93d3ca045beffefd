#pragma once
// The statement translators, one per keyword test, grouped by family. Each
// runs when its keyword matches the current line, cuts its arguments with the
// shared cutting operations and writes its lines.

#include "translation.hpp"

namespace trovik {

// Comments, inline assembly and random numbers.
void translateComment(Translation& t);
void translateRandom(Translation& t);
void translateInlineAssembly(Translation& t);

// Conditionals and jumps.
void translateIf(Translation& t);
void translateReturn(Translation& t);
void translateGoto(Translation& t);
void translateLabel(Translation& t);

// Arithmetic.
void translateMultiply(Translation& t);
void translateDivide(Translation& t);
void translateIncrement(Translation& t);
void translateDecrement(Translation& t);
void translateAdd(Translation& t);
void translateSubtract(Translation& t);
void translateAssignment(Translation& t);

// Text output.
void translateRewrite(Translation& t);
void translateClearScreen(Translation& t);
void translateWrite(Translation& t);
void translateOutTextXY(Translation& t);

// Drawing.
void translateCircle(Translation& t);
void translateLine(Translation& t);
void translateShowPicture(Translation& t);
void translatePixelOn(Translation& t);
void translateClearDrawing(Translation& t);
void translatePixelTest(Translation& t);
void translatePixelOff(Translation& t);

// Keyboard.
void translateMultipleKeys(Translation& t);
void translateGetKey(Translation& t);
void translateIsKey(Translation& t);

// Display and power control.
void translateContrast(Translation& t);
void translateCalcOff(Translation& t);
void translateRunIndicator(Translation& t);

// Sprites.
void translateLargeSprite(Translation& t);
void translateSprite(Translation& t);

// Program end.
void translateProgramEnd(Translation& t);

}  // namespace trovik
