#include "framework/win/TPageControl.h"

#include <commctrl.h>

#include <algorithm>

#include "framework/win/GdiScopes.h"
#include "framework/win/TImageList.h"
#include "framework/win/TTabSheet.h"

TPageControl::TPageControl(TComponent* owner) : TWinControl(owner) {
  SetControlStyle(csAcceptsControls | csDoubleClicks);
  SetTabStop(true);
  SetBounds(0, 0, 289, 193);
}

void TPageControl::BeforeDestruction() {
  for (TTabSheet* page : FPages) page->FPageControl = nullptr;
  FPages.clear();
  FActivePage = nullptr;
  TWinControl::BeforeDestruction();
}

void TPageControl::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  CreateSubClass(params, WC_TABCONTROLA);
  params.Style |= WS_CLIPCHILDREN;
  // Side tabs only work on several rows.
  if (FMultiLine || FTabPosition == tpLeft || FTabPosition == tpRight) params.Style |= TCS_MULTILINE;
  if (FOwnerDraw) params.Style |= TCS_OWNERDRAWFIXED;
  switch (FTabPosition) {
    case tpBottom: params.Style |= TCS_BOTTOM; break;
    case tpLeft: params.Style |= TCS_VERTICAL; break;
    case tpRight: params.Style |= TCS_VERTICAL | TCS_RIGHT; break;
    default: break;
  }
  params.WindowClass.style &= ~UINT(CS_HREDRAW | CS_VREDRAW);
}

void TPageControl::CreateWnd() {
  TWinControl::CreateWnd();
  ApplyImages();
  UpdateTabs();
}

void TPageControl::SetImages(TImageList* images) {
  if (images == FImages) return;
  if (FImages != nullptr) FImages->RemoveFreeNotification(this);
  FImages = images;
  if (images != nullptr) images->FreeNotification(this);
  ApplyImages();
  Realign();
}

void TPageControl::ApplyImages() {
  if (!HandleAllocated()) return;
  SendMessageA(Handle(), TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(FImages ? FImages->Handle() : nullptr));
}

void TPageControl::SetOwnerDraw(bool value) {
  if (value == FOwnerDraw) return;
  FOwnerDraw = value;
  RecreateWnd();
}

void TPageControl::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation == TOperation::Remove && component == FImages) SetImages(nullptr);
}

