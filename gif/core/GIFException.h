#pragma once

#include "framework/base/Exception.h"

// Error raised by the GIF codec for input it cannot read or pictures it cannot write.
class GIFException : public Exception {
public:
  using Exception::Exception;
};
