#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "framework/win/TApplication.h"
#include "framework/win/TBitmap.h"
#include "framework/win/TCustomForm.h"
#include "framework/win/TMainMenu.h"
#include "framework/win/TMenuItem.h"
#include "framework/win/TScreen.h"
#include "skin/controls/TsMDIForm.h"
#include "skin/controls/TsPanel.h"
#include "skin/controls/TsScrollBar.h"
#include "skin/engine/SkinCommands.h"
#include "skin/engine/SkinSectionPainter.h"
#include "skin/engine/TsSkinManager.h"
#include "skin/engine/core/SkinTables.h"
#include "skin/engine/core/TsSkinData.h"
#include "skin/windows/TsSkinProvider.h"
#include "skin/windows/TsSystemMenu.h"
#include "tests/framework/win/TGuiCensus.h"
#include "tests/framework/win/TestSupport.h"
#include "tests/skin/controls/MdiTestFrame.h"
#include "tests/skin/windows/MaximizeSupport.h"
#include "tests/skin/windows/ScribbleFreed.h"

namespace {

constexpr int kCensusCycles = 200;

// A key pressed and let go with Ctrl held, as the keyboard sends it.
void PressWithCtrl(WORD key) {
  INPUT in[4] = {};
  const WORD keys[4] = {VK_CONTROL, key, key, VK_CONTROL};
  for (int i = 0; i < 4; ++i) {
    in[i].type = INPUT_KEYBOARD;
    in[i].ki.wVk = keys[i];
    in[i].ki.dwFlags = i < 2 ? 0 : KEYEVENTF_KEYUP;
  }
  SendInput(4, in, sizeof(INPUT));
}

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
    Frame = NewMdiTestFrame();
    ASSERT_EQ(Application->MainForm(), Frame);
    Menu = Frame->MainMenu();
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
    FreeMdiForms(Frame);
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
  TMdiSheet* AddChild() {
    TMdiSheet* child = nullptr;
    Application->CreateForm(child);
    child->SetCaption("Sheet " + std::to_string(ChildCount()));
    // Its menu merges into the frame's band while it is the active child.
    auto* menu = NewComponent<TMainMenu>(child);
    auto* item = NewComponent<TMenuItem>(child);
    item->SetCaption("&Sheet");
    item->SetGroupIndex(2);
    menu->Items()->Add(item);
    child->SetMenu(menu);
    child->Provider->SetResizeMode(TsResizeMode::rmBorder);
    Pump();
    return child;
  }
  std::vector<TMdiSheet*> Children() const {
    std::vector<TMdiSheet*> out;
    for (int i = 0; i < Frame->MDIChildCount(); ++i)
      if (auto* sheet = dynamic_cast<TMdiSheet*>(Frame->MDIChildren(i))) out.push_back(sheet);
    return out;
  }
  TMdiSheet* Active() const { return dynamic_cast<TMdiSheet*>(Frame->ActiveMDIChild()); }
  // The band's place of the maximized child's buttons, whether they show or not (window coordinates).
  std::vector<TsCaptionSlot> ChildSlots() {
    TsFrameFacts f = FrameProvider->FrameFacts();
    f.ChildButtonsShown = true;
    return ChildButtonSlots(f, TsSkinProvider::SystemSizes());
  }
  // The band under the child buttons as the frame's window image holds it.
  std::vector<std::uint32_t> BandPixels() {
    std::vector<std::uint32_t> out;
    TBitmap* image = FrameProvider->WindowImage();
    if (image == nullptr) return out;
    for (const TsCaptionSlot& s : ChildSlots())
      for (int y = s.Rect.Top; y < s.Rect.Bottom; ++y) {
        const std::uint8_t* row = image->ScanLine(y);
        for (int x = s.Rect.Left; x < s.Rect.Right; ++x)
          out.push_back(row[3 * x] | row[3 * x + 1] << 8 | std::uint32_t(row[3 * x + 2]) << 16);
      }
    return out;
  }
  // The window image's title, and the band where the child buttons go, as they stand (the menu's
  // items are left out: one may be hot under the mouse).
  std::vector<std::uint32_t> TitleAndButtonPixels() {
    std::vector<std::uint32_t> out = BandPixels();
    TBitmap* image = FrameProvider->WindowImage();
    if (image == nullptr) return out;
    const TsFrameFacts f = FrameProvider->FrameFacts();
    const int height = ::FrameBorderHeight(f, TsSkinProvider::SystemSizes()) + ::TitleBarHeight(f, TsSkinProvider::SystemSizes());
    for (int y = 0; y < height && y < image->Height(); ++y) {
      const std::uint8_t* row = image->ScanLine(y);
      for (int x = 0; x < image->Width(); ++x)
        out.push_back(row[3 * x] | row[3 * x + 1] << 8 | std::uint32_t(row[3 * x + 2]) << 16);
    }
    return out;
  }
  // What a user sees of the frame, its band and its children, with the active child maximized or
  // not: the child buttons answer at their places and stand in the window image, the child-icon
  // item heads the menu, the skinned MDI bars are gone while a child is maximized, every frame is
  // painted fresh, each child drawn active or not as it is, and its system menu offers what its
  // state allows.
  void ExpectFrameShows(bool maximized) {
    TsMDIForm* mdi = FrameProvider->MDIForm();
    ASSERT_NE(mdi, nullptr);
    TMenuItem* head = Menu->Items()->Count() > 0 ? Menu->Items()->Items(0) : nullptr;
    if (!Skinned()) {
      // The platform shows the maximized child's icon and buttons in the bar itself.
      EXPECT_NE(head, mdi->ChildIconItem());
      return;
    }
    EXPECT_EQ(head == mdi->ChildIconItem(), maximized);
    EXPECT_EQ(FrameProvider->FrameFacts().ChildButtonsShown, maximized);
    const RECT w = WindowOf(Frame);
    for (const TsCaptionSlot& s : ChildSlots()) {
      const int code = FrameProvider->HitTest(w.left + (s.Rect.Left + s.Rect.Right) / 2,
                                              w.top + (s.Rect.Top + s.Rect.Bottom) / 2);
      if (maximized)
        EXPECT_EQ(code, s.Code);
      else
        EXPECT_NE(code, s.Code);
    }
    // Away from the frame: a refresh paints a band button under the mouse hot.
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
    FrameProvider->SetHotButton(0);
    Pump();
    EXPECT_FALSE(FrameProvider->SkinData()->RepaintNeeded()) << "the frame waits for a repaint";
    // The caption shown is the window's text, which the platform sets to name the maximized child.
    char text[256] = "";
    DefWindowProcA(Frame->Handle(), WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    EXPECT_EQ(FrameProvider->ShownCaption(), text);
    // The title and the band on the screen are the cache's: a fresh paint now changes nothing.
    const std::vector<std::uint32_t> shown = TitleAndButtonPixels();
    SendSkinCommand(Frame->Handle(), SkinCommand::Refresh);  // the title's cache forgotten too
    Pump();
    EXPECT_TRUE(shown == TitleAndButtonPixels()) << "the frame shows a stale title or band";
    if (!CleanBand.empty()) {
      if (maximized)
        EXPECT_NE(BandPixels(), CleanBand) << "no child buttons in the window image";
      else
        EXPECT_EQ(BandPixels(), CleanBand) << "something of the child buttons stays in the window image";
    }
    if (maximized) {
      EXPECT_EQ(mdi->VScrollBar(), nullptr);
      EXPECT_EQ(mdi->HScrollBar(), nullptr);
      EXPECT_EQ(mdi->Grip(), nullptr);
    }
    for (TMdiSheet* child : Children()) {
      SCOPED_TRACE(child->Caption() + (IsIconic(child->Handle()) ? " iconic" : IsZoomed(child->Handle()) ? " zoomed" : ""));
      HWND h = child->Handle();
      EXPECT_EQ(child->Provider->FormActive(), child == Active());
      const bool hidden = child != Active() && maximized;
      if (!hidden && IsWindowVisible(h)) {
        EXPECT_FALSE(child->Provider->SkinData()->RepaintNeeded());
      }
      TsSystemMenu* menu = child->Provider->SystemMenu();
      EXPECT_EQ(menu->ItemRestore()->Enabled(), IsZoomed(h) || IsIconic(h));
      EXPECT_EQ(menu->ItemMaximize()->Enabled(), !IsZoomed(h));
    }
  }
  static RECT WindowOf(TCustomForm* form) {
    RECT r;
    GetWindowRect(form->Handle(), &r);
    return r;
  }

  TMdiTestFrame* Frame = nullptr;
  TMainMenu* Menu = nullptr;
  TsSkinProvider* FrameProvider = nullptr;
  TMdiSheet* Child = nullptr;
  TsSkinManager* Manager = nullptr;
  // The band where the child buttons go, as the window image holds it with no child maximized.
  std::vector<std::uint32_t> CleanBand;
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

// A child moved (its position only) or activated puts the frame's skinned bars in step with the
// client's scroll ranges, without anyone asking the frame for it.
TEST_P(SkinProviderMDIFrame, AChildMovedOrActivatedPutsTheSkinnedBarsInStepWithTheClient) {
  if (!Skinned()) GTEST_SKIP() << "the bars are the skin's";
  HWND client = Frame->ClientHandle();
  // The client's own reckoning of its ranges, on the message it posts itself after a child moved,
  // is kept out: the test prefix reckons them to none.
  SUBCLASSPROC keepRanges = [](HWND w, UINT m, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) -> LRESULT {
    if (m == 0x003F) return 0;  // WM_MDICALCCHILDSCROLL
    return DefSubclassProc(w, m, wp, lp);
  };
  ASSERT_TRUE(SetWindowSubclass(client, keepRanges, 3, 0));
  SetClientScrollRange(client, SB_VERT, -50, 400, 200);
  SetClientScrollRange(client, SB_HORZ, -50, 400, 300);
  Pump();
  TsMDIForm* mdi = FrameProvider->MDIForm();
  ASSERT_EQ(mdi->VScrollBar(), nullptr);
  ASSERT_EQ(mdi->HScrollBar(), nullptr);

  Child->SetBounds(Child->Left() + 30, Child->Top() + 20, Child->Width(), Child->Height());
  EXPECT_TRUE(PumpUntil([&] { return mdi->VScrollBar() != nullptr && mdi->HScrollBar() != nullptr; }));
  if (mdi->VScrollBar() != nullptr && mdi->HScrollBar() != nullptr) {
    EXPECT_EQ(mdi->VScrollBar()->Max(), 400 - 200 + 50 + 1);
    EXPECT_EQ(mdi->HScrollBar()->Max(), 400 - 300 + 50 + 1);
    EXPECT_TRUE(mdi->VScrollBar()->Visible());
    EXPECT_NE(mdi->Grip(), nullptr);
  }
  // The child activated once more (the platform tells the child itself first).
  SetClientScrollRange(client, SB_VERT, -50, 400, 100);
  SendMessageA(Child->Handle(), WM_CHILDACTIVATE, 0, 0);
  EXPECT_TRUE(PumpUntil([&] { return mdi->VScrollBar() != nullptr && mdi->VScrollBar()->Max() == 400 - 100 + 50 + 1; }));
  RemoveWindowSubclass(client, keepRanges, 3);
}

// A child released by its own handler frees its provider while the provider's window procedure
// still runs: nothing of the provider is read after that.
TEST_P(SkinProviderMDIFrame, AChildReleasedFromItsOwnMessageIsGoneCleanly) {
  const TScribbleFreed scribble;
  Child->Release();
  Pump();
  for (int i = 0; i < Screen->FormCount(); ++i) EXPECT_NE(Screen->Forms(i)->FormStyle(), fsMDIChild);
}

// Each step a user takes with a maximized child leaves the frame as the step says: maximized by
// its caption button, restored and minimized from the band, and back.
TEST_P(SkinProviderMDIFrame, MaximizeRestoreAndMinimizeFromTheBandLeaveTheFrameInStep) {
  TMdiSheet* second = AddChild();
  ASSERT_EQ(Active(), second);
  CleanBand = BandPixels();
  {
    SCOPED_TRACE("restored");
    ExpectFrameShows(false);
  }
  ClickAt(MaximizeButtonPoint(second, second->Provider));
  ASSERT_TRUE(PumpUntil([&] { return IsZoomed(second->Handle()); }));
  {
    SCOPED_TRACE("maximized by its caption button");
    ExpectFrameShows(true);
  }
  ClickAt(ChildButtonPoint(TsHit::ChildRestore));
  ASSERT_TRUE(PumpUntil([&] { return !IsZoomed(second->Handle()); }));
  {
    SCOPED_TRACE("restored from the band");
    ExpectFrameShows(false);
  }
  second->Provider->SystemMenu()->ItemMaximize()->Click();
  ASSERT_TRUE(PumpUntil([&] { return IsZoomed(second->Handle()); }));
  {
    SCOPED_TRACE("maximized from its system menu");
    ExpectFrameShows(true);
  }
  ClickAt(ChildButtonPoint(TsHit::ChildMinimize));
  ASSERT_TRUE(PumpUntil([&] { return IsIconic(second->Handle()); }));
  {
    SCOPED_TRACE("minimized from the band");
    ExpectFrameShows(Active() != nullptr && IsZoomed(Active()->Handle()));
  }
}

// Ctrl+F6 with a maximized child brings the next one up maximized, as the platform does, and the
// band follows; Ctrl+F4 and the band's close button close the active maximized child, the next
// takes its place maximized, and after the last one nothing of it stays in the band.
TEST_P(SkinProviderMDIFrame, NextAndCloseKeysAndTheBandsCloseKeepTheBandInStep) {
  TMdiSheet* second = AddChild();
  TMdiSheet* third = AddChild();
  CleanBand = BandPixels();
  SendMessageA(third->Handle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  ASSERT_TRUE(PumpUntil([&] { return IsZoomed(third->Handle()); }));
  PressWithCtrl(VK_F6);
  ASSERT_TRUE(PumpUntil([&] { return Active() != third; }));
  Pump();
  ASSERT_NE(Active(), nullptr);
  EXPECT_TRUE(IsZoomed(Active()->Handle()));
  EXPECT_FALSE(IsZoomed(third->Handle()));
  {
    SCOPED_TRACE("next child by Ctrl+F6");
    ExpectFrameShows(true);
  }
  PressWithCtrl(VK_F4);
  ASSERT_TRUE(PumpUntil([&] { return ChildCount() == 2; }));
  Pump();
  ASSERT_NE(Active(), nullptr);
  EXPECT_TRUE(IsZoomed(Active()->Handle()));
  {
    SCOPED_TRACE("closed by Ctrl+F4");
    ExpectFrameShows(true);
  }
  ClickAt(ChildButtonPoint(TsHit::ChildClose));
  ASSERT_TRUE(PumpUntil([&] { return ChildCount() == 1; }));
  Pump();
  ASSERT_NE(Active(), nullptr);
  EXPECT_TRUE(IsZoomed(Active()->Handle()));
  {
    SCOPED_TRACE("closed from the band");
    ExpectFrameShows(true);
  }
  // Clicked beside the first click's place: the same place would make it a double-click.
  POINT beside = ChildButtonPoint(TsHit::ChildClose);
  beside.x -= GetSystemMetrics(SM_CXDOUBLECLK);
  ClickAt(beside);
  ASSERT_TRUE(PumpUntil([&] { return ChildCount() == 0; }));
  Child = nullptr;
  Pump();
  {
    SCOPED_TRACE("the last closed");
    ExpectFrameShows(false);
  }
  (void)second;
}

// The frame's own minimize, maximize and restore keep a maximized child's band.
TEST_P(SkinProviderMDIFrame, TheFramesOwnSizeCommandsKeepTheMaximizedChildsBand) {
  CleanBand = BandPixels();
  MaximizeChild();
  for (const WPARAM command : {SC_MINIMIZE, SC_RESTORE, SC_MAXIMIZE, SC_RESTORE}) {
    SCOPED_TRACE(command);
    SendMessageA(Frame->Handle(), WM_SYSCOMMAND, command, 0);
    Pump();
    if (IsIconic(Frame->Handle())) continue;
    EXPECT_TRUE(IsZoomed(Child->Handle()));
    ExpectFrameShows(true);
  }
}

// Maximizing, restoring and closing children through the band leaves no handle behind.
TEST_P(SkinProviderMDIFrame, AMaximizeRestoreCloseCycleLeavesNoHandleBehind) {
  auto cycle = [&] {
    TMdiSheet* sheet = AddChild();
    SendMessageA(sheet->Handle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    Pump();
    SendMessageA(Frame->Handle(), WM_NCPAINT, 1, 0);
    SendMessageA(sheet->Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
    Pump();
    SendMessageA(sheet->Handle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    Pump();
    SendMessageA(sheet->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    Pump();
  };
  EXPECT_EQ(TGuiCensus::ChangeOver(kCensusCycles / 10, cycle), TGuiCensus());
}

// The skin taken off while a child is maximized takes the child-icon item out of the menu (the
// platform shows the child's buttons then); put back on, the item comes back.
TEST_P(SkinProviderMDIFrame, TheChildIconItemGoesAndComesWithTheSkin) {
  if (!Skinned()) GTEST_SKIP() << "the skin is switched";
  CleanBand = BandPixels();
  MaximizeChild();
  TMenuItem* item = FrameProvider->MDIForm()->ChildIconItem();
  ASSERT_EQ(Menu->Items()->Items(0), item);
  Manager->SetActive(false);
  Pump();
  EXPECT_NE(Menu->Items()->Items(0), item);
  EXPECT_EQ(Menu->Items()->Count(), 1);
  Manager->SetActive(true);
  Pump();
  EXPECT_EQ(Menu->Items()->Items(0), item);
  ExpectFrameShows(true);
}

}  // namespace
