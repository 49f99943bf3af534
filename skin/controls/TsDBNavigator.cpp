#include "skin/controls/TsDBNavigator.h"

#include <windows.h>

#include <algorithm>

#include "framework/base/TClientDataSet.h"
#include "framework/win/TApplication.h"
#include "framework/win/TBitmap.h"
#include "framework/win/TCanvas.h"
#include "framework/win/TDataSource.h"
#include "framework/win/TImageList.h"
#include "framework/win/TTimer.h"

namespace {

constexpr unsigned RepeatDelay = 400, RepeatInterval = 100;

const char* const DefaultHints[10] = {"First record", "Prior record", "Next record", "Last record",
                                      "Insert record", "Delete record", "Edit record", "Post edit",
                                      "Cancel edit", "Refresh data"};
const char* const GlyphNames[10] = {"SDBN_FIRST", "SDBN_PRIOR", "SDBN_NEXT",   "SDBN_LAST",   "SDBN_INSERT",
                                    "SDBN_DELETE", "SDBN_EDIT", "SDBN_POST", "SDBN_CANCEL", "SDBN_REFRESH"};

// The ten glyphs (normal and disabled frame), loaded on first use and kept for the program's life.
TBitmap* NavigatorGlyph(TNavigateBtn index) {
  static std::array<std::unique_ptr<TBitmap>, 10> glyphs;
  static bool loaded = false;
  if (!loaded) {
    loaded = true;
    HINSTANCE module = GetModuleHandleA(nullptr);
    for (size_t i = 0; i < glyphs.size(); ++i) {
      if (!FindResourceA(module, GlyphNames[i], MAKEINTRESOURCEA(2) /* RT_BITMAP */)) continue;
      glyphs[i] = std::make_unique<TBitmap>();
      glyphs[i]->LoadFromResourceName(module, GlyphNames[i]);
    }
  }
  return glyphs[size_t(index)].get();
}

bool AskToDelete(TsDBNavigator*) {
  const std::string title = Application ? Application->Title() : "";
  return ::MessageBoxA(GetActiveWindow(), "Delete record?", title.c_str(), MB_OKCANCEL | MB_ICONQUESTION) == IDOK;
}

}  // namespace

TsNavDeleteConfirmation& NavigatorDeleteConfirmation() {
  static TsNavDeleteConfirmation confirm = AskToDelete;
  return confirm;
}

// TsNavButton

TsNavButton::TsNavButton(TsDBNavigator* navigator, TNavigateBtn index)
    : TsSpeedButton(navigator), FNavigator(navigator), FIndex(index) {
  SkinData().SetSkinSection("TOOLBUTTON");
  TsButtonLook look = Look();
  look.ShowCaption = false;
  SetLook(look);
  SetDisabledKind(TsDisabledKind{true, false});
}

bool TsNavButton::ShowsFocus() const {
  return FNavigator->Focused() && FNavigator->FocusedButton() == FIndex;
}

TsSkinState TsNavButton::SkinState() const {
  const TsSkinState state = TsSpeedButton::SkinState();
  return state == TsSkinState::Normal && ShowsFocus() ? TsSkinState::Hot : state;
}

void TsNavButton::Paint() {
  TsSpeedButton::Paint();
  if (!ShowsFocus()) return;
  RECT r{3, 3, Width() - 3, Height() - 3};
  DrawFocusRect(Canvas()->Handle(), &r);
}

void TsNavButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  const std::shared_ptr<bool> alive = Alive();
  if (button == mbLeft) FNavigator->SetFocusedButton(FIndex);
  TsSpeedButton::MouseDown(button, shift, x, y);
  if (!*alive || button != mbLeft || !Repeats() || !Enabled()) return;
  if (!FRepeatTimer) {
    FRepeatTimer = NewComponent<TTimer>(this);
    FRepeatTimer->SetOnTimer(TNotifyEvent(this, &TsNavButton::TimerExpired));
  }
  FRepeatTimer->SetInterval(RepeatDelay);
  FRepeatTimer->SetEnabled(true);
}

void TsNavButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (FRepeatTimer) FRepeatTimer->SetEnabled(false);
  TsSpeedButton::MouseUp(button, shift, x, y);
}

void TsNavButton::TimerExpired(TObject*) { RepeatTick(); }

void TsNavButton::RepeatTick() {
  if (FRepeatTimer) FRepeatTimer->SetInterval(RepeatInterval);
  // Clicks only while the button is held down with the mouse over it.
  if (State() == bsDown && Enabled()) Click();
  else if (!(GetKeyState(VK_LBUTTON) & 0x8000) && FRepeatTimer) FRepeatTimer->SetEnabled(false);
}

// TsNavDataLink

void TsNavDataLink::DataEvent(TDataEvent event) {
  if (event != TDataEvent::deDataSetDestroying) FNavigator->UpdateEnabling();
}

void TsNavDataLink::ActiveChanged() { FNavigator->UpdateEnabling(); }

// TsDBNavigator

TsDBNavigator::TsDBNavigator(TComponent* owner) : TsPanel(TsControlKind::ToolBar, owner), FLink(this) {
  SetControlStyle((ControlStyle() | csOpaque) & ~(csAcceptsControls | csSetCaption));
  SkinData().SetSkinSection("TOOLBAR");
  SetBevelOuter(bvNone);
  SetCaption("");
  SetTabStop(true);
  for (size_t i = 0; i < FButtons.size(); ++i) {
    auto* button = NewComponent<TsNavButton>(this, TNavigateBtn(i));
    button->SetHint(DefaultHints[i]);
    button->SetOnClick(TNotifyEvent::FromFunctor([this, i](TObject*) { BtnClick(TNavigateBtn(i)); }));
    button->SetParent(this);
    FButtons[i] = button;
  }
  UpdateGlyphs();
  SetBounds(Left(), Top(), 240, 25);
  LayOut();
  UpdateEnabling();
}

TsDBNavigator::~TsDBNavigator() { MarkDead(); }

void TsDBNavigator::SetDataSource(TDataSource* source) {
  FLink.SetDataSource(source);
  UpdateEnabling();
}

void TsDBNavigator::SetVisibleButtons(TButtonSet value) {
  value &= nbAllButtons;
  if (value == FVisibleButtons) return;
  FVisibleButtons = value;
  for (size_t i = 0; i < FButtons.size(); ++i) FButtons[i]->SetVisible((value >> i) & 1u);
  // Space must never press a button that cannot be seen.
  SetFocusedButton(TNavigateBtn(NavigatorModel::FocusAfterVisibleChange(int(FFocusedButton), value)));
  LayOut();
  Invalidate();
}

void TsDBNavigator::SetHints(const std::vector<std::string>& hints) {
  FHints = hints;
  for (size_t i = 0; i < FButtons.size(); ++i)
    FButtons[i]->SetHint(i < hints.size() && !hints[i].empty() ? hints[i] : DefaultHints[i]);
}

void TsDBNavigator::SetImages(TImageList* images) {
  if (images == FImages) return;
  if (FImages) FImages->RemoveFreeNotification(this);
  FImages = images;
  if (images) images->FreeNotification(this);
  UpdateGlyphs();
}

void TsDBNavigator::SetFirstImageIndex(int value) {
  if (value == FFirstImageIndex) return;
  FFirstImageIndex = value;
  UpdateGlyphs();
}

void TsDBNavigator::Notification(TComponent* component, TOperation operation) {
  TsPanel::Notification(component, operation);
  if (operation == TOperation::Remove && component == FImages) {
    FImages = nullptr;
    UpdateGlyphs();
  }
}

void TsDBNavigator::UpdateGlyphs() {
  for (size_t i = 0; i < FButtons.size(); ++i) {
    TsNavButton* button = FButtons[i];
    TsButtonLook look = button->Look();
    look.Images = FImages;
    look.ImageIndex = FImages ? FFirstImageIndex + int(i) : -1;
    button->SetLook(look);
    TBitmap* glyph = FImages ? nullptr : NavigatorGlyph(TNavigateBtn(i));
    if (glyph) {
      button->SetGlyph(glyph);
      button->SetNumGlyphs(2);
    } else {
      TBitmap none;
      button->SetGlyph(&none);
    }
  }
}

