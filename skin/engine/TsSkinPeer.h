#pragma once

#include "skin/engine/SkinMessage.h"

class TControl;
class TsFormFrameLink;

// One side of the skin protocol between our own controls: a skinned control, a form's skin provider,
// or an adapter that skins a control it does not own. A question returns its answer; every other
// command goes to SkinCommand. A control without a peer is not skinned, and every question about it
// reads as no (SkinPeerOf in SkinCommands.h finds the peer of a control).
class TsSkinPeer {
public:
  virtual ~TsSkinPeer() = default;

  // The cache that children paint over, and where the asking child's origin lies in it; Valid false
  // when there is none.
  virtual TsCacheInfo SkinCache() { return {}; }
  // The colour shown as the background; SkinKeyColor when there is none.
  virtual TColor SkinBackgroundColor() { return SkinKeyColor; }
  // What lies below the children changed: they rebuild their backgrounds.
  virtual bool SkinBackgroundChanged() { return false; }
  // The children must repaint (the peer lies partly outside its own parent).
  virtual bool SkinChildrenDirty() { return false; }
  // A background of its own is painted, or its parent's is needed.
  virtual bool SkinHasPaintedBackground() { return false; }
  // The form's skin provider, for the peer of a form.
  virtual TsFormFrameLink* SkinProvider() { return nullptr; }
  // Every command that is no question. parameter: the one-bit parameter (SetBgChanged, SetUpdating,
  // SetRepaintIfTransparent, SetRepaintNeeded, RedrawTransparent); child: the control of
  // SetActiveChild.
  virtual void SkinCommand(::SkinCommand command, bool parameter, TControl* child) = 0;
};
