#include <gtest/gtest.h>

#include "skin/windows/core/GridBars.h"

namespace {

TGridRecordView View(int records, int recNo, bool numbers, int visible = 10) {
  TGridRecordView v;
  v.RecordCount = records;
  v.RecNo = recNo;
  v.Bof = records == 0 || recNo <= 1;
  v.Eof = records == 0 || recNo >= records;
  v.VisibleRows = visible;
  v.RecordNumbers = numbers;
  return v;
}

TEST(GridBarWanted, OnlyWhenARowIsLeftOutOfView) {
  EXPECT_FALSE(GridBarWanted(0, 0, 0));
  EXPECT_FALSE(GridBarWanted(10, 0, 10));
  EXPECT_TRUE(GridBarWanted(11, 0, 10));
  EXPECT_FALSE(GridBarWanted(11, 1, 10));  // the fixed row counts as seen
  EXPECT_TRUE(GridBarWanted(5, 0, 0));     // a grid too small for one row
  EXPECT_FALSE(GridBarWanted(-2147483647 - 1, 0, 2147483647));  // no wrap
  EXPECT_TRUE(GridBarWanted(2147483647, -2147483647 - 1, 0));
}

TEST(RecordBar, WithRecordNumbersFollowsTheRecordWithTheEndsAtTheFirstAndLast) {
  // records, record, expected {min, max, page, position}
  struct Case {
    int Records, RecNo;
    TGridBarParams Bar;
  } cases[] = {
      {0, 0, {1, 2, 10, 1}},        {1, 1, {1, 2, 10, 1}},        {2, 1, {1, 2, 10, 1}},
      {2, 2, {1, 2, 10, 2}},        {5, 1, {1, 5, 10, 1}},        {5, 3, {1, 5, 10, 3}},
      {5, 5, {1, 5, 10, 5}},        {100, 1, {1, 100, 10, 1}},    {100, 50, {1, 100, 10, 50}},
      {100, 99, {1, 100, 10, 99}},  {100, 100, {1, 100, 10, 100}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(RecordBarParams(View(c.Records, c.RecNo, true)), c.Bar) << c.Records << " records at " << c.RecNo;
  // A grid with no room for a row still gives a page of one.
  EXPECT_EQ(RecordBarParams(View(100, 7, true, 0)).Page, 1);
}

TEST(RecordBar, WithoutRecordNumbersShowsBeginningMiddleOrEnd) {
  struct Case {
    int Records, RecNo;
    TGridBarParams Bar;
  } cases[] = {
      {0, 0, {1, 2, 1, 1}},  {1, 1, {1, 2, 1, 1}},  {2, 1, {1, 2, 1, 1}},  {2, 2, {1, 2, 1, 2}},
      {5, 1, {1, 5, 1, 1}},  {5, 3, {1, 5, 1, 3}},  {5, 5, {1, 5, 1, 5}},  {100, 1, {1, 5, 1, 1}},
      {100, 2, {1, 5, 1, 3}}, {100, 50, {1, 5, 1, 3}}, {100, 99, {1, 5, 1, 3}}, {100, 100, {1, 5, 1, 5}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(RecordBarParams(View(c.Records, c.RecNo, false)), c.Bar) << c.Records << " records at " << c.RecNo;
  // Four steps: the middle (4 + 1) / 2 = 2.5 rounds to even.
  EXPECT_EQ(RecordBarParams(View(4, 2, false)).Position, 2);
  // Three: (3 + 1) / 2 = 2.
  EXPECT_EQ(RecordBarParams(View(3, 2, false)).Position, 2);
}

TEST(RecordBarMove, WithRecordNumbersTheRecordFollowsTheBar) {
  for (int records : {1, 2, 5, 100}) {
    const TGridRecordView v = View(records, 1, true);
    const TGridBarParams bar = RecordBarParams(v);
    EXPECT_EQ(RecordMoveForBar(v, bar, bar.Min), (TGridMove{TGridMoveKind::First, 0})) << records;
    EXPECT_EQ(RecordMoveForBar(v, bar, bar.Max), (TGridMove{TGridMoveKind::Last, 0})) << records;
    EXPECT_EQ(RecordMoveForBar(v, bar, bar.Max + 50), (TGridMove{TGridMoveKind::Last, 0})) << records;
    EXPECT_EQ(RecordMoveForBar(v, bar, -7), (TGridMove{TGridMoveKind::First, 0})) << records;
  }
  const TGridRecordView v = View(100, 1, true);
  EXPECT_EQ(RecordMoveForBar(v, RecordBarParams(v), 37), (TGridMove{TGridMoveKind::GoTo, 37}));
  // An empty data set has nowhere to go.
  const TGridRecordView empty = View(0, 0, true);
  EXPECT_EQ(RecordMoveForBar(empty, RecordBarParams(empty), 2), TGridMove{});
}

TEST(RecordBarMove, WithoutRecordNumbersTheEndsJumpAndEitherSideOfTheMiddleMovesAPage) {
  const TGridRecordView v = View(100, 50, false, 12);
  const TGridBarParams bar = RecordBarParams(v);  // 1..5, middle 3
  EXPECT_EQ(RecordMoveForBar(v, bar, 1), (TGridMove{TGridMoveKind::First, 0}));
  EXPECT_EQ(RecordMoveForBar(v, bar, 2), (TGridMove{TGridMoveKind::MoveBy, -12}));
  EXPECT_EQ(RecordMoveForBar(v, bar, 3), TGridMove{});
  EXPECT_EQ(RecordMoveForBar(v, bar, 4), (TGridMove{TGridMoveKind::MoveBy, 12}));
  EXPECT_EQ(RecordMoveForBar(v, bar, 5), (TGridMove{TGridMoveKind::Last, 0}));
  // Two records: the bar is only its ends.
  const TGridRecordView two = View(2, 1, false);
  EXPECT_EQ(RecordMoveForBar(two, RecordBarParams(two), 2), (TGridMove{TGridMoveKind::Last, 0}));
  // A grid with no visible row still moves.
  const TGridRecordView none = View(100, 50, false, 0);
  EXPECT_EQ(RecordMoveForBar(none, RecordBarParams(none), 4), (TGridMove{TGridMoveKind::MoveBy, 1}));
}

TEST(LineBar, RowsAndColumnsClampTheShownOneAndKeepARange) {
  EXPECT_EQ(LineBarParams(1, 100, 10, 40), (TGridBarParams{1, 100, 10, 40}));
  EXPECT_EQ(LineBarParams(0, 0, 1, 0), (TGridBarParams{0, 1, 1, 0}));  // never an empty range
  EXPECT_EQ(LineBarParams(0, 5, 0, 9), (TGridBarParams{0, 5, 1, 5}));
  EXPECT_EQ(LineBarParams(1, 5, 1, -3), (TGridBarParams{1, 5, 1, 1}));
}

}  // namespace
