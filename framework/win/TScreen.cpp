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
  if (FActiveForm == form) {
    FActiveForm = nullptr;
    FActiveControl = nullptr;
  }
}

void TScreen::SetCursor(TCursor cursor) {
  if (cursor == FCursor) return;
  FCursor = cursor;
  if (cursor == crDefault) {
    // Let the window under the mouse choose again.
    POINT p;
    GetCursorPos(&p);
    SetCursorPos(p.x, p.y);
  } else {
    ::SetCursor(Cursors(cursor));
  }
}

HCURSOR TScreen::Cursors(TCursor cursor) {
  auto it = FCursors.find(cursor);
  if (it != FCursors.end()) return it->second;
  LPCSTR id;
  switch (cursor) {
    case crNone: return nullptr;
    case crCross: id = MAKEINTRESOURCEA(32515); break;
    case crIBeam: id = MAKEINTRESOURCEA(32513); break;
    case crSizeNESW: id = MAKEINTRESOURCEA(32643); break;
    case crSizeNS: id = MAKEINTRESOURCEA(32645); break;
    case crSizeNWSE: id = MAKEINTRESOURCEA(32642); break;
    case crSizeWE: id = MAKEINTRESOURCEA(32644); break;
    case crUpArrow: id = MAKEINTRESOURCEA(32516); break;
    case crHourGlass:
    case crSQLWait: id = MAKEINTRESOURCEA(32514); break;
    case crNo:
    case crNoDrop: id = MAKEINTRESOURCEA(32648); break;
    case crAppStart: id = MAKEINTRESOURCEA(32650); break;
    case crHelp: id = MAKEINTRESOURCEA(32651); break;
    case crHandPoint: id = MAKEINTRESOURCEA(32649); break;
    case crSizeAll: id = MAKEINTRESOURCEA(32646); break;
    default: id = MAKEINTRESOURCEA(32512); break;
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
  if (formChanged && FOnActiveFormChange) FOnActiveFormChange(this);
  if (controlChanged && FOnActiveControlChange) FOnActiveControlChange(this);
}

void TScreen::ControlRemoving(TWinControl* control) {
  if (FActiveControl != nullptr && control->ContainsControl(FActiveControl)) FActiveControl = nullptr;
}
