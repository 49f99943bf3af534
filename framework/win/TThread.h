#pragma once

#include <windows.h>

#include <deque>
#include <vector>

#include "framework/base/Delegate.h"
#include "framework/base/Exception.h"
#include "framework/base/TObject.h"
#include "framework/base/TStringList.h"

enum class TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };
using enum TThreadPriority;

using TThreadMethod = TDelegate<void()>;

class EThread : public Exception {
public:
  using Exception::Exception;
};

// A worker thread: derive and override Execute. Synchronize runs a method on the window thread
// (through CheckSynchronize, called by the message loop) and waits for it.
class TThread : public TObject {
public:
  explicit TThread(bool createSuspended);
  // Waits for the thread to end (after Terminate) unless it already has.
  ~TThread() override;

  void Resume();
  void Start() { Resume(); }
  void Suspend();
  void Terminate() { FTerminated = true; }
  bool Terminated() const { return FTerminated; }
  bool Suspended() const { return FSuspended; }
  bool Finished() const { return FFinished; }
  // Waits for the end while running synchronized methods; returns the return value.
  DWORD WaitFor();
  HANDLE Handle() const { return FHandle; }
  DWORD ThreadID() const { return FThreadID; }
  TThreadPriority Priority() const;
  void SetPriority(TThreadPriority priority);
  bool FreeOnTerminate() const { return FFreeOnTerminate; }
  void SetFreeOnTerminate(bool value) { FFreeOnTerminate = value; }
  int ReturnValue() const { return FReturnValue; }
  // Runs on the window thread when Execute has returned (the thread waits for it).
  const TNotifyEvent& OnTerminate() const { return FOnTerminate; }
  void SetOnTerminate(const TNotifyEvent& e) { FOnTerminate = e; }

  // Runs method on the window thread and waits; an exception it raises is raised again here.
  // Called on the window thread itself, runs it at once.
  void Synchronize(const TThreadMethod& method);
  static void Synchronize(TThread* thread, const TThreadMethod& method);

protected:
  virtual void Execute() = 0;
  void SetReturnValue(int value) { FReturnValue = value; }

private:
  static DWORD WINAPI ThreadProc(LPVOID param);
  void DoTerminate();

  HANDLE FHandle = nullptr;
  DWORD FThreadID = 0;
  volatile bool FTerminated = false;
  volatile bool FFinished = false;
  bool FSuspended = false;
  bool FFreeOnTerminate = false;
  int FReturnValue = 0;
  TNotifyEvent FOnTerminate;
};

// Runs the methods that worker threads asked to run on this (the window) thread; true when any ran.
bool CheckSynchronize(DWORD timeoutMs = 0);
// The thread that made the application: the one Synchronize runs methods on.
DWORD MainThreadID();

// A list shared between threads: take it with LockList, give it back with UnlockList.
class TThreadList : public TObject {
public:
  TThreadList();
  ~TThreadList() override;
  TThreadList(const TThreadList&) = delete;
  TThreadList& operator=(const TThreadList&) = delete;

  std::vector<void*>* LockList();
  void UnlockList();
  void Add(void* item);
  void Remove(void* item);
  void Clear();
  TDuplicates Duplicates() const { return FDuplicates; }
  void SetDuplicates(TDuplicates d) { FDuplicates = d; }

private:
  CRITICAL_SECTION FLock;
  std::vector<void*> FList;
  TDuplicates FDuplicates = TDuplicates::dupIgnore;
};
