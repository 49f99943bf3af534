#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>

#include "framework/win/TApplication.h"
#include "framework/win/TBitmap.h"
#include "framework/win/TCustomForm.h"
#include "framework/win/TMainMenu.h"
#include "framework/win/TMenuItem.h"
#include "framework/win/TScreen.h"
#include "skin/controls/TsMDIForm.h"
#include "skin/engine/SkinSectionPainter.h"
#include "skin/engine/TsSkinManager.h"
#include "skin/engine/core/SkinTables.h"
#include "skin/engine/core/TsSkinData.h"
#include "skin/windows/TsSkinProvider.h"
#include "tests/framework/win/TestSupport.h"
#include "tests/skin/windows/MaximizeSupport.h"
#include "tests/skin/windows/ScribbleFreed.h"

namespace {

class TMdiMain : public TForm {
public:
  explicit TMdiMain(TComponent* owner) : TForm(owner) {
    SetFormStyle(fsMDIForm);
    SetBounds(40, 40, 560, 400);
    SetCaption("Frame");
  }
};
class TMdiSheet : public TForm {
public:
  explicit TMdiSheet(TComponent* owner) : TForm(owner) {
    SetFormStyle(fsMDIChild);
    SetBounds(20, 20, 220, 140);
    SetCaption("Sheet");
    SetOnClose(TCloseEvent::FromFunctor([](TObject*, TCloseAction& action) { action = caFree; }));
    Provider = NewComponent<TsSkinProvider>(this);
  }
  TsSkinProvider* Provider = nullptr;
};

// A main MDI form with a menu and one child, each with its provider, in the look of the parameter.
class SkinProviderMDIFrame : public ::testing::TestWithParam<const char*> {
protected:
  void SetUp() override {
    Application->Initialize();
    ASSERT_EQ(Application->MainForm(), nullptr);
    Application->CreateForm(Frame);
    Menu = NewComponent<TMainMenu>(Frame);
    auto* file = NewComponent<TMenuItem>(Frame);
    file->SetCaption("&File");
    Menu->Items()->Add(file);
    Frame->SetMenu(Menu);
    FrameProvider = NewComponent<TsSkinProvider>(Frame);
    Frame->Show();
    Pump();
    Application->CreateForm(Child);
    Pump();
    if (std::string(GetParam()) != "none") {
      Manager = NewBundledSkinManager(GetParam());
      Pump();
      ASSERT_TRUE(Child->Provider->Skinned());
    }
  }
  void TearDown() override {
    for (int i = Screen->FormCount() - 1; i >= 0; --i)
      if (Screen->Forms(i)->FormStyle() == fsMDIChild) Screen->Forms(i)->Free();
    Frame->Free();
    if (Manager) Manager->Free();
    InstallSkinTables({});
    ::SkinData().Active = false;
    Pump();
  }
  bool Skinned() const { return std::string(GetParam()) != "none"; }
  int ChildCount() const {
    int n = 0;
    for (int i = 0; i < Screen->FormCount(); ++i) n += Screen->Forms(i)->FormStyle() == fsMDIChild ? 1 : 0;
    return n;
  }
  // The screen point in the middle of the maximized child's button in the frame's menu band: the
  // skin's, or without a skin the platform's (the last three items of the frame's menu bar).
  POINT ChildButtonPoint(int code) {
    RECT r{};
    if (Skinned()) {
      const RECT w = WindowOf(Frame);
      for (const TsCaptionSlot& s : ChildButtonSlots(FrameProvider->FrameFacts(), TsSkinProvider::SystemSizes()))
        if (s.Code == code) r = RECT{w.left + s.Rect.Left, w.top + s.Rect.Top, w.left + s.Rect.Right, w.top + s.Rect.Bottom};
    } else {
      HMENU bar = GetMenu(Frame->Handle());
      const int last = GetMenuItemCount(bar) - 1;
      GetMenuItemRect(Frame->Handle(), bar, last - (code - TsHit::ChildClose), &r);
    }
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
  void MaximizeChild() {
    SendMessageA(Child->Handle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    Pump();
    ASSERT_TRUE(IsZoomed(Child->Handle()));
  }
  static RECT WindowOf(TCustomForm* form) {
    RECT r;
    GetWindowRect(form->Handle(), &r);
    return r;
  }

  TMdiMain* Frame = nullptr;
  TMainMenu* Menu = nullptr;
  TsSkinProvider* FrameProvider = nullptr;
  TMdiSheet* Child = nullptr;
  TsSkinManager* Manager = nullptr;
};

INSTANTIATE_TEST_SUITE_P(Looks, SkinProviderMDIFrame, ::testing::Values("none", "Desert", "Nocturne"));

// A maximized child's three buttons in the frame's menu band restore, minimize and close it,
// clicked as a user clicks them.
TEST_P(SkinProviderMDIFrame, TheMaximizedChildsButtonsInTheBandRestoreMinimizeAndClose) {
  MaximizeChild();
  ClickAt(ChildButtonPoint(TsHit::ChildRestore));
  EXPECT_TRUE(PumpUntil([&] { return !IsZoomed(Child->Handle()); }));
  EXPECT_FALSE(IsIconic(Child->Handle()));
  // The band is the main form's own again: its first item, no child buttons.
  EXPECT_TRUE(PumpUntil([&] { return Menu->Items()->Items(0)->Caption() == "&File"; }));
  EXPECT_FALSE(FrameProvider->FrameFacts().ChildButtonsShown);

  MaximizeChild();
  ClickAt(ChildButtonPoint(TsHit::ChildMinimize));
  EXPECT_TRUE(PumpUntil([&] { return IsIconic(Child->Handle()); }));

  MaximizeChild();
  ClickAt(ChildButtonPoint(TsHit::ChildClose));
  EXPECT_TRUE(PumpUntil([&] { return ChildCount() == 0; }));
  Child = nullptr;
  EXPECT_TRUE(PumpUntil([&] { return Menu->Items()->Items(0)->Caption() == "&File"; }));
  EXPECT_FALSE(FrameProvider->FrameFacts().ChildButtonsShown);
}

// The maximized child's menu shows in the frame's band beside the frame's own items, painted by
// the skin's menu painter; a click on its item opens it and its command reaches the child's item.
TEST_P(SkinProviderMDIFrame, TheMaximizedChildsMenuIsMergedIntoTheBandAndOpens) {
  auto* childMenu = NewComponent<TMainMenu>(Child);
  auto* edit = NewComponent<TMenuItem>(Child);
  edit->SetCaption("&Edit");
  edit->SetGroupIndex(1);
  childMenu->Items()->Add(edit);
  auto* copy = NewComponent<TMenuItem>(Child);
  copy->SetCaption("&Copy");
  edit->Add(copy);
  int copies = 0;
  copy->SetOnClick(TNotifyEvent::FromFunctor([&](TObject*) { ++copies; }));
  Child->SetMenu(childMenu);
  MaximizeChild();
  ASSERT_EQ(Menu->Merged(), childMenu);
  if (Skinned()) {
    EXPECT_TRUE(PumpUntil([&] { return bool(edit->OnAdvancedDrawItem()); }));
  }

  HMENU bar = GetMenu(Frame->Handle());
  int index = -1;
  for (int i = 0; i < GetMenuItemCount(bar); ++i)
    if (GetSubMenu(bar, i) != nullptr && GetSubMenu(bar, i) == edit->Handle()) index = i;
  ASSERT_GE(index, 0);
  RECT r{};
  ASSERT_TRUE(GetMenuItemRect(Frame->Handle(), bar, UINT(index), &r));
  RunLater(200, [&] {
    PostMessageA(Frame->Handle(), WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(Frame->Handle(), WM_KEYDOWN, VK_RETURN, 0);
  });
  RunLater(3000, [] { EndMenu(); });  // never left open, whatever happens to the keys
  ClickAt(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
  EXPECT_TRUE(PumpUntil([&] { return copies == 1; }));
}

// The main form is drawn active while its maximized child is the active one, whatever passing
// deactivation the platform sends it; with the child restored a deactivation shows at once.
TEST_P(SkinProviderMDIFrame, TheMainFormStaysDrawnActiveOverItsActiveMaximizedChild) {
  if (!Skinned()) GTEST_SKIP() << "the platform draws the frame";
  MaximizeChild();
  ASSERT_TRUE(Child->Active());
  SendMessageA(Frame->Handle(), WM_NCACTIVATE, FALSE, 0);
  EXPECT_TRUE(FrameProvider->FormActive());
  SendMessageA(Child->Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
  Pump();
  ASSERT_FALSE(IsZoomed(Child->Handle()));
  SendMessageA(Frame->Handle(), WM_NCACTIVATE, FALSE, 0);
  EXPECT_FALSE(FrameProvider->FormActive());
  SendMessageA(Frame->Handle(), WM_NCACTIVATE, TRUE, 0);
  EXPECT_TRUE(FrameProvider->FormActive());
}

// The client of a skinned MDI main form shows the skin's MDI area: the frame's window image holds
// that section over the client area.
TEST_P(SkinProviderMDIFrame, TheWindowImageHoldsTheMDIAreaOverTheClient) {
  if (!Skinned()) GTEST_SKIP() << "no image without a skin";
  RedrawWindow(Frame->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
  Pump();
  TBitmap* image = FrameProvider->WindowImage();
  TsMDIForm* mdi = FrameProvider->MDIForm();
  ASSERT_NE(image, nullptr);
  ASSERT_NE(mdi, nullptr);
  const RECT area{mdi->ClientAreaLeft(), mdi->ClientAreaTop(), mdi->ClientAreaLeft() + mdi->ClientAreaWidth(),
                  mdi->ClientAreaTop() + mdi->ClientAreaHeight()};
  ASSERT_GT(area.right - area.left, 0);
  TBitmap expected;
  expected.Assign(image);
  PaintSectionByIndex(ActiveSkin(), FindSectionIndex("MDIAREA"), "MDIAREA", TsCacheInfo{&expected, 0, 0, true}, &expected,
                      POINT{0, 0}, area, FrameProvider->FormActive() ? TsSkinState::Normal : TsSkinState::Hot, true);
  int differing = 0;
  for (int y = area.top; y < area.bottom; ++y)
    differing += std::memcmp(image->ScanLine(y) + 3 * area.left, expected.ScanLine(y) + 3 * area.left,
                             std::size_t(3 * (area.right - area.left))) != 0;
  EXPECT_EQ(differing, 0);
}

// The outline follows the mouse on the screen; the child lands where the outline was, in its
// parent's client area.
TEST_P(SkinProviderMDIFrame, AChildDraggedByItsOutlineMovesAsFarAsTheMouse) {
  if (std::string(GetParam()) == "none") GTEST_SKIP() << "the outline drag is the skin's";
  Child->Provider->SetResizeMode(TsResizeMode::rmBorder);
  HWND h = Child->Handle();
  const RECT before = WindowOf(Child);
  const POINT press{before.left + 40, before.top + Child->Provider->FrameBorderHeight() +
                                          Child->Provider->TitleBarHeight() / 2};
  SendMessageA(h, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(press.x, press.y));
  ASSERT_TRUE(Child->Provider->Dragging());
  POINT to{press.x + 25, press.y + 12};
  ScreenToClient(h, &to);
  SendMessageA(h, WM_MOUSEMOVE, 0, MAKELPARAM(to.x, to.y));
  SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
  EXPECT_FALSE(Child->Provider->Dragging());
  const RECT after = WindowOf(Child);
  EXPECT_EQ(after.left - before.left, 25);
  EXPECT_EQ(after.top - before.top, 12);
  EXPECT_EQ(after.right - after.left, before.right - before.left);
}

// A child released by its own handler frees its provider while the provider's window procedure
// still runs: nothing of the provider is read after that.
TEST_P(SkinProviderMDIFrame, AChildReleasedFromItsOwnMessageIsGoneCleanly) {
  const TScribbleFreed scribble;
  Child->Release();
  Pump();
  for (int i = 0; i < Screen->FormCount(); ++i) EXPECT_NE(Screen->Forms(i)->FormStyle(), fsMDIChild);
}

}  // namespace
