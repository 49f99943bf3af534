#include "skin/controls/TsSpinEdit.h"

#include <algorithm>
#include <string>

#include "framework/win/GdiScopes.h"
#include "framework/win/TCanvas.h"
#include "framework/win/TTimer.h"
#include "skin/engine/SkinCommands.h"
#include "skin/engine/SkinMessage.h"
#include "skin/engine/core/SkinTables.h"

namespace {

// The skin's key-fill and background colours as the colour of the edit below for one painting of
// a spin button's arrow, back to what they were on every way out.
class TWindowColoredPaint : public TsPaintColorsScope {
public:
  explicit TWindowColoredPaint(TColor color)
      : TsPaintColorsScope(ActiveSkin(), static_cast<TColor>(ColorToRGB(color)),
                           static_cast<TColor>(ColorToRGB(color))) {}
};

std::int64_t TickCount() { return static_cast<std::int64_t>(GetTickCount64()); }

}  // namespace

// --- TsTimerSpeedButton ---

TsTimerSpeedButton::TsTimerSpeedButton(TComponent* owner) : TsSpeedButton(owner), FClock(&TickCount) {}

TsTimerSpeedButton::~TsTimerSpeedButton() {
  if (FTimer) FTimer->Free();
}

void TsTimerSpeedButton::SetFocusRectShown(bool value) {
  if (value == FFocusRect) return;
  FFocusRect = value;
  Invalidate();
}

void TsTimerSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  // The press's handlers (focus moving to the edit, user code) may free the button.
  const std::shared_ptr<bool> alive = Alive();
  TsSpeedButton::MouseDown(button, shift, x, y);
  if (!*alive || button != mbLeft || !Enabled() || !FTimerAllowed) return;
  if (!FTimer) {
    FTimer = NewComponent<TTimer>(nullptr);
    FTimer->SetEnabled(false);
    FTimer->SetOnTimer(TNotifyEvent(this, &TsTimerSpeedButton::TimerExpired));
  }
  const std::int64_t now = FClock();
  FRepeat.Press(now);
  FTimer->SetInterval(unsigned(FRepeat.Delay(now)));
  FTimer->SetEnabled(true);
}

void TsTimerSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  // Stopped before the release's click, which may free the button.
  if (button == mbLeft) {
    FRepeat.Release();
    if (FTimer) FTimer->SetEnabled(false);
  }
  TsSpeedButton::MouseUp(button, shift, x, y);
}

void TsTimerSpeedButton::TimerExpired(TObject*) {
  // A press whose capture went elsewhere without a release (a dialog, a menu) has ended.
  if (GetCaptureControl() != this) {
    FRepeat.Release();
    FTimer->SetEnabled(false);
    return;
  }
  const std::int64_t now = FClock();
  const bool due = FRepeat.Tick(now);
  FTimer->SetInterval(unsigned(FRepeat.Delay(now)));
  if (due) Click();
}

void TsTimerSpeedButton::DrawFocus(HDC dc) {
  if (!FFocusRect) return;
  RECT r{3, 3, Width() - 3, Height() - 3};
  if (State() == bsDown) OffsetRect(&r, 1, 1);
  SetTextColor(dc, RGB(0, 0, 0));
  SetBkColor(dc, RGB(255, 255, 255));
  DrawFocusRect(dc, &r);
}

void TsTimerSpeedButton::Paint() {
  if (IsLoading() || IsDestroying()) return;
  TsSpeedButton::Paint();
  DrawFocus(Canvas()->Handle());
}

void TsTimerSpeedButton::PaintClient(HDC dc) {
  if (IsLoading() || IsDestroying()) return;
  {
    // What the edit shows below the arrows: its section's colour while skinned, else the window's.
    TColor below = clWindow;
    if (TWinControl* spin = Parent())
      if (auto* edit = dynamic_cast<TsSkinnedControl*>(spin->Parent()); edit && edit->IsSkinned())
        below = EditSkin::SectionColor(edit->SkinData(), false);
    const TWindowColoredPaint colors(below);
    TsSpeedButton::PaintClient(dc);
  }
  DrawFocus(dc);
}

// --- TsSpinButton ---

TsSpinButton::TsSpinButton(TComponent* owner) : TsSkinned(TsControlKind::MaskEdit, TsCacheBitmap::None, owner) {
  SetControlStyle(ControlStyle() & ~(csAcceptsControls | csSetCaption));
  FUpButton = MakeButton();
  FDownButton = MakeButton();
  FFocusedButton = FUpButton;
  SetBounds(0, 0, 18, 20);
}

