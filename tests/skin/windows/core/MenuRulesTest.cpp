#include <gtest/gtest.h>

#include <map>
#include <string>

#include "framework/base/Delegate.h"
#include "skin/windows/core/MenuHookRules.h"
#include "skin/windows/core/MenuItemRules.h"

namespace {

// Every character 7 wide, "&" 5; lines as high as the font says.
class TFakeMeasurer : public TsMenuTextMeasurer {
public:
  explicit TFakeMeasurer(int lineHeight) : FLineHeight(lineHeight) {}
  TsMenuSize Measure(const std::string& text) override {
    Asked[text]++;
    int w = 0;
    for (char c : text) w += c == '&' ? 5 : 7;
    return {w, FLineHeight};
  }
  std::map<std::string, int> Asked;

private:
  int FLineHeight;
};

TEST(MenuItemRules, KindsFollowTheCaption) {
  EXPECT_EQ(MenuItemKind("-", false), TsMenuItemType::mitSeparator);
  EXPECT_EQ(MenuItemKind("-Files-", false), TsMenuItemType::mitCaption);
  EXPECT_EQ(MenuItemKind("--", false), TsMenuItemType::mitCaption);
  EXPECT_EQ(MenuItemKind("-Files", false), TsMenuItemType::mitNormal);
  EXPECT_EQ(MenuItemKind("", false), TsMenuItemType::mitNormal);
  EXPECT_EQ(MenuItemKind("&Open", false), TsMenuItemType::mitNormal);
  // A bar item is a bar item whatever its caption.
  EXPECT_EQ(MenuItemKind("-", true), TsMenuItemType::mitBar);
}

TEST(MenuItemRules, PopupsAlwaysReserveAGlyphColumnBarsOnlyForABitmap) {
  const TsMenuGlyphSource none{};
  const TsMenuGlyphSource images{{}, {24, 20}};
  const TsMenuGlyphSource bitmap{{12, 10}, {24, 20}};
  EXPECT_EQ(MenuGlyphSize(TsMenuItemType::mitNormal, none), (TsMenuSize{16, 16}));
  EXPECT_EQ(MenuGlyphSize(TsMenuItemType::mitNormal, images), (TsMenuSize{24, 20}));
  EXPECT_EQ(MenuGlyphSize(TsMenuItemType::mitNormal, bitmap), (TsMenuSize{12, 10}));
  EXPECT_EQ(MenuGlyphSize(TsMenuItemType::mitBar, none), (TsMenuSize{0, 0}));
  EXPECT_EQ(MenuGlyphSize(TsMenuItemType::mitBar, images), (TsMenuSize{0, 0}));
  EXPECT_EQ(MenuGlyphSize(TsMenuItemType::mitBar, bitmap), (TsMenuSize{12, 10}));
}

TEST(MenuItemRules, HeightsAreALineAndAQuarterRoundedToEven) {
  EXPECT_EQ(MenuLineHeight(14), 18);  // 17.5
  EXPECT_EQ(MenuLineHeight(18), 22);  // 22.5
  EXPECT_EQ(MenuLineHeight(13), 16);  // 16.25
  TFakeMeasurer m14(14), m18(18), m8(8);
  const TsMenuItemFacts open{"&Open", "", {}};
  EXPECT_EQ(MeasurePopupItem(open, 4, m14).Height, 18 + 8);
  EXPECT_EQ(MeasurePopupItem(open, 4, m18).Height, 22 + 8);
  // A small font: the 16-pixel glyph column sets the height; a caption item ignores the glyph.
  EXPECT_EQ(MeasurePopupItem(open, 4, m8).Height, 16 + 8);
  EXPECT_EQ(MeasurePopupItem({"-Tools-", "", {}}, 4, m8).Height, 10 + 8);
  EXPECT_EQ(MeasurePopupItem({"-", "", {}}, 4, m18).Height, 2);
}

TEST(MenuItemRules, WidthsCountGlyphsMarginsTextAndShortcut) {
  TFakeMeasurer m(14);
  // 2 x 16 + 3 x 4 + "Save" + "Ctrl+S" (10 characters of 7).
  EXPECT_EQ(MeasurePopupItem({"Save", "Ctrl+S", {}}, 4, m).Width, 32 + 12 + 70);
  // A caption item is measured with one more hyphen on each side.
  EXPECT_EQ(MeasurePopupItem({"-Tools-", "", {}}, 4, m).Width, 32 + 12 + 9 * 7);
  EXPECT_EQ(m.Asked.count("--Tools--"), 1u);
  // A separator measures no text.
  EXPECT_EQ(MeasurePopupItem({"-", "Ctrl+S", {}}, 4, m).Width, 32 + 12);
  EXPECT_EQ(MeasurePopupItem({"Big", "", {{30, 30}, {}}}, 2, m), (TsMenuSize{60 + 6 + 21, 30 + 4}));
}

TEST(MenuItemRules, BarWidthsDropTheMarkerAndMakeRoomForAMaximizedChild) {
  TFakeMeasurer m(14);
  EXPECT_EQ(MeasureBarItemWidth({"&File", "", false, false, false, 0}, 10, m), 5 + 28 - 5);
  // The proposed width wins when larger.
  EXPECT_EQ(MeasureBarItemWidth({"&File", "", false, false, false, 0}, 50, m), 50);
  EXPECT_EQ(MeasureBarItemWidth({"Edit", "", true, false, true, 16}, 0, m), 28 + 16);
  EXPECT_EQ(MeasureBarItemWidth({"Help", "", false, true, true, 16}, 0, m), 28 + MenuBarChildButtonsRoom);
  // One item both first and last gets both; without the icon neither.
  EXPECT_EQ(MeasureBarItemWidth({"Help", "", true, true, true, 16}, 0, m), 28 + 16 + 40);
  EXPECT_EQ(MeasureBarItemWidth({"Help", "", true, true, false, 16}, 0, m), 28);
}

TEST(MenuItemRules, CaptionLayoutAndColumns) {
  EXPECT_EQ(PopupCaptionLayout("\bRight", TsMenuAlignment::Left),
            (TsMenuCaptionLayout{"Right      ", TsMenuAlignment::Right}));
  EXPECT_EQ(PopupCaptionLayout("Plain", TsMenuAlignment::Center), (TsMenuCaptionLayout{"Plain", TsMenuAlignment::Center}));
  EXPECT_EQ(PopupCaptionLayout("", TsMenuAlignment::Left), (TsMenuCaptionLayout{"", TsMenuAlignment::Left}));
  const TsMenuItemLayout l = PopupItemLayout(120, 26, {16, 16}, 4);
  EXPECT_EQ(l.GlyphLeft, 4);
  EXPECT_EQ(l.GlyphTop, 5);
  EXPECT_EQ(l.TextLeft, 24);
  EXPECT_EQ(l.ShortCutRight, 112);
}

struct THandlers {
  void Own(int) {}
  void Foreign(int) {}
};
using TEvent = TDelegate<void(int)>;

TEST(MenuHookRules, OnlyEmptyEventsAreTakenAndOnlyOwnOnesGivenBack) {
  THandlers painter, app;
  const TEvent ours(&painter, &THandlers::Own);
  const TEvent theirs(&app, &THandlers::Foreign);

  TEvent empty;
  HookMenuEvent(empty, ours, true);
  EXPECT_TRUE(IsOwnMenuEvent(empty, ours));
  HookMenuEvent(empty, ours, true);  // twice is the same
  EXPECT_TRUE(empty == ours);
  HookMenuEvent(empty, ours, false);
  EXPECT_FALSE(bool(empty));

  TEvent assigned = theirs;
  HookMenuEvent(assigned, ours, true);
  EXPECT_TRUE(assigned == theirs);
  HookMenuEvent(assigned, ours, false);
  EXPECT_TRUE(assigned == theirs);

  // The application replaces the painter's handler while hooked: unhooking keeps the new one.
  TEvent replaced;
  HookMenuEvent(replaced, ours, true);
  replaced = theirs;
  HookMenuEvent(replaced, ours, false);
  EXPECT_TRUE(replaced == theirs);
  // Another object's handler of the same method is not the painter's.
  THandlers other;
  TEvent same(&other, &THandlers::Own);
  HookMenuEvent(same, ours, false);
  EXPECT_FALSE(IsOwnMenuEvent(same, ours));
  EXPECT_TRUE(bool(same));
}

}  // namespace
