#pragma once

#include "framework/win/TCustomForm.h"

class TfmEnvOpt : public TForm {
public:
  explicit TfmEnvOpt(TComponent* owner);
};

extern TfmEnvOpt* fmEnvOpt;
