#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "editors/core/TEditorHost.h"

class TCustomForm;

// What the editor windows need of the main window: its grid, its combine of one code group, its
// status line and gauge, the RAW bounds dialog and the hand-off of the RAM downloader to the
// flasher. The main window registers itself when it is created.
class TEditorMainLink {
public:
  virtual ~TEditorMainLink() = default;

  virtual TCustomForm* MainForm() = 0;
  // The grid row whose "cg" is `cg`, found by Locate; nothing when the grid is closed or has none.
  virtual std::optional<TGridRow> GridRow(int cg) = 0;
  virtual void CombineSingleCG(int cg, const std::string& fileName, int32_t address, int32_t size) = 0;
  // The RAM-downloader row's name and address into the flasher's loader edits.
  virtual void FillFlasherLoader() = 0;
  virtual void SetStatus(const std::string& text) = 0;
  virtual void SetProgress(int position, int maximum) = 0;
  // The RAW bounds dialog shown modally with the proposed values; the values it closes with.
  virtual std::pair<int, int> AskRawBounds(int width, int height) = 0;
  // A job of the main window (split, combine) is running and pumping messages: the editors start
  // no combine and no hand-off to the flasher meanwhile.
  virtual bool JobRunning() { return false; }
};

TEditorMainLink* EditorMainLink();
void SetEditorMainLink(TEditorMainLink* link);
