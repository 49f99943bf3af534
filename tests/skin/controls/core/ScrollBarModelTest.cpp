#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "skin/controls/core/ScrollBarModel.h"

namespace {

// Records every report in order; a report can be told to stand for the control being freed.
class TRecordingHost : public TScrollBarModelHost {
public:
  bool NotifyHost(int oldPosition) override {
    Log.push_back("host " + std::to_string(oldPosition));
    return !FreeOnNotify;
  }
  bool Scrolled(TScrollAction code, int position) override {
    Log.push_back("scroll " + std::to_string(static_cast<int>(code)) + " " + std::to_string(position));
    return true;
  }
  bool Changed() override {
    Log.push_back("change");
    return true;
  }
  std::string NameForErrors() const override { return Name; }

  std::vector<std::string> Log;
  std::string Name = "ScrollBar1";
  bool FreeOnNotify = false;
};

constexpr int Arrow = 16;

class ScrollBarModelTest : public ::testing::Test {
protected:
  ScrollBarModelTest() : Model(Host, [this] { return Now; }, [this](const std::string& text) { Errors.push_back(text); }) {
    // A horizontal bar with a 200-pixel track.
    Model.SetSize(200 + 2 * Arrow, 16, Arrow);
  }
  // A point along a horizontal bar.
  static TScrollPoint At(int x) { return {x, 8}; }
  int SliderMiddle() const {
    const TRect s = Model.Layout().Slider;
    return (s.Left + s.Right) / 2;
  }

