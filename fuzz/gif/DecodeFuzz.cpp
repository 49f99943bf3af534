// The decoder on arbitrary bytes: load, render every frame both ways, run the animation schedule.
#include <cstddef>
#include <cstdint>

#include "gif/core/GIFException.h"
#include "gif/core/TGIFAnimation.h"
#include "gif/core/TGIFDocument.h"
#include "gif/core/TGIFFrameRenderer.h"

namespace {
class TNullSurface : public TGIFAnimationSurface {
public:
  void DrawFrame(TGIFSurfaceKind, int, const TRect&) override {}
  void Copy(TGIFSurfaceKind, const TRect&, TGIFSurfaceKind, const TRect&) override {}
};

class TInstantClock : public TGIFAnimationClock {
public:
  unsigned Now() override { return FTime; }
  bool Wait(unsigned milliseconds) override {
    FTime += milliseconds;
    return false;
  }
  void YieldTurn() override {}

private:
  unsigned FTime = 0;
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TGIFDocument document;
  try {
    document.LoadFromBytes(data, size);
  } catch (const GIFException&) {
    return 0;
  }
  TGIFFrameRenderer renderer;
  for (const auto& frame : document.Frames()) {
    renderer.Render(document.Header(), *frame, TGIFRenderPalette::Own);
    renderer.Render(document.Header(), *frame, TGIFRenderPalette::Web);
  }
  TNullSurface surface;
  TInstantClock clock;
  TGIFAnimation animation(document, surface, clock, {0, 0, 64, 48}, TGIFAnimation::NeedsBuffer(document));
  int frames = 0;
  // A looping picture plays until stopped.
  animation.SetOnAfterFrame([&](TGIFAnimation& a) {
    if (++frames > 1000) a.Terminate();
  });
  animation.Run();
  return 0;
}
