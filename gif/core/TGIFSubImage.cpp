#include "gif/core/TGIFSubImage.h"

#include <algorithm>
#include <numeric>

#include "framework/base/ByteOrder.h"
#include "gif/core/GIFException.h"
#include "gif/core/TGIFExtensionRegistry.h"
#include "gif/core/TGIFGraphicControlExtension.h"
#include "gif/core/TGIFHeader.h"
#include "gif/core/TGIFLZWDecoder.h"
#include "gif/core/TGIFReporter.h"
#include "gif/core/TGIFSpanReader.h"
#include "gif/core/TLZWEncoder.h"

namespace {
constexpr uint8_t kImageSeparator = 0x2C;
constexpr uint8_t kTrailer = 0x3B;

}  // namespace

TGIFSubImage::TGIFSubImage(const TGIFSubImage& other)
    : FColorMap(other.FColorMap),
      FData(other.FData),
      FLeft(other.FLeft),
      FTop(other.FTop),
      FWidth(other.FWidth),
      FHeight(other.FHeight),
      FPacked(other.FPacked),
      FHasImage(other.FHasImage) {
  for (const auto& extension : other.FExtensions) FExtensions.push_back(extension->Clone());
}

void TGIFSubImage::SetSize(int width, int height) {
  if (width < 0 || height < 0 || width > 65535 || height > 65535)
    throw GIFException("Invalid image dimensions");
  FWidth = static_cast<uint16_t>(width);
  FHeight = static_cast<uint16_t>(height);
  FData.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
  FHasImage = true;
}

TGIFGraphicControlExtension* TGIFSubImage::GraphicControlExtension() const {
  for (const auto& extension : FExtensions)
    if (extension->Label() == TGIFGraphicControlExtension::kLabel)
      return static_cast<TGIFGraphicControlExtension*>(extension.get());
  return nullptr;
}

bool TGIFSubImage::Transparent() const {
  const TGIFGraphicControlExtension* control = GraphicControlExtension();
  return control && control->Transparent();
}

int TGIFSubImage::TransparentIndex() const {
  return Transparent() ? GraphicControlExtension()->TransparentIndex() : -1;
}

int TGIFSubImage::Disposal() const {
  const TGIFGraphicControlExtension* control = GraphicControlExtension();
  const int disposal = control ? control->Disposal() : 0;
  return disposal > 3 ? 1 : disposal;
}

int TGIFSubImage::Delay() const {
  const TGIFGraphicControlExtension* control = GraphicControlExtension();
  return control ? control->Delay() : 0;
}

const TGIFColorMap* TGIFSubImage::ActiveColorMap(const TGIFHeader& header) const {
  if (FColorMap.Count() > 0) return &FColorMap;
  if (header.ColorMap().Count() > 0) return &header.ColorMap();
  return nullptr;
}

uint8_t TGIFSubImage::Pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= FWidth || y >= FHeight || FData.size() != size_t(FWidth) * FHeight)
    throw GIFException("Invalid pixel coordinates");
  return FData[static_cast<size_t>(y) * FWidth + x];
}

void TGIFSubImage::SetPixel(int x, int y, uint8_t value) {
  if (x < 0 || y < 0 || x >= FWidth || y >= FHeight || FData.size() != size_t(FWidth) * FHeight)
    throw GIFException("Invalid pixel coordinates");
  FData[static_cast<size_t>(y) * FWidth + x] = value;
}

int TGIFSubImage::VersionNeeded() const {
  return !FExtensions.empty() || FColorMap.Sorted() ? 2 : 1;
}

