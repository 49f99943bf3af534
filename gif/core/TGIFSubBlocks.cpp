#include "gif/core/TGIFSubBlocks.h"

#include <limits>

#include "gif/core/GIFException.h"
#include "gif/core/TGIFExtension.h"

TGIFSubBlocks::TGIFSubBlocks(std::initializer_list<std::string_view> blocks) {
  for (std::string_view block : blocks) Add(block);
}

std::string_view TGIFSubBlocks::operator[](size_t index) const {
  const size_t start = index == 0 ? 0 : FEnds[index - 1];
  return std::string_view(FBytes).substr(start, FEnds[index] - start);
}

std::vector<std::string> TGIFSubBlocks::Strings() const {
  std::vector<std::string> strings;
  strings.reserve(Count());
  for (size_t i = 0; i < Count(); ++i) strings.emplace_back((*this)[i]);
  return strings;
}

void TGIFSubBlocks::Add(std::string_view block) {
  if (block.size() > std::numeric_limits<uint32_t>::max() - FBytes.size())
    throw GIFException("Extension data too large");
  FBytes.append(block);
  FEnds.push_back(static_cast<uint32_t>(FBytes.size()));
}

void TGIFSubBlocks::Clear() {
  FBytes.clear();
  FEnds.clear();
}

void TGIFSubBlocks::Read(TGIFSpanReader& reader) {
  Clear();
  // A first pass sizes the storage, so that it is allocated once and to the byte.
  TGIFSpanReader ahead = reader;
  size_t count = 0, bytes = 0;
  TGIFExtension::ReadSubBlocks(ahead, [&](const uint8_t*, size_t size) {
    ++count;
    bytes += size;
  });
  FBytes.reserve(bytes);
  FEnds.reserve(count);
  TGIFExtension::ReadSubBlocks(reader, [&](const uint8_t* data, size_t size) {
    Add(std::string_view(reinterpret_cast<const char*>(data), size));
  });
}

void TGIFSubBlocks::Write(std::vector<uint8_t>& out) const {
  for (size_t i = 0; i < Count(); ++i) {
    const std::string_view block = (*this)[i];
    TGIFExtension::WriteSubBlocks(out, reinterpret_cast<const uint8_t*>(block.data()), block.size());
  }
  out.push_back(0);
}
