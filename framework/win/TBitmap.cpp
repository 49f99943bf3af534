#include "framework/win/TBitmap.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "framework/base/ByteOrder.h"
#include "framework/base/TBmpDecoder.h"
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

}  // namespace

struct TBitmap::TImage {
  HBITMAP Handle = nullptr;
  uint8_t* Bits = nullptr;
  int RowBytes = 0;
  bool TopDown = false;

  TImage() = default;
  TImage(const TImage&) = delete;
  TImage& operator=(const TImage&) = delete;
  // A handle still held here was not taken by ReplaceImage: an error came first.
  ~TImage() {
    if (Handle != nullptr) DeleteObject(Handle);
  }
  TImage(int width, int height, TPixelFormat format, const std::vector<RGBQUAD>& colors) {
    int bits = BitsOf(format);
    CheckSize(width, height, bits);
    if (width == 0 || height == 0) return;
    if (bits == 0) {
      Handle = CreateScreenBitmap(width, height);
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
  if (data == nullptr) throw EInvalidGraphic("Bitmap image is not valid");
  LoadFromDib([&] { return TBmpDecoder::FromFile({data, size}); });
}

// Decodes into a new image and takes it only once the whole picture was read, so a bad file
// leaves the bitmap as it was.
void TBitmap::LoadFromDib(const std::function<TBmpDecoder()>& parse) {
  try {
    const TBmpDecoder dib = parse();
    const int width = dib.Width(), height = dib.Height();
    if (dib.Empty() || width > kMaxSide || height > kMaxSide)
      throw EInvalidGraphic("Bitmap image is not valid");
    const auto& masks = dib.Masks();
    TPixelFormat format;
    bool convert = false;
    switch (dib.Bits()) {
      case 1:
        format = TPixelFormat::Bit1;
        break;
      case 4:
        format = TPixelFormat::Bit4;
        break;
      case 8:
        format = TPixelFormat::Bit8;
        break;
      case 24:
        format = TPixelFormat::Bit24;
        break;
      case 16:
        // The two layouts a DIB section holds as they are; any other becomes 24 bits.
        if (masks == std::array<uint32_t, 3>{0x7C00, 0x03E0, 0x001F})
          format = TPixelFormat::Bit15;
        else if (masks == std::array<uint32_t, 3>{0xF800, 0x07E0, 0x001F})
          format = TPixelFormat::Bit16;
        else
          format = TPixelFormat::Bit24, convert = true;
        break;
      default:
        format = TPixelFormat::Bit32;
        if (masks != std::array<uint32_t, 3>{0xFF0000, 0xFF00, 0xFF})
          format = TPixelFormat::Bit24, convert = true;
        break;
    }
    std::vector<RGBQUAD> colors;
    for (uint32_t c : dib.Palette()) colors.push_back(RGBQUAD{BYTE(c), BYTE(c >> 8), BYTE(c >> 16), 0});
    TImage image(width, height, format, colors);
    // DIB sections are stored bottom-up.
    const TPixelRows rows{image.Bits + size_t(height - 1) * size_t(image.RowBytes),
                          -std::ptrdiff_t(image.RowBytes)};
    if (convert)
      dib.ReadBgr24(rows);
    else
      dib.ReadRows(rows);
    ReplaceImage(std::move(image));
    FWidth = width;
    FHeight = height;
    FPixelFormat = format;
  } catch (const EImageFormatError& e) {
    throw EInvalidGraphic(e.Message());
  }
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
  using ByteOrder::AppendLE16, ByteOrder::AppendLE32;
  AppendLE32(out, uint32_t(offBits + imageBytes));
  AppendLE32(out, 0);
  AppendLE32(out, offBits);
  AppendLE32(out, 40);
  AppendLE32(out, uint32_t(FWidth));
  AppendLE32(out, uint32_t(FHeight));
  AppendLE16(out, 1);
  AppendLE16(out, uint16_t(bits));
  AppendLE32(out, FPixelFormat == TPixelFormat::Bit16 ? BI_BITFIELDS : BI_RGB);
  AppendLE32(out, uint32_t(imageBytes));
  AppendLE32(out, 3780);
  AppendLE32(out, 3780);
  AppendLE32(out, uint32_t(colors.size()));
  AppendLE32(out, 0);
  if (FPixelFormat == TPixelFormat::Bit16) {
    AppendLE32(out, 0xF800);
    AppendLE32(out, 0x07E0);
    AppendLE32(out, 0x001F);
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
  LoadFromDib([&] { return TBmpDecoder::FromDib({data, SizeofResource(instance, info)}, 0); });
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
