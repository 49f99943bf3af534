#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "framework/win/TDBNavigator.h"
#include "framework/win/TLabel.h"
#include "framework/win/TMainMenu.h"
#include "framework/win/TRadioGroup.h"
#include "framework/win/TScreen.h"

namespace {

std::vector<std::string> gLog;

// Logs its completion steps; with children set, makes one with a plain new and one with NewComponent
// in its own constructor.
class TProbe : public TComponent {
public:
  TProbe(TComponent* owner, const std::string& name, bool children = false) : TComponent(owner) {
    SetName(name);
    LoadingInConstructor = IsLoading();
    if (children) {
      new TProbe(this, name + ".new");
      NewComponent<TProbe>(this, name + ".made");
    }
  }
  void AfterConstruction() override { gLog.push_back("after " + Name()); }
  void Loaded() override {
    TComponent::Loaded();
    gLog.push_back("loaded " + Name());
    if (Name() == ThrowIn) throw std::runtime_error("cannot load " + Name());
  }
  bool LoadingInConstructor = false;
  static inline std::string ThrowIn;
};

// A form that makes components in every supported way while it loads.
class TProbeForm : public TTestForm {
public:
  explicit TProbeForm(TComponent* owner = nullptr) : TTestForm(owner) {
    SetName("form");
    LoadingInConstructor = IsLoading();
    Plain = new TProbe(this, "plain", true);
    Made = NewComponent<TProbe>(this, "made");
    Group = NewComponent<TRadioGroup>(this);
    Group->SetParent(this);
    Group->AddItem("one");
    Group->AddItem("two");
    Navigator = new TDBNavigator(this);
    Navigator->SetParent(this);
    Navigator->SetEnabled(false);
    Menu = new TMainMenu(this);
    Caption = new TLabel(this);
    Caption->SetParent(this);
    Caption->SetCaption("A caption that sizes the label");
    SetOnCreate(TNotifyEvent(this, &TProbeForm::Created));
  }
  void Loaded() override {
    TTestForm::Loaded();
    gLog.push_back("loaded form");
  }
  void Created(TObject*) { gLog.push_back("create form"); }

  bool LoadingInConstructor = false;
  TProbe* Plain;
  TProbe* Made;
  TRadioGroup* Group;
  TDBNavigator* Navigator;
  TMainMenu* Menu;
  TLabel* Caption;
};

const std::vector<std::string> kFormSteps{
    "after plain.made", "after made",
    // The loading end: the form first, then what it owns in creation order, depth first.
    "loaded form", "after plain", "loaded plain", "after plain.new", "loaded plain.new", "loaded plain.made",
    "loaded made", "create form"};

void ExpectCompleteTree(TComponent* root) {
  EXPECT_FALSE(root->IsLoading()) << root->ClassName() << " " << root->Name();
  EXPECT_FALSE(root->ComponentState() & csReading) << root->ClassName() << " " << root->Name();
  for (int i = 0; i < root->ComponentCount(); ++i) ExpectCompleteTree(root->Components(i));
}

class Creation : public ::testing::Test {
protected:
  void SetUp() override {
    gLog.clear();
    TProbe::ThrowIn.clear();
  }
};

TEST_F(Creation, AFormCompletesEveryComponentItMadeWhileLoadingOnceInCreationOrder) {
  auto form = Make<TProbeForm>();
  EXPECT_TRUE(form->LoadingInConstructor);
  EXPECT_TRUE(form->Plain->LoadingInConstructor);
  EXPECT_TRUE(form->Made->LoadingInConstructor);
  EXPECT_EQ(gLog, kFormSteps);
  ExpectCompleteTree(form.get());
  // The framework's own children were loading with their parents and are complete too.
  EXPECT_EQ(form->Group->ComponentCount(), 2);
  EXPECT_GT(form->Navigator->ComponentCount(), 0);
  EXPECT_EQ(form->Menu->Items()->Owner(), form->Menu);
  // What was skipped while loading is done by Loaded.
  EXPECT_FALSE(form->Navigator->Buttons(nbFirst)->Enabled());
  auto reference = Make<TLabel>(nullptr);
  reference->SetCaption(form->Caption->Caption());
  EXPECT_GT(form->Caption->Width(), 0);
  EXPECT_EQ(form->Caption->Width(), reference->Width());
  EXPECT_EQ(form->Caption->Height(), reference->Height());
}

TEST_F(Creation, CreateFormCompletesTheSameWay) {
  TProbeForm* form = nullptr;
  Application->CreateForm(form);
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(gLog, kFormSteps);
  ExpectCompleteTree(form);
  form->Free();
}

TEST_F(Creation, AComponentMadeAfterLoadingIsCompletedAtOnce) {
  auto form = Make<TProbeForm>();
  gLog.clear();
  auto* later = NewComponent<TProbe>(form.get(), "later", true);
  EXPECT_TRUE(later->LoadingInConstructor);
  EXPECT_EQ(gLog, (std::vector<std::string>{"after later.made", "after later", "loaded later", "after later.new",
                                            "loaded later.new", "loaded later.made"}));
  ExpectCompleteTree(form.get());
  // A framework child made after loading too.
  form->Group->AddItem("three");
  ExpectCompleteTree(form->Group);
  auto* alone = NewComponent<TProbe>(nullptr, "alone");
  EXPECT_EQ(gLog.back(), "loaded alone");
  alone->Free();
}

// A control made with a plain new after loading is completed as it is placed, once.
TEST_F(Creation, APlainNewControlIsCompletedWhenItGetsAParent) {
  auto form = Make<TProbeForm>();
  struct TPlaced : TLabel {
    using TLabel::TLabel;
    void AfterConstruction() override { gLog.push_back("after placed"); }
    void Loaded() override {
      TLabel::Loaded();
      gLog.push_back("loaded placed");
    }
  };
  gLog.clear();
  auto* placed = new TPlaced(form.get());
  EXPECT_TRUE(placed->IsIncomplete());
  EXPECT_TRUE(gLog.empty());
  placed->SetParent(form.get());
  placed->SetParent(nullptr);
  placed->SetParent(form.get());
  EXPECT_EQ(gLog, (std::vector<std::string>{"after placed", "loaded placed"}));
  EXPECT_FALSE(placed->IsIncomplete());
}

// A component made with a plain new by another's Loaded, during the same end of loading, is
// completed by it too.
TEST_F(Creation, APlainNewMadeWhileLoadingEndsIsCompletedByTheSameEnd) {
  struct TMaker : TProbe {
    using TProbe::TProbe;
    void Loaded() override {
      TProbe::Loaded();
      if (!Made) Made = new TProbe(Owner(), "late");
    }
    TProbe* Made = nullptr;
  };
  auto form = Make<TTestForm>();
  form->BeginLoading();
  auto* maker = new TMaker(form.get(), "maker");
  gLog.clear();
  form->EndLoading();
  EXPECT_EQ(gLog, (std::vector<std::string>{"after maker", "loaded maker", "after late", "loaded late"}));
  ExpectCompleteTree(form.get());
  EXPECT_FALSE(maker->Made->IsIncomplete());
}

TEST_F(Creation, AFormWhoseComponentFailsToLoadIsFreedAndTheErrorGoesOn) {
  TProbe::ThrowIn = "plain.new";
  int formsBefore = Screen->FormCount();
  EXPECT_THROW(Make<TProbeForm>(), std::runtime_error);
  EXPECT_EQ(Screen->FormCount(), formsBefore);
  // The loading stopped at the failure: nothing after it was loaded, OnCreate never ran.
  EXPECT_EQ(gLog.back(), "loaded plain.new");
}

}  // namespace
