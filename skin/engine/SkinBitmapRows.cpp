#include "skin/engine/SkinBitmapRows.h"

TsBitmap24View BitmapRows(TBitmap* bmp) {
  if (!bmp || bmp->Empty()) return {};
  if (bmp->PixelFormat() != TPixelFormat::Bit24) bmp->SetPixelFormat(TPixelFormat::Bit24);
  GdiFlush();  // finish GDI drawing before the rows are read
  uint8_t* first = bmp->ScanLine(0);
  // Rows may be stored bottom-up: take the step from the rows themselves.
  const ptrdiff_t stride = bmp->Height() > 1 ? bmp->ScanLine(1) - first : bmp->RowBytes();
  return TsBitmap24View(first, bmp->Width(), bmp->Height(), stride);
}

TsCacheView CacheViewOf(TBitmap* bmp, int x, int y, bool valid) {
  TsCacheView ci;
  ci.Bitmap = BitmapRows(bmp);
  ci.X = x;
  ci.Y = y;
  ci.Valid = valid && !ci.Bitmap.IsEmpty();
  return ci;
}

TsSkinColors PlatformSkinColors(TColor keyFill, TColor background) {
  TsSkinColors colors;
  colors.KeyFill = keyFill;
  colors.Background = background;
  colors.ToRGB = [](TColor c) { return static_cast<TColor>(ColorToRGB(c)); };
  return colors;
}
