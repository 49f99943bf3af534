#pragma once

#include "framework/win/TCustomEdit.h"
#include "skin/controls/TsEditSkin.h"

// The edit painted from its skin section ("EDIT"). Mouse over makes it hot only where the section
// asks for it (its RESERVEDBOOLEAN).
class TsEdit : public TsSkinnedEdit<TEdit> {
public:
  explicit TsEdit(TComponent* owner);

protected:
  bool SkinnedMessage(TMessage& message) override;
  // The edit paints no background for children.
  bool SkinHasPaintedBackground() override { return false; }
};
