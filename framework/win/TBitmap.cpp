#include "framework/win/TBitmap.h"

#include <algorithm>
#include <cstring>

#include "framework/win/GdiScopes.h"
#include "framework/win/TCanvas.h"

namespace {

// Larger bitmaps are refused before anything is allocated.
constexpr int kMaxSide = 32767;
constexpr uint64_t kMaxImageBytes = 512u << 20;

int BitsOf(TPixelFormat format) {
  switch (format) {
    case TPixelFormat::Bit1: return 1;
    case TPixelFormat::Bit4: return 4;
    case TPixelFormat::Bit8: return 8;
    case TPixelFormat::Bit15:
    case TPixelFormat::Bit16: return 16;
    case TPixelFormat::Bit24: return 24;
    case TPixelFormat::Bit32: return 32;
    default: return 0;
  }
}

uint64_t RowBytesOf(int width, int bits) { return ((uint64_t(width) * unsigned(bits) + 31) / 32) * 4; }

void CheckSize(int width, int height, int bits) {
  if (width < 0 || height < 0 || width > kMaxSide || height > kMaxSide ||
      RowBytesOf(width, bits ? bits : 32) * unsigned(height) > kMaxImageBytes)
    throw EInvalidGraphic("Bitmap size is not valid");
}

// The colours a new paletted bitmap starts with: black and white, the 16 VGA colours, or a
// 6x6x6 colour cube followed by a grey ramp.
std::vector<RGBQUAD> DefaultColors(int bits) {
  std::vector<RGBQUAD> colors;
  auto add = [&](int r, int g, int b) { colors.push_back(RGBQUAD{BYTE(b), BYTE(g), BYTE(r), 0}); };
  if (bits == 1) {
    add(0, 0, 0);
    add(255, 255, 255);
  } else if (bits == 4) {
    static constexpr COLORREF kVga[16] = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080,
                                          0x808000, 0x808080, 0xC0C0C0, 0x0000FF, 0x00FF00, 0x00FFFF,
                                          0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};
    for (COLORREF c : kVga) add(GetRValue(c), GetGValue(c), GetBValue(c));
  } else if (bits == 8) {
    for (int r = 0; r < 6; ++r)
      for (int g = 0; g < 6; ++g)
        for (int b = 0; b < 6; ++b) add(r * 51, g * 51, b * 51);
    for (int i = 0; colors.size() < 256; ++i) add(i * 255 / 39, i * 255 / 39, i * 255 / 39);
  }
  return colors;
}

uint32_t Get16(const uint8_t* p) { return p[0] | (p[1] << 8); }
uint32_t Get32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24); }
void Put16(std::vector<uint8_t>& v, uint32_t x) {
  v.push_back(uint8_t(x));
  v.push_back(uint8_t(x >> 8));
}
void Put32(std::vector<uint8_t>& v, uint32_t x) {
  Put16(v, x & 0xFFFF);
  Put16(v, x >> 16);
}

// Scales the bits of value under mask to 0..255.
uint8_t Channel(uint32_t value, uint32_t mask) {
  if (mask == 0) return 0;
  int shift = 0;
  while (((mask >> shift) & 1) == 0) ++shift;
  uint32_t m = mask >> shift, v = (value & mask) >> shift;
  return static_cast<uint8_t>((uint64_t(v) * 255 + m / 2) / m);
}

// Expands run-length coded bits (4 or 8 bits per pixel) into bottom-up rows of rowBytes; pixels
// outside the image are dropped, and decoding ends with the input.
std::vector<uint8_t> DecodeRle(const uint8_t* p, size_t n, int bits, int width, int height, size_t rowBytes) {
  std::vector<uint8_t> out(rowBytes * size_t(height), 0);
  int x = 0, y = 0;
  auto put = [&](unsigned index) {
    if (x >= 0 && x < width && y >= 0 && y < height) {
      uint8_t* row = &out[size_t(y) * rowBytes];
      if (bits == 8) {
        row[x] = uint8_t(index);
      } else {
        uint8_t& b = row[x / 2];
        b = (x & 1) ? uint8_t((b & 0xF0) | (index & 0x0F)) : uint8_t((b & 0x0F) | (index << 4));
      }
    }
    ++x;
  };
  size_t i = 0;
  while (i + 1 < n && y < height) {
    unsigned count = p[i], value = p[i + 1];
    i += 2;
    if (count > 0) {
      for (unsigned k = 0; k < count && x < width; ++k)
        put(bits == 8 ? value : ((k & 1) ? value & 0x0F : value >> 4));
    } else if (value == 0) {
      x = 0;
      ++y;
    } else if (value == 1) {
      break;
    } else if (value == 2) {
      if (i + 1 >= n) break;
      x += p[i];
      y += p[i + 1];
      i += 2;
    } else {
      size_t bytes = bits == 8 ? value : (value + 1) / 2;
      if (i + bytes > n) break;
      for (unsigned k = 0; k < value; ++k)
        put(bits == 8 ? p[i + k] : ((k & 1) ? p[i + k / 2] & 0x0F : p[i + k / 2] >> 4));
      i += (bytes + 1) & ~size_t(1);
    }
  }
  return out;
}

}  // namespace

