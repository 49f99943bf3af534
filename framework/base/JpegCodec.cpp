#include "framework/base/JpegCodec.h"

#include <climits>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <string>

extern "C" {
#include <jerror.h>
#include <jpeglib.h>
}

namespace {

// The library reports a fatal error through error_exit, which must not return: it jumps back to
// the setjmp of the step that was running.
struct TJpegError {
  jpeg_error_mgr Manager;
  std::jmp_buf Jump;
  char Text[JMSG_LENGTH_MAX];
  bool Truncated;
};

void ErrorExit(j_common_ptr info) {
  auto* err = reinterpret_cast<TJpegError*>(info->err);
  (*info->err->format_message)(info, err->Text);
  std::longjmp(err->Jump, 1);
}

// Warnings are not shown; data that ends early is remembered, as the picture then counts as corrupt.
void EmitMessage(j_common_ptr info, int level) {
  if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF)
    reinterpret_cast<TJpegError*>(info->err)->Truncated = true;
}

jpeg_error_mgr* Attach(TJpegError& err) {
  jpeg_std_error(&err.Manager);
  err.Manager.error_exit = ErrorExit;
  err.Manager.emit_message = EmitMessage;
  err.Text[0] = 0;
  err.Truncated = false;
  return &err.Manager;
}

// Runs one step of the library and says whether it completed; when the library gives up, its
// reason is in err.Text. The library leaves a step by longjmp, so a step keeps nothing that has a
// destructor: its state lives in the caller's RAII objects.
template <typename TStep>
bool Guarded(TJpegError& err, const TStep& step) {
  if (setjmp(err.Jump)) return false;
  step();
  return true;
}

[[noreturn]] void Fail(const std::string& what) {
  throw EImageFormatError("JPEG image is not valid: " + what);
}

}  // namespace

struct TJpegDecoder::TState {
  jpeg_decompress_struct Info{};
  TJpegError Error{};
  bool Created = false;
  bool Read = false;

  TState() = default;
  TState(const TState&) = delete;
  TState& operator=(const TState&) = delete;
  ~TState() {
    if (Created) jpeg_destroy_decompress(&Info);
  }
};

TJpegDecoder::TJpegDecoder(std::span<const std::uint8_t> data) : FState(std::make_unique<TState>()) {
  if (data.size() < 4 || data[0] != 0xFF || data[1] != 0xD8) Fail("no JPEG header");
  if (data.size() > ULONG_MAX) Fail("too much data");
  TState& s = *FState;
  s.Info.err = Attach(s.Error);
  const bool read = Guarded(s.Error, [&] {
    jpeg_create_decompress(&s.Info);
    s.Created = true;
    jpeg_mem_src(&s.Info, data.data(), static_cast<unsigned long>(data.size()));
    jpeg_read_header(&s.Info, TRUE);
  });
  if (!read) Fail(s.Error.Text);
  const J_COLOR_SPACE space = s.Info.jpeg_color_space;
  if (space != JCS_GRAYSCALE && space != JCS_YCbCr && space != JCS_RGB) Fail("unsupported colour space");
  const std::uint64_t pixels = std::uint64_t{s.Info.image_width} * s.Info.image_height;
  if (pixels == 0 || pixels > static_cast<std::uint64_t>(kMaxImagePixels)) Fail("picture size");
}

TJpegDecoder::~TJpegDecoder() = default;

std::int32_t TJpegDecoder::Width() const {
  return static_cast<std::int32_t>(FState->Info.image_width);
}

std::int32_t TJpegDecoder::Height() const {
  return static_cast<std::int32_t>(FState->Info.image_height);
}

void TJpegDecoder::ReadBgr24(TPixelRows rows) {
  TState& s = *FState;
  if (s.Read) Fail("pixels already read");
  s.Read = true;
  s.Info.out_color_space = JCS_EXT_BGR;
  if (!Guarded(s.Error, [&] { jpeg_start_decompress(&s.Info); })) Fail(s.Error.Text);
  if (s.Info.output_components != 3 || s.Info.output_width != s.Info.image_width ||
      s.Info.output_height != s.Info.image_height)
    Fail("unexpected output format");
  const bool decoded = Guarded(s.Error, [&] {
    while (s.Info.output_scanline < s.Info.output_height) {
      JSAMPROW row = rows.Row(static_cast<std::int32_t>(s.Info.output_scanline));
      if (jpeg_read_scanlines(&s.Info, &row, 1) != 1) break;
    }
  });
  if (!decoded) Fail(s.Error.Text);
  if (s.Error.Truncated || s.Info.output_scanline < s.Info.output_height) Fail("premature end of data");
  if (!Guarded(s.Error, [&] { jpeg_finish_decompress(&s.Info); })) Fail(s.Error.Text);
}

std::vector<std::uint8_t> EncodeJpeg(std::int32_t width, std::int32_t height,
                                     const std::function<const std::uint8_t*(std::int32_t)>& row, int quality,
                                     bool grayscale) {
  struct TState {
    jpeg_compress_struct Info{};
    TJpegError Error{};
    bool Created = false;
    unsigned char* Buffer = nullptr;
    unsigned long Length = 0;
    ~TState() {
      if (Created) jpeg_destroy_compress(&Info);
      std::free(Buffer);  // the library's memory destination allocates with malloc
    }
  } s;
  if (width <= 0 || height <= 0) Fail("picture size");
  s.Info.err = Attach(s.Error);
  const bool encoded = Guarded(s.Error, [&] {
    jpeg_create_compress(&s.Info);
    s.Created = true;
    jpeg_mem_dest(&s.Info, &s.Buffer, &s.Length);
    s.Info.image_width = static_cast<JDIMENSION>(width);
    s.Info.image_height = static_cast<JDIMENSION>(height);
    s.Info.input_components = 3;
    s.Info.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&s.Info);
    if (grayscale) jpeg_set_colorspace(&s.Info, JCS_GRAYSCALE);
    jpeg_set_quality(&s.Info, quality, TRUE);
    jpeg_start_compress(&s.Info, TRUE);
    while (s.Info.next_scanline < s.Info.image_height) {
      JSAMPROW line = const_cast<JSAMPROW>(row(static_cast<std::int32_t>(s.Info.next_scanline)));
      jpeg_write_scanlines(&s.Info, &line, 1);
    }
    jpeg_finish_compress(&s.Info);
  });
  if (!encoded) Fail(s.Error.Text);
  return std::vector<std::uint8_t>(s.Buffer, s.Buffer + s.Length);
}
