#include <gtest/gtest.h>

#include <map>

#include "GIFTestSupport.h"
#include "gif/core/TGIFAnimation.h"
#include "gif/core/TGIFAppExtNSLoop.h"
#include "gif/core/TGIFGraphicControlExtension.h"

namespace {
class TFakeClock : public TGIFAnimationClock {
public:
  unsigned Time = 0;
  std::vector<unsigned> Waits;
  int Yields = 0;
  int WakeOnWait = -1;  // the wait (by number) that is woken early, after 5 ms

  unsigned Now() override { return Time; }
  bool Wait(unsigned milliseconds) override {
    const bool early = static_cast<int>(Waits.size()) == WakeOnWait;
    Waits.push_back(milliseconds);
    Time += early ? 5 : milliseconds;
    return early;
  }
  void YieldTurn() override { ++Yields; }
};

// Four surfaces of pixels (one colour index each, 0 = untouched background), drawing frames unscaled.
class TMemorySurface : public TGIFAnimationSurface {
public:
  TMemorySurface(const TGIFDocument& document, TFakeClock& clock, int width, int height)
      : FDocument(document), FClock(clock), FWidth(width), FHeight(height) {
    for (auto kind : {TGIFSurfaceKind::Target, TGIFSurfaceKind::Buffer, TGIFSurfaceKind::Compose,
                      TGIFSurfaceKind::Background})
      FPixels[kind].assign(static_cast<size_t>(width) * height, 0);
  }
  int DrawCost = 0;
  std::vector<std::pair<int, TGIFSurfaceKind>> Draws;

  int At(TGIFSurfaceKind kind, int x, int y) { return FPixels[kind][static_cast<size_t>(y) * FWidth + x]; }

  void DrawFrame(TGIFSurfaceKind surface, int index, const TRect& place) override {
    Draws.emplace_back(index, surface);
    FClock.Time += DrawCost;
    const TGIFSubImage& frame = *FDocument.Frames()[index];
    for (int y = 0; y < place.Height(); ++y)
      for (int x = 0; x < place.Width(); ++x) {
        const int pixel = frame.Pixel(x, y);
        if (pixel != frame.TransparentIndex()) Set(surface, place.Left + x, place.Top + y, pixel);
      }
  }
  void Copy(TGIFSurfaceKind from, const TRect& source, TGIFSurfaceKind to, const TRect& target) override {
    for (int y = 0; y < source.Height(); ++y)
      for (int x = 0; x < source.Width(); ++x)
        Set(to, target.Left + x, target.Top + y, At(from, source.Left + x, source.Top + y));
  }

private:
  void Set(TGIFSurfaceKind kind, int x, int y, int value) {
    if (x >= 0 && y >= 0 && x < FWidth && y < FHeight)
      FPixels[kind][static_cast<size_t>(y) * FWidth + x] = value;
  }

  const TGIFDocument& FDocument;
  TFakeClock& FClock;
  int FWidth, FHeight;
  std::map<TGIFSurfaceKind, std::vector<int>> FPixels;
};

// Adds a frame of one colour (its index + 1, so frames are told apart) with a control block.
TGIFSubImage& AddFrame(TGIFDocument& document, int left, int top, int width, int height, int disposal,
                       int delay, int transparent = -1) {
  auto frame = std::make_unique<TGIFSubImage>();
  frame->SetLeft(static_cast<uint16_t>(left));
  frame->SetTop(static_cast<uint16_t>(top));
  frame->SetSize(width, height);
  const auto color = static_cast<uint8_t>(document.Frames().size() + 1);
  std::fill(frame->Data().begin(), frame->Data().end(), color);
  auto control = std::make_unique<TGIFGraphicControlExtension>();
  control->SetDisposal(disposal);
  control->SetDelay(static_cast<uint16_t>(delay));
  if (transparent >= 0) {
    control->SetTransparent(true);
    control->SetTransparentIndex(static_cast<uint8_t>(transparent));
  }
  frame->Extensions().push_back(std::move(control));
  document.Frames().push_back(std::move(frame));
  return *document.Frames().back();
}

void AddLoop(TGIFSubImage& frame, uint16_t count) {
  auto loop = std::make_unique<TGIFAppExtNSLoop>();
  loop->SetLoopCount(count);
  frame.Extensions().push_back(std::move(loop));
}

void Screen(TGIFDocument& document, int width, int height) {
  document.Header().SetWidth(static_cast<uint16_t>(width));
  document.Header().SetHeight(static_cast<uint16_t>(height));
}

struct TRun {
  TFakeClock Clock;
  std::unique_ptr<TMemorySurface> Surface;
  std::vector<int> Frames;
};

void Play(const TGIFDocument& document, TRun& run, int stopAfter = 0, int drawCost = 0) {
  run.Surface = std::make_unique<TMemorySurface>(document, run.Clock, document.Width(), document.Height());
  run.Surface->DrawCost = drawCost;
  TGIFAnimation animation(document, *run.Surface, run.Clock, {0, 0, document.Width(), document.Height()},
                          TGIFAnimation::NeedsBuffer(document));
  animation.SetOnBeforeFrame([&](TGIFAnimation& a) { run.Frames.push_back(a.FrameIndex()); });
  animation.SetOnAfterFrame([&](TGIFAnimation& a) {
    if (stopAfter && static_cast<int>(run.Frames.size()) >= stopAfter) a.Terminate();
  });
  animation.Run();
  EXPECT_EQ(animation.FrameIndex(), -1);
}
}  // namespace

