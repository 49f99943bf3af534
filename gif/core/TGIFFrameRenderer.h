#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "gif/core/TGIFColorMap.h"

class TGIFHeader;
class TGIFReporter;
class TGIFSubImage;

enum class TGIFRenderPalette { Own, Web };

// A frame as 8-bit rows with their palette, and a 1-bit mask of its transparent pixels
// (bit set = transparent, most significant bit first, rows padded to 16 bits).
class TGIFFrameRenderer {
public:
  // Own: the frame's indices with its colour table (or the 16-colour system palette when it has
  // none). Web: every pixel's colour dithered to the web palette (for palette-based screens).
  void Render(const TGIFHeader& header, const TGIFSubImage& frame, TGIFRenderPalette palette,
              const TGIFReporter* reporter = nullptr);

  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  const uint8_t* Row(int y) const { return FIndices.data() + static_cast<size_t>(y) * FWidth; }
  const TGIFColor* Palette() const { return FPalette; }
  int PaletteCount() const { return FPaletteCount; }
  bool HasMask() const { return FHasMask; }
  size_t MaskStride() const { return FMaskStride; }
  const uint8_t* MaskRow(int y) const { return FMask.data() + static_cast<size_t>(y) * FMaskStride; }

  static const TGIFColor (&SystemPalette())[16];

private:
  int FWidth = 0;
  int FHeight = 0;
  std::vector<uint8_t> FIndices;
  TGIFColor FPalette[256];
  int FPaletteCount = 0;
  bool FHasMask = false;
  size_t FMaskStride = 0;
  std::vector<uint8_t> FMask;
};
