#pragma once

#include "framework/base/TField.h"

// An ANSI text of at most Size() characters. A longer text is cut to its first Size()
// characters, silently, as the field's width is part of the table's definition; an empty
// text stores empty (null). Integers are stored as their decimal text.
class TStringField : public TField {
public:
  TVariant Convert(const TVariant& value) const override;

private:
  friend class TClientDataSet;
  TStringField(TClientDataSet* dataSet, std::string name, int size, TFieldKind kind, int index)
      : TField(dataSet, std::move(name), TFieldType::ftString, size, kind, index) {}
};
