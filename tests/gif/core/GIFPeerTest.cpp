#include <gtest/gtest.h>

#include <cstring>

#include "GIFTestSupport.h"
#include "gif/core/TGIFDocument.h"
#include "gif/core/TGIFGraphicControlExtension.h"

namespace {
std::string Name(const std::string& path) {
  return path.substr(path.rfind('/') + 1);
}

// Every frame equals the reference decoder's: placement, pixels, colours in effect and control block.
void ExpectSameAsPeer(const TGIFDocument& document, const TBytes& bytes, const std::string& name) {
  const std::vector<TPeerFrame> peer = PeerDecode(bytes);
  ASSERT_EQ(document.Frames().size(), peer.size()) << name;
  for (size_t i = 0; i < peer.size(); ++i) {
    const TGIFSubImage& frame = *document.Frames()[i];
    SCOPED_TRACE(name + " frame " + std::to_string(i));
    EXPECT_EQ(frame.Left(), peer[i].Left);
    EXPECT_EQ(frame.Top(), peer[i].Top);
    ASSERT_EQ(frame.Width(), peer[i].Width);
    ASSERT_EQ(frame.Height(), peer[i].Height);
    EXPECT_EQ(frame.Interlaced(), peer[i].Interlaced);
    EXPECT_TRUE(frame.Data() == peer[i].Pixels);
    const TGIFColorMap* map = frame.ActiveColorMap(document.Header());
    ASSERT_NE(map, nullptr);
    ASSERT_EQ(static_cast<size_t>(map->Count()) * 3, peer[i].Colors.size());
    EXPECT_EQ(std::memcmp(map->Data(), peer[i].Colors.data(), peer[i].Colors.size()), 0);
    if (peer[i].Disposal >= 0) {
      const TGIFGraphicControlExtension* control = frame.GraphicControlExtension();
      ASSERT_NE(control, nullptr);
      EXPECT_EQ(control->Disposal(), peer[i].Disposal);
      EXPECT_EQ(control->Delay(), peer[i].Delay);
      EXPECT_EQ(frame.TransparentIndex(), peer[i].Transparent);
    }
  }
}

TBytes CoalescedPixels(const std::string& path) {
  const std::string out = path + ".rgba";
  if (!Run("convert '" + path + "' -coalesce rgba:'" + out + "'")) return {};
  return ReadBytes(out);
}
}  // namespace

TEST(GIFPeer, DecodesEveryPeerFileAsTheReferenceLibraryDoes) {
  for (const std::string& path : PeerFiles()) {
    const TBytes bytes = ReadBytes(path);
    TGIFDocument document;
    std::vector<std::string> warnings;
    Load(document, bytes, &warnings);
    EXPECT_TRUE(warnings.empty()) << Name(path) << ": " << (warnings.empty() ? "" : warnings[0]);
    ExpectSameAsPeer(document, bytes, Name(path));
  }
}

TEST(GIFPeer, SavedFilesReadBackThroughBothPeersWithEqualPixels) {
  for (const std::string& path : PeerFiles()) {
    const TBytes bytes = ReadBytes(path);
    TGIFDocument document;
    Load(document, bytes);
    const TBytes saved = document.SaveToBytes();
    const std::string copy = path + ".copy.gif";
    WriteBytes(copy, saved);

    // The reference library sees the same frames in our output as in the original.
    ExpectSameAsPeer(document, saved, Name(path) + " (saved)");

    // ImageMagick composes the same animation from both files.
    const TBytes original = CoalescedPixels(path);
    ASSERT_FALSE(original.empty()) << Name(path);
    EXPECT_TRUE(original == CoalescedPixels(copy)) << Name(path);
  }
}

TEST(GIFPeer, LoadSaveLoadIsStable) {
  for (const std::string& path : PeerFiles()) {
    TGIFDocument first;
    Load(first, ReadBytes(path));
    const TBytes once = first.SaveToBytes();
    TGIFDocument second;
    Load(second, once);
    EXPECT_TRUE(second.SaveToBytes() == once) << Name(path);
  }
}

TEST(GIFPeer, CompressesAboutAsWellAsTheReferenceEncoder) {
  // ImageMagick's files come from an LZW encoder of the same family; ours stays within 1% of them.
  for (const std::string& path : PeerFiles()) {
    const TBytes bytes = ReadBytes(path);
    TGIFDocument document;
    Load(document, bytes);
    const TBytes saved = document.SaveToBytes();
    if (Name(path) == "built.gif") continue;  // gifbuild's text form adds no compression of interest
    EXPECT_LE(saved.size(), bytes.size() + bytes.size() / 100 + 16) << Name(path);
  }
}
