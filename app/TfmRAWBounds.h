#pragma once

#include "framework/win/TCustomForm.h"

class TsButton;
class TsLabel;
class TsSkinProvider;
class TsSpinEdit;

// Asks the width and height of a new RAW picture; shown modally, it always closes with OK and
// the caller reads the two values.
class TfmRAWBounds : public TForm {
public:
  explicit TfmRAWBounds(TComponent* owner);

  TsLabel* sLabel1 = nullptr;
  TsSpinEdit* sSpinEdit1 = nullptr;  // "Width :"
  TsSpinEdit* sSpinEdit2 = nullptr;  // "Height:"
  TsButton* sButton1 = nullptr;      // "Ok"
  TsSkinProvider* sSkinProvider1 = nullptr;
};

extern TfmRAWBounds* fmRAWBounds;
