#include "skin/controls/core/NumEditText.h"

#include <algorithm>
#include <cmath>

namespace NumEditText {

std::string TextToValText(const std::string& text, const TFormatSettings& fs) {
  std::string s = text;
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.pop_back();
  if (fs.DecimalSeparator != fs.ThousandSeparator) s.erase(std::remove(s.begin(), s.end(), fs.ThousandSeparator), s.end());
  for (char c : {'.', ','})
    if (c != fs.DecimalSeparator && c != fs.ThousandSeparator) std::replace(s.begin(), s.end(), c, fs.DecimalSeparator);
  if (s.empty()) return "0";
  if (s == "-") return "-0";
  return s;
}

double CheckValue(double value, double min, double max) {
  if (min == max) return value;
  if (min < max) return std::clamp(value, min, max);
  if (max == 0) return std::max(value, min);
  if (min == 0) return std::min(value, max);
  return value;
}

char TranslateKey(char key, const TFormatSettings& fs) {
  if ((key == '.' || key == ',') && key != fs.ThousandSeparator) return fs.DecimalSeparator;
  return key;
}

bool IsValidChar(const TKeyCheck& check, char key, const TFormatSettings& fs) {
  std::string s = check.Text;
  const size_t start = std::min(size_t(std::max(check.SelStart, 0)), s.size());
  const size_t length = std::min(size_t(std::max(check.SelLength, 0)), s.size() - start);
  s.replace(start, length, 1, key);
  s = TextToValText(s, fs);
  if (const size_t point = s.find(fs.DecimalSeparator); point != std::string::npos) {
    if (check.DecimalPlaces == 0) return false;
    const size_t e = s.find_first_of("Ee", point);
    const size_t decimals = (e == std::string::npos ? s.size() : e) - point - 1;
    if (decimals > check.DecimalPlaces) return false;
  }
  double value = 0;
  if (!TryStrToFloat(s, value, fs)) return false;
  // "-" alone reads as -0, which compares equal to 0: the sign bit tells.
  if (check.MinValue >= 0 && check.MaxValue > 0 && std::signbit(value)) return false;
  return true;
}

std::string EditFormat(unsigned decimalPlaces) {
  if (decimalPlaces == 0) return "0";
  return "0." + std::string(std::min(decimalPlaces, 18u), '#');
}

int ReformattedCaret(int caret, int oldLength, int newLength) {
  return std::clamp(caret + (newLength - oldLength), 0, std::max(newLength, 0));
}

}  // namespace NumEditText
