#include "skin/windows/TsSkinableMenus.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "framework/win/GdiScopes.h"
#include "framework/win/TApplication.h"
#include "framework/win/TBitmap.h"
#include "framework/win/TCanvas.h"
#include "framework/win/TCustomForm.h"
#include "framework/win/TFont.h"
#include "framework/win/TImageList.h"
#include "framework/win/TMainMenu.h"
#include "framework/win/TMenuItem.h"
#include "framework/win/TPopupMenu.h"
#include "framework/win/TScreen.h"
#include "skin/controls/core/MDIClientRules.h"
#include "skin/engine/SkinFrameDrawing.h"
#include "skin/engine/SkinSectionPainter.h"
#include "skin/engine/SkinTextPainter.h"
#include "skin/engine/TsFormFrameLink.h"
#include "skin/engine/core/SkinTables.h"
#include "skin/engine/core/TsSkinData.h"
#include "skin/windows/core/MenuHookRules.h"

namespace {

struct TMenuBackground {
  std::unique_ptr<TBitmap> Bitmap;
  TMenuItem* Item = nullptr;
};

std::vector<TMenuBackground>& MenuList() {
  static std::vector<TMenuBackground> list;
  return list;
}

TBitmap* PopupBackground(TMenuItem* key) {
  for (TMenuBackground& record : MenuList())
    if (record.Item == key) return record.Bitmap.get();
  return nullptr;
}

void ForgetBackground(TMenuItem* key) {
  auto& list = MenuList();
  list.erase(std::remove_if(list.begin(), list.end(), [key](const TMenuBackground& r) { return r.Item == key; }),
             list.end());
}

// The popup window's margin around its items, which the platform fills and frames in its own menu
// colours, shows the popup's background instead. The item's DC is clipped to the items, so the
// margin is painted through a DC of the window; its width is the item's distance from the edge.
void PaintPopupMargin(HDC itemDC, TBitmap& background, const RECT& item) {
  HWND popup = WindowFromDC(itemDC);
  char name[16] = {};
  if (popup == nullptr || GetClassNameA(popup, name, sizeof name) == 0 || std::strcmp(name, "#32768") != 0) return;
  const int inset = item.left;
  RECT client;
  if (inset <= 0 || !GetClientRect(popup, &client)) return;
  const int w = std::min<int>(client.right, background.Width()), h = std::min<int>(client.bottom, background.Height());
  const TWindowDC dc(popup, TWindowDC::Client);
  if (dc.Handle() == nullptr) return;
  ExcludeClipRect(dc.Handle(), inset, inset, client.right - inset, client.bottom - inset);
  BitBlt(dc.Handle(), 0, 0, w, h, background.Canvas()->Handle(), 0, 0, SRCCOPY);
}

// The popup's background under an item's rectangle.
void ShowPopupBackground(TCanvas* canvas, TBitmap& background, const RECT& r) {
  BitBlt(canvas->Handle(), r.left, r.top, r.right - r.left, r.bottom - r.top, background.Canvas()->Handle(), r.left,
         r.top, SRCCOPY);
}

void Prepare24(TBitmap& bmp, int w, int h) {
  bmp.SetPixelFormat(TPixelFormat::Bit24);
  bmp.SetSize(std::max(w, 0), std::max(h, 0));
}

void UseMenuFont(TCanvas* canvas) {
  if (Screen != nullptr) canvas->SetFont(Screen->MenuFont());
}

// Text extents as DrawText gives them for one line with tabs expanded.
class TCanvasMeasurer : public TsMenuTextMeasurer {
public:
  explicit TCanvasMeasurer(TCanvas* canvas) : FCanvas(canvas) {}
  TsMenuSize Measure(const std::string& text) override {
    RECT r{0, 0, 0, 0};
    HDC dc = FCanvas->Handle();
    const TSaveDC saved(dc);
    SelectObject(dc, FCanvas->Font()->Handle());
    DrawTextA(dc, text.c_str(), int(text.size()), &r, DT_CALCRECT | DT_EXPANDTABS | DT_SINGLELINE | DT_NOCLIP);
    return {r.right - r.left, r.bottom - r.top};
  }

private:
  TCanvas* FCanvas;
};

bool IsBarItem(TMenuItem* item) {
  TMenuItem* parent = item->Parent();
  return parent != nullptr && parent->Parent() == nullptr && dynamic_cast<TMainMenu*>(item->GetParentMenu()) != nullptr;
}

TsMenuSize BitmapSize(TMenuItem* item) {
  TBitmap* bmp = item->Bitmap();
  return bmp->Empty() ? TsMenuSize{} : TsMenuSize{bmp->Width(), bmp->Height()};
}

TImageList* ImagesOf(TMenuItem* item) {
  TMenu* menu = item->GetParentMenu();
  return menu != nullptr ? menu->Images() : nullptr;
}

TsMenuGlyphSource GlyphSource(TMenuItem* item) {
  TsMenuGlyphSource source;
  source.Bitmap = BitmapSize(item);
  if (TImageList* images = ImagesOf(item)) source.ImageList = {images->Width(), images->Height()};
  return source;
}

TsMenuItemFacts FactsOf(TMenuItem* item) {
  return {item->Caption(), ShortCutToText(item->ShortCut()), GlyphSource(item)};
}

UINT AlignmentFlags(TsMenuAlignment a) {
  switch (a) {
    case TsMenuAlignment::Right: return DT_RIGHT;
    case TsMenuAlignment::Center: return DT_CENTER;
    default: return DT_LEFT;
  }
}

TsMenuAlignment MenuAlignment(TAlignment a) {
  switch (a) {
    case taRightJustify: return TsMenuAlignment::Right;
    case taCenter: return TsMenuAlignment::Center;
    default: return TsMenuAlignment::Left;
  }
}

int Luma(COLORREF rgb) { return 30 * GetRValue(rgb) + 59 * GetGValue(rgb) + 11 * GetBValue(rgb); }

// Embossed text (a white highlight under grey) reads as disabled on a light face only; on a face
// darker than the section's text it outshines the enabled items. There the canvas takes the text
// colour halfway to the face, and true is returned.
bool DimDisabledText(TCanvas* canvas, int section, bool hot) {
  if (!SectionIndexValid(section)) return false;
  const TsSectionData& s = ActiveSkin().SkinSectionData[std::size_t(section)];
  const COLORREF face = ColorToRGB(hot ? s.HotColor : s.Color);
  const COLORREF text = ColorToRGB(hot ? s.HotFontColor[0] : s.FontColor[0]);
  if (Luma(face) >= Luma(text)) return false;
  canvas->Font()->SetColor(TColor(RGB((GetRValue(face) + GetRValue(text)) / 2, (GetGValue(face) + GetGValue(text)) / 2,
                                      (GetBValue(face) + GetBValue(text)) / 2)));
  return true;
}

TsSkinState StateOf(TOwnerDrawState state, TOwnerDrawState hot) {
  return (state & hot) != 0 ? TsSkinState::Hot : TsSkinState::Normal;
}

TsFormFrameLink* BarProvider(TMenuItem* item) {
  if (TsFormFrameLink* main = MDIFormProvider()) return main;
  TMenu* menu = item->GetParentMenu();
  if (menu == nullptr) return nullptr;
  auto* control = dynamic_cast<TControl*>(menu->Owner());
  if (control == nullptr && menu->WindowHandle() != nullptr) control = FindControl(menu->WindowHandle());
  return GetFormProvider(control);
}

std::unique_ptr<TsMenuSkinnerLink> MakeSkinableMenus(TComponent* manager) {
  return std::make_unique<TsSkinableMenus>(static_cast<TsSkinManager*>(manager));
}

// The standard menu's colour of an item face or text where the skin has no menu section.
TColor PlainMenuColor(TsSkinState state) { return state == TsSkinState::Normal ? clMenu : clHighlight; }
TColor PlainMenuTextColor(TsSkinState state) { return state == TsSkinState::Normal ? clMenuText : clHighlightText; }

// The menu loop of one form's menu band, seen through a message filter of the loop's thread.
struct TBandLoop {
  HHOOK Hook = nullptr;
  HWND Form = nullptr;
  bool AfterEscape = false;  // Escape took a drop-down back to the band; no press since
  bool KeepNextUp = false;
};

TBandLoop& BandLoop() {
  static TBandLoop loop;
  return loop;
}

// A drop-down of this thread's menu loop is on the screen.
bool DropDownShown() {
  HWND popup = nullptr;
  while ((popup = FindWindowExA(nullptr, popup, "#32768", nullptr)) != nullptr)
    if (IsWindowVisible(popup) && GetWindowThreadProcessId(popup, nullptr) == GetCurrentThreadId()) return true;
  return false;
}

// After Escape left the band selected, a press on a title opens its drop-down and the release
// keeps it open. The platform's loop may instead take that release as a second click on an
// opened title (its drop-down opens already when the mouse passes over it) and close the menu:
// the release is kept from the loop then. A press on an open title at other times closes it.
LRESULT CALLBACK BandLoopFilter(int code, WPARAM wParam, LPARAM lParam) {
  TBandLoop& loop = BandLoop();
  if (code == MSGF_MENU && lParam != 0 && loop.Form != nullptr && IsWindow(loop.Form)) {
    const MSG& msg = *reinterpret_cast<const MSG*>(lParam);
    switch (msg.message) {
      case WM_LBUTTONDOWN:
      case WM_NCLBUTTONDOWN: {
        HMENU bar = GetMenu(loop.Form);
        const bool onTitle = bar != nullptr && MenuItemFromPoint(loop.Form, bar, msg.pt) >= 0;
        loop.KeepNextUp = onTitle && (loop.AfterEscape || !DropDownShown());
        loop.AfterEscape = false;
        break;
      }
      case WM_LBUTTONUP:
      case WM_NCLBUTTONUP:
        if (loop.KeepNextUp) {
          loop.KeepNextUp = false;
          return 1;
        }
        break;
      case WM_KEYDOWN:
        if (msg.wParam == VK_ESCAPE) loop.AfterEscape = true;
        break;
      default: break;
    }
  }
  return CallNextHookEx(loop.Hook, code, wParam, lParam);
}

// Installed whenever this unit is part of the program.
const bool Installed = (InstallSkinableMenus(), true);

}  // namespace

