#include "skin/engine/TsBoundLabel.h"

#include "framework/win/TWinControl.h"
#include "skin/engine/TsCommonData.h"

namespace {

TsBoundLabelFactory LabelFactory = nullptr;

}  // namespace

void SetBoundLabelFactory(TsBoundLabelFactory factory) {
  LabelFactory = factory;
}

TsBoundLabel::TsBoundLabel(TsCommonData* owner) : FOwner(owner) {}

TsBoundLabel::~TsBoundLabel() {
  FreeLabel();
}

void TsBoundLabel::FreeLabel() {
  if (!FLabel) return;
  TControl* c = FLabel->Control();
  FLabel = nullptr;
  if (c && !c->IsDestroying()) c->Free();
}

void TsBoundLabel::LabelDestroyed(TsBoundLabelControl* label) {
  if (label == FLabel) FLabel = nullptr;
}

TFont* TsBoundLabel::Font() {
  return FLabel ? FLabel->Control()->Font() : &FFont;
}

void TsBoundLabel::SetFont(const TFont* font) {
  FFont.Assign(font);
  FFontSet = true;
  if (!FLabel) return;
  FLabel->Control()->SetFont(font);
  FLabel->Control()->SetParentFont(false);
  PlaceLabel();
}

void TsBoundLabel::SetActive(bool value) {
  if (value == FActive) return;
  FActive = value;
  if (!value) {
    FreeLabel();
    return;
  }
  TControl* bound = FOwner ? FOwner->OwnerControl() : nullptr;
  if (!bound || !LabelFactory) return;
  FLabel = LabelFactory(bound, this);
  if (!FLabel) return;
  TControl* label = FLabel->Control();
  label->SetVisible(false);
  label->SetParent(bound->Parent());
  FLabel->SetFocusControl(dynamic_cast<TWinControl*>(bound));
  FLabel->SetAlignRight();
  // A name is taken only while no other component of the owner holds it.
  const std::string name = bound->Name() + "Label";
  if (!bound->Name().empty() && (!label->Owner() || !label->Owner()->FindComponent(name)))
    label->SetName(name);
  if (FCaption.empty()) FCaption = bound->Name();
  label->SetCaption(FCaption);
  // A font given before the label existed is the label's font.
  if (FFontSet) {
    label->SetFont(&FFont);
    label->SetParentFont(false);
  }
  label->SetVisible(bound->Visible() || (bound->ComponentState() & csDesigning));
  label->SetEnabled(bound->Enabled());
  PlaceLabel();
}

void TsBoundLabel::SetCaption(const std::string& value) {
  FCaption = value;
  if (FLabel) FLabel->Control()->SetCaption(value);
  if (FActive) PlaceLabel();
}

void TsBoundLabel::SetIndent(int value) {
  FIndent = value;
  if (FActive) PlaceLabel();
}

void TsBoundLabel::SetLayout(TsCaptionLayout value) {
  FLayout = value;
  if (FActive) PlaceLabel();
}

void TsBoundLabel::SetMaxWidth(int value) {
  FMaxWidth = value;
  if (FActive) PlaceLabel();
}

void TsBoundLabel::FollowControl(const TMessage& message) {
  if (!FLabel || !FOwner || !FOwner->OwnerControl()) return;
  TControl* bound = FOwner->OwnerControl();
  TControl* label = FLabel->Control();
  switch (message.Msg) {
    case CM_VISIBLECHANGED:
      label->SetVisible(bound->Visible());
      break;
    case CM_ENABLEDCHANGED:
      label->SetEnabled(bound->Enabled());
      break;
    case CM_BIDIMODECHANGED:
      label->SetBiDiMode(bound->BiDiMode());
      break;
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED:
      break;
    default:
      return;
  }
  PlaceLabel();
}

void TsBoundLabel::PlaceLabel() {
  if (!FLabel || !FOwner || !FOwner->OwnerControl()) return;
  TControl* l = FLabel->Control();
  TControl* fc = FOwner->OwnerControl();
  if (!l->Visible()) return;
  FLabel->SetAutoSize(true);
  int left = l->Left(), top = l->Top();
  switch (FLayout) {
    case TsCaptionLayout::sclLeft:
      left = fc->Left() - l->Width() - 4 - FIndent;
      top = fc->Top() + (fc->Height() - l->Height()) / 2 - 1;
      break;
    case TsCaptionLayout::sclTopLeft:
      left = fc->Left();
      top = fc->Top() - l->Height() - FIndent;
      break;
    case TsCaptionLayout::sclTopCenter:
      left = fc->Left() + (fc->Width() - l->Width()) / 2;
      top = fc->Top() - l->Height() - FIndent;
      break;
    case TsCaptionLayout::sclTopRight:
      left = fc->Left() + fc->Width() - l->Width();
      top = fc->Top() - l->Height() - FIndent;
      break;
  }
  l->SetBounds(left, top, l->Width(), l->Height());
  if (FMaxWidth != 0) {
    FLabel->SetAutoSize(false);
    FLabel->SetWordWrap(true);
    l->SetBounds(l->Left(), l->Top(), FMaxWidth, std::max(l->Height(), fc->Height()));
  }
}
