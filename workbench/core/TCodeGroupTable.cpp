#include "workbench/core/TCodeGroupTable.h"

#include <algorithm>
#include <limits>

#include "framework/base/AnsiStrings.h"
#include "framework/base/Exception.h"
#include "framework/base/TClientDataSet.h"
#include "framework/base/TField.h"
#include "workbench/core/CodeGroups.h"
#include "workbench/core/FileHelpers.h"
#include "workbench/core/Hex.h"
#include "workbench/core/Messages.h"
#include "workbench/core/SmallDialogRules.h"

TCodeGroupTable::TCodeGroupTable(TClientDataSet& dataSet) : FDataSet(dataSet) {
  FDataSet.AddIntegerField("CG");
  FDataSet.AddStringField("Name", kMaxNameLength);
  FDataSet.AddStringField("Type", 20);
  FDataSet.AddIntegerField("A1");
  FDataSet.AddIntegerField("A2");
  FDataSet.AddIntegerField("size");
  FDataSet.AddStringField("A1Str", 8, TFieldKind::fkCalculated);
  FDataSet.AddStringField("A2Str", 8, TFieldKind::fkCalculated);
  FDataSet.SetAfterOpen(TDataSetNotifyEvent(this, &TCodeGroupTable::AfterOpen));
  FDataSet.SetAfterClose(TDataSetNotifyEvent(this, &TCodeGroupTable::AfterClose));
  FDataSet.SetOnCalcFields(TDataSetNotifyEvent(this, &TCodeGroupTable::CalcFields));
}

int TCodeGroupTable::RowCG(const TCodeGroupRow& row) {
  if (row.CG) return *row.CG;
  return row.Type == kBootLoaderType ? kBootLoaderCG : kRamDownloaderCG;
}

void TCodeGroupTable::SetOrder(int itemIndex) {
  FOrder = itemIndex;
  if (FDataSet.Active()) SelectOrderIndex();
}

void TCodeGroupTable::SelectOrderIndex() {
  FDataSet.SetIndexName(FOrder != 0 ? "by_a1" : "by_cg");
}

void TCodeGroupTable::AfterOpen(TClientDataSet*) {
  FDataSet.AddIndex("by_cg", "cg");
  FDataSet.AddIndex("by_a1", "a1");
  SelectOrderIndex();
}

// The next open starts without an index that does not exist yet.
void TCodeGroupTable::AfterClose(TClientDataSet*) {
  FDataSet.SetIndexName("");
}

void TCodeGroupTable::CalcFields(TClientDataSet*) {
  FDataSet.FieldByName("A1Str")->SetAsString(
      IntToHex(static_cast<uint32_t>(FDataSet.FieldByName("A1")->AsInteger()), 8));
  FDataSet.FieldByName("A2Str")->SetAsString(
      IntToHex(static_cast<uint32_t>(FDataSet.FieldByName("A2")->AsInteger()), 8));
}

void TCodeGroupTable::Reset() {
  FDataSet.Close();
  FDataSet.CreateDataSet();
}

bool TCodeGroupTable::AddCGRecord(int cg, int64_t size, const std::string& fileName, uint32_t a1,
                                  uint32_t a2) {
  const std::string typeText = GetCGName(cg);
  if (fileName.size() > static_cast<size_t>(kMaxNameLength))
    throw Exception("The path \"" + fileName + "\" is longer than " + std::to_string(kMaxNameLength) +
                    " characters.");
  if (!FDataSet.Active()) FDataSet.CreateDataSet();
  bool exists = false;
  {
    // The grid hears of the row once, not of every step of the look-up and the append.
    const TControlsDisabled quiet(FDataSet);
    const TBookmark here = FDataSet.GetBookmark();
    exists = FDataSet.Locate("Type", TVariant(typeText));
    if (exists) {
      if (!here.IsNull()) FDataSet.GotoBookmark(here);
    } else {
      // The size field is 32-bit; larger images show the largest size it can hold.
      const int32_t shownSize =
          static_cast<int32_t>(std::min<int64_t>(size, std::numeric_limits<int32_t>::max()));
      FDataSet.AppendRecord({cg < 0 ? TVariant() : TVariant(cg), TVariant(fileName), TVariant(typeText),
                             TVariant(static_cast<int32_t>(a1)), TVariant(static_cast<int32_t>(a2)),
                             TVariant(shownSize)});
    }
  }
  if (exists && OnWarning) OnWarning("\"" + typeText + "\" " + Msgs[TMsgId::AlreadyExists]);
  return !exists;
}

void TCodeGroupTable::SelectLast() {
  if (FDataSet.Active()) FDataSet.Last();
}

