#include "gif/core/TGIFApplicationExtension.h"

#include <cstring>

std::unique_ptr<TGIFExtension> TGIFApplicationExtension::Clone() const {
  return std::make_unique<TGIFApplicationExtension>(*this);
}

void TGIFApplicationExtension::SetIdentifier(const char* text11) {
  std::memcpy(FIdentifier.data(), text11, FIdentifier.size());
}

void TGIFApplicationExtension::LoadBody(TGIFSpanReader& reader, const TGIFReporter& reporter) {
  const uint8_t size = reader.ReadExactByte();
  if (size < 10) throw GIFException("Unsupported Application Extension block size");
  const size_t afterSize = reader.Position();
  reader.ReadExact(FIdentifier.data(), FIdentifier.size());
  // A block of 10 bytes borrows the next byte as the 11th of its code, yet its sub-blocks start
  // right after its own bytes; a longer block's surplus is skipped.
  reader.Seek(afterSize + size);
  LoadData(reader, reporter);
}

void TGIFApplicationExtension::SaveBody(std::vector<uint8_t>& out) const {
  out.push_back(11);
  out.insert(out.end(), FIdentifier.begin(), FIdentifier.end());
  SaveData(out);
}

void TGIFApplicationExtension::LoadData(TGIFSpanReader& reader, const TGIFReporter&) {
  FBlocks.Read(reader);
}

void TGIFApplicationExtension::SaveData(std::vector<uint8_t>& out) const {
  FBlocks.Write(out);
}
