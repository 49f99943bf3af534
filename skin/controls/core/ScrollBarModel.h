#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "framework/base/TRect.h"

// The behaviour of a skinned scroll bar without its window: range and position rules, the reports
// they make and in which order, the layout of arrows, tracks and slider, the part states, mouse
// presses, drags and releases, keys, the auto-repeat and how a host fills the bar from the
// platform's scroll information. The control feeds it messages in client coordinates, paints what
// Layout() and PartState() say, and repaints when TakeDirty() answers true.

enum class TScrollBarOrientation { Horizontal, Vertical };

// The parts, in the order their states are kept.
enum class TScrollBarPart { FirstArrow, TrackAfter, SecondArrow, TrackBefore, Slider };
constexpr int ScrollBarPartCount = 5;

enum class TScrollPartState { Normal = 0, Hot = 1, Pressed = 2 };

// The scroll code of the last mouse action, as reported to OnScroll.
enum class TScrollAction : int { None = -1, LineUp = 0, LineDown = 1, PageUp = 2, PageDown = 3, Position = 4, Track = 5 };

enum class TScrollKey { PageUp, PageDown, End, Home, LineUp, LineDown };

// Which rules a range or position change follows: the standard bar's (an inverted range is the
// caller's error to raise) or the skinned bar's (an error box, then the work goes on).
enum class TScrollRules { Standard, Skinned };

struct TScrollPoint {
  int X = 0;
  int Y = 0;
};

struct TScrollBarLayout {
  TRect FirstArrow, SecondArrow, TrackBefore, TrackAfter, Slider;
  int ArrowSize = 0;
  int SliderLength = 0;
  // The slider fits between the arrows.
  bool SliderShown = false;
};

// The platform's scroll information of a host window (SCROLLINFO's fields).
struct TScrollInfoFill {
  int Min = 0;
  int Max = 0;
  unsigned Page = 0;
  int Pos = 0;
  bool Enabled = true;
};

// What the model reports to its control, and asks of it. Every report answers false when the
// control was freed by the call; the model then stops at once.
class TScrollBarModelHost {
public:
  virtual ~TScrollBarModelHost() = default;
  // The linked host control's handler (HostNotify), with the position before the change.
  virtual bool NotifyHost(int oldPosition) = 0;
  // OnScroll with the code of the last mouse action and the new position.
  virtual bool Scrolled(TScrollAction code, int position) = 0;
  // OnChange.
  virtual bool Changed() = 0;
  // Who the bar is in error texts: "Owner=<host name>" for a linked bar, else its own name.
  virtual std::string NameForErrors() const = 0;
};

using TScrollBarClock = std::function<std::int64_t()>;  // milliseconds
using TScrollBarErrorSink = std::function<void(const std::string& text)>;

class ScrollBarModel {
public:
  static constexpr int MinSliderLength = 14;
  static constexpr int FirstRepeatDelay = 500;
  static constexpr int RepeatInterval = 100;

  ScrollBarModel(TScrollBarModelHost& host, TScrollBarClock clock, TScrollBarErrorSink errors);
  ScrollBarModel(const ScrollBarModel&) = delete;
  ScrollBarModel& operator=(const ScrollBarModel&) = delete;

  void SetClock(TScrollBarClock clock) { FClock = std::move(clock); }

  // The text of the skinned bar's box for an inverted or empty range.
  static std::string RangeErrorText(int max, const std::string& name);

