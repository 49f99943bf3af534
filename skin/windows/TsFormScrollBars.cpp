#include "skin/windows/TsFormScrollBars.h"

#include <windows.h>

#include <algorithm>

#include "framework/win/TCustomForm.h"
#include "skin/controls/TsPanel.h"
#include "skin/controls/TsScrollBar.h"

TsFormScrollBars::TsFormScrollBars(TCustomForm* form) : FForm(form) {
  if (FForm) FSavedAutoScroll = FForm->AutoScroll();
}

bool TsFormScrollBars::IsOwnBar(const TControl* c) const {
  return c && (c == FBars[0] || c == FBars[1] || c == FGrip);
}

void TsFormScrollBars::FreeBars() {
  ScrollChildren(FScrolled[0], FScrolled[1]);  // the children back where they were
  FScrolled[0] = FScrolled[1] = 0;
  for (TsScrollBar*& bar : FBars)
    if (bar) {
      bar->Free();
      bar = nullptr;
    }
  if (FGrip) {
    FGrip->Free();
    FGrip = nullptr;
  }
}

void TsFormScrollBars::FreeBar(int k) {
  if (!FBars[k]) return;
  ScrollChildren(k == 0 ? FScrolled[0] : 0, k == 1 ? FScrolled[1] : 0);
  FScrolled[k] = 0;
  FBars[k]->Free();
  FBars[k] = nullptr;
}

void TsFormScrollBars::ScrollChildren(int dx, int dy) {
  if ((dx == 0 && dy == 0) || !FForm) return;
  for (int i = 0; i < FForm->ControlCount(); ++i) {
    TControl* c = FForm->Controls(i);
    if (IsOwnBar(c)) continue;
    c->SetBounds(c->Left() + dx, c->Top() + dy, c->Width(), c->Height());
  }
}

void TsFormScrollBars::ScrollChanged(TObject* sender) {
  if (FScrolling) return;
  FScrolling = true;
  const int k = sender == FBars[1] ? 1 : 0;
  if (TsScrollBar* bar = FBars[k]) {
    const int delta = bar->Position() - FScrolled[k];
    FScrolled[k] = bar->Position();
    ScrollChildren(k == 0 ? -delta : 0, k == 1 ? -delta : 0);
  }
  FScrolling = false;
}

// Measured as if not scrolled.
TsFormScrollBars::TContent TsFormScrollBars::MeasureContent() const {
  TContent content;
  for (int i = 0; i < FForm->ControlCount(); ++i) {
    TControl* c = FForm->Controls(i);
    if (IsOwnBar(c) || !c->Visible()) continue;
    if (c->Align() == alNone || c->Align() == alTop)
      content.Height = std::max(content.Height, 2 + c->Top() + FScrolled[1] + c->Height());
    if (c->Align() == alNone || c->Align() == alLeft)
      content.Width = std::max(content.Width, 2 + c->Left() + FScrolled[0] + c->Width());
  }
  return content;
}

void TsFormScrollBars::PlaceBar(int k, int left, int top, int right, int bottom, int page, int range,
                                int increment) {
  if (!FBars[k]) {
    FBars[k] = NewControl<TsScrollBar>(FForm, FForm, RECT{left, top, right, bottom});
    FBars[k]->SetKind(k == 1 ? sbVertical : sbHorizontal);
    FBars[k]->SetTabStop(false);
    FBars[k]->SetOnChange(TNotifyEvent(this, &TsFormScrollBars::ScrollChanged));
  } else {
    FBars[k]->SetBounds(left, top, right - left, bottom - top);
  }
  FScrolling = true;
  FBars[k]->SetParams(std::min(FScrolled[k], range), 0, range);
  FBars[k]->SetPageSize(std::max(page, 1));
  FBars[k]->SetSmallChange(increment);
  FBars[k]->SetLargeChange(80);
  FScrolling = false;
  FBars[k]->SetVisible(true);
}

void TsFormScrollBars::PlaceGrip(int left, int top, int right, int bottom) {
  if (!FGrip) FGrip = NewControl<TsGrip>(FForm, FForm, RECT{left, top, right, bottom});
  FGrip->SetBounds(left, top, right - left, bottom - top);
}

void TsFormScrollBars::Update(bool skinned) {
  if (!FForm || FForm->IsDestroying() || (FForm->ControlState() & csCreating) || FForm->FormStyle() == fsMDIForm ||
      FScrolling)
    return;
  if (!skinned || !FForm->Visible() || !FSavedAutoScroll) {
    FreeBars();
    if (FSavedAutoScroll && !FForm->AutoScroll()) FForm->SetAutoScroll(true);
    return;
  }
  if (FForm->AutoScroll()) FForm->SetAutoScroll(false);
  const TContent content = MeasureContent();
  RECT client;
  GetClientRect(FForm->Handle(), &client);
  const int sx = GetSystemMetrics(SM_CXVSCROLL), sy = GetSystemMetrics(SM_CYHSCROLL);
  // The form's own settings: a hidden bar never shows, a Range past the children scrolls further.
  TControlScrollBar* settings[2] = {FForm->HorzScrollBar(), FForm->VertScrollBar()};
  const int rangeH = std::max(content.Width, settings[0]->Range());
  const int rangeV = std::max(content.Height, settings[1]->Range());
  const bool allowH = settings[0]->Visible(), allowV = settings[1]->Visible();
  bool needV = allowV && rangeV > client.bottom;
  bool needH = allowH && rangeH > client.right;
  // One bar takes room from the other direction.
  if (needV && !needH) needH = allowH && rangeH > client.right - sx;
  if (needH && !needV) needV = allowV && rangeV > client.bottom - sy;
  if (needH)
    PlaceBar(0, 0, client.bottom - sy, client.right - (needV ? sx : 0), client.bottom, client.right - 4, rangeH,
             settings[0]->Increment());
  else
    FreeBar(0);
  if (needV)
    PlaceBar(1, client.right - sx, 0, client.right, client.bottom - (needH ? sy : 0), client.bottom - 4, rangeV,
             settings[1]->Increment());
  else
    FreeBar(1);
  if (FBars[0] && FBars[1]) {
    PlaceGrip(client.right - sx, client.bottom - sy, client.right, client.bottom);
  } else if (FGrip) {
    FGrip->Free();
    FGrip = nullptr;
  }
}
