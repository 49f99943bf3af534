#include "gif/TGIFImage.h"

#include <cstring>

#include "framework/win/GdiScopes.h"
#include "framework/win/TBitmap.h"
#include "framework/win/TCanvas.h"
#include "framework/win/TPicture.h"
#include "framework/win/WinRect.h"
#include "gif/TGIFPainter.h"
#include "gif/core/GIFException.h"
#include "gif/core/TGIFAnimation.h"
#include "gif/core/TGIFColorReducer.h"
#include "gif/core/TGIFExtensionRegistry.h"
#include "gif/core/TGIFFrameRenderer.h"
#include "gif/core/TGIFGraphicControlExtension.h"
#include "gif/core/TNetscapeColorLookup.h"

struct TGIFImage::TFrameCache {
  std::unique_ptr<TBitmap> Bitmap;
  HBITMAP Mask = nullptr;
  ~TFrameCache() {
    if (Mask) DeleteObject(Mask);
  }
};

namespace {
const TGraphicClassInfo kClassInfo{"TGIFImage", []() -> TGraphic* { return new TGIFImage; }};

// The screen is palette-based below 9 bits per pixel.
bool PaletteScreen() {
  const TScreenDC screen;
  const int bits = GetDeviceCaps(screen.Handle(), BITSPIXEL) * GetDeviceCaps(screen.Handle(), PLANES);
  return bits < 9;
}

// Runs a codec call, giving its failures the framework's invalid-graphic kind.
template <typename F>
auto Guard(F&& call) -> decltype(call()) {
  try {
    return call();
  } catch (const GIFException& e) {
    throw EInvalidGraphic(e.Message());
  }
}

TProgressStage StageOf(int percent) {
  return percent <= 0     ? TProgressStage::Starting
         : percent >= 100 ? TProgressStage::Ending
                          : TProgressStage::Running;
}

const bool gRegistered = (RegisterGIFImage(), true);
}  // namespace

void RegisterGIFImage() {
  static bool done = false;
  if (done) return;
  done = true;
  TPicture::RegisterFileFormat("gif", "GIF Image", TGIFImage::Class());
  TPicture::RegisterClipboardFormat(TGIFImage::ClipboardFormat(), TGIFImage::Class());
}

void UnregisterGIFImage() {
  TPicture::UnregisterGraphicClass(TGIFImage::Class());
  TGIFExtensionRegistry::Instance().Reset();
}

TGraphicClass TGIFImage::Class() {
  (void)gRegistered;
  return &kClassInfo;
}

UINT TGIFImage::ClipboardFormat() {
  static const UINT format = RegisterClipboardFormatA("GIF Image");
  return format;
}

TGIFImage::TGIFImage() {
  FDocument.Reporter().SetOnWarning([this](TGIFSeverity, const std::string& message) { Warning(message); });
  FDocument.Reporter().SetOnProgress(
      [this](const std::string& stage, int percent) { Progress(StageOf(percent), percent, stage); });
}

TGIFImage::~TGIFImage() {
  StopPainters();
  if (FPalette) DeleteObject(FPalette);
}

void TGIFImage::Clear() {
  StopPainters();
  FDocument.Clear();
  FFrames.clear();
  DropRendered();
}

void TGIFImage::DropRendered() {
  // A painter draws into the rendered bitmap: it goes first.
  StopPainters();
  FRendered.reset();
  if (FPalette) DeleteObject(FPalette);
  FPalette = nullptr;
}

void TGIFImage::LoadFromBytes(const uint8_t* data, size_t size) {
  StopPainters();
  TGIFDocument fresh;
  fresh.Reporter().SetOnWarning(FDocument.Reporter().OnWarning());
  fresh.Reporter().SetOnProgress(FDocument.Reporter().OnProgress());
  Guard([&] { fresh.LoadFromBytes(data, size); });
  std::swap(FDocument.Header(), fresh.Header());
  std::swap(FDocument.Frames(), fresh.Frames());
  FFrames.clear();
  DropRendered();
  Changed();
}

