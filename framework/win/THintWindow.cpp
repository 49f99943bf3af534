#include "framework/win/THintWindow.h"

#include "framework/win/TScreen.h"

THintWindow::THintWindow(TComponent* owner) : TCustomControl(owner) {
  SetColor(clInfoBk);
  if (Screen != nullptr) SetFont(Screen->HintFont());
  TControl::SetVisible(false);
}

THintWindow* NewStandardHintWindow(TComponent* owner) { return NewComponent<THintWindow>(owner); }

void THintWindow::CreateParams(TCreateParams& params) {
  TCustomControl::CreateParams(params);
  params.Style = WS_POPUP | WS_BORDER;
  params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
  params.WndParent = nullptr;
  params.WindowClass.style |= CS_SAVEBITS;
}

void THintWindow::Paint() {
  RECT r = ClientRect();
  Canvas()->Brush()->SetColor(Color());
  Canvas()->FillRect(r);
  InflateRect(&r, -2, -2);
  Canvas()->SetFont(Font());
  Canvas()->Font()->SetColor(Screen != nullptr ? Screen->HintFont()->Color() : clInfoText);
  Canvas()->Brush()->SetStyle(TBrushStyle::Clear);
  std::string text = Caption();
  HDC dc = Canvas()->Handle();
  SetBkMode(dc, TRANSPARENT);
  Canvas()->TextExtent("");  // selects the font
  ::DrawTextA(dc, text.c_str(), int(text.size()), &r, DT_LEFT | DT_NOPREFIX | DT_WORDBREAK);
}

void THintWindow::Dispatch(TMessage& message) {
  if (message.Msg == WM_NCHITTEST) {
    message.Result = HTTRANSPARENT;
    return;
  }
  TCustomControl::Dispatch(message);
}

RECT THintWindow::CalcHintRect(int maxWidth, const std::string& hint, void*) {
  RECT r{0, 0, maxWidth > 0 ? maxWidth : GetSystemMetrics(SM_CXSCREEN), 0};
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, Font()->Handle());
  ::DrawTextA(dc, hint.c_str(), int(hint.size()), &r, DT_CALCRECT | DT_LEFT | DT_NOPREFIX | DT_WORDBREAK);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  // Room for the border and the text inset.
  r.right += 6;
  r.bottom += 2 + 4;
  return r;
}

void THintWindow::ActivateHint(const RECT& r, const std::string& hint) { ActivateHintData(r, hint, nullptr); }

void THintWindow::ActivateHintData(const RECT& r, const std::string& hint, void*) {
  SetCaption(hint);
  RECT place = r;
  // Keep the hint on the screen.
  int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  if (place.right > sw) OffsetRect(&place, sw - place.right, 0);
  if (place.bottom > sh) OffsetRect(&place, 0, sh - place.bottom);
  if (place.left < 0) OffsetRect(&place, -place.left, 0);
  if (place.top < 0) OffsetRect(&place, 0, -place.top);
  SetBounds(place.left, place.top, place.right - place.left, place.bottom - place.top);
  SetWindowPos(Handle(), HWND_TOPMOST, place.left, place.top, place.right - place.left, place.bottom - place.top,
               SWP_SHOWWINDOW | SWP_NOACTIVATE);
  TControl::SetVisible(true);
  Invalidate();
}

void THintWindow::ReleaseHandle() {
  TControl::SetVisible(false);
  if (HandleAllocated()) ShowWindow(Handle(), SW_HIDE);
}

bool THintWindow::IsHintMsg(const MSG& msg) const {
  return (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) ||
         (msg.message >= WM_LBUTTONDOWN && msg.message <= WM_MOUSELAST) || msg.message == WM_NCLBUTTONDOWN ||
         msg.message == WM_ACTIVATE || msg.message == WM_ACTIVATEAPP;
}
