#include "editors/core/TLanguagePack.h"

#include "editors/core/ELangPackError.h"
#include "framework/base/ByteOrder.h"

#include <algorithm>
#include <cstring>

using namespace ByteOrder;

namespace {

constexpr size_t kCountOffset = 20;
constexpr size_t kTableOffset = 24;
constexpr size_t kEntrySize = 48;
constexpr size_t kTableEnd = kTableOffset + kEntrySize * TLanguagePack::MaxLanguages;  // 504
constexpr int kFirstPointerWord = 7;
constexpr int kLastPointerWord = 143;
// The header area is copied unchanged by a delete; no language data may lie inside it.
constexpr size_t kHeaderArea = 1022;
constexpr size_t kBitBufferSize = 0x140000;
constexpr int kMaxCodeLength = 128;
constexpr size_t kNodeSize = 6;

[[noreturn]] void Fail(const std::string& what) {
  throw ELangPackError("Damaged language pack: " + what);
}

std::string SlotText(int slot) {
  return "language " + std::to_string(slot + 1);
}

// Word 0 of each slot is a little-endian ID, never an address.
bool IsLanguageIdWord(int w) {
  const int first = static_cast<int>(kTableOffset / 4);
  return w >= first && (w - first) % 12 == 0 && (w - first) / 12 < TLanguagePack::MaxLanguages;
}

// Moves every header pointer word whose target offset lies in [start, oldSize) by delta.
void Relocate(std::vector<uint8_t>& image, uint32_t base, uint32_t start, uint32_t oldSize, int64_t delta) {
  for (int w = kFirstPointerWord; w <= kLastPointerWord; ++w) {
    if (IsLanguageIdWord(w)) continue;
    uint8_t* p = image.data() + 4 * w;
    const uint32_t offset = ReadBE32(p) - base;
    if (offset >= start && offset < oldSize) {
      WriteBE32(p, static_cast<uint32_t>(static_cast<int64_t>(offset) + delta) + base);
    }
  }
}

// The coded strings of one language: where they lie and the tree that codes them.
struct TCodedLanguage {
  uint32_t Count = 0;   // strings
  uint32_t Stream = 0;  // S
  uint32_t Groups = 0;  // G
  uint32_t Tree = 0;    // T
  uint32_t StreamEnd = 0;
  std::vector<uint16_t> Value, One, Zero;  // per node
};

class TBitWriter {
public:
  void Put(bool bit) {
    const size_t byte = FPosition >> 3;
    if (byte >= FBytes.size()) {
      if (byte >= kBitBufferSize)
        throw ELangPackError("The packed strings do not fit the 1310720-byte stream buffer.");
      FBytes.resize(std::max<size_t>(byte + 1, FBytes.size() * 2), 0);
    }
    if (bit) FBytes[byte] |= static_cast<uint8_t>(0x80u >> (FPosition & 7));
    ++FPosition;
  }
  void AlignToByte() { FPosition = (FPosition + 7) & ~size_t{7}; }
  // Zero bits up to `bit`.
  void PadTo(size_t bit) {
    if (bit / 8 >= kBitBufferSize) throw ELangPackError("The packed strings do not fit the 1310720-byte stream buffer.");
    FPosition = std::max(FPosition, bit);
  }
  size_t Position() const { return FPosition; }
  uint8_t Byte(size_t i) const { return i < FBytes.size() ? FBytes[i] : 0; }

private:
  std::vector<uint8_t> FBytes;
  size_t FPosition = 0;
};

// Root-first code of one code unit, found by climbing from its leaf with the first-match rules:
// the leaf is the first node holding the unit with no 1-child; a node's parent is the first node whose
// 0-child it is, failing that the first whose 1-child it is.
struct TCode {
  uint8_t State = 0;  // 0 not computed, 1 has a code, 2 no leaf
  uint8_t Length = 0;
  uint64_t Bits[2] = {0, 0};  // bit i at Bits[i / 64] >> (i % 64)
};

class TCoder {
public:
  explicit TCoder(const TCodedLanguage& lang)
      : FLeaf(65536, -1), FParent0(lang.Value.size(), -1), FParent1(lang.Value.size(), -1), FCodes(65536) {
    const int nodes = static_cast<int>(lang.Value.size());
    for (int i = 0; i < nodes; ++i) {
      if (lang.One[i] == 0 && FLeaf[lang.Value[i]] < 0) FLeaf[lang.Value[i]] = i;
      if (lang.Zero[i] < nodes && FParent0[lang.Zero[i]] < 0) FParent0[lang.Zero[i]] = i;
      if (lang.One[i] < nodes && FParent1[lang.One[i]] < 0) FParent1[lang.One[i]] = i;
    }
  }

