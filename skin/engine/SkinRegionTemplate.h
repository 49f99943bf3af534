#pragma once

#include <windows.h>

#include <vector>

#include "framework/win/TBitmap.h"
#include "skin/engine/core/PixelGeometry.h"
#include "skin/engine/core/SkinTables.h"
#include "skin/engine/core/SkinTypes.h"

// Removes every run from the region (difference: a pixel once cut never comes back).
void CutRunsFromRegion(HRGN rgn, const std::vector<TsRect>& runs);

// Paints frame `state` of border mask maskIndex over the whole bitmap and cuts its key-colour runs
// out of the button's region. Nothing for an invalid mask.
void PaintSkinTemplateRgn(const TsActiveSkin& skin, TBitmap* bmp, HRGN rgn, bool fillCentre,
                          TsSkinState state, int maskIndex);
