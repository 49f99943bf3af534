#pragma once

#include "framework/base/Exception.h"

// A DRM image whose tables cannot be read or changed safely; the image is left as it was.
class EDRMError : public Exception {
public:
  using Exception::Exception;
};
