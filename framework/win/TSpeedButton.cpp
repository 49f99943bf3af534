#include "framework/win/TSpeedButton.h"

#include "framework/win/TCanvas.h"
#include "framework/win/TWinControl.h"

TSpeedButton::TSpeedButton(TComponent* owner) : TGraphicControl(owner), TGlyphButton(this) {
  SetControlStyle(csCaptureMouse | csDoubleClicks);
  SetBounds(0, 0, 23, 22);
  SetColor(clBtnFace);
}

void TSpeedButton::SetDown(bool value) {
  if (FGroupIndex == 0) value = false;
  if (value == FDown) return;
  // The only down button of a group stays down unless all may be up.
  if (FDown && !value && !FAllowAllUp) return;
  FDown = value;
  UpdateState();
  Invalidate();
  if (value) UpdateExclusive();
}

void TSpeedButton::SetGroupIndex(int value) {
  if (value == FGroupIndex) return;
  FGroupIndex = value;
  if (value == 0 && FDown) {
    FDown = false;
    UpdateState();
    Invalidate();
  }
  UpdateExclusive();
}

void TSpeedButton::SetAllowAllUp(bool value) {
  if (value == FAllowAllUp) return;
  FAllowAllUp = value;
  if (FGroupIndex == 0 || Parent() == nullptr) return;
  for (int i = 0; i < Parent()->ControlCount(); ++i) {
    auto* b = dynamic_cast<TSpeedButton*>(Parent()->Controls(i));
    if (b != nullptr && b != this && b->FGroupIndex == FGroupIndex) b->FAllowAllUp = value;
  }
}

void TSpeedButton::SetFlat(bool value) {
  if (value == FFlat) return;
  FFlat = value;
  Invalidate();
}

void TSpeedButton::SetTransparent(bool value) {
  if (value == FTransparent) return;
  FTransparent = value;
  Invalidate();
}

void TSpeedButton::UpdateState() {
  if (!Enabled()) FState = bsDisabled;
  else if (FDown) FState = bsExclusive;
  else if (FDragging && FMouseInControl) FState = bsDown;
  else FState = bsUp;
}

void TSpeedButton::UpdateExclusive() {
  if (FGroupIndex == 0 || !FDown || Parent() == nullptr) return;
  for (int i = 0; i < Parent()->ControlCount(); ++i) {
    auto* b = dynamic_cast<TSpeedButton*>(Parent()->Controls(i));
    if (b == nullptr || b == this || b->FGroupIndex != FGroupIndex || !b->FDown) continue;
    b->FDown = false;
    b->UpdateState();
    b->Invalidate();
  }
}

void TSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TGraphicControl::MouseDown(button, shift, x, y);
  if (button != mbLeft || !Enabled()) return;
  FDragging = true;
  FMouseInControl = true;
  UpdateState();
  Invalidate();
}

void TSpeedButton::MouseMove(TShiftState shift, int x, int y) {
  TGraphicControl::MouseMove(shift, x, y);
  if (!FDragging) return;
  bool inside = x >= 0 && y >= 0 && x < Width() && y < Height();
  if (inside == FMouseInControl) return;
  FMouseInControl = inside;
  UpdateState();
  Invalidate();
}

void TSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TGraphicControl::MouseUp(button, shift, x, y);
  if (button != mbLeft || !FDragging) return;
  FDragging = false;
  bool inside = x >= 0 && y >= 0 && x < Width() && y < Height();
  if (inside && FGroupIndex != 0) SetDown(!FDown || !FAllowAllUp);
  UpdateState();
  Invalidate();
  if (inside) Click();
}

void TSpeedButton::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case CM_MOUSEENTER:
      FMouseInControl = true;
      if (FFlat) Invalidate();
      return;
    case CM_MOUSELEAVE:
      FMouseInControl = FDragging ? FMouseInControl : false;
      if (FFlat) Invalidate();
      return;
    case CM_ENABLEDCHANGED:
      UpdateState();
      Invalidate();
      return;
    default:
      break;
  }
  TGraphicControl::Dispatch(message);
}

void TSpeedButton::Paint() {
  TCanvas* canvas = Canvas();
  HDC dc = canvas->Handle();
  RECT r{0, 0, Width(), Height()};
  UpdateState();
  bool pressed = FState == bsDown || FState == bsExclusive;
  if (!FFlat || !FTransparent || pressed) {
    canvas->Brush()->SetColor(FState == bsExclusive ? clBtnHighlight : Color());
    canvas->FillRect(r);
  }
  if (!FFlat) {
    DrawEdge(dc, &r, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
  } else if (pressed || (FMouseInControl && Enabled())) {
    DrawEdge(dc, &r, pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
  }
  InflateRect(&r, -2, -2);
  canvas->SetFont(Font());
  POINT offset = pressed ? POINT{1, 1} : POINT{0, 0};
  DrawGlyphAndCaption(canvas, r, offset, Caption(), FState);
}
