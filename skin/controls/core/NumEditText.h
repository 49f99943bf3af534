#pragma once

#include <string>

#include "framework/base/FloatFormat.h"

// The text rules of the numeric edit, apart from any window.
namespace NumEditText {

// Typed text as the float parser takes it: trailing blanks cut; thousand separators removed when
// they differ from the decimal one; "." and "," read as the decimal separator unless one of them is
// a separator already; "" becomes "0" and a lone "-" becomes "-0".
std::string TextToValText(const std::string& text, const TFormatSettings& fs);

// The value kept within its bounds: none when they are equal; with min < max both; with min > max
// only the lower one when max is 0, only the upper one when min is 0, else none.
double CheckValue(double value, double min, double max);

// What the edit asks of a typed character.
struct TKeyCheck {
  std::string Text;   // the edit's text
  int SelStart = 0;   // the selection the key replaces
  int SelLength = 0;
  unsigned DecimalPlaces = 2;
  double MinValue = 0, MaxValue = 0;
};
// The key as typed: "," or "." that is not the thousand separator is the decimal separator.
char TranslateKey(char key, const TFormatSettings& fs);
// The text with the selection replaced by key is a number the edit accepts: at most DecimalPlaces
// digits after the decimal separator (which needs DecimalPlaces above 0), a valid float, and not
// negative (negative zero included) when the bounds are 0 or more with a positive maximum.
bool IsValidChar(const TKeyCheck& check, char key, const TFormatSettings& fs);

// The format of the text while editing: "0", then "." and one "#" per decimal place.
std::string EditFormat(unsigned decimalPlaces);

// The caret after the text was reformatted from oldLength to newLength characters: moved by the
// change in length, kept within the new text.
int ReformattedCaret(int caret, int oldLength, int newLength);

}  // namespace NumEditText
