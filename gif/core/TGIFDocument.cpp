#include "gif/core/TGIFDocument.h"

#include <algorithm>

#include "gif/core/GIFException.h"
#include "gif/core/TGIFExtension.h"
#include "gif/core/TGIFSpanReader.h"
#include "gif/core/TLZWEncoder.h"

namespace {
constexpr uint8_t kImageSeparator = 0x2C;
constexpr uint8_t kTrailer = 0x3B;
}  // namespace

int TGIFDocument::VersionNeeded() const {
  int version = FHeader.VersionNeeded();
  for (const auto& frame : FFrames)
    if (frame->VersionNeeded() > version) version = frame->VersionNeeded();
  return version;
}

void TGIFDocument::Clear() {
  FFrames.clear();
  FHeader.Clear();
}

void TGIFDocument::Assign(const TGIFDocument& source) {
  if (&source == this) return;
  TFrames frames;
  for (size_t i = 0; i < source.FFrames.size(); ++i) {
    frames.push_back(std::make_unique<TGIFSubImage>(*source.FFrames[i]));
    FReporter.Progress("Copying...", static_cast<int>((i + 1) * 100 / source.FFrames.size()));
  }
  FHeader = source.FHeader;
  FFrames = std::move(frames);
}

void TGIFDocument::FitScreen(const TGIFSubImage& frame) {
  const int right = frame.Left() + frame.Width();
  const int bottom = frame.Top() + frame.Height();
  if (right > 65535 || bottom > 65535) throw GIFException("Invalid image dimensions");
  bool grown = false;
  if (right > FHeader.Width()) {
    if (FHeader.Width() != 0) FReporter.Warning("Image width too small for contained frames");
    FHeader.SetWidth(static_cast<uint16_t>(right));
    grown = true;
  }
  if (bottom > FHeader.Height()) {
    if (FHeader.Height() != 0) FReporter.Warning("Image height too small for contained frames");
    FHeader.SetHeight(static_cast<uint16_t>(bottom));
    grown = true;
  }
  if (grown) FReporter.Warning("Image exceeds Logical Screen size");
}

void TGIFDocument::LoadFromBytes(const uint8_t* data, size_t size) {
  Clear();
  TGIFSpanReader reader(data, size);
  FReporter.Progress("Loading...", 0);
  FHeader.LoadFromStream(reader);
  TGIFPixelBudget budget{kMaxPixels, kUnfilledPixels};

  // Each pass consumes at least one byte, so the loop is bounded by the data.
  for (;;) {
    int next = reader.PeekByte();
    while (next == 0) {
      reader.Skip(1);
      next = reader.PeekByte();
    }
    if (next < 0 || next == kTrailer) break;
    if (next != TGIFExtension::kIntroducer && next != kImageSeparator) {
      FReporter.Warning("Unknown GIF block type");
      break;
    }
    auto frame = std::make_unique<TGIFSubImage>();
    frame->LoadFromStream(reader, FHeader, FReporter, budget);
    if (!frame->Empty()) FitScreen(*frame);
    FFrames.push_back(std::move(frame));
    FReporter.Progress("Loading...", static_cast<int>(reader.Position() * 100 / size));
  }
  uint8_t trailer;
  if (reader.ReadByte(trailer) && trailer != kTrailer) FReporter.Warning("Invalid Image trailer");
  // The screen may be as large as its frames together, so frames side by side fit.
  if (static_cast<uint64_t>(FHeader.Width()) * FHeader.Height() > std::max(kScreenPixelLimit, budget.FramePixels))
    throw GIFException("Invalid image dimensions");
  FReporter.Progress("Loading...", 100);
}

void TGIFDocument::SaveToStream(std::vector<uint8_t>& out) const {
  int frameBits = 0;
  for (const auto& frame : FFrames)
    if (frame->ColorMap().Bits() > frameBits) frameBits = frame->ColorMap().Bits();
  FHeader.SaveToStream(out, VersionNeeded(), frameBits);
  TLZWEncoder encoder;
  for (size_t i = 0; i < FFrames.size(); ++i) {
    FFrames[i]->SaveToStream(out, FHeader, encoder);
    FReporter.Progress("Saving...", static_cast<int>((i + 1) * 100 / FFrames.size()));
  }
  out.push_back(kTrailer);
}

std::vector<uint8_t> TGIFDocument::SaveToBytes() const {
  std::vector<uint8_t> out;
  SaveToStream(out);
  return out;
}
