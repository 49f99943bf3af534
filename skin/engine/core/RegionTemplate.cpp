#include "skin/engine/core/RegionTemplate.h"

#include <algorithm>

#include "skin/engine/core/BlitClip.h"
#include "skin/engine/core/MaskSource.h"
#include "skin/engine/core/MaskedPainters.h"
#include "skin/engine/core/NinePartLayout.h"
#include "skin/engine/core/PixelBlend.h"

namespace {

// One part as CopyPartToRegion, into bmp when it is given, else only the runs within bounds.
void PartToRegion(TsBitmap24View* bmp, const TsRect& bounds, const TsRect& dstR, const TsRect& srcR,
                  const TsMaskImage& mask, TColor key, std::vector<TsRect>& cutRuns) {
  const TsMaskSource s = TsMaskSource::Of(mask);
  if (!s.HasMaskHalf) {
    if (bmp)
      CopyPixels(*bmp, {dstR.Left, dstR.Top}, s.Src,
                 RectOfSize(srcR.Left, srcR.Top, std::min(RectWidth(srcR), RectWidth(dstR)),
                            std::min(RectHeight(srcR), RectHeight(dstR))));
    return;
  }
  const TsBlitArea a = ClipBlit(bounds, s.Limit, dstR.Left, dstR.Top, srcR.Left, srcR.Top,
                                std::min(RectWidth(dstR), RectWidth(srcR)), std::min(RectHeight(dstR), RectHeight(srcR)));
  if (a.IsEmpty()) return;
  const TsBgr k = TsBgr::FromColor(key);
  for (int32_t y = 0; y < a.Height; ++y) {
    uint8_t* d = bmp ? bmp->PixelAt(a.DstX, a.DstY + y) : nullptr;
    const uint8_t* p = s.Src.PixelAt(a.SrcX, a.SrcY + y);
    const uint8_t* m = s.Src.PixelAt(a.SrcX, a.SrcY + y + s.MaskOffset);
    int32_t runStart = -1;
    for (int32_t x = 0; x <= a.Width; ++x, p += 3, m += 3) {
      const bool isKey = x < a.Width && PixelEquals(p, k);
      if (!isKey && runStart >= 0) {
        cutRuns.push_back({a.DstX + runStart, a.DstY + y, a.DstX + x, a.DstY + y + 1});
        runStart = -1;
      }
      if (isKey) {
        if (runStart < 0) runStart = x;
      } else if (d && x < a.Width) {
        for (int c = 0; c < 3; ++c) d[c] = MaskedChannel(p[c], d[c], m[c]);
      }
      if (d) d += 3;
    }
  }
}

// The nine parts of PaintSkinTemplateRgn over bounds, painted into bmp when it is given.
void TemplateRgn(TsBitmap24View* bmp, const TsRect& target, std::vector<TsRect>& cutRuns, bool fillCentre,
                 TsSkinState state, const TsMaskImage& mask) {
  TsNinePartFrame frame;
  if (mask.HasOwnBitmap()) {
    if (RectWidth(target) < 3 || RectHeight(target) < 3) return;
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
    if (ownBitmap && kind == TsPartKind::Centre) {
      if (bmp) CopyRectByMask(*bmp, dst, src, TsCacheView::None(), mask.Own);
    } else {
      PartToRegion(bmp, target, dst, src, mask, SkinKeyColor, cutRuns);
    }
  });
}

}  // namespace

void CopyPartToRegion(TsBitmap24View bmp, const TsRect& dstR, const TsRect& srcR, const TsMaskImage& mask,
                      TColor key, std::vector<TsRect>& cutRuns) {
  PartToRegion(&bmp, bmp.Bounds(), dstR, srcR, mask, key, cutRuns);
}

void PaintSkinTemplateRgn(TsBitmap24View bmp, std::vector<TsRect>& cutRuns, bool fillCentre,
                          TsSkinState state, const TsMaskImage& mask) {
  TemplateRgn(&bmp, bmp.Bounds(), cutRuns, fillCentre, state, mask);
}

void SkinTemplateRgnRuns(int32_t width, int32_t height, std::vector<TsRect>& cutRuns, bool fillCentre,
                         TsSkinState state, const TsMaskImage& mask) {
  if (width <= 0 || height <= 0) return;
  TemplateRgn(nullptr, TsRect{0, 0, width, height}, cutRuns, fillCentre, state, mask);
}