void InstallSkinableMenus() { SetMenuSkinnerFactory(&MakeSkinableMenus); }

void ClearMenuList(bool free) {
  if (free) MenuList().clear();
}

int MenuListCount() { return static_cast<int>(MenuList().size()); }

void BandMenuLoop(HWND form, bool entered) {
  TBandLoop& loop = BandLoop();
  if (!entered && loop.Form != form) return;
  if (loop.Hook != nullptr) UnhookWindowsHookEx(loop.Hook);
  loop = TBandLoop{};
  if (!entered || form == nullptr) return;
  loop.Form = form;
  loop.Hook = SetWindowsHookExA(WH_MSGFILTER, &BandLoopFilter, nullptr, GetCurrentThreadId());
}

void PaintMenuSection(const char* section, const TsCacheInfo& parent, TBitmap* bmp, POINT offset, const RECT& r,
                      TsSkinState state) {
  if (bmp == nullptr) return;
  const int index = FindSectionIndex(section);
  if (SectionIndexValid(index)) {
    PaintSectionByIndex(ActiveSkin(), index, section, parent, bmp, offset, r, state, true);
    return;
  }
  TCanvas* canvas = bmp->Canvas();
  canvas->Brush()->SetStyle(TBrushStyle::Solid);
  canvas->Brush()->SetColor(PlainMenuColor(state));
  canvas->FillRect(r);
}

