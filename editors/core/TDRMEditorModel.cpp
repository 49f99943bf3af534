#include "editors/core/TDRMEditorModel.h"

#include "editors/core/DRMNames.h"
#include "editors/core/EDRMError.h"
#include "editors/core/EditorFiles.h"
#include "editors/core/TEditorHost.h"
#include "framework/base/AnsiStrings.h"
#include "framework/base/TField.h"

#include <algorithm>

TDRMEditorModel::TDRMEditorModel(TEditorHost& host) : FHost(host) {
  FPictures.AddIntegerField("No");
  FPictures.AddStringField("Name", 16);
  FPictures.AddStringField("Type", 4);
  FPictures.AddIntegerField("Width");
  FPictures.AddIntegerField("Height");
  FPictures.AddIntegerField("Address");
  FPictures.AddIntegerField("Size");
  FPictures.AddStringField("Reamrk", 32);
  FPictures.AddStringField("sAddress", 8, TFieldKind::fkCalculated);
  FPictures.SetOnCalcFields(MakeDelegate(this, &TDRMEditorModel::PicturesCalcFields));

  FRemarks.AddIntegerField("ImgID");
  FRemarks.AddStringField("Remark", 80);
  FRemarks.AddIndex("By_ID", "ImgID", TIndexOptions::ixPrimary | TIndexOptions::ixUnique);
  FRemarks.SetIndexName("By_ID");
  FRemarks.SetFileName("DRM.rmk");
  FRemarks.CreateDataSet();
}

TDRMEditorModel::~TDRMEditorModel() = default;

void TDRMEditorModel::Show() {
  FFileName.clear();
  if (const auto row = FHost.GridRow(15)) FFileName = row->Name;
}

bool TDRMEditorModel::OpenDRMFile(const std::string& fileName) {
  std::string name = fileName;
  if (name.empty()) name = FHost.OpenFileName(TFilterKind::DrmImages);
  if (name.empty()) {
    FImage.reset();
    return false;
  }
  std::unique_ptr<TDRMImage> image;
  try {
    image = std::make_unique<TDRMImage>(EditorFiles::ReadWholeFile(name));
  } catch (const EDRMError& e) {
    FHost.ShowError(e.Message() + "\r" + name);
    return false;
  }
  FFileName = name;
  FImage = std::move(image);
  return true;
}

std::string TDRMEditorModel::RemarkOf(int typedNo) {
  if (!FRemarks.Active() || !FRemarks.Locate("ImgID", typedNo)) return "";
  return FRemarks.FieldByName("Remark")->AsString();
}

// Rows from a listing of the image. With `keep`, each row keeps the width, height and remark of the
// row with its number there (a saved table, or the table before a replacement); otherwise typed
// pictures take their remarks from the remarks table.
void TDRMEditorModel::FillTable(const TDRMListing& list, const std::vector<TDRMPicture>* keep) {
  {
    const TControlsDisabled quiet(FPictures);
    FPictures.CreateDataSet();
    for (TDRMPicture p : list.Pictures) {
      if (keep) {
        const auto old =
            std::find_if(keep->begin(), keep->end(), [&p](const TDRMPicture& k) { return k.No == p.No; });
        if (old != keep->end()) {
          p.Width = old->Width;
          p.Height = old->Height;
          p.Remark = old->Remark;
        }
      } else if (p.No > list.RawCount) {
        p.Remark = RemarkOf(p.No - list.RawCount);
      }
      FPictures.AppendRecord(
          {p.No, p.Name, p.Type, p.Width, p.Height, static_cast<int32_t>(p.Address), p.Size, p.Remark});
    }
    FRawCount = list.RawCount;
    FPictures.First();
  }
  if (!list.Complete)
    FHost.ShowError("The picture tables are damaged; the list stops there. " + list.Problem);
}

void TDRMEditorModel::Open() {
  if (!OpenDRMFile(FFileName)) return;
  FillTable(FImage->List(), nullptr);
  SaveDRM(FFileName, false);
}

