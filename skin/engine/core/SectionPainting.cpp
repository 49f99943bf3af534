#include "skin/engine/core/SectionPainting.h"

#include "skin/engine/core/MaskedPainters.h"

namespace {

// Which nine-part painter draws the border.
enum class TsBorderRoad { Any, MasterOnly };

bool InsideBitmap(const TsBitmap24View& bmp, const TsRect& r) {
  return !bmp.IsEmpty() && !IsRectEmpty(r) && r.Left >= 0 && r.Top >= 0 && r.Right <= bmp.Width() &&
         r.Bottom <= bmp.Height();
}

TsPatternTile MaskTile(int32_t maskIndex) {
  if (!MaskIndexValid(maskIndex)) return {};
  const TsMaskImage m = MaskImageOf(maskIndex);
  if (m.HasOwnBitmap()) return {m.Own, m.Own.Bounds(), true};
  if (m.Master.IsEmpty() || IsRectEmpty(IntersectRects(m.R, m.Master.Bounds()))) return {};
  return {m.Master, m.R, true};
}

TsPatternTile PatternTile(int32_t patternIndex) {
  if (patternIndex < 0 || size_t(patternIndex) >= SkinPatternData.size()) return {};
  const auto& image = SkinPatternData[size_t(patternIndex)].Image;
  if (!image || image->Empty()) return {};
  const TsBitmap24View v = ViewOf(*image);
  return {v, v.Bounds(), true};
}

// The section's image mask for the state.
int32_t ImageMaskOf(int32_t skinIndex, TsSkinState state) {
  const TsSectionImages images = SectionImagesOf(skinIndex);
  return state == TsSkinState::Normal ? images.PatternMask : images.HotPatternMask;
}

void PaintWithLook(TsBitmap24View bmp, const TsRect& r, const TsSectionLook& look, const TsMaskImage* border,
                   TsBorderRoad road, TsSkinState state, bool fillCentre, const TsCacheView& cache,
                   TsPoint offset, const TsSkinColors& colors) {
  PaintSectionBackground(bmp, r, look, cache, offset, colors.Background);
  if (!border) return;
  const TsCacheView moved = cache.MovedBy(offset.X, offset.Y);
  if (road == TsBorderRoad::MasterOnly)
    PaintNinePartMasterImage(bmp, r, fillCentre, state, *border, moved, colors.KeyFill);
  else
    PaintNinePartImage(bmp, r, fillCentre, state, *border, moved, colors.KeyFill);
}

}  // namespace

TsBitmap24View ViewOf(const TsPixmap& pixmap) {
  if (pixmap.Empty()) return {};
  return TsBitmap24View(const_cast<uint8_t*>(pixmap.ScanLine(0)), pixmap.Width(), pixmap.Height(),
                        ptrdiff_t(pixmap.Stride()));
}

TsMaskImage MaskImageOf(int32_t maskIndex) {
  TsMaskImage m;
  if (!MaskIndexValid(maskIndex)) return m;
  const TsMaskData& data = SkinMaskData[size_t(maskIndex)];
  if (data.Bmp) m.Own = ViewOf(*data.Bmp);
  if (SkinMasterBitmap) m.Master = ViewOf(*SkinMasterBitmap);
  m.R = data.R;
  m.ImageCount = data.ImageCount;
  m.MaskType = data.MaskType;
  m.BorderWidth = data.BorderWidth;
  return m;
}

TsSectionLook SectionLookOf(int32_t skinIndex, TsSkinState state, int32_t imageIndex, bool jpegFallback,
                            const TsSkinColors& colors) {
  TsSectionLook look;
  if (!SectionIndexValid(skinIndex)) return look;
  const TsSectionData& s = SkinSectionData[size_t(skinIndex)];
  const bool hot = state != TsSkinState::Normal;
  look.Color = colors.Resolve(hot ? s.HotColor : s.Color);
  look.Transparency = hot ? s.HotTransparency : s.Transparency;
  look.GradientPercent = hot ? s.HotGradientPercent : s.GradientPercent;
  look.Gradient = hot ? s.HotGradient : s.Gradient;
  look.ImagePercent = hot ? s.HotImagePercent : s.ImagePercent;
  if (look.ImagePercent > 0) {
    look.Pattern = MaskTile(imageIndex);
    if (!look.Pattern.Present && jpegFallback) {
      const TsSectionImages images = SectionImagesOf(skinIndex);
      look.Pattern = PatternTile(hot ? images.HotPattern : images.Pattern);
    }
  }
  return look;
}

