#pragma once

#include "framework/win/TOpenDialog.h"
#include "framework/win/TOpenPictureDialog.h"

// The program's file dialogs. They keep every property and event of the framework's dialogs and
// replace only Execute: while a skin is active they show the skinned dialog window, otherwise the
// platform's dialog.
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

class TsOpenPictureDialog : public TOpenPictureDialog {
public:
  explicit TsOpenPictureDialog(TComponent* owner);
  bool Execute() override;
};

class TsSavePictureDialog : public TSavePictureDialog {
public:
  explicit TsSavePictureDialog(TComponent* owner);
  bool Execute() override;
};
