#include <gtest/gtest.h>

#include <atomic>

#include "TestSupport.h"
#include "framework/win/TThread.h"

namespace {

class TSyncWorker : public TThread {
public:
  TSyncWorker() : TThread(true) {}
  DWORD RanOn = 0;
  DWORD TerminateRanOn = 0;
  std::string Caught;
  bool ThrowInSync = false;

protected:
  void Execute() override {
    Synchronize(TThreadMethod::FromFunctor([this] {
      RanOn = GetCurrentThreadId();
      if (ThrowInSync) throw Exception("failed on the window thread");
    }));
  }
};

TEST(Thread, SynchronizeRunsOnTheWindowThreadWhileWaitForPumpsIt) {
  TSyncWorker worker;
  struct TTerminate {
    TSyncWorker* Worker;
    void Done(TObject*) { Worker->TerminateRanOn = GetCurrentThreadId(); }
  } done{&worker};
  worker.SetOnTerminate(TNotifyEvent(&done, &TTerminate::Done));
  EXPECT_TRUE(worker.Suspended());
  worker.Resume();
  worker.WaitFor();
  EXPECT_EQ(worker.RanOn, GetCurrentThreadId());
  EXPECT_EQ(worker.TerminateRanOn, GetCurrentThreadId());
  EXPECT_TRUE(worker.Finished());
}

class TThrowingSync : public TThread {
public:
  TThrowingSync() : TThread(true) {}
  std::string Caught;

protected:
  void Execute() override {
    try {
      Synchronize(TThreadMethod::FromFunctor([] { throw Exception("failed on the window thread"); }));
    } catch (const Exception& e) {
      Caught = e.Message();
    }
  }
};

TEST(Thread, AnExceptionInASynchronizedMethodIsRaisedInTheWorker) {
  TThrowingSync worker;
  worker.Resume();
  worker.WaitFor();
  EXPECT_EQ(worker.Caught, "failed on the window thread");
}

std::atomic<int> gFreed{0};

class TSelfFreeing : public TThread {
public:
  TSelfFreeing() : TThread(true) { SetFreeOnTerminate(true); }
  ~TSelfFreeing() override { ++gFreed; }

protected:
  void Execute() override {
    while (!Terminated()) {
      Synchronize(TThreadMethod::FromFunctor([this] { Terminate(); }));
    }
  }
};

TEST(Thread, FreeOnTerminateFreesTheThreadAfterItsSynchronizedWorkIsPumpedByTheLoop) {
  gFreed = 0;
  auto* thread = new TSelfFreeing;
  thread->Resume();
  DWORD start = GetTickCount();
  while (gFreed == 0 && GetTickCount() - start < 10000) {
    Application->ProcessMessages();
    CheckSynchronize(10);
  }
  EXPECT_EQ(gFreed, 1);
}

class TLooping : public TThread {
public:
  TLooping() : TThread(false) {}
  std::atomic<int> Rounds{0};

protected:
  void Execute() override {
    while (!Terminated()) {
      ++Rounds;
      Sleep(1);
    }
    SetReturnValue(5);
  }
};

TEST(Thread, TerminateEndsAWorkerThatChecksTerminated) {
  TLooping worker;
  while (worker.Rounds == 0) Sleep(1);
  worker.SetPriority(tpLower);
  EXPECT_EQ(worker.Priority(), tpLower);
  worker.Terminate();
  EXPECT_EQ(worker.WaitFor(), 5u);
}

TEST(ThreadList, GuardsItsListAndFollowsTheDuplicatesRule) {
  TThreadList list;
  int a = 0, b = 0;
  list.Add(&a);
  list.Add(&a);
  list.Add(&b);
  EXPECT_EQ(list.LockList()->size(), 2u);
  list.UnlockList();
  list.SetDuplicates(TDuplicates::dupError);
  EXPECT_THROW(list.Add(&a), EThread);
  // The lock was given back after the error.
  list.Remove(&a);
  EXPECT_EQ(list.LockList()->size(), 1u);
  list.UnlockList();
}

}  // namespace
