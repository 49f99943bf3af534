#pragma once

#include "framework/base/TField.h"

// A 32-bit integer. An empty (or blank) text stores empty; another text must be a number.
class TIntegerField : public TField {
public:
  TVariant Convert(const TVariant& value) const override;

private:
  friend class TClientDataSet;
  TIntegerField(TClientDataSet* dataSet, std::string name, TFieldKind kind, int index)
      : TField(dataSet, std::move(name), TFieldType::ftInteger, 0, kind, index) {}
};
