#include "framework/win/TScreen.h"

#include <algorithm>

#include "framework/win/GdiScopes.h"
#include "framework/win/TCustomForm.h"

TScreen::TScreen(TComponent* owner) : TComponent(owner) {
  FPixelsPerInch = GetDeviceCaps(TScreenDC().Handle(), LOGPIXELSY);
  if (FPixelsPerInch <= 0) FPixelsPerInch = 96;
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = sizeof metrics;
  if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
    HFONT menu = CreateFontIndirectA(&metrics.lfMenuFont);
    FMenuFont.SetHandle(menu);
    DeleteObject(menu);
    HFONT hint = CreateFontIndirectA(&metrics.lfStatusFont);
    FHintFont.SetHandle(hint);
    DeleteObject(hint);
  }
  FHintFont.SetColor(clInfoText);
  LOGFONTA icon{};
  if (SystemParametersInfoA(SPI_GETICONTITLELOGFONT, sizeof icon, &icon, 0)) {
    HFONT f = CreateFontIndirectA(&icon);
    FIconFont.SetHandle(f);
    DeleteObject(f);
  }
}

TScreen::~TScreen() = default;

void TScreen::AddForm(TCustomForm* form) {
  if (std::find(FForms.begin(), FForms.end(), form) == FForms.end()) FForms.push_back(form);
}

void TScreen::RemoveForm(TCustomForm* form) {
  FForms.erase(std::remove(FForms.begin(), FForms.end(), form), FForms.end());
  FActivationOrder.erase(std::remove(FActivationOrder.begin(), FActivationOrder.end(), form),
                         FActivationOrder.end());
  if (FActiveForm == form) {
    FActiveForm = nullptr;
    FActiveControl = nullptr;
  }
}

void TScreen::SetCursor(TCursor cursor) {
  if (cursor == FCursor) return;
  FCursor = cursor;
  // The window of this thread under the mouse chooses again now, as it does when the mouse moves.
  POINT p;
  if (cursor == crDefault && GetCursorPos(&p)) {
    HWND over = WindowFromPoint(p);
    if (over != nullptr && GetWindowThreadProcessId(over, nullptr) == GetCurrentThreadId()) {
      const LRESULT hit = SendMessageA(over, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
      SendMessageA(over, WM_SETCURSOR, reinterpret_cast<WPARAM>(over), MAKELPARAM(hit, WM_MOUSEMOVE));
      return;
    }
  }
  ::SetCursor(Cursors(cursor));
}

HCURSOR TScreen::Cursors(TCursor cursor) {
  auto it = FCursors.find(cursor);
  if (it != FCursors.end()) return it->second;
  LPCSTR id;
  switch (cursor) {
    case crNone: return nullptr;
    case crCross: id = IDC_CROSS; break;
    case crIBeam: id = IDC_IBEAM; break;
    case crSizeNESW: id = IDC_SIZENESW; break;
    case crSizeNS: id = IDC_SIZENS; break;
    case crSizeNWSE: id = IDC_SIZENWSE; break;
    case crSizeWE: id = IDC_SIZEWE; break;
    case crUpArrow: id = IDC_UPARROW; break;
    case crHourGlass:
    case crSQLWait: id = IDC_WAIT; break;
    case crNo:
    case crNoDrop: id = IDC_NO; break;
    case crAppStart: id = IDC_APPSTARTING; break;
    case crHelp: id = IDC_HELP; break;
    case crHandPoint: id = IDC_HAND; break;
    case crSizeAll: id = IDC_SIZEALL; break;
    default: id = IDC_ARROW; break;
  }
  HCURSOR handle = LoadCursorA(nullptr, id);
  FCursors[cursor] = handle;
  return handle;
}

void TScreen::SetCursors(TCursor cursor, HCURSOR handle) { FCursors[cursor] = handle; }

RECT TScreen::WorkAreaRect() const {
  RECT r{0, 0, Width(), Height()};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0);
  return r;
}

void TScreen::SetActive(TCustomForm* form, TWinControl* control) {
  bool formChanged = form != FActiveForm, controlChanged = control != FActiveControl;
  FActiveForm = form;
  FActiveControl = control;
  if (form != nullptr && (FActivationOrder.empty() || FActivationOrder.front() != form)) {
    FActivationOrder.erase(std::remove(FActivationOrder.begin(), FActivationOrder.end(), form),
                           FActivationOrder.end());
    FActivationOrder.insert(FActivationOrder.begin(), form);
  }
  if (formChanged && FOnActiveFormChange) FOnActiveFormChange(this);
  if (controlChanged && FOnActiveControlChange) FOnActiveControlChange(this);
}

TCustomForm* TScreen::FormActiveBefore(const TCustomForm* form) const {
  for (TCustomForm* f : FActivationOrder) {
    if (f == form || f->Parent() != nullptr || f->FormStyle() == fsMDIChild || !f->HandleAllocated()) continue;
    HWND h = f->Handle();
    if (IsWindowVisible(h) && IsWindowEnabled(h) && !IsIconic(h)) return f;
  }
  return nullptr;
}

void TScreen::ControlRemoving(TWinControl* control) {
  if (FActiveControl != nullptr && control->ContainsControl(FActiveControl)) FActiveControl = nullptr;
}
