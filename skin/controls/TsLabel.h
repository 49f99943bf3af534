#pragma once

#include "framework/win/TLabel.h"
#include "skin/engine/TsBoundLabel.h"
#include "skin/engine/TsSkinned.h"

// The label of the skinned controls: always transparent, so the skin of its parent shows through;
// its text is painted the standard way (its skin object has no section of its own). A label in the
// default text colour takes the text colour of the skin it stands on, so it stays readable on a
// dark skin.
class TsCustomLabel : public TsSkinned<TLabel> {
public:
  explicit TsCustomLabel(TComponent* owner);

  // The colour the text is painted in now.
  TColor TextColor();

protected:
  // The font the text is painted with.
  virtual TFont* PaintFont() { return Font(); }
  void Paint() override;
};

class TsLabel : public TsCustomLabel {
public:
  using TsCustomLabel::TsCustomLabel;
};

// The label a TsBoundLabel keeps beside its control.
class TsEditLabel : public TsCustomLabel, public TsBoundLabelControl {
public:
  TsEditLabel(TComponent* owner, TsBoundLabel* boundLabel);
  ~TsEditLabel() override;

  // The bound label that keeps this label.
  TsBoundLabel* Bound() const { return FBoundLabel; }
  // A new font or text resizes the label: it takes its place beside its control again.
  void Dispatch(TMessage& message) override;
  void Loaded() override;

  TControl* Control() override { return this; }
  void SetFocusControl(TWinControl* control) override { TsCustomLabel::SetFocusControl(control); }
  void SetAlignRight() override { SetAlignment(taRightJustify); }
  void SetAutoSize(bool value) override { TsCustomLabel::SetAutoSize(value); }
  void SetWordWrap(bool value) override { TsCustomLabel::SetWordWrap(value); }

private:
  TsBoundLabel* FBoundLabel;
};

// Makes the skinned controls' bound labels TsEditLabels.
void InstallEditLabelFactory();