  TScrollBarOrientation Orientation() const { return FOrientation; }
  void SetOrientation(TScrollBarOrientation value);
  int Min() const { return FMin; }
  int Max() const { return FMax; }
  int Position() const { return FPosition; }
  int PageSize() const { return FPageSize; }
  // Negative sizes are ignored.
  void SetPageSize(int value);
  int SmallChange() const { return FSmallChange; }
  void SetSmallChange(int value) { FSmallChange = value; }
  int LargeChange() const { return FLargeChange; }
  void SetLargeChange(int value) { FLargeChange = value; }
  // False: a drag reports one change at the release.
  bool Smooth() const { return FSmooth; }
  void SetSmooth(bool value) { FSmooth = value; }
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool value);
  // Held back by a host while it scrolls itself from a report.
  bool EventsSuspended() const { return FEventsSuspended; }
  void SetEventsSuspended(bool value) { FEventsSuspended = value; }
  TScrollAction LastScrollCode() const { return FLastScrollCode; }

  // What changed. Standard rules: false for max < min, and nothing changes (the caller raises);
  // the position change is then the caller's to report. Skinned rules report themselves.
  struct TParamsChange {
    bool Accepted = true;
    bool RangeChanged = false;
    bool Moved = false;
    bool Alive = true;  // false: a report freed the control
  };
  TParamsChange SetParams(int position, int min, int max, TScrollRules rules);
  // The skinned Position setter: a position below Min at Min, or above Max - 1 at Max, changes
  // nothing. False when a report freed the control.
  bool SetPosition(int value);
  // The position a standard scroll code leads to, clamped to the range (a thumb code takes track).
  int ScrollTarget(int code, int track) const;

  // The bar's size in pixels and the system's arrow size along it.
  void SetSize(int width, int height, int arrowSize);
  TScrollBarLayout Layout() const;
  // The position under a point along the bar (Min while disabled or without room to move).
  int PointToPosition(TScrollPoint p) const;
  TScrollPartState PartState(TScrollBarPart part) const { return FStates[static_cast<int>(part)]; }
  // A part took a new state, or the position or range changed, since the last call.
  bool TakeDirty();

  // Input, in client coordinates. Each answers false when a report freed the control: nothing of
  // it may be touched then.
  // The left button went down at p (only while the bar is enabled).
  bool MouseDown(TScrollPoint p);
  // A button went up at p: the end of a press, if one is on.
  bool MouseUp(TScrollPoint p);
  // The capture was taken away mid-press: a release where the pointer was last seen.
  bool CaptureLost();
  // The pointer is at p (hover; a pressed slider follows it).
  bool MouseMove(TScrollPoint p);
  void MouseEnter();
  void MouseLeave();
  // A press is on (from MouseDown to its release).
  bool Pressed() const { return FPressed; }
  bool KeyDown(TScrollKey key);

  // The repeat of a held arrow or track (the first step 500 ms after the press, then every
  // 100 ms): runs its step when due. cursor: the pointer now.
  bool RepeatTick(TScrollPoint cursor);
  // Milliseconds until the repeat wants the next tick; nothing when no repeat runs.
  std::optional<int> RepeatDelay() const;

  // A host's scroll information into the bar as one validated change, no report made: true when
  // there is a range to scroll (the bar is to be enabled, else disabled). show then puts the
  // bar's window in order; a fill asked for meanwhile (show re-entering its host) is applied
  // right after, not inside.
  bool FillFromScrollInfo(const TScrollInfoFill& info, const std::function<void(bool usable)>& show);
  static bool FillUsable(const TScrollInfoFill& info);

private:
  enum class TRepeat { None, Arrow, Page };

  int Span() const;
  int Length() const;
  int Coordinate(TScrollPoint p) const;
  bool On(const TRect& r, TScrollPoint p) const;
  void SetPartState(TScrollBarPart part, TScrollPartState state);
  void SetPartStateOnly(TScrollBarPart part, TScrollPartState state);
  bool Step(std::int64_t delta);
  bool MoveTo(std::int64_t value);
  std::int64_t PositionAt(TScrollPoint p) const;
  void StartRepeat(TRepeat kind);
  bool NotifyChange(int oldPosition);
  bool EndTrack();
  void ApplyFill(const TScrollInfoFill& info);

  TScrollBarModelHost& FHost;
  TScrollBarClock FClock;
  TScrollBarErrorSink FErrors;

  TScrollBarOrientation FOrientation = TScrollBarOrientation::Horizontal;
  int FMin = 0, FMax = 100, FPosition = 0, FPageSize = 0;
  int FSmallChange = 1, FLargeChange = 1;
  bool FSmooth = true;
  bool FEnabled = true;
  bool FEventsSuspended = false;
  int FWidth = 121, FHeight = 17, FArrowSize = 17;

  std::array<TScrollPartState, ScrollBarPartCount> FStates{};
  TScrollAction FLastScrollCode = TScrollAction::None;
  bool FDirty = false;
  bool FPressed = false;
  TScrollPoint FLastPoint;
  int FGrabOffset = 0;
  bool FTrackHeld = false;  // a drag of a bar that is not smooth holds its reports
  int FTrackStartPosition = 0;
  TRepeat FRepeat = TRepeat::None;
  std::int64_t FNextRepeat = 0;
  bool FFilling = false;
  std::optional<TScrollInfoFill> FPendingFill;
};
