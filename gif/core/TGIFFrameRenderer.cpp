#include "gif/core/TGIFFrameRenderer.h"

#include <cstring>
#include <memory>

#include "gif/core/TFloydSteinbergDitherer.h"
#include "gif/core/TGIFHeader.h"
#include "gif/core/TGIFReporter.h"
#include "gif/core/TGIFSubImage.h"
#include "gif/core/TNetscapeColorLookup.h"

const TGIFColor (&TGIFFrameRenderer::SystemPalette())[16] {
  static const TGIFColor kColors[16] = {{0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
                                        {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
                                        {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
                                        {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
  return kColors;
}

void TGIFFrameRenderer::Render(const TGIFHeader& header, const TGIFSubImage& frame, TGIFRenderPalette palette,
                               const TGIFReporter* reporter) {
  FWidth = frame.Empty() ? 0 : frame.Width();
  FHeight = frame.Empty() ? 0 : frame.Height();
  const size_t area = static_cast<size_t>(FWidth) * FHeight;
  const uint8_t* source = frame.Data().size() == area ? frame.Data().data() : nullptr;

  TGIFColor own[256];
  const TGIFColorMap* map = frame.ActiveColorMap(header);
  if (map) {
    map->FillPalette(own);
    FPaletteCount = map->Count();
  } else {
    TGIFColorMap().FillPalette(own);
    std::memcpy(own, SystemPalette(), sizeof SystemPalette());
    FPaletteCount = 16;
  }

  FIndices.assign(area, 0);
  const int transparent = frame.TransparentIndex();
  FHasMask = transparent >= 0;
  FMaskStride = FHasMask ? (static_cast<size_t>(FWidth) + 15) / 16 * 2 : 0;
  FMask.assign(FMaskStride * FHeight, 0);
  if (!source) {
    std::memcpy(FPalette, own, sizeof own);
    return;
  }

  std::unique_ptr<TFloydSteinbergDitherer> ditherer;
  std::vector<uint8_t> bgr;
  if (palette == TGIFRenderPalette::Web) {
    ditherer = std::make_unique<TFloydSteinbergDitherer>(FWidth);
    bgr.resize(static_cast<size_t>(FWidth) * 3);
    const TGIFColorMap web = TNetscapeColorLookup::WebPalette();
    web.FillPalette(FPalette);
    FPaletteCount = web.Count();
  } else {
    std::memcpy(FPalette, own, sizeof own);
  }
  for (int y = 0; y < FHeight; ++y) {
    const uint8_t* row = source + static_cast<size_t>(y) * FWidth;
    uint8_t* target = FIndices.data() + static_cast<size_t>(y) * FWidth;
    if (ditherer) {
      for (int x = 0; x < FWidth; ++x) {
        const TGIFColor c = own[row[x]];
        bgr[3 * x] = c.Blue;
        bgr[3 * x + 1] = c.Green;
        bgr[3 * x + 2] = c.Red;
      }
      ditherer->DitherRow(bgr.data(), target);
    } else {
      std::memcpy(target, row, FWidth);
    }
    if (FHasMask) {
      uint8_t* mask = FMask.data() + static_cast<size_t>(y) * FMaskStride;
      for (int x = 0; x < FWidth; ++x)
        if (row[x] == transparent) mask[x >> 3] |= static_cast<uint8_t>(0x80 >> (x & 7));
    }
    if (reporter && (y & 31) == 31)
      reporter->Progress("Rendering...", static_cast<int>((y + 1) * 100LL / FHeight));
  }
}