struct TBitmap::TImage {
  HBITMAP Handle = nullptr;
  uint8_t* Bits = nullptr;
  int RowBytes = 0;
  bool TopDown = false;

  TImage() = default;
  TImage(int width, int height, TPixelFormat format, const std::vector<RGBQUAD>& colors) {
    int bits = BitsOf(format);
    CheckSize(width, height, bits);
    if (width == 0 || height == 0) return;
    if (bits == 0) {
      Handle = CreateCompatibleBitmap(TScreenDC().Handle(), width, height);
    } else {
      struct {
        BITMAPINFOHEADER Header;
        RGBQUAD Colors[256];
      } info{};
      info.Header.biSize = sizeof(BITMAPINFOHEADER);
      info.Header.biWidth = width;
      info.Header.biHeight = height;
      info.Header.biPlanes = 1;
      info.Header.biBitCount = WORD(bits);
      info.Header.biCompression = BI_RGB;
      if (format == TPixelFormat::Bit16) {
        info.Header.biCompression = BI_BITFIELDS;
        const DWORD masks[3] = {0xF800, 0x07E0, 0x001F};
        std::memcpy(info.Colors, masks, sizeof masks);
      } else if (bits <= 8) {
        std::vector<RGBQUAD> table = colors.empty() ? DefaultColors(bits) : colors;
        table.resize(size_t(1) << bits, RGBQUAD{0, 0, 0, 0});
        std::copy(table.begin(), table.end(), info.Colors);
        info.Header.biClrUsed = DWORD(table.size());
      }
      void* pixels = nullptr;
      Handle = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &pixels, nullptr, 0);
      Bits = static_cast<uint8_t*>(pixels);
      RowBytes = static_cast<int>(RowBytesOf(width, bits));
    }
    if (Handle == nullptr) throw EInvalidGraphic("Out of system resources");
  }
};

class TBitmap::TBitmapCanvas : public TCanvas {
public:
  explicit TBitmapCanvas(TBitmap* owner) : FOwner(owner) {}
  ~TBitmapCanvas() override { FreeContext(); }

  void FreeContext() {
    if (FDc == nullptr) return;
    SetHandle(nullptr);
    if (FOldPalette != nullptr) SelectPalette(FDc, FOldPalette, TRUE);
    SelectObject(FDc, FOldBitmap);
    DeleteDC(FDc);
    FDc = nullptr;
    FOldPalette = nullptr;
  }

protected:
  void CreateHandle() override {
    FDc = CreateCompatibleDC(nullptr);
    if (FDc == nullptr) return;
    FOldBitmap = FOwner->FHandle ? SelectObject(FDc, FOwner->FHandle) : GetCurrentObject(FDc, OBJ_BITMAP);
    if (HPALETTE palette = FOwner->Palette()) {
      FOldPalette = SelectPalette(FDc, palette, TRUE);
      RealizePalette(FDc);
    }
    SetHandle(FDc);
  }

private:
  TBitmap* FOwner;
  HDC FDc = nullptr;
  HGDIOBJ FOldBitmap = nullptr;
  HPALETTE FOldPalette = nullptr;
};

TBitmap::TBitmap() = default;

TBitmap::~TBitmap() {
  FCanvas.reset();
  FreeImage();
}

TGraphicClass TBitmap::Class() {
  static const TGraphicClassInfo info{"TBitmap", []() -> TGraphic* { return new TBitmap; }};
  return &info;
}

void TBitmap::FreeMask() {
  if (FMask != nullptr) DeleteObject(FMask);
  FMask = nullptr;
}

