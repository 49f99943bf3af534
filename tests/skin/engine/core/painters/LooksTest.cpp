#include <gtest/gtest.h>

#include "PixelTestSupport.h"
#include "skin/engine/core/ButtonGlyph.h"
#include "skin/engine/core/DisabledLook.h"
#include "skin/engine/core/TsFadeSchedule.h"

namespace {

TEST(ApplyDisabledKind, GreysFirstThenBlendsWithTheParent) {
  TsBitmap24 b = Filled(2, 2, Rgb(90, 0, 0));
  const TsBitmap24 parent = Filled(10, 10, Grey(130));
  ApplyDisabledKind(b.View(), {true, true}, {1, 1}, {parent.View(), 2, 2, true}, SkinKeyColor, std::nullopt, 0);
  EXPECT_EQ(b.Pixel(1, 1), Grey(90));  // grey 30 keeps 40 percent over the parent's 130
}

TEST(ApplyDisabledKind, WithoutParentImageBlendsAColourAndFallsBackToTheControlsOwn) {
  TsBitmap24 b = Filled(1, 1, Grey(200));
  ApplyDisabledKind(b.View(), {}, {0, 0}, TsCacheView::None(), 0x000000, 0xFFFFFF, 0xFFFFFF);
  EXPECT_EQ(b.Pixel(0, 0), Grey(99));  // the background colour wins: 200 * 127 >> 8
  TsBitmap24 c = Filled(1, 1, Grey(200));
  ApplyDisabledKind(c.View(), {}, {0, 0}, TsCacheView::None(), SkinKeyColor, 0x000000, 0xFFFFFF);
  EXPECT_EQ(c.Pixel(0, 0), Grey(99));  // then the parent's colour
  TsBitmap24 e = Filled(1, 1, Grey(200));
  ApplyDisabledKind(e.View(), {}, {0, 0}, TsCacheView::None(), SkinKeyColor, std::nullopt, 0x000000);
  EXPECT_EQ(e.Pixel(0, 0), Grey(99));  // no parent: the control's own colour
  TsBitmap24 f = Filled(1, 1, Grey(200));
  ApplyDisabledKind(f.View(), {false, false}, {0, 0}, TsCacheView::None(), 0, 0, 0);
  EXPECT_EQ(f.Pixel(0, 0), Grey(200));
}

// A fake timer: fires the schedule every Interval milliseconds of a fake clock.
struct FakeClockFade {
  TsFadeSchedule Schedule;
  uint32_t Now = 0;
  uint32_t NextTick = 0;
  std::vector<TsFadeTick> Ticks;

