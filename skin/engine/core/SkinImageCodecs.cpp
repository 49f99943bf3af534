#include "skin/engine/core/SkinImageCodecs.h"

#include "framework/base/JpegCodec.h"
#include "framework/base/TBmpDecoder.h"
#include "skin/engine/core/ESkinError.h"

TsPixmap DecodeBmp(std::span<const std::uint8_t> data) {
  try {
    const TBmpDecoder bmp = TBmpDecoder::FromFile(data);
    if (bmp.Empty()) return TsPixmap(0, 0);
    TsPixmap img(bmp.Width(), bmp.Height());
    bmp.ReadBgr24({img.ScanLine(0), static_cast<std::ptrdiff_t>(img.Stride())});
    return img;
  } catch (const EImageFormatError& e) {
    throw ESkinImageError(e.Message());
  }
}

TsPixmap DecodeJpeg(std::span<const std::uint8_t> data) {
  try {
    TJpegDecoder jpeg(data);
    TsPixmap img(jpeg.Width(), jpeg.Height());
    jpeg.ReadBgr24({img.ScanLine(0), static_cast<std::ptrdiff_t>(img.Stride())});
    return img;
  } catch (const EImageFormatError& e) {
    throw ESkinImageError(e.Message());
  }
}
