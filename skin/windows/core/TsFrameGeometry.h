#pragma once

#include <cstdint>
#include <vector>

#include "framework/base/TRect.h"
#include "skin/windows/core/TsWindowRules.h"

// The geometry of a skinned form's frame: sizes from the system metrics and the skin's masks, one
// layout of the caption buttons shared by painting, single-button repaint, hit testing and the
// caption's width, and the rows of the menu band. Window coordinates throughout.

// Hit codes answered for the caption (the platform's values) and the provider's own.
namespace TsHit {
constexpr int Transparent = -1, Nowhere = 0, Client = 1, Caption = 2, SysMenu = 3, Menu = 5, MinButton = 8,
              MaxButton = 9, Left = 10, Right = 11, Top = 12, TopLeft = 13, TopRight = 14, Bottom = 15,
              BottomLeft = 16, BottomRight = 17, Close = 20, Help = 21, ChildClose = 101, ChildRestore = 102,
              ChildMinimize = 103, FirstUser = 1000;
constexpr bool IsEdge(int code) { return code >= Left && code <= BottomRight; }
}  // namespace TsHit

// The system metrics the frame depends on (read from the platform, or given by a test).
struct TsSystemSizes {
  int Caption = 0;       // SM_CYCAPTION
  int SmallCaption = 0;  // SM_CYSMCAPTION
  int FixedFrameX = 0, FixedFrameY = 0;  // SM_CXFIXEDFRAME, SM_CYFIXEDFRAME
  int FrameX = 0, FrameY = 0;            // SM_CXFRAME, SM_CYFRAME
  int Menu = 0;          // SM_CYMENU
  int MenuSizeX = 0;     // SM_CXMENUSIZE
};

struct TsSize {
  int Width = 0;
  int Height = 0;
  friend bool operator==(const TsSize&, const TsSize&) = default;
};

// What the frame's layout depends on, gathered once per paint or hit test.
struct TsFrameFacts {
  TsWindowFacts Window;
  bool MdiChild = false;
  int Width = 0, Height = 0;              // the window
  int ClientWidth = 0, ClientHeight = 0;  // its client area
  int BorderWidth = 0;                    // the form's own border inside the frame
  bool HasMenu = false;                   // the form has a main menu
  bool MenuItemsVisible = false;          // ... with a visible top-level item
  int MenuRows = 1;
  bool ShowAppIcon = true;
  TsSize TitleIcon;                       // 0: from the caption height
  TsSize CloseMask;                       // one state frame of BICONCLOSE; 0 x 0 when missing
  std::vector<bool> UserButtonsEnabled;   // the user caption buttons, in collection order
  bool GripShown = false;                 // grip mode and its mask
  TsSize Grip;
  bool ChildButtonsShown = false;         // an MDI main form with a menu and a maximized child
};

int TitleBarHeight(const TsFrameFacts& f, const TsSystemSizes& s);
int FrameBorderWidth(const TsFrameFacts& f, const TsSystemSizes& s);
int FrameBorderHeight(const TsFrameFacts& f, const TsSystemSizes& s);
int MenuLineHeight(const TsFrameFacts& f, const TsSystemSizes& s);
bool HasMenuBand(const TsFrameFacts& f);
// The skin paints a frame and cuts the window's region: a form with a border, or a borderless one
// whose window has the sizing frame.
bool HasSkinFrame(const TsWindowFacts& w);
// A borderless form with the sizing frame: its frame is strips of the window image as wide as the
// window's non-client frame.
bool BorderlessSizingFrame(const TsFrameFacts& f);
// Title, menu band and top border together, from the window and client sizes.
int TopBandHeight(const TsFrameFacts& f, const TsSystemSizes& s);
TsSize ButtonSize(const TsFrameFacts& f);
bool IconShown(const TsFrameFacts& f);
int IconSizeByCaption(int captionHeight);
TRect IconRect(const TsFrameFacts& f, const TsSystemSizes& s);
// Where the client area starts in the window image.
int ClientOffsetX(const TsFrameFacts& f);
int ClientOffsetY(const TsFrameFacts& f, const TsSystemSizes& s);
// Height of the non-client top that the frame output copies (title, menu rows, border).
int FrameTopHeight(const TsFrameFacts& f, const TsSystemSizes& s);