int MenuTextSection(TCanvas* canvas, const char* section, TsSkinState state) {
  const int index = FindSectionIndex(section);
  if (!SectionIndexValid(index)) canvas->Font()->SetColor(PlainMenuTextColor(state));
  return index;
}

bool MDIChildIconVisible() {
  TsFormFrameLink* main = MDIFormProvider();
  TCustomForm* form = main != nullptr ? main->Form() : nullptr;
  if (form == nullptr || form->FormStyle() != fsMDIForm) return false;
  TCustomForm* child = form->ActiveMDIChild();
  return child != nullptr && child->HandleAllocated() && IsZoomed(child->Handle()) && !child->Icon()->Empty();
}

TsSkinableMenus::TsSkinableMenus(TsSkinManager* owner) : FManager(owner), FCaptionFont(std::make_unique<TFont>()) {}

TsSkinableMenus::~TsSkinableMenus() {
  // No menu may keep handlers of a painter that is gone.
  if (FActive) UpdateAllMenus(false);
}

void TsSkinableMenus::SetCaptionFont(const TFont* font) { FCaptionFont->Assign(font); }

bool TsSkinableMenus::SkinnedPopups() const { return FManager == nullptr || FManager->SkinnedPopups(); }

void TsSkinableMenus::SetActive(bool value) {
  if (value == FActive) return;
  FActive = value;
  UpdateAllMenus(value);
}

