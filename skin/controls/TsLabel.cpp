#include "skin/controls/TsLabel.h"

#include "framework/win/TCustomForm.h"
#include "skin/engine/SkinCommands.h"
#include "skin/engine/TsSkinned.h"
#include "skin/engine/core/SkinCommonIndexes.h"
#include "skin/engine/core/SkinTables.h"
#include "skin/engine/core/TsSkinData.h"

namespace {

TColor SectionTextColor(int section) {
  return SectionIndexValid(section) ? ActiveSkin().SkinSectionData[std::size_t(section)].FontColor[0]
                                    : clNone;
}

// The text colour of the skin that shows through a label on parent: that of the nearest skinned
// container's section (a tab sheet shows its page control's); clNone on a standard background.
TColor SkinTextColorOn(TWinControl* parent) {
  if (!SkinData().Active) return clNone;
  for (TWinControl* p = parent; p; p = p->Parent()) {
    if (auto* skinned = dynamic_cast<TsSkinnedControl*>(p)) {
      if (!skinned->IsSkinned()) return clNone;
      // Skinned without a section of its own (a tab sheet): it shows its parent's skin.
      if (SectionIndexValid(skinned->SkinData().SkinIndex())) return SectionTextColor(skinned->SkinData().SkinIndex());
      continue;
    }
    if (!IsSkinnedControl(p)) return clNone;
    if (dynamic_cast<TCustomForm*>(p)) {
      const TColor form = SectionTextColor(FindSectionIndex("FORM"));
      return form != clNone ? form : SectionTextColor(ActiveSkin().SkinCommonIndexes.GlobalInfo);
    }
  }
  return clNone;
}

}  // namespace

TsCustomLabel::TsCustomLabel(TComponent* owner) : TsSkinned(TsControlKind::MaskEdit, TsCacheBitmap::None, owner) {
  SetTransparent(true);
}

TColor TsCustomLabel::TextColor() {
  const TColor own = Font()->Color();
  if (own != clWindowText && own != clBtnText) return own;
  const TColor skin = SkinTextColorOn(Parent());
  return skin != clNone ? skin : own;
}

void TsCustomLabel::Paint() {
  TFont* font = PaintFont();
  if (font != Font()) Font()->Assign(font);
  const TColor own = Font()->Color(), color = TextColor();
  if (color == own) {
    TLabel::Paint();
    return;
  }
  // Painted in the skin's colour, which the font does not keep: nobody hears of the change.
  const TNotifyEvent onChange = Font()->OnChange();
  Font()->SetOnChange(TNotifyEvent());
  Font()->SetColor(color);
  TLabel::Paint();
  Font()->SetColor(own);
  Font()->SetOnChange(onChange);
}

TsEditLabel::TsEditLabel(TComponent* owner, TsBoundLabel* boundLabel)
    : TsCustomLabel(owner), FBoundLabel(boundLabel) {}

void TsEditLabel::Dispatch(TMessage& message) {
  TsCustomLabel::Dispatch(message);
  if ((message.Msg == CM_FONTCHANGED || message.Msg == CM_TEXTCHANGED) && FBoundLabel) FBoundLabel->PlaceLabel();
}

void TsEditLabel::Loaded() {
  TsCustomLabel::Loaded();
  if (FBoundLabel) FBoundLabel->PlaceLabel();
}

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
