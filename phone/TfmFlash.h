#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "framework/base/TClientDataSet.h"
#include "framework/win/TCustomForm.h"

class TsEdit;
class TsFilenameEdit;
class TOpenDialog;

// The flasher: a list of code-group images, the RAM downloader started first, and the log of a run.
class TfmFlash : public TForm {
public:
  explicit TfmFlash(TComponent* owner);
  ~TfmFlash() override;

  // Components other windows fill before showing the flasher.
  TsFilenameEdit* sFilenameEdit1 = nullptr;  // "RAM Downloader"
  TsEdit* sEdit1 = nullptr;                  // "Start address"
  TClientDataSet* CDS = nullptr;             // the list

  // A run is in progress: the list and the loader edits must not change.
  bool Running() const;
  // The list closed, created anew empty and opened.
  void ResetList();
  // Appends a list row; an empty CG stays empty.
  void AppendRow(std::optional<int32_t> cg, const std::string& name, const std::string& type, int32_t a1,
                 int32_t size);
  // The open dialog "Add BIN" borrows (the main window's).
  void SetAddBinDialog(TOpenDialog* dialog) { FAddBinDialog = dialog; }

private:
  TOpenDialog* FAddBinDialog = nullptr;
};

extern TfmFlash* fmFlash;
