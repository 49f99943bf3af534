#include "skin/controls/TsComboEdit.h"

#include <algorithm>
#include <map>

#include "framework/base/AnsiStrings.h"
#include "framework/win/TCanvas.h"
#include "skin/controls/ComboEditGlyph.h"
#include "framework/win/TCustomForm.h"
#include "skin/engine/SkinCommands.h"
#include "skin/engine/SkinDebugLogWin.h"
#include "skin/engine/SkinSectionPainter.h"
#include "skin/engine/SkinTextPainter.h"
#include "skin/engine/core/TsSkinData.h"

namespace {

UINT AlignmentFlag(TAlignment a) {
  switch (a) {
    case taRightJustify: return DT_RIGHT;
    case taCenter: return DT_CENTER;
    default: return DT_LEFT;
  }
}

}  // namespace

TBitmap* BuiltInEditGlyph(const std::string& kind) {
  static const std::pair<const char*, const char*> kinds[] = {{"BTN_OPENFILE", "SF"},
                                                              {"BTN_OPENFOLDER", "SR"},
                                                              {"BTN_DATE", "SD"},
                                                              {"BTN_ELLIPSIS", "SE"},
                                                              {"BTN_CALC", "SC"}};
  // Loaded on first use and kept for the program's life.
  static std::map<std::string, std::unique_ptr<TBitmap>> loaded;
  for (const auto& [name, resource] : kinds) {
    if (!SameText(kind, name)) continue;
    std::unique_ptr<TBitmap>& glyph = loaded[resource];
    if (!glyph) {
      HINSTANCE module = GetModuleHandleA(nullptr);
      if (!FindResourceA(module, resource, MAKEINTRESOURCEA(2) /* RT_BITMAP */)) return nullptr;
      glyph = std::make_unique<TBitmap>();
      glyph->LoadFromResourceName(module, resource);
      glyph->SetPixelFormat(TPixelFormat::Bit24);
    }
    return glyph.get();
  }
  return nullptr;
}

// TsGlyphMode

void TsGlyphMode::Changed() { FOwner->GlyphChanged(); }

void TsGlyphMode::SetBlend(int value) {
  value = std::clamp(value, 0, 100);
  if (value == FBlend) return;
  FBlend = value;
  Changed();
}

void TsGlyphMode::SetGrayed(bool value) {
  if (value == FGrayed) return;
  FGrayed = value;
  Changed();
}

void TsGlyphMode::SetGlyph(const TBitmap* glyph) {
  if (glyph) FGlyph.Assign(glyph);
  else FGlyph.SetSize(0, 0);
  FUseDefaultGlyph = false;
  Changed();
}

void TsGlyphMode::SetUseDefaultGlyph(bool value) {
  if (value == FUseDefaultGlyph) return;
  FUseDefaultGlyph = value;
  Changed();
}

std::string TsGlyphMode::Hint() const { return FOwner->Button() ? FOwner->Button()->Hint() : FOwner->Hint(); }

void TsGlyphMode::SetHint(const std::string& hint) {
  if (FOwner->Button()) FOwner->Button()->SetHint(hint);
  else FOwner->SetHint(hint);
}

TBitmap* TsGlyphMode::ChosenGlyph() {
  if (!FOwner->WantsGlyph()) return nullptr;
  if (!FUseDefaultGlyph && FGlyph.Width() >= 1) return &FGlyph;
  return BuiltInEditGlyph(FOwner->DefaultGlyphKind());
}

int TsGlyphMode::GlyphWidth() {
  TBitmap* glyph = ChosenGlyph();
  return glyph ? glyph->Width() / 3 : 0;
}

int TsGlyphMode::GlyphHeight() {
  TBitmap* glyph = ChosenGlyph();
  return glyph ? glyph->Height() / 2 : 0;
}

// TsEditButton

TsEditButton::TsEditButton(TComponent* owner, TsCustomComboEdit* edit) : TsSpeedButton(owner), FEdit(edit) {
  SkinData().SetSkinSection("SPEEDBUTTON");
  SetCursor(crArrow);
  SetAlign(alRight);
  SetWidth(TsCustomComboEdit::ButtonWidth);
  TsButtonLook look = Look();
  look.ShowCaption = false;
  SetLook(look);
}

