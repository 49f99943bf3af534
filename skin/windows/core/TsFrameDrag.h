#pragma once

#include <optional>

#include "framework/base/TRect.h"

// The outline drag of a skinned form: a press on the caption moves, a press on one of the eight
// edges sizes. The model only keeps the outline; the window layer draws it and applies the result.
class TsFrameDragModel {
public:
  // Starts a drag of the window rectangle `window` (screen) at the screen point (x, y) for hit code
  // `code`: the caption moves, the edges 10 to 17 size; any other code starts nothing (False).
  // The outline never gets smaller than minWidth x minHeight.
  bool Start(int code, const TRect& window, int x, int y, int minWidth, int minHeight);
  bool Active() const { return FActive; }
  bool Moving() const { return FMoving; }
  int Code() const { return FCode; }
  // The outline now (screen coordinates).
  const TRect& Frame() const { return FFrame; }
  // The mouse at (x, y): True when the outline changed.
  bool MoveTo(int x, int y);
  // Ends the drag: the rectangle to give the window, none when the outline is where it started.
  std::optional<TRect> Finish();
  // Ends the drag with no result.
  void Cancel() { FActive = false; }

private:
  bool FActive = false;
  bool FMoving = false;
  int FCode = 0;
  TRect FStart;
  TRect FFrame;
  int FAnchorX = 0, FAnchorY = 0;
  int FMinWidth = 0, FMinHeight = 0;
};

// The position a window moving to (x, y) at size width x height takes when its edges snap to the
// monitor rectangle within `buffer` pixels (left, top, then right, bottom). No snap for a move to
// (0, 0).
struct TsPoint2 {
  int X = 0;
  int Y = 0;
  friend bool operator==(const TsPoint2&, const TsPoint2&) = default;
};
TsPoint2 SnapToMonitor(int x, int y, int width, int height, const TRect& monitor, int buffer);
