#include "skin/engine/SkinSectionPainter.h"

#include "framework/win/TBitmap.h"
#include "framework/win/TControl.h"
#include "framework/win/TWinControl.h"
#include "skin/engine/SkinBitmapRows.h"
#include "skin/engine/SkinCommands.h"
#include "skin/engine/TsColorSource.h"
#include "skin/engine/TsCommonData.h"
#include "skin/engine/core/DisabledLook.h"
#include "skin/engine/core/MaskedPainters.h"
#include "skin/engine/core/PixelBlend.h"
#include "skin/engine/core/SectionPainting.h"

namespace {

TsCacheView ViewOfCache(const TsCacheInfo& ci) { return CacheViewOf(ci.Bitmap, ci.X, ci.Y, ci.Valid); }

TsSkinColors GlobalColors() {
  return PlatformSkinColors(SkinKeyFillColor, SkinBackgroundFillColor);
}

TsPoint ToTsPoint(POINT p) { return {p.x, p.y}; }

// Puts both global colours back to "none" on every way out of a painting.
class TGlobalColorsReset {
public:
  TGlobalColorsReset() = default;
  ~TGlobalColorsReset() {
    SkinKeyFillColor = SkinKeyColor;
    SkinBackgroundFillColor = SkinKeyColor;
  }
  TGlobalColorsReset(const TGlobalColorsReset&) = delete;
  TGlobalColorsReset& operator=(const TGlobalColorsReset&) = delete;
};

// The colour a custom-coloured skin object stands for: its owner control's, or what an owner that
// stands for a control (a form's provider) gives; none without either.
std::optional<TColor> CustomColorOf(TsCommonData* data) {
  if (!data->CustomColor()) return std::nullopt;
  if (!data->OwnerControl()) {
    const auto* source = dynamic_cast<const TsColorSource*>(data->OwnerObject());
    const std::optional<TColor> color = source ? source->OwnerColor() : std::nullopt;
    return color ? *color : SkinKeyColor;
  }
  return static_cast<TColor>(ColorToRGB(data->OwnerControl()->Color()));
}

}  // namespace

void PaintBackgroundByIndex(int skinIndex, const std::string&, const TsCacheInfo& ci, TBitmap* bmp, POINT offset,
                            const RECT& r, TsSkinState state) {
  PaintBackgroundByIndex(BitmapRows(bmp), skinIndex, ViewOfCache(ci), ToTsPoint(offset), ToTRect(r),
                         state, GlobalColors());
}

void PaintBackgroundByData(TsCommonData* data, const TsCacheInfo& ci, TsSkinState state, TBitmap* bmp,
                           POINT offset, const RECT& r) {
  if (!data || !SectionIndexValid(data->SkinIndex())) return;
  const TsBitmap24View rows = BitmapRows(bmp);
  const TsSkinColors colors = GlobalColors();
  const TsSectionImages images = SectionImagesOf(data->SkinIndex());
  const int32_t image = state == TsSkinState::Normal ? images.PatternMask : images.HotPatternMask;
  TsSectionLook look = SectionLookOf(data->SkinIndex(), state, image, true, colors);
  const std::optional<TColor> custom = CustomColorOf(data);
  if (custom && *custom != SkinKeyColor) look.Color = *custom;
  PaintSectionBackground(rows, ToTRect(r), look, ViewOfCache(ci), ToTsPoint(offset), colors.Background);
}

void PaintBackgroundWithIndexes(int skinIndex, int patternIndex, int hotPatternIndex, TBitmap* bmp,
                                POINT offset, const RECT& r, TsSkinState state, const TsCacheInfo& ci,
                                const std::string&) {
  PaintBackgroundWithIndexes(BitmapRows(bmp), skinIndex, patternIndex, hotPatternIndex, ToTsPoint(offset),
                             ToTRect(r), state, ViewOfCache(ci), GlobalColors());
}

void PaintSectionByIndex(int skinIndex, const std::string&, const TsCacheInfo& ci, TBitmap* bmp, POINT offset,
                         const RECT& r, TsSkinState state, bool fillCentre) {
  if (!bmp) return;
  PaintSectionByIndex(BitmapRows(bmp), skinIndex, ViewOfCache(ci), ToTsPoint(offset), ToTRect(r), state,
                      fillCentre, GlobalColors());
}

