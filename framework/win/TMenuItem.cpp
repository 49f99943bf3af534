#include "framework/win/TMenuItem.h"

#include <algorithm>
#include <map>
#include <set>

#include "framework/win/GdiScopes.h"
#include "framework/win/TBitmap.h"
#include "framework/win/TCanvas.h"
#include "framework/win/TMenu.h"

namespace {

// Live items by command id and by address: the platform hands back ids and item data that may
// outlive the item.
std::map<UINT, TMenuItem*>& Commands() {
  static std::map<UINT, TMenuItem*> map;
  return map;
}

std::set<const TMenuItem*>& LiveItems() {
  static std::set<const TMenuItem*> set;
  return set;
}

// Ids below the range the MDI client gives its children's window-menu entries.
constexpr UINT kFirstCommand = 100, kLastCommand = 0xFEFF;

UINT AllocateCommand(TMenuItem* item) {
  static UINT next = kFirstCommand;
  auto& map = Commands();
  for (UINT tries = 0; tries <= kLastCommand - kFirstCommand; ++tries) {
    UINT id = next;
    next = next >= kLastCommand ? kFirstCommand : next + 1;
    if (map.find(id) == map.end()) {
      map[id] = item;
      return id;
    }
  }
  return 0;
}

std::string KeyName(WORD key) {
  switch (key) {
    case VK_BACK: return "BkSp";
    case VK_TAB: return "Tab";
    case VK_RETURN: return "Enter";
    case VK_ESCAPE: return "Esc";
    case VK_SPACE: return "Space";
    case VK_PRIOR: return "PgUp";
    case VK_NEXT: return "PgDn";
    case VK_END: return "End";
    case VK_HOME: return "Home";
    case VK_LEFT: return "Left";
    case VK_UP: return "Up";
    case VK_RIGHT: return "Right";
    case VK_DOWN: return "Down";
    case VK_INSERT: return "Ins";
    case VK_DELETE: return "Del";
    default: break;
  }
  if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return std::string(1, char(key));
  if (key >= VK_F1 && key <= VK_F24) return "F" + std::to_string(key - VK_F1 + 1);
  if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9) return "Num " + std::to_string(key - VK_NUMPAD0);
  char name[64] = {};
  UINT scan = MapVirtualKeyA(key, 0);
  if (scan != 0 && GetKeyNameTextA(LONG(scan << 16), name, sizeof name) > 0) return name;
  return "";
}

}  // namespace

TShortCut ShortCut(WORD key, TShiftState shift) {
  if (key > 0xFF) return scNone;
  TShortCut sc = key;
  if (shift & ssShift) sc |= scShift;
  if (shift & ssCtrl) sc |= scCtrl;
  if (shift & ssAlt) sc |= scAlt;
  return sc;
}

void ShortCutToKey(TShortCut shortCut, WORD& key, TShiftState& shift) {
  key = shortCut & 0xFF;
  shift = 0;
  if (shortCut & scShift) shift |= ssShift;
  if (shortCut & scCtrl) shift |= ssCtrl;
  if (shortCut & scAlt) shift |= ssAlt;
}

std::string ShortCutToText(TShortCut shortCut) {
  std::string name = KeyName(shortCut & 0xFF);
  if (name.empty()) return "";
  std::string text;
  if (shortCut & scShift) text += "Shift+";
  if (shortCut & scCtrl) text += "Ctrl+";
  if (shortCut & scAlt) text += "Alt+";
  return text + name;
}

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner) {
  LiveItems().insert(this);
  FCommand = AllocateCommand(this);
}

TMenuItem::~TMenuItem() {
  while (!FItems.empty()) {
    TMenuItem* last = FItems.back();
    Remove(last);
    last->Free();
  }
  if (FParent != nullptr) FParent->Remove(this);
  FreeHandles();
  Commands().erase(FCommand);
  LiveItems().erase(this);
}

void TMenuItem::BeforeDestruction() {
  TComponent::BeforeDestruction();
  while (!FItems.empty()) {
    TMenuItem* last = FItems.back();
    Remove(last);
    last->Free();
  }
  if (FParent != nullptr) FParent->Remove(this);
}

