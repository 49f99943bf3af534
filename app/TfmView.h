#pragma once

#include "framework/win/TCustomForm.h"

class TfmView : public TForm {
public:
  explicit TfmView(TComponent* owner);
};

extern TfmView* fmView;
