#include "framework/win/TThread.h"

#include <algorithm>
#include <exception>
#include <mutex>

#include "framework/win/TApplication.h"

namespace {

const DWORD gMainThreadID = GetCurrentThreadId();

// One method waiting to run on the window thread, and how its caller learns it ran.
struct TSyncRequest {
  TThreadMethod Method;
  HANDLE Done;
  std::exception_ptr Error;
};

std::mutex gSyncLock;
std::deque<TSyncRequest*> gSyncQueue;
HANDLE SyncEvent() {
  static HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  return event;
}

}  // namespace

DWORD MainThreadID() { return gMainThreadID; }

bool CheckSynchronize(DWORD timeoutMs) {
  if (GetCurrentThreadId() != gMainThreadID) throw EThread("CheckSynchronize called from a thread other than the main one");
  if (timeoutMs > 0) WaitForSingleObject(SyncEvent(), timeoutMs);
  bool ran = false;
  for (;;) {
    TSyncRequest* request;
    {
      std::lock_guard<std::mutex> lock(gSyncLock);
      if (gSyncQueue.empty()) break;
      request = gSyncQueue.front();
      gSyncQueue.pop_front();
    }
    try {
      request->Method();
    } catch (...) {
      request->Error = std::current_exception();
    }
    ran = true;
    SetEvent(request->Done);
  }
  return ran;
}

TThread::TThread(bool createSuspended) : FSuspended(true) {
  FHandle = CreateThread(nullptr, 0, ThreadProc, this, CREATE_SUSPENDED, &FThreadID);
  if (FHandle == nullptr) throw EThread("Thread creation error");
  if (!createSuspended) Resume();
}

TThread::~TThread() {
  if (FHandle == nullptr) return;
  if (!FFinished && GetCurrentThreadId() != FThreadID) {
    Terminate();
    if (FSuspended) Resume();
    WaitFor();
  }
  CloseHandle(FHandle);
}

void TThread::Resume() {
  if (!FSuspended) return;
  DWORD count = ResumeThread(FHandle);
  if (count <= 1) FSuspended = false;
}

void TThread::Suspend() {
  if (FSuspended) return;
  FSuspended = true;
  SuspendThread(FHandle);
}

DWORD TThread::WaitFor() {
  if (GetCurrentThreadId() == gMainThreadID) {
    // Keep running synchronized methods, or a thread waiting in Synchronize never ends.
    HANDLE handles[2] = {FHandle, SyncEvent()};
    for (;;) {
      DWORD r = WaitForMultipleObjects(2, handles, FALSE, INFINITE);
      if (r == WAIT_OBJECT_0) break;
      CheckSynchronize();
    }
  } else {
    WaitForSingleObject(FHandle, INFINITE);
  }
  DWORD code = 0;
  GetExitCodeThread(FHandle, &code);
  return code;
}

TThreadPriority TThread::Priority() const {
  switch (GetThreadPriority(FHandle)) {
    case THREAD_PRIORITY_IDLE: return tpIdle;
    case THREAD_PRIORITY_LOWEST: return tpLowest;
    case THREAD_PRIORITY_BELOW_NORMAL: return tpLower;
    case THREAD_PRIORITY_ABOVE_NORMAL: return tpHigher;
    case THREAD_PRIORITY_HIGHEST: return tpHighest;
    case THREAD_PRIORITY_TIME_CRITICAL: return tpTimeCritical;
    default: return tpNormal;
  }
}

void TThread::SetPriority(TThreadPriority priority) {
  static constexpr int kPriorities[] = {THREAD_PRIORITY_IDLE,         THREAD_PRIORITY_LOWEST,
                                        THREAD_PRIORITY_BELOW_NORMAL, THREAD_PRIORITY_NORMAL,
                                        THREAD_PRIORITY_ABOVE_NORMAL, THREAD_PRIORITY_HIGHEST,
                                        THREAD_PRIORITY_TIME_CRITICAL};
  SetThreadPriority(FHandle, kPriorities[static_cast<int>(priority)]);
}

void TThread::Synchronize(const TThreadMethod& method) { Synchronize(this, method); }

void TThread::Synchronize(TThread*, const TThreadMethod& method) {
  if (!method) return;
  if (GetCurrentThreadId() == gMainThreadID) {
    method();
    return;
  }
  TSyncRequest request{method, CreateEventA(nullptr, TRUE, FALSE, nullptr), nullptr};
  if (request.Done == nullptr) throw EThread("Cannot create a synchronization event");
  {
    std::lock_guard<std::mutex> lock(gSyncLock);
    gSyncQueue.push_back(&request);
  }
  SetEvent(SyncEvent());
  if (Application != nullptr && Application->Handle() != nullptr) PostMessageA(Application->Handle(), WM_NULL, 0, 0);
  WaitForSingleObject(request.Done, INFINITE);
  CloseHandle(request.Done);
  if (request.Error) std::rethrow_exception(request.Error);
}

void TThread::DoTerminate() {
  if (FOnTerminate) Synchronize(TThreadMethod::FromFunctor([this] { FOnTerminate(this); }));
}

DWORD WINAPI TThread::ThreadProc(LPVOID param) {
  auto* thread = static_cast<TThread*>(param);
  try {
    if (!thread->FTerminated) thread->Execute();
  } catch (...) {
    // An exception cannot cross the thread's start; the thread just ends.
  }
  bool freeThread = thread->FFreeOnTerminate;
  DWORD result = DWORD(thread->FReturnValue);
  try {
    thread->DoTerminate();
  } catch (...) {
  }
  thread->FFinished = true;
  if (freeThread) delete thread;
  return result;
}

TThreadList::TThreadList() { InitializeCriticalSection(&FLock); }

TThreadList::~TThreadList() { DeleteCriticalSection(&FLock); }

std::vector<void*>* TThreadList::LockList() {
  EnterCriticalSection(&FLock);
  return &FList;
}

void TThreadList::UnlockList() { LeaveCriticalSection(&FLock); }

void TThreadList::Add(void* item) {
  LockList();
  bool present = std::find(FList.begin(), FList.end(), item) != FList.end();
  if (!present || FDuplicates == TDuplicates::dupAccept) {
    FList.push_back(item);
  } else if (FDuplicates == TDuplicates::dupError) {
    UnlockList();
    throw EThread("List does not allow duplicates");
  }
  UnlockList();
}

void TThreadList::Remove(void* item) {
  LockList();
  auto it = std::find(FList.begin(), FList.end(), item);
  if (it != FList.end()) FList.erase(it);
  UnlockList();
}

void TThreadList::Clear() {
  LockList();
  FList.clear();
  UnlockList();
}
