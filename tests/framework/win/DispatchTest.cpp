#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "framework/win/TGraphicControl.h"
#include "framework/win/TWinControl.h"

namespace {

constexpr UINT kProbe = WM_USER + 300;
constexpr UINT kThrow = WM_USER + 301;

std::vector<std::string> gLog;

LRESULT CALLBACK NativeProbeProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == kProbe) {
    gLog.push_back("native");
    return 42;
  }
  return DefWindowProcA(window, msg, wParam, lParam);
}

void RegisterNativeProbeClass() {
  WNDCLASSA wc{};
  if (GetClassInfoA(GetModuleHandleA(nullptr), "TestNativeProbe", &wc)) return;
  wc.lpfnWndProc = NativeProbeProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "TestNativeProbe";
  RegisterClassA(&wc);
}

// Logs each stage of the dispatch chain for the probe message; the native class it wraps
// answers the probe with 42.
class TProbeControl : public TWinControl {
public:
  explicit TProbeControl(TComponent* owner) : TWinControl(owner) { SetBounds(10, 10, 80, 30); }

  void WndProc(TMessage& m) override {
    if (m.Msg == kProbe) gLog.push_back("WndProc");
    TWinControl::WndProc(m);
  }
  void Dispatch(TMessage& m) override {
    if (m.Msg == kProbe) gLog.push_back("Dispatch");
    if (m.Msg == kThrow) throw Exception("boom from a handler");
    if (m.Msg == CN_COMMAND) gLog.push_back("CN_COMMAND " + std::to_string(HIWORD(m.WParam)));
    TWinControl::Dispatch(m);
  }
  void DefaultHandler(TMessage& m) override {
    if (m.Msg == kProbe) gLog.push_back("DefaultHandler");
    TWinControl::DefaultHandler(m);
  }

protected:
  void CreateParams(TCreateParams& params) override {
    TWinControl::CreateParams(params);
    RegisterNativeProbeClass();
    CreateSubClass(params, "TestNativeProbe");
  }
};

class TCheckBoxControl : public TWinControl {
public:
  explicit TCheckBoxControl(TComponent* owner) : TWinControl(owner) { SetBounds(10, 50, 100, 20); }
  void Dispatch(TMessage& m) override {
    if (m.Msg == CN_COMMAND) gLog.push_back("CN_COMMAND " + std::to_string(HIWORD(m.WParam)));
    TWinControl::Dispatch(m);
  }

protected:
  void CreateParams(TCreateParams& params) override {
    TWinControl::CreateParams(params);
    CreateSubClass(params, "BUTTON");
    params.Style |= BS_AUTOCHECKBOX;
  }
};

struct THook {
  TWndMethod Old;
  void Proc(TMessage& m) {
    if (m.Msg == kProbe) gLog.push_back("hook");
    Old(m);
  }
};

class DispatchTest : public ::testing::Test {
protected:
  void SetUp() override { gLog.clear(); }
};

TEST_F(DispatchTest, MessageRunsThroughTheChainToTheNativeProcedure) {
  auto form = Make<TTestForm>();
  auto* probe = new TProbeControl(form.get());
  probe->SetParent(form.get());
  LRESULT result = SendMessageA(probe->Handle(), kProbe, 0, 0);
  EXPECT_EQ(result, 42);
  EXPECT_EQ(gLog, (std::vector<std::string>{"WndProc", "Dispatch", "DefaultHandler", "native"}));
}

