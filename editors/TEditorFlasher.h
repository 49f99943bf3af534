#pragma once

#include "editors/core/TEditorHost.h"

// The flasher as the editors hand it their image: the flasher window unless another is set (a
// scripted one in tests).
class TEditorFlasher {
public:
  virtual ~TEditorFlasher() = default;

  // A run is in progress: the list must not change.
  virtual bool Running() = 0;
  // The list emptied.
  virtual void ResetList() = 0;
  virtual void AppendRow(const TFlasherRow& row) = 0;
  virtual void Show() = 0;
};

// The flasher set with SetEditorFlasher, else the flasher window's; nullptr while there is none.
TEditorFlasher* EditorFlasher();
void SetEditorFlasher(TEditorFlasher* flasher);
