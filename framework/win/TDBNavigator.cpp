#include "framework/win/TDBNavigator.h"

#include <algorithm>

#include "framework/base/NavigatorModel.h"
#include "framework/base/TClientDataSet.h"
#include "framework/win/GdiScopes.h"
#include "framework/win/TApplication.h"
#include "framework/win/TBitmap.h"
#include "framework/win/TCanvas.h"
#include "framework/win/TDataSource.h"
#include "framework/win/TTimer.h"

namespace {

constexpr int kGlyphSize = 12;
constexpr unsigned kRepeatDelay = 400, kRepeatInterval = 100;

const char* const kDefaultHints[10] = {"First record", "Prior record", "Next record", "Last record",
                                       "Insert record", "Delete record", "Edit record", "Post edit",
                                       "Cancel edit", "Refresh data"};

// Draws the symbol of button in colour with its left edge at x.
void DrawSymbol(HDC dc, TNavigateBtn button, int x, COLORREF colour) {
  TGdiObject<HBRUSH> brushObject(CreateSolidBrush(colour));
  TGdiObject<HPEN> pen(CreatePen(PS_SOLID, 2, colour));
  HBRUSH brush = brushObject.Handle();
  TSelectObject selectedBrush(dc, brush), selectedPen(dc, pen.Handle());
  const int m = kGlyphSize / 2;
  auto triangle = [&](bool left, int at) {
    POINT p[3] = {{at, m}, {at + 5, m - 5}, {at + 5, m + 5}};
    if (!left) p[0] = {at + 5, m}, p[1] = {at, m - 5}, p[2] = {at, m + 5};
    Polygon(dc, p, 3);
  };
  auto bar = [&](int at) {
    RECT r{at, 1, at + 2, kGlyphSize - 1};
    FillRect(dc, &r, brush);
  };
  switch (button) {
    case nbFirst: bar(x + 2); triangle(true, x + 5); break;
    case nbPrior: triangle(true, x + 4); break;
    case nbNext: triangle(false, x + 4); break;
    case nbLast: triangle(false, x + 3); bar(x + 9); break;
    case nbInsert: {
      RECT h{x + 2, m - 1, x + 10, m + 1}, v{x + 5, 2, x + 7, 10};
      FillRect(dc, &h, brush);
      FillRect(dc, &v, brush);
      break;
    }
    case nbDelete: {
      RECT h{x + 2, m - 1, x + 10, m + 1};
      FillRect(dc, &h, brush);
      break;
    }
    case nbEdit: {
      POINT p[3] = {{x + m, 2}, {x + 1, 10}, {x + 11, 10}};
      Polygon(dc, p, 3);
      break;
    }
    case nbPost:
      MoveToEx(dc, x + 2, m, nullptr);
      LineTo(dc, x + 5, 9);
      LineTo(dc, x + 10, 3);
      break;
    case nbCancel:
      MoveToEx(dc, x + 3, 3, nullptr);
      LineTo(dc, x + 9, 9);
      MoveToEx(dc, x + 9, 3, nullptr);
      LineTo(dc, x + 3, 9);
      break;
    case nbRefresh:
      Arc(dc, x + 2, 2, x + 10, 10, x + 10, m, x + m, 2);
      break;
  }
}

// Two frames, normal and disabled, on a key colour.
void MakeGlyph(TBitmap& glyph, TNavigateBtn button) {
  glyph.SetSize(kGlyphSize * 2, kGlyphSize);
  TCanvas* canvas = glyph.Canvas();
  canvas->Brush()->SetColor(clFuchsia);
  canvas->FillRect(RECT{0, 0, kGlyphSize * 2, kGlyphSize});
  DrawSymbol(canvas->Handle(), button, 0, RGB(0, 0, 0));
  // The symbols keep clear of the bottom-left pixel, which names the transparent colour.
  DrawSymbol(canvas->Handle(), button, kGlyphSize, GetSysColor(COLOR_GRAYTEXT));
}

}  // namespace

TNavButton::TNavButton(TDBNavigator* navigator, TNavigateBtn index)
    : TSpeedButton(navigator), FNavigator(navigator), FIndex(index) {
  TBitmap glyph;
  MakeGlyph(glyph, index);
  SetGlyph(&glyph);
  SetNumGlyphs(2);
}

void TNavButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TSpeedButton::MouseDown(button, shift, x, y);
  if (button == mbLeft && Repeats() && Enabled()) FNavigator->StartRepeat(this);
}

void TNavButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  FNavigator->StopRepeat();
  TSpeedButton::MouseUp(button, shift, x, y);
}

void TNavButton::Paint() {
  TSpeedButton::Paint();
  if (!FNavigator->Focused() || FNavigator->FocusedButton() != FIndex) return;
  RECT r{3, 3, Width() - 3, Height() - 3};
  DrawFocusRect(Canvas()->Handle(), &r);
}

void TNavButton::RepeatTick() { FNavigator->RepeatTick(); }

TDBNavigator::TDBNavigator(TComponent* owner) : TDBNavigator(owner, TNoButtons{}) {
  MakeButtons([this](TNavigateBtn index) -> TSpeedButton* {
    auto* button = NewComponent<TNavButton>(this, index);
    button->SetOnMouseDown(TMouseEvent(this, &TDBNavigator::ButtonMouseDown));
    return button;
  });
}

TDBNavigator::TDBNavigator(TComponent* owner, TNoButtons) : TCustomControl(owner), FLink(this) {
  SetControlStyle((ControlStyle() | csOpaque) & ~(csAcceptsControls | csSetCaption));
  SetColor(clBtnFace);
}

TDBNavigator::~TDBNavigator() { *FExists = false; }

void TDBNavigator::MakeButtons(const std::function<TSpeedButton*(TNavigateBtn)>& make) {
  for (size_t i = 0; i < FButtons.size(); ++i) {
    TSpeedButton* button = make(TNavigateBtn(i));
    button->SetHint(kDefaultHints[i]);
    button->SetOnClick(TNotifyEvent::FromFunctor([this, i](TObject*) { BtnClick(TNavigateBtn(i)); }));
    button->SetParent(this);
    FButtons[i] = button;
  }
  SetBounds(Left(), Top(), 240, 25);
  Layout();
  UpdateButtons();
}

void TDBNavigator::TNavLink::DataEvent(TDataEvent event) {
  // A table on its way out is not asked about its records.
  if (event != TDataEvent::deDataSetDestroying) FNavigator->UpdateButtons();
}

void TDBNavigator::SetDataSource(TDataSource* source) {
  FLink.SetDataSource(source);
  UpdateButtons();
}

void TDBNavigator::SetVisibleButtons(TButtonSet value) {
  value &= nbAllButtons;
  if (value == FVisibleButtons) return;
  FVisibleButtons = value;
  for (size_t i = 0; i < FButtons.size(); ++i) FButtons[i]->SetVisible((value >> i) & 1u);
  // Space must never press a button that cannot be seen.
  SetFocusedButton(TNavigateBtn(NavigatorModel::FocusAfterVisibleChange(int(FFocusedButton), value)));
  Layout();
  Invalidate();
}

void TDBNavigator::SetHints(const std::vector<std::string>& hints) {
  FHints = hints;
  for (size_t i = 0; i < FButtons.size(); ++i)
    FButtons[i]->SetHint(i < hints.size() && !hints[i].empty() ? hints[i] : kDefaultHints[i]);
}

void TDBNavigator::SetFocusedButton(TNavigateBtn index) {
  if (index == FFocusedButton) return;
  const TNavigateBtn old = FFocusedButton;
  FFocusedButton = index;
  FocusLookChanged(old);
  FocusLookChanged(index);
}

void TDBNavigator::FocusLookChanged(TNavigateBtn) { Invalidate(); }

NavigatorModel::TLayout TDBNavigator::ButtonLayout() const {
  return NavigatorModel::Layout(Width(), Height(), 0, FVisibleButtons, true, 0);
}

void TDBNavigator::Layout() {
  if (!FButtons[0]) return;
  const NavigatorModel::TLayout layout = ButtonLayout();
  if (layout.Width != Width()) SetBounds(Left(), Top(), layout.Width, Height());
  for (size_t i = 0; i < FButtons.size(); ++i) {
    const TRect& r = layout.Buttons[i];
    FButtons[i]->SetBounds(r.Left, r.Top, r.Width(), r.Height());
  }
}

void TDBNavigator::Resize() {
  Layout();
  TCustomControl::Resize();
}

void TDBNavigator::UpdateButtons() {
  if (!FButtons[0]) return;
  NavigatorModel::TDataState state;
  TClientDataSet* table = FLink.DataSet();
  state.Active = FLink.Active() && Enabled() && table != nullptr;
  if (state.Active) {
    state.Empty = table->IsEmpty();
    state.AtStart = state.Empty || table->RecNo() <= 1;
    state.AtEnd = state.Empty || table->RecNo() >= table->RecordCount();
    state.CanModify = table->CanModify();
    state.Editing = FLink.Editing();
  }
  const NavigatorModel::TButtonBits enabled = NavigatorModel::EnabledButtons(state);
  for (size_t i = 0; i < FButtons.size(); ++i) FButtons[i]->SetEnabled((enabled >> i) & 1u);
}

