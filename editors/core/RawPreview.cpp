#include "editors/core/RawPreview.h"

#include "editors/core/EDRMError.h"
#include "editors/core/TDRMImage.h"
#include "framework/base/ByteOrder.h"

#include <algorithm>

namespace {

constexpr int kMaxPreviewSide = 16384;
constexpr uint32_t kWhite = 0xFFFFFF;

}  // namespace

uint32_t RGB565ToColor(uint16_t v) {
  const uint32_t red = (v >> 8) & 0xF8u;
  const uint32_t green = ((v >> 5) & 63u) * 4;
  const uint32_t blue = (v & 31u) << 3;
  return red + green * 256 + blue * 65536;
}

TPixelBuffer RenderRawPicture(const std::vector<uint8_t>& image, uint32_t base, const TDRMPicture& picture,
                              int previewWidth, int previewHeight, TPreviewFit fit, uint32_t background) {
  if (previewWidth < 0 || previewHeight < 0 || previewWidth > kMaxPreviewSide ||
      previewHeight > kMaxPreviewSide) {
    throw EDRMError("The preview size is out of range.");
  }
  TPixelBuffer out;
  out.Width = previewWidth;
  out.Height = previewHeight;
  out.Pixels.assign(static_cast<size_t>(previewWidth) * previewHeight, kWhite);
  auto fill = [&](int64_t x0, int64_t y0, int64_t x1, int64_t y1, uint32_t colour) {
    x0 = std::max<int64_t>(x0, 0);
    y0 = std::max<int64_t>(y0, 0);
    x1 = std::min<int64_t>(x1, previewWidth);
    y1 = std::min<int64_t>(y1, previewHeight);
    for (int64_t y = y0; y < y1; ++y) {
      std::fill_n(out.Pixels.begin() + y * previewWidth + x0, std::max<int64_t>(x1 - x0, 0), colour);
    }
  };
  fill(0, 0, previewWidth - 1, previewHeight - 1, background);

  const int64_t width = picture.Width, height = picture.Height;
  const uint64_t offset = static_cast<uint32_t>(picture.Address - base);
  if (width <= 0 || height <= 0 || picture.Size <= 0 || offset >= image.size()) return out;
  const uint64_t available =
      std::min<uint64_t>(static_cast<uint64_t>(picture.Size), image.size() - offset) / 2;
  const uint64_t count = std::min<uint64_t>(static_cast<uint64_t>(width * height), available);
  const uint8_t* pixels = image.data() + offset;

  if (fit == TPreviewFit::Stretched) {
    const int64_t sx = previewWidth / width, sy = previewHeight / height;
    if (sx == 0 || sy == 0) return out;
    for (uint64_t i = 0; i < count; ++i) {
      const int64_t x = static_cast<int64_t>(i % width), y = static_cast<int64_t>(i / width);
      fill(x * sx, y * sy, x * sx + sx, y * sy + sy, RGB565ToColor(ByteOrder::ReadBE16(pixels + 2 * i)));
    }
  } else {
    const int64_t x0 = (previewWidth - width) / 2, y0 = (previewHeight - height) / 2;
    for (uint64_t i = 0; i < count; ++i) {
      const int64_t x = x0 + static_cast<int64_t>(i % width), y = y0 + static_cast<int64_t>(i / width);
      if (y >= previewHeight) break;
      if (x < 0 || y < 0 || x >= previewWidth) continue;
      out.Pixels[static_cast<size_t>(y * previewWidth + x)] =
          RGB565ToColor(ByteOrder::ReadBE16(pixels + 2 * i));
    }
  }
  return out;
}
