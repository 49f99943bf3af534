#pragma once

#include "gif/core/TGIFApplicationExtension.h"

// The animation loop block ("NETSCAPE2.0", also read from "ANIMEXTS1.0").
class TGIFAppExtNSLoop : public TGIFApplicationExtension {
public:
  TGIFAppExtNSLoop();
  std::unique_ptr<TGIFExtension> Clone() const override;

  // 0 = forever.
  uint16_t LoopCount() const { return FLoopCount; }
  void SetLoopCount(uint16_t value) { FLoopCount = value; }
  uint32_t BufferSize() const { return FBufferSize; }
  void SetBufferSize(uint32_t value) { FBufferSize = value; }

protected:
  void LoadData(TGIFSpanReader& reader, const TGIFReporter& reporter) override;
  void SaveData(std::vector<uint8_t>& out) const override;

private:
  uint16_t FLoopCount = 0;
  uint32_t FBufferSize = 0;
};
