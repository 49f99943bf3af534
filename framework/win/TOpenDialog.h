#pragma once

#include <windows.h>
#include <commdlg.h>

#include <cstdint>
#include <string>
#include <vector>

#include "framework/base/TStringList.h"
#include "framework/win/TComponent.h"

using TOpenOptions = uint32_t;
constexpr TOpenOptions ofReadOnly = 1 << 0, ofOverwritePrompt = 1 << 1, ofHideReadOnly = 1 << 2,
                       ofNoChangeDir = 1 << 3, ofShowHelp = 1 << 4, ofNoValidate = 1 << 5,
                       ofAllowMultiSelect = 1 << 6, ofExtensionDifferent = 1 << 7, ofPathMustExist = 1 << 8,
                       ofFileMustExist = 1 << 9, ofCreatePrompt = 1 << 10, ofShareAware = 1 << 11,
                       ofNoReadOnlyReturn = 1 << 12, ofNoTestFileCreate = 1 << 13, ofEnableSizing = 1 << 14;

using TCanCloseEvent = TDelegate<void(TObject* Sender, bool& CanClose)>;

// The platform's open dialog (GetOpenFileNameA). Execute shows it modally and is true when the user
// accepted a file: FileName then holds the full path and Files every chosen file.
class TOpenDialog : public TComponent {
public:
  explicit TOpenDialog(TComponent* owner);

  virtual bool Execute();

  const std::string& FileName() const { return FFileName; }
  void SetFileName(const std::string& value) { FFileName = value; }
  const TStringList& Files() const { return FFiles; }
  TStringList& Files() { return FFiles; }
  const std::string& Filter() const { return FFilter; }
  // "Description|mask|Description|mask..."
  void SetFilter(const std::string& value) { FFilter = value; }
  // 1-based.
  int FilterIndex() const { return FFilterIndex; }
  void SetFilterIndex(int value) { FFilterIndex = value; }
  const std::string& InitialDir() const { return FInitialDir; }
  void SetInitialDir(const std::string& value) { FInitialDir = value; }
  const std::string& Title() const { return FTitle; }
  void SetTitle(const std::string& value) { FTitle = value; }
  const std::string& DefaultExt() const { return FDefaultExt; }
  void SetDefaultExt(const std::string& value) { FDefaultExt = value; }
  TOpenOptions Options() const { return FOptions; }
  void SetOptions(TOpenOptions value) { FOptions = value; }
  TStringList& HistoryList() { return FHistoryList; }
  int HelpContext() const { return FHelpContext; }
  void SetHelpContext(int value) { FHelpContext = value; }
  // The dialog window while it is shown, nullptr otherwise.
  HWND Handle() const { return FHandle; }

  const TNotifyEvent& OnShow() const { return FOnShow; }
  void SetOnShow(const TNotifyEvent& e) { FOnShow = e; }
  const TNotifyEvent& OnClose() const { return FOnClose; }
  void SetOnClose(const TNotifyEvent& e) { FOnClose = e; }
  const TCanCloseEvent& OnCanClose() const { return FOnCanClose; }
  void SetOnCanClose(const TCanCloseEvent& e) { FOnCanClose = e; }
  const TNotifyEvent& OnFolderChange() const { return FOnFolderChange; }
  void SetOnFolderChange(const TNotifyEvent& e) { FOnFolderChange = e; }
  const TNotifyEvent& OnSelectionChange() const { return FOnSelectionChange; }
  void SetOnSelectionChange(const TNotifyEvent& e) { FOnSelectionChange = e; }
  const TNotifyEvent& OnTypeChange() const { return FOnTypeChange; }
  void SetOnTypeChange(const TNotifyEvent& e) { FOnTypeChange = e; }

  // The platform's flags for options, and the filter in its double-zero form (for checks).
  static DWORD OptionFlags(TOpenOptions options);
  static std::string NativeFilter(const std::string& filter);

protected:
  using TDialogFunc = BOOL(WINAPI*)(LPOPENFILENAMEA);
  bool DoExecute(TDialogFunc func);
  // A subclass's own child dialog inside the platform's window: its template (nullptr: none; the
  // platform lays out the standard controls where the template's static of id stc32 is), and every
  // message of the hook dialog not handled here (true when handled, with the dialog's result).
  virtual const DLGTEMPLATE* ChildTemplate() { return nullptr; }
  virtual bool ChildMessage(HWND /*hook*/, UINT /*msg*/, WPARAM /*wParam*/, LPARAM /*lParam*/) { return false; }
  // The platform's window (the hook dialog's parent) was shown, before OnShow, and its selection
  // changed, before OnSelectionChange.
  virtual void DialogShown(HWND /*hook*/) {}
  virtual void SelectionChanged(HWND /*hook*/) {}

private:
  static UINT_PTR CALLBACK HookProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
  void HookNotify(HWND hook, const OFNOTIFYA& notify);
  void ReadResult(const OPENFILENAMEA& ofn, const std::vector<char>& buffer);

  std::string FFileName;
  TStringList FFiles;
  std::string FFilter;
  int FFilterIndex = 1;
  std::string FInitialDir;
  std::string FTitle;
  std::string FDefaultExt;
  TOpenOptions FOptions = ofHideReadOnly | ofEnableSizing;
  TStringList FHistoryList;
  int FHelpContext = 0;
  HWND FHandle = nullptr;
  TNotifyEvent FOnShow, FOnClose, FOnFolderChange, FOnSelectionChange, FOnTypeChange;
  TCanCloseEvent FOnCanClose;
};

// The platform's save dialog (GetSaveFileNameA).
class TSaveDialog : public TOpenDialog {
public:
  using TOpenDialog::TOpenDialog;
  bool Execute() override;
};