std::vector<uint8_t> TGIFImage::SaveToBytes() {
  return Guard([&] { return FDocument.SaveToBytes(); });
}

void TGIFImage::SetWidth(int width) {
  if (width == Width()) return;
  if (width < 0 || width > 65535) throw EInvalidGraphic("Invalid image dimensions");
  for (const auto& frame : FDocument.Frames())
    if (frame->Left() + frame->Width() > width)
      throw EInvalidGraphic("Image width too small for contained frames");
  FDocument.Header().SetWidth(static_cast<uint16_t>(width));
  DropRendered();
  Changed();
}

void TGIFImage::SetHeight(int height) {
  if (height == Height()) return;
  if (height < 0 || height > 65535) throw EInvalidGraphic("Invalid image dimensions");
  for (const auto& frame : FDocument.Frames())
    if (frame->Top() + frame->Height() > height)
      throw EInvalidGraphic("Image height too small for contained frames");
  FDocument.Header().SetHeight(static_cast<uint16_t>(height));
  DropRendered();
  Changed();
}

HPALETTE TGIFImage::Palette() {
  if (FPalette) return FPalette;
  const TGIFColorMap* map = nullptr;
  TGIFColorMap web;
  if ((FDrawOptions & goDither) && PaletteScreen()) {
    web = TNetscapeColorLookup::WebPalette();
    map = &web;
  } else if (FDocument.Header().ColorMap().Count() > 0) {
    map = &FDocument.Header().ColorMap();
  } else if (!FDocument.Empty() && FDocument.Frames()[0]->ColorMap().Count() > 0) {
    map = &FDocument.Frames()[0]->ColorMap();
  }
  if (!map) return nullptr;
  struct {
    WORD Version, Count;
    PALETTEENTRY Entries[256];
  } log{0x300, static_cast<WORD>(map->Count()), {}};
  for (int i = 0; i < map->Count(); ++i)
    log.Entries[i] = {map->Data()[i].Red, map->Data()[i].Green, map->Data()[i].Blue, 0};
  FPalette = CreatePalette(reinterpret_cast<LOGPALETTE*>(&log));
  return FPalette;
}

void TGIFImage::SetPalette(HPALETTE palette) {
  if (palette == FPalette) return;
  StopPainters();
  FRendered.reset();
  if (FPalette) DeleteObject(FPalette);
  FPalette = palette;
  Changed();
}

TBitmap* TGIFImage::FrameBitmap(int index) {
  if (index < 0 || index >= static_cast<int>(FDocument.Frames().size())) return nullptr;
  if (FFrames.size() != FDocument.Frames().size()) {
    FFrames.clear();
    FFrames.resize(FDocument.Frames().size());
  }
  std::unique_ptr<TFrameCache>& cache = FFrames[index];
  if (cache) return cache->Bitmap.get();
  cache = std::make_unique<TFrameCache>();
  const TGIFSubImage& frame = *FDocument.Frames()[index];
  if (frame.Empty()) return nullptr;
  TGIFFrameRenderer renderer;
  renderer.Render(FDocument.Header(), frame,
                  PaletteScreen() ? TGIFRenderPalette::Web : TGIFRenderPalette::Own, &FDocument.Reporter());
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetPixelFormat(TPixelFormat::Bit24);
  bitmap->SetSize(renderer.Width(), renderer.Height());
  const TGIFColor* palette = renderer.Palette();
  for (int y = 0; y < renderer.Height(); ++y) {
    uint8_t* row = bitmap->ScanLine(y);
    const uint8_t* source = renderer.Row(y);
    const uint8_t* mask = renderer.HasMask() ? renderer.MaskRow(y) : nullptr;
    for (int x = 0; x < renderer.Width(); ++x) {
      // Transparent pixels are black, so the image can be OR-ed over a masked target.
      const bool clear = mask && (mask[x >> 3] & (0x80 >> (x & 7)));
      const TGIFColor c = clear ? TGIFColor{} : palette[source[x]];
      row[3 * x] = c.Blue;
      row[3 * x + 1] = c.Green;
      row[3 * x + 2] = c.Red;
    }
  }
  if (renderer.HasMask()) {
    std::vector<uint8_t> bits;
    for (int y = 0; y < renderer.Height(); ++y)
      bits.insert(bits.end(), renderer.MaskRow(y), renderer.MaskRow(y) + renderer.MaskStride());
    cache->Mask = CreateBitmap(renderer.Width(), renderer.Height(), 1, 1, bits.data());
  }
  cache->Bitmap = std::move(bitmap);
  return cache->Bitmap.get();
}

