#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "framework/base/TClientDataSet.h"
#include "framework/win/TCustomForm.h"
#include "phone/core/FlashSequence.h"
#include "phone/core/TFlashList.h"
#include "phone/core/TFlasherHandOff.h"

class TDataSource;
class TDBGrid;
class TDevicePort;
class TOpenDialog;
class TP2KAPI;
class TsButton;
class TsEdit;
class TsFilenameEdit;
class TsGauge;
class TsGridAdapter;
class TsLabel;
class TsMemo;
class TsSkinProvider;
class TsStatusBar;

// The flasher: a list of code-group images, the RAM downloader started first, and the log of a run.
// It owns the phone link for its whole life. A run pumps messages: while it lasts the buttons, the
// loader edits and the list are disabled, other windows' hand-offs are refused (Running) and nothing
// the run uses is freed; the run works on a copy of the list taken when it starts. No message boxes:
// every step and failure is a line of the log.
class TfmFlash : public TForm, public TFlashHost, public TFlasherHandOff {
public:
  // The link on the platform's device port.
  explicit TfmFlash(TComponent* owner);
  // The link on the given port, which must outlive the window.
  TfmFlash(TComponent* owner, TDevicePort& port);
  ~TfmFlash() override;
  void BeforeDestruction() override;

  // Components other windows fill before showing the flasher.
  TsFilenameEdit* sFilenameEdit1 = nullptr;  // "RAM Downloader"
  TsEdit* sEdit1 = nullptr;                  // "Start address"
  TClientDataSet* CDS = nullptr;             // the list

  TDataSource* DataSource1 = nullptr;
  TDBGrid* DBGrid1 = nullptr;
  TsMemo* sMemo1 = nullptr;  // the log
  TsGauge* sGauge1 = nullptr;
  TsStatusBar* sStatusBar1 = nullptr;  // panel 0: the link state
  TsButton* sButton1 = nullptr;        // "Add BIN"
  TsButton* sButton2 = nullptr;        // "Delete"
  TsButton* sButton3 = nullptr;        // "Clear"
  TsButton* sButton4 = nullptr;        // "New address"
  TsButton* sButton5 = nullptr;        // "Flash"
  TsButton* sButton6 = nullptr;        // "Close"
  TsLabel* sLabel1 = nullptr;          // "RAM Downloader"
  TsLabel* sLabel2 = nullptr;          // "Start address"
  TsSkinProvider* sSkinProvider1 = nullptr;
  TsGridAdapter* sGridAdapter1 = nullptr;

  TP2KAPI* P2K() const { return FP2K; }

  // A run is in progress: the list and the loader edits must not change (hand-offs are refused).
  bool Running() const override { return FRunning; }
  // The list closed, created anew empty and opened. Nothing while a run is in progress.
  void ResetList() override;
  // Appends a list row; an empty CG stays empty. Nothing while a run is in progress.
  void AppendRow(std::optional<int32_t> cg, const std::string& name, const std::string& type, int32_t a1,
                 int32_t size) override;
  // The loader edits' texts. Nothing while a run is in progress.
  void SetRamDownloader(const std::string& fileName, const std::string& startAddress) override;
  // The open dialog "Add BIN" borrows (the main window's); without one the window uses its own.
  void SetAddBinDialog(TOpenDialog* dialog);

  void FormCreate(TObject* sender);
  void P2KConnectChanged(bool connected);
  void sFilenameEdit1ButtonClick(TObject* sender);
  void sButton1Click(TObject* sender);  // "Add BIN"
  void sButton2Click(TObject* sender);  // "Delete"
  void sButton3Click(TObject* sender);  // "Clear"
  void sButton4Click(TObject* sender);  // "New address"
  void sButton5Click(TObject* sender);  // "Flash"
  void sButton6Click(TObject* sender);  // "Close"

  // TFlashHost: the log, the gauge and the waits of a run. Waits and sleeps let messages through;
  // during an upload the gauge is repainted and messages let through at most every 50 ms.
  void LogLine(const std::string& line) override;
  void Progress(std::uint64_t done, std::uint64_t total) override;
  void ProcessMessages() override;
  bool WaitForConnection(bool wanted, std::uint32_t timeoutMs) override;
  void Sleep(std::uint32_t ms) override;
  void SetBusy(bool busy) override;

protected:
  void Notification(TComponent* component, TOperation operation) override;

private:
  void DetachList();
  TfmFlash(TComponent* owner, std::unique_ptr<TDevicePort> ownPort, TDevicePort* port);
  void BuildControls();
  TFlashJob CurrentJob();
  // Handles messages without spinning until Done holds or TimeoutMs passed; true when Done held.
  bool WaitIdly(const std::function<bool()>& done, std::uint32_t timeoutMs);

  std::unique_ptr<TDevicePort> FOwnPort;
  TDevicePort& FPort;
  TP2KAPI* FP2K = nullptr;  // owned by the window
  TOpenDialog* FAddBinDialog = nullptr;
  TOpenDialog* FOwnAddBinDialog = nullptr;  // owned by the window
  bool FRunning = false;
  std::unique_ptr<TFlashList> FList;
  TWinControl* FFocusedBeforeRun = nullptr;  // a control of the window: it lives as long
  std::uint32_t FLastRepaint = 0;  // tick of the gauge's last repaint
};

extern TfmFlash* fmFlash;