TEST(GIFAnimation, WaitsFollowTheDelaysAndTheFirstFrameDoesNotWait) {
  TGIFDocument document;
  Screen(document, 4, 4);
  AddFrame(document, 0, 0, 4, 4, 1, 1);
  AddFrame(document, 0, 0, 4, 4, 1, 2000);
  AddFrame(document, 0, 0, 4, 4, 1, 0);
  AddFrame(document, 0, 0, 4, 4, 1, 0);
  TRun run;
  Play(document, run);
  EXPECT_EQ(run.Clock.Yields, 1);
  EXPECT_EQ(run.Clock.Waits, (std::vector<unsigned>{36, 24000, 120}));
  EXPECT_EQ(run.Frames, (std::vector<int>{0, 1, 2, 3}));
}

TEST(GIFAnimation, SlowFramesShortenTheNextWaitsByHalfTheOverrun) {
  TGIFDocument document;
  Screen(document, 2, 2);
  for (int i = 0; i < 4; ++i) AddFrame(document, 0, 0, 2, 2, 1, 10);
  TRun run;
  Play(document, run, 0, 60);
  EXPECT_EQ(run.Clock.Waits, (std::vector<unsigned>{90, 90, 90}));

  // The same across the wrap of the millisecond counter.
  TRun wrapped;
  wrapped.Clock.Time = 0xFFFFFFF0u;
  Play(document, wrapped, 0, 60);
  EXPECT_EQ(wrapped.Clock.Waits, run.Clock.Waits);

  // Being woken early starts the timing afresh.
  TRun woken;
  woken.Clock.WakeOnWait = 0;
  Play(document, woken);
  EXPECT_EQ(woken.Clock.Waits, (std::vector<unsigned>{120, 120, 120}));
}

TEST(GIFAnimation, LoopExtensionRepeatsFromItsFrame) {
  TGIFDocument once;
  Screen(once, 2, 2);
  for (int i = 0; i < 3; ++i) AddFrame(once, 0, 0, 2, 2, 1, 5);
  TRun plain;
  Play(once, plain);
  EXPECT_EQ(plain.Frames, (std::vector<int>{0, 1, 2}));

  AddLoop(*once.Frames()[1], 2);
  TRun twice;
  Play(once, twice);
  EXPECT_EQ(twice.Frames, (std::vector<int>{0, 1, 2, 1, 2}));

  TGIFDocument forever;
  Screen(forever, 2, 2);
  for (int i = 0; i < 3; ++i) AddFrame(forever, 0, 0, 2, 2, 1, 5);
  AddLoop(*forever.Frames()[0], 0);
  TRun stopped;
  Play(forever, stopped, 8);
  EXPECT_EQ(stopped.Frames, (std::vector<int>{0, 1, 2, 0, 1, 2, 0, 1}));
}

TEST(GIFAnimation, AFrameWithoutImageEndsThePass) {
  TGIFDocument document;
  Screen(document, 2, 2);
  AddFrame(document, 0, 0, 2, 2, 1, 5);
  document.Frames().push_back(std::make_unique<TGIFSubImage>());
  AddFrame(document, 0, 0, 2, 2, 1, 5);
  TRun run;
  Play(document, run);
  EXPECT_EQ(run.Frames, (std::vector<int>{0}));
}

