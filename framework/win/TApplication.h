#pragma once

#include <exception>
#include <string>

#include "framework/win/Controls.h"
#include "framework/win/TComponent.h"
#include "framework/win/THintWindow.h"

class TControl;
class TCustomForm;

// What a control's CM_HINTSHOW and the application's OnShowHint may change before a hint shows.
struct THintInfo {
  TControl* HintControl = nullptr;
  POINT HintPos{0, 0};
  int HintMaxWidth = 0;
  TColor HintColor = clInfoBk;
  RECT CursorRect{0, 0, 0, 0};
  POINT CursorPos{0, 0};
  int ReshowTimeout = 0;
  int HideTimeout = 0;
  std::string HintStr;
  void* HintData = nullptr;
};

using TExceptionEvent = TDelegate<void(TObject* Sender, const std::exception& E)>;
using TIdleEvent = TDelegate<void(TObject* Sender, bool& Done)>;
using TMessageEvent = TDelegate<void(MSG& Msg, bool& Handled)>;
using TShowHintEvent = TDelegate<void(std::string& HintStr, bool& CanShow, THintInfo& HintInfo)>;
using THelpEvent = TDelegate<bool(UINT Command, ULONG_PTR Data, bool& CallHelp)>;

// The running program: its forms, the message loop, hints, help and the last word on exceptions.
class TApplication : public TComponent {
public:
  explicit TApplication(TComponent* owner);
  ~TApplication() override;

  void Initialize();
  // Makes a form owned by the application as NewComponent does, with reference already set while
  // the form completes (its OnCreate may use it); the first one made becomes the main form.
  template <typename T>
  void CreateForm(T*& reference) {
    T* form;
    {
      TComponent::TCreation creation;
      form = new T(this);
    }
    reference = form;
    try {
      form->FinishCreation();
    } catch (...) {
      reference = nullptr;
      form->Free();
      throw;
    }
    if (FMainForm == nullptr) {
      form->HandleNeeded();
      FMainForm = form;
    }
  }
  // Shows the main form and handles messages until Terminate. The program then frees the forms
  // (DestroyComponents).
  void Run();
  void Terminate();
  bool Terminated() const { return FTerminated; }
  // Handles every waiting message and returns; may be called from inside a handler.
  void ProcessMessages();
  // Handles one message, or idles until one comes.
  void HandleMessage();

  HWND Handle() const { return FHandle; }
  TCustomForm* MainForm() const { return FMainForm; }
  bool ShowMainForm() const { return FShowMainForm; }
  void SetShowMainForm(bool show) { FShowMainForm = show; }
  const std::string& Title() const { return FTitle; }
  void SetTitle(const std::string& title) { FTitle = title; }
  std::string ExeName() const;
  void Minimize();
  void Restore();

  // Help through the platform's help viewer, unless OnHelp says it was handled.
  const std::string& HelpFile() const { return FHelpFile; }
  void SetHelpFile(const std::string& file) { FHelpFile = file; }
  bool HelpCommand(UINT command, ULONG_PTR data);
  bool HelpContext(int context) { return HelpCommand(HELP_CONTEXT, ULONG_PTR(context)); }

  // Exceptions that escape an event handler end here.
  void HandleException(TObject* sender, const std::exception& e);
  void ShowException(const std::exception& e);
  int MessageBox(const std::string& text, const std::string& caption, UINT flags);

  // Hints.
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool show);
  int HintPause() const { return FHintPause; }
  void SetHintPause(int ms) { FHintPause = ms; }
  int HintShortPause() const { return FHintShortPause; }
  void SetHintShortPause(int ms) { FHintShortPause = ms; }
  int HintHidePause() const { return FHintHidePause; }
  void SetHintHidePause(int ms) { FHintHidePause = ms; }
  TColor HintColor() const { return FHintColor; }
  void SetHintColor(TColor color) { FHintColor = color; }
  const std::string& Hint() const { return FHint; }
  void SetHint(const std::string& hint);
  THintWindowClass HintWindowClass() const { return FHintWindowClass; }
  void SetHintWindowClass(THintWindowClass factory);
  THintWindow* HintWindow() const { return FHintWindow; }
  // Shows the hint of the control under cursorPos now.
  void ActivateHint(POINT cursorPos);
  void CancelHint();
  void HideHint();
  // Called by controls for every mouse move over them.
  void HintMouseMessage(TControl* control, TMessage& message);

  const TExceptionEvent& OnException() const { return FOnException; }
  void SetOnException(const TExceptionEvent& e) { FOnException = e; }
  const TIdleEvent& OnIdle() const { return FOnIdle; }
  void SetOnIdle(const TIdleEvent& e) { FOnIdle = e; }
  const TMessageEvent& OnMessage() const { return FOnMessage; }
  void SetOnMessage(const TMessageEvent& e) { FOnMessage = e; }
  const TNotifyEvent& OnHint() const { return FOnHint; }
  void SetOnHint(const TNotifyEvent& e) { FOnHint = e; }
  const TShowHintEvent& OnShowHint() const { return FOnShowHint; }
  void SetOnShowHint(const TShowHintEvent& e) { FOnShowHint = e; }
  const THelpEvent& OnHelp() const { return FOnHelp; }
  void SetOnHelp(const THelpEvent& e) { FOnHelp = e; }

  // Bookkeeping calls from controls and forms going away.
  void ControlDestroying(TControl* control);
  void FormDestroying(TCustomForm* form);
  void ReleaseLater(TCustomForm* form);

protected:
  void Notification(TComponent* component, TOperation operation) override;

private:
  bool ProcessMessage(MSG& msg);
  void Idle();
  bool IsKeyMsg(MSG& msg);
  bool IsMDIMsg(MSG& msg);
  void DoMouseIdle();
  void WndProc(TMessage& message);
  void StartHintTimer(int ms);
  void StopHintTimer();

  HWND FHandle = nullptr;
  TCustomForm* FMainForm = nullptr;
  bool FShowMainForm = true;
  bool FTerminated = false;
  std::string FTitle;
  std::string FHelpFile;
  bool FShowHint = true;
  int FHintPause = 500;
  int FHintShortPause = 50;
  int FHintHidePause = 2500;
  TColor FHintColor = clInfoBk;
  std::string FHint;
  THintWindowClass FHintWindowClass = NewStandardHintWindow;
  THintWindow* FHintWindow = nullptr;
  TControl* FHintControl = nullptr;
  bool FHintActive = false;
  RECT FHintCursorRect{0, 0, 0, 0};
  TExceptionEvent FOnException;
  TIdleEvent FOnIdle;
  TMessageEvent FOnMessage;
  TNotifyEvent FOnHint;
  TShowHintEvent FOnShowHint;
  THelpEvent FOnHelp;
};

extern TApplication* Application;

// The parts of a hint before and after '|'.
std::string GetShortHint(const std::string& hint);
std::string GetLongHint(const std::string& hint);
