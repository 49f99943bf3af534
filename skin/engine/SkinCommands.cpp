#include "skin/engine/SkinCommands.h"

#include <unordered_map>

#include "framework/win/TApplication.h"
#include "framework/win/TCustomForm.h"
#include "framework/win/TWinControl.h"

TsCacheInfo SkinReplyRecord;
TColor SkinBackgroundColor = SkinKeyColor;

namespace {

// Peers of controls that are no peers themselves.
std::unordered_map<TControl*, TsSkinPeer*>& Registered() {
  static std::unordered_map<TControl*, TsSkinPeer*> peers;
  return peers;
}

void SetUpdatingTree(TControl* control, bool updating) {
  if (TsSkinPeer* peer = SkinPeerOf(control)) peer->SetSkinUpdating(updating);
  if (auto* win = dynamic_cast<TWinControl*>(control))
    for (int i = 0; i < win->ControlCount(); ++i) SetUpdatingTree(win->Controls(i), updating);
}

// The walk of a broadcast; tell(peer) gives each peer the command.
template <typename Tell>
void WalkChildren(TWinControl* parent, const Tell& tell) {
  if (!parent) return;
  // The count is read again for every child: a handler may add or remove controls.
  for (int i = 0; i < parent->ControlCount(); ++i) {
    TControl* child = parent->Controls(i);
    // A child being destroyed is passed over; the walk goes on with its siblings.
    if (child->IsDestroying()) continue;
    if (TsSkinPeer* peer = SkinPeerOf(child))
      tell(*peer);
    else if (IsWindowed(child))
      WalkChildren(static_cast<TWinControl*>(child), tell);
  }
}

template <typename Tell>
void WalkApplication(SkinCommand command, LPARAM manager, const Tell& tell) {
  if (!Application) return;
  const WPARAM w = MakeSkinWParam(command);
  for (int i = 0; i < Application->ComponentCount(); ++i) {
    auto* win = dynamic_cast<TWinControl*>(Application->Components(i));
    if (!win || win->IsDestroying()) continue;
    if (TsSkinPeer* peer = SkinPeerOf(win))
      tell(*peer);
    else
      SendMessageA(win->Handle(), RE_ROVADUZI, w, manager);
    WalkChildren(win, tell);
    // The MDI client is a window of the platform's class, reached by the message only.
    auto* form = dynamic_cast<TCustomForm*>(win);
    if (form && form->FormStyle() == TFormStyle::fsMDIForm && form->ClientHandle())
      SendMessageA(form->ClientHandle(), RE_ROVADUZI, w, manager);
  }
}

}  // namespace

TsSkinPeer* SkinPeerOf(TControl* control) {
  if (!control) return nullptr;
  if (auto* peer = dynamic_cast<TsSkinPeer*>(control)) return peer;
  const auto& peers = Registered();
  const auto it = peers.find(control);
  return it == peers.end() ? nullptr : it->second;
}

void RegisterSkinPeer(TControl* control, TsSkinPeer* peer) {
  if (control && peer) Registered()[control] = peer;
}

void UnregisterSkinPeer(TControl* control, TsSkinPeer* peer) {
  auto& peers = Registered();
  const auto it = peers.find(control);
  if (it != peers.end() && it->second == peer) peers.erase(it);
}

bool IsSkinnedControl(TControl* control) {
  return SkinPeerOf(control) != nullptr;
}

TsCacheInfo AskCache(TControl* control) {
  TsSkinPeer* peer = SkinPeerOf(control);
  if (!peer) return {};
  // Only a valid answer names a bitmap.
  const TsCacheInfo ci = peer->SkinCache();
  return ci.Valid ? ci : TsCacheInfo{};
}

TColor AskBackgroundColor(TControl* control) {
  TsSkinPeer* peer = SkinPeerOf(control);
  return peer ? peer->SkinBackgroundColor() : SkinKeyColor;
}

bool AskParentBackgroundChanged(TControl* control) {
  if (!control) return false;
  TsSkinPeer* peer = SkinPeerOf(control->Parent());
  return peer && peer->SkinBackgroundChanged();
}

bool AskChildrenDirty(TControl* control) {
  TsSkinPeer* peer = SkinPeerOf(control);
  return peer && peer->SkinChildrenDirty();
}

bool AskHasPaintedBackground(TControl* control) {
  TsSkinPeer* peer = SkinPeerOf(control);
  return peer && peer->SkinHasPaintedBackground();
}

bool AskControl(TControl* control, SkinCommand command) {
  TsSkinPeer* peer = SkinPeerOf(control);
  if (!peer) return false;
  switch (command) {
    case SkinCommand::IsSkinned:
      return true;
    case SkinCommand::GetBgChanged:
      return peer->SkinBackgroundChanged();
    case SkinCommand::GetChildrenDirty:
      return peer->SkinChildrenDirty();
    case SkinCommand::HasPaintedBackground:
      return peer->SkinHasPaintedBackground();
    default:
      return false;
  }
}

