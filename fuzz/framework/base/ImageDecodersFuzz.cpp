// Feeds one input to both picture decoders: as a BMP file, as a bare DIB whose pixels follow its
// colour table, and as a JPEG. Whatever the headers claim, rows are only ever allocated for a
// picture the decoder accepted.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "framework/base/JpegCodec.h"
#include "framework/base/TBmpDecoder.h"

namespace {

template <typename TRead>
void ReadInto(std::int32_t height, std::size_t rowBytes, TRead read) {
  std::vector<std::uint8_t> pixels(rowBytes * static_cast<std::size_t>(height));
  read(TPixelRows{pixels.data(), static_cast<std::ptrdiff_t>(rowBytes)});
}

void Bmp(const TBmpDecoder& bmp) {
  if (bmp.Empty()) return;
  ReadInto(bmp.Height(), bmp.RowBytes(), [&](TPixelRows rows) { bmp.ReadRows(rows); });
  ReadInto(bmp.Height(), 3 * static_cast<std::size_t>(bmp.Width()),
           [&](TPixelRows rows) { bmp.ReadBgr24(rows); });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  try {
    Bmp(TBmpDecoder::FromFile(bytes));
  } catch (const EImageFormatError&) {
  }
  try {
    Bmp(TBmpDecoder::FromDib(bytes, 0));
  } catch (const EImageFormatError&) {
  }
  try {
    TJpegDecoder jpeg(bytes);
    ReadInto(jpeg.Height(), 3 * static_cast<std::size_t>(jpeg.Width()),
             [&](TPixelRows rows) { jpeg.ReadBgr24(rows); });
  } catch (const EImageFormatError&) {
  }
  return 0;
}
