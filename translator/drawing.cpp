// Pixels, lines, circles and pictures on the graph screen.
// Not translated yet: these keywords match and write nothing.

#include "statements.hpp"

namespace trovik {

void translateCircle(Translation& /*t*/) {}

void translateLine(Translation& /*t*/) {}

void translateShowPicture(Translation& /*t*/) {}

void translatePixelOn(Translation& /*t*/) {}

void translateClearDrawing(Translation& /*t*/) {}

void translatePixelTest(Translation& /*t*/) {}

void translatePixelOff(Translation& /*t*/) {}

}  // namespace trovik
