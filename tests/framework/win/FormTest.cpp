#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "TestSupport.h"
#include "framework/win/TMainMenu.h"
#include "framework/win/TScreen.h"
#include "framework/win/TTimer.h"
#include "framework/win/TWinControl.h"

namespace {

// A push button as far as the form's keyboard handling needs one: Enter clicks the default
// button, Escape the cancel button, and a click sets the form's modal result.
class TPushButton : public TWinControl {
public:
  TPushButton(TComponent* owner, const std::string& caption, TModalResult result) : TWinControl(owner) {
    SetText(caption);
    SetTabStop(true);
    FResult = result;
    SetBounds(10, 10, 80, 25);
  }
  bool Default = false;
  bool Cancel = false;
  int Clicks = 0;

  void Click() override {
    ++Clicks;
    if (TCustomForm* form = GetParentForm(this)) form->SetModalResult(FResult);
    TWinControl::Click();
  }
  void Dispatch(TMessage& m) override {
    if (m.Msg == CM_DIALOGKEY) {
      WORD key = WORD(m.WParam);
      if (((key == VK_RETURN && Default) || (key == VK_ESCAPE && Cancel)) && CanFocus()) {
        Click();
        m.Result = 1;
        return;
      }
    }
    if (m.Msg == CN_COMMAND && HIWORD(m.WParam) == BN_CLICKED) {
      Click();
      return;
    }
    TWinControl::Dispatch(m);
  }

protected:
  void CreateParams(TCreateParams& params) override {
    TWinControl::CreateParams(params);
    CreateSubClass(params, "BUTTON");
    params.Style |= BS_PUSHBUTTON;
  }

private:
  TModalResult FResult;
};

class TDialog : public TTestForm {
public:
  TDialog() {
    SetBorderStyle(bsDialog);
    Ok = new TPushButton(this, "OK", mrOk);
    Ok->Default = true;
    Ok->SetParent(this);
    Cancel = new TPushButton(this, "Cancel", mrCancel);
    Cancel->Cancel = true;
    Cancel->SetLeft(100);
    Cancel->SetParent(this);
  }
  TPushButton* Ok;
  TPushButton* Cancel;
};

// Sends a key the way a user's key press arrives: posted to the focused window.
void PostKey(WORD key) {
  HWND target = GetFocus();
  PostMessageA(target, WM_KEYDOWN, key, 1);
  PostMessageA(target, WM_KEYUP, key, 0xC0000001);
}

TEST(Form, EnterPressesTheDefaultButtonAndEndsTheModalLoop) {
  auto dialog = Make<TDialog>();
  RunLater(50, [] { PostKey(VK_RETURN); });
  EXPECT_EQ(dialog->ShowModal(), mrOk);
  EXPECT_EQ(dialog->Ok->Clicks, 1);
  EXPECT_FALSE(dialog->Visible());
}

TEST(Form, EscapePressesTheCancelButton) {
  auto dialog = Make<TDialog>();
  RunLater(50, [] { PostKey(VK_ESCAPE); });
  EXPECT_EQ(dialog->ShowModal(), mrCancel);
  EXPECT_EQ(dialog->Cancel->Clicks, 1);
  EXPECT_EQ(dialog->Ok->Clicks, 0);
}

TEST(Form, KeyPreviewLetsTheFormEatAKeyBeforeItsControls) {
  auto dialog = Make<TDialog>();
  struct TPreview {
    int Seen = 0;
    void KeyDown(TObject*, WORD& key, TShiftState) {
      if (key == VK_RETURN) {
        ++Seen;
        key = 0;
      }
    }
  } preview;
  dialog->SetKeyPreview(true);
  dialog->SetOnKeyDown(TKeyEvent(&preview, &TPreview::KeyDown));
  RunLater(50, [] { PostKey(VK_RETURN); });
  RunLater(200, [&] { dialog->SetModalResult(mrIgnore); });
  EXPECT_EQ(dialog->ShowModal(), mrIgnore);
  EXPECT_EQ(preview.Seen, 1);
  EXPECT_EQ(dialog->Ok->Clicks, 0);
}

TEST(Form, UnhandledExceptionsShowAStopBoxTitledWithTheApplicationTitle) {
  std::string title = Application->Title();
  Application->SetTitle("Tarvex test");
  std::string seenTitle, seenText;
  bool stopIcon = false;
  RunLater(100, [&] {
    HWND box = FindWindowA("#32770", "Tarvex test");
    if (box == nullptr) return;
    char text[256] = {};
    GetWindowTextA(box, text, sizeof text);
    seenTitle = text;
    // The message is the box's static text; the stop icon is a static control showing an icon.
    for (HWND child = GetWindow(box, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
      char cls[32] = {};
      GetClassNameA(child, cls, sizeof cls);
      if (std::string(cls) != "Static") continue;
      if (GetWindowLongPtrA(child, GWL_STYLE) & SS_ICON) {
        stopIcon = SendMessageA(child, STM_GETICON, 0, 0) != 0;
      } else if (GetWindowTextA(child, text, sizeof text) > 0) {
        seenText = text;
      }
    }
    PostMessageA(box, WM_COMMAND, IDOK, 0);
  });
  Application->HandleException(nullptr, Exception("Disk full"));
  Application->SetTitle(title);
  EXPECT_EQ(seenTitle, "Tarvex test");
  EXPECT_EQ(seenText, "Disk full.");
  EXPECT_TRUE(stopIcon);
}

TEST(Form, TabMovesTheFocusInTabOrder) {
  auto dialog = Make<TDialog>();
  TWinControl* focusedAfterTab = nullptr;
  TWinControl* activeAfterTab = nullptr;
  RunLater(50, [] { PostKey(VK_TAB); });
  RunLater(150, [&] {
    focusedAfterTab = FindControl(GetFocus());
    activeAfterTab = dialog->ActiveControl();
    dialog->SetModalResult(mrAbort);
  });
  EXPECT_EQ(dialog->ShowModal(), mrAbort);
  EXPECT_EQ(focusedAfterTab, dialog->Cancel);
  EXPECT_EQ(activeAfterTab, dialog->Cancel);
}

TEST(Form, EnterAndExitFollowTheFocus) {
  auto dialog = Make<TDialog>();
  std::vector<std::string> log;
  struct TLog {
    std::vector<std::string>* Log;
    void Enter(TObject* s) { Log->push_back("enter " + static_cast<TControl*>(s)->Text()); }
    void Exit(TObject* s) { Log->push_back("exit " + static_cast<TControl*>(s)->Text()); }
  } recorder{&log};
  for (TPushButton* b : {dialog->Ok, dialog->Cancel}) {
    b->SetOnEnter(TNotifyEvent(&recorder, &TLog::Enter));
    b->SetOnExit(TNotifyEvent(&recorder, &TLog::Exit));
  }
  dialog->Show();
  Pump();
  dialog->Cancel->SetFocus();
  dialog->Ok->SetFocus();
  ASSERT_GE(log.size(), 3u);
  EXPECT_EQ(std::vector<std::string>(log.end() - 3, log.end()),
            (std::vector<std::string>{"enter Cancel", "exit Cancel", "enter OK"}));
  dialog->Ok->SetVisible(false);
  EXPECT_FALSE(dialog->Ok->CanFocus());
  EXPECT_THROW(dialog->Ok->SetFocus(), EInvalidOperation);
  dialog->Hide();
}

TEST(Form, CloseAsksCloseQueryAndReleaseFreesLater) {
  struct THandlers {
    bool Allow = false;
    int Queries = 0;
    TCloseAction Action = caFree;
    void Query(TObject*, bool& canClose) {
      ++Queries;
      canClose = Allow;
    }
    void Close(TObject*, TCloseAction& action) { action = Action; }
  } handlers;
  auto* form = NewComponent<TTestForm>();
  struct TGone : TComponent {
    using TComponent::TComponent;
    bool Gone = false;
    void Notification(TComponent* c, TOperation op) override {
      TComponent::Notification(c, op);
      if (op == TOperation::Remove && c != this) Gone = true;
    }
  };
  auto watcher = Make<TGone>(nullptr);
  form->FreeNotification(watcher.get());
  form->SetOnCloseQuery(TCloseQueryEvent(&handlers, &THandlers::Query));
  form->SetOnClose(TCloseEvent(&handlers, &THandlers::Close));
  form->Show();
  form->Close();
  EXPECT_EQ(handlers.Queries, 1);
  EXPECT_TRUE(form->Visible());
  handlers.Allow = true;
  form->Close();
  // caFree: still there until the messages waiting now are handled.
  EXPECT_FALSE(watcher->Gone);
  Pump();
  EXPECT_TRUE(watcher->Gone);
}

TEST(Form, BorderStylesAndIconsMapToWindowStyles) {
  auto form = Make<TTestForm>();
  auto styles = [&] {
    HWND h = form->Handle();
    return std::make_pair(DWORD(GetWindowLongPtrA(h, GWL_STYLE)), DWORD(GetWindowLongPtrA(h, GWL_EXSTYLE)));
  };
  auto [style, ex] = styles();
  EXPECT_TRUE(style & WS_THICKFRAME);
  EXPECT_TRUE(style & WS_MAXIMIZEBOX);
  EXPECT_TRUE(style & WS_SYSMENU);
  form->SetBorderStyle(bsDialog);
  std::tie(style, ex) = styles();
  EXPECT_FALSE(style & WS_THICKFRAME);
  EXPECT_FALSE(style & (WS_MAXIMIZEBOX | WS_MINIMIZEBOX));
  EXPECT_TRUE(ex & WS_EX_DLGMODALFRAME);
  form->SetBorderIcons(biSystemMenu | biHelp);
  std::tie(style, ex) = styles();
  EXPECT_TRUE(ex & WS_EX_CONTEXTHELP);
  form->SetBorderStyle(bsSizeToolWin);
  std::tie(style, ex) = styles();
  EXPECT_TRUE(ex & WS_EX_TOOLWINDOW);
  EXPECT_TRUE(style & WS_THICKFRAME);
  form->SetBorderStyle(bsNone);
  std::tie(style, ex) = styles();
  EXPECT_FALSE(style & WS_CAPTION);
  form->SetFormStyle(fsStayOnTop);
  std::tie(style, ex) = styles();
  EXPECT_TRUE(ex & WS_EX_TOPMOST);
}

TEST(Form, ScreenCenterPlacesTheFormOnFirstShow) {
  auto form = Make<TTestForm>();
  form->SetPosition(poScreenCenter);
  form->SetBounds(0, 0, 200, 100);
  form->Show();
  EXPECT_EQ(form->Left(), (GetSystemMetrics(SM_CXSCREEN) - 200) / 2);
  EXPECT_EQ(form->Top(), (GetSystemMetrics(SM_CYSCREEN) - 100) / 2);
  form->Hide();
}

// Centred over a form at the screen's corner, a larger form would put its caption off screen.
TEST(Form, OwnerCenterKeepsTheFormInsideTheWorkArea) {
  RECT work{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  auto owner = Make<TTestForm>();
  owner->SetBounds(work.left, work.top, 200, 100);
  auto form = Make<TTestForm>(owner.get());
  form->SetPosition(poOwnerFormCenter);
  form->SetBounds(0, 0, 600, 400);
  form->Show();
  RECT r;
  GetWindowRect(form->Handle(), &r);
  EXPECT_EQ(r.left, work.left);
  EXPECT_EQ(r.top, work.top);
  form->Hide();
  // A form that fits stays centred over its owner.
  auto small = Make<TTestForm>(owner.get());
  small->SetPosition(poOwnerFormCenter);
  owner->SetBounds(work.left + 300, work.top + 300, 200, 100);
  small->SetBounds(0, 0, 100, 50);
  small->Show();
  EXPECT_EQ(small->Left(), work.left + 350);
  EXPECT_EQ(small->Top(), work.top + 325);
  small->Hide();
}

TEST(Form, ClientSizeWithoutAWindowMatchesTheWindow) {
  auto form = Make<TTestForm>();
  form->SetClientWidth(300);
  form->SetClientHeight(200);
  RECT before = form->ClientRect();
  form->HandleNeeded();
  RECT r;
  GetClientRect(form->Handle(), &r);
  EXPECT_EQ(r.right, before.right);
  EXPECT_EQ(r.bottom, before.bottom);
  EXPECT_EQ(r.right, 300);
}

// The form's scroll bars: a child past the client area scrolls it by Increment per line; a hidden
// bar takes no range and scrolls the children back; a Range past the children scrolls further.
TEST(Form, ScrollBarsFollowVisibleRangeAndIncrement) {
  auto form = Make<TTestForm>();
  form->SetClientWidth(200);
  form->SetClientHeight(150);
  auto* low = new TWinControl(form.get());
  low->SetBounds(10, 300, 50, 40);
  low->SetParent(form.get());
  form->HandleNeeded();
  HWND h = form->Handle();
  auto range = [h](int bar) {
    SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE, 0, 0, 0, 0, 0};
    GetScrollInfo(h, bar, &si);
    return si.nPage == 0 ? 0 : si.nMax + 1;
  };
  EXPECT_EQ(range(SB_VERT), 340);
  EXPECT_EQ(range(SB_HORZ), 0);

  form->VertScrollBar()->SetIncrement(30);
  SendMessageA(h, WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(form->VertScrollBar()->Position(), 30);
  EXPECT_EQ(low->Top(), 270);
  form->VertScrollBar()->SetPosition(100);
  EXPECT_EQ(low->Top(), 200);

  form->VertScrollBar()->SetVisible(false);
  EXPECT_EQ(range(SB_VERT), 0);
  EXPECT_EQ(form->VertScrollBar()->Position(), 0);
  EXPECT_EQ(low->Top(), 300);

  form->VertScrollBar()->SetVisible(true);
  form->HorzScrollBar()->SetRange(500);
  EXPECT_EQ(range(SB_HORZ), 500);
  form->HorzScrollBar()->SetPosition(1000);  // held at the end of the range
  EXPECT_EQ(form->HorzScrollBar()->Position(), 500 - form->ClientWidth());
  EXPECT_EQ(low->Left(), 10 - form->HorzScrollBar()->Position());
}

TEST(Form, FormsAreListedOnTheScreen) {
  int before = Screen->FormCount();
  {
    auto form = Make<TTestForm>();
    EXPECT_EQ(Screen->FormCount(), before + 1);
  }
  EXPECT_EQ(Screen->FormCount(), before);
}

class TMdiFrame : public TTestForm {
public:
  explicit TMdiFrame(TComponent* owner) : TTestForm(owner) { SetFormStyle(fsMDIForm); }
};

class TMdiChild : public TTestForm {
public:
  explicit TMdiChild(TComponent* owner) : TTestForm(owner) {
    SetBounds(0, 0, 150, 100);
    SetFormStyle(fsMDIChild);
  }
};

TEST(Form, MdiFormHasAClientWindowAndKnowsItsActiveChild) {
  ASSERT_EQ(Application->MainForm(), nullptr);
  TMdiFrame* frame = nullptr;
  Application->CreateForm(frame);
  EXPECT_EQ(Application->MainForm(), frame);
  ASSERT_NE(frame->ClientHandle(), nullptr);
  frame->Show();
  TMdiChild* child = nullptr;
  Application->CreateForm(child);
  Pump();
  EXPECT_TRUE(child->Visible());
  EXPECT_EQ(GetParent(child->Handle()), frame->ClientHandle());
  EXPECT_EQ(frame->ActiveMDIChild(), child);
  EXPECT_EQ(frame->MDIChildCount(), 1);
  EXPECT_EQ(frame->MDIChildren(0), child);
  child->Free();
  EXPECT_EQ(frame->MDIChildCount(), 0);
  frame->Free();
  EXPECT_EQ(Application->MainForm(), nullptr);
}

// A freed child leaves through the client: the next child becomes the active one, maximized when
// the freed one was, and with the last one gone there is no active child.
TEST(Form, AFreedMdiChildHandsTheActivationToTheNext) {
  TMdiFrame* frame = nullptr;
  Application->CreateForm(frame);
  frame->Show();
  TMdiChild* first = nullptr;
  TMdiChild* second = nullptr;
  Application->CreateForm(first);
  Application->CreateForm(second);
  Pump();
  ASSERT_EQ(frame->ActiveMDIChild(), second);
  SendMessageA(second->Handle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  ASSERT_TRUE(IsZoomed(second->Handle()));
  second->Free();
  Pump();
  EXPECT_EQ(frame->ActiveMDIChild(), first);
  EXPECT_TRUE(IsZoomed(first->Handle()));
  first->Free();
  Pump();
  EXPECT_EQ(frame->ActiveMDIChild(), nullptr);
  EXPECT_EQ(SendMessageA(frame->ClientHandle(), WM_MDIGETACTIVE, 0, 0), 0);
  frame->Free();
}

namespace {

void AddTopItem(TMainMenu* menu, const char* caption, uint8_t group) {
  auto* item = NewComponent<TMenuItem>(menu);
  item->SetCaption(caption);
  item->SetGroupIndex(group);
  menu->Items()->Add(item);
}

std::vector<std::string> MenuBarTexts(HWND window) {
  std::vector<std::string> texts;
  HMENU bar = GetMenu(window);
  for (int i = 0; bar != nullptr && i < GetMenuItemCount(bar); ++i) {
    char text[64] = "";
    GetMenuStringA(bar, UINT(i), text, sizeof text, MF_BYPOSITION);
    if (text[0] != '\0') texts.emplace_back(text);  // the maximized child's own entries have none
  }
  return texts;
}

}  // namespace

// The active MDI child's menu shows in its frame's menu bar by group: an item of the frame's group
// is replaced, the others stand in group order; changes to the child's menu show at once; the
// frame's own items come back when the child goes.
TEST(Form, ActiveMdiChildMenuMergesIntoTheFramesByGroup) {
  TMdiFrame* frame = nullptr;
  Application->CreateForm(frame);
  auto* frameMenu = NewComponent<TMainMenu>(frame);
  AddTopItem(frameMenu, "&File", 0);
  AddTopItem(frameMenu, "&Tools", 5);
  AddTopItem(frameMenu, "&Window", 9);
  frame->SetMenu(frameMenu);
  frame->Show();
  TMdiChild* child = nullptr;
  Application->CreateForm(child);
  auto* childMenu = NewComponent<TMainMenu>(child);
  AddTopItem(childMenu, "&Document", 0);
  AddTopItem(childMenu, "&Edit", 3);
  child->SetMenu(childMenu);
  Pump();
  HWND h = frame->Handle();
  EXPECT_EQ(MenuBarTexts(h), (std::vector<std::string>{"&Document", "&Edit", "&Tools", "&Window"}));

  AddTopItem(childMenu, "&Help", 12);
  Pump();
  EXPECT_EQ(MenuBarTexts(h).back(), "&Help");

  child->Free();
  Pump();
  EXPECT_EQ(frameMenu->Merged(), nullptr);
  EXPECT_EQ(MenuBarTexts(h), (std::vector<std::string>{"&File", "&Tools", "&Window"}));
  frame->Free();
}

TEST(Form, HelpGoesThroughOnHelp) {
  struct THelp {
    UINT Command = 0;
    ULONG_PTR Data = 0;
    bool Handle(UINT command, ULONG_PTR data, bool& callHelp) {
      Command = command;
      Data = data;
      callHelp = false;
      return true;
    }
  } help;
  Application->SetOnHelp(THelpEvent(&help, &THelp::Handle));
  Application->SetHelpFile("Tarvex.hlp");
  EXPECT_TRUE(Application->HelpContext(11));
  EXPECT_EQ(help.Command, UINT(HELP_CONTEXT));
  EXPECT_EQ(help.Data, 11u);
  EXPECT_TRUE(Application->HelpCommand(HELP_FINDER, 0));
  EXPECT_EQ(help.Command, UINT(HELP_FINDER));
  Application->SetOnHelp(nullptr);
}

// A help request names the control under it: its own context, else the nearest parent's, else the
// contents.
TEST(Form, HelpRequestsTakeTheContextOfTheControlOrItsParents) {
  std::vector<std::pair<UINT, ULONG_PTR>> calls;
  Application->SetOnHelp(THelpEvent::FromFunctor([&](UINT command, ULONG_PTR data, bool& callHelp) {
    calls.push_back({command, data});
    callHelp = false;
    return true;
  }));
  auto dialog = Make<TDialog>();
  auto* panel = new TWinControl(dialog.get());
  panel->SetBounds(0, 40, 200, 60);
  panel->SetParent(dialog.get());
  dialog->Ok->SetParent(panel);
  dialog->Show();
  Pump();
  dialog->SetHelpContext(5);
  dialog->Cancel->SetHelpContext(9);
  auto request = [&](TWinControl* control) {
    HELPINFO info{sizeof info, HELPINFO_WINDOW, 0, control->Handle(), 0, {0, 0}};
    return SendMessageA(dialog->Handle(), WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
  };
  EXPECT_EQ(request(dialog->Cancel), 1);
  EXPECT_EQ(request(dialog->Ok), 1);
  panel->SetHelpContext(7);
  EXPECT_EQ(request(dialog->Ok), 1);
  panel->SetHelpContext(0);
  dialog->SetHelpContext(0);
  EXPECT_EQ(request(dialog->Ok), 1);
  Application->SetOnHelp(THelpEvent());
  dialog->Hide();
  EXPECT_EQ(calls, (std::vector<std::pair<UINT, ULONG_PTR>>{
                       {HELP_CONTEXT, 9}, {HELP_CONTEXT, 5}, {HELP_CONTEXT, 7}, {HELP_FINDER, 0}}));
}

TEST(Form, TimerFiresInsideTheMessageLoopAndItsExceptionsReachTheApplication) {
  TExceptionSink sink;
  auto timer = Make<TTimer>(nullptr);
  struct TTick {
    int Count = 0;
    void Tick(TObject*) {
      if (++Count == 2) throw Exception("timer failed");
    }
  } tick;
  timer->SetInterval(10);
  timer->SetOnTimer(TNotifyEvent(&tick, &TTick::Tick));
  DWORD start = GetTickCount();
  while (tick.Count < 3 && GetTickCount() - start < 5000) Application->HandleMessage();
  timer->SetEnabled(false);
  EXPECT_GE(tick.Count, 3);
  ASSERT_FALSE(sink.Messages.empty());
  EXPECT_EQ(sink.Messages[0], "timer failed");
}

}  // namespace