TMenuItem* TMenuItem::FromData(ULONG_PTR data) {
  auto* item = reinterpret_cast<TMenuItem*>(data);
  return LiveItems().count(item) ? item : nullptr;
}

TMenuItem* TMenuItem::Items(int index) const {
  if (index < 0 || index >= Count()) throw EComponentError("Menu index out of range");
  return FItems[size_t(index)];
}

TMenu* TMenuItem::GetParentMenu() const {
  const TMenuItem* item = this;
  while (item->FParent != nullptr) item = item->FParent;
  return item->FMenu;
}

void TMenuItem::MenuChanged(bool rebuild) {
  if (TMenu* menu = GetParentMenu()) menu->MenuChanged(this, rebuild);
}

void TMenuItem::Add(TMenuItem* item) { Insert(Count(), item); }

void TMenuItem::Insert(int index, TMenuItem* item) {
  if (item == nullptr) return;
  if (item->FParent != nullptr) throw EComponentError("Menu inserted twice");
  for (const TMenuItem* p = this; p != nullptr; p = p->FParent)
    if (p == item) throw EComponentError("Menu cannot contain itself");
  index = std::clamp(index, 0, Count());
  FItems.insert(FItems.begin() + index, item);
  item->FParent = this;
  MenuChanged(true);
}

void TMenuItem::Remove(TMenuItem* item) {
  auto it = std::find(FItems.begin(), FItems.end(), item);
  if (it == FItems.end()) return;
  FItems.erase(it);
  item->FParent = nullptr;
  if (!IsDestroying()) MenuChanged(true);
}

void TMenuItem::Clear() {
  while (!FItems.empty()) {
    TMenuItem* last = FItems.back();
    Remove(last);
    last->Free();
  }
}

int TMenuItem::IndexOf(const TMenuItem* item) const {
  auto it = std::find(FItems.begin(), FItems.end(), item);
  return it == FItems.end() ? -1 : int(it - FItems.begin());
}

TMenuItem* TMenuItem::Find(const std::string& caption) const {
  auto strip = [](const std::string& s) {
    std::string r;
    for (char c : s)
      if (c != '&') r += c;
    return r;
  };
  std::string wanted = strip(caption);
  for (TMenuItem* item : FItems)
    if (_stricmp(strip(item->FCaption).c_str(), wanted.c_str()) == 0) return item;
  return nullptr;
}

void TMenuItem::SetCaption(const std::string& caption) {
  if (caption == FCaption) return;
  FCaption = caption;
  MenuChanged(true);
}

void TMenuItem::SetShortCut(TShortCut shortCut) {
  if (shortCut == FShortCut) return;
  FShortCut = shortCut;
  MenuChanged(true);
}

void TMenuItem::TurnSiblingsOff() {
  if (FParent == nullptr) return;
  for (TMenuItem* sibling : FParent->FItems)
    if (sibling != this && sibling->FRadioItem && sibling->FGroupIndex == FGroupIndex && sibling->FChecked) {
      sibling->FChecked = false;
    }
}

void TMenuItem::SetChecked(bool checked) {
  if (checked == FChecked) return;
  FChecked = checked;
  if (checked && FRadioItem) TurnSiblingsOff();
  MenuChanged(false);
}

void TMenuItem::SetEnabled(bool enabled) {
  if (enabled == FEnabled) return;
  FEnabled = enabled;
  if (TMenu* menu = GetParentMenu()) menu->ItemEnabledChanged(this);
}

void TMenuItem::SetVisible(bool visible) {
  if (visible == FVisible) return;
  FVisible = visible;
  MenuChanged(true);
}

void TMenuItem::SetDefault(bool value) {
  if (value == FDefault) return;
  if (value && FParent != nullptr)
    for (TMenuItem* sibling : FParent->FItems) sibling->FDefault = false;
  FDefault = value;
  MenuChanged(false);
}

void TMenuItem::SetGroupIndex(uint8_t index) {
  if (index == FGroupIndex) return;
  FGroupIndex = index;
  if (FChecked && FRadioItem) TurnSiblingsOff();
  MenuChanged(true);
}

