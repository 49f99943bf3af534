#include "skin/engine/TsFadeTimer.h"

#include <cstring>
#include <map>

#include "framework/win/AllocateHWnd.h"
#include "framework/win/GdiScopes.h"
#include "framework/win/TApplication.h"
#include "framework/win/TBitmap.h"
#include "framework/win/TCanvas.h"
#include "framework/win/TWinControl.h"
#include "skin/engine/SkinBitmapRows.h"
#include "skin/engine/SkinCommands.h"
#include "skin/engine/TsCommonData.h"
#include "skin/engine/core/SkinTables.h"

namespace {

// Timers alive now, by id: a deferred stop only reaches the timer that asked for it. Ids are never
// reused, so a timer made later at the freed one's address is not stopped by a stop meant for it.
std::map<uint64_t, const TsFadeTimer*>& LiveTimers() {
  static std::map<uint64_t, const TsFadeTimer*> timers;
  return timers;
}
uint64_t LastTimerId = 0;

constexpr UINT WM_FADESTOP = WM_APP + 0x2F1;
HWND StopWindow = nullptr;

void StopWndProc(TMessage& message) {
  if (message.Msg == WM_FADESTOP) {
    const auto live = LiveTimers().find(static_cast<uint64_t>(message.LParam));
    const TsFadeTimer* timer = live != LiveTimers().end() ? live->second : nullptr;
    if (timer && timer->SkinData() && timer->SkinData()->OwnerControl())
      SendSkinCommandTo(timer->SkinData()->OwnerControl(), SkinCommand::StopFading);
    return;
  }
  message.Result = DefWindowProcA(StopWindow, message.Msg, message.WParam, message.LParam);
}

// Asks the control to stop and free the timer once the current message has been handled.
void PostStop(uint64_t timerId) {
  PostMessageA(StopWindow, WM_FADESTOP, 0, static_cast<LPARAM>(timerId));
}

}  // namespace

TsFadeTimer::TsFadeTimer(TComponent* owner)
    : TTimer(owner), FSaved(std::make_unique<TBitmap>()), FFrame(std::make_unique<TBitmap>()) {
  // Made with the first timer, not when a fade first ends, so that it appears at a known moment.
  if (!StopWindow) StopWindow = AllocateHWnd(TWndMethod(&StopWndProc));
  FId = ++LastTimerId;
  LiveTimers().emplace(FId, this);
  SetActive(TsFadeDirection::Idle);
  SetOnTimer(TNotifyEvent(this, &TsFadeTimer::IdleTick));
}

TsFadeTimer::~TsFadeTimer() { LiveTimers().erase(FId); }

void TsFadeTimer::SetActive(TsFadeDirection direction) {
  FSchedule.SetActive(direction);
  SetEnabled(direction != TsFadeDirection::Idle);
}

void TsFadeTimer::StartFor(TsCommonData* skinData) {
  FSkinData = skinData;
  if (!skinData) return;
  if (TBitmap* cache = skinData->CacheBitmap()) FSaved->Assign(cache);
  int interval = 5, iterations = 5;
  if (SectionIndexValid(skinData->SkinIndex())) {
    const TsSectionData& s = ActiveSkin().SkinSectionData[size_t(skinData->SkinIndex())];
    interval = s.FadingIntervalIn;
    iterations = s.FadingIterations;
  }
  FSchedule.StartFor(interval, iterations);
  SetInterval(FSchedule.Interval());
}

bool TsFadeTimer::ControlUsable() const {
  if (!FSkinData || !FSkinData->OwnerControl() || FSkinData->OwnerControl()->IsDestroying()) return false;
  return !(Application && Application->Terminated());
}

void TsFadeTimer::Timer() {
  TTimer::Timer();
  const TsFadeTick tick = FSchedule.Tick(ControlUsable());
  switch (tick.Action) {
    case TsFadeTick::TsAction::Disable:
      SetEnabled(false);
      break;
    case TsFadeTick::TsAction::Stop:
      SetEnabled(false);
      PostStop(FId);
      break;
    case TsFadeTick::TsAction::Paint:
      if (BlendFrame(tick)) ShowFrame();
      break;
    case TsFadeTick::TsAction::None:
      break;
  }
}

bool TsFadeTimer::BlendFrame(const TsFadeTick& tick) {
  TBitmap* cache = FSkinData->CacheBitmap();
  if (!cache) return false;
  TsBitmap24 frame;
  TsFadeSchedule::RenderFrame(tick, BitmapRows(FSaved.get()), BitmapRows(cache), frame);
  FFrame->SetPixelFormat(TPixelFormat::Bit24);
  FFrame->SetSize(frame.Width(), frame.Height());
  const TsBitmap24View rows = BitmapRows(FFrame.get());
  for (int32_t y = 0; y < rows.Height(); ++y) std::memcpy(rows.Row(y), frame.View().Row(y), size_t(rows.Width()) * 3);
  return true;
}

void TsFadeTimer::ShowFrame() {
  auto* control = dynamic_cast<TWinControl*>(FSkinData->OwnerControl());
  if (!control || !control->HandleAllocated()) return;
  const TWindowDC dc(control->Handle(), TWindowDC::Client);
  BitBlt(dc.Handle(), 0, 0, FFrame->Width(), FFrame->Height(), FFrame->Canvas()->Handle(), 0, 0, SRCCOPY);
}