bool TDBNavigator::ConfirmDeletion() {
  if (Application == nullptr) return true;
  return Application->MessageBox("Delete record?", Application->Title(), MB_OKCANCEL | MB_ICONQUESTION) != IDCANCEL;
}

void TDBNavigator::BtnClick(TNavigateBtn index) {
  // Handlers and the question may free the navigator.
  const std::shared_ptr<bool> exists = FExists;
  TClientDataSet* table = FLink.DataSet();
  if (table && FLink.Active()) {
    if (FBeforeAction) FBeforeAction(this, index);
    if (!*exists) return;
    table = FLink.DataSet();
    if (!table || !FLink.Active()) return;
    switch (index) {
      case nbFirst: table->First(); break;
      case nbPrior: table->Prior(); break;
      case nbNext: table->Next(); break;
      case nbLast: table->Last(); break;
      case nbInsert: table->Insert(); break;
      case nbDelete: {
        if (table->IsEmpty()) break;
        const bool yes = !FConfirmDelete || ConfirmDeletion();
        if (!*exists) return;
        table = FLink.DataSet();
        if (yes && table && FLink.Active() && !table->IsEmpty()) table->Delete();
        break;
      }
      case nbEdit: table->Edit(); break;
      case nbPost: table->Post(); break;
      case nbCancel: table->Cancel(); break;
      case nbRefresh: RefreshData(table); break;
    }
    if (!*exists) return;
  }
  if (FOnNavClick) FOnNavClick(this, index);
}

void TDBNavigator::StartRepeat(TSpeedButton* button) {
  if (FRepeatTimer == nullptr) {
    FRepeatTimer = NewComponent<TTimer>(this);
    FRepeatTimer->SetOnTimer(TNotifyEvent::FromFunctor([this](TObject*) { RepeatTick(); }));
  }
  FHeldButton = button;
  FRepeatTimer->SetInterval(kRepeatDelay);
  FRepeatTimer->SetEnabled(true);
}

void TDBNavigator::StopRepeat() {
  if (FRepeatTimer != nullptr) FRepeatTimer->SetEnabled(false);
}

void TDBNavigator::RepeatTick() {
  if (FRepeatTimer != nullptr) FRepeatTimer->SetInterval(kRepeatInterval);
  if (FHeldButton == nullptr) return;
  if (FHeldButton->State() == bsDown && FHeldButton->Enabled()) FHeldButton->Click();
  else if (!(GetKeyState(VK_LBUTTON) & 0x8000)) StopRepeat();
}

void TDBNavigator::ButtonMouseDown(TObject* sender, TMouseButton button, TShiftState, int, int) {
  if (button != mbLeft) return;
  SetFocusedButton(static_cast<TNavButton*>(sender)->Index());
  if (CanFocus() && !Focused()) SetFocus();
  Invalidate();
}

void TDBNavigator::KeyDown(WORD& key, TShiftState shift) {
  TCustomControl::KeyDown(key, shift);
  switch (key) {
    case VK_SPACE: {
      TSpeedButton* button = FButtons[size_t(FFocusedButton)];
      if (button->Enabled() && button->Visible()) button->Click();
      break;
    }
    case VK_LEFT:
    case VK_RIGHT:
      SetFocusedButton(TNavigateBtn(NavigatorModel::StepFocus(int(FFocusedButton), key == VK_LEFT ? -1 : 1, FVisibleButtons)));
      break;
    default:
      return;
  }
  key = 0;
}

void TDBNavigator::Paint() {
  RECT r = ClientRect();
  Canvas()->Brush()->SetColor(Color());
  Canvas()->FillRect(r);
}

void TDBNavigator::Loaded() {
  TCustomControl::Loaded();
  UpdateButtons();
}

void TDBNavigator::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_GETDLGCODE:
      message.Result = DLGC_WANTARROWS;
      return;
    case CM_ENABLEDCHANGED:
      TCustomControl::Dispatch(message);
      if (!IsLoading()) UpdateButtons();
      return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      TCustomControl::Dispatch(message);
      FocusLookChanged(FFocusedButton);
      return;
    default:
      break;
  }
  TCustomControl::Dispatch(message);
}
