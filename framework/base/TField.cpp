#include "framework/base/TField.h"

#include "framework/base/TClientDataSet.h"

TField::TField(TClientDataSet* dataSet, std::string name, TFieldType type, int size, TFieldKind kind, int index)
    : FDataSet(dataSet), FFieldName(std::move(name)), FDataType(type), FSize(size), FFieldKind(kind), FIndex(index) {}

const TVariant& TField::Value() const { return FDataSet->FieldValue(*this); }

void TField::SetValue(const TVariant& value) { FDataSet->SetFieldValue(*this, Convert(value)); }

std::string VariantText(const TVariant& value) {
  switch (value.Type()) {
    case TVarType::varNull:
      return "";
    case TVarType::varInteger:
      return IntToStr(value.Integer());
    case TVarType::varString:
      return value.String();
    case TVarType::varWideString:
      return WideToAnsi(value.Wide());
  }
  return "";
}

std::string TField::AsString() const { return VariantText(Value()); }

std::int32_t TField::AsInteger() const {
  const TVariant& v = Value();
  if (v.IsNull()) return 0;
  if (v.Type() == TVarType::varInteger) return v.Integer();
  return StrToInt(AsString());
}

WideString TField::AsWideString() const {
  const TVariant& v = Value();
  if (v.Type() == TVarType::varWideString) return v.Wide();
  return AnsiToWide(AsString());
}
