#include "skin/windows/TsOpenDialogForm.h"

#include <windows.h>
#include <commctrl.h>

#include "framework/base/AnsiStrings.h"
#include "framework/win/TApplication.h"
#include "framework/win/TBitmap.h"
#include "framework/win/TImage.h"
#include "framework/win/TListItem.h"
#include "framework/win/TMenuItem.h"
#include "framework/win/TOpenDialog.h"
#include "framework/win/TPaintBox.h"
#include "framework/win/TPicture.h"
#include "framework/win/TPopupMenu.h"
#include "skin/controls/TsButton.h"
#include "skin/controls/TsCheckBox.h"
#include "skin/controls/TsEdit.h"
#include "skin/controls/TsLabel.h"
#include "skin/controls/TsPanel.h"
#include "skin/controls/TsSpeedButton.h"
#include "skin/engine/SkinUtilsWin.h"
#include "skin/engine/TsBoundLabel.h"
#include "skin/engine/core/SkinMessages.h"
#include "skin/engine/core/SkinTables.h"
#include "skin/engine/core/TsSkinData.h"
#include "skin/windows/TsFileListView.h"
#include "skin/windows/TsFilterComboBox.h"
#include "skin/windows/TsMessageDlg.h"
#include "skin/windows/TsPathComboBox.h"
#include "skin/windows/TsSkinProvider.h"

namespace {

bool GNavigating = false;

// Sets the flag for a scope (Back, history items, the start).
class TNavigatingScope {
public:
  TNavigatingScope() { GNavigating = true; }
  ~TNavigatingScope() { GNavigating = false; }
  TNavigatingScope(const TNavigatingScope&) = delete;
  TNavigatingScope& operator=(const TNavigatingScope&) = delete;
};

// The window at its first size, and the places of its rows (client coordinates).
constexpr int FormWidth = 563, FormHeight = 372, Margin = 6, ToolTop = 6, ToolSize = 23, ListTop = 36;
constexpr int EditLeft = 84, ButtonWidth = 80, ButtonHeight = 23, RowHeight = 28, BottomRows = 3;
constexpr int PicturePanelWidth = 200;

// Folders, ".." and drives are entered by the list itself; files are chosen.
bool IsFileItem(TsFileListView* list, const TListItem* item) {
  const TFileEntry* entry = list->Entry(item);
  return entry != nullptr && entry->Kind == TFileEntryKind::File;
}

// The accept checks against the real file system and the skinned boxes.
class TDialogAcceptHost : public TsAcceptHost {
public:
  bool FileExists(const std::string& path) override {
    const DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
  }
  bool FolderExists(const std::string& path) override { return ::FolderExists(path); }
  bool Confirm(const std::string& text) override { return ConfirmYesNo(text); }
  void Warn(const std::string& text) override { ShowWarningBox(text); }
  bool CreateEmptyFile(const std::string& path) override {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
  }
};

TBitmap* DialogGlyph(const char* name) {
  HINSTANCE module = GetModuleHandleA(nullptr);
  if (FindResourceA(module, name, MAKEINTRESOURCEA(2) /* RT_BITMAP */) == nullptr) return nullptr;
  static TBitmap glyph;
  glyph.LoadFromResourceName(module, name);
  return &glyph;
}

TsSpeedButton* ToolButton(TsOpenDialogForm* form, int left, const char* hint, const char* glyph, TNotifyEvent click) {
  auto* button = NewControl<TsSpeedButton>(form, form, RECT{left, ToolTop, left + ToolSize, ToolTop + ToolSize});
  button->SkinData().SetSkinSection("TOOLBUTTON");
  button->SetFlat(true);
  button->SetHint(hint);
  button->SetShowHint(true);
  button->SetAnchors(akTop | akRight);
  if (TBitmap* bitmap = DialogGlyph(glyph)) {
    button->SetGlyph(bitmap);
    button->SetNumGlyphs(2);
  }
  button->SetOnClick(click);
  return button;
}

}  // namespace

bool TsOpenDialogForm::Navigating() { return GNavigating; }

