// The main of every test binary: GoogleTest's, plus a watchdog. A test that runs longer than
// TARVEX_TEST_TIMEOUT seconds (default 180) is named on the output and the binary ends at once
// with code 124, so one hang costs minutes instead of the run's whole time-out. Under Windows the
// actions a test left to run later are dropped when it ends.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

#ifdef _WIN32
#include <windows.h>

#include "tests/framework/win/RunLater.h"
#endif

namespace {

constexpr int TimedOutExitCode = 124;  // what coreutils' timeout answers

[[noreturn]] void EndNow() {
#ifdef _WIN32
  // ExitProcess would still notify every DLL, which a hung thread may block.
  TerminateProcess(GetCurrentProcess(), TimedOutExitCode);
#endif
  std::_Exit(TimedOutExitCode);
}

class TWatchdog : public testing::EmptyTestEventListener {
public:
  explicit TWatchdog(std::chrono::seconds limit) : FLimit(limit), FThread([this] { Watch(); }) {}

  ~TWatchdog() override {
    {
      std::lock_guard<std::mutex> lock(FMutex);
      FStop = true;
    }
    FWake.notify_one();
    FThread.join();
  }

  void OnTestStart(const testing::TestInfo& test) override {
    std::lock_guard<std::mutex> lock(FMutex);
    FTest = std::string(test.test_suite_name()) + "." + test.name();
    FDeadline = std::chrono::steady_clock::now() + FLimit;
    FWake.notify_one();
  }

  void OnTestEnd(const testing::TestInfo&) override {
    std::lock_guard<std::mutex> lock(FMutex);
    FTest.clear();
  }

private:
  void Watch() {
    std::unique_lock<std::mutex> lock(FMutex);
    while (!FStop) {
      if (FTest.empty()) {
        FWake.wait(lock);
      } else if (std::chrono::steady_clock::now() < FDeadline) {
        FWake.wait_until(lock, FDeadline);
      } else {
        std::printf("[  TIMEOUT ] %s did not end within %lld s\n", FTest.c_str(),
                    static_cast<long long>(FLimit.count()));
        std::fflush(stdout);
        EndNow();
      }
    }
  }

  const std::chrono::seconds FLimit;
  std::mutex FMutex;
  std::condition_variable FWake;
  std::string FTest;  // the running test, empty between tests
  std::chrono::steady_clock::time_point FDeadline;
  bool FStop = false;
  std::thread FThread;  // last: it starts once the members it uses exist
};

#ifdef _WIN32
// What a Wine test left to run later ends with it.
class TPendingActionsEnd : public testing::EmptyTestEventListener {
public:
  void OnTestEnd(const testing::TestInfo&) override { CancelPendingActions(); }
};
#endif

std::chrono::seconds TestTimeLimit() {
  const char* text = std::getenv("TARVEX_TEST_TIMEOUT");
  long seconds = text != nullptr ? std::strtol(text, nullptr, 10) : 0;
  return std::chrono::seconds(seconds > 0 ? seconds : 180);
}

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  testing::TestEventListeners& listeners = testing::UnitTest::GetInstance()->listeners();
  auto* watchdog = new TWatchdog(TestTimeLimit());
  listeners.Append(watchdog);
#ifdef _WIN32
  listeners.Append(new TPendingActionsEnd);
#endif
  int result = RUN_ALL_TESTS();
  delete listeners.Release(watchdog);
  return result;
}