TEST_F(DispatchTest, ReplacedWindowProcRunsFirstAndCanBeRecognisedAndRestored) {
  auto form = Make<TTestForm>();
  auto* probe = new TProbeControl(form.get());
  probe->SetParent(form.get());
  const TWndMethod original = probe->WindowProc();
  // Delegates compare by object and method as the control made them: through its TControl part.
  EXPECT_EQ(original, TWndMethod(static_cast<TControl*>(probe), &TControl::WndProc));

  THook hook{original};
  probe->SetWindowProc(TWndMethod(&hook, &THook::Proc));
  EXPECT_EQ(probe->WindowProc(), TWndMethod(&hook, &THook::Proc));
  EXPECT_FALSE(probe->WindowProc() == original);
  EXPECT_EQ(SendMessageA(probe->Handle(), kProbe, 0, 0), 42);
  EXPECT_EQ(gLog.front(), "hook");

  probe->SetWindowProc(hook.Old);
  EXPECT_EQ(probe->WindowProc(), original);
  gLog.clear();
  probe->Perform(kProbe);
  EXPECT_EQ(gLog.front(), "WndProc");

  // An empty delegate also puts the control's own procedure back.
  probe->SetWindowProc(TWndMethod(&hook, &THook::Proc));
  probe->SetWindowProc(nullptr);
  EXPECT_EQ(probe->WindowProc(), original);
}

TEST_F(DispatchTest, PerformWorksWithoutAWindowAndKeepsTheTextForIt) {
  auto probe = Make<TProbeControl>(nullptr);
  EXPECT_EQ(probe->Perform(kProbe), 0);
  EXPECT_EQ(gLog, (std::vector<std::string>{"WndProc", "Dispatch", "DefaultHandler"}));
  probe->SetText("Caption before the window");
  EXPECT_EQ(probe->Text(), "Caption before the window");
  EXPECT_FALSE(probe->HandleAllocated());

  auto form = Make<TTestForm>();
  probe->SetParent(form.get());
  char buffer[64] = {};
  GetWindowTextA(probe->Handle(), buffer, sizeof buffer);
  EXPECT_STREQ(buffer, "Caption before the window");
  probe->SetParent(nullptr);
}