TCodeGroupTable::TAddOutcome TCodeGroupTable::AddImage(const std::string& fileName, const std::string& codeGroup,
                                                        const std::string& address) {
  const int64_t size = GetFileSizeByName(fileName);
  if (fileName.empty() || size < 0 || address.empty()) return TAddOutcome::Ignored;
  if (!AddInputValid(codeGroup, address, size)) return TAddOutcome::Invalid;
  const int cg = codeGroup.empty() ? kRamDownloaderCG : std::stoi(codeGroup);
  const auto a1 = static_cast<uint32_t>(HexToInt(address));
  return AddCGRecord(cg, size, fileName, a1, static_cast<uint32_t>(a1 + size - 1)) ? TAddOutcome::Added
                                                                                  : TAddOutcome::Refused;
}

bool TCodeGroupTable::CanDeleteCurrent() const {
  if (!FDataSet.Active() || FDataSet.IsEmpty()) return false;
  return FDataSet.FieldByName("Type")->AsString() != kRamDownloaderType;
}

std::string TCodeGroupTable::ReplaceCurrentImage(const std::string& fileName) {
  if (fileName.size() > static_cast<size_t>(kMaxNameLength))
    return "The path \"" + fileName + "\" is longer than " + std::to_string(kMaxNameLength) +
           " characters; the row is left as it was.";
  const int64_t size = GetFileSizeByName(fileName);
  if (size < 0) return "The file \"" + fileName + "\" was not found; the row is left as it was.";
  const auto a1 = static_cast<uint32_t>(FDataSet.FieldByName("A1")->AsInteger());
  FDataSet.Edit();
  FDataSet.FieldByName("Name")->SetAsString(fileName);
  FDataSet.FieldByName("size")->SetAsInteger(static_cast<int32_t>(std::min<int64_t>(size, INT32_MAX)));
  FDataSet.FieldByName("A2")->SetAsInteger(static_cast<int32_t>(a1 + static_cast<uint32_t>(size) - 1));
  FDataSet.Post();
  return "";
}

TCodeGroupRow TCodeGroupTable::CurrentRow() const {
  TCodeGroupRow row;
  if (!FDataSet.Active() || FDataSet.IsEmpty()) return row;
  const TField* cg = FDataSet.FieldByName("CG");
  if (!cg->IsNull()) row.CG = cg->AsInteger();
  row.Name = FDataSet.FieldByName("Name")->AsString();
  row.Type = FDataSet.FieldByName("Type")->AsString();
  row.A1 = static_cast<uint32_t>(FDataSet.FieldByName("A1")->AsInteger());
  row.A2 = static_cast<uint32_t>(FDataSet.FieldByName("A2")->AsInteger());
  row.Size = FDataSet.FieldByName("size")->AsInteger();
  return row;
}

std::vector<TCodeGroupRow> TCodeGroupTable::RowsByCG() {
  std::vector<TCodeGroupRow> rows;
  if (!FDataSet.Active()) return rows;
  const std::string index = FDataSet.IndexName();
  TBookmark here = FDataSet.GetBookmark();
  FDataSet.DisableControls();
  try {
    FDataSet.SetIndexName("by_cg");
    for (FDataSet.First(); !FDataSet.Eof(); FDataSet.Next()) rows.push_back(CurrentRow());
    FDataSet.SetIndexName(index);
    if (!here.IsNull()) FDataSet.GotoBookmark(here);
  } catch (...) {
    FDataSet.EnableControls();
    throw;
  }
  FDataSet.FreeBookmark(here);
  FDataSet.EnableControls();
  return rows;
}

void TCodeGroupTable::CombineSingleCG(int cg, const std::string& fileName, uint32_t addr, int64_t size,
                                      const std::function<void(const std::string&)>& combine,
                                      const std::string& tempFile) {
  const bool wasOpen = FDataSet.Active();
  std::string index;
  TBookmark here;
  if (wasOpen) {
    FDataSet.SaveToFile(tempFile, TDataPacketFormat::dfBinary);
    here = FDataSet.GetBookmark();
    index = FDataSet.IndexName();
    FDataSet.SetIndexName("");
  } else {
    FDataSet.CreateDataSet();
  }
  try {
    if (wasOpen) {
      // Only the first RAM-downloader row stays; every other row goes, so the walk always ends.
      bool loaderKept = false;
      FDataSet.First();
      while (!FDataSet.Eof() && FDataSet.RecordCount() >= 2) {
        if (!loaderKept && FDataSet.FieldByName("Type")->AsString() == kRamDownloaderType) {
          loaderKept = true;
          FDataSet.Next();
        } else {
          FDataSet.Delete();
        }
      }
    }
    if (!fileName.empty()) {
      AddCGRecord(cg, size, fileName, addr, static_cast<uint32_t>(addr + size - 1));
      combine(ChangeFileExt(fileName, ".shx"));
    }
  } catch (...) {
    if (wasOpen) {
      FDataSet.LoadFromFile(tempFile);
      FDataSet.SetIndexName(index);
      if (FDataSet.BookmarkValid(here)) FDataSet.GotoBookmark(here);
    }
    throw;
  }
  if (wasOpen) {
    FDataSet.LoadFromFile(tempFile);
    FDataSet.SetIndexName(index);
    if (FDataSet.BookmarkValid(here)) FDataSet.GotoBookmark(here);
    FDataSet.FreeBookmark(here);
  }
}