  const TCode& Code(uint16_t unit) {
    TCode& code = FCodes[unit];
    if (code.State != 0) return code;
    int node = FLeaf[unit];
    if (node < 0) {
      code.State = 2;
      return code;
    }
    bool path[kMaxCodeLength];
    int steps = 0;
    while (node != 0) {
      if (steps == kMaxCodeLength)
        throw ELangPackError("Damaged language pack: a code is longer than 128 bits.");
      if (FParent0[node] >= 0) {
        path[steps++] = false;
        node = FParent0[node];
      } else if (FParent1[node] >= 0) {
        path[steps++] = true;
        node = FParent1[node];
      } else {
        throw ELangPackError("Ni huja ne najdeno!");
      }
    }
    for (int i = 0; i < steps; ++i) {
      if (path[steps - 1 - i]) code.Bits[i / 64] |= uint64_t{1} << (i % 64);
    }
    code.Length = static_cast<uint8_t>(steps);
    code.State = 1;
    return code;
  }

private:
  std::vector<int32_t> FLeaf, FParent0, FParent1;
  std::vector<TCode> FCodes;
};

// The bytes of a language's block and iTap block, which moving data around must keep intact.
std::vector<uint8_t> LanguageBytes(const TLanguagePack& pack, int slot) {
  const TPreparedLanguage p = pack.Prepare(slot);
  const auto& image = pack.Image();
  std::vector<uint8_t> bytes(image.begin() + p.BlockOffset, image.begin() + p.BlockOffset + p.BlockSize);
  bytes.insert(bytes.end(), image.begin() + p.ITapOffset, image.begin() + p.ITapOffset + p.ITapSize);
  return bytes;
}

void PutCode(TBitWriter& out, const TCode& code) {
  for (int i = 0; i < code.Length; ++i) out.Put((code.Bits[i / 64] >> (i % 64)) & 1u);
}

}  // namespace

TLanguagePack::TLanguagePack(std::vector<uint8_t> image) : FImage(std::move(image)) {
  if (FImage.size() < MinImageSize) {
    throw ELangPackError("Damaged language pack: the image is shorter than 576 bytes.");
  }
  if (FImage.size() > 0x7FFFFFFF) throw ELangPackError("The language pack is too large.");
  FBase = ReadBE32(FImage.data()) & 0xFFFF0000u;
  const uint32_t count = ReadLE32(FImage.data() + kCountOffset);
  if (count > static_cast<uint32_t>(MaxLanguages)) Fail("it claims " + std::to_string(count) + " languages.");
  FCount = static_cast<int>(count);
  for (int slot = 0; slot < FCount; ++slot) {
    Prepare(slot);
    const uint8_t* entry = FImage.data() + kTableOffset + kEntrySize * slot;
    for (int w : {1, 2, 3}) {
      if (ReadBE32(entry + 4 * w) - FBase > FImage.size())
        Fail(SlotText(slot) + " points outside the image.");
    }
  }
}

void TLanguagePack::CheckSlot(int slot) const {
  if (slot < 0 || slot >= FCount) throw ELangPackError("No language is selected.");
}

TLanguageInfo TLanguagePack::Language(int slot) const {
  CheckSlot(slot);
  const uint8_t* entry = FImage.data() + kTableOffset + kEntrySize * slot;
  return {ReadLE32(entry), ReadBE32(entry + 40), ReadBE32(entry + 16)};
}