void TBitmap::FreeImage() {
  if (FCanvas) FCanvas->FreeContext();
  FreeMask();
  if (FPalette != nullptr) DeleteObject(FPalette);
  FPalette = nullptr;
  if (FHandle != nullptr) DeleteObject(FHandle);
  FHandle = nullptr;
  FBits = nullptr;
  FRowBytes = 0;
}

void TBitmap::ReplaceImage(TImage&& image) {
  FreeImage();
  FHandle = image.Handle;
  FBits = image.Bits;
  FRowBytes = image.RowBytes;
  FTopDown = image.TopDown;
  image.Handle = nullptr;
}

void TBitmap::Changed() {
  FreeMask();
  TGraphic::Changed();
}

void TBitmap::SetSize(int width, int height) {
  if (width == FWidth && height == FHeight) return;
  std::vector<RGBQUAD> colors;
  if (FHandle != nullptr && BitsOf(FPixelFormat) <= 8 && BitsOf(FPixelFormat) > 0) {
    colors.resize(256);
    colors.resize(GetDIBColorTable(Canvas()->Handle(), 0, 256, colors.data()));
  }
  TImage image(width, height, FPixelFormat, colors);
  if (image.Handle != nullptr && FHandle != nullptr) {
    TMemoryDC dst(image.Handle);
    BitBlt(dst.Handle(), 0, 0, std::min(width, FWidth), std::min(height, FHeight), Canvas()->Handle(), 0, 0, SRCCOPY);
  }
  ReplaceImage(std::move(image));
  FWidth = width;
  FHeight = height;
  Changed();
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
  if (format == FPixelFormat || format == TPixelFormat::Custom) return;
  TImage image(FWidth, FHeight, format, {});
  if (image.Handle != nullptr && FHandle != nullptr) {
    TMemoryDC dst(image.Handle);
    BitBlt(dst.Handle(), 0, 0, FWidth, FHeight, Canvas()->Handle(), 0, 0, SRCCOPY);
  }
  ReplaceImage(std::move(image));
  FPixelFormat = format;
  Changed();
}

bool TBitmap::Monochrome() const {
  if (FPixelFormat == TPixelFormat::Bit1) return true;
  if (FPixelFormat != TPixelFormat::Device || FHandle == nullptr) return false;
  BITMAP bm{};
  return GetObjectA(FHandle, sizeof bm, &bm) != 0 && bm.bmBitsPixel == 1;
}

void TBitmap::SetMonochrome(bool monochrome) {
  if (monochrome == Monochrome()) return;
  SetPixelFormat(monochrome ? TPixelFormat::Bit1 : TPixelFormat::Device);
}

uint8_t* TBitmap::ScanLine(int y) {
  if (FBits == nullptr || y < 0 || y >= FHeight) throw EInvalidGraphic("Scan line index out of range");
  GdiFlush();
  int row = FTopDown ? y : FHeight - 1 - y;
  return FBits + size_t(row) * size_t(FRowBytes);
}

TCanvas* TBitmap::Canvas() {
  if (!FCanvas) FCanvas = std::make_unique<TBitmapCanvas>(this);
  return FCanvas.get();
}

HBITMAP TBitmap::Handle() { return FHandle; }

void TBitmap::SetHandle(HBITMAP handle) {
  if (handle == FHandle) return;
  FreeImage();
  FWidth = FHeight = 0;
  if (handle != nullptr) {
    DIBSECTION ds{};
    int got = GetObjectA(handle, sizeof ds, &ds);
    if (got == 0) throw EInvalidGraphic("Invalid bitmap handle");
    FHandle = handle;
    FWidth = ds.dsBm.bmWidth;
    FHeight = ds.dsBm.bmHeight;
    if (got == sizeof ds && ds.dsBm.bmBits != nullptr) {
      FBits = static_cast<uint8_t*>(ds.dsBm.bmBits);
      FRowBytes = ds.dsBm.bmWidthBytes;
      FTopDown = ds.dsBmih.biHeight < 0;
      switch (ds.dsBm.bmBitsPixel) {
        case 1: FPixelFormat = TPixelFormat::Bit1; break;
        case 4: FPixelFormat = TPixelFormat::Bit4; break;
        case 8: FPixelFormat = TPixelFormat::Bit8; break;
        case 16:
          FPixelFormat = ds.dsBmih.biCompression == BI_BITFIELDS && ds.dsBitfields[1] == 0x07E0
                             ? TPixelFormat::Bit16
                             : TPixelFormat::Bit15;
          break;
        case 24: FPixelFormat = TPixelFormat::Bit24; break;
        case 32: FPixelFormat = TPixelFormat::Bit32; break;
        default: FPixelFormat = TPixelFormat::Custom; break;
      }
    } else {
      FPixelFormat = TPixelFormat::Device;
    }
  }
  Changed();
}

