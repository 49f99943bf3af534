#pragma once

#include "framework/win/TCustomForm.h"

class TfmLPEditor : public TForm {
public:
  explicit TfmLPEditor(TComponent* owner);
};

extern TfmLPEditor* fmLPEditor;
