#pragma once

// Limits of a control's size; 0 means no limit.
struct TSizeConstraints {
  int MinWidth = 0;
  int MinHeight = 0;
  int MaxWidth = 0;
  int MaxHeight = 0;

  int ClampWidth(int w) const {
    if (MaxWidth > 0 && w > MaxWidth) w = MaxWidth;
    if (MinWidth > 0 && w < MinWidth) w = MinWidth;
    return w;
  }
  int ClampHeight(int h) const {
    if (MaxHeight > 0 && h > MaxHeight) h = MaxHeight;
    if (MinHeight > 0 && h < MinHeight) h = MinHeight;
    return h;
  }
};