HBITMAP TBitmap::ReleaseHandle() {
  HBITMAP handle = FHandle;
  if (FCanvas) FCanvas->FreeContext();
  FHandle = nullptr;
  FreeImage();
  FWidth = FHeight = 0;
  Changed();
  return handle;
}

HPALETTE TBitmap::Palette() {
  int bits = BitsOf(FPixelFormat);
  if (FPalette == nullptr && FHandle != nullptr && bits > 0 && bits <= 8) {
    RGBQUAD colors[256];
    UINT count;
    {
      TMemoryDC dc(FHandle);
      count = GetDIBColorTable(dc.Handle(), 0, 256, colors);
    }
    if (count > 0) {
      struct {
        WORD Version, Count;
        PALETTEENTRY Entries[256];
      } log{0x300, WORD(count), {}};
      for (UINT i = 0; i < count; ++i)
        log.Entries[i] = PALETTEENTRY{colors[i].rgbRed, colors[i].rgbGreen, colors[i].rgbBlue, 0};
      FPalette = CreatePalette(reinterpret_cast<LOGPALETTE*>(&log));
    }
  }
  return FPalette;
}

void TBitmap::SetPalette(HPALETTE palette) {
  if (palette == nullptr || palette == FPalette) return;
  PALETTEENTRY entries[256];
  UINT count = GetPaletteEntries(palette, 0, 256, entries);
  DeleteObject(palette);
  int bits = BitsOf(FPixelFormat);
  if (FHandle == nullptr || bits == 0 || bits > 8 || count == 0) return;
  RGBQUAD colors[256];
  for (UINT i = 0; i < count; ++i) colors[i] = RGBQUAD{entries[i].peBlue, entries[i].peGreen, entries[i].peRed, 0};
  if (FCanvas) FCanvas->FreeContext();
  if (FPalette != nullptr) DeleteObject(FPalette);
  FPalette = nullptr;
  {
    TMemoryDC dc(FHandle);
    SetDIBColorTable(dc.Handle(), 0, std::min<UINT>(count, 1u << bits), colors);
  }
  Changed();
}

HBITMAP TBitmap::MaskHandle() {
  if (FMask == nullptr && FHandle != nullptr) {
    FMask = CreateBitmap(FWidth, FHeight, 1, 1, nullptr);
    if (FMask == nullptr) return nullptr;
    HDC src = Canvas()->Handle();
    TMemoryDC dst(FMask);
    COLORREF oldBk = SetBkColor(src, ColorToRGB(TransparentColor()));
    BitBlt(dst.Handle(), 0, 0, FWidth, FHeight, src, 0, 0, SRCCOPY);
    SetBkColor(src, oldBk);
  }
  return FMask;
}

TColor TBitmap::TransparentColor() {
  if (FTransparentMode == TTransparentMode::Fixed && FTransparentColor != clDefault) return FTransparentColor;
  if (Empty()) return clDefault;
  return Canvas()->Pixel(0, FHeight - 1);
}

void TBitmap::SetTransparentColor(TColor color) {
  if (color == FTransparentColor && FTransparentMode == TTransparentMode::Fixed) return;
  FTransparentColor = color;
  FTransparentMode = color == clDefault ? TTransparentMode::Auto : TTransparentMode::Fixed;
  Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode mode) {
  if (mode == FTransparentMode) return;
  if (mode == TTransparentMode::Auto) FTransparentColor = clDefault;
  else FTransparentColor = TransparentColor();
  FTransparentMode = mode;
  Changed();
}

