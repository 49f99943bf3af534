#include "skin/engine/core/SkinUtils.h"

#include <cmath>
#include <cstdlib>

std::int32_t ClampInt(std::int32_t value, std::int32_t low, std::int32_t high) {
  if (low > value) return low;
  return high < value ? high : value;
}

bool IsBetween(std::int32_t value, std::int32_t low, std::int32_t high) {
  return low <= value && value <= high;
}

std::int32_t ScaleByPercent(std::int32_t v, std::int32_t p) {
  return static_cast<std::int32_t>(std::nearbyint((100.0 - p) * v / 100.0 + p));
}

std::size_t WordStart(std::size_t n, std::string_view s, std::string_view delims) {
  std::size_t count = 0;
  std::size_t i = 0;
  while (i < s.size() && count < n) {
    while (i < s.size() && delims.find(s[i]) != std::string_view::npos) ++i;
    if (i < s.size()) {
      if (++count == n) return i + 1;
      while (i < s.size() && delims.find(s[i]) == std::string_view::npos) ++i;
    }
  }
  return 0;
}

std::string NthWord(std::size_t n, std::string_view s, std::string_view delims) {
  std::size_t start = WordStart(n, s, delims);
  if (start == 0) return {};
  std::size_t i = start - 1;
  std::size_t end = i;
  while (end < s.size() && delims.find(s[end]) == std::string_view::npos) ++end;
  return std::string(s.substr(i, end - i));
}

std::size_t CountWords(std::string_view s, std::string_view delims) {
  std::size_t count = 0;
  bool inWord = false;
  for (char c : s) {
    bool delim = delims.find(c) != std::string_view::npos;
    if (!delim && !inWord) ++count;
    inWord = !delim;
  }
  return count;
}

std::string RepeatChar(char c, std::int32_t n) {
  return n < 1 ? std::string() : std::string(n, c);
}

std::string PadWithChar(char c, const std::string& s, std::size_t n) {
  return s.size() >= n ? s : s + std::string(n - s.size(), c);
}

std::string RemoveChar(std::string_view s, char c) {
  std::string r;
  for (char ch : s)
    if (ch != c) r += ch;
  return r;
}

std::string ReplaceAll(std::string_view s, std::string_view oldText, std::string_view newText) {
  if (oldText.empty()) return std::string(s);
  std::string r;
  std::size_t pos = 0;
  for (;;) {
    std::size_t hit = s.find(oldText, pos);
    if (hit == std::string_view::npos) break;
    r.append(s.substr(pos, hit - pos));
    r.append(newText);
    pos = hit + oldText.size();
  }
  r.append(s.substr(pos));
  return r;
}

std::string TrimLeftSpaces(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  return std::string(s.substr(i));
}

std::string TrimRightSpaces(std::string_view s) {
  std::size_t n = s.size();
  while (n > 0 && s[n - 1] == ' ') --n;
  return std::string(s.substr(0, n));
}

std::string TrimSpaces(std::string_view s) {
  return TrimLeftSpaces(TrimRightSpaces(s));
}

bool ContainsAnyChar(std::string_view s, std::string_view chars) {
  return s.find_first_of(chars) != std::string_view::npos;
}

std::optional<long double> IsValidFloat(std::string_view s, char decimalSeparator) {
  if (s.empty()) return std::nullopt;
  for (char c : s)
    if (!(c == '+' || c == '-' || (c >= '0' && c <= '9') || c == 'E' || c == 'e' || c == decimalSeparator))
      return std::nullopt;
  std::string text(s.substr(0, 63));
  for (char& c : text)
    if (c == decimalSeparator) c = '.';
  char* end = nullptr;
  long double v = std::strtold(text.c_str(), &end);
  if (end != text.c_str() + text.size()) return std::nullopt;
  return v;
}

std::string InsertThousandSeparators(std::string_view s, bool withSeparators, char thousandSeparator,
                                     char decimalSeparator) {
  std::string sign;
  if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
    sign = s.front();
    s.remove_prefix(1);
  }
  std::size_t end = s.size();
  for (std::size_t i = 0; i < s.size(); ++i)
    if (s[i] == decimalSeparator || s[i] == 'E' || s[i] == 'e') {
      end = i;
      break;
    }
  std::string_view integer = s.substr(0, end);
  std::string grouped;
  for (std::size_t i = 0; i < integer.size(); ++i) {
    if (withSeparators && i > 0 && (integer.size() - i) % 3 == 0) grouped += thousandSeparator;
    grouped += integer[i];
  }
  return sign + grouped + std::string(s.substr(end));
}

std::string WithTrailingBackslash(std::string_view s) {
  if (s.empty() || s.back() == '\\') return std::string(s);
  if (s.back() == '/') return std::string(s.substr(0, s.size() - 1)) + "\\";
  if (s.size() == 1) return std::string(s) + ":\\";
  return std::string(s) + "\\";
}

bool IsValidFileName(std::string_view s) {
  return !s.empty() && s.find_first_of("<>\"[]|") == std::string_view::npos;
}

std::string FolderOf(std::string_view path) {
  std::size_t p = path.find_last_of("\\/");
  return p == std::string_view::npos ? std::string() : std::string(path.substr(0, p + 1));
}
