#pragma once

#include "framework/base/Exception.h"

// A bitmap size that is negative or too large to allocate.
class ESkinBitmapSize : public Exception {
public:
  using Exception::Exception;
};
