#include "framework/win/TScrollBar.h"

#include <algorithm>

TScrollBar::TScrollBar(TComponent* owner) : TWinControl(owner) {
  SetTabStop(true);
  SetBounds(0, 0, 121, GetSystemMetrics(SM_CYHSCROLL));
}

void TScrollBar::CreateParams(TCreateParams& params) {
  TWinControl::CreateParams(params);
  CreateSubClass(params, "SCROLLBAR");
  params.Style |= FKind == sbHorizontal ? SBS_HORZ : SBS_VERT;
}

void TScrollBar::CreateWnd() {
  TWinControl::CreateWnd();
  ApplyInfo();
}

void TScrollBar::ApplyInfo() {
  if (!HandleAllocated()) return;
  SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, FMin, FMax, UINT(FPageSize), FPosition, 0};
  // The platform's maximum counts the page; ours is the last position.
  if (FPageSize > 0) si.nMax = FMax + FPageSize - 1;
  SetScrollInfo(Handle(), SB_CTL, &si, TRUE);
}

void TScrollBar::SetKind(TScrollBarKind value) {
  if (value == FKind) return;
  FKind = value;
  SetBounds(Left(), Top(), Height(), Width());
  RecreateWnd();
}

void TScrollBar::SetParams(int position, int min, int max) {
  if (max < min) throw EInvalidOperation("Scroll bar property out of range");
  position = std::clamp(position, min, max);
  if (position == FPosition && min == FMin && max == FMax) return;
  bool moved = position != FPosition;
  FMin = min;
  FMax = max;
  FPosition = position;
  ApplyInfo();
  if (moved) Change();
}

void TScrollBar::SetPageSize(int value) {
  if (value < 0 || value == FPageSize) return;
  if (value > FMax - FMin + 1) throw EInvalidOperation("Scroll bar property out of range");
  FPageSize = value;
  ApplyInfo();
}

void TScrollBar::Change() {
  if (FOnChange) FOnChange(this);
}

void TScrollBar::DoScroll(int code, int thumb) {
  TScrollCode scroll = scEndScroll;
  int pos = FPosition;
  switch (code) {
    case SB_LINEUP: scroll = scLineUp; pos -= FSmallChange; break;
    case SB_LINEDOWN: scroll = scLineDown; pos += FSmallChange; break;
    case SB_PAGEUP: scroll = scPageUp; pos -= FLargeChange; break;
    case SB_PAGEDOWN: scroll = scPageDown; pos += FLargeChange; break;
    case SB_THUMBPOSITION: scroll = scPosition; pos = thumb; break;
    case SB_THUMBTRACK: scroll = scTrack; pos = thumb; break;
    case SB_TOP: scroll = scTop; pos = FMin; break;
    case SB_BOTTOM: scroll = scBottom; pos = FMax; break;
    default: break;
  }
  pos = std::clamp(pos, FMin, FMax);
  if (FOnScroll) FOnScroll(this, scroll, pos);
  SetPosition(pos);
}

void TScrollBar::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case CN_HSCROLL:
    case CN_VSCROLL: {
      int thumb = HIWORD(message.WParam);
      int code = LOWORD(message.WParam);
      // The message carries only 16 bits of the thumb position; the full one is asked for.
      if (code == SB_THUMBTRACK || code == SB_THUMBPOSITION) {
        SCROLLINFO si{sizeof si, SIF_TRACKPOS, 0, 0, 0, 0, 0};
        if (GetScrollInfo(Handle(), SB_CTL, &si)) thumb = si.nTrackPos;
      }
      DoScroll(code, thumb);
      message.Result = 0;
      return;
    }
    default:
      break;
  }
  TWinControl::Dispatch(message);
}
