#include "gif/core/TGIFAppExtNSLoop.h"

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
      FLoopCount = static_cast<uint16_t>(data[1] | (data[2] << 8));
    } else if (kind == 2 && size >= 5) {
      FBufferSize = static_cast<uint32_t>(data[1]) | (static_cast<uint32_t>(data[2]) << 8) |
                    (static_cast<uint32_t>(data[3]) << 16) | (static_cast<uint32_t>(data[4]) << 24);
    }
  });
}

void TGIFAppExtNSLoop::SaveData(std::vector<uint8_t>& out) const {
  const uint8_t loop[] = {3, 1, static_cast<uint8_t>(FLoopCount & 0xFF),
                          static_cast<uint8_t>(FLoopCount >> 8)};
  out.insert(out.end(), loop, loop + sizeof loop);
  if (FBufferSize != 0) {
    const uint8_t buffer[] = {5,
                              2,
                              static_cast<uint8_t>(FBufferSize & 0xFF),
                              static_cast<uint8_t>((FBufferSize >> 8) & 0xFF),
                              static_cast<uint8_t>((FBufferSize >> 16) & 0xFF),
                              static_cast<uint8_t>(FBufferSize >> 24)};
    out.insert(out.end(), buffer, buffer + sizeof buffer);
  }
  out.push_back(0);
}
