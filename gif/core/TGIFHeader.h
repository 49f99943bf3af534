#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gif/core/TGIFColorMap.h"

class TGIFReporter;
class TGIFSpanReader;

// Signature, logical screen descriptor and global colour table.
class TGIFHeader {
public:
  uint16_t Width() const { return FWidth; }
  uint16_t Height() const { return FHeight; }
  void SetWidth(uint16_t value) { FWidth = value; }
  void SetHeight(uint16_t value) { FHeight = value; }
  uint8_t Packed() const { return FPacked; }
  uint8_t BackgroundIndex() const { return FBackgroundIndex; }
  void SetBackgroundIndex(uint8_t value) { FBackgroundIndex = value; }
  uint8_t AspectRatio() const { return FAspectRatio; }
  void SetAspectRatio(uint8_t value) { FAspectRatio = value; }
  const std::string& Version() const { return FVersion; }
  TGIFColorMap& ColorMap() { return FColorMap; }
  const TGIFColorMap& ColorMap() const { return FColorMap; }

  // 1 = "87a", 2 = "89a".
  int VersionNeeded() const;
  void Clear();
  void LoadFromStream(TGIFSpanReader& reader);
  // frameBits: the highest colour-table bits of the frames (for the packed byte's resolution fields).
  void SaveToStream(std::vector<uint8_t>& out, int version, int frameBits) const;

private:
  std::string FVersion = "89a";
  uint16_t FWidth = 0;
  uint16_t FHeight = 0;
  uint8_t FPacked = 0;
  uint8_t FBackgroundIndex = 0;
  uint8_t FAspectRatio = 0;
  TGIFColorMap FColorMap;
};
