#include "gif/core/TGIFExtensionRegistry.h"

#include <cstring>

#include "gif/core/TGIFAppExtNSLoop.h"
#include "gif/core/TGIFCommentExtension.h"
#include "gif/core/TGIFGraphicControlExtension.h"
#include "gif/core/TGIFSpanReader.h"
#include "gif/core/TGIFTextExtension.h"
#include "gif/core/TGIFUnknownAppExtension.h"

namespace {
template <typename T>
std::unique_ptr<TGIFExtension> Make() {
  return std::make_unique<T>();
}
}  // namespace

TGIFExtensionRegistry& TGIFExtensionRegistry::Instance() {
  static TGIFExtensionRegistry registry;
  return registry;
}

TGIFExtensionRegistry::TGIFExtensionRegistry() {
  Reset();
}

void TGIFExtensionRegistry::Reset() {
  FLabels.clear();
  FApplications.clear();
  Register(TGIFTextExtension::kLabel, &Make<TGIFTextExtension>);
  Register(TGIFGraphicControlExtension::kLabel, &Make<TGIFGraphicControlExtension>);
  Register(TGIFCommentExtension::kLabel, &Make<TGIFCommentExtension>);
  Register(TGIFApplicationExtension::kLabel, &Make<TGIFApplicationExtension>);
  RegisterApplication("NETSCAPE2.0", &Make<TGIFAppExtNSLoop>);
  RegisterApplication("ANIMEXTS1.0", &Make<TGIFAppExtNSLoop>);
}

void TGIFExtensionRegistry::Register(uint8_t label, TFactory factory) {
  FLabels.emplace_back(label, factory);
}

void TGIFExtensionRegistry::RegisterApplication(const char* identifier11, TFactory factory) {
  TGIFApplicationExtension::TIdentifier id;
  std::memcpy(id.data(), identifier11, id.size());
  FApplications.emplace_back(id, factory);
}

std::unique_ptr<TGIFExtension> TGIFExtensionRegistry::Create(TGIFSpanReader& reader) const {
  const size_t start = reader.Position();
  uint8_t bytes[2];
  const size_t got = reader.ReadSome(bytes, 2);
  std::unique_ptr<TGIFExtension> result;
  if (got == 2) {
    const uint8_t label = bytes[1];
    TFactory factory = nullptr;
    for (auto it = FLabels.rbegin(); it != FLabels.rend() && !factory; ++it)
      if (it->first == label) factory = it->second;
    if (label == TGIFApplicationExtension::kLabel && factory) {
      uint8_t size = 0;
      reader.ReadByte(size);
      if (size == 11 && reader.Remaining() >= 11) {
        factory = &Make<TGIFUnknownAppExtension>;
        for (auto it = FApplications.rbegin(); it != FApplications.rend(); ++it)
          if (std::memcmp(it->first.data(), reader.Current(), 11) == 0) {
            factory = it->second;
            break;
          }
      } else if (size == 10 && reader.Remaining() >= 10) {
        factory = &Make<TGIFUnknownAppExtension>;
      }
    }
    if (factory) result = factory();
  }
  reader.Seek(start);
  return result;
}
