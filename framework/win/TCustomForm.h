#pragma once

#include <memory>
#include <string>

#include "framework/win/TControlCanvas.h"
#include "framework/win/TIcon.h"
#include "framework/win/TWinControl.h"

class TMainMenu;

enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
using enum TFormBorderStyle;
using TBorderIcons = uint8_t;
constexpr TBorderIcons biSystemMenu = 1, biMinimize = 2, biMaximize = 4, biHelp = 8;
enum class TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
using enum TFormStyle;
enum class TPosition {
  poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter,
  poMainFormCenter, poOwnerFormCenter
};
using enum TPosition;
enum class TWindowState { wsNormal, wsMinimized, wsMaximized };
using enum TWindowState;
enum class TCloseAction { caNone, caHide, caFree, caMinimize };
using enum TCloseAction;

class TCustomForm;

// One of a form's two scroll bars. Visible False keeps the bar away; Range, when larger than the
// children's extent, is the scrolled extent; Increment is the line step. The form sends CM_CHANGED
// with this bar as LParam when a setting changes.
class TControlScrollBar {
public:
  TControlScrollBar(TCustomForm* form, int bar) : FForm(form), FBar(bar) {}
  TControlScrollBar(const TControlScrollBar&) = delete;
  TControlScrollBar& operator=(const TControlScrollBar&) = delete;

  bool Visible() const { return FVisible; }
  void SetVisible(bool visible);
  int Range() const { return FRange; }
  void SetRange(int range);
  int Increment() const { return FIncrement; }
  void SetIncrement(int increment);
  int Position() const;
  void SetPosition(int position);

private:
  void Changed();
  TCustomForm* FForm;
  int FBar;  // SB_HORZ or SB_VERT
  bool FVisible = true;
  int FRange = 0;
  int FIncrement = 8;
};

using TCloseEvent = TDelegate<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = TDelegate<void(TObject* Sender, bool& CanClose)>;

// A top-level window built in code. The constructor is CreateNew: no stored description is read.
// Made with NewComponent or Application->CreateForm, the form is loading while its constructors run,
// so the components they make are loading too; AfterConstruction ends the loading phase (Loaded on
// the form, then on every component it owns, in creation order) before OnCreate.
class TCustomForm : public TWinControl {
public:
  explicit TCustomForm(TComponent* owner);
  ~TCustomForm() override;
  void AfterConstruction() override;
  void BeforeDestruction() override;

  void Dispatch(TMessage& message) override;
  void DefaultHandler(TMessage& message) override;

  TFormBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TFormBorderStyle style);
  TBorderIcons BorderIcons() const { return FBorderIcons; }
  void SetBorderIcons(TBorderIcons icons);
  TFormStyle FormStyle() const { return FFormStyle; }
  void SetFormStyle(TFormStyle style);
  TPosition Position() const { return FPosition; }
  void SetPosition(TPosition position) { FPosition = position; }
  TWindowState WindowState() const;
  void SetWindowState(TWindowState state);
  TMainMenu* Menu() const { return FMenu; }
  void SetMenu(TMainMenu* menu);
  // Clicks the main menu's item with this shortcut; false when there is none.
  bool IsShortCut(WORD key, TShiftState shift);
  TIcon* Icon() { return &FIcon; }
  bool AutoScroll() const { return FAutoScroll; }
  void SetAutoScroll(bool autoScroll);
  TControlScrollBar* VertScrollBar() { return &FVertScrollBar; }
  TControlScrollBar* HorzScrollBar() { return &FHorzScrollBar; }
  bool KeyPreview() const { return FKeyPreview; }
  void SetKeyPreview(bool keyPreview) { FKeyPreview = keyPreview; }
  TWinControl* ActiveControl() const { return FActiveControl; }
  void SetActiveControl(TWinControl* control);
  bool Active() const { return FActive; }
  // The canvas OnPaint draws on: the window's device context while the form paints.
  TCanvas* Canvas() { return &FCanvas; }
  // Runs the form's painting on its canvas bound to dc, after the client was painted (by the form
  // itself, or by whatever paints the form's client for it).
  void PaintOnCanvas(HDC dc);
  const std::string& HelpFile() const { return FHelpFile; }
  void SetHelpFile(const std::string& file) { FHelpFile = file; }

  // Modal use: ShowModal runs its own message loop until ModalResult is set.
  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult result) { FModalResult = result; }
  bool IsModal() const { return FModal; }
  TModalResult ShowModal();
  void Show();
  void Close();
  // Frees the form once the messages now waiting have been handled (safe inside its own handlers).
  void Release();
  bool CloseQuery();

  // Focus bookkeeping: the control now focused and the one to focus when the form is activated.
  void FocusControl(TWinControl* control);
  bool SetFocusedControl(TWinControl* control);
  void ControlRemoving(TControl* control);
  RECT ClientRect() override;

  // MDI.
  HWND ClientHandle() const { return FClientHandle; }
  TCustomForm* ActiveMDIChild();
  int MDIChildCount();
  TCustomForm* MDIChildren(int index);

  const TNotifyEvent& OnCreate() const { return FOnCreate; }
  void SetOnCreate(const TNotifyEvent& e) { FOnCreate = e; }
  const TNotifyEvent& OnDestroy() const { return FOnDestroy; }
  void SetOnDestroy(const TNotifyEvent& e) { FOnDestroy = e; }
  const TNotifyEvent& OnShow() const { return FOnShow; }
  void SetOnShow(const TNotifyEvent& e) { FOnShow = e; }
  const TNotifyEvent& OnHide() const { return FOnHide; }
  void SetOnHide(const TNotifyEvent& e) { FOnHide = e; }
  const TCloseEvent& OnClose() const { return FOnClose; }
  void SetOnClose(const TCloseEvent& e) { FOnClose = e; }
  const TCloseQueryEvent& OnCloseQuery() const { return FOnCloseQuery; }
  void SetOnCloseQuery(const TCloseQueryEvent& e) { FOnCloseQuery = e; }
  // Called after the form's own painting of its client, to draw on Canvas.
  const TNotifyEvent& OnPaint() const { return FOnPaint; }
  void SetOnPaint(const TNotifyEvent& e) { FOnPaint = e; }
  const TNotifyEvent& OnActivate() const { return FOnActivate; }
  void SetOnActivate(const TNotifyEvent& e) { FOnActivate = e; }
  const TNotifyEvent& OnDeactivate() const { return FOnDeactivate; }
  void SetOnDeactivate(const TNotifyEvent& e) { FOnDeactivate = e; }

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  void DestroyWindowHandle() override;
  void AlignControls(TControl* control, RECT& r) override;
  void PaintWindow(HDC dc) override;
  virtual void Paint();
  virtual void DoCreate();
  virtual void DoDestroy();
  virtual void DoShow();
  virtual void DoHide();
  virtual void DoClose(TCloseAction& action);
  virtual void Activate();
  virtual void Deactivate();
  void Notification(TComponent* component, TOperation operation) override;

private:
  friend class TControlScrollBar;
  void ShowForm(bool show);
  void MergeIntoFrame(TMainMenu* menu);
  void ActivateFormBefore();
  void PlaceOnFirstShow();
  void UpdateScrollRange();
  void ScrollBy(int bar, int code, int thumb);
  void RecreateIfAllocated();
  void RestyleIfAllocated();
  // Handlers of single messages; those returning bool answer whether they handled it.
  void CMActivate();
  void WMActivate(TMessage& message);
  void WMMDIActivate(TMessage& message);
  void WMSetFocus(TMessage& message);
  void WMGetMinMaxInfo(TMessage& message);
  bool WMScroll(TMessage& message);
  bool WMCommand(TMessage& message);
  bool WMMeasureItem(TMessage& message);
  bool WMDrawItem(TMessage& message);
  void CMMenuChanged();
  bool CMDialogKey(TMessage& message);
  bool WMHelp(TMessage& message);

  TFormBorderStyle FBorderStyle = bsSizeable;
  TBorderIcons FBorderIcons = biSystemMenu | biMinimize | biMaximize;
  TFormStyle FFormStyle = fsNormal;
  TPosition FPosition = poDesigned;
  TWindowState FWindowState = wsNormal;
  TMainMenu* FMenu = nullptr;
  TIcon FIcon;
  bool FAutoScroll = true;
  bool FKeyPreview = false;
  TWinControl* FActiveControl = nullptr;
  TWinControl* FFocusedControl = nullptr;
  bool FActive = false;
  std::string FHelpFile;
  TModalResult FModalResult = mrNone;
  bool FModal = false;
  bool FShownOnce = false;
  HWND FClientHandle = nullptr;
  int FScroll[2] = {0, 0};
  TControlScrollBar FHorzScrollBar{this, SB_HORZ};
  TControlScrollBar FVertScrollBar{this, SB_VERT};
  TControlCanvas FCanvas{this};
  TNotifyEvent FOnCreate, FOnDestroy, FOnShow, FOnHide, FOnActivate, FOnDeactivate, FOnPaint;
  TCloseEvent FOnClose;
  TCloseQueryEvent FOnCloseQuery;
};

class TForm : public TCustomForm {
public:
  using TCustomForm::TCustomForm;
};
