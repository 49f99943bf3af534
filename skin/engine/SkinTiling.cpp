#include "skin/engine/SkinTiling.h"

#include <algorithm>

#include "framework/win/GdiScopes.h"
#include "framework/win/TBitmap.h"
#include "framework/win/TCanvas.h"
#include "framework/win/TControl.h"
#include "framework/win/TGraphic.h"
#include "skin/engine/SkinBitmapRows.h"
#include "skin/engine/core/MaskCornerRuns.h"
#include "skin/engine/core/SectionPainting.h"

namespace {

// Calls f(x, y) for each tile of w x h laid over r, bounded by the canvas' clip box.
template <typename F>
void ForEachTile(TCanvas* canvas, const RECT& r, int w, int h, F f) {
  if (w <= 0 || h <= 0 || r.right <= r.left || r.bottom <= r.top) return;
  RECT clip{};
  GetClipBox(canvas->Handle(), &clip);
  const long left = std::max(r.left, clip.left), top = std::max(r.top, clip.top);
  const long right = std::min(r.right, clip.right), bottom = std::min(r.bottom, clip.bottom);
  if (right <= left || bottom <= top) return;
  for (long y = r.top + (top - r.top) / h * h; y < bottom; y += h)
    for (long x = r.left + (left - r.left) / w * w; x < right; x += w) f(int(x), int(y));
}

}  // namespace

void TileGraphic(TCanvas* canvas, const RECT& r, TGraphic* graphic) {
  if (!canvas || !graphic || graphic->Empty()) return;
  const int w = graphic->Width(), h = graphic->Height();
  HDC dc = canvas->Handle();
  const TSaveDC saved(dc);
  IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
  if (auto* bitmap = dynamic_cast<TBitmap*>(graphic)) {
    HDC src = bitmap->Canvas()->Handle();
    ForEachTile(canvas, r, w, h, [&](int x, int y) {
      BitBlt(dc, x, y, std::min<long>(w, r.right - x), std::min<long>(h, r.bottom - y), src, 0, 0, SRCCOPY);
    });
  } else {
    ForEachTile(canvas, r, w, h, [&](int x, int y) { graphic->Draw(canvas, RECT{x, y, x + w, y + h}); });
  }
}

void TileMaskPart(const TsActiveSkin& skin, TCanvas* canvas, const RECT& r, TGraphic* graphic,
                  int maskIndex) {
  if (graphic && !graphic->Empty()) {
    TileGraphic(canvas, r, graphic);
    return;
  }
  if (!canvas || !skin.MaskIndexValid(maskIndex) || !skin.SkinMasterBitmap) return;
  const TsMaskImage mask = MaskImageOf(skin, maskIndex);
  const TsRect cut = IntersectRects(mask.R, mask.Master.Bounds());
  if (IsRectEmpty(cut)) return;
  // The master's rows through a bitmap the canvas can copy from.
  TBitmap part;
  part.SetPixelFormat(TPixelFormat::Bit24);
  part.SetSize(cut.Right - cut.Left, cut.Bottom - cut.Top);
  const TsBitmap24View rows = BitmapRows(&part);
  for (int32_t y = 0; y < rows.Height(); ++y)
    std::copy_n(mask.Master.PixelAt(cut.Left, cut.Top + y), size_t(rows.Width()) * 3, rows.Row(y));
  TileGraphic(canvas, r, &part);
}

std::unique_ptr<TBitmap> CreateControlBitmap(TControl* control) {
  auto bmp = std::make_unique<TBitmap>();
  bmp->SetPixelFormat(TPixelFormat::Bit24);
  if (control) bmp->SetSize(control->Width(), control->Height());
  return bmp;
}

void CollectMaskCornerRects(const TsActiveSkin& skin, std::vector<RECT>& rects, int targetWidth,
                            int maskIndex, bool bottom, int yOffset) {
  if (!skin.MaskIndexValid(maskIndex)) return;
  std::vector<TsRect> runs;
  CollectMaskCornerRects(runs, targetWidth, MaskImageOf(skin, maskIndex),
                         bottom ? TsCornerRow::Bottom : TsCornerRow::Top, yOffset);
  for (const TsRect& run : runs) rects.push_back(ToRECT(run));
}
