#include "workbench/core/TSuperfileHeader.h"

#include <gtest/gtest.h>

#include <cstring>

#include "TRecordingHost.h"
#include "framework/base/Exception.h"
#include "shx-generator.h"

namespace {

std::tm Moment(int year, int month, int day, int wday, int h, int m, int s) {
  std::tm t{};
  t.tm_year = year - 1900, t.tm_mon = month - 1, t.tm_mday = day, t.tm_wday = wday;
  t.tm_hour = h, t.tm_min = m, t.tm_sec = s;
  return t;
}

}  // namespace

TEST(SuperfileHeader, DateTextUsesEnglishNamesAndNoLeadingZeroDay) {
  EXPECT_EQ(TSuperfileHeader::DateText(Moment(2026, 12, 5, 6, 20, 3, 13)), "Sat December 5 20:03:13 2026");
  EXPECT_EQ(TSuperfileHeader::DateText(Moment(2027, 1, 31, 0, 7, 0, 9)), "Sun January 31 07:00:09 2027");
}

TEST(SuperfileHeader, NewHeaderMatchesTheGeneratorsByteForByte) {
  // The generator's header for no groups is the bare header: texts, date, byte 718, count 0.
  const std::vector<uint8_t> file = BuildSuperfile({});
  const TSuperfileHeader header = TSuperfileHeader::Create(Moment(2026, 12, 5, 6, 20, 3, 13));
  ASSERT_GE(file.size(), header.Size());
  EXPECT_EQ(0, std::memcmp(file.data(), header.Data(), header.Size()));
  EXPECT_TRUE(header.HasMagic());
  EXPECT_EQ(header.EntryCount(), 0u);
}

TEST(SuperfileHeader, EntriesRoundTripAtTheirSlots) {
  TSuperfileHeader header;
  TCodeGroupEntry entry;
  entry.Start = 0x10000000;
  entry.End = 0x1000FFFF;
  for (int i = 0; i < 16; ++i) entry.Head[i] = static_cast<uint8_t>(0xA0 + i);
  entry.Sum = 0xBEEF;
  entry.Flags = 8;
  header.SetEntry(CodeGroupSlot(20), entry);
  header.SetEntryCount(1);
  // CG 20 lives at 948 + 22 * 28 = 1564, little-endian.
  EXPECT_EQ(header.Data()[1564], 0x00);
  EXPECT_EQ(header.Data()[1567], 0x10);
  EXPECT_EQ(header.Data()[1564 + 24], 0xEF);
  EXPECT_EQ(header.Data()[944], 1);
  const TCodeGroupEntry back = header.Entry(CodeGroupSlot(20));
  EXPECT_EQ(back.Start, entry.Start);
  EXPECT_EQ(back.End, entry.End);
  EXPECT_EQ(back.Head, entry.Head);
  EXPECT_EQ(back.Sum, entry.Sum);
  EXPECT_EQ(back.Flags, entry.Flags);
  EXPECT_TRUE(header.Entry(CodeGroupSlot(19)).IsEmpty());
  EXPECT_THROW(header.Entry(23), Exception);
  // Start plus end wrapping to 0 reads as empty.
  entry.Start = 0x80000000;
  entry.End = 0x80000000;
  EXPECT_TRUE(entry.IsEmpty());
}

TEST(SuperfileHeader, MagicIsTheWholeZeroTerminatedText) {
  TSuperfileHeader header = TSuperfileHeader::Create(Moment(2026, 12, 5, 6, 20, 3, 13));
  header.Data()[13] = ' ';
  EXPECT_FALSE(header.HasMagic());
  header.Data()[13] = 0;
  header.Data()[0] = 'p';
  EXPECT_FALSE(header.HasMagic());
  EXPECT_FALSE(TSuperfileHeader().HasMagic());
}
