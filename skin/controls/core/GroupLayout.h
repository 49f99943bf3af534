#pragma once

#include <vector>

// Where a group box's caption goes and how a radio group lays out its buttons.

// Where a group box puts its caption (the bound label has a layout of its own).
enum class TsGroupCaptionLayout { clTopLeft, clTopCenter, clTopRight };

struct TGroupRect {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  bool operator==(const TGroupRect&) const = default;
};

// The caption plate of a box width wide: a band max(4, lineHeight) + 2 (+ yOffset) high; the
// caption textWidth wide placed by layout, never left of 0 nor right of the box; grown by
// bevelWidth on each side when narrower than 2 x bevelWidth.
TGroupRect GroupCaptionRect(int width, int lineHeight, int textWidth, TsGroupCaptionLayout layout, int yOffset,
                            int bevelWidth);

// Columns kept within 1..16; an item index within -1..count - 1.
int ClampColumns(int columns);
int ClampItemIndex(int index, int count);

// The cells of count buttons in columns over a group width x height whose font is lineHeight
// high: column by column, top to bottom; mirrored for right-to-left reading.
std::vector<TGroupRect> ArrangeRadioButtons(int count, int columns, int width, int height, int lineHeight,
                                            bool rightToLeft);
