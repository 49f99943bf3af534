#include "framework/base/TStringField.h"

TVariant TStringField::Convert(const TVariant& value) const {
  std::string text;
  switch (value.Type()) {
    case TVarType::varNull:
      return value;
    case TVarType::varInteger:
      text = IntToStr(value.Integer());
      break;
    case TVarType::varString:
      if (value.String().size() <= static_cast<std::size_t>(Size())) return value.String().empty() ? TVariant() : value;
      text = value.String();
      break;
    case TVarType::varWideString:
      text = WideToAnsi(value.Wide());
      break;
  }
  if (text.size() > static_cast<std::size_t>(Size())) text.resize(static_cast<std::size_t>(Size()));
  return text.empty() ? TVariant() : TVariant(std::move(text));
}
