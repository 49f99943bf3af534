#include "framework/base/TIntegerField.h"

TVariant TIntegerField::Convert(const TVariant& value) const {
  switch (value.Type()) {
    case TVarType::varNull:
    case TVarType::varInteger:
      return value;
    case TVarType::varString:
      if (Trim(value.String()).empty()) return TVariant();
      return TVariant(StrToInt(value.String()));
    case TVarType::varWideString:
      return Convert(TVariant(WideToAnsi(value.Wide())));
  }
  return TVariant();
}
