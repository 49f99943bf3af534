#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Small helpers shared by the skin library.

std::int32_t ClampInt(std::int32_t value, std::int32_t low, std::int32_t high);
bool IsBetween(std::int32_t value, std::int32_t low, std::int32_t high);
inline std::int32_t IfThenInt(bool condition, std::int32_t a, std::int32_t b) {
  return condition ? a : b;
}
inline std::string IfThenStr(bool condition, const std::string& a, const std::string& b) {
  return condition ? a : b;
}
// Round((100 - p) * v / 100 + p), halves to even.
std::int32_t ScaleByPercent(std::int32_t v, std::int32_t p);

// Words are maximal runs of characters outside delims; n counts from 1.
std::size_t WordStart(std::size_t n, std::string_view s, std::string_view delims);  // 0 when missing
std::string NthWord(std::size_t n, std::string_view s, std::string_view delims);
std::size_t CountWords(std::string_view s, std::string_view delims);

std::string RepeatChar(char c, std::int32_t n);
std::string PadWithChar(char c, const std::string& s, std::size_t n);
std::string RemoveChar(std::string_view s, char c);
std::string ReplaceAll(std::string_view s, std::string_view oldText, std::string_view newText);
std::string TrimLeftSpaces(std::string_view s);
std::string TrimRightSpaces(std::string_view s);
std::string TrimSpaces(std::string_view s);
bool ContainsAnyChar(std::string_view s, std::string_view chars);

// Number text of the numeric edits.
std::optional<long double> IsValidFloat(std::string_view s, char decimalSeparator);
std::string InsertThousandSeparators(std::string_view s, bool withSeparators, char thousandSeparator,
                                     char decimalSeparator);

std::string WithTrailingBackslash(std::string_view s);
bool IsValidFileName(std::string_view s);
// The folder part of a path up to and including its last '\' or '/'.
std::string FolderOf(std::string_view path);
