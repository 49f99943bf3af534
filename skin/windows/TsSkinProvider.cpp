#include "skin/windows/TsSkinProvider.h"

#include <algorithm>
#include <cstring>

#include "framework/win/GdiScopes.h"
#include "framework/win/TApplication.h"
#include "framework/win/TBitmap.h"
#include "framework/win/TCanvas.h"
#include "framework/win/TCustomForm.h"
#include "framework/win/TMainMenu.h"
#include "framework/win/TScreen.h"
#include "skin/engine/SkinCommands.h"
#include "skin/engine/SkinSectionPainter.h"
#include "skin/engine/SkinTextPainter.h"
#include "skin/engine/SkinUtilsWin.h"
#include "skin/engine/TsSkinManager.h"
#include "skin/engine/TsSkinned.h"
#include "skin/engine/core/MaskCornerRuns.h"
#include "skin/engine/core/SectionPainting.h"
#include "skin/engine/core/SkinTables.h"
#include "skin/engine/core/TsSkinData.h"
#include "skin/controls/TsPanel.h"
#include "skin/controls/TsScrollBar.h"
#include "skin/controls/TsMDIForm.h"
#include "skin/windows/TsSkinableMenus.h"
#include "skin/windows/TsSystemMenu.h"
#include "skin/windows/TsTitleButtons.h"

namespace {

// Posted by an MDI child's provider to the main form: the maximized child's menu item is updated.
UINT MDIUpdateMessage() {
  static const UINT message = RegisterWindowMessageA("TarvexSkinMDIUpdate");
  return message;
}

}  // namespace

namespace {

const TsSystemSizes* GInjectedSizes = nullptr;
TsSystemSizes GSizes;
bool GSizesRead = false;

void ReadSystemSizes() {
  GSizes.Caption = GetSystemMetrics(SM_CYCAPTION);
  GSizes.SmallCaption = GetSystemMetrics(SM_CYSMCAPTION);
  GSizes.FixedFrameX = GetSystemMetrics(SM_CXFIXEDFRAME);
  GSizes.FixedFrameY = GetSystemMetrics(SM_CYFIXEDFRAME);
  GSizes.FrameX = GetSystemMetrics(SM_CXFRAME);
  GSizes.FrameY = GetSystemMetrics(SM_CYFRAME);
  GSizes.Menu = GetSystemMetrics(SM_CYMENU);
  GSizes.MenuSizeX = GetSystemMetrics(SM_CXMENUSIZE);
  GSizesRead = true;
}

TCustomForm* OwnerForm(TComponent* owner) {
  for (TComponent* c = owner; c != nullptr; c = c->Owner())
    if (auto* form = dynamic_cast<TCustomForm*>(c)) return form;
  return nullptr;
}

TsBorderKind BorderKindOf(TFormBorderStyle s) {
  switch (s) {
    case bsNone: return TsBorderKind::None;
    case bsSingle: return TsBorderKind::Single;
    case bsSizeable: return TsBorderKind::Sizeable;
    case bsDialog: return TsBorderKind::Dialog;
    case bsToolWindow: return TsBorderKind::ToolWindow;
    case bsSizeToolWin: return TsBorderKind::SizeToolWin;
  }
  return TsBorderKind::Sizeable;
}

RECT ToRECT(const TRect& r) { return RECT{r.Left, r.Top, r.Right, r.Bottom}; }

int SignedX(LPARAM l) { return static_cast<short>(LOWORD(l)); }
int SignedY(LPARAM l) { return static_cast<short>(HIWORD(l)); }

bool IsButtonCode(int code) {
  return code == TsHit::MinButton || code == TsHit::MaxButton || code == TsHit::Close || code == TsHit::Help ||
         (code >= TsHit::ChildClose && code <= TsHit::ChildMinimize) || code >= TsHit::FirstUser;
}

std::string StripAmpersands(const std::string& s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '&' && i + 1 < s.size()) ++i;
    out += s[i];
  }
  return out;
}

// The copy of part of one bitmap into another.
void CopyRect(TBitmap* dst, int dx, int dy, TBitmap* src, int sx, int sy, int w, int h) {
  if (w <= 0 || h <= 0) return;
  BitBlt(dst->Canvas()->Handle(), dx, dy, w, h, src->Canvas()->Handle(), sx, sy, SRCCOPY);
}

}  // namespace

// Read once and again when the system's settings change: the platform answers each metric slowly,
// and the hit test runs on every mouse move.
const TsSystemSizes& TsSkinProvider::SystemSizes() {
  if (GInjectedSizes) return *GInjectedSizes;
  if (!GSizesRead) ReadSystemSizes();
  return GSizes;
}

void TsSkinProvider::SetSystemSizes(const TsSystemSizes* sizes) { GInjectedSizes = sizes; }

TsSkinProvider::TsSkinProvider(TComponent* owner)
    : TComponent(owner),
      FSkinData(std::make_unique<TsCommonData>(this, TsCacheBitmap::Own)),
      FForm(OwnerForm(owner)),
      FBorderIcons(kIconSystemMenu | kIconMinimize | kIconMaximize),
      FTitleButtons(std::make_unique<TsTitleButtons>(this)),
      FTitleIcon(std::make_unique<TsTitleIcon>()),
      FButtonBackground(std::make_unique<TBitmap>()),
      FMenuBarBitmap(std::make_unique<TBitmap>()) {
  FSkinData->SetControlKind(TsControlKind::SkinProvider);
  FSkinData->SetSkinSection("FORM");
  FButtonBackground->SetPixelFormat(TPixelFormat::Bit24);
  FSystemMenu = NewComponent<TsSystemMenu>(this);
  FSystemMenu->SetForm(FForm);
  if (!FForm) return;
  FSavedBorderIcons = FForm->BorderIcons();
  FSavedAutoScroll = FForm->AutoScroll();
  FSkinManager = ::SkinData().DefaultManager;
  if (FSkinManager) FSkinManager->FreeNotification(this);
  FOldWindowProc = FForm->WindowProc();
  FForm->SetWindowProc(TWndMethod(this, &TsSkinProvider::FormWindowProc));
  FHooked = true;
  RegisterSkinPeer(FForm, this);
  if (::SkinData().Active && !SkinMaskData.empty()) EmptyBorderIcons();
}

TsSkinProvider::~TsSkinProvider() {
  UnregisterSkinPeer(FForm, this);
  if (FForm && FHooked) {
    EndDrag(false);
    // Put the old procedure back only while the form's procedure is still ours; a hook installed
    // after ours would otherwise be lost.
    if (FForm->WindowProc() == TWndMethod(this, &TsSkinProvider::FormWindowProc)) FForm->SetWindowProc(FOldWindowProc);
    if (!FForm->IsDestroying()) RestoreBorderIcons();
  }
  if (FMDIForm) FMDIForm->Free();
  if (MDIFormProvider() == this) SetMDIFormProvider(nullptr);
}

bool TsSkinProvider::IsOwnBar(const TControl* c) const {
  return c && (c == FBars[0] || c == FBars[1] || c == FGrip);
}

void TsSkinProvider::FreeBars() {
  ScrollChildren(FScrolled[0], FScrolled[1]);  // the children back where they were
  FScrolled[0] = FScrolled[1] = 0;
  for (TsScrollBar*& bar : FBars)
    if (bar) {
      bar->Free();
      bar = nullptr;
    }
  if (FGrip) {
    FGrip->Free();
    FGrip = nullptr;
  }
}

void TsSkinProvider::ScrollChildren(int dx, int dy) {
  if ((dx == 0 && dy == 0) || !FForm) return;
  for (int i = 0; i < FForm->ControlCount(); ++i) {
    TControl* c = FForm->Controls(i);
    if (IsOwnBar(c)) continue;
    c->SetBounds(c->Left() + dx, c->Top() + dy, c->Width(), c->Height());
  }
}

void TsSkinProvider::ScrollChanged(TObject* sender) {
  if (FScrolling) return;
  FScrolling = true;
  const int k = sender == FBars[1] ? 1 : 0;
  if (TsScrollBar* bar = FBars[k]) {
    const int delta = bar->Position() - FScrolled[k];
    FScrolled[k] = bar->Position();
    ScrollChildren(k == 0 ? -delta : 0, k == 1 ? -delta : 0);
  }
  FScrolling = false;
}

