#include <gtest/gtest.h>

#include "skin/windows/core/TsFrameDrag.h"
#include "skin/windows/core/TsFrameGeometry.h"

namespace {

const TRect kWindow{100, 100, 400, 300};

TEST(FrameDrag, MoveFollowsTheDeltaFromThePress) {
  TsFrameDragModel d;
  ASSERT_TRUE(d.Start(TsHit::Caption, kWindow, 150, 110, 50, 40));
  EXPECT_TRUE(d.Moving());
  EXPECT_TRUE(d.MoveTo(160, 95));
  EXPECT_EQ(d.Frame(), (TRect{110, 85, 410, 285}));
  EXPECT_FALSE(d.MoveTo(160, 95));  // same place: nothing to redraw
  EXPECT_EQ(d.Finish(), (TRect{110, 85, 410, 285}));
  EXPECT_FALSE(d.Active());
}

TEST(FrameDrag, OnlyCaptionAndEdgesStart) {
  TsFrameDragModel d;
  for (int code : {TsHit::Nowhere, TsHit::Client, TsHit::SysMenu, TsHit::Menu, TsHit::MinButton, TsHit::Close, 1000})
    EXPECT_FALSE(d.Start(code, kWindow, 0, 0, 0, 0)) << code;
  EXPECT_FALSE(d.Active());
}

TEST(FrameDrag, EightEdgesClampedToTheMinimumSize) {
  struct Row {
    int Code;
    TRect Grown;    // after (+30, +20)
    TRect Shrunk;   // after (-1000, -1000) or (+1000, +1000) against the edge
  } rows[] = {
      {TsHit::Left, {130, 100, 400, 300}, {350, 100, 400, 300}},
      {TsHit::Right, {100, 100, 430, 300}, {100, 100, 150, 300}},
      {TsHit::Top, {100, 120, 400, 300}, {100, 260, 400, 300}},
      {TsHit::Bottom, {100, 100, 400, 320}, {100, 100, 400, 140}},
      {TsHit::TopLeft, {130, 120, 400, 300}, {350, 260, 400, 300}},
      {TsHit::TopRight, {100, 120, 430, 300}, {100, 260, 150, 300}},
      {TsHit::BottomLeft, {130, 100, 400, 320}, {350, 100, 400, 140}},
      {TsHit::BottomRight, {100, 100, 430, 320}, {100, 100, 150, 140}},
  };
  for (const Row& r : rows) {
    TsFrameDragModel d;
    ASSERT_TRUE(d.Start(r.Code, kWindow, 500, 500, 50, 40));
    EXPECT_FALSE(d.Moving());
    d.MoveTo(530, 520);
    EXPECT_EQ(d.Frame(), r.Grown) << r.Code;
    // Push the edge past the opposite one: it stops at the minimum size.
    const bool towardsRightOrBottom = r.Code == TsHit::Left || r.Code == TsHit::Top || r.Code == TsHit::TopLeft;
    if (towardsRightOrBottom)
      d.MoveTo(5000, 5000);
    else if (r.Code == TsHit::TopRight)
      d.MoveTo(-5000, 5000);
    else if (r.Code == TsHit::BottomLeft)
      d.MoveTo(5000, -5000);
    else
      d.MoveTo(-5000, -5000);
    EXPECT_EQ(d.Frame(), r.Shrunk) << r.Code;
  }
}

TEST(FrameDrag, ReleaseWithoutAMoveOrBackAtTheStartChangesNothing) {
  TsFrameDragModel d;
  d.Start(TsHit::BottomRight, kWindow, 400, 300, 50, 40);
  EXPECT_EQ(d.Finish(), std::nullopt);
  d.Start(TsHit::Caption, kWindow, 150, 110, 0, 0);
  d.MoveTo(170, 130);
  d.MoveTo(150, 110);
  EXPECT_EQ(d.Finish(), std::nullopt);
  d.Start(TsHit::Caption, kWindow, 150, 110, 0, 0);
  d.MoveTo(170, 130);
  d.Cancel();
  EXPECT_FALSE(d.Active());
  EXPECT_EQ(d.Finish(), std::nullopt);
}

TEST(ScreenSnap, WithinTheBufferOnly) {
  const TRect m{0, 0, 1024, 768};
  EXPECT_EQ(SnapToMonitor(9, 50, 300, 200, m, 10), (TsPoint2{0, 50}));
  EXPECT_EQ(SnapToMonitor(10, 50, 300, 200, m, 10), (TsPoint2{10, 50}));
  EXPECT_EQ(SnapToMonitor(-9, 50, 300, 200, m, 10), (TsPoint2{0, 50}));
  EXPECT_EQ(SnapToMonitor(50, 9, 300, 200, m, 10), (TsPoint2{50, 0}));
  EXPECT_EQ(SnapToMonitor(1024 - 300 - 9, 768 - 200 + 9, 300, 200, m, 10), (TsPoint2{724, 568}));
  EXPECT_EQ(SnapToMonitor(1024 - 300 - 10, 50, 300, 200, m, 10), (TsPoint2{714, 50}));
  // Buffer 1: only an edge that lies on the monitor's edge.
  EXPECT_EQ(SnapToMonitor(1, 50, 300, 200, m, 1), (TsPoint2{1, 50}));
  EXPECT_EQ(SnapToMonitor(0, 50, 300, 200, m, 1), (TsPoint2{0, 50}));
  // (0, 0) is never snapped, not even to the right edge of a window that fills the monitor.
  EXPECT_EQ(SnapToMonitor(0, 0, 1020, 760, m, 10), (TsPoint2{0, 0}));
  // The size given decides the right and bottom edges.
  EXPECT_EQ(SnapToMonitor(500, 50, 520, 200, m, 10), (TsPoint2{504, 50}));
  // A monitor not at the origin.
  EXPECT_EQ(SnapToMonitor(1030, 5, 300, 200, TRect{1024, 0, 2048, 768}, 10), (TsPoint2{1024, 0}));
}

}  // namespace
