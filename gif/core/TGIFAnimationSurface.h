#pragma once

#include "framework/base/TRect.h"

// The target and the painter's three bitmaps, each of the target rectangle's size:
// Buffer holds the picture as composed so far, Compose is scratch for "restore to previous",
// Background the target as it was before the animation.
enum class TGIFSurfaceKind { Target, Buffer, Compose, Background };

// What an animation draws on. The window layer draws with device contexts; tests keep pixels in memory.
class TGIFAnimationSurface {
public:
  virtual ~TGIFAnimationSurface() = default;
  // Called before waiting for a frame's turn, so that rendering it counts toward the wait.
  virtual void RenderFrame(int frame) { (void)frame; }
  // Brackets the drawing of a frame on a surface (the frame's palette is selected meanwhile).
  virtual void BeginFrame(TGIFSurfaceKind surface, int frame) { (void)surface, (void)frame; }
  virtual void EndFrame(TGIFSurfaceKind surface) { (void)surface; }
  // Draws the frame into place, its transparent pixels leaving the surface as it is.
  virtual void DrawFrame(TGIFSurfaceKind surface, int frame, const TRect& place) = 0;
  virtual void Copy(TGIFSurfaceKind from, const TRect& source, TGIFSurfaceKind to, const TRect& target) = 0;
};

// Time for an animation: the window layer uses timeGetTime and an event; tests a fake clock.
class TGIFAnimationClock {
public:
  virtual ~TGIFAnimationClock() = default;
  // Milliseconds; wraps around.
  virtual unsigned Now() = 0;
  // Returns true when woken before the time was up.
  virtual bool Wait(unsigned milliseconds) = 0;
  virtual void YieldTurn() = 0;
};
