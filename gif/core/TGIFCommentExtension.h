#pragma once

#include "gif/core/TGIFExtension.h"
#include "gif/core/TGIFSubBlocks.h"

// Free text; each data sub-block is one line.
class TGIFCommentExtension : public TGIFExtension {
public:
  static constexpr uint8_t kLabel = 0xFE;

  uint8_t Label() const override { return kLabel; }
  std::unique_ptr<TGIFExtension> Clone() const override;

  TGIFSubBlocks& Lines() { return FLines; }
  const TGIFSubBlocks& Lines() const { return FLines; }
  size_t MemoryUse() const override { return kObjectCost + FLines.MemoryUse(); }

protected:
  void LoadBody(TGIFSpanReader& reader, const TGIFReporter& reporter) override;
  void SaveBody(std::vector<uint8_t>& out) const override;

private:
  TGIFSubBlocks FLines;
};
