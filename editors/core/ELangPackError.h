#pragma once

#include "framework/base/Exception.h"

// A language-pack image or .lng file that cannot be read or changed safely; the image is left as it was.
class ELangPackError : public Exception {
public:
  using Exception::Exception;
};