void TsSkinableMenus::UpdateFromManager() {
  // New skin or none: every popup gets a new background.
  ClearMenuList(true);
  const bool active = SkinData().Active;
  // Menus made since the last skin are hooked too (hooking twice changes nothing).
  if (active && FActive) UpdateAllMenus(true);
  else SetActive(active);
}

void TsSkinableMenus::UpdateAllMenus(bool enable) {
  FActive = enable;
  if (Application == nullptr) return;
  for (int i = 0; i < Application->ComponentCount(); ++i) HookComponent(Application->Components(i), enable);
}

void TsSkinableMenus::HookComponent(TComponent* component, bool enable) {
  if (component == nullptr || component->IsDestroying()) return;
  if (auto* mainMenu = dynamic_cast<TMainMenu*>(component)) {
    HookMenuBarItems(mainMenu, enable);
    TMenuItem* root = mainMenu->Items();
    for (int i = 0; i < root->Count(); ++i) HookItems(root->Items(i), enable);
  } else if (auto* popup = dynamic_cast<TPopupMenu*>(component)) {
    // Unhooking takes back the painter's handlers whatever the setting is now.
    if (SkinnedPopups() || !enable) HookMenu(popup, enable);
  } else if (auto* item = dynamic_cast<TMenuItem*>(component)) {
    if (dynamic_cast<TMainMenu*>(item->GetParentMenu()) == nullptr && (SkinnedPopups() || !enable))
      HookItems(item, enable);
  }
  for (int i = 0; i < component->ComponentCount(); ++i) HookComponent(component->Components(i), enable);
}

void TsSkinableMenus::SetPopupHandlers(TMenuItem* item, bool enable) {
  TAdvancedMenuDrawItemEvent draw = item->OnAdvancedDrawItem();
  TMenuMeasureItemEvent measure = item->OnMeasureItem();
  HookMenuEvent(draw, TAdvancedMenuDrawItemEvent(this, &TsSkinableMenus::DrawItem), enable);
  HookMenuEvent(measure, TMenuMeasureItemEvent(this, &TsSkinableMenus::MeasureItem), enable);
  if (!(draw == item->OnAdvancedDrawItem())) item->SetOnAdvancedDrawItem(draw);
  if (!(measure == item->OnMeasureItem())) item->SetOnMeasureItem(measure);
}

void TsSkinableMenus::SetBarHandlers(TMenuItem* item, bool enable) {
  TAdvancedMenuDrawItemEvent draw = item->OnAdvancedDrawItem();
  TMenuMeasureItemEvent measure = item->OnMeasureItem();
  HookMenuEvent(draw, TAdvancedMenuDrawItemEvent(this, &TsSkinableMenus::BarDrawItem), enable);
  HookMenuEvent(measure, TMenuMeasureItemEvent(this, &TsSkinableMenus::BarMeasureItem), enable);
  if (!(draw == item->OnAdvancedDrawItem())) item->SetOnAdvancedDrawItem(draw);
  if (!(measure == item->OnMeasureItem())) item->SetOnMeasureItem(measure);
}

void TsSkinableMenus::HookMenuBarItems(TMenu* menu, bool enable) {
  if (menu == nullptr) return;
  const bool hook = enable && SkinData().Active;
  TMenuItem* root = menu->Items();
  for (int i = 0; i < root->Count(); ++i) {
    if (hook || !enable) SetBarHandlers(root->Items(i), hook);
  }
  if (!menu->IsDestroying()) menu->SetOwnerDraw(enable);
}

void TsSkinableMenus::HookMenu(TMenu* menu, bool enable) {
  if (menu == nullptr) return;
  menu->SetOwnerDraw(enable);
  HookItems(menu->Items(), enable);
}

