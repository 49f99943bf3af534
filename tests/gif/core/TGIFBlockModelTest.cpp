#include <gtest/gtest.h>

#include <algorithm>

#include "GIFTestSupport.h"
#include "gif/core/GIFException.h"
#include "gif/core/TGIFAppExtNSLoop.h"
#include "gif/core/TGIFCommentExtension.h"
#include "gif/core/TGIFGraphicControlExtension.h"
#include "gif/core/TGIFUnknownAppExtension.h"
#include "gif/core/TLZWEncoder.h"
#include "tests/support/TAllocationProbe.h"

namespace {
// A 2x2 frame of pixels 0,1,1,0 for a table of 2 colours.
TBytes SmallImageData() {
  TBytes lzw;
  const TBytes pixels = {0, 1, 1, 0};
  TLZWEncoder().Encode(lzw, pixels.data(), 2, 2, false, 2, 1);
  return lzw;
}

TBytes WithOneImage(TBytes head, const TBytes& extensions = {}) {
  head.insert(head.end(), extensions.begin(), extensions.end());
  AppendImage(head, 0, 0, 2, 2, 0, SmallImageData());
  head.push_back(0x3B);
  return head;
}

std::string LoadError(const TBytes& bytes) {
  try {
    TGIFDocument document;
    Load(document, bytes);
  } catch (const GIFException& e) {
    return e.what();
  }
  return "";
}

bool Has(const std::vector<std::string>& warnings, const std::string& text) {
  return std::find(warnings.begin(), warnings.end(), text) != warnings.end();
}

template <typename T>
const T* Find(const TGIFSubImage& frame) {
  for (const auto& extension : frame.Extensions())
    if (auto* found = dynamic_cast<const T*>(extension.get())) return found;
  return nullptr;
}
}  // namespace

TEST(GIFBlockModel, SignatureMayFollowAFourBytePrefixOnly) {
  const TBytes plain = WithOneImage(ScreenHeader(2, 2, 2));
  TBytes four = {1, 2, 3, 4};
  four.insert(four.end(), plain.begin(), plain.end());
  TGIFDocument document;
  Load(document, four);
  EXPECT_EQ(document.Frames().size(), 1u);

  TBytes five = {1, 2, 3, 4, 5};
  five.insert(five.end(), plain.begin(), plain.end());
  EXPECT_EQ(LoadError(five), "Invalid GIF signature");
}

TEST(GIFBlockModel, ColorMapCapacityOverflowLookupAndBits) {
  TGIFColorMap map;
  EXPECT_EQ(map.Bits(), 0);
  map.Add({1, 2, 3});
  EXPECT_EQ(map.Capacity(), 16);
  EXPECT_EQ(map.Bits(), 1);
  map.Add({9, 9, 9});
  map.Add({1, 2, 3});
  EXPECT_EQ(map.Bits(), 2);
  EXPECT_EQ(map.IndexOf({1, 2, 3}), 2);  // unsorted: the last match wins
  map.SetSorted(true);
  EXPECT_EQ(map.IndexOf({1, 2, 3}), 0);
  EXPECT_EQ(map.IndexOf({7, 7, 7}), -1);
  for (int i = 3; i < 17; ++i) map.Add({static_cast<uint8_t>(i), 0, 0});
  EXPECT_EQ(map.Capacity(), 32);
  EXPECT_THROW(map.Delete(17), GIFException);
  while (map.Count() < 256) map.Add({});
  EXPECT_EQ(map.Capacity(), 256);
  try {
    map.Add({});
    FAIL();
  } catch (const GIFException& e) {
    EXPECT_STREQ(e.what(), "Color table overflow");
  }
  std::vector<std::string> warnings;
  TGIFReporter reporter;
  reporter.SetOnWarning([&](TGIFSeverity, const std::string& m) { warnings.push_back(m); });
  EXPECT_EQ(map.Color(300, &reporter), TGIFColor{});
  EXPECT_EQ(TGIFColorMap().Color(0, &reporter), TGIFColor{});
  EXPECT_EQ(warnings, (std::vector<std::string>{"Invalid color index", "Color table is empty"}));
}

