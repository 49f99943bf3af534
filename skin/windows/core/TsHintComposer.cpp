#include "skin/windows/core/TsHintComposer.h"

#include <algorithm>
#include <vector>

#include "skin/engine/core/Gradient.h"
#include "skin/engine/core/GradientText.h"
#include "skin/engine/core/PixelBlend.h"
#include "skin/engine/core/TsBitmap24.h"

namespace {

bool IsInside(TsBitmap24View mask, std::int64_t x, std::int64_t y) {
  return mask.Contains(x, y) && mask.PixelAt(int32_t(x), int32_t(y))[0] != 255;
}

// Mixes src into r of dst: src takes `percent` of each pixel.
void MixShare(TsBitmap24View dst, TsBitmap24View src, const TsRect& r, std::int32_t percent) {
  const auto keep = std::uint8_t((100 - std::clamp(percent, 0, 100)) * 255 / 100);
  BlendBitmapRect(dst, src, {keep, keep, keep}, r, {r.Left, r.Top});
}

void TileInto(TsBitmap24View dst, TsBitmap24View tile, const TsRect& r) {
  if (tile.IsEmpty()) return;
  for (std::int64_t y = r.Top; y < r.Bottom; y += tile.Height())
    for (std::int64_t x = r.Left; x < r.Right; x += tile.Width())
      CopyPixels(dst, {int32_t(x), int32_t(y)}, tile,
                 {0, 0, int32_t(std::min<std::int64_t>(tile.Width(), r.Right - x)),
                  int32_t(std::min<std::int64_t>(tile.Height(), r.Bottom - y))});
}

}  // namespace

TsHintComposer::TsHintComposer(const TsHintLook& look, const TsHintShape& shape, TColor color)
    : FLook(look), FShape(shape), FColor(color) {}

void TsHintComposer::PaintShadow(TsBitmap24View work) const {
  if (!FLook.ShadowEnabled || work.IsEmpty()) return;
  const std::int32_t t = HintShadowTransparency(FLook);
  const std::int32_t offset = HintShadowExtra(FLook);
  if (FLook.Style == TsHintStyle::hsSimply || FLook.Style == TsHintStyle::hsNone) {
    BlendRoundRectColor(work, OffsetRect(FShape.Body(), offset, offset), t, 0, FLook.ShadowBlur, FLook.ShadowColor);
    return;
  }
  TsBitmap24 mask(work.Width(), work.Height());
  FShape.PaintMask(mask.View(), t, FLook.ShadowBlur, {offset, offset});
  const TsBgr c = TsBgr::FromColor(FLook.ShadowColor);
  const int32_t cc[3] = {c.B, c.G, c.R};
  for (int32_t y = 0; y < work.Height(); ++y) {
    uint8_t* p = work.Row(y);
    const uint8_t* m = mask.View().Row(y);
    for (int32_t x = 0; x < work.Width(); ++x, p += 3, m += 3) {
      if (m[0] == 255) continue;  // outside the shadow the screen stays exact
      for (int ch = 0; ch < 3; ++ch) p[ch] = uint8_t(((p[ch] - cc[ch]) * m[ch] + cc[ch] * 255) >> 8);
    }
  }
}

void TsHintComposer::PaintBackground(TsBitmap24View body, TsBitmap24View screen, TsBitmap24View texture) const {
  const TsRect area = IntersectRects(FShape.Bounds(), body.Bounds());
  if (IsRectEmpty(area)) return;
  if (FLook.Transparency >= 100) {
    CopyPixels(body, {area.Left, area.Top}, screen, area);
    return;
  }
  TsBitmap24 back(body.Width(), body.Height());
  back.Fill(TsBgr::FromColor(FColor));
  TsBitmap24 layer;
  if (FLook.TexturePercent > 0 && !texture.IsEmpty()) {
    layer = TsBitmap24(body.Width(), body.Height());
    TileInto(layer.View(), texture, area);
    MixShare(back.View(), layer.View(), area, FLook.TexturePercent);
  }
  if (FLook.GradientPercent > 0) {
    // A gradient text with no colours leaves the gradient out.
    const std::vector<TsGradientStop> stops = ParseGradientData(FLook.GradientData);
    if (!stops.empty()) {
      if (layer.Width() == 0) layer = TsBitmap24(body.Width(), body.Height());
      FillGradient(layer.View(), area, stops);
      MixShare(back.View(), layer.View(), area, FLook.GradientPercent);
    }
  }
  CopyPixels(body, {area.Left, area.Top}, back.View(), area);
  if (FLook.Transparency > 0) {
    // The screen keeps Transparency percent of the body's pixels.
    CopyPixels(body, {area.Left, area.Top}, screen, area);
    const auto level = std::uint8_t(HintTransparencyLevel(FLook.Transparency));
    BlendBitmapRect(body, back.View(), {level, level, level}, area, {area.Left, area.Top});
  }
}