TsTimerSpeedButton* TsSpinButton::MakeButton() {
  auto* b = NewComponent<TsTimerSpeedButton>(this);
  b->SkinData().SetSkinSection("SPEEDBUTTON_SMALL");
  b->SetFlat(false);
  b->SetTransparent(true);
  b->SetTimerAllowed(true);
  b->SetOnMouseDown(TMouseEvent(this, &TsSpinButton::ButtonMouseDown));
  b->SetOnClick(TNotifyEvent(this, &TsSpinButton::ButtonClick));
  b->SetParent(this);
  return b;
}

void TsSpinButton::AdjustSize(int& width, int& height) {
  if (!FUpButton || !FDownButton || IsLoading()) return;
  const SpinModel::TButtonLayout l = SpinModel::ButtonLayout(width, height);
  width = l.Width;
  FUpButton->SetBoundsRect(ToRECT(l.Up));
  FDownButton->SetBoundsRect(ToRECT(l.Down));
  RedrawArrows();
}

void TsSpinButton::SetBounds(int left, int top, int width, int height) {
  AdjustSize(width, height);
  TWinControl::SetBounds(left, top, width, height);
}

void TsSpinButton::Loaded() {
  TsSkinned::Loaded();
  int w = Width(), h = Height();
  AdjustSize(w, h);
  if (w != Width() || h != Height()) TWinControl::SetBounds(Left(), Top(), w, h);
}

void TsSpinButton::DrawArrow(TsTimerSpeedButton* button, SpinModel::TDirection direction) {
  const int w = std::max(button->Width(), 1), h = std::max(button->Height(), 1);
  TBitmap glyph;
  glyph.SetSize(w, h);
  TCanvas* canvas = glyph.Canvas();
  canvas->Brush()->SetStyle(TBrushStyle::Solid);
  canvas->Brush()->SetColor(clWhite);
  canvas->FillRect(RECT{0, 0, w, h});
  // Black, or the skinned button's text colour, which reads on its face.
  TColor ink = clBlack;
  const int section = button->SkinData().SkinIndex();
  if (button->IsSkinned() && SectionIndexValid(section))
    ink = ActiveSkin().SkinSectionData[std::size_t(section)].FontColor[0];
  if (ColorToRGB(ink) == ColorToRGB(clWhite)) ink = TColor(RGB(254, 254, 254));  // white is the see-through colour
  canvas->Brush()->SetColor(ink);
  canvas->Pen()->SetColor(ink);
  const auto arrow = SpinModel::Arrow(direction, TRect{0, 0, w, h});
  POINT points[3];
  for (int i = 0; i < 3; ++i) points[i] = POINT{arrow[std::size_t(i)].X, arrow[std::size_t(i)].Y};
  canvas->Polygon(points, 3);
  button->SetGlyph(&glyph);
  button->SetNumGlyphs(1);  // a glyph twice as wide as high would count as two frames
  button->Invalidate();
}

void TsSpinButton::RedrawArrows() {
  if (FUpButton && FUpGlyphDrawn) DrawArrow(FUpButton, SpinModel::TDirection::Up);
  if (FDownButton && FDownGlyphDrawn) DrawArrow(FDownButton, SpinModel::TDirection::Down);
}

void TsSpinButton::SetUpGlyph(const TBitmap* glyph) {
  FUpGlyphDrawn = glyph == nullptr;
  if (glyph) FUpButton->SetGlyph(glyph);
  RedrawArrows();
}

void TsSpinButton::SetDownGlyph(const TBitmap* glyph) {
  FDownGlyphDrawn = glyph == nullptr;
  if (glyph) FDownButton->SetGlyph(glyph);
  RedrawArrows();
}

void TsSpinButton::SetFocusControl(TWinControl* control) {
  if (control == FFocusControl) return;
  if (FFocusControl) FFocusControl->RemoveFreeNotification(this);
  FFocusControl = control;
  if (control) control->FreeNotification(this);
}

void TsSpinButton::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation != TOperation::Remove) return;
  if (component == FFocusControl) FFocusControl = nullptr;
  if (component == FUpButton) FUpButton = nullptr;
  if (component == FDownButton) FDownButton = nullptr;
  if (component == FFocusedButton) FFocusedButton = nullptr;
}

