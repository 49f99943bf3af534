#include "skin/controls/TsDBNavigator.h"

#include <windows.h>

#include <algorithm>

#include "framework/base/TClientDataSet.h"
#include "framework/win/TApplication.h"
#include "framework/win/TBitmap.h"
#include "framework/win/TCanvas.h"
#include "framework/win/TDataSource.h"
#include "framework/win/TImageList.h"
#include "skin/engine/SkinCommands.h"

namespace {

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
  if (*alive && button == mbLeft && Repeats() && Enabled()) FNavigator->StartRepeat(this);
}

void TsNavButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  FNavigator->StopRepeat();
  TsSpeedButton::MouseUp(button, shift, x, y);
}

void TsNavButton::RepeatTick() { FNavigator->RepeatTick(); }

// TsDBNavigator

TsDBNavigator::TsDBNavigator(TComponent* owner)
    : TsSkinned(TsControlKind::ToolBar, TsCacheBitmap::Own, owner, TNoButtons{}) {
  SetControlStyle(ControlStyle() | csReplicatable);
  SkinData().SetSkinSection("TOOLBAR");
  SetTabStop(true);
  MakeButtons([this](TNavigateBtn index) -> TSpeedButton* { return NewComponent<TsNavButton>(this, index); });
  UpdateGlyphs();
}

TsDBNavigator::~TsDBNavigator() { MarkDead(); }

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
  TsSkinned::Notification(component, operation);
  if (operation == TOperation::Remove && component == FImages) {
    FImages = nullptr;
    UpdateGlyphs();
  }
}

void TsDBNavigator::UpdateGlyphs() {
  for (size_t i = 0; i < 10; ++i) {
    TsNavButton* button = Buttons(TNavigateBtn(i));
    if (!button) return;
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

void TsDBNavigator::FocusLookChanged(TNavigateBtn index) {
  TsNavButton* button = Buttons(index);
  if (!button) return;
  button->SkinData().SetRepaintNeeded(true);
  button->Invalidate();
}

// The buttons keep a pixel free at the bottom; a navigator that is not aligned shrinks to whole
// buttons.
NavigatorModel::TLayout TsDBNavigator::ButtonLayout() const {
  return NavigatorModel::Layout(Width(), Height(), 0, VisibleButtons(), Align() != alNone);
}

void TsDBNavigator::SetBounds(int left, int top, int width, int height) {
  const NavigatorModel::TPoint min = NavigatorModel::MinSize(VisibleButtons(), 0);
  TsSkinned::SetBounds(left, top, std::max(width, min.X), std::max(height, min.Y));
}

void TsDBNavigator::Resize() {
  Layout();
  SkinData().RequestRepaint();
  TCustomControl::Resize();
}

bool TsDBNavigator::ConfirmDeletion() {
  // Only a clear yes deletes: closing the question is no answer.
  return NavigatorDeleteConfirmation()(this);
}

void TsDBNavigator::RefreshData(TClientDataSet* table) { table->Refresh(); }

bool TsDBNavigator::SkinnedMessage(TMessage& message) {
  if (message.Msg == CM_VISIBLECHANGED) {
    SkinData().SetRepaintNeeded(true);
    SkinData().SetBackgroundDirty(false);
    InheritedWndProc(message);
    return true;
  }
  return TsSkinned::SkinnedMessage(message);
}

void TsDBNavigator::CacheShown(bool rebuilt) {
  // The buttons show the navigator through them: they repaint over its new image.
  if (rebuilt) RefreshChildren(this);
}