HBITMAP TGIFImage::FrameMask(int index) {
  return FrameBitmap(index) ? FFrames[index]->Mask : nullptr;
}

void TGIFImage::DrawFrame(HDC dc, int index, const RECT& r) {
  TBitmap* bitmap = FrameBitmap(index);
  if (!bitmap || !dc) return;
  HDC source = bitmap->Canvas()->Handle();
  const int w = r.right - r.left, h = r.bottom - r.top;
  const int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
  HBITMAP mask = FrameMask(index);
  if (mask && (FDrawOptions & goTransparent)) {
    const TMemoryDC maskDc(mask);
    // Monochrome to colour: mask bits of 1 (transparent) become white and keep the target.
    const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0)), oldBack = SetBkColor(dc, RGB(255, 255, 255));
    StretchBlt(dc, r.left, r.top, w, h, maskDc.Handle(), 0, 0, bitmap->Width(), bitmap->Height(), SRCAND);
    StretchBlt(dc, r.left, r.top, w, h, source, 0, 0, bitmap->Width(), bitmap->Height(), SRCPAINT);
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBack);
  } else {
    StretchBlt(dc, r.left, r.top, w, h, source, 0, 0, bitmap->Width(), bitmap->Height(), SRCCOPY);
  }
  SetStretchBltMode(dc, oldMode);
}

void TGIFImage::Draw(TCanvas* canvas, const RECT& r) {
  if (FDrawing || Empty() || canvas == nullptr) return;
  struct TDrawing {
    bool& Flag;
    ~TDrawing() { Flag = false; }
  } drawing{FDrawing = true};
  HDC dc = canvas->Handle();
  const int w = r.right - r.left, h = r.bottom - r.top;
  if (FDocument.Frames().size() <= 1 || !(FDrawOptions & goAnimate)) {
    const TGIFSubImage& first = *FDocument.Frames()[0];
    DrawFrame(dc, 0, ToRECT(TGIFAnimation::FramePlace(FDocument, first, {r.left, r.top, r.right, r.bottom})));
    return;
  }
  if (FRendered) {
    // The painter keeps this bitmap up to date; drawing never waits for it.
    StretchBlt(dc, r.left, r.top, w, h, FRendered->Canvas()->Handle(), 0, 0, Width(), Height(), SRCCOPY);
    return;
  }
  if (w <= 0 || h <= 0 || Width() <= 0 || Height() <= 0) return;
  PaintersLock();
  struct TUnlock {
    TGIFImage* Image;
    ~TUnlock() { Image->PaintersUnlock(); }
  } unlock{this};
  if (FPainter && FPainter->DrawsOn(canvas, r)) return;
  if (FPainter) FPainter->Stop();
  FPainter = nullptr;

  auto rendered = std::make_unique<TBitmap>();
  rendered->SetPixelFormat(TPixelFormat::Bit24);
  rendered->SetSize(Width(), Height());
  SetStretchBltMode(rendered->Canvas()->Handle(), COLORONCOLOR);
  StretchBlt(rendered->Canvas()->Handle(), 0, 0, Width(), Height(), dc, r.left, r.top, w, h, SRCCOPY);
  FRendered = std::move(rendered);
  auto* painter = new TGIFPainter(this, FRendered->Canvas(), RECT{0, 0, Width(), Height()}, canvas, r);
  FPainters.Add(painter);
  FPainter = painter;
  FPainterDrew = false;
  painter->Resume();
  // Until the first frame is there; the painter's calls to this thread run meanwhile. The
  // painter pointer is not touched again: once it ended it frees itself.
  while (FPainter == painter && !FPainterDrew) CheckSynchronize(10);
  if (FRendered)
    StretchBlt(dc, r.left, r.top, w, h, FRendered->Canvas()->Handle(), 0, 0, Width(), Height(), SRCCOPY);
}