void TsSkinProvider::UpdateFormScrollBars() {
  if (!FForm || IsLoading() || IsDestroying() || FForm->IsDestroying() || (FForm->ControlState() & csCreating) ||
      FForm->FormStyle() == fsMDIForm || FScrolling)
    return;
  if (!Skinned() || !FForm->Visible() || !FSavedAutoScroll) {
    FreeBars();
    if (FSavedAutoScroll && !FForm->AutoScroll()) FForm->SetAutoScroll(true);
    return;
  }
  if (FForm->AutoScroll()) FForm->SetAutoScroll(false);
  int contentH = 2, contentW = 2;
  for (int i = 0; i < FForm->ControlCount(); ++i) {
    TControl* c = FForm->Controls(i);
    if (IsOwnBar(c) || !c->Visible()) continue;
    // Measured as if not scrolled.
    if (c->Align() == alNone || c->Align() == alTop)
      contentH = std::max(contentH, 2 + c->Top() + FScrolled[1] + c->Height());
    if (c->Align() == alNone || c->Align() == alLeft)
      contentW = std::max(contentW, 2 + c->Left() + FScrolled[0] + c->Width());
  }
  RECT client;
  GetClientRect(FForm->Handle(), &client);
  const int sx = GetSystemMetrics(SM_CXVSCROLL), sy = GetSystemMetrics(SM_CYHSCROLL);
  bool needV = contentH > client.bottom;
  bool needH = contentW > client.right;
  // One bar takes room from the other direction.
  if (needV && !needH) needH = contentW > client.right - sx;
  if (needH && !needV) needV = contentH > client.bottom - sy;
  const bool need[2] = {needH, needV};
  for (int k = 0; k < 2; ++k) {
    if (!need[k]) {
      if (FBars[k]) {
        ScrollChildren(k == 0 ? FScrolled[0] : 0, k == 1 ? FScrolled[1] : 0);
        FScrolled[k] = 0;
        FBars[k]->Free();
        FBars[k] = nullptr;
      }
      continue;
    }
    const RECT r = k == 1 ? RECT{client.right - sx, 0, client.right, client.bottom - (needH ? sy : 0)}
                          : RECT{0, client.bottom - sy, client.right - (needV ? sx : 0), client.bottom};
    if (!FBars[k]) {
      FBars[k] = NewControl<TsScrollBar>(FForm, FForm, r);
      FBars[k]->SetKind(k == 1 ? sbVertical : sbHorizontal);
      FBars[k]->SetTabStop(false);
      FBars[k]->SetOnChange(TNotifyEvent(this, &TsSkinProvider::ScrollChanged));
    } else {
      FBars[k]->SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
    }
    const int page = k == 1 ? client.bottom - 4 : client.right - 4;
    FScrolling = true;
    FBars[k]->SetParams(std::min(FScrolled[k], k == 1 ? contentH : contentW), 0, k == 1 ? contentH : contentW);
    FBars[k]->SetPageSize(std::max(page, 1));
    FBars[k]->SetLargeChange(80);
    FScrolling = false;
    FBars[k]->SetVisible(true);
  }
  if (FBars[0] && FBars[1]) {
    const RECT g{client.right - sx, client.bottom - sy, client.right, client.bottom};
    if (!FGrip) FGrip = NewControl<TsGrip>(FForm, FForm, g);
    FGrip->SetBounds(g.left, g.top, g.right - g.left, g.bottom - g.top);
  } else if (FGrip) {
    FGrip->Free();
    FGrip = nullptr;
  }
}

void TsSkinProvider::AfterConstruction() {
  TComponent::AfterConstruction();
  // MDI children and the menu painter reach the main form's frame through it.
  if (FForm && FForm->FormStyle() == fsMDIForm) {
    SetMDIFormProvider(this);
    FMDIForm = NewComponent<TsMDIForm>(static_cast<TsFormFrameLink*>(this));
  }
  FSkinData->ResolveIndexes();
  ResolveMasks();
  ApplyFormColor();
}

void TsSkinProvider::Loaded() {
  TComponent::Loaded();
  FSkinData->Loaded();
  ResolveMasks();
  FSystemMenu->UpdateItems();
  if (FMDIForm) FMDIForm->HookClientWindow();
}

void TsSkinProvider::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (component == FSkinManager && operation == TOperation::Remove) FSkinManager = nullptr;
  if (!FSkinManager && operation == TOperation::Insert)
    if (auto* m = dynamic_cast<TsSkinManager*>(component)) SetSkinManager(m);
}

void TsSkinProvider::SetSkinManager(TsSkinManager* manager) {
  if (manager == FSkinManager) return;
  if (FSkinManager) FSkinManager->RemoveFreeNotification(this);
  FSkinManager = manager;
  if (manager) manager->FreeNotification(this);
}

void TsSkinProvider::SetCaptionAlignment(TAlignment value) {
  if (value == FCaptionAlignment) return;
  FCaptionAlignment = value;
  RepaintNonClient();
}

void TsSkinProvider::SetShowAppIcon(bool value) {
  if (value == FShowAppIcon) return;
  FShowAppIcon = value;
  RepaintNonClient();
}

void TsSkinProvider::SetGripMode(TsGripMode mode) {
  if (mode == FGripMode) return;
  FGripMode = mode;
  RepaintNonClient();
}

void TsSkinProvider::SetUseGlobalColor(bool value) {
  FUseGlobalColor = value;
  if (!FForm) return;
  if (value && FSkinManager && FSkinData->HasSkin() && !FSkinData->CustomColor())
    FForm->SetColor(GlobalSectionColor());
  else if (!FSkinData->CustomColor())
    FForm->SetColor(clBtnFace);
}

std::optional<TColor> TsSkinProvider::OwnerColor() const {
  if (!FForm) return std::nullopt;
  return static_cast<TColor>(ColorToRGB(FForm->Color()));
}

void TsSkinProvider::ApplyFormColor() {
  if (!FForm || !FUseGlobalColor || FSkinData->CustomColor()) return;
  FForm->SetColor(FSkinManager && FSkinData->HasSkin() && ::SkinData().DefaultManager ? GlobalSectionColor()
                                                                                       : TColor(clBtnFace));
}

void TsSkinProvider::ResolveMasks() {
  const int form = FindSectionIndex("FORM");
  const int own = FSkinData->SkinIndex();
  const std::string section = FSkinData->SkinSection();
  FMasks.Min = FindMaskIndex(form, "FORM", "BICONMIN");
  FMasks.Max = FindMaskIndex(form, "FORM", "BICONMAX");
  FMasks.Close = FindMaskIndex(form, "FORM", "BICONCLOSE");
  FMasks.Help = FindMaskIndex(form, "FORM", "BICONHELP");
  FMasks.Norm = FindMaskIndex(own, section, "BICONNORM");
  FMasks.Title = FindMaskIndex(own, section, "TITLEBUTTON");
  FMasks.TitleBar = FindMaskIndex(own, section, "TITLEBAR");
  FMasks.Grip = FindMaskIndex(form, "FORM", "GRIPIMAGE");
  for (int i = 0; i < FTitleButtons->Count(); ++i) {
    TsTitleButton* b = FTitleButtons->Items(i);
    b->SetImageIndex(b->UseSkinData() ? FMasks.Title : -1);
  }
}

void TsSkinProvider::EmptyBorderIcons() {
  if (!FForm || FForm->BorderIcons() == 0) return;
  FSavedBorderIcons = FForm->BorderIcons();
  FSettingBorderIcons = true;
  try {
    FForm->SetBorderIcons(0);
  } catch (...) {
    // A form that refuses its new styles keeps the platform's buttons; the skin still paints.
  }
  FSettingBorderIcons = false;
}

