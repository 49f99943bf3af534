#include "editors/core/DRMNames.h"
#include "editors/core/EDRMError.h"
#include "editors/core/RawPreview.h"
#include "editors/core/TDRMImage.h"
#include "framework/base/ByteOrder.h"
#include "tests/editors/generators/DRMGenerator.h"

#include <gtest/gtest.h>

namespace {

void ExpectListingMatches(const TDRMListing& list, const TGenDRM& gen) {
  ASSERT_TRUE(list.Complete) << list.Problem;
  ASSERT_EQ(list.RawCount, gen.RawCount);
  ASSERT_EQ(list.Pictures.size(), gen.Pictures.size());
  for (size_t i = 0; i < gen.Pictures.size(); ++i) {
    const TDRMPicture& p = list.Pictures[i];
    EXPECT_EQ(p.No, int(i + 1));
    EXPECT_EQ(p.Type, gen.Pictures[i].Type);
    EXPECT_EQ(p.Width, gen.Pictures[i].Width);
    EXPECT_EQ(p.Height, gen.Pictures[i].Height);
    EXPECT_EQ(p.Address, gen.Base + gen.Pictures[i].Offset);
    EXPECT_EQ(p.Size, int(gen.Pictures[i].Data.size()));
  }
}

// The data a replacement of `picture` by a file `grow` bytes longer would bring.
std::vector<uint8_t> Replacement(const TGenPicture& picture, int grow, uint32_t seed) {
  const size_t length = picture.Data.size() + size_t(grow);
  if (picture.Type == "RAW") {
    std::vector<uint8_t> v(length);
    for (size_t i = 0; i < length; ++i) v[i] = uint8_t(seed + i * 7);
    return v;
  }
  return picture.Type == "BMP" ? MakeDRMBmp(33, 44, length, seed) : MakeDRMGif(55, 66, length, seed);
}

class GeneratedImages : public ::testing::TestWithParam<uint32_t> {};

}  // namespace

TEST_P(GeneratedImages, ListingFindsEveryPicture) {
  TGenDRMPlan plan;
  plan.Seed = GetParam();
  plan.RawPictures = int(GetParam() % 5);
  plan.TypedPictures = int(GetParam() % 7);
  const TGenDRM gen = GenerateDRM(plan);
  TDRMImage image(gen.Image);
  ExpectListingMatches(image.List(), gen);
  for (const TGenPicture& p : gen.Pictures) {
    EXPECT_EQ(image.PictureData(gen.Base + p.Offset, int32_t(p.Data.size())), p.Data);
  }
}

