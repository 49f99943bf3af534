#include "skin/engine/core/RegionTemplate.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "PixelTestSupport.h"
#include "skin/engine/core/MaskCornerRuns.h"

namespace {

// Own border bitmap: 3 frames of 3 x 3 parts of 2 x 2, white image, mask 0; key pixels where set.
TsBitmap24 ButtonBorder() {
  TsBitmap24 b(18, 12);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 18; ++x) b.SetPixel(x, y, Grey(255));
  return b;
}

TEST(PaintSkinTemplateRgn, CutsKeyRunsOfCornersAndPaintsTheRest) {
  TsBitmap24 own = ButtonBorder();
  own.SetPixel(0, 0, Key);  // top-left corner: a run of two at the top row
  own.SetPixel(1, 0, Key);
  own.SetPixel(5, 5, Key);  // bottom-right corner, last column of the part
  TsMaskImage m;
  m.Own = own.View();
  TsBitmap24 d = Filled(8, 6, Grey(0));
  std::vector<TsRect> runs;
  PaintSkinTemplateRgn(d.View(), runs, true, TsSkinState::Normal, m);
  const std::vector<TsRect> expected{{0, 0, 2, 1}, {7, 5, 8, 6}};
  EXPECT_EQ(runs, expected);
  EXPECT_EQ(d.Pixel(0, 0), Grey(0));    // key pixels are left as they are
  EXPECT_EQ(d.Pixel(2, 0), Grey(254));  // the rest by the masked pixel rule
  EXPECT_EQ(d.Pixel(4, 3), Grey(255));  // centre by the exact rule
  EXPECT_EQ(d.Pixel(7, 5), Grey(0));
}

TEST(PaintSkinTemplateRgn, MasterCutWithoutMaskHalfLeavesTheRegionWhole) {
  TsBitmap24 master = Filled(6, 6, Grey(40));
  master.SetPixel(0, 0, Key);
  TsMaskImage m;
  m.Master = master.View();
  m.R = {0, 0, 6, 6};
  TsBitmap24 d = Filled(6, 6, Grey(0));
  std::vector<TsRect> runs;
  PaintSkinTemplateRgn(d.View(), runs, false, TsSkinState::Normal, m);
  EXPECT_TRUE(runs.empty());
  EXPECT_EQ(d.Pixel(0, 0), Key);
  EXPECT_EQ(d.Pixel(3, 3), Grey(40));
}

TEST(PaintSkinTemplateRgn, SmallOrEmptyMasksPaintNothing) {
  const TsBitmap24 own = ButtonBorder();
  TsMaskImage m;
  m.Own = own.View();
  TsBitmap24 d = Filled(2, 9, Grey(3));
  std::vector<TsRect> runs;
  PaintSkinTemplateRgn(d.View(), runs, true, TsSkinState::Normal, m);
  EXPECT_TRUE(UntouchedOutside(d, 0, 0, 0, 0, Grey(3)));
  TsMaskImage none;  // no own bitmap and no master
  PaintSkinTemplateRgn(d.View(), runs, true, TsSkinState::Normal, none);
  EXPECT_TRUE(runs.empty());
}

// The runs told without a bitmap are those the painting cuts: own and master masks, with and without
// the centre, each state, sizes below, at and above the parts, and cut into the bitmap's edge.
TEST(SkinTemplateRgnRuns, AreTheRunsThePaintingCuts) {
  TsBitmap24 own = ButtonBorder();
  for (int x : {0, 1, 6, 7, 13}) own.SetPixel(x, x % 2, Key);
  own.SetPixel(2, 2, Key);  // the centre of the first frame
  own.SetPixel(9, 3, Key);
  TsBitmap24 master = Filled(24, 8, Grey(70));
  for (int x : {0, 3, 8, 11, 16}) master.SetPixel(x, 0, Key);
  master.SetPixel(1, 1, Key);
  master.SetPixel(10, 2, Key);
  TsMaskImage ownMask;
  ownMask.Own = own.View();
  TsMaskImage masterMask;
  masterMask.Master = master.View();
  masterMask.R = {0, 0, 24, 8};
  masterMask.ImageCount = 2;
  masterMask.MaskType = 1;
  for (const TsMaskImage* m : {&ownMask, &masterMask})
    for (bool centre : {true, false})
      for (TsSkinState state : {TsSkinState::Normal, TsSkinState::Hot, TsSkinState::Pressed})
        for (auto [w, h] : {std::pair{2, 2}, std::pair{6, 6}, std::pair{7, 5}, std::pair{40, 23}}) {
          TsBitmap24 d = Filled(w, h, Grey(0));
          std::vector<TsRect> painted, told;
          PaintSkinTemplateRgn(d.View(), painted, centre, state, *m);
          SkinTemplateRgnRuns(w, h, told, centre, state, *m);
          EXPECT_EQ(told, painted) << w << "x" << h << " state " << int(state) << " centre " << centre;
        }
  std::vector<TsRect> none;
  SkinTemplateRgnRuns(0, 10, none, true, TsSkinState::Normal, ownMask);
  EXPECT_TRUE(none.empty());
}

TEST(CopyPartToRegion, RunsStayInsideTheBitmap) {
  TsBitmap24 own = Filled(18, 12, Key);
  TsMaskImage m;
  m.Own = own.View();
  TsBitmap24 d = Filled(3, 3, Grey(0));
  std::vector<TsRect> runs;
  CopyPartToRegion(d.View(), {1, 1, 9, 9}, {0, 0, 8, 8}, m, SkinKeyColor, runs);
  const std::vector<TsRect> expected{{1, 1, 3, 2}, {1, 2, 3, 3}};
  EXPECT_EQ(runs, expected);
}

TEST(CollectMaskCornerRects, PlacesLeftAndRightCornerRunsForTheTarget) {
  TsBitmap24 own = Filled(18, 12, Grey(9));
  own.SetPixel(0, 0, Key);  // top-left corner
  own.SetPixel(5, 1, Key);  // top-right corner, last column
  own.SetPixel(0, 2, Key);  // left edge: not a corner
  own.SetPixel(1, 5, Key);  // bottom-left corner
  TsMaskImage m;
  m.Own = own.View();
  std::vector<TsRect> top;
  CollectMaskCornerRects(top, 100, m, TsCornerRow::Top, 0);
  const std::vector<TsRect> expectedTop{{0, 0, 1, 1}, {99, 1, 100, 2}};
  EXPECT_EQ(top, expectedTop);
  std::vector<TsRect> bottom;
  CollectMaskCornerRects(bottom, 100, m, TsCornerRow::Bottom, 50);
  const std::vector<TsRect> expectedBottom{{1, 51, 2, 52}};
  EXPECT_EQ(bottom, expectedBottom);
}

}  // namespace
