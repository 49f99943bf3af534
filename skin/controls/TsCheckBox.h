#pragma once

#include "framework/win/TCheckBox.h"
#include "framework/win/TRadioButton.h"
#include "skin/engine/TsSkinned.h"

// The check box painted from its skin section ("CHECKBOX"): the box from the skin's check glyphs in
// the normal, hot or pressed frame, the caption in the section's text colours and a dotted focus
// frame. The native control keeps its behaviour (clicks, Space, the pressed state).
class TsCheckBox : public TsSkinned<TCheckBox> {
public:
  explicit TsCheckBox(TComponent* owner);

protected:
  bool SkinnedMessage(TMessage& message) override;
  void PaintSkin() override;
  TsSkinState SkinState() const override;

private:
  int GlyphMask() const;
};

// The radio button, twin of the check box ("RADIOBUTTON"): the skin's radio glyphs, drawn only when
// its own section exists.
class TsRadioButton : public TsSkinned<TRadioButton> {
public:
  explicit TsRadioButton(TComponent* owner);

protected:
  bool SkinnedMessage(TMessage& message) override;
  void PaintSkin() override;
  TsSkinState SkinState() const override;
};