enum class TsButtonGlyph { Close, Maximize, Restore, Minimize, Help, User };

// One caption button: its slot (k = 1 is the rightmost), the glyph it shows, whether that glyph is
// drawn enabled, and whether a click on it counts (else the slot answers as caption).
struct TsCaptionSlot {
  int Code = 0;
  int Slot = 0;
  TRect Rect;
  TsButtonGlyph Glyph = TsButtonGlyph::Close;
  bool Enabled = true;
  bool Answers = true;
};

// The caption buttons right to left: close (always its slot), maximize and minimize when visible,
// help with the help icon, then the user buttons.
std::vector<TsCaptionSlot> CaptionSlots(const TsFrameFacts& f, const TsSystemSizes& s);
// The maximized MDI child's buttons in the menu band, right to left: close (its right edge one pixel
// inside the frame), restore, minimize; one state frame of BICONCLOSE each (16 x 16 without it),
// centred in the first menu row. None unless ChildButtonsShown.
std::vector<TsCaptionSlot> ChildButtonSlots(const TsFrameFacts& f, const TsSystemSizes& s);
// The caption text's rectangle: between the icon and the buttons.
TRect CaptionTextRect(const TsFrameFacts& f, const TsSystemSizes& s, int slotCount);
TRect GripRect(const TsFrameFacts& f, const TsSystemSizes& s);

// WM_NCHITTEST at p (window coordinates): Code, and MakeHot when the code is a button to show hot
// (the caption buttons of slots, the child buttons of the menu band). Code Nowhere leaves the answer
// to the platform.
struct TsHitResult {
  int Code = TsHit::Nowhere;
  bool MakeHot = false;
  friend bool operator==(const TsHitResult&, const TsHitResult&) = default;
};
TsHitResult FrameHitTest(const TsFrameFacts& f, const TsSystemSizes& s, const std::vector<TsCaptionSlot>& slots, int x,
                         int y);

// Menu band: the top-level items in the order they are shown. A form item and an item of the
// active MDI child's menu are merged by group index: the child's items go before the form's item of
// the next higher group and replace the form's items of the same group.
struct TsMenuEntry {
  int Group = 0;
  bool Counted = true;  // visible, and drawn by the menu painter
};
struct TsMenuSource {
  bool FromChild = false;
  int Index = 0;
  friend bool operator==(const TsMenuSource&, const TsMenuSource&) = default;
};
std::vector<TsMenuSource> MergeMenuBar(const std::vector<TsMenuEntry>& form, const std::vector<TsMenuEntry>& child);

// Items of the given widths placed left to right from x0 and wrapped to a new row when they would
// pass limit (an item wider than the limit still takes a row of its own, never an empty row).
struct TsMenuPlace {
  int X = 0;
  int Row = 0;  // from 0
  int Width = 0;
};
std::vector<TsMenuPlace> PlaceMenuBar(const std::vector<int>& widths, int x0, int limit);
int MenuBarRows(const std::vector<TsMenuPlace>& places);
// The wrap limit for a form of this width.
int MenuBarLimit(const TsFrameFacts& f, const TsSystemSizes& s);

// The state (0 normal, 1 hot, 2 pressed) of every caption button and which one is hot; each call
// returns the codes whose look changed, to repaint them one by one.
class TsCaptionButtonStates {
public:
  void SetUserCount(int count);
  int UserCount() const { return static_cast<int>(FUser.size()); }
  bool HasButton(int code) const;
  int State(int code) const;
  int Hot() const { return FHot; }
  std::vector<int> SetHot(int code);
  std::vector<int> Press(int code);
  // The button released at code acts only when it is the pressed one; a pressed button elsewhere
  // goes back to normal. True when code acts.
  bool Release(int code, std::vector<int>& changed);

private:
  int* Slot(int code);
  void Put(int code, int state, std::vector<int>& changed);

  int FSystem[7] = {};  // 8, 9, 20, 21, 101, 102, 103
  std::vector<int> FUser;
  int FHot = 0;
};
