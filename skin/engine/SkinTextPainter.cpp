#include "skin/engine/SkinTextPainter.h"

#include <vector>

#include "framework/win/GdiScopes.h"
#include "framework/win/TControl.h"
#include "skin/engine/SkinBitmapRows.h"
#include "skin/engine/TsCommonData.h"
#include "skin/engine/core/CaptionLayout.h"
#include "skin/engine/core/SkinTables.h"
#include "skin/engine/core/TsIniText.h"

namespace {

void DrawPasses(TCanvas* canvas, const std::string& text, bool enabled, RECT& r, UINT flags,
                const TsCaptionColors& colors) {
  TsRect box = ToTRect(r);
  TsTextExtent extent;
  if (!(flags & DT_WORDBREAK)) {
    const SIZE s = canvas->TextExtent(text);
    extent = {s.cx, s.cy};
  }
  const TsRect textRect = LayoutCaptionRect(box, flags, extent);
  r = ToRECT(box);
  canvas->Brush()->SetStyle(TBrushStyle::Clear);
  const std::vector<TsTextPass> passes = CaptionPasses(text, enabled, colors);
  if (passes.empty()) return;
  HDC dc = canvas->Handle();
  const TSaveDC saved(dc);
  SelectObject(dc, canvas->Font()->Handle());
  SetBkMode(dc, TRANSPARENT);
  for (const TsTextPass& pass : passes) {
    RECT t = ToRECT(textRect);
    OffsetRect(&t, pass.DX, pass.DY);
    SetTextColor(dc, ColorToRGB(pass.Color));
    DrawTextA(dc, text.c_str(), int(text.size()), &t, flags | pass.ExtraFlags);
  }
}

TsCaptionColors PlainColors(TCanvas* canvas) {
  TsCaptionColors c;
  c.CanvasFont = canvas->Font()->Color();
  c.Highlight = clBtnHighlight;
  c.Shadow = clBtnShadow;
  return c;
}

}  // namespace

void DrawSkinTextByIndex(const TsActiveSkin& skin, TCanvas* canvas, const std::string& text, bool enabled,
                         RECT& r, UINT flags, int skinIndex, bool hot) {
  TsCaptionColors colors = PlainColors(canvas);
  if (skin.SectionIndexValid(skinIndex)) {
    const TsSectionData& s = skin.SkinSectionData[size_t(skinIndex)];
    const auto& fontColors = hot ? s.HotFontColor : s.FontColor;
    colors.HasSection = true;
    colors.Font = fontColors[0];
    for (size_t i = 0; i < 4; ++i) colors.Contours[i] = fontColors[i + 1];
  }
  DrawPasses(canvas, text, enabled, r, flags, colors);
}

void DrawSkinTextByData(const TsActiveSkin& skin, TCanvas* canvas, const std::string& text, bool enabled,
                        RECT& r, UINT flags, TsCommonData* data, bool hot) {
  if (!data) {
    DrawCaptionText(canvas, text, enabled, r, flags);
    return;
  }
  if (data->OwnerControl()) canvas->SetFont(data->OwnerControl()->Font());
  if (hot && SameText(data->SkinSection(), "WEBBUTTON"))
    canvas->Font()->SetStyle(canvas->Font()->Style() | fsUnderline);
  TsCaptionColors colors = PlainColors(canvas);
  colors.NoClipMainPass = true;
  colors.CustomFont = data->CustomFont();
  if (skin.SectionIndexValid(data->SkinIndex())) {
    const TsSectionData& s = skin.SkinSectionData[size_t(data->SkinIndex())];
    const auto& fontColors = hot ? s.HotFontColor : s.FontColor;
    colors.HasSection = true;
    colors.Font = fontColors[0];
    for (size_t i = 0; i < 4; ++i) colors.Contours[i] = fontColors[i + 1];
  }
  DrawPasses(canvas, text, enabled, r, flags, colors);
}

void DrawCaptionText(TCanvas* canvas, const std::string& text, bool enabled, RECT& r, UINT flags) {
  DrawPasses(canvas, text, enabled, r, flags, PlainColors(canvas));
}

std::string EllipsizeText(TCanvas* canvas, const std::string& text, int width) {
  return EllipsizeText(text, width, [canvas](const std::string& s) { return int32_t(canvas->TextWidth(s)); });
}

void TextSizeInFont(const std::string& text, TFont* font, SIZE& size) {
  size = {0, 0};
  const TScreenDC screen;
  HDC dc = screen.Handle();
  if (!dc) return;
  const TSelectObject selected(dc, font->Handle());
  if (!GetTextExtentPoint32A(dc, text.c_str(), int(text.size()), &size)) size = {0, 0};
}