void TMenuItem::SetRadioItem(bool radio) {
  if (radio == FRadioItem) return;
  FRadioItem = radio;
  if (FChecked && radio) TurnSiblingsOff();
  MenuChanged(true);
}

void TMenuItem::SetImageIndex(int index) {
  if (index == FImageIndex) return;
  FImageIndex = index;
  MenuChanged(true);
}

TBitmap* TMenuItem::Bitmap() {
  if (!FBitmap) FBitmap = std::make_unique<TBitmap>();
  return FBitmap.get();
}

void TMenuItem::SetOnMeasureItem(const TMenuMeasureItemEvent& e) {
  FOnMeasureItem = e;
  MenuChanged(true);
}

void TMenuItem::SetOnDrawItem(const TMenuDrawItemEvent& e) {
  FOnDrawItem = e;
  MenuChanged(true);
}

void TMenuItem::SetOnAdvancedDrawItem(const TAdvancedMenuDrawItemEvent& e) {
  FOnAdvancedDrawItem = e;
  MenuChanged(true);
}

void TMenuItem::Click() {
  if (FOnClick) FOnClick(this);
}

void TMenuItem::FreeHandles() {
  for (TMenuItem* item : FItems) item->FreeHandles();
  // A sub-menu is destroyed with the menu it is attached to; only a root menu is destroyed here.
  FHandle = nullptr;
}

void TMenuItem::AppendTo(HMENU menu, bool ownerDraw) {
  for (TMenuItem* item : FItems) item->AppendSelf(menu, ownerDraw);
}

void TMenuItem::AppendSelf(HMENU menu, bool ownerDraw) {
  TMenuItem* item = this;
  {
    if (!item->FVisible) return;
    MENUITEMINFOA mii{};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_ID | MIIM_STATE | MIIM_DATA | MIIM_FTYPE;
    mii.wID = item->FCommand;
    mii.dwItemData = reinterpret_cast<ULONG_PTR>(item);
    std::string text = item->FCaption;
    if (item->FShortCut != scNone) text += "\t" + ShortCutToText(item->FShortCut);
    bool drawn = ownerDraw || item->FOnMeasureItem || item->FOnDrawItem || item->FOnAdvancedDrawItem;
    if (item->IsLine()) {
      mii.fType = MFT_SEPARATOR;
    } else {
      mii.fMask |= MIIM_STRING;
      mii.dwTypeData = text.data();
      mii.cch = UINT(text.size());
    }
    if (drawn) mii.fType |= MFT_OWNERDRAW;
    if (item->FRadioItem) mii.fType |= MFT_RADIOCHECK;
    if (item->FChecked) mii.fState |= MFS_CHECKED;
    if (!item->FEnabled) mii.fState |= MFS_GRAYED;
    if (item->FDefault) mii.fState |= MFS_DEFAULT;
    if (item->FBitmap && !item->FBitmap->Empty()) {
      mii.fMask |= MIIM_BITMAP;
      mii.hbmpItem = item->FBitmap->Handle();
    }
    if (!item->FItems.empty()) {
      item->FHandle = CreatePopupMenu();
      item->AppendTo(item->FHandle, ownerDraw);
      mii.fMask |= MIIM_SUBMENU;
      mii.hSubMenu = item->FHandle;
    }
    InsertMenuItemA(menu, GetMenuItemCount(menu), TRUE, &mii);
  }
}

void TMenuItem::MeasureItem(TCanvas* canvas, int& width, int& height) {
  if (FOnMeasureItem) {
    FOnMeasureItem(this, canvas, width, height);
    return;
  }
  if (IsLine()) {
    width = 0;
    height = GetSystemMetrics(SM_CYMENU) / 2;
    return;
  }
  std::string text = FCaption;
  if (FShortCut != scNone) text += "    " + ShortCutToText(FShortCut);
  SIZE size = canvas->TextExtent(text);
  width = size.cx + GetSystemMetrics(SM_CXMENUCHECK) + 8;
  height = std::max<int>(size.cy + 4, GetSystemMetrics(SM_CYMENU));
}