void TGIFImage::PainterFrameDrawn(TGIFPainter* painter) {
  if (painter != FPainter) return;
  FPainterDrew = true;
  // A control showing the picture repaints from the rendered bitmap.
  Changed();
}

void TGIFImage::PainterEnded(TGIFPainter* painter, const std::string& failure) {
  PaintersLock();
  if (FPainter == painter) FPainter = nullptr;
  FPainters.Remove(painter);
  PaintersUnlock();
  if (!failure.empty()) Warning(failure);
}

bool TGIFImage::Animating() {
  PaintersLock();
  const bool animating = FPainter != nullptr;
  PaintersUnlock();
  return animating;
}

void TGIFImage::StopPainters() {
  // Bounded by the painters: each ends once stopped, as soon as its calls to this thread ran.
  for (;;) {
    std::vector<void*>* list = FPainters.LockList();
    for (void* item : *list) static_cast<TGIFPainter*>(item)->Stop();
    const bool none = list->empty();
    FPainters.UnlockList();
    if (none) break;
    if (GetCurrentThreadId() == MainThreadID())
      CheckSynchronize(10);
    else
      Sleep(0);
  }
  FPainter = nullptr;
  FRendered.reset();
}

void TGIFImage::Assign(const TPersistent* source) {
  if (source == this) return;
  if (const auto* gif = dynamic_cast<const TGIFImage*>(source)) {
    StopPainters();
    Guard([&] { FDocument.Assign(gif->FDocument); });
    FDrawOptions = gif->FDrawOptions;
    FBackgroundColor = gif->FBackgroundColor;
    FFrames.clear();
    DropRendered();
    Changed();
    return;
  }
  if (const auto* bitmap = dynamic_cast<const TBitmap*>(source)) {
    ConvertBitmap(*bitmap);
    return;
  }
  if (const auto* graphic = dynamic_cast<const TGraphic*>(source)) {
    ConvertGraphic(*const_cast<TGraphic*>(graphic));
    return;
  }
  if (source != nullptr && !dynamic_cast<const TGraphic*>(source))
    throw EInvalidGraphic("Object type not supported for operation");
  TGraphic::Assign(source);
}

void TGIFImage::ConvertGraphic(TGraphic& graphic) {
  if (graphic.Empty()) {
    ConvertBitmap(TBitmap());
    return;
  }
  // Drawn once over black and once over white: a pixel the graphic leaves alone (an icon's masked
  // pixels, what a metafile does not paint) is black in the one and white in the other.
  const int width = graphic.Width(), height = graphic.Height();
  TBitmap overBlack, overWhite;
  for (auto [bitmap, colour] : {std::pair{&overBlack, clBlack}, std::pair{&overWhite, clWhite}}) {
    bitmap->SetPixelFormat(TPixelFormat::Bit24);
    bitmap->SetSize(width, height);
    bitmap->Canvas()->Brush()->SetColor(colour);
    bitmap->Canvas()->FillRect(RECT{0, 0, width, height});
    bitmap->Canvas()->StretchDraw(RECT{0, 0, width, height}, &graphic);
  }
  std::vector<uint8_t> clear(static_cast<size_t>(width) * height);
  bool any = false;
  for (int y = 0; y < height; ++y) {
    const uint8_t *black = overBlack.ScanLine(y), *white = overWhite.ScanLine(y);
    for (int x = 0; x < width; ++x) {
      const uint8_t* b = black + 3 * x;
      const uint8_t* w = white + 3 * x;
      const bool untouched = (b[0] | b[1] | b[2]) == 0 && (w[0] & w[1] & w[2]) == 255;
      clear[static_cast<size_t>(y) * width + x] = untouched;
      any = any || untouched;
    }
  }
  ConvertBitmap(overBlack, any ? &clear : nullptr);
}

