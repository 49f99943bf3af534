#pragma once

#include "gif/core/TGIFExtension.h"
#include "gif/core/TGIFSubBlocks.h"

// Plain text drawn in a character grid; the text is held one sub-block per line.
class TGIFTextExtension : public TGIFExtension {
public:
  static constexpr uint8_t kLabel = 0x01;

  uint8_t Label() const override { return kLabel; }
  std::unique_ptr<TGIFExtension> Clone() const override;

  uint16_t Left() const { return FLeft; }
  uint16_t Top() const { return FTop; }
  uint16_t GridWidth() const { return FGridWidth; }
  uint16_t GridHeight() const { return FGridHeight; }
  uint8_t CellWidth() const { return FCellWidth; }
  uint8_t CellHeight() const { return FCellHeight; }
  uint8_t ForegroundIndex() const { return FForegroundIndex; }
  uint8_t BackgroundIndex() const { return FBackgroundIndex; }
  void SetGrid(uint16_t left, uint16_t top, uint16_t width, uint16_t height);
  void SetCell(uint8_t width, uint8_t height);
  void SetColors(uint8_t foreground, uint8_t background);
  TGIFSubBlocks& Lines() { return FLines; }
  const TGIFSubBlocks& Lines() const { return FLines; }
  size_t MemoryUse() const override { return kObjectCost + FLines.MemoryUse(); }

protected:
  void LoadBody(TGIFSpanReader& reader, const TGIFReporter& reporter) override;
  void SaveBody(std::vector<uint8_t>& out) const override;

private:
  uint16_t FLeft = 0, FTop = 0, FGridWidth = 0, FGridHeight = 0;
  uint8_t FCellWidth = 0, FCellHeight = 0, FForegroundIndex = 0, FBackgroundIndex = 0;
  TGIFSubBlocks FLines;
};
