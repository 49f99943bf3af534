#pragma once

#include <vector>

#include "framework/base/TRect.h"

// Where a skinned page control paints: its tab strip and body from the native display rectangle,
// each tab's painted rectangle from its native one, the row a tab lies in and the order in which
// tabs are painted. Rectangles are in control coordinates.

enum class TTabSide { Top, Bottom, Left, Right };

struct TTabFrame {
  TTabSide Side = TTabSide::Top;
  int Width = 0;   // the control's size
  int Height = 0;
  TRect Display;   // the native display rectangle of the pages
  bool HasTabs = true;
};

// The strip holding the tabs, and the rest; both the whole control without tabs. Neither reaches
// outside the control.
TRect TabsArea(const TTabFrame& frame);
TRect BodyArea(const TTabFrame& frame);

// The painted rectangle of a tab whose native rectangle is native: larger for the active tab,
// which overlaps the body's edge. Empty for an empty native rectangle (a tab that is not laid out).
TRect SkinTabRect(TTabSide side, const TRect& native, bool active);

// The row (1 = farthest from the body .. rowCount = next to it) of the tab with the native
// rectangle native; 1 on a single row. 0 for an empty rectangle: such a tab is in no row.
int TabRow(TTabSide side, const TRect& native, const TRect& tabsArea, int rowCount);

// The tabs to paint, by their index in natives, row by row from the farthest, so that nearer rows
// overlap farther ones; tabs with an empty rectangle are left out. The active tab is not treated
// apart: its caller paints it last, over the body.
std::vector<int> TabPaintOrder(TTabSide side, const std::vector<TRect>& natives, const TRect& tabsArea,
                               int rowCount);

// How many tabs are scrolled out of a single row: those laid out with a right edge beyond
// width - scrollerWidth - 3 (scrollerWidth 0 without a scroller) or left of 5.
int HiddenTabCount(const std::vector<TRect>& natives, int width, int scrollerWidth);