void TGIFImage::ConvertBitmap(const TBitmap& source, const std::vector<uint8_t>* clearPixels) {
  Clear();
  if (source.Empty()) {
    Changed();
    return;
  }
  if (source.Width() > 65535 || source.Height() > 65535) throw EInvalidGraphic("Invalid image dimensions");
  TBitmap copy;
  copy.Assign(&source);
  const int width = copy.Width(), height = copy.Height();
  const TPixelFormat format = copy.PixelFormat();
  int bits = format == TPixelFormat::Bit1   ? 1
             : format == TPixelFormat::Bit4 ? 4
             : format == TPixelFormat::Bit8 ? 8
                                            : 0;
  // A bitmap of up to 8 bits keeps its colour table; a deeper one is mapped to the web palette.
  std::vector<TGIFColor> colors;
  if (bits) {
    PALETTEENTRY entries[256];
    HPALETTE palette = copy.Palette();
    const UINT count = palette ? GetPaletteEntries(palette, 0, 256, entries) : 0;
    for (UINT i = 0; i < count; ++i)
      colors.push_back({entries[i].peRed, entries[i].peGreen, entries[i].peBlue});
    if (colors.empty()) bits = 0;
  }
  if (!bits) copy.SetPixelFormat(TPixelFormat::Bit24);

  auto frame = std::make_unique<TGIFSubImage>();
  Guard([&] { frame->SetSize(width, height); });
  const bool keyed = copy.Transparent() && clearPixels == nullptr;
  const COLORREF key = keyed ? ColorToRGB(copy.TransparentColor()) : 0;
  std::vector<uint8_t> masked(keyed ? static_cast<size_t>(width) * height : 0);
  if (clearPixels != nullptr) masked = *clearPixels;
  for (int y = 0; y < height; ++y) {
    const uint8_t* row = copy.ScanLine(y);
    uint8_t* target = frame->Data().data() + static_cast<size_t>(y) * width;
    if (bits) {
      for (int x = 0; x < width; ++x) {
        int value = bits == 8   ? row[x]
                    : bits == 4 ? (row[x >> 1] >> (x & 1 ? 0 : 4)) & 15
                                : (row[x >> 3] >> (7 - (x & 7))) & 1;
        if (value >= static_cast<int>(colors.size())) value = 0;
        target[x] = static_cast<uint8_t>(value);
        if (keyed)
          masked[static_cast<size_t>(y) * width + x] =
              RGB(colors[value].Red, colors[value].Green, colors[value].Blue) == key;
      }
    } else {
      TGIFColorReducer::Reduce(row, static_cast<size_t>(width) * 3, width, 1, TGIFDither::None, target,
                               width);
      if (keyed)
        for (int x = 0; x < width; ++x)
          masked[static_cast<size_t>(y) * width + x] = RGB(row[3 * x + 2], row[3 * x + 1], row[3 * x]) == key;
    }
    if ((y & 31) == 31) Progress(TProgressStage::Running, (y + 1) * 100 / height, "Converting...");
  }
  if (bits)
    frame->ColorMap().Assign(colors);
  else
    frame->ColorMap() = TNetscapeColorLookup::WebPalette();
  frame->OptimizeColorMap();
  // A transparent bitmap makes its transparent colour a transparent black entry of the frame.
  const int count = frame->ColorMap().Count();
  if (!masked.empty() && count > 0 && count < 256) {
    const int index = frame->ColorMap().Add({});
    bool any = false;
    for (size_t i = 0; i < masked.size(); ++i)
      if (masked[i]) {
        frame->Data()[i] = static_cast<uint8_t>(index);
        any = true;
      }
    if (any) {
      auto control = std::make_unique<TGIFGraphicControlExtension>();
      control->SetTransparent(true);
      control->SetTransparentIndex(static_cast<uint8_t>(index));
      frame->Extensions().push_back(std::move(control));
    } else {
      frame->ColorMap().Delete(index);
    }
  }
  FDocument.Header().SetWidth(static_cast<uint16_t>(width));
  FDocument.Header().SetHeight(static_cast<uint16_t>(height));
  FDocument.Frames().push_back(std::move(frame));
  Changed();
}