void TBitmap::Assign(const TPersistent* source) {
  if (source == this) return;
  if (source == nullptr) {
    FreeImage();
    FWidth = FHeight = 0;
    Changed();
    return;
  }
  if (auto* bitmap = dynamic_cast<const TBitmap*>(source)) {
    auto* src = const_cast<TBitmap*>(bitmap);
    std::vector<RGBQUAD> colors;
    int bits = BitsOf(src->FPixelFormat);
    if (src->FHandle != nullptr && bits > 0 && bits <= 8) {
      colors.resize(256);
      colors.resize(GetDIBColorTable(src->Canvas()->Handle(), 0, 256, colors.data()));
    }
    TImage image(src->FWidth, src->FHeight, src->FPixelFormat, colors);
    if (image.Handle != nullptr) {
      TMemoryDC dst(image.Handle);
      BitBlt(dst.Handle(), 0, 0, src->FWidth, src->FHeight, src->Canvas()->Handle(), 0, 0, SRCCOPY);
    }
    ReplaceImage(std::move(image));
    FWidth = src->FWidth;
    FHeight = src->FHeight;
    FPixelFormat = src->FPixelFormat;
    FTransparentColor = src->FTransparentColor;
    FTransparentMode = src->FTransparentMode;
    TGraphic::SetTransparent(src->Transparent());
    Changed();
    return;
  }
  if (auto* graphic = dynamic_cast<const TGraphic*>(source)) {
    auto* src = const_cast<TGraphic*>(graphic);
    FreeImage();
    FWidth = FHeight = 0;
    if (FPixelFormat == TPixelFormat::Device) FPixelFormat = TPixelFormat::Bit24;
    SetSize(src->Width(), src->Height());
    if (!Empty()) {
      Canvas()->Brush()->SetColor(clWhite);
      Canvas()->FillRect(RECT{0, 0, FWidth, FHeight});
      Canvas()->Draw(0, 0, src);
    }
    Changed();
    return;
  }
  TGraphic::Assign(source);
}

void TBitmap::Draw(TCanvas* canvas, const RECT& r) {
  if (canvas == nullptr || FHandle == nullptr) return;
  HDC dst = canvas->Handle();
  HDC src = Canvas()->Handle();
  if (dst == nullptr || src == nullptr) return;
  int w = r.right - r.left, h = r.bottom - r.top;
  HPALETTE oldPalette = nullptr;
  if (HPALETTE palette = Palette()) {
    oldPalette = SelectPalette(dst, palette, TRUE);
    RealizePalette(dst);
  }
  int oldMode = SetStretchBltMode(dst, COLORONCOLOR);
  if (Transparent()) {
    // Mask technique: keep the target where the mask is white, add the image where it is black.
    HBITMAP mask = MaskHandle();
    TMemoryDC maskDc(mask);
    COLORREF oldText = SetTextColor(dst, RGB(0, 0, 0)), oldBk = SetBkColor(dst, RGB(255, 255, 255));
    StretchBlt(dst, r.left, r.top, w, h, src, 0, 0, FWidth, FHeight, SRCINVERT);
    StretchBlt(dst, r.left, r.top, w, h, maskDc.Handle(), 0, 0, FWidth, FHeight, SRCAND);
    StretchBlt(dst, r.left, r.top, w, h, src, 0, 0, FWidth, FHeight, SRCINVERT);
    SetTextColor(dst, oldText);
    SetBkColor(dst, oldBk);
  } else {
    StretchBlt(dst, r.left, r.top, w, h, src, 0, 0, FWidth, FHeight, canvas->CopyMode());
  }
  SetStretchBltMode(dst, oldMode);
  if (oldPalette != nullptr) SelectPalette(dst, oldPalette, TRUE);
}

void TBitmap::LoadFromBytes(const uint8_t* data, size_t size) {
  if (data == nullptr || size < 14 || data[0] != 'B' || data[1] != 'M') throw EInvalidGraphic("Bitmap image is not valid");
  uint32_t offBits = Get32(data + 10);
  if (offBits < 14 || offBits > size) throw EInvalidGraphic("Bitmap image is not valid");
  LoadFromDib(data + 14, size - 14, offBits - 14);
}

