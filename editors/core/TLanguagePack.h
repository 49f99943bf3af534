#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

// One language of the pack as its table row shows it.
struct TLanguageInfo {
  uint32_t ID = 0;
  uint32_t Address = 0;      // language block
  uint32_t ITapAddress = 0;  // 0 when there is none
};

// A language's place in the image, and its entry in .lng form (word 0 the ID, words 1 to 11 offsets
// inside a .lng file, 0xFFFFFFFF where the image word is 0; all little-endian).
struct TPreparedLanguage {
  int Slot = -1;
  uint32_t EntryOffset = 0;
  uint32_t BlockOffset = 0;
  uint32_t BlockSize = 0;
  uint32_t ITapOffset = 0;
  uint32_t ITapSize = 0;  // 0 when there is none
  std::array<uint8_t, 48> LngEntry{};
};

struct TPackResult {
  int DroppedUnits = 0;  // code units the language's tree has no leaf for
  std::vector<size_t> DroppedIn;  // the strings (indexes into those packed) that lost some, ascending
};

// k of n strings done.
using TLangProgress = std::function<void(int, int)>;

// A language-pack image (code group 4) held whole in memory. Every constructor and operation checks
// the image before it reads; an operation either replaces the image with a checked result or throws
// ELangPackError and leaves it as it was.
class TLanguagePack {
public:
  static constexpr size_t MinImageSize = 576;
  static constexpr int MaxLanguages = 10;
  static constexpr size_t MaxStringUnits = 255;

  explicit TLanguagePack(std::vector<uint8_t> image);

  const std::vector<uint8_t>& Image() const { return FImage; }
  uint32_t Base() const { return FBase; }
  int Count() const { return FCount; }
  TLanguageInfo Language(int slot) const;
  TPreparedLanguage Prepare(int slot) const;

  // Reads each stream bit at most twice: a language whose string groups overlap further is reported
  // damaged. `bitsRead`, when given, receives the stream bits the decode read, also when it throws.
  std::vector<std::u16string> Decode(int slot, const TLangProgress& progress = {},
                                     uint64_t* bitsRead = nullptr) const;
  // Re-encodes `strings` (one per string of the language, in order) with the language's own tree.
  TPackResult Pack(int slot, const std::vector<std::u16string>& strings, const TLangProgress& progress = {});
  void Delete(int slot);
  // Appends the language of a .lng file behind the last language's block.
  void Insert(std::span<const uint8_t> lng);

private:
  std::vector<uint8_t> FImage;
  uint32_t FBase = 0;
  int FCount = 0;

  void CheckSlot(int slot) const;
};
