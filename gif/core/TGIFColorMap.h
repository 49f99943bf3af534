#pragma once

#include <cstdint>
#include <vector>

class TGIFReporter;
class TGIFSpanReader;

struct TGIFColor {
  uint8_t Red = 0;
  uint8_t Green = 0;
  uint8_t Blue = 0;
  bool operator==(const TGIFColor&) const = default;
};

// A GIF colour table of up to 256 entries.
class TGIFColorMap {
public:
  int Count() const { return static_cast<int>(FColors.size()); }
  int Capacity() const { return FCapacity; }
  bool Sorted() const { return FSorted; }
  void SetSorted(bool value) { FSorted = value; }
  const TGIFColor* Data() const { return FColors.data(); }

  // Raises "Color table overflow" past 256 entries; clears the sorted flag. Returns the new index.
  int Add(TGIFColor color);
  // Raises "Invalid color index" outside 0..Count-1.
  void Delete(int index);
  void Clear();
  void Assign(const std::vector<TGIFColor>& colors);
  // Reports "Invalid color index" (or "Color table is empty") and gives black outside the table.
  TGIFColor Color(int index, const TGIFReporter* reporter) const;
  void SetColor(int index, TGIFColor color);
  // -1 when absent. An unsorted table is searched from its end so that the last match wins.
  int IndexOf(TGIFColor color) const;
  // Bits needed to index the table: 0, 1, then the smallest n with 2^n >= Count.
  int Bits() const;

  // Reads exactly count entries.
  void LoadFromStream(TGIFSpanReader& reader, int count);
  // Writes the entries padded with black to 2^Bits() entries.
  void SaveToStream(std::vector<uint8_t>& out) const;
  // Every index 0..255, black past the table: pixel values index it without a range check.
  void FillPalette(TGIFColor (&palette)[256]) const;

private:
  void Grow(int need);

  std::vector<TGIFColor> FColors;
  int FCapacity = 0;
  bool FSorted = false;
};
