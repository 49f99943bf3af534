#include "phone/P2KAPI.h"

#include <windows.h>

#include "framework/base/Exception.h"
#include "phone/core/TestCommand.h"

namespace {

constexpr const char* WindowClass = "TP2KAPIWindow";
// Hands a report raised on the monitor thread to the window thread.
constexpr UINT WM_P2KERROR = WM_USER + 56;

}  // namespace

struct TP2KAPIWindow {
  static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* api = reinterpret_cast<TP2KAPI*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
    if (api != nullptr) {
      if (msg == WM_P2KCONNECT) {
        api->HandleConnect(wParam == 1);
        return 0;
      }
      if (msg == WM_P2KERROR) {
        api->DeliverErrors();
        return 0;
      }
    }
    return DefWindowProcA(wnd, msg, wParam, lParam);
  }

  static HWND Create(TP2KAPI* api) {
    static const ATOM atom = [] {
      WNDCLASSA wc{};
      wc.lpfnWndProc = Proc;
      wc.hInstance = GetModuleHandleA(nullptr);
      wc.lpszClassName = WindowClass;
      return RegisterClassA(&wc);
    }();
    if (atom == 0) return nullptr;
    HWND wnd = CreateWindowExA(0, WindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    if (wnd != nullptr) SetWindowLongPtrA(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(api));
    return wnd;
  }
};

TP2KAPI::TP2KAPI(TDevicePort& port)
    : FLink(port, [this](const std::string& message) { ReportError(message); }),
      FProtocol(FLink),
      FMonitor(FLink, [this](bool connected) { PostConnect(connected); }) {
  FWindowThread = GetCurrentThreadId();
  FWindow = TP2KAPIWindow::Create(this);
  if (FWindow == nullptr) throw Exception("Cannot create the phone link's window");
}

TP2KAPI::~TP2KAPI() {
  // The thread may still post; it is gone before the window is.
  FMonitor.Stop();
  if (FWindow != nullptr) {
    SetWindowLongPtrA(static_cast<HWND>(FWindow), GWLP_USERDATA, 0);
    DestroyWindow(static_cast<HWND>(FWindow));
  }
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

void TP2KAPI::HandleConnect(bool connected) {
  // The callback sees the state before the change.
  if (FOnConnect) FOnConnect(connected);
  FConnected = connected;
}

void TP2KAPI::ReportError(const std::string& message) {
  if (GetCurrentThreadId() == FWindowThread) {
    if (FOnError) FOnError(message);
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
    if (FOnError) FOnError(message);
  }
}

bool TP2KAPI::SendTestCommand(std::uint16_t command, std::span<const std::uint8_t> data) {
  return FProtocol.SendTestCommand(FSequence, command, data);
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