// Reads a device-independent bitmap: header, colour table and bits at bitsOffset from dib (0: right
// after the colour table). Every size is checked against the data before it is used.
void TBitmap::LoadFromDib(const uint8_t* dib, size_t size, size_t bitsOffset) {
  const auto bad = [] { return EInvalidGraphic("Bitmap image is not valid"); };
  if (size < 12) throw bad();
  uint32_t headerSize = Get32(dib);
  int width, height, bits;
  uint32_t compression = BI_RGB, colorsUsed = 0;
  bool core = headerSize == 12;
  if (core) {
    width = int(Get16(dib + 4));
    height = int(int16_t(Get16(dib + 6)));
    if (Get16(dib + 8) != 1) throw bad();
    bits = int(Get16(dib + 10));
  } else {
    if (headerSize < 40 || headerSize > 1024 || headerSize > size) throw bad();
    width = int(Get32(dib + 4));
    height = int(Get32(dib + 8));
    if (Get16(dib + 12) != 1) throw bad();
    bits = int(Get16(dib + 14));
    compression = Get32(dib + 16);
    colorsUsed = Get32(dib + 32);
  }
  bool topDown = height < 0;
  if (height == INT32_MIN) throw bad();
  height = topDown ? -height : height;
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) throw bad();
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) throw bad();
  bool rle = compression == BI_RLE8 || compression == BI_RLE4;
  if (compression == BI_RLE8 && bits != 8) throw bad();
  if (compression == BI_RLE4 && bits != 4) throw bad();
  if (rle && topDown) throw bad();
  if (compression == BI_BITFIELDS && bits != 16 && bits != 32) throw bad();
  if (compression > BI_BITFIELDS) throw bad();

  size_t pos = headerSize;
  uint32_t masks[3] = {0, 0, 0};
  if (compression == BI_BITFIELDS) {
    if (headerSize >= 52) {
      for (int i = 0; i < 3; ++i) masks[i] = Get32(dib + 40 + 4 * i);
    } else {
      if (pos + 12 > size) throw bad();
      for (int i = 0; i < 3; ++i) masks[i] = Get32(dib + pos + 4 * i);
      pos += 12;
    }
  } else if (bits == 16) {
    masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F;
  }

  std::vector<RGBQUAD> colors;
  if (bits <= 8) {
    size_t count = colorsUsed != 0 ? std::min<size_t>(colorsUsed, size_t(1) << bits) : size_t(1) << bits;
    size_t entry = core ? 3 : 4;
    if (pos + count * entry > size) throw bad();
    for (size_t i = 0; i < count; ++i) {
      const uint8_t* c = dib + pos + i * entry;
      colors.push_back(RGBQUAD{c[0], c[1], c[2], 0});
    }
    pos += count * entry;
  }
  if (bitsOffset == 0) bitsOffset = pos;
  if (bitsOffset > size) throw bad();
  const uint8_t* pixels = dib + bitsOffset;
  size_t available = size - bitsOffset;
  size_t rowBytes = RowBytesOf(width, bits);
  CheckSize(width, height, bits);

  std::vector<uint8_t> decoded;
  if (rle) {
    decoded = DecodeRle(pixels, available, bits, width, height, rowBytes);
    pixels = decoded.data();
  } else if (rowBytes * size_t(height) > available) {
    throw bad();
  }

  TPixelFormat format;
  bool convert = false;
  switch (bits) {
    case 1: format = TPixelFormat::Bit1; break;
    case 4: format = TPixelFormat::Bit4; break;
    case 8: format = TPixelFormat::Bit8; break;
    case 24: format = TPixelFormat::Bit24; break;
    case 16:
      format = TPixelFormat::Bit24;
      convert = true;
      if (masks[0] == 0x7C00 && masks[1] == 0x03E0 && masks[2] == 0x001F) format = TPixelFormat::Bit15, convert = false;
      else if (masks[0] == 0xF800 && masks[1] == 0x07E0 && masks[2] == 0x001F) format = TPixelFormat::Bit16, convert = false;
      break;
    default:
      format = TPixelFormat::Bit32;
      if (compression == BI_BITFIELDS && !(masks[0] == 0xFF0000 && masks[1] == 0xFF00 && masks[2] == 0xFF))
        format = TPixelFormat::Bit24, convert = true;
      break;
  }
  TImage image(width, height, format, colors);
  for (int y = 0; y < height; ++y) {
    const uint8_t* src = pixels + size_t(topDown ? y : height - 1 - y) * rowBytes;
    uint8_t* dst = image.Bits + size_t(height - 1 - y) * size_t(image.RowBytes);
    if (!convert) {
      std::memcpy(dst, src, rowBytes);
      continue;
    }
    for (int x = 0; x < width; ++x) {
      uint32_t v = bits == 16 ? Get16(src + 2 * x) : Get32(src + 4 * x);
      dst[3 * x] = Channel(v, masks[2]);
      dst[3 * x + 1] = Channel(v, masks[1]);
      dst[3 * x + 2] = Channel(v, masks[0]);
    }
  }
  ReplaceImage(std::move(image));
  FWidth = width;
  FHeight = height;
  FPixelFormat = format;
  Changed();
}