TsOpenDialogForm::TsOpenDialogForm(TComponent* owner) : TForm(owner) {
  SetName("sOpenDialogForm");
  SetCaption("Open");
  SetBorderStyle(bsSizeToolWin);
  SetKeyPreview(true);
  SetPosition(poScreenCenter);
  SetBounds(0, 0, FormWidth, FormHeight);
  SetConstraints(TSizeConstraints{480, 310, 0, 0});
  const int cw = ClientWidth(), ch = ClientHeight();

  FProvider = NewComponent<TsSkinProvider>(this);
  FProvider->SetName("sSkinProvider1");
  FProvider->SkinData()->SetSkinSection("DIALOG");
  FProvider->SetCaptionAlignment(taCenter);
  FProvider->SetGripMode(TsGripMode::gmRightBottom);
  FProvider->SetShowAppIcon(false);
  FProvider->SetBorderIcons(biSystemMenu);

  // The tool buttons on the right of the folder box.
  const int arrow = TsSpeedButton::ArrowWidth;
  int x = cw - Margin - (ToolSize + arrow) * 2 - ToolSize * 2 - 6;
  FBackBtn = ToolButton(this, x, "Back", "SDLG_BACK", TNotifyEvent(this, &TsOpenDialogForm::BackClick));
  FBackBtn->SetName("BackBtn");
  TsButtonLook look = FBackBtn->Look();
  look.Blend = 30;
  FBackBtn->SetLook(look);
  x += ToolSize + arrow + 2;
  FUpBtn = ToolButton(this, x, "Up one level", "SDLG_UP", TNotifyEvent(this, &TsOpenDialogForm::UpClick));
  FUpBtn->SetName("UpBtn");
  x += ToolSize + 2;
  FCreateDirBtn =
      ToolButton(this, x, "New directory", "SDLG_NEWDIR", TNotifyEvent(this, &TsOpenDialogForm::CreateDirClick));
  FCreateDirBtn->SetName("CreateDirBtn");
  x += ToolSize + 2;
  FKindBtn = ToolButton(this, x, "View style", "SDLG_VIEW", TNotifyEvent(this, &TsOpenDialogForm::KindClick));
  FKindBtn->SetName("KindBtn");

  FDriveComboBox = NewControl<TsPathComboBox>(this, this, RECT{EditLeft, ToolTop, FBackBtn->Left() - 8, ToolTop + 22});
  FDriveComboBox->SetName("DriveComboBox");
  FDriveComboBox->SkinData().SetSkinSection("COMBOBOX");
  FDriveComboBox->SetAnchors(akLeft | akTop | akRight);
  FDriveComboBox->BoundLabel()->SetActive(true);
  FDriveComboBox->BoundLabel()->SetCaption("Folder");
  FDriveComboBox->SetOnChange(TNotifyEvent(this, &TsOpenDialogForm::FolderBoxChange));

  // The three rows below the list: name, type, read-only.
  const int rowTop = ch - BottomRows * RowHeight;
  FFileNameEdit = NewControl<TsEdit>(this, this, RECT{EditLeft, rowTop, cw - ButtonWidth - Margin * 3, rowTop + 21});
  FFileNameEdit->SetName("FileNameEdit");
  FFileNameEdit->SetText("");
  FFileNameEdit->SetAnchors(akLeft | akRight | akBottom);
  FFileNameEdit->BoundLabel()->SetActive(true);
  FFileNameEdit->BoundLabel()->SetCaption("File name :  ");

  FFileTypeBox = NewControl<TsFilterComboBox>(
      this, this, RECT{EditLeft, rowTop + RowHeight, cw - ButtonWidth - Margin * 3, rowTop + RowHeight + 21});
  FFileTypeBox->SetName("FileTypeBox");
  FFileTypeBox->SkinData().SetSkinSection("COMBOBOX");
  FFileTypeBox->SetAnchors(akLeft | akRight | akBottom);
  FFileTypeBox->BoundLabel()->SetActive(true);
  FFileTypeBox->BoundLabel()->SetCaption("Files type :  ");
  FFileTypeBox->SetOnChange(TNotifyEvent(this, &TsOpenDialogForm::TypeChange));

  const int buttonLeft = cw - ButtonWidth - Margin;
  FButton1 = NewControl<TsButton>(this, this, RECT{buttonLeft, rowTop - 1, cw - Margin, rowTop - 1 + ButtonHeight});
  FButton1->SetName("sButton1");
  FButton1->SetCaption("Open");
  FButton1->SetDefault(true);
  FButton1->SetAnchors(akRight | akBottom);
  FButton1->SetOnClick(TNotifyEvent(this, &TsOpenDialogForm::AcceptClick));
  FButton2 = NewControl<TsButton>(
      this, this, RECT{buttonLeft, rowTop + RowHeight - 1, cw - Margin, rowTop + RowHeight - 1 + ButtonHeight});
  FButton2->SetName("sButton2");
  FButton2->SetCaption("Cancel");
  FButton2->SetCancel(true);
  FButton2->SetAnchors(akRight | akBottom);
  FButton2->SetOnClick(TNotifyEvent(this, &TsOpenDialogForm::CancelClick));
  FBtnHelp = NewControl<TsButton>(
      this, this,
      RECT{buttonLeft, rowTop + RowHeight * 2 - 1, cw - Margin, rowTop + RowHeight * 2 - 1 + ButtonHeight});
  FBtnHelp->SetName("BtnHelp");
  FBtnHelp->SetCaption("Help");
  FBtnHelp->SetAnchors(akRight | akBottom);
  FBtnHelp->SetOnClick(TNotifyEvent(this, &TsOpenDialogForm::HelpClick));

  FFileListView = NewControl<TsFileListView>(this, this, RECT{Margin, ListTop, cw - Margin, rowTop - 8});
  FFileListView->SetName("FileListView");
  FFileListView->SkinData().SetSkinSection("EDIT");
  FFileListView->SetAnchors(akLeft | akTop | akRight | akBottom);
  FFileListView->SetRowSelect(true);
  FFileListView->SetFileType(ftReadOnly | ftHidden | ftSystem | ftArchive);
  FFileListView->SetMask("*.*");
  FFileListView->SetShowParentItem(false);
  // A double click accepts; it never runs the file it names (folders, ".." and drives still open).
  FFileListView->SetDblClickToOpen(false);
  FFileListView->SetOnDblClick(TNotifyEvent(this, &TsOpenDialogForm::AcceptClick));
  FFileListView->SetOnSelectItem(TLVSelectItemEvent(this, &TsOpenDialogForm::ListSelectItem));
  FFileListView->SetOnBeforeDirChanging(TNotifyEvent(this, &TsOpenDialogForm::ListBeforeDirChange));
  FFileListView->SetOnAfterDirChanging(TNotifyEvent(this, &TsOpenDialogForm::ListAfterDirChange));

  FCheckBoxReadOnly = NewControl<TsCheckBox>(
      this, this, RECT{EditLeft, rowTop + RowHeight * 2 + 2, EditLeft + 120, rowTop + RowHeight * 2 + 19});
  FCheckBoxReadOnly->SetName("CheckBoxReadOnly");
  FCheckBoxReadOnly->SetCaption("Read only");
  FCheckBoxReadOnly->SkinData().SetSkinSection("CHECKBOX");
  FCheckBoxReadOnly->SetAnchors(akLeft | akBottom);
  FCheckBoxReadOnly->SetVisible(false);

  FPopupMenu1 = NewComponent<TPopupMenu>(this);
  FPopupMenu1->SetName("PopupMenu1");
  FList1 = AddViewItem("List1", "List");
  FIcons1 = AddViewItem("Icons1", "Report");
  FIcons2 = AddViewItem("Icons2", "Icons");
  FIcons1->SetChecked(true);
  FKindBtn->SetButtonStyle(tbsDropDown);
  FKindBtn->SetDropdownMenu(FPopupMenu1);

  FHistMenu = NewComponent<TPopupMenu>(this);
  FHistMenu->SetName("HistMenu");
  FBackBtn->SetButtonStyle(tbsDropDown);
  FBackBtn->SetDropdownMenu(FHistMenu);

  SetActiveControl(FFileNameEdit);
  SetOnCloseQuery(TCloseQueryEvent(this, &TsOpenDialogForm::FormCloseQuery));
  FHistory.Clear();
  FBackBtn->SetEnabled(false);
}