TEST_P(GeneratedImages, ReplaceThenFreshListingEqualsTheEditedTableAndBackRestores) {
  TGenDRMPlan plan;
  plan.Seed = GetParam();
  const TGenDRM gen = GenerateDRM(plan);
  for (size_t i = 0; i < gen.Pictures.size(); ++i) {
    const TGenPicture& original = gen.Pictures[i];
    const bool raw = original.Type == "RAW";
    for (int grow : {-4, 0, 4, 8, 2, 1, -1, 3}) {
      if (raw && grow % 4 != 0) continue;
      if (grow < 0 && original.Data.size() < 40) continue;
      TDRMImage image(gen.Image);
      const TDRMListing before = image.List();
      const auto data = Replacement(original, grow, uint32_t(i * 31 + 7));
      const TDRMListing after = image.Replace(int(i + 1), data, 9, 11);
      const TDRMListing fresh = image.List();
      ASSERT_EQ(after.Pictures, fresh.Pictures);
      for (size_t k = 0; k < fresh.Pictures.size(); ++k) {
        const TDRMPicture& p = fresh.Pictures[k];
        EXPECT_EQ(p.Address, before.Pictures[k].Address + (k > i ? uint32_t(grow) : 0u));
        EXPECT_EQ(image.PictureData(p.Address, p.Size), k == i ? data : gen.Pictures[k].Data);
      }
      if (raw) {
        EXPECT_EQ(fresh.Pictures[i].Width, 9);
        EXPECT_EQ(fresh.Pictures[i].Height, 11);
      }
      image.Replace(int(i + 1), original.Data, original.Width, original.Height);
      ExpectListingMatches(image.List(), gen);
      // Shrinking never gives back the padding a growth by other than a multiple of 4 added.
      if (grow % 4 == 0) {
        EXPECT_EQ(image.Image(), gen.Image) << "picture " << i + 1 << " grow " << grow;
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Seeds, GeneratedImages, ::testing::Range(1u, 9u));

namespace {

// The RAW descriptors' own addresses (in 16-bit units) point at the listed pixels.
void ExpectDescriptorsFollowThePixels(const TDRMImage& image, const TDRMListing& list) {
  const auto t = image.FindDRMTables();
  ASSERT_TRUE(t);
  for (int k = 1; k <= list.RawCount; ++k) {
    const uint32_t word = ByteOrder::ReadBE32(&image.Image()[t->T + 16 * size_t(k) + 12]);
    EXPECT_EQ(2 * word, list.Pictures[size_t(k - 1)].Address) << "descriptor " << k;
  }
}

}  // namespace

// RAW pictures may also lie behind the typed pictures' pointer table: a replacement of either kind
// then moves them or the typed ones, and every picture must still be found and exported unchanged.
TEST_P(GeneratedImages, RawBehindTheTypedTableFollowsEveryReplacementAndBack) {
  TGenDRMPlan plan;
  plan.Seed = GetParam();
  plan.RawBehindTypedTable = true;
  const TGenDRM gen = GenerateDRM(plan);
  TDRMImage pristine(gen.Image);
  ExpectListingMatches(pristine.List(), gen);
  ExpectDescriptorsFollowThePixels(pristine, pristine.List());
  for (size_t i = 0; i < gen.Pictures.size(); ++i) {
    const TGenPicture& original = gen.Pictures[i];
    const bool raw = original.Type == "RAW";
    for (int grow : {4, -4, 8, 1, 3}) {
      if (raw && grow % 4 != 0) continue;
      if (grow < 0 && original.Data.size() < 40) continue;
      SCOPED_TRACE(testing::Message() << "picture " << i + 1 << " grow " << grow);
      TDRMImage image(gen.Image);
      const auto data = Replacement(original, grow, uint32_t(i * 17 + 3));
      const TDRMListing after = image.Replace(int(i + 1), data, 9, 11);
      const TDRMListing fresh = image.List();
      ASSERT_EQ(after.Pictures, fresh.Pictures);
      for (size_t k = 0; k < fresh.Pictures.size(); ++k) {
        const TDRMPicture& p = fresh.Pictures[k];
        EXPECT_EQ(image.PictureData(p.Address, p.Size), k == i ? data : gen.Pictures[k].Data) << "picture " << k + 1;
      }
      ExpectDescriptorsFollowThePixels(image, fresh);
      // Back: every picture as generated; a growth by other than a multiple of 4 leaves its padding
      // behind the pointer table, so only then may the pictures behind it stay moved.
      const TDRMListing back = image.Replace(int(i + 1), original.Data, original.Width, original.Height);
      for (size_t k = 0; k < back.Pictures.size(); ++k) {
        EXPECT_EQ(image.PictureData(back.Pictures[k].Address, back.Pictures[k].Size), gen.Pictures[k].Data);
      }
      if (grow % 4 == 0) {
        ExpectListingMatches(back, gen);
        EXPECT_EQ(image.Image(), gen.Image);
      }
    }
  }
}

TEST(DRMImage, DescriptorsFollowTheirPixelsInTheUsualLayout) {
  const TGenDRM gen = GenerateDRM({});
  TDRMImage image(gen.Image);
  image.Replace(1, Replacement(gen.Pictures[0], 8, 5), 3, 4);
  ExpectDescriptorsFollowThePixels(image, image.List());
}

TEST(DRMImage, ImageWithoutRawPicturesNumbersTypedFromOne) {
  TGenDRMPlan plan;
  plan.RawPictures = 0;
  plan.TypedPictures = 3;
  const TGenDRM gen = GenerateDRM(plan);
  const TDRMListing list = TDRMImage(gen.Image).List();
  ASSERT_EQ(list.RawCount, 0);
  ASSERT_EQ(list.Pictures.size(), 3u);
  EXPECT_EQ(list.Pictures[0].No, 1);
  EXPECT_EQ(list.Pictures[0].Type, "BMP");
  EXPECT_EQ(list.Pictures[1].Type, "GIF");
}

TEST(DRMImage, MissingMarkerOrAnchorGivesAnEmptyTable) {
  TGenDRM gen = GenerateDRM({});
  auto noAnchor = gen.Image;
  ByteOrder::WriteBE32(&noAnchor[gen.P], 0);
  EXPECT_TRUE(TDRMImage(noAnchor).List().Pictures.empty());
  auto noMarker = gen.Image;
  noMarker[gen.M - 1] ^= 0xFF;
  EXPECT_FALSE(TDRMImage(noMarker).FindDRMTables());
  EXPECT_THROW(TDRMImage(std::vector<uint8_t>(9)), EDRMError);
}

TEST(DRMImage, CutImagesListWhatTheyHoldAndNeverReadPastTheEnd) {
  TGenDRMPlan plan;
  plan.RawPictures = 2;
  plan.TypedPictures = 2;
  const TGenDRM gen = GenerateDRM(plan);
  const TDRMListing whole = TDRMImage(gen.Image).List();
  for (size_t cut = 10; cut < gen.Image.size(); cut += 3) {
    SCOPED_TRACE(cut);
    TDRMImage image(std::vector<uint8_t>(gen.Image.begin(), gen.Image.begin() + long(cut)));
    const TDRMListing list = image.List();
    // The rows listed are the whole image's first rows, each lying inside what is left.
    ASSERT_LE(list.Pictures.size(), whole.Pictures.size());
    for (size_t i = 0; i < list.Pictures.size(); ++i) {
      const TDRMPicture& p = list.Pictures[i];
      EXPECT_EQ(p, whole.Pictures[i]);
      EXPECT_LE(p.Address - gen.Base + uint64_t(p.Size), cut);
      EXPECT_EQ(image.PictureData(p.Address, p.Size), gen.Pictures[i].Data);
    }
    // Cut before its tables an image lists nothing; cut inside them or the pictures, it says so.
    if (!image.FindDRMTables()) {
      EXPECT_TRUE(list.Pictures.empty());
    } else if (list.Complete) {
      EXPECT_EQ(list.Pictures, whole.Pictures);
    } else {
      EXPECT_FALSE(list.Problem.empty());
    }
    if (!list.Complete && !list.Pictures.empty()) {
      EXPECT_THROW(image.Replace(1, gen.Pictures[0].Data, 1, 1), EDRMError);
    }
  }
}

TEST(DRMImage, ListingStopsOnSizesOfZeroOrBelow) {
  TGenDRMPlan plan;
  plan.RawPictures = 3;
  TGenDRM gen = GenerateDRM(plan);
  auto image = gen.Image;
  // Descriptor 3's word address equal to descriptor 2's: picture 2 has size 0.
  std::copy_n(&image[gen.T + 32 + 12], 4, &image[gen.T + 48 + 12]);
  const TDRMListing list = TDRMImage(image).List();
  EXPECT_FALSE(list.Complete);
  EXPECT_EQ(list.Pictures.size(), 1u);
}

TEST(DRMImage, RawReplacementOfOtherThanMultiplesOfFourIsRefused) {
  const TGenDRM gen = GenerateDRM({});
  TDRMImage image(gen.Image);
  EXPECT_THROW(image.Replace(1, Replacement(gen.Pictures[0], 2, 1), 1, 1), EDRMError);
  EXPECT_EQ(image.Image(), gen.Image);
}

TEST(DRMImage, MisalignedTableOrSizeNeverOverrunsAndNeverDesynchronises) {
  for (bool misalign : {false, true}) {
    TGenDRMPlan plan;
    plan.MisalignTable = misalign;
    plan.UnalignedSize = true;
    const TGenDRM gen = GenerateDRM(plan);
    for (int grow : {0, 1, 2, 3, 4}) {
      TDRMImage image(gen.Image);
      const int no = gen.RawCount + 2;
      try {
        image.Replace(no, Replacement(gen.Pictures[size_t(no - 1)], grow, 5), 0, 0);
      } catch (const EDRMError&) {
        EXPECT_EQ(image.Image(), gen.Image);
        continue;
      }
      const TDRMListing list = image.List();
      ASSERT_TRUE(list.Complete);
      EXPECT_EQ(list.Pictures.back().Address, gen.Base + gen.Pictures.back().Offset + uint32_t(grow));
    }
  }
}

TEST(DRMImage, ReplaceIsRefusedWhenAnchorWordsOutsideTheHeaderWouldGoStale) {
  TGenDRMPlan plan;
  plan.AnchorOutsideHeader = true;
  const TGenDRM gen = GenerateDRM(plan);
  TDRMImage image(gen.Image);
  ExpectListingMatches(image.List(), gen);
  EXPECT_THROW(image.Replace(1, Replacement(gen.Pictures[0], 4, 2), 1, 1), EDRMError);
  EXPECT_EQ(image.Image(), gen.Image);
}

TEST(DRMImage, SameLengthReplacementChangesOnlyThePictureAndItsDescriptor) {
  const TGenDRM gen = GenerateDRM({});
  TDRMImage image(gen.Image);
  const auto data = Replacement(gen.Pictures[1], 0, 3);
  image.Replace(2, data, 7, 8);
  size_t changed = 0;
  for (size_t i = 0; i < gen.Image.size(); ++i) changed += image.Image()[i] != gen.Image[i];
  size_t expected = 0;
  for (size_t i = 0; i < data.size(); ++i) expected += data[i] != gen.Pictures[1].Data[i];
  const uint32_t d = gen.T + 32;
  for (size_t i = 0; i < 4; ++i) expected += image.Image()[d + i] != gen.Image[d + i];
  EXPECT_EQ(changed, expected);
}

TEST(RawPreview, ColoursLeaveTheLowBitsEmpty) {
  EXPECT_EQ(RGB565ToColor(0xF800), 248u);
  EXPECT_EQ(RGB565ToColor(0x07E0), 252u * 256);
  EXPECT_EQ(RGB565ToColor(0x001F), 248u * 65536);
  EXPECT_EQ(RGB565ToColor(0xFFFF), 248u + 252u * 256 + 248u * 65536);
}

TEST(RawPreview, CentresOrStretchesAndDrawsAtMostHalfTheSizeInPixels) {
  // A 2 x 2 picture of red, green, blue, white at offset 16 of a 24-byte image.
  std::vector<uint8_t> image(24, 0);
  const uint8_t pixels[] = {0xF8, 0x00, 0x07, 0xE0, 0x00, 0x1F, 0xFF, 0xFF};
  std::copy(pixels, pixels + 8, image.begin() + 16);
  TDRMPicture p;
  p.Width = 2;
  p.Height = 2;
  p.Address = 0x30000000 + 16;
  p.Size = 8;
  const uint32_t bg = 0x123456, white = 0xFFFFFF;

  TPixelBuffer c = RenderRawPicture(image, 0x30000000, p, 5, 5, TPreviewFit::Centred, bg);
  EXPECT_EQ(c.At(0, 0), bg);
  EXPECT_EQ(c.At(4, 4), white);  // the last row and column keep the fresh bitmap's white
  EXPECT_EQ(c.At(1, 1), RGB565ToColor(0xF800));
  EXPECT_EQ(c.At(2, 2), RGB565ToColor(0xFFFF));

  TPixelBuffer s = RenderRawPicture(image, 0x30000000, p, 7, 5, TPreviewFit::Stretched, bg);
  EXPECT_EQ(s.At(0, 0), RGB565ToColor(0xF800));
  EXPECT_EQ(s.At(2, 1), RGB565ToColor(0xF800));  // sx = 3, sy = 2
  EXPECT_EQ(s.At(3, 1), RGB565ToColor(0x07E0));
  EXPECT_EQ(s.At(5, 3), RGB565ToColor(0xFFFF));
  EXPECT_EQ(s.At(6, 3), white);

  p.Size = 5;  // two pixels only
  TPixelBuffer half = RenderRawPicture(image, 0x30000000, p, 2, 2, TPreviewFit::Centred, bg);
  EXPECT_EQ(half.At(0, 0), RGB565ToColor(0xF800));
  EXPECT_EQ(half.At(0, 1), white);  // the last row and column stay white, pixel 3 is not drawn

  p.Size = 8;
  p.Width = 0;
  TPixelBuffer none = RenderRawPicture(image, 0x30000000, p, 3, 3, TPreviewFit::Stretched, bg);
  EXPECT_EQ(none.At(0, 0), bg);
  p.Width = 2;
  p.Size = 64;  // claims more than the image holds, which ends after pixel 3
  image.resize(22);
  TPixelBuffer cut = RenderRawPicture(image, 0x30000000, p, 40, 40, TPreviewFit::Stretched, bg);
  EXPECT_EQ(cut.At(0, 0), RGB565ToColor(0xF800));  // sx = sy = 20
  EXPECT_EQ(cut.At(20, 0), RGB565ToColor(0x07E0));
  EXPECT_EQ(cut.At(19, 19), RGB565ToColor(0xF800));
  EXPECT_EQ(cut.At(0, 20), RGB565ToColor(0x001F));
  EXPECT_EQ(cut.At(20, 20), bg);
  EXPECT_EQ(cut.At(39, 39), white);
}

TEST(DRMNames, ExportNamesAreSafeFileNames) {
  TDRMPicture p;
  p.No = 3;
  p.Width = 128;
  p.Height = 160;
  p.Type = "RAW";
  EXPECT_EQ(PictureFileName(p), "3(128x160).RAW");
  p.Type = std::string("G/\0", 3);
  EXPECT_EQ(PictureFileName(p), "3(128x160).G__");
  p.Type = "GI.";
  EXPECT_EQ(PictureFileName(p), "3(128x160).GI_");
}

TEST(DRMNames, RawBoundsComeFromTheFileNameOnly) {
  EXPECT_EQ(ParseRawBounds("C:\\Program Files (x86)\\pics\\3(128x160).RAW"), std::make_pair(128, 160));
  EXPECT_EQ(ParseRawBounds("/home/u/box(12x34).raw"), std::make_pair(12, 34));
  EXPECT_EQ(ParseRawBounds("C:\\Program Files (x86)\\pics\\logo.raw"), std::nullopt);
  EXPECT_EQ(ParseRawBounds("p(1ax2).raw"), std::nullopt);
  EXPECT_EQ(ParseRawBounds("p(70000x2).raw"), std::nullopt);
}