TEST(GIFAnimation, WithoutRestoringDisposalsFramesGoStraightToTheTarget) {
  TGIFDocument document;
  Screen(document, 4, 4);
  AddFrame(document, 0, 0, 4, 4, 0, 5);
  AddFrame(document, 1, 1, 2, 2, 5, 5);  // undefined method 5 acts as "do not dispose"
  EXPECT_FALSE(TGIFAnimation::NeedsBuffer(document));
  TRun run;
  Play(document, run);
  for (const auto& draw : run.Surface->Draws) EXPECT_EQ(draw.second, TGIFSurfaceKind::Target);
  EXPECT_EQ(run.Surface->At(TGIFSurfaceKind::Target, 1, 1), 2);
  EXPECT_EQ(run.Surface->At(TGIFSurfaceKind::Target, 0, 0), 1);
}

TEST(GIFAnimation, RestoreToPreviousAfterDoNotDisposeDrawsOnTheTarget) {
  TGIFDocument document;
  Screen(document, 4, 4);
  AddFrame(document, 0, 0, 4, 4, 1, 5);
  AddFrame(document, 0, 0, 2, 2, 3, 5);
  AddFrame(document, 2, 2, 2, 2, 1, 5);
  TRun run;
  ASSERT_TRUE(TGIFAnimation::NeedsBuffer(document));
  Play(document, run);
  ASSERT_EQ(run.Surface->Draws.size(), 3u);
  EXPECT_EQ(run.Surface->Draws[0].second, TGIFSurfaceKind::Buffer);
  EXPECT_EQ(run.Surface->Draws[1].second, TGIFSurfaceKind::Target);
  EXPECT_EQ(run.Surface->Draws[2].second, TGIFSurfaceKind::Buffer);
  // The third frame is drawn over the picture as it was before the second.
  EXPECT_EQ(run.Surface->At(TGIFSurfaceKind::Target, 0, 0), 1);
  EXPECT_EQ(run.Surface->At(TGIFSurfaceKind::Target, 3, 3), 3);
}

TEST(GIFAnimation, RestoreToBackgroundAndToPreviousAfterIt) {
  TGIFDocument document;
  Screen(document, 4, 4);
  AddFrame(document, 0, 0, 4, 4, 1, 5);
  AddFrame(document, 0, 0, 2, 2, 2, 5);
  AddFrame(document, 2, 2, 2, 2, 3, 5, 3);  // transparent index 3 = its own colour: draws nothing
  AddFrame(document, 3, 0, 1, 1, 1, 5);
  TRun run;
  ASSERT_TRUE(TGIFAnimation::NeedsBackground(document));
  Play(document, run);
  ASSERT_EQ(run.Surface->Draws.size(), 4u);
  EXPECT_EQ(run.Surface->Draws[1].second, TGIFSurfaceKind::Buffer);
  EXPECT_EQ(run.Surface->Draws[2].second, TGIFSurfaceKind::Compose);
  // The second frame's area went back to the background (0) in the buffer after it was shown.
  EXPECT_EQ(run.Surface->At(TGIFSurfaceKind::Buffer, 0, 0), 0);
  EXPECT_EQ(run.Surface->At(TGIFSurfaceKind::Target, 0, 0), 0);
  EXPECT_EQ(run.Surface->At(TGIFSurfaceKind::Target, 3, 0), 4);
  EXPECT_EQ(run.Surface->At(TGIFSurfaceKind::Target, 3, 3), 1);
}

TEST(GIFAnimation, FramePlaceScalesAndNeverDividesByZero) {
  TGIFDocument document;
  Screen(document, 10, 10);
  TGIFSubImage& frame = AddFrame(document, 5, 5, 5, 5, 1, 0);
  EXPECT_EQ(TGIFAnimation::FramePlace(document, frame, {100, 100, 120, 130}), (TRect{110, 115, 120, 130}));
  TGIFDocument odd;
  Screen(odd, 2, 2);
  TGIFSubImage& half = AddFrame(odd, 1, 1, 1, 1, 1, 0);
  EXPECT_EQ(TGIFAnimation::FramePlace(odd, half, {0, 0, 3, 3}), (TRect{2, 2, 3, 3}));  // 1.5 rounds up
  TGIFDocument empty;
  Screen(empty, 0, 0);
  TGIFSubImage& any = AddFrame(empty, 1, 1, 1, 1, 1, 0);
  EXPECT_EQ(TGIFAnimation::FramePlace(empty, any, {1, 2, 3, 4}), (TRect{1, 2, 3, 4}));
}
