#pragma once

#include <cstdint>
#include <string>

#include "framework/base/AnsiStrings.h"
#include "framework/base/DataSetTypes.h"
#include "framework/base/TObject.h"
#include "framework/base/TVariant.h"

// The text of a field value: "" when empty, an integer in decimal, a wide text in the ANSI code page.
std::string VariantText(const TVariant& value);

// One column of a TClientDataSet, and the way to read and write it on the current row.
// A field is made and owned by its table (TClientDataSet::AddIntegerField and kin).
class TField : public TObject {
public:
  TField(const TField&) = delete;
  TField& operator=(const TField&) = delete;

  const std::string& FieldName() const { return FFieldName; }
  TFieldType DataType() const { return FDataType; }
  // Maximum length in characters of a string field (0 for integers).
  int Size() const { return FSize; }
  TFieldKind FieldKind() const { return FFieldKind; }
  bool Calculated() const { return FFieldKind == TFieldKind::fkCalculated; }
  // Position among all fields of the table.
  int Index() const { return FIndex; }
  TClientDataSet* DataSet() const { return FDataSet; }

  // The current row's value; stays valid until the row, the cursor or the state changes.
  const TVariant& Value() const;
  // Stores a value converted to this field's type (see the subclasses). Data fields can be set
  // only while editing or inserting, calculated ones only inside OnCalcFields.
  void SetValue(const TVariant& value);
  bool IsNull() const { return Value().IsNull(); }
  void Clear() { SetValue(TVariant()); }

  // Empty reads as "" and as 0.
  std::string AsString() const;
  std::int32_t AsInteger() const;
  WideString AsWideString() const;
  std::string DisplayText() const { return AsString(); }
  void SetAsString(const std::string& value) { SetValue(TVariant(value)); }
  void SetAsInteger(std::int32_t value) { SetValue(TVariant(value)); }
  void SetAsWideString(const WideString& value) { SetValue(TVariant(value)); }

  // Runs after a data field's value was set.
  const TFieldNotifyEvent& OnChange() const { return FOnChange; }
  void SetOnChange(const TFieldNotifyEvent& handler) { FOnChange = handler; }

  // The value as this field stores it; raises EConvertError for a text an integer cannot hold.
  virtual TVariant Convert(const TVariant& value) const = 0;

protected:
  TField(TClientDataSet* dataSet, std::string name, TFieldType type, int size, TFieldKind kind, int index);

private:
  friend class TClientDataSet;

  TClientDataSet* FDataSet;
  std::string FFieldName;
  TFieldType FDataType;
  int FSize;
  TFieldKind FFieldKind;
  int FIndex;
  int FDataIndex = -1;  // slot in a stored row; -1 for calculated fields
  TFieldNotifyEvent FOnChange;
};