TsOpenDialogForm::~TsOpenDialogForm() { FDestroying = true; }

TMenuItem* TsOpenDialogForm::AddViewItem(const std::string& name, const std::string& caption) {
  auto* item = NewComponent<TMenuItem>(this);
  item->SetName(name);
  item->SetCaption(caption);
  item->SetOnClick(TNotifyEvent(this, &TsOpenDialogForm::ViewItemClick));
  FPopupMenu1->Items()->Add(item);
  return item;
}

void TsOpenDialogForm::Prepare(TOpenDialog* dialog, TsFileDialogKind kind) {
  FDialog = dialog;
  FKind = kind;
  const TOpenOptions options = dialog->Options();
  FBtnHelp->SetVisible((options & ofShowHelp) != 0);
  FCheckBoxReadOnly->SetVisible(!(options & ofHideReadOnly));
  FFileListView->SetMultiSelect((options & ofAllowMultiSelect) != 0);
  if (FCheckBoxReadOnly->Visible()) FCheckBoxReadOnly->SetChecked((options & ofReadOnly) != 0);
  if (IsSaveDialog(kind)) FButton1->SetCaption("Save");

  std::string caption = dialog->Title();
  if (caption.empty()) caption = GetCommDlgString(IsSaveDialog(kind) ? 385 : 384);
  // A system without those strings (Wine) would leave the window untitled.
  if (caption.empty()) caption = IsSaveDialog(kind) ? "Save" : "Open";
  SetCaption(caption);
  SetModalResult(mrCancel);

  // A relative name or folder is read against the current folder now, before the list moves it.
  auto fullPath = [](const std::string& path) {
    if (path.empty()) return path;
    char buffer[MAX_PATH * 2];
    const DWORD n = GetFullPathNameA(path.c_str(), sizeof buffer, buffer, nullptr);
    return n > 0 && n < sizeof buffer ? std::string(buffer, n) : path;
  };
  // The type box's mask first, so that the list is read once, in its starting folder.
  FFileTypeBox->SetFilter(dialog->Filter());
  FFileTypeBox->SetItemIndex(dialog->FilterIndex() < 1 ? 0 : dialog->FilterIndex() - 1);
  FFileListView->SetMask(FFileTypeBox->GetMask());

  std::string fileName = dialog->FileName();
  if (!ExtractFilePath(fileName).empty()) fileName = fullPath(fileName);
  const TsDialogStart start =
      DialogStart(fileName, fullPath(dialog->InitialDir()), dialog->DefaultExt(), AppFolder(),
                  [](const std::string& folder) { return ::FolderExists(folder); });
  {
    TNavigatingScope navigating;
    FFileListView->SetDirectory(start.Folder);
  }
  FFileNameEdit->SetText(start.Name);

  FFolderBoxGuard = true;
  FDriveComboBox->SetDirectory(FFileListView->Directory().empty() ? std::string("C:") : FFileListView->Directory());
  FFolderBoxGuard = false;

  if (!(options & ofEnableSizing)) {
    SetBorderStyle(bsSingle);
    FProvider->SetGripMode(TsGripMode::gmNone);
  }
}

