#pragma once

#include <windows.h>

#include <cstdint>

#include "skin/engine/SkinMessage.h"
#include "skin/engine/TsSkinPeer.h"

class TControl;
class TWinControl;
class TsFormFrameLink;

// The skin protocol. Between our own controls it is typed: the peer of a control (TsSkinPeer) is
// asked and told directly. The registered message is only how other windows reach a control; it is
// translated into the same calls here, and nowhere else.

// The peer of a control: the control itself when it is one, else the peer registered for it (a
// form's provider, a grid's adapter); nullptr for an unskinned control.
TsSkinPeer* SkinPeerOf(TControl* control);
// A component that skins a control from outside registers as its peer while it does; Unregister
// forgets it only while it is still the one registered.
void RegisterSkinPeer(TControl* control, TsSkinPeer* peer);
void UnregisterSkinPeer(TControl* control, TsSkinPeer* peer);

// --- Questions (no peer, no control: the answer is no, or none) ---

// The control is skinned: it has a peer.
bool IsSkinnedControl(TControl* control);
// The control's cache and where the asker's origin lies in it; Valid false when none.
TsCacheInfo AskCache(TControl* control);
// The colour the control shows as its background; SkinKeyColor when none.
TColor AskBackgroundColor(TControl* control);
// The background below the control's children changed; False without a parent.
bool AskParentBackgroundChanged(TControl* control);
bool AskChildrenDirty(TControl* control);
bool AskHasPaintedBackground(TControl* control);
// A question by its command number (IsSkinned, GetBgChanged, GetChildrenDirty,
// HasPaintedBackground); False for any other command.
bool AskControl(TControl* control, SkinCommand command);
// The skin provider of a form (a window that is no peer may still answer the message).
TsFormFrameLink* AskProvider(TControl* form);

// --- Commands ---

// A command that carries nothing to the control's peer.
void SendSkinCommandTo(TControl* control, SkinCommand command);
// SetActiveChild to the parent: child paints now (nullptr: no child any more).
void SetActiveChildOf(TWinControl* parent, TControl* child);
// RedrawTransparent to the control (its window is not invalidated).
void RedrawTransparentOf(TControl* control);
// Repainted to the control itself: its cache was repainted.
void NotifyRepainted(TControl* control);
// Repaint to every windowed child, in child order.
void RefreshChildren(TWinControl* parent);
// SetUpdating (on or off) to the control and, depth first, everything inside it.
void SetUpdatingTreeOn(TControl* control);
void SetUpdatingTreeOff(TControl* control);

// The walk of a broadcast: every child in order; a child without a peer that is windowed passes the
// command on to its own children, so unskinned containers let it through.
void BroadcastToChildren(TWinControl* parent, SkinCommand command);
// Refresh within the application's refresh, down the same walk.
void BroadcastToChildren(TWinControl* parent, const TsRefresh& refresh);
// Every windowed component of the application and everything inside it. manager: the sender of a
// skin change, handed to windows that only know the message.
void BroadcastToApplication(SkinCommand command, LPARAM manager = 0);
void BroadcastToApplication(const TsRefresh& refresh, LPARAM manager);

// --- The registered message, for windows that are no peer of ours ---

// Where the answers of GetCache and GetBgColor go for a sender of the message; they hold the last
// answer only.
extern TsCacheInfo SkinReplyRecord;
extern TColor SkinBackgroundColor;

// The command to a window through the registered message (parameter 0); its Result.
LRESULT SendSkinCommand(HWND handle, SkinCommand command);
// The registered message arriving at a peer's window procedure: translated into the peer's calls,
// with the answer in the record (and the reply globals). False for any other message.
bool DispatchSkinMessage(TsSkinPeer& peer, TMessage& message);
