#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "gif/core/TGIFHeader.h"
#include "gif/core/TGIFReporter.h"
#include "gif/core/TGIFSubImage.h"

// The whole block tree of a GIF stream: header, frames and trailer.
class TGIFDocument {
public:
  using TFrames = std::vector<std::unique_ptr<TGIFSubImage>>;

  // Bytes of all frames' pixels and extensions together; pixels a file's frames may hold beyond what
  // their data can reach; the logical screen's size when the frames need less.
  static constexpr uint64_t kMaxPixels = uint64_t(1) << 26;
  static constexpr uint64_t kUnfilledPixels = uint64_t(1) << 20;
  static constexpr uint64_t kScreenPixelLimit = uint64_t(1) << 24;

  TGIFDocument() = default;
  TGIFDocument(const TGIFDocument&) = delete;
  TGIFDocument& operator=(const TGIFDocument&) = delete;

  TGIFReporter& Reporter() { return FReporter; }
  const TGIFReporter& Reporter() const { return FReporter; }
  TGIFHeader& Header() { return FHeader; }
  const TGIFHeader& Header() const { return FHeader; }
  TFrames& Frames() { return FFrames; }
  const TFrames& Frames() const { return FFrames; }
  int Width() const { return FHeader.Width(); }
  int Height() const { return FHeader.Height(); }
  bool Empty() const { return FFrames.empty(); }
  // Bits of the global colour table.
  int BitsPerPixel() const { return FHeader.ColorMap().Bits(); }
  // 1 = "87a", 2 = "89a": the highest any block needs.
  int VersionNeeded() const;

  void Clear();
  // Copies header and frames, not the handlers.
  void Assign(const TGIFDocument& source);
  void LoadFromBytes(const uint8_t* data, size_t size);
  void SaveToStream(std::vector<uint8_t>& out) const;
  std::vector<uint8_t> SaveToBytes() const;

private:
  void FitScreen(const TGIFSubImage& frame);

  TGIFReporter FReporter;
  TGIFHeader FHeader;
  TFrames FFrames;
};
