#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

class TGIFSpanReader;

// The data sub-blocks of an extension, held in one piece: their bytes back to back and where each
// ends, so that a file of many tiny sub-blocks costs memory in proportion to its size.
class TGIFSubBlocks {
public:
  TGIFSubBlocks() = default;
  TGIFSubBlocks(std::initializer_list<std::string_view> blocks);

  size_t Count() const { return FEnds.size(); }
  bool Empty() const { return FEnds.empty(); }
  std::string_view operator[](size_t index) const;
  std::vector<std::string> Strings() const;
  void Add(std::string_view block);
  void Clear();
  // Bytes held: the data and the table of ends.
  size_t MemoryUse() const { return FBytes.size() + FEnds.size() * sizeof(uint32_t); }

  // Reads sub-blocks up to the terminator; "Premature end of data" when cut short.
  void Read(TGIFSpanReader& reader);
  // Writes each block as sub-blocks of at most 255 bytes (an empty one as none, since a 0-length
  // sub-block would end the data early), then the terminator.
  void Write(std::vector<uint8_t>& out) const;

  bool operator==(const TGIFSubBlocks& other) const = default;

private:
  std::string FBytes;
  std::vector<uint32_t> FEnds;
};
