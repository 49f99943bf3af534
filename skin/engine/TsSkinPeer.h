#pragma once

#include "skin/engine/SkinMessage.h"

class TControl;
class TsFormFrameLink;

// A refresh of the application going on, handed down its broadcast to each peer that hears it:
// while it lasts, a control told only invalidates itself, or nothing where the refresh invalidates
// its form whole once every control has heard (the forms shown when it began).
class TsRefresh {
public:
  // The refresh invalidates control's form whole, with everything on it, afterwards.
  virtual bool InvalidatesWhole(TControl* control) const = 0;
  // The program's other forms hid all of control's window when the refresh began: what it shows
  // can wait until it is painted.
  virtual bool LeavesUnseen(TControl* control) const = 0;
  // control invalidated, unless the refresh invalidates its form whole.
  void Invalidate(TControl* control) const;

  virtual ~TsRefresh() = default;
};

// One side of the skin protocol between our own controls: a skinned control, a form's skin provider,
// or an adapter that skins a control it does not own. A question returns its answer; a command is a
// call of its own, or SkinCommand for those that carry nothing. A control without a peer is not
// skinned, and every question about it reads as no (SkinPeerOf in SkinCommands.h finds the peer of
// a control).
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

  // A command that carries nothing (NewSkin, RemoveSkin, Refresh outside a refresh of the
  // application, Repaint, Repainted, StopFading, SectionChanged, ...).
  virtual void SkinCommand(::SkinCommand command) = 0;
  // Refresh within the application's refresh, which says what need not be painted now.
  virtual void SkinRefresh(const TsRefresh& /*refresh*/) { SkinCommand(::SkinCommand::Refresh); }
  // The commands that carry a value; by default they change nothing.
  // SetBgChanged: what lies below the peer changed, or no more.
  virtual void SetSkinBgChanged(bool /*changed*/) {}
  virtual void SetSkinUpdating(bool /*updating*/) {}
  virtual void SetSkinRepaintNeeded(bool /*needed*/) {}
  // A see-through peer repaints when repaint is true.
  virtual void SetSkinRepaintIfTransparent(bool /*repaint*/) {}
  // What shows through the peer changed; invalidate: its window is invalidated as well.
  virtual void RedrawSkinTransparent(bool /*invalidate*/) {}
  // The child that paints now (nullptr: none any more).
  virtual void SetSkinActiveChild(TControl* /*child*/) {}
};
