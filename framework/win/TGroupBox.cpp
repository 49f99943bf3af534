#include "framework/win/TGroupBox.h"

#include "framework/win/Accelerators.h"
#include "framework/win/GdiScopes.h"

TGroupBox::TGroupBox(TComponent* owner) : TCustomControl(owner) {
  SetControlStyle(csAcceptsControls | csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks |
                  csReplicatable);
  SetBounds(0, 0, 185, 105);
  SetParentColor(true);
}

int TGroupBox::CaptionHeight() {
  // Measured on the screen: the layout is asked for before the window exists.
  TScreenDC screen;
  TSelectObject font(screen.Handle(), Font()->Handle());
  TEXTMETRICA tm{};
  GetTextMetricsA(screen.Handle(), &tm);
  return tm.tmHeight;
}

void TGroupBox::AdjustClientRect(RECT& r) {
  TCustomControl::AdjustClientRect(r);
  r.top += CaptionHeight();
  InflateRect(&r, -1, -1);
}

void TGroupBox::Paint() {
  TCanvas* canvas = Canvas();
  canvas->SetFont(Font());
  int h = canvas->TextHeight("0");
  RECT client = ClientRect();
  canvas->Brush()->SetColor(Color());
  canvas->FillRect(client);
  RECT frame{0, h / 2, client.right, client.bottom};
  DrawEdge(canvas->Handle(), &frame, EDGE_ETCHED, BF_RECT);
  std::string text = Caption();
  if (text.empty()) return;
  RECT r{8, 0, 0, h};
  DrawTextA(canvas->Handle(), text.c_str(), int(text.size()), &r, DT_CALCRECT | DT_SINGLELINE);
  InflateRect(&r, 2, 0);
  canvas->FillRect(r);
  InflateRect(&r, -2, 0);
  SetBkMode(canvas->Handle(), TRANSPARENT);
  SetTextColor(canvas->Handle(), Enabled() ? ColorToRGB(Font()->Color()) : GetSysColor(COLOR_GRAYTEXT));
  DrawTextA(canvas->Handle(), text.c_str(), int(text.size()), &r, DT_SINGLELINE);
}

void TGroupBox::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
      Realign();
      Invalidate();
      break;
    case CM_DIALOGCHAR:
      // The accelerator of the caption focuses the first control inside.
      if (IsAccel(char(message.WParam), Caption()) && CanFocus()) {
        SelectFirst();
        message.Result = 1;
        return;
      }
      break;
    default:
      break;
  }
  TCustomControl::Dispatch(message);
}
