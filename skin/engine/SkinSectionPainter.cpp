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

TsSkinColors PaintColors(const TsActiveSkin& skin) {
  return PlatformSkinColors(skin.SkinKeyFillColor, skin.SkinBackgroundFillColor);
}

TsPoint ToTsPoint(POINT p) { return {p.x, p.y}; }

// Puts both paint colours back to "none" on every way out of a painting.
class TPaintColorsReset {
public:
  explicit TPaintColorsReset(const TsActiveSkin& skin) : FSkin(skin) {}
  ~TPaintColorsReset() {
    FSkin.SkinKeyFillColor = SkinKeyColor;
    FSkin.SkinBackgroundFillColor = SkinKeyColor;
  }
  TPaintColorsReset(const TPaintColorsReset&) = delete;
  TPaintColorsReset& operator=(const TPaintColorsReset&) = delete;

private:
  const TsActiveSkin& FSkin;
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

void PaintBackgroundByIndex(const TsActiveSkin& skin, int skinIndex, const std::string&,
                            const TsCacheInfo& ci, TBitmap* bmp, POINT offset, const RECT& r,
                            TsSkinState state) {
  PaintBackgroundByIndex(skin, BitmapRows(bmp), skinIndex, ViewOfCache(ci), ToTsPoint(offset), ToTRect(r),
                         state, PaintColors(skin));
}

void PaintBackgroundByData(const TsActiveSkin& skin, TsCommonData* data, const TsCacheInfo& ci,
                           TsSkinState state, TBitmap* bmp, POINT offset, const RECT& r) {
  if (!data || !skin.SectionIndexValid(data->SkinIndex())) return;
  const TsBitmap24View rows = BitmapRows(bmp);
  const TsSkinColors colors = PaintColors(skin);
  const TsSectionImages images = skin.SectionImagesOf(data->SkinIndex());
  const int32_t image = state == TsSkinState::Normal ? images.PatternMask : images.HotPatternMask;
  TsSectionLook look = SectionLookOf(skin, data->SkinIndex(), state, image, true, colors);
  const std::optional<TColor> custom = CustomColorOf(data);
  if (custom && *custom != SkinKeyColor) look.Color = *custom;
  PaintSectionBackground(rows, ToTRect(r), look, ViewOfCache(ci), ToTsPoint(offset), colors.Background);
}

void PaintBackgroundWithIndexes(const TsActiveSkin& skin, int skinIndex, int patternIndex,
                                int hotPatternIndex, TBitmap* bmp, POINT offset, const RECT& r,
                                TsSkinState state, const TsCacheInfo& ci, const std::string&) {
  PaintBackgroundWithIndexes(skin, BitmapRows(bmp), skinIndex, patternIndex, hotPatternIndex,
                             ToTsPoint(offset), ToTRect(r), state, ViewOfCache(ci), PaintColors(skin));
}

void PaintSectionByIndex(const TsActiveSkin& skin, int skinIndex, const std::string&, const TsCacheInfo& ci,
                         TBitmap* bmp, POINT offset, const RECT& r, TsSkinState state, bool fillCentre) {
  if (!bmp) return;
  PaintSectionByIndex(skin, BitmapRows(bmp), skinIndex, ViewOfCache(ci), ToTsPoint(offset), ToTRect(r), state,
                      fillCentre, PaintColors(skin));
}

void PaintSectionByIndexMaster(const TsActiveSkin& skin, int skinIndex, const std::string&,
                               const TsCacheInfo& ci, TBitmap* bmp, POINT offset, const RECT& r,
                               TsSkinState state, bool fillCentre) {
  PaintSectionByIndexMaster(skin, BitmapRows(bmp), skinIndex, ViewOfCache(ci), ToTsPoint(offset), ToTRect(r),
                            state, fillCentre, PaintColors(skin));
}

void PaintSectionWithMask(const TsActiveSkin& skin, int skinIndex, int maskIndex, int patternIndex,
                          TBitmap* bmp, POINT offset, const RECT& r, TsSkinState state, bool fillCentre,
                          const TsCacheInfo& ci, const std::string&, int hotPatternIndex) {
  PaintSectionWithMask(skin, BitmapRows(bmp), skinIndex, maskIndex, patternIndex, ToTsPoint(offset),
                       ToTRect(r), state, fillCentre, ViewOfCache(ci), hotPatternIndex, PaintColors(skin));
}

void PaintSectionByData(const TsActiveSkin& skin, TsCommonData* data, const TsCacheInfo& ci, bool fillCentre,
                        TBitmap* bmp, POINT offset, const RECT& r, TsSkinState state) {
  if (!data || !bmp || !skin.SectionIndexValid(data->SkinIndex())) return;
  if (r.left < 0 || r.top < 0 || r.right > bmp->Width() || r.bottom > bmp->Height()) return;
  const TPaintColorsReset reset(skin);
  TWinControl* parent = data->OwnerControl() ? data->OwnerControl()->Parent() : nullptr;
  if (!ci.Valid && parent) {
    skin.SkinKeyFillColor = skin.SkinBackgroundFillColor = static_cast<TColor>(ColorToRGB(parent->Color()));
  } else if (ci.Valid && parent && !data->NeedsParentBackground() &&
             skin.SkinBackgroundFillColor == SkinKeyColor) {
    skin.SkinBackgroundFillColor = AskBackgroundColor(parent);
  }
  PaintControlSection(skin, BitmapRows(bmp), data->SkinIndex(), data->BorderIndex(), CustomColorOf(data),
                      ViewOfCache(ci), fillCentre, ToTsPoint(offset), ToTRect(r), state, PaintColors(skin));
}

void PaintMaskedGlyph(const TsActiveSkin& skin, TBitmap* bmp, POINT p, TsSkinState state, int maskIndex,
                      TsGlyphShade shade) {
  if (!skin.MaskIndexValid(maskIndex)) return;
  PaintMaskedGlyph(BitmapRows(bmp), ToTsPoint(p), state, MaskImageOf(skin, maskIndex), shade,
                   skin.SkinKeyFillColor);
}

void PaintNinePartImage(const TsActiveSkin& skin, TBitmap* bmp, const RECT& r, bool fillCentre,
                        TsSkinState state, int maskIndex, const TsCacheInfo& ci) {
  if (!skin.MaskIndexValid(maskIndex)) return;
  PaintNinePartImage(BitmapRows(bmp), ToTRect(r), fillCentre, state, MaskImageOf(skin, maskIndex),
                     ViewOfCache(ci), skin.SkinKeyFillColor);
}

void ApplyDisabledKind(const TsActiveSkin& skin, TBitmap* bmp, TsDisabledKind kinds, TControl* control,
                       POINT offset, const TsCacheInfo& ci) {
  std::optional<TColor> parentColor;
  TColor own = clBtnFace;
  if (control) {
    own = control->Color();
    if (control->Parent()) parentColor = static_cast<TColor>(ColorToRGB(control->Parent()->Color()));
  }
  ApplyDisabledKind(BitmapRows(bmp), kinds, ToTsPoint(offset), ViewOfCache(ci), skin.SkinBackgroundFillColor,
                    parentColor, static_cast<TColor>(ColorToRGB(own)));
}

void BlendRoundRectColor(TBitmap* bmp, const RECT& r, int percent, int radius, int edgeWidth, TColor color) {
  BlendRoundRectColor(BitmapRows(bmp), ToTRect(r), percent, radius, edgeWidth, static_cast<TColor>(ColorToRGB(color)));
}

void BlendRectWithColor(TBitmap* bmp, const RECT& r, int transparency, TColor color) {
  BlendRectWithColor(BitmapRows(bmp), ToTRect(r), transparency, static_cast<TColor>(ColorToRGB(color)));
}
