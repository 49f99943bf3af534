#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "ControlPixels.h"
#include "framework/win/TApplication.h"
#include "framework/win/TBitmap.h"
#include "framework/win/TCanvas.h"
#include "framework/win/TCustomForm.h"
#include "framework/win/TMainMenu.h"
#include "framework/win/TMenuItem.h"
#include "framework/win/TScreen.h"
#include "skin/controls/TsMDIForm.h"
#include "skin/controls/TsPanel.h"
#include "skin/controls/TsScrollBar.h"
#include "skin/engine/SkinMessage.h"
#include "skin/engine/TsFormFrameLink.h"
#include "skin/engine/TsSkinManager.h"
#include "skin/engine/core/SkinTables.h"
#include "skin/engine/core/TsSkinData.h"
#include "tests/framework/win/TGuiCensus.h"
#include "tests/skin/controls/MdiTestFrame.h"

namespace {

constexpr COLORREF ImageColor = RGB(10, 200, 90);

// Stands in for the form's skin provider: answers GetProvider, paints a plain window image,
// counts what it is asked, and follows skin changes as the provider does.
class TStubProvider : public TComponent, public TsFormFrameLink {
public:
  explicit TStubProvider(TCustomForm* form) : TComponent(form), FForm(form) {
    FOld = form->WindowProc();
    form->SetWindowProc(TWndMethod(this, &TStubProvider::WndProc));
    SetMDIFormProvider(this);
    Mdi = NewComponent<TsMDIForm>(this);
  }
  void BeforeDestruction() override {
    Mdi->Free();
    FForm->SetWindowProc(FOld);
    if (MDIFormProvider() == this) SetMDIFormProvider(nullptr);
    TComponent::BeforeDestruction();
  }

  TCustomForm* Form() const override { return FForm; }
  bool FrameSkinned() const override { return SkinData().Active; }
  int FrameBorderWidth() const override { return 4; }
  int FrameBorderHeight() const override { return 4; }
  int TitleBarHeight() const override { return 20; }
  bool MenuBarShown() const override { return FForm->Menu() != nullptr; }
  int MenuRowCount() const override { return 1; }
  int MenuLineHeight() const override { return GetSystemMetrics(SM_CYMENU); }
  TBitmap* WindowImage() override {
    FImage.SetPixelFormat(TPixelFormat::Bit24);
    if (FImage.Width() != FForm->Width() || FImage.Height() != FForm->Height()) {
      FImage.SetSize(FForm->Width(), FForm->Height());
      FImage.Canvas()->Brush()->SetColor(TColor(ImageColor));
      FImage.Canvas()->FillRect(RECT{0, 0, FForm->Width(), FForm->Height()});
    }
    return &FImage;
  }
  void SetBackgroundChanged(bool changed) override { BackgroundChanges += changed ? 1 : 0; }
  void MarkCacheFresh() override { ++Fresh; }
  void RepaintMenuLine() override { ++MenuLineRepaints; }
  void RefreshFrame() override { ++FrameRefreshes; }

  TsMDIForm* Mdi = nullptr;
  int BackgroundChanges = 0, Fresh = 0, MenuLineRepaints = 0, FrameRefreshes = 0;

private:
  void WndProc(TMessage& m) {
    if (m.Msg == RE_ROVADUZI) {
      const SkinCommand command = SkinCommandOf(m.WParam);
      if (command == SkinCommand::GetProvider) {
        m.Result = reinterpret_cast<LRESULT>(static_cast<TsFormFrameLink*>(this));
        return;
      }
      FOld(m);
      if (command == SkinCommand::NewSkin) Mdi->HookClientWindow();
      if (command == SkinCommand::RemoveSkin || command == SkinCommand::Refresh) Mdi->UpdateScrollBars();
      return;
    }
    FOld(m);
  }

