#include "skin/controls/TsMDIForm.h"

#include "framework/win/GdiScopes.h"
#include "framework/win/TApplication.h"
#include "framework/win/TBitmap.h"
#include "framework/win/TCanvas.h"
#include "framework/win/TCustomForm.h"
#include "framework/win/TMainMenu.h"
#include "framework/win/TMenuItem.h"
#include "skin/controls/TsPanel.h"
#include "skin/controls/TsScrollBar.h"
#include "skin/engine/SkinCommands.h"
#include "skin/engine/TsFormFrameLink.h"
#include "skin/engine/core/TsSkinData.h"

namespace {

TMenuItem* NewChildCommand(TMenuItem* parent, const char* name, const char* caption, const TNotifyEvent& click) {
  auto* item = NewComponent<TMenuItem>(nullptr);
  item->SetName(name);
  item->SetCaption(caption);
  item->SetOnClick(click);
  parent->Add(item);
  return item;
}

}  // namespace

TsMDIForm::TsMDIForm(TsFormFrameLink* provider)
    : TComponent(nullptr), FProvider(provider), FClientHook(TWndMethod(this, &TsMDIForm::ClientWndProc), this) {
  FForm = provider != nullptr ? provider->Form() : nullptr;
  if (FForm == nullptr) return;
  FForm->FreeNotification(this);
  FForm->HandleNeeded();
  FChildIconItem = CreateChildIconItem();
  HookClientWindow();
}

TsMDIForm::~TsMDIForm() = default;

void TsMDIForm::BeforeDestruction() {
  FClientHook.Unhook();
  if (FForm != nullptr && !FForm->IsDestroying()) FreeBars();
  // Freeing the item takes it out of the menu it stands in.
  if (FChildIconItem != nullptr) {
    TMenuItem* item = FChildIconItem;
    FChildIconItem = nullptr;
    item->RemoveFreeNotification(this);
    item->Free();
  }
  if (FForm != nullptr) FForm->RemoveFreeNotification(this);
  TComponent::BeforeDestruction();
}

void TsMDIForm::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != TOperation::Remove) return;
  if (component == FForm) {
    FClientHook.Unhook();
    FForm = nullptr;
    FVScrollBar = FHScrollBar = nullptr;
    FGrip = nullptr;
  }
  if (component == FChildIconItem) FChildIconItem = nullptr;
  if (component == FVScrollBar) FVScrollBar = nullptr;
  if (component == FHScrollBar) FHScrollBar = nullptr;
  if (component == FGrip) FGrip = nullptr;
}

TMenuItem* TsMDIForm::CreateChildIconItem() {
  auto* item = NewComponent<TMenuItem>(nullptr);
  item->SetName(MDIChildIconItemName);
  item->SetGroupIndex(0);
  const TNotifyEvent click(this, &TsMDIForm::ChildCommand);
  FRestoreItem = NewChildCommand(item, "ItemMDIRestore", "Restore", click);
  FMinimizeItem = NewChildCommand(item, "ItemMDIMinimize", "Minimize", click);
  FCloseItem = NewChildCommand(item, "ItemMDIClose", "Close", click);
  FCloseItem->SetShortCut(ShortCut(VK_F4, ssCtrl));
  item->FreeNotification(this);
  return item;
}

void TsMDIForm::ChildCommand(TObject* sender) {
  TCustomForm* child = FForm != nullptr ? FForm->ActiveMDIChild() : nullptr;
  if (child == nullptr || !child->HandleAllocated()) return;
  WPARAM command = SC_CLOSE;
  if (sender == FRestoreItem) command = SC_RESTORE;
  else if (sender == FMinimizeItem) command = SC_MINIMIZE;
  SendMessageA(child->Handle(), WM_SYSCOMMAND, command, 0);
}

void TsMDIForm::HookClientWindow() {
  if (FForm == nullptr || FForm->IsDestroying() || FForm->ClientHandle() == nullptr) return;
  HWND client = FForm->ClientHandle();
  if (FClientHook.Window() == client) return;
  // Another skinned object already paints this client.
  if (SendSkinCommand(client, SkinCommand::IsSkinned) == 1) return;
  FClientHook.Hook(client);
}

bool TsMDIForm::ActiveChildMaximized() {
  TCustomForm* child = FForm != nullptr ? FForm->ActiveMDIChild() : nullptr;
  return child != nullptr && child->HandleAllocated() && IsZoomed(child->Handle());
}

TMDIAlignedSizes TsMDIForm::AlignedSizes() {
  TMDIAlignedSizes s;
  if (FForm == nullptr) return s;
  for (int i = 0; i < FForm->ControlCount(); ++i) {
    TControl* c = FForm->Controls(i);
    if (!c->Visible()) continue;
    switch (c->Align()) {
      case alLeft: s.Left += c->Width(); break;
      case alRight: s.Right += c->Width(); break;
      case alTop: s.Top += c->Height(); break;
      case alBottom: s.Bottom += c->Height(); break;
      default: break;
    }
  }
  return s;
}

