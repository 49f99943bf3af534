#include "skin/engine/core/DisabledLook.h"

#include "skin/engine/core/PixelBlend.h"

void ApplyDisabledKind(TsBitmap24View bmp, TsDisabledKind kinds, TsPoint offset, const TsCacheView& cache,
                       TColor backgroundColor, std::optional<TColor> parentColor,
                       TColor ownColor) {
  if (kinds.Grayed) GrayscaleBitmap(bmp);
  if (!kinds.Blended || bmp.IsEmpty()) return;
  if (cache.Valid) {
    const TsRect r = OffsetRect(bmp.Bounds(), int64_t(cache.X) + offset.X, int64_t(cache.Y) + offset.Y);
    BlendRectKeyed(bmp, {0, 0}, PixelNoKey, 40, ToInclusive(r), cache.Bitmap);
    return;
  }
  TColor colour = backgroundColor;
  if (colour == SkinKeyColor) colour = parentColor.value_or(ownColor);
  BlendRoundRectColor(bmp, bmp.Bounds(), 50, 0, 0, colour);
}
