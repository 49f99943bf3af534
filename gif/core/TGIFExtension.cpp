#include "gif/core/TGIFExtension.h"

void TGIFExtension::LoadFromStream(TGIFSpanReader& reader, const TGIFReporter& reporter) {
  uint8_t introducer = reader.ReadExactByte();
  if (introducer != kIntroducer) throw GIFException("Invalid extension introducer");
  uint8_t label = reader.ReadExactByte();
  if (label != Label())
    throw GIFException("Internal error: Extension Instance does not match Extension Label");
  LoadBody(reader, reporter);
}

void TGIFExtension::SaveToStream(std::vector<uint8_t>& out) const {
  out.push_back(kIntroducer);
  out.push_back(Label());
  SaveBody(out);
}

void TGIFExtension::WriteSubBlocks(std::vector<uint8_t>& out, const uint8_t* data, size_t size) {
  while (size > 0) {
    const size_t n = size < 255 ? size : 255;
    out.push_back(static_cast<uint8_t>(n));
    out.insert(out.end(), data, data + n);
    data += n;
    size -= n;
  }
}