void TsSpinButton::ButtonMouseDown(TObject* sender, TMouseButton button, TShiftState, int, int) {
  if (button != mbLeft) return;
  auto* pressed = static_cast<TsTimerSpeedButton*>(sender);
  if (pressed != FFocusedButton && CanFocus()) {
    if (FFocusedButton) FFocusedButton->SetFocusRectShown(false);
    FFocusedButton = pressed;
    if (Focused()) FFocusedButton->SetFocusRectShown(true);
  }
  if (FFocusControl && FFocusControl->TabStop() && FFocusControl->CanFocus() && !FFocusControl->Focused())
    FFocusControl->SetFocus();
  else if (!FFocusControl && TabStop() && CanFocus() && !Focused())
    SetFocus();
}

void TsSpinButton::ButtonClick(TObject* sender) {
  if (sender == FUpButton) {
    if (FOnUpClick) FOnUpClick(this);
  } else if (FOnDownClick) {
    FOnDownClick(this);
  }
}

TsCacheInfo TsSpinButton::SkinCache() {
  auto* edit = dynamic_cast<TsSkinnedControl*>(Parent());
  if (!edit || !edit->IsSkinned() || !edit->SkinData().CacheBitmap() || !Parent()->HandleAllocated()) return {};
  const POINT origin = EditSkin::ClientOrigin(Parent()->Handle());
  return TsCacheInfo{edit->SkinData().CacheBitmap(), Left() + int(origin.x), Top() + int(origin.y), true};
}

void TsSpinButton::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_GETDLGCODE:
      message.Result = DLGC_WANTARROWS;
      return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      TWinControl::Dispatch(message);
      if (FFocusedButton) FFocusedButton->SetFocusRectShown(message.Msg == WM_SETFOCUS);
      return;
    case WM_SIZE: {
      TWinControl::Dispatch(message);
      int w = Width(), h = Height();
      AdjustSize(w, h);
      if (w != Width() || h != Height()) TWinControl::SetBounds(Left(), Top(), w, h);
      return;
    }
    default:
      break;
  }
  TWinControl::Dispatch(message);
}

// --- TsBaseSpinEdit ---

TsBaseSpinEdit::TsBaseSpinEdit(TComponent* owner) : TsEdit(owner) {
  SetControlStyle((ControlStyle() & ~csSetCaption) | csAcceptsControls);
  FButton = NewComponent<TsSpinButton>(this);
  FButton->SetVisible(true);
  FButton->SetFocusControl(this);
  FButton->SetOnUpClick(TNotifyEvent(this, &TsBaseSpinEdit::UpClick));
  FButton->SetOnDownClick(TNotifyEvent(this, &TsBaseSpinEdit::DownClick));
  FButton->SetParent(this);
  SetText("0");
}

void TsBaseSpinEdit::CreateParams(TCreateParams& params) {
  TsEdit::CreateParams(params);
  params.Style = (params.Style & ~WS_BORDER) | WS_CLIPCHILDREN;
}

void TsBaseSpinEdit::CreateWnd() {
  TsEdit::CreateWnd();
  PlaceButton();
}

// The text ends 2 pixels before the spin button. A single-line edit takes no text rectangle, only
// margins.
void TsBaseSpinEdit::SetEditRect() {
  if (!HandleAllocated() || !FButton) return;
  SendMessageA(Handle(), EM_SETMARGINS, EC_RIGHTMARGIN, MAKELPARAM(0, FButton->Width() + 2));
}

void TsBaseSpinEdit::PlaceButton() {
  if (!FButton || !HandleAllocated()) return;
  const int minHeight = [&] {
    const TScreenDC dc;
    TEXTMETRICA system{}, own{};
    GetTextMetricsA(dc.Handle(), &system);
    const TSelectObject font(dc.Handle(), Font()->Handle());
    GetTextMetricsA(dc.Handle(), &own);
    return SpinModel::MinEditHeight(own.tmHeight, system.tmHeight, GetSystemMetrics(SM_CYBORDER));
  }();
  // The window's own size: within WM_SIZE the control's bounds are not yet updated.
  RECT window{};
  GetWindowRect(Handle(), &window);
  const int width = window.right - window.left, height = window.bottom - window.top;
  if (height < minHeight) {
    SetHeight(minHeight);
    return;
  }
  FButton->SetBounds(width - FButton->Width() - 4, 0, FButton->Width(), height - 4);
  SetEditRect();
}

void TsBaseSpinEdit::Invalidate() {
  TsEdit::Invalidate();
  if (FButton && !IsLoading() && !IsDestroying()) FButton->Invalidate();
}