void TGIFSubImage::LoadFromStream(TGIFSpanReader& reader, const TGIFHeader& header,
                                  const TGIFReporter& reporter, TGIFPixelBudget& budget) {
  // Extensions; each consumes at least its introducer and label.
  for (int next = reader.PeekByte(); next >= 0 && next != kImageSeparator && next != kTrailer;
       next = reader.PeekByte()) {
    if (next != TGIFExtension::kIntroducer) {
      reporter.Warning("Invalid extension introducer");
      break;
    }
    std::unique_ptr<TGIFExtension> extension = TGIFExtensionRegistry::Instance().Create(reader);
    if (!extension) throw GIFException("Unknown extension type");
    extension->LoadFromStream(reader, reporter);
    // A comment of one-byte sub-blocks or a run of empty extensions must not buy more memory than
    // the pixels may have.
    const uint64_t cost = extension->MemoryUse();
    if (cost > budget.Remaining) throw GIFException("Invalid image dimensions");
    budget.Remaining -= cost;
    FExtensions.push_back(std::move(extension));
  }
  FHasImage = reader.PeekByte() == kImageSeparator;
  if (!FHasImage) return;

  uint8_t descriptor[10];
  reader.ReadExact(descriptor, 10);
  FLeft = ByteOrder::ReadLE16(descriptor + 1);
  FTop = ByteOrder::ReadLE16(descriptor + 3);
  FWidth = ByteOrder::ReadLE16(descriptor + 5);
  FHeight = ByteOrder::ReadLE16(descriptor + 7);
  FPacked = descriptor[9];
  if (FWidth == 0 || FHeight == 0) {
    if (FWidth == 0) FWidth = header.Width();
    if (FHeight == 0) FHeight = header.Height();
    reporter.Warning("Image exceeds Logical Screen size");
  }
  if (FPacked & 0x80) {
    FColorMap.LoadFromStream(reader, 2 << (FPacked & 7));
    FColorMap.SetSorted((FPacked & 0x20) != 0);
  } else {
    FColorMap.Clear();
  }
  TGIFLZWDecoder decoder;
  decoder.Read(reader, reporter);
  // A frame is allowed what its own data can expand to; only a few pixels in a whole file may lie
  // beyond that (data cut short), so bytes holding no pixels (a long comment, say) buy no size.
  const uint64_t area = static_cast<uint64_t>(FWidth) * FHeight;
  const uint64_t reached = decoder.MaxPixels();
  const uint64_t unfilled = area > reached ? area - reached : 0;
  if (area > budget.Remaining || unfilled > budget.Unfilled) throw GIFException("Invalid image dimensions");
  budget.Remaining -= area;
  budget.Unfilled -= unfilled;
  budget.FramePixels += area;
  FData.resize(area);
  const int transparent = TransparentIndex();
  decoder.Expand(FWidth, FHeight, Interlaced(), static_cast<uint8_t>(transparent < 0 ? 0 : transparent),
                 FData.data(), reporter);
  // Without a size even after taking the screen's, the frame holds no image: saved with a size of 0
  // it would read back with the screen's size.
  if (FWidth == 0 || FHeight == 0) FHasImage = false;
}

void TGIFSubImage::SaveToStream(std::vector<uint8_t>& out, const TGIFHeader& header,
                                TLZWEncoder& encoder) const {
  for (const auto& extension : FExtensions) extension->SaveToStream(out);
  if (!FHasImage) return;
  const size_t area = static_cast<size_t>(FWidth) * FHeight;
  if (FData.size() != area) throw GIFException("Invalid image dimensions");
  out.push_back(kImageSeparator);
  ByteOrder::AppendLE16(out, FLeft);
  ByteOrder::AppendLE16(out, FTop);
  ByteOrder::AppendLE16(out, FWidth);
  ByteOrder::AppendLE16(out, FHeight);
  int colorCount, bits;
  if (FColorMap.Count() > 0) {
    bits = FColorMap.Bits();
    colorCount = FColorMap.Count();
    // The interlace flag stays with the pixels' row order.
    int packed = 0x80 | (FPacked & 0x40) | (bits - 1);
    if (FColorMap.Sorted()) packed |= 0x20;
    out.push_back(static_cast<uint8_t>(packed));
    FColorMap.SaveToStream(out);
  } else {
    if (header.ColorMap().Count() == 0 && area > 0)
      throw GIFException("No global or local color table defined");
    bits = header.ColorMap().Bits();
    colorCount = 1 << bits;
    out.push_back(static_cast<uint8_t>(FPacked & 0x58));
  }
  encoder.Encode(out, FData.data(), FWidth, FHeight, Interlaced(), colorCount, bits);
}

void TGIFSubImage::OptimizeColorMap() {
  const int count = FColorMap.Count();
  if (count <= 1) return;
  uint64_t uses[256] = {};
  for (uint8_t pixel : FData) ++uses[pixel];
  std::vector<int> order(count);
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return uses[a] > uses[b]; });
  uint8_t remap[256];
  for (int i = 0; i < 256; ++i) remap[i] = static_cast<uint8_t>(i);
  bool changed = false;
  for (int i = 0; i < count; ++i) {
    remap[order[i]] = static_cast<uint8_t>(i);
    changed |= order[i] != i;
  }
  std::vector<TGIFColor> colors;
  for (int i = 0; i < count; ++i) colors.push_back(FColorMap.Data()[order[i]]);
  if (changed) {
    for (uint8_t& pixel : FData) pixel = remap[pixel];
    if (TGIFGraphicControlExtension* control = GraphicControlExtension())
      control->SetTransparentIndex(remap[control->TransparentIndex()]);
  }
  while (colors.size() > 1 && uses[order[colors.size() - 1]] == 0) colors.pop_back();
  FColorMap.Assign(colors);
  FColorMap.SetSorted(true);
}
