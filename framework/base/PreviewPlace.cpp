#include "framework/base/PreviewPlace.h"

#include <cstdint>

TPreviewPlace PreviewPlace(int picWidth, int picHeight, int boxWidth, int boxHeight) {
  TPreviewPlace place;
  if (picWidth < 1 || picHeight < 1 || boxWidth < 1 || boxHeight < 1) return place;
  if (picWidth <= boxWidth && picHeight <= boxHeight) {
    place.Width = picWidth;
    place.Height = picHeight;
    place.Left = (boxWidth - picWidth) / 2;
    place.Top = (boxHeight - picHeight) / 2;
    return place;
  }
  place.Scaled = true;
  // The smaller ratio: compare picWidth / picHeight with boxWidth / boxHeight without dividing.
  const int64_t pw = picWidth, ph = picHeight, bw = boxWidth, bh = boxHeight;
  if (pw * bh >= ph * bw) {
    place.Width = boxWidth;
    place.Height = int(ph * bw / pw);
  } else {
    place.Height = boxHeight;
    place.Width = int(pw * bh / ph);
  }
  if (place.Width < 1) place.Width = 1;
  if (place.Height < 1) place.Height = 1;
  return place;
}