RECT TPageControl::DisplayRect() {
  RECT r = ClientRect();
  if (HandleAllocated()) SendMessageA(Handle(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
  return r;
}

void TPageControl::AdjustClientRect(RECT& r) {
  r = DisplayRect();
  TWinControl::AdjustClientRect(r);
}

void TPageControl::AlignControls(TControl* control, RECT& r) {
  for (TTabSheet* page : FPages) page->SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
  TWinControl::AlignControls(control, r);
}

void TPageControl::InsertPage(TTabSheet* page) {
  if (std::find(FPages.begin(), FPages.end(), page) != FPages.end()) return;
  FPages.push_back(page);
  page->FPageControl = this;
  UpdateTabs();
  if (FActivePage == nullptr && page->TabVisible()) SetActivePage(page);
}

void TPageControl::RemovePage(TTabSheet* page) {
  auto it = std::find(FPages.begin(), FPages.end(), page);
  if (it == FPages.end()) return;
  TTabSheet* next = page == FActivePage ? FindNextPage(page, true, true) : FActivePage;
  if (next == page) next = nullptr;
  FPages.erase(it);
  page->FPageControl = nullptr;
  if (FActivePage == page) FActivePage = nullptr;
  UpdateTabs();
  if (!IsDestroying()) SetActivePage(next);
}

void TPageControl::MovePage(TTabSheet* page, int index) {
  auto it = std::find(FPages.begin(), FPages.end(), page);
  if (it == FPages.end()) return;
  FPages.erase(it);
  index = std::clamp(index, 0, int(FPages.size()));
  FPages.insert(FPages.begin() + index, page);
  UpdateTabs();
}

TTabSheet* TPageControl::PageForTab(int tabIndex) const {
  if (tabIndex < 0) return nullptr;
  for (TTabSheet* page : FPages) {
    if (!page->TabVisible()) continue;
    if (tabIndex-- == 0) return page;
  }
  return nullptr;
}

int TPageControl::TabIndexOf(const TTabSheet* page) const {
  if (page == nullptr || !page->TabVisible()) return -1;
  int index = 0;
  for (TTabSheet* p : FPages) {
    if (p == page) return index;
    if (p->TabVisible()) ++index;
  }
  return -1;
}

void TPageControl::UpdateTabs() {
  if (!HandleAllocated()) return;
  HWND h = Handle();
  SendMessageA(h, TCM_DELETEALLITEMS, 0, 0);
  int tab = 0;
  for (TTabSheet* page : FPages) {
    if (!page->TabVisible()) continue;
    std::string text = page->Caption();
    TCITEMA item{};
    item.mask = TCIF_TEXT | TCIF_IMAGE;
    item.pszText = text.data();
    item.iImage = page->ImageIndex();
    SendMessageA(h, TCM_INSERTITEMA, WPARAM(tab++), reinterpret_cast<LPARAM>(&item));
  }
  int active = TabIndexOf(FActivePage);
  SendMessageA(h, TCM_SETCURSEL, WPARAM(active), 0);
  Realign();
}

void TPageControl::UpdateTab(TTabSheet* page) {
  int tab = TabIndexOf(page);
  if (tab < 0 || !HandleAllocated()) return;
  std::string text = page->Caption();
  TCITEMA item{};
  item.mask = TCIF_TEXT | TCIF_IMAGE;
  item.pszText = text.data();
  item.iImage = page->ImageIndex();
  SendMessageA(Handle(), TCM_SETITEMA, WPARAM(tab), reinterpret_cast<LPARAM>(&item));
  Realign();
}

void TPageControl::ShowActive() {
  if (FActivePage != nullptr) {
    FActivePage->BringToFront();
    FActivePage->SetVisible(true);
  }
  for (TTabSheet* page : FPages)
    if (page != FActivePage) page->SetVisible(false);
}

void TPageControl::SetActivePage(TTabSheet* page) {
  if (page != nullptr && page->FPageControl != this) return;
  if (page == FActivePage) return;
  FActivePage = page;
  if (HandleAllocated()) SendMessageA(Handle(), TCM_SETCURSEL, WPARAM(TabIndexOf(page)), 0);
  ShowActive();
}

int TPageControl::ActivePageIndex() const { return FActivePage != nullptr ? FActivePage->PageIndex() : -1; }

void TPageControl::SetActivePageIndex(int value) {
  SetActivePage(value >= 0 && value < PageCount() ? FPages[size_t(value)] : nullptr);
}

void TPageControl::SetTabPosition(TTabPosition value) {
  if (value == FTabPosition) return;
  FTabPosition = value;
  RecreateWnd();
}

void TPageControl::SetMultiLine(bool value) {
  if (value == FMultiLine) return;
  FMultiLine = value;
  RecreateWnd();
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* current, bool goForward, bool checkTabVisible) const {
  int n = PageCount();
  if (n == 0) return nullptr;
  auto it = std::find(FPages.begin(), FPages.end(), current);
  int start = it == FPages.end() ? (goForward ? n - 1 : 0) : int(it - FPages.begin());
  for (int step = 1; step <= n; ++step) {
    int i = goForward ? (start + step) % n : ((start - step) % n + n) % n;
    TTabSheet* page = FPages[size_t(i)];
    if (!checkTabVisible || page->TabVisible()) return page;
  }
  return nullptr;
}

void TPageControl::SelectNextPage(bool goForward) {
  TTabSheet* page = FindNextPage(FActivePage, goForward, true);
  if (page == nullptr || page == FActivePage || !CanChange()) return;
  SetActivePage(page);
  Change();
}

bool TPageControl::CanChange() {
  bool allow = true;
  if (FOnChanging) FOnChanging(this, allow);
  return allow;
}

void TPageControl::Change() {
  if (FOnChange) FOnChange(this);
}

void TPageControl::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case CN_DRAWITEM: {
      auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(message.LParam);
      if (dis == nullptr) return;
      TCanvasDC bound(FCanvas, dis->hDC);
      FCanvas.SetFont(Font());
      FCanvas.Brush()->SetColor(clBtnFace);
      if (FOnDrawTab) FOnDrawTab(this, int(dis->itemID), dis->rcItem, (dis->itemState & ODS_SELECTED) != 0);
      else FCanvas.FillRect(dis->rcItem);
      message.Result = 1;
      return;
    }
    case CN_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(message.LParam);
      if (header == nullptr) return;
      if (header->code == TCN_SELCHANGING) {
        message.Result = CanChange() ? FALSE : TRUE;
      } else if (header->code == TCN_SELCHANGE) {
        TTabSheet* page = PageForTab(int(SendMessageA(Handle(), TCM_GETCURSEL, 0, 0)));
        FActivePage = page;
        ShowActive();
        Change();
      }
      return;
    }
    case CM_DIALOGKEY:
      // Ctrl+Tab and Ctrl+Shift+Tab switch pages while the focus is inside.
      if (WORD(message.WParam) == VK_TAB && (GetKeyState(VK_CONTROL) & 0x8000) != 0 && FActivePage != nullptr &&
          HandleAllocated() && IsChild(Handle(), GetFocus())) {
        SelectNextPage((GetKeyState(VK_SHIFT) & 0x8000) == 0);
        message.Result = 1;
        return;
      }
      break;
    default:
      break;
  }
  TWinControl::Dispatch(message);
}