TsFormFrameLink* AskProvider(TControl* form) {
  if (TsSkinPeer* peer = SkinPeerOf(form)) return peer->SkinProvider();
  auto* win = dynamic_cast<TWinControl*>(form);
  if (!win || !win->HandleAllocated()) return nullptr;
  return reinterpret_cast<TsFormFrameLink*>(SendSkinCommand(win->Handle(), SkinCommand::GetProvider));
}

void TsRefresh::Invalidate(TControl* control) const {
  if (!InvalidatesWhole(control)) control->Invalidate();
}

void SendSkinCommandTo(TControl* control, SkinCommand command) {
  if (TsSkinPeer* peer = SkinPeerOf(control)) peer->SkinCommand(command);
}

void SetActiveChildOf(TWinControl* parent, TControl* child) {
  if (TsSkinPeer* peer = SkinPeerOf(parent)) peer->SetSkinActiveChild(child);
}

void RedrawTransparentOf(TControl* control) {
  if (TsSkinPeer* peer = SkinPeerOf(control)) peer->RedrawSkinTransparent(false);
}

void NotifyRepainted(TControl* control) {
  SendSkinCommandTo(control, SkinCommand::Repainted);
}

void RefreshChildren(TWinControl* parent) {
  if (!parent) return;
  for (int i = 0; i < parent->ControlCount(); ++i) {
    TControl* child = parent->Controls(i);
    if (IsWindowed(child)) SendSkinCommandTo(child, SkinCommand::Repaint);
  }
}

void SetUpdatingTreeOn(TControl* control) {
  SetUpdatingTree(control, true);
}

void SetUpdatingTreeOff(TControl* control) {
  SetUpdatingTree(control, false);
}

void BroadcastToChildren(TWinControl* parent, SkinCommand command) {
  WalkChildren(parent, [command](TsSkinPeer& peer) { peer.SkinCommand(command); });
}

void BroadcastToChildren(TWinControl* parent, const TsRefresh& refresh) {
  WalkChildren(parent, [&refresh](TsSkinPeer& peer) { peer.SkinRefresh(refresh); });
}

void BroadcastToApplication(SkinCommand command, LPARAM manager) {
  WalkApplication(command, manager, [command](TsSkinPeer& peer) { peer.SkinCommand(command); });
}

void BroadcastToApplication(const TsRefresh& refresh, LPARAM manager) {
  WalkApplication(SkinCommand::Refresh, manager, [&refresh](TsSkinPeer& peer) { peer.SkinRefresh(refresh); });
}

LRESULT SendSkinCommand(HWND handle, SkinCommand command) {
  return SendMessageA(handle, RE_ROVADUZI, MakeSkinWParam(command), 0);
}

bool DispatchSkinMessage(TsSkinPeer& peer, TMessage& message) {
  if (message.Msg != RE_ROVADUZI) return false;
  const SkinCommand command = SkinCommandOf(message.WParam);
  switch (command) {
    case SkinCommand::IsSkinned:
      // LParam for a caller that hands the record over, Result for one that sends the message.
      message.LParam = 1;
      message.Result = 1;
      break;
    case SkinCommand::GetProvider:
      message.Result = reinterpret_cast<LRESULT>(peer.SkinProvider());
      break;
    case SkinCommand::GetCache:
      SkinReplyRecord = peer.SkinCache();
      break;
    case SkinCommand::GetBgColor:
      SkinBackgroundColor = peer.SkinBackgroundColor();
      break;
    case SkinCommand::GetBgChanged:
      message.Result = peer.SkinBackgroundChanged() ? 1 : 0;
      break;
    case SkinCommand::GetChildrenDirty:
      message.LParam = peer.SkinChildrenDirty() ? 1 : 0;
      break;
    case SkinCommand::HasPaintedBackground:
      message.LParam = peer.SkinHasPaintedBackground() ? 1 : 0;
      break;
    case SkinCommand::SetBgChanged:
      peer.SetSkinBgChanged(SkinParameterOf(message.WParam));
      break;
    case SkinCommand::SetUpdating:
      peer.SetSkinUpdating(SkinParameterOf(message.WParam));
      break;
    case SkinCommand::SetRepaintNeeded:
      peer.SetSkinRepaintNeeded(SkinParameterOf(message.WParam));
      break;
    case SkinCommand::SetRepaintIfTransparent:
      peer.SetSkinRepaintIfTransparent(SkinParameterOf(message.WParam));
      message.Result = 0;
      break;
    case SkinCommand::RedrawTransparent:
      peer.RedrawSkinTransparent(SkinParameterOf(message.WParam));
      break;
    case SkinCommand::SetActiveChild:
      peer.SetSkinActiveChild(reinterpret_cast<TControl*>(message.LParam));
      break;
    default:
      peer.SkinCommand(command);
      break;
  }
  return true;
}
