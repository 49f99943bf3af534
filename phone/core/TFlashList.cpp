#include "phone/core/TFlashList.h"

#include <cstdio>

#include "framework/base/TClientDataSet.h"
#include "framework/base/TField.h"
#include "workbench/core/CodeGroups.h"
#include "workbench/core/DetectSMG.h"
#include "workbench/core/FileHelpers.h"

namespace {

constexpr std::uint32_t UnknownAddress = 0xFFFFFFFF;

}  // namespace

TFlashList::TFlashList(TClientDataSet& dataSet) : FDataSet(dataSet) {
  FDataSet.AddIntegerField("CG");
  FDataSet.AddStringField("Name", 255);
  FDataSet.AddStringField("Type", 20);
  FDataSet.AddIntegerField("A1");
  FDataSet.AddIntegerField("size");
  FDataSet.AddStringField("A1Str", 8, TFieldKind::fkCalculated);
  FDataSet.SetOnCalcFields(TDataSetNotifyEvent(this, &TFlashList::CalcFields));
}

TFlashList::~TFlashList() {
  if (FDataSet.OnCalcFields() == TDataSetNotifyEvent(this, &TFlashList::CalcFields)) FDataSet.SetOnCalcFields({});
}

void TFlashList::CalcFields(TClientDataSet* dataSet) {
  TField* a1 = dataSet->FieldByName("A1");
  TField* text = dataSet->FieldByName("A1Str");
  if (a1->IsNull()) {
    text->Clear();
    return;
  }
  char hex[9];
  std::snprintf(hex, sizeof hex, "%08X", static_cast<unsigned>(a1->AsInteger()));
  text->SetAsString(hex);
}

void TFlashList::Reset() {
  FDataSet.Close();
  FDataSet.CreateDataSet();
}

void TFlashList::AppendRow(std::optional<int32_t> cg, const std::string& name, const std::string& type, int32_t a1,
                           int32_t size) {
  if (!FDataSet.Active()) FDataSet.CreateDataSet();
  FDataSet.Append();
  if (cg) FDataSet.FieldByName("CG")->SetAsInteger(*cg);
  FDataSet.FieldByName("Name")->SetAsString(name);
  FDataSet.FieldByName("Type")->SetAsString(type);
  FDataSet.FieldByName("A1")->SetAsInteger(a1);
  FDataSet.FieldByName("size")->SetAsInteger(size);
  FDataSet.Post();
}

void TFlashList::AddImageFile(const std::string& fileName) {
  int cg = -1;
  int32_t address = -1;
  int64_t size = -1;
  DetectSMG(fileName, cg, address, size);
  if (size < 0) size = GetFileSizeByName(fileName);
  AppendRow(cg, fileName, GetCGName(cg), address, static_cast<int32_t>(size));
}

bool TFlashList::DeleteCurrent() {
  if (!FDataSet.Active() || FDataSet.IsEmpty()) return false;
  FDataSet.Delete();
  return true;
}

std::vector<TFlashRow> TFlashList::Rows() const {
  std::vector<TFlashRow> rows;
  if (!FDataSet.Active()) return rows;
  TField* cg = FDataSet.FieldByName("CG");
  TField* name = FDataSet.FieldByName("Name");
  TField* a1 = FDataSet.FieldByName("A1");
  TField* size = FDataSet.FieldByName("size");
  for (int recNo = 1; recNo <= FDataSet.RecordCount(); ++recNo) {
    TFlashRow row;
    if (const TVariant value = FDataSet.RowValue(recNo, *cg); !value.IsNull()) row.CG = value.Integer();
    if (const TVariant value = FDataSet.RowValue(recNo, *name); !value.IsNull()) row.Name = value.String();
    const TVariant address = FDataSet.RowValue(recNo, *a1);
    row.A1 = address.IsNull() ? UnknownAddress : static_cast<std::uint32_t>(address.Integer());
    const TVariant bytes = FDataSet.RowValue(recNo, *size);
    row.Size = bytes.IsNull() ? -1 : bytes.Integer();
    rows.push_back(row);
  }
  return rows;
}
