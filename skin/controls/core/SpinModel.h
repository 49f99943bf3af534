#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "framework/base/TRect.h"

// The rules of the integer spin edit and its arrow buttons that need no window: value bounds and
// steps, what the text reads as, which typed keys pass, the layout of the two buttons and their
// drawn arrows, and when a held button repeats its click.

namespace SpinModel {

// value within [min, max]; equal bounds (0 and 0 on the program's forms) leave any value as it is.
int Clamp(std::int64_t value, int min, int max);
// value + increment (down: minus), computed wide, kept within the integer range, then clamped.
enum class TDirection { Up, Down };
int Step(int value, int increment, TDirection direction, int min, int max);
// What the edit's text stands for: min when it is empty or not a decimal integer of the
// integer range (leading blanks and one sign allowed).
int ValueOfText(const std::string& text, int min);

// The keys an editor takes. Digits: 0 to 9 only; Signed: also "+", "-" and the decimal separator.
enum class TKeys { Digits, Signed };
// A printable key outside the set, or Enter, is refused; the rest passes while the editor is
// enabled, and otherwise only control keys other than Backspace do.
bool KeyAccepted(char key, TKeys keys, bool editorEnabled, char decimalSeparator);

// The two buttons in a spin button of width x height; the width is at least MinWidth.
constexpr int MinWidth = 15;
struct TButtonLayout {
  int Width = 0;
  TRect Up, Down;
};
TButtonLayout ButtonLayout(int width, int height);

// The smallest height of the edit: its font's text height, a quarter of the smaller of that and
// the system font's, four borders and two pixels.
int MinEditHeight(int fontTextHeight, int systemTextHeight, int borderHeight);

// The drawn arrow of a button whose client rectangle is client: a small filled triangle.
struct TPoint {
  int X = 0;
  int Y = 0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
};
std::array<TPoint, 3> Arrow(TDirection direction, const TRect& client);

// The repeat of a held button: the first click 400 ms after the press, then one every 100 ms.
class TRepeat {
public:
  static constexpr int FirstDelay = 400;
  static constexpr int Interval = 100;

  void Press(std::int64_t now);
  void Release() { FRunning = false; }
  bool Running() const { return FRunning; }
  // A tick of the timer at now: true when a click is due (the next one is then an interval on).
  bool Tick(std::int64_t now);
  // Milliseconds from now until the next click is due (at least 1); 0 when not running.
  int Delay(std::int64_t now) const;

private:
  bool FRunning = false;
  std::int64_t FDue = 0;
};

}  // namespace SpinModel
