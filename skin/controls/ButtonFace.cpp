#include "skin/controls/ButtonFace.h"

#include <algorithm>

#include "framework/win/TBitmap.h"
#include "framework/win/TCanvas.h"
#include "framework/win/TControl.h"
#include "framework/win/TImageList.h"
#include "skin/engine/SkinFrameDrawing.h"
#include "skin/engine/SkinTextPainter.h"
#include "skin/engine/TsCommonData.h"
#include "skin/engine/core/SkinTables.h"

TsGlyphPlace GlyphPlaceOf(TButtonLayout layout) {
  switch (layout) {
    case blGlyphRight: return TsGlyphPlace::Right;
    case blGlyphTop: return TsGlyphPlace::Top;
    case blGlyphBottom: return TsGlyphPlace::Bottom;
    default: return TsGlyphPlace::Left;
  }
}

void MeasureButtonCaption(TCanvas* canvas, const std::string& caption, TsButtonLayoutInput& in) {
  in.HasCaption = !caption.empty();
  RECT measured{0, 0, in.HasCaption ? CaptionMeasureWidth(in) : 0, 0};
  if (in.HasCaption)
    DrawTextA(canvas->Handle(), caption.c_str(), static_cast<int>(caption.size()), &measured,
              DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS);
  in.TextWidth = measured.right - measured.left;
  in.TextHeight = measured.bottom - measured.top;
}

void DrawButtonCaption(TCanvas* canvas, const std::string& caption, bool enabled, const RECT& r, UINT extraFlags,
                       TsCommonData* skinData, bool hot) {
  if (caption.empty()) return;
  RECT text = r;
  DrawSkinTextByData(ActiveSkin(), canvas, caption, enabled, text,
                     DT_CENTER | DT_WORDBREAK | DT_EXPANDTABS | extraFlags, skinData, hot);
}

void DrawButtonFocus(TCanvas* canvas, RECT r, int margin, const TsCommonData& skinData) {
  const int section = skinData.SkinIndex();
  if (!SectionIndexValid(section) ||
      !ActiveSkin().SkinSectionData[static_cast<std::size_t>(section)].ShowFocus)
    return;
  InflateRect(&r, margin, margin);
  DrawGripDots(canvas, r);
}

RECT PaintButtonFace(TControl* control, TsCommonData* skinData, TsButtonLayoutInput in, const TsButtonLook& look,
                     TsButtonGlyphSource glyph, bool hot) {
  TBitmap* cache = skinData->CacheBitmap();
  TCanvas* canvas = cache->Canvas();
  canvas->SetFont(control->Font());
  canvas->Brush()->SetStyle(TBrushStyle::Clear);
  if (glyph.Glyph && glyph.Glyph->Width() > 0) {
    in.GlyphWidth = glyph.Glyph->Width() / std::max(glyph.NumGlyphs, 1);
    in.GlyphHeight = glyph.Glyph->Height();
  } else if (glyph.Images && glyph.ImageIndex >= 0 && glyph.ImageIndex < ImageListCount(glyph.Images)) {
    in.GlyphWidth = glyph.Images->Width();
    in.GlyphHeight = glyph.Images->Height();
  }
  in.Align = look.Alignment == taLeftJustify    ? TsCaptionAlign::Left
             : look.Alignment == taRightJustify ? TsCaptionAlign::Right
                                                : TsCaptionAlign::Center;
  in.TextOffset = look.TextOffset;
  const std::string caption = look.ShowCaption ? control->Caption() : std::string();
  MeasureButtonCaption(canvas, caption, in);
  const RECT text = ToRECT(CaptionRect(in));
  DrawButtonCaption(canvas, caption, control->Enabled(), text, control->UseRightToLeftReading() ? DT_RTLREADING : 0u,
                    skinData, hot);
  glyph.Look.Blend = look.Blend;
  glyph.Look.Grayed = look.Grayed;
  glyph.Look.DisabledKind = look.DisabledGlyphKind;
  glyph.Look.Enabled = control->Enabled();
  DrawSkinButtonGlyph(ActiveSkin(), glyph, cache, ToRECT(CalcGlyphRect(in)));
  return text;
}

void ChangeButtonLook(TComponent* owner, TsButtonLook& current, const TsButtonLook& look) {
  if (look.Images != current.Images) {
    if (current.Images) current.Images->RemoveFreeNotification(owner);
    if (look.Images) look.Images->FreeNotification(owner);
  }
  current = look;
  current.Blend = std::clamp(look.Blend, 0, 100);
}
