#pragma once

#include <memory>
#include <string>

#include "framework/win/Controls.h"
#include "framework/win/Graphics.h"
#include "framework/win/TComponent.h"
#include "framework/win/TFont.h"
#include "framework/win/TSizeConstraints.h"

class TWinControl;
class TCustomForm;
class TPopupMenu;

// While one is alive, Update (and so Repaint) of any control leaves what changed invalidated, to
// be painted once by whoever ends the hold.
class TUpdatesHeld {
public:
  TUpdatesHeld() { ++FDepth; }
  ~TUpdatesHeld() { --FDepth; }
  TUpdatesHeld(const TUpdatesHeld&) = delete;
  TUpdatesHeld& operator=(const TUpdatesHeld&) = delete;
  static bool Active() { return FDepth > 0; }

private:
  static inline int FDepth = 0;
};

// Base of every visible control. Messages reach it through the replaceable WindowProc delegate,
// then the virtual WndProc, Dispatch and DefaultHandler; Perform sends one that way without any
// window handle.
class TControl : public TComponent {
public:
  explicit TControl(TComponent* owner);
  ~TControl() override;
  void BeforeDestruction() override;

  // Messages.
  LRESULT Perform(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
  const TWndMethod& WindowProc() const { return FWindowProc; }
  // An empty delegate puts back the control's own WndProc.
  void SetWindowProc(const TWndMethod& method);
  virtual void WndProc(TMessage& message);
  virtual void Dispatch(TMessage& message);
  virtual void DefaultHandler(TMessage& message);

  // Parent and place.
  TWinControl* Parent() const { return FParent; }
  virtual void SetParent(TWinControl* parent);
  bool HasParent() const { return FParent != nullptr; }
  int Left() const { return FLeft; }
  int Top() const { return FTop; }
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  void SetLeft(int v) { SetBounds(v, FTop, FWidth, FHeight); }
  void SetTop(int v) { SetBounds(FLeft, v, FWidth, FHeight); }
  void SetWidth(int v) { SetBounds(FLeft, FTop, v, FHeight); }
  void SetHeight(int v) { SetBounds(FLeft, FTop, FWidth, v); }
  virtual void SetBounds(int left, int top, int width, int height);
  RECT BoundsRect() const { return RECT{FLeft, FTop, FLeft + FWidth, FTop + FHeight}; }
  void SetBoundsRect(const RECT& r) { SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top); }
  virtual RECT ClientRect();
  int ClientWidth() { return ClientRect().right; }
  int ClientHeight() { return ClientRect().bottom; }
  void SetClientWidth(int v) { SetClientSize(v, ClientHeight()); }
  void SetClientHeight(int v) { SetClientSize(ClientWidth(), v); }
  virtual void SetClientSize(int width, int height);
  // The client origin in screen coordinates.
  virtual POINT ClientOrigin();
  POINT ClientToScreen(POINT p);
  POINT ScreenToClient(POINT p);
  TAlign Align() const { return FAlign; }
  void SetAlign(TAlign align);
  TAnchors Anchors() const { return FAnchors; }
  void SetAnchors(TAnchors anchors);
  const TSizeConstraints& Constraints() const { return FConstraints; }
  void SetConstraints(const TSizeConstraints& c);
  // Where an anchored control goes when its parent's client area is width x height.
  void UpdateAnchorRules();
  void ApplyAnchorRules(int parentWidth, int parentHeight);

