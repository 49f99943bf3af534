#pragma once

#include "framework/win/TCheckBox.h"
#include "framework/win/TRadioButton.h"
#include "skin/engine/TsSkinned.h"

// The skin layer of a check control (Base: the framework's check box or radio button): the mark from
// the skin's check glyphs in the normal, hot or pressed frame, the caption in the section's text
// colours and a dotted focus frame. The native control keeps its behaviour (clicks, Space, the
// pressed state).
template <typename Base>
class TsCheckControl : public TsSkinned<Base> {
public:
  TsCheckControl(TsControlKind kind, TComponent* owner);

protected:
  bool SkinnedMessage(TMessage& message) override;
  void PaintSkin() override;
  TsSkinState SkinState() const override;
  // The skin's mark for the current state; -1 for none.
  virtual int CheckGlyph() const = 0;
};

// The check box ("CHECKBOX").
class TsCheckBox : public TsCheckControl<TCheckBox> {
public:
  explicit TsCheckBox(TComponent* owner);

protected:
  int CheckGlyph() const override;
};

// The radio button ("RADIOBUTTON"): the skin's radio glyphs, drawn only when its own section exists.
class TsRadioButton : public TsCheckControl<TRadioButton> {
public:
  explicit TsRadioButton(TComponent* owner);

protected:
  int CheckGlyph() const override;
};
