#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Text helpers. Text is std::string in the ANSI code page (Windows-1252 here); wide text is
// UTF-16 in std::u16string and appears only where a field or a file is wide.
using WideString = std::u16string;

std::string IntToStr(std::int64_t value);
// Decimal with an optional sign, or hexadecimal after "$" or "0x"; blanks around are allowed.
// Anything else, or a value outside 32 bits, raises EConvertError.
std::int32_t StrToInt(const std::string& text);
std::int32_t StrToIntDef(const std::string& text, std::int32_t defaultValue);
bool TryStrToInt(const std::string& text, std::int32_t& value);
// Upper-case hex, at least `digits` digits; a negative 32-bit value shows its two's complement.
std::string IntToHex(std::int32_t value, int digits);
std::string IntToHex(std::uint32_t value, int digits);
std::string IntToHex(std::int64_t value, int digits);
// printf-style formatting into a std::string.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Case rules are those of ASCII letters; other bytes are left as they are.
std::string UpperCase(std::string_view text);
std::string LowerCase(const std::string& text);
int CompareStr(const std::string& a, const std::string& b);
int CompareText(std::string_view a, std::string_view b);
bool SameText(std::string_view a, std::string_view b);
// Remove leading and/or trailing blanks and control characters (codes up to 32).
std::string Trim(const std::string& text);
std::string TrimLeft(const std::string& text);
std::string TrimRight(const std::string& text);

// File names: "\" and "/" both separate folders, and "C:" ends a drive.
std::string ExtractFilePath(const std::string& fileName);  // folder with its trailing separator
std::string ExtractFileDir(const std::string& fileName);   // folder without it
std::string ExtractFileName(const std::string& fileName);
std::string ExtractFileExt(const std::string& fileName);   // ".ext", or "" when there is none
std::string ChangeFileExt(const std::string& fileName, const std::string& extension);
std::string IncludeTrailingPathDelimiter(const std::string& path);

// ANSI <-> UTF-16. Every ANSI byte maps to one code unit and back; a code unit the code page
// lacks becomes "?".
WideString AnsiToWide(const std::string& text);
std::string WideToAnsi(const WideString& text);
// UTF-8 <-> UTF-16. Malformed UTF-8 and unpaired surrogates become U+FFFD.
// Appends code point cp (at most 0x10FFFF) in UTF-8.
void AppendUtf8(std::string& out, std::uint32_t cp);
// Appends code point cp (at most 0x10FFFF) in UTF-16: one unit, or a surrogate pair above U+FFFF.
void AppendUtf16(WideString& out, std::uint32_t cp);
WideString Utf8ToWide(const std::string& text);
std::string WideToUtf8(const WideString& text);
