#pragma once

#include <windows.h>

#include <vector>

#include "framework/win/TBitmap.h"
#include "skin/engine/core/PixelGeometry.h"
#include "skin/engine/core/SkinTables.h"
#include "skin/engine/core/SkinTypes.h"

// The window's region into `current`; a window without one has `whole` when it is given, else
// false.
bool ReadWindowRegion(HWND window, HRGN current, const RECT* whole);
// True when the window already has region `rgn`: setting it again would lay out and repaint the
// window for nothing. A window without a region has `whole` when one is given, else none that equals
// any. `current` receives the window's region as compared.
bool WindowHasRegion(HWND window, HRGN rgn, HRGN current, const RECT* whole = nullptr);

// Removes every run from the region (difference: a pixel once cut never comes back).
void CutRunsFromRegion(HRGN rgn, const std::vector<TsRect>& runs);

// Cuts from rgn what PaintSkinTemplateRgn would cut for a bitmap of this size, painting nothing.
void CutSkinTemplateRgn(const TsActiveSkin& skin, int width, int height, HRGN rgn, bool fillCentre,
                        TsSkinState state, int maskIndex);

// Paints frame `state` of border mask maskIndex over the whole bitmap and cuts its key-colour runs
// out of the button's region. Nothing for an invalid mask.
void PaintSkinTemplateRgn(const TsActiveSkin& skin, TBitmap* bmp, HRGN rgn, bool fillCentre,
                          TsSkinState state, int maskIndex);
