#pragma once

#include "framework/win/TCustomForm.h"

class TfmFlexEditor : public TForm {
public:
  explicit TfmFlexEditor(TComponent* owner);
};

extern TfmFlexEditor* fmFlexEditor;
