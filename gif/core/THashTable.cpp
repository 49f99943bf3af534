#include "gif/core/THashTable.h"

#include <cstring>

void THashTable::Clear() {
  std::memset(FEntries, 0xFF, sizeof FEntries);
}

void THashTable::Insert(uint32_t key, int code) {
  int h = Hash(key);
  while ((FEntries[h] >> 12) != kEmptyKey) h = NextProbe(h);
  FEntries[h] = (key << 12) | static_cast<uint32_t>(code & 0xFFF);
}
