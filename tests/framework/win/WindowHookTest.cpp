#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "framework/win/TWindowHook.h"

namespace {

constexpr UINT kThrowStd = WM_APP + 1, kThrowOther = WM_APP + 2, kFreeHook = WM_APP + 3;

std::vector<std::string> gSeen;

// A method for a hook: logs the messages it is asked about by name, throws or frees its hook on
// request (after passing the message on), and passes everything on.
class TRecorder : public TObject {
public:
  explicit TRecorder(std::string name) : Name(std::move(name)) {}
  void Proc(TMessage& message) {
    if (message.Msg == WM_SETTEXT || message.Msg >= WM_APP) gSeen.push_back(Name);
    if (message.Msg == kThrowStd) throw std::runtime_error("thrown by " + Name);
    if (message.Msg == kThrowOther) throw 42;
    Hook->CallDefault(message);
    if (message.Msg == kFreeHook && FreeOnRequest) Hook.reset();
  }
  std::string Name;
  bool FreeOnRequest = false;
  std::unique_ptr<TWindowHook> Hook;
};

// A native edit the framework did not make, on a hidden form.
class WindowHook : public ::testing::Test {
protected:
  void SetUp() override {
    gSeen.clear();
    Form = Make<TTestForm>();
    Edit = CreateWindowExA(0, "EDIT", "", WS_CHILD, 0, 0, 100, 20, Form->Handle(), nullptr, GetModuleHandleA(nullptr),
                           nullptr);
    ASSERT_NE(Edit, nullptr);
    NativeProc = GetWindowLongPtrA(Edit, GWLP_WNDPROC);
  }
  void TearDown() override {
    if (IsWindow(Edit)) DestroyWindow(Edit);
  }

  void Install(TRecorder& recorder) {
    recorder.Hook = std::make_unique<TWindowHook>(TWndMethod(&recorder, &TRecorder::Proc), &recorder);
    recorder.Hook->Hook(Edit);
  }
  // The edit still keeps and answers its text.
  void ExpectEditWorks(const char* text) {
    SetWindowTextA(Edit, text);
    char back[32] = {};
    GetWindowTextA(Edit, back, sizeof back);
    EXPECT_STREQ(back, text);
  }

  TOwned<TTestForm> Form;
  HWND Edit = nullptr;
  LONG_PTR NativeProc = 0;
};

TEST_F(WindowHook, HooksComeOffInEitherOrderAndTheNativeProcedureComesBack) {
  for (bool firstOut : {true, false}) {
    SCOPED_TRACE(firstOut ? "first hook removed first" : "second hook removed first");
    gSeen.clear();
    TRecorder a("a"), b("b");
    Install(a);
    Install(b);
    ExpectEditWorks("both");
    // The newest hook sees a message first.
    EXPECT_EQ(gSeen, (std::vector<std::string>{"b", "a"}));
    TRecorder& gone = firstOut ? a : b;
    TRecorder& left = firstOut ? b : a;
    gone.Hook->Unhook();
    EXPECT_EQ(gone.Hook->Window(), nullptr);
    gSeen.clear();
    ExpectEditWorks("one");
    EXPECT_EQ(gSeen, std::vector<std::string>{left.Name});
    // Freeing unhooks too.
    left.Hook.reset();
    gSeen.clear();
    ExpectEditWorks("none");
    EXPECT_TRUE(gSeen.empty());
    EXPECT_EQ(GetWindowLongPtrA(Edit, GWLP_WNDPROC), NativeProc);
  }
}

TEST_F(WindowHook, AnExceptionFromTheMethodReachesTheApplication) {
  TRecorder a("a"), b("b");
  Install(a);
  Install(b);
  {
    TExceptionSink sink;
    EXPECT_EQ(SendMessageA(Edit, kThrowStd, 0, 0), 0);
    EXPECT_EQ(SendMessageA(Edit, kThrowOther, 0, 0), 0);
    EXPECT_EQ(sink.Messages, (std::vector<std::string>{"thrown by b", "Unknown exception"}));
  }
  // The throw ended the message at b; both hooks and the edit carry on.
  EXPECT_EQ(gSeen, (std::vector<std::string>{"b", "b"}));
  gSeen.clear();
  ExpectEditWorks("after");
  EXPECT_EQ(gSeen, (std::vector<std::string>{"b", "a"}));
}

TEST_F(WindowHook, AHookFreedByItsOwnMethodOrOutlivingItsWindowLetsGo) {
  TRecorder a("a"), b("b");
  Install(a);
  Install(b);
  // b frees its hook while handling a message that a still sees.
  b.FreeOnRequest = true;
  SendMessageA(Edit, kFreeHook, 0, 0);
  EXPECT_EQ(b.Hook, nullptr);
  EXPECT_EQ(gSeen, (std::vector<std::string>{"b", "a"}));
  gSeen.clear();
  ExpectEditWorks("freed");
  EXPECT_EQ(gSeen, std::vector<std::string>{"a"});
  DestroyWindow(Edit);
  EXPECT_EQ(a.Hook->Window(), nullptr);
  a.Hook.reset();
}

}  // namespace