TPreparedLanguage TLanguagePack::Prepare(int slot) const {
  CheckSlot(slot);
  const uint64_t size = FImage.size();
  TPreparedLanguage p;
  p.Slot = slot;
  p.EntryOffset = static_cast<uint32_t>(kTableOffset + kEntrySize * slot);
  const uint8_t* entry = FImage.data() + p.EntryOffset;
  auto word = [&](int w) { return ReadBE32(entry + 4 * w); };

  p.BlockOffset = word(10) - FBase;
  if (!Inside(p.BlockOffset, 2, size)) Fail(SlotText(slot) + ": its block lies outside the image.");
  const uint32_t lengthener = word(11) - FBase;
  if (!Inside(lengthener, 2, size)) Fail(SlotText(slot) + ": its block length lies outside the image.");
  const int64_t blockSize =
      static_cast<int64_t>(word(6)) - word(10) + 8 * int64_t{ReadBE16(&FImage[lengthener])};
  if (blockSize < 2 || !Inside(p.BlockOffset, static_cast<uint64_t>(blockSize & ~int64_t{3}), size)) {
    Fail(SlotText(slot) + ": its block does not fit the image.");
  }
  p.BlockSize = static_cast<uint32_t>(blockSize & ~int64_t{3});

  const uint32_t itap = word(4) & ~3u;
  if (itap != 0) {
    p.ITapOffset = itap - FBase;
    if (!Inside(p.ITapOffset, 4, size)) Fail(SlotText(slot) + ": its iTap block lies outside the image.");
    const uint64_t itapSize = (uint64_t{ReadBE32(&FImage[p.ITapOffset])} + 20 + 7) & ~uint64_t{7};
    if (!Inside(p.ITapOffset, itapSize, size))
      Fail(SlotText(slot) + ": its iTap block does not fit the image.");
    p.ITapSize = static_cast<uint32_t>(itapSize);
  }

  std::memcpy(p.LngEntry.data(), entry, kEntrySize);
  const uint32_t shift = FBase + p.BlockOffset - 48;
  for (int w = 1; w <= 11; ++w) {
    const uint32_t v = word(w);
    WriteLE32(p.LngEntry.data() + 4 * w, v == 0 ? 0xFFFFFFFFu : v - shift);
  }
  if (p.ITapSize != 0) WriteLE32(p.LngEntry.data() + 16, p.BlockSize + 48);
  return p;
}

namespace {

TCodedLanguage ReadCodedLanguage(const std::vector<uint8_t>& image, uint32_t base, const TPreparedLanguage& p,
                                 int slot) {
  const uint64_t size = image.size();
  const uint8_t* entry = image.data() + p.EntryOffset;
  TCodedLanguage lang;
  lang.Count = ReadBE16(&image[p.BlockOffset]);
  lang.Stream = ReadBE32(entry + 4) - base;
  lang.Groups = ReadBE32(entry + 8) - base;
  lang.Tree = ReadBE32(entry + 12) - base;
  if (lang.Tree >= lang.Groups || lang.Groups > size)
    Fail(SlotText(slot) + ": its code tree lies outside the image.");
  const uint32_t nodes = (lang.Groups - lang.Tree) / kNodeSize;
  if (nodes == 0 || nodes > 65536) Fail(SlotText(slot) + ": its code tree is empty or too large.");
  const uint64_t groupBytes = 4 * ((uint64_t{lang.Count} + 3) / 4);
  if (!Inside(lang.Groups, groupBytes, size))
    Fail(SlotText(slot) + ": its group table lies outside the image.");
  lang.StreamEnd = lang.Stream < lang.Tree ? lang.Tree : static_cast<uint32_t>(size);
  if (lang.Stream > size) Fail(SlotText(slot) + ": its strings lie outside the image.");
  lang.Value.resize(nodes);
  lang.One.resize(nodes);
  lang.Zero.resize(nodes);
  for (uint32_t i = 0; i < nodes; ++i) {
    const uint8_t* node = image.data() + lang.Tree + kNodeSize * i;
    lang.Value[i] = ReadBE16(node);
    lang.One[i] = ReadBE16(node + 2);
    lang.Zero[i] = ReadBE16(node + 4);
  }
  return lang;
}

std::vector<std::u16string> DecodeStrings(const std::vector<uint8_t>& image, const TCodedLanguage& lang,
                                          int slot, const TLangProgress& progress, uint64_t& walked) {
  const uint32_t nodes = static_cast<uint32_t>(lang.Value.size());
  std::vector<std::u16string> strings;
  strings.reserve(lang.Count);
  std::u16string buffer;
  buffer.reserve(TLanguagePack::MaxStringUnits);
  const uint64_t endBit = uint64_t{lang.StreamEnd} * 8;
  // Groups of a sound pack follow each other, so together they read the stream once. Groups that
  // start over each other's bits (all at offset 0, say) would read it once per group.
  const uint64_t budget = 2 * 8 * uint64_t{lang.StreamEnd - lang.Stream};
  for (uint32_t first = 0; first < lang.Count; first += 4) {
    const uint32_t members = std::min<uint32_t>(4, lang.Count - first);
    const uint64_t start = uint64_t{lang.Stream} + ReadBE32(&image[lang.Groups + first]);
    uint64_t bit = start * 8;
    const uint64_t stopBit = std::min(endBit, bit + (budget - walked));
    uint32_t node = 0;
    uint32_t done = 0;
    buffer.clear();
    while (done < members) {
      if (bit >= stopBit) {
        walked += bit - start * 8;
        if (bit >= endBit)
          Fail(SlotText(slot) + ": string " + std::to_string(first + done + 1) + " runs past its stream.");
        Fail(SlotText(slot) +
             ": its string groups overlap; decoding them would read the stream more than twice.");
      }
      const bool one = (image[bit >> 3] >> (7 - (bit & 7))) & 1u;
      ++bit;
      node = one ? lang.One[node] : lang.Zero[node];
      if (node >= nodes) Fail(SlotText(slot) + ": its code tree refers to a missing node.");
      if (lang.One[node] != 0) continue;
      const char16_t unit = static_cast<char16_t>(lang.Value[node]);
      node = 0;
      if (unit == 0) {
        strings.push_back(buffer);
        buffer.clear();
        ++done;
        if (progress) progress(static_cast<int>(strings.size()), static_cast<int>(lang.Count));
      } else {
        if (buffer.size() == TLanguagePack::MaxStringUnits) {
          Fail(SlotText(slot) + ": string " + std::to_string(first + done + 1) +
               " is longer than 255 characters.");
        }
        buffer.push_back(unit);
      }
    }
    walked += bit - start * 8;
  }
  return strings;
}

}  // namespace

