#pragma once

#include <cstdint>

// Which arrow of a skinned up-down is lit or pressed, following the mouse. The first arrow is the
// upper (vertical) or left (horizontal) one; each arrow has a bound, the position at which it
// cannot move further, and with ShowInaccessibility an arrow at its bound neither lights nor
// presses.
class TUpDownModel {
public:
  enum class TArrow { First, Second };
  // 0 none lit, 1 first hot, 2 second hot, 3 first pressed, 4 second pressed.
  using TState = std::uint8_t;

  bool Vertical = true;
  bool ShowInaccessibility = true;
  int Min = 0, Max = 100, Position = 0;

  TState State() const { return FState; }
  bool Pressed() const { return FPressed; }
  int Bound(TArrow arrow) const;
  bool AtBound(TArrow arrow) const { return Position == Bound(arrow); }

  // The mouse over an arrow (hit test); True when the control repaints.
  bool MouseOver(TArrow arrow);
  void Press();
  // False when the release changes nothing (no press, or the arrow stays at its bound).
  bool Release();
  void Leave();

  // The frame an arrow is painted in: 0 normal, 1 hot, 2 pressed.
  int PaintState(TArrow arrow) const;
  // The arrow shows the disabled look.
  bool Dimmed(TArrow arrow, bool enabled) const { return !enabled || (ShowInaccessibility && AtBound(arrow)); }

private:
  TState FState = 0;
  bool FPressed = false;
};
