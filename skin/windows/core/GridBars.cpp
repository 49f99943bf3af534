#include "skin/windows/core/GridBars.h"

#include <algorithm>
#include <cmath>

namespace {

// The middle of a bar without record numbers: (max + 1) / 2, halves to even.
std::int32_t Middle(std::int32_t max) { return std::int32_t(std::nearbyint((double(max) + 1.0) / 2.0)); }

}  // namespace

bool GridBarWanted(std::int32_t count, std::int32_t fixed, std::int32_t visible) {
  return std::int64_t(count) - fixed - visible >= 1;
}

TGridBarParams RecordBarParams(const TGridRecordView& view) {
  const std::int32_t records = std::max(view.RecordCount, 0);
  TGridBarParams p;
  p.Min = 1;
  if (view.RecordNumbers) {
    p.Max = std::max(2, records);
    p.Page = std::max(1, view.VisibleRows);
    if (view.RecNo <= 1 || records == 0) p.Position = p.Min;
    else if (view.RecNo >= records) p.Position = p.Max;
    else p.Position = view.RecNo;
    return p;
  }
  p.Max = std::min(5, std::max(2, records));
  p.Page = 1;
  if (view.Bof || records == 0) p.Position = p.Min;
  else if (view.Eof) p.Position = p.Max;
  else p.Position = Middle(p.Max);
  return p;
}

TGridBarParams LineBarParams(std::int32_t first, std::int32_t last, std::int32_t page, std::int32_t shown) {
  TGridBarParams p;
  p.Min = first;
  p.Max = std::max(first + 1, last);
  p.Page = std::max(1, page);
  p.Position = std::clamp(shown, p.Min, p.Max);
  return p;
}

TGridMove RecordMoveForBar(const TGridRecordView& view, const TGridBarParams& bar, std::int32_t position) {
  if (view.RecordCount <= 0) return {};
  if (position <= bar.Min) return {TGridMoveKind::First, 0};
  if (position >= bar.Max) return {TGridMoveKind::Last, 0};
  if (view.RecordNumbers) return {TGridMoveKind::GoTo, std::min(position, view.RecordCount)};
  const std::int32_t middle = Middle(bar.Max);
  const std::int32_t page = std::max(1, view.VisibleRows);
  if (position < middle) return {TGridMoveKind::MoveBy, -page};
  if (position > middle) return {TGridMoveKind::MoveBy, page};
  return {};
}
