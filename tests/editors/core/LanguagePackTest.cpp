#include "editors/core/ELangPackError.h"
#include "editors/core/LanguageName.h"
#include "editors/core/TLanguagePack.h"
#include "framework/base/ByteOrder.h"
#include "tests/editors/generators/LangPackGenerator.h"
#include "tests/support/TAllocationProbe.h"
#include "tests/support/ThrownText.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace ByteOrder;

namespace {

uint32_t PointerTarget(const std::vector<uint8_t>& image, uint32_t base, uint32_t word) {
  return ReadBE32(image.data() + word) - base;
}

// The bytes a language occupies: its block and its iTap block.
std::vector<uint8_t> LanguageBytes(const std::vector<uint8_t>& image, const TPreparedLanguage& p) {
  std::vector<uint8_t> bytes(image.begin() + p.BlockOffset, image.begin() + p.BlockOffset + p.BlockSize);
  bytes.insert(bytes.end(), image.begin() + p.ITapOffset, image.begin() + p.ITapOffset + p.ITapSize);
  return bytes;
}

// A hand-built pack with one language at 1024: count, stream at 1028, tree, group table.
struct TMiniPack {
  static constexpr uint32_t Base = 0x20000000;
  std::vector<uint8_t> Image;

  TMiniPack(uint16_t count, const std::vector<uint8_t>& stream, const std::vector<uint16_t>& nodes,
            const std::vector<uint32_t>& groups) {
    const uint32_t block = 1024, s = 1028;
    const uint32_t t = s + uint32_t(stream.size());
    const uint32_t g = t + uint32_t(nodes.size() * 2);
    const uint32_t end = g + 4 * uint32_t(groups.size()) + 4;
    Image.assign(end, 0);
    WriteBE32(&Image[0], Base);
    WriteLE32(&Image[20], 1);  // one language
    uint8_t* e = &Image[24];
    WriteLE32(e, 1);                      // word 0: ID
    WriteBE32(e + 4, Base + s);           // word 1: stream
    WriteBE32(e + 8, Base + g);           // word 2: group table
    WriteBE32(e + 12, Base + t);          // word 3: tree
    WriteBE32(e + 24, Base + end);        // word 6: block end
    WriteBE32(e + 40, Base + block);      // word 10: block
    WriteBE32(e + 44, Base + block + 2);  // word 11: lengthener (0)
    WriteBE16(&Image[block], count);
    std::copy(stream.begin(), stream.end(), Image.begin() + s);
    for (size_t i = 0; i < nodes.size(); ++i) WriteBE16(&Image[t + 2 * i], nodes[i]);
    for (size_t i = 0; i < groups.size(); ++i) WriteBE32(&Image[g + 4 * i], groups[i]);
  }
};

// Root 0 with leaf 'A' on 1 and the end code on 0: "A" codes as 1 0.
const std::vector<uint16_t> kTwoLeaves = {0xFFFF, 1, 2, 'A', 0, 0, 0, 0, 0};

class GeneratedPacks : public ::testing::TestWithParam<uint32_t> {};

}  // namespace

TEST_P(GeneratedPacks, DecodeGivesTheStringsAndPackIsByteIdentical) {
  const TGenPack gen = GenerateLangPack(SmallLangPackPlan(GetParam(), 1 + GetParam() % 10));
  TLanguagePack pack(gen.Image);
  ASSERT_EQ(pack.Count(), int(gen.Languages.size()));
  for (int slot = 0; slot < pack.Count(); ++slot) {
    uint64_t bits = 0;
    const auto strings = pack.Decode(slot, {}, &bits);
    ASSERT_EQ(strings, gen.Languages[size_t(slot)].Strings) << "language " << slot;
    // Sound groups follow each other: the decode reads no stream bit twice.
    EXPECT_LE(bits, 8 * uint64_t(gen.Languages[size_t(slot)].Tree - gen.Languages[size_t(slot)].Stream));
    const auto entry = pack.Prepare(slot).LngEntry;
    EXPECT_TRUE(std::equal(entry.begin(), entry.end(), gen.Languages[size_t(slot)].Lng.begin()));
    EXPECT_EQ(pack.Pack(slot, strings).DroppedUnits, 0);
    ASSERT_EQ(pack.Image(), gen.Image) << "language " << slot;
  }
}