void TsSkinableMenus::HookItems(TMenuItem* item, bool enable) {
  if (item == nullptr) return;
  for (int i = 0; i < item->Count(); ++i) {
    TMenuItem* child = item->Items(i);
    if (!IsBarItem(child)) SetPopupHandlers(child, enable);
    HookItems(child, enable);
  }
}

void TsSkinableMenus::HookItem(TMenuItem* item, bool enable) {
  if (item == nullptr) return;
  if (TMenu* menu = item->GetParentMenu(); menu != nullptr && !menu->IsDestroying()) menu->SetOwnerDraw(enable);
  if (IsBarItem(item)) {
    SetBarHandlers(item, enable);
  } else if (SkinnedPopups() || !enable) {
    SetPopupHandlers(item, enable);
  }
}

void TsSkinableMenus::HookItem(TComponent* menuOrItem) {
  if (auto* item = dynamic_cast<TMenuItem*>(menuOrItem)) HookItem(item, true);
  else HookComponent(menuOrItem, true);
}

void TsSkinableMenus::UnhookItem(TComponent* menuOrItem) {
  auto* item = dynamic_cast<TMenuItem*>(menuOrItem);
  if (item == nullptr) return;
  // An item going away takes its popup's background with it: a new item may come at its address.
  ForgetBackground(item);
  if (!item->IsDestroying()) HookItem(item, false);
}

void TsSkinableMenus::RehookAll() {
  UpdateAllMenus(false);
  if (SkinData().Active) UpdateAllMenus(true);
}

TsMenuSize TsSkinableMenus::PopupItemSize(TMenuItem* item, TCanvas* canvas) {
  UseMenuFont(canvas);
  TCanvasMeasurer measurer(canvas);
  return MeasurePopupItem(FactsOf(item), FMargin, measurer);
}

void TsSkinableMenus::MeasureItem(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height) {
  auto* item = dynamic_cast<TMenuItem*>(Sender);
  if (item == nullptr || item->IsDestroying() || ACanvas == nullptr) return;
  const TsMenuSize size = PopupItemSize(item, ACanvas);
  Width = size.Width;
  Height = size.Height;
}

TBitmap* TsSkinableMenus::PopupBackgroundOf(TMenuItem* item, TCanvas* canvas, const RECT& ARect) {
  // One bitmap as high as all the popup's items.
  TMenuItem* parent = item->Parent();
  TMenuItem* key = parent != nullptr && parent->Count() > 0 ? parent->Items(0) : item;
  if (TBitmap* background = PopupBackground(key)) return background;
  int height = 0;
  if (parent != nullptr) {
    for (int i = 0; i < parent->Count(); ++i)
      if (parent->Items(i)->Visible()) height += PopupItemSize(parent->Items(i), canvas).Height;
  }
  // Items sit inside the popup's border (ARect.left from its edge): the background covers the
  // border on both sides, so every item finds its place in it.
  const int inset = std::max(int(ARect.left), 0);
  height = std::max(height + 2 * inset, int(ARect.bottom) + inset);
  const int width = int(ARect.right) + inset;
  auto bmp = std::make_unique<TBitmap>();
  Prepare24(*bmp, width, height);
  PaintMenuSection("MAINMENU", EmptyCacheInfo, bmp.get(), POINT{0, 0}, RECT{0, 0, width, height},
                   TsSkinState::Normal);
  TBitmap* background = bmp.get();
  MenuList().push_back({std::move(bmp), key});
  UseMenuFont(canvas);
  return background;
}

void TsSkinableMenus::DrawSeparatorItem(TCanvas* ACanvas, TBitmap& background, const RECT& ARect) {
  // The bevel line over the popup's background, not over the platform's menu colour.
  ShowPopupBackground(ACanvas, background, ARect);
  RECT r = ARect;
  InflateRect(&r, -(FBorderWidth + FMargin), 0);
  int count = 1;
  DrawBevelFrame(ACanvas->Handle(), r, TColor(0x808080), TColor(0xFFFFFF), count);
}

