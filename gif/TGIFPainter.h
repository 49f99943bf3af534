#pragma once

#include <windows.h>

#include <atomic>
#include <memory>
#include <string>

#include "framework/win/Graphics.h"
#include "framework/win/TThread.h"
#include "gif/core/TGIFAnimationSurface.h"

class TBitmap;
class TCanvas;
class TGIFAnimation;
class TGIFImage;

// Animates a GIF picture on a thread of its own: waits between frames on an event and draws each
// frame on the window thread (through Synchronize). Frees itself when its run ends.
class TGIFPainter : public TThread, private TGIFAnimationSurface, private TGIFAnimationClock {
public:
  // target: the picture's own bitmap canvas; source/sourceRect: where the caller drew (to recognise
  // a repeated draw). Created suspended.
  TGIFPainter(TGIFImage* image, TCanvas* target, const RECT& rect, TCanvas* source, const RECT& sourceRect);
  ~TGIFPainter() override;

  // Marks it terminated and wakes it; safe from the window thread at any time.
  void Stop();
  bool FirstFrameDrawn() const { return FFirstFrameDrawn; }
  bool Ended() const { return FEnded; }
  bool DrawsOn(TCanvas* canvas, const RECT& rect) const;
  TColor BackgroundColor() const { return FBackgroundColor; }
  // The colour a painter of image paints its buffers with: the picture's background colour; when
  // that is clNone, the global table's background entry, or the window colour without a table.
  static TColor BackgroundOf(const TGIFImage& image);

protected:
  void Execute() override;

private:
  // Animation clock.
  unsigned Now() override;
  bool Wait(unsigned milliseconds) override;
  void YieldTurn() override;
  // Animation surface, forwarded to the window thread.
  void DrawFrame(TGIFSurfaceKind surface, int frame, const TRect& place) override;
  void Copy(TGIFSurfaceKind from, const TRect& source, TGIFSurfaceKind to, const TRect& target) override;
  HDC SurfaceDC(TGIFSurfaceKind kind);
  void Ending(TObject* sender);
  void Notify(const TNotifyEvent& handler);

  TGIFImage* FImage;
  TCanvas* FTarget;
  RECT FRect;
  TCanvas* FSource;
  RECT FSourceRect;
  HANDLE FEvent;
  TColor FBackgroundColor;
  std::unique_ptr<TBitmap> FBuffer, FCompose, FBackground;
  std::atomic<bool> FFirstFrameDrawn{false};
  std::atomic<bool> FEnded{false};
  std::string FFailure;
  std::atomic<TGIFAnimation*> FAnimation{nullptr};
  TNotifyEvent FOnStart, FOnLoop, FOnPaint, FOnAfterPaint, FOnEnd;
};