  void Start(TsFadeDirection d) {
    Schedule.SetActive(d);
    NextTick = Now + Schedule.Interval();
  }
  void Advance(uint32_t ms) {
    const uint32_t end = Now + ms;
    while (Schedule.Enabled() && NextTick <= end) {
      Now = NextTick;
      NextTick += Schedule.Interval();
      Ticks.push_back(Schedule.Tick(true));
      if (Ticks.back().Action == TsFadeTick::TsAction::Stop) break;
    }
    Now = end;
  }
};

std::vector<int> Alphas(const std::vector<TsFadeTick>& ticks) {
  std::vector<int> a;
  for (const TsFadeTick& t : ticks)
    if (t.Action == TsFadeTick::TsAction::Paint) a.push_back(t.Alpha);
  return a;
}

TEST(TsFadeSchedule, FadesInOverItsStepsAtItsInterval) {
  FakeClockFade f;
  f.Schedule.SetCounter(1);
  f.Schedule.StartFor(20, 5);
  f.Start(TsFadeDirection::In);
  f.Advance(59);
  EXPECT_EQ(Alphas(f.Ticks), (std::vector<int>{204, 153}));
  f.Advance(1000);
  EXPECT_EQ(Alphas(f.Ticks), (std::vector<int>{204, 153, 102, 51, 0}));
  EXPECT_EQ(f.Ticks.back().Action, TsFadeTick::TsAction::Disable);
  EXPECT_FALSE(f.Schedule.Enabled());
  EXPECT_EQ(f.Schedule.Counter(), 5);
}

// Reversed half-way, a fade shows the frames it has shown in the opposite order, from the last one
// (never jumping to the far look first), then the final look.
TEST(TsFadeSchedule, AReversedFadeRunsBackOverTheStepsTaken) {
  FakeClockFade f;
  f.Schedule.SetCounter(1);
  f.Schedule.StartFor(10, 10);
  f.Start(TsFadeDirection::In);
  f.Advance(30);
  EXPECT_EQ(Alphas(f.Ticks), (std::vector<int>{230, 204, 179}));
  f.Schedule.StartFor(10, 10);
  EXPECT_EQ(f.Schedule.Steps(), 10);
  f.Ticks.clear();
  f.Start(TsFadeDirection::Out);
  f.Advance(1000);
  EXPECT_EQ(Alphas(f.Ticks), (std::vector<int>{179, 204, 230, 255}));
  EXPECT_EQ(f.Ticks.back().Action, TsFadeTick::TsAction::Stop);  // the owner frees the timer afterwards

  // Out from the end, reversed after two frames, and in again to the end.
  FakeClockFade g;
  g.Schedule.SetCounter(5);
  g.Schedule.StartFor(10, 5);
  g.Start(TsFadeDirection::Out);
  g.Advance(20);
  EXPECT_EQ(Alphas(g.Ticks), (std::vector<int>{0, 51}));
  g.Schedule.StartFor(10, 5);
  g.Ticks.clear();
  g.Start(TsFadeDirection::In);
  g.Advance(1000);
  EXPECT_EQ(Alphas(g.Ticks), (std::vector<int>{51, 0}));
  EXPECT_FALSE(g.Schedule.Enabled());
  EXPECT_EQ(g.Schedule.Counter(), 5);

  // Reversed before its first frame: nothing of the other look shows.
  FakeClockFade h;
  h.Schedule.SetCounter(1);
  h.Schedule.StartFor(10, 5);
  h.Start(TsFadeDirection::In);
  h.Schedule.StartFor(10, 5);
  h.Start(TsFadeDirection::Out);
  h.Advance(1000);
  EXPECT_EQ(Alphas(h.Ticks), (std::vector<int>{255}));
}

TEST(TsFadeSchedule, ClampsHostileSettingsAndStopsForAGoneControl) {
  TsFadeSchedule s;
  s.StartFor(-5, 1000000);
  EXPECT_EQ(s.Interval(), TsFadeSchedule::MinInterval);
  EXPECT_EQ(s.Steps(), TsFadeSchedule::MaxSteps);
  s.StartFor(5, -3);
  EXPECT_EQ(s.Steps(), 0);
  s.SetActive(TsFadeDirection::Out);
  EXPECT_EQ(s.Tick(true).Action, TsFadeTick::TsAction::None);  // no steps: ticks without painting
  EXPECT_EQ(s.Tick(false).Action, TsFadeTick::TsAction::Disable);
  EXPECT_FALSE(s.Enabled());
}

TEST(TsFadeSchedule, FramesRunFromTheOldLookToTheNew) {
  const TsBitmap24 oldLook = Filled(1, 1, Grey(0));
  const TsBitmap24 newLook = Filled(1, 1, Grey(200));
  TsBitmap24 frame;
  TsFadeSchedule::RenderFrame({TsFadeTick::TsAction::Paint, TsFadeDirection::In, 192}, oldLook.View(), newLook.View(),
                              frame);
  EXPECT_EQ(frame.Pixel(0, 0), Grey(50));  // a quarter of the way to the new look
  TsFadeSchedule::RenderFrame({TsFadeTick::TsAction::Paint, TsFadeDirection::Out, 64}, oldLook.View(),
                              newLook.View(), frame);
  EXPECT_EQ(frame.Pixel(0, 0), Grey(50));  // a quarter of the way to the new look
}

// A 3 x 2 glyph of one frame: key background with a red centre column, the key in the bottom left.
TsBitmap24 Glyph() {
  TsBitmap24 g = Filled(3, 2, Key);
  g.SetPixel(1, 0, Rgb(90, 0, 0));
  g.SetPixel(1, 1, Rgb(90, 0, 0));
  return g;
}

TEST(DrawButtonGlyph, DisabledAndGreyedGlyphShowsNoGreyBox) {
  const TsBitmap24 g = Glyph();
  TsBitmap24 d = Filled(3, 2, Grey(100));
  TsGlyphLook look;
  look.Enabled = false;
  look.DisabledKind = {true, true};
  DrawButtonGlyph(g.View(), d.View(), {0, 0}, 1, look);
  EXPECT_EQ(d.Pixel(0, 0), Grey(100));  // key pixels stay the button's
  EXPECT_EQ(d.Pixel(1, 1), Grey(65));   // grey 30, half over 100
  look = {};
  look.Grayed = true;
  TsBitmap24 e = Filled(3, 2, Grey(100));
  DrawButtonGlyph(g.View(), e.View(), {0, 0}, 1, look);
  EXPECT_EQ(e.Pixel(2, 1), Grey(100));
  EXPECT_EQ(e.Pixel(1, 0), Grey(30));
}

TEST(DrawButtonGlyph, BlendKeepsThatPercentOfTheBackgroundUnlessHot) {
  const TsBitmap24 g = Glyph();
  TsGlyphLook look;
  look.Blend = 40;
  TsBitmap24 d = Filled(3, 2, Grey(200));
  DrawButtonGlyph(g.View(), d.View(), {0, 0}, 1, look);
  EXPECT_EQ(d.Pixel(1, 0), Rgb(134, 80, 80));
  look.Hot = true;
  DrawButtonGlyph(g.View(), d.View(), {0, 0}, 1, look);
  EXPECT_EQ(d.Pixel(1, 0), Rgb(90, 0, 0));
  EXPECT_EQ(d.Pixel(0, 0), Grey(200));
  TsBitmap24 e = Filled(3, 2, Grey(200));
  DrawButtonGlyph(g.View(), e.View(), {0, 0}, 3, look);  // three frames: nothing
  EXPECT_TRUE(UntouchedOutside(e, 0, 0, 0, 0, Grey(200)));
}

TEST(DrawButtonGlyph, TwoFramesPickTheDisabledFrame) {
  TsBitmap24 g = Filled(4, 1, Key);
  g.SetPixel(1, 0, Rgb(1, 1, 1));
  g.SetPixel(3, 0, Rgb(2, 2, 2));
  TsBitmap24 d = Filled(2, 1, Grey(100));
  TsGlyphLook look;
  DrawButtonGlyph(g.View(), d.View(), {0, 0}, 2, look);
  EXPECT_EQ(d.Pixel(1, 0), Rgb(1, 1, 1));
  look.Enabled = false;
  DrawButtonGlyph(g.View(), d.View(), {0, 0}, 2, look);
  EXPECT_EQ(d.Pixel(1, 0), Rgb(2, 2, 2));
  EXPECT_EQ(d.Pixel(0, 0), Grey(100));
}

TEST(BuildTwoFrameGlyph, EmptyKindCopiesTheFrame) {
  const TsBitmap24 g = Glyph();
  const TsBitmap24 two = BuildTwoFrameGlyph(g.View(), {false, false}, 0xC0C0C0);
  ASSERT_EQ(two.Width(), 6);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(two.Pixel(x + 3, y), two.Pixel(x, y));
  const TsBitmap24 grey = BuildTwoFrameGlyph(g.View(), {false, true}, 0xC0C0C0);
  EXPECT_EQ(grey.Pixel(4, 0), Grey(30));
  EXPECT_EQ(grey.Pixel(5, 0), Grey(192));  // the button face shows through key pixels
  EXPECT_EQ(grey.Pixel(3, 1), Key);        // the second frame keeps a key in its bottom left
}

}  // namespace