std::vector<std::u16string> TLanguagePack::Decode(int slot, const TLangProgress& progress,
                                                  uint64_t* bitsRead) const {
  const TPreparedLanguage p = Prepare(slot);
  uint64_t own = 0;
  uint64_t& walked = bitsRead ? *bitsRead : own;
  walked = 0;
  return DecodeStrings(FImage, ReadCodedLanguage(FImage, FBase, p, slot), slot, progress, walked);
}

TPackResult TLanguagePack::Pack(int slot, const std::vector<std::u16string>& strings,
                                const TLangProgress& progress) {
  const TPreparedLanguage prepared = Prepare(slot);
  const TCodedLanguage lang = ReadCodedLanguage(FImage, FBase, prepared, slot);
  const size_t c = strings.size();
  if (c != lang.Count) {
    throw ELangPackError("The strings table holds " + std::to_string(c) + " strings, but " + SlotText(slot) +
                         " has " + std::to_string(lang.Count) + "; nothing was packed.");
  }
  if (c == 0) throw ELangPackError("There are no strings to pack.");
  const uint64_t oldSize = FImage.size();
  if (lang.Stream < kHeaderArea || lang.Stream >= lang.Tree || !Inside(lang.Groups, c, oldSize)) {
    throw ELangPackError(SlotText(slot) +
                         " is not laid out as strings, tree and group table; nothing was packed.");
  }

  TCoder coder(lang);
  TPackResult result;
  std::vector<std::u16string> expected(c);
  for (size_t k = 0; k < c; ++k) {
    for (char16_t unit : strings[k]) {
      if (unit == 0 || coder.Code(unit).State != 1) {
        ++result.DroppedUnits;
        if (result.DroppedIn.empty() || result.DroppedIn.back() != k) result.DroppedIn.push_back(k);
      } else {
        expected[k].push_back(unit);
      }
    }
    if (expected[k].size() > MaxStringUnits) {
      throw ELangPackError("String " + std::to_string(k + 1) +
                           " is longer than 255 characters; nothing was packed.");
    }
  }
  const TCode& terminator = coder.Code(0);
  if (terminator.State != 1) throw ELangPackError(SlotText(slot) + " has no code for the end of a string.");

  TBitWriter out;
  std::vector<uint8_t> groups(c, 0);
  size_t lastStringEnd = 0;
  for (size_t k = 1; k <= c + 1; ++k) {
    if (progress && k <= c) progress(static_cast<int>(k), static_cast<int>(c));
    if (k % 4 == 1) {
      // The table holds c bytes, so the last entry of an uneven table keeps its low bytes from what
      // the image holds behind the table: that group starts where they say, zero bytes padding up to it.
      const size_t first = k - 1;
      const size_t behind = lang.Groups + c;
      if (first < c && first + 4 > c && behind + (first + 4 - c) <= oldSize) {
        const size_t kept = first + 4 - c;
        uint64_t fixed = 0;
        for (size_t i = 0; i < kept; ++i) fixed = fixed << 8 | FImage[behind + i];
        const uint64_t modulus = uint64_t{1} << (8 * kept);
        const uint64_t at = out.Position() / 8;
        const uint64_t start = at + (fixed + modulus - at % modulus) % modulus;
        if (start >= kBitBufferSize) {
          throw ELangPackError(SlotText(slot) + ": its last group would have to start " + std::to_string(start) +
                               " bytes into the strings, past the 1310720-byte stream buffer, to match the " +
                               "bytes behind its group table; nothing was packed.");
        }
        out.PadTo(static_cast<size_t>(8 * start));
      }
      uint8_t entry[4];
      WriteBE32(entry, static_cast<uint32_t>(out.Position() / 8));
      for (size_t i = 0; i < 4 && (k - 1) + i < c; ++i) groups[(k - 1) + i] = entry[i];
    }
    if (k <= c) {
      for (char16_t unit : expected[k - 1]) PutCode(out, coder.Code(unit));
    }
    PutCode(out, terminator);
    if (k == c) lastStringEnd = out.Position();
    if (k % 4 == 0 && k != c) out.AlignToByte();
  }

  // Trailing zero bytes are trimmed, but never the byte that holds the last string's last bit.
  size_t length = out.Position() / 8 + 1;
  const size_t keep = (lastStringEnd + 7) / 8;
  while (length > keep && out.Byte(length - 1) == 0) --length;
  while ((lang.Stream + length) % 4 != 0) ++length;
  if (length > kBitBufferSize)
    throw ELangPackError("The packed strings do not fit the 1310720-byte stream buffer.");

  const size_t treeLength = lang.Groups - lang.Tree;
  const size_t tail = oldSize - (lang.Groups + c);
  std::vector<uint8_t> image;
  image.reserve(lang.Stream + length + treeLength + c + tail);
  image.insert(image.end(), FImage.begin(), FImage.begin() + lang.Stream);
  for (size_t i = 0; i < length; ++i) image.push_back(out.Byte(i));
  image.insert(image.end(), FImage.begin() + lang.Tree, FImage.begin() + lang.Groups);
  image.insert(image.end(), groups.begin(), groups.end());
  image.insert(image.end(), FImage.begin() + lang.Groups + c, FImage.end());
  if (image.size() > 0x7FFFFFFF) throw ELangPackError("The packed language pack is too large.");
  Relocate(image, FBase, lang.Stream + 1, static_cast<uint32_t>(oldSize),
           static_cast<int64_t>(image.size()) - static_cast<int64_t>(oldSize));

  // The result must read back as exactly the strings packed, or the image stays as it was.
  TLanguagePack packed(std::move(image));
  std::vector<std::u16string> check;
  try {
    check = packed.Decode(slot);
  } catch (const ELangPackError& e) {
    throw ELangPackError("The packed strings do not read back (" + e.Message() + "); nothing was packed.");
  }
  if (check != expected) {
    throw ELangPackError("The packed strings do not read back as packed (the group table of " +
                         std::to_string(c) + " strings cannot hold the new offsets); nothing was packed.");
  }
  FImage = std::move(packed.FImage);
  return result;
}

