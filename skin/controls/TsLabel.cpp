#include "skin/controls/TsLabel.h"

TsCustomLabel::TsCustomLabel(TComponent* owner) : TLabel(owner) { SetTransparent(true); }

void TsCustomLabel::Paint() {
  TFont* font = PaintFont();
  if (font != Font()) Font()->Assign(font);
  TLabel::Paint();
}

TsEditLabel::TsEditLabel(TComponent* owner, TsBoundLabel* boundLabel)
    : TsCustomLabel(owner), FBoundLabel(boundLabel) {}

TsEditLabel::~TsEditLabel() {
  // Freed before its control (by their owner), the label leaves the bound label first.
  if (FBoundLabel) FBoundLabel->LabelDestroyed(this);
}

namespace {

TsBoundLabelControl* MakeEditLabel(TControl* owner, TsBoundLabel* bound) {
  return NewComponent<TsEditLabel>(owner->Owner(), bound);
}

}  // namespace

void InstallEditLabelFactory() { SetBoundLabelFactory(&MakeEditLabel); }