void TsEditButton::Click() {
  const std::shared_ptr<bool> alive = Alive();
  TsSpeedButton::Click();
  if (*alive) FEdit->DoButtonClick();
}

void TsEditButton::DrawGlyph(TBitmap* bmp, int frame, bool plain) {
  TsGlyphMode* mode = FEdit->GlyphMode();
  TComboGlyphPaint paint;
  paint.Glyph = mode->ChosenGlyph();
  paint.FrameWidth = mode->GlyphWidth();
  paint.FrameHeight = mode->GlyphHeight();
  paint.Frame = frame;
  paint.Shaded = !plain;
  paint.Grayed = mode->Grayed();
  paint.Blend = mode->Blend();
  PaintComboGlyph(bmp, paint);
}

void TsEditButton::PaintSkin() {
  TsSpeedButton::PaintSkin();
  const bool pressed = State() == bsDown;
  const bool over = SkinData().IsHot();
  DrawGlyph(SkinData().CacheBitmap(), ComboEditLayout::GlyphFrame(pressed, over), FEdit->EditHot() || over);
  if (!FEdit->Enabled()) {
    TsCacheInfo ci;
    QueryParentCache(&SkinData(), ci);
    ApplyDisabledKind(ActiveSkin(), SkinData().CacheBitmap(), DisabledKind(), this, POINT{Left(), Top()}, ci);
  }
}

void TsEditButton::Paint() {
  TsSpeedButton::Paint();
  if (Width() <= 0 || Height() <= 0) return;
  // The standard face first, then the hot frame (pressed while down) through its mask.
  TBitmap work;
  work.SetPixelFormat(TPixelFormat::Bit24);
  work.SetSize(Width(), Height());
  HDC dc = Canvas()->Handle();
  BitBlt(work.Canvas()->Handle(), 0, 0, Width(), Height(), dc, 0, 0, SRCCOPY);
  DrawGlyph(&work, State() == bsDown ? 2 : 1, true);
  BitBlt(dc, 0, 0, Width(), Height(), work.Canvas()->Handle(), 0, 0, SRCCOPY);
}

// TsCustomComboEdit

TsCustomComboEdit::TsCustomComboEdit(TComponent* owner) : TsMaskEdit(owner), FGlyphMode(this) {
  SkinData().SetControlKind(TsControlKind::ComboEdit);
  SetHeight(21);
  FButton = NewComponent<TsEditButton>(this, this);
  FButton->SetParent(this);
  UpdateButton();
}

TsCustomComboEdit::~TsCustomComboEdit() {
  MarkDead();
  SetPopup(nullptr);
}

void TsCustomComboEdit::SetReadOnly(bool value) {
  if (value == FReadOnly) return;
  FReadOnly = value;
  UpdateInnerReadOnly();
}

void TsCustomComboEdit::SetDirectInput(bool value) {
  if (value == FDirectInput) return;
  FDirectInput = value;
  UpdateInnerReadOnly();
}

void TsCustomComboEdit::UpdateInnerReadOnly() { TsMaskEdit::SetReadOnly(FReadOnly || !FDirectInput); }

void TsCustomComboEdit::SetAlignment(TAlignment value) {
  if (value == FAlignment) return;
  FAlignment = value;
  SkinData().RequestRepaint();
  if (HandleAllocated()) RecreateWnd();
}

void TsCustomComboEdit::SetShowButton(bool value) {
  if (value == FShowButton) return;
  FShowButton = value;
  UpdateButton();
}

void TsCustomComboEdit::SetDefaultGlyphKind(const std::string& kind) {
  if (kind == FDefaultGlyphKind) return;
  FDefaultGlyphKind = kind;
  GlyphChanged();
}

bool TsCustomComboEdit::PopupVisible() const { return FPopup && FPopup->Visible(); }

void TsCustomComboEdit::SetPopup(TWinControl* popup) {
  if (popup == FPopup) return;
  if (FPopup) FPopup->RemoveFreeNotification(this);
  FPopup = popup;
  if (popup) popup->FreeNotification(this);
}

