#pragma once

#include "framework/win/TMaskEdit.h"
#include "skin/controls/TsEditSkin.h"

// The mask edit painted from its skin section ("EDIT").
class TsMaskEdit : public TsSkinnedEdit<TMaskEdit> {
public:
  explicit TsMaskEdit(TComponent* owner);
};
