#include "gif/core/TGIFGraphicControlExtension.h"

#include <cstring>

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
  FDelay = static_cast<uint16_t>(fields[1] | (fields[2] << 8));
  FTransparentIndex = fields[3];
}

void TGIFGraphicControlExtension::SaveBody(std::vector<uint8_t>& out) const {
  const uint8_t body[] = {
      4, FPacked, static_cast<uint8_t>(FDelay & 0xFF), static_cast<uint8_t>(FDelay >> 8), FTransparentIndex,
      0};
  out.insert(out.end(), body, body + sizeof body);
}
