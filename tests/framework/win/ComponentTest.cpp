#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "framework/win/TComponent.h"

namespace {

std::vector<std::string> gEvents;

// Records what it is told and when it goes.
class TWatcher : public TComponent {
public:
  TWatcher(TComponent* owner, const std::string& name) : TComponent(owner) { SetName(name); }
  ~TWatcher() override { gEvents.push_back("freed " + Name()); }
  TComponent* Linked = nullptr;
  bool Constructed = false;
  void AfterConstruction() override { Constructed = true; }

protected:
  void Notification(TComponent* component, TOperation operation) override {
    TComponent::Notification(component, operation);
    if (component == this) return;
    gEvents.push_back(Name() + (operation == TOperation::Insert ? " insert " : " remove ") + component->Name());
    if (operation == TOperation::Remove && component == Linked) Linked = nullptr;
  }
};

class ComponentTest : public ::testing::Test {
protected:
  void SetUp() override { gEvents.clear(); }
};

TEST_F(ComponentTest, OwnerFreesWhatItOwnsNewestFirstAndSiblingsAreTold) {
  auto* owner = new TWatcher(nullptr, "owner");
  auto* a = new TWatcher(owner, "a");
  new TWatcher(owner, "b");
  EXPECT_EQ(owner->ComponentCount(), 2);
  EXPECT_EQ(a->Owner(), owner);
  // The owner hears of both insertions, a of b's (names are set after they join).
  EXPECT_EQ(gEvents.size(), 3u);
  gEvents.clear();
  owner->Free();
  EXPECT_EQ(gEvents, (std::vector<std::string>{"a remove b", "owner remove b", "freed b", "owner remove a",
                                               "freed a", "freed owner"}));
}

TEST_F(ComponentTest, FreeNotificationClearsALinkAcrossOwners) {
  auto* left = new TWatcher(nullptr, "left");
  auto* right = new TWatcher(nullptr, "right");
  left->Linked = right;
  right->FreeNotification(left);
  EXPECT_TRUE(right->ComponentState() & csFreeNotification);
  right->Free();
  EXPECT_EQ(left->Linked, nullptr);
  EXPECT_EQ(gEvents, (std::vector<std::string>{"left remove right", "freed right"}));
  gEvents.clear();
  left->Free();
  EXPECT_EQ(gEvents, (std::vector<std::string>{"freed left"}));
}

TEST_F(ComponentTest, RemovedFreeNotificationIsNotSent) {
  auto* left = new TWatcher(nullptr, "left");
  auto* right = new TWatcher(nullptr, "right");
  right->FreeNotification(left);
  right->RemoveFreeNotification(left);
  right->Free();
  EXPECT_EQ(gEvents, (std::vector<std::string>{"freed right"}));
  left->Free();
}

TEST_F(ComponentTest, NamesAreFoundWithoutRegardToCaseAndMustBeUnique) {
  auto owner = Make<TComponent>(nullptr);
  auto* button = new TWatcher(owner.get(), "sButton1");
  EXPECT_EQ(owner->FindComponent("SBUTTON1"), button);
  EXPECT_EQ(owner->FindComponent("sButton2"), nullptr);
  EXPECT_THROW(new TWatcher(owner.get(), "SButton1"), EComponentError);
  // The failed one never joined the owner.
  EXPECT_EQ(owner->ComponentCount(), 1);
  auto* other = new TWatcher(owner.get(), "sButton2");
  EXPECT_THROW(other->SetName("sbutton1"), EComponentError);
  EXPECT_EQ(other->Name(), "sButton2");
  EXPECT_EQ(button->ComponentIndex(), 0);
  EXPECT_EQ(other->ComponentIndex(), 1);
}

TEST_F(ComponentTest, LoadingStateEndsWithLoadedAndConstructionCompletes) {
  auto owner = Make<TComponent>(nullptr);
  TOwned<TWatcher> child(NewComponent<TWatcher>(owner.get(), "child"));
  EXPECT_TRUE(child->Constructed);
  owner->BeginLoading();
  EXPECT_TRUE(child->IsLoading());
  EXPECT_TRUE(child->ComponentState() & csReading);
  child->Loaded();
  EXPECT_FALSE(child->IsLoading());
  EXPECT_FALSE(child->ComponentState() & csDesigning);
}

TEST_F(ComponentTest, FreeingAComponentMarksWhatItOwnsAsDestroying) {
  struct TProbe : TComponent {
    using TComponent::TComponent;
    bool* SawDestroying = nullptr;
    ~TProbe() override { *SawDestroying = IsDestroying(); }
  };
  bool saw = false;
  auto* owner = new TComponent(nullptr);
  auto* probe = new TProbe(owner);
  probe->SawDestroying = &saw;
  owner->Free();
  EXPECT_TRUE(saw);
}

TEST_F(ComponentTest, ClassNameIsTheMostDerivedName) {
  auto watcher = Make<TWatcher>(nullptr, "w");
  EXPECT_EQ(watcher->ClassName(), "TWatcher");
  auto form = Make<TTestForm>();
  EXPECT_EQ(form->ClassName(), "TTestForm");
}

}  // namespace
