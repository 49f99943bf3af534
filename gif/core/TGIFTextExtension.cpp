#include "gif/core/TGIFTextExtension.h"

#include "framework/base/ByteOrder.h"

std::unique_ptr<TGIFExtension> TGIFTextExtension::Clone() const {
  return std::make_unique<TGIFTextExtension>(*this);
}

void TGIFTextExtension::SetGrid(uint16_t left, uint16_t top, uint16_t width, uint16_t height) {
  FLeft = left;
  FTop = top;
  FGridWidth = width;
  FGridHeight = height;
}

void TGIFTextExtension::SetCell(uint8_t width, uint8_t height) {
  FCellWidth = width;
  FCellHeight = height;
}

void TGIFTextExtension::SetColors(uint8_t foreground, uint8_t background) {
  FForegroundIndex = foreground;
  FBackgroundIndex = background;
}

void TGIFTextExtension::LoadBody(TGIFSpanReader& reader, const TGIFReporter&) {
  // The 12 grid bytes are read from a block of any size; missing ones stay 0, surplus is skipped.
  uint8_t size = reader.ReadExactByte();
  uint8_t block[255] = {};
  reader.ReadExact(block, size);
  FLeft = ByteOrder::ReadLE16(block);
  FTop = ByteOrder::ReadLE16(block + 2);
  FGridWidth = ByteOrder::ReadLE16(block + 4);
  FGridHeight = ByteOrder::ReadLE16(block + 6);
  FCellWidth = block[8];
  FCellHeight = block[9];
  FForegroundIndex = block[10];
  FBackgroundIndex = block[11];
  FLines.Read(reader);
}

void TGIFTextExtension::SaveBody(std::vector<uint8_t>& out) const {
  out.push_back(12);
  ByteOrder::AppendLE16(out, FLeft);
  ByteOrder::AppendLE16(out, FTop);
  ByteOrder::AppendLE16(out, FGridWidth);
  ByteOrder::AppendLE16(out, FGridHeight);
  out.push_back(FCellWidth);
  out.push_back(FCellHeight);
  out.push_back(FForegroundIndex);
  out.push_back(FBackgroundIndex);
  FLines.Write(out);
}
