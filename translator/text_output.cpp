// Text on the home and graph screens.
// Not translated yet: these keywords match and write nothing.

#include "statements.hpp"

namespace trovik {

void translateRewrite(Translation& /*t*/) {}

void translateClearScreen(Translation& /*t*/) {}

void translateWrite(Translation& /*t*/) {}

void translateOutTextXY(Translation& /*t*/) {}

}  // namespace trovik
