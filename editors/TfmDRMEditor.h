#pragma once

#include "framework/win/TCustomForm.h"

class TfmDRMEditor : public TForm {
public:
  explicit TfmDRMEditor(TComponent* owner);
};

extern TfmDRMEditor* fmDRMEditor;
