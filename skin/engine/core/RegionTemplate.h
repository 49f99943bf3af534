#pragma once

#include <cstdint>
#include <vector>

#include "skin/engine/core/PixelColor.h"
#include "skin/engine/core/PixelGeometry.h"
#include "skin/engine/core/SkinTypes.h"
#include "skin/engine/core/TsBitmap24View.h"
#include "skin/engine/core/TsMaskImage.h"

// Painting a button's border while collecting the key-colour runs that its window region must lose.
// Each run is one row high; the caller removes every run from the region (difference, never
// exclusive-or, so a pixel is never added back).

// Frame `state` of the border mask over the whole bitmap, in the nine-part layout; key pixels of the
// corners and edges (and of the centre of a master cut) are left unpainted and appended to cutRuns.
void PaintSkinTemplateRgn(TsBitmap24View bmp, std::vector<TsRect>& cutRuns, bool fillCentre,
                          TsSkinState state, const TsMaskImage& mask);

// The runs PaintSkinTemplateRgn cuts from a bitmap of this size, without a bitmap to paint.
void SkinTemplateRgnRuns(int32_t width, int32_t height, std::vector<TsRect>& cutRuns, bool fillCentre,
                         TsSkinState state, const TsMaskImage& mask);

// One part: srcR of the mask through its mask half to dstR, key pixels appended to cutRuns. A mask
// without a mask half is copied plainly and cuts nothing.
void CopyPartToRegion(TsBitmap24View bmp, const TsRect& dstR, const TsRect& srcR, const TsMaskImage& mask,
                      TColor key, std::vector<TsRect>& cutRuns);
