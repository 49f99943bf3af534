#pragma once

#include <windows.h>

#include "framework/win/Controls.h"
#include "framework/win/TComponent.h"
#include "framework/win/TWindowHook.h"
#include "skin/controls/core/MDIClientRules.h"
#include "skin/engine/TsSkinPeer.h"

class TCustomForm;
class TMenuItem;
class TsFormFrameLink;
class TsGrip;
class TsScrollBar;

// The skinned MDI client of an MDI main form, made by the form's skin provider and living as long
// as it: the client window painted from the provider's window image (its procedure hooked, and
// only what was hooked taken off again), a pair of skinned bars with a grip in place of the
// client's own bars while a skin is active and no child is maximized, and the item standing first
// in the main menu while the active child is maximized (Restore, Minimize, Close with Ctrl+F4).
class TsMDIForm : public TComponent, public TsSkinPeer {
public:
  explicit TsMDIForm(TsFormFrameLink* provider);
  ~TsMDIForm() override;
  void BeforeDestruction() override;

  TsFormFrameLink* Provider() const { return FProvider; }
  TCustomForm* Form() const { return FForm; }
  TMenuItem* ChildIconItem() const { return FChildIconItem; }
  TsScrollBar* VScrollBar() const { return FVScrollBar; }
  TsScrollBar* HScrollBar() const { return FHScrollBar; }
  TsGrip* Grip() const { return FGrip; }

  // Subclasses the client window; nothing when it already answers as skinned.
  void HookClientWindow();
  bool ClientHooked() const { return FClientHook.Window() != nullptr; }
  // The item at the head of the main menu while the active child is maximized, else none; then
  // the bars.
  void UpdateMDIIconItem();
  // The item out of the main menu, whatever the child's state (without a skin the platform shows
  // the maximized child's icon and buttons in the menu bar itself).
  void RemoveChildIconItem();
  // The skinned bars and grip in step with the client's scroll information.
  void UpdateScrollBars();

  // The MDI client area in the form's window coordinates, as the provider paints the frame.
  int ClientAreaLeft();
  int ClientAreaTop();
  int ClientAreaWidth();
  int ClientAreaHeight();

protected:
  void Notification(TComponent* component, TOperation operation) override;

private:
  TMenuItem* CreateChildIconItem();
  void ClientWndProc(TMessage& message);
  // The client window's side of the skin protocol, which reaches it through the message only.
  void SkinCommand(::SkinCommand command) override;
  bool ActiveChildMaximized();
  TRect ClientArea();
  TMDIAlignedSizes AlignedSizes();
  void CopyBackground(HDC dc);
  void PaintEdges();
  TsScrollBar* MakeBar(bool vertical);
  void FreeBars();
  template <typename T>
  void Drop(T*& control);
  void ChildCommand(TObject* sender);
  void VerticalScrolled(TObject* sender, int oldPosition);
  void HorizontalScrolled(TObject* sender, int oldPosition);
  void BarScrolled(TsScrollBar* bar, const TMDIBarRange& range, UINT msg);
  void BarMouseUp(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);

  TsFormFrameLink* FProvider;
  TCustomForm* FForm = nullptr;
  TMenuItem* FChildIconItem = nullptr;
  TMenuItem* FRestoreItem = nullptr;
  TMenuItem* FMinimizeItem = nullptr;
  TMenuItem* FCloseItem = nullptr;
  TsScrollBar* FVScrollBar = nullptr;
  TsScrollBar* FHScrollBar = nullptr;
  TsGrip* FGrip = nullptr;
  TMDIBarRange FVRange, FHRange;
  // Set while the bars are filled or scroll the client.
  bool FUpdating = false;
  TWindowHook FClientHook;
};
