#include "gif/core/TGIFColorMap.h"

#include "gif/core/GIFException.h"
#include "gif/core/TGIFReporter.h"
#include "gif/core/TGIFSpanReader.h"

namespace {
constexpr int kMaxColors = 256;
}

void TGIFColorMap::Grow(int need) {
  if (need <= FCapacity) return;
  int capacity = need <= 16 ? 16 : (need + 31) / 32 * 32;
  if (capacity > kMaxColors) capacity = kMaxColors;
  FColors.reserve(capacity);
  FCapacity = capacity;
}

int TGIFColorMap::Add(TGIFColor color) {
  if (Count() >= kMaxColors) throw GIFException("Color table overflow");
  Grow(Count() + 1);
  FColors.push_back(color);
  FSorted = false;
  return Count() - 1;
}

void TGIFColorMap::Delete(int index) {
  if (index < 0 || index >= Count()) throw GIFException("Invalid color index");
  FColors.erase(FColors.begin() + index);
}

void TGIFColorMap::Clear() {
  FColors.clear();
  FSorted = false;
}

void TGIFColorMap::Assign(const std::vector<TGIFColor>& colors) {
  if (colors.size() > static_cast<size_t>(kMaxColors)) throw GIFException("Color table overflow");
  Grow(static_cast<int>(colors.size()));
  FColors = colors;
}

TGIFColor TGIFColorMap::Color(int index, const TGIFReporter* reporter) const {
  if (index >= 0 && index < Count()) return FColors[index];
  if (reporter) {
    if (FColors.empty())
      reporter->Report(TGIFSeverity::Error, "Color table is empty");
    else
      reporter->Warning("Invalid color index");
  }
  return {};
}

void TGIFColorMap::SetColor(int index, TGIFColor color) {
  if (index < 0 || index >= Count()) throw GIFException("Invalid color index");
  FColors[index] = color;
}

int TGIFColorMap::IndexOf(TGIFColor color) const {
  if (FSorted) {
    for (int i = 0; i < Count(); ++i)
      if (FColors[i] == color) return i;
  } else {
    for (int i = Count() - 1; i >= 0; --i)
      if (FColors[i] == color) return i;
  }
  return -1;
}

int TGIFColorMap::Bits() const {
  const int count = Count();
  if (count == 0) return 0;
  int bits = 1;
  while ((1 << bits) < count) ++bits;
  return bits;
}

void TGIFColorMap::LoadFromStream(TGIFSpanReader& reader, int count) {
  if (count < 0 || count > kMaxColors) throw GIFException("Color table overflow");
  uint8_t bytes[kMaxColors * 3];
  reader.ReadExact(bytes, static_cast<size_t>(count) * 3);
  FColors.clear();
  Grow(count);
  for (int i = 0; i < count; ++i) FColors.push_back({bytes[i * 3], bytes[i * 3 + 1], bytes[i * 3 + 2]});
}

void TGIFColorMap::SaveToStream(std::vector<uint8_t>& out) const {
  for (const TGIFColor& c : FColors) {
    out.push_back(c.Red);
    out.push_back(c.Green);
    out.push_back(c.Blue);
  }
  const int padded = Count() == 0 ? 0 : 1 << Bits();
  out.insert(out.end(), static_cast<size_t>(padded - Count()) * 3, 0);
}

void TGIFColorMap::FillPalette(TGIFColor (&palette)[256]) const {
  for (int i = 0; i < kMaxColors; ++i) palette[i] = i < Count() ? FColors[i] : TGIFColor{};
}
