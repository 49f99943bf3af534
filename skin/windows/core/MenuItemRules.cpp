#include "skin/windows/core/MenuItemRules.h"

#include <algorithm>
#include <cmath>

TsMenuItemType MenuItemKind(const std::string& caption, bool barItem) {
  if (barItem) return TsMenuItemType::mitBar;
  if (caption == "-") return TsMenuItemType::mitSeparator;
  if (caption.size() > 1 && caption.front() == '-' && caption.back() == '-') return TsMenuItemType::mitCaption;
  return TsMenuItemType::mitNormal;
}

namespace {
bool Empty(TsMenuSize s) { return s.Width <= 0 || s.Height <= 0; }
}  // namespace

TsMenuSize MenuGlyphSize(TsMenuItemType kind, const TsMenuGlyphSource& source) {
  if (!Empty(source.Bitmap)) return source.Bitmap;
  if (kind == TsMenuItemType::mitBar) return {};
  if (!Empty(source.ImageList)) return source.ImageList;
  return {16, 16};
}

int MenuLineHeight(int letterHeight) {
  return static_cast<int>(std::nearbyint(1.25 * letterHeight));
}

TsMenuSize MeasurePopupItem(const TsMenuItemFacts& item, int margin, TsMenuTextMeasurer& measurer) {
  const TsMenuItemType kind = MenuItemKind(item.Caption, false);
  const TsMenuSize glyph = MenuGlyphSize(kind, item.Glyph);
  std::string text;
  if (kind == TsMenuItemType::mitCaption) text = "-" + item.Caption + "-";
  else if (kind == TsMenuItemType::mitNormal) text = item.Caption + item.ShortCutText;
  const int textWidth = text.empty() ? 0 : measurer.Measure(text).Width;
  TsMenuSize size;
  size.Width = 2 * glyph.Width + 3 * margin + textWidth;
  if (kind == TsMenuItemType::mitSeparator) {
    size.Height = 2;
  } else {
    const int h = MenuLineHeight(measurer.Measure("W").Height);
    size.Height = (kind == TsMenuItemType::mitCaption ? h : std::max(h, glyph.Height)) + 2 * margin;
  }
  return size;
}

int MeasureBarItemWidth(const TsMenuBarFacts& item, int proposedWidth, TsMenuTextMeasurer& measurer) {
  const std::string text = item.Caption + item.ShortCutText;
  int w = text.empty() ? 0 : measurer.Measure(text).Width;
  if (text.find('&') != std::string::npos) w -= measurer.Measure("&").Width;
  if (item.ChildIconShown) {
    if (item.First) w += item.ChildIconWidth;
    if (item.Last) w += MenuBarChildButtonsRoom;
  }
  return std::max(w, proposedWidth);
}

TsMenuCaptionLayout PopupCaptionLayout(const std::string& caption, TsMenuAlignment alignment) {
  if (!caption.empty() && caption.front() == '\b') return {caption.substr(1) + "      ", TsMenuAlignment::Right};
  return {caption, alignment};
}

TsMenuItemLayout PopupItemLayout(int itemWidth, int itemHeight, TsMenuSize glyph, int margin) {
  TsMenuItemLayout l;
  l.GlyphLeft = margin;
  l.GlyphTop = (itemHeight - glyph.Height) / 2;
  l.TextLeft = glyph.Width + 2 * margin;
  l.ShortCutLeft = itemWidth - l.TextLeft;
  l.ShortCutRight = itemWidth - 8;
  return l;
}