bool TGIFImage::AssignTo(TPersistent* dest) const {
  auto* bitmap = dynamic_cast<TBitmap*>(dest);
  if (!bitmap) return TGraphic::AssignTo(dest);
  auto* self = const_cast<TGIFImage*>(this);
  bitmap->SetPixelFormat(TPixelFormat::Bit24);
  bitmap->SetSize(Width(), Height());
  if (Empty()) return true;
  if (FRendered) {
    BitBlt(bitmap->Canvas()->Handle(), 0, 0, Width(), Height(), FRendered->Canvas()->Handle(), 0, 0, SRCCOPY);
  } else {
    const RECT whole{0, 0, Width(), Height()};
    self->DrawFrame(
        bitmap->Canvas()->Handle(), 0,
        ToRECT(TGIFAnimation::FramePlace(FDocument, *FDocument.Frames()[0], {0, 0, Width(), Height()})));
    (void)whole;
  }
  return true;
}

void TGIFImage::LoadFromClipboardFormat(UINT format, HANDLE data, HPALETTE palette) {
  if (format == ClipboardFormat()) {
    const size_t size = GlobalSize(data);
    const auto* bytes = static_cast<const uint8_t*>(GlobalLock(data));
    if (!bytes) throw EInvalidGraphic("Unsupported clipboard format");
    std::vector<uint8_t> copy(bytes, bytes + size);
    GlobalUnlock(data);
    LoadFromBytes(copy);
    return;
  }
  if (format == CF_BITMAP) {
    TBitmap bitmap;
    bitmap.LoadFromClipboardFormat(format, data, palette);
    ConvertBitmap(bitmap);
    return;
  }
  throw EInvalidGraphic("Unsupported clipboard format");
}

void TGIFImage::SaveToClipboardFormat(UINT& format, HANDLE& data, HPALETTE& palette) {
  const std::vector<uint8_t> bytes = SaveToBytes();
  // The rendered picture's own formats go first, for programs that know no GIF. They can be
  // placed only while this thread has the clipboard open; otherwise the GIF goes alone.
  if (!Empty()) {
    TBitmap rendered;
    AssignTo(&rendered);
    UINT bitmapFormat = 0;
    HANDLE bitmap = nullptr;
    HPALETTE bitmapPalette = nullptr;
    rendered.SaveToClipboardFormat(bitmapFormat, bitmap, bitmapPalette);
    if (bitmap != nullptr && SetClipboardData(bitmapFormat, bitmap) == nullptr) DeleteObject(bitmap);
    if (bitmapPalette != nullptr && SetClipboardData(CF_PALETTE, bitmapPalette) == nullptr)
      DeleteObject(bitmapPalette);
  }
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
  void* target = memory ? GlobalLock(memory) : nullptr;
  if (!target) {
    if (memory) GlobalFree(memory);
    throw EInvalidGraphic("Failed to store GIF on clipboard");
  }
  std::memcpy(target, bytes.data(), bytes.size());
  GlobalUnlock(memory);
  format = ClipboardFormat();
  data = memory;
  palette = nullptr;
}