void PaintBackgroundByIndex(TsBitmap24View bmp, int32_t skinIndex,
                            const TsCacheView& cache, TsPoint offset, const TsRect& r, TsSkinState state,
                            const TsSkinColors& colors) {
  if (!SectionIndexValid(skinIndex)) return;
  const int32_t image = ImageMaskOf(skinIndex, state);
  PaintSectionBackground(bmp, r, SectionLookOf(skinIndex, state, image, true, colors), cache, offset,
                         colors.Background);
}

void PaintBackgroundWithIndexes(TsBitmap24View bmp, int32_t skinIndex, int32_t patternIndex,
                                int32_t hotPatternIndex, TsPoint offset, const TsRect& r, TsSkinState state,
                                const TsCacheView& cache, const TsSkinColors& colors) {
  if (!SectionIndexValid(skinIndex)) return;
  const int32_t image = state == TsSkinState::Normal ? patternIndex : hotPatternIndex;
  PaintSectionBackground(bmp, r, SectionLookOf(skinIndex, state, image, false, colors), cache, offset,
                         colors.Background);
}

void PaintSectionByIndex(TsBitmap24View bmp, int32_t skinIndex,
                         const TsCacheView& cache, TsPoint offset, const TsRect& r, TsSkinState state,
                         bool fillCentre, const TsSkinColors& colors) {
  if (!InsideBitmap(bmp, r) || !SectionIndexValid(skinIndex)) return;
  const int32_t image = ImageMaskOf(skinIndex, state);
  const int32_t borderIndex = SectionImagesOf(skinIndex).BordersMask;
  const TsMaskImage border = MaskImageOf(borderIndex);
  PaintWithLook(bmp, r, SectionLookOf(skinIndex, state, image, true, colors),
                MaskIndexValid(borderIndex) ? &border : nullptr, TsBorderRoad::Any, state, fillCentre,
                cache, offset, colors);
}

void PaintSectionByIndexMaster(TsBitmap24View bmp, int32_t skinIndex,
                               const TsCacheView& cache, TsPoint offset, const TsRect& r, TsSkinState state,
                               bool fillCentre, const TsSkinColors& colors) {
  if (!InsideBitmap(bmp, r) || !SectionIndexValid(skinIndex)) return;
  const int32_t image = ImageMaskOf(skinIndex, state);
  const int32_t borderIndex = SectionImagesOf(skinIndex).BordersMask;
  const TsMaskImage border = MaskImageOf(borderIndex);
  PaintWithLook(bmp, r, SectionLookOf(skinIndex, state, image, true, colors),
                MaskIndexValid(borderIndex) ? &border : nullptr, TsBorderRoad::MasterOnly, state,
                fillCentre, cache, offset, colors);
}

void PaintSectionWithMask(TsBitmap24View bmp, int32_t skinIndex, int32_t maskIndex, int32_t patternIndex,
                          TsPoint offset, const TsRect& r, TsSkinState state, bool fillCentre,
                          const TsCacheView& cache, int32_t hotPatternIndex, const TsSkinColors& colors) {
  if (!InsideBitmap(bmp, r) || !SectionIndexValid(skinIndex)) return;
  const int32_t image = state == TsSkinState::Normal ? patternIndex : hotPatternIndex;
  const TsMaskImage border = MaskImageOf(maskIndex);
  PaintWithLook(bmp, r, SectionLookOf(skinIndex, state, image, false, colors),
                MaskIndexValid(maskIndex) ? &border : nullptr, TsBorderRoad::Any, state, fillCentre,
                cache, offset, colors);
}

void PaintControlSection(TsBitmap24View bmp, int32_t skinIndex,
                         int32_t borderIndex, std::optional<TColor> customColor, const TsCacheView& cache,
                         bool fillCentre, TsPoint offset, const TsRect& r, TsSkinState state,
                         const TsSkinColors& colors) {
  if (!InsideBitmap(bmp, r) || !SectionIndexValid(skinIndex)) return;
  const int32_t image = ImageMaskOf(skinIndex, state);
  TsSectionLook look = SectionLookOf(skinIndex, state, image, true, colors);
  if (customColor && *customColor != SkinKeyColor) look.Color = colors.Resolve(*customColor);
  const TsMaskImage border = MaskImageOf(borderIndex);
  PaintWithLook(bmp, r, look, MaskIndexValid(borderIndex) ? &border : nullptr, TsBorderRoad::Any, state,
                fillCentre, cache, offset, colors);
}
