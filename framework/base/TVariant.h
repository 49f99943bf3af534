#pragma once

#include <cstdint>
#include <string>
#include <variant>

#include "framework/base/AnsiStrings.h"

enum class TVarType { varNull, varInteger, varString, varWideString };

// A field value: empty (null), a 32-bit integer, an ANSI text or a UTF-16 text.
class TVariant {
public:
  TVariant() = default;
  TVariant(std::int32_t value) : FValue(value) {}
  TVariant(const char* value) : FValue(std::string(value)) {}
  TVariant(std::string value) : FValue(std::move(value)) {}
  TVariant(const char16_t* value) : FValue(WideString(value)) {}
  TVariant(WideString value) : FValue(std::move(value)) {}

  TVarType Type() const { return static_cast<TVarType>(FValue.index()); }
  bool IsNull() const { return FValue.index() == 0; }
  // The held value; asking for another kind than Type() raises EConvertError.
  std::int32_t Integer() const;
  const std::string& String() const;
  const WideString& Wide() const;

  friend bool operator==(const TVariant& a, const TVariant& b) { return a.FValue == b.FValue; }

private:
  std::variant<std::monostate, std::int32_t, std::string, WideString> FValue;
};
