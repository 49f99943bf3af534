#include "framework/base/Delegate.h"

#include <gtest/gtest.h>

#include "framework/base/TObject.h"

namespace {

class TBase : public TObject {
public:
  virtual void Clicked(TObject*) { ++Base; }
  int Base = 0;
};

class TReceiver : public TBase {
public:
  void Clicked(TObject* sender) override { Last = sender; }
  void Other(TObject*) { ++Others; }
  int Twice(int v) { return 2 * v; }
  TObject* Last = nullptr;
  int Others = 0;
};

int gPlainCalls = 0;
void Plain(TObject*) { ++gPlainCalls; }

}  // namespace

TEST(Delegate, CallsTheMethodOnTheObjectVirtualsIncluded) {
  TReceiver r;
  TObject sender;
  TNotifyEvent e(&r, &TBase::Clicked);  // bound through the base: the override runs
  e(&sender);
  EXPECT_EQ(r.Last, &sender);
  EXPECT_EQ(r.Base, 0);
  TDelegate<int(int)> twice = MakeDelegate(&r, &TReceiver::Twice);
  EXPECT_EQ(twice(21), 42);
}

TEST(Delegate, ComparesByObjectAndMethod) {
  TReceiver a, b;
  TNotifyEvent ac(&a, &TReceiver::Clicked);
  EXPECT_EQ(ac, TNotifyEvent(&a, &TReceiver::Clicked));
  EXPECT_FALSE(ac == TNotifyEvent(&b, &TReceiver::Clicked));
  EXPECT_FALSE(ac == TNotifyEvent(&a, &TReceiver::Other));
  // The same object and method, whatever type the object pointer had when bound.
  TBase* asBase = &a;
  EXPECT_EQ(TNotifyEvent(&a, &TBase::Clicked), TNotifyEvent(asBase, &TBase::Clicked));
  EXPECT_EQ(TNotifyEvent(&a, &TReceiver::Other), TNotifyEvent(static_cast<TReceiver*>(asBase), &TReceiver::Other));
  EXPECT_EQ(TNotifyEvent(), TNotifyEvent(nullptr));
  EXPECT_FALSE(ac == TNotifyEvent());
  EXPECT_EQ(TNotifyEvent(&Plain), TNotifyEvent(&Plain));
  TNotifyEvent plain(&Plain);
  plain(nullptr);
  EXPECT_EQ(gPlainCalls, 1);
}

TEST(Delegate, EmptyAndFunctorDelegates) {
  TNotifyEvent none;
  EXPECT_FALSE(none);
  TReceiver* nobody = nullptr;
  EXPECT_FALSE(TNotifyEvent(nobody, &TReceiver::Other));
  int calls = 0;
  auto f = TNotifyEvent::FromFunctor([&calls](TObject*) { ++calls; });
  auto copy = f;
  copy(nullptr);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(f, copy);
  EXPECT_FALSE(f == TNotifyEvent::FromFunctor([&calls](TObject*) { ++calls; }));
  f.Clear();
  EXPECT_FALSE(f.Assigned());
}
