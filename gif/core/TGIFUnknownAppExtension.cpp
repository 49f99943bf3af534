#include "gif/core/TGIFUnknownAppExtension.h"

std::unique_ptr<TGIFExtension> TGIFUnknownAppExtension::Clone() const {
  return std::make_unique<TGIFUnknownAppExtension>(*this);
}