  // Look.
  bool Visible() const { return FVisible; }
  void SetVisible(bool visible);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  // Visible, and so is every parent.
  virtual bool IsShowing() const;
  bool Enabled() const { return FEnabled; }
  virtual void SetEnabled(bool enabled);
  std::string Text();
  void SetText(const std::string& text);
  std::string Caption() { return Text(); }
  void SetCaption(const std::string& caption) { SetText(caption); }
  TFont* Font() { return &FFont; }
  void SetFont(const TFont* font) { FFont.Assign(font); }
  bool ParentFont() const { return FParentFont; }
  void SetParentFont(bool parentFont);
  TColor Color() const { return FColor; }
  void SetColor(TColor color);
  bool ParentColor() const { return FParentColor; }
  void SetParentColor(bool parentColor);
  const std::string& Hint() const { return FHint; }
  void SetHint(const std::string& hint) { FHint = hint; }
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool showHint);
  bool ParentShowHint() const { return FParentShowHint; }
  void SetParentShowHint(bool parentShowHint);
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor cursor);
  TPopupMenu* PopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(TPopupMenu* menu);
  int HelpContext() const { return FHelpContext; }
  void SetHelpContext(int context) { FHelpContext = context; }
  TBiDiMode BiDiMode() const { return FBiDiMode; }
  void SetBiDiMode(TBiDiMode mode);
  bool ParentBiDiMode() const { return FParentBiDiMode; }
  void SetParentBiDiMode(bool parentBiDiMode);
  bool UseRightToLeftAlignment() const { return FBiDiMode == bdRightToLeft; }
  bool UseRightToLeftReading() const { return FBiDiMode != bdLeftToRight; }
  // Drag and drop between controls. dmAutomatic starts a drag on a left press. While a drag runs the
  // mouse is captured; the control under it is asked through DragOver (OnDragOver) whether it
  // accepts the source, and the cursor is DragCursor over one that does, crNoDrop elsewhere. A
  // release over an accepting control calls its DragDrop (OnDragDrop); Escape, a right press or
  // EndDrag(false) end the drag without a drop. OnStartDrag begins every drag, OnEndDrag ends it.
  // Only dkDrag is supported.
  TDragMode DragMode() const { return FDragMode; }
  void SetDragMode(TDragMode mode) { FDragMode = mode; }
  TDragKind DragKind() const { return FDragKind; }
  void SetDragKind(TDragKind kind) { FDragKind = kind; }
  TCursor DragCursor() const { return FDragCursor; }
  void SetDragCursor(TCursor cursor) { FDragCursor = cursor; }
  // Starts a drag of this control now (immediate), or once the mouse has moved threshold pixels
  // with the button held; a release before that ends it unstarted, with no event.
  void BeginDrag(bool immediate, int threshold = 5);
  // Ends this control's drag: dropped on the control under the mouse when drop is set and it
  // accepts, else cancelled.
  void EndDrag(bool drop);
  // A drag of this control has started and not ended.
  bool Dragging() const;
  TControlStyle ControlStyle() const { return FControlStyle; }
  void SetControlStyle(TControlStyle style) { FControlStyle = style; }
  TControlState ControlState() const { return FControlState; }
  void SetControlState(TControlState state) { FControlState = state; }

  // Painting.
  virtual void Invalidate();
  virtual void Update();
  virtual void Repaint();
  void Refresh() { Repaint(); }
  virtual void BringToFront();
  virtual void SendToBack();

  // Events.
  const TNotifyEvent& OnClick() const { return FOnClick; }
  void SetOnClick(const TNotifyEvent& e) { FOnClick = e; }
  const TNotifyEvent& OnDblClick() const { return FOnDblClick; }
  void SetOnDblClick(const TNotifyEvent& e) { FOnDblClick = e; }
  const TNotifyEvent& OnResize() const { return FOnResize; }
  void SetOnResize(const TNotifyEvent& e) { FOnResize = e; }
  const TMouseEvent& OnMouseDown() const { return FOnMouseDown; }
  void SetOnMouseDown(const TMouseEvent& e) { FOnMouseDown = e; }
  const TMouseEvent& OnMouseUp() const { return FOnMouseUp; }
  void SetOnMouseUp(const TMouseEvent& e) { FOnMouseUp = e; }
  const TMouseMoveEvent& OnMouseMove() const { return FOnMouseMove; }
  void SetOnMouseMove(const TMouseMoveEvent& e) { FOnMouseMove = e; }
  const TDragOverEvent& OnDragOver() const { return FOnDragOver; }
  void SetOnDragOver(const TDragOverEvent& e) { FOnDragOver = e; }
  const TDragDropEvent& OnDragDrop() const { return FOnDragDrop; }
  void SetOnDragDrop(const TDragDropEvent& e) { FOnDragDrop = e; }
  const TNotifyEvent& OnStartDrag() const { return FOnStartDrag; }
  void SetOnStartDrag(const TNotifyEvent& e) { FOnStartDrag = e; }
  const TEndDragEvent& OnEndDrag() const { return FOnEndDrag; }
  void SetOnEndDrag(const TEndDragEvent& e) { FOnEndDrag = e; }

  virtual void Click();
  virtual void DblClick();

