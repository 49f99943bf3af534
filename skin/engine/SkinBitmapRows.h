#pragma once

#include "framework/win/TBitmap.h"
#include "framework/win/WinRect.h"
#include "skin/engine/core/SectionPainting.h"
#include "skin/engine/core/TsBitmap24View.h"
#include "skin/engine/core/TsCacheView.h"

// The rows of a framework bitmap for the painters; the bitmap is made 24-bit first. An empty view
// for a missing or empty bitmap.
TsBitmap24View BitmapRows(TBitmap* bmp);

// A parent's cache bitmap with the child's origin in it.
TsCacheView CacheViewOf(TBitmap* bmp, int x, int y, bool valid);

// The skin colours for one painting, with system colours resolved by the platform.
TsSkinColors PlatformSkinColors(TColor keyFill = SkinKeyColor, TColor background = SkinKeyColor);
