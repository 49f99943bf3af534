#pragma once

// What steps 3 and 4 changed and wrote, for the outside tools' checks of step 5.
#include <string>

#include "tests/e2e/Walk.h"

namespace walk {

// The one string step 3 typed over: the language's slot, the string's number (from 1), its new text.
struct TStringEdit {
  int Language = -1;
  int Number = 0;
  std::u16string Text;
};
const TStringEdit& LangPackEdit();

// The DRM pictures step 4 replaced, by their numbers in the picture table (from 1).
struct TPictureEdits {
  int RawNo = 0;
  int GifNo = 0;
};
const TPictureEdits& DrmEdits();

// The one-group superfiles "Make SHX" (step 3) and "Make *.SHX" (step 4) wrote.
std::string LangPackSuperfile();
std::string DrmSuperfile();

}  // namespace walk
