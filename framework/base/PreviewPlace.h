#pragma once

// Where a picture of picWidth x picHeight goes in a preview box: at its own size in the middle when
// it fits, else scaled by the smaller of the two ratios so that it fits whole, from the top-left
// corner. Empty for an empty picture or box.
struct TPreviewPlace {
  int Left = 0, Top = 0, Width = 0, Height = 0;
  bool Scaled = false;
};
TPreviewPlace PreviewPlace(int picWidth, int picHeight, int boxWidth, int boxHeight);
