#include "framework/base/FloatFormat.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "framework/base/AnsiStrings.h"
#include "framework/base/Exception.h"

namespace {

std::string NonFinite(double value) {
  if (std::isnan(value)) return "NAN";
  return value < 0 ? "-INF" : "INF";
}

// The decimal digits of |value| rounded to `significant` digits, and its decimal exponent.
struct TDigits {
  std::string Digits;  // no leading zero, trailing zeros removed ("" for zero)
  int Exponent = 0;    // value = 0.d1d2... x 10^(Exponent + 1)
};

TDigits SignificantDigits(double value, int significant) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*e", significant - 1, std::fabs(value));
  TDigits d;
  const char* p = buf;
  for (; *p && *p != 'e'; ++p)
    if (*p >= '0' && *p <= '9') d.Digits += *p;
  if (*p == 'e') d.Exponent = std::atoi(p + 1);
  while (!d.Digits.empty() && d.Digits.back() == '0') d.Digits.pop_back();
  return d;
}

std::string Grouped(const std::string& digits, char separator) {
  std::string out;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += separator;
    out += digits[i];
  }
  return out;
}

std::string General(double value, int precision, const TFormatSettings& fs) {
  precision = std::clamp(precision, 1, 17);
  const TDigits d = SignificantDigits(value, precision);
  if (d.Digits.empty()) return "0";
  std::string out = value < 0 ? "-" : "";
  if (d.Exponent >= precision || d.Exponent < -5) {
    out += d.Digits[0];
    if (d.Digits.size() > 1) out += fs.DecimalSeparator + d.Digits.substr(1);
    return out + "E" + std::to_string(d.Exponent);
  }
  if (d.Exponent < 0) return out + "0" + fs.DecimalSeparator + std::string(size_t(-d.Exponent - 1), '0') + d.Digits;
  const size_t intDigits = size_t(d.Exponent) + 1;
  if (d.Digits.size() <= intDigits) return out + d.Digits + std::string(intDigits - d.Digits.size(), '0');
  return out + d.Digits.substr(0, intDigits) + fs.DecimalSeparator + d.Digits.substr(intDigits);
}

// "%.*f" of |value| split at the point.
void FixedParts(double value, int decimals, std::string& intPart, std::string& fracPart) {
  std::vector<char> buf(400);
  std::snprintf(buf.data(), buf.size(), "%.*f", decimals, std::fabs(value));
  const std::string text = buf.data();
  const size_t point = text.find('.');
  intPart = text.substr(0, point);
  fracPart = point == std::string::npos ? "" : text.substr(point + 1);
}

bool AllZeros(const std::string& a, const std::string& b) {
  return a.find_first_not_of('0') == std::string::npos && b.find_first_not_of('0') == std::string::npos;
}

std::string Fixed(double value, int precision, int digits, bool thousands, const TFormatSettings& fs) {
  precision = std::clamp(precision, 1, 17);
  digits = std::clamp(digits, 0, 18);
  if (std::fabs(value) >= std::pow(10.0, precision)) return General(value, precision, fs);
  std::string intPart, fracPart;
  FixedParts(value, digits, intPart, fracPart);
  std::string out = value < 0 && !AllZeros(intPart, fracPart) ? "-" : "";
  out += thousands ? Grouped(intPart, fs.ThousandSeparator) : intPart;
  if (!fracPart.empty()) out += fs.DecimalSeparator + fracPart;
  return out;
}

std::string Exponent(double value, int precision, int digits, const TFormatSettings& fs) {
  precision = std::clamp(precision, 1, 17);
  digits = std::clamp(digits, 0, 4);
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*e", precision - 1, std::fabs(value));
  std::string text = buf;
  const size_t e = text.find('e');
  const int exponent = std::atoi(text.c_str() + e + 1);
  std::string mantissa = text.substr(0, e);
  if (const size_t point = mantissa.find('.'); point != std::string::npos) mantissa[point] = fs.DecimalSeparator;
  std::string exp = std::to_string(std::abs(exponent));
  if (int(exp.size()) < digits) exp.insert(0, size_t(digits) - exp.size(), '0');
  return (value < 0 ? "-" : "") + mantissa + "E" + (exponent < 0 ? "-" : "+") + exp;
}

