#include "framework/win/TJPEGImage.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>

#include "framework/win/TBitmap.h"
#include "framework/win/TCanvas.h"

namespace {

constexpr unsigned kMaxSide = 32767;
constexpr uint64_t kMaxPixels = 100u << 20;

// The library reports a fatal error by calling error_exit, which must not return: it jumps back to
// the setjmp of the call that started the work. Only plain C objects live between the two.
struct TJpegError {
  jpeg_error_mgr Base;
  jmp_buf Jump;
  char Message[JMSG_LENGTH_MAX];
};

void JpegErrorExit(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<TJpegError*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, err->Message);
  std::longjmp(err->Jump, 1);
}

void JpegOutputMessage(j_common_ptr) {}

void InitError(TJpegError& err) {
  jpeg_std_error(&err.Base);
  err.Base.error_exit = JpegErrorExit;
  err.Base.output_message = JpegOutputMessage;
  err.Message[0] = 0;
}

// Reads the size, then the pixels into out (sized by the caller through prepare). Returns false
// with message set on any error; out's content is then undefined.
bool DecodeJpeg(const uint8_t* data, size_t size, TBitmap* out, char* message, size_t messageSize) {
  jpeg_decompress_struct cinfo;
  TJpegError err;
  InitError(err);
  cinfo.err = &err.Base;
  if (setjmp(err.Jump)) {
    jpeg_destroy_decompress(&cinfo);
    std::snprintf(message, messageSize, "%s", err.Message);
    return false;
  }
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, const_cast<uint8_t*>(data), static_cast<unsigned long>(size));
  jpeg_read_header(&cinfo, TRUE);
  if (cinfo.image_width == 0 || cinfo.image_height == 0 || cinfo.image_width > kMaxSide ||
      cinfo.image_height > kMaxSide || uint64_t(cinfo.image_width) * cinfo.image_height > kMaxPixels) {
    jpeg_destroy_decompress(&cinfo);
    std::snprintf(message, messageSize, "JPEG image size is not valid");
    return false;
  }
  if (cinfo.jpeg_color_space != JCS_GRAYSCALE && cinfo.jpeg_color_space != JCS_YCbCr &&
      cinfo.jpeg_color_space != JCS_RGB) {
    jpeg_destroy_decompress(&cinfo);
    std::snprintf(message, messageSize, "Unsupported JPEG color space");
    return false;
  }
  cinfo.out_color_space = JCS_EXT_BGR;
  jpeg_start_decompress(&cinfo);
  bool sized = false;
  try {
    out->SetPixelFormat(TPixelFormat::Bit24);
    out->SetSize(int(cinfo.output_width), int(cinfo.output_height));
    sized = true;
  } catch (...) {
  }
  if (!sized) {
    jpeg_destroy_decompress(&cinfo);
    std::snprintf(message, messageSize, "Out of system resources");
    return false;
  }
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row = out->ScanLine(int(cinfo.output_scanline));
    if (jpeg_read_scanlines(&cinfo, &row, 1) != 1) break;
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return true;
}

bool EncodeJpeg(TBitmap* in, int quality, bool grayscale, std::vector<uint8_t>& out, char* message,
                size_t messageSize) {
  jpeg_compress_struct cinfo;
  TJpegError err;
  InitError(err);
  cinfo.err = &err.Base;
  unsigned char* buffer = nullptr;
  unsigned long length = 0;
  if (setjmp(err.Jump)) {
    jpeg_destroy_compress(&cinfo);
    std::free(buffer);
    std::snprintf(message, messageSize, "%s", err.Message);
    return false;
  }
  jpeg_create_compress(&cinfo);
  jpeg_mem_dest(&cinfo, &buffer, &length);
  cinfo.image_width = JDIMENSION(in->Width());
  cinfo.image_height = JDIMENSION(in->Height());
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_EXT_BGR;
  jpeg_set_defaults(&cinfo);
  if (grayscale) jpeg_set_colorspace(&cinfo, JCS_GRAYSCALE);
  jpeg_set_quality(&cinfo, quality, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = in->ScanLine(int(cinfo.next_scanline));
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  out.assign(buffer, buffer + length);
  std::free(buffer);
  return true;
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
  auto bitmap = std::make_unique<TBitmap>();
  char message[JMSG_LENGTH_MAX + 64];
  if (!DecodeJpeg(FData.data(), FData.size(), bitmap.get(), message, sizeof message))
    throw EInvalidGraphic(std::string("JPEG error: ") + message);
  FBitmap = std::move(bitmap);
}

void TJPEGImage::JPEGNeeded() {
  if (!FData.empty() || !FBitmap || FBitmap->Empty()) return;
  if (FBitmap->PixelFormat() != TPixelFormat::Bit24) FBitmap->SetPixelFormat(TPixelFormat::Bit24);
  char message[JMSG_LENGTH_MAX + 64];
  std::vector<uint8_t> data;
  if (!EncodeJpeg(FBitmap.get(), FQuality, FGrayscale, data, message, sizeof message))
    throw EInvalidGraphic(std::string("JPEG error: ") + message);
  FData = std::move(data);
}

void TJPEGImage::LoadFromBytes(const uint8_t* data, size_t size) {
  // Decode at once so a bad file is refused here, with the picture left as it was.
  Progress(TProgressStage::Starting, 0, "Loading...");
  std::vector<uint8_t> bytes(data, data + size);
  auto bitmap = std::make_unique<TBitmap>();
  char message[JMSG_LENGTH_MAX + 64];
  if (size == 0 || !DecodeJpeg(bytes.data(), bytes.size(), bitmap.get(), message, sizeof message)) {
    Progress(TProgressStage::Ending, 0, "Loading...");
    throw EInvalidGraphic(size == 0 ? "JPEG error: empty data" : std::string("JPEG error: ") + message);
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