void TDRMEditorModel::Load() {
  if (!OpenDRMFile(FFileName)) return;
  const std::string table = ChangeFileExt(FFileName, ".cds");
  if (!EditorFiles::FileExists(table)) {
    FHost.ShowError(FHost.Message(TMsgId::FileNotFound) + ": " + table);
    return;
  }
  if (!FHost.AskYesNo(FHost.Message(TMsgId::LoadStructure) + table + "?")) return;
  FPictures.LoadFromFile(table);
  // Addresses and sizes come from the image, so a table saved for another state of it cannot lead
  // an export or a replacement to the wrong bytes.
  const std::vector<TDRMPicture> saved = TableRows();
  FillTable(FImage->List(), &saved);
}

void TDRMEditorModel::Clear() {
  if (!FHost.AskYesNo(FHost.Message(TMsgId::AreYouSure))) return;
  FreeDRM();
  FPictures.Close();
}

std::vector<TDRMPicture> TDRMEditorModel::TableRows() {
  std::vector<TDRMPicture> rows;
  if (!FPictures.Active()) return rows;
  const TBookmark mark = FPictures.GetBookmark();
  const TControlsDisabled quiet(FPictures);
  for (FPictures.First(); !FPictures.Eof(); FPictures.Next()) rows.push_back(CurrentRow());
  if (!mark.IsNull()) FPictures.GotoBookmark(mark);
  return rows;
}

TDRMPicture TDRMEditorModel::CurrentRow() {
  TDRMPicture p;
  p.No = FPictures.FieldByName("No")->AsInteger();
  p.Name = FPictures.FieldByName("Name")->AsString();
  p.Type = FPictures.FieldByName("Type")->AsString();
  p.Width = FPictures.FieldByName("Width")->AsInteger();
  p.Height = FPictures.FieldByName("Height")->AsInteger();
  p.Address = static_cast<uint32_t>(FPictures.FieldByName("Address")->AsInteger());
  p.Size = FPictures.FieldByName("Size")->AsInteger();
  p.Remark = FPictures.FieldByName("Reamrk")->AsString();
  return p;
}

void TDRMEditorModel::SavePicture() {
  if (!FImage || !FPictures.Active() || FPictures.IsEmpty()) return;
  const TDRMPicture p = CurrentRow();
  const std::string proposed = PictureFileName(p);
  std::string name = FHost.SavePictureFileName(proposed);
  if (name.empty()) return;
  name = ChangeFileExt(name, ExtractFileExt(proposed));
  try {
    const auto data = FImage->PictureData(p.Address, p.Size);
    EditorFiles::WriteWholeFile(name, data);
  } catch (const EDRMError& e) {
    FHost.ShowError(e.Message());
    return;
  }
  FHost.ShowInfo(FHost.Message(TMsgId::PictureSaved) + ": " + name);
}

void TDRMEditorModel::SaveAll() {
  if (!FImage || !FPictures.Active()) return;
  const std::string folder = FExportFolder.empty() ? "" : IncludeTrailingPathDelimiter(FExportFolder);
  for (const TDRMPicture& p : TableRows()) {
    try {
      EditorFiles::WriteWholeFile(folder + PictureFileName(p), FImage->PictureData(p.Address, p.Size));
    } catch (const EDRMError& e) {
      FHost.ShowError(e.Message() + " " + PictureFileName(p));
      return;
    }
  }
  FHost.ShowInfo(FHost.Message(TMsgId::AllPicturesSaved));
}

void TDRMEditorModel::Replace() {
  if (!FImage || !FPictures.Active() || FPictures.IsEmpty()) return;
  const TDRMPicture row = CurrentRow();
  const bool raw = row.No <= FRawCount;
  const std::string name = raw ? FHost.OpenFileName(TFilterKind::RawPictures) : FHost.OpenPictureFileName();
  if (name.empty()) return;
  const std::vector<uint8_t> data = EditorFiles::ReadWholeFile(name);
  int width = row.Width, height = row.Height;
  if (raw) {
    // Bounds from the file's name when it holds them, else the row's own; both before the image changes.
    if (const auto bounds = ParseRawBounds(name)) std::tie(width, height) = *bounds;
    std::tie(width, height) = FHost.AskRawBounds(width, height);
  }
  const std::vector<TDRMPicture> before = TableRows();
  TDRMListing after;
  try {
    after = FImage->Replace(row.No, data, width, height);
  } catch (const EDRMError& e) {
    FHost.ShowError(e.Message());
    return;
  }
  std::vector<TDRMPicture> keep;
  for (TDRMPicture p : before) {
    if (p.No == row.No) continue;  // the replaced picture takes its size from the image
    keep.push_back(p);
  }
  FillTable(after, &keep);
  FPictures.Locate("No", row.No);
  FHost.ShowInfo(FHost.Message(TMsgId::PictureReplaced) + ": " + name + ".");
}

