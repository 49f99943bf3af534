#pragma once

#include "framework/win/TCheckBox.h"
#include "skin/engine/TsSkinned.h"

// The check box painted from its skin section ("CHECKBOX"): the box from the skin's check glyphs in
// the normal, hot or pressed frame, the caption in the section's text colours and a dotted focus
// frame.
class TsCheckBox : public TsSkinned<TCheckBox> {
public:
  explicit TsCheckBox(TComponent* owner);

protected:
  bool SkinnedMessage(TMessage& message) override;
  void PaintSkin() override;
  TsSkinState SkinState() const override;

private:
  RECT BoxRect() const;
  int GlyphMask() const;
};
