#include "skin/engine/core/SectionPainting.h"

#include "skin/engine/core/MaskedPainters.h"

namespace {

// Which nine-part painter draws the border.
enum class TsBorderRoad { Any, MasterOnly };

bool InsideBitmap(const TsBitmap24View& bmp, const TsRect& r) {
  return !bmp.IsEmpty() && !IsRectEmpty(r) && r.Left >= 0 && r.Top >= 0 && r.Right <= bmp.Width() &&
         r.Bottom <= bmp.Height();
}

TsPatternTile MaskTile(const TsActiveSkin& skin, int32_t maskIndex) {
  if (!skin.MaskIndexValid(maskIndex)) return {};
  const TsMaskImage m = MaskImageOf(skin, maskIndex);
  if (m.HasOwnBitmap()) return {m.Own, m.Own.Bounds(), true};
  if (m.Master.IsEmpty() || IsRectEmpty(IntersectRects(m.R, m.Master.Bounds()))) return {};
  return {m.Master, m.R, true};
}

TsPatternTile PatternTile(const TsActiveSkin& skin, int32_t patternIndex) {
  if (patternIndex < 0 || size_t(patternIndex) >= skin.SkinPatternData.size()) return {};
  const auto& image = skin.SkinPatternData[size_t(patternIndex)].Image;
  if (!image || image->Empty()) return {};
  const TsBitmap24View v = ViewOf(*image);
  return {v, v.Bounds(), true};
}

// The section's image mask for the state.
int32_t ImageMaskOf(const TsActiveSkin& skin, int32_t skinIndex, TsSkinState state) {
  const TsSectionImages images = skin.SectionImagesOf(skinIndex);
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

TsMaskImage MaskImageOf(const TsActiveSkin& skin, int32_t maskIndex) {
  TsMaskImage m;
  if (!skin.MaskIndexValid(maskIndex)) return m;
  const TsMaskData& data = skin.SkinMaskData[size_t(maskIndex)];
  if (data.Bmp) m.Own = ViewOf(*data.Bmp);
  if (skin.SkinMasterBitmap) m.Master = ViewOf(*skin.SkinMasterBitmap);
  m.R = data.R;
  m.ImageCount = data.ImageCount;
  m.MaskType = data.MaskType;
  m.BorderWidth = data.BorderWidth;
  return m;
}

TsSectionLook SectionLookOf(const TsActiveSkin& skin, int32_t skinIndex, TsSkinState state,
                            int32_t imageIndex, bool jpegFallback, const TsSkinColors& colors) {
  TsSectionLook look;
  if (!skin.SectionIndexValid(skinIndex)) return look;
  const TsSectionData& s = skin.SkinSectionData[size_t(skinIndex)];
  const bool hot = state != TsSkinState::Normal;
  look.Color = colors.Resolve(hot ? s.HotColor : s.Color);
  look.Transparency = hot ? s.HotTransparency : s.Transparency;
  look.GradientPercent = hot ? s.HotGradientPercent : s.GradientPercent;
  look.Gradient = hot ? s.HotGradient : s.Gradient;
  look.ImagePercent = hot ? s.HotImagePercent : s.ImagePercent;
  if (look.ImagePercent > 0) {
    look.Pattern = MaskTile(skin, imageIndex);
    if (!look.Pattern.Present && jpegFallback) {
      const TsSectionImages images = skin.SectionImagesOf(skinIndex);
      look.Pattern = PatternTile(skin, hot ? images.HotPattern : images.Pattern);
    }
  }
  return look;
}

void PaintBackgroundByIndex(const TsActiveSkin& skin, TsBitmap24View bmp, int32_t skinIndex,
                            const TsCacheView& cache, TsPoint offset, const TsRect& r, TsSkinState state,
                            const TsSkinColors& colors) {
  if (!skin.SectionIndexValid(skinIndex)) return;
  const int32_t image = ImageMaskOf(skin, skinIndex, state);
  PaintSectionBackground(bmp, r, SectionLookOf(skin, skinIndex, state, image, true, colors), cache, offset,
                         colors.Background);
}

void PaintBackgroundWithIndexes(const TsActiveSkin& skin, TsBitmap24View bmp, int32_t skinIndex,
                                int32_t patternIndex, int32_t hotPatternIndex, TsPoint offset,
                                const TsRect& r, TsSkinState state, const TsCacheView& cache,
                                const TsSkinColors& colors) {
  if (!skin.SectionIndexValid(skinIndex)) return;
  const int32_t image = state == TsSkinState::Normal ? patternIndex : hotPatternIndex;
  PaintSectionBackground(bmp, r, SectionLookOf(skin, skinIndex, state, image, false, colors), cache, offset,
                         colors.Background);
}

void PaintSectionByIndex(const TsActiveSkin& skin, TsBitmap24View bmp, int32_t skinIndex,
                         const TsCacheView& cache, TsPoint offset, const TsRect& r, TsSkinState state,
                         bool fillCentre, const TsSkinColors& colors) {
  if (!InsideBitmap(bmp, r) || !skin.SectionIndexValid(skinIndex)) return;
  const int32_t image = ImageMaskOf(skin, skinIndex, state);
  const int32_t borderIndex = skin.SectionImagesOf(skinIndex).BordersMask;
  const TsMaskImage border = MaskImageOf(skin, borderIndex);
  PaintWithLook(bmp, r, SectionLookOf(skin, skinIndex, state, image, true, colors),
                skin.MaskIndexValid(borderIndex) ? &border : nullptr, TsBorderRoad::Any, state, fillCentre,
                cache, offset, colors);
}

void PaintSectionByIndexMaster(const TsActiveSkin& skin, TsBitmap24View bmp, int32_t skinIndex,
                               const TsCacheView& cache, TsPoint offset, const TsRect& r, TsSkinState state,
                               bool fillCentre, const TsSkinColors& colors) {
  if (!InsideBitmap(bmp, r) || !skin.SectionIndexValid(skinIndex)) return;
  const int32_t image = ImageMaskOf(skin, skinIndex, state);
  const int32_t borderIndex = skin.SectionImagesOf(skinIndex).BordersMask;
  const TsMaskImage border = MaskImageOf(skin, borderIndex);
  PaintWithLook(bmp, r, SectionLookOf(skin, skinIndex, state, image, true, colors),
                skin.MaskIndexValid(borderIndex) ? &border : nullptr, TsBorderRoad::MasterOnly, state,
                fillCentre, cache, offset, colors);
}

void PaintSectionWithMask(const TsActiveSkin& skin, TsBitmap24View bmp, int32_t skinIndex, int32_t maskIndex,
                          int32_t patternIndex, TsPoint offset, const TsRect& r, TsSkinState state,
                          bool fillCentre, const TsCacheView& cache, int32_t hotPatternIndex,
                          const TsSkinColors& colors) {
  if (!InsideBitmap(bmp, r) || !skin.SectionIndexValid(skinIndex)) return;
  const int32_t image = state == TsSkinState::Normal ? patternIndex : hotPatternIndex;
  const TsMaskImage border = MaskImageOf(skin, maskIndex);
  PaintWithLook(bmp, r, SectionLookOf(skin, skinIndex, state, image, false, colors),
                skin.MaskIndexValid(maskIndex) ? &border : nullptr, TsBorderRoad::Any, state, fillCentre,
                cache, offset, colors);
}

void PaintControlSection(const TsActiveSkin& skin, TsBitmap24View bmp, int32_t skinIndex, int32_t borderIndex,
                         std::optional<TColor> customColor, const TsCacheView& cache, bool fillCentre,
                         TsPoint offset, const TsRect& r, TsSkinState state, const TsSkinColors& colors) {
  if (!InsideBitmap(bmp, r) || !skin.SectionIndexValid(skinIndex)) return;
  const int32_t image = ImageMaskOf(skin, skinIndex, state);
  TsSectionLook look = SectionLookOf(skin, skinIndex, state, image, true, colors);
  if (customColor && *customColor != SkinKeyColor) look.Color = colors.Resolve(*customColor);
  const TsMaskImage border = MaskImageOf(skin, borderIndex);
  PaintWithLook(bmp, r, look, skin.MaskIndexValid(borderIndex) ? &border : nullptr, TsBorderRoad::Any, state,
                fillCentre, cache, offset, colors);
}
