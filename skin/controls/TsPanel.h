#pragma once

#include "framework/base/Delegate.h"
#include "framework/win/TPanel.h"
#include "skin/engine/TsSkinned.h"

class TCanvas;

// Sender and the canvas it painted on.
using TsPaintEvent = TDelegate<void(TObject* sender, TCanvas* canvas)>;

// The skinned container: its section ("PANEL") and caption in the cache. OnPaint follows each
// paint, on the cache's canvas while skinned and on the panel's own canvas while not.
class TsPanel : public TsSkinned<TPanel> {
public:
  explicit TsPanel(TComponent* owner) : TsPanel(TsControlKind::Panel, owner) {}

  const TsPaintEvent& OnPaint() const { return FOnPaint; }
  void SetOnPaint(const TsPaintEvent& e) { FOnPaint = e; }

protected:
  TsPanel(TsControlKind kind, TComponent* owner);
  bool PaintsWholeClient() const override { return true; }
  void Paint() override;
  void PaintText() override;
  void CacheShown(bool rebuilt) override;
  bool SkinnedMessage(TMessage& message) override;

private:
  TsPaintEvent FOnPaint;
};

// A caption strip that moves DraggedControl (its form, usually) while the left button drags it.
class TsDragBar : public TsPanel {
public:
  explicit TsDragBar(TComponent* owner);

  TControl* DraggedControl() const { return FDraggedControl; }
  void SetDraggedControl(TControl* control);

  // Made with its form (while the form loads) and given no control to drag, it drags the form.
  void Loaded() override;

protected:
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void Notification(TComponent* component, TOperation operation) override;

private:
  TControl* FDraggedControl = nullptr;
};

// The 20 x 20 square in the corner between two skinned scroll bars: the linked control's
// bottom-right corner when it shows its cache there, else a panel of section "CHECKBOX".
class TsGrip : public TsPanel {
public:
  explicit TsGrip(TComponent* owner);

  void SetLinkedControl(TWinControl* control, bool showLinkedCache);

protected:
  void PaintClient(HDC dc) override;
  void Notification(TComponent* component, TOperation operation) override;

private:
  TWinControl* FLinkedControl = nullptr;
  bool FShowLinkedCache = false;
};
