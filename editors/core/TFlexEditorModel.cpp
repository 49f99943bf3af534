#include "editors/core/TFlexEditorModel.h"

#include <cstdint>
#include <string>

#include "editors/core/EditorFiles.h"
#include "editors/core/FlexAddress.h"
#include "editors/core/TEditorHost.h"
#include "workbench/core/FileHelpers.h"

void TFlexEditorModel::Show() {
  FFileName.clear();
  if (const auto row = FHost.GridRow(2)) {
    FFileName = row->Name;
    FAddressText = row->A1Str;
  }
}

int32_t TFlexEditorModel::GetFlexAddress() {
  const bool exists = EditorFiles::FileExists(FFileName);
  std::optional<int32_t> gridA1;
  if (exists) {
    if (const auto row = FHost.GridRow(2)) gridA1 = row->A1;
  }
  return ::GetFlexAddress(FAddressText, FFileName, exists, gridA1);
}

void TFlexEditorModel::Parse() {
  if (EditorFiles::FileExists(FFileName)) FData = EditorFiles::ReadWholeFile(FFileName);
}

void TFlexEditorModel::MakeShx() {
  const int64_t size = GetFileSizeByName(FFileName);
  if (size < 0) return;
  // A code-group image is addressed with 32 bits; a larger file must not pass as its low part.
  if (size > INT32_MAX) {
    FHost.ShowError("The file \"" + FFileName + "\" is too large for a code group (" + std::to_string(size) +
                    " bytes).");
    return;
  }
  FHost.CombineSingleCG(2, FFileName, GetFlexAddress(), static_cast<int32_t>(size));
}

void TFlexEditorModel::Flash() {
  auto row = EditorFiles::FlasherRowOf(FFileName, 2, "Flex", 0);
  if (row) row->A1 = GetFlexAddress();
  FHost.SendToFlasher(row, row.has_value());
}
