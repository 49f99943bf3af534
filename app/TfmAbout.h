#pragma once

#include "framework/win/TCustomForm.h"

class TfmAbout : public TForm {
public:
  explicit TfmAbout(TComponent* owner);
};

extern TfmAbout* fmAbout;