// The sections of a picture format, split at ";" outside quotes.
std::vector<std::string> Sections(const std::string& format) {
  std::vector<std::string> sections(1);
  char quote = 0;
  for (char c : format) {
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '\'' || c == '"') {
      quote = c;
    } else if (c == ';') {
      if (sections.size() == 3) break;
      sections.emplace_back();
      continue;
    }
    sections.back() += c;
  }
  return sections;
}

bool IsExponentAt(const std::string& s, size_t i) {
  return (s[i] == 'E' || s[i] == 'e') && i + 2 < s.size() && (s[i + 1] == '+' || s[i + 1] == '-') && s[i + 2] == '0';
}

struct TPicture {
  int IntPlaceholders = 0;
  int MinInt = 0;
  bool Thousands = false;
  int Decimals = 0;
  int MinDecimals = 0;
  bool Scientific = false;
  int ExpDigits = 0;
};

TPicture ParsePicture(const std::string& s) {
  TPicture p;
  bool afterPoint = false, zeroSeen = false;
  char quote = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    if (quote) {
      if (c == quote) quote = 0;
      continue;
    }
    if (c == '\'' || c == '"') {
      quote = c;
    } else if (c == '0' || c == '#') {
      if (afterPoint) {
        ++p.Decimals;
        if (c == '0') p.MinDecimals = p.Decimals;
      } else {
        ++p.IntPlaceholders;
        zeroSeen = zeroSeen || c == '0';
        if (zeroSeen) ++p.MinInt;
      }
    } else if (c == '.' && !afterPoint) {
      afterPoint = true;
    } else if (c == ',' && !afterPoint) {
      p.Thousands = true;
    } else if (!p.Scientific && IsExponentAt(s, i)) {
      p.Scientific = true;
      i += 2;
      while (i < s.size() && s[i] == '0') ++p.ExpDigits, ++i;
      --i;
    }
  }
  return p;
}