  TRecordingHost Host;
  std::int64_t Now = 1000;
  std::vector<std::string> Errors;
  ScrollBarModel Model;
};

TEST_F(ScrollBarModelTest, SliderSizesFollowThePageAndStayWithinTheTrack) {
  EXPECT_EQ(Model.Layout().SliderLength, 14);  // no page
  Model.SetParams(0, 0, 90, TScrollRules::Skinned);
  Model.SetPageSize(10);
  TScrollBarLayout l = Model.Layout();
  EXPECT_EQ(l.SliderLength, 20);
  EXPECT_EQ(l.Slider.Left, Arrow);  // at Min the slider starts where the track does
  Model.SetPosition(90);
  EXPECT_EQ(Model.Layout().Slider.Right, 200 + Arrow);  // at Max it ends where the track ends
  Model.SetPageSize(1);
  EXPECT_EQ(Model.Layout().SliderLength, 14);  // never shorter

  // A bar too short for arrows and slider shows no slider and cannot be dragged.
  Model.SetSize(2 * Arrow + 10, 16, Arrow);
  l = Model.Layout();
  EXPECT_FALSE(l.SliderShown);
  EXPECT_EQ(Model.PointToPosition(At(Arrow + 5)), 0);
  // Shorter than its arrows: each arrow takes half.
  Model.SetSize(20, 16, Arrow);
  l = Model.Layout();
  EXPECT_EQ(l.FirstArrow.Right, 10);
  EXPECT_EQ(l.SecondArrow.Left, 10);
}

TEST_F(ScrollBarModelTest, EmptyAndInvertedRangesDivideByNothing) {
  // Max - Min + PageSize is 0 and the free track is negative: no division, a slider at the start.
  Model.SetParams(0, 5, 0, TScrollRules::Skinned);
  Model.SetPageSize(5);
  TScrollBarLayout l = Model.Layout();
  EXPECT_EQ(Model.Position(), 5);
  EXPECT_EQ(l.Slider.Left, Arrow);
  EXPECT_GE(l.SliderLength, 14);
  EXPECT_EQ(Model.PointToPosition(At(150)), 5);
  // Max = Min: the slider rests at the start of the track, not over the arrow.
  Model.SetParams(3, 3, 3, TScrollRules::Skinned);
  Model.SetPageSize(0);
  EXPECT_EQ(Model.Layout().Slider.Left, Arrow);
  // Dragging in an empty range moves nothing.
  Model.MouseDown(At(Arrow + 3));
  Model.MouseMove(At(190));
  Model.MouseUp(At(190));
  EXPECT_EQ(Model.Position(), 3);
  // Points far beyond the ends of a huge range do not overflow.
  Model.SetParams(0, INT_MIN, INT_MAX, TScrollRules::Skinned);
  EXPECT_EQ(Model.PointToPosition(At(-30000)), INT_MIN);
  EXPECT_EQ(Model.PointToPosition(At(30000)), INT_MAX);
}

TEST_F(ScrollBarModelTest, SkinnedRangeErrorsAreReportedAndTheWorkGoesOn) {
  Model.SetParams(5, 0, 5, TScrollRules::Skinned);
  Host.Log.clear();
  Model.SetParams(Model.Position(), 5, 5, TScrollRules::Skinned);  // Min := 5 while Max = 5
  ASSERT_EQ(Errors.size(), 1u);
  EXPECT_EQ(Errors[0], "Scrollbar property out of range\n\rMax = 5(ScrollBar1)");
  EXPECT_EQ(Model.Min(), 5);
  Host.Name = "Owner=Memo1";
  Model.SetParams(0, 7, 2, TScrollRules::Skinned);
  EXPECT_EQ(Errors[1], "Scrollbar property out of range\n\rMax = 2(Owner=Memo1)");
  EXPECT_EQ(Model.Position(), 7);  // clamped into the empty range, not undefined
  EXPECT_EQ(Errors.size(), 2u);

  // The standard rules leave raising to the caller and change nothing.
  const ScrollBarModel::TParamsChange change = Model.SetParams(1, 10, 2, TScrollRules::Standard);
  EXPECT_FALSE(change.Accepted);
  EXPECT_EQ(Model.Min(), 7);
  EXPECT_EQ(Errors.size(), 2u);
}

TEST_F(ScrollBarModelTest, PositionChangesReportHostThenScrollThenChange) {
  Model.SetParams(50, 0, 100, TScrollRules::Skinned);
  Host.Log.clear();
  Model.SetPosition(40);
  EXPECT_EQ(Host.Log, (std::vector<std::string>{"host 50", "scroll -1 40", "change"}));

  // At Min a lower value, at Max a value above Max - 1, change nothing and report nothing.
  Model.SetPosition(0);
  Host.Log.clear();
  Model.SetPosition(-5);
  Model.SetPosition(100);
  Model.SetPosition(100);
  Model.SetPosition(200);
  EXPECT_EQ(Host.Log, (std::vector<std::string>{"host 0", "scroll -1 100", "change"}));

  // Held back while suspended.
  Host.Log.clear();
  Model.SetEventsSuspended(true);
  Model.SetPosition(10);
  EXPECT_TRUE(Host.Log.empty());
  EXPECT_EQ(Model.Position(), 10);
}

TEST_F(ScrollBarModelTest, AReportThatFreesTheControlStopsTheModel) {
  Host.FreeOnNotify = true;
  EXPECT_FALSE(Model.MouseDown(At(190)));  // the track after the slider pages
  EXPECT_EQ(Host.Log, (std::vector<std::string>{"host 0"}));
}

TEST_F(ScrollBarModelTest, ANonSmoothDragReportsOnceAtTheReleaseFromWhereItStarted) {
  Model.SetSmooth(false);
  Model.SetParams(10, 0, 100, TScrollRules::Skinned);
  for (int drag = 0; drag < 2; ++drag) {
    Host.Log.clear();
    const int from = Model.Position();
    const int grab = SliderMiddle();
    Model.MouseDown(At(grab));
    EXPECT_EQ(Model.PartState(TScrollBarPart::Slider), TScrollPartState::Pressed);
    for (int dx = 10; dx <= 80; dx += 10) Model.MouseMove(At(grab + dx));
    const int to = Model.Position();
    EXPECT_GT(to, from);
    EXPECT_TRUE(Host.Log.empty());
    Model.MouseUp(At(grab + 80));
    // The second drag reports from its own start, not from a sum of starts.
    EXPECT_EQ(Host.Log, (std::vector<std::string>{"host " + std::to_string(from), "scroll 4 " + std::to_string(to), "change"}));
  }
  // A drag that ends where it began reports nothing.
  Host.Log.clear();
  Model.MouseDown(At(SliderMiddle()));
  Model.MouseUp(At(SliderMiddle()));
  EXPECT_TRUE(Host.Log.empty());
}

TEST_F(ScrollBarModelTest, ASmoothDragFollowsTheGrabPoint) {
  Model.SetParams(50, 0, 100, TScrollRules::Skinned);
  const int grab = SliderMiddle() + 3;
  Model.MouseDown(At(grab));
  Model.MouseMove(At(grab + 1000));
  EXPECT_EQ(Model.Position(), 100);
  Model.MouseMove(At(grab));
  EXPECT_EQ(Model.Position(), 50);  // back under the pointer where it was grabbed
  Host.Log.clear();
  Model.MouseMove(At(grab - 40));
  EXPECT_EQ(Host.Log.size(), 3u);  // reported as it moves
  EXPECT_EQ(Host.Log[1], "scroll 5 " + std::to_string(Model.Position()));
}

TEST_F(ScrollBarModelTest, CaptureLostMidDragIsARelease) {
  Model.SetSmooth(false);
  Model.SetParams(10, 0, 100, TScrollRules::Skinned);
  Host.Log.clear();
  const int grab = SliderMiddle();
  Model.MouseDown(At(grab));
  Model.MouseMove(At(grab + 60));
  const int moved = Model.Position();
  EXPECT_TRUE(Model.CaptureLost());
  EXPECT_FALSE(Model.Pressed());
  EXPECT_NE(Model.PartState(TScrollBarPart::Slider), TScrollPartState::Pressed);
  EXPECT_EQ(Host.Log, (std::vector<std::string>{"host 10", "scroll 4 " + std::to_string(moved), "change"}));
  // The slider no longer follows the pointer, and reports are live again.
  Model.MouseMove(At(grab + 150));
  EXPECT_EQ(Model.Position(), moved);
  Host.Log.clear();
  Model.SetPosition(0);
  EXPECT_EQ(Host.Log.size(), 3u);
  // A second loss, or the release after it, changes nothing.
  EXPECT_TRUE(Model.CaptureLost());
  EXPECT_TRUE(Model.MouseUp(At(0)));
  EXPECT_EQ(Host.Log.size(), 3u);
}

TEST_F(ScrollBarModelTest, HeldArrowsRepeatAfter500ThenEvery100Milliseconds) {
  Model.SetParams(50, 0, 100, TScrollRules::Skinned);
  Model.MouseDown(At(Arrow + 200 + 2));  // the second arrow
  EXPECT_EQ(Model.Position(), 51);
  EXPECT_EQ(Model.RepeatDelay(), 500);
  const std::pair<int, int> ticks[] = {{499, 51}, {500, 52}, {599, 52}, {600, 53}, {650, 53}, {700, 54}};
  const std::int64_t start = Now;
  for (auto [at, expected] : ticks) {
    Now = start + at;
    Model.RepeatTick(At(0));
    EXPECT_EQ(Model.Position(), expected) << "at " << at << " ms";
  }
  EXPECT_EQ(Model.RepeatDelay(), 100);
  // Moving off the arrow ends the repeat.
  Model.MouseMove(At(100));
  Now += 100;
  Model.RepeatTick(At(100));
  EXPECT_EQ(Model.Position(), 54);
  EXPECT_FALSE(Model.RepeatDelay());
  Model.MouseUp(At(100));

  // At Min the first arrow shows pressed but starts no repeat.
  Model.SetPosition(0);
  Model.MouseDown(At(2));
  EXPECT_EQ(Model.PartState(TScrollBarPart::FirstArrow), TScrollPartState::Pressed);
  EXPECT_FALSE(Model.RepeatDelay());
  Model.MouseUp(At(2));
  EXPECT_EQ(Model.PartState(TScrollBarPart::FirstArrow), TScrollPartState::Hot);
}

TEST_F(ScrollBarModelTest, AHeldTrackPagesUntilTheSliderReachesThePointer) {
  Model.SetParams(0, 0, 100, TScrollRules::Skinned);
  Model.SetLargeChange(10);
  const TScrollPoint pointer = At(Arrow + 100);  // over position 50
  Model.MouseDown(pointer);
  EXPECT_EQ(Model.Position(), 10);
  EXPECT_EQ(Model.PartState(TScrollBarPart::TrackAfter), TScrollPartState::Pressed);
  EXPECT_EQ(Model.PartState(TScrollBarPart::TrackBefore), TScrollPartState::Hot);
  std::vector<int> positions;
  for (int i = 0; i < 10; ++i) {
    Now += *Model.RepeatDelay();
    Model.RepeatTick(pointer);
    positions.push_back(Model.Position());
    if (!Model.RepeatDelay()) break;
  }
  EXPECT_EQ(positions, (std::vector<int>{20, 30, 40, 50, 50}));
}

TEST_F(ScrollBarModelTest, PartStatesFollowThePointer) {
  Model.MouseEnter();
  EXPECT_EQ(Model.PartState(TScrollBarPart::TrackBefore), TScrollPartState::Hot);
  Model.MouseMove(At(SliderMiddle()));
  EXPECT_EQ(Model.PartState(TScrollBarPart::Slider), TScrollPartState::Hot);
  EXPECT_EQ(Model.PartState(TScrollBarPart::TrackAfter), TScrollPartState::Hot);
  Model.MouseMove(At(3));
  EXPECT_EQ(Model.PartState(TScrollBarPart::FirstArrow), TScrollPartState::Hot);
  EXPECT_EQ(Model.PartState(TScrollBarPart::Slider), TScrollPartState::Normal);
  EXPECT_TRUE(Model.TakeDirty());
  EXPECT_FALSE(Model.TakeDirty());
  Model.MouseMove(At(4));
  EXPECT_FALSE(Model.TakeDirty());  // nothing changed: no repaint
  Model.MouseLeave();
  for (int i = 0; i < ScrollBarPartCount; ++i)
    EXPECT_EQ(Model.PartState(static_cast<TScrollBarPart>(i)), TScrollPartState::Normal);
}

TEST_F(ScrollBarModelTest, KeysAndScrollCodesMoveWithinTheRange) {
  Model.SetParams(50, 0, 100, TScrollRules::Skinned);
  Model.SetLargeChange(30);
  Model.KeyDown(TScrollKey::PageDown);
  Model.KeyDown(TScrollKey::PageDown);
  EXPECT_EQ(Model.Position(), 100);
  Model.KeyDown(TScrollKey::Home);
  Model.KeyDown(TScrollKey::LineUp);
  EXPECT_EQ(Model.Position(), 0);
  Model.KeyDown(TScrollKey::LineDown);
  EXPECT_EQ(Model.Position(), 1);
  EXPECT_EQ(Model.ScrollTarget(3, 0), 31);     // page down
  EXPECT_EQ(Model.ScrollTarget(0, 0), 0);      // line up
  EXPECT_EQ(Model.ScrollTarget(5, 500), 100);  // a thumb beyond Max
  EXPECT_EQ(Model.ScrollTarget(7, 0), 100);    // bottom
}

TEST_F(ScrollBarModelTest, HostsFillInOneValidatedStepWithoutReports) {
  Model.SetParams(5, 0, 100, TScrollRules::Skinned);
  Host.Log.clear();
  std::vector<bool> shown;
  auto show = [&](bool usable) { shown.push_back(usable); };
  // 0..99 with a page of 10 scrolls over 0..90.
  EXPECT_TRUE(Model.FillFromScrollInfo({0, 99, 10, 40, true}, show));
  EXPECT_EQ(Model.Max(), 90);
  EXPECT_EQ(Model.Position(), 40);
  EXPECT_EQ(Model.PageSize(), 10);
  EXPECT_EQ(Model.LargeChange(), 10);
  EXPECT_EQ(Model.SmallChange(), 16);
  EXPECT_TRUE(Model.Enabled());
  // A page larger than the range would pass Max < Min: the bar is disabled instead, no box.
  EXPECT_FALSE(Model.FillFromScrollInfo({0, 9, 20, 0, true}, show));
  EXPECT_FALSE(Model.Enabled());
  EXPECT_EQ(Model.Min(), 0);
  EXPECT_EQ(Model.Max(), 1);
  EXPECT_FALSE(Model.FillFromScrollInfo({0, 99, 10, 40, false}, show));
  EXPECT_FALSE(Model.FillFromScrollInfo({0, INT_MAX, 0u - 1u, 0, true}, show));
  EXPECT_TRUE(Errors.empty());
  EXPECT_TRUE(Host.Log.empty());
  EXPECT_EQ(shown, (std::vector<bool>{true, false, false, false}));

  // A host re-entering its fill while the bar shows gets the newer values applied after.
  shown.clear();
  bool asked = false;
  auto reentering = [&](bool usable) {
    shown.push_back(usable);
    if (!asked) {
      asked = true;
      EXPECT_TRUE(Model.FillFromScrollInfo({0, 199, 20, 70, true}, show));
      EXPECT_EQ(Model.Max(), 90);  // not applied inside
    }
  };
  Model.FillFromScrollInfo({0, 99, 10, 40, true}, reentering);
  EXPECT_EQ(Model.Max(), 180);
  EXPECT_EQ(Model.Position(), 70);
  EXPECT_EQ(shown, (std::vector<bool>{true, true}));
}

}  // namespace