bool TsOpenDialogForm::ListEditing() const {
  return FFileListView->HandleAllocated() &&
         SendMessageA(FFileListView->Handle(), LVM_GETEDITCONTROL, 0, 0) != 0;
}

bool TsOpenDialogForm::Closing() const {
  return FDestroying || IsDestroying() || (FDialog != nullptr && FDialog->IsDestroying());
}

void TsOpenDialogForm::AcceptClick(TObject*) {
  Application->ProcessMessages();
  if (Closing()) return;
  if (FFileListView->Focused()) {
    if (ListEditing()) return;
    // The list enters folders, ".." and drives by itself.
    const TListItem* item = FFileListView->Selected();
    if (item != nullptr && !IsFileItem(FFileListView, item)) return;
  }
  const std::string typed = FFileNameEdit->Text();
  if (Trim(typed).empty()) return;
  const std::string folder = FFileListView->Directory();
  // A folder typed in the name box is opened, as the list opens one, and the window stays.
  const std::string opened = TypedFolder(folder, typed, [](const std::string& f) { return ::FolderExists(f); });
  if (!opened.empty()) {
    FFileListView->SetDirectory(opened);
    FFileNameEdit->SetText("");
    return;
  }
  std::vector<std::string> files;
  for (const std::string& name : SplitQuotedNames(typed)) files.push_back(::ResultFileName(folder, name));
  if (files.empty()) return;
  const TOpenOptions options = FDialog != nullptr ? FDialog->Options() : 0;
  TsAcceptOptions accept;
  accept.Save = IsSaveDialog(FKind);
  accept.OverwritePrompt = (options & ofOverwritePrompt) != 0;
  accept.PathMustExist = (options & ofPathMustExist) != 0;
  accept.FileMustExist = (options & ofFileMustExist) != 0;
  accept.CreatePrompt = (options & ofCreatePrompt) != 0;
  TDialogAcceptHost host;
  if (!AcceptFileNames(files, accept, host)) return;
  FResultFileName = files.front();
  FResultFiles = files;
  SetModalResult(mrOk);
}

