#include "framework/win/TUpDown.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdint>

namespace {

// Where the native control moves position by delta: within the range as it is; past a bound to
// the other end's side when it wraps, else to that bound.
int SteppedPosition(int position, int delta, int min, int max, bool wrap) {
  const std::int64_t low = std::min(min, max), high = std::max(min, max);
  std::int64_t next = std::int64_t(position) + delta;
  if (next >= low && next <= high) return int(next);
  if (!wrap) return int(next > high ? high : low);
  const std::int64_t span = high - low + 1;
  next = (next - low) % span;
  return int(low + (next < 0 ? next + span : next));
}

}  // namespace

TUpDown::TUpDown(TComponent* owner) : TWinControl(owner) {
  SetControlStyle(ControlStyle() & ~csDoubleClicks);
  SetBounds(0, 0, GetSystemMetrics(SM_CXVSCROLL), 24);
}

void TUpDown::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  CreateSubClass(params, UPDOWN_CLASSA);
  if (FOrientation == udHorizontal) params.Style |= UDS_HORZ;
  params.Style |= FAlignButton == udLeft ? UDS_ALIGNLEFT : UDS_ALIGNRIGHT;
  if (FArrowKeys) params.Style |= UDS_ARROWKEYS;
  if (!FThousands) params.Style |= UDS_NOTHOUSANDS;
  if (FWrap) params.Style |= UDS_WRAP;
  if (FAssociate != nullptr) params.Style |= UDS_SETBUDDYINT;
}

void TUpDown::CreateWnd() {
  TWinControl::CreateWnd();
  HWND h = Handle();
  ApplyRange();
  UDACCEL accel{0, UINT(FIncrement)};
  SendMessageA(h, UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&accel));
  if (FAssociate != nullptr) SendMessageA(h, UDM_SETBUDDY, reinterpret_cast<WPARAM>(FAssociate->Handle()), 0);
  SendMessageA(h, UDM_SETPOS32, 0, FPosition);
}

void TUpDown::ApplyRange() {
  if (HandleAllocated()) SendMessageA(Handle(), UDM_SETRANGE32, WPARAM(FMin), LPARAM(FMax));
}

void TUpDown::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation == TOperation::Remove && component == FAssociate) {
    FAssociate = nullptr;
    if (HandleAllocated()) SendMessageA(Handle(), UDM_SETBUDDY, 0, 0);
  }
}

void TUpDown::SetMin(int value) {
  if (value == FMin) return;
  FMin = value;
  ApplyRange();
}

void TUpDown::SetMax(int value) {
  if (value == FMax) return;
  FMax = value;
  ApplyRange();
}

int TUpDown::Position() {
  if (HandleAllocated()) {
    BOOL error = FALSE;
    int pos = int(SendMessageA(Handle(), UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&error)));
    // The error flag speaks of the buddy's text; without a buddy some platforms raise it anyway.
    if (!error || FAssociate == nullptr) FPosition = pos;
  }
  return FPosition;
}

void TUpDown::SetPosition(int value) {
  value = std::clamp(value, std::min(FMin, FMax), std::max(FMin, FMax));
  FPosition = value;
  if (HandleAllocated()) SendMessageA(Handle(), UDM_SETPOS32, 0, value);
}

void TUpDown::SetIncrement(int value) {
  if (value == FIncrement) return;
  FIncrement = value;
  if (HandleAllocated()) {
    UDACCEL accel{0, UINT(value)};
    SendMessageA(Handle(), UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&accel));
  }
}

void TUpDown::SetOrientation(TUDOrientation value) {
  if (value == FOrientation) return;
  FOrientation = value;
  SetBounds(Left(), Top(), Height(), Width());
  RecreateWnd();
}

void TUpDown::SetAssociate(TWinControl* control) {
  if (control == FAssociate) return;
  if (FAssociate != nullptr) FAssociate->RemoveFreeNotification(this);
  FAssociate = control;
  if (control != nullptr) {
    control->FreeNotification(this);
    control->SetText(std::to_string(FPosition));
  }
  RecreateWnd();
}

void TUpDown::SetAlignButton(TUDAlignButton value) {
  if (value == FAlignButton) return;
  FAlignButton = value;
  RecreateWnd();
}

void TUpDown::SetArrowKeys(bool value) {
  if (value == FArrowKeys) return;
  FArrowKeys = value;
  RecreateWnd();
}

void TUpDown::SetThousands(bool value) {
  if (value == FThousands) return;
  FThousands = value;
  RecreateWnd();
}

void TUpDown::SetWrap(bool value) {
  if (value == FWrap) return;
  FWrap = value;
  RecreateWnd();
}

bool TUpDown::CanChange(int position, int delta) {
  bool allow = true;
  if (FOnChanging) FOnChanging(this, allow);
  if (FOnChangingEx) {
    const int next = SteppedPosition(position, delta, FMin, FMax, FWrap);
    const TUpDownDirection direction = next == position ? updNone : delta > 0 ? updUp : updDown;
    FOnChangingEx(this, allow, next, direction);
  }
  return allow;
}

void TUpDown::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case CN_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(message.LParam);
      if (header == nullptr || header->code != UDN_DELTAPOS) return;
      auto* delta = reinterpret_cast<NMUPDOWN*>(header);
      const bool allow = CanChange(delta->iPos, delta->iDelta);
      if (allow) FLastDelta = delta->iDelta;
      message.Result = allow ? FALSE : TRUE;
      return;
    }
    case CN_HSCROLL:
    case CN_VSCROLL: {
      if (LOWORD(message.WParam) == SB_ENDSCROLL) return;
      Position();
      if (FLastDelta != 0 && FOnClick) FOnClick(this, FLastDelta > 0 ? btNext : btPrev);
      FLastDelta = 0;
      return;
    }
    default:
      break;
  }
  TWinControl::Dispatch(message);
}
