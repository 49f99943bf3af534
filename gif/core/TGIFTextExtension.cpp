#include "gif/core/TGIFTextExtension.h"

namespace {
uint16_t Word(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
void PutWord(std::vector<uint8_t>& out, uint16_t value) {
  out.push_back(static_cast<uint8_t>(value & 0xFF));
  out.push_back(static_cast<uint8_t>(value >> 8));
}
}  // namespace

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
  FLeft = Word(block);
  FTop = Word(block + 2);
  FGridWidth = Word(block + 4);
  FGridHeight = Word(block + 6);
  FCellWidth = block[8];
  FCellHeight = block[9];
  FForegroundIndex = block[10];
  FBackgroundIndex = block[11];
  FLines = ReadLines(reader);
}

void TGIFTextExtension::SaveBody(std::vector<uint8_t>& out) const {
  out.push_back(12);
  PutWord(out, FLeft);
  PutWord(out, FTop);
  PutWord(out, FGridWidth);
  PutWord(out, FGridHeight);
  out.push_back(FCellWidth);
  out.push_back(FCellHeight);
  out.push_back(FForegroundIndex);
  out.push_back(FBackgroundIndex);
  WriteLines(out, FLines);
}