void TsOpenDialogForm::CancelClick(TObject*) {
  if (ListEditing()) {
    // Escape ends the list's caption edit; the window stays.
    SendMessageA(FFileListView->Handle(), LVM_CANCELEDITLABEL, 0, 0);
    SetModalResult(mrNone);
    return;
  }
  SetModalResult(mrCancel);
}

void TsOpenDialogForm::ListSelectItem(TObject*, TListItem*, bool) {
  if (Closing() || FListChanging) return;
  SelectionChanged();
}

void TsOpenDialogForm::SelectionChanged() {
  TsFileListView* list = FFileListView;
  if (list->MultiSelect() && list->SelCount() > 0) {
    std::vector<std::string> names;
    for (TListItem* item = list->GetNextSelected(nullptr); item != nullptr; item = list->GetNextSelected(item))
      if (IsFileItem(list, item)) names.push_back(item->Caption());
    if (!names.empty()) FFileNameEdit->SetText(names.size() == 1 ? names.front() : QuotedNames(names));
  } else if (const TListItem* item = list->Selected(); IsFileItem(list, item)) {
    FFileNameEdit->SetText(item->Caption());
  }
  if (FDialog != nullptr) {
    const std::vector<std::string> names = SplitQuotedNames(FFileNameEdit->Text());
    if (!names.empty()) FDialog->SetFileName(::ResultFileName(list->Directory(), names.front()));
    if (list->MultiSelect()) {
      TStringList& files = FDialog->Files();
      files.Clear();
      for (const std::string& name : names) files.Add(::ResultFileName(list->Directory(), name));
    }
  }
  if (FPicturePanel != nullptr) PictureSelectionChanged();
  if (FDialog != nullptr && FDialog->OnSelectionChange()) FDialog->OnSelectionChange()(this);
}

void TsOpenDialogForm::FolderBoxChange(TObject*) {
  if (FFolderBoxGuard || FListChanging) return;
  const std::string folder = FDriveComboBox->Directory();
  if (folder.empty()) return;
  if (::FolderExists(folder)) {
    FFileListView->SetDirectory(folder);
  } else {
    ShowErrorBox(folder + "\r\nDevice is not ready");
    // The box goes back to the list's folder.
    FFolderBoxGuard = true;
    FDriveComboBox->SetDirectory(FFileListView->Directory());
    FFolderBoxGuard = false;
  }
}

void TsOpenDialogForm::TypeChange(TObject*) {
  FFileListView->SetMask(FFileTypeBox->GetMask());
  if (FDialog != nullptr) {
    FDialog->SetFilterIndex(FFileTypeBox->ItemIndex() + 1);
    if (FDialog->OnTypeChange()) FDialog->OnTypeChange()(this);
  }
}

void TsOpenDialogForm::ViewItemClick(TObject* sender) {
  auto* item = dynamic_cast<TMenuItem*>(sender);
  if (item == FList1) FFileListView->SetViewStyle(vsList);
  else if (item == FIcons1) FFileListView->SetViewStyle(vsReport);
  else if (item == FIcons2) FFileListView->SetViewStyle(vsIcon);
  else return;
  for (TMenuItem* each : {FList1, FIcons1, FIcons2}) each->SetChecked(each == item);
}

