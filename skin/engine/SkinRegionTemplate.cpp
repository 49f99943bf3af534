#include "skin/engine/SkinRegionTemplate.h"

#include "skin/engine/SkinBitmapRows.h"
#include "skin/engine/core/RegionTemplate.h"

bool ReadWindowRegion(HWND window, HRGN current, const RECT* whole) {
  if (GetWindowRgn(window, current) != ERROR) return true;
  if (!whole) return false;
  SetRectRgn(current, whole->left, whole->top, whole->right, whole->bottom);
  return true;
}

bool WindowHasRegion(HWND window, HRGN rgn, HRGN current, const RECT* whole) {
  return ReadWindowRegion(window, current, whole) && EqualRgn(current, rgn) != FALSE;
}

void CutRunsFromRegion(HRGN rgn, const std::vector<TsRect>& runs) {
  if (!rgn || runs.empty()) return;
  // One region of all runs, taken away in a single step.
  HRGN cut = CreateRectRgn(0, 0, 0, 0);
  for (const TsRect& r : runs) {
    HRGN run = CreateRectRgn(r.Left, r.Top, r.Right, r.Bottom);
    CombineRgn(cut, cut, run, RGN_OR);
    DeleteObject(run);
  }
  CombineRgn(rgn, rgn, cut, RGN_DIFF);
  DeleteObject(cut);
}

void CutSkinTemplateRgn(const TsActiveSkin& skin, int width, int height, HRGN rgn, bool fillCentre,
                        TsSkinState state, int maskIndex) {
  if (!skin.MaskIndexValid(maskIndex)) return;
  std::vector<TsRect> runs;
  SkinTemplateRgnRuns(width, height, runs, fillCentre, state, MaskImageOf(skin, maskIndex));
  CutRunsFromRegion(rgn, runs);
}

void PaintSkinTemplateRgn(const TsActiveSkin& skin, TBitmap* bmp, HRGN rgn, bool fillCentre,
                          TsSkinState state, int maskIndex) {
  if (!skin.MaskIndexValid(maskIndex)) return;
  const TsBitmap24View rows = BitmapRows(bmp);
  if (rows.IsEmpty()) return;
  std::vector<TsRect> runs;
  PaintSkinTemplateRgn(rows, runs, fillCentre, state, MaskImageOf(skin, maskIndex));
  CutRunsFromRegion(rgn, runs);
}
