#pragma once

#include "editors/core/RawPreview.h"
#include "editors/core/TDRMImage.h"
#include "framework/base/TClientDataSet.h"
#include "framework/base/TObject.h"

#include <memory>
#include <string>

class TEditorHost;

// The DRM editor's logic behind its buttons: the image in memory, the picture table and the remarks
// table. The window only wires its controls to these methods and tables.
class TDRMEditorModel : public TObject {
public:
  explicit TDRMEditorModel(TEditorHost& host);
  ~TDRMEditorModel() override;

  TClientDataSet& Pictures() { return FPictures; }
  TClientDataSet& Remarks() { return FRemarks; }
  const std::string& FileName() const { return FFileName; }  // the source-file edit
  void SetFileName(const std::string& value) { FFileName = value; }
  const std::string& RemarksFileName() const { return FRemarksFileName; }  // the remarks-file edit
  void SetRemarksFileName(const std::string& value) { FRemarksFileName = value; }
  // Where "Save all" writes; empty for the current folder.
  void SetExportFolder(const std::string& value) { FExportFolder = value; }
  bool Loaded() const { return FImage != nullptr; }
  const TDRMImage* Image() const { return FImage.get(); }

  void Show();
  bool OpenDRMFile(const std::string& fileName);
  void FreeDRM() { FImage.reset(); }
  void Open();
  void Load();
  void Clear();
  void SavePicture();
  void SaveAll();
  void Replace();
  void SaveChanges();
  void SaveDRM(const std::string& fileName, bool withImage);
  void Flash();
  void MakeShx();
  void SaveRemarks();
  void LoadRemarks();
  void ClearRemarks();

  // The current row as the preview shows it: whether there is one, whether it is RAW, its bytes.
  bool HasCurrentPicture() const;
  bool CurrentIsRaw() const;
  std::vector<uint8_t> CurrentPictureData() const;
  TPixelBuffer RenderCurrent(int width, int height, TPreviewFit fit, uint32_t background);

private:
  TEditorHost& FHost;
  TClientDataSet FPictures;
  TClientDataSet FRemarks;
  std::unique_ptr<TDRMImage> FImage;
  std::string FFileName;
  std::string FRemarksFileName;
  std::string FExportFolder;
  int FRawCount = 0;

  void FillTable(const TDRMListing& list, const std::vector<TDRMPicture>* keep);
  TDRMPicture CurrentRow();
  std::vector<TDRMPicture> TableRows();
  std::string RemarkOf(int typedNo);
  void PicturesCalcFields(TClientDataSet* dataSet);
};
