#include "framework/win/TPanel.h"

namespace {

// Draws one bevel of width, moving r inward.
void DrawBevel(HDC dc, RECT& r, TBevelCut cut, int width) {
  if (cut == bvNone) return;
  for (int i = 0; i < width; ++i) {
    if (cut == bvSpace) {
      InflateRect(&r, -1, -1);
      continue;
    }
    DrawEdge(dc, &r, cut == bvRaised ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
  }
}

}  // namespace

TPanel::TPanel(TComponent* owner) : TCustomControl(owner) {
  SetControlStyle(csAcceptsControls | csCaptureMouse | csClickEvents | csSetCaption | csOpaque | csDoubleClicks |
                  csReplicatable);
  SetBounds(0, 0, 185, 41);
  SetColor(clBtnFace);
}

int TPanel::BevelSpace() const {
  int space = 0;
  if (FBevelOuter != bvNone) space += FBevelWidth;
  if (FBevelInner != bvNone) space += FBevelWidth;
  if (FBorderStyle != bsNone) space += 1;
  return space;
}

void TPanel::AdjustClientRect(RECT& r) {
  TCustomControl::AdjustClientRect(r);
  InflateRect(&r, -BevelSpace(), -BevelSpace());
}

void TPanel::SetBevelInner(TBevelCut value) {
  if (value == FBevelInner) return;
  FBevelInner = value;
  Realign();
  Invalidate();
}

void TPanel::SetBevelOuter(TBevelCut value) {
  if (value == FBevelOuter) return;
  FBevelOuter = value;
  Realign();
  Invalidate();
}

void TPanel::SetBevelWidth(int value) {
  if (value < 1 || value == FBevelWidth) return;
  FBevelWidth = value;
  Realign();
  Invalidate();
}

void TPanel::SetBorderStyle(TFormBorderStyle value) {
  if (value == FBorderStyle) return;
  FBorderStyle = value;
  Realign();
  Invalidate();
}

void TPanel::SetAlignment(TAlignment value) {
  if (value == FAlignment) return;
  FAlignment = value;
  Invalidate();
}

void TPanel::Paint() {
  TCanvas* canvas = Canvas();
  HDC dc = canvas->Handle();
  RECT r = ClientRect();
  if (FBorderStyle != bsNone) {
    FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
    InflateRect(&r, -1, -1);
  }
  DrawBevel(dc, r, FBevelOuter, FBevelWidth);
  canvas->Brush()->SetColor(Color());
  canvas->FillRect(r);
  DrawBevel(dc, r, FBevelInner, FBevelWidth);
  std::string text = Caption();
  if (text.empty()) return;
  canvas->SetFont(Font());
  dc = canvas->DrawingHandle();  // the caption in the panel's font
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, Enabled() ? ColorToRGB(Font()->Color()) : GetSysColor(COLOR_GRAYTEXT));
  UINT flags = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS |
               (FAlignment == taCenter ? DT_CENTER : FAlignment == taRightJustify ? DT_RIGHT : DT_LEFT);
  DrawTextA(dc, text.c_str(), int(text.size()), &r, flags);
}

void TPanel::Dispatch(TMessage& message) {
  if (message.Msg == CM_TEXTCHANGED) {
    Invalidate();
    return;
  }
  TCustomControl::Dispatch(message);
}
