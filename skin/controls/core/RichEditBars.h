#pragma once

// Which skinned bars a rich edit shows and which of them take input, from its native scroll state.
// With HideScrollBars the native control drops a bar its text fits in, so the skinned pair does
// the same: a bar that is unavailable or has almost no range goes, and then a bar the text fits
// beside goes, the horizontal one first (its room grows when the vertical one is not there).

struct TRichEditNativeBar {
  // The bar is asked for (ScrollBars) and the platform gave its scroll information.
  bool Info = false;
  int Max = 0;
  // The platform marks the bar unavailable (STATE_SYSTEM_UNAVAILABLE).
  bool Unavailable = false;
  // The native control took its bar off the window (the text fits), leaving the old range.
  bool Hidden = false;
};

struct TRichEditBarState {
  TRichEditNativeBar Vertical;
  TRichEditNativeBar Horizontal;
  bool HideScrollBars = true;
  bool Enabled = true;  // the control is enabled and not being designed
  bool WordWrap = false;
  int Width = 0;
  int Height = 0;
  int VerticalBarWidth = 0;     // SM_CXVSCROLL
  int HorizontalBarHeight = 0;  // SM_CYHSCROLL
};

struct TRichEditBars {
  bool VerticalShown = false;
  bool HorizontalShown = false;
  bool VerticalEnabled = false;
  bool HorizontalEnabled = false;
};

TRichEditBars RichEditBars(const TRichEditBarState& state);
