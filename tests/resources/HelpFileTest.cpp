#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "resources/help/HelpFile.h"

// The written help file read back as a viewer reads it: the container's directory, the context
// table, the contents topic, and the topic records chained across the 4 KB blocks.
namespace {

using TBytes = std::vector<std::uint8_t>;
constexpr std::uint32_t kNone = 0xFFFFFFFF;

std::uint32_t U16(const TBytes& b, std::size_t at) { return b.at(at) | std::uint32_t(b.at(at + 1)) << 8; }
std::uint32_t U32(const TBytes& b, std::size_t at) { return U16(b, at) | U16(b, at + 2) << 16; }

// An internal file's bytes (after its 9-byte header).
TBytes InternalFile(const TBytes& file, std::size_t at) {
  const std::uint32_t used = U32(file, at + 4);
  EXPECT_LE(at + 9 + used, file.size());
  return TBytes(file.begin() + std::ptrdiff_t(at + 9), file.begin() + std::ptrdiff_t(at + 9 + used));
}

// The entries of a one-page tree: their bytes one after the other, and their count.
TBytes TreeEntries(const TBytes& tree, std::uint32_t& count) {
  EXPECT_EQ(U16(tree, 0), 0x293Bu);
  count = U32(tree, 34);
  return TBytes(tree.begin() + 46, tree.end());
}

std::map<std::string, TBytes> Files(const TBytes& file) {
  EXPECT_EQ(U32(file, 0), 0x00035F3Fu);
  EXPECT_EQ(U32(file, 12), file.size());
  std::uint32_t count = 0;
  const TBytes entries = TreeEntries(InternalFile(file, U32(file, 4)), count);
  std::map<std::string, TBytes> files;
  std::size_t at = 0;
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::string name(reinterpret_cast<const char*>(&entries[at]));
    at += name.size() + 1;
    files[name] = InternalFile(file, U32(entries, at));
    at += 4;
  }
  return files;
}

THelpDocument Document(int topics, std::size_t paragraphLength) {
  THelpDocument document;
  document.Title = "Guide";
  for (int t = 0; t < topics; ++t) {
    THelpTopic topic{"topic" + std::to_string(t), "Topic " + std::to_string(t), {std::uint32_t(100 + t)}, {}};
    topic.Paragraphs.push_back({{std::string(paragraphLength, 'x'), ""}, {"next", "topic0"}});
    document.Topics.push_back(topic);
  }
  return document;
}

}  // namespace

TEST(HelpFile, DirectoryContextsAndContentsTopic) {
  const THelpDocument document = Document(3, 10);
  const std::map<std::string, TBytes> files = Files(WriteHelpFile(document));
  ASSERT_EQ(files.size(), 5u);
  for (const char* name : {"|CONTEXT", "|CTXOMAP", "|FONT", "|SYSTEM", "|TOPIC"}) EXPECT_TRUE(files.count(name)) << name;

  const TBytes& system = files.at("|SYSTEM");
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&system[16])), "Guide");
  const std::uint32_t contents = U32(system, 16 + 6 + 4);

  // Every context by its hash, sorted; the first topic's is the contents topic.
  std::uint32_t count = 0;
  const TBytes contexts = TreeEntries(files.at("|CONTEXT"), count);
  ASSERT_EQ(count, 3u);
  std::map<std::int32_t, std::uint32_t> offsets;
  for (std::uint32_t i = 0; i < count; ++i) {
    offsets[std::int32_t(U32(contexts, i * 8))] = U32(contexts, i * 8 + 4);
    if (i > 0) {
      EXPECT_LT(std::int32_t(U32(contexts, (i - 1) * 8)), std::int32_t(U32(contexts, i * 8)));
    }
  }
  EXPECT_EQ(offsets.at(HelpContextHash("topic0")), contents);

  // The numeric contexts point where the named ones do.
  const TBytes& map = files.at("|CTXOMAP");
  ASSERT_EQ(U16(map, 0), 3u);
  for (int t = 0; t < 3; ++t) {
    EXPECT_EQ(U32(map, 2 + 8 * std::size_t(t)), std::uint32_t(100 + t));
    EXPECT_EQ(U32(map, 6 + 8 * std::size_t(t)), offsets.at(HelpContextHash("topic" + std::to_string(t))));
  }
}

TEST(HelpFile, RecordsChainAcrossBlocksWithoutStraddling) {
  const int topics = 12;
  const TBytes topic = Files(WriteHelpFile(Document(topics, 900))).at("|TOPIC");
  ASSERT_EQ(topic.size() % 0x1000, 0u);
  ASSERT_GT(topic.size(), 0x1000u) << "the document should need more than one block";
  std::uint32_t pos = U32(topic, 4), previous = kNone;
  int headers = 0, records = 0;
  while (pos != kNone) {
    const std::size_t block = pos >> 14, offset = pos & 0x3FFF;
    const std::size_t at = block * 0x1000 + offset;
    const std::uint32_t size = U32(topic, at);
    ASSERT_LE(offset + size, 0x1000u) << "record " << records << " straddles its block";
    EXPECT_EQ(U32(topic, at + 8), previous);
    // A block's header names its first record.
    if (offset == 12 && block > 0) {
      EXPECT_EQ(U32(topic, block * 0x1000 + 4), pos);
    }
    if (topic[at + 20] == 0x02) ++headers;
    ++records;
    previous = pos;
    pos = U32(topic, at + 12);
  }
  EXPECT_EQ(headers, topics);
  EXPECT_EQ(records, topics * 3);  // header, heading, paragraph
}

TEST(HelpFile, RefusesWhatCannotBeWritten) {
  EXPECT_THROW(WriteHelpFile(THelpDocument{}), std::runtime_error);
  try {
    WriteHelpFile(Document(1, 5000));
    FAIL() << "an overlong paragraph was written";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("Topic 0"), std::string::npos) << e.what();
  }
}