void TsCustomComboEdit::Notification(TComponent* component, TOperation operation) {
  TsMaskEdit::Notification(component, operation);
  if (operation == TOperation::Remove && component == FPopup) FPopup = nullptr;
}

int TsCustomComboEdit::ButtonSpace() const { return FButton && FButton->Visible() ? FButton->Width() : 0; }

void TsCustomComboEdit::UpdateButton() {
  if (!FButton) return;
  const int glyphWidth = FGlyphMode.GlyphWidth();
  const bool shown = FShowButton && glyphWidth > 0;
  FButton->SetWidth(shown ? std::max(ButtonWidth, glyphWidth + 2) : 0);
  FButton->SetVisible(shown);
  SetEditRect();
}

void TsCustomComboEdit::GlyphChanged() {
  UpdateButton();
  if (!FButton) return;
  if (!SkinChanging) FButton->SkinData().SetRepaintNeeded(true);
  FButton->Invalidate();
}

void TsCustomComboEdit::SetEditRect() {
  if (!HandleAllocated()) return;
  SendMessageA(Handle(), EM_SETMARGINS, EC_RIGHTMARGIN, MAKELONG(0, ButtonSpace()));
}

void TsCustomComboEdit::CreateParams(TCreateParams& params) {
  TsMaskEdit::CreateParams(params);
  params.Style &= ~DWORD(ES_LEFT | ES_CENTER | ES_RIGHT);
  params.Style |= FAlignment == taRightJustify ? ES_RIGHT : FAlignment == taCenter ? ES_CENTER : ES_LEFT;
}

void TsCustomComboEdit::CreateWnd() {
  TsMaskEdit::CreateWnd();
  SetEditRect();
}

void TsCustomComboEdit::DoButtonClick() {
  if (IsReadOnly()) return;
  // The handler may free the edit.
  const std::shared_ptr<bool> alive = Alive();
  if (FOnButtonClick) FOnButtonClick(this);
  if (!*alive) return;
  if (PopupVisible()) {
    HidePopup();
    return;
  }
  if (CanFocus()) SetFocus();
  ShowPopup();
}

void TsCustomComboEdit::ShowPopup() {
  if (!FPopup || IsReadOnly() || PopupVisible() || !HandleAllocated()) return;
  RECT edit;
  GetWindowRect(Handle(), &edit);
  ComboEditLayout::TPopupPlace place;
  place.Edit = TsRect{edit.left, edit.top, edit.right, edit.bottom};
  place.PopupWidth = FPopupWidth;
  place.PopupHeight = FPopup->Height();
  place.Screen = TsRect{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  place.Align = FPopupAlign;
  const TsPoint at = ComboEditLayout::PopupPosition(place);
  FPopup->SetBounds(at.X, at.Y, FPopupWidth, FPopup->Height());
  if (auto* form = dynamic_cast<TCustomForm*>(FPopup)) form->Show();
  else FPopup->SetVisible(true);
  FPopup->Repaint();
}

void TsCustomComboEdit::HidePopup() {
  if (PopupVisible()) FPopup->SetVisible(false);
}

// The control is FPopup or lies on it.
static bool WithinPopup(TControl* control, TWinControl* popup) {
  for (TControl* c = control; c; c = c->Parent())
    if (c == popup) return true;
  return false;
}

void TsCustomComboEdit::WndProc(TMessage& message) {
  LogMessage(message);
  TsMaskEdit::WndProc(message);
}

void TsCustomComboEdit::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_PASTE:
    case WM_CUT:
      if (!FDirectInput || FReadOnly) return;
      break;
    case CM_CANCELMODE: {
      auto* sender = reinterpret_cast<TControl*>(message.LParam);
      if (sender != this && sender != FButton && !WithinPopup(sender, FPopup)) HidePopup();
      break;
    }
    case CM_FOCUSCHANGED: {
      auto* focused = reinterpret_cast<TControl*>(message.LParam);
      if (focused != this && !WithinPopup(focused, FPopup)) HidePopup();
      break;
    }
    default:
      break;
  }
  TsMaskEdit::Dispatch(message);
  // The button paints the edit's state (greyed while the edit is off).
  if (message.Msg == CM_ENABLEDCHANGED && FButton) {
    FButton->SkinData().SetRepaintNeeded(true);
    FButton->Invalidate();
  }
  // A new font resets the native margins.
  if (message.Msg == WM_SIZE || message.Msg == WM_SETFONT ||
      (message.Msg == CN_COMMAND && HIWORD(message.WParam) == EN_CHANGE))
    SetEditRect();
  // The native edit draws itself outside WM_PAINT after some messages, over the button's place;
  // the button comes back with the next paint. Skinned, the recipe repaints the whole control,
  // except while the focused edit paints its own client.
  if ((!IsSkinned() || NativeClient()) && FButton && FButton->Visible() && HandleAllocated() &&
      EditSkin::EditPaintsAfter(message, Handle()))
    FButton->Invalidate();
}

