#include "framework/base/TWideStringField.h"

TVariant TWideStringField::Convert(const TVariant& value) const {
  WideString text;
  switch (value.Type()) {
    case TVarType::varNull:
      return value;
    case TVarType::varInteger:
      text = AnsiToWide(IntToStr(value.Integer()));
      break;
    case TVarType::varString:
      text = AnsiToWide(value.String());
      break;
    case TVarType::varWideString:
      if (value.Wide().size() <= static_cast<std::size_t>(Size())) return value.Wide().empty() ? TVariant() : value;
      text = value.Wide();
      break;
  }
  std::size_t limit = static_cast<std::size_t>(Size());
  if (text.size() > limit) {
    if (limit > 0 && text[limit - 1] >= 0xD800 && text[limit - 1] < 0xDC00 && text[limit] >= 0xDC00 &&
        text[limit] < 0xE000)
      --limit;
    text.resize(limit);
  }
  return text.empty() ? TVariant() : TVariant(std::move(text));
}