TEST_P(GeneratedPacks, EditingOneLanguageKeepsTheOthersAndEveryPointerTarget) {
  TGenPackPlan plan = SmallLangPackPlan(GetParam(), 2 + GetParam() % 9);
  const TGenPack gen = GenerateLangPack(plan);
  for (size_t slot = 0; slot < gen.Languages.size(); ++slot) {
    TLanguagePack pack(gen.Image);
    auto strings = pack.Decode(int(slot));
    const auto& units = gen.Languages[slot].TreeUnits;
    for (size_t i = 0; i < units.size() && i < 8; ++i) {
      if (units[i] != 0) strings.front() += units[i];
    }
    strings.back().clear();
    const TPreparedLanguage before = pack.Prepare(int(slot));
    try {
      pack.Pack(int(slot), strings);
    } catch (const ELangPackError&) {
      // Only a table whose last entry keeps three bytes behind it may refuse (its group would start
      // megabytes on); then nothing changed.
      EXPECT_EQ(strings.size() % 4, 1u);
      EXPECT_EQ(pack.Image(), gen.Image);
      continue;
    }
    EXPECT_EQ(pack.Decode(int(slot)), strings);
    const int64_t delta = int64_t(pack.Image().size()) - int64_t(gen.Image.size());
    for (size_t other = 0; other < gen.Languages.size(); ++other) {
      if (other == slot) continue;
      EXPECT_EQ(pack.Decode(int(other)), gen.Languages[other].Strings);
      TLanguagePack original(gen.Image);
      EXPECT_EQ(LanguageBytes(pack.Image(), pack.Prepare(int(other))),
                LanguageBytes(gen.Image, original.Prepare(int(other))));
    }
    const uint32_t packedEnd = before.BlockOffset + before.BlockSize;
    for (const TGenPointer& p : gen.Pointers) {
      if (p.Language == int(slot)) continue;
      const uint32_t expected = p.Target < packedEnd ? p.Target : uint32_t(p.Target + delta);
      const uint32_t target = PointerTarget(pack.Image(), pack.Base(), p.WordOffset);
      EXPECT_EQ(target, expected);
      EXPECT_EQ(pack.Image()[target], gen.Image[p.Target]);
    }
  }
}

TEST_P(GeneratedPacks, DeletingTheLastLanguageAndInsertingItsLngRestoresTheImage) {
  const TGenPack gen = GenerateLangPack(SmallLangPackPlan(GetParam(), 2 + GetParam() % 9));
  TLanguagePack pack(gen.Image);
  const int last = pack.Count() - 1;
  pack.Delete(last);
  EXPECT_EQ(pack.Count(), last);
  for (int slot = 0; slot < last; ++slot) EXPECT_EQ(pack.Decode(slot), gen.Languages[size_t(slot)].Strings);
  pack.Insert(gen.Languages.back().Lng);
  EXPECT_EQ(pack.Image(), gen.Image);
}

