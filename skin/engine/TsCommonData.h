#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "framework/win/Messages.h"
#include "framework/win/TPersistent.h"
#include "skin/engine/SkinMessage.h"
#include "skin/engine/core/SkinKinds.h"

class TBitmap;
class TControl;
class TWinControl;

// Whether a skin object keeps a cache bitmap from the start (without one it makes it when it
// first paints).
enum class TsCacheBitmap { None, Own };

// The skin object of a skinned control or form: its section, the resolved indexes, the cache
// bitmap and the flags that decide when the cache is repainted. It answers the skin commands.
class TsCommonData : public TPersistent {
public:
  TsCommonData(TObject* owner, TsCacheBitmap cache);
  ~TsCommonData() override;

  // Called by each control once it is loaded: a default section for an empty one, else the indexes.
  void Loaded();
  void ResolveIndexes();

  const std::string& SkinSection() const { return FSkinSection; }
  void SetSkinSection(const std::string& section);
  bool CustomFont() const { return FCustomFont; }
  void SetCustomFont(bool value);
  bool CustomColor() const { return FCustomColor; }
  void SetCustomColor(bool value);
  TsControlKind ControlKind() const { return FControlKind; }
  void SetControlKind(TsControlKind kind) { FControlKind = kind; }

  // The section and its "BORDERSMASK" in the skin tables; -1 none.
  int SkinIndex() const { return FSkinIndex; }
  int BorderIndex() const { return FBorderIndex; }
  // The owner given to the constructor, and the same when it is a control (else nullptr).
  TObject* OwnerObject() const { return FOwnerObject; }
  TControl* OwnerControl() const { return FOwnerControl; }

  // The background must be rebuilt (NewSkin, RemoveSkin, SetBgChanged; cleared by Refresh).
  bool BackgroundDirty() const { return FBackgroundDirty; }
  void SetBackgroundDirty(bool value) {
    if (value) ++FRepaintRequests;
    FBackgroundDirty = value;
  }
  // The child that announced itself with SetActiveChild; not owned.
  TControl* ActiveChild() const { return FActiveChild; }
  void SetActiveChild(TControl* child) { FActiveChild = child; }
  // Painters skip their work, and the control counts as needing its parent's background.
  bool Updating() const { return FUpdating; }
  void SetUpdating(bool value) { FUpdating = value; }
  // The cache must be repainted before its next copy to the screen.
  bool RepaintNeeded() const { return FRepaintNeeded; }
  void SetRepaintNeeded(bool value) {
    if (value) ++FRepaintRequests;
    FRepaintNeeded = value;
  }
  // How many times a repaint of the cache, or a new background, was asked for so far.
  unsigned RepaintRequests() const { return FRepaintRequests; }
  // Set by the control's painter while it lies partly outside its parent: its children repaint.
  bool ChildrenDirty() const { return FChildrenDirty; }
  void SetChildrenDirty(bool value) { FChildrenDirty = value; }
  // Hot because the control has the focus, or because the mouse is over it.
  bool FocusHot() const { return FFocusHot; }
  void SetFocusHot(bool value) { FFocusHot = value; }
  bool MouseOver() const { return FMouseOver; }
  void SetMouseOver(bool value) { FMouseOver = value; }

  bool HasSkin() const;
  bool IsTransparent() const;
  bool IsHot() const;
  void RequestRepaint();
  bool BackgroundChanged() const;
  bool NeedsParentBackground() const;
  void PrepareCache();
  void CopyFromCache(HDC dc, int x, int y, int width, int height);
  TBitmap* CacheBitmap() const { return FCacheBitmap.get(); }
  // Puts picture in the cache's place and returns the cache.
  std::unique_ptr<TBitmap> ExchangeCache(std::unique_ptr<TBitmap> picture);

  // The skin commands that carry nothing (NewSkin, RemoveSkin, Refresh, SectionChanged); the others
  // change nothing here. Those that carry a value are the setters above and the two below.
  void Command(::SkinCommand command);
  // SetRepaintIfTransparent: a see-through control repaints when repaint is true.
  void RepaintIfTransparent(bool repaint);
  // RedrawTransparent: a control that shows its parent repaints, and so does each of its children;
  // invalidate: its window is invalidated as well.
  void RedrawTransparent(bool invalidate);
  // The answers to the questions: the cache for children (GetCache), the colour shown as the
  // background (GetBgColor; SkinKeyColor without an owner or a skin), the background below the
  // children changed (GetBgChanged), and a background of its own painted or the parent's needed
  // (HasPaintedBackground).
  TsCacheInfo Cache() const;
  TColor BackgroundColor() const;
  bool BackgroundChangedBelow() const;
  bool HasPaintedBackground() const;
  // The registered skin message (SkinCommands.h); True when the command was handled and the control
  // stops there.
  bool HandleSkinCommand(TMessage& message);

private:
  bool OwnerDestroying() const;

  std::string FSkinSection;
  bool FCustomFont = false;
  bool FCustomColor = false;
  TsControlKind FControlKind = TsControlKind::MaskEdit;
  int FSkinIndex = -1;
  int FBorderIndex = -1;
  TObject* FOwnerObject = nullptr;
  TControl* FOwnerControl = nullptr;
  bool FBackgroundDirty = false;
  TControl* FActiveChild = nullptr;
  bool FUpdating = false;
  bool FRepaintNeeded = true;
  unsigned FRepaintRequests = 0;
  bool FChildrenDirty = false;
  bool FFocusHot = false;
  bool FMouseOver = false;
  std::unique_ptr<TBitmap> FCacheBitmap;
};

// The control exists, is neither being created, loading nor destroyed, and has a parent.
bool ControlUsable(TControl* control);
// The skin object's share of a skinned control's messages (focus, hover, size and move); True when
// the message was fully handled.
bool SkinControlMessage(TMessage& message, TsCommonData* skinData);
// The parent's cache for a child (GetCache to the parent); none without a parent.
void QueryParentCache(TsCommonData* skinData, TsCacheInfo& ci);
// Copies rectangle r of the cache to dc, leaving the areas of opaque and graphic children alone.
void CopyCacheToDC(TWinControl* parent, TsCommonData* skinData, POINT srcOrigin, HDC dc, const RECT& r);
