#pragma once

#include "gif/core/TGIFApplicationExtension.h"

// An application block of an application this codec does not know; its data is kept raw.
class TGIFUnknownAppExtension : public TGIFApplicationExtension {
public:
  std::unique_ptr<TGIFExtension> Clone() const override;
};
