#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "gif/core/TGIFColorMap.h"
#include "gif/core/TGIFExtension.h"

class TGIFGraphicControlExtension;
class TGIFHeader;
class TGIFReporter;
class TGIFSpanReader;
class TLZWEncoder;

// Memory a document may still allocate, in bytes: a byte per pixel and what extensions hold.
// Shrinks with every frame and extension loaded.
struct TGIFPixelBudget {
  uint64_t Remaining = 0;    // all frames and extensions together
  uint64_t Unfilled = 0;     // pixels that no data of their frame can reach and keep the fill value
  uint64_t FramePixels = 0;  // spent on frames so far
};

// One frame: its extensions, image descriptor, local colour table and pixels (one byte each).
class TGIFSubImage {
public:
  using TExtensions = std::vector<std::unique_ptr<TGIFExtension>>;

  TGIFSubImage() = default;
  TGIFSubImage(const TGIFSubImage& other);
  TGIFSubImage& operator=(const TGIFSubImage&) = delete;

  TExtensions& Extensions() { return FExtensions; }
  const TExtensions& Extensions() const { return FExtensions; }
  TGIFColorMap& ColorMap() { return FColorMap; }
  const TGIFColorMap& ColorMap() const { return FColorMap; }
  std::vector<uint8_t>& Data() { return FData; }
  const std::vector<uint8_t>& Data() const { return FData; }

  uint16_t Left() const { return FLeft; }
  uint16_t Top() const { return FTop; }
  uint16_t Width() const { return FWidth; }
  uint16_t Height() const { return FHeight; }
  void SetLeft(uint16_t value) { FLeft = value; }
  void SetTop(uint16_t value) { FTop = value; }
  // Resizes the pixels (filled with 0); "Invalid image dimensions" outside 0..65535.
  void SetSize(int width, int height);
  uint8_t Packed() const { return FPacked; }
  bool Interlaced() const { return (FPacked & 0x40) != 0; }
  void SetInterlaced(bool value) { FPacked = static_cast<uint8_t>(value ? FPacked | 0x40 : FPacked & ~0x40); }
  // A frame read without an image descriptor holds only extensions.
  bool HasImage() const { return FHasImage; }
  void SetHasImage(bool value) { FHasImage = value; }
  bool Empty() const { return !FHasImage || FWidth == 0 || FHeight == 0; }

  // The first graphic control extension, or null.
  TGIFGraphicControlExtension* GraphicControlExtension() const;
  bool Transparent() const;
  int TransparentIndex() const;
  // 0..3; the undefined methods 4 to 7 count as 1 (do not dispose).
  int Disposal() const;
  // Hundredths of a second, as stored.
  int Delay() const;
  // The local table when it has colours, else the header's when it has colours, else null.
  const TGIFColorMap* ActiveColorMap(const TGIFHeader& header) const;
  // "Invalid pixel coordinates" outside the frame.
  uint8_t Pixel(int x, int y) const;
  void SetPixel(int x, int y, uint8_t value);
  int VersionNeeded() const;

  void LoadFromStream(TGIFSpanReader& reader, const TGIFHeader& header, const TGIFReporter& reporter,
                      TGIFPixelBudget& budget);
  void SaveToStream(std::vector<uint8_t>& out, const TGIFHeader& header, TLZWEncoder& encoder) const;

  // Orders the local table by falling use, remapping pixels and the transparent index, and drops
  // unused colours at its end.
  void OptimizeColorMap();

private:
  TExtensions FExtensions;
  TGIFColorMap FColorMap;
  std::vector<uint8_t> FData;
  uint16_t FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
  uint8_t FPacked = 0;
  bool FHasImage = false;
};
