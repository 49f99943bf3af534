#pragma once

#include <cstdint>

// Open-addressing table of the LZW encoder: key (prefix code shl 8 or pixel) to code.
class THashTable {
public:
  static constexpr int kSize = 8009;

  THashTable() { Clear(); }
  void Clear();
  void Insert(uint32_t key, int code);
  // Stores at a slot found empty by Find.
  void InsertAt(int slot, uint32_t key, int code) {
    FEntries[slot] = (key << 12) | static_cast<uint32_t>(code & 0xFFF);
  }
  // -1 when absent.
  int Find(uint32_t key) const {
    int slot;
    return Find(key, slot);
  }
  // As Find; when absent, slot receives the empty entry where Insert would put the key.
  int Find(uint32_t key, int& slot) const {
    int h = Hash(key);
    // The table always holds an empty slot (at most 4096 of 8009 are used), so the probe ends.
    for (;;) {
      const uint32_t entry = FEntries[h];
      if ((entry >> 12) == kEmptyKey) {
        slot = h;
        return -1;
      }
      if ((entry >> 12) == key) return static_cast<int>(entry & 0xFFF);
      h = NextProbe(h);
    }
  }

private:
  static constexpr uint32_t kEmptyKey = 0xFFFFF;
  static int Hash(uint32_t key) { return static_cast<int>(((key >> 4) ^ key) % kSize); }
  static int NextProbe(int h) {
    const int d = h == 0 ? 1 : kSize - h;
    h -= d;
    return h < 0 ? h + kSize : h;
  }

  uint32_t FEntries[kSize];
};