std::vector<uint8_t> TBitmap::SaveToBytes() {
  if (FPixelFormat == TPixelFormat::Device || FPixelFormat == TPixelFormat::Custom || FBits == nullptr) {
    if (Empty()) throw EInvalidGraphic("Cannot save an empty bitmap");
    TBitmap copy;
    copy.SetPixelFormat(TPixelFormat::Bit24);
    copy.SetSize(FWidth, FHeight);
    BitBlt(copy.Canvas()->Handle(), 0, 0, FWidth, FHeight, Canvas()->Handle(), 0, 0, SRCCOPY);
    return copy.SaveToBytes();
  }
  int bits = BitsOf(FPixelFormat);
  std::vector<RGBQUAD> colors;
  if (bits <= 8) {
    colors.resize(256);
    colors.resize(GetDIBColorTable(Canvas()->Handle(), 0, 256, colors.data()));
  }
  size_t extra = FPixelFormat == TPixelFormat::Bit16 ? 12 : colors.size() * 4;
  size_t imageBytes = size_t(FRowBytes) * size_t(FHeight);
  uint32_t offBits = uint32_t(14 + 40 + extra);
  std::vector<uint8_t> out;
  out.reserve(offBits + imageBytes);
  out.push_back('B');
  out.push_back('M');
  Put32(out, uint32_t(offBits + imageBytes));
  Put32(out, 0);
  Put32(out, offBits);
  Put32(out, 40);
  Put32(out, uint32_t(FWidth));
  Put32(out, uint32_t(FHeight));
  Put16(out, 1);
  Put16(out, uint32_t(bits));
  Put32(out, FPixelFormat == TPixelFormat::Bit16 ? BI_BITFIELDS : BI_RGB);
  Put32(out, uint32_t(imageBytes));
  Put32(out, 3780);
  Put32(out, 3780);
  Put32(out, uint32_t(colors.size()));
  Put32(out, 0);
  if (FPixelFormat == TPixelFormat::Bit16) {
    Put32(out, 0xF800);
    Put32(out, 0x07E0);
    Put32(out, 0x001F);
  }
  for (const RGBQUAD& c : colors) {
    out.push_back(c.rgbBlue);
    out.push_back(c.rgbGreen);
    out.push_back(c.rgbRed);
    out.push_back(0);
  }
  for (int y = FHeight - 1; y >= 0; --y) {
    const uint8_t* row = ScanLine(y);
    out.insert(out.end(), row, row + FRowBytes);
  }
  return out;
}

void TBitmap::LoadFromResource(HINSTANCE instance, LPCSTR name) {
  HRSRC info = FindResourceA(instance, name, MAKEINTRESOURCEA(2) /* RT_BITMAP */);
  HGLOBAL res = info ? LoadResource(instance, info) : nullptr;
  const auto* data = static_cast<const uint8_t*>(res ? LockResource(res) : nullptr);
  if (data == nullptr) throw EInvalidGraphic("Bitmap resource not found");
  LoadFromDib(data, SizeofResource(instance, info), 0);
}

void TBitmap::LoadFromResourceName(HINSTANCE instance, const std::string& name) {
  LoadFromResource(instance, name.c_str());
}

void TBitmap::LoadFromResourceID(HINSTANCE instance, int id) {
  LoadFromResource(instance, MAKEINTRESOURCEA(id));
}

void TBitmap::LoadFromClipboardFormat(UINT format, HANDLE data, HPALETTE) {
  if (format != CF_BITMAP || data == nullptr) throw EInvalidGraphic("Unsupported clipboard format");
  auto copy = static_cast<HBITMAP>(CopyImage(data, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (copy == nullptr) throw EInvalidGraphic("Unsupported clipboard format");
  SetHandle(copy);
}

void TBitmap::SaveToClipboardFormat(UINT& format, HANDLE& data, HPALETTE& palette) {
  format = CF_BITMAP;
  data = FHandle ? CopyImage(FHandle, IMAGE_BITMAP, 0, 0, 0) : nullptr;
  palette = nullptr;
}