void TsOpenDialogForm::KindClick(TObject*) {
  switch (FFileListView->ViewStyle()) {
    case vsIcon:
      FList1->Click();
      break;
    case vsList:
      FIcons1->Click();
      break;
    case vsReport:
      FIcons2->Click();
      break;
    default:
      break;
  }
}

void TsOpenDialogForm::ListBeforeDirChange(TObject*) {
  FListChanging = true;
  if (GNavigating) return;
  FHistory.Record(FFileListView->Directory());
  RebuildHistoryMenu();
}

void TsOpenDialogForm::ListAfterDirChange(TObject*) {
  FListChanging = false;
  const std::string& folder = FFileListView->Directory();
  FUpBtn->SetEnabled(!folder.empty() && !IsDriveRoot(folder));
  FCreateDirBtn->SetEnabled(!folder.empty());
  FBackBtn->SetEnabled(!FHistory.Empty());
  GNavigating = false;
  if (FDialog != nullptr && FDialog->OnFolderChange()) FDialog->OnFolderChange()(this);
  if (!FDriveComboBox->Updating() && !folder.empty()) {
    FFolderBoxGuard = true;
    FDriveComboBox->SetDirectory(folder);
    FFolderBoxGuard = false;
  }
}

void TsOpenDialogForm::RebuildHistoryMenu() {
  FHistMenu->Items()->Clear();
  for (int i = 0; i < FHistory.Count(); ++i) {
    auto* item = NewComponent<TMenuItem>(this);
    item->SetCaption(TsFolderHistory::MenuCaption(FHistory.Folder(i)));
    item->SetTag(i);
    item->SetOnClick(TNotifyEvent(this, &TsOpenDialogForm::HistoryItemClick));
    FHistMenu->Items()->Add(item);
  }
  FBackBtn->SetEnabled(!FHistory.Empty());
}

void TsOpenDialogForm::GoTo(const std::string& folder) {
  {
    TNavigatingScope navigating;
    FFileListView->SetDirectory(folder);
  }
  RebuildHistoryMenu();
}

void TsOpenDialogForm::BackClick(TObject*) {
  if (std::optional<std::string> folder = FHistory.Back(FFileListView->Directory())) GoTo(*folder);
  else RebuildHistoryMenu();
}

void TsOpenDialogForm::HistoryItemClick(TObject* sender) {
  auto* item = dynamic_cast<TMenuItem*>(sender);
  if (item == nullptr) return;
  // The path is the history's, not the item's caption (which doubles its "&").
  if (std::optional<std::string> folder = FHistory.Take(item->Tag(), FFileListView->Directory())) GoTo(*folder);
  else RebuildHistoryMenu();
}

void TsOpenDialogForm::UpClick(TObject*) { FFileListView->UpLevel(); }

void TsOpenDialogForm::CreateDirClick(TObject*) { FFileListView->NewFolder(); }

void TsOpenDialogForm::HelpClick(TObject*) {
  if (FDialog != nullptr) Application->HelpContext(FDialog->HelpContext());
}

void TsOpenDialogForm::ApplyLabelColor() {
  // The labels paint the standard way: on a dark skin they take the dialog section's text colour.
  const std::int32_t section = SkinData().Active ? FindSectionIndex("DIALOG") : -1;
  const TColor color = SectionIndexValid(section)
                           ? ActiveSkin().SkinSectionData[std::size_t(section)].FontColor[0]
                           : clWindowText;
  for (TsBoundLabel* bound : {FDriveComboBox->BoundLabel(), FFileNameEdit->BoundLabel(), FFileTypeBox->BoundLabel()})
    bound->Font()->SetColor(color);
  if (FPictureLabel != nullptr) FPictureLabel->Font()->SetColor(color);
}

