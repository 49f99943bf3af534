#include <gtest/gtest.h>

#include "framework/win/TApplication.h"
#include "framework/win/TCustomControl.h"
#include "framework/win/TCustomForm.h"
#include "framework/win/TGraphicControl.h"
#include "skin/engine/TsBoundLabel.h"
#include "skin/engine/TsCommonData.h"
#include "skin/engine/TsSkinned.h"

namespace {

// A label as the skinned controls provide it: fixed text metrics keep the placement exact.
class TFakeLabel : public TGraphicControl, public TsBoundLabelControl {
public:
  using TGraphicControl::TGraphicControl;
  TControl* Control() override { return this; }
  void SetFocusControl(TWinControl* control) override { Focus = control; }
  void SetAlignRight() override { AlignRight = true; }
  void SetAutoSize(bool value) override {
    AutoSize = value;
    if (value) SetBounds(Left(), Top(), 40, 13);
  }
  void SetWordWrap(bool value) override { WordWrap = value; }
  TWinControl* Focus = nullptr;
  bool AlignRight = false, AutoSize = false, WordWrap = false;
};

TsBoundLabelControl* MakeFakeLabel(TControl* owner, TsBoundLabel*) {
  return NewComponent<TFakeLabel>(owner->Owner());
}

// An edit-like skinned control: it keeps a bound label.
class TEditLike : public TsSkinned<TCustomControl> {
public:
  explicit TEditLike(TComponent* owner)
      : TsSkinned(TsControlKind::MaskEdit, TsCacheBitmap::None, owner), Bound(&SkinData()) {}
  TsBoundLabel Bound;

protected:
  TsBoundLabel* BoundLabel() override { return &Bound; }
};

class BoundLabel : public ::testing::Test {
protected:
  void SetUp() override {
    SetBoundLabelFactory(&MakeFakeLabel);
    Form = NewComponent<TForm>(Application);
    Edit = NewComponent<TEditLike>(Form);
    Edit->SetName("Edit1");
    Edit->SetParent(Form);
    Edit->SetBounds(100, 50, 120, 21);
  }
  void TearDown() override { Form->Free(); }
  TControl* LabelControl() { return Edit->Bound.Label()->Control(); }

  TForm* Form = nullptr;
  TEditLike* Edit = nullptr;
};

TEST_F(BoundLabel, ActivationMakesANamedRightAlignedLabelBesideTheControl) {
  Edit->Bound.SetActive(true);
  ASSERT_TRUE(Edit->Bound.Label());
  auto* label = static_cast<TFakeLabel*>(LabelControl());
  EXPECT_EQ(label->Name(), "Edit1Label");
  EXPECT_EQ(label->Caption(), "Edit1");
  EXPECT_EQ(label->Focus, Edit);
  EXPECT_TRUE(label->AlignRight);
  EXPECT_EQ(label->Parent(), Form);
  EXPECT_EQ(label->Left() + label->Width(), Edit->Left() - 4);  // sclLeft, indent 0
  EXPECT_EQ(label->Top(), 50 + (21 - 13) / 2 - 1);
  Edit->Bound.SetLayout(TsCaptionLayout::sclTopRight);
  EXPECT_EQ(label->Left() + label->Width(), Edit->Left() + Edit->Width());
  EXPECT_EQ(label->Top(), Edit->Top() - label->Height());
  Edit->Bound.SetMaxWidth(100);
  EXPECT_EQ(label->Width(), 100);
  EXPECT_GE(label->Height(), Edit->Height());
  EXPECT_TRUE(label->WordWrap);
  Edit->Bound.SetActive(false);
  EXPECT_FALSE(Edit->Bound.Label());
}

TEST_F(BoundLabel, TheLabelFollowsItsControl) {
  Edit->HandleNeeded();
  Edit->Bound.SetActive(true);
  TControl* label = LabelControl();
  Edit->SetBounds(150, 80, 120, 21);
  EXPECT_EQ(label->Left() + label->Width(), 150 - 4);
  EXPECT_EQ(label->Top(), 80 + (21 - 13) / 2 - 1);
  Edit->SetEnabled(false);
  EXPECT_FALSE(label->Enabled());
  Edit->SetBiDiMode(bdRightToLeft);
  EXPECT_EQ(label->BiDiMode(), bdRightToLeft);
  Edit->SetVisible(false);
  EXPECT_FALSE(label->Visible());
  Edit->SetVisible(true);
  EXPECT_TRUE(label->Visible());
}

TEST_F(BoundLabel, AFontGivenBeforeActivationIsKept) {
  TFont font;
  font.SetName("Courier New");
  font.SetSize(14);
  Edit->Bound.SetFont(&font);
  Edit->Bound.SetActive(true);
  EXPECT_EQ(LabelControl()->Font()->Name(), "Courier New");
  EXPECT_EQ(LabelControl()->Font()->Size(), 14);
  EXPECT_FALSE(LabelControl()->ParentFont());
}

TEST_F(BoundLabel, TheLabelTakesItsNameOnlyWhenNoOtherComponentHasIt) {
  auto* other = NewComponent<TFakeLabel>(Form);
  other->SetName("Edit1Label");
  Edit->Bound.SetActive(true);  // must not raise over the taken name
  ASSERT_TRUE(Edit->Bound.Label());
  EXPECT_EQ(LabelControl()->Name(), "");
  EXPECT_EQ(LabelControl()->Caption(), "Edit1");
}

}  // namespace
