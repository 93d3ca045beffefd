// Labels, jumps, calls, returns and comparisons.
// Not translated yet: these keywords match and write nothing.

#include "statements.hpp"

namespace trovik {

void translateIf(Translation& /*t*/) {}

void translateReturn(Translation& /*t*/) {}

void translateGoto(Translation& /*t*/) {}

void translateLabel(Translation& /*t*/) {}

}  // namespace trovik