void TsSkinProvider::RestoreBorderIcons() {
  if (!FForm) return;
  HWND h = FForm->HandleAllocated() ? FForm->Handle() : nullptr;
  // The form's own handling never saw a text set while the skin held the caption.
  if (h && FHasCaptionText) {
    TMessage m{WM_SETTEXT, 0, reinterpret_cast<LPARAM>(FCaptionText.c_str()), 0};
    CallOld(m);
  }
  if (h && FRegionApplied) {
    SetWindowRgn(h, nullptr, TRUE);
    FRegionApplied = false;
  }
  FRegionPending = true;
  if (FForm->BorderIcons() != FSavedBorderIcons) {
    FSettingBorderIcons = true;
    FForm->SetBorderIcons(FSavedBorderIcons);
    FSettingBorderIcons = false;
  } else if (h) {
    SetWindowPos(h, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
  }
}

bool TsSkinProvider::Skinned() const {
  return FForm && !FForm->IsDestroying() && FSkinManager && ::SkinData().DefaultManager && ::SkinData().Active &&
         FSkinData->HasSkin() && !FSettingBorderIcons;
}

bool TsSkinProvider::FrameSkinned() const { return FSkinData->HasSkin(); }

void TsSkinProvider::CallOld(TMessage& message) {
  if (FOldWindowProc) FOldWindowProc(message);
}

TsWindowFacts TsSkinProvider::WindowFacts() const {
  TsWindowFacts f;
  if (!FForm) return f;
  f.Border = BorderKindOf(FForm->BorderStyle());
  f.Icons = FBorderIcons;
  const TWindowState state = FForm->WindowState();
  f.State = state == wsMaximized ? TsShowState::Maximized
            : state == wsMinimized ? TsShowState::Minimized
                                   : TsShowState::Normal;
  f.Iconic = FForm->HandleAllocated() && IsIconic(FForm->Handle());
  return f;
}

TsFrameFacts TsSkinProvider::FrameFacts() {
  TsFrameFacts f;
  if (!FForm) return f;
  f.Window = WindowFacts();
  f.MdiChild = FForm->FormStyle() == fsMDIChild;
  f.Width = FForm->Width();
  f.Height = FForm->Height();
  if (FForm->HandleAllocated()) {
    RECT w, c;
    GetWindowRect(FForm->Handle(), &w);
    GetClientRect(FForm->Handle(), &c);
    f.Width = w.right - w.left;
    f.Height = w.bottom - w.top;
    f.ClientWidth = c.right;
    f.ClientHeight = c.bottom;
  }
  f.BorderWidth = FForm->BorderWidth();
  TMainMenu* menu = FForm->Menu();
  f.HasMenu = menu != nullptr;
  if (menu)
    for (int i = 0; i < menu->Items()->Count(); ++i)
      if (menu->Items()->Items(i)->Visible()) f.MenuItemsVisible = true;
  f.ShowAppIcon = FShowAppIcon;
  f.TitleIcon = {FTitleIcon->Width(), FTitleIcon->Height()};
  const TsFrameSize close = MaskFrameSize(FMasks.Close);
  f.CloseMask = {close.Width, close.Height};
  for (int i = 0; i < FTitleButtons->Count(); ++i) f.UserButtonsEnabled.push_back(FTitleButtons->Items(i)->Enabled());
  f.GripShown = FGripMode == TsGripMode::gmRightBottom && MaskIndexValid(FMasks.Grip);
  const TsFrameSize grip = MaskFrameSize(FMasks.Grip);
  f.Grip = {grip.Width, grip.Height};
  if (HasMenuBand(f)) {
    if (FMenuRowCache < 0) FMenuRowCache = ComputeMenuRows();
    f.MenuRows = FMenuRowCache;
  }
  return f;
}

std::vector<TsCaptionSlot> TsSkinProvider::CaptionSlots() {
  FButtons.SetUserCount(FTitleButtons->Count());
  return ::CaptionSlots(FrameFacts(), SystemSizes());
}

// The frame link's sizes.
int TsSkinProvider::FrameBorderWidth() const {
  return ::FrameBorderWidth(const_cast<TsSkinProvider*>(this)->FrameFacts(), SystemSizes());
}
int TsSkinProvider::FrameBorderHeight() const {
  return ::FrameBorderHeight(const_cast<TsSkinProvider*>(this)->FrameFacts(), SystemSizes());
}
int TsSkinProvider::TitleBarHeight() const {
  return ::TitleBarHeight(const_cast<TsSkinProvider*>(this)->FrameFacts(), SystemSizes());
}
bool TsSkinProvider::MenuBarShown() const { return HasMenuBand(const_cast<TsSkinProvider*>(this)->FrameFacts()); }
int TsSkinProvider::MenuRowCount() const {
  const TsFrameFacts f = const_cast<TsSkinProvider*>(this)->FrameFacts();
  return HasMenuBand(f) ? f.MenuRows : 0;
}
int TsSkinProvider::MenuLineHeight() const {
  return ::MenuLineHeight(const_cast<TsSkinProvider*>(this)->FrameFacts(), SystemSizes());
}
TBitmap* TsSkinProvider::WindowImage() { return FFramePainted ? FSkinData->CacheBitmap() : nullptr; }
void TsSkinProvider::SetBackgroundChanged(bool changed) { FSkinData->SetBackgroundDirty(changed); }
void TsSkinProvider::MarkCacheFresh() {
  FSkinData->SetRepaintNeeded(false);
  FSkinData->SetBackgroundDirty(false);
}
void TsSkinProvider::RepaintMenuLine() {
  FMenuRowCache = -1;
  MarkRepaint();
  if (Skinned()) NcPaint();
}
void TsSkinProvider::RefreshFrame() { RepaintNonClient(); }

void TsSkinProvider::MarkRepaint() {
  FSkinData->SetRepaintNeeded(true);
  FMenuRowCache = -1;
}

void TsSkinProvider::RepaintNonClient() {
  MarkRepaint();
  if (FForm && FForm->HandleAllocated()) SendMessageA(FForm->Handle(), WM_NCPAINT, 1, 0);
}

// ---- messages -------------------------------------------------------------------------------------

void TsSkinProvider::FormWindowProc(TMessage& message) {
  if (!FForm) return;
  if (DispatchSkinMessage(*this, message)) return;
  if (HandleFirstSteps(message)) return;
  if (message.Msg == MDIUpdateMessage()) {
    if (FMDIForm) FMDIForm->UpdateMDIIconItem();
    return;
  }
  if (Skinned())
    HandleSkinned(message);
  else
    HandleNotSkinned(message);
  AfterMDIMessage(message);
}

void TsSkinProvider::AfterMDIMessage(const TMessage& m) {
  if (FMDIForm && m.Msg == WM_SIZE) FMDIForm->UpdateScrollBars();
  if (FForm->FormStyle() != fsMDIChild) return;
  if (m.Msg != WM_SIZE && m.Msg != WM_MDIACTIVATE && m.Msg != WM_NCDESTROY) return;
  // Posted: while a child is sized, activated or destroyed the main form's state is not final yet.
  TsFormFrameLink* main = MDIFormProvider();
  if (main != nullptr && main->Form() != nullptr && main->Form()->HandleAllocated())
    PostMessageA(main->Form()->Handle(), MDIUpdateMessage(), 0, 0);
}

bool TsSkinProvider::HandleFirstSteps(TMessage& m) {
  if (m.Msg == WM_SETTINGCHANGE || m.Msg == WM_DISPLAYCHANGE) {
    GSizesRead = false;
    MarkRepaint();
  }
  // A drag ends, unmoved, whenever the capture or the window goes away.
  switch (m.Msg) {
    case WM_CAPTURECHANGED:
      if (FDrag.Active() && reinterpret_cast<HWND>(m.LParam) != FForm->Handle()) EndDrag(false);
      break;
    case WM_CANCELMODE:
    case WM_DESTROY:
      EndDrag(false);
      break;
    case WM_EXITMENULOOP:
      // Skinned or not by now, the band's loop is over.
      if (FForm->HandleAllocated()) BandMenuLoop(FForm->Handle(), false);
      break;
    case WM_SHOWWINDOW:
      if (m.WParam == 0) EndDrag(false);
      break;
    default: break;
  }
  switch (m.Msg) {
    case WM_SETTEXT:
      FCaptionText = m.LParam ? reinterpret_cast<const char*>(m.LParam) : "";
      FHasCaptionText = true;
      return false;
    case WM_GETTEXT:
      if (!FHasCaptionText) return false;
      m.Result = 0;
      // No room even for the terminating zero: nothing is written.
      if (m.WParam == 0 || m.LParam == 0) return true;
      {
        const std::size_t n = std::min<std::size_t>(FCaptionText.size(), m.WParam - 1);
        auto* out = reinterpret_cast<char*>(m.LParam);
        std::memcpy(out, FCaptionText.data(), n);
        out[n] = 0;
        m.Result = static_cast<LRESULT>(n);
      }
      return true;
    case WM_GETTEXTLENGTH:
      if (!FHasCaptionText) return false;
      m.Result = static_cast<LRESULT>(FCaptionText.size());
      return true;
    default: return false;
  }
}

void TsSkinProvider::UpdateMenus(bool enable) {
  TsSkinManager* manager = FSkinManager ? FSkinManager : ::SkinData().DefaultManager;
  auto* menus = manager ? dynamic_cast<TsSkinableMenus*>(manager->MenuSkinner()) : nullptr;
  if (menus == nullptr || FForm == nullptr || FForm->IsDestroying()) return;
  menus->HookComponent(FForm, enable);
}

void TsSkinProvider::RemoveSkin() {
  EndDrag(false);
  FSkinData->Command(SkinCommand::RemoveSkin, false, nullptr);
  FMenuRowCache = -1;
  ClearMenuList(true);
  UpdateMenus(false);
  FMenuOwnerDrawDone = false;
  FFramePainted = false;
  FTitleBitmap.reset();
  FButtons.SetHot(0);
  RestoreBorderIcons();
  UpdateFormScrollBars();
  if (FForm && FUseGlobalColor && !FSkinData->CustomColor()) FForm->SetColor(clBtnFace);
}

void TsSkinProvider::NewSkin() {
  ClearMenuList(true);
  FMenuOwnerDrawDone = false;
  FSkinData->Command(SkinCommand::NewSkin, false, nullptr);
  if (::SkinData().DefaultManager) {
    ResolveMasks();
    if (!FSkinManager) SetSkinManager(::SkinData().DefaultManager);
    if (FSkinData->HasSkin()) EmptyBorderIcons();
    FFormActive = Screen && Screen->ActiveForm() == FForm;
    MarkRepaint();
    FTitleBitmap.reset();
  }
  ApplyFormColor();
}

void TsSkinProvider::HandleNotSkinned(TMessage& m) {
  CallOld(m);
}

TsCacheInfo TsSkinProvider::SkinCache() {
  if (!Skinned() || IsLoading()) return {};
  const TsFrameFacts f = FrameFacts();
  return TsCacheInfo{FSkinData->CacheBitmap(), ClientOffsetX(f), ClientOffsetY(f, SystemSizes()), true};
}

TColor TsSkinProvider::SkinBackgroundColor() {
  if (!Skinned()) return SkinKeyColor;
  return FSkinData->HasSkin() ? SkinSectionData[static_cast<std::size_t>(FSkinData->SkinIndex())].Color
                              : static_cast<TColor>(ColorToRGB(FForm->Color()));
}

bool TsSkinProvider::SkinBackgroundChanged() {
  return Skinned() && (FSkinData->RepaintNeeded() || FSkinData->BackgroundChanged());
}

bool TsSkinProvider::SkinHasPaintedBackground() {
  if (!Skinned()) return false;
  const TsSectionData& s = SkinSectionData[static_cast<std::size_t>(FSkinData->SkinIndex())];
  return s.GradientPercent + s.ImagePercent > 0;
}

TsFormFrameLink* TsSkinProvider::SkinProvider() {
  return Skinned() ? this : nullptr;
}

void TsSkinProvider::SkinCommand(::SkinCommand command, bool parameter, TControl* child) {
  if (!FForm) return;
  if (command == SkinCommand::RemoveSkin) {
    RemoveSkin();
    return;
  }
  if (!Skinned()) {
    if (command == SkinCommand::NewSkin) NewSkin();
    return;
  }
  HWND h = FForm->HandleAllocated() ? FForm->Handle() : nullptr;
  switch (command) {
    case SkinCommand::NewSkin:
      NewSkin();
      if (h) SendMessageA(h, WM_NCPAINT, 1, 0);
      break;
    case SkinCommand::Refresh:
      MarkRepaint();
      FSkinData->SetBackgroundDirty(false);
      FTitleBitmap.reset();
      UpdateMenus(FSkinData->HasSkin());
      if (h) RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
      ApplyFormColor();
      UpdateFormScrollBars();
      break;
    case SkinCommand::SetBgChanged:
      FSkinData->SetBackgroundDirty(parameter);
      if (FSkinData->BackgroundChanged()) FSkinData->SetRepaintNeeded(true);
      break;
    case SkinCommand::SetUpdating:
      FSkinData->SetUpdating(parameter);
      if (FSkinData->Updating()) PaintFrame();
      break;
    case SkinCommand::SetActiveChild:
      FSkinData->SetActiveChild(child);
      break;
    default: break;
  }
}

void TsSkinProvider::StoreWindowText(HWND h, LPARAM text) {
  const LONG_PTR style = GetWindowLongPtrA(h, GWL_STYLE);
  const bool visible = (style & WS_VISIBLE) != 0;
  if (visible) SetWindowLongPtrA(h, GWL_STYLE, style & ~LONG_PTR(WS_VISIBLE));
  DefWindowProcA(h, WM_SETTEXT, 0, text);
  if (visible) SetWindowLongPtrA(h, GWL_STYLE, GetWindowLongPtrA(h, GWL_STYLE) | WS_VISIBLE);
}

void TsSkinProvider::HandleSkinned(TMessage& m) {
  switch (m.Msg) {
    case WM_SETTEXT:
      return WMSetText(m);
    case WM_NCPAINT:
      return NcPaint();
    case WM_PRINT:
      return WMPrint(m);
    case WM_NCACTIVATE:
      return NcActivate(m);
    case WM_ENTERMENULOOP:
      return WMEnterMenuLoop(m);
    case WM_ACTIVATE:
      return WMActivate(m);
    case WM_PAINT:
      return ClientPaint(m);
    case WM_ERASEBKGND:
      m.Result = 1;
      return;
    case WM_GETMINMAXINFO:
      return WMGetMinMaxInfo(m);
    case WM_WINDOWPOSCHANGING:
      return WMWindowPosChanging(m);
    case WM_WINDOWPOSCHANGED:
    case WM_EXITSIZEMOVE:
      return WMWindowPosChanged(m);
    case WM_SIZE:
      return WMSize(m);
    case WM_NCHITTEST:
      return NcHitTest(m);
    case WM_NCMOUSEMOVE:
      return WMNCMouseMove(m);
    case WM_NCLBUTTONDOWN:
      return NcLButtonDown(m);
    case WM_NCLBUTTONUP:
    case WM_LBUTTONUP:
      return ButtonUp(m, m.Msg == WM_NCLBUTTONUP);
    case WM_NCLBUTTONDBLCLK:
      return NcLButtonDblClk(m);
    case WM_NCRBUTTONDOWN:
      return WMNCRButtonDown(m);
    case WM_NCRBUTTONUP:
      return WMNCRButtonUp(m);
    case WM_MOUSEMOVE:
      return WMMouseMove(m);
    case WM_SYSCOMMAND:
      return SysCommand(m);
    case WM_MOUSELEAVE:
    case WM_NCMOUSELEAVE:
    case CM_MOUSELEAVE:
      return WMMouseLeave(m);
    case CM_COLORCHANGED:
      return CMColorChanged(m);
    case CM_MENUCHANGED:
      return CMMenuChanged(m);
  }
  CallOld(m);
}

void TsSkinProvider::WMSetText(TMessage& m) {
  // Not passed on: the platform would paint its own caption. Other programs (screen readers,
  // window lists) read the window's own text, stored here while the window does not count as
  // visible, so the platform paints nothing.
  StoreWindowText(FForm->Handle(), m.LParam);
  MarkRepaint();
  m.Result = TRUE;
  NcPaint();
}

void TsSkinProvider::WMPrint(TMessage& m) {
  if (!(m.LParam & PRF_NONCLIENT)) return CallOld(m);
  HDC dc = reinterpret_cast<HDC>(m.WParam);
  OutputFrame(dc);
  const TsFrameFacts f = FrameFacts();
  POINT old;
  OffsetViewportOrgEx(dc, ClientOffsetX(f), ClientOffsetY(f, SystemSizes()) + f.BorderWidth, &old);
  TMessage rest = m;
  rest.LParam &= ~LPARAM(PRF_NONCLIENT);
  CallOld(rest);
  SetViewportOrgEx(dc, old.x, old.y, nullptr);
}

void TsSkinProvider::WMEnterMenuLoop(TMessage& m) {
  // The band's own loop only: a popup menu's loop (WParam TRUE) has no titles.
  if (m.WParam == FALSE) BandMenuLoop(FForm->Handle(), true);
  CallOld(m);
}

void TsSkinProvider::WMActivate(TMessage& m) {
  CallOld(m);
  if (FForm->ControlState() & csCreating) return;
  MarkRepaint();
  if (FForm->BorderStyle() != bsNone) NcPaint();
  UpdateFormScrollBars();
  FSystemMenu->UpdateItems();
}

void TsSkinProvider::WMGetMinMaxInfo(TMessage& m) {
  RECT work;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  auto* mmi = reinterpret_cast<MINMAXINFO*>(m.LParam);
  mmi->ptMaxTrackSize.x = work.right - work.left + 6;
  mmi->ptMaxTrackSize.y = work.bottom - work.top + 6;
  MaximizeToWorkArea(mmi);
  CallOld(m);
}

void TsSkinProvider::WMWindowPosChanging(TMessage& m) {
  if (FInRegionUpdate) return;
  WindowPosChanging(m);
  CallOld(m);
}

// Also the end of a move or size loop.
void TsSkinProvider::WMWindowPosChanged(TMessage& m) {
  if (FInRegionUpdate) return;
  FRegionPending = true;
  CallOld(m);
  SizeChanged(m);
}

void TsSkinProvider::WMSize(TMessage& m) {
  CallOld(m);
  SizeChanged(m);
  UpdateFormScrollBars();
}

void TsSkinProvider::WMNCMouseMove(TMessage& m) {
  TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE | TME_NONCLIENT, FForm->Handle(), 0};
  TrackMouseEvent(&tme);
  CallOld(m);
}