TEST(GIFBlockModel, GlobalTableIsWrittenPaddedWithItsOwnSizeField) {
  TBytes bytes = ScreenHeader(2, 2, 0);
  bytes[10] = 0x87;  // global table flag, size bits 7
  bytes.insert(bytes.end(), 256 * 3, 7);
  bytes = WithOneImage(bytes);
  TGIFDocument document;
  Load(document, bytes);
  EXPECT_EQ(document.Header().ColorMap().Count(), 256);

  document.Header().ColorMap().Clear();
  for (int i = 0; i < 5; ++i) document.Header().ColorMap().Add({200, 200, 200});
  // A frame with a larger local table must not change the size field of the global one.
  TGIFSubImage& frame = *document.Frames()[0];
  for (int i = 0; i < 64; ++i) frame.ColorMap().Add({static_cast<uint8_t>(i), 0, 0});
  const TBytes saved = document.SaveToBytes();
  EXPECT_EQ(saved[10] & 0x87, 0x82);
  EXPECT_EQ(saved[10] & 0x70, 0x50);  // resolution from the 6-bit local table
  const TBytes table(saved.begin() + 13, saved.begin() + 13 + 24);
  EXPECT_TRUE(std::all_of(table.begin(), table.begin() + 15, [](uint8_t b) { return b == 200; }));
  EXPECT_TRUE(std::all_of(table.begin() + 15, table.end(), [](uint8_t b) { return b == 0; }));
  TGIFDocument again;
  Load(again, saved);
  EXPECT_EQ(again.Header().ColorMap().Count(), 8);
  EXPECT_TRUE(again.Frames()[0]->Data() == frame.Data());
}

TEST(GIFBlockModel, CommentLinesRoundTripAndEmptyLinesWriteNoEmptyBlock) {
  TGIFDocument document;
  Load(document, WithOneImage(ScreenHeader(2, 2, 2)));
  auto comment = std::make_unique<TGIFCommentExtension>();
  comment->Lines() = {"first", "", std::string(300, 'x')};
  document.Frames()[0]->Extensions().push_back(std::move(comment));
  TGIFDocument again;
  std::vector<std::string> warnings;
  Load(again, document.SaveToBytes(), &warnings);
  EXPECT_TRUE(warnings.empty());
  ASSERT_EQ(again.Frames().size(), 1u);
  EXPECT_TRUE(again.Frames()[0]->HasImage());
  const auto* read = Find<TGIFCommentExtension>(*again.Frames()[0]);
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->Lines().Strings(), (std::vector<std::string>{"first", std::string(255, 'x'), std::string(45, 'x')}));
}

TEST(GIFBlockModel, LoopExtensionsByIdentifierAndFieldsInsideTheirSubBlock) {
  // "ANIMEXTS1.0" is a loop block; its count sub-block is cut to one byte here, so the count must
  // not be taken from the bytes of the next sub-block.
  TBytes loop = {0x21, 0xFF, 11, 'A', 'N', 'I', 'M', 'E', 'X', 'T', 'S', '1', '.', '0', 1, 1, 3, 1, 7, 0, 0};
  TGIFDocument document;
  Load(document, WithOneImage(ScreenHeader(2, 2, 2), loop));
  const auto* read = Find<TGIFAppExtNSLoop>(*document.Frames()[0]);
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->LoopCount(), 7);

  loop[14] = 1;
  loop[15] = 2;  // a sub-block of one byte saying "buffer size"
  TGIFDocument second;
  Load(second, WithOneImage(ScreenHeader(2, 2, 2), loop));
  EXPECT_EQ(Find<TGIFAppExtNSLoop>(*second.Frames()[0])->BufferSize(), 0u);

  TGIFAppExtNSLoop forever;
  TBytes out;
  forever.SaveToStream(out);
  EXPECT_EQ(out,
            (TBytes{0x21, 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1, 0, 0, 0}));
}