void TsCustomComboEdit::KeyDown(WORD& key, TShiftState shift) {
  TsMaskEdit::KeyDown(key, shift);
  if (key == 0 || ShortCut(key, shift) != FClickKey || FGlyphMode.GlyphWidth() <= 0) return;
  key = 0;
  DoButtonClick();
}

void TsCustomComboEdit::KeyPress(char& key) {
  TsMaskEdit::KeyPress(key);
  // Enter reached the form's default button on key-down; the native edit would only beep.
  if (key == '\r') key = 0;
}

void TsCustomComboEdit::Change() {
  if (PopupVisible()) return;
  TsMaskEdit::Change();
}

void TsCustomComboEdit::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (!SkinChanging) SkinData().SetRepaintNeeded(true);
  HidePopup();
  TsMaskEdit::MouseDown(button, shift, x, y);
}

TsCacheInfo TsCustomComboEdit::SkinCache() {
  if (!IsSkinned()) return {};
  // Also while the native edit paints the client: the cache holds the hot look then, in the colours
  // the native client takes.
  if (HandleAllocated() && SkinData().RepaintNeeded() && !SkinData().Updating()) BuildCache();
  TBitmap* cache = SkinData().CacheBitmap();
  if (!cache || !HandleAllocated()) return {};
  const POINT origin = EditSkin::ClientOrigin(Handle());
  return TsCacheInfo{cache, int(origin.x), int(origin.y), true};
}

void TsCustomComboEdit::PaintClient(HDC dc) {
  if (NativeClient()) return;
  TsMaskEdit::PaintClient(dc);
  // That copy left out the button's place shifted by the frame (the cache includes the frame):
  // the client again, in client coordinates, around the button.
  if (!SkinData().CacheBitmap() || SkinData().RepaintNeeded()) return;
  SetViewportOrgEx(dc, 0, 0, nullptr);
  const POINT origin = EditSkin::ClientOrigin(Handle());
  CopyCacheToDC(this, &SkinData(), origin, dc, ClientRect());
}

void TsCustomComboEdit::PaintText() {
  std::string text = DisplayedText();
  if (text.empty()) return;
  if (PasswordChar() != 0) text.assign(text.size(), PasswordChar());
  TCanvas* canvas = SkinData().CacheBitmap()->Canvas();
  canvas->SetFont(Font());
  canvas->Brush()->SetStyle(TBrushStyle::Clear);
  RECT r{3, 2, Width() - 3 - ButtonSpace(), Height() - 4};
  if (HandleAllocated()) {
    // Where the native edit puts its text, so the text stays in place when the focus comes.
    RECT format{};
    SendMessageA(Handle(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    const POINT origin = EditSkin::ClientOrigin(Handle());
    if (format.right > format.left) {
      r = format;
      OffsetRect(&r, origin.x, origin.y);
    }
  }
  const bool hot = SkinState() != TsSkinState::Normal;
  DrawSkinTextByData(ActiveSkin(), canvas, text, Enabled(), r,
                     DT_WORDBREAK | DT_SINGLELINE | DT_NOPREFIX | AlignmentFlag(FAlignment), &SkinData(),
                     hot);
}
