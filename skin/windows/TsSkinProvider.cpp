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
#include "skin/engine/SkinRefresh.h"
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
#include "skin/windows/TsCaptionButtons.h"
#include "skin/windows/TsFormScrollBars.h"
#include "skin/windows/TsMenuBand.h"
#include "skin/windows/TsOutlineDrag.h"
#include "skin/windows/TsProviderFrame.h"
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

int SignedX(LPARAM l) { return static_cast<short>(LOWORD(l)); }
int SignedY(LPARAM l) { return static_cast<short>(HIWORD(l)); }

bool IsButtonCode(int code) {
  return code == TsHit::MinButton || code == TsHit::MaxButton || code == TsHit::Close || code == TsHit::Help ||
         (code >= TsHit::ChildClose && code <= TsHit::ChildMinimize) || code >= TsHit::FirstUser;
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
      FButtons(std::make_unique<TsCaptionButtons>(*this)),
      FMenuBand(std::make_unique<TsMenuBand>(*this)),
      FFrame(std::make_unique<TsProviderFrame>(*this, *FButtons, *FMenuBand)),
      FScrollBars(std::make_unique<TsFormScrollBars>(FForm)),
      FDrag(std::make_unique<TsOutlineDrag>(FForm)) {
  FSkinData->SetControlKind(TsControlKind::SkinProvider);
  FSkinData->SetSkinSection("FORM");
  FSystemMenu = NewComponent<TsSystemMenu>(this);
  FSystemMenu->SetForm(FForm);
  if (!FForm) return;
  FSavedBorderIcons = FForm->BorderIcons();
  FSkinManager = ::SkinData().DefaultManager;
  if (FSkinManager) FSkinManager->FreeNotification(this);
  FOldWindowProc = FForm->WindowProc();
  FForm->SetWindowProc(TWndMethod(this, &TsSkinProvider::FormWindowProc));
  FHooked = true;
  RegisterSkinPeer(FForm, this);
  if (::SkinData().Active && !ActiveSkin().SkinMaskData.empty()) EmptyBorderIcons();
}

TsSkinProvider::~TsSkinProvider() {
  *FAlive = false;
  UnregisterSkinPeer(FForm, this);
  // Without its provider the form hides no other that waits for its repaint.
  ShowFormsWaitingForView(FForm);
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

void TsSkinProvider::UpdateFormScrollBars() {
  if (IsLoading() || IsDestroying()) return;
  FScrollBars->Update(Skinned());
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
  FFrame->DropRegion(h);
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
  f.ThickFrame = FForm->HandleAllocated() && (GetWindowLongPtrA(FForm->Handle(), GWL_STYLE) & WS_THICKFRAME) != 0;
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
  if (HasMenuBand(f)) f.MenuRows = FMenuBand->Rows();
  if (FForm->FormStyle() == fsMDIForm && menu) {
    TCustomForm* child = FForm->ActiveMDIChild();
    f.ChildButtonsShown = child && child->HandleAllocated() && IsZoomed(child->Handle());
  }
  return f;
}

std::vector<TsCaptionSlot> TsSkinProvider::CaptionSlots() {
  FButtons->SyncUserCount();
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
std::string TsSkinProvider::ShownCaption() const { return FHasCaptionText ? FCaptionText : FForm->Caption(); }
TBitmap* TsSkinProvider::WindowImage() { return FFrame->Painted() ? FSkinData->CacheBitmap() : nullptr; }
void TsSkinProvider::SetBackgroundChanged(bool changed) { FSkinData->SetBackgroundDirty(changed); }
void TsSkinProvider::MarkCacheFresh() {
  FSkinData->SetRepaintNeeded(false);
  FSkinData->SetBackgroundDirty(false);
}
void TsSkinProvider::RepaintMenuLine() {
  FMenuBand->Forget();
  MarkRepaint();
  if (Skinned()) NcPaint();
}
void TsSkinProvider::RefreshFrame() { RepaintNonClient(); }

void TsSkinProvider::MarkRepaint() {
  FSkinData->SetRepaintNeeded(true);
  FMenuBand->Forget();
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
    if (FMDIForm && Skinned()) {
      FMDIForm->UpdateMDIIconItem();
      // Another child came up or one changed its size state: the platform has put its name in
      // the caption (without a WM_SETTEXT) and the band may show other buttons.
      if (message.WParam != 0) RepaintNonClient();
    } else if (FMDIForm) {
      FMDIForm->RemoveChildIconItem();
    }
    return;
  }
  // The form's handler may free the form and this provider with it (a release).
  const std::shared_ptr<bool> alive = FAlive;
  if (Skinned())
    HandleSkinned(message);
  else
    HandleNotSkinned(message);
  if (*alive) AfterMDIMessage(message);
}

void TsSkinProvider::AfterMDIMessage(const TMessage& m) {
  if (FMDIForm && m.Msg == WM_SIZE) FMDIForm->UpdateScrollBars();
  if (FForm->FormStyle() != fsMDIChild) return;
  if (m.Msg != WM_SIZE && m.Msg != WM_MDIACTIVATE && m.Msg != WM_NCDESTROY) return;
  // The platform maximizes and restores children by itself too (the next child, Ctrl+F6).
  if (m.Msg == WM_SIZE && FForm->HandleAllocated()) FSystemMenu->UpdateItems();
  // The main form's frame is painted again when the child's size state changed (a plain resize
  // leaves it), or another child comes up or goes.
  bool frameChanged = true;
  if (m.Msg == WM_SIZE) {
    const int sizeState = m.WParam == SIZE_MAXIMIZED || m.WParam == SIZE_MINIMIZED ? int(m.WParam) : SIZE_RESTORED;
    frameChanged = sizeState != FMDISizeState;
    FMDISizeState = sizeState;
  }
  PostMainMDIUpdate(frameChanged);
}

// Posted: while a child is sized, moved, activated or destroyed the main form's state is not final
// yet (the client works its scroll ranges out on a message it posts itself).
void TsSkinProvider::PostMainMDIUpdate(bool frameChanged) {
  TsFormFrameLink* main = MDIFormProvider();
  if (main != nullptr && main->Form() != nullptr && main->Form() != FForm && main->Form()->HandleAllocated())
    PostMessageA(main->Form()->Handle(), MDIUpdateMessage(), frameChanged ? 1 : 0, 0);
}

void TsSkinProvider::WMMove(TMessage& m) {
  CallOld(m);
  if (FForm->FormStyle() != fsMDIChild || IsZoomed(FForm->Handle())) return;
  if (TsFormFrameLink* main = MDIFormProvider()) {
    main->SetBackgroundChanged(false);
    PostMainMDIUpdate(false);
  }
}

void TsSkinProvider::WMChildActivate(TMessage& m) {
  const std::shared_ptr<bool> alive = FAlive;
  CallOld(m);
  if (!*alive) return;
  UpdateMenuOwnerDraw();
  PostMainMDIUpdate(false);
}

void TsSkinProvider::UpdateMenuOwnerDraw() {
  TMainMenu* menu = FForm->Menu();
  if (menu == nullptr || menu->Items()->Count() == 0 || FInMenuOwnerDraw) return;
  // A caption taken away and put back makes the framework build the menu bar anew.
  TMenuItem* first = menu->Items()->Items(0);
  const std::string caption = first->Caption();
  FInMenuOwnerDraw = true;
  FSkinData->SetBackgroundDirty(true);
  first->SetCaption("");
  menu->SetOwnerDraw(FSkinData->HasSkin());
  first->SetCaption(caption);
  FSkinData->SetBackgroundDirty(false);
  FInMenuOwnerDraw = false;
}

bool TsSkinProvider::HandleFirstSteps(TMessage& m) {
  if (m.Msg == WM_SETTINGCHANGE || m.Msg == WM_DISPLAYCHANGE) {
    GSizesRead = false;
    MarkRepaint();
  }
  // A drag ends, unmoved, whenever the capture or the window goes away.
  switch (m.Msg) {
    case WM_CAPTURECHANGED:
      if (FDrag->Active() && reinterpret_cast<HWND>(m.LParam) != FForm->Handle()) EndDrag(false);
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
  // The active MDI child's items shown in this form's menu bar are painted with it.
  if (TMainMenu* menu = FForm->Menu(); menu && menu->Merged()) menus->HookComponent(menu->Merged(), enable);
}

void TsSkinProvider::RemoveSkin() {
  EndDrag(false);
  FSkinData->Command(SkinCommand::RemoveSkin);
  FMenuBand->Forget();
  ClearMenuList(true);
  UpdateMenus(false);
  FMenuOwnerDrawDone = false;
  FFrame->Reset();
  FButtons->SetHot(0);
  if (FMDIForm) FMDIForm->RemoveChildIconItem();
  RestoreBorderIcons();
  UpdateFormScrollBars();
  if (FForm && FUseGlobalColor && !FSkinData->CustomColor()) FForm->SetColor(clBtnFace);
}

void TsSkinProvider::NewSkin() {
  ClearMenuList(true);
  FMenuOwnerDrawDone = false;
  FSkinData->Command(SkinCommand::NewSkin);
  if (::SkinData().DefaultManager) {
    ResolveMasks();
    if (!FSkinManager) SetSkinManager(::SkinData().DefaultManager);
    if (FSkinData->HasSkin()) EmptyBorderIcons();
    FFormActive = Screen && Screen->ActiveForm() == FForm;
    MarkRepaint();
    FFrame->ForgetTitle();
    // A child maximized before the skin came shows its item in the band now.
    if (FMDIForm && FForm->HandleAllocated()) PostMessageA(FForm->Handle(), MDIUpdateMessage(), 0, 0);
  }
  ApplyFormColor();
}

void TsSkinProvider::HandleNotSkinned(TMessage& m) {
  CallOld(m);
}

TsCacheInfo TsSkinProvider::SkinCache() {
  if (!Skinned() || IsLoading()) return {};
  // A child may ask before the form's first frame was painted (while its menu bar is built anew).
  if (const TBitmap* cache = FSkinData->CacheBitmap(); cache != nullptr && cache->Width() == 0) PaintFrame();
  const TsFrameFacts f = FrameFacts();
  return TsCacheInfo{FSkinData->CacheBitmap(), ClientOffsetX(f), ClientOffsetY(f, SystemSizes()), true};
}

TColor TsSkinProvider::SkinBackgroundColor() {
  if (!Skinned()) return SkinKeyColor;
  return FSkinData->HasSkin() ? ActiveSkin().SkinSectionData[static_cast<std::size_t>(FSkinData->SkinIndex())].Color
                              : static_cast<TColor>(ColorToRGB(FForm->Color()));
}

bool TsSkinProvider::SkinBackgroundChanged() {
  return Skinned() && (FSkinData->RepaintNeeded() || FSkinData->BackgroundChanged());
}

bool TsSkinProvider::SkinHasPaintedBackground() {
  if (!Skinned()) return false;
  const TsSectionData& s = ActiveSkin().SkinSectionData[static_cast<std::size_t>(FSkinData->SkinIndex())];
  return s.GradientPercent + s.ImagePercent > 0;
}

TsFormFrameLink* TsSkinProvider::SkinProvider() {
  return Skinned() ? this : nullptr;
}

void TsSkinProvider::SkinCommand(::SkinCommand command) {
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
      FFrame->ForgetTitle();
      UpdateMenus(FSkinData->HasSkin());
      if (h) RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
      ApplyFormColor();
      UpdateFormScrollBars();
      break;
    default: break;
  }
}

void TsSkinProvider::SetSkinBgChanged(bool changed) {
  if (!FForm || !Skinned()) return;
  FSkinData->SetBackgroundDirty(changed);
  if (FSkinData->BackgroundChanged()) FSkinData->SetRepaintNeeded(true);
}

void TsSkinProvider::SetSkinUpdating(bool updating) {
  if (!FForm || !Skinned()) return;
  FSkinData->SetUpdating(updating);
  if (FSkinData->Updating()) PaintFrame();
}

void TsSkinProvider::SetSkinActiveChild(TControl* child) {
  if (FForm && Skinned()) FSkinData->SetActiveChild(child);
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
    case WM_MOVE:
      return WMMove(m);
    case WM_SYSCOLORCHANGE:
      CallOld(m);
      UpdateMenuOwnerDraw();
      return;
    case WM_CHILDACTIVATE:
      return WMChildActivate(m);
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
    case CM_CHANGED:
      CallOld(m);
      // The form's scroll bar settings changed.
      if (m.LParam && (m.LParam == reinterpret_cast<LPARAM>(FForm->VertScrollBar()) ||
                       m.LParam == reinterpret_cast<LPARAM>(FForm->HorzScrollBar())))
        UpdateFormScrollBars();
      return;
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
  if (HasSkinFrame(WindowFacts())) NcPaint();
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
  if (FFrame->InRegionUpdate()) return;
  WindowPosChanging(m);
  CallOld(m);
}

// Also the end of a move or size loop.
void TsSkinProvider::WMWindowPosChanged(TMessage& m) {
  if (FFrame->InRegionUpdate()) return;
  FFrame->RegionChanged();
  const std::shared_ptr<bool> alive = FAlive;
  CallOld(m);
  if (!*alive) return;
  SizeChanged(m);
  // A form moved, shown, hidden or raised may show another that waits for its repaint.
  ShowFormsWaitingForView();
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
  if (!FDrag->Active()) return;
  POINT p{SignedX(m.LParam), SignedY(m.LParam)};
  ClientToScreen(FForm->Handle(), &p);
  FDrag->MoveTo(p.x, p.y);
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
    FFrame->SetMenuChanged();
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
  if (FForm->BorderStyle() != bsNone) {
    bool active = m.WParam != 0;
    if (FrameFacts().ChildButtonsShown) {
      // Under a maximized child the main form is drawn active while that child is the active one:
      // the platform's passing deactivations between child and main form do not change it.
      TCustomForm* child = FForm->ActiveMDIChild();
      active = active || (child && child->Active()) ? true : FFormActive;
    }
    if (active != FFormActive) {
      FFormActive = active;
      FFrame->ForgetTitle();
      MarkRepaint();
    }
  }
  NcPaint();
  // The other children's frames follow this one's activation.
  if (FForm->FormStyle() == fsMDIChild)
    if (TsFormFrameLink* main = MDIFormProvider(); main && main->Form())
      for (int i = 0; i < main->Form()->MDIChildCount(); ++i) {
        TCustomForm* other = main->Form()->MDIChildren(i);
        if (other != FForm && other->HandleAllocated() && IsWindowVisible(other->Handle()))
          SendMessageA(other->Handle(), WM_NCPAINT, 1, 0);
      }
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
  FMenuBand->Forget();
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
    if (!FButtons->HasButton(code)) return;
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
    // The platform activates a window pressed on its caption while it handles the press (it answers
    // the mouse activation "not yet" there); its move loop is held back, the outline moves instead.
    // That loop would also bring the window (an MDI child: and activate it) to the front.
    const std::shared_ptr<bool> alive = FAlive;
    if (code == HTCAPTION) {
      FHoldMoveLoop = true;
      CallOld(m);
      if (!*alive) return;
      FHoldMoveLoop = false;
    }
    BringWindowToTop(h);
    if (!*alive) return;
    FDrag->Start(code, x, y);
    return;
  }
  CallOld(m);
}

void TsSkinProvider::ButtonUp(TMessage& m, bool nonClient) {
  if (FDrag->Active()) {
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
  if (FButtons->Release(code)) {
    ActionOf(code, SignedX(m.LParam), SignedY(m.LParam));
    return;
  }
  if (IsButtonCode(code)) return;
  // An iconic MDI child has no caption to drop its menu from: it opens where the icon was let go.
  if (IsIconic(FForm->Handle()) && MDIFormProvider() && FSkinManager->SkinnedPopups()) {
    POINT at;
    GetCursorPos(&at);
    ShowSystemMenu(at.x, at.y);
    return;
  }
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
  if (FHoldMoveLoop && command == SC_MOVE) return;
  // Alt+Space: the platform's own menu has no caption to drop from, so the skin's drops instead.
  if (command == SC_KEYMENU && m.LParam == ' ' && FSkinManager->SkinnedPopups() &&
      FForm->FormStyle() != fsMDIChild) {
    ShowSystemMenuUnderIcon();
    return;
  }
  // Move and Size of the system menu (the bare commands; a caption press sends SC_MOVE | HTCAPTION).
  if ((command == SC_MOVE || command == SC_SIZE) && (m.WParam & 0xF) == 0 && FResizeMode == TsResizeMode::rmBorder &&
      StartMenuDrag(command == SC_MOVE))
    return;
  if ((m.WParam & 0xFFFF) == (SC_MOVE | HTCAPTION)) FForm->Repaint();
  CallOld(m);
  if (command == SC_MINIMIZE || command == SC_MAXIMIZE || command == SC_RESTORE) {
    MarkRepaint();
    FFrame->ForgetTitle();
    if (FForm->HandleAllocated()) FSystemMenu->UpdateItems();
    if (FForm->FormStyle() == fsMDIChild && command != SC_MAXIMIZE) AfterMDIChildSizeCommand(command);
  }
}

// A child minimized or restored paints its new frame at once; restored, the children that lay
// under it while it was maximized show theirs again.
void TsSkinProvider::AfterMDIChildSizeCommand(unsigned command) {
  if (!FForm->HandleAllocated()) return;
  RepaintNonClient();
  TsFormFrameLink* main = MDIFormProvider();
  if (command != SC_RESTORE || main == nullptr || main->Form() == nullptr) return;
  for (int i = 0; i < main->Form()->MDIChildCount(); ++i)
    if (TCustomForm* other = main->Form()->MDIChildren(i); other != FForm && other->HandleAllocated())
      SendMessageA(other->Handle(), WM_NCPAINT, 1, 0);
}

// The outline drag without a pressed button: the cursor goes to the caption's middle (a move) or to
// the bottom-right corner (a size), and the next click ends it. An iconic or maximized window is
// left to the platform.
bool TsSkinProvider::StartMenuDrag(bool move) {
  HWND h = FForm->Handle();
  if (IsIconic(h) || IsZoomed(h)) return false;
  RECT w;
  GetWindowRect(h, &w);
  const TsFrameFacts f = FrameFacts();
  const POINT at = move ? POINT{(w.left + w.right) / 2, w.top + (::FrameBorderHeight(f, SystemSizes()) +
                                                                  ::TitleBarHeight(f, SystemSizes())) / 2}
                        : POINT{w.right - 1, w.bottom - 1};
  SetCursorPos(at.x, at.y);
  FDrag->Start(move ? HTCAPTION : HTBOTTOMRIGHT, at.x, at.y);
  return true;
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
    // What the form draws itself (OnPaint) goes over the skin's client and under its graphic
    // controls, as without a skin.
    if (active && active->Parent() == FForm) {
      const TSaveDC saved(dc);
      IntersectClipRect(dc, active->Left(), active->Top(), active->Left() + active->Width(),
                        active->Top() + active->Height());
      BitBlt(dc, active->Left(), active->Top(), active->Width(), active->Height(), cache->Canvas()->Handle(),
             ox + active->Left(), oy + active->Top(), SRCCOPY);
      {
        const TSaveDC painting(dc);
        FForm->PaintOnCanvas(dc);
      }
      SetViewportOrgEx(dc, active->Left(), active->Top(), nullptr);
      TsSkinnedControl::PaintGraphicChildOverSkin(FForm, dc, active);
    } else {
      RECT c;
      GetClientRect(h, &c);
      BitBlt(dc, 0, 0, c.right, c.bottom, cache->Canvas()->Handle(), ox, oy, SRCCOPY);
      {
        const TSaveDC painting(dc);
        FForm->PaintOnCanvas(dc);
      }
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
  // A child under another, maximized child is not seen: its frame is not painted.
  if (FForm->FormStyle() == fsMDIChild)
    if (TsFormFrameLink* main = MDIFormProvider(); main && main->Form())
      if (TCustomForm* shown = main->Form()->ActiveMDIChild();
          shown && shown != FForm && shown->HandleAllocated() && IsZoomed(shown->Handle()))
        return;
  HWND h = FForm->Handle();
  if (!FMenuOwnerDrawDone || FForm->Menu() != FHookedMenu) {
    // Menus made or changed after the skin was loaded get the skinned painter with the next frame.
    UpdateMenus(true);
    FHookedMenu = FForm->Menu();
    UpdateMenuOwnerDraw();
    FMenuOwnerDrawDone = true;
    FMenuBand->Forget();  // the hooked items take room now
  }
  FFrame->UpdateRegion();
  const TWindowDC dc(h, TWindowDC::TArea::Whole);
  const TSaveDC saved(dc.Handle());
  OutputFrame(dc.Handle());
}

void TsSkinProvider::PaintFrame() { FFrame->Paint(); }
void TsSkinProvider::OutputFrame(HDC dc) { FFrame->Output(dc); }
int TsSkinProvider::FramePaints() const { return FFrame->Paints(); }

// ---- caption buttons -------------------------------------------------------------------------------

void TsSkinProvider::SetHotButton(int code) { FButtons->SetHot(code); }
void TsSkinProvider::PressButton(int code) { FButtons->Press(code); }
int TsSkinProvider::HotButton() const { return FButtons->Hot(); }
int TsSkinProvider::ButtonState(int code) const { return FButtons->State(code); }
int TsSkinProvider::ButtonPaints() const { return FButtons->Paints(); }

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

// ---- outline drag and scroll bars ----------------------------------------------------------------

void TsSkinProvider::DrawDragFrame(HDC dc) { FDrag->Draw(dc); }
bool TsSkinProvider::Dragging() const { return FDrag->Active(); }
void TsSkinProvider::EndDrag(bool apply) { FDrag->End(apply); }
TsScrollBar* TsSkinProvider::VertScrollBar() const { return FScrollBars->Vert(); }
TsScrollBar* TsSkinProvider::HorzScrollBar() const { return FScrollBars->Horz(); }