protected:
  void Notification(TComponent* component, TOperation operation) override;
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseMove(TShiftState shift, int x, int y);
  // The drag's calls: accept (false unless OnDragOver is assigned) says whether source may drop
  // here; x, y are in this control's client coordinates. The end's are the target's, or without a
  // target the source's own.
  virtual void DragOver(TObject* source, int x, int y, TDragState state, bool& accept);
  virtual void DragDrop(TObject* source, int x, int y);
  virtual void DoStartDrag();
  virtual void DoEndDrag(TObject* target, int x, int y);
  virtual void Resize();
  // Asked by SetBounds with the asked size: a control that sizes itself to its content sets the
  // size it needs and answers true.
  virtual bool CanAutoSize(int& /*newWidth*/, int& /*newHeight*/) { return false; }
  // Called after the font object changed.
  virtual void FontChanged();
  // Tells the parent a visible property changed that needs realigning.
  void RequestAlign();
  // Invalidates the area of this control on its parent (graphic controls have no window).
  void InvalidateControl(bool isVisible, bool isOpaque);
  void SendCancelMode(TControl* sender);
  // Mouse messages of windowed and graphic controls: decodes once, then calls the virtuals.
  void HandleMouseMessage(TMessage& message);

  std::string FText;  // the text while there is no window to hold it

private:
  friend class TWinControl;
  friend class TDragSession;
  void FontObjectChanged(TObject* sender);
  void DoParentFontChanged();
  void DoParentColorChanged();

  TWinControl* FParent = nullptr;
  int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
  TAlign FAlign = alNone;
  TAnchors FAnchors = akLeft | akTop;
  TSizeConstraints FConstraints;
  struct TAnchorRule {
    bool Valid = false;
    int ParentWidth = 0, ParentHeight = 0;
    int Left = 0, Top = 0, Width = 0, Height = 0;
  } FAnchorRule;
  bool FAnchoring = false;
  bool FVisible = true;
  bool FEnabled = true;
  TFont FFont;
  bool FParentFont = true;
  TColor FColor = clWindow;
  bool FParentColor = false;
  std::string FHint;
  bool FShowHint = false;
  bool FParentShowHint = true;
  TCursor FCursor = crDefault;
  TPopupMenu* FPopupMenu = nullptr;
  int FHelpContext = 0;
  TBiDiMode FBiDiMode = bdLeftToRight;
  bool FParentBiDiMode = true;
  TDragMode FDragMode = dmManual;
  TDragKind FDragKind = dkDrag;
  TCursor FDragCursor = crDrag;
  TControlStyle FControlStyle = csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;
  TControlState FControlState = 0;
  TWndMethod FWindowProc;
  TNotifyEvent FOnClick, FOnDblClick, FOnResize;
  TMouseEvent FOnMouseDown, FOnMouseUp;
  TMouseMoveEvent FOnMouseMove;
  TDragOverEvent FOnDragOver;
  TDragDropEvent FOnDragDrop;
  TNotifyEvent FOnStartDrag;
  TEndDragEvent FOnEndDrag;
};

// Makes a control (NewComponent), gives it its bounds (left, top, right, bottom in the parent's
// client area) and places it on parent: the one way to put a control on a form.
template <typename T, typename... Args>
T* NewControl(TComponent* owner, TWinControl* parent, const RECT& bounds, Args&&... args) {
  T* control = NewComponent<T>(owner, std::forward<Args>(args)...);
  control->SetBounds(bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top);
  control->SetParent(parent);
  return control;
}
// The same at the control's own default bounds.
template <typename T>
T* NewControl(TComponent* owner, TWinControl* parent) {
  T* control = NewComponent<T>(owner);
  control->SetParent(parent);
  return control;
}

// The control under the mouse; moving it sends CM_MOUSELEAVE to the old one and CM_MOUSEENTER to
// the new one (nullptr: the mouse left our windows).
TControl* MouseControl();
void SetMouseControl(TControl* control);

// The drag running now, ended without a drop (Escape); false when there is none.
bool CancelDrag();

// The form a control sits on (itself for a form), nullptr when it has none.
TCustomForm* GetParentForm(TControl* control);
// The framework control that owns window, nullptr for a foreign window.
TWinControl* FindControl(HWND window);