void TsSkinableMenus::DrawItemGlyph(TMenuItem* item, TBitmap& work, const TsMenuItemLayout& layout,
                                    const TsMenuSize& glyph, TOwnerDrawState State) {
  TCanvas* canvas = work.Canvas();
  const int h = work.Height();
  TImageList* images = ImagesOf(item);
  const bool hasImage = images != nullptr && item->ImageIndex() >= 0;
  const bool hasBitmap = !item->Bitmap()->Empty();
  if (State & odChecked) {
    RECT square{layout.GlyphLeft, layout.GlyphTop, layout.GlyphLeft + glyph.Width, layout.GlyphTop + glyph.Height};
    BlendRectWithColor(&work, square, 50, clWhite);
    RECT frame = square;
    int count = 1;
    DrawBevelFrame(canvas->Handle(), frame, TColor(0x808080), TColor(0xFFFFFF), count);
    if (!hasImage && !hasBitmap) {
      RECT mark = square;
      InflateRect(&mark, -3, -3);
      DrawCheckMark(canvas, mark, clBlack, item->Enabled());
    }
  }
  if (hasBitmap) {
    const int at = (h - glyph.Height) / 2;
    canvas->Draw(at, at, item->Bitmap());
  } else if (hasImage) {
    const int at = (h - images->Height()) / 2;
    images->Draw(canvas, at, at, item->ImageIndex(), (State & odDisabled) == 0);
  }
}

void TsSkinableMenus::DrawItemText(TMenuItem* item, TCanvas* canvas, const TsMenuItemLayout& layout, const RECT& area,
                                   TsSkinState itemState, TOwnerDrawState State) {
  UseMenuFont(canvas);
  // Not every platform tells the default item in the state.
  if ((State & odDefault) || item->Default()) canvas->Font()->SetStyle(canvas->Font()->Style() | fsBold);
  const TsMenuCaptionLayout caption = PopupCaptionLayout(item->Caption(), MenuAlignment(FAlignment));
  const bool hot = (State & (odSelected | odHotLight)) != 0;
  int itemSection = MenuTextSection(canvas, "MENUITEM", itemState);
  bool enabled = item->Enabled();
  if (!enabled && DimDisabledText(canvas, itemSection, hot)) {
    // One pass in the canvas' colour.
    enabled = true;
    itemSection = -1;
  }
  RECT text{layout.TextLeft, 0, area.right, area.bottom};
  const UINT flags =
      AlignmentFlags(caption.Alignment) | DT_EXPANDTABS | DT_SINGLELINE | DT_NOCLIP | DT_HIDEPREFIX | DT_VCENTER;
  DrawSkinTextByIndex(ActiveSkin(), canvas, caption.Text, enabled, text, flags, itemSection, hot);
  const std::string shortCut = ShortCutToText(item->ShortCut());
  if (!shortCut.empty()) {
    RECT r{layout.ShortCutLeft, 0, layout.ShortCutRight, area.bottom};
    DrawSkinTextByIndex(ActiveSkin(), canvas, shortCut, enabled, r, DT_RIGHT | DT_SINGLELINE | DT_VCENTER,
                        itemSection, hot);
  }
}

void TsSkinableMenus::DrawItem(TObject* Sender, TCanvas* ACanvas, const RECT& ARect, TOwnerDrawState State) {
  auto* item = dynamic_cast<TMenuItem*>(Sender);
  if (item == nullptr || ACanvas == nullptr) return;
  const TsMenuItemType kind = MenuItemKind(item->Caption(), false);
  const int w = ARect.right - ARect.left, h = ARect.bottom - ARect.top;
  if (w <= 0 || h <= 0) return;

  TBitmap work;
  Prepare24(work, w, h);
  TCanvas* canvas = work.Canvas();
  UseMenuFont(canvas);
  TBitmap* background = PopupBackgroundOf(item, canvas, ARect);
  PaintPopupMargin(ACanvas->Handle(), *background, ARect);
  if (kind == TsMenuItemType::mitSeparator) {
    DrawSeparatorItem(ACanvas, *background, ARect);
    return;
  }
  if (kind == TsMenuItemType::mitCaption) {
    // A caption item draws nothing: its row is the popup's, not the platform's menu colour.
    ShowPopupBackground(ACanvas, *background, ARect);
    return;
  }
  const TsSkinState itemState = StateOf(State, odSelected);
  PaintMenuSection("MENUITEM", TsCacheInfo{background, 0, 0, true}, &work, POINT{ARect.left, ARect.top},
                   RECT{0, 0, w, h}, itemState);
  const TsMenuSize glyph = MenuGlyphSize(kind, GlyphSource(item));
  const TsMenuItemLayout layout = PopupItemLayout(w, h, glyph, FMargin);
  DrawItemGlyph(item, work, layout, glyph, State);
  DrawItemText(item, canvas, layout, RECT{0, 0, w, h}, itemState, State);
  if (FOnDrawItem) FOnDrawItem(item, canvas, RECT{0, 0, w, h}, State, TsMenuItemType::mitNormal);
  BitBlt(ACanvas->Handle(), ARect.left, ARect.top, w, h, canvas->Handle(), 0, 0, SRCCOPY);
}