void TsSkinProvider::WMNCRButtonDown(TMessage& m) {
  if (FSkinManager->SkinnedPopups() && (m.WParam == HTCAPTION || m.WParam == HTSYSMENU)) return;
  CallOld(m);
}

void TsSkinProvider::WMNCRButtonUp(TMessage& m) {
  if (!FSkinManager->SkinnedPopups()) return CallOld(m);
  if (m.WParam == HTCAPTION || m.WParam == HTSYSMENU) {
    SetHotButton(0);
    ShowSystemMenu(SignedX(m.LParam), SignedY(m.LParam));
  }
}

void TsSkinProvider::WMMouseMove(TMessage& m) {
  CallOld(m);
  if (!FDrag.Active()) return;
  POINT p{SignedX(m.LParam), SignedY(m.LParam)};
  ClientToScreen(FForm->Handle(), &p);
  DragTo(p.x, p.y);
}

void TsSkinProvider::WMMouseLeave(TMessage& m) {
  SetHotButton(0);
  CallOld(m);
}

void TsSkinProvider::CMColorChanged(TMessage& m) {
  if (!FSkinData->CustomColor()) return;
  if (!(FForm->ControlState() & csCreating)) MarkRepaint();
  CallOld(m);
}

void TsSkinProvider::CMMenuChanged(TMessage& m) {
  if (FForm->Visible() && !(FForm->ControlState() & csCreating)) {
    FMenuChanged = true;
    MarkRepaint();
  }
  CallOld(m);
  ClearMenuList(true);
  FMenuOwnerDrawDone = false;
}

