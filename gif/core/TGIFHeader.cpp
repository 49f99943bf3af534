#include "gif/core/TGIFHeader.h"

#include <cctype>

#include "framework/base/ByteOrder.h"
#include "gif/core/GIFException.h"
#include "gif/core/TGIFSpanReader.h"

namespace {
bool IsSignature(const uint8_t* bytes) {
  return std::toupper(bytes[0]) == 'G' && std::toupper(bytes[1]) == 'I' && std::toupper(bytes[2]) == 'F';
}
}  // namespace

int TGIFHeader::VersionNeeded() const {
  return FColorMap.Sorted() || FAspectRatio != 0 ? 2 : 1;
}

void TGIFHeader::Clear() {
  FVersion = "89a";
  FWidth = FHeight = 0;
  FPacked = FBackgroundIndex = FAspectRatio = 0;
  FColorMap.Clear();
}

void TGIFHeader::LoadFromStream(TGIFSpanReader& reader) {
  const size_t start = reader.Position();
  uint8_t signature[6];
  reader.ReadExact(signature, 6);
  if (!IsSignature(signature)) {
    // Some files carry a 4-byte prefix before the signature.
    reader.Seek(start + 4);
    reader.ReadExact(signature, 6);
    if (!IsSignature(signature)) throw GIFException("Invalid GIF signature");
  }
  FVersion.assign(reinterpret_cast<const char*>(signature + 3), 3);
  uint8_t screen[7];
  reader.ReadExact(screen, 7);
  FWidth = ByteOrder::ReadLE16(screen);
  FHeight = ByteOrder::ReadLE16(screen + 2);
  FPacked = screen[4];
  FBackgroundIndex = screen[5];
  FAspectRatio = screen[6];
  if (FPacked & 0x80) {
    FColorMap.LoadFromStream(reader, 2 << (FPacked & 7));
    FColorMap.SetSorted((FPacked & 0x08) != 0);
  } else {
    FColorMap.Clear();
  }
}

void TGIFHeader::SaveToStream(std::vector<uint8_t>& out, int version, int frameBits) const {
  const char* text = version >= 2 ? "GIF89a" : "GIF87a";
  out.insert(out.end(), text, text + 6);
  ByteOrder::AppendLE16(out, FWidth);
  ByteOrder::AppendLE16(out, FHeight);
  int packed = 0;
  int bits = FColorMap.Bits();
  if (FColorMap.Count() > 0) {
    packed = 0x80;
    if (FColorMap.Sorted()) packed |= 0x08;
    // The size field describes the table written here, so it comes from the table itself.
    packed |= (bits - 1) & 7;
  }
  int resolution = frameBits > bits ? frameBits : bits;
  if (resolution < 1) resolution = 1;
  packed |= ((resolution - 1) << 4) & 0x70;
  out.push_back(static_cast<uint8_t>(packed));
  out.push_back(FBackgroundIndex);
  out.push_back(FAspectRatio);
  FColorMap.SaveToStream(out);
}