void TsSkinableMenus::BarMeasureItem(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height) {
  auto* item = dynamic_cast<TMenuItem*>(Sender);
  if (item == nullptr || ACanvas == nullptr) return;
  Height = GetSystemMetrics(SM_CYMENU) - 1;
  if (item->Name() == MDIChildIconItemName) {
    Width = 8;
    return;
  }
  UseMenuFont(ACanvas);
  TCanvasMeasurer measurer(ACanvas);
  TMenuItem* root = item->Parent();
  TsMenuBarFacts facts;
  facts.Caption = item->Caption();
  facts.ShortCutText = ShortCutToText(item->ShortCut());
  facts.First = root != nullptr && root->IndexOf(item) == 0;
  facts.Last = root != nullptr && root->IndexOf(item) == root->Count() - 1;
  facts.ChildIconShown = MDIChildIconVisible();
  if (facts.ChildIconShown) {
    TCustomForm* child = MDIFormProvider()->Form()->ActiveMDIChild();
    facts.ChildIconWidth = child->Icon()->Width();
  }
  Width = MeasureBarItemWidth(facts, Width, measurer);
}

void TsSkinableMenus::BarDrawItem(TObject* Sender, TCanvas* ACanvas, const RECT& ARect, TOwnerDrawState State) {
  auto* item = dynamic_cast<TMenuItem*>(Sender);
  if (item == nullptr || ACanvas == nullptr || item->Name() == MDIChildIconItemName) return;
  const int w = ARect.right - ARect.left, h = ARect.bottom - ARect.top;
  if (w <= 0 || h <= 0) return;
  // Without a provider the platform draws the menu band: the item is skinned over no parent image.
  TsFormFrameLink* provider = BarProvider(item);
  TBitmap* image = provider != nullptr ? provider->WindowImage() : nullptr;
  const TsCacheInfo parent = image != nullptr ? TsCacheInfo{image, 0, 0, true} : EmptyCacheInfo;
  const TsSkinState state = StateOf(State, odSelected | odHotLight);
  TBitmap work;
  Prepare24(work, w, h);
  PaintMenuSection("MENUITEM", parent, &work, POINT{ARect.left, ARect.top}, RECT{0, 0, w, h}, state);
  TCanvas* canvas = work.Canvas();
  UseMenuFont(canvas);
  if (State & odDefault) canvas->Font()->SetStyle(canvas->Font()->Style() | fsBold);
  const int lineSection = MenuTextSection(canvas, "MENULINE", state);
  RECT text{FMargin, 0, w - FMargin, h};
  DrawSkinTextByIndex(ActiveSkin(), canvas, item->Caption(), item->Enabled(), text,
                      DT_CENTER | DT_SINGLELINE | DT_VCENTER, lineSection, state != TsSkinState::Normal);
  const std::string shortCut = ShortCutToText(item->ShortCut());
  if (!shortCut.empty()) {
    RECT r{FMargin, 0, w - FMargin, h};
    DrawSkinTextByIndex(ActiveSkin(), canvas, shortCut, item->Enabled(), r,
                        DT_RIGHT | DT_VCENTER | DT_EXPANDTABS | DT_SINGLELINE, lineSection,
                        state != TsSkinState::Normal);
  }
  if (FOnDrawItem) FOnDrawItem(item, canvas, RECT{0, 0, w, h}, State, TsMenuItemType::mitBar);
  BitBlt(ACanvas->Handle(), ARect.left, ARect.top, w, h, canvas->Handle(), 0, 0, SRCCOPY);
}
