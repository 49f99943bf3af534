#pragma once

#include "framework/win/TCustomForm.h"

class TsSpinEdit;

class TfmRAWBounds : public TForm {
public:
  explicit TfmRAWBounds(TComponent* owner);

  TsSpinEdit* sSpinEdit1 = nullptr;  // "Width :"
  TsSpinEdit* sSpinEdit2 = nullptr;  // "Height:"
};

extern TfmRAWBounds* fmRAWBounds;