void TsBaseSpinEdit::ForEachButton(const std::function<void(TsTimerSpeedButton*)>& f) {
  if (!FButton) return;
  if (FButton->UpButton()) f(FButton->UpButton());
  if (FButton->DownButton()) f(FButton->DownButton());
}

void TsBaseSpinEdit::WndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_PASTE:
    case WM_CUT:
      if (!FEditorEnabled || ReadOnly()) return;
      break;
    case WM_PAINT:
      // A fade of a button ends when the edit paints.
      ForEachButton([](TsTimerSpeedButton* b) { SendSkinCommandTo(b, SkinCommand::StopFading); });
      break;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
      ForEachButton([](TsTimerSpeedButton* b) {
        b->SkinData().SetMouseOver(false);
        SendSkinCommandTo(b, SkinCommand::StopFading);
        b->SkinData().RequestRepaint();
      });
      break;
    default:
      break;
  }
  const std::shared_ptr<bool> alive = Alive();
  TsEdit::WndProc(message);
  if (!*alive) return;
  // Once a size change has ended the control holds the window's bounds (within WM_SIZE it does
  // not yet): the button is placed, and too low a height raised, then. A move alone leaves both.
  if (message.Msg == WM_WINDOWPOSCHANGED && !(reinterpret_cast<const WINDOWPOS*>(message.LParam)->flags & SWP_NOSIZE))
    PlaceButton();
  // The arrows follow the edit's enabled state.
  if (message.Msg == CM_ENABLEDCHANGED && FButton) {
    FButton->SetEnabled(Enabled());
    ForEachButton([this](TsTimerSpeedButton* b) { b->SetEnabled(Enabled()); });
  }
  // A new font resets the native edit's text rectangle.
  if (message.Msg == WM_SETFONT) SetEditRect();
}

void TsBaseSpinEdit::StandingCommand(::SkinCommand command) {
  TsEdit::StandingCommand(command);
  // A skin came or went: the drawn arrows take its text colour.
  if (FButton && command != ::SkinCommand::Repaint) FButton->RedrawArrows();
}

void TsBaseSpinEdit::CacheShown(bool rebuilt) {
  TsEdit::CacheShown(rebuilt);
  // The buttons show the edit's image through them: a new one is theirs too.
  if (rebuilt) ForEachButton([](TsTimerSpeedButton* b) { b->SkinData().SetRepaintNeeded(true); });
}

void TsBaseSpinEdit::KeyDown(WORD& key, TShiftState shift) {
  if (shift & ssCtrl) {
    const std::shared_ptr<bool> alive = Alive();
    if (key == VK_UP) UpClick(this);
    if (key == VK_DOWN) DownClick(this);
    if (!*alive) return;
  }
  TsEdit::KeyDown(key, shift);
}

void TsBaseSpinEdit::KeyPress(char& key) {
  if (!IsValidChar(key)) {
    key = 0;
    MessageBeep(0);
  }
  if (key != 0) TsEdit::KeyPress(key);
}

bool TsBaseSpinEdit::IsValidChar(char key) {
  return SpinModel::KeyAccepted(key, SpinModel::TKeys::Signed, FEditorEnabled, '.');
}

// --- TsSpinEdit ---

TsSpinEdit::TsSpinEdit(TComponent* owner) : TsBaseSpinEdit(owner) {}

bool TsSpinEdit::IsValidChar(char key) {
  return SpinModel::KeyAccepted(key, SpinModel::TKeys::Digits, EditorEnabled(), '.');
}

int TsSpinEdit::Value() { return SpinModel::ValueOfText(Text(), FMinValue); }

void TsSpinEdit::SetValue(int value) { SetText(std::to_string(SpinModel::Clamp(value, FMinValue, FMaxValue))); }

void TsSpinEdit::StepBy(SpinModel::TDirection direction) {
  if (ReadOnly()) {
    MessageBeep(0);
    return;
  }
  SetValue(SpinModel::Step(Value(), FIncrement, direction, FMinValue, FMaxValue));
}

void TsSpinEdit::UpClick(TObject*) { StepBy(SpinModel::TDirection::Up); }

void TsSpinEdit::DownClick(TObject*) { StepBy(SpinModel::TDirection::Down); }

void TsSpinEdit::DoExit() {
  TsBaseSpinEdit::DoExit();
  const int value = Value();
  if (SpinModel::Clamp(value, FMinValue, FMaxValue) != value) SetValue(value);
}