  TCustomForm* FForm;
  TWndMethod FOld;
  TBitmap FImage;
};

// A child that tells the main provider when its size state changes, as a child's provider does.
class TChild : public TForm {
public:
  explicit TChild(TComponent* owner) : TForm(owner) {
    SetBounds(10, 10, 160, 100);
    SetFormStyle(fsMDIChild);
    SetOnClose(TCloseEvent::FromFunctor([this](TObject*, TCloseAction& action) {
      ++Closes;
      action = caFree;
    }));
  }
  void Dispatch(TMessage& m) override {
    TForm::Dispatch(m);
    if (m.Msg == WM_SIZE)
      if (auto* p = dynamic_cast<TStubProvider*>(static_cast<TsFormFrameLink*>(MDIFormProvider()))) p->Mdi->UpdateMDIIconItem();
  }
  static inline int Closes = 0;
};

class MDIForms : public ::testing::Test {
protected:
  void SetUp() override {
    Frame = NewMdiTestFrame();
    ASSERT_EQ(Application->MainForm(), Frame);
    Menu = Frame->MainMenu();
    Frame->Show();
    Provider = NewComponent<TStubProvider>(Frame);
    TChild::Closes = 0;
    Pump();
  }
  void TearDown() override {
    FreeMdiForms(Frame);
    InstallSkinTables({});
    SkinData().Active = false;
    Pump();
  }
  static void Pump() { Application->ProcessMessages(); }
  TChild* NewChild() {
    TChild* child = nullptr;
    Application->CreateForm(child);
    Pump();
    return child;
  }
  TMenuItem* HeadItem() { return Menu->Items()->Count() > 0 ? Menu->Items()->Items(0) : nullptr; }
  void LoadSkin() {
    Manager = NewComponent<TsSkinManager>(Frame);
    Manager->SetSkinDirectory(TARVEX_BUNDLED_SKINS);
    Manager->SetSkinName("Desert");
    ASSERT_TRUE(SkinData().Active);
    Pump();
  }
  // F4 pressed with Ctrl held, as the message loop gets it in the window with the focus.
  static void PressCtrlF4(HWND target) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    const BYTE saved = keys[VK_CONTROL];
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    PostMessageA(target, WM_KEYDOWN, VK_F4, 1 | (LPARAM(MapVirtualKeyA(VK_F4, 0)) << 16));
    Pump();
    keys[VK_CONTROL] = saved;
    SetKeyboardState(keys);
  }

  TMdiTestFrame* Frame = nullptr;
  TMainMenu* Menu = nullptr;
  TStubProvider* Provider = nullptr;
  TsSkinManager* Manager = nullptr;
};

TEST_F(MDIForms, TheClientIsHookedOnceAndLetGoInAnyOrder) {
  HWND client = Frame->ClientHandle();
  ASSERT_TRUE(Provider->Mdi->ClientHooked());
  EXPECT_EQ(SendMessageA(client, RE_ROVADUZI, MakeSkinWParam(SkinCommand::IsSkinned), 0), 1);
  // A second object finds the client skinned and leaves it alone; freeing it takes nothing off.
  auto* second = NewComponent<TsMDIForm>(static_cast<TsFormFrameLink*>(Provider));
  EXPECT_FALSE(second->ClientHooked());
  second->Free();
  EXPECT_EQ(SendMessageA(client, RE_ROVADUZI, MakeSkinWParam(SkinCommand::IsSkinned), 0), 1);
  // Someone else subclasses the client after us; we go first, the later hook stays and works.
  static int laterSeen = 0;
  laterSeen = 0;
  SUBCLASSPROC later = [](HWND w, UINT m, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) -> LRESULT {
    if (m == WM_USER + 7) ++laterSeen;
    return DefSubclassProc(w, m, wp, lp);
  };
  ASSERT_TRUE(SetWindowSubclass(client, later, 1, 0));
  Provider->Mdi->Free();
  Provider->Mdi = NewComponent<TsMDIForm>(static_cast<TsFormFrameLink*>(nullptr));  // a provider without a form
  EXPECT_EQ(SendMessageA(client, RE_ROVADUZI, MakeSkinWParam(SkinCommand::IsSkinned), 0), 0);
  SendMessageA(client, WM_USER + 7, 0, 0);
  EXPECT_EQ(laterSeen, 1);
  // The client still works as a client: a child can be made and is listed.
  TChild* child = NewChild();
  EXPECT_EQ(Frame->ActiveMDIChild(), child);
  RemoveWindowSubclass(client, later, 1);
}

