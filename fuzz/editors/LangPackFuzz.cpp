// Language-pack open, decode, pack, delete and insert on hostile images and .lng files. The input is
// the image; its last 16-bit word (big-endian) says how many trailing bytes before it form a .lng file.
#include "editors/core/ELangPackError.h"
#include "editors/core/TLanguagePack.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const size_t lngSize = std::min<size_t>(size - 2, size_t(data[size - 2]) << 8 | data[size - 1]);
  const size_t imageSize = size - 2 - lngSize;
  const std::vector<uint8_t> lng(data + imageSize, data + imageSize + lngSize);
  try {
    TLanguagePack pack(std::vector<uint8_t>(data, data + imageSize));
    for (int slot = 0; slot < pack.Count(); ++slot) {
      try {
        auto strings = pack.Decode(slot);
        if (!strings.empty()) strings[0] += u"\u4E00a";
        pack.Pack(slot, strings);
      } catch (const ELangPackError&) {
      }
    }
    try {
      pack.Insert(lng);
    } catch (const ELangPackError&) {
    }
    if (pack.Count() > 0) pack.Delete(0);
  } catch (const ELangPackError&) {
  }
  return 0;
}