// The table holds one byte per string, so the last entry of a language whose string count is not a
// multiple of 4 keeps its low bytes from behind the table. An edit that moves that group's start
// still packs: the group starts where those bytes say, and they stay as they were.
TEST_P(GeneratedPacks, EditsThatMoveTheLastGroupOfAnUnevenTablePack) {
  const TGenPack gen = GenerateLangPack(SmallLangPackPlan(GetParam(), 4));
  for (size_t slot = 0; slot < gen.Languages.size(); ++slot) {
    const TGenLanguage& lang = gen.Languages[slot];
    const size_t c = lang.Strings.size();
    if (c % 4 == 0 || c < 5) continue;
    const std::vector<uint8_t> behind(gen.Image.begin() + lang.Groups + c, gen.Image.begin() + lang.Groups + c + 4 - c % 4);
    std::u16string longer;
    for (char16_t unit : lang.TreeUnits)
      if (unit != 0 && longer.size() < 7) longer += unit;
    for (const bool lengthen : {false, true}) {
      SCOPED_TRACE(testing::Message() << "language " << slot << " of " << c << " strings, lengthened " << lengthen);
      auto strings = lang.Strings;
      strings.front() = lengthen ? strings.front() + longer : std::u16string();
      TLanguagePack pack(gen.Image);
      if (lengthen && c % 4 == 1) {
        EXPECT_NE(ThrownText<ELangPackError>([&] { pack.Pack(int(slot), strings); }).find("last group"),
                  std::string::npos);
        EXPECT_EQ(pack.Image(), gen.Image);
        continue;
      }
      ASSERT_NO_THROW(pack.Pack(int(slot), strings));
      EXPECT_EQ(pack.Decode(int(slot)), strings);
      for (size_t other = 0; other < gen.Languages.size(); ++other) {
        if (other == slot) continue;
        EXPECT_EQ(pack.Decode(int(other)), gen.Languages[other].Strings);
      }
      const auto groups = ReadBE32(&pack.Image()[24 + 48 * slot + 8]) - pack.Base();
      EXPECT_TRUE(std::equal(behind.begin(), behind.end(), pack.Image().begin() + groups + c));
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Seeds, GeneratedPacks, ::testing::Range(1u, 13u));

TEST(LanguagePack, TenLargeLanguagesRoundTrip) {
  TGenPackPlan plan = LargeLangPackPlan(77, 10);
  const TGenPack gen = GenerateLangPack(plan);
  TLanguagePack pack(gen.Image);
  for (int slot = 0; slot < pack.Count(); ++slot) {
    const auto strings = pack.Decode(slot);
    ASSERT_EQ(strings, gen.Languages[size_t(slot)].Strings);
    pack.Pack(slot, strings);
  }
  EXPECT_EQ(pack.Image(), gen.Image);
}

TEST(LanguagePack, DeletingTheFirstOfTenShiftsTheSlotsAndMovesPointersBehindIt) {
  const TGenPack gen = GenerateLangPack(SmallLangPackPlan(5, 10));
  TLanguagePack pack(gen.Image);
  const TPreparedLanguage first = pack.Prepare(0);
  pack.Delete(0);
  ASSERT_EQ(pack.Count(), 9);
  EXPECT_EQ(ReadLE32(&pack.Image()[20]), 9u);
  for (int slot = 0; slot < 9; ++slot) {
    EXPECT_EQ(pack.Language(slot).ID, gen.Languages[size_t(slot + 1)].Plan.ID);
    EXPECT_EQ(pack.Decode(slot), gen.Languages[size_t(slot + 1)].Strings);
  }
  EXPECT_TRUE(
      std::all_of(pack.Image().begin() + 456, pack.Image().begin() + 504, [](uint8_t b) { return b == 0; }));
  const uint32_t removed = first.BlockSize + first.ITapSize;
  EXPECT_EQ(pack.Image().size(), gen.Image.size() - removed);
  for (const TGenPointer& p : gen.Pointers) {
    if (p.Language == 0) continue;
    const uint32_t target = PointerTarget(pack.Image(), pack.Base(), p.WordOffset);
    if (p.Target < first.BlockOffset) {
      EXPECT_EQ(target, p.Target);
    } else {
      // Behind the block (and, behind the iTap block, by its size too).
      EXPECT_EQ(pack.Image()[target], gen.Image[p.Target]);
    }
  }
}

TEST(LanguagePack, InsertIntoTenLanguagesIsRefusedAndChangesNothing) {
  const TGenPack gen = GenerateLangPack(SmallLangPackPlan(9, 10));
  TLanguagePack pack(gen.Image);
  EXPECT_THROW(pack.Insert(gen.Languages[0].Lng), ELangPackError);
  EXPECT_EQ(pack.Image(), gen.Image);
}

TEST(LanguagePack, RelocationLeavesLanguageIdWordsAlone) {
  // An ID that reads, big-endian, as an address behind the inserted language must not move.
  TGenPackPlan plan = SmallLangPackPlan(3, 3);
  TGenPack gen = GenerateLangPack(plan);
  const uint32_t id = __builtin_bswap32(gen.Base + uint32_t(gen.Image.size()) - 4);
  WriteLE32(&gen.Image[24 + 48], id);
  TLanguagePack pack(gen.Image);
  pack.Insert(gen.Languages[0].Lng);
  EXPECT_EQ(pack.Language(1).ID, id);
  EXPECT_EQ(pack.Decode(3), gen.Languages[0].Strings);
}

TEST(LanguagePack, UnitsWithoutALeafAreDroppedAndCounted) {
  const TGenPack gen = GenerateLangPack(SmallLangPackPlan(4, 1));
  TLanguagePack pack(gen.Image);
  auto strings = pack.Decode(0);
  const auto packed = strings;
  strings[0] = u"\uE000" + strings[0] + u"\uE001";
  EXPECT_EQ(pack.Pack(0, strings).DroppedUnits, 2);
  EXPECT_EQ(pack.Decode(0), packed);
}

TEST(LanguagePack, PackRefusesAWrongRowCountAndOverlongStrings) {
  const TGenPack gen = GenerateLangPack(SmallLangPackPlan(6, 1));
  TLanguagePack pack(gen.Image);
  auto strings = pack.Decode(0);
  auto fewer = strings;
  fewer.pop_back();
  EXPECT_THROW(pack.Pack(0, fewer), ELangPackError);
  auto longer = strings;
  longer[1] = std::u16string(256, gen.Languages[0].TreeUnits.back());
  EXPECT_THROW(pack.Pack(0, longer), ELangPackError);
  EXPECT_EQ(pack.Image(), gen.Image);
}

TEST(LanguagePack, OneUnitStringUnderTheRootGetsAOneBitCode) {
  // Stream 1 0 | 1 0 ... : "A" then end.
  TMiniPack mini(1, {0x80, 0, 0, 0}, kTwoLeaves, {0});
  TLanguagePack pack(mini.Image);
  EXPECT_EQ(pack.Decode(0), std::vector<std::u16string>{u"A"});
  pack.Pack(0, {u"AA"});
  // "AA" + end, then the closing empty string: 1 1 0 0.
  EXPECT_EQ(pack.Image()[1028], 0xC0);
  EXPECT_EQ(pack.Decode(0), std::vector<std::u16string>{u"AA"});
}

TEST(LanguagePack, DamagedImagesAreRefused) {
  auto refuses = [](std::vector<uint8_t> image) {
    EXPECT_THROW(TLanguagePack{std::move(image)}, ELangPackError);
  };
  const TGenPack gen = GenerateLangPack(SmallLangPackPlan(8, 2));
  refuses(std::vector<uint8_t>(575, 0));  // shorter than the header
  auto image = gen.Image;
  WriteLE32(&image[20], 11);  // eleven languages
  refuses(image);
  image = gen.Image;
  WriteBE32(&image[24 + 40], gen.Base + uint32_t(image.size()));  // block behind the image end
  refuses(image);
  image = gen.Image;
  WriteBE32(&image[24 + 48 + 16], gen.Base + uint32_t(image.size()) - 2);  // iTap header cut by the end
  refuses(image);
  image = gen.Image;
  WriteBE32(&image[24 + 24], gen.Base);  // block length negative
  refuses(image);
}

TEST(LanguagePack, DamagedStringsAreReportedNotRead) {
  auto decodeFails = [](const TMiniPack& mini) {
    TLanguagePack pack(mini.Image);
    EXPECT_THROW(pack.Decode(0), ELangPackError);
  };
  decodeFails(TMiniPack(1, {0x80, 0, 0, 0}, {0xFFFF, 7, 2, 'A', 0, 0, 0, 0, 0}, {0}));  // child 7 of 3 nodes
  decodeFails(TMiniPack(1, {0x80, 0, 0, 0}, kTwoLeaves, {4}));           // group starts at the stream's end
  decodeFails(TMiniPack(1, {0xFF, 0xFF, 0xFF, 0xFF}, kTwoLeaves, {0}));  // no end code before the end
  decodeFails(TMiniPack(9, {0x80, 0, 0, 0}, kTwoLeaves, {0}));  // third group entry outside the image
  std::vector<uint8_t> many(40, 0xFF);                          // 320 units of "A": longer than 255
  decodeFails(TMiniPack(1, many, kTwoLeaves, {0}));
}

TEST(LanguagePack, GroupsReadingTheStreamOverAndOverAreRefusedWithinAFixedBudget) {
  // Images of 87 kB and 333 kB: 16,384 groups that all start on the stream's first bit and reach its
  // last; unbounded, the decode would read the stream 16,384 times.
  for (uint32_t streamBytes : {20000u, 267000u}) {
    const TLanguagePack pack(GenerateLoopingLangPack(streamBytes));
    uint64_t bits = 0;
    TAllocationProbe probe;
    EXPECT_EQ(ThrownText<ELangPackError>([&] { pack.Decode(0, {}, &bits); }),
              "Damaged language pack: language 1: its string groups overlap; decoding them would read the "
              "stream more than twice.");
    EXPECT_GE(bits, 8 * uint64_t(streamBytes));
    EXPECT_LE(bits, 2 * 8 * uint64_t(streamBytes));
    // Nothing grows with the stream: the largest block is the list of 65,535 strings.
    EXPECT_LE(probe.Largest(), size_t(65536) * sizeof(std::u16string));
  }
}

TEST(LanguagePack, ACodePathLongerThan128StepsIsRefused) {
  // Nodes 1 and 2 are each other's 0-child: the climb from leaf 2 never reaches the root.
  const std::vector<uint16_t> cycle = {0xFFFF, 3, 4, 0xFFFF, 5, 2, 'B', 0, 1, 'A', 0, 0, 0, 0, 0, 'C', 0, 0};
  TMiniPack mini(1, {0x80, 0, 0, 0}, cycle, {0});
  TLanguagePack pack(mini.Image);
  EXPECT_THROW(pack.Pack(0, {u"B"}), ELangPackError);
  EXPECT_EQ(pack.Image(), mini.Image);
}

TEST(LanguagePack, LngFilesAreChecked) {
  const TGenPack gen = GenerateLangPack(SmallLangPackPlan(2, 2));
  TLanguagePack pack(gen.Image);
  std::vector<uint8_t> lng = gen.Languages[0].Lng;
  EXPECT_THROW(pack.Insert(std::vector<uint8_t>(lng.begin(), lng.begin() + 47)), ELangPackError);
  WriteLE32(&lng[4 * 10], uint32_t(lng.size()) + 1);  // block offset behind the file
  EXPECT_THROW(pack.Insert(lng), ELangPackError);
  WriteLE32(&lng[4 * 10], 12);  // inside the entry itself
  EXPECT_THROW(pack.Insert(lng), ELangPackError);
  EXPECT_EQ(pack.Image(), gen.Image);
}

TEST(LanguagePack, LngWordsOfMinusOneBecomeZero) {
  const TGenPack gen = GenerateLangPack(SmallLangPackPlan(2, 2));
  TLanguagePack pack(gen.Image);
  pack.Insert(gen.Languages[1].Lng);  // slot 1 has word 9 = 0 in the image, -1 in its .lng
  EXPECT_EQ(ReadBE32(&pack.Image()[24 + 48 * 2 + 36]), 0u);
  EXPECT_EQ(ReadLE32(&pack.Image()[24 + 48 * 2]), gen.Languages[1].Plan.ID);
  EXPECT_EQ(pack.Decode(2), gen.Languages[1].Strings);
}

TEST(LanguageName, NamesKnownIdsAndCallsOthersUnknown) {
  EXPECT_EQ(LanguageName(1), "US English");
  EXPECT_EQ(LanguageName(42), "Brazilian Portuguese");
  EXPECT_EQ(LanguageName(43), "Swedish");
  for (uint32_t id : {0u, 11u, 12u, 15u, 44u}) EXPECT_EQ(LanguageName(id), "Unknown");
}
