#include "framework/win/TImage.h"

#include <algorithm>

#include "framework/win/TBitmap.h"
#include "framework/win/TCanvas.h"

TImage::TImage(TComponent* owner) : TGraphicControl(owner) {
  SetControlStyle(ControlStyle() | csReplicatable);
  SetBounds(0, 0, 105, 105);
}

void TImage::SetPicture(const TPicture* picture) {
  FPicture.Assign(picture);
  PictureChanged();
}

void TImage::PictureChanged() {
  if (FAutoSize && FPicture.Width() > 0 && FPicture.Height() > 0)
    SetBounds(Left(), Top(), FPicture.Width(), FPicture.Height());
  Invalidate();
}

TCanvas* TImage::ImageCanvas() {
  if (FPicture.Graphic() == nullptr || FPicture.Graphic()->Empty()) {
    TBitmap* bitmap = FPicture.Bitmap();
    bitmap->SetSize(std::max(1, Width()), std::max(1, Height()));
  }
  return FPicture.Bitmap()->Canvas();
}

void TImage::SetAutoSize(bool value) {
  if (value == FAutoSize) return;
  FAutoSize = value;
  PictureChanged();
}

void TImage::SetCenter(bool value) {
  if (value == FCenter) return;
  FCenter = value;
  Invalidate();
}

void TImage::SetStretch(bool value) {
  if (value == FStretch) return;
  FStretch = value;
  Invalidate();
}

void TImage::SetProportional(bool value) {
  if (value == FProportional) return;
  FProportional = value;
  Invalidate();
}

RECT TImage::DestRect() const {
  int w = FPicture.Width(), h = FPicture.Height();
  int cw = Width(), ch = Height();
  if (FStretch || (FProportional && (w > cw || h > ch))) {
    if (FProportional && w > 0 && h > 0) {
      // Keeps the aspect: scale by the tighter side (64-bit to avoid overflow).
      if (int64_t(cw) * h > int64_t(ch) * w) {
        w = int(int64_t(ch) * w / h);
        h = ch;
      } else {
        h = int(int64_t(cw) * h / w);
        w = cw;
      }
    } else {
      w = cw;
      h = ch;
    }
  }
  RECT r{0, 0, w, h};
  if (FCenter) OffsetRect(&r, (cw - w) / 2, (ch - h) / 2);
  return r;
}

void TImage::Paint() {
  TGraphic* graphic = FPicture.Graphic();
  if (graphic == nullptr || graphic->Empty()) return;
  Canvas()->StretchDraw(DestRect(), graphic);
}
