#pragma once

#include <array>
#include <cstdint>

#include "framework/base/TRect.h"

// The data navigator's row of ten buttons (First, Prior, Next, Last, Insert, Delete, Edit, Post,
// Cancel, Refresh by index 0..9): layout, enabling and keyboard focus, apart from any window.
namespace NavigatorModel {

constexpr int ButtonCount = 10;
using TButtonBits = std::uint16_t;  // bit i: button i
constexpr TButtonBits AllButtons = 0x3FF;
enum : int { First, Prior, Next, Last, Insert, Delete, Edit, Post, Cancel, Refresh };

// Each button is at least this size: a 16-pixel glyph with a 2-pixel margin on every side of the
// skin's button frame stays whole, and a button stays a target the mouse can hit.
constexpr int MinButtonWidth = 20;
constexpr int MinButtonHeight = 20;

struct TPoint {
  std::int32_t X = 0;
  std::int32_t Y = 0;
};

struct TBorder {
  bool Single = false;  // BorderStyle single
  bool Ctl3D = true;
  int BorderWidth = 0;
  int BevelWidth = 1;
  bool BevelInner = false;
  bool BevelOuter = false;
};
// The inset of the buttons from the navigator's edges.
int BorderSize(const TBorder& border);

int VisibleCount(TButtonBits visible);

struct TLayout {
  int Width = 0;  // the navigator's width (changed only when it is not aligned)
  std::array<TRect, ButtonCount> Buttons{};
};
// Visible buttons left to right at the top border, the leftover pixels of the division spread one by
// one; hidden ones just beyond the right edge. The buttons end bottomGap pixels above the bottom
// border.
TLayout Layout(int width, int height, int border, TButtonBits visible, bool aligned, int bottomGap = 1);

// The smallest size the navigator may take.
TPoint MinSize(TButtonBits visible, int border);

struct TDataState {
  bool Active = false;   // a source with an open table, and the navigator enabled
  bool AtStart = false;  // on the first record, or empty
  bool AtEnd = false;    // on the last record, or empty
  bool Empty = false;
  bool CanModify = false;
  bool Editing = false;
};
TButtonBits EnabledButtons(const TDataState& state);

// The next visible button from focused in direction (-1, 1), or focused at the end of the row.
int StepFocus(int focused, int direction, TButtonBits visible);
// The focus after the visible set changed: kept when its button still shows, else the nearest
// visible button to its right, else to its left; kept when none shows.
int FocusAfterVisibleChange(int focused, TButtonBits visible);

}  // namespace NavigatorModel
