#pragma once

#include <memory>
#include <string>

#include "framework/win/TCustomForm.h"

class Exception;
class TDataSource;
class TDBGrid;
class TDRMEditorModel;
class TEditorWindowHost;
class TImage;
class TsButton;
class TsCheckBox;
class TsDBNavigator;
class TsFilenameEdit;
class TsGroupBox;
class TsOpenDialog;
class TsOpenPictureDialog;
class TsPageControl;
class TsSaveDialog;
class TsSavePictureDialog;
class TsTabSheet;

// The DRM (graphics) editor: lists the pictures of a code group 15 image, previews the current one,
// exports and replaces pictures, keeps remarks per typed picture and hands the image to the combine
// and the flasher. Its logic is TDRMEditorModel's; the window wires the controls to it.
class TfmDRMEditor : public TForm {
public:
  explicit TfmDRMEditor(TComponent* owner);
  ~TfmDRMEditor() override;

  TDRMEditorModel& Model() { return *FModel; }
  TEditorWindowHost& Host() { return *FHost; }

  TsPageControl* sPageControl1 = nullptr;
  TsTabSheet* sTabSheet1 = nullptr;  // "DRM pack"
  TsTabSheet* sTabSheet2 = nullptr;  // "Remarks table"

  TsFilenameEdit* sFilenameEdit1 = nullptr;  // "Source file"
  TsButton* sButton1 = nullptr;              // "Open"
  TsButton* sButton2 = nullptr;              // "Load"
  TsButton* sButton3 = nullptr;              // "Clear"
  TDBGrid* DBGrid1 = nullptr;                // the picture table
  TsButton* sButton4 = nullptr;              // "Save picture"
  TsButton* sButton5 = nullptr;              // "Save all"
  TsButton* sButton6 = nullptr;              // "Replace"
  TsButton* sButton7 = nullptr;              // "Save changes"
  TsButton* sButton8 = nullptr;              // "Flash"
  TsButton* sButton9 = nullptr;              // "Make *.SHX"
  TsGroupBox* sGroupBox1 = nullptr;          // "Pictures preview"
  TImage* Image1 = nullptr;
  TsCheckBox* Stretch = nullptr;
  TsButton* sButton10 = nullptr;  // "Refresh"
  TsDBNavigator* sDBNavigator1 = nullptr;

  TDBGrid* DBGrid2 = nullptr;                // the remarks table
  TsButton* sButton11 = nullptr;             // "Save"
  TsButton* sButton12 = nullptr;             // "Load"
  TsButton* sButton13 = nullptr;             // "Clear"
  TsFilenameEdit* sFilenameEdit2 = nullptr;  // "File with remarks"

  TsOpenDialog* sOpenDialog1 = nullptr;
  TsOpenPictureDialog* sOpenPictureDialog1 = nullptr;
  TsSaveDialog* sSaveDialog1 = nullptr;
  TsSavePictureDialog* sSavePictureDialog1 = nullptr;

  TDataSource* DataSource1 = nullptr;  // pictures
  TDataSource* DataSource2 = nullptr;  // remarks

  // Draws the current row into the preview; a picture that cannot be shown clears it and is
  // reported to the application, never raised out of a scroll.
  void ShowPicture();
  // The part of the preview group the picture may take.
  RECT PreviewArea() const;

protected:
  void DoDestroy() override;
  void DoShow() override;
  void DoHide() override;

private:
  std::unique_ptr<TEditorWindowHost> FHost;
  std::unique_ptr<TDRMEditorModel> FModel;
  bool FTableOpen = false;
  bool FDetached = false;

  void CreateControls();
  // Unlinks the controls from the model's tables; before either of them goes.
  void Detach();
  // Runs a command of the model with the edits handed over before and taken back after; a failure
  // reaches an error box and leaves the image as it was.
  template <typename F>
  void Command(F&& action);
  void ClearPreview();
  void StopAnimation();
  void ShowRaw();
  void ShowTyped();
  void PlacePreview(bool fill);
  void ReportPreviewFailure(const std::string& text);

  void sFilenameEdit1ButtonClick(TObject* sender);
  void sFilenameEdit2ButtonClick(TObject* sender);
  void sButton1Click(TObject* sender);
  void sButton2Click(TObject* sender);
  void sButton3Click(TObject* sender);
  void sButton4Click(TObject* sender);
  void sButton5Click(TObject* sender);
  void sButton6Click(TObject* sender);
  void sButton7Click(TObject* sender);
  void sButton8Click(TObject* sender);
  void sButton9Click(TObject* sender);
  void sButton10Click(TObject* sender);
  void sButton11Click(TObject* sender);
  void sButton12Click(TObject* sender);
  void sButton13Click(TObject* sender);
  void StretchClick(TObject* sender);
  void CDSAfterScroll(class TClientDataSet* dataSet);
  void CDSAfterOpen(class TClientDataSet* dataSet);
  void CDSAfterClose(class TClientDataSet* dataSet);
  void PreviewChanged(TObject* sender);
};

extern TfmDRMEditor* fmDRMEditor;
