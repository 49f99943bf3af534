#pragma once

#include "framework/base/TField.h"

// A UTF-16 text of at most Size() code units. A longer text is cut to its first Size() code
// units, silently, but never between the two halves of a surrogate pair (the cut then keeps one
// unit fewer); an empty text stores empty (null). ANSI texts are widened, integers stored as
// their decimal text.
class TWideStringField : public TField {
public:
  TVariant Convert(const TVariant& value) const override;

private:
  friend class TClientDataSet;
  TWideStringField(TClientDataSet* dataSet, std::string name, int size, TFieldKind kind, int index)
      : TField(dataSet, std::move(name), TFieldType::ftWideString, size, kind, index) {}
};
