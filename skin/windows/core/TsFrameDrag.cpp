#include "skin/windows/core/TsFrameDrag.h"

#include <algorithm>
#include <cstdlib>

#include "skin/windows/core/TsFrameGeometry.h"

namespace {

bool LeftEdge(int c) { return c == TsHit::Left || c == TsHit::TopLeft || c == TsHit::BottomLeft; }
bool RightEdge(int c) { return c == TsHit::Right || c == TsHit::TopRight || c == TsHit::BottomRight; }
bool TopEdge(int c) { return c == TsHit::Top || c == TsHit::TopLeft || c == TsHit::TopRight; }
bool BottomEdge(int c) { return c == TsHit::Bottom || c == TsHit::BottomLeft || c == TsHit::BottomRight; }

}  // namespace

bool TsFrameDragModel::Start(int code, const TRect& window, int x, int y, int minWidth, int minHeight) {
  if (code != TsHit::Caption && !TsHit::IsEdge(code)) return false;
  FActive = true;
  FMoving = code == TsHit::Caption;
  FCode = code;
  FStart = FFrame = window;
  FAnchorX = x;
  FAnchorY = y;
  FMinWidth = std::max(minWidth, 0);
  FMinHeight = std::max(minHeight, 0);
  return true;
}

bool TsFrameDragModel::MoveTo(int x, int y) {
  if (!FActive) return false;
  const int dx = x - FAnchorX, dy = y - FAnchorY;
  TRect r = FStart;
  if (FMoving) {
    r.Left += dx;
    r.Right += dx;
    r.Top += dy;
    r.Bottom += dy;
  } else {
    if (LeftEdge(FCode)) r.Left = std::min(FStart.Left + dx, FStart.Right - FMinWidth);
    if (RightEdge(FCode)) r.Right = std::max(FStart.Right + dx, FStart.Left + FMinWidth);
    if (TopEdge(FCode)) r.Top = std::min(FStart.Top + dy, FStart.Bottom - FMinHeight);
    if (BottomEdge(FCode)) r.Bottom = std::max(FStart.Bottom + dy, FStart.Top + FMinHeight);
  }
  if (r == FFrame) return false;
  FFrame = r;
  return true;
}

std::optional<TRect> TsFrameDragModel::Finish() {
  if (!FActive) return std::nullopt;
  FActive = false;
  if (FFrame == FStart) return std::nullopt;
  return FFrame;
}

TsPoint2 SnapToMonitor(int x, int y, int width, int height, const TRect& m, int buffer) {
  if (x == 0 && y == 0) return {x, y};
  if (std::abs(x - m.Left) < buffer) x = m.Left;
  if (std::abs(y - m.Top) < buffer) y = m.Top;
  if (std::abs(x + width - m.Right) < buffer) x = m.Right - width;
  if (std::abs(y + height - m.Bottom) < buffer) y = m.Bottom - height;
  return {x, y};
}
