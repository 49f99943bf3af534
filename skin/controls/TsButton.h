#pragma once

#include "framework/win/TButton.h"
#include "skin/engine/TsSkinned.h"

// The push button painted from its skin section ("BUTTON"): normal, hot (mouse over or focus) and
// pressed looks, the caption in the section's text colours and a dotted focus frame.
class TsButton : public TsSkinned<TButton> {
public:
  explicit TsButton(TComponent* owner);

protected:
  void PaintText() override;
  TsSkinState SkinState() const override;
};