void TMenuItem::AdvancedDrawItem(TCanvas* canvas, const RECT& r, TOwnerDrawState state) {
  if (FOnAdvancedDrawItem) {
    FOnAdvancedDrawItem(this, canvas, r, state);
    return;
  }
  if (FOnDrawItem) {
    FOnDrawItem(this, canvas, r, (state & odSelected) != 0);
    return;
  }
  bool selected = (state & odSelected) != 0;
  canvas->Brush()->SetColor(selected ? clHighlight : clMenu);
  canvas->FillRect(r);
  if (IsLine()) {
    RECT line{r.left, (r.top + r.bottom) / 2, r.right, (r.top + r.bottom) / 2 + 1};
    canvas->Brush()->SetColor(clBtnShadow);
    canvas->FillRect(line);
    return;
  }
  canvas->Font()->SetColor(!FEnabled ? clGrayText : selected ? clHighlightText : clMenuText);
  canvas->Brush()->SetStyle(TBrushStyle::Clear);
  RECT text = r;
  text.left += GetSystemMetrics(SM_CXMENUCHECK) + 4;
  canvas->TextExtent("");
  ::DrawTextA(canvas->Handle(), FCaption.c_str(), int(FCaption.size()), &text, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
  if (FShortCut != scNone) {
    std::string sc = ShortCutToText(FShortCut);
    text.right -= 8;
    ::DrawTextA(canvas->Handle(), sc.c_str(), int(sc.size()), &text, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
  }
  if (FChecked) {
    RECT mark{r.left + 2, r.top + 2, r.left + GetSystemMetrics(SM_CXMENUCHECK), r.bottom - 2};
    ::DrawTextA(canvas->Handle(), FRadioItem ? "o" : "v", 1, &mark, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
  }
}

bool TMenuItem::DispatchCommand(UINT command) {
  auto it = Commands().find(command);
  if (it == Commands().end()) return false;
  TMenuItem* item = it->second;
  if (!item->FEnabled) return true;
  item->Click();
  return true;
}

bool TMenuItem::DispatchPopup(HMENU menu) {
  for (const TMenuItem* live : LiveItems()) {
    if (live->FHandle == menu && menu != nullptr) {
      const_cast<TMenuItem*>(live)->Click();
      return true;
    }
  }
  return false;
}

bool TMenuItem::DispatchMeasureItem(MEASUREITEMSTRUCT& mis) {
  TMenuItem* item = FromData(mis.itemData);
  if (item == nullptr) return false;
  TScreenDC screen;
  TCanvas canvas;
  TCanvasDC bound(canvas, screen.Handle());
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = sizeof metrics;
  if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
    TGdiObject<HFONT> font(CreateFontIndirectA(&metrics.lfMenuFont));
    canvas.Font()->SetHandle(font.Handle());
  }
  int width = int(mis.itemWidth), height = int(mis.itemHeight);
  item->MeasureItem(&canvas, width, height);
  mis.itemWidth = UINT(std::max(width, 0));
  mis.itemHeight = UINT(std::max(height, 0));
  return true;
}

bool TMenuItem::DispatchDrawItem(DRAWITEMSTRUCT& dis) {
  TMenuItem* item = FromData(dis.itemData);
  if (item == nullptr) return false;
  TOwnerDrawState state = 0;
  if (dis.itemState & ODS_SELECTED) state |= odSelected;
  if (dis.itemState & ODS_GRAYED) state |= odGrayed;
  if (dis.itemState & ODS_DISABLED) state |= odDisabled;
  if (dis.itemState & ODS_CHECKED) state |= odChecked;
  if (dis.itemState & ODS_FOCUS) state |= odFocused;
  if (dis.itemState & ODS_DEFAULT) state |= odDefault;
  if (dis.itemState & ODS_HOTLIGHT) state |= odHotLight;
  if (dis.itemState & ODS_INACTIVE) state |= odInactive;
  if (dis.itemState & ODS_NOACCEL) state |= odNoAccel;
  TSaveDC saved(dis.hDC);
  TCanvas canvas;
  TCanvasDC bound(canvas, dis.hDC);
  item->AdvancedDrawItem(&canvas, dis.rcItem, state);
  return true;
}
