#include "gif/core/TGIFGraphicControlExtension.h"

#include <cstring>

#include "framework/base/ByteOrder.h"

std::unique_ptr<TGIFExtension> TGIFGraphicControlExtension::Clone() const {
  return std::make_unique<TGIFGraphicControlExtension>(*this);
}

void TGIFGraphicControlExtension::LoadBody(TGIFSpanReader& reader, const TGIFReporter&) {
  // The block is read by its own size: fields missing from a short block stay 0, a longer
  // block's surplus and any further sub-blocks are skipped.
  bool first = true;
  uint8_t fields[4] = {0, 0, 0, 0};
  ReadSubBlocks(reader, [&](const uint8_t* data, size_t size) {
    if (!first) return;
    first = false;
    std::memcpy(fields, data, size < 4 ? size : 4);
  });
  FPacked = fields[0];
  FDelay = ByteOrder::ReadLE16(fields + 1);
  FTransparentIndex = fields[3];
}

void TGIFGraphicControlExtension::SaveBody(std::vector<uint8_t>& out) const {
  out.push_back(4);
  out.push_back(FPacked);
  ByteOrder::AppendLE16(out, FDelay);
  out.push_back(FTransparentIndex);
  out.push_back(0);
}
