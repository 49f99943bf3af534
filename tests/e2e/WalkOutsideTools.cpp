// Step 5's checks by the tools outside the program, run on the files it left.
#include "tests/e2e/Walk.h"

namespace walk {

void CheckWithOutsideTools(const std::string&) {}

}  // namespace walk
