#include "phone/core/P2KMonitor.h"

#include <chrono>
#include <memory>

#include "phone/core/P2KDriver.h"
#include "phone/core/P2KLink.h"

TP2KMonitor::TP2KMonitor(TP2KLink& link, TPostProc post) : FLink(link), FPost(std::move(post)) {}

TP2KMonitor::~TP2KMonitor() {
  Stop();
}

void TP2KMonitor::Start() {
  std::lock_guard lock(FLock);
  if (FRunning || FThread.joinable()) return;
  FRunning = true;
  FThread = std::thread([this] { Run(); });
}

void TP2KMonitor::Stop() {
  {
    std::lock_guard lock(FLock);
    FRunning = false;
  }
  FWake.notify_all();
  if (FThread.joinable() && FThread.get_id() != std::this_thread::get_id()) FThread.join();
}

bool TP2KMonitor::Running() const {
  return KeepRunning();
}

bool TP2KMonitor::KeepRunning() const {
  std::lock_guard lock(FLock);
  return FRunning;
}

bool TP2KMonitor::Pause(std::uint32_t ms) {
  std::unique_lock lock(FLock);
  FWake.wait_for(lock, std::chrono::milliseconds(ms), [this] { return !FRunning; });
  return FRunning;
}

void TP2KMonitor::Run() {
  while (KeepRunning()) {
    FLink.SendModeSwitch(FLink.FindUsbModemPort());
    if (!Pause(LoopPause)) break;

    P2KTarget target = P2KTarget::NormalMode();
    FLink.SetTarget(target);
    TP2KLink::TFound found = FLink.OpenP2KDevice(target);
    if (found.Handle == 0 && KeepRunning()) {
      target = P2KTarget::FlashMode();
      FLink.SetTarget(target);
      found = FLink.OpenP2KDevice(target);
    }
    if (found.Handle != 0) {
      FLink.Attach(found.Handle, found.Path);
      if (FPost) FPost(true);
      WaitForRemoval(found.Path);
      // Closed before the disconnect is told, so nothing reaches the handle after it.
      FLink.Detach();
      if (!KeepRunning()) break;
      if (FPost) FPost(false);
    }
    if (!Pause(LoopPause)) break;
  }
  FLink.Detach();
}

void TP2KMonitor::WaitForRemoval(const std::string& path) {
  const std::unique_ptr<TDevicePort::TKeyWatch> watch = FLink.Port().WatchKey(P2KDriver::DeviceKeyPath(path));
  std::uint32_t sinceCheck = 0;
  while (KeepRunning()) {
    if (watch) {
      if (watch->Wait(KeyWaitSlice) == TKeyWait::Changed) return;
      sinceCheck += KeyWaitSlice;
    } else {
      if (!Pause(KeyWaitSlice)) return;
      sinceCheck += KeyWaitSlice;
    }
    // The interface list tells when the device has gone if the key cannot be watched, and also
    // where a removed key is not signalled.
    const std::uint32_t every = watch ? KeyedPresencePoll : PresencePoll;
    if (sinceCheck >= every) {
      sinceCheck = 0;
      if (!FLink.IsInterfacePresent(path)) return;
    }
  }
}
