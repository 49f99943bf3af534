#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "framework/win/Messages.h"
#include "framework/win/TPersistent.h"
#include "skin/engine/SkinMessage.h"

class TBitmap;
class TControl;
class TWinControl;

// The skin object of a skinned control or form: its section, the resolved indexes, the cache
// bitmap and the flags that decide when the cache is repainted. It answers the skin commands.
class TsCommonData : public TPersistent {
public:
  TsCommonData(TObject* owner, bool createCacheBmp);
  ~TsCommonData() override;

  // Called by each control after construction and after loading: a default section for an
  // empty one, else the indexes.
  void Loaded();
  void UpdateIndexes() { Loaded(); }
  void ResolveIndexes();

  const std::string& SkinSection() const { return FSkinSection; }
  void SetSkinSection(const std::string& section);
  bool CustomFont() const { return FCustomFont; }
  void SetCustomFont(bool value);
  bool CustomColor() const { return FCustomColor; }
  void SetCustomColor(bool value);
  int ControlKind() const { return FControlKind; }
  void SetControlKind(int kind) { FControlKind = kind; }

  void MarkBackgroundDirty() { BackgroundDirty = true; }
  void ClearBackgroundDirty() { BackgroundDirty = false; }
  void SetBackgroundDirty(bool value) { BackgroundDirty = value; }

  bool HasSkin() const;
  bool IsTransparent() const;
  bool IsHot() const;
  void RequestRepaint();
  bool BackgroundChanged() const;
  bool NeedsParentBackground() const;
  void PrepareCache();
  void CopyFromCache(HDC dc, int x, int y, int width, int height);
  TBitmap* CacheBitmap() const { return FCacheBitmap.get(); }

  // The skin commands; True when the command was handled and the control stops there.
  bool HandleSkinCommand(TMessage& message);

  // State, read and written by the control and its painter.
  bool BackgroundDirty = false;
  int BorderIndex = -1;
  int SkinIndex = -1;
  TControl* ActiveChild = nullptr;  // not owned
  bool Updating = false;
  bool RepaintNeeded = true;
  bool ChildrenDirty = false;
  TControl* OwnerControl = nullptr;
  TObject* OwnerObject = nullptr;
  bool FocusHot = false;
  bool MouseOver = false;

private:
  bool OwnerDestroying() const;
  void AnswerBackgroundColor();

  std::string FSkinSection;
  bool FCustomFont = false;
  bool FCustomColor = false;
  int FControlKind = 0;
  std::unique_ptr<TBitmap> FCacheBitmap;
};

// The control exists, is neither being created, loading nor destroyed, and has a parent.
bool ControlUsable(TControl* control);
// First call of every skinned window procedure; True when the message was fully handled.
bool SkinControlMessage(TMessage& message, TsCommonData* skinData);
// The parent's cache for a child (command 5 to the parent).
void QueryParentCache(TsCommonData* skinData, TsCacheInfo& ci);
// Copies rectangle r of the cache to dc, leaving the areas of opaque and graphic children alone.
void CopyCacheToDC(TWinControl* parent, TsCommonData* skinData, POINT srcOrigin, HDC dc, const RECT& r);
// Paints the graphic children of parent into dc, transparent ones over the parent's cache.
void PaintGraphicChildren(HDC dc, TWinControl* parent);
