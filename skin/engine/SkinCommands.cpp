#include "skin/engine/SkinCommands.h"

#include "framework/win/TWinControl.h"

namespace {

// The answers of GetCache and GetBgColor; they hold the last answer only.
TsCacheInfo CacheReply;
TColor BackgroundColorReply = SkinKeyColor;

void SetUpdatingTree(TControl* control, std::uint32_t parameter) {
  SendSkinCommandTo(control, SkinCommand::SetUpdating, parameter);
  if (auto* win = dynamic_cast<TWinControl*>(control))
    for (int i = 0; i < win->ControlCount(); ++i) SetUpdatingTree(win->Controls(i), parameter);
}

}  // namespace

LRESULT SendSkinCommand(HWND handle, SkinCommand command) {
  return SendMessageA(handle, RE_ROVADUZI, MakeSkinWParam(command), 0);
}

LRESULT SendSkinCommandTo(TControl* control, SkinCommand command, std::uint32_t parameter) {
  if (!control) return 0;
  const WPARAM w = MakeSkinWParam(command, parameter);
  if (auto* win = dynamic_cast<TWinControl*>(control)) return SendMessageA(win->Handle(), RE_ROVADUZI, w, 0);
  return control->Perform(RE_ROVADUZI, w, 0);
}

bool AskControl(TControl* control, SkinCommand command) {
  if (!control) return false;
  TMessage m = MakeSkinMessage(command);
  if (control->WindowProc()) control->WindowProc()(m);
  return m.LParam == 1;
}

bool IsSkinnedControl(TControl* control) {
  return AskControl(control, SkinCommand::IsSkinned);
}

TsCacheInfo AskCache(TWinControl* control) {
  CacheReply.Valid = false;
  if (!control) return {};
  SendSkinCommand(control->Handle(), SkinCommand::GetCache);
  // Only a valid answer names a bitmap: what an earlier answer left in the other fields is not one.
  return CacheReply.Valid ? CacheReply : TsCacheInfo{};
}

TColor AskBackgroundColor(TWinControl* control) {
  BackgroundColorReply = SkinKeyColor;
  if (control) SendSkinCommand(control->Handle(), SkinCommand::GetBgColor);
  return BackgroundColorReply;
}

bool AskParentBackgroundChanged(TControl* control) {
  if (!control || !control->Parent()) return false;
  TWinControl* parent = control->Parent();
  const WPARAM w = MakeSkinWParam(SkinCommand::GetBgChanged);
  if (IsWindowed(control)) return SendMessageA(parent->Handle(), RE_ROVADUZI, w, 0) == 1;
  return parent->Perform(RE_ROVADUZI, w, 0) == 1;
}

bool AskChildrenDirty(TWinControl* control) {
  return AskControl(control, SkinCommand::GetChildrenDirty);
}

bool AskHasPaintedBackground(TWinControl* control) {
  return AskControl(control, SkinCommand::HasPaintedBackground);
}

void AnswerCache(const TsCacheInfo& cache) {
  CacheReply = cache;
}

void AnswerBackgroundColor(TColor color) {
  BackgroundColorReply = color;
}

void SetActiveChildOf(TWinControl* parent, TControl* child) {
  if (!parent) return;
  parent->Perform(RE_ROVADUZI, MakeSkinWParam(SkinCommand::SetActiveChild), reinterpret_cast<LPARAM>(child));
}

void NotifyRepainted(TControl* control) {
  if (control) control->Perform(RE_ROVADUZI, MakeSkinWParam(SkinCommand::Repainted), 0);
}

void RefreshChildren(TWinControl* parent) {
  if (!parent) return;
  for (int i = 0; i < parent->ControlCount(); ++i) {
    TControl* child = parent->Controls(i);
    if (IsWindowed(child)) child->Perform(RE_ROVADUZI, MakeSkinWParam(SkinCommand::Repaint), 0);
  }
}

void SetUpdatingTreeOn(TControl* control) {
  SetUpdatingTree(control, 1);
}

void SetUpdatingTreeOff(TControl* control) {
  SetUpdatingTree(control, 0);
}
