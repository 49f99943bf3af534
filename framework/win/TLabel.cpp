#include "framework/win/TLabel.h"

#include "framework/win/Accelerators.h"
#include "framework/win/GdiScopes.h"
#include "framework/win/TCanvas.h"
#include "framework/win/TWinControl.h"

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner) {
  SetControlStyle(csSetCaption | csReplicatable | csClickEvents | csDoubleClicks);
  SetBounds(0, 0, 65, 17);
  SetParentColor(true);
}

void TLabel::SetFocusControl(TWinControl* control) {
  if (control == FFocusControl) return;
  if (FFocusControl != nullptr) FFocusControl->RemoveFreeNotification(this);
  FFocusControl = control;
  if (control != nullptr) control->FreeNotification(this);
}

void TLabel::Notification(TComponent* component, TOperation operation) {
  TGraphicControl::Notification(component, operation);
  if (operation == TOperation::Remove && component == FFocusControl) FFocusControl = nullptr;
}

void TLabel::SetShowAccelChar(bool value) {
  if (value == FShowAccelChar) return;
  FShowAccelChar = value;
  AdjustBounds();
  Invalidate();
}

void TLabel::SetAlignment(TAlignment value) {
  if (value == FAlignment) return;
  FAlignment = value;
  Invalidate();
}

void TLabel::SetLayout(TTextLayout value) {
  if (value == FLayout) return;
  FLayout = value;
  Invalidate();
}

void TLabel::SetAutoSize(bool value) {
  if (value == FAutoSize) return;
  FAutoSize = value;
  AdjustBounds();
}

void TLabel::SetWordWrap(bool value) {
  if (value == FWordWrap) return;
  FWordWrap = value;
  AdjustBounds();
  Invalidate();
}

void TLabel::SetTransparent(bool value) {
  if (value == FTransparent) return;
  FTransparent = value;
  Invalidate();
}

UINT TLabel::DrawFlags() const {
  UINT flags = DT_EXPANDTABS;
  if (FWordWrap) flags |= DT_WORDBREAK;
  if (!FShowAccelChar) flags |= DT_NOPREFIX;
  switch (FAlignment) {
    case taRightJustify: flags |= DT_RIGHT; break;
    case taCenter: flags |= DT_CENTER; break;
    default: break;
  }
  return flags;
}

void TLabel::AdjustBounds() {
  if (!FAutoSize || IsLoading()) return;
  const std::string caption = Caption();
  const std::string text = caption.empty() || (FShowAccelChar && caption == "&") ? std::string(1, ' ') : caption;
  RECT r{0, 0, FWordWrap ? Width() : 0, 0};
  {
    TScreenDC screen;
    TSelectObject font(screen.Handle(), Font()->Handle());
    DrawTextA(screen.Handle(), text.c_str(), int(text.size()), &r, DrawFlags() | DT_CALCRECT);
  }
  int left = Left();
  if (FAlignment == taRightJustify) left += Width() - r.right;
  else if (FAlignment == taCenter) left += (Width() - r.right) / 2;
  SetBounds(left, Top(), r.right, r.bottom);
}

void TLabel::Loaded() {
  TGraphicControl::Loaded();
  AdjustBounds();
}

void TLabel::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
      AdjustBounds();
      Invalidate();
      return;
    case CM_DIALOGCHAR:
      if (FFocusControl != nullptr && Enabled() && FShowAccelChar && IsAccel(char(message.WParam), Caption()) &&
          FFocusControl->CanFocus()) {
        FFocusControl->SetFocus();
        message.Result = 1;
        return;
      }
      break;
    default:
      break;
  }
  TGraphicControl::Dispatch(message);
}

void TLabel::Paint() {
  TCanvas* canvas = Canvas();
  RECT r{0, 0, Width(), Height()};
  if (!FTransparent) {
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(r);
  }
  std::string text = Caption();
  canvas->SetFont(Font());
  HDC dc = canvas->Handle();
  // The text is drawn on the handle directly: the font the caption was measured in goes in first.
  const TSelectObject font(dc, Font()->Handle());
  SetBkMode(dc, TRANSPARENT);
  if (FLayout != tlTop) {
    RECT calc = r;
    DrawTextA(dc, text.c_str(), int(text.size()), &calc, DrawFlags() | DT_CALCRECT);
    int free = r.bottom - calc.bottom;
    OffsetRect(&r, 0, FLayout == tlBottom ? free : free / 2);
  }
  if (!Enabled()) {
    RECT shadow = r;
    OffsetRect(&shadow, 1, 1);
    SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
    DrawTextA(dc, text.c_str(), int(text.size()), &shadow, DrawFlags());
    SetTextColor(dc, GetSysColor(COLOR_BTNSHADOW));
  } else {
    SetTextColor(dc, ColorToRGB(Font()->Color()));
  }
  DrawTextA(dc, text.c_str(), int(text.size()), &r, DrawFlags());
}
