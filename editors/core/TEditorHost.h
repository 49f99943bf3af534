#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "workbench/core/FileFilters.h"
#include "workbench/core/Messages.h"

// One row for the flasher's list.
struct TFlasherRow {
  int32_t CG = 0;
  std::string Name;
  std::string Type;
  int32_t A1 = 0;
  int32_t Size = 0;
};

// The main grid's row of a code group, as the editors read it.
struct TGridRow {
  std::string Name;
  int32_t A1 = 0;
  std::string A1Str;
};

// The answer to the question before changes not saved are let go.
enum class TSaveAnswer { Save, Discard, Cancel };

// What an editor model needs from its window and the rest of the program: texts of the message
// list, message boxes, dialogs, the main window's status bar, gauge, grid and combine, and the
// flasher. The editor windows implement it; tests use a scripted one.
class TEditorHost {
public:
  virtual ~TEditorHost() = default;

  virtual std::string Message(TMsgId id) = 0;
  virtual bool AskYesNo(const std::string& text) = 0;
  virtual void ShowInfo(const std::string& text) = 0;
  virtual void ShowError(const std::string& text) = 0;
  // A warning box whose only button is Cancel.
  virtual void ShowWarning(const std::string& text) = 0;
  // A question with Yes (save), No (let the changes go) and Cancel.
  virtual TSaveAnswer AskSaveChanges(const std::string& text) = 0;
  virtual void SetStatus(const std::string& text) = 0;
  virtual void SetProgress(int position, int maximum) = 0;

  // File dialogs return "" when cancelled.
  virtual std::string OpenFileName(TFilterKind filter) = 0;
  // The open dialog with whatever filter it last had.
  virtual std::string OpenFileNameWithLastFilter() = 0;
  virtual std::string OpenPictureFileName() = 0;
  virtual std::string SaveFileName(TFilterKind filter, const std::string& proposed) = 0;
  // The save dialog with its filter cleared.
  virtual std::string SaveFileNameUnfiltered(const std::string& proposed) = 0;
  virtual std::string SavePictureFileName(const std::string& proposed) = 0;
  // The RAW bounds dialog, shown with the proposed width and height; the values it closes with.
  virtual std::pair<int, int> AskRawBounds(int width, int height) = 0;

  virtual std::optional<TGridRow> GridRow(int cg) = 0;
  virtual void CombineSingleCG(int cg, const std::string& fileName, int32_t address, int32_t size) = 0;
  // Puts the RAM downloader into the flasher, empties its list, adds `row` when there is one, and
  // shows the flasher when `show` is set.
  virtual void SendToFlasher(const std::optional<TFlasherRow>& row, bool show) = 0;
};