void TDRMEditorModel::SaveChanges() {
  const std::string name = FHost.SaveFileName(TFilterKind::DrmImages, FFileName);
  if (!name.empty()) SaveDRM(name, true);
}

void TDRMEditorModel::SaveDRM(const std::string& fileName, bool withImage) {
  if (!FPictures.Active()) return;
  std::string name = fileName;
  if (withImage && FImage) {
    if (ExtractFileExt(name).empty()) name += ".smg";
    EditorFiles::WriteWholeFile(name, FImage->Image());
    FFileName = name;
    FHost.ShowInfo(FHost.Message(TMsgId::DrmBlockSaved) + name);
  }
  const std::string table = ChangeFileExt(name, ".cds");
  FPictures.SaveToFile(table, TDataPacketFormat::dfBinary);
  FHost.ShowInfo(FHost.Message(TMsgId::StructureSaved) + table);
}

void TDRMEditorModel::Flash() {
  FHost.SendToFlasher(EditorFiles::FlasherRowOf(FFileName, 15, "DRM (graphics)", 8), true);
}

void TDRMEditorModel::MakeShx() {
  if (!FImage || FFileName.empty()) return;
  FHost.CombineSingleCG(15, FFileName, static_cast<int32_t>(FImage->Base()),
                        static_cast<int32_t>(FImage->Image().size()));
}

void TDRMEditorModel::SaveRemarks() {
  std::string name = FHost.SaveFileName(TFilterKind::DrmRemarks, FRemarksFileName);
  if (name.empty()) return;
  name = ChangeFileExt(name, ".rmk");
  FRemarks.SaveToFile(name, TDataPacketFormat::dfBinary);
  FRemarksFileName = name;
}

void TDRMEditorModel::LoadRemarks() {
  const std::string name =
      FRemarksFileName.empty() ? FHost.OpenFileName(TFilterKind::DrmRemarks) : FRemarksFileName;
  if (name.empty()) return;
  FRemarks.LoadFromFile(name);
  FRemarks.SetIndexName("By_ID");
  FRemarksFileName = name;
}

void TDRMEditorModel::ClearRemarks() {
  FRemarks.Close();
  FRemarks.CreateDataSet();
  FRemarksFileName.clear();
}

bool TDRMEditorModel::HasCurrentPicture() const {
  return FImage && FPictures.Active() && !FPictures.IsEmpty();
}

bool TDRMEditorModel::CurrentIsRaw() const {
  return HasCurrentPicture() && FPictures.FieldByName("No")->AsInteger() <= FRawCount;
}

std::vector<uint8_t> TDRMEditorModel::CurrentPictureData() const {
  if (!HasCurrentPicture()) return {};
  const int32_t size = FPictures.FieldByName("Size")->AsInteger();
  if (size <= 0) return {};
  return FImage->PictureData(static_cast<uint32_t>(FPictures.FieldByName("Address")->AsInteger()), size);
}

TPixelBuffer TDRMEditorModel::RenderCurrent(int width, int height, TPreviewFit fit, uint32_t background) {
  if (!HasCurrentPicture()) return {};
  return RenderRawPicture(FImage->Image(), FImage->Base(), CurrentRow(), width, height, fit, background);
}

void TDRMEditorModel::PicturesCalcFields(TClientDataSet* dataSet) {
  dataSet->FieldByName("sAddress")->SetAsString(IntToHex(dataSet->FieldByName("Address")->AsInteger(), 8));
}
