#include <gtest/gtest.h>

#include <vector>

#include "skin/windows/core/TsFrameGeometry.h"
#include "skin/windows/core/TsWindowRules.h"

namespace {

// Sizes unlike both the platform's and Wine's, so nothing passes by matching a default.
TsSystemSizes Sizes() {
  TsSystemSizes s;
  s.Caption = 23;
  s.SmallCaption = 17;
  s.FixedFrameX = 3;
  s.FixedFrameY = 3;
  s.FrameX = 5;
  s.FrameY = 6;
  s.Menu = 20;
  s.MenuSizeX = 19;
  return s;
}

TsFrameFacts Form(int width = 400, int height = 300) {
  TsFrameFacts f;
  f.Width = width;
  f.Height = height;
  f.ClientWidth = width - 10;
  f.ClientHeight = height - 6 - 23 - 6;
  f.CloseMask = {18, 16};
  return f;
}

int CodeAt(const TsFrameFacts& f, int x, int y) {
  return FrameHitTest(f, Sizes(), CaptionSlots(f, Sizes()), x, y).Code;
}

TEST(FrameMetrics, FromTheSystemSizesAndTheMasks) {
  TsFrameFacts f = Form();
  EXPECT_EQ(TitleBarHeight(f, Sizes()), 23);
  EXPECT_EQ(FrameBorderWidth(f, Sizes()), 5);
  f.Window.Border = TsBorderKind::Single;
  EXPECT_EQ(FrameBorderWidth(f, Sizes()), 3);
  f.Window.Border = TsBorderKind::Dialog;
  EXPECT_EQ(FrameBorderHeight(f, Sizes()), 3);
  f.MdiChild = true;  // a dialog-styled MDI child keeps the sizing frame
  EXPECT_EQ(FrameBorderHeight(f, Sizes()), 6);
  f = Form();
  f.Window.Border = TsBorderKind::SizeToolWin;
  EXPECT_EQ(TitleBarHeight(f, Sizes()), 17);

  f = Form();
  EXPECT_EQ(ButtonSize(f), (TsSize{18, 16}));
  f.CloseMask = {};
  EXPECT_EQ(ButtonSize(f), (TsSize{21, 21}));  // no close mask
  EXPECT_EQ(MenuLineHeight(f, Sizes()), 0);
  f.HasMenu = true;
  EXPECT_EQ(MenuLineHeight(f, Sizes()), 19);
}

TEST(FrameMetrics, IconSizeFollowsTheCaptionHeight) {
  const std::vector<std::pair<int, int>> table = {{8, 0}, {9, 8}, {16, 8}, {17, 16}, {24, 16}, {25, 24}, {32, 24},
                                                  {33, 32}, {60, 32}};
  for (auto [h, size] : table) EXPECT_EQ(IconSizeByCaption(h), size) << h;
  TsFrameFacts f = Form();
  EXPECT_EQ(IconRect(f, Sizes()), (TRect{5, (23 + 6 - 16) / 2, 21, (23 + 6 - 16) / 2 + 16}));
  f.Window.Border = TsBorderKind::Dialog;  // no icon on dialogs
  EXPECT_EQ(IconRect(f, Sizes()).Width(), 0);
  f = Form();
  f.TitleIcon = {12, 10};
  EXPECT_EQ(IconRect(f, Sizes()).Width(), 12);
  EXPECT_EQ(IconRect(f, Sizes()).Height(), 10);
}

TEST(FrameMetrics, MenuBandAndTopHeight) {
  TsFrameFacts f = Form();
  f.HasMenu = true;
  EXPECT_FALSE(HasMenuBand(f));  // every top-level item hidden
  f.MenuItemsVisible = true;
  f.MenuRows = 2;
  EXPECT_TRUE(HasMenuBand(f));
  EXPECT_EQ(FrameTopHeight(f, Sizes()), 2 * 19 + 6 + 23);
  f.Window.Border = TsBorderKind::Dialog;
  EXPECT_FALSE(HasMenuBand(f));
  f = Form();
  f.HasMenu = f.MenuItemsVisible = true;
  f.MdiChild = true;
  EXPECT_FALSE(HasMenuBand(f));
}

TEST(CaptionSlots, CloseKeepsItsSlotAndSlotsRunRightToLeft) {
  TsFrameFacts f = Form();
  f.Window.Icons = kIconSystemMenu | kIconMinimize | kIconMaximize | kIconHelp;
  f.UserButtonsEnabled = {true, false};
  const std::vector<TsCaptionSlot> slots = CaptionSlots(f, Sizes());
  ASSERT_EQ(slots.size(), 6u);
  const int codes[] = {TsHit::Close, TsHit::MaxButton, TsHit::MinButton, TsHit::Help, 1000, 1001};
  for (std::size_t i = 0; i < slots.size(); ++i) {
    EXPECT_EQ(slots[i].Code, codes[i]);
    EXPECT_EQ(slots[i].Rect.Left, 400 - 5 - int(i + 1) * 19);
    EXPECT_EQ(slots[i].Rect.Width(), 18);
  }
  EXPECT_FALSE(slots[5].Answers);
  // The slots take the same room whatever glyph masks the skin has: the caption width follows them.
  EXPECT_EQ(CaptionTextRect(f, Sizes(), 6).Right, 400 - 6 * 19 - 6);
}

TEST(CaptionSlots, MaximizedAndIconicShowTheRestoreGlyph) {
  TsFrameFacts f = Form();
  f.Window.State = TsShowState::Maximized;
  std::vector<TsCaptionSlot> slots = CaptionSlots(f, Sizes());
  EXPECT_EQ(slots[1].Glyph, TsButtonGlyph::Restore);
  EXPECT_TRUE(slots[1].Enabled);
  f = Form();
  f.Window.State = TsShowState::Minimized;
  f.Window.Iconic = true;
  f.Window.Border = TsBorderKind::Dialog;  // iconic: both buttons whatever the border
  slots = CaptionSlots(f, Sizes());
  ASSERT_EQ(slots.size(), 3u);
  EXPECT_EQ(slots[2].Glyph, TsButtonGlyph::Restore);
}

// Every pixel a button paints answers its code, and the pixel between two slots belongs to the
// slot on its left; skins with and without the close mask lay out alike but for the size.
TEST(FrameHitTest, PaintedRectanglesAreHitRectangles) {
  for (TsSize mask : {TsSize{18, 16}, TsSize{}, TsSize{14, 12}}) {
    TsFrameFacts f = Form();
    f.CloseMask = mask;
    f.Window.Icons = kIconSystemMenu | kIconMinimize | kIconMaximize | kIconHelp;
    f.UserButtonsEnabled = {true};
    for (const TsCaptionSlot& slot : CaptionSlots(f, Sizes())) {
      for (int y = slot.Rect.Top; y < slot.Rect.Bottom; ++y)
        for (int x = slot.Rect.Left; x <= slot.Rect.Right; ++x) {
          const TsHitResult hit = FrameHitTest(f, Sizes(), CaptionSlots(f, Sizes()), x, y);
          ASSERT_EQ(hit, (TsHitResult{slot.Code, true})) << x << "," << y << " mask " << mask.Width;
        }
    }
  }
}

TEST(FrameHitTest, Table) {
  TsFrameFacts f = Form();
  const std::vector<TsCaptionSlot> slots = CaptionSlots(f, Sizes());
  const int top = slots[0].Rect.Top, mid = (slots[0].Rect.Top + slots[0].Rect.Bottom) / 2;
  struct Row {
    int X, Y, Code;
  } rows[] = {
      {5, mid, TsHit::SysMenu},                  // icon column, left edge
      {21, mid, TsHit::SysMenu},                 // icon column, right edge inclusive
      {22, mid, TsHit::Caption},                 // caption text
      {slots[0].Rect.Left, top, TsHit::Close},   // slot corner
      {slots[0].Rect.Right, mid, TsHit::Close},  // right edge inclusive
      {slots[1].Rect.Right, mid, TsHit::MaxButton},
      {slots[2].Rect.Left, mid, TsHit::MinButton},
      {slots[2].Rect.Left - 1, mid, TsHit::Caption},  // left of the last slot
      {200, top - 1, TsHit::Nowhere},                 // above the band: the platform answers
      {2, mid, TsHit::Nowhere},                       // the left border stays a sizing edge
      {200, 150, TsHit::Nowhere},                     // client area
  };
  for (const Row& r : rows) EXPECT_EQ(CodeAt(f, r.X, r.Y), r.Code) << r.X << "," << r.Y;
}

TEST(FrameHitTest, DisabledIconicMaximizedAndGrip) {
  TsFrameFacts f = Form();
  f.Window.Icons = kIconSystemMenu | kIconMaximize;  // minimize disabled
  std::vector<TsCaptionSlot> slots = CaptionSlots(f, Sizes());
  const int mid = (slots[0].Rect.Top + slots[0].Rect.Bottom) / 2;
  EXPECT_EQ(FrameHitTest(f, Sizes(), slots, slots[2].Rect.Left, mid), (TsHitResult{TsHit::Caption, false}));
  f.Window.Iconic = true;
  f.Window.State = TsShowState::Minimized;
  slots = CaptionSlots(f, Sizes());
  EXPECT_EQ(FrameHitTest(f, Sizes(), slots, slots[2].Rect.Left, mid).Code, TsHit::MinButton);
  EXPECT_EQ(FrameHitTest(f, Sizes(), slots, slots[1].Rect.Left, mid).Code, TsHit::MaxButton);

  f = Form();
  f.Window.Icons = kIconSystemMenu;  // neither maximize nor restore enabled
  slots = CaptionSlots(f, Sizes());
  EXPECT_EQ(FrameHitTest(f, Sizes(), slots, slots[1].Rect.Left, mid).Code, TsHit::Caption);

  f = Form();
  f.Window.State = TsShowState::Maximized;
  EXPECT_EQ(CodeAt(f, 1, 150), TsHit::Transparent);
  EXPECT_EQ(CodeAt(f, 398, 150), TsHit::Transparent);
  EXPECT_EQ(CodeAt(f, 397, 150), TsHit::Nowhere);

  f = Form();
  f.GripShown = true;
  f.Grip = {12, 12};
  const TRect g = GripRect(f, Sizes());
  EXPECT_EQ(CodeAt(f, g.Left, g.Top), TsHit::BottomRight);
  EXPECT_EQ(CodeAt(f, g.Left - 1, g.Top), TsHit::Nowhere);
  EXPECT_EQ(CodeAt(f, g.Left, g.Top - 1), TsHit::Nowhere);
}

// A maximized MDI child's buttons sit in the first menu row from the frame's right edge, one
// close-glyph frame each, and answer 101 to 103 (both edges inclusive); without them the band
// answers nothing of its own.
TEST(FrameHitTest, MaximizedChildButtonsInTheMenuBand) {
  TsFrameFacts f = Form();
  f.HasMenu = true;
  f.MenuItemsVisible = true;
  EXPECT_TRUE(ChildButtonSlots(f, Sizes()).empty());
  EXPECT_EQ(CodeAt(f, 380, 35), TsHit::Nowhere);
  f.ChildButtonsShown = true;
  const std::vector<TsCaptionSlot> slots = ChildButtonSlots(f, Sizes());
  ASSERT_EQ(slots.size(), 3u);
  // Top: title 23 + frame 6 + (menu row 19 - glyph 16) / 2 = 30; right: 400 - 5 - 1.
  EXPECT_EQ(slots[0].Rect, (TRect{376, 30, 394, 46}));
  EXPECT_EQ(slots[1].Rect, (TRect{357, 30, 375, 46}));
  EXPECT_EQ(slots[2].Rect, (TRect{338, 30, 356, 46}));
  EXPECT_EQ(slots[1].Glyph, TsButtonGlyph::Restore);
  EXPECT_EQ(FrameHitTest(f, Sizes(), CaptionSlots(f, Sizes()), 394, 46), (TsHitResult{TsHit::ChildClose, true}));
  EXPECT_EQ(CodeAt(f, 357, 30), TsHit::ChildRestore);
  EXPECT_EQ(CodeAt(f, 338, 38), TsHit::ChildMinimize);
  EXPECT_EQ(CodeAt(f, 337, 38), TsHit::Nowhere);
  EXPECT_EQ(CodeAt(f, 380, 47), TsHit::Nowhere);
  f.CloseMask = {};
  EXPECT_EQ(ChildButtonSlots(f, Sizes())[0].Rect, (TRect{378, 30, 394, 46}));
}

TEST(MenuBar, MergeByGroupAndSkipUnhookedOrHidden) {
  const std::vector<TsMenuEntry> form = {{0, true}, {1, false}, {2, true}, {5, true}};
  EXPECT_EQ(MergeMenuBar(form, {}), (std::vector<TsMenuSource>{{false, 0}, {false, 2}, {false, 3}}));
  // The child's group 2 replaces the form's; its group 3 goes before the form's 5; its 9 at the end.
  const std::vector<TsMenuEntry> child = {{2, true}, {3, true}, {3, false}, {9, true}};
  EXPECT_EQ(MergeMenuBar(form, child),
            (std::vector<TsMenuSource>{{false, 0}, {true, 0}, {true, 1}, {false, 3}, {true, 3}}));
}

TEST(MenuBar, RowsWrapAtTheLimit) {
  TsFrameFacts f = Form(200);
  const int limit = MenuBarLimit(f, Sizes());
  EXPECT_EQ(limit, 200 - 10 - 6);
  // Widths as a fake measurer gives them: text width plus the item's extra (SM_CXMENUSIZE - 6).
  const int extra = Sizes().MenuSizeX - 6;
  std::vector<int> widths = {40 + extra, 50 + extra, 60 + extra};
  std::vector<TsMenuPlace> p = PlaceMenuBar(widths, 5, limit);
  EXPECT_EQ(MenuBarRows(p), 2);
  EXPECT_EQ(p[1].X, 5 + 53);
  EXPECT_EQ(p[2].X, 5);
  EXPECT_EQ(p[2].Row, 1);
  // An item that reaches exactly the limit stays on its row.
  p = PlaceMenuBar({limit - 5}, 5, limit);
  EXPECT_EQ(MenuBarRows(p), 1);
  // Too wide for any row: its own row, and no empty row before it.
  p = PlaceMenuBar({500, 10}, 5, limit);
  EXPECT_EQ(p[0].Row, 0);
  EXPECT_EQ(p[1].Row, 1);
  EXPECT_EQ(MenuBarRows(PlaceMenuBar({}, 5, limit)), 1);
}

TEST(CaptionButtonStates, HotPressAndRelease) {
  TsCaptionButtonStates s;
  s.SetUserCount(2);
  EXPECT_EQ(s.SetHot(TsHit::Close), std::vector<int>{TsHit::Close});
  EXPECT_TRUE(s.SetHot(TsHit::Close).empty());  // unchanged: nothing repaints
  EXPECT_EQ(s.SetHot(TsHit::MinButton), (std::vector<int>{TsHit::Close, TsHit::MinButton}));
  EXPECT_EQ(s.State(TsHit::Close), 0);
  EXPECT_EQ(s.Press(TsHit::MinButton), std::vector<int>{TsHit::MinButton});  // repaints though unchanged
  EXPECT_EQ(s.State(TsHit::MinButton), 2);

  // Released on another button: nothing acts, the pressed one goes back to normal.
  std::vector<int> changed;
  EXPECT_FALSE(s.Release(TsHit::Close, changed));
  EXPECT_EQ(changed, std::vector<int>{TsHit::MinButton});
  EXPECT_EQ(s.State(TsHit::MinButton), 0);
  changed.clear();
  s.Press(TsHit::Close);
  EXPECT_TRUE(s.Release(TsHit::Close, changed));
  // Without a pressed button a release acts on nothing.
  EXPECT_FALSE(s.Release(TsHit::Close, changed));

  // The system menu's code is hot without a record; user buttons past the end have none.
  EXPECT_EQ(s.SetHot(TsHit::SysMenu), std::vector<int>{TsHit::Close});
  EXPECT_TRUE(s.Press(1005).empty() || s.State(1005) == 0);
  s.SetHot(1001);
  s.SetUserCount(1);  // the hot user button went away
  EXPECT_EQ(s.Hot(), 0);
  EXPECT_FALSE(s.HasButton(1001));
  EXPECT_TRUE(s.SetHot(1001).empty());
}

// Which commands a window offers, over border styles, icons and states.
TEST(WindowRules, TruthTable) {
  using B = TsBorderKind;
  struct Row {
    B Border;
    TsIconSet Icons;
    TsShowState State;
    bool Iconic;
    const char* Expect;  // Close Max Min Restore Size | RestoreE MoveE SizeE MinE MaxE
  } rows[] = {
      {B::Sizeable, 7, TsShowState::Normal, false, "11111|01111"},
      {B::Sizeable, 7, TsShowState::Maximized, false, "11111|10110"},
      {B::Single, 7, TsShowState::Normal, false, "10111|01010"},  // listed, never enabled
      {B::Dialog, 7, TsShowState::Normal, false, "10000|01110"},  // only Move and Close show
      {B::ToolWindow, 1, TsShowState::Normal, false, "10000|01100"},
      {B::SizeToolWin, 7, TsShowState::Normal, false, "10001|01111"},
      {B::Dialog, 7, TsShowState::Minimized, true, "11100|11001"},
      {B::Sizeable, 1 | 2, TsShowState::Normal, false, "11111|01110"},  // no maximize icon
      {B::Sizeable, 1 | 2, TsShowState::Minimized, true, "11111|11001"},
      {B::None, 7, TsShowState::Normal, false, "10000|01110"},
  };
  for (const Row& r : rows) {
    TsWindowFacts w{r.Border, r.Icons, r.State, r.Iconic};
    std::string got;
    for (bool b : {CloseVisible(w), MaximizeVisible(w), MinimizeVisible(w), RestoreVisible(w), SizeVisible(w)})
      got += b ? '1' : '0';
    got += '|';
    for (bool b : {RestoreEnabled(w), MoveEnabled(w), SizeEnabled(w), MinimizeEnabled(w), MaximizeEnabled(w)})
      got += b ? '1' : '0';
    EXPECT_EQ(got, r.Expect) << int(r.Border) << " icons " << int(r.Icons) << " state " << int(r.State);
  }
  EXPECT_EQ(SystemButtonCount({B::Sizeable, 15, TsShowState::Normal, false}), 4);
  EXPECT_EQ(SystemButtonCount({B::Dialog, 15, TsShowState::Normal, false}), 2);
  EXPECT_EQ(SystemButtonCount({B::Sizeable, 6, TsShowState::Normal, false}), 0);
}

}  // namespace
