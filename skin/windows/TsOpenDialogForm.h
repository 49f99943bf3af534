#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/win/TCustomForm.h"
#include "skin/windows/core/FileDialogRules.h"
#include "skin/windows/core/TsFolderHistory.h"

class TListItem;
class TMenuItem;
class TOpenDialog;
class TPaintBox;
class TPicture;
class TPopupMenu;
class TsButton;
class TsCheckBox;
class TsEdit;
class TsFileListView;
class TsFilterComboBox;
class TsLabel;
class TsPanel;
class TsPathComboBox;
class TsSkinProvider;
class TsSpeedButton;

// The skinned open and save dialog window, built in code for one Execute of a file dialog: a
// folder box with Back (and its history menu), Up, New folder and View style buttons, the file
// list, the name and type boxes, Open or Save, Cancel, Help and a read-only check box. The picture
// dialogs add a picture panel on the right.
//
// The dialog's folder changes with the list's (the process's current folder follows it); the
// dialog that runs the window puts the folder back as its options say.
class TsOpenDialogForm : public TForm {
public:
  explicit TsOpenDialogForm(TComponent* owner);
  ~TsOpenDialogForm() override;

  // Set while the window itself changes the list's folder (start, Back, a history item): the
  // folder being left is not recorded then. Shared by every instance.
  static bool Navigating();

  // Links the calling dialog (not owned) and prepares the window from its options, caption, file
  // name, folders and filter.
  void Prepare(TOpenDialog* dialog, TsFileDialogKind kind);
  TOpenDialog* Dialog() const { return FDialog; }
  TsFileDialogKind Kind() const { return FKind; }

  // After Accept: the name to open or save (folder + typed name, or the name as typed when
  // absolute), and every name of a multi-selection (full paths).
  const std::string& ResultFileName() const { return FResultFileName; }
  const std::vector<std::string>& ResultFiles() const { return FResultFiles; }

  // The picture panel on the right (picture dialogs; before Prepare).
  void AddPicturePanel();
  TPicture* PreviewPicture() const { return FPreviewPicture.get(); }
  // The preview button's and paint box's click; by default the full-size preview.
  const TNotifyEvent& OnPreviewClick() const { return FOnPreviewClick; }
  void SetOnPreviewClick(const TNotifyEvent& e) { FOnPreviewClick = e; }

  const TsFolderHistory& History() const { return FHistory; }

  // The components, by their roles.
  TsSkinProvider* SkinProvider() const { return FProvider; }
  TsSpeedButton* BackBtn() const { return FBackBtn; }
  TsSpeedButton* UpBtn() const { return FUpBtn; }
  TsSpeedButton* CreateDirBtn() const { return FCreateDirBtn; }
  TsSpeedButton* KindBtn() const { return FKindBtn; }
  TsPathComboBox* DriveComboBox() const { return FDriveComboBox; }
  TsEdit* FileNameEdit() const { return FFileNameEdit; }
  TsFilterComboBox* FileTypeBox() const { return FFileTypeBox; }
  TsButton* OkButton() const { return FButton1; }
  TsButton* CancelButton() const { return FButton2; }
  TsButton* HelpButton() const { return FBtnHelp; }
  TsFileListView* FileListView() const { return FFileListView; }
  TsCheckBox* CheckBoxReadOnly() const { return FCheckBoxReadOnly; }
  TPopupMenu* ViewMenu() const { return FPopupMenu1; }
  TPopupMenu* HistMenu() const { return FHistMenu; }
  TsPanel* PicturePanel() const { return FPicturePanel; }
  TsLabel* PictureLabel() const { return FPictureLabel; }
  TsSpeedButton* PreviewButton() const { return FPreviewButton; }
  TPaintBox* PaintBox() const { return FPaintBox; }

  // What the buttons and menus do.
  void AcceptClick(TObject* sender);
  void CancelClick(TObject* sender);
  void BackClick(TObject* sender);
  void UpClick(TObject* sender);
  void CreateDirClick(TObject* sender);
  void KindClick(TObject* sender);
  void HelpClick(TObject* sender);
  void ViewItemClick(TObject* sender);
  void HistoryItemClick(TObject* sender);

protected:
  void DoShow() override;
  void DoClose(TCloseAction& action) override;
  void DoDestroy() override;

private:
  void FormCloseQuery(TObject* sender, bool& canClose);
  void FolderBoxChange(TObject* sender);
  void TypeChange(TObject* sender);
  void ListSelectItem(TObject* sender, TListItem* item, bool selected);
  void ListBeforeDirChange(TObject* sender);
  void ListAfterDirChange(TObject* sender);
  void SelectionChanged();
  void PictureSelectionChanged();
  void PaintBoxPaint(TObject* sender);
  void PreviewClicked(TObject* sender);
  void RebuildHistoryMenu();
  void ApplyLabelColor();
  void GoTo(const std::string& folder);
  bool ListEditing() const;
  bool Closing() const;
  TMenuItem* AddViewItem(const std::string& name, const std::string& caption);

  TOpenDialog* FDialog = nullptr;  // not owned
  TsFileDialogKind FKind = TsFileDialogKind::Open;
  std::string FResultFileName;
  std::vector<std::string> FResultFiles;
  TsFolderHistory FHistory;
  bool FFolderBoxGuard = false;
  bool FListChanging = false;
  bool FDestroying = false;

  TsSkinProvider* FProvider = nullptr;
  TsSpeedButton* FBackBtn = nullptr;
  TsSpeedButton* FUpBtn = nullptr;
  TsSpeedButton* FCreateDirBtn = nullptr;
  TsSpeedButton* FKindBtn = nullptr;
  TsPathComboBox* FDriveComboBox = nullptr;
  TsEdit* FFileNameEdit = nullptr;
  TsFilterComboBox* FFileTypeBox = nullptr;
  TsButton* FButton1 = nullptr;
  TsButton* FButton2 = nullptr;
  TsButton* FBtnHelp = nullptr;
  TsFileListView* FFileListView = nullptr;
  TsCheckBox* FCheckBoxReadOnly = nullptr;
  TPopupMenu* FPopupMenu1 = nullptr;
  TMenuItem* FList1 = nullptr;
  TMenuItem* FIcons1 = nullptr;
  TMenuItem* FIcons2 = nullptr;
  TPopupMenu* FHistMenu = nullptr;

  TsPanel* FPicturePanel = nullptr;
  TsLabel* FPictureLabel = nullptr;
  TsSpeedButton* FPreviewButton = nullptr;
  TsPanel* FPaintPanel = nullptr;
  TPaintBox* FPaintBox = nullptr;
  std::unique_ptr<TPicture> FPreviewPicture;
  TNotifyEvent FOnPreviewClick;
};

// The picture at its own size in a window of its own ("PreviewForm"), shown modally; Escape closes it.
void ShowPicturePreview(const TPicture* picture);
