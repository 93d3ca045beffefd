// Sprites drawn into the graph buffer.
// Not translated yet: these keywords match and write nothing.

#include "statements.hpp"

namespace trovik {

void translateLargeSprite(Translation& /*t*/) {}

void translateSprite(Translation& /*t*/) {}

}  // namespace trovik
