#include "skin/engine/SkinButtonGlyphs.h"

#include <commctrl.h>

#include <cstring>

#include "framework/win/TBitmap.h"
#include "framework/win/TCanvas.h"
#include "framework/win/TComponent.h"
#include "framework/win/TImageList.h"
#include "skin/engine/SkinBitmapRows.h"
#include "skin/engine/TsCommonData.h"
#include "skin/engine/core/PixelBlend.h"

namespace {

// A 24-bit copy of a bitmap's pixels, leaving the bitmap as it is.
TsBitmap24 RowsCopy(TBitmap* bmp) {
  if (!bmp || bmp->Empty()) return {};
  TBitmap copy;
  copy.Assign(bmp);
  return TsBitmap24::CopyOf(BitmapRows(&copy));
}

void StoreRows(const TsBitmap24& rows, TBitmap* bmp) {
  bmp->SetPixelFormat(TPixelFormat::Bit24);
  bmp->SetSize(rows.Width(), rows.Height());
  const TsBitmap24View dst = BitmapRows(bmp);
  for (int32_t y = 0; y < dst.Height(); ++y) std::memcpy(dst.Row(y), rows.View().Row(y), size_t(dst.Width()) * 3);
}

}  // namespace

void DrawButtonGlyph(const TsActiveSkin& skin, TBitmap* glyph, TBitmap* dst, const RECT& r, int numGlyphs,
                     bool enabled, bool grayed, TsDisabledGlyphKind kind, bool hot, int blend) {
  const TsBitmap24 rows = RowsCopy(glyph);
  if (rows.Width() <= 0) return;
  TsGlyphLook look;
  look.Enabled = enabled;
  look.Grayed = grayed;
  look.Hot = hot;
  look.DisabledKind = kind;
  look.Blend = blend;
  DrawButtonGlyph(rows.View(), BitmapRows(dst), {r.left, r.top}, numGlyphs, look, skin.SkinKeyFillColor);
}

void DrawSkinButtonGlyph(const TsActiveSkin& skin, const TsButtonGlyphSource& source, TBitmap* cache,
                         const RECT& r) {
  if (!cache) return;
  const TsGlyphLook& look = source.Look;
  if (source.Glyph && source.Glyph->Width() > 0) {
    DrawButtonGlyph(skin, source.Glyph, cache, r, source.NumGlyphs & 0x7F, look.Enabled, look.Grayed,
                    look.DisabledKind, look.Hot, look.Blend);
    return;
  }
  DrawImageListGlyph(skin, cache, source.Images, source.ImageIndex, {r.left, r.top}, look);
}

int ImageListCount(TImageList* images) { return images ? images->Count() : 0; }

void ImageListToBitmap(TBitmap* bmp, TImageList* images, int index) {
  if (!bmp || !images) return;
  bmp->SetPixelFormat(TPixelFormat::Bit24);
  bmp->SetSize(images->Width(), images->Height());
  FillRectPixels(BitmapRows(bmp), {0, 0, bmp->Width(), bmp->Height()}, TsBgr::FromColor(SkinKeyColor));
  images->Draw(bmp->Canvas(), 0, 0, index);
}

void DrawImageListGlyph(const TsActiveSkin& skin, TBitmap* dst, TImageList* images, int index, POINT at,
                        const TsGlyphLook& look) {
  if (!images || index < 0 || index >= ImageListCount(images)) return;
  TBitmap temp;
  temp.SetPixelFormat(TPixelFormat::Bit24);
  temp.SetSize(images->Width(), images->Height());
  const COLORREF back = ImageList_GetBkColor(images->Handle());
  const TColor fill = back == CLR_NONE ? SkinKeyColor : static_cast<TColor>(back);
  FillRectPixels(BitmapRows(&temp), {0, 0, temp.Width(), temp.Height()}, TsBgr::FromColor(fill));
  images->Draw(temp.Canvas(), 0, 0, index);
  const TsBitmap24 rows = TsBitmap24::CopyOf(BitmapRows(&temp));
  DrawButtonGlyph(rows.View(), BitmapRows(dst), {at.x, at.y}, 1, look, skin.SkinKeyFillColor);
}

void PaintImageListGlyph(TComponent* owner, TsCommonData* skinData, int index, int& numGlyphs,
                         TsDisabledGlyphKind kind, TBitmap* glyph, TImageList* images) {
  if (!glyph || !images) return;
  if (owner && owner->IsLoading() && (owner->ComponentState() & csDesigning)) return;
  if (skinData && skinData->HasSkin()) return;
  if (index < 0 || index >= ImageListCount(images)) return;
  TBitmap image;
  ImageListToBitmap(&image, images, index);
  const TPixelFormat format = glyph->PixelFormat();
  StoreRows(BuildTwoFrameGlyph(BitmapRows(&image), kind, static_cast<TColor>(ColorToRGB(clBtnFace))), glyph);
  if (format != TPixelFormat::Bit24 && format != TPixelFormat::Device) glyph->SetPixelFormat(format);
  numGlyphs = 2;
}

void GrayscaleBitmapKeyed(TBitmap* bmp, TColor key) { GrayscaleBitmapKeyed(BitmapRows(bmp), key); }

void CopyBitmapTransparent(TBitmap* dst, TBitmap* src, int x, TColor key, int y) {
  const TsBitmap24 rows = RowsCopy(src);
  CopyBitmapTransparent(BitmapRows(dst), rows.View(), {x, y}, key);
}
