#pragma once

#include "framework/win/TOpenDialog.h"

// Open and save dialogs whose filter starts as every registered picture format.
class TOpenPictureDialog : public TOpenDialog {
public:
  explicit TOpenPictureDialog(TComponent* owner);
};

class TSavePictureDialog : public TSaveDialog {
public:
  explicit TSavePictureDialog(TComponent* owner);
};
