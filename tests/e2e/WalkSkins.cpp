// Step 7: skin switches with every window shown.
#include "tests/e2e/Walk.h"

namespace walk {

void SwitchSkins() {}

}  // namespace walk
