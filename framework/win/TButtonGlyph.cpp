#include "framework/win/TButtonGlyph.h"

#include <commctrl.h>
#include <algorithm>

#include "framework/win/GdiScopes.h"
#include "framework/win/TCanvas.h"

TButtonGlyph::TButtonGlyph() : FGlyph(std::make_unique<TBitmap>()) {}

TButtonGlyph::~TButtonGlyph() { FreeImages(); }

void TButtonGlyph::FreeImages() {
  if (FImages != nullptr) ImageList_Destroy(FImages);
  FImages = nullptr;
}

void TButtonGlyph::SetGlyph(const TBitmap* bitmap) {
  FreeImages();
  FGlyph->Assign(bitmap);
  int w = FGlyph->Width(), h = FGlyph->Height();
  if (h > 0 && w > h && w % h == 0 && w / h <= 4) FNumGlyphs = w / h;
}

void TButtonGlyph::SetNumGlyphs(int value) {
  if (value < 1 || value > 4 || value == FNumGlyphs) return;
  FNumGlyphs = value;
  FreeImages();
}

SIZE TButtonGlyph::FrameSize() const {
  if (FGlyph->Empty()) return SIZE{0, 0};
  return SIZE{FGlyph->Width() / FNumGlyphs, FGlyph->Height()};
}

void TButtonGlyph::CalcLayout(TCanvas* canvas, const RECT& client, const std::string& caption, TButtonLayout layout,
                              int margin, int spacing, POINT& glyphPos, RECT& textRect) {
  SIZE glyph = FrameSize();
  SIZE text{0, 0};
  if (!caption.empty()) {
    RECT r{0, 0, client.right - client.left, 0};
    DrawTextA(canvas->DrawingHandle(), caption.c_str(), int(caption.size()), &r, DT_CALCRECT | DT_SINGLELINE);
    text = SIZE{r.right - r.left, r.bottom - r.top};
  }
  bool horizontal = layout == blGlyphLeft || layout == blGlyphRight;
  int clientW = client.right - client.left, clientH = client.bottom - client.top;
  int avail = horizontal ? clientW : clientH;
  int glyphLen = horizontal ? glyph.cx : glyph.cy, textLen = horizontal ? text.cx : text.cy;
  if (glyphLen == 0 || textLen == 0) spacing = 0;
  int total = glyphLen + textLen;
  // A margin of -1 centres the whole; a spacing of -1 spreads the rest evenly.
  if (margin < 0) {
    if (spacing < 0) {
      spacing = (avail - total) / 3;
      margin = spacing;
    } else {
      margin = (avail - total - spacing) / 2;
    }
  } else if (spacing < 0) {
    spacing = (avail - total - margin) / 2;
  }
  int glyphAt = margin, textAt = margin + glyphLen + spacing;
  if (layout == blGlyphRight || layout == blGlyphBottom) {
    glyphAt = avail - margin - glyphLen;
    textAt = glyphAt - spacing - textLen;
  }
  if (horizontal) {
    glyphPos = POINT{client.left + glyphAt, client.top + (clientH - glyph.cy) / 2};
    textRect = RECT{client.left + textAt, client.top + (clientH - text.cy) / 2, 0, 0};
  } else {
    glyphPos = POINT{client.left + (clientW - glyph.cx) / 2, client.top + glyphAt};
    textRect = RECT{client.left + (clientW - text.cx) / 2, client.top + textAt, 0, 0};
  }
  textRect.right = textRect.left + text.cx;
  textRect.bottom = textRect.top + text.cy;
}

RECT TButtonGlyph::Draw(TCanvas* canvas, const RECT& client, POINT offset, const std::string& caption,
                        TButtonLayout layout, int margin, int spacing, TButtonState state) {
  POINT glyphPos;
  RECT textRect;
  CalcLayout(canvas, client, caption, layout, margin, spacing, glyphPos, textRect);
  OffsetRect(&textRect, offset.x, offset.y);
  HDC dc = canvas->Handle();
  SIZE frame = FrameSize();
  if (frame.cx > 0) {
    int index = static_cast<int>(state);
    if (index >= FNumGlyphs) index = state == bsExclusive && FNumGlyphs > 2 ? 2 : 0;
    if (FImages == nullptr) {
      // One image per frame, masked by the glyph's key colour.
      FImages = ImageList_Create(frame.cx, frame.cy, ILC_COLOR24 | ILC_MASK, FNumGlyphs, 0);
      if (FImages != nullptr) {
        // The glyph's bitmap stays selected in its canvas, where no other device context can take
        // it: the image list gets a copy.
        int w = FGlyph->Width(), h = FGlyph->Height();
        HDC source = FGlyph->Canvas()->Handle();
        TGdiObject<HBITMAP> copy(CreateCompatibleBitmap(source, w, h));
        {
          TMemoryDC copyDc(copy.Handle());
          BitBlt(copyDc.Handle(), 0, 0, w, h, source, 0, 0, SRCCOPY);
        }
        ImageList_AddMasked(FImages, copy.Handle(), ColorToRGB(FGlyph->TransparentColor()));
      }
    }
    if (FImages != nullptr)
      ImageList_Draw(FImages, index, dc, glyphPos.x + offset.x, glyphPos.y + offset.y, ILD_TRANSPARENT);
  }
  if (!caption.empty()) {
    dc = canvas->DrawingHandle();  // the caption in the canvas' font
    SetBkMode(dc, TRANSPARENT);
    if (state == bsDisabled) {
      RECT shadow = textRect;
      OffsetRect(&shadow, 1, 1);
      SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
      DrawTextA(dc, caption.c_str(), int(caption.size()), &shadow, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
      SetTextColor(dc, GetSysColor(COLOR_BTNSHADOW));
    } else {
      SetTextColor(dc, ColorToRGB(canvas->Font()->Color()));
    }
    DrawTextA(dc, caption.c_str(), int(caption.size()), &textRect, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
  }
  return textRect;
}
