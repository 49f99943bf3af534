#include "skin/engine/core/RegionTemplate.h"

#include <algorithm>

#include "skin/engine/core/BlitClip.h"
#include "skin/engine/core/MaskSource.h"
#include "skin/engine/core/MaskedPainters.h"
#include "skin/engine/core/NinePartLayout.h"
#include "skin/engine/core/PixelBlend.h"

void CopyPartToRegion(TsBitmap24View bmp, const TsRect& dstR, const TsRect& srcR, const TsMaskImage& mask,
                      TColor key, std::vector<TsRect>& cutRuns) {
  const TsMaskSource s = TsMaskSource::Of(mask);
  if (!s.HasMaskHalf) {
    CopyPixels(bmp, {dstR.Left, dstR.Top}, s.Src,
               RectOfSize(srcR.Left, srcR.Top, std::min(RectWidth(srcR), RectWidth(dstR)),
                          std::min(RectHeight(srcR), RectHeight(dstR))));
    return;
  }
  const TsBlitArea a = ClipBlit(bmp.Bounds(), s.Limit, dstR.Left, dstR.Top, srcR.Left, srcR.Top,
                                std::min(RectWidth(dstR), RectWidth(srcR)), std::min(RectHeight(dstR), RectHeight(srcR)));
  if (a.IsEmpty()) return;
  const TsBgr k = TsBgr::FromColor(key);
  for (int32_t y = 0; y < a.Height; ++y) {
    uint8_t* d = bmp.PixelAt(a.DstX, a.DstY + y);
    const uint8_t* p = s.Src.PixelAt(a.SrcX, a.SrcY + y);
    const uint8_t* m = s.Src.PixelAt(a.SrcX, a.SrcY + y + s.MaskOffset);
    int32_t runStart = -1;
    for (int32_t x = 0; x <= a.Width; ++x, d += 3, p += 3, m += 3) {
      const bool isKey = x < a.Width && PixelEquals(p, k);
      if (isKey) {
        if (runStart < 0) runStart = x;
        continue;
      }
      if (runStart >= 0) {
        cutRuns.push_back({a.DstX + runStart, a.DstY + y, a.DstX + x, a.DstY + y + 1});
        runStart = -1;
      }
      if (x < a.Width)
        for (int c = 0; c < 3; ++c) d[c] = MaskedChannel(p[c], d[c], m[c]);
    }
  }
}

void PaintSkinTemplateRgn(TsBitmap24View bmp, std::vector<TsRect>& cutRuns, bool fillCentre,
                          TsSkinState state, const TsMaskImage& mask) {
  const TsRect target = bmp.Bounds();
  TsNinePartFrame frame;
  if (mask.HasOwnBitmap()) {
    if (bmp.Width() < 3 || bmp.Height() < 3) return;
    frame.PartWidth = mask.Own.Width() / 9;
    frame.PartHeight = mask.Own.Height() / 6;
    frame.Origin = {int32_t(std::clamp(int32_t(state), 0, 2) * 3 * frame.PartWidth), 0};
  } else {
    const TsMasterFrames f = TsMasterFrames::Of(mask);
    if (!f.Valid) return;
    frame.PartWidth = RectWidth(mask.R) / (f.ImageCount * 3);
    frame.PartHeight = RectHeight(mask.R) / (f.Rows * 3);
    const int64_t index = std::clamp<int64_t>(int32_t(state), 0, f.ImageCount - 1);
    frame.Origin = {ClampToInt32(mask.R.Left + index * 3 * frame.PartWidth), mask.R.Top};
  }
  const TsCornerSizes corners = NinePartCorners(RectWidth(target), RectHeight(target), frame.PartWidth,
                                                frame.PartHeight, 0);
  const bool ownBitmap = mask.HasOwnBitmap();
  const bool masked = ownBitmap || mask.MaskType >= 1;
  // A master cut without a mask half has no key runs to cut: all nine parts are copied.
  const bool centre = masked ? fillCentre : true;
  LayoutNineParts(target, target, frame, corners, centre, [&](const TsRect& dst, const TsRect& src, TsPartKind kind) {
    if (ownBitmap && kind == TsPartKind::Centre) CopyRectByMask(bmp, dst, src, TsCacheView::None(), mask.Own);
    else CopyPartToRegion(bmp, dst, src, mask, SkinKeyColor, cutRuns);
  });
}