void TLanguagePack::Delete(int slot) {
  const TPreparedLanguage p = Prepare(slot);
  const uint32_t size = static_cast<uint32_t>(FImage.size());
  const uint32_t blockEnd = p.BlockOffset + p.BlockSize;
  if (p.BlockOffset < kHeaderArea)
    throw ELangPackError(SlotText(slot) + " lies inside the header area; nothing was deleted.");
  if (p.ITapSize != 0 && p.ITapOffset < blockEnd) {
    throw ELangPackError(SlotText(slot) +
                         ": its iTap block does not lie behind its block; nothing was deleted.");
  }
  std::vector<uint8_t> image(size - p.BlockSize - p.ITapSize, 0);
  std::copy_n(FImage.begin(), kHeaderArea, image.begin());
  const size_t entry = kTableOffset + kEntrySize * slot;
  std::copy(image.begin() + entry + kEntrySize, image.begin() + kTableEnd, image.begin() + entry);
  std::fill(image.begin() + kTableEnd - kEntrySize, image.begin() + kTableEnd, 0);
  std::copy(FImage.begin() + kHeaderArea, FImage.begin() + p.BlockOffset, image.begin() + kHeaderArea);
  const uint32_t gapEnd = p.ITapSize != 0 ? p.ITapOffset : size;
  std::copy(FImage.begin() + blockEnd, FImage.begin() + gapEnd, image.begin() + p.BlockOffset);
  Relocate(image, FBase, p.BlockOffset, size, -int64_t{p.BlockSize});
  if (p.ITapSize != 0) {
    const uint32_t moved = p.ITapOffset - p.BlockSize;
    std::copy(FImage.begin() + p.ITapOffset + p.ITapSize, FImage.end(), image.begin() + moved);
    Relocate(image, FBase, moved, size, -int64_t{p.ITapSize});
  }
  WriteLE32(image.data() + kCountOffset, static_cast<uint32_t>(FCount - 1));
  TLanguagePack result(std::move(image));
  for (int other = 0; other < FCount; ++other) {
    if (other != slot &&
        LanguageBytes(*this, other) != LanguageBytes(result, other < slot ? other : other - 1)) {
      throw ELangPackError("Deleting " + SlotText(slot) + " would damage " + SlotText(other) +
                           "; nothing was deleted.");
    }
  }
  *this = std::move(result);
}