void TsOpenDialogForm::DoShow() {
  ApplyLabelColor();
  TForm::DoShow();
  if (FDialog != nullptr && FDialog->OnShow()) FDialog->OnShow()(this);
  if (!FDriveComboBox->Updating() && !FFileListView->Directory().empty()) {
    FFolderBoxGuard = true;
    FDriveComboBox->SetDirectory(FFileListView->Directory());
    FFolderBoxGuard = false;
  }
}

void TsOpenDialogForm::DoClose(TCloseAction& action) {
  TForm::DoClose(action);
  if (FDialog != nullptr && FDialog->OnClose()) FDialog->OnClose()(this);
}

void TsOpenDialogForm::FormCloseQuery(TObject*, bool& canClose) {
  if (FDialog != nullptr && FDialog->OnCanClose()) FDialog->OnCanClose()(this, canClose);
}

void TsOpenDialogForm::DoDestroy() {
  FDestroying = true;
  TForm::DoDestroy();
}

// The picture panel.

void TsOpenDialogForm::AddPicturePanel() {
  if (FPicturePanel != nullptr) return;
  FPreviewPicture = std::make_unique<TPicture>();
  const int cw = ClientWidth(), ch = ClientHeight();
  // The window grows by the panel; what is there keeps its place and size, anchored anew.
  std::vector<std::pair<TControl*, RECT>> kept;
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    kept.emplace_back(c, RECT{c->Left(), c->Top(), c->Width(), c->Height()});
  }
  SetWidth(Width() + PicturePanelWidth);
  SetConstraints(TSizeConstraints{Width(), 310, 0, 0});
  for (const auto& [c, r] : kept) c->SetBounds(r.left, r.top, r.right, r.bottom);

  FPicturePanel = NewControl<TsPanel>(this, this, RECT{cw, ListTop - 6, cw + PicturePanelWidth - Margin, ch - Margin});
  FPicturePanel->SetName("sPicturePanel");
  FPicturePanel->SetCaption("");
  FPicturePanel->SetBevelOuter(bvNone);
  FPicturePanel->SetBorderWidth(6);
  FPicturePanel->SkinData().SetSkinSection("CHECKBOX");
  FPicturePanel->SetAnchors(akTop | akRight | akBottom);

  // The label's row holds the preview button on its right; the paint panel takes the rest.
  const int inner = PicturePanelWidth - Margin - 12;
  FPictureLabel = NewControl<TsLabel>(this, FPicturePanel, RECT{0, 0, inner, ToolSize + 4});
  FPictureLabel->SetName("sPictureLabel");
  FPictureLabel->SetAutoSize(false);
  FPictureLabel->SetAlign(alTop);
  FPictureLabel->SetLayout(tlCenter);
  FPictureLabel->SetCaption("Picture:");

  FPreviewButton = NewControl<TsSpeedButton>(this, FPicturePanel, RECT{inner - ToolSize, 0, inner, ToolSize});
  FPreviewButton->SetAnchors(akTop | akRight);
  FPreviewButton->SetName("sPreviewButton");
  FPreviewButton->SkinData().SetSkinSection("TOOLBUTTON");
  FPreviewButton->SetHint("Preview");
  FPreviewButton->SetShowHint(true);
  if (TBitmap* bitmap = DialogGlyph("PREVIEWGLYPH")) {
    FPreviewButton->SetGlyph(bitmap);
    FPreviewButton->SetNumGlyphs(2);
  }
  FPreviewButton->SetEnabled(false);
  FPreviewButton->SetOnClick(TNotifyEvent(this, &TsOpenDialogForm::PreviewClicked));

  FPaintPanel = NewControl<TsPanel>(this, FPicturePanel, RECT{0, ToolSize + 4, inner, ch - 80});
  FPaintPanel->SetName("sPaintPanel");
  FPaintPanel->SetCaption("");
  FPaintPanel->SkinData().SetSkinSection("PANEL_LOW");
  FPaintPanel->SetBevelOuter(bvLowered);
  FPaintPanel->SetBevelInner(bvLowered);
  FPaintPanel->SetAlign(alClient);

  FPaintBox = NewControl<TPaintBox>(this, FPaintPanel, RECT{0, 0, 10, 10});
  FPaintBox->SetName("sPaintBox");
  FPaintBox->SetAlign(alClient);
  FPaintBox->SetOnPaint(TNotifyEvent(this, &TsOpenDialogForm::PaintBoxPaint));
  FPaintBox->SetOnClick(TNotifyEvent(this, &TsOpenDialogForm::PreviewClicked));
}

