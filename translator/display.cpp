// Contrast, run indicator and power.
// Not translated yet: these keywords match and write nothing.

#include "statements.hpp"

namespace trovik {

void translateContrast(Translation& /*t*/) {}

void translateCalcOff(Translation& /*t*/) {}

void translateRunIndicator(Translation& /*t*/) {}

}  // namespace trovik