std::string FormatSection(const std::string& s, const TPicture& p, const std::string& intDigits,
                          const std::string& fracDigits, const std::string& expText, const TFormatSettings& fs) {
  std::string out;
  const int count = int(intDigits.size());
  int intIndex = 0;
  size_t fracIndex = 0;
  bool afterPoint = false, digitShown = false, exponentDone = false;
  char quote = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    if (quote) {
      if (c == quote) quote = 0;
      else out += c;
      continue;
    }
    if (c == '\'' || c == '"') {
      quote = c;
    } else if ((c == '0' || c == '#') && !afterPoint) {
      const int k = intIndex++;
      if (p.Thousands) {
        if (k == 0) out += Grouped(intDigits, fs.ThousandSeparator);
        digitShown = !intDigits.empty();
        continue;
      }
      // Placeholders take the digits right-aligned; the first takes every digit beyond them.
      const int first = k - (p.IntPlaceholders - count);
      if (k == 0 && count > p.IntPlaceholders) out += intDigits.substr(0, size_t(count - p.IntPlaceholders + 1));
      else if (first >= 0 && first < count) out += intDigits[size_t(first)];
      else continue;
      digitShown = true;
    } else if (c == '.' && !afterPoint) {
      afterPoint = true;
      if (intIndex == 0) out += intDigits;
      if (!fracDigits.empty()) out += fs.DecimalSeparator;
    } else if ((c == '0' || c == '#') && afterPoint) {
      if (fracIndex < fracDigits.size()) out += fracDigits[fracIndex];
      ++fracIndex;
    } else if (c == ',' && !afterPoint) {
      // asks for thousand separators; shows nothing here
    } else if (p.Scientific && !exponentDone && IsExponentAt(s, i)) {
      exponentDone = true;
      out += c;
      out += expText;
      i += 2;
      while (i < s.size() && s[i] == '0') ++i;
      --i;
    } else if (!afterPoint && intIndex > 0 && intIndex < p.IntPlaceholders && !digitShown) {
      // a character between integer placeholders before any digit
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace

TFormatSettings& FormatSettings() {
  static TFormatSettings settings;
  return settings;
}

std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits, const TFormatSettings& settings) {
  if (!std::isfinite(value)) return NonFinite(value);
  switch (format) {
    case TFloatFormat::ffGeneral: return General(value, precision, settings);
    case TFloatFormat::ffExponent: return Exponent(value, precision, digits, settings);
    case TFloatFormat::ffFixed: return Fixed(value, precision, digits, false, settings);
    case TFloatFormat::ffNumber: return Fixed(value, precision, digits, true, settings);
  }
  return General(value, precision, settings);
}

std::string FloatToStr(double value, const TFormatSettings& settings) {
  return FloatToStrF(value, TFloatFormat::ffGeneral, 15, 0, settings);
}

std::string FormatFloat(const std::string& format, double value, const TFormatSettings& settings) {
  if (format.empty() || !std::isfinite(value)) return FloatToStr(value, settings);
  const std::vector<std::string> sections = Sections(format);
  bool negativeSection = value < 0 && sections.size() >= 2 && !sections[1].empty();
  const std::string* section = negativeSection ? &sections[1] : &sections[0];
  TPicture picture = ParsePicture(*section);

  std::string intDigits, fracDigits, expText;
  auto digitsFor = [&](double v) {
    if (picture.Scientific) {
      const int decimals = std::min(picture.Decimals, 17);
      char buf[64];
      std::snprintf(buf, sizeof buf, "%.*e", decimals, std::fabs(v));
      const std::string text = buf;
      const size_t e = text.find('e');
      intDigits = text.substr(0, 1);
      fracDigits = decimals > 0 ? text.substr(2, e - 2) : "";
      const int exponent = std::atoi(text.c_str() + e + 1);
      std::string exp = std::to_string(std::abs(exponent));
      if (int(exp.size()) < picture.ExpDigits) exp.insert(0, size_t(picture.ExpDigits) - exp.size(), '0');
      const size_t at = section->find_first_of("Ee");
      const bool plus = at != std::string::npos && at + 1 < section->size() && (*section)[at + 1] == '+';
      expText = (exponent < 0 ? "-" : plus ? "+" : "") + exp;
    } else {
      FixedParts(v, std::min(picture.Decimals, 18), intDigits, fracDigits);
    }
  };
  digitsFor(value);
  const bool zero = AllZeros(intDigits, fracDigits);
  if (zero && sections.size() >= 3 && !sections[2].empty()) {
    section = &sections[2];
    picture = ParsePicture(*section);
    negativeSection = true;  // no sign
    digitsFor(0.0);
  }
  while (fracDigits.size() > size_t(picture.MinDecimals) && fracDigits.back() == '0') fracDigits.pop_back();
  if (intDigits == "0") intDigits.clear();
  if (int(intDigits.size()) < picture.MinInt) intDigits.insert(0, size_t(picture.MinInt) - intDigits.size(), '0');
  const std::string sign = value < 0 && !negativeSection && !zero ? "-" : "";
  return sign + FormatSection(*section, picture, intDigits, fracDigits, expText, settings);
}

bool TryStrToFloat(const std::string& text, double& value, const TFormatSettings& settings) {
  const std::string s = Trim(text);
  std::string c;
  size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) c += s[i++];
  int digits = 0;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i, ++digits) c += s[i];
  if (i < s.size() && s[i] == settings.DecimalSeparator) {
    c += '.';
    for (++i; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i, ++digits) c += s[i];
  }
  if (digits == 0) return false;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    c += 'e';
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) c += s[i++];
    int expDigits = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i, ++expDigits) c += s[i];
    if (expDigits == 0) return false;
  }
  if (i != s.size()) return false;
  errno = 0;
  const double v = std::strtod(c.c_str(), nullptr);
  if (errno == ERANGE && std::isinf(v)) return false;
  value = v;
  return true;
}

double StrToFloat(const std::string& text, const TFormatSettings& settings) {
  double value = 0;
  if (!TryStrToFloat(text, value, settings)) throw EConvertError("'" + text + "' is not a valid floating point value");
  return value;
}
