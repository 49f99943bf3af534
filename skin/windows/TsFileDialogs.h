#pragma once

#include "framework/win/TOpenDialog.h"
#include "framework/win/TOpenPictureDialog.h"
#include "skin/windows/core/FileDialogRules.h"

// The program's file dialogs. They keep every property and event of the framework's dialogs and
// replace only Execute: while a skin is active they show the skinned dialog window, otherwise the
// platform's dialog. Either way the folder that was current before is current again after a
// Cancel, and after every answer with ofNoChangeDir.
class TsOpenDialog : public TOpenDialog {
public:
  explicit TsOpenDialog(TComponent* owner);
  bool Execute() override;
};

class TsSaveDialog : public TSaveDialog {
public:
  explicit TsSaveDialog(TComponent* owner);
  bool Execute() override;
};

// The picture dialogs add the picture panel to the skinned window.
class TsOpenPictureDialog : public TOpenPictureDialog {
public:
  explicit TsOpenPictureDialog(TComponent* owner);
  bool Execute() override;
  // The preview button: the chosen picture at its own size.
  virtual void PreviewClick(TObject* sender);
};

class TsSavePictureDialog : public TSavePictureDialog {
public:
  explicit TsSavePictureDialog(TComponent* owner);
  bool Execute() override;
  virtual void PreviewClick(TObject* sender);
};