void TsDBNavigator::SetFocusedButton(TNavigateBtn index) {
  if (index == FFocusedButton) return;
  const TNavigateBtn old = FFocusedButton;
  FFocusedButton = index;
  RepaintButton(old);
  RepaintButton(index);
}

void TsDBNavigator::RepaintButton(TNavigateBtn index) {
  TsNavButton* button = FButtons[size_t(index)];
  button->SkinData().SetRepaintNeeded(true);
  button->Invalidate();
}

int TsDBNavigator::BorderSize() const {
  NavigatorModel::TBorder border;
  border.Single = BorderStyle() == bsSingle;
  border.Ctl3D = true;
  border.BorderWidth = 0;
  border.BevelWidth = BevelWidth();
  border.BevelInner = BevelInner() != bvNone;
  border.BevelOuter = BevelOuter() != bvNone;
  return NavigatorModel::BorderSize(border);
}

void TsDBNavigator::LayOut() {
  if (!FButtons[0]) return;
  const NavigatorModel::TLayout layout =
      NavigatorModel::Layout(Width(), Height(), BorderSize(), FVisibleButtons, Align() != alNone);
  if (layout.Width != Width()) SetBounds(Left(), Top(), layout.Width, Height());
  for (size_t i = 0; i < FButtons.size(); ++i) {
    const TRect& r = layout.Buttons[i];
    FButtons[i]->SetBounds(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top);
  }
}

void TsDBNavigator::SetBounds(int left, int top, int width, int height) {
  const NavigatorModel::TPoint min = NavigatorModel::MinSize(FVisibleButtons, BorderSize());
  TsPanel::SetBounds(left, top, std::max(width, min.X), std::max(height, min.Y));
}

void TsDBNavigator::Resize() {
  LayOut();
  SkinData().RequestRepaint();
  TsPanel::Resize();
}

void TsDBNavigator::UpdateEnabling() {
  if (!FButtons[0]) return;
  NavigatorModel::TDataState state;
  TClientDataSet* table = FLink.DataSet();
  state.Active = FLink.Active() && Enabled() && table;
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

void TsDBNavigator::BtnClick(TNavigateBtn index) {
  // Handlers and the question may free the navigator.
  const std::shared_ptr<bool> alive = Alive();
  TClientDataSet* table = FLink.DataSet();
  if (table && FLink.Active()) {
    if (FBeforeAction) FBeforeAction(this, index);
    if (!*alive) return;
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
        // Only a clear yes deletes: closing the question is no answer.
        const bool yes = !FConfirmDelete || NavigatorDeleteConfirmation()(this);
        if (!*alive) return;
        table = FLink.DataSet();
        if (yes && table && FLink.Active() && !table->IsEmpty()) table->Delete();
        break;
      }
      case nbEdit: table->Edit(); break;
      case nbPost: table->Post(); break;
      case nbCancel: table->Cancel(); break;
      case nbRefresh: table->Refresh(); break;
    }
    if (!*alive) return;
  }
  if (FOnNavClick) FOnNavClick(this, index);
}

void TsDBNavigator::KeyDown(WORD& key, TShiftState shift) {
  TsPanel::KeyDown(key, shift);
  switch (key) {
    case VK_SPACE: {
      TsNavButton* button = FButtons[size_t(FFocusedButton)];
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

void TsDBNavigator::Loaded() {
  TsPanel::Loaded();
  UpdateEnabling();
}

void TsDBNavigator::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_GETDLGCODE:
      message.Result = DLGC_WANTARROWS;
      return;
    case CM_ENABLEDCHANGED:
      TsPanel::Dispatch(message);
      if (!IsLoading()) UpdateEnabling();
      return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      TsPanel::Dispatch(message);
      RepaintButton(FFocusedButton);
      return;
    default:
      break;
  }
  TsPanel::Dispatch(message);
}
