#include "framework/win/TJPEGImage.h"

#include "framework/base/JpegCodec.h"
#include "framework/win/TBitmap.h"
#include "framework/win/TCanvas.h"

namespace {

// Decodes data into a new 24-bit bitmap.
std::unique_ptr<TBitmap> Decode(std::span<const uint8_t> data) {
  try {
    TJpegDecoder jpeg(data);
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetPixelFormat(TPixelFormat::Bit24);
    bitmap->SetSize(jpeg.Width(), jpeg.Height());
    // The distance between two scan lines holds whichever way the bitmap stores its rows.
    const std::ptrdiff_t stride = jpeg.Height() > 1 ? bitmap->ScanLine(1) - bitmap->ScanLine(0) : 0;
    jpeg.ReadBgr24({bitmap->ScanLine(0), stride});
    return bitmap;
  } catch (const EImageFormatError& e) {
    throw EInvalidGraphic(e.Message());
  }
}

}  // namespace

TJPEGImage::TJPEGImage() = default;
TJPEGImage::~TJPEGImage() = default;

TGraphicClass TJPEGImage::Class() {
  static const TGraphicClassInfo info{"TJPEGImage", []() -> TGraphic* { return new TJPEGImage; }};
  return &info;
}

bool TJPEGImage::Empty() const { return FData.empty() && (!FBitmap || FBitmap->Empty()); }

int TJPEGImage::Width() const { return FBitmap ? FBitmap->Width() : FWidth; }

int TJPEGImage::Height() const { return FBitmap ? FBitmap->Height() : FHeight; }

void TJPEGImage::SetWidth(int) { throw EInvalidGraphic("Cannot change the size of a JPEG image"); }

void TJPEGImage::SetHeight(int) { throw EInvalidGraphic("Cannot change the size of a JPEG image"); }

void TJPEGImage::SetCompressionQuality(int quality) {
  quality = quality < 1 ? 1 : quality > 100 ? 100 : quality;
  FQuality = quality;
}

void TJPEGImage::SetGrayscale(bool grayscale) {
  if (grayscale == FGrayscale) return;
  FGrayscale = grayscale;
  Changed();
}

TBitmap* TJPEGImage::Bitmap() {
  if (Empty()) return nullptr;
  DIBNeeded();
  return FBitmap.get();
}

void TJPEGImage::DIBNeeded() {
  if (FBitmap || FData.empty()) return;
  FBitmap = Decode(FData);
}

void TJPEGImage::JPEGNeeded() {
  if (!FData.empty() || !FBitmap || FBitmap->Empty()) return;
  if (FBitmap->PixelFormat() != TPixelFormat::Bit24) FBitmap->SetPixelFormat(TPixelFormat::Bit24);
  TBitmap* bitmap = FBitmap.get();
  try {
    FData = EncodeJpeg(
        bitmap->Width(), bitmap->Height(), [bitmap](int32_t y) { return bitmap->ScanLine(y); }, FQuality,
        FGrayscale);
  } catch (const EImageFormatError& e) {
    throw EInvalidGraphic(e.Message());
  }
}

void TJPEGImage::LoadFromBytes(const uint8_t* data, size_t size) {
  // Decode at once so a bad file is refused here, with the picture left as it was.
  Progress(TProgressStage::Starting, 0, "Loading...");
  std::vector<uint8_t> bytes(data, data + size);
  std::unique_ptr<TBitmap> bitmap;
  try {
    bitmap = Decode(bytes);
  } catch (const EInvalidGraphic&) {
    Progress(TProgressStage::Ending, 0, "Loading...");
    throw;
  }
  FData = std::move(bytes);
  FWidth = bitmap->Width();
  FHeight = bitmap->Height();
  FBitmap = std::move(bitmap);
  Progress(TProgressStage::Ending, 100, "Loading...");
  Changed();
}

std::vector<uint8_t> TJPEGImage::SaveToBytes() {
  JPEGNeeded();
  return FData;
}

void TJPEGImage::Assign(const TPersistent* source) {
  if (source == this) return;
  if (auto* jpeg = dynamic_cast<const TJPEGImage*>(source)) {
    FData = jpeg->FData;
    FWidth = jpeg->FWidth;
    FHeight = jpeg->FHeight;
    FQuality = jpeg->FQuality;
    FGrayscale = jpeg->FGrayscale;
    FBitmap.reset();
    if (jpeg->FBitmap) {
      FBitmap = std::make_unique<TBitmap>();
      FBitmap->Assign(jpeg->FBitmap.get());
    }
    Changed();
    return;
  }
  if (auto* graphic = dynamic_cast<const TGraphic*>(source)) {
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetPixelFormat(TPixelFormat::Bit24);
    bitmap->Assign(graphic);
    bitmap->SetPixelFormat(TPixelFormat::Bit24);
    FData.clear();
    FWidth = bitmap->Width();
    FHeight = bitmap->Height();
    FBitmap = std::move(bitmap);
    Changed();
    return;
  }
  TGraphic::Assign(source);
}

bool TJPEGImage::AssignTo(TPersistent* dest) const {
  auto* bitmap = dynamic_cast<TBitmap*>(dest);
  if (bitmap == nullptr) return TGraphic::AssignTo(dest);
  auto* self = const_cast<TJPEGImage*>(this);
  if (TBitmap* own = self->Bitmap()) bitmap->Assign(own);
  else bitmap->Assign(nullptr);
  return true;
}

void TJPEGImage::Draw(TCanvas* canvas, const RECT& r) {
  if (TBitmap* bitmap = Bitmap()) bitmap->Draw(canvas, r);
}
