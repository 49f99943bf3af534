#include "skin/controls/core/SpinModel.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <limits>

namespace SpinModel {

namespace {

constexpr std::int64_t IntMin = std::numeric_limits<int>::min();
constexpr std::int64_t IntMax = std::numeric_limits<int>::max();

}  // namespace

int Clamp(std::int64_t value, int min, int max) {
  if (min != max) {
    if (value < min) return min;
    if (value > max) return max;
  }
  return static_cast<int>(std::clamp(value, IntMin, IntMax));
}

int Step(int value, int increment, TDirection direction, int min, int max) {
  const std::int64_t delta = direction == TDirection::Up ? std::int64_t(increment) : -std::int64_t(increment);
  return Clamp(std::clamp(std::int64_t(value) + delta, IntMin, IntMax), min, max);
}

int ValueOfText(const std::string& text, int min) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i == text.size()) return min;
  std::int64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(text[i]))) return min;
    magnitude = magnitude * 10 + (text[i] - '0');
    if (magnitude > IntMax + 1) return min;  // bounded: the loop stops long before overflow
  }
  const std::int64_t value = negative ? -magnitude : magnitude;
  return value > IntMax ? min : static_cast<int>(value);
}

bool KeyAccepted(char key, TKeys keys, bool editorEnabled, char decimalSeparator) {
  const unsigned char k = static_cast<unsigned char>(key);
  const bool control = k < 32;
  bool inSet = k >= '0' && k <= '9';
  if (keys == TKeys::Signed) inSet = inSet || key == '+' || key == '-' || key == decimalSeparator;
  if (!inSet && (!control || key == '\r')) return false;
  return editorEnabled || (control && key != '\b');
}

TButtonLayout ButtonLayout(int width, int height) {
  TButtonLayout l;
  l.Width = std::max(width, MinWidth);
  const int up = height / 2;
  l.Up = TRect{0, 0, l.Width, up};
  l.Down = TRect{0, up, l.Width, height};
  return l;
}

int MinEditHeight(int fontTextHeight, int systemTextHeight, int borderHeight) {
  return fontTextHeight + std::min(systemTextHeight, fontTextHeight) / 4 + 4 * borderHeight + 2;
}

std::array<TPoint, 3> Arrow(TDirection direction, const TRect& client) {
  const int x0 = client.Width() / 2 - 7 + client.Left;
  const int y0 = client.Height() / 2 - 3 + client.Top;
  if (direction == TDirection::Up) return {TPoint{x0 + 3, y0 + 3}, TPoint{x0 + 9, y0 + 3}, TPoint{x0 + 6, y0}};
  return {TPoint{x0 + 3, y0}, TPoint{x0 + 9, y0}, TPoint{x0 + 6, y0 + 3}};
}

void TRepeat::Press(std::int64_t now) {
  FRunning = true;
  FDue = now + FirstDelay;
}

bool TRepeat::Tick(std::int64_t now) {
  if (!FRunning || now < FDue) return false;
  FDue = now + Interval;
  return true;
}

int TRepeat::Delay(std::int64_t now) const {
  if (!FRunning) return 0;
  return static_cast<int>(std::clamp<std::int64_t>(FDue - now, 1, FirstDelay));
}

}  // namespace SpinModel