void TsOpenDialogForm::PictureSelectionChanged() {
  const std::string fileName = FDialog != nullptr ? FDialog->FileName() : std::string();
  const DWORD attributes = fileName.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(fileName.c_str());
  bool shown = false;
  if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    // A file the picture class cannot read (a firmware part, a DRM image) just has no preview.
    try {
      FPreviewPicture->LoadFromFile(fileName);
      shown = FPreviewPicture->Width() > 0;
    } catch (const std::exception&) {
      shown = false;
    }
  }
  if (shown) {
    FPictureLabel->SetCaption(Format(" (%dx%d)", FPreviewPicture->Width(), FPreviewPicture->Height()));
  } else {
    FPictureLabel->SetCaption("Picture:");
    FPreviewPicture->SetGraphic(nullptr);
  }
  FPreviewButton->SetEnabled(shown);
  FPaintBox->Invalidate();
}

void TsOpenDialogForm::PaintBoxPaint(TObject*) {
  TCanvas* canvas = FPaintBox->Canvas();
  const RECT box = FPaintBox->ClientRect();
  canvas->Brush()->SetColor(FPaintBox->Color());
  canvas->FillRect(box);
  if (FPreviewPicture == nullptr || FPreviewPicture->Width() < 1) {
    canvas->Brush()->SetStyle(TBrushStyle::Clear);
    canvas->DrawText("(None)", box, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    return;
  }
  const TPreviewPlace place =
      PreviewPlace(FPreviewPicture->Width(), FPreviewPicture->Height(), box.right - box.left, box.bottom - box.top);
  canvas->StretchDraw(RECT{place.Left, place.Top, place.Left + place.Width, place.Top + place.Height},
                      FPreviewPicture->Graphic());
}

void TsOpenDialogForm::PreviewClicked(TObject* sender) {
  if (FPreviewPicture == nullptr || FPreviewPicture->Width() < 1) return;
  if (FOnPreviewClick) FOnPreviewClick(sender);
  else ShowPicturePreview(FPreviewPicture.get());
}

void ShowPicturePreview(const TPicture* picture) {
  auto* form = NewComponent<TForm>(Application);
  struct TFree {
    TForm* Form;
    ~TFree() { Form->Free(); }
  } free{form};
  form->SetName("PreviewForm");
  form->SetCaption("Preview");
  form->SetKeyPreview(true);
  form->SetPosition(poScreenCenter);
  form->SetAutoScroll(false);
  struct TEscape {
    TForm* Form;
    void KeyDown(TObject*, WORD& key, TShiftState) {
      if (key == VK_ESCAPE) Form->Close();
    }
  } escape{form};
  form->SetOnKeyDown(TKeyEvent(&escape, &TEscape::KeyDown));
  auto* provider = NewComponent<TsSkinProvider>(form);
  provider->SkinData()->SetSkinSection("DIALOG");

  auto* panel = NewControl<TsPanel>(form, form, RECT{0, 0, form->ClientWidth(), form->ClientHeight()});
  panel->SetName("Panel");
  panel->SetCaption("");
  panel->SetBevelOuter(bvNone);
  panel->SetBorderWidth(5);
  panel->SkinData().SetSkinSection("PANEL_LOW");
  panel->SetColor(clWindow);
  panel->SetAnchors(akLeft | akTop | akRight | akBottom);
  auto* image = NewControl<TImage>(form, panel, RECT{0, 0, 10, 10});
  image->SetName("Image");
  image->SetAlign(alClient);
  image->SetStretch(true);
  image->SetPicture(picture);
  if (picture != nullptr && picture->Width() > 0) {
    const int frameX = form->ClientWidth() - panel->ClientWidth() + panel->BorderWidth() * 2;
    const int frameY = form->ClientHeight() - panel->ClientHeight() + panel->BorderWidth() * 2;
    form->SetClientSize(picture->Width() + frameX + 10, picture->Height() + frameY + 10);
  }
  form->ShowModal();
}
