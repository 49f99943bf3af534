#include "framework/win/TNativeItems.h"

namespace {

// Bounds what is copied out of a native list before its window goes.
constexpr LRESULT kMaxSavedItems = 1000000;
constexpr LRESULT kMaxItemLength = 1 << 20;

}  // namespace

void TNativeItems::Save(HWND window) {
  FSaved = false;
  FItems.clear();
  bool list = FKind == TKind::ListBox;
  LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
  bool ownerDrawn = list ? (style & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) && !(style & LBS_HASSTRINGS)
                         : (style & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE)) && !(style & CBS_HASSTRINGS);
  if (ownerDrawn) return;
  LRESULT count = SendMessageA(window, list ? LB_GETCOUNT : CB_GETCOUNT, 0, 0);
  if (count < 0 || count > kMaxSavedItems) return;
  for (LRESULT i = 0; i < count; ++i) {
    LRESULT length = SendMessageA(window, list ? LB_GETTEXTLEN : CB_GETLBTEXTLEN, WPARAM(i), 0);
    if (length < 0 || length > kMaxItemLength) length = 0;
    std::string item(size_t(length) + 1, '\0');
    LRESULT got = length > 0 ? SendMessageA(window, list ? LB_GETTEXT : CB_GETLBTEXT, WPARAM(i),
                                            reinterpret_cast<LPARAM>(item.data()))
                             : 0;
    item.resize(got > 0 && got <= length ? size_t(got) : 0);
    FItems.push_back(std::move(item));
  }
  FSelection = SendMessageA(window, list ? LB_GETCURSEL : CB_GETCURSEL, 0, 0);
  FTopIndex = list ? SendMessageA(window, LB_GETTOPINDEX, 0, 0) : 0;
  FSaved = true;
}

void TNativeItems::Restore(HWND window) {
  if (!FSaved) return;
  bool list = FKind == TKind::ListBox;
  for (const std::string& item : FItems)
    SendMessageA(window, list ? LB_ADDSTRING : CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  if (FSelection >= 0) SendMessageA(window, list ? LB_SETCURSEL : CB_SETCURSEL, WPARAM(FSelection), 0);
  if (list) SendMessageA(window, LB_SETTOPINDEX, WPARAM(FTopIndex), 0);
  FItems.clear();
  FSaved = false;
}
