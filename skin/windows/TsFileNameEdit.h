#pragma once

#include <string>

#include "framework/base/Exception.h"
#include "skin/controls/TsComboEdit.h"
#include "skin/windows/TsFileDialogs.h"

class EComboEditError : public Exception {
public:
  using Exception::Exception;
};

// A combo edit that takes file names dropped from the shell: while AcceptFiles is set its window
// is a drop target from creation until just before it is destroyed.
class TsFileDirEdit : public TsCustomComboEdit {
public:
  explicit TsFileDirEdit(TComponent* owner);

  // Registers the window as a drop target of the shell.
  bool AcceptFiles() const { return FAcceptFiles; }
  void SetAcceptFiles(bool value);
  const TNotifyEvent& OnDropFiles() const { return FOnDropFiles; }
  void SetOnDropFiles(const TNotifyEvent& e) { FOnDropFiles = e; }
  bool MultipleFiles() const { return FMultipleFiles; }

  virtual std::string LongName() = 0;
  virtual std::string ShortName() = 0;

  void WndProc(TMessage& message) override;

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  // Takes one dropped name.
  virtual void ReceptFileDir(const std::string& name) = 0;
  virtual void ClearFileList() {}
  void SetMultipleFiles(bool value) { FMultipleFiles = value; }

private:
  // WM_DROPFILES: the list cleared, then each name in order (only the first without MultipleFiles),
  // then OnDropFiles.
  void DropFiles(WPARAM drop);

private:
  bool FAcceptFiles = false;
  bool FMultipleFiles = false;
  TNotifyEvent FOnDropFiles;
};

enum TDialogKind { dkOpen, dkSave };

// The edit through which windows take a file name: its button runs an open or save dialog owned by
// the edit and writes the chosen name back.
class TsFilenameEdit : public TsFileDirEdit {
public:
  explicit TsFilenameEdit(TComponent* owner);

  TDialogKind DialogKind() const { return FDialogKind; }
  void SetDialogKind(TDialogKind value);
  TOpenDialog* Dialog() const { return FDialog; }

  std::string FileName() { return Text(); }
  // A non-empty name that is not a valid file name raises EComboEditError "Invalid file name".
  void SetFileName(const std::string& value);
  const std::string& Filter() const { return FDialog->Filter(); }
  void SetFilter(const std::string& value) { FDialog->SetFilter(value); }
  int FilterIndex() const { return FDialog->FilterIndex(); }
  void SetFilterIndex(int value) { FDialog->SetFilterIndex(value); }
  const std::string& DefaultExt() const { return FDialog->DefaultExt(); }
  void SetDefaultExt(const std::string& value) { FDialog->SetDefaultExt(value); }
  const std::string& InitialDir() const { return FDialog->InitialDir(); }
  void SetInitialDir(const std::string& value) { FDialog->SetInitialDir(value); }
  TStringList& HistoryList() { return FDialog->HistoryList(); }
  TOpenOptions DialogOptions() const { return FDialog->Options(); }
  // Allow-multi-select sets MultipleFiles; without it the file list is cleared.
  void SetDialogOptions(TOpenOptions value);
  // Every name of the last drop (or of the dialog) while MultipleFiles is set.
  const TStringList& Files() const { return FDialog->Files(); }

  std::string LongName() override;
  std::string ShortName() override;

protected:
  // The button runs the dialog in place of a pop-up: primed from the text, and on acceptance the
  // chosen name written back.
  void ShowPopup() override;
  void ReceptFileDir(const std::string& name) override;
  void ClearFileList() override;

private:
  void MakeDialog(TDialogKind kind);

  TDialogKind FDialogKind = dkOpen;
  TOpenDialog* FDialog = nullptr;  // owned by the edit
};