void PaintSectionByIndexMaster(int skinIndex, const std::string&, const TsCacheInfo& ci, TBitmap* bmp,
                               POINT offset, const RECT& r, TsSkinState state, bool fillCentre) {
  PaintSectionByIndexMaster(BitmapRows(bmp), skinIndex, ViewOfCache(ci), ToTsPoint(offset),
                            ToTRect(r), state, fillCentre, GlobalColors());
}

void PaintSectionWithMask(int skinIndex, int maskIndex, int patternIndex, TBitmap* bmp, POINT offset,
                          const RECT& r, TsSkinState state, bool fillCentre, const TsCacheInfo& ci,
                          const std::string&, int hotPatternIndex) {
  PaintSectionWithMask(BitmapRows(bmp), skinIndex, maskIndex, patternIndex, ToTsPoint(offset), ToTRect(r), state,
                       fillCentre, ViewOfCache(ci), hotPatternIndex, GlobalColors());
}

void PaintSectionByData(TsCommonData* data, const TsCacheInfo& ci, bool fillCentre, TBitmap* bmp,
                        POINT offset, const RECT& r, TsSkinState state) {
  if (!data || !bmp || !SectionIndexValid(data->SkinIndex())) return;
  if (r.left < 0 || r.top < 0 || r.right > bmp->Width() || r.bottom > bmp->Height()) return;
  const TGlobalColorsReset reset;
  TWinControl* parent = data->OwnerControl() ? data->OwnerControl()->Parent() : nullptr;
  if (!ci.Valid && parent) {
    SkinKeyFillColor = SkinBackgroundFillColor = static_cast<TColor>(ColorToRGB(parent->Color()));
  } else if (ci.Valid && parent && !data->NeedsParentBackground() &&
             SkinBackgroundFillColor == SkinKeyColor) {
    SkinBackgroundFillColor = AskBackgroundColor(parent);
  }
  PaintControlSection(BitmapRows(bmp), data->SkinIndex(), data->BorderIndex(),
                      CustomColorOf(data), ViewOfCache(ci), fillCentre, ToTsPoint(offset), ToTRect(r), state,
                      GlobalColors());
}

void PaintMaskedGlyph(TBitmap* bmp, POINT p, TsSkinState state, int maskIndex, TsGlyphShade shade) {
  if (!MaskIndexValid(maskIndex)) return;
  PaintMaskedGlyph(BitmapRows(bmp), ToTsPoint(p), state, MaskImageOf(maskIndex), shade, SkinKeyFillColor);
}

void PaintNinePartImage(TBitmap* bmp, const RECT& r, bool fillCentre, TsSkinState state, int maskIndex,
                        const TsCacheInfo& ci) {
  if (!MaskIndexValid(maskIndex)) return;
  PaintNinePartImage(BitmapRows(bmp), ToTRect(r), fillCentre, state, MaskImageOf(maskIndex), ViewOfCache(ci),
                     SkinKeyFillColor);
}

void ApplyDisabledKind(TBitmap* bmp, TsDisabledKind kinds, TControl* control, POINT offset, const TsCacheInfo& ci) {
  std::optional<TColor> parentColor;
  TColor own = clBtnFace;
  if (control) {
    own = control->Color();
    if (control->Parent()) parentColor = static_cast<TColor>(ColorToRGB(control->Parent()->Color()));
  }
  ApplyDisabledKind(BitmapRows(bmp), kinds, ToTsPoint(offset), ViewOfCache(ci), SkinBackgroundFillColor,
                    parentColor, static_cast<TColor>(ColorToRGB(own)));
}

void BlendRoundRectColor(TBitmap* bmp, const RECT& r, int percent, int radius, int edgeWidth, TColor color) {
  BlendRoundRectColor(BitmapRows(bmp), ToTRect(r), percent, radius, edgeWidth, static_cast<TColor>(ColorToRGB(color)));
}

void BlendRectWithColor(TBitmap* bmp, const RECT& r, int transparency, TColor color) {
  BlendRectWithColor(BitmapRows(bmp), ToTRect(r), transparency, static_cast<TColor>(ColorToRGB(color)));
}
