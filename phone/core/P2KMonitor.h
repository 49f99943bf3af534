#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

class TP2KLink;

// The thread that switches a phone in modem mode into P2K mode, finds it, publishes it on the link
// and waits for it to go. Connection changes leave it only through Post (true connected, false
// disconnected), called on the monitor thread after the link's state is set.
class TP2KMonitor {
public:
  using TPostProc = std::function<void(bool connected)>;

  static constexpr std::uint32_t LoopPause = 100;
  // How often the interface list is read while a device is connected: often when its key cannot
  // be watched, seldom as a second check beside the key.
  static constexpr std::uint32_t PresencePoll = 300;
  static constexpr std::uint32_t KeyedPresencePoll = 1000;
  static constexpr std::uint32_t KeyWaitSlice = 100;

  TP2KMonitor(TP2KLink& link, TPostProc post);
  TP2KMonitor(const TP2KMonitor&) = delete;
  TP2KMonitor& operator=(const TP2KMonitor&) = delete;
  ~TP2KMonitor();

  // Starts the thread unless it runs.
  void Start();
  // Clears the running flag and waits for the thread, which ends within its current step (a
  // device search is bounded by the driver's time-outs). The published device is closed.
  void Stop();
  bool Running() const;

private:
  void Run();
  void WaitForRemoval(const std::string& path);
  // Sleeps Ms unless stopped first; false once stopping.
  bool Pause(std::uint32_t ms);
  bool KeepRunning() const;

  TP2KLink& FLink;
  const TPostProc FPost;
  mutable std::mutex FLock;
  std::condition_variable FWake;
  bool FRunning = false;
  std::thread FThread;
};
