#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "gif/core/TGIFApplicationExtension.h"

class TGIFSpanReader;

// Which extension class reads a block: by label, and for application blocks by identifier.
// Later registrations win over earlier ones.
class TGIFExtensionRegistry {
public:
  using TFactory = std::unique_ptr<TGIFExtension> (*)();

  static TGIFExtensionRegistry& Instance();

  void Register(uint8_t label, TFactory factory);
  void RegisterApplication(const char* identifier11, TFactory factory);
  // Restores the built-in entries.
  void Reset();

  // With the reader on an introducer: a new extension of the kind that reads the block, or null
  // when the label is unknown. The reader is left where it was.
  std::unique_ptr<TGIFExtension> Create(TGIFSpanReader& reader) const;

private:
  TGIFExtensionRegistry();

  std::vector<std::pair<uint8_t, TFactory>> FLabels;
  std::vector<std::pair<TGIFApplicationExtension::TIdentifier, TFactory>> FApplications;
};
