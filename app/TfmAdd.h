#pragma once

#include "framework/win/TCustomForm.h"

class TsEdit;
class TsFilenameEdit;

class TfmAdd : public TForm {
public:
  explicit TfmAdd(TComponent* owner);

  TsFilenameEdit* sFilenameEdit1 = nullptr;  // "File Name"
  TsEdit* sEdit1 = nullptr;                  // "Code Group"
  TsEdit* sEdit2 = nullptr;                  // "Start address (Hex)"
};

extern TfmAdd* fmAdd;
