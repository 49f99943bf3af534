#include "skin/controls/TsButton.h"

#include "framework/win/TBitmap.h"
#include "framework/win/TCanvas.h"
#include "skin/engine/SkinFrameDrawing.h"
#include "skin/engine/SkinTextPainter.h"
#include "skin/engine/core/SkinTables.h"

namespace {

// How far the focus frame lies outside the caption.
constexpr int FocusMargin = 1;

}  // namespace

TsButton::TsButton(TComponent* owner) : TsSkinned(TsControlKind::Button, TsCacheBitmap::Own, owner) {}

TsSkinState TsButton::SkinState() const {
  // The native button keeps the pushed state of mouse and Space presses.
  if (AskNative(BM_GETSTATE) & BST_PUSHED) return TsSkinState::Pressed;
  return SkinData().IsHot() ? TsSkinState::Hot : TsSkinState::Normal;
}

void TsButton::PaintText() {
  TCanvas* canvas = SkinData().CacheBitmap()->Canvas();
  canvas->SetFont(Font());
  canvas->Brush()->SetStyle(TBrushStyle::Clear);
  const std::string caption = Text();
  const TsSkinState state = SkinState();
  RECT measured{0, 0, caption.empty() ? 0 : Width() - 2, 0};
  DrawTextA(canvas->Handle(), caption.c_str(), static_cast<int>(caption.size()), &measured,
            DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS);
  const int x = (Width() - (measured.right - measured.left)) / 2;
  const int y = (Height() - (measured.bottom - measured.top)) / 2;
  RECT r{x - 1, y, Width() - x + 2, Height() - y};
  if (state == TsSkinState::Pressed) OffsetRect(&r, 1, 1);
  RECT text = r;
  DrawSkinTextByData(canvas, caption, Enabled(), text, DT_CENTER | DT_WORDBREAK | DT_EXPANDTABS | (UseRightToLeftReading() ? DT_RTLREADING : 0u),
                     &SkinData(), state != TsSkinState::Normal);

  const int section = SkinData().SkinIndex();
  if (Enabled() && Focused() && !caption.empty() && SectionIndexValid(section) &&
      SkinSectionData[static_cast<std::size_t>(section)].ShowFocus) {
    InflateRect(&r, FocusMargin, FocusMargin);
    DrawGripDots(canvas, r);
  }
}
