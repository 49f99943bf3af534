#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <string>

#include "framework/win/Messages.h"
#include "framework/win/TComponent.h"
#include "phone/core/FlashSequence.h"
#include "phone/core/P2KLink.h"
#include "phone/core/P2KMonitor.h"
#include "phone/core/P2KProtocol.h"
#include "phone/core/P2KTarget.h"

class TDevicePort;

// Posted by the monitor thread to the link's hidden window: WParam 1 connected, 0 disconnected.
inline constexpr unsigned WM_P2KCONNECT = 0x0400 + 55;

// The link to a P2K phone. Its monitor thread finds the phone and reports connection changes to a
// hidden window, so that Connected and the callbacks live on the window thread; every command
// runs on the window thread. The device port is given at construction and must outlive the link.
// An exception raised by a callback goes to the application's exception handler.
class TP2KAPI : public TComponent, public TFlashLink {
public:
  using TConnectProc = std::function<void(bool connected)>;
  using TErrorProc = std::function<void(const std::string& message)>;
  using TProgressProc = TP2KProtocol::TProgressProc;

  TP2KAPI(TComponent* owner, TDevicePort& port);
  TP2KAPI(const TP2KAPI&) = delete;
  TP2KAPI& operator=(const TP2KAPI&) = delete;
  // Stops the monitor thread, then frees the hidden window.
  ~TP2KAPI() override;

  // Resets the state, posts a disconnect and, when StartThread, starts the monitor. Always true.
  bool Start(bool startThread);
  void SetOnConnect(TConnectProc proc) { FOnConnect = std::move(proc); }
  // Reports raised on the monitor thread reach Proc on the window thread, in order.
  void SetOnError(TErrorProc proc) { FOnError = std::move(proc); }

  P2KTarget GetTarget() const { return FLink.Target(); }
  bool Connected() const override { return FConnected; }
  std::uint16_t Sequence() const { return FSequence; }

  bool SendTestCommand(std::uint16_t command, std::span<const std::uint8_t> data = {});
  bool RestartToFlashMode() override;
  bool BootAddr(std::uint32_t address);
  bool BootJump(std::uint32_t address);
  bool BootSendBin(std::uint32_t address, std::span<const std::uint8_t> data, const TProgressProc& progress);
  // When not connected nothing is sent and Reply is unchanged.
  void BootCommand(const std::string& command, std::string& reply);

  // The hidden window (an HWND).
  void* WindowHandle() const { return FWindow; }

  // What a flash run asks of the link.
  std::uint16_t TargetIndex() const override { return GetTarget().Index; }
  bool SendBin(std::uint32_t address, std::span<const std::uint8_t> data, const TProgressProc& progress,
               std::uint32_t& failedAt) override;
  bool Jump(std::uint32_t address) override { return BootJump(address); }
  bool Command(const std::string& command, std::string& reply) override;
  // Whether the last device found is still among the driver's interfaces.
  bool Plugged() override;

private:
  void WndProc(TMessage& message);
  // Runs a user callback; what it raises goes to the application's exception handler.
  void Callback(const std::function<void()>& call);

  void ReportError(const std::string& message);
  void PostConnect(bool connected);
  void HandleConnect(bool connected);
  void DeliverErrors();

  void* FWindow = nullptr;
  std::uint32_t FWindowThread = 0;
  TConnectProc FOnConnect;
  TErrorProc FOnError;
  std::uint16_t FSequence = 1;
  bool FConnected = false;

  std::mutex FErrorLock;
  std::deque<std::string> FPendingErrors;

  TP2KLink FLink;
  TP2KProtocol FProtocol;
  TP2KMonitor FMonitor;
};
