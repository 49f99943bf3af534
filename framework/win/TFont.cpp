#include "framework/win/TFont.h"

#include <cstring>

#include "framework/win/GdiScopes.h"

namespace {

// The screen's resolution is fixed for the life of the process: asked once, not by each font.
int ScreenPixelsPerInch() {
  static const int ppi = [] {
    const TScreenDC screen;
    const int asked = GetDeviceCaps(screen.Handle(), LOGPIXELSY);
    return asked > 0 ? asked : 96;
  }();
  return ppi;
}

}  // namespace

TFont::TFont() : FName("Tahoma"), FPixelsPerInch(ScreenPixelsPerInch()) { FHeight = -MulDiv(8, FPixelsPerInch, 72); }

void TFont::Assign(const TPersistent* source) {
  if (auto* font = dynamic_cast<const TFont*>(source)) {
    if (font == this) return;
    FName = font->FName;
    FHeight = MulDiv(font->FHeight, FPixelsPerInch, font->FPixelsPerInch);
    FStyle = font->FStyle;
    FColor = font->FColor;
    FCharset = font->FCharset;
    Changed();
    return;
  }
  TGraphicsObject::Assign(source);
}

HFONT TFont::Handle() {
  if (CachedHandle() == nullptr) {
    LOGFONTA lf{};
    lf.lfHeight = FHeight;
    lf.lfWeight = (FStyle & fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (FStyle & fsItalic) ? 1 : 0;
    lf.lfUnderline = (FStyle & fsUnderline) ? 1 : 0;
    lf.lfStrikeOut = (FStyle & fsStrikeOut) ? 1 : 0;
    lf.lfCharSet = FCharset;
    lf.lfQuality = DEFAULT_QUALITY;
    std::strncpy(lf.lfFaceName, FName.c_str(), LF_FACESIZE - 1);
    SetCachedHandle(CreateFontIndirectA(&lf));
  }
  return static_cast<HFONT>(CachedHandle());
}

void TFont::SetHandle(HFONT handle) {
  LOGFONTA lf{};
  if (handle == nullptr || GetObjectA(handle, sizeof lf, &lf) != sizeof lf) return;
  lf.lfFaceName[LF_FACESIZE - 1] = 0;
  FName = lf.lfFaceName;
  FHeight = lf.lfHeight;
  FStyle = (lf.lfWeight >= FW_BOLD ? fsBold : 0) | (lf.lfItalic ? fsItalic : 0) |
           (lf.lfUnderline ? fsUnderline : 0) | (lf.lfStrikeOut ? fsStrikeOut : 0);
  FCharset = lf.lfCharSet;
  Changed();
}

void TFont::SetName(const std::string& name) {
  if (name.empty() || name == FName) return;
  FName = name;
  Changed();
}

int TFont::Size() const { return -MulDiv(FHeight, 72, FPixelsPerInch); }

void TFont::SetSize(int points) { SetHeight(-MulDiv(points, FPixelsPerInch, 72)); }

void TFont::SetHeight(int pixels) {
  if (pixels == FHeight) return;
  FHeight = pixels;
  Changed();
}

void TFont::SetStyle(TFontStyles style) {
  if (style == FStyle) return;
  FStyle = style;
  Changed();
}

void TFont::SetColor(TColor color) {
  if (color == FColor) return;
  FColor = color;
  Changed();
}

void TFont::SetCharset(BYTE charset) {
  if (charset == FCharset) return;
  FCharset = charset;
  Changed();
}