void TsSkinProvider::NcActivate(TMessage& m) {
  // The platform keeps its activation bookkeeping but does not paint its frame under ours.
  TMessage pass = m;
  pass.LParam = -1;
  CallOld(pass);
  m.Result = pass.Result;
  if (FForm->ControlState() & csCreating) return;
  if (FForm->BorderStyle() != bsNone && (m.WParam != 0) != FFormActive) {
    FFormActive = m.WParam != 0;
    FTitleBitmap.reset();
    MarkRepaint();
  }
  NcPaint();
}

void TsSkinProvider::WindowPosChanging(TMessage& m) {
  auto* wp = reinterpret_cast<WINDOWPOS*>(m.LParam);
  if (!FScreenSnap || !wp || (wp->flags & SWP_NOMOVE)) return;
  const int width = (wp->flags & SWP_NOSIZE) ? FForm->Width() : wp->cx;
  const int height = (wp->flags & SWP_NOSIZE) ? FForm->Height() : wp->cy;
  MONITORINFO mi{};
  mi.cbSize = sizeof mi;
  if (!GetMonitorInfoA(MonitorFromWindow(FForm->Handle(), MONITOR_DEFAULTTONEAREST), &mi)) return;
  const TRect monitor{mi.rcMonitor.left, mi.rcMonitor.top, mi.rcMonitor.right, mi.rcMonitor.bottom};
  const TsPoint2 p = SnapToMonitor(wp->x, wp->y, width, height, monitor, FSnapBuffer);
  wp->x = p.X;
  wp->y = p.Y;
}

// The platform maximizes a window with its frame beyond the work area; the skin paints its frame
// (caption, buttons, borders) inside the window, so a skinned window takes exactly the work area of
// its monitor. The values are relative to the monitor's origin, as the platform reads them.
void TsSkinProvider::MaximizeToWorkArea(MINMAXINFO* mmi) {
  if (!mmi || FForm->BorderStyle() == bsNone || FForm->FormStyle() == fsMDIChild) return;
  MONITORINFO mi{};
  mi.cbSize = sizeof mi;
  if (!GetMonitorInfoA(MonitorFromWindow(FForm->Handle(), MONITOR_DEFAULTTONEAREST), &mi)) return;
  mmi->ptMaxPosition = POINT{mi.rcWork.left - mi.rcMonitor.left, mi.rcWork.top - mi.rcMonitor.top};
  mmi->ptMaxSize = POINT{mi.rcWork.right - mi.rcWork.left, mi.rcWork.bottom - mi.rcWork.top};
}

