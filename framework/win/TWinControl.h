#pragma once

#include <vector>

#include "framework/win/TBrush.h"
#include "framework/win/TControl.h"

// What CreateWnd passes to the platform.
struct TCreateParams {
  std::string Caption;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  int X = 0, Y = 0, Width = 0, Height = 0;
  HWND WndParent = nullptr;
  void* Param = nullptr;
  WNDCLASSA WindowClass{};
  std::string WinClassName;
};

// The window procedures of every framework window: the first message attaches the control being
// made, every later one goes into its WindowProc.
LRESULT CALLBACK FrameworkWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK FrameworkInitWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

// A control with a window of its own, made when first needed. It can contain other controls,
// takes the focus, and reflects notifications from its children back to them (CN_*).
class TWinControl : public TControl {
public:
  explicit TWinControl(TComponent* owner);
  ~TWinControl() override;
  void BeforeDestruction() override;

  void WndProc(TMessage& message) override;
  void Dispatch(TMessage& message) override;
  void DefaultHandler(TMessage& message) override;

  // The window, made (with its parents) when there is none yet.
  HWND Handle();
  bool HandleAllocated() const { return FHandle != nullptr; }
  void HandleNeeded();
  // Rebuilds the window, keeping text, scroll positions and what the control's kind saves.
  void RecreateWnd();
  // A parent window for a control that has no parent control.
  HWND ParentWindow() const { return FParentWindow; }
  void SetParentWindow(HWND window);

  // Children, in the order they were inserted.
  int ControlCount() const { return static_cast<int>(FControls.size()); }
  TControl* Controls(int index) const { return FControls.at(size_t(index)); }
  void InsertControl(TControl* control);
  void RemoveControl(TControl* control);
  bool ContainsControl(const TControl* control) const;
  // The visible (and enabled, unless allowDisabled) graphic child at p (client coordinates).
  TControl* ControlAtPos(POINT p, bool allowDisabled, bool allowWinControls = false);
  // Sends message to every child; stops at the first that sets a result.
  void Broadcast(TMessage& message);
  // Sends message to every child with this control's window procedure order.
  void NotifyControls(UINT msg);
  // The procedure of the native class the window wraps (BUTTON, EDIT, ...); nullptr or
  // DefWindowProcA for a window of the framework's own class.
  WNDPROC DefWndProc() const { return FDefWndProc; }
  bool WrapsNativeClass() const { return FDefWndProc != nullptr && FDefWndProc != DefWindowProcA; }

  // Layout.
  void SetBounds(int left, int top, int width, int height) override;
  RECT ClientRect() override;
  void SetClientSize(int width, int height) override;
  POINT ClientOrigin() override;
  virtual void AdjustClientRect(RECT& r);
  void Realign();
  void DisableAlign() { ++FAlignLevel; }
  void EnableAlign();
  bool IsShowing() const override;

  // Focus.
  virtual bool CanFocus();
  virtual void SetFocus();
  bool Focused() const;
  int TabOrder() const;
  void SetTabOrder(int order);
  bool TabStop() const { return FTabStop; }
  void SetTabStop(bool tabStop);
  // Every focusable descendant in tab order.
  void GetTabOrderList(std::vector<TWinControl*>& list);
  TWinControl* FindNextControl(TWinControl* current, bool goForward, bool checkTabStop, bool checkParent);
  void SelectNext(TWinControl* current, bool goForward, bool checkTabStop);
  void SelectFirst();

  // Space kept free inside the client area, on every side.
  int BorderWidth() const { return FBorderWidth; }
  void SetBorderWidth(int width);
  // The sunken 3D look of native edits and lists (WS_EX_CLIENTEDGE where the control asks for it).
  bool Ctl3D() const { return FCtl3D; }
  void SetCtl3D(bool ctl3D);
  bool ParentCtl3D() const { return FParentCtl3D; }
  void SetParentCtl3D(bool parentCtl3D);
  TBrush* Brush() { return &FBrush; }
  bool DoubleBuffered() const { return FDoubleBuffered; }
  void SetDoubleBuffered(bool v) { FDoubleBuffered = v; }
  void SetEnabled(bool enabled) override;

  void Invalidate() override;
  void Update() override;
  void Repaint() override;
  void BringToFront() override;
  void SendToBack() override;
  // Paints the graphic children, from first (nullptr: all) on, into dc: each visible one the clip
  // box reaches goes through PaintGraphicChild, the DC's state saved and restored around it.
  void PaintControls(HDC dc, TControl* first);

