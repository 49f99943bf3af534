// Every painter with skin values taken from the input: mask images, cuts, frame numbers, counts,
// rectangles, percents and modes. The painters must never read or write outside a bitmap.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "skin/engine/core/ButtonGlyph.h"
#include "skin/engine/core/CaptionLayout.h"
#include "skin/engine/core/DisabledLook.h"
#include "skin/engine/core/Gradient.h"
#include "skin/engine/core/MaskCornerRuns.h"
#include "skin/engine/core/MaskedPainters.h"
#include "skin/engine/core/PixelBlend.h"
#include "skin/engine/core/RegionTemplate.h"
#include "skin/engine/core/SectionBackground.h"
#include "skin/engine/core/TsBitmap24.h"
#include "skin/engine/core/TsFadeSchedule.h"

namespace {

class Input {
public:
  Input(const uint8_t* data, size_t size) : FData(data), FSize(size) {}
  uint8_t Byte() { return FPos < FSize ? FData[FPos++] : 0; }
  int32_t Int() {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v = v << 8 | Byte();
    return int32_t(v);
  }
  // Mostly small values, sometimes anything.
  int32_t Coord() {
    const uint8_t kind = Byte();
    return kind < 200 ? int32_t(Byte()) - 64 : Int();
  }
  TsRect Rect() { return {Coord(), Coord(), Coord(), Coord()}; }
  TsInclusiveRect InclusiveRect() { return {Coord(), Coord(), Coord(), Coord()}; }
  TsPoint Point() { return {Coord(), Coord()}; }
  TsBitmap24 Bitmap() {
    TsBitmap24 b(Byte() % 48 + 1, Byte() % 48 + 1);
    const TsBitmap24View v = b.View();
    const uint8_t seed = Byte();
    const bool keyed = Byte() & 1;
    for (int32_t y = 0; y < v.Height(); ++y)
      for (int32_t x = 0; x < v.Width(); ++x) {
        uint8_t* p = v.PixelAt(x, y);
        p[0] = uint8_t(seed + x * 31 + y);
        p[1] = keyed && (x + y) % 3 == 0 ? 0 : uint8_t(seed * y + x);
        p[2] = keyed && (x + y) % 3 == 0 ? 255 : uint8_t(x ^ y);
        if (keyed && (x + y) % 3 == 0) p[0] = 255;
      }
    return b;
  }

private:
  const uint8_t* FData;
  size_t FSize;
  size_t FPos = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Input in(data, size);
  TsBitmap24 target = in.Bitmap();
  TsBitmap24 source = in.Bitmap();
  TsBitmap24 parent = in.Bitmap();
  const TsBitmap24View t = target.View();
  const TsCacheView cache{parent.View(), in.Coord(), in.Coord(), (in.Byte() & 1) != 0};

  TsMaskImage mask;
  if (in.Byte() & 1) mask.Own = source.View();
  else mask.Master = source.View();
  mask.R = in.Rect();
  mask.ImageCount = int16_t(in.Int());
  mask.MaskType = int16_t(in.Byte() % 4 == 3 ? in.Int() : in.Byte() % 3);
  mask.BorderWidth = int16_t(in.Coord());
  const int32_t state = in.Coord();
  const TColor keyFill = in.Byte() & 1 ? SkinKeyColor : in.Int();

  PaintMaskedGlyph(t, in.Point(), TsSkinState(state), mask, TsGlyphShade(in.Byte() % 3), keyFill);
  PaintNinePartImage(t, in.Rect(), in.Byte() & 1, TsSkinState(state), mask, cache, keyFill);
  PaintNinePartMasterImage(t, in.Rect(), in.Byte() & 1, TsSkinState(state), mask, cache, keyFill);
  CopyRectByMask(t, in.Rect(), in.Rect(), cache, source.View());
  CopyMasterPartMasked(t, in.Rect(), in.Rect(), mask, cache, keyFill);
  std::vector<TsRect> runs;
  PaintSkinTemplateRgn(t, runs, in.Byte() & 1, TsSkinState(state), mask);
  CopyPartToRegion(t, in.Rect(), in.Rect(), mask, SkinKeyColor, runs);
  for (const TsRect& r : runs)
    if (r.Left < 0 || r.Top < 0 || r.Right > t.Width() || r.Bottom > t.Height()) __builtin_trap();
  CollectMaskCornerRects(runs, in.Coord(), mask, in.Byte() & 1 ? TsCornerRow::Top : TsCornerRow::Bottom, in.Coord());

  std::vector<TsGradientStop> stops(in.Byte() % 5);
  for (TsGradientStop& s : stops) s = {in.Int(), in.Int(), uint8_t(in.Byte()), in.Byte() % 3};
  FillGradient(t, in.Rect(), stops);

  BlendRectWithColor(t, in.Rect(), in.Int(), in.Int());
  BlendRectKeyed(t, in.Point(), in.Int(), in.Int(), in.InclusiveRect(), source.View());
  BlendBitmapRect(t, source.View(), {in.Byte(), in.Byte(), in.Byte()}, in.Rect(), in.Point());
  BlendBitmapsByMask(t, source.View(), parent.View(), in.Rect());
  BlendColorByMask(t, parent.View(), in.Int());
  BlendBitmaps(t, source.View(), in.Int());
  BlendRoundRectColor(t, in.Rect(), in.Int(), in.Coord(), in.Coord(), in.Int());
  CopyRectTransparent(t, source.View(), in.Point(), cache, in.Int(), in.InclusiveRect(), keyFill);
  CopyPixels(t, in.Point(), source.View(), in.Rect());
  ApplyDisabledKind(t, {bool(in.Byte() & 1), bool(in.Byte() & 1)}, in.Point(), cache, in.Int(), in.Int(), in.Int());

  TsGlyphLook look;
  look.Enabled = in.Byte() & 1;
  look.Grayed = in.Byte() & 1;
  look.Hot = in.Byte() & 1;
  look.Blend = in.Int();
  DrawButtonGlyph(source.View(), t, in.Point(), in.Byte() % 4, look, keyFill);

  TsSectionLook section;
  section.Color = in.Int();
  section.Transparency = in.Int();
  section.GradientPercent = in.Int();
  section.Gradient = stops;
  section.ImagePercent = in.Int();
  section.Pattern = {source.View(), in.Rect(), (in.Byte() & 1) != 0};
  TsSectionPaint paint;
  paint.Border = &mask;
  paint.State = TsSkinState(state);
  PaintSectionBackground(t, in.Rect(), section, cache, in.Point(), in.Int());
  PaintSectionPixels(t, in.Rect(), section, paint, cache, in.Point());

  TsFadeSchedule fade;
  fade.SetCounter(in.Int());
  fade.StartFor(in.Int(), in.Int());
  fade.SetActive(TsFadeDirection(in.Byte() % 3));
  for (int i = 0; i < 8; ++i) {
    const TsFadeTick tick = fade.Tick(true);
    if (tick.Action == TsFadeTick::TsAction::Paint) {
      TsBitmap24 frame;
      TsFadeSchedule::RenderFrame(tick, source.View(), source.View(), frame);
    }
  }
  TsRect caption = in.Rect();
  LayoutCaptionRect(caption, uint32_t(in.Int()), {in.Int(), in.Int()});
  int32_t count = in.Int();
  BevelFrameLines(caption, count);
  CheckMarkPolygon(in.Rect());
  return 0;
}
