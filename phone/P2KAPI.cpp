#include "phone/P2KAPI.h"

#include <windows.h>

#include "framework/base/Exception.h"
#include "framework/win/AllocateHWnd.h"
#include "framework/win/TApplication.h"
#include "phone/core/TestCommand.h"

namespace {
// Hands a report raised on the monitor thread to the window thread.
constexpr UINT WM_P2KERROR = WM_USER + 56;
}  // namespace

TP2KAPI::TP2KAPI(TComponent* owner, TDevicePort& port)
    : TComponent(owner),
      FLink(port, [this](const std::string& message) { ReportError(message); }),
      FProtocol(FLink),
      FMonitor(FLink, [this](bool connected) { PostConnect(connected); }) {
  FWindowThread = GetCurrentThreadId();
  FWindow = AllocateHWnd(TWndMethod(this, &TP2KAPI::WndProc));
}

TP2KAPI::~TP2KAPI() {
  // The thread may still post; it is gone before the window is.
  FMonitor.Stop();
  DeallocateHWnd(static_cast<HWND>(FWindow));
}

void TP2KAPI::WndProc(TMessage& message) {
  if (message.Msg == WM_P2KCONNECT) {
    HandleConnect(message.WParam == 1);
    return;
  }
  if (message.Msg == WM_P2KERROR) {
    DeliverErrors();
    return;
  }
  message.Result = DefWindowProcA(static_cast<HWND>(FWindow), message.Msg, message.WParam, message.LParam);
}

bool TP2KAPI::Start(bool startThread) {
  FConnected = false;
  FSequence = 1;
  FLink.SetTarget(P2KTarget::NormalMode());
  PostConnect(false);
  if (startThread) FMonitor.Start();
  return true;
}

void TP2KAPI::PostConnect(bool connected) {
  if (FWindow != nullptr) PostMessageA(static_cast<HWND>(FWindow), WM_P2KCONNECT, connected ? 1 : 0, 0);
}

void TP2KAPI::Callback(const std::function<void()>& call) {
  try {
    call();
  } catch (const std::exception& e) {
    if (Application != nullptr) Application->HandleException(this, e);
  }
}

void TP2KAPI::HandleConnect(bool connected) {
  // The callback sees the state before the change.
  if (FOnConnect) Callback([&] { FOnConnect(connected); });
  FConnected = connected;
}

void TP2KAPI::ReportError(const std::string& message) {
  if (GetCurrentThreadId() == FWindowThread) {
    if (FOnError) Callback([&] { FOnError(message); });
    return;
  }
  {
    std::lock_guard lock(FErrorLock);
    FPendingErrors.push_back(message);
  }
  if (FWindow != nullptr) PostMessageA(static_cast<HWND>(FWindow), WM_P2KERROR, 0, 0);
}

void TP2KAPI::DeliverErrors() {
  std::deque<std::string> errors;
  {
    std::lock_guard lock(FErrorLock);
    errors.swap(FPendingErrors);
  }
  for (const std::string& message : errors) {
    if (FOnError) Callback([&] { FOnError(message); });
  }
}

bool TP2KAPI::SendTestCommand(std::uint16_t command, std::span<const std::uint8_t> data) {
  return FProtocol.SendTestCommand(FSequence, command, data);
}

bool TP2KAPI::SendBin(std::uint32_t address, std::span<const std::uint8_t> data, const TProgressProc& progress,
                      std::uint32_t& failedAt) {
  failedAt = address;
  return FConnected && FProtocol.BootSendBinUntilFailure(address, data, progress, failedAt);
}

bool TP2KAPI::Plugged() {
  const std::string path = FLink.DevicePath();
  return !path.empty() && FLink.IsInterfacePresent(path);
}

bool TP2KAPI::Command(const std::string& command, std::string& reply) {
  return FConnected && FProtocol.BootCommand(command, reply);
}

bool TP2KAPI::RestartToFlashMode() {
  if (!FConnected) return false;
  SendTestCommand(TTestCommand::RestartToFlash);
  return true;
}

bool TP2KAPI::BootAddr(std::uint32_t address) {
  return FConnected && FProtocol.BootAddr(address);
}

bool TP2KAPI::BootJump(std::uint32_t address) {
  return FConnected && FProtocol.BootJump(address);
}

bool TP2KAPI::BootSendBin(std::uint32_t address, std::span<const std::uint8_t> data,
                          const TProgressProc& progress) {
  return FConnected && FProtocol.BootSendBin(address, data, progress);
}

void TP2KAPI::BootCommand(const std::string& command, std::string& reply) {
  if (FConnected) FProtocol.BootCommand(command, reply);
}
