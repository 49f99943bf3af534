#include "tests/skin/windows/MaximizeSupport.h"

#include <algorithm>

#include "framework/win/TApplication.h"
#include "framework/win/TCustomForm.h"
#include "skin/engine/TsSkinManager.h"
#include "skin/windows/TsSkinProvider.h"

TsSkinManager* NewBundledSkinManager(const char* name) {
  auto* manager = NewComponent<TsSkinManager>(Application);
  manager->SetSkinDirectory(TARVEX_BUNDLED_SKINS);
  manager->SetActive(true);
  manager->SetSkinName(name);
  return manager;
}

RECT WorkArea() {
  RECT work;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  return work;
}

bool RectInside(const RECT& inner, const RECT& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

POINT MaximizeButtonPoint(TCustomForm* form, TsSkinProvider* provider) {
  HWND h = form->Handle();
  RECT w;
  GetWindowRect(h, &w);
  if (provider->Skinned()) {
    for (const TsCaptionSlot& s : provider->CaptionSlots())
      if (s.Code == HTMAXBUTTON) return {w.left + (s.Rect.Left + s.Rect.Right) / 2, w.top + (s.Rect.Top + s.Rect.Bottom) / 2};
    return {-1, -1};
  }
  // Along the middle of the caption's visible part, from the right.
  const int y = std::max<int>(w.top, 0) + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2;
  int right = -1;
  for (int x = std::min<int>(w.right, GetSystemMetrics(SM_CXSCREEN)) - 1; x > w.left; --x) {
    const bool hit = SendMessageA(h, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == HTMAXBUTTON;
    if (hit && right < 0) right = x;
    if (!hit && right >= 0) return {(x + 1 + right) / 2, y};
  }
  return {-1, -1};
}

bool CaptionButtonsInside(TCustomForm* form, TsSkinProvider* provider, const RECT& area) {
  RECT w;
  GetWindowRect(form->Handle(), &w);
  for (const TsCaptionSlot& s : provider->CaptionSlots())
    if (!RectInside(RECT{w.left + s.Rect.Left, w.top + s.Rect.Top, w.left + s.Rect.Right, w.top + s.Rect.Bottom}, area))
      return false;
  return true;
}
