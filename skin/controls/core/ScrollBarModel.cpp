#include "skin/controls/core/ScrollBarModel.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace {

constexpr int ClampToInt(std::int64_t v) {
  return static_cast<int>(std::clamp<std::int64_t>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

// Rounds halves to even.
std::int64_t RoundEven(double v) {
  constexpr double limit = 9.0e15;
  return static_cast<std::int64_t>(std::nearbyint(std::clamp(v, -limit, limit)));
}

constexpr int Index(TScrollBarPart part) { return static_cast<int>(part); }

bool IsTrack(int part) { return part == Index(TScrollBarPart::TrackBefore) || part == Index(TScrollBarPart::TrackAfter); }

// Scroll codes of the platform's scroll messages.
enum : int { LineUp = 0, LineDown = 1, PageUp = 2, PageDown = 3, ThumbPosition = 4, ThumbTrack = 5, Top = 6, Bottom = 7 };

}  // namespace

ScrollBarModel::ScrollBarModel(TScrollBarModelHost& host, TScrollBarClock clock, TScrollBarErrorSink errors)
    : FHost(host), FClock(std::move(clock)), FErrors(std::move(errors)) {}

std::string ScrollBarModel::RangeErrorText(int max, const std::string& name) {
  return "Scrollbar property out of range\n\rMax = " + std::to_string(max) + "(" + name + ")";
}

void ScrollBarModel::SetOrientation(TScrollBarOrientation value) {
  if (value == FOrientation) return;
  FOrientation = value;
  FDirty = true;
}

void ScrollBarModel::SetPageSize(int value) {
  if (value < 0 || value == FPageSize) return;
  FPageSize = value;
  FDirty = true;
}

void ScrollBarModel::SetEnabled(bool value) {
  if (value == FEnabled) return;
  FEnabled = value;
  FDirty = true;
}

void ScrollBarModel::SetSize(int width, int height, int arrowSize) {
  if (width == FWidth && height == FHeight && arrowSize == FArrowSize) return;
  FWidth = width;
  FHeight = height;
  FArrowSize = arrowSize;
  FDirty = true;
}

bool ScrollBarModel::TakeDirty() { return std::exchange(FDirty, false); }

// An inverted range is empty: the bar has nowhere to move.
int ScrollBarModel::Span() const { return ClampToInt(std::max<std::int64_t>(0, std::int64_t(FMax) - FMin)); }

int ScrollBarModel::Length() const { return FOrientation == TScrollBarOrientation::Vertical ? FHeight : FWidth; }

int ScrollBarModel::Coordinate(TScrollPoint p) const { return FOrientation == TScrollBarOrientation::Vertical ? p.Y : p.X; }

bool ScrollBarModel::On(const TRect& r, TScrollPoint p) const {
  return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom;
}

ScrollBarModel::TParamsChange ScrollBarModel::SetParams(int position, int min, int max, TScrollRules rules) {
  TParamsChange change;
  if (rules == TScrollRules::Standard && max < min) {
    change.Accepted = false;
    return change;
  }
  if (rules == TScrollRules::Skinned && max <= min) FErrors(RangeErrorText(max, FHost.NameForErrors()));
  const int old = FPosition;
  position = std::clamp(position, min, std::max(min, max));
  change.RangeChanged = min != FMin || max != FMax;
  FMin = min;
  FMax = max;
  change.Moved = position != FPosition;
  FPosition = position;
  if (change.RangeChanged || change.Moved) FDirty = true;
  if (rules == TScrollRules::Skinned && change.Moved) change.Alive = NotifyChange(old);
  return change;
}

bool ScrollBarModel::SetPosition(int value) {
  if (value == FPosition) return true;
  if (FPosition == FMin && value < FMin) return true;
  if (FPosition == FMax && value > FMax - 1) return true;
  return SetParams(value, FMin, FMax, TScrollRules::Skinned).Alive;
}

bool ScrollBarModel::Step(std::int64_t delta) { return MoveTo(std::int64_t(FPosition) + delta); }

bool ScrollBarModel::MoveTo(std::int64_t value) { return SetPosition(ClampToInt(value)); }

int ScrollBarModel::ScrollTarget(int code, int track) const {
  std::int64_t pos = FPosition;
  switch (code) {
    case LineUp: pos -= std::int64_t(FSmallChange); break;
    case LineDown: pos += std::int64_t(FSmallChange); break;
    case PageUp: pos -= std::int64_t(FLargeChange); break;
    case PageDown: pos += std::int64_t(FLargeChange); break;
    case ThumbPosition:
    case ThumbTrack: pos = track; break;
    case Top: pos = FMin; break;
    case Bottom: pos = FMax; break;
    default: break;
  }
  return static_cast<int>(std::clamp<std::int64_t>(pos, FMin, std::max(FMin, FMax)));
}

bool ScrollBarModel::NotifyChange(int oldPosition) {
  if (FEventsSuspended || FTrackHeld) return true;
  return FHost.NotifyHost(oldPosition) && FHost.Scrolled(FLastScrollCode, FPosition) && FHost.Changed();
}

TScrollBarLayout ScrollBarModel::Layout() const {
  TScrollBarLayout l;
  const int len = Length();
  const int half = len / 2;
  const int a = FArrowSize;
  l.ArrowSize = a;
  const int firstEnd = std::min(a, half);
  const int secondStart = a > half ? half : len - a;

  const std::int64_t track = std::int64_t(len) - 2 * std::int64_t(a);
  if (FPageSize == 0) {
    l.SliderLength = MinSliderLength;
  } else {
    // Span + PageSize > 0 here: the page is positive and an inverted range counts as empty.
    const double share = double(track) * FPageSize / (double(Span()) + FPageSize);
    l.SliderLength = static_cast<int>(RoundEven(std::max<double>(MinSliderLength, share)));
  }
  const int sl = l.SliderLength;
  const std::int64_t free = track - sl;
  std::int64_t center;
  if (!FEnabled) {
    center = half;
  } else if (Span() == 0 || free <= 0) {
    // Nowhere to move: the slider rests at the start of the track.
    center = a + sl / 2;
  } else {
    center = a + sl / 2 + RoundEven(double(free) / Span() * (double(FPosition) - FMin));
  }
  const int c = ClampToInt(center);
  const int sliderStart = ClampToInt(center - sl / 2);
  const int sliderEnd = ClampToInt(std::int64_t(sliderStart) + sl);
  l.SliderShown = std::int64_t(secondStart) - firstEnd >= sl;

  if (FOrientation == TScrollBarOrientation::Vertical) {
    l.FirstArrow = {0, 0, FWidth, firstEnd};
    l.SecondArrow = {0, secondStart, FWidth, FHeight};
    l.TrackBefore = {0, 0, FWidth, c};
    l.TrackAfter = {0, c, FWidth, FHeight};
    l.Slider = {0, sliderStart, FWidth, sliderEnd};
  } else {
    l.FirstArrow = {0, 0, firstEnd, FHeight};
    l.SecondArrow = {secondStart, 0, FWidth, FHeight};
    l.TrackBefore = {0, 0, c, FHeight};
    l.TrackAfter = {c, 0, FWidth, FHeight};
    l.Slider = {sliderStart, 0, sliderEnd, FHeight};
  }
  return l;
}

std::int64_t ScrollBarModel::PositionAt(TScrollPoint p) const {
  const TScrollBarLayout l = Layout();
  const std::int64_t free = std::int64_t(Length()) - 2 * std::int64_t(l.ArrowSize) - l.SliderLength;
  if (!FEnabled || Span() == 0 || free <= 0) return FMin;
  const double along = double(Coordinate(p)) - l.ArrowSize - l.SliderLength / 2.0;
  return FMin + RoundEven(along * Span() / double(free));
}

int ScrollBarModel::PointToPosition(TScrollPoint p) const { return ClampToInt(PositionAt(p)); }

void ScrollBarModel::SetPartStateOnly(TScrollBarPart part, TScrollPartState state) {
  TScrollPartState& s = FStates[Index(part)];
  if (s == state) return;
  s = state;
  FDirty = true;
}

// A hot or pressed part leaves every other part normal, but for the tracks: the pointer is over
// the bar.
void ScrollBarModel::SetPartState(TScrollBarPart part, TScrollPartState state) {
  SetPartStateOnly(part, state);
  if (state == TScrollPartState::Normal) return;
  for (int i = 0; i < ScrollBarPartCount; ++i) {
    if (i == Index(part)) continue;
    SetPartStateOnly(static_cast<TScrollBarPart>(i), IsTrack(i) ? TScrollPartState::Hot : TScrollPartState::Normal);
  }
}

void ScrollBarModel::StartRepeat(TRepeat kind) {
  FRepeat = kind;
  FNextRepeat = FClock() + FirstRepeatDelay;
}

bool ScrollBarModel::MouseDown(TScrollPoint p) {
  FPressed = true;
  FLastPoint = p;
  FGrabOffset = 0;
  FRepeat = TRepeat::None;
  const TScrollBarLayout l = Layout();
  if (On(l.FirstArrow, p)) {
    FLastScrollCode = TScrollAction::LineUp;
    SetPartState(TScrollBarPart::FirstArrow, TScrollPartState::Pressed);
    if (FPosition == FMin) return true;
    if (!Step(-std::int64_t(FSmallChange))) return false;
    StartRepeat(TRepeat::Arrow);
  } else if (On(l.SecondArrow, p)) {
    FLastScrollCode = TScrollAction::LineDown;
    SetPartState(TScrollBarPart::SecondArrow, TScrollPartState::Pressed);
    if (FPosition == FMax) return true;
    if (!Step(FSmallChange)) return false;
    StartRepeat(TRepeat::Arrow);
  } else if (l.SliderShown && On(l.Slider, p)) {
    FLastScrollCode = TScrollAction::Track;
    if (!FSmooth && !FTrackHeld) {
      FTrackHeld = true;
      FTrackStartPosition = FPosition;
    }
    FGrabOffset = ClampToInt(PositionAt(p) - FPosition);
    SetPartState(TScrollBarPart::Slider, TScrollPartState::Pressed);
  } else if (On(l.TrackBefore, p)) {
    FLastScrollCode = TScrollAction::PageUp;
    SetPartState(TScrollBarPart::TrackBefore, TScrollPartState::Pressed);
    if (!Step(-std::int64_t(FLargeChange))) return false;
    StartRepeat(TRepeat::Page);
  } else {
    FLastScrollCode = TScrollAction::PageDown;
    SetPartState(TScrollBarPart::TrackAfter, TScrollPartState::Pressed);
    if (!Step(FLargeChange)) return false;
    StartRepeat(TRepeat::Page);
  }
  return true;
}

bool ScrollBarModel::EndTrack() {
  if (!FTrackHeld) return true;
  FTrackHeld = false;
  const int start = std::exchange(FTrackStartPosition, 0);
  return FPosition == start || NotifyChange(start);
}

bool ScrollBarModel::MouseUp(TScrollPoint p) {
  if (!FPressed) return true;
  FPressed = false;
  FRepeat = TRepeat::None;
  if (PartState(TScrollBarPart::Slider) == TScrollPartState::Pressed) {
    FLastScrollCode = TScrollAction::Position;
    SetPartStateOnly(TScrollBarPart::TrackBefore, TScrollPartState::Hot);
    SetPartStateOnly(TScrollBarPart::TrackAfter, TScrollPartState::Hot);
    if (!MoveTo(PositionAt(p) - FGrabOffset)) return false;
    const bool onSlider = On(Layout().Slider, p);
    SetPartState(TScrollBarPart::Slider, onSlider ? TScrollPartState::Hot : TScrollPartState::Normal);
    return EndTrack();
  }
  // A pressed arrow or track is hot under the pointer, else normal.
  const TScrollBarLayout l = Layout();
  const TRect rects[ScrollBarPartCount] = {l.FirstArrow, l.TrackAfter, l.SecondArrow, l.TrackBefore, l.Slider};
  for (int i = 0; i < ScrollBarPartCount; ++i) {
    if (FStates[i] != TScrollPartState::Pressed) continue;
    SetPartState(static_cast<TScrollBarPart>(i), On(rects[i], p) ? TScrollPartState::Hot : TScrollPartState::Normal);
  }
  return true;
}

bool ScrollBarModel::CaptureLost() { return !FPressed || MouseUp(FLastPoint); }

bool ScrollBarModel::MouseMove(TScrollPoint p) {
  FLastPoint = p;
  if (PartState(TScrollBarPart::Slider) == TScrollPartState::Pressed) {
    const std::int64_t value = PositionAt(p) - FGrabOffset;
    return value == FPosition || MoveTo(value);
  }
  const TScrollBarLayout l = Layout();
  auto hover = [&](TScrollBarPart part) {
    if (PartState(part) != TScrollPartState::Pressed) SetPartState(part, TScrollPartState::Hot);
  };
  if (l.SliderShown && On(l.Slider, p)) {
    hover(TScrollBarPart::Slider);
  } else if (On(l.FirstArrow, p)) {
    hover(TScrollBarPart::FirstArrow);
  } else if (On(l.SecondArrow, p)) {
    hover(TScrollBarPart::SecondArrow);
  } else {
    SetPartStateOnly(TScrollBarPart::Slider, TScrollPartState::Normal);
    SetPartStateOnly(TScrollBarPart::FirstArrow, TScrollPartState::Normal);
    SetPartStateOnly(TScrollBarPart::SecondArrow, TScrollPartState::Normal);
  }
  return true;
}

void ScrollBarModel::MouseEnter() {
  for (TScrollBarPart track : {TScrollBarPart::TrackBefore, TScrollBarPart::TrackAfter})
    if (PartState(track) != TScrollPartState::Pressed) SetPartStateOnly(track, TScrollPartState::Hot);
}

void ScrollBarModel::MouseLeave() {
  SetPartStateOnly(TScrollBarPart::FirstArrow, TScrollPartState::Normal);
  SetPartStateOnly(TScrollBarPart::SecondArrow, TScrollPartState::Normal);
  if (PartState(TScrollBarPart::Slider) == TScrollPartState::Pressed) return;
  SetPartStateOnly(TScrollBarPart::Slider, TScrollPartState::Normal);
  SetPartStateOnly(TScrollBarPart::TrackBefore, TScrollPartState::Normal);
  SetPartStateOnly(TScrollBarPart::TrackAfter, TScrollPartState::Normal);
}

bool ScrollBarModel::KeyDown(TScrollKey key) {
  switch (key) {
    case TScrollKey::PageUp: return Step(-std::int64_t(FLargeChange));
    case TScrollKey::PageDown: return Step(FLargeChange);
    case TScrollKey::End: return SetPosition(FMax);
    case TScrollKey::Home: return SetPosition(FMin);
    case TScrollKey::LineUp: return Step(-std::int64_t(FSmallChange));
    case TScrollKey::LineDown: return Step(FSmallChange);
  }
  return true;
}

bool ScrollBarModel::RepeatTick(TScrollPoint cursor) {
  if (FRepeat == TRepeat::None) return true;
  const std::int64_t now = FClock();
  if (now < FNextRepeat) return true;
  bool alive = true;
  const TRepeat kind = FRepeat;
  FRepeat = TRepeat::None;
  if (kind == TRepeat::Arrow) {
    if (PartState(TScrollBarPart::FirstArrow) == TScrollPartState::Pressed) {
      FRepeat = kind;
      alive = Step(-std::int64_t(FSmallChange));
    } else if (PartState(TScrollBarPart::SecondArrow) == TScrollPartState::Pressed) {
      FRepeat = kind;
      alive = Step(FSmallChange);
    }
  } else {
    // The track pages until the slider reaches the pointer.
    const std::int64_t under = PositionAt(cursor);
    if (PartState(TScrollBarPart::TrackBefore) == TScrollPartState::Pressed && under < FPosition) {
      FRepeat = kind;
      alive = Step(-std::int64_t(FLargeChange));
    } else if (PartState(TScrollBarPart::TrackAfter) == TScrollPartState::Pressed && under > FPosition) {
      FRepeat = kind;
      alive = Step(FLargeChange);
    }
  }
  if (alive) FNextRepeat = now + RepeatInterval;
  return alive;
}

std::optional<int> ScrollBarModel::RepeatDelay() const {
  if (FRepeat == TRepeat::None) return std::nullopt;
  return ClampToInt(std::max<std::int64_t>(0, FNextRepeat - FClock()));
}

bool ScrollBarModel::FillUsable(const TScrollInfoFill& info) {
  const std::int64_t top = std::int64_t(info.Max) - info.Page + 1;
  return info.Enabled && info.Max >= info.Min && top > info.Min;
}

void ScrollBarModel::ApplyFill(const TScrollInfoFill& info) {
  const int page = ClampToInt(info.Page);
  int min = 0, max = 1, position = 0, large = FLargeChange, small = FSmallChange;
  const bool usable = FillUsable(info);
  if (usable) {
    min = info.Min;
    max = ClampToInt(std::int64_t(info.Max) - info.Page + 1);
    position = std::clamp(info.Pos, min, max);
    large = page > 0 ? page : 1;
    small = 16;
  }
  if (min != FMin || max != FMax || position != FPosition || page != FPageSize || usable != FEnabled) FDirty = true;
  FMin = min;
  FMax = max;
  FPosition = position;
  FPageSize = page;
  FLargeChange = large;
  FSmallChange = small;
  FEnabled = usable;
}

bool ScrollBarModel::FillFromScrollInfo(const TScrollInfoFill& info, const std::function<void(bool usable)>& show) {
  if (FFilling) {
    FPendingFill = info;
    return FillUsable(info);
  }
  FFilling = true;
  std::optional<TScrollInfoFill> next = info;
  // Each show may ask for one more fill; a host that keeps asking is cut off.
  for (int round = 0; next && round < 8; ++round) {
    ApplyFill(*next);
    next.reset();
    if (show) show(FEnabled);
    next = std::exchange(FPendingFill, std::nullopt);
  }
  FFilling = false;
  return FEnabled;
}
