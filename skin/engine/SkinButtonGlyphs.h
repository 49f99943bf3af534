#pragma once

#include <windows.h>

#include "framework/win/Graphics.h"
#include "skin/engine/core/ButtonGlyph.h"
#include "skin/engine/core/SkinTables.h"

class TBitmap;
class TComponent;
class TImageList;
class TsCommonData;

// Button glyphs on framework bitmaps. A glyph's key colour is its bottom-left pixel.

// Draws the glyph (one or two frames) into dst at r's top-left corner. The button's own glyph
// bitmap is read through a 24-bit copy and never altered.
void DrawButtonGlyph(const TsActiveSkin& skin, TBitmap* glyph, TBitmap* dst, const RECT& r, int numGlyphs,
                     bool enabled, bool grayed, TsDisabledGlyphKind kind, bool hot, int blend);

// Where a skinned bit or speed button takes its glyph from, and the look it shows now.
struct TsButtonGlyphSource {
  TBitmap* Glyph = nullptr;  // the button's own glyph of NumGlyphs frames, when not empty
  int NumGlyphs = 1;
  TImageList* Images = nullptr;  // else image ImageIndex of this list
  int ImageIndex = -1;
  TsGlyphLook Look;
};

// The glyph of a skinned bit or speed button into its cache at r's top-left corner.
void DrawSkinButtonGlyph(const TsActiveSkin& skin, const TsButtonGlyphSource& source, TBitmap* cache,
                         const RECT& r);

// Image `index` of an image list as a glyph at `at` of dst, on the list's background colour (the key
// colour when it has none).
void DrawImageListGlyph(const TsActiveSkin& skin, TBitmap* dst, TImageList* images, int index, POINT at,
                        const TsGlyphLook& look);

// bmp takes the list's image size, filled with the key colour, with image `index` drawn at (0, 0).
void ImageListToBitmap(TBitmap* bmp, TImageList* images, int index);
int ImageListCount(TImageList* images);

// For an unskinned button: glyph becomes a two-frame bitmap of image `index` (frame 1 the disabled
// look) and numGlyphs 2. Nothing while the button is skinned or the index is outside the list.
void PaintImageListGlyph(TComponent* owner, TsCommonData* skinData, int index, int& numGlyphs,
                         TsDisabledGlyphKind kind, TBitmap* glyph, TImageList* images);

void GrayscaleBitmapKeyed(TBitmap* bmp, TColor key);
void CopyBitmapTransparent(TBitmap* dst, TBitmap* src, int x, TColor key, int y);
