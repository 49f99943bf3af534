#include "framework/base/AnsiStrings.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

#include "framework/base/Exception.h"

namespace {

// Windows-1252 bytes 0x80..0x9F; the five the code page leaves undefined map to the C1 control
// of the same value, so that every byte survives a trip through UTF-16.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool IsDelimiter(char c) { return c == '\\' || c == '/' || c == ':'; }

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }
char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

std::string HexDigits(std::uint64_t value, int digits) {
  std::string out;
  do {
    out.insert(out.begin(), "0123456789ABCDEF"[value & 15]);
    value >>= 4;
  } while (value != 0);
  if (digits > 32) digits = 32;
  if (static_cast<int>(out.size()) < digits) out.insert(0, digits - out.size(), '0');
  return out;
}

}  // namespace

void AppendUtf8(std::string& out, std::uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

void AppendUtf16(WideString& out, std::uint32_t cp) {
  if (cp >= 0x10000) {
    cp -= 0x10000;
    out += static_cast<char16_t>(0xD800 + (cp >> 10));
    out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
  } else {
    out += static_cast<char16_t>(cp);
  }
}

std::string IntToStr(std::int64_t value) { return std::to_string(value); }

bool TryStrToInt(const std::string& text, std::int32_t& value) {
  std::size_t i = 0, n = text.size();
  while (i < n && static_cast<unsigned char>(text[i]) <= ' ') ++i;
  while (n > i && static_cast<unsigned char>(text[n - 1]) <= ' ') --n;
  bool negative = false;
  if (i < n && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  unsigned base = 10;
  if (i < n && text[i] == '$') {
    base = 16;
    ++i;
  } else if (i + 1 < n && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i >= n) return false;
  std::uint64_t acc = 0;
  for (; i < n; ++i) {
    char c = text[i];
    unsigned d;
    if (c >= '0' && c <= '9') {
      d = static_cast<unsigned>(c - '0');
    } else if (base == 16 && AsciiUpper(c) >= 'A' && AsciiUpper(c) <= 'F') {
      d = static_cast<unsigned>(AsciiUpper(c) - 'A' + 10);
    } else {
      return false;
    }
    acc = acc * base + d;
    if (acc > 0xFFFFFFFFull) return false;
  }
  if (base == 16) {
    // Hex spells the bit pattern: $FFFFFFFF is -1.
    std::int64_t v = static_cast<std::int32_t>(static_cast<std::uint32_t>(acc));
    value = static_cast<std::int32_t>(negative ? -v : v);
    return !(negative && acc > 0x80000000ull);
  }
  std::int64_t v = negative ? -static_cast<std::int64_t>(acc) : static_cast<std::int64_t>(acc);
  if (v < INT32_MIN || v > INT32_MAX) return false;
  value = static_cast<std::int32_t>(v);
  return true;
}

std::int32_t StrToInt(const std::string& text) {
  std::int32_t value;
  if (!TryStrToInt(text, value)) throw EConvertError("'" + text + "' is not a valid integer value");
  return value;
}

std::int32_t StrToIntDef(const std::string& text, std::int32_t defaultValue) {
  std::int32_t value;
  return TryStrToInt(text, value) ? value : defaultValue;
}

std::string IntToHex(std::int32_t value, int digits) {
  return HexDigits(static_cast<std::uint32_t>(value), digits);
}
std::string IntToHex(std::uint32_t value, int digits) { return HexDigits(value, digits); }
std::string IntToHex(std::int64_t value, int digits) {
  return HexDigits(static_cast<std::uint64_t>(value), digits);
}

std::string Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  int n = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string out;
  if (n > 0) {
    std::vector<char> buffer(static_cast<std::size_t>(n) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), format, args);
    out.assign(buffer.data(), static_cast<std::size_t>(n));
  }
  va_end(args);
  return out;
}

std::string UpperCase(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = AsciiUpper(c);
  return out;
}

std::string LowerCase(const std::string& text) {
  std::string out = text;
  for (char& c : out) c = AsciiLower(c);
  return out;
}

int CompareStr(const std::string& a, const std::string& b) {
  int r = a.compare(b);
  return r < 0 ? -1 : r > 0 ? 1 : 0;
}

