#include "skin/controls/TsPanel.h"

#include "framework/win/TBitmap.h"
#include "framework/win/TCanvas.h"
#include "framework/win/TCustomForm.h"
#include "skin/engine/SkinCommands.h"
#include "skin/engine/SkinTextPainter.h"
#include "skin/engine/SkinUtilsWin.h"

TsPanel::TsPanel(TsControlKind kind, TComponent* owner) : TsSkinned(kind, TsCacheBitmap::Own, owner) {}

void TsPanel::Paint() {
  TPanel::Paint();
  if (FOnPaint) FOnPaint(this, Canvas());
}

void TsPanel::PaintText() {
  TCanvas* canvas = SkinData().CacheBitmap()->Canvas();
  canvas->SetFont(Font());
  canvas->Brush()->SetStyle(TBrushStyle::Clear);
  RECT r = ClientRect();
  AdjustClientRect(r);
  const int line = canvas->TextExtent("W").cy;
  r.top = (r.top + r.bottom - line) / 2;
  r.bottom = r.top + line;
  DrawSkinTextByData(ActiveSkin(), canvas, Caption(), Enabled(), r,
                     CaptionTextFlags(this, Alignment()) | DT_NOPREFIX, &SkinData(), false);
}

void TsPanel::CacheShown(bool rebuilt) {
  if (FOnPaint) FOnPaint(this, SkinData().CacheBitmap()->Canvas());
  // Children that show the panel through them repaint over its new image.
  if (rebuilt) RefreshChildren(this);
}

bool TsPanel::SkinnedMessage(TMessage& message) {
  switch (message.Msg) {
    case CM_VISIBLECHANGED:
      SkinData().SetRepaintNeeded(true);
      SkinData().SetBackgroundDirty(false);
      InheritedWndProc(message);
      return true;
    case CM_TEXTCHANGED:
      if (Parent()) SkinData().RequestRepaint();
      return true;
    default:
      return TsSkinned::SkinnedMessage(message);
  }
}

TsDragBar::TsDragBar(TComponent* owner) : TsPanel(TsControlKind::DragBar, owner) {
  SetCaption(" ");
  SetAlign(alTop);
  SetBounds(Left(), Top(), Width(), 20);
  Font()->SetColor(clCaptionText);
  Font()->SetStyle(fsBold);
  SetColor(clActiveCaption);
  SetCursor(crHandPoint);
}

void TsDragBar::SetDraggedControl(TControl* control) {
  if (control == FDraggedControl) return;
  if (FDraggedControl) FDraggedControl->RemoveFreeNotification(this);
  FDraggedControl = control;
  if (control) control->FreeNotification(this);
}

void TsDragBar::Loaded() {
  TsPanel::Loaded();
  if (!FDraggedControl && Parent()) SetDraggedControl(GetParentForm(this));
}

void TsDragBar::Notification(TComponent* component, TOperation operation) {
  TsPanel::Notification(component, operation);
  if (operation == TOperation::Remove && component == FDraggedControl) FDraggedControl = nullptr;
}

void TsDragBar::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TsPanel::MouseDown(button, shift, x, y);
  if (button != mbLeft || !FDraggedControl) return;
  ReleaseCapture();
  // The system's move loop, as if the caption of the dragged control were held.
  FDraggedControl->Perform(WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
}

TsGrip::TsGrip(TComponent* owner) : TsPanel(owner) {
  SetCaption(" ");
  SkinData().SetSkinSection("CHECKBOX");
  SetAlign(alNone);
  SetBounds(Left(), Top(), 20, 20);
}

void TsGrip::SetLinkedControl(TWinControl* control, bool showLinkedCache) {
  if (FLinkedControl) FLinkedControl->RemoveFreeNotification(this);
  FLinkedControl = control;
  FShowLinkedCache = showLinkedCache;
  if (control) control->FreeNotification(this);
}

void TsGrip::Notification(TComponent* component, TOperation operation) {
  TsPanel::Notification(component, operation);
  if (operation == TOperation::Remove && component == FLinkedControl) FLinkedControl = nullptr;
}

void TsGrip::PaintClient(HDC dc) {
  const TsCacheInfo linked = FShowLinkedCache && FLinkedControl ? AskCache(FLinkedControl) : TsCacheInfo{};
  if (linked.Valid && linked.Bitmap) {
    SkinData().SetRepaintNeeded(false);
    BitBlt(dc, 0, 0, Width(), Height(), linked.Bitmap->Canvas()->Handle(), linked.Bitmap->Width() - Width() + linked.X,
           linked.Bitmap->Height() - Height() + linked.Y, SRCCOPY);
  } else {
    TsPanel::PaintClient(dc);
  }
  // Kept above the bars it sits between; raised only when it is not on top already, since raising
  // repaints it.
  if (Parent() && Parent()->Controls(Parent()->ControlCount() - 1) != this) BringToFront();
}