TRect TsMDIForm::ClientArea() {
  if (FForm == nullptr || FProvider == nullptr) return {};
  TMDIFrameSizes frame;
  frame.FrameBorderWidth = FProvider->FrameBorderWidth();
  frame.FrameBorderHeight = FProvider->FrameBorderHeight();
  frame.TitleBarHeight = FProvider->TitleBarHeight();
  frame.MenuBarShown = FProvider->MenuBarShown();
  frame.MenuRowCount = FProvider->MenuRowCount();
  frame.MenuLineHeight = FProvider->MenuLineHeight();
  frame.FormBorderWidth = FForm->BorderWidth();
  const RECT client = FForm->ClientRect();
  return MDIClientArea(frame, AlignedSizes(), client.right - client.left, client.bottom - client.top);
}

int TsMDIForm::ClientAreaLeft() { return ClientArea().Left; }
int TsMDIForm::ClientAreaTop() { return ClientArea().Top; }
int TsMDIForm::ClientAreaWidth() { return ClientArea().Width(); }
int TsMDIForm::ClientAreaHeight() { return ClientArea().Height(); }

void TsMDIForm::CopyBackground(HDC dc) {
  TBitmap* image = FProvider->WindowImage();
  if (image == nullptr) return;
  const TRect src = MDIBackgroundSource(ClientArea());
  const TSaveDC saved(dc);
  BitBlt(dc, 0, 0, src.Width(), src.Height(), image->Canvas()->Handle(), src.Left, src.Top, SRCCOPY);
}

void TsMDIForm::PaintEdges() {
  TBitmap* image = FProvider->WindowImage();
  if (image == nullptr) return;
  const TRect area = ClientArea();
  const TMDIEdgeStrips strips = MDIEdgeStrips(area.Width(), area.Height());
  const TWindowDC dc(FClientHook.Window(), TWindowDC::Whole);
  HDC source = image->Canvas()->Handle();
  for (const TRect& s : {strips.Top, strips.Left, strips.Bottom, strips.Right})
    BitBlt(dc.Handle(), s.Left, s.Top, s.Width(), s.Height(), source, area.Left + s.Left, area.Top + s.Top, SRCCOPY);
}

void TsMDIForm::SkinCommand(::SkinCommand command) {
  if (command == SkinCommand::RemoveSkin && FClientHook.Window())
    RedrawWindow(FClientHook.Window(), nullptr, nullptr, RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_ERASE | RDW_FRAME);
}

void TsMDIForm::ClientWndProc(TMessage& message) {
  if (FProvider == nullptr || FForm == nullptr) {
    FClientHook.CallDefault(message);
    return;
  }
  HWND client = FClientHook.Window();
  if (DispatchSkinMessage(*this, message)) return;
  if (!FProvider->FrameSkinned() || FProvider->WindowImage() == nullptr) {
    FClientHook.CallDefault(message);
    return;
  }
  switch (message.Msg) {
    case WM_ERASEBKGND:
      if (!ActiveChildMaximized()) CopyBackground(reinterpret_cast<HDC>(message.WParam));
      message.Result = 1;
      return;
    case WM_PAINT: {
      if (ActiveChildMaximized()) break;
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(client, &ps);
      CopyBackground(message.WParam != 0 ? reinterpret_cast<HDC>(message.WParam) : dc);
      EndPaint(client, &ps);
      message.Result = 0;
      return;
    }
    case WM_NCPAINT:
      if (!ActiveChildMaximized()) PaintEdges();
      message.Result = 0;
      return;
    case WM_SIZE:
    case WM_HSCROLL:
    case WM_VSCROLL:
      FClientHook.CallDefault(message);
      InvalidateRect(client, nullptr, TRUE);
      return;
    default:
      break;
  }
  FClientHook.CallDefault(message);
}

void TsMDIForm::UpdateMDIIconItem() {
  if (FForm == nullptr || FChildIconItem == nullptr) return;
  TMainMenu* menu = FForm->Menu();
  TMenuItem* root = menu != nullptr ? menu->Items() : nullptr;
  const bool atHead = root != nullptr && root->Count() > 0 && root->Items(0) == FChildIconItem;
  if (ActiveChildMaximized()) {
    if (root != nullptr && !atHead) {
      FProvider->SetBackgroundChanged(true);
      if (Application != nullptr) Application->ProcessMessages();
      // The pending messages may have freed the form or its menu, or put the item in already.
      if (FForm == nullptr || FChildIconItem == nullptr || FForm->Menu() != menu) return;
      if (FChildIconItem->Parent() != nullptr) FChildIconItem->Parent()->Remove(FChildIconItem);
      root->Insert(0, FChildIconItem);
      FProvider->SetBackgroundChanged(false);
      FProvider->MarkCacheFresh();
      FProvider->RepaintMenuLine();
    }
  } else {
    RemoveChildIconItem();
  }
  UpdateScrollBars();
}