void TsSkinProvider::SizeChanged(TMessage&) {
  TBitmap* cache = FSkinData->CacheBitmap();
  if (!cache || (cache->Width() == FForm->Width() && cache->Height() == FForm->Height())) return;
  if (!(FForm->ControlState() & csCreating)) MarkRepaint();
  FMenuRowCache = -1;
  RedrawWindow(FForm->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
}

void TsSkinProvider::NcHitTest(TMessage& m) {
  if (FForm->BorderStyle() == bsNone) {
    CallOld(m);
    return;
  }
  m.Result = HitTest(SignedX(m.LParam), SignedY(m.LParam));
  if (m.Result == HTNOWHERE || (m.Result == HTCAPTION && FForm->WindowState() != wsMaximized)) {
    CallOld(m);
    SetHotButton(0);
  } else if (m.Result == HTCAPTION) {
    SetHotButton(0);
  }
  // A maximized window's frame lies on the work area, but it sizes nothing.
  if (TsHit::IsEdge(static_cast<int>(m.Result)) && IsZoomed(FForm->Handle())) m.Result = HTBORDER;
}

int TsSkinProvider::HitTest(int screenX, int screenY) {
  RECT w;
  GetWindowRect(FForm->Handle(), &w);
  const std::vector<TsCaptionSlot> slots = CaptionSlots();
  const TsHitResult hit = FrameHitTest(FrameFacts(), SystemSizes(), slots, screenX - w.left, screenY - w.top);
  if (hit.MakeHot) SetHotButton(hit.Code);
  if (hit.Code == TsHit::Transparent) SetHotButton(0);
  return hit.Code;
}

void TsSkinProvider::NcLButtonDown(TMessage& m) {
  const int code = static_cast<int>(m.WParam);
  const int x = SignedX(m.LParam), y = SignedY(m.LParam);
  HWND h = FForm->Handle();
  if (code == HTSYSMENU) {
    if (!FSkinManager->SkinnedPopups()) {
      CallOld(m);
      return;
    }
    SetHotButton(0);
    ShowSystemMenuUnderIcon();
    return;
  }
  if (IsButtonCode(code)) {
    FButtons.SetUserCount(FTitleButtons->Count());
    if (!FButtons.HasButton(code)) return;
    PressButton(code);
    if (code >= TsHit::FirstUser) FTitleButtons->Items(code - TsHit::FirstUser)->MouseDown(mbLeft, 0, x, y);
    return;
  }
  if (IsIconic(h)) {
    SendMessageA(h, WM_SYSCOMMAND, SC_MOVE | HTCAPTION, m.LParam);
    return;
  }
  SetHotButton(0);
  if (FForm->WindowState() == wsMaximized) {
    RECT w;
    GetWindowRect(h, &w);
    const TsFrameFacts f = FrameFacts();
    if (y - w.top <= ::FrameBorderHeight(f, SystemSizes()) + ::TitleBarHeight(f, SystemSizes())) {
      if (GetActiveWindow() != h) SetActiveWindow(h);
      return;
    }
  }
  if (FResizeMode == TsResizeMode::rmBorder && (code == HTCAPTION || TsHit::IsEdge(code))) {
    StartDrag(code, x, y);
    return;
  }
  CallOld(m);
}

void TsSkinProvider::ButtonUp(TMessage& m, bool nonClient) {
  if (FDrag.Active()) {
    EndDrag(true);
    if (!nonClient) CallOld(m);
    return;
  }
  // WM_LBUTTONUP carries key flags, not a hit code: it only ends a drag.
  if (!nonClient) {
    CallOld(m);
    return;
  }
  const int code = static_cast<int>(m.WParam);
  std::vector<int> changed;
  FButtons.SetUserCount(FTitleButtons->Count());
  const bool acts = FButtons.Release(code, changed);
  for (int c : changed) PaintButton(c);
  if (acts) {
    ActionOf(code, SignedX(m.LParam), SignedY(m.LParam));
    return;
  }
  if (IsButtonCode(code)) return;
  CallOld(m);
}

void TsSkinProvider::ActionOf(int code, int x, int y) {
  HWND h = FForm->Handle();
  switch (code) {
    case TsHit::Close:
      SendMessageA(h, WM_SYSCOMMAND, SC_CLOSE, 0);
      return;
    case TsHit::MinButton:
      SetHotButton(0);
      if (Application && Application->MainForm() == FForm)
        Application->Minimize();
      else
        SendMessageA(h, WM_SYSCOMMAND, IsIconic(h) ? SC_RESTORE : SC_MINIMIZE, 0);
      return;
    case TsHit::MaxButton:
      SetHotButton(0);
      SendMessageA(h, WM_SYSCOMMAND, IsZoomed(h) || IsIconic(h) ? SC_RESTORE : SC_MAXIMIZE, 0);
      FSystemMenu->UpdateItems();
      return;
    case TsHit::Help:
      SendMessageA(h, WM_SYSCOMMAND, SC_CONTEXTHELP, 0);
      SetHotButton(0);
      FSystemMenu->UpdateItems();
      return;
    case TsHit::ChildClose:
    case TsHit::ChildRestore:
    case TsHit::ChildMinimize:
      if (TCustomForm* child = FForm->ActiveMDIChild())
        SendMessageA(child->Handle(), WM_SYSCOMMAND,
                     code == TsHit::ChildClose ? SC_CLOSE : code == TsHit::ChildRestore ? SC_RESTORE : SC_MINIMIZE, 0);
      SetHotButton(0);
      return;
    default:
      if (TsTitleButton* b = FTitleButtons->Items(code - TsHit::FirstUser)) {
        b->MouseUp(mbLeft, 0, x, y);
        SetHotButton(0);
      }
      return;
  }
}

void TsSkinProvider::NcLButtonDblClk(TMessage& m) {
  EndDrag(true);
  HWND h = FForm->Handle();
  if (m.WParam == HTCAPTION) {
    if (FSystemMenu->ItemMaximize()->Enabled() || FSystemMenu->ItemRestore()->Enabled()) {
      FSystemMenu->UpdateItems();
      const bool restore = IsZoomed(h) || IsIconic(h);
      if (restore ? FSystemMenu->ItemRestore()->Enabled() || IsIconic(h) : FSystemMenu->ItemMaximize()->Enabled())
        SendMessageA(h, WM_SYSCOMMAND, restore ? SC_RESTORE : SC_MAXIMIZE, 0);
      FSystemMenu->UpdateItems();
    }
  } else if (m.WParam == HTSYSMENU) {
    FForm->Close();
  }
}

void TsSkinProvider::SysCommand(TMessage& m) {
  const unsigned command = static_cast<unsigned>(m.WParam & 0xFFF0);
  // Alt+Space: the platform's own menu has no caption to drop from, so the skin's drops instead.
  if (command == SC_KEYMENU && m.LParam == ' ' && FSkinManager->SkinnedPopups() &&
      FForm->FormStyle() != fsMDIChild) {
    ShowSystemMenuUnderIcon();
    return;
  }
  if ((m.WParam & 0xFFFF) == (SC_MOVE | HTCAPTION)) FForm->Repaint();
  CallOld(m);
  if (command == SC_MINIMIZE || command == SC_MAXIMIZE || command == SC_RESTORE) {
    MarkRepaint();
    FTitleBitmap.reset();
    if (FForm->HandleAllocated()) FSystemMenu->UpdateItems();
  }
}

void TsSkinProvider::ClientPaint(TMessage& m) {
  HWND h = FForm->Handle();
  // Always validated, or the platform asks again for ever.
  PAINTSTRUCT ps;
  HDC dc = m.WParam ? reinterpret_cast<HDC>(m.WParam) : BeginPaint(h, &ps);
  if (FForm->Visible() && !FSkinData->BackgroundChanged() && !FForm->IsDestroying()) {
    if (!FSkinData->Updating()) PaintFrame();
    const TsFrameFacts f = FrameFacts();
    const int ox = ClientOffsetX(f), oy = ClientOffsetY(f, SystemSizes()) + f.BorderWidth;
    TBitmap* cache = FSkinData->CacheBitmap();
    TControl* active = FSkinData->ActiveChild();
    if (active && active->Parent() == FForm) {
      const TSaveDC saved(dc);
      IntersectClipRect(dc, active->Left(), active->Top(), active->Left() + active->Width(),
                        active->Top() + active->Height());
      BitBlt(dc, active->Left(), active->Top(), active->Width(), active->Height(), cache->Canvas()->Handle(),
             ox + active->Left(), oy + active->Top(), SRCCOPY);
      SetViewportOrgEx(dc, active->Left(), active->Top(), nullptr);
      TsSkinnedControl::PaintGraphicChildOverSkin(FForm, dc, active);
    } else {
      RECT c;
      GetClientRect(h, &c);
      BitBlt(dc, 0, 0, c.right, c.bottom, cache->Canvas()->Handle(), ox, oy, SRCCOPY);
      FForm->PaintControls(dc, nullptr);
    }
  }
  if (FSkinData->Updating()) SetUpdatingTreeOff(FForm);
  if (!m.WParam) EndPaint(h, &ps);
}

// ---- painting ------------------------------------------------------------------------------------

void TsSkinProvider::NcPaint() {
  if (!FForm->Visible() || IsLoading() || (FForm->ControlState() & csCreating) || FSkinData->BackgroundChanged())
    return;
  HWND h = FForm->Handle();
  if (!FMenuOwnerDrawDone || FForm->Menu() != FHookedMenu) {
    // Menus made or changed after the skin was loaded get the skinned painter with the next frame.
    UpdateMenus(true);
    FHookedMenu = FForm->Menu();
    FMenuOwnerDrawDone = true;
  }
  if (!FInRegionUpdate && FRegionPending && FForm->BorderStyle() != bsNone) ApplyRegion();
  const TWindowDC dc(h, TWindowDC::TArea::Whole);
  const TSaveDC saved(dc.Handle());
  OutputFrame(dc.Handle());
  FInRegionUpdate = false;
}

void TsSkinProvider::ApplyRegion() {
  FRegionPending = false;
  const TsFrameFacts f = FrameFacts();
  std::vector<TsRect> rects;
  auto collect = [&](int mask, bool bottom) {
    if (!MaskIndexValid(mask)) return;
    const int cornerHeight = MaskFrameSize(mask).Height / 3;
    CollectMaskCornerRects(rects, f.Width, MaskImageOf(mask), bottom ? TsCornerRow::Bottom : TsCornerRow::Top,
                           bottom ? f.Height - cornerHeight : 0);
  };
  collect(FSkinData->BorderIndex(), false);
  if (f.Window.State != TsShowState::Minimized) collect(FSkinData->BorderIndex(), true);
  collect(SectionImagesOf(FindSectionIndex("FORMTITLE")).BordersMask, false);
  HWND h = FForm->Handle();
  if (rects.empty()) {
    if (FRegionApplied) {
      FInRegionUpdate = true;
      SetWindowRgn(h, nullptr, TRUE);
      FRegionApplied = false;
    }
    return;
  }
  HRGN rgn = CreateRectRgn(0, 0, f.Width, f.Height);
  for (const TsRect& r : rects) {
    HRGN cut = CreateRectRgn(r.Left, r.Top, r.Right, r.Bottom);
    CombineRgn(rgn, rgn, cut, RGN_DIFF);
    DeleteObject(cut);
  }
  FInRegionUpdate = true;
  // The window owns the region from here on.
  if (!SetWindowRgn(h, rgn, TRUE)) DeleteObject(rgn);
  FRegionApplied = true;
}

void TsSkinProvider::OutputFrame(HDC dc) {
  PaintFrame();
  TBitmap* cache = FSkinData->CacheBitmap();
  if (!cache || cache->Width() == 0) return;
  const TsFrameFacts f = FrameFacts();
  const TsSystemSizes& s = SystemSizes();
  const int fbw = ::FrameBorderWidth(f, s), fbh = ::FrameBorderHeight(f, s), b = f.BorderWidth;
  // The top band down to the client area, whatever rows the platform's menu bar takes.
  const int t = std::max(FrameTopHeight(f, s), ClientOffsetY(f, s)) + b;
  HDC src = cache->Canvas()->Handle();
  const int cw = cache->Width(), ch = cache->Height();
  BitBlt(dc, 0, 0, f.Width, t, src, 0, 0, SRCCOPY);
  BitBlt(dc, 0, t, fbw + b, ch - t, src, 0, t, SRCCOPY);
  BitBlt(dc, fbw + b, f.Height - fbh - b, f.Width - 2 * (fbw + b), fbh + b, src, fbw + b, f.Height - fbh - b, SRCCOPY);
  BitBlt(dc, cw - fbw - b, t, fbw + b, ch - t, src, cw - fbw - b, t, SRCCOPY);
}

void TsSkinProvider::PaintFrame() {
  if (!FForm || (FForm->ControlState() & csCreating) || !FSkinData->RepaintNeeded()) return;
  TBitmap* cache = FSkinData->CacheBitmap();
  const TsFrameFacts f = FrameFacts();
  const TsSystemSizes& s = SystemSizes();
  const bool valid = SectionIndexValid(FSkinData->SkinIndex());
  // A skin's own look is the active window's; its hot fields (paler title, no pattern) the inactive.
  const TsSkinState state = FFormActive ? TsSkinState::Normal : TsSkinState::Hot;
  const bool bordered = FForm->BorderStyle() != bsNone;
  const int titleHeight = ::TitleBarHeight(f, s) + ::FrameBorderHeight(f, s);
  // The skin may ask to keep the background under the title: then only the title repaints.
  const bool titleCache =
      valid && bordered && SkinSectionData[static_cast<std::size_t>(FSkinData->SkinIndex())].ReservedBoolean;
  if (titleCache && !FMenuChanged && FTitleBitmap && FTitleBitmap->Width() == f.Width &&
      cache->Width() == f.Width && cache->Height() == f.Height) {
    ++FFramePaints;
    CopyRect(cache, 0, 0, FTitleBitmap.get(), 0, 0, f.Width, FTitleBitmap->Height());
    PaintTitle(cache, f, state);
    FFramePainted = true;
    FSkinData->SetRepaintNeeded(false);
    FSkinData->SetBackgroundDirty(false);
    return;
  }
  FRegionPending = true;
  cache->SetPixelFormat(TPixelFormat::Bit24);
  if (cache->Width() != f.Width || cache->Height() != f.Height) cache->SetSize(f.Width, f.Height);
  if (!valid) return;
  ++FFramePaints;
  RECT r{0, 0, f.Width, f.Height};
  if (f.Window.Iconic) r.bottom = std::min<LONG>(f.Height, titleHeight + 1);
  if (bordered)
    PaintSectionByData(FSkinData.get(), EmptyCacheInfo, true, cache, POINT{0, 0}, r, state);
  else
    PaintBackgroundByIndex(FSkinData->SkinIndex(), FSkinData->SkinSection(), EmptyCacheInfo, cache, POINT{0, 0}, r,
                           state);
  if (f.GripShown) {
    const TRect g = GripRect(f, s);
    PaintMaskedGlyph(cache, POINT{g.Left, g.Top}, TsSkinState::Normal, FMasks.Grip, TsGlyphShade::Normal);
  }
  if (titleCache && !(FTitleBitmap && FTitleBitmap->Width() == f.Width)) {
    FTitleBitmap = std::make_unique<TBitmap>();
    FTitleBitmap->SetPixelFormat(TPixelFormat::Bit24);
    FTitleBitmap->SetSize(f.Width, std::min(titleHeight, f.Height));
    CopyRect(FTitleBitmap.get(), 0, 0, cache, 0, 0, f.Width, FTitleBitmap->Height());
  }
  if (bordered) {
    if (HasMenuBand(f)) PaintMenuBand(cache, f);
    PaintTitle(cache, f, state);
  }
  FMenuChanged = false;
  FFramePainted = true;
  FSkinData->SetRepaintNeeded(false);
  FSkinData->SetBackgroundDirty(false);
}

void TsSkinProvider::PaintTitle(TBitmap* cache, const TsFrameFacts& f, TsSkinState state) {
  const TsSystemSizes& s = SystemSizes();
  const int titleHeight = ::TitleBarHeight(f, s) + ::FrameBorderHeight(f, s);
  const int title = FindSectionIndex("FORMTITLE");
  const RECT tr{0, 0, f.Width, f.Window.Iconic ? std::min(f.Height, titleHeight + 1) : titleHeight};
  if (title >= 0)
    PaintSectionByIndex(title, "FORMTITLE", TsCacheInfo{cache, 0, 0, true}, cache, POINT{0, 0}, tr, state, true);
  PaintIcon(cache, f);
  const int systemCount = SystemButtonCount(f.Window);
  if (systemCount > 0 && MaskIndexValid(FMasks.TitleBar)) {
    const int corner = MaskFrameSize(FMasks.TitleBar).Width / 3;
    const int partWidth = 2 * corner + systemCount * ButtonSize(f).Width;
    PaintNinePartImage(cache, RECT{f.Width - partWidth, 0, f.Width, titleHeight}, true, state, FMasks.TitleBar,
                       TsCacheInfo{cache, 0, 0, true});
  }
  // What lies behind the buttons, for repainting one button alone.
  const int top = std::max(TopBandHeight(f, s), titleHeight);
  FButtonBackground->SetSize(f.Width, std::max(top, 1));
  CopyRect(FButtonBackground.get(), 0, 0, cache, 0, 0, f.Width, top);
  const std::vector<TsCaptionSlot> slots = ::CaptionSlots(f, s);
  PaintCaptionButtons(cache, f, slots);
  PaintCaptionText(cache, f, slots);
}

void TsSkinProvider::PaintIcon(TBitmap* cache, const TsFrameFacts& f) {
  if (!IconShown(f)) return;
  const TRect ir = IconRect(f, SystemSizes());
  if (ir.Width() <= 0 || ir.Height() <= 0) return;
  HDC dc = cache->Canvas()->Handle();
  if (!FTitleIcon->Glyph()->Empty()) {
    TBitmap* g = FTitleIcon->Glyph();
    g->SetTransparent(true);
    g->SetTransparentColor(static_cast<TColor>(SkinKeyColor));
    cache->Canvas()->StretchDraw(RECT{ir.Left, ir.Top, ir.Right, ir.Bottom}, g);
    return;
  }
  HICON icon = nullptr;
  if (!FForm->Icon()->Empty())
    icon = FForm->Icon()->Handle();
  else if (TIcon* small = AppSmallIcon())
    icon = small->Handle();
  if (!icon) icon = LoadIconA(nullptr, IDI_APPLICATION);
  DrawIconEx(dc, ir.Left, ir.Top, icon, ir.Width(), ir.Height(), 0, nullptr, DI_NORMAL);
}

int TsSkinProvider::MaskOf(const TsCaptionSlot& slot) const {
  switch (slot.Glyph) {
    case TsButtonGlyph::Close: return FMasks.Close;
    case TsButtonGlyph::Maximize: return FMasks.Max;
    case TsButtonGlyph::Restore: return MaskIndexValid(FMasks.Norm) ? FMasks.Norm : FMasks.Max;
    case TsButtonGlyph::Minimize: return FMasks.Min;
    case TsButtonGlyph::Help: return FMasks.Help;
    case TsButtonGlyph::User: {
      const TsTitleButton* b = FTitleButtons->Items(slot.Code - TsHit::FirstUser);
      return b && b->UseSkinData() ? FMasks.Title : -1;
    }
  }
  return -1;
}

void TsSkinProvider::PaintButtonInto(TBitmap* cache, const TsCaptionSlot& slot, const TsFrameFacts&) {
  const int state = FButtons.State(slot.Code);
  const int mask = MaskOf(slot);
  // A glyph missing from the skin leaves its slot empty; the slot still answers.
  if (MaskIndexValid(mask)) {
    const bool pale = !FFormActive || !slot.Enabled;
    PaintMaskedGlyph(cache, POINT{slot.Rect.Left, slot.Rect.Top}, static_cast<TsSkinState>(state), mask,
                     pale ? TsGlyphShade::Pale : TsGlyphShade::Normal);
  }
  if (slot.Glyph == TsButtonGlyph::User) {
    TsTitleButton* b = FTitleButtons->Items(slot.Code - TsHit::FirstUser);
    TBitmap* g = b ? b->Glyph() : nullptr;
    if (g && !g->Empty()) {
      g->SetTransparent(true);
      g->SetTransparentColor(static_cast<TColor>(g->Canvas()->Pixel(0, g->Height() - 1)));
      const int shift = state == 2 ? 1 : 0;
      cache->Canvas()->Draw(slot.Rect.Left + (slot.Rect.Width() - g->Width()) / 2 + shift,
                            slot.Rect.Top + (slot.Rect.Height() - g->Height()) / 2 + shift, g);
    }
  }
}

void TsSkinProvider::PaintCaptionButtons(TBitmap* cache, const TsFrameFacts& f, const std::vector<TsCaptionSlot>& slots) {
  FButtons.SetUserCount(FTitleButtons->Count());
  for (const TsCaptionSlot& slot : slots) PaintButtonInto(cache, slot, f);
}

void TsSkinProvider::PaintButton(int code) {
  if (!Skinned() || !FFramePainted || !FForm->Visible()) return;
  const TsFrameFacts f = FrameFacts();
  const std::vector<TsCaptionSlot> slots = ::CaptionSlots(f, SystemSizes());
  auto it = std::find_if(slots.begin(), slots.end(), [code](const TsCaptionSlot& s) { return s.Code == code; });
  if (it == slots.end()) return;
  const TRect& r = it->Rect;
  // A slot squeezed onto the icon stays unpainted.
  if (IconRect(f, SystemSizes()).Right >= r.Left) return;
  TBitmap* cache = FSkinData->CacheBitmap();
  if (!cache || cache->Width() != f.Width) return;
  ++FButtonPaints;
  CopyRect(cache, r.Left, r.Top, FButtonBackground.get(), r.Left, r.Top, r.Width(), r.Height());
  PaintButtonInto(cache, *it, f);
  const TWindowDC dc(FForm->Handle(), TWindowDC::TArea::Whole);
  BitBlt(dc.Handle(), r.Left, r.Top, r.Width(), r.Height(), cache->Canvas()->Handle(), r.Left, r.Top, SRCCOPY);
}

void TsSkinProvider::PaintCaptionText(TBitmap* cache, const TsFrameFacts& f, const std::vector<TsCaptionSlot>& slots) {
  const std::string text = FHasCaptionText ? FCaptionText : FForm->Caption();
  if (text.empty()) return;
  TCanvas* canvas = cache->Canvas();
  canvas->SetFont(FForm->Font());
  canvas->Font()->SetStyle(canvas->Font()->Style() | fsBold);
  const TRect tr = CaptionTextRect(f, SystemSizes(), static_cast<int>(slots.size()));
  RECT r = ToRECT(tr);
  const std::string shown = EllipsizeText(canvas, text, tr.Width());
  const int title = FindSectionIndex("FORMTITLE");
  canvas->Brush()->SetStyle(TBrushStyle::Clear);
  DrawSkinTextByIndex(canvas, shown, FForm->Enabled(), r,
                      CaptionTextFlags(FForm, FCaptionAlignment) | DT_SINGLELINE | DT_VCENTER, title >= 0 ? title : FSkinData->SkinIndex(),
                      FFormActive);
}

void TsSkinProvider::CollectMenuItems(std::vector<TMenuItem*>& items) {
  TMainMenu* menu = FForm->Menu();
  if (!menu) return;
  for (int i = 0; i < menu->Items()->Count(); ++i)
    if (menu->Items()->Items(i)->Visible()) items.push_back(menu->Items()->Items(i));
}

namespace {

// A top-level item's width in the band: its measure event, or its caption in the canvas' font.
int MeasureBarItem(TMenuItem* item, TCanvas* canvas, int extra) {
  int w = 10, h = 19;
  if (item->OnMeasureItem())
    item->OnMeasureItem()(item, canvas, w, h);
  else
    w = canvas->TextWidth(StripAmpersands(item->Caption())) + 8;
  return w + extra;
}

}  // namespace

int TsSkinProvider::ComputeMenuRows() {
  std::vector<TMenuItem*> items;
  CollectMenuItems(items);
  TBitmap* cache = FSkinData->CacheBitmap();
  if (items.empty() || !cache) return 1;
  const TsSystemSizes& s = SystemSizes();
  TCanvas* canvas = cache->Canvas();
  canvas->SetFont(Screen ? Screen->MenuFont() : FForm->Font());
  std::vector<int> widths;
  for (TMenuItem* item : items) widths.push_back(MeasureBarItem(item, canvas, s.MenuSizeX - 6));
  TsFrameFacts f;
  f.Window = WindowFacts();
  f.Width = FForm->Width();
  f.BorderWidth = FForm->BorderWidth();
  return MenuBarRows(PlaceMenuBar(widths, ::FrameBorderWidth(f, s), MenuBarLimit(f, s)));
}

void TsSkinProvider::PaintMenuBand(TBitmap* cache, const TsFrameFacts& f) {
  const TsSystemSizes& s = SystemSizes();
  const int line = ::MenuLineHeight(f, s);
  if (line <= 0) return;
  const int t = ::TitleBarHeight(f, s) + ::FrameBorderHeight(f, s);
  const int fbw = ::FrameBorderWidth(f, s);
  // The band reaches the client area whatever rows the platform's menu bar took.
  const int bottom = std::max(t + f.MenuRows * line, ClientOffsetY(f, s));
  const RECT br{fbw, t, f.Width - fbw, bottom};
  PaintMenuSection("MENULINE", TsCacheInfo{cache, 0, 0, true}, cache, POINT{0, 0}, br, TsSkinState::Normal);
  FMenuBarBitmap->SetPixelFormat(TPixelFormat::Bit24);
  FMenuBarBitmap->SetSize(br.right - br.left, br.bottom - br.top);
  CopyRect(FMenuBarBitmap.get(), 0, 0, cache, br.left, br.top, br.right - br.left, br.bottom - br.top);

  std::vector<TMenuItem*> items;
  CollectMenuItems(items);
  TCanvas* canvas = cache->Canvas();
  canvas->SetFont(Screen ? Screen->MenuFont() : FForm->Font());
  std::vector<int> widths;
  for (TMenuItem* item : items) widths.push_back(MeasureBarItem(item, canvas, s.MenuSizeX - 6));
  const std::vector<TsMenuPlace> places = PlaceMenuBar(widths, fbw, MenuBarLimit(f, s));
  for (std::size_t i = 0; i < items.size(); ++i) {
    const TsMenuPlace& p = places[i];
    RECT r{p.X, t + p.Row * line, p.X + p.Width, t + (p.Row + 1) * line};
    TMenuItem* item = items[i];
    if (item->OnAdvancedDrawItem()) {
      item->OnAdvancedDrawItem()(item, canvas, r, 0);
    } else {
      canvas->Brush()->SetStyle(TBrushStyle::Clear);
      DrawSkinTextByIndex(canvas, item->Caption(), item->Enabled(), r, DT_CENTER | DT_VCENTER | DT_SINGLELINE,
                          MenuTextSection(canvas, "MENULINE", TsSkinState::Normal), false);
    }
  }
}

// ---- caption buttons -------------------------------------------------------------------------------

void TsSkinProvider::SetHotButton(int code) {
  FButtons.SetUserCount(FTitleButtons->Count());
  for (int c : FButtons.SetHot(code)) PaintButton(c);
}

void TsSkinProvider::PressButton(int code) {
  FButtons.SetUserCount(FTitleButtons->Count());
  if (!FButtons.HasButton(code)) return;
  for (int c : FButtons.Press(code)) PaintButton(c);
}

void TsSkinProvider::ShowSystemMenuUnderIcon() {
  RECT w;
  GetWindowRect(FForm->Handle(), &w);
  const TsFrameFacts f = FrameFacts();
  ShowSystemMenu(w.left + ::FrameBorderWidth(f, SystemSizes()),
                 w.top + ::FrameBorderHeight(f, SystemSizes()) + IconRect(f, SystemSizes()).Height());
}

void TsSkinProvider::ShowSystemMenu(int x, int y) {
  if (FMakeSkinMenu)
    FSystemMenu->MakeSkinsSubmenu();
  else
    FSystemMenu->RemoveSkinsSubmenu();
  FSystemMenu->UpdateItems();
  FSystemMenu->SetPopupComponent(FForm);
  // Owned by the form itself, so that the form stays active (and drawn so) while its menu is open;
  // the chosen item is run here rather than through a command message.
  HWND h = FForm->Handle();
  HMENU menu = FSystemMenu->Handle();
  SetForegroundWindow(h);
  const UINT command = static_cast<UINT>(
      TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, x, y, 0, h, nullptr));
  if (command != 0) TMenuItem::DispatchCommand(command);
}

