#include "gif/core/TGIFAppExtNSLoop.h"

#include "framework/base/ByteOrder.h"

TGIFAppExtNSLoop::TGIFAppExtNSLoop() {
  SetIdentifier("NETSCAPE2.0");
}

std::unique_ptr<TGIFExtension> TGIFAppExtNSLoop::Clone() const {
  return std::make_unique<TGIFAppExtNSLoop>(*this);
}

void TGIFAppExtNSLoop::LoadData(TGIFSpanReader& reader, const TGIFReporter&) {
  // Fields are taken only from inside their own sub-block.
  ReadSubBlocks(reader, [&](const uint8_t* data, size_t size) {
    const int kind = data[0] & 7;
    if (kind == 1 && size >= 3) {
      FLoopCount = ByteOrder::ReadLE16(data + 1);
    } else if (kind == 2 && size >= 5) {
      FBufferSize = ByteOrder::ReadLE32(data + 1);
    }
  });
}

void TGIFAppExtNSLoop::SaveData(std::vector<uint8_t>& out) const {
  out.push_back(3);
  out.push_back(1);
  ByteOrder::AppendLE16(out, FLoopCount);
  if (FBufferSize != 0) {
    out.push_back(5);
    out.push_back(2);
    ByteOrder::AppendLE32(out, FBufferSize);
  }
  out.push_back(0);
}