void TsMDIForm::RemoveChildIconItem() {
  if (FChildIconItem == nullptr || FChildIconItem->Parent() == nullptr) return;
  FChildIconItem->Parent()->Remove(FChildIconItem);
  FProvider->RefreshFrame();
}

TsScrollBar* TsMDIForm::MakeBar(bool vertical) {
  auto* bar = NewComponent<TsScrollBar>(FForm);
  bar->SetVisible(false);
  bar->SetKind(vertical ? sbVertical : sbHorizontal);
  bar->SetTabStop(false);
  bar->SetLinkedControl(FForm);
  bar->SetHostNotify(vertical ? TScrollBarHostNotify(this, &TsMDIForm::VerticalScrolled)
                              : TScrollBarHostNotify(this, &TsMDIForm::HorizontalScrolled));
  bar->SetOnMouseUp(TMouseEvent(this, &TsMDIForm::BarMouseUp));
  bar->SetParent(FForm);
  bar->FreeNotification(this);
  return bar;
}

template <typename T>
void TsMDIForm::Drop(T*& control) {
  if (control == nullptr) return;
  T* gone = control;
  control = nullptr;
  gone->RemoveFreeNotification(this);
  gone->Free();
}

void TsMDIForm::FreeBars() {
  Drop(FVScrollBar);
  Drop(FHScrollBar);
  Drop(FGrip);
}

void TsMDIForm::UpdateScrollBars() {
  if (FUpdating || FForm == nullptr || FForm->IsDestroying()) return;
  const TMDIAlignedSizes aligned = AlignedSizes();
  if (!SkinData().Active || FForm->ActiveMDIChild() == nullptr || ActiveChildMaximized() ||
      FForm->ClientHandle() == nullptr) {
    FreeBars();
    return;
  }
  auto read = [&](int bar, bool horizontal) {
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    const bool ok = GetScrollInfo(FForm->ClientHandle(), bar, &si) != 0;
    return NormaliseClientScroll(ok, TMDIScrollInfo{si.nMin, si.nMax, si.nPage, si.nPos}, horizontal);
  };
  FVRange = read(SB_VERT, false);
  FHRange = read(SB_HORZ, true);
  const RECT client = FForm->ClientRect();
  const TMDIBarPlacement place =
      PlaceMDIBars(client.right - client.left, client.bottom - client.top, aligned.Right, aligned.Bottom,
                   GetSystemMetrics(SM_CXVSCROLL), GetSystemMetrics(SM_CYHSCROLL), FVRange.Wanted, FHRange.Wanted);
  FUpdating = true;
  try {
    auto fill = [&](TsScrollBar*& bar, bool vertical, const TMDIBarRange& range, const TRect& bounds) {
      if (!range.Wanted) {
        Drop(bar);
        return;
      }
      if (bar == nullptr) bar = MakeBar(vertical);
      bar->SetBounds(bounds.Left, bounds.Top, bounds.Width(), bounds.Height());
      bar->FillFromScrollInfo(range.Fill());
      if (bar != nullptr) bar->SetSmallChange(8);
    };
    fill(FVScrollBar, true, FVRange, place.VBar);
    fill(FHScrollBar, false, FHRange, place.HBar);
    if (place.Grip && FVScrollBar != nullptr && FHScrollBar != nullptr) {
      if (FGrip == nullptr) {
        FGrip = NewComponent<TsGrip>(FForm);
        FGrip->SetVisible(false);
        FGrip->SetLinkedControl(FForm, false);
        FGrip->SetParent(FForm);
        FGrip->FreeNotification(this);
      }
      const TRect& g = place.GripRect;
      FGrip->SetBounds(g.Left, g.Top, g.Width(), g.Height());
      FGrip->SetVisible(true);
      FGrip->BringToFront();
    } else {
      Drop(FGrip);
    }
  } catch (...) {
    FUpdating = false;
    throw;
  }
  FUpdating = false;
}

void TsMDIForm::BarScrolled(TsScrollBar* bar, const TMDIBarRange& range, UINT msg) {
  if (FUpdating || bar == nullptr || FForm == nullptr || FForm->ClientHandle() == nullptr) return;
  if (bar->IsDestroying() || bar->IsLoading()) return;
  FUpdating = true;
  const WORD position = static_cast<WORD>(ClientScrollPosition(range, bar->Position()));
  SendMessageA(FForm->ClientHandle(), msg, MAKEWPARAM(SB_THUMBPOSITION, position), 0);
  FUpdating = false;
}

void TsMDIForm::VerticalScrolled(TObject*, int) { BarScrolled(FVScrollBar, FVRange, WM_VSCROLL); }
void TsMDIForm::HorizontalScrolled(TObject*, int) { BarScrolled(FHScrollBar, FHRange, WM_HSCROLL); }

void TsMDIForm::BarMouseUp(TObject*, TMouseButton, TShiftState, int, int) {
  if (FForm == nullptr || FForm->ClientHandle() == nullptr) return;
  SendMessageA(FForm->ClientHandle(), WM_SIZE, 0, 0);
  if (Application != nullptr) Application->ProcessMessages();
  UpdateScrollBars();
}