void TLanguagePack::Insert(std::span<const uint8_t> lng) {
  if (FCount >= MaxLanguages) throw ELangPackError("In langpack there can not be more than 10 languages.");
  if (FCount == 0) throw ELangPackError("The language pack holds no language to insert behind.");
  if (lng.size() < 48) throw ELangPackError("Damaged language file: it is shorter than 48 bytes.");
  const uint64_t lngSize = lng.size();
  for (int w = 1; w <= 11; ++w) {
    const uint32_t v = ReadLE32(lng.data() + 4 * w);
    if (v != 0xFFFFFFFFu && (v < 48 || v > lngSize)) {
      throw ELangPackError("Damaged language file: word " + std::to_string(w) + " points outside the file.");
    }
  }
  const TPreparedLanguage last = Prepare(FCount - 1);
  const uint64_t insertAt = uint64_t{last.BlockOffset & ~3u} + last.BlockSize;
  const uint64_t oldSize = FImage.size();
  if (insertAt < kHeaderArea || insertAt > oldSize) {
    throw ELangPackError("The last language's block does not leave room behind it; nothing was added.");
  }
  const uint64_t payload = lngSize - 48;
  if (oldSize + payload > 0x7FFFFFFF) throw ELangPackError("The language pack would become too large.");
  const uint32_t at = static_cast<uint32_t>(insertAt);
  std::vector<uint8_t> image;
  image.reserve(oldSize + payload);
  image.insert(image.end(), FImage.begin(), FImage.begin() + at);
  image.insert(image.end(), lng.begin() + 48, lng.end());
  image.insert(image.end(), FImage.begin() + at, FImage.end());
  Relocate(image, FBase, at, static_cast<uint32_t>(oldSize), static_cast<int64_t>(payload));

  uint8_t* entry = image.data() + kTableOffset + kEntrySize * FCount;
  std::memcpy(entry, lng.data(), 4);
  for (int w = 1; w <= 11; ++w) {
    const uint32_t v = ReadLE32(lng.data() + 4 * w);
    WriteBE32(entry + 4 * w, v == 0xFFFFFFFFu ? 0 : v - 48 + at + FBase);
  }
  WriteLE32(image.data() + kCountOffset, static_cast<uint32_t>(FCount + 1));
  TLanguagePack result(std::move(image));
  for (int other = 0; other < FCount; ++other) {
    if (LanguageBytes(*this, other) != LanguageBytes(result, other)) {
      throw ELangPackError("Adding the language would damage " + SlotText(other) + "; nothing was added.");
    }
  }
  const TPreparedLanguage added = result.Prepare(FCount);
  const uint64_t end = insertAt + payload;
  if (added.BlockOffset < at || added.BlockOffset + uint64_t{added.BlockSize} > end ||
      (added.ITapSize != 0 && (added.ITapOffset < at || added.ITapOffset + uint64_t{added.ITapSize} > end))) {
    throw ELangPackError("Damaged language file: its block does not lie inside the file; nothing was added.");
  }
  *this = std::move(result);
}
