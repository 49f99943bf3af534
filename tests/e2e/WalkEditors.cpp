// Steps 3 and 4: the language pack and the DRM image edited from their rows.
#include "tests/e2e/Walk.h"

namespace walk {

void EditLanguagePack() {}

void EditDrmImage() {}

}  // namespace walk
