#pragma once

#include <array>

#include "gif/core/TGIFExtension.h"
#include "gif/core/TGIFSubBlocks.h"

// Application block: 8-byte identifier, 3-byte authentication code, then the application's
// sub-blocks. This kind keeps the sub-blocks as they are, so an unknown block is written back intact.
class TGIFApplicationExtension : public TGIFExtension {
public:
  static constexpr uint8_t kLabel = 0xFF;
  using TIdentifier = std::array<uint8_t, 11>;

  uint8_t Label() const override { return kLabel; }
  std::unique_ptr<TGIFExtension> Clone() const override;

  // Identifier (8 bytes) followed by the authentication code (3 bytes).
  const TIdentifier& Identifier() const { return FIdentifier; }
  void SetIdentifier(const TIdentifier& value) { FIdentifier = value; }
  void SetIdentifier(const char* text11);
  TGIFSubBlocks& Blocks() { return FBlocks; }
  const TGIFSubBlocks& Blocks() const { return FBlocks; }
  size_t MemoryUse() const override { return kObjectCost + FBlocks.MemoryUse(); }

protected:
  void LoadBody(TGIFSpanReader& reader, const TGIFReporter& reporter) override;
  void SaveBody(std::vector<uint8_t>& out) const override;
  virtual void LoadData(TGIFSpanReader& reader, const TGIFReporter& reporter);
  virtual void SaveData(std::vector<uint8_t>& out) const;

private:
  TIdentifier FIdentifier{};
  TGIFSubBlocks FBlocks;
};
