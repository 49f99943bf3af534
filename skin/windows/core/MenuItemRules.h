#pragma once

#include <string>

// How skinned menus classify, measure and label their items, without a window: the text extents
// come from a measurer the window layer gives (DrawText with the menu font, or a fake in tests).

// The kinds passed to the painter's OnDrawItem.
enum class TsMenuItemType { mitCaption = 0, mitSeparator = 1, mitNormal = 2, mitBar = 3 };

// A top-level item of a main menu is a bar item; "-" a separator; a caption framed by hyphens
// ("-Files-") a caption item; anything else an ordinary popup item.
TsMenuItemType MenuItemKind(const std::string& caption, bool barItem);

struct TsMenuSize {
  int Width = 0;
  int Height = 0;
  bool operator==(const TsMenuSize&) const = default;
};

// The extent of one line of text as the menu's font draws it (tabs expanded).
class TsMenuTextMeasurer {
public:
  virtual ~TsMenuTextMeasurer() = default;
  virtual TsMenuSize Measure(const std::string& text) = 0;
};

// The glyph column: a bar item only makes room for its own bitmap; a popup item always reserves
// one, its bitmap's size, else its menu's images' size, else 16 x 16.
struct TsMenuGlyphSource {
  TsMenuSize Bitmap;      // (0, 0) when the item has no bitmap
  TsMenuSize ImageList;   // (0, 0) when the menu has no images
};
TsMenuSize MenuGlyphSize(TsMenuItemType kind, const TsMenuGlyphSource& source);

// One text line of a popup: 1.25 x the height of "W", halves to even (14 -> 18, 18 -> 22).
int MenuLineHeight(int letterHeight);

// The facts of one popup item that its size depends on.
struct TsMenuItemFacts {
  std::string Caption;
  std::string ShortCutText;  // "" without a shortcut
  TsMenuGlyphSource Glyph;
};

// A popup item's size: separators 2 high; captions framed by one more hyphen on each side; the
// width makes room for the glyph column twice, three margins and the text with its shortcut.
TsMenuSize MeasurePopupItem(const TsMenuItemFacts& item, int margin, TsMenuTextMeasurer& measurer);

// A bar item's width: its caption and shortcut less the "&" marker; the first item makes room
// for the maximized MDI child's icon and the last for that child's three buttons while the icon
// shows. The proposed width stays when it is larger.
struct TsMenuBarFacts {
  std::string Caption;
  std::string ShortCutText;
  bool First = false;
  bool Last = false;
  bool ChildIconShown = false;
  int ChildIconWidth = 0;
};
constexpr int MenuBarChildButtonsRoom = 40;
int MeasureBarItemWidth(const TsMenuBarFacts& item, int proposedWidth, TsMenuTextMeasurer& measurer);

// The caption of a popup item as drawn: a leading character 8 right-aligns the caption (six
// blanks keep it off the edge); otherwise the painter's alignment holds.
enum class TsMenuAlignment { Left, Right, Center };
struct TsMenuCaptionLayout {
  std::string Text;
  TsMenuAlignment Alignment = TsMenuAlignment::Left;
  bool operator==(const TsMenuCaptionLayout&) const = default;
};
TsMenuCaptionLayout PopupCaptionLayout(const std::string& caption, TsMenuAlignment alignment);

// Where the glyph column and the text of a popup item lie, in the item's own coordinates.
struct TsMenuItemLayout {
  int GlyphLeft = 0, GlyphTop = 0;  // the glyph column's square (for the checked look)
  int TextLeft = 0;                 // the text rectangle's left edge
  int ShortCutLeft = 0, ShortCutRight = 0;
};
TsMenuItemLayout PopupItemLayout(int itemWidth, int itemHeight, TsMenuSize glyph, int margin);
