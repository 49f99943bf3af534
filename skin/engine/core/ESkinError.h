#pragma once

#include "framework/base/Exception.h"

// A skin could not be loaded; the tables were emptied before this was raised.
class ESkinError : public Exception {
public:
  using Exception::Exception;
};

// A skin image (BMP or JPEG) is corrupt or of a kind the engine does not read.
class ESkinImageError : public ESkinError {
public:
  using ESkinError::ESkinError;
};