TEST_F(DispatchTest, SubclassedNativeControlKeepsItsBehaviourAndGetsReflectedNotifications) {
  auto form = Make<TTestForm>();
  auto* box = new TCheckBoxControl(form.get());
  box->SetParent(form.get());
  char name[64] = {};
  GetClassNameA(box->Handle(), name, sizeof name);
  EXPECT_STREQ(name, "TCheckBoxControl");
  EXPECT_EQ(box->Perform(BM_GETCHECK), BST_UNCHECKED);
  // A click goes to the native button, which checks itself and tells its parent; the parent
  // reflects the notification back to the control.
  SendMessageA(box->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(box->Perform(BM_GETCHECK), BST_CHECKED);
  EXPECT_NE(std::find(gLog.begin(), gLog.end(), "CN_COMMAND " + std::to_string(BN_CLICKED)), gLog.end());
}

TEST_F(DispatchTest, ExceptionFromAHandlerReachesHandleException) {
  TExceptionSink sink;
  auto form = Make<TTestForm>();
  auto* probe = new TProbeControl(form.get());
  probe->SetParent(form.get());
  EXPECT_EQ(SendMessageA(probe->Handle(), kThrow, 0, 0), 0);
  ASSERT_EQ(sink.Messages.size(), 1u);
  EXPECT_EQ(sink.Messages[0], "boom from a handler");
  // The window still works afterwards.
  EXPECT_EQ(SendMessageA(probe->Handle(), kProbe, 0, 0), 42);
}

// Records mouse enter and leave under its name.
template <typename Base>
class THoverRecorder : public Base {
public:
  THoverRecorder(TComponent* owner, const std::string& name) : Base(owner) { this->SetName(name); }
  void Dispatch(TMessage& m) override {
    if (m.Msg == CM_MOUSEENTER) gLog.push_back("enter " + this->Name());
    if (m.Msg == CM_MOUSELEAVE) gLog.push_back("leave " + this->Name());
    Base::Dispatch(m);
  }
};

class THoverForm : public TTestForm {
public:
  THoverForm() { SetName("form"); }
  void Dispatch(TMessage& m) override {
    if (m.Msg == CM_MOUSEENTER) gLog.push_back("enter form");
    if (m.Msg == CM_MOUSELEAVE) gLog.push_back("leave form");
    TTestForm::Dispatch(m);
  }
};

TEST_F(DispatchTest, MouseEnterAndLeaveAreSynthesisedForGraphicAndWindowedControls) {
  SetMouseControl(nullptr);
  auto form = Make<THoverForm>();
  auto* graphic = new THoverRecorder<TGraphicControl>(form.get(), "graphic");
  graphic->SetBounds(10, 10, 40, 40);
  graphic->SetParent(form.get());
  auto* windowed = new THoverRecorder<TWinControl>(form.get(), "windowed");
  windowed->SetBounds(100, 10, 40, 40);
  windowed->SetParent(form.get());
  HWND formWindow = form->Handle();
  gLog.clear();

  SendMessageA(formWindow, WM_MOUSEMOVE, 0, MAKELPARAM(20, 20));
  SendMessageA(formWindow, WM_MOUSEMOVE, 0, MAKELPARAM(25, 25));
  SendMessageA(formWindow, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  SendMessageA(windowed->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  SendMessageA(windowed->Handle(), WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(gLog, (std::vector<std::string>{"enter graphic", "leave graphic", "enter form", "leave form",
                                            "enter windowed", "leave windowed"}));
  EXPECT_EQ(MouseControl(), nullptr);
}

TEST_F(DispatchTest, FreeingTheControlUnderTheMouseForgetsIt) {
  auto form = Make<THoverForm>();
  auto* graphic = new THoverRecorder<TGraphicControl>(form.get(), "graphic");
  graphic->SetBounds(10, 10, 40, 40);
  graphic->SetParent(form.get());
  SendMessageA(form->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(20, 20));
  EXPECT_EQ(MouseControl(), graphic);
  graphic->Free();
  EXPECT_EQ(MouseControl(), nullptr);
  gLog.clear();
  SendMessageA(form->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(20, 20));
  EXPECT_EQ(gLog, (std::vector<std::string>{"enter form"}));
}

// Runs a step inside the control's own handler of a message, as a paint or a command would.
struct TInside {
  TWndMethod Old;
  UINT Msg;
  std::function<void()> Step;
  void Proc(TMessage& m) {
    if (m.Msg == Msg && Step) {
      const std::function<void()> step = std::move(Step);
      Step = nullptr;
      step();
    }
    Old(m);
  }
};

// Focused answers from one look at the platform for a stretch of handlers; a move of the focus,
// made by a handler or to a window of no control, is seen at once.
TEST_F(DispatchTest, FocusedFollowsTheFocusMovedInsideAHandler) {
  auto form = Make<TTestForm>();
  auto* a = new TProbeControl(form.get());
  a->SetParent(form.get());
  auto* b = new TProbeControl(form.get());
  b->SetBounds(100, 10, 80, 30);
  b->SetParent(form.get());
  form->Show();
  Pump();
  HWND native = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 200, 10, 80, 24, form->Handle(), nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(native, nullptr);
  ::SetFocus(a->Handle());
  std::vector<bool> seen;
  const auto look = [&] {
    seen.push_back(a->Focused());
    seen.push_back(b->Focused());
  };
  for (UINT msg : {kProbe, UINT(WM_PAINT)}) {
    seen.clear();
    ::SetFocus(a->Handle());
    TInside inside{a->WindowProc(), msg, [&] {
                     look();
                     ::SetFocus(b->Handle());
                     look();
                     ::SetFocus(native);
                     look();
                     ::SetFocus(a->Handle());
                     look();
                   }};
    a->SetWindowProc(TWndMethod(&inside, &TInside::Proc));
    if (msg == WM_PAINT) {
      InvalidateRect(a->Handle(), nullptr, TRUE);
      UpdateWindow(a->Handle());
    } else {
      SendMessageA(a->Handle(), msg, 0, 0);
    }
    a->SetWindowProc(inside.Old);
    EXPECT_EQ(seen, (std::vector<bool>{true, false, false, true, false, false, true, false})) << MessageName(msg);
  }
  // Outside any handler the answers follow the focus as well: to a window of no control and back,
  // and away from a focused window that goes.
  const auto focused = [&] { return std::vector<bool>{a->Focused(), b->Focused()}; };
  ::SetFocus(b->Handle());
  EXPECT_EQ(focused(), (std::vector<bool>{false, true}));
  ::SetFocus(native);
  EXPECT_EQ(focused(), (std::vector<bool>{false, false}));
  ::SetFocus(a->Handle());
  EXPECT_EQ(focused(), (std::vector<bool>{true, false}));
  DestroyWindow(native);
  DestroyWindow(a->Handle());
  EXPECT_EQ(focused(), (std::vector<bool>{false, false}));
  ::SetFocus(a->Handle());
  EXPECT_EQ(focused(), (std::vector<bool>{true, false}));
}

// The control of a window is found until the window goes: a new window of the same control takes
// over, and a window of no control, or of a control freed, finds none.
TEST_F(DispatchTest, AWindowFindsItsControlWhileItLives) {
  auto form = Make<TTestForm>();
  auto* probe = new TProbeControl(form.get());
  probe->SetParent(form.get());
  HWND first = probe->Handle();
  EXPECT_EQ(FindControl(first), probe);
  EXPECT_EQ(FindControl(form->Handle()), form.get());
  probe->RecreateWnd();
  HWND second = probe->Handle();
  ASSERT_NE(second, first);
  EXPECT_EQ(FindControl(first), nullptr);
  EXPECT_EQ(FindControl(second), probe);
  // A message to the window still reaches the control.
  EXPECT_EQ(SendMessageA(second, kProbe, 0, 0), 42);
  probe->Free();
  EXPECT_EQ(FindControl(second), nullptr);
  HWND native = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 10, 10, form->Handle(), nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  EXPECT_EQ(FindControl(native), nullptr);
  EXPECT_EQ(FindControl(nullptr), nullptr);
  DestroyWindow(native);
}

TEST(MessageNames, KnowsPlatformAndFrameworkMessages) {
  EXPECT_EQ(MessageName(WM_PAINT), "WM_PAINT");
  EXPECT_EQ(MessageName(CM_MOUSEENTER), "CM_MOUSEENTER");
  EXPECT_EQ(MessageName(CN_DRAWITEM), "CN_DRAWITEM");
  EXPECT_EQ(MessageName(0x7FFF), "$7FFF");
  // The portable table spells out the numbers; every framework message must find its own name.
#define N(m) std::pair<UINT, const char*>(m, #m)
  // clang-format off
  const std::pair<UINT, const char*> framework[] = {
      N(CM_ACTIVATE), N(CM_DEACTIVATE), N(CM_ENABLEDCHANGED), N(CM_COLORCHANGED), N(CM_FONTCHANGED),
      N(CM_CURSORCHANGED), N(CM_PARENTFONTCHANGED), N(CM_PARENTCOLORCHANGED), N(CM_HITTEST),
      N(CM_VISIBLECHANGED), N(CM_ENTER), N(CM_EXIT), N(CM_MENUCHANGED), N(CM_CTL3DCHANGED),
      N(CM_PARENTCTL3DCHANGED), N(CM_TEXTCHANGED), N(CM_MOUSEENTER), N(CM_MOUSELEAVE), N(CM_CANCELMODE),
      N(CM_DIALOGKEY), N(CM_DIALOGCHAR), N(CM_FOCUSCHANGED), N(CM_PARENTSHOWHINTCHANGED),
      N(CM_SHOWHINTCHANGED), N(CM_SHOWINGCHANGED), N(CM_HINTSHOW), N(CM_ACTIONUPDATE), N(CM_RECREATEWND),
      N(CM_INVALIDATE), N(CM_CONTROLLISTCHANGE), N(CM_CHANGED), N(CM_RELEASE), N(CM_BIDIMODECHANGED),
      N(CM_PARENTBIDIMODECHANGED), N(CM_MOUSEWHEEL), N(CN_CHARTOITEM), N(CN_COMMAND), N(CN_COMPAREITEM),
      N(CN_CTLCOLORBTN), N(CN_CTLCOLORDLG), N(CN_CTLCOLOREDIT), N(CN_CTLCOLORLISTBOX), N(CN_CTLCOLORMSGBOX),
      N(CN_CTLCOLORSCROLLBAR), N(CN_CTLCOLORSTATIC), N(CN_DELETEITEM), N(CN_DRAWITEM), N(CN_HSCROLL),
      N(CN_MEASUREITEM), N(CN_PARENTNOTIFY), N(CN_VKEYTOITEM), N(CN_VSCROLL), N(CN_KEYDOWN), N(CN_KEYUP),
      N(CN_CHAR), N(CN_SYSKEYDOWN), N(CN_SYSCHAR), N(CN_NOTIFY)};
  // clang-format on
#undef N
  for (const auto& [msg, name] : framework) EXPECT_EQ(MessageName(msg), name);
}

// Posts a CJK character to the edit while the loop has only peeked at the ANSI window's paint.
HWND gCharTarget = nullptr;
bool gCharPosted = false;
LRESULT CALLBACK PostCharWhilePaintIsPeeked(int code, WPARAM removal, LPARAM data) {
  const MSG* msg = reinterpret_cast<const MSG*>(data);
  if (code == HC_ACTION && removal == PM_NOREMOVE && msg->message == WM_PAINT && !gCharPosted) {
    gCharPosted = true;
    PostMessageW(gCharTarget, WM_CHAR, 0x4E2D, 1);
  }
  return CallNextHookEx(nullptr, code, removal, data);
}

TEST(MessageLoop, ACharacterPostedBetweenPeekAndRemovalReachesAUnicodeWindowWhole) {
  RegisterNativeProbeClass();
  HWND painted = CreateWindowExA(0, "TestNativeProbe", "", WS_POPUP | WS_VISIBLE, 0, 0, 40, 40, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
  HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_POPUP | WS_VISIBLE, 50, 0, 100, 20, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  ASSERT_TRUE(painted && edit);
  ASSERT_FALSE(IsWindowUnicode(painted));
  Application->ProcessMessages();
  InvalidateRect(painted, nullptr, TRUE);
  gCharTarget = edit;
  gCharPosted = false;
  HHOOK hook = SetWindowsHookExW(WH_GETMESSAGE, PostCharWhilePaintIsPeeked, nullptr, GetCurrentThreadId());
  Application->ProcessMessages();
  UnhookWindowsHookEx(hook);
  wchar_t text[8] = {};
  GetWindowTextW(edit, text, 8);
  EXPECT_TRUE(gCharPosted);
  EXPECT_EQ(std::wstring(text), L"\x4E2D");
  DestroyWindow(edit);
  DestroyWindow(painted);
}

}  // namespace

// An action a test left to run later ends with that test: the next one, pumping past its time,
// does not run it. (The two run in this order.)
namespace {
bool gLeftActionRan = false;
}

TEST(LaterActions, ATestLeavesAnActionPending) {
  gLeftActionRan = false;
  RunLater(30, [] { gLeftActionRan = true; });
  RunLater(0, [] {});
  PumpUntil([] { return false; }, 5);
}

TEST(LaterActions, TheNextTestDoesNotRunIt) {
  bool ran = false;
  RunLater(100, [&] { ran = true; });
  EXPECT_TRUE(PumpUntil([&] { return ran; }, 2000));
  EXPECT_FALSE(gLeftActionRan);
}
