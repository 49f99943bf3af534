#pragma once

#include "framework/base/TRect.h"
#include "skin/controls/core/ScrollBarModel.h"

// The skinned MDI client without its window: the platform's scroll range of the client turned
// into a bar that starts at 0, where the bars and their grip lie, and where the client area lies
// in the form's window.

// The name of the item standing first in the main menu while the active MDI child is maximized
// (its sub-items restore, minimize and close the child).
constexpr const char* MDIChildIconItemName = "sMDICII";

// The client's scroll information for one direction, as the platform reports it.
struct TMDIScrollInfo {
  int Min = 0;
  int Max = 0;
  unsigned Page = 0;
  int Pos = 0;
};

// One direction's bar: wanted or not, the offset taken away from the client's range (added back
// when the bar scrolls the client) and the bar's validated fill, whose range starts at 0.
struct TMDIBarRange {
  bool Wanted = false;
  int Offset = 0;
  // The bar's own range: 0 .. Max - Page + 1 of the platform's figures, less the offset.
  int Max = 0;
  int Page = 0;
  int Pos = 0;
  TScrollInfoFill Fill() const;
};

// No bar when the information could not be read, the range is empty (a client without bars
// reports zeros) or the page covers it. A page of 0
// counts as 80. A horizontal range whose end equals its offset shows no bar.
TMDIBarRange NormaliseClientScroll(bool available, const TMDIScrollInfo& info, bool horizontal);

// The scroll position to send to the client for a bar position: the offset added back, kept
// within the signed 16 bits a scroll message carries.
int ClientScrollPosition(const TMDIBarRange& range, int barPosition);

// Where the bars and the grip go in the form's client area: along the right and bottom edges,
// clear of the right- and bottom-aligned controls; the grip in the corner when both show.
struct TMDIBarPlacement {
  bool Vertical = false, Horizontal = false, Grip = false;
  TRect VBar, HBar, GripRect;  // as Left, Top, Right, Bottom
};
TMDIBarPlacement PlaceMDIBars(int clientWidth, int clientHeight, int rightWidth, int bottomHeight, int vScrollWidth,
                              int hScrollHeight, bool vertical, bool horizontal);

// The sizes of the controls aligned to each side of the form (sums of widths or heights).
struct TMDIAlignedSizes {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
};

// The frame as the form's skin provider paints it.
struct TMDIFrameSizes {
  int FrameBorderWidth = 0;
  int FrameBorderHeight = 0;
  int TitleBarHeight = 0;
  bool MenuBarShown = false;
  int MenuRowCount = 0;
  int MenuLineHeight = 0;
  int FormBorderWidth = 0;  // the form's own BorderWidth
};

// The MDI client area in window coordinates (Left, Top, Right, Bottom).
TRect MDIClientArea(const TMDIFrameSizes& frame, const TMDIAlignedSizes& aligned, int clientWidth,
                    int clientHeight);

// The client background copied from the window image on erase and paint: the area 4 pixels
// larger, from 2 pixels inside the client area's corner (Left, Top: the source in the image;
// Width and Height through Right and Bottom).
TRect MDIBackgroundSource(const TRect& clientArea);

// The four 2-pixel edge strips of the client window (a client area W x H), in the client
// window's coordinates; each is copied from the same place relative to the client area.
struct TMDIEdgeStrips {
  TRect Top, Left, Bottom, Right;
};
TMDIEdgeStrips MDIEdgeStrips(int width, int height);
