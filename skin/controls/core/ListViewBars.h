#pragma once

#include <vector>

#include "framework/base/TRect.h"
#include "skin/controls/core/ScrollBarModel.h"

// The skinned bar pair of a list view without its windows: when each bar shows and what it is
// filled with, from the list's native scroll information; and which column button of the header
// is lit.

// A native GetScrollInfo answer; Valid false when the call failed.
struct TNativeScroll {
  bool Valid = false;
  // The native bar is on the window (its style bit): the skinned one covers only that.
  bool Shown = true;
  int Min = 0;
  int Max = 0;
  unsigned Page = 0;
  int Pos = 0;
};

struct TListViewScrollState {
  // The control paints from the skin: skin active, section resolved, visible, not destroyed.
  bool Skinned = false;
  bool Enabled = true;
  bool Report = false;
  int ItemCount = 0;
  TNativeScroll Vertical;
  TNativeScroll Horizontal;
  // Report view: the header's sections side by side, the control's width and the width of a
  // vertical bar.
  int HeaderWidth = 0;
  int Width = 0;
  int VerticalBarWidth = 0;
};

struct TListViewBarFill {
  bool Shown = false;
  // The scroll information the bar takes (a validated fill: a range with nothing to scroll leaves
  // the bar disabled on 0..1, never an inverted range).
  TScrollInfoFill Info;
  int SmallChange = 1;
};

struct TListViewBars {
  TListViewBarFill Vertical;
  TListViewBarFill Horizontal;
};

TListViewBars PlanListViewBars(const TListViewScrollState& state);

// The report view's horizontal range: the header's sections against the room beside a vertical
// bar, at the list's horizontal position.
TNativeScroll ReportHorizontalRange(const TListViewScrollState& state, bool verticalShown);

// Header sections.
constexpr int NoHeaderSection = -2;  // the hot section when none is under the mouse
constexpr int NoPressedSection = -1;
// The section (index into sections) under x, y; NoHeaderSection when none.
int HeaderSectionAt(const std::vector<TRect>& sections, int x, int y);
// The paint state of a section: 2 pressed, 1 hot while nothing is pressed, else 0.
int HeaderSectionState(int index, int hot, int pressed);
