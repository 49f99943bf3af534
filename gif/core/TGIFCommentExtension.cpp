#include "gif/core/TGIFCommentExtension.h"

std::unique_ptr<TGIFExtension> TGIFCommentExtension::Clone() const {
  return std::make_unique<TGIFCommentExtension>(*this);
}

void TGIFCommentExtension::LoadBody(TGIFSpanReader& reader, const TGIFReporter&) {
  FLines.Read(reader);
}

void TGIFCommentExtension::SaveBody(std::vector<uint8_t>& out) const {
  FLines.Write(out);
}
