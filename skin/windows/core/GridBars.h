#pragma once

#include <cstdint>

// The skinned scroll bars laid over a grid, without their windows: when a bar is wanted, what it
// shows, and what moving it does to the grid or its data set.

// A bar's range, page and position, with the last position at Max (the page only sizes the slider).
struct TGridBarParams {
  std::int32_t Min = 0;
  std::int32_t Max = 0;
  std::int32_t Page = 0;
  std::int32_t Position = 0;
  friend bool operator==(const TGridBarParams&, const TGridBarParams&) = default;
};

// A data grid's data set as the vertical bar sees it.
struct TGridRecordView {
  std::int32_t RecordCount = 0;
  std::int32_t RecNo = 0;         // 1-based current record; 0 when none
  bool Bof = false;               // at the beginning
  bool Eof = false;               // at the end
  std::int32_t VisibleRows = 0;   // data rows in view
  bool RecordNumbers = true;      // the data set numbers its records
};

// Rows or columns to show beyond the fixed ones and those in view: the bar is wanted when at least
// one more remains.
bool GridBarWanted(std::int32_t count, std::int32_t fixed, std::int32_t visible);

// The vertical bar over a data set. With record numbers the position is the record number (the ends
// at the first and last record) over 1..max(2, records) with a page of the visible rows; without
// them a bar of at most five steps that says only "beginning", "somewhere" (the middle) or "end".
TGridBarParams RecordBarParams(const TGridRecordView& view);
// A bar over rows or columns: first..last with the grid's first shown one as the position.
TGridBarParams LineBarParams(std::int32_t first, std::int32_t last, std::int32_t page, std::int32_t shown);

// What a move of the vertical bar asks of the data set.
enum class TGridMoveKind { None, First, Last, GoTo, MoveBy };
struct TGridMove {
  TGridMoveKind Kind = TGridMoveKind::None;
  std::int32_t Value = 0;  // the record number (GoTo) or the distance (MoveBy)
  friend bool operator==(const TGridMove&, const TGridMove&) = default;
};

// The bar, showing `bar`, was moved to position. With record numbers the record follows the bar
// (its ends are the first and last record); without them the ends go to the first or last record
// and a position above or below the middle moves one page of visible rows back or forth.
TGridMove RecordMoveForBar(const TGridRecordView& view, const TGridBarParams& bar, std::int32_t position);