TEST_F(MDIForms, AMaximizedChildBringsTheItemCtrlF4ClosesRestoringTakesItAway) {
  TChild* first = NewChild();
  TChild* second = NewChild();
  ASSERT_EQ(Frame->ActiveMDIChild(), second);
  TMenuItem* item = Provider->Mdi->ChildIconItem();
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->Name(), "sMDICII");
  ASSERT_EQ(item->Count(), 3);
  EXPECT_EQ(item->Items(2)->ShortCut(), ShortCut(VK_F4, ssCtrl));
  EXPECT_NE(HeadItem(), item);

  SendMessageA(second->Handle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  Pump();
  ASSERT_TRUE(IsZoomed(second->Handle()));
  EXPECT_EQ(HeadItem(), item);
  EXPECT_EQ(Menu->Items()->Count(), 2);
  EXPECT_EQ(Provider->MenuLineRepaints, 1);
  EXPECT_EQ(Provider->Fresh, 1);
  // Asked again while maximized: still one item.
  Provider->Mdi->UpdateMDIIconItem();
  EXPECT_EQ(Menu->Items()->Count(), 2);

  // Restore through the item's first entry.
  item->Items(0)->Click();
  Pump();
  EXPECT_FALSE(IsZoomed(second->Handle()));
  EXPECT_NE(HeadItem(), item);
  EXPECT_EQ(Menu->Items()->Count(), 1);
  EXPECT_GE(Provider->FrameRefreshes, 1);

  // Maximized again, Ctrl+F4 closes the active child once; the next child takes its place
  // maximized and keeps the item.
  SendMessageA(second->Handle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  Pump();
  ASSERT_EQ(HeadItem(), item);
  PressCtrlF4(second->Handle());
  Pump();
  EXPECT_EQ(TChild::Closes, 1);
  EXPECT_EQ(Frame->MDIChildCount(), 1);
  // Asked again (as the provider is after a child goes): the item stays only for a maximized
  // active child.
  Provider->Mdi->UpdateMDIIconItem();
  if (Frame->ActiveMDIChild() == nullptr) {
    EXPECT_NE(HeadItem(), item);
    SendMessageA(Frame->ClientHandle(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(first->Handle()), 0);
    Pump();
  }
  ASSERT_EQ(Frame->ActiveMDIChild(), first);
  SendMessageA(first->Handle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  Pump();
  ASSERT_EQ(HeadItem(), item);
  // The item's Close works on the active child too; the next update takes the item away.
  item->Items(2)->Click();
  Pump();
  EXPECT_EQ(TChild::Closes, 2);
  EXPECT_EQ(Frame->MDIChildCount(), 0);
  Provider->Mdi->UpdateMDIIconItem();
  EXPECT_EQ(Menu->Items()->Count(), 1);
}

TEST_F(MDIForms, SkinnedBarsFollowTheClientAndGoWithTheSkin) {
  LoadSkin();
  TChild* child = NewChild();
  // Partly out of the client to the right and below: both bars and the grip.
  child->SetBounds(400, 260, 200, 150);
  Pump();
  // The client's ranges as the platform sets them for children from -50 to 400 (the test prefix
  // does not recompute them once its client has hidden its bars).
  SetClientScrollRange(Frame->ClientHandle(), SB_VERT, -50, 400, 200);
  SetClientScrollRange(Frame->ClientHandle(), SB_HORZ, -50, 400, 300);
  Provider->Mdi->UpdateScrollBars();
  ASSERT_NE(Provider->Mdi->VScrollBar(), nullptr);
  ASSERT_NE(Provider->Mdi->HScrollBar(), nullptr);
  ASSERT_NE(Provider->Mdi->Grip(), nullptr);
  TsScrollBar* v = Provider->Mdi->VScrollBar();
  EXPECT_TRUE(v->Visible());
  EXPECT_EQ(v->Kind(), sbVertical);
  EXPECT_EQ(v->Min(), 0);
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_ALL;
  ASSERT_TRUE(GetScrollInfo(Frame->ClientHandle(), SB_VERT, &si));
  EXPECT_EQ(v->Max(), si.nMax - int(si.nPage) - si.nMin + 1);
  const RECT client = Frame->ClientRect();
  EXPECT_EQ(v->Left() + v->Width(), client.right - 1);
  EXPECT_EQ(Provider->Mdi->Grip()->Left(), v->Left() + 1);

  // The slider moved to the end asks the client to scroll there, the offset added back.
  static std::vector<WPARAM> scrolls;
  scrolls.clear();
  SUBCLASSPROC recorder = [](HWND w, UINT m, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) -> LRESULT {
    if (m == WM_VSCROLL) scrolls.push_back(wp);
    return DefSubclassProc(w, m, wp, lp);
  };
  SetWindowSubclass(Frame->ClientHandle(), recorder, 2, 0);
  v->SetPosition(v->Max());
  Pump();
  RemoveWindowSubclass(Frame->ClientHandle(), recorder, 2);
  ASSERT_EQ(scrolls.size(), 1u);
  EXPECT_EQ(LOWORD(scrolls[0]), SB_THUMBPOSITION);
  EXPECT_EQ(short(HIWORD(scrolls[0])), -50 + v->Max());

  // The client's background comes from the provider's window image while skinned.
  RedrawWindow(Frame->ClientHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  TBitmap shot;
  shot.SetPixelFormat(TPixelFormat::Bit24);
  shot.SetSize(4, 4);
  {
    HDC dc = GetDC(Frame->ClientHandle());
    BitBlt(shot.Canvas()->Handle(), 0, 0, 4, 4, dc, 20, 20, SRCCOPY);
    ReleaseDC(Frame->ClientHandle(), dc);
  }
  EXPECT_EQ(PixelsOf(shot)[0], (std::uint32_t(GetRValue(ImageColor)) << 16) | (GetGValue(ImageColor) << 8) |
                                   GetBValue(ImageColor));

  // Maximized: no bars.
  SendMessageA(child->Handle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  Pump();
  EXPECT_EQ(Provider->Mdi->VScrollBar(), nullptr);
  EXPECT_EQ(Provider->Mdi->Grip(), nullptr);
  SendMessageA(child->Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
  Pump();
  Provider->Mdi->UpdateScrollBars();
  ASSERT_NE(Provider->Mdi->VScrollBar(), nullptr);

  // Skin off and on: the bars go and come back, the client stays hooked, the child and menu live.
  Manager->SetActive(false);
  Pump();
  EXPECT_EQ(Provider->Mdi->VScrollBar(), nullptr);
  EXPECT_EQ(Provider->Mdi->HScrollBar(), nullptr);
  EXPECT_TRUE(Provider->Mdi->ClientHooked());
  RedrawWindow(Frame->ClientHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  {
    HDC dc = GetDC(Frame->ClientHandle());
    EXPECT_NE(GetPixel(dc, 20, 20) & 0xFFFFFF, ImageColor);
    ReleaseDC(Frame->ClientHandle(), dc);
  }
  Manager->SetActive(true);
  Pump();
  Provider->Mdi->UpdateScrollBars();
  EXPECT_NE(Provider->Mdi->VScrollBar(), nullptr);
  EXPECT_TRUE(IsWindow(child->Handle()));
  EXPECT_EQ(Frame->ActiveMDIChild(), child);
  EXPECT_EQ(Menu->Items()->Count(), 1);
}

TEST_F(MDIForms, CensusStaysFlatOverProvidersAndChildrenMaximizedAndRestored) {
  Provider->Free();
  Provider = nullptr;
  TChild* child = NewChild();
  auto cycle = [&] {
    auto* provider = NewComponent<TStubProvider>(Frame);
    SendMessageA(child->Handle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    SendMessageA(child->Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
    Application->ProcessMessages();
    provider->Free();
  };
  // A maximize and restore costs the test prefix about 90 ms: a quarter of the usual cycles.
  EXPECT_EQ(TGuiCensus::ChangeOver(kCensusCycles / 4, cycle), TGuiCensus());
}

}  // namespace