int CompareText(std::string_view a, std::string_view b) {
  std::size_t n = a.size() < b.size() ? a.size() : b.size();
  for (std::size_t i = 0; i < n; ++i) {
    auto x = static_cast<unsigned char>(AsciiUpper(a[i]));
    auto y = static_cast<unsigned char>(AsciiUpper(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}

bool SameText(std::string_view a, std::string_view b) {
  return a.size() == b.size() && CompareText(a, b) == 0;
}

std::string TrimLeft(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size() && static_cast<unsigned char>(text[i]) <= ' ') ++i;
  return text.substr(i);
}

std::string TrimRight(const std::string& text) {
  std::size_t n = text.size();
  while (n > 0 && static_cast<unsigned char>(text[n - 1]) <= ' ') --n;
  return text.substr(0, n);
}

std::string Trim(const std::string& text) { return TrimLeft(TrimRight(text)); }

std::string ExtractFilePath(const std::string& fileName) {
  std::size_t i = fileName.size();
  while (i > 0 && !IsDelimiter(fileName[i - 1])) --i;
  return fileName.substr(0, i);
}

std::string ExtractFileDir(const std::string& fileName) {
  std::string path = ExtractFilePath(fileName);
  // Keep the separator of a root ("C:\", "/").
  if (path.size() > 1 && (path.back() == '\\' || path.back() == '/') && path[path.size() - 2] != ':')
    path.pop_back();
  return path;
}

std::string ExtractFileName(const std::string& fileName) {
  return fileName.substr(ExtractFilePath(fileName).size());
}

std::string ExtractFileExt(const std::string& fileName) {
  std::size_t i = fileName.size();
  while (i > 0 && !IsDelimiter(fileName[i - 1])) {
    if (fileName[i - 1] == '.') return fileName.substr(i - 1);
    --i;
  }
  return "";
}

std::string ChangeFileExt(const std::string& fileName, const std::string& extension) {
  return fileName.substr(0, fileName.size() - ExtractFileExt(fileName).size()) + extension;
}

std::string IncludeTrailingPathDelimiter(const std::string& path) {
  if (!path.empty() && (path.back() == '\\' || path.back() == '/')) return path;
#ifdef _WIN32
  return path + '\\';
#else
  return path + '/';
#endif
}

WideString AnsiToWide(const std::string& text) {
  WideString out;
  out.reserve(text.size());
  for (char ch : text) {
    auto b = static_cast<unsigned char>(ch);
    out += b >= 0x80 && b < 0xA0 ? kCp1252High[b - 0x80] : static_cast<char16_t>(b);
  }
  return out;
}

std::string WideToAnsi(const WideString& text) {
  std::string out;
  out.reserve(text.size());
  for (char16_t u : text) {
    if (u < 0x80 || (u >= 0xA0 && u < 0x100)) {
      out += static_cast<char>(u);
      continue;
    }
    char mapped = '?';
    for (int i = 0; i < 32; ++i) {
      if (kCp1252High[i] == u) {
        mapped = static_cast<char>(0x80 + i);
        break;
      }
    }
    out += mapped;
  }
  return out;
}

WideString Utf8ToWide(const std::string& text) {
  WideString out;
  out.reserve(text.size());
  std::size_t i = 0, n = text.size();
  while (i < n) {
    auto b = static_cast<unsigned char>(text[i]);
    std::uint32_t cp;
    std::size_t len;
    if (b < 0x80) {
      cp = b, len = 1;
    } else if (b >= 0xC2 && b < 0xE0) {
      cp = b & 0x1F, len = 2;
    } else if (b >= 0xE0 && b < 0xF0) {
      cp = b & 0x0F, len = 3;
    } else if (b >= 0xF0 && b < 0xF5) {
      cp = b & 0x07, len = 4;
    } else {
      out += u'\uFFFD';
      ++i;
      continue;
    }
    bool ok = i + len <= n;
    for (std::size_t k = 1; ok && k < len; ++k) {
      auto c = static_cast<unsigned char>(text[i + k]);
      if ((c & 0xC0) != 0x80) ok = false;
      else cp = (cp << 6) | (c & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are malformed.
    if (ok && ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
               (cp >= 0xD800 && cp < 0xE000)))
      ok = false;
    if (!ok) {
      out += u'\uFFFD';
      ++i;
      continue;
    }
    AppendUtf16(out, cp);
    i += len;
  }
  return out;
}

std::string WideToUtf8(const WideString& text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    std::uint32_t u = text[i];
    if (u >= 0xD800 && u < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
      u = 0x10000 + ((u - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (u >= 0xD800 && u < 0xE000) {
      u = 0xFFFD;
    }
    AppendUtf8(out, u);
  }
  return out;
}
