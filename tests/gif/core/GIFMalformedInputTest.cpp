#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "GIFTestSupport.h"
#include "gif/core/GIFException.h"
#include "gif/core/TGIFFrameRenderer.h"

namespace {
// Loads, renders and saves; only GIFException may come out. Returns whether it loaded.
bool Survives(const TBytes& bytes) {
  TGIFDocument document;
  try {
    Load(document, bytes);
  } catch (const GIFException&) {
    return false;
  }
  TGIFFrameRenderer renderer;
  for (const auto& frame : document.Frames())
    renderer.Render(document.Header(), *frame, TGIFRenderPalette::Own);
  try {
    document.SaveToBytes();
  } catch (const GIFException&) {
  }
  return true;
}

std::vector<TBytes> SmallPeerFiles() {
  std::vector<TBytes> files;
  for (const std::string& path : PeerFiles()) {
    TBytes bytes = ReadBytes(path);
    if (bytes.size() <= 8000) files.push_back(std::move(bytes));
  }
  return files;
}
}  // namespace

TEST(GIFMalformedInput, EveryTruncationInsideABlockGivesWarningsOrAnError) {
  for (const TBytes& bytes : SmallPeerFiles()) {
    TGIFDocument whole;
    Load(whole, bytes);
    for (size_t size = 0; size < bytes.size(); size += 1 + size / 512) {
      const TBytes cut(bytes.begin(), bytes.begin() + static_cast<long>(size));
      SCOPED_TRACE(testing::Message() << size << " of " << bytes.size() << " bytes");
      std::vector<std::string> warnings;
      TGIFDocument document;
      try {
        Load(document, cut, &warnings);
      } catch (const GIFException&) {
        continue;
      }
      EXPECT_TRUE(Survives(cut));
      if (!warnings.empty()) continue;
      // A file cut between two blocks reads without a word, as one without a trailer does: every
      // block read is whole. Only the last frame may lack its later extensions, its image, or (cut
      // before its minimum code size) its pixels, which then keep the fill.
      const auto& frames = document.Frames();
      ASSERT_LE(frames.size(), whole.Frames().size());
      for (size_t i = 0; i < frames.size(); ++i) {
        const TGIFSubImage& frame = *frames[i];
        const TGIFSubImage& original = *whole.Frames()[i];
        const bool last = i + 1 == frames.size();
        if (last && !frame.HasImage()) {
          EXPECT_LE(frame.Extensions().size(), original.Extensions().size());
          continue;
        }
        EXPECT_TRUE(frame.HasImage() == original.HasImage()) << "frame " << i;
        EXPECT_EQ(frame.Extensions().size(), original.Extensions().size()) << "frame " << i;
        const auto fill = static_cast<uint8_t>(std::max(frame.TransparentIndex(), 0));
        const bool filled = std::all_of(frame.Data().begin(), frame.Data().end(),
                                        [fill](uint8_t pixel) { return pixel == fill; });
        EXPECT_TRUE(frame.Data() == original.Data() || (last && filled)) << "frame " << i;
      }
    }
  }
}

TEST(GIFMalformedInput, RandomMutationsGiveWarningsOrAnError) {
  std::mt19937 random(12345);
  int loaded = 0;
  for (const TBytes& original : SmallPeerFiles())
    for (int round = 0; round < 300; ++round) {
      TBytes bytes = original;
      const int changes = 1 + static_cast<int>(random() % 8);
      for (int i = 0; i < changes; ++i) {
        const size_t at = random() % bytes.size();
        switch (random() % 3) {
          case 0:
            bytes[at] = static_cast<uint8_t>(random());
            break;
          case 1:
            bytes[at] ^= static_cast<uint8_t>(1u << (random() % 8));
            break;
          default:
            bytes.erase(bytes.begin() + static_cast<long>(at));
            break;
        }
      }
      loaded += Survives(bytes);
    }
  EXPECT_GT(loaded, 0);
}

TEST(GIFMalformedInput, HandBuiltHostileFrames) {
  // A frame whose codes define every table entry from a single pixel, then repeat the longest:
  // the output is bounded by the frame, not by the codes.
  TBytes bytes = ScreenHeader(100, 100, 4);
  AppendImage(bytes, 0, 0, 100, 100, 0, LongestStrings(5001, 0));
  bytes.push_back(0x3B);
  EXPECT_TRUE(Survives(bytes));

  // Pixel values beyond a 2-colour table are rendered with black, never read past the palette.
  TBytes wide = ScreenHeader(4, 1, 2);
  AppendImage(wide, 0, 0, 4, 1, 0, LzwBlocks(7, PackCodes({128, 127, 100, 1, 0}, {8, 8, 8, 8, 8})));
  EXPECT_TRUE(Survives(wide));
}