  const TNotifyEvent& OnEnter() const { return FOnEnter; }
  void SetOnEnter(const TNotifyEvent& e) { FOnEnter = e; }
  const TNotifyEvent& OnExit() const { return FOnExit; }
  void SetOnExit(const TNotifyEvent& e) { FOnExit = e; }
  const TKeyEvent& OnKeyDown() const { return FOnKeyDown; }
  void SetOnKeyDown(const TKeyEvent& e) { FOnKeyDown = e; }
  const TKeyEvent& OnKeyUp() const { return FOnKeyUp; }
  void SetOnKeyUp(const TKeyEvent& e) { FOnKeyUp = e; }
  const TKeyPressEvent& OnKeyPress() const { return FOnKeyPress; }
  void SetOnKeyPress(const TKeyPressEvent& e) { FOnKeyPress = e; }

protected:
  // A rebuilt window gets back its text and scroll positions; a wrapper of a native class saves here
  // what else the old window held (an edit's selection, a list's items) and restores it into the new
  // one.
  virtual void SaveNativeState() {}
  virtual void RestoreNativeState() {}
  virtual void CreateParams(TCreateParams& params);
  // Makes the window from params; the default registers the class when needed.
  virtual void CreateWindowHandle(const TCreateParams& params);
  virtual void CreateWnd();
  // Saves what the window holds (text, scroll positions) before it goes.
  virtual void DestroyWnd();
  virtual void DestroyWindowHandle();
  void CreateHandle();
  void DestroyHandle();
  // Uses the native window class className with the framework's window procedure in front of it.
  void CreateSubClass(TCreateParams& params, const char* className);
  // Shows or hides the window to match Visible, making it when it becomes visible.
  void UpdateShowing();
  virtual void AlignControls(TControl* control, RECT& r);
  virtual void PaintWindow(HDC dc);
  void PaintHandler(TMessage& message);
  // Paints one graphic child into dc, whose origin is at the child's top-left corner and whose
  // clipping is cut to the child. A skinned parent overrides this to lay its background under a
  // child that is not opaque.
  virtual void PaintGraphicChild(HDC dc, TControl* child);
  virtual void KeyDown(WORD& key, TShiftState shift);
  virtual void KeyUp(WORD& key, TShiftState shift);
  virtual void KeyPress(char& key);
  // Clicks the menu item whose shortcut is this key-down (CN_KEYDOWN or CN_SYSKEYDOWN): the popup
  // menus of the control and of its parents first, then the form's main menu. True when one did.
  bool IsMenuKey(const TMessage& message);
  // Key events with the form's key preview first; true when the key was eaten.
  bool DoKeyDown(TMessage& message);
  bool DoKeyUp(TMessage& message);
  bool DoKeyPress(TMessage& message);
  virtual void DoEnter();
  virtual void DoExit();

private:
  friend class TControl;
  friend class TCustomForm;
  friend LRESULT CALLBACK FrameworkWndProc(HWND, UINT, WPARAM, LPARAM);
  friend LRESULT CALLBACK FrameworkInitWndProc(HWND, UINT, WPARAM, LPARAM);
  void AttachHandle(HWND handle);
  bool IsControlMouseMsg(TMessage& message);
  bool NotificationSource(const TMessage& message, HWND& child) const;
  void ReflectNotification(TMessage& message, HWND child);
  void ApplyNativeBounds();
  void FreeControls();
  // The window's own messages and the framework's control messages; true when handled.
  bool DispatchWindowMessage(TMessage& message);
  bool DispatchControlMessage(TMessage& message);
  // Handlers of single messages; those returning bool answer whether they handled it.
  bool WMEraseBkgnd(TMessage& message);
  void CNCtlColor(TMessage& message);
  void CNKeyDown(TMessage& message);
  void CMRecreateWnd();
  bool WMSetCursor(TMessage& message);
  bool WMContextMenu(TMessage& message);
  void CNSysChar(TMessage& message);
  void CMEnabledChanged();
  void CMColorChanged();
  void CMFontChanged();
  void CMParentCtl3DChanged();
  void WMWindowPosChanged(TMessage& message);
  void WMCaptureChanged(TMessage& message);
  void WMNCDestroy(TMessage& message);

  HWND FHandle = nullptr;
  HWND FParentWindow = nullptr;
  WNDPROC FDefWndProc = nullptr;
  std::vector<TControl*> FControls;
  std::vector<TWinControl*> FTabList;
  bool FTabStop = false;
  int FAlignLevel = 0;
  bool FAligning = false;
  TBrush FBrush;
  bool FDoubleBuffered = false;
  int FBorderWidth = 0;
  bool FCtl3D = true;
  bool FParentCtl3D = true;
  std::string FSavedText;
  bool FHasSavedState = false;
  SCROLLINFO FSavedScroll[2] = {};
  TNotifyEvent FOnEnter, FOnExit;
  TKeyEvent FOnKeyDown, FOnKeyUp;
  TKeyPressEvent FOnKeyPress;
};

// The control (windowed or graphic) that holds the mouse capture, nullptr when none.
TControl* GetCaptureControl();
void SetCaptureControl(TControl* control);
