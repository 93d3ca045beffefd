// Reading and testing the keypad.
// Not translated yet: these keywords match and write nothing.

#include "statements.hpp"

namespace trovik {

void translateMultipleKeys(Translation& /*t*/) {}

void translateGetKey(Translation& /*t*/) {}

void translateIsKey(Translation& /*t*/) {}

}  // namespace trovik
