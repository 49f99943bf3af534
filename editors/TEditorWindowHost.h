#pragma once

#include <chrono>
#include <functional>

#include "editors/core/TEditorHost.h"
#include "skin/windows/core/MessageDlgLayout.h"

class TComponent;
class TsOpenDialog;
class TsSaveDialog;
class TsOpenPictureDialog;
class TsSavePictureDialog;

// The editor windows' side of the editor models: message boxes, the window's own file dialogs, and
// the main window and flasher through the editors' link. A combine or a hand-off to the flasher is
// refused while the main window's job or a flash run is in progress; the gauge is moved at most
// every 30 ms, and always at the ends of a run.
class TEditorWindowHost : public TEditorHost {
public:
  // The dialogs are made owned by `owner` (the editor window). `infoType` is the type of the box
  // ShowInfo shows.
  TEditorWindowHost(TComponent* owner, TMsgDlgType infoType);

  TsOpenDialog* OpenDialog() const { return FOpen; }
  TsSaveDialog* SaveDialog() const { return FSave; }
  TsOpenPictureDialog* OpenPictureDialog() const { return FOpenPicture; }
  TsSavePictureDialog* SavePictureDialog() const { return FSavePicture; }

  std::string Message(TMsgId id) override;
  bool AskYesNo(const std::string& text) override;
  void ShowInfo(const std::string& text) override;
  void ShowError(const std::string& text) override;
  void ShowWarning(const std::string& text) override;
  TSaveAnswer AskSaveChanges(const std::string& text) override;
  void SetStatus(const std::string& text) override;
  void SetProgress(int position, int maximum) override;
  std::string OpenFileName(TFilterKind filter) override;
  std::string OpenFileNameWithLastFilter() override;
  std::string OpenPictureFileName() override;
  std::string SaveFileName(TFilterKind filter, const std::string& proposed) override;
  std::string SaveFileNameUnfiltered(const std::string& proposed) override;
  std::string SavePictureFileName(const std::string& proposed) override;
  std::pair<int, int> AskRawBounds(int width, int height) override;
  std::optional<TGridRow> GridRow(int cg) override;
  void CombineSingleCG(int cg, const std::string& fileName, int32_t address, int32_t size) override;
  void SendToFlasher(const std::optional<TFlasherRow>& row, bool show) override;

  // Runs a command of the window: an error it raises (the models', the file layer's) reaches an
  // error box with its text; the models keep their data as it was.
  void Guarded(const std::function<void()>& command);

  // The text of the refusal while a job or a flash run is in progress.
  static const char* const BusyText;

private:
  // True (after an error box) while the main window's job or a flash run is in progress.
  bool HandOffRefused();

  TMsgDlgType FInfoType;
  TsOpenDialog* FOpen;
  TsSaveDialog* FSave;
  TsOpenPictureDialog* FOpenPicture;
  TsSavePictureDialog* FSavePicture;
  std::chrono::steady_clock::time_point FProgressShown{};
  int FProgressMaximum = -1;
};
