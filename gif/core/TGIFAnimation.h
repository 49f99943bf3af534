#pragma once

#include <atomic>
#include <functional>

#include "gif/core/TGIFAnimationSurface.h"

class TGIFDocument;
class TGIFSubImage;

// The schedule of an animated picture: which frame is drawn when, on which surface, and how often
// the frames repeat. Runs on the painter's thread; the surface and clock are injected.
class TGIFAnimation {
public:
  using TNotify = std::function<void(TGIFAnimation&)>;

  // A hundredth of a second of delay lasts this long.
  static constexpr int kMillisecondsPerDelayUnit = 12;
  static constexpr int kDefaultDelay = 10;
  static constexpr int kMinimumDelay = 3;

  // buffered: whether the painter has its buffer and compose bitmaps (see NeedsBuffer).
  TGIFAnimation(const TGIFDocument& document, TGIFAnimationSurface& surface, TGIFAnimationClock& clock,
                const TRect& target, bool buffered);

  // Buffer and compose bitmaps are needed when a frame restores to background or to previous;
  // the background bitmap when one restores to background.
  static bool NeedsBuffer(const TGIFDocument& document);
  static bool NeedsBackground(const TGIFDocument& document);
  // A frame's place in a rectangle, scaled from the logical screen.
  static TRect FramePlace(const TGIFDocument& document, const TGIFSubImage& frame, const TRect& rect);
  // Delay in hundredths as waited: 0 gives the default, small values the minimum.
  static int EffectiveDelay(int hundredths);

  void Run();
  // Safe from any thread; the owner also wakes the clock.
  void Terminate() { FTerminated = true; }
  bool Terminated() const { return FTerminated; }

  // -1 when done.
  int FrameIndex() const { return FFrameIndex; }
  void SetFrameIndex(int value) { FFrameIndex = value; }
  // -1 forever.
  int LoopCount() const { return FLoopCount; }
  int RestartFrame() const { return FRestartFrame; }
  bool FirstFrameDrawn() const { return FFirstFrameDrawn; }

  void SetOnStart(TNotify handler) { FOnStart = std::move(handler); }
  void SetOnLoop(TNotify handler) { FOnLoop = std::move(handler); }
  void SetOnBeforeFrame(TNotify handler) { FOnBeforeFrame = std::move(handler); }
  void SetOnAfterFrame(TNotify handler) { FOnAfterFrame = std::move(handler); }
  void SetOnEnd(TNotify handler) { FOnEnd = std::move(handler); }

  // Draws one frame following the disposal of the frame before it.
  void PaintFrame(int index, int disposal, int previousDisposal);

private:
  void WaitForTurn(int index);
  static void Notify(const TNotify& handler, TGIFAnimation& self) {
    if (handler) handler(self);
  }

  const TGIFDocument& FDocument;
  TGIFAnimationSurface& FSurface;
  TGIFAnimationClock& FClock;
  TRect FTarget;
  bool FBuffered;
  std::atomic<bool> FTerminated{false};
  std::atomic<int> FFrameIndex{-1};
  int FLoopCount = 1;
  int FRestartFrame = 0;
  std::atomic<bool> FFirstFrameDrawn{false};
  int FPendingDelay = 0;
  unsigned FLastTime = 0;
  long long FCorrection = 0;
  TNotify FOnStart, FOnLoop, FOnBeforeFrame, FOnAfterFrame, FOnEnd;
};
