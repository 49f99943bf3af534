#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TGIFReporter;
class TGIFSpanReader;

// A block introduced by '!' (0x21) and its label, with its data sub-blocks.
class TGIFExtension {
public:
  static constexpr uint8_t kIntroducer = 0x21;

  TGIFExtension() = default;
  TGIFExtension(const TGIFExtension&) = default;
  TGIFExtension& operator=(const TGIFExtension&) = delete;
  virtual ~TGIFExtension() = default;

  virtual uint8_t Label() const = 0;
  virtual int VersionNeeded() const { return 2; }
  virtual std::unique_ptr<TGIFExtension> Clone() const = 0;

  // Reads the introducer and label (checked against this kind), then the body.
  void LoadFromStream(TGIFSpanReader& reader, const TGIFReporter& reporter);
  void SaveToStream(std::vector<uint8_t>& out) const;

  // Calls sink for each data sub-block up to the terminator; "Premature end of data" when cut short.
  template <typename TSink>
  static void ReadSubBlocks(TGIFSpanReader& reader, TSink&& sink);
  // Writes data as sub-blocks of at most 255 bytes, without the terminator; nothing for no data.
  static void WriteSubBlocks(std::vector<uint8_t>& out, const uint8_t* data, size_t size);
  // Memory the block takes once loaded, charged against the document's allowance: a share for the
  // object itself, and what it holds.
  virtual size_t MemoryUse() const { return kObjectCost; }
  static constexpr size_t kObjectCost = 128;

protected:
  virtual void LoadBody(TGIFSpanReader& reader, const TGIFReporter& reporter) = 0;
  virtual void SaveBody(std::vector<uint8_t>& out) const = 0;
};

#include "gif/core/GIFException.h"
#include "gif/core/TGIFSpanReader.h"

template <typename TSink>
void TGIFExtension::ReadSubBlocks(TGIFSpanReader& reader, TSink&& sink) {
  // Each iteration consumes at least one byte, so the loop ends with the data.
  for (;;) {
    uint8_t length;
    if (!reader.ReadByte(length)) throw GIFException("Premature end of data");
    if (length == 0) return;
    if (length > reader.Remaining()) {
      reader.Seek(reader.Size());
      throw GIFException("Premature end of data");
    }
    const uint8_t* data = reader.Current();
    reader.Skip(length);
    sink(data, static_cast<size_t>(length));
  }
}
