// Comments, inline assembly and random numbers.
// Not translated yet: these keywords match and write nothing.

#include "statements.hpp"

namespace trovik {

void translateComment(Translation& /*t*/) {}

void translateRandom(Translation& /*t*/) {}

void translateInlineAssembly(Translation& /*t*/) {}

}  // namespace trovik
