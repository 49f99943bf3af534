#include "gif/core/TGIFAnimation.h"

#include "gif/core/TGIFAppExtNSLoop.h"
#include "gif/core/TGIFDocument.h"

namespace {
// a * b / c rounded to the nearest integer, halves away from zero.
int MulDiv(int a, int b, int c) {
  const long long product = static_cast<long long>(a) * b;
  const long long half = (c < 0 ? -c : c) / 2;
  const long long result = ((product < 0) != (c < 0) ? product - half : product + half) / c;
  return static_cast<int>(result);
}

const TGIFAppExtNSLoop* LoopExtension(const TGIFSubImage& frame) {
  for (const auto& extension : frame.Extensions())
    if (const auto* loop = dynamic_cast<const TGIFAppExtNSLoop*>(extension.get())) return loop;
  return nullptr;
}

bool UsesDisposal(const TGIFDocument& document, int disposal) {
  for (const auto& frame : document.Frames())
    if (frame->Disposal() == disposal) return true;
  return false;
}
}  // namespace

TGIFAnimation::TGIFAnimation(const TGIFDocument& document, TGIFAnimationSurface& surface,
                             TGIFAnimationClock& clock, const TRect& target, bool buffered)
    : FDocument(document), FSurface(surface), FClock(clock), FTarget(target), FBuffered(buffered) {}

bool TGIFAnimation::NeedsBuffer(const TGIFDocument& document) {
  return UsesDisposal(document, 2) || UsesDisposal(document, 3);
}

bool TGIFAnimation::NeedsBackground(const TGIFDocument& document) {
  return UsesDisposal(document, 2);
}

TRect TGIFAnimation::FramePlace(const TGIFDocument& document, const TGIFSubImage& frame, const TRect& rect) {
  TRect place = rect;
  const int width = document.Width(), height = document.Height();
  // A picture without a size has no scale: the frame fills the rectangle.
  if (width > 0) {
    place.Left = rect.Left + MulDiv(frame.Left(), rect.Width(), width);
    place.Right = rect.Left + MulDiv(frame.Left() + frame.Width(), rect.Width(), width);
  }
  if (height > 0) {
    place.Top = rect.Top + MulDiv(frame.Top(), rect.Height(), height);
    place.Bottom = rect.Top + MulDiv(frame.Top() + frame.Height(), rect.Height(), height);
  }
  return place;
}

int TGIFAnimation::EffectiveDelay(int hundredths) {
  if (hundredths == 0) return kDefaultDelay;
  return hundredths < kMinimumDelay ? kMinimumDelay : hundredths;
}

void TGIFAnimation::WaitForTurn(int index) {
  if (FPendingDelay <= 0) {
    FClock.YieldTurn();
    return;
  }
  FSurface.RenderFrame(index);
  const unsigned now = FClock.Now();
  // Unsigned difference: right across the counter's wrap.
  const unsigned elapsed = now - FLastTime;
  // An overrun of the last frame shortens this wait by half of it.
  const long long wait =
      static_cast<long long>(FPendingDelay) * kMillisecondsPerDelayUnit - (elapsed - FCorrection) / 2;
  FCorrection = wait;
  FLastTime = now;
  if (wait > 0 && FClock.Wait(static_cast<unsigned>(wait))) {
    FCorrection = 0;
    FLastTime = FClock.Now();
  }
}

void TGIFAnimation::Run() {
  FFrameIndex = 0;
  Notify(FOnStart, *this);
  FFirstFrameDrawn = false;
  FLoopCount = 1;
  FRestartFrame = 0;
  bool loopMet = false;
  FPendingDelay = 0;
  int previousDisposal = 1;
  FLastTime = FClock.Now();
  FCorrection = 0;
  const auto& frames = FDocument.Frames();
  const int count = static_cast<int>(frames.size());

  do {
    FFrameIndex = FRestartFrame;
    if (FFirstFrameDrawn) Notify(FOnLoop, *this);
    for (;;) {
      const int index = FFrameIndex;
      if (index < 0 || index >= count || FTerminated || frames[index]->Empty()) break;
      WaitForTurn(index);
      if (FTerminated) break;
      Notify(FOnBeforeFrame, *this);
      const TGIFSubImage& frame = *frames[index];
      const int disposal = frame.Disposal();
      if (!loopMet)
        if (const TGIFAppExtNSLoop* loop = LoopExtension(frame)) {
          loopMet = true;
          FLoopCount = loop->LoopCount() == 0 ? -1 : loop->LoopCount();
          FRestartFrame = index;
        }
      PaintFrame(index, disposal, previousDisposal);
      previousDisposal = disposal;
      FPendingDelay = EffectiveDelay(frame.Delay());
      Notify(FOnAfterFrame, *this);
      if (FFrameIndex == index) FFrameIndex = index + 1;
    }
    if (FLoopCount > 0) --FLoopCount;
  } while (FLoopCount != 0 && !FTerminated);
  FFrameIndex = -1;
  Notify(FOnEnd, *this);
}

void TGIFAnimation::PaintFrame(int index, int disposal, int previousDisposal) {
  const TGIFSubImage& frame = *FDocument.Frames()[index];
  if (!FBuffered) {
    FSurface.BeginFrame(TGIFSurfaceKind::Target, index);
    FSurface.DrawFrame(TGIFSurfaceKind::Target, index, FramePlace(FDocument, frame, FTarget));
    FSurface.EndFrame(TGIFSurfaceKind::Target);
    FFirstFrameDrawn = true;
    return;
  }
  const TRect whole{0, 0, FTarget.Width(), FTarget.Height()};
  const TRect inBuffer = FramePlace(FDocument, frame, whole);
  TGIFSurfaceKind surface = TGIFSurfaceKind::Buffer;
  // Restore to previous: the buffer must keep the picture as it was before this frame.
  if (disposal == 3)
    surface =
        previousDisposal == 2 || previousDisposal == 3 ? TGIFSurfaceKind::Compose : TGIFSurfaceKind::Target;
  FSurface.BeginFrame(surface, index);
  if (surface == TGIFSurfaceKind::Compose) FSurface.Copy(TGIFSurfaceKind::Buffer, whole, surface, whole);
  if (surface == TGIFSurfaceKind::Target) {
    FSurface.DrawFrame(surface, index, FramePlace(FDocument, frame, FTarget));
  } else {
    FSurface.DrawFrame(surface, index, inBuffer);
    FSurface.Copy(surface, whole, TGIFSurfaceKind::Target, FTarget);
  }
  FSurface.EndFrame(surface);
  if (disposal == 2) FSurface.Copy(TGIFSurfaceKind::Background, inBuffer, TGIFSurfaceKind::Buffer, inBuffer);
  FFirstFrameDrawn = true;
}