// ---- outline drag --------------------------------------------------------------------------------

void TsSkinProvider::DrawDragFrame(HDC dc) {
  if (FDrag.Active()) DrawOutline(dc, FDrag.Frame());
}

void TsSkinProvider::DrawOutline(HDC dc, const TRect& r) {
  if (!dc) return;
  const POINT pts[5] = {{r.Left, r.Top}, {r.Right - 1, r.Top}, {r.Right - 1, r.Bottom - 1}, {r.Left, r.Bottom - 1},
                        {r.Left, r.Top}};
  const int old = SetROP2(dc, R2_NOT);
  Polyline(dc, pts, 5);
  SetROP2(dc, old);
}

void TsSkinProvider::StartDrag(int code, int screenX, int screenY) {
  HWND h = FForm->Handle();
  if (FDrag.Active() || IsZoomed(h)) return;
  RECT w;
  GetWindowRect(h, &w);
  const TSizeConstraints& c = FForm->Constraints();
  const int minW = std::max(c.MinWidth, GetSystemMetrics(SM_CXMINTRACK));
  const int minH = std::max(c.MinHeight, GetSystemMetrics(SM_CYMINTRACK));
  if (!FDrag.Start(code, TRect{w.left, w.top, w.right, w.bottom}, screenX, screenY, minW, minH)) return;
  SetCapture(h);
  FDragDC = GetWindowDC(GetDesktopWindow());
  FDragSaved = SaveDC(FDragDC);
  DrawDragFrame(FDragDC);
}

void TsSkinProvider::DragTo(int screenX, int screenY) {
  if (!FDrag.Active()) return;
  const TRect before = FDrag.Frame();
  if (!FDrag.MoveTo(screenX, screenY)) return;
  DrawOutline(FDragDC, before);  // drawn twice, the old outline is gone
  DrawDragFrame(FDragDC);
}

void TsSkinProvider::EndDrag(bool apply) {
  if (!FDrag.Active()) return;
  DrawDragFrame(FDragDC);  // erase
  std::optional<TRect> result;
  if (apply)
    result = FDrag.Finish();
  else
    FDrag.Cancel();
  if (FDragDC) {
    RestoreDC(FDragDC, FDragSaved);
    ReleaseDC(GetDesktopWindow(), FDragDC);
    FDragDC = nullptr;
  }
  HWND h = FForm->HandleAllocated() ? FForm->Handle() : nullptr;
  if (h && GetCapture() == h) ReleaseCapture();
  if (h && result) MoveWindow(h, result->Left, result->Top, result->Width(), result->Height(), TRUE);
}