void TsHintComposer::PaintMask(TsBitmap24View mask) const { FShape.PaintMask(mask, FLook.Transparency, FLook.Blur); }

void TsHintComposer::PaintBorder(TsBitmap24View body, TsBitmap24View mask) const {
  if (FLook.BevelWidth <= 0) return;
  if (FLook.Style != TsHintStyle::hsSimply && FLook.Style != TsHintStyle::hsNone) {
    PaintMaskEdge(body, mask, FLook.ColorBorderTop, FLook.ColorBorderBottom);
    return;
  }
  const TsRect b = IntersectRects(FShape.Body(), body.Bounds());
  const TsBgr top = TsBgr::FromColor(FLook.ColorBorderTop), bottom = TsBgr::FromColor(FLook.ColorBorderBottom);
  for (int32_t k = 0; k < FLook.BevelWidth; ++k) {
    const TsRect r{b.Left + k, b.Top + k, b.Right - k, b.Bottom - k};
    if (IsRectEmpty(r)) break;
    FillRectPixels(body, {r.Left, r.Bottom - 1, r.Right, r.Bottom}, bottom);
    FillRectPixels(body, {r.Right - 1, r.Top, r.Right, r.Bottom}, bottom);
    FillRectPixels(body, {r.Left, r.Top, r.Right - 1, r.Top + 1}, top);
    FillRectPixels(body, {r.Left, r.Top, r.Left + 1, r.Bottom - 1}, top);
  }
}

void PaintMaskEdge(TsBitmap24View bmp, TsBitmap24View mask, TColor top, TColor bottom) {
  const TsBgr t = TsBgr::FromColor(top), b = TsBgr::FromColor(bottom);
  const int32_t w = std::min(bmp.Width(), mask.Width()), h = std::min(bmp.Height(), mask.Height());
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      if (!IsInside(mask, x, y)) continue;
      if (!IsInside(mask, x - 1, y) || !IsInside(mask, x, y - 1)) t.Store(bmp.PixelAt(x, y));
      else if (!IsInside(mask, x + 1, y) || !IsInside(mask, x, y + 1)) b.Store(bmp.PixelAt(x, y));
    }
}

void TsHintComposer::LayThroughMask(TsBitmap24View work, TsBitmap24View body, TsBitmap24View mask) {
  const int32_t w = std::min({work.Width(), body.Width(), mask.Width()});
  const int32_t h = std::min({work.Height(), body.Height(), mask.Height()});
  for (int32_t y = 0; y < h; ++y) {
    uint8_t* d = work.Row(y);
    const uint8_t* s = body.Row(y);
    const uint8_t* m = mask.Row(y);
    for (int32_t i = 0; i < 3 * w; ++i) {
      if (m[i] == 255) continue;
      d[i] = m[i] == 0 ? s[i] : uint8_t((d[i] * m[i] + s[i] * (255 - m[i]) + 127) / 255);
    }
  }
}

TsRect TsHintComposer::TextRect(std::int32_t extraWidth, std::int32_t extraHeight) const {
  const std::int64_t dx = std::int64_t(FLook.BevelWidth) + FLook.MarginH + extraWidth / 2;
  const std::int64_t dy = std::int64_t(FLook.BevelWidth) + FLook.MarginV + extraHeight / 2;
  const TsRect& b = FShape.Body();
  return {ClampToInt32(b.Left + dx), ClampToInt32(b.Top + dy), ClampToInt32(b.Right - dx), ClampToInt32(b.Bottom - dy)};
}
