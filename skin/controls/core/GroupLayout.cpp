#include "skin/controls/core/GroupLayout.h"

#include <algorithm>

TGroupRect GroupCaptionRect(int width, int lineHeight, int textWidth, TsGroupCaptionLayout layout, int yOffset,
                            int bevelWidth) {
  TGroupRect r;
  r.Bottom = std::max(4, lineHeight) + 2 + yOffset;
  switch (layout) {
    case TsGroupCaptionLayout::clTopLeft: r.Left = 6; break;
    case TsGroupCaptionLayout::clTopCenter: r.Left = (width - textWidth - 10) / 2; break;
    case TsGroupCaptionLayout::clTopRight: r.Left = width - textWidth - 14; break;
  }
  r.Left = std::max(r.Left, 0);
  r.Right = std::min(textWidth + r.Left + 8, width);
  if (r.Right - r.Left < 2 * bevelWidth) {
    r.Left -= bevelWidth;
    r.Right += bevelWidth;
  }
  return r;
}

int ClampColumns(int columns) { return std::clamp(columns, 1, 16); }

int ClampItemIndex(int index, int count) { return std::clamp(index, -1, std::max(count - 1, -1)); }

std::vector<TGroupRect> ArrangeRadioButtons(int count, int columns, int width, int height, int lineHeight,
                                            bool rightToLeft) {
  std::vector<TGroupRect> cells;
  if (count <= 0) return cells;
  columns = ClampColumns(columns);
  const int rows = (count + columns - 1) / columns;
  const int columnWidth = (width - 10) / columns;
  const int free = height - lineHeight - 5;
  const int rowHeight = free / rows;
  const int topMargin = lineHeight + 3 + (free % rows) / 2;
  for (int i = 0; i < count; ++i) {
    int left = (i / rows) * columnWidth + 8;
    if (rightToLeft) left = width - left - columnWidth;
    const int top = (i % rows) * rowHeight + topMargin;
    cells.push_back({left, top, left + columnWidth, top + rowHeight});
  }
  return cells;
}
