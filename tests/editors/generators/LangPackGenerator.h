#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Synthetic language-pack images written from the image format, for tests, fuzz seeds and benchmarks.

enum class TAlphabet { Ascii, Cyrillic, Cjk };

struct TGenLanguagePlan {
  uint32_t ID = 1;
  int Strings = 2000;
  TAlphabet Alphabet = TAlphabet::Ascii;
  int AlphabetSize = 0;  // 0: the alphabet's natural size (Cjk: about 6000 units)
  bool ITap = false;
  bool ITapLowBits = false;  // set the two ignored low bits of the iTap address
  int UnusedLeaves = 3;      // tree leaves no string uses
  uint16_t Lengthener = 1;   // the number word 11 points at
};

struct TGenPackPlan {
  uint32_t Seed = 1;
  uint32_t Base = 0x10A40000;
  std::vector<TGenLanguagePlan> Languages;
};

// A header pointer word and the image offset its address targets.
struct TGenPointer {
  uint32_t WordOffset = 0;
  uint32_t Target = 0;
  int Language = -1;  // the language whose block or iTap holds the target, -1 outside every language
};

struct TGenLanguage {
  TGenLanguagePlan Plan;
  std::vector<std::u16string> Strings;
  std::vector<char16_t> TreeUnits;  // units with a leaf
  uint32_t Block = 0, BlockSize = 0, Stream = 0, Tree = 0, Groups = 0;
  uint32_t ITap = 0, ITapSize = 0;  // 0 when none
  std::vector<uint8_t> Lng;         // its .lng file
};

struct TGenPack {
  uint32_t Base = 0;
  std::vector<uint8_t> Image;
  std::vector<TGenLanguage> Languages;
  std::vector<TGenPointer> Pointers;

  std::string Manifest() const;
};

TGenPack GenerateLangPack(const TGenPackPlan& plan);

// The default plan: `languages` languages of 2000 to 6000 strings over alphabets from ASCII to CJK,
// string counts of every remainder mod 4, some with iTap blocks.
TGenPackPlan LargeLangPackPlan(uint32_t seed, int languages);
// A small pack of the same shape (tens of strings) for quick tests and fuzz seeds.
TGenPackPlan SmallLangPackPlan(uint32_t seed, int languages);

// A hostile pack of one language: 65,535 strings whose group offsets are all 0, over a tree whose root
// is its own 0-child, and a stream of `streamBytes` zero bytes that ends in four end codes. Every
// group of four empty strings starts at the stream's first bit and reaches its last one.
std::vector<uint8_t> GenerateLoopingLangPack(uint32_t streamBytes);