TEST(GIFBlockModel, ApplicationBlockSizes) {
  // Size 10: read as unknown, the 11th code byte is the length byte of the first sub-block.
  const TBytes ten = {0x21, 0xFF, 10, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', 2, 0xAA, 0xBB, 0};
  TGIFDocument document;
  Load(document, WithOneImage(ScreenHeader(2, 2, 2), ten));
  ASSERT_EQ(document.Frames().size(), 1u);
  const auto* unknown = Find<TGIFUnknownAppExtension>(*document.Frames()[0]);
  ASSERT_NE(unknown, nullptr);
  EXPECT_EQ(unknown->Identifier()[10], 2);
  ASSERT_EQ(unknown->Blocks().Count(), 1u);
  EXPECT_EQ(unknown->Blocks()[0], "\xAA\xBB");
  TBytes out;
  unknown->SaveToStream(out);
  EXPECT_EQ(out[2], 11);

  // Size 9 is refused.
  TBytes nine = ten;
  nine[2] = 9;
  EXPECT_EQ(LoadError(WithOneImage(ScreenHeader(2, 2, 2), nine)),
            "Unsupported Application Extension block size");

  // Size 14: the surplus is skipped, the sub-blocks kept, and the image after it still read.
  const TBytes fourteen = {0x21, 0xFF, 14,  'X', 'Y', 'Z', 'A', 'P', 'P',  'L',
                           'I',  '1',  '.', '0', 9,   9,   9,   1,   0x55, 0};
  TGIFDocument wide;
  std::vector<std::string> warnings;
  Load(wide, WithOneImage(ScreenHeader(2, 2, 2), fourteen), &warnings);
  EXPECT_TRUE(warnings.empty());
  ASSERT_EQ(wide.Frames().size(), 1u);
  EXPECT_TRUE(wide.Frames()[0]->HasImage());
  const TBytes written = wide.SaveToBytes();
  TGIFDocument reread;
  Load(reread, written);
  const auto* kept = Find<TGIFApplicationExtension>(*reread.Frames()[0]);
  ASSERT_NE(kept, nullptr);
  EXPECT_EQ(kept->Blocks().Strings(), std::vector<std::string>{"\x55"});
}

TEST(GIFBlockModel, GraphicControlBlocksOfOtherSizesAreReadSafely) {
  for (uint8_t size : {uint8_t(2), uint8_t(4), uint8_t(7)}) {
    TBytes control = {0x21, 0xF9, size};
    const TBytes fields = {0x09, 0x34, 0x12, 0x01, 0xEE, 0xEE, 0xEE};
    control.insert(control.end(), fields.begin(), fields.begin() + size);
    control.push_back(0);
    TGIFDocument document;
    Load(document, WithOneImage(ScreenHeader(2, 2, 2), control));
    ASSERT_EQ(document.Frames().size(), 1u) << int(size);
    const TGIFSubImage& frame = *document.Frames()[0];
    EXPECT_TRUE(frame.HasImage());
    EXPECT_EQ(frame.Disposal(), 2);
    EXPECT_EQ(frame.Delay(), size >= 4 ? 0x1234 : 0x34);
    EXPECT_EQ(frame.TransparentIndex(), size >= 4 ? 1 : 0);
  }
}

TEST(GIFBlockModel, SavedFrameKeepsInterlaceWithItsOwnTable) {
  TGIFDocument document;
  Load(document, WithOneImage(ScreenHeader(2, 2, 2)));
  TGIFSubImage& frame = *document.Frames()[0];
  frame.SetSize(3, 11);
  for (int y = 0; y < 11; ++y)
    for (int x = 0; x < 3; ++x) frame.SetPixel(x, y, static_cast<uint8_t>(y % 4));
  for (int i = 0; i < 4; ++i) frame.ColorMap().Add({static_cast<uint8_t>(i * 60), 0, 0});
  frame.SetInterlaced(true);
  const TBytes saved = document.SaveToBytes();
  EXPECT_TRUE(PeerDecode(saved)[0].Pixels == frame.Data());
  TGIFDocument again;
  Load(again, saved);
  EXPECT_TRUE(again.Frames()[0]->Interlaced());
  EXPECT_TRUE(again.Frames()[0]->Data() == frame.Data());
}

TEST(GIFBlockModel, FrameWithoutImageSavesOnlyItsExtensions) {
  TBytes bytes = WithOneImage(ScreenHeader(2, 2, 2));
  bytes.pop_back();
  const TBytes comment = {0x21, 0xFE, 3, 'e', 'n', 'd', 0, 0x3B};
  bytes.insert(bytes.end(), comment.begin(), comment.end());
  TGIFDocument document;
  Load(document, bytes);
  ASSERT_EQ(document.Frames().size(), 2u);
  EXPECT_FALSE(document.Frames()[1]->HasImage());
  const TBytes saved = document.SaveToBytes();
  EXPECT_TRUE(std::equal(comment.begin(), comment.end(), saved.end() - static_cast<long>(comment.size())));
  EXPECT_EQ(PeerDecode(saved).size(), 1u);
}

TEST(GIFBlockModel, SizesAreCheckedBeforeAllocating) {
  // 30 bytes asking for a 65535 x 65535 frame.
  TBytes huge = ScreenHeader(1, 1, 2);
  AppendImage(huge, 0, 0, 65535, 65535, 0, {2, 1, 0x44, 0});
  EXPECT_LT(huge.size(), 40u);
  EXPECT_EQ(LoadError(huge), "Invalid image dimensions");
  // So is a tiny file claiming a huge logical screen.
  EXPECT_EQ(LoadError(WithOneImage(ScreenHeader(65535, 65535, 2))), "Invalid image dimensions");
  // Frames reaching past 65535 cannot be described.
  TBytes beyond = ScreenHeader(2, 2, 2);
  AppendImage(beyond, 65535, 0, 2, 2, 0, SmallImageData());
  EXPECT_EQ(LoadError(beyond), "Invalid image dimensions");

  TGIFSubImage frame;
  EXPECT_THROW(frame.SetSize(65536, 1), GIFException);
  EXPECT_THROW(frame.Pixel(0, 0), GIFException);
}

TEST(GIFBlockModel, AFrameIsAllowedWhatItsOwnDataCanReach) {
  // 301 kB: a comment of 300 kB and a 35,000 x 35,000 frame of one code. The comment buys no size.
  TBytes commented = ScreenHeader(1, 1, 2);
  const TBytes comment = Comment(300000);
  commented.insert(commented.end(), comment.begin(), comment.end());
  AppendImage(commented, 0, 0, 35000, 35000, 0, {2, 1, 0x44, 0});
  commented.push_back(0x3B);
  {
    TAllocationProbe probe;
    EXPECT_EQ(LoadError(commented), "Invalid image dimensions");
    EXPECT_LE(probe.Largest(), size_t(1) << 20);
  }

  // 6000 codes of ever longer strings reach 4000 x 4000 pixels, and every one is decoded.
  TBytes dense = ScreenHeader(4000, 4000, 2);
  AppendImage(dense, 0, 0, 4000, 4000, 0, LongestStrings(6000, 1));
  dense.push_back(0x3B);
  TGIFDocument document;
  Load(document, dense);
  const TBytes& pixels = document.Frames()[0]->Data();
  EXPECT_EQ(std::count(pixels.begin(), pixels.end(), 1), 4000 * 4000);
  // The same data cannot stand for twice the frame.
  TBytes stretched = ScreenHeader(1, 1, 2);
  AppendImage(stretched, 0, 0, 8000, 4000, 0, LongestStrings(6000, 1));
  stretched.push_back(0x3B);
  EXPECT_EQ(LoadError(stretched), "Invalid image dimensions");
}

TEST(GIFBlockModel, FramesCutShortShareASmallAllowanceAndAllFramesAnAbsoluteCap) {
  // One 1024 x 1024 frame whose data holds a single pixel loads with the rest filled; two do not.
  TBytes one = ScreenHeader(1024, 1024, 2);
  AppendImage(one, 0, 0, 1024, 1024, 0, {2, 1, 0x44, 0});
  TBytes two = one;
  AppendImage(two, 0, 0, 1024, 1024, 0, {2, 1, 0x44, 0});
  one.push_back(0x3B);
  two.push_back(0x3B);
  EXPECT_EQ(LoadError(one), "");
  EXPECT_EQ(LoadError(two), "Invalid image dimensions");

  // Data enough for more than 8192 x 8192 pixels (27 kB) is still refused a frame that large.
  TBytes capped = ScreenHeader(1, 1, 2);
  AppendImage(capped, 0, 0, 8192, 8193, 0, LongestStrings(18500, 1));
  capped.push_back(0x3B);
  TAllocationProbe probe;
  EXPECT_EQ(LoadError(capped), "Invalid image dimensions");
  EXPECT_LE(probe.Largest(), size_t(1) << 20);
}

TEST(GIFBlockModel, ScreenGrowsToItsFramesWithWarnings) {
  TBytes bytes = ScreenHeader(1, 1, 2);
  AppendImage(bytes, 3, 4, 2, 2, 0, SmallImageData());
  TBytes zero = ScreenHeader(0, 0, 2);
  AppendImage(zero, 0, 0, 2, 2, 0, SmallImageData());
  std::vector<std::string> warnings;
  TGIFDocument document;
  Load(document, bytes, &warnings);
  EXPECT_EQ(document.Width(), 5);
  EXPECT_EQ(document.Height(), 6);
  EXPECT_EQ(warnings, (std::vector<std::string>{"Image width too small for contained frames",
                                                "Image height too small for contained frames",
                                                "Image exceeds Logical Screen size"}));
  warnings.clear();
  Load(document, zero, &warnings);
  EXPECT_EQ(warnings, (std::vector<std::string>{"Image exceeds Logical Screen size"}));

  // A frame of width 0 takes the screen's.
  TBytes empty = ScreenHeader(2, 2, 2);
  AppendImage(empty, 0, 0, 0, 2, 0, SmallImageData());
  warnings.clear();
  Load(document, empty, &warnings);
  EXPECT_EQ(document.Frames()[0]->Width(), 2);
  EXPECT_TRUE(Has(warnings, "Image exceeds Logical Screen size"));
}

TEST(GIFBlockModel, StrayBytesAreWarningsOrErrors) {
  std::vector<std::string> warnings;
  TGIFDocument document;
  TBytes stray = WithOneImage(ScreenHeader(2, 2, 2));
  stray.back() = 0x99;
  Load(document, stray, &warnings);
  EXPECT_EQ(document.Frames().size(), 1u);
  EXPECT_TRUE(Has(warnings, "Unknown GIF block type"));
  EXPECT_TRUE(Has(warnings, "Invalid Image trailer"));

  EXPECT_EQ(LoadError(WithOneImage(ScreenHeader(2, 2, 2), {0x21, 0x77, 0})), "Unknown extension type");
  TBytes cut = ScreenHeader(2, 2, 2);
  cut.insert(cut.end(), {0x21, 0xFE, 5, 'a'});
  EXPECT_EQ(LoadError(cut), "Premature end of data");
}

TEST(GIFBlockModel, VersionFollowsTheBlocks) {
  TGIFDocument document;
  Load(document, WithOneImage(ScreenHeader(2, 2, 2)));
  EXPECT_EQ(document.VersionNeeded(), 1);
  EXPECT_EQ(document.SaveToBytes()[4], '7');
  document.Frames()[0]->Extensions().push_back(std::make_unique<TGIFGraphicControlExtension>());
  EXPECT_EQ(document.SaveToBytes()[4], '9');
}

TEST(GIFBlockModel, AFrameWithoutAnyHeightHoldsNoImage) {
  // Height 0 on a screen of height 0 stays 0; a later frame then grows the screen. Saved with a
  // size of 0 the first frame would come back with the screen's new height.
  TBytes bytes = ScreenHeader(4, 0, 2);
  AppendImage(bytes, 0, 0, 4, 0, 0, SmallImageData());
  AppendImage(bytes, 0, 0, 2, 2, 0, SmallImageData());
  bytes.push_back(0x3B);
  TGIFDocument document;
  Load(document, bytes);
  ASSERT_EQ(document.Frames().size(), 2u);
  EXPECT_FALSE(document.Frames()[0]->HasImage());
  const TBytes saved = document.SaveToBytes();
  TGIFDocument again;
  Load(again, saved);
  ASSERT_EQ(again.Frames().size(), 1u);
  EXPECT_TRUE(again.SaveToBytes() == saved);
}

// Extension data shares the document's allowance with the pixels and is held in one piece: a
// comment of one-byte sub-blocks costs a few bytes per byte of file, and a run of tiny extensions
// is refused once they would hold more than the allowance.
TEST(GIFBlockModel, ExtensionsCountAgainstTheMemoryAllowance) {
  const size_t lines = 1 << 20;  // a 2 MB file
  TBytes tiny = ScreenHeader(2, 2, 2);
  tiny.insert(tiny.end(), {0x21, 0xFE});
  for (size_t i = 0; i < lines; ++i) tiny.insert(tiny.end(), {1, static_cast<uint8_t>('a' + i % 26)});
  tiny.push_back(0);
  AppendImage(tiny, 0, 0, 2, 2, 0, LongestStrings(3, 1));
  tiny.push_back(0x3B);
  {
    TAllocationProbe probe;
    TGIFDocument document;
    Load(document, tiny);
    EXPECT_LE(probe.Peak(), 4 * tiny.size());
    const auto* comment =
        dynamic_cast<const TGIFCommentExtension*>(document.Frames()[0]->Extensions()[0].get());
    ASSERT_NE(comment, nullptr);
    ASSERT_EQ(comment->Lines().Count(), lines);
    EXPECT_EQ(comment->Lines()[lines - 1], std::string(1, static_cast<char>('a' + (lines - 1) % 26)));
  }
  // 600,000 one-line comments, 3 MB of file, each an object of its own.
  TBytes many = ScreenHeader(2, 2, 2);
  for (int i = 0; i < 600000; ++i) many.insert(many.end(), {0x21, 0xFE, 1, 'c', 0});
  many.push_back(0x3B);
  EXPECT_EQ(LoadError(many), "Invalid image dimensions");
  many.resize(many.size() - 1 - 5 * 200000);  // 400,000 of them fit
  many.push_back(0x3B);
  EXPECT_EQ(LoadError(many), "");
}
