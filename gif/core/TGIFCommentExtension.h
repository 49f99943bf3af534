#pragma once

#include "gif/core/TGIFExtension.h"

// Free text; each data sub-block is one line.
class TGIFCommentExtension : public TGIFExtension {
public:
  static constexpr uint8_t kLabel = 0xFE;

  uint8_t Label() const override { return kLabel; }
  std::unique_ptr<TGIFExtension> Clone() const override;

  std::vector<std::string>& Lines() { return FLines; }
  const std::vector<std::string>& Lines() const { return FLines; }

protected:
  void LoadBody(TGIFSpanReader& reader, const TGIFReporter& reporter) override;
  void SaveBody(std::vector<uint8_t>& out) const override;

private:
  std::vector<std::string> FLines;
};
