#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "framework/win/GdiScopes.h"
#include "framework/win/TApplication.h"
#include "framework/win/TBitmap.h"
#include "framework/win/TCanvas.h"
#include "framework/win/TCustomForm.h"
#include "framework/win/TDBGrid.h"
#include "framework/win/TMainMenu.h"
#include "framework/win/TMenuItem.h"
#include "framework/win/TPaintBox.h"
#include "framework/win/TPanel.h"
#include "skin/engine/SkinCommands.h"
#include "skin/engine/SkinUtilsWin.h"
#include "skin/engine/TsSkinManager.h"
#include "skin/engine/core/SkinTables.h"
#include "skin/engine/core/TsSkinData.h"
#include "skin/controls/TsButton.h"
#include "skin/controls/TsCheckBox.h"
#include "skin/controls/TsEdit.h"
#include "skin/controls/TsGauge.h"
#include "skin/controls/TsMDIForm.h"
#include "skin/controls/TsPanel.h"
#include "skin/controls/TsScrollBar.h"
#include "skin/controls/TsStatusBar.h"
#include "skin/windows/TsGridAdapter.h"
#include "skin/windows/TsSkinProvider.h"
#include "skin/windows/TsSkinableMenus.h"
#include "skin/windows/TsSystemMenu.h"
#include "skin/windows/TsTitleButtons.h"
#include "tests/framework/win/TGuiCensus.h"
#include "tests/framework/win/TestSupport.h"
#include "tests/skin/windows/MaximizeSupport.h"
#include "tests/skin/windows/ThickFramedForm.h"

namespace {

constexpr int kCensusCycles = 200;

// Sits behind the provider (the form's procedure before the hook) and notes what reaches it.
struct TRecorder {
  TWndMethod Next;
  std::vector<TMessage> Seen;
  bool SwallowSysCommand = true;
  bool NoteFrameChanges = false;  // WM_NCCALCSIZE too
  void Proc(TMessage& m) {
    if (m.Msg == WM_SYSCOMMAND || m.Msg == WM_NCACTIVATE || m.Msg == WM_NCLBUTTONDOWN ||
        m.Msg == WM_NCRBUTTONDOWN || (NoteFrameChanges && m.Msg == WM_NCCALCSIZE))
      Seen.push_back(m);
    if (m.Msg == WM_SYSCOMMAND && SwallowSysCommand) return;
    Next(m);
  }
  int SysCommands(unsigned command) const {
    int n = 0;
    for (const TMessage& m : Seen)
      if (m.Msg == WM_SYSCOMMAND && (m.WParam & 0xFFF0) == command) ++n;
    return n;
  }
  int Count(UINT msg) const {
    int n = 0;
    for (const TMessage& m : Seen) n += m.Msg == msg ? 1 : 0;
    return n;
  }
};

std::vector<std::uint32_t> Pixels(TBitmap& bmp, const RECT& r) {
  std::vector<std::uint32_t> out;
  for (int y = r.top; y < r.bottom; ++y) {
    const std::uint8_t* row = bmp.ScanLine(y);
    for (int x = r.left; x < r.right; ++x)
      out.push_back(row[3 * x] | (row[3 * x + 1] << 8) | (std::uint32_t(row[3 * x + 2]) << 16));
  }
  return out;
}

class SkinProviderTest : public ::testing::Test {
protected:
  void SetUp() override {
    Application->Initialize();
    Form = NewComponent<TForm>(Application);
    Form->SetBounds(60, 60, 420, 300);
    Form->SetCaption("Provider");
    Recorder.Next = Form->WindowProc();
    Form->SetWindowProc(TWndMethod(&Recorder, &TRecorder::Proc));
    Provider = NewComponent<TsSkinProvider>(Form);
    Provider->SetResizeMode(TsResizeMode::rmBorder);
    Form->Show();
    Pump();
  }
  void TearDown() override {
    Form->Free();
    if (Manager) Manager->Free();
    InstallSkinTables({});
    ::SkinData().Active = false;
    Pump();
  }
  void LoadSkin(const std::string& name) {
    if (!Manager) {
      Manager = NewComponent<TsSkinManager>(Application);
      Manager->SetSkinDirectory(TARVEX_BUNDLED_SKINS);
    }
    Manager->SetActive(true);
    Manager->SetSkinName(name);
    Pump();
    ASSERT_TRUE(Provider->Skinned());
  }
  HWND H() { return Form->Handle(); }
  RECT Window() {
    RECT r;
    GetWindowRect(H(), &r);
    return r;
  }
  // The screen point at the middle of the caption button with this code.
  POINT ButtonPoint(int code) {
    for (const TsCaptionSlot& s : Provider->CaptionSlots())
      if (s.Code == code) return {Window().left + (s.Rect.Left + s.Rect.Right) / 2, Window().top + (s.Rect.Top + s.Rect.Bottom) / 2};
    ADD_FAILURE() << "no slot " << code;
    return {};
  }
  LRESULT HitAt(POINT p) { return SendMessageA(H(), WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y)); }
  void NcClick(int downCode, int upCode) {
    SendMessageA(H(), WM_NCLBUTTONDOWN, downCode, 0);
    SendMessageA(H(), WM_NCLBUTTONUP, upCode, 0);
  }
  // The top band of the non-client area as the screen shows it, read into our bitmap.
  std::vector<std::uint32_t> ScreenTop(int height) {
    TBitmap bmp;
    bmp.SetPixelFormat(TPixelFormat::Bit24);
    bmp.SetSize(Form->Width(), height);
    HDC dc = GetWindowDC(H());
    BitBlt(bmp.Canvas()->Handle(), 0, 0, Form->Width(), height, dc, 0, 0, SRCCOPY);
    ReleaseDC(H(), dc);
    return Pixels(bmp, RECT{0, 0, Form->Width(), height});
  }
  // The client area as the screen shows it, read into our bitmap.
  std::vector<std::uint32_t> ScreenClient() {
    TBitmap bmp;
    bmp.SetPixelFormat(TPixelFormat::Bit24);
    bmp.SetSize(Form->ClientWidth(), Form->ClientHeight());
    HDC dc = GetDC(H());
    BitBlt(bmp.Canvas()->Handle(), 0, 0, Form->ClientWidth(), Form->ClientHeight(), dc, 0, 0, SRCCOPY);
    ReleaseDC(H(), dc);
    return Pixels(bmp, RECT{0, 0, Form->ClientWidth(), Form->ClientHeight()});
  }
  // Once what uncovered the form is handled, it shows what a full repaint shows.
  void ExpectShownAsRepainted(const char* how) {
    Pump();
    const std::vector<std::uint32_t> shown = ScreenClient(), top = ScreenTop(20);
    RedrawWindow(H(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    EXPECT_EQ(ScreenClient(), shown) << how;
    EXPECT_EQ(ScreenTop(20), top) << how;
  }
  // Raises cover over the form and waits until the platform's order keeps it there a moment: an
  // activation that the X server reports late raises the form again.
  void RaiseOver(TForm* cover) {
    const DWORD until = GetTickCount() + 3000;
    DWORD steadySince = GetTickCount();
    while (GetTickCount() < until) {
      if (!IsAbove(cover->Handle(), H())) {
        SetWindowPos(cover->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        steadySince = GetTickCount();
      } else if (GetTickCount() - steadySince >= 150) {
        return;
      }
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
      Pump();
    }
    ADD_FAILURE() << "the cover does not stay above the form";
  }
  // A form with a provider over the form, shown on top.
  TForm* NewCover() {
    TForm* cover = NewComponent<TForm>(Application);
    NewComponent<TsSkinProvider>(cover);
    return cover;
  }
  std::vector<std::uint32_t> CacheTop(int height) {
    return Pixels(*Provider->SkinData()->CacheBitmap(), RECT{0, 0, Form->Width(), height});
  }
  // Pixels outside the window region show what lies below the window: they read as 0.
  std::vector<std::uint32_t> InRegion(std::vector<std::uint32_t> pixels) {
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    if (GetWindowRgn(H(), rgn) != ERROR) {
      const std::size_t w = std::size_t(Form->Width());
      for (std::size_t i = 0; i < pixels.size(); ++i)
        if (!PtInRegion(rgn, int(i % w), int(i / w))) pixels[i] = 0;
    }
    DeleteObject(rgn);
    return pixels;
  }
  static void Pump() { ::Pump(); }

  TForm* Form = nullptr;
  TsSkinProvider* Provider = nullptr;
  TsSkinManager* Manager = nullptr;
  TRecorder Recorder;
};

TEST_F(SkinProviderTest, HitTestAtTheLayoutAndClicksThatActOnlyOnTheirButton) {
  LoadSkin("Desert");
  EXPECT_EQ(HitAt(ButtonPoint(HTCLOSE)), HTCLOSE);
  EXPECT_EQ(HitAt(ButtonPoint(HTMAXBUTTON)), HTMAXBUTTON);
  EXPECT_EQ(HitAt(ButtonPoint(HTMINBUTTON)), HTMINBUTTON);
  EXPECT_EQ(Provider->HotButton(), HTMINBUTTON);
  const RECT w = Window();
  const POINT caption{(w.left + w.right) / 2, ButtonPoint(HTCLOSE).y};
  EXPECT_EQ(HitAt(caption), HTCAPTION);
  EXPECT_EQ(Provider->HotButton(), 0);
  const POINT client{(w.left + w.right) / 2, (w.top + w.bottom) / 2};
  EXPECT_EQ(HitAt(client), HTCLIENT);

  // Pressed on minimize, released on close: nothing happens and minimize is normal again.
  NcClick(HTMINBUTTON, HTCLOSE);
  EXPECT_EQ(Recorder.Count(WM_SYSCOMMAND), 0);
  EXPECT_EQ(Provider->ButtonState(HTMINBUTTON), 0);
  // Key flags in WM_LBUTTONUP are no hit codes: Ctrl (8) and Shift with the middle button (20).
  SendMessageA(H(), WM_LBUTTONUP, MK_CONTROL, MAKELPARAM(10, 10));
  SendMessageA(H(), WM_LBUTTONUP, MK_SHIFT | MK_MBUTTON, MAKELPARAM(10, 10));
  EXPECT_EQ(Recorder.Count(WM_SYSCOMMAND), 0);
  // The press is never passed on, the release on the same button closes once.
  NcClick(HTCLOSE, HTCLOSE);
  EXPECT_EQ(Recorder.Count(WM_NCLBUTTONDOWN), 0);
  EXPECT_EQ(Recorder.SysCommands(SC_CLOSE), 1);
  NcClick(HTMAXBUTTON, HTMAXBUTTON);
  EXPECT_EQ(Recorder.SysCommands(SC_MAXIMIZE), 1);

  // A user button past the end of the collection has no effect.
  Provider->SetHotButton(1003);
  NcClick(1003, 1003);
  EXPECT_EQ(Recorder.Count(WM_SYSCOMMAND), 2);

  // The platform's activation passes with -1: it keeps its state and does not paint its frame.
  Recorder.Seen.clear();
  SendMessageA(H(), WM_NCACTIVATE, FALSE, 0);
  ASSERT_EQ(Recorder.Count(WM_NCACTIVATE), 1);
  EXPECT_EQ(Recorder.Seen[0].LParam, -1);
}

TEST_F(SkinProviderTest, HoverRepaintsSingleButtonsOnly) {
  LoadSkin("Desert");
  Provider->RepaintNonClient();
  const int frames = Provider->FramePaints(), buttons = Provider->ButtonPaints();
  HitAt(ButtonPoint(HTCLOSE));                       // close hot
  HitAt(ButtonPoint(HTMAXBUTTON));                   // close normal, maximize hot
  HitAt(ButtonPoint(HTMAXBUTTON));                   // unchanged
  HitAt(POINT{Window().left + 200, Window().top + 200});  // client: hot cleared
  EXPECT_EQ(Provider->FramePaints(), frames);
  EXPECT_EQ(Provider->ButtonPaints() - buttons, 4);
}

// Counts the frame changes (WM_NCCALCSIZE) the platform sends a window of this thread.
class TFrameChanges {
public:
  explicit TFrameChanges(HWND window) {
    Window = window;
    Count = 0;
    FHook = SetWindowsHookExA(WH_CALLWNDPROC, &Sent, nullptr, GetCurrentThreadId());
  }
  ~TFrameChanges() { UnhookWindowsHookEx(FHook); }
  TFrameChanges(const TFrameChanges&) = delete;
  TFrameChanges& operator=(const TFrameChanges&) = delete;
  static inline int Count = 0;

private:
  static LRESULT CALLBACK Sent(int code, WPARAM wParam, LPARAM lParam) {
    const auto* m = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && m->hwnd == Window && m->message == WM_NCCALCSIZE) ++Count;
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }
  static inline HWND Window = nullptr;
  HHOOK FHook;
};

// Setting the window region changes the frame and repaints the window: a frame repaint that cuts
// the region it has already (a form made active, say) leaves the window's frame alone, while a new
// size still cuts the region again at the new corners.
TEST_F(SkinProviderTest, AFrameRepaintThatCutsTheSameRegionLeavesTheWindowsFrameAlone) {
  LoadSkin("Desert");
  const int frames = Provider->FramePaints();
  const TFrameChanges changes(H());
  // The region of a repainted frame is cut with the frame's next painting.
  for (int i = 0; i < 2; ++i) {
    Provider->RepaintNonClient();
    Pump();
  }
  EXPECT_GT(Provider->FramePaints(), frames);
  EXPECT_EQ(TFrameChanges::Count, 0);

  const int oldWidth = Form->Width();
  Form->SetBounds(Form->Left(), Form->Top(), oldWidth + 40, Form->Height());
  Pump();
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(H(), rgn), ERROR);
  EXPECT_FALSE(PtInRegion(rgn, Form->Width() - 1, 0));
  EXPECT_TRUE(PtInRegion(rgn, oldWidth - 1, 0));
  DeleteObject(rgn);
}

TEST_F(SkinProviderTest, SkinOnOffOnKeepsWindowsCaptionAndStyles) {
  TPanel* child = NewControl<TPanel>(Form, Form, RECT{10, 10, 100, 60});
  Pump();
  const HWND form = H(), panel = child->Handle();
  const LONG_PTR plainStyle = GetWindowLongPtrA(form, GWL_STYLE);
  ASSERT_TRUE(plainStyle & WS_SYSMENU);
  for (int round = 0; round < 2; ++round) {
    LoadSkin(round == 0 ? "Desert" : "Nocturne");
    EXPECT_FALSE(GetWindowLongPtrA(form, GWL_STYLE) & WS_SYSMENU);
    SetWindowTextA(form, "Renamed");
    Manager->SetActive(false);
    Pump();
    EXPECT_FALSE(Provider->Skinned());
    EXPECT_EQ(GetWindowLongPtrA(form, GWL_STYLE), plainStyle);
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(form, rgn), ERROR);  // no region left
    DeleteObject(rgn);
    EXPECT_EQ(H(), form);
    EXPECT_EQ(child->Handle(), panel);
    char text[32] = {};
    // The platform knows the text set while the skin held it.
    DefWindowProcA(form, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, "Renamed");
    SetWindowTextA(form, "Provider");
  }
}

// Other programs (screen readers, window lists) read the window's own text without asking its
// procedure; a caption set while the skin paints the frame must reach it, the frame staying the skin's.
TEST_F(SkinProviderTest, ACaptionSetAfterTheWindowExistsIsTheWindowsOwnTextInEveryLook) {
  auto ownText = [&] {
    wchar_t text[64] = {};
    InternalGetWindowText(H(), text, 64);
    return std::string(text, text + lstrlenW(text));
  };
  for (const std::string look : {"none", "Desert", "Nocturne"}) {
    if (look != "none") LoadSkin(look);
    const std::string caption = "Renamed in " + look;
    Form->SetCaption(caption);
    Pump();
    EXPECT_EQ(ownText(), caption) << look;
    char text[64] = {};
    GetWindowTextA(H(), text, sizeof text);
    EXPECT_EQ(text, caption) << look;
    EXPECT_TRUE(IsWindowVisible(H())) << look;
    if (look == "none") continue;
    POINT origin{0, 0};
    ClientToScreen(H(), &origin);
    const int top = origin.y - Window().top;
    EXPECT_EQ(InRegion(ScreenTop(top)), InRegion(CacheTop(top))) << look;

    // Hidden, then shown again: the text set meanwhile is the window's too.
    Form->Hide();
    SetWindowTextA(H(), "While hidden");
    Form->Show();
    Pump();
    EXPECT_EQ(ownText(), "While hidden") << look;
  }
}

// A form that the program's other forms hide wholly takes a skin switch only when it shows, at once
// and as a full repaint paints it: uncovered, raised, or its cover gone. One partly shown takes it
// at the switch.
TEST_F(SkinProviderTest, AFormHiddenBehindTheProgramsOthersRepaintsInTheNewSkinWhenItShows) {
  LoadSkin("Desert");
  auto* panel = NewControl<TsPanel>(Form, Form, RECT{10, 10, 200, 120});
  // A grid's frame is the adapter's, painted with the form.
  NewControl<TDBGrid>(Form, Form, RECT{10, 130, 200, 230});
  NewComponent<TsGridAdapter>(Form);
  // The repaint waits for WM_PAINT.
  const auto expectRepainted = [&](int builds, const char* how) {
    Pump();
    EXPECT_GT(panel->CacheBuilds(), builds) << how;
    ExpectShownAsRepainted(how);
  };
  TForm* cover = NewCover();
  const auto coverAgain = [&] {
    cover->SetBounds(20, 20, 500, 400);
    cover->Show();
    RaiseOver(cover);
  };
  const char* skins[] = {"Nocturne", "Desert"};
  int next = 0;
  // Counted before any message is handled: the program idle a moment paints what waits.
  const auto switchUnseen = [&] {
    const int builds = panel->CacheBuilds();
    Manager->SetSkinName(skins[next++ % 2]);
    EXPECT_EQ(panel->CacheBuilds(), builds);
    return builds;
  };

  coverAgain();
  int builds = switchUnseen();
  cover->SetLeft(600);
  expectRepainted(builds, "uncovered");

  coverAgain();
  builds = switchUnseen();
  SetWindowPos(H(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  expectRepainted(builds, "raised");

  coverAgain();
  builds = switchUnseen();
  cover->Hide();
  expectRepainted(builds, "cover hidden");

  coverAgain();
  builds = switchUnseen();
  cover->Free();
  expectRepainted(builds, "cover freed");

  // A cover that leaves a corner of the form shown: the form takes the switch with the others.
  cover = NewCover();
  cover->SetBounds(80, 80, 500, 400);
  cover->Show();
  Pump();
  builds = panel->CacheBuilds();
  LoadSkin(skins[next++ % 2]);
  expectRepainted(builds, "partly covered");
  cover->Free();
  Pump();
}

// What waits is painted once the program has been idle a moment, still hidden or not: the order of
// windows the platform reports need not be the one on the screen.
TEST_F(SkinProviderTest, AHiddenFormTakesTheSwitchOnceTheProgramIsIdleAMoment) {
  LoadSkin("Desert");
  auto* panel = NewControl<TsPanel>(Form, Form, RECT{10, 10, 200, 120});
  TForm* cover = NewCover();
  cover->SetBounds(20, 20, 500, 400);
  cover->Show();
  RaiseOver(cover);
  const int builds = panel->CacheBuilds();
  Manager->SetSkinName("Nocturne");
  EXPECT_EQ(panel->CacheBuilds(), builds);
  PumpUntil([&] { return panel->CacheBuilds() != builds; });
  EXPECT_GT(panel->CacheBuilds(), builds);
  // Nothing waits any more: uncovered, the form is not painted again.
  const int caughtUp = panel->CacheBuilds();
  cover->Free();
  Pump();
  EXPECT_EQ(panel->CacheBuilds(), caughtUp);
}

// Of a form partly shown, a control that the program's other forms hide wholly takes a switch only
// when some of it shows, and then as a full repaint paints it: a button under the cover (its panel,
// partly shown, repaints the children over its new picture) and a panel with a child. The button
// then has the corners of a button in sight.
TEST_F(SkinProviderTest, AControlHiddenBehindTheProgramsOthersRepaintsInTheNewSkinWhenUncovered) {
  LoadSkin("Desert");
  auto* wide = NewControl<TsPanel>(Form, Form, RECT{10, 10, 390, 130});
  auto* button = NewControl<TsButton>(wide, wide, RECT{10, 10, 90, 35});
  auto* seen = NewControl<TsButton>(wide, wide, RECT{290, 10, 370, 35});
  auto* hidden = NewControl<TsPanel>(Form, Form, RECT{10, 140, 110, 240});
  auto* child = NewControl<TsButton>(hidden, hidden, RECT{10, 10, 90, 35});
  POINT origin{0, 0};
  ClientToScreen(H(), &origin);
  // Over the form's left part: the button, the lower panel and a third of the wide one. The form
  // stays active throughout: a form activated after its client is painted is another matter.
  TForm* cover = NewCover();
  const auto coverAgain = [&] {
    cover->SetBounds(origin.x - 40, origin.y - 10, 200, 300);
    cover->Show();
    SetForegroundWindow(H());
    Pump();
    RaiseOver(cover);
    ASSERT_EQ(GetActiveWindow(), H());
  };
  const auto SameCorners = [](TsButton* a, TsButton* b) {
    const TGdiObject<HRGN> ra(CreateRectRgn(0, 0, 0, 0)), rb(CreateRectRgn(0, 0, 0, 0));
    return (GetWindowRgn(a->Handle(), ra.Handle()) == ERROR) == (GetWindowRgn(b->Handle(), rb.Handle()) == ERROR) &&
           EqualRgn(ra.Handle(), rb.Handle());
  };
  const char* skins[] = {"Nocturne", "Desert"};
  int next = 0;
  struct TBuilds {
    int Button, Hidden, Child;
  } before{};
  const auto builds = [&] { return TBuilds{button->CacheBuilds(), hidden->CacheBuilds(), child->CacheBuilds()}; };
  // Counted before any message is handled, as in the test above.
  const auto switchCovered = [&] {
    before = builds();
    const int shown = wide->CacheBuilds();
    Manager->SetSkinName(skins[next++ % 2]);
    EXPECT_GT(wide->CacheBuilds(), shown);
    const TBuilds now = builds();
    EXPECT_EQ(now.Button, before.Button);
    EXPECT_EQ(now.Hidden, before.Hidden);
    EXPECT_EQ(now.Child, before.Child);
    // The skins' buttons have other corners.
    EXPECT_FALSE(SameCorners(button, seen));
  };
  const auto expectRepainted = [&](const char* how) {
    Pump();
    const TBuilds now = builds();
    EXPECT_GT(now.Button, before.Button) << how;
    EXPECT_GT(now.Hidden, before.Hidden) << how;
    EXPECT_GT(now.Child, before.Child) << how;
    EXPECT_TRUE(SameCorners(button, seen)) << how;
    ExpectShownAsRepainted(how);
  };

  coverAgain();
  switchCovered();
  cover->SetLeft(origin.x + 60);
  expectRepainted("partly uncovered");

  coverAgain();
  switchCovered();
  SetWindowPos(H(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  expectRepainted("raised");

  coverAgain();
  switchCovered();
  cover->Hide();
  expectRepainted("cover hidden");

  coverAgain();
  switchCovered();
  cover->Free();
  expectRepainted("cover freed");
}

TEST_F(SkinProviderTest, CommandAnswers) {
  LoadSkin("Desert");
  const LRESULT link = SendSkinCommand(H(), SkinCommand::GetProvider);
  EXPECT_EQ(reinterpret_cast<TsFormFrameLink*>(link), static_cast<TsFormFrameLink*>(Provider));
  EXPECT_EQ(GetFormProvider(Form), static_cast<TsFormFrameLink*>(Provider));
  EXPECT_TRUE(AskControl(Form, SkinCommand::IsSkinned));
  const TsCacheInfo ci = AskCache(Form);
  RECT c{0, 0, 0, 0};
  POINT origin{0, 0};
  ClientToScreen(H(), &origin);
  EXPECT_TRUE(ci.Valid);
  EXPECT_EQ(ci.Bitmap, Provider->SkinData()->CacheBitmap());
  EXPECT_EQ(ci.X, origin.x - Window().left);
  EXPECT_EQ(ci.Y, origin.y - Window().top);
  (void)c;
  const int form = FindSectionIndex("FORM");
  EXPECT_EQ(AskBackgroundColor(Form), ActiveSkin().SkinSectionData[std::size_t(form)].Color);
  const TsSectionData& s = ActiveSkin().SkinSectionData[std::size_t(form)];
  EXPECT_EQ(AskHasPaintedBackground(Form), s.GradientPercent + s.ImagePercent > 0);
  Provider->SkinData()->SetRepaintNeeded(true);
  EXPECT_EQ(SendSkinCommand(H(), SkinCommand::GetBgChanged), 1);

  // The provider is the form's peer while it lives: freed, it leaves no peer behind.
  EXPECT_EQ(SkinPeerOf(Form), static_cast<TsSkinPeer*>(Provider));
  TForm* other = NewComponent<TForm>(Application);
  auto* gone = NewComponent<TsSkinProvider>(other);
  EXPECT_TRUE(IsSkinnedControl(other));
  gone->Free();
  EXPECT_EQ(SkinPeerOf(other), nullptr);
  other->Free();

  // WM_GETTEXT with no room writes nothing; with room for one character only the zero. The text
  // set through the skinned form is the provider's to answer.
  SendMessageA(H(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Provider"));
  char buffer[4] = {'x', 'x', 'x', 'x'};
  EXPECT_EQ(SendMessageA(H(), WM_GETTEXT, 0, reinterpret_cast<LPARAM>(buffer)), 0);
  EXPECT_EQ(buffer[0], 'x');
  EXPECT_EQ(SendMessageA(H(), WM_GETTEXT, 1, reinterpret_cast<LPARAM>(buffer)), 0);
  EXPECT_EQ(buffer[0], 0);
  EXPECT_EQ(SendMessageA(H(), WM_GETTEXT, 4, reinterpret_cast<LPARAM>(buffer)), 3);
  EXPECT_STREQ(buffer, "Pro");
}

TEST_F(SkinProviderTest, CaptionDragMovesOnceAndCancelMovesNothing) {
  LoadSkin("Desert");
  const RECT before = Window();
  const POINT press{before.left + 150, ButtonPoint(HTCLOSE).y};
  auto clientPoint = [&](int dx, int dy) {
    POINT p{press.x + dx, press.y + dy};
    ScreenToClient(H(), &p);
    return MAKELPARAM(p.x, p.y);
  };
  SendMessageA(H(), WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(press.x, press.y));
  EXPECT_TRUE(Provider->Dragging());
  EXPECT_EQ(GetCapture(), H());
  SendMessageA(H(), WM_MOUSEMOVE, 0, clientPoint(10, 5));
  SendMessageA(H(), WM_MOUSEMOVE, 0, clientPoint(25, 12));
  EXPECT_EQ(Window().left, before.left);  // only the outline moves meanwhile
  SendMessageA(H(), WM_LBUTTONUP, 0, clientPoint(25, 12));
  EXPECT_FALSE(Provider->Dragging());
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(Window().left, before.left + 25);
  EXPECT_EQ(Window().top, before.top + 12);
  EXPECT_EQ(Window().right - Window().left, before.right - before.left);
  EXPECT_EQ(Recorder.Count(WM_SYSCOMMAND), 0);  // no platform move loop

  const RECT moved = Window();
  SendMessageA(H(), WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(press.x + 25, press.y + 12));
  SendMessageA(H(), WM_MOUSEMOVE, 0, clientPoint(60, 40));
  SendMessageA(H(), WM_CANCELMODE, 0, 0);
  EXPECT_FALSE(Provider->Dragging());
  EXPECT_EQ(GetCapture(), nullptr);
  SendMessageA(H(), WM_LBUTTONUP, 0, clientPoint(60, 40));
  EXPECT_EQ(Window().left, moved.left);
  EXPECT_EQ(Window().top, moved.top);

  // Sizing by the bottom-right corner, and a lost capture ends a drag unmoved too.
  SendMessageA(H(), WM_NCLBUTTONDOWN, HTBOTTOMRIGHT, MAKELPARAM(moved.right - 1, moved.bottom - 1));
  POINT p{moved.right - 1 + 30, moved.bottom - 1 + 20};
  ScreenToClient(H(), &p);
  SendMessageA(H(), WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y));
  SendMessageA(H(), WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
  EXPECT_EQ(Window().right - Window().left, moved.right - moved.left + 30);
  EXPECT_EQ(Window().bottom - Window().top, moved.bottom - moved.top + 20);
  SendMessageA(H(), WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(press.x, press.y));
  ReleaseCapture();
  EXPECT_FALSE(Provider->Dragging());
}

// A maximized form's caption moves nothing: a press there only activates the form, and the largest
// size the platform may track is the work area and the 6 pixels of the frame.
TEST_F(SkinProviderTest, AMaximizedFormsCaptionOnlyActivatesAndItsTrackSizeIsTheWorkArea) {
  LoadSkin("Desert");
  Provider->SetResizeMode(TsResizeMode::rmStandard);
  MINMAXINFO mmi{};
  SendMessageA(H(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
  const RECT work = WorkArea();
  EXPECT_EQ(mmi.ptMaxTrackSize.x, work.right - work.left + 6);
  EXPECT_EQ(mmi.ptMaxTrackSize.y, work.bottom - work.top + 6);

  Form->SetWindowState(wsMaximized);
  Pump();
  ASSERT_TRUE(IsZoomed(H()));
  TForm* other = NewComponent<TForm>(Application);
  other->SetBounds(0, 0, 120, 80);
  other->Show();
  SetActiveWindow(other->Handle());
  Pump();
  ASSERT_NE(GetActiveWindow(), H());
  const RECT w = Window();
  SendMessageA(H(), WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(w.left + 150, ButtonPoint(HTCLOSE).y));
  EXPECT_EQ(GetActiveWindow(), H());
  EXPECT_EQ(Recorder.Count(WM_NCLBUTTONDOWN), 0);  // no platform move loop
  EXPECT_FALSE(Provider->Dragging());
  other->Free();
}

TEST_F(SkinProviderTest, FramePixelsOnScreenAndInPrintAreTheCache) {
  LoadSkin("Nocturne");
  RedrawWindow(H(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
  Pump();
  POINT origin{0, 0};
  ClientToScreen(H(), &origin);
  const int top = origin.y - Window().top;
  EXPECT_EQ(InRegion(ScreenTop(top)), InRegion(CacheTop(top)));

  TBitmap printed;
  printed.SetPixelFormat(TPixelFormat::Bit24);
  printed.SetSize(Form->Width(), Form->Height());
  SendMessageA(H(), WM_PRINT, reinterpret_cast<WPARAM>(printed.Canvas()->Handle()), PRF_NONCLIENT);
  EXPECT_EQ(Pixels(printed, RECT{0, 0, Form->Width(), top}), CacheTop(top));

  // The corners the border mask leaves transparent are cut out of the window, nothing else.
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(H(), rgn), ERROR);
  EXPECT_FALSE(PtInRegion(rgn, 0, 0));
  EXPECT_FALSE(PtInRegion(rgn, Form->Width() - 1, 0));
  EXPECT_TRUE(PtInRegion(rgn, Form->Width() / 2, 0));
  EXPECT_TRUE(PtInRegion(rgn, Form->Width() / 2, Form->Height() / 2));
  DeleteObject(rgn);

  // A hidden form's paint request is answered and validated all the same.
  Form->Hide();
  InvalidateRect(H(), nullptr, FALSE);
  SendMessageA(H(), WM_PAINT, 0, 0);
  EXPECT_FALSE(GetUpdateRect(H(), nullptr, FALSE));
}

// What the form's OnPaint draws on its canvas shows in its client, under its graphic controls,
// without a skin and in each skin.
TEST_F(SkinProviderTest, WhatTheFormsOnPaintDrawsShowsUnderItsGraphicControls) {
  const COLORREF drawn = RGB(200, 30, 160), boxed = RGB(20, 180, 40);
  Form->SetOnPaint(TNotifyEvent::FromFunctor([&](TObject*) {
    Form->Canvas()->Brush()->SetColor(TColor(drawn));
    Form->Canvas()->FillRect(RECT{10, 10, 110, 60});
  }));
  auto* box = NewControl<TPaintBox>(Form, Form, RECT{60, 30, 90, 50});
  box->SetOnPaint(TNotifyEvent::FromFunctor([&](TObject*) {
    box->Canvas()->Brush()->SetColor(TColor(boxed));
    box->Canvas()->FillRect(RECT{0, 0, box->Width(), box->Height()});
  }));
  const auto at = [&](const std::vector<std::uint32_t>& pixels, int x, int y) {
    const std::uint32_t p = pixels[std::size_t(y * Form->ClientWidth() + x)];
    return RGB(p >> 16, (p >> 8) & 0xFF, p & 0xFF);
  };
  for (const char* look : {"", "Desert", "Nocturne"}) {
    SCOPED_TRACE(*look ? look : "no skin");
    if (*look) LoadSkin(look);
    RedrawWindow(H(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump();
    const std::vector<std::uint32_t> shown = ScreenClient();
    EXPECT_EQ(at(shown, 20, 20), drawn);
    EXPECT_EQ(at(shown, 105, 55), drawn);
    EXPECT_EQ(at(shown, 70, 40), boxed);
    EXPECT_NE(at(shown, 5, 5), drawn);
    EXPECT_NE(at(shown, 115, 20), drawn);
  }
}

// A borderless form whose window has the sizing frame shows the skin in that frame: strips of the
// window image as wide as the frame, the window cut at the skin's corners, and nothing painted over
// its client; the platform answers where its edges are.
TEST_F(SkinProviderTest, ABorderlessFormWithTheSizingFrameShowsTheSkinInItsFrame) {
  const COLORREF drawn = RGB(200, 30, 160);
  auto* form = NewComponent<TThickFramedForm>(Application);
  form->SetBorderStyle(bsNone);
  form->SetBounds(100, 90, 300, 200);
  auto* provider = NewComponent<TsSkinProvider>(form);
  provider->SetResizeMode(TsResizeMode::rmBorder);
  form->SetOnPaint(TNotifyEvent::FromFunctor([&](TObject*) {
    form->Canvas()->Brush()->SetColor(TColor(drawn));
    form->Canvas()->FillRect(RECT{0, 0, form->ClientWidth(), 40});
  }));
  form->Show();
  HWND h = form->Handle();
  for (const char* look : {"Desert", "Nocturne"}) {
    SCOPED_TRACE(look);
    LoadSkin(look);
    ASSERT_TRUE(provider->Skinned());
    RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump();
    // The frame repainted alone leaves the client as the form drew it.
    SendMessageA(h, WM_NCPAINT, 1, 0);
    const int w = form->Width(), ht = form->Height();
    const int b = (w - form->ClientWidth()) / 2;
    ASSERT_GT(b, 0);
    TBitmap shot;
    shot.SetPixelFormat(TPixelFormat::Bit24);
    shot.SetSize(w, ht);
    BitBlt(shot.Canvas()->Handle(), 0, 0, w, ht, TWindowDC(h, TWindowDC::TArea::Whole).Handle(), 0, 0, SRCCOPY);
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(h, rgn), ERROR) << "no region";
    EXPECT_FALSE(PtInRegion(rgn, 0, 0));
    EXPECT_TRUE(PtInRegion(rgn, w / 2, 0));
    // Every frame pixel inside the region is the window image's.
    TBitmap* cache = provider->SkinData()->CacheBitmap();
    ASSERT_EQ(cache->Width(), w);
    int differing = 0;
    for (int y = 0; y < ht; ++y)
      for (int x = 0; x < w; ++x) {
        const bool frame = x < b || y < b || x >= w - b || y >= ht - b;
        if (frame && PtInRegion(rgn, x, y))
          differing += std::memcmp(shot.ScanLine(y) + 3 * x, cache->ScanLine(y) + 3 * x, 3) != 0;
      }
    DeleteObject(rgn);
    EXPECT_EQ(differing, 0);
    const std::uint8_t* row = shot.ScanLine(b + 2);
    EXPECT_EQ(RGB(row[3 * (w / 2) + 2], row[3 * (w / 2) + 1], row[3 * (w / 2)]), drawn) << "the client's top is painted over";
    RECT r;
    GetWindowRect(h, &r);
    EXPECT_EQ(SendMessageA(h, WM_NCHITTEST, 0, MAKELPARAM(r.left + b / 2, (r.top + r.bottom) / 2)), HTLEFT);
    EXPECT_EQ(SendMessageA(h, WM_NCHITTEST, 0, MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2)), HTCLIENT);
  }
  form->Free();
}

// The region cut for a size is kept while the size stays: setting it again would lay out and
// repaint the whole window once more within each repaint.
TEST_F(SkinProviderTest, ARepaintKeepsTheRegionAndANewSizeCutsItAgain) {
  LoadSkin("Desert");
  const auto repaint = [this] {
    RedrawWindow(H(), nullptr, nullptr, RDW_FRAME | RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  };
  repaint();
  Pump();
  Recorder.NoteFrameChanges = true;
  Recorder.Seen.clear();
  repaint();
  repaint();
  EXPECT_EQ(Recorder.Count(WM_NCCALCSIZE), 0);

  Form->SetBounds(60, 60, 500, 320);
  Pump();
  repaint();
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(H(), rgn), ERROR);
  EXPECT_FALSE(PtInRegion(rgn, Form->Width() - 1, 0));
  EXPECT_FALSE(PtInRegion(rgn, Form->Width() - 1, Form->Height() - 1));
  EXPECT_TRUE(PtInRegion(rgn, Form->Width() / 2, Form->Height() - 1));
  DeleteObject(rgn);
}

// Counts the paints that reach a control.
// The paintings of a skinned control, by WM_PAINT or in place.
struct TPaintCounter {
  TWndMethod Next;
  TsSkinnedControl* Skinned;
  int Messages = 0;
  int InPlaceBefore = 0;
  void Proc(TMessage& m) {
    if (m.Msg == WM_PAINT) ++Messages;
    Next(m);
  }
  int Paints() const { return Messages + Skinned->PaintsInPlace() - InPlaceBefore; }
  void Reset() {
    Messages = 0;
    InPlaceBefore = Skinned->PaintsInPlace();
  }
};

// A skin switch of a shown form builds each cache once: the frame's and every control's. A button
// whose region is cut anew is not redrawn for it as well.
TEST_F(SkinProviderTest, ASwitchBuildsEachCacheOnce) {
  auto* panel = NewControl<TsPanel>(Form, Form, RECT{8, 8, 300, 120});
  auto* button = NewControl<TsButton>(Form, panel, RECT{8, 8, 90, 33});
  std::vector<TsSkinnedControl*> controls{panel, button, NewControl<TsCheckBox>(Form, panel, RECT{8, 44, 150, 63}),
                                          NewControl<TsEdit>(Form, panel, RECT{8, 74, 150, 95})};
  TPaintCounter counter{button->WindowProc(), button};
  button->SetWindowProc(TWndMethod(&counter, &TPaintCounter::Proc));
  LoadSkin("Desert");
  const auto repaint = [this] {
    RedrawWindow(H(), nullptr, nullptr, RDW_FRAME | RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump();
  };
  repaint();
  for (const char* skin : {"Nocturne", "Desert"}) {
    std::vector<int> builds;
    for (TsSkinnedControl* c : controls) builds.push_back(c->CacheBuilds());
    const int frames = Provider->FramePaints();
    counter.Reset();
    LoadSkin(skin);
    EXPECT_EQ(counter.Paints(), 1) << skin;
    repaint();
    EXPECT_EQ(Provider->FramePaints() - frames, 1) << skin;
    for (std::size_t i = 0; i < controls.size(); ++i)
      EXPECT_EQ(controls[i]->CacheBuilds() - builds[i], 1)
          << skin << ": " << dynamic_cast<TControl*>(controls[i])->ClassName();
  }
  // A new size cuts the button's region anew: one paint all the same.
  counter.Reset();
  button->SetBounds(8, 8, 120, 33);
  Pump();
  EXPECT_EQ(counter.Paints(), 1);
  button->SetWindowProc(counter.Next);
}

std::vector<std::uint32_t> ClientPixels(HWND window, const RECT& r);

// A switch leaves no control showing the old skin, also where no graphic control has the form paint
// early: the controls hear of the switch before the form has its new cache, and each then builds
// and paints once, after its parent, before the switch returns. A button's new corners are cut
// before its parent paints, so the parent does not paint again where they give way.
TEST_F(SkinProviderTest, ASwitchRepaintsEachControlOnceAfterItsParent) {
  auto* left = NewControl<TsButton>(Form, Form, RECT{8, 8, 90, 33});
  auto* right = NewControl<TsButton>(Form, Form, RECT{100, 8, 182, 33});
  auto* panel = NewControl<TsPanel>(Form, Form, RECT{8, 44, 300, 160});
  auto* inner = NewControl<TsButton>(Form, panel, RECT{8, 8, 90, 33});
  const std::vector<TsSkinnedControl*> controls{left, right, panel, inner};
  std::vector<std::unique_ptr<TPaintCounter>> counters;
  for (TsSkinnedControl* c : controls) {
    auto* w = dynamic_cast<TWinControl*>(c);
    counters.push_back(std::make_unique<TPaintCounter>(TPaintCounter{w->WindowProc(), c}));
    w->SetWindowProc(TWndMethod(counters.back().get(), &TPaintCounter::Proc));
  }
  LoadSkin("Desert");
  RedrawWindow(H(), nullptr, nullptr, RDW_FRAME | RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Pump();
  for (const char* skin : {"Nocturne", "Desert"}) {
    std::vector<int> builds;
    for (TsSkinnedControl* c : controls) builds.push_back(c->CacheBuilds());
    for (auto& counter : counters) counter->Reset();
    const int frames = Provider->FramePaints();
    Manager->SetSkinName(skin);
    EXPECT_EQ(Provider->FramePaints() - frames, 1) << skin;
    for (std::size_t i = 0; i < controls.size(); ++i) {
      auto* w = dynamic_cast<TWinControl*>(controls[i]);
      EXPECT_EQ(controls[i]->CacheBuilds() - builds[i], 1) << skin << ": control " << i;
      EXPECT_EQ(counters[i]->Paints(), 1) << skin << ": control " << i;
      EXPECT_FALSE(GetUpdateRect(w->Handle(), nullptr, FALSE)) << skin << ": control " << i;
    }
    EXPECT_FALSE(GetUpdateRect(H(), nullptr, FALSE)) << skin;
    // What the switch painted is what a full repaint paints.
    const RECT client{0, 0, Form->ClientWidth(), Form->ClientHeight()};
    const std::vector<std::uint32_t> switched = ClientPixels(H(), client);
    RedrawWindow(H(), nullptr, nullptr, RDW_FRAME | RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    EXPECT_TRUE(ClientPixels(H(), client) == switched) << skin;
  }
  for (std::size_t i = 0; i < controls.size(); ++i)
    dynamic_cast<TWinControl*>(controls[i])->SetWindowProc(counters[i]->Next);
}

// The window's region as data; empty when it has none.
std::vector<char> RegionOf(HWND window) {
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  std::vector<char> data;
  if (GetWindowRgn(window, rgn) != ERROR) {
    data.resize(GetRegionData(rgn, 0, nullptr));
    GetRegionData(rgn, DWORD(data.size()), reinterpret_cast<RGNDATA*>(data.data()));
  }
  DeleteObject(rgn);
  return data;
}

// The client pixels of a window in a rectangle, as the window shows them.
std::vector<std::uint32_t> ClientPixels(HWND window, const RECT& r) {
  TBitmap bmp;
  bmp.SetPixelFormat(TPixelFormat::Bit24);
  bmp.SetSize(r.right, r.bottom);
  HDC dc = GetDC(window);
  BitBlt(bmp.Canvas()->Handle(), 0, 0, r.right, r.bottom, dc, 0, 0, SRCCOPY);
  ReleaseDC(window, dc);
  return Pixels(bmp, r);
}

// A button takes each skin's corners at a switch, the same ones as when that skin was first
// loaded, also after the skin was off and gave it its whole rectangle back. Where the new corners
// give way, its parent shows its own new cache.
TEST_F(SkinProviderTest, ASwitchGivesAButtonEachSkinsCornersAndItsParentPaintsWhereTheyGiveWay) {
  auto* panel = NewControl<TsPanel>(Form, Form, RECT{8, 8, 300, 120});
  auto* button = NewControl<TsButton>(Form, panel, RECT{20, 20, 120, 45});
  LoadSkin("Desert");
  RedrawWindow(H(), nullptr, nullptr, RDW_FRAME | RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Pump();
  const std::vector<char> desert = RegionOf(button->Handle());
  LoadSkin("Nocturne");
  const std::vector<char> nocturne = RegionOf(button->Handle());
  ASSERT_FALSE(desert.empty());
  ASSERT_FALSE(nocturne.empty());
  ASSERT_NE(desert, nocturne) << "the two skins cut the same corners";

  const RECT corners{button->Left(), button->Top(), button->Left() + 4, button->Top() + 4};
  for (const char* skin : {"Desert", "Nocturne", "Desert"}) {
    LoadSkin(skin);
    EXPECT_EQ(RegionOf(button->Handle()), std::string(skin) == "Desert" ? desert : nocturne) << skin;
    // Where the button's window is not, the panel shows its cache.
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(button->Handle(), rgn), ERROR);
    const TsCacheInfo ci = AskCache(panel);
    ASSERT_TRUE(ci.Valid);
    const std::vector<std::uint32_t> shown = ClientPixels(panel->Handle(), corners);
    TBitmap& cache = *ci.Bitmap;
    std::vector<std::uint32_t> wanted =
        Pixels(cache, RECT{ci.X + corners.left, ci.Y + corners.top, ci.X + corners.right, ci.Y + corners.bottom});
    int outside = 0;
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 4; ++x) {
        const std::size_t i = std::size_t(y * 4 + x);
        if (PtInRegion(rgn, x, y)) continue;
        ++outside;
        EXPECT_EQ(shown[i], wanted[i]) << skin << " at " << x << "," << y;
      }
    DeleteObject(rgn);
    EXPECT_GT(outside, 0) << skin;
  }

  Manager->SetActive(false);
  Pump();
  EXPECT_TRUE(RegionOf(button->Handle()).empty());
  Manager->SetActive(true);
  Pump();
  RedrawWindow(H(), nullptr, nullptr, RDW_FRAME | RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Pump();
  EXPECT_EQ(RegionOf(button->Handle()), desert);
}

TEST_F(SkinProviderTest, SnapsWithTheNewSizeAndOnlyWhenMoved) {
  LoadSkin("Desert");
  Provider->SetScreenSnap(true);
  MONITORINFO mi{};
  mi.cbSize = sizeof mi;
  GetMonitorInfoA(MonitorFromWindow(H(), MONITOR_DEFAULTTONEAREST), &mi);
  const RECT m = mi.rcMonitor;
  SetWindowPos(H(), nullptr, m.left + 7, m.top + 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  EXPECT_EQ(Window().left, m.left);
  // The right edge is judged at the size the window is taking, not the one it had.
  SetWindowPos(H(), nullptr, m.right - 500 - 6, m.top + 60, 500, 300, SWP_NOZORDER);
  EXPECT_EQ(Window().right, m.right);
  // A change of size alone moves nothing.
  SetWindowPos(H(), nullptr, 0, 0, 492, 300, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_EQ(Window().left, m.right - 500);
}

TEST_F(SkinProviderTest, FormColourFollowsTheSkinAndPaintsAsCustomColour) {
  LoadSkin("Nocturne");
  EXPECT_EQ(Form->Color(), GlobalSectionColor());
  // A custom-coloured provider paints its section in the form's colour.
  TsSectionData& section = ActiveSkin().SkinSectionData[std::size_t(Provider->SkinData()->SkinIndex())];
  section.ImagePercent = section.GradientPercent = 0;
  Provider->SkinData()->SetCustomColor(true);
  Form->SetColor(TColor(0x0000FF));
  Provider->RepaintNonClient();
  TBitmap* cache = Provider->SkinData()->CacheBitmap();
  const int x = Form->Width() / 2, y = Form->Height() / 2;
  const std::uint32_t centre = Pixels(*cache, RECT{x, y, x + 1, y + 1})[0];
  EXPECT_GE(centre >> 16, 0xF0u) << std::hex << centre;  // red, within the section's shading
  EXPECT_LT(centre & 0xFFFF, 0x10u) << std::hex << centre;
  Provider->SkinData()->SetCustomColor(false);
  Manager->SetActive(false);
  Pump();
  EXPECT_EQ(Form->Color(), TColor(clBtnFace));
}

// A skin that keeps the background under the title repaints only the title, to the same pixels.
TEST_F(SkinProviderTest, TitleCacheGivesTheSameImage) {
  LoadSkin("Desert");
  Provider->RepaintNonClient();
  const std::vector<std::uint32_t> full = CacheTop(Form->Height());
  ActiveSkin().SkinSectionData[std::size_t(Provider->SkinData()->SkinIndex())].ReservedBoolean = true;
  Provider->RepaintNonClient();  // full paint, the title background kept
  Provider->RepaintNonClient();  // from the kept title background
  EXPECT_EQ(CacheTop(Form->Height()), full);
  SetWindowTextA(H(), "Another caption");
  EXPECT_NE(CacheTop(Form->Height()), full);
  SetWindowTextA(H(), "Provider");
  EXPECT_EQ(CacheTop(Form->Height()), full);
}

TEST_F(SkinProviderTest, SystemMenuChoosesASkinByKeys) {
  LoadSkin("Desert");
  // Shown twice: one skins submenu and one separator after it.
  Provider->SystemMenu()->MakeSkinsSubmenu();
  Provider->SystemMenu()->MakeSkinsSubmenu();
  TMenuItem* root = Provider->SystemMenu()->Items();
  ASSERT_GE(root->Count(), 2);
  EXPECT_EQ(root->Items(0)->Name(), "SkinSelectItem");
  EXPECT_TRUE(root->Items(1)->IsLine());
  EXPECT_FALSE(root->Items(2)->IsLine());
  int nocturne = -1;
  for (int i = 0; i < root->Items(0)->Count(); ++i)
    if (root->Items(0)->Items(i)->Caption() == "Nocturne") nocturne = i;
  ASSERT_GE(nocturne, 0);
  EXPECT_TRUE(root->Items(0)->Items(nocturne == 0 ? 1 : 0)->Checked());

  // The menu runs its own loop: keys posted from a timer walk it to the skin and choose it.
  bool activeWhileOpen = false;
  RunLater(50, [&] {
    HWND h = H();
    activeWhileOpen = GetActiveWindow() == h;  // the form is drawn active under its own menu
    PostMessageA(h, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(h, WM_KEYDOWN, VK_RIGHT, 0);
    for (int i = 0; i < nocturne; ++i) PostMessageA(h, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(h, WM_KEYDOWN, VK_RETURN, 0);
  });
  RunLater(2000, [] { EndMenu(); });  // never left open, whatever happens to the keys
  const RECT w = Window();
  Provider->ShowSystemMenu(w.left + 10, w.top + 30);
  Pump();
  EXPECT_EQ(Manager->SkinName(), "Nocturne");
  EXPECT_TRUE(activeWhileOpen);
  EXPECT_TRUE(Provider->Skinned());
  // Move and Size stay the platform's: the command reaches the form's own procedure.
  EXPECT_TRUE(Provider->SystemMenu()->ItemMove()->Visible());
}

TEST_F(SkinProviderTest, TitleButtonsAndBorderIconsInPlace) {
  int downs = 0, ups = 0;
  struct TCounter {
    int* D;
    int* U;
    void Down(TObject*, TMouseButton, TShiftState, int, int) { ++*D; }
    void Up(TObject*, TMouseButton, TShiftState, int, int) { ++*U; }
  } counter{&downs, &ups};
  TsTitleButton* b = Provider->TitleButtons()->Add();
  b->SetOnMouseDown(TMouseEvent(&counter, &TCounter::Down));
  b->SetOnMouseUp(TMouseEvent(&counter, &TCounter::Up));
  LoadSkin("Desert");
  Provider->RepaintNonClient();
  EXPECT_EQ(HitAt(ButtonPoint(1000)), 1000);
  NcClick(1000, 1000);
  EXPECT_EQ(downs, 1);
  EXPECT_EQ(ups, 1);
  b->SetEnabled(false);
  EXPECT_EQ(HitAt(ButtonPoint(1000)), HTCAPTION);

  // A live form takes new border icons without a new window.
  Manager->SetActive(false);
  Pump();
  const HWND h = H();
  Form->SetBorderIcons(biSystemMenu);
  EXPECT_EQ(H(), h);
  EXPECT_FALSE(GetWindowLongPtrA(h, GWL_STYLE) & WS_MINIMIZEBOX);
}

TEST_F(SkinProviderTest, OwnScrollBarsWhileSkinnedTheFormsOwnWithout) {
  TPanel* low = NewControl<TPanel>(Form, Form, RECT{10, 400, 100, 450});
  ASSERT_TRUE(Form->AutoScroll());
  LoadSkin("Desert");
  ASSERT_NE(Provider->VertScrollBar(), nullptr);
  EXPECT_EQ(Provider->HorzScrollBar(), nullptr);
  EXPECT_FALSE(Form->AutoScroll());
  Provider->VertScrollBar()->SetPosition(100);
  EXPECT_EQ(low->Top(), 300);
  EXPECT_EQ(Provider->VertScrollBar()->Top(), 0);  // the bar itself stays
  Manager->SetActive(false);
  Pump();
  EXPECT_EQ(Provider->VertScrollBar(), nullptr);
  EXPECT_EQ(low->Top(), 400);
  EXPECT_TRUE(Form->AutoScroll());
}

// The skin's bars follow the form's own settings: Increment is the line step, a hidden bar is
// freed (children scrolled back) and a Range past the children brings a bar of that range.
TEST_F(SkinProviderTest, OwnScrollBarsFollowTheFormsScrollBarSettings) {
  TPanel* low = NewControl<TPanel>(Form, Form, RECT{10, 400, 100, 450});
  Form->VertScrollBar()->SetIncrement(24);
  LoadSkin("Desert");
  TsScrollBar* vert = Provider->VertScrollBar();
  ASSERT_NE(vert, nullptr);
  EXPECT_EQ(vert->SmallChange(), 24);
  vert->SetPosition(50);
  EXPECT_EQ(low->Top(), 350);

  Form->VertScrollBar()->SetVisible(false);
  EXPECT_EQ(Provider->VertScrollBar(), nullptr);
  EXPECT_EQ(low->Top(), 400);

  ASSERT_EQ(Provider->HorzScrollBar(), nullptr);
  Form->HorzScrollBar()->SetRange(Form->ClientWidth() + 300);
  ASSERT_NE(Provider->HorzScrollBar(), nullptr);
  EXPECT_EQ(Provider->HorzScrollBar()->Max(), Form->ClientWidth() + 300);
  EXPECT_FALSE(Form->AutoScroll());  // the form's own bars stay away while skinned
}

// Handles stay flat over skinned forms with a menu made, shown, clicked, dragged and freed.
TEST_F(SkinProviderTest, CensusOfFormsAndSkinSwitches) {
  LoadSkin("Desert");
  auto cycle = [] {
    TForm* f = NewComponent<TForm>(Application);
    auto* menu = NewComponent<TMainMenu>(f);
    for (const char* caption : {"&File", "&Edit", "&View"}) {
      auto* item = NewComponent<TMenuItem>(menu);
      item->SetCaption(caption);
      menu->Items()->Add(item);
    }
    f->SetMenu(menu);
    auto* p = NewComponent<TsSkinProvider>(f);
    p->SetResizeMode(TsResizeMode::rmBorder);
    f->SetBounds(30, 30, 300, 200);
    f->Show();
    HWND h = f->Handle();
    RECT w;
    GetWindowRect(h, &w);
    SendMessageA(h, WM_NCHITTEST, 0, MAKELPARAM(w.right - 10, w.top + 10));
    SendMessageA(h, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(w.left + 100, w.top + 10));
    SendMessageA(h, WM_MOUSEMOVE, 0, MAKELPARAM(120, 5));
    SendMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(120, 5));
    f->Free();
  };
  EXPECT_EQ(TGuiCensus::ChangeOver(kCensusCycles, cycle), TGuiCensus());

  std::vector<TForm*> forms;
  for (int i = 0; i < 5; ++i) {
    TForm* f = NewComponent<TForm>(Application);
    NewComponent<TsSkinProvider>(f);
    f->SetBounds(20 + 10 * i, 20 + 10 * i, 260, 180);
    f->Show();
    forms.push_back(f);
  }
  auto switches = [this] {
    Manager->SetActive(true);
    Manager->SetSkinName("Nocturne");
    Manager->SetSkinName("Desert");
    Manager->SetActive(false);
    Pump();
  };
  EXPECT_EQ(TGuiCensus::ChangeOver(20, switches), TGuiCensus());
  for (TForm* f : forms) f->Free();
}

}  // namespace

// A menu bar given to a skinned form gets the skinned painter with the next frame, and loses it
// with the skin.
TEST_F(SkinProviderTest, AMenuGivenToASkinnedFormIsPaintedByTheSkinAndLetGoWithIt) {
  LoadSkin("Desert");
  auto* menu = NewComponent<TMainMenu>(Form);
  auto* file = NewComponent<TMenuItem>(Form);
  file->SetCaption("&File");
  menu->Items()->Add(file);
  auto* open = NewComponent<TMenuItem>(Form);
  open->SetCaption("&Open");
  file->Add(open);
  Form->SetMenu(menu);
  RedrawWindow(H(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  Pump();
  EXPECT_TRUE(menu->OwnerDraw());
  EXPECT_TRUE(bool(file->OnAdvancedDrawItem()));
  EXPECT_TRUE(bool(open->OnAdvancedDrawItem()));

  Manager->SetActive(false);
  Pump();
  EXPECT_FALSE(bool(file->OnAdvancedDrawItem()));
  EXPECT_FALSE(bool(open->OnAdvancedDrawItem()));
}

// A change of the system's colours builds the skinned menu bar anew (its items measured and drawn
// again), owner-drawn, with its captions as they were.
TEST_F(SkinProviderTest, ASystemColourChangeBuildsTheSkinnedMenuBarAnew) {
  LoadSkin("Desert");
  auto* menu = NewComponent<TMainMenu>(Form);
  for (const char* caption : {"&File", "&Edit"}) {
    auto* item = NewComponent<TMenuItem>(Form);
    item->SetCaption(caption);
    menu->Items()->Add(item);
  }
  Form->SetMenu(menu);
  RedrawWindow(H(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  Pump();
  const HMENU before = GetMenu(H());
  ASSERT_TRUE(menu->OwnerDraw());

  SendMessageA(H(), WM_SYSCOLORCHANGE, 0, 0);
  Pump();
  const HMENU after = GetMenu(H());
  EXPECT_NE(after, before);
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_FTYPE;
  ASSERT_TRUE(GetMenuItemInfoA(after, 0, TRUE, &info));
  EXPECT_TRUE(info.fType & MFT_OWNERDRAW);
  EXPECT_EQ(menu->Items()->Items(0)->Caption(), "&File");
  EXPECT_FALSE(Provider->SkinData()->BackgroundChanged());
}

// A title icon larger than 16 pixels shows the program's large icon, not its small one stretched.
TEST_F(SkinProviderTest, ALargeTitleIconIsTheProgramsLargeIcon) {
  ASSERT_NE(AppLargeIcon(), nullptr);
  LoadSkin("Desert");
  Form->SetCaption("");
  Provider->TitleIcon()->SetWidth(32);
  Provider->TitleIcon()->SetHeight(32);
  Provider->SetShowAppIcon(false);
  Provider->RepaintNonClient();
  TBitmap expected;
  expected.Assign(Provider->SkinData()->CacheBitmap());
  Provider->SetShowAppIcon(true);
  Provider->RepaintNonClient();
  const TsFrameFacts f = Provider->FrameFacts();
  const TRect ir = IconRect(f, TsSkinProvider::SystemSizes());
  ASSERT_EQ(ir.Height(), 32);
  DrawIconEx(expected.Canvas()->Handle(), ir.Left, ir.Top, AppLargeIcon()->Handle(), 32, 32, 0, nullptr, DI_NORMAL);
  const RECT area{ir.Left, std::max(ir.Top, 0), ir.Right, ir.Bottom};
  EXPECT_EQ(Pixels(*Provider->SkinData()->CacheBitmap(), area), Pixels(expected, area));
}

// The band places only the items the menu painter measures and draws: a long menu wraps into more
// rows, and takes none with a skin manager that has no menu painter.
TEST_F(SkinProviderTest, MenuItemsWithoutThePaintersHandlersTakeNoRoomInTheBand) {
  LoadSkin("Desert");
  auto* menu = NewComponent<TMainMenu>(Form);
  for (int i = 0; i < 8; ++i) {
    auto* item = NewComponent<TMenuItem>(Form);
    item->SetCaption("A rather long menu title " + std::to_string(i));
    menu->Items()->Add(item);
  }
  Form->SetMenu(menu);
  RedrawWindow(H(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  Pump();
  ASSERT_TRUE(bool(menu->Items()->Items(1)->OnMeasureItem()));
  EXPECT_GT(Provider->MenuRowCount(), 1);

  Manager->Free();
  Manager = nullptr;
  SetMenuSkinnerFactory(nullptr);
  LoadSkin("Desert");
  InstallSkinableMenus();
  Provider->RepaintMenuLine();
  ASSERT_FALSE(bool(menu->Items()->Items(1)->OnMeasureItem()));
  EXPECT_EQ(Provider->MenuRowCount(), 1);
}

// Move and Size of the system menu run the outline drag from the caption's middle or the
// bottom-right corner; the next click puts the window where the outline is.
TEST_F(SkinProviderTest, MoveAndSizeOfTheSystemMenuRunTheOutlineDrag) {
  LoadSkin("Desert");
  const RECT before = Window();
  auto releaseAt = [&](int dx, int dy) {
    POINT p;
    GetCursorPos(&p);
    p.x += dx;
    p.y += dy;
    ScreenToClient(H(), &p);
    SendMessageA(H(), WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y));
    SendMessageA(H(), WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
  };
  SendMessageA(H(), WM_SYSCOMMAND, SC_MOVE, 0);
  EXPECT_TRUE(Provider->Dragging());
  EXPECT_EQ(GetCapture(), H());
  releaseAt(30, 20);
  EXPECT_FALSE(Provider->Dragging());
  EXPECT_EQ(Window().left, before.left + 30);
  EXPECT_EQ(Window().top, before.top + 20);
  EXPECT_EQ(Recorder.SysCommands(SC_MOVE), 0);  // the platform's own move loop never runs

  SendMessageA(H(), WM_SYSCOMMAND, SC_SIZE, 0);
  EXPECT_TRUE(Provider->Dragging());
  releaseAt(15, 25);
  EXPECT_EQ(Window().right - Window().left, before.right - before.left + 15);
  EXPECT_EQ(Window().bottom - Window().top, before.bottom - before.top + 25);
}

namespace {

// The menu of the drop-down window shown now; null when none is shown.
HMENU ShownDropDown() {
  HWND popup = nullptr;
  while ((popup = FindWindowExA(nullptr, popup, "#32768", nullptr)) != nullptr)
    if (IsWindowVisible(popup)) return reinterpret_cast<HMENU>(SendMessageA(popup, MN_GETHMENU, 0, 0));
  return nullptr;
}

// Steps of a scenario run from inside the modal loops it opens: each waits, by polling from the
// loop's own message handling, until its condition holds, then acts.
class TMenuScenario {
public:
  using TStep = std::pair<std::function<bool()>, std::function<void()>>;
  void Run(std::vector<TStep> steps) {
    FSteps = std::move(steps);
    Next();
    for (int i = 0; i < 2000 && !FDone; ++i) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
      ::Pump();
    }
  }
  bool Finished() const { return FDone && FFailedStep < 0; }
  int FailedStep() const { return FFailedStep; }

private:
  void Next() {
    if (FAt >= FSteps.size()) {
      FDone = true;
      return;
    }
    if (FSteps[FAt].first()) {
      FTries = 0;
      FSteps[FAt++].second();
      Next();
      return;
    }
    if (++FTries > 400) {
      // Never leaves a loop open behind a failed step.
      FFailedStep = int(FAt);
      FDone = true;
      EndMenu();
      return;
    }
    RunLater(10, [this] { Next(); });
  }
  std::vector<TStep> FSteps;
  std::size_t FAt = 0;
  int FTries = 0;
  int FFailedStep = -1;
  bool FDone = false;
};

}  // namespace

TEST_F(SkinProviderTest, AfterEscapeClosesADropDownTheNextClickOnATitleOpensThatMenu) {
  auto* menu = NewComponent<TMainMenu>(Form);
  auto add = [&](TMenuItem* parent, const char* caption) {
    auto* item = NewComponent<TMenuItem>(Form);
    item->SetCaption(caption);
    parent->Add(item);
    return item;
  };
  add(add(menu->Items(), "&File"), "&Open");
  add(add(menu->Items(), "&Options"), "&Settings");
  Form->SetMenu(menu);
  Recorder.SwallowSysCommand = false;  // the platform's menu loop starts from SC_MOUSEMENU
  LoadSkin("Desert");
  SetForegroundWindow(H());
  Pump();
  HMENU bar = GetMenu(H());
  ASSERT_NE(bar, nullptr);
  auto titlePoint = [&](int index) {
    RECT r{};
    GetMenuItemRect(H(), bar, UINT(index), &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  };
  const HMENU fileMenu = GetSubMenu(bar, 0), optionsMenu = GetSubMenu(bar, 1);
  ASSERT_EQ(SendMessageA(H(), WM_NCHITTEST, 0, MAKELPARAM(titlePoint(1).x, titlePoint(1).y)), HTMENU);

  TMenuScenario scenario;
  ClickAt(titlePoint(1));
  scenario.Run({
      // A second click on the title that a click opened closes its drop-down.
      {[&] { return ShownDropDown() == optionsMenu; }, [&] { ClickAt(titlePoint(1)); }},
      {[&] { return ShownDropDown() == nullptr; }, [&] { ClickAt(titlePoint(1)); }},
      {[&] { return ShownDropDown() == optionsMenu; }, [] { PressKey(VK_ESCAPE); }},
      {[&] { return ShownDropDown() == nullptr; }, [&] { ClickAt(titlePoint(0)); }},
      {[&] { return ShownDropDown() == fileMenu; }, [&] { ClickAt(titlePoint(0)); }},
      {[&] { return ShownDropDown() == nullptr; }, [] {}},
  });
  EXPECT_TRUE(scenario.Finished()) << "stopped waiting at step " << scenario.FailedStep();
}

// An MDI main form and a child, each with its skin provider, as the program makes them.
class TMdiFrame : public TForm {
public:
  explicit TMdiFrame(TComponent* owner) : TForm(owner) {
    SetFormStyle(fsMDIForm);
    SetBounds(40, 40, 520, 380);
  }
};
class TMdiChild : public TForm {
public:
  explicit TMdiChild(TComponent* owner) : TForm(owner) {
    SetFormStyle(fsMDIChild);
    SetBounds(10, 10, 160, 100);
    NewComponent<TsSkinProvider>(this);
  }
};

// An MDI main form's provider makes the skinned client: a maximized child puts its item first in
// the menu, and restoring the child takes it away.
// With skinned popups a right press on the caption stays with the skin and the release opens the
// skin's own system menu; a right press elsewhere in the frame goes on to the form.
TEST_F(SkinProviderTest, ARightClickOnTheCaptionOpensTheSkinsSystemMenu) {
  LoadSkin("Desert");
  const RECT w = Window();
  const LPARAM at = MAKELPARAM((w.left + w.right) / 2, ButtonPoint(HTCLOSE).y);
  SendMessageA(H(), WM_NCRBUTTONDOWN, HTCAPTION, at);
  SendMessageA(H(), WM_NCRBUTTONDOWN, HTSYSMENU, at);
  EXPECT_EQ(Recorder.Count(WM_NCRBUTTONDOWN), 0);
  SendMessageA(H(), WM_NCRBUTTONDOWN, HTBORDER, at);
  EXPECT_EQ(Recorder.Count(WM_NCRBUTTONDOWN), 1);

  HMENU shown = nullptr;
  RunLater(50, [&] {
    shown = ShownDropDown();
    EndMenu();
  });
  RunLater(2000, [] { EndMenu(); });  // never left open
  SendMessageA(H(), WM_NCRBUTTONUP, HTCAPTION, at);
  Pump();
  EXPECT_EQ(shown, Provider->SystemMenu()->Handle());
}

TEST_F(SkinProviderTest, AltSpaceOpensTheSkinsSystemMenu) {
  LoadSkin("Desert");
  HMENU shown = nullptr;
  RunLater(50, [&] {
    shown = ShownDropDown();
    EndMenu();
  });
  RunLater(2000, [] { EndMenu(); });  // never left open
  PressKey(VK_SPACE, false, true);
  PumpUntil([&] { return shown != nullptr; }, 1500);
  EXPECT_EQ(shown, Provider->SystemMenu()->Handle());
}

TEST(SkinProviderMDI, WithoutASkinAMaximizedChildLeavesTheMainMenuToThePlatform) {
  Application->Initialize();
  ASSERT_EQ(Application->MainForm(), nullptr);
  TMdiFrame* frame = nullptr;
  Application->CreateForm(frame);
  auto* menu = NewComponent<TMainMenu>(frame);
  auto* file = NewComponent<TMenuItem>(frame);
  file->SetCaption("&File");
  menu->Items()->Add(file);
  frame->SetMenu(menu);
  auto* provider = NewComponent<TsSkinProvider>(frame);
  ASSERT_NE(provider->MDIForm(), nullptr);
  EXPECT_TRUE(provider->MDIForm()->ClientHooked());
  frame->Show();
  Pump();

  TMdiChild* child = nullptr;
  Application->CreateForm(child);
  Pump();
  SendMessageA(child->Handle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  Pump();
  // Without a skin the platform shows the child's icon and buttons in the bar: no item of ours.
  ASSERT_GT(menu->Items()->Count(), 0);
  EXPECT_EQ(menu->Items()->Items(0), file);
  EXPECT_EQ(menu->Items()->Count(), 1);
  SendMessageA(child->Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
  Pump();
  EXPECT_EQ(menu->Items()->Items(0), file);

  child->Free();
  frame->Free();
  Pump();
}

// A left click on an iconic MDI child opens the skin's system menu of that child.
TEST(SkinProviderMDI, ALeftReleaseOnAnIconicChildOpensItsSkinnedSystemMenu) {
  Application->Initialize();
  TMdiFrame* frame = nullptr;
  Application->CreateForm(frame);
  NewComponent<TsSkinProvider>(frame);
  frame->Show();
  TMdiChild* child = nullptr;
  Application->CreateForm(child);
  TsSkinManager* manager = NewBundledSkinManager("Nocturne");
  Pump();
  TsSkinProvider* provider = nullptr;
  for (int i = 0; i < child->ComponentCount(); ++i)
    if (auto* p = dynamic_cast<TsSkinProvider*>(child->Components(i))) provider = p;
  ASSERT_TRUE(provider && provider->Skinned());
  SendMessageA(child->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  Pump();
  ASSERT_TRUE(IsIconic(child->Handle()));

  HMENU shown = nullptr;
  RunLater(50, [&] {
    shown = ShownDropDown();
    EndMenu();
  });
  RunLater(2000, [] { EndMenu(); });  // never left open
  SendMessageA(child->Handle(), WM_NCLBUTTONUP, HTCAPTION, 0);
  Pump();
  EXPECT_EQ(shown, provider->SystemMenu()->Handle());

  child->Free();
  frame->Free();
  manager->Free();
  InstallSkinTables({});
  ::SkinData().Active = false;
  Pump();
}

namespace {

RECT BoundsOf(const TControl* c) { return RECT{c->Left(), c->Top(), c->Left() + c->Width(), c->Top() + c->Height()}; }

// A form laid out as the program's windows are: a panel aligned to the top with a control anchored
// to both sides, a client panel with a control anchored to its bottom-right corner, and a gauge and
// a status bar along the bottom; skinned in each look (none, Desert, Nocturne).
class SkinProviderMaximize : public ::testing::TestWithParam<const char*> {
protected:
  void SetUp() override {
    Application->Initialize();
    Form = NewComponent<TForm>(Application);
    Form->SetBounds(70, 50, 460, 320);
    Form->SetCaption("Showcase");
    Provider = NewComponent<TsSkinProvider>(Form);
    Provider->SetResizeMode(TsResizeMode::rmBorder);
    Gauge = NewControl<TsGauge>(Form, Form, RECT{0, 0, 100, 16});
    Gauge->SetAlign(alBottom);
    Gauge->SetProgress(100);
    Gauge->SetSuffix("%");
    Status = NewControl<TsStatusBar>(Form, Form);
    Status->SetSimplePanel(true);
    Status->SetSimpleText("Ready");
    Top = NewControl<TPanel>(Form, Form, RECT{0, 0, 100, 48});
    Top->SetAlign(alTop);
    Client = NewControl<TPanel>(Form, Form, RECT{0, 0, 100, 100});
    Client->SetAlign(alClient);
    Stretch = NewControl<TPanel>(Form, Top, RECT{8, 8, Top->Width() - 8, 40});
    Stretch->SetAnchors(akLeft | akTop | akRight);
    Corner = NewControl<TPanel>(Form, Client, RECT{Client->Width() - 90, Client->Height() - 40,
                                                   Client->Width() - 10, Client->Height() - 10});
    Corner->SetAnchors(akRight | akBottom);
    Form->Show();
    Pump();
    if (std::string(GetParam()) != "none") {
      Manager = NewBundledSkinManager(GetParam());
      Pump();
      ASSERT_TRUE(Provider->Skinned());
    }
    SetForegroundWindow(H());
    Pump();
  }
  void TearDown() override {
    Form->Free();
    if (Manager) Manager->Free();
    InstallSkinTables({});
    ::SkinData().Active = false;
    Pump();
  }
  HWND H() { return Form->Handle(); }
  RECT Window() {
    RECT r;
    GetWindowRect(H(), &r);
    return r;
  }
  RECT ClientOnScreen() {
    RECT c;
    GetClientRect(H(), &c);
    MapWindowPoints(H(), HWND_DESKTOP, reinterpret_cast<POINT*>(&c), 2);
    return c;
  }
  void ClickMaximizeButton(bool zoomedAfter) {
    ClickAt(MaximizeButtonPoint(Form, Provider));
    EXPECT_TRUE(PumpUntil([&] { return bool(IsZoomed(H())) == zoomedAfter; })) << GetParam();
    Pump();
  }
  // What the layout gives: the aligned controls span the client area and the anchored ones keep
  // their distances to the edges they are anchored to.
  struct TLayout {
    int ClientWidth, ClientHeight, TopWidth, GaugeWidth, GaugeBottom, StatusWidth, StretchRightGap, CornerRightGap,
        CornerBottomGap;
    bool operator==(const TLayout&) const = default;
  };
  TLayout Layout() {
    RECT c;
    GetClientRect(H(), &c);
    return TLayout{c.right,
                   c.bottom,
                   Top->Width(),
                   Gauge->Width(),
                   Gauge->Top() + Gauge->Height(),
                   Status->Width(),
                   Top->ClientWidth() - (Stretch->Left() + Stretch->Width()),
                   Client->ClientWidth() - (Corner->Left() + Corner->Width()),
                   Client->ClientHeight() - (Corner->Top() + Corner->Height())};
  }
  void ExpectMaximizedLayout(const TLayout& before) {
    const RECT work = WorkArea();
    const RECT w = Window();
    if (Provider->Skinned()) {
      // The skin paints its frame inside the window: all of it lies on the work area.
      EXPECT_TRUE(SameRect(w, work)) << w.left << "," << w.top << " " << w.right << "," << w.bottom;
      EXPECT_TRUE(CaptionButtonsInside(Form, Provider, work));
    }
    // The client area lies on the work area; the platform's own frame goes past its edges.
    const RECT c = ClientOnScreen();
    EXPECT_TRUE(RectInside(c, work));
    if (!Provider->Skinned()) {
      EXPECT_EQ(c.left, work.left);
      EXPECT_EQ(c.right, work.right);
    }
    const TLayout now = Layout();
    const RECT client{0, 0, now.ClientWidth, now.ClientHeight};
    for (int i = 0; i < Form->ControlCount(); ++i)
      EXPECT_TRUE(RectInside(BoundsOf(Form->Controls(i)), client)) << "child " << i;
    EXPECT_EQ(now.TopWidth, now.ClientWidth);
    EXPECT_EQ(now.GaugeWidth, now.ClientWidth);
    EXPECT_EQ(now.GaugeBottom, now.ClientHeight);
    EXPECT_EQ(now.StatusWidth, now.ClientWidth);
    EXPECT_EQ(now.StretchRightGap, before.StretchRightGap);
    EXPECT_EQ(now.CornerRightGap, before.CornerRightGap);
    EXPECT_EQ(now.CornerBottomGap, before.CornerBottomGap);
    // The gauge shows its new width: its image is built again at that size.
    RedrawWindow(H(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    if (Provider->Skinned()) {
      ASSERT_NE(Gauge->SkinData().CacheBitmap(), nullptr);
      EXPECT_EQ(Gauge->SkinData().CacheBitmap()->Width(), now.GaugeWidth);
    }
    RECT statusOnScreen;
    GetWindowRect(Status->Handle(), &statusOnScreen);
    EXPECT_EQ(statusOnScreen.left, c.left);
    EXPECT_EQ(statusOnScreen.right, c.right);
  }
  void ExpectRestored(const RECT& rect, const TLayout& layout) {
    const RECT w = Window();
    EXPECT_TRUE(SameRect(w, rect)) << w.left << "," << w.top << " " << w.right << "," << w.bottom;
    EXPECT_EQ(Layout(), layout);
  }

  // The right end of the status bar's image, a square of its height.
  std::vector<std::uint32_t> StatusCorner() {
    Status->SkinData().SetRepaintNeeded(true);
    RedrawWindow(Status->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    TBitmap* cache = Status->SkinData().CacheBitmap();
    return Pixels(*cache, RECT{cache->Width() - cache->Height(), 0, cache->Width(), cache->Height()});
  }

  TForm* Form = nullptr;
  TsSkinProvider* Provider = nullptr;
  TsSkinManager* Manager = nullptr;
  TsGauge* Gauge = nullptr;
  TsStatusBar* Status = nullptr;
  TPanel *Top = nullptr, *Client = nullptr, *Stretch = nullptr, *Corner = nullptr;
};

TEST_P(SkinProviderMaximize, ByTheCaptionButtonTheWorkAreaAndBackToTheExactRectangle) {
  const RECT before = Window();
  const TLayout layout = Layout();
  ClickMaximizeButton(true);
  ExpectMaximizedLayout(layout);
  // The skinned frame of a maximized window lies on the screen, but it neither sizes nor moves it.
  const RECT w = Window();
  const int middleY = (w.top + w.bottom) / 2, middleX = (w.left + w.right) / 2;
  std::vector<POINT> edges;
  if (Provider->Skinned())
    edges = {POINT{w.left + 3, middleY}, POINT{w.right - 4, middleY}, POINT{middleX, w.bottom - 4},
             POINT{w.right - 4, w.bottom - 4}};
  for (const POINT p : edges) {
    const LRESULT code = SendMessageA(H(), WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
    EXPECT_FALSE(code >= HTLEFT && code <= HTBOTTOMRIGHT) << code << " at " << p.x << "," << p.y;
    SendMessageA(H(), WM_NCLBUTTONDOWN, code, MAKELPARAM(p.x, p.y));
    EXPECT_FALSE(Provider->Dragging());
    SendMessageA(H(), WM_NCLBUTTONUP, code, MAKELPARAM(p.x, p.y));
  }
  EXPECT_TRUE(SameRect(Window(), w));
  ClickMaximizeButton(false);
  ExpectRestored(before, layout);
}

TEST_P(SkinProviderMaximize, BySystemCommandTheWorkAreaAndBackToTheExactRectangle) {
  const RECT before = Window();
  const TLayout layout = Layout();
  SendMessageA(H(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  ASSERT_TRUE(IsZoomed(H()));
  if (!Provider->Skinned()) {
    // The whole bar is painted again, or its size grip stays where the bar ended before.
    RECT update{};
    GetUpdateRect(Status->Handle(), &update, FALSE);
    EXPECT_EQ(update.left, 0);
    EXPECT_EQ(update.right, Status->Width());
  }
  Pump();
  ExpectMaximizedLayout(layout);
  SendMessageA(H(), WM_SYSCOMMAND, SC_RESTORE, 0);
  Pump();
  ExpectRestored(before, layout);
  // Maximized again after a move: restoring gives the moved rectangle.
  SetWindowPos(H(), nullptr, before.left + 30, before.top + 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  const RECT moved = Window();
  SendMessageA(H(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  Pump();
  ExpectMaximizedLayout(layout);
  if (Provider->Skinned()) {
    // No size grip while maximized, as the native bar shows none: the corner is as without one.
    const std::vector<std::uint32_t> corner = StatusCorner();
    Status->SetSizeGrip(false);
    EXPECT_EQ(corner, StatusCorner());
    Status->SetSizeGrip(true);
  }
  SendMessageA(H(), WM_SYSCOMMAND, SC_RESTORE, 0);
  Pump();
  ExpectRestored(moved, layout);
}

INSTANTIATE_TEST_SUITE_P(Looks, SkinProviderMaximize, ::testing::Values("none", "Desert", "Nocturne"),
                         [](const auto& info) { return std::string(info.param); });

}  // namespace

namespace {

std::vector<std::uint32_t> FormCachePixels(TsSkinProvider* provider) {
  TBitmap* cache = static_cast<TsSkinPeer*>(provider)->SkinCache().Bitmap;
  if (!cache || cache->Width() == 0) return {};
  return Pixels(*cache, RECT{0, 0, cache->Width(), cache->Height()});
}

}  // namespace

// A form hidden at a switch paints no frame then; shown, it paints as a form made under the new skin.
TEST_F(SkinProviderTest, AHiddenFormPaintsTheNewSkinWhenShown) {
  LoadSkin("Desert");
  const std::vector<std::uint32_t> desert = FormCachePixels(Provider);
  ASSERT_FALSE(desert.empty());
  Form->Hide();
  Pump();
  const int frames = Provider->FramePaints();
  LoadSkin("Nocturne");
  EXPECT_EQ(Provider->FramePaints(), frames);
  Form->Show();
  Pump();
  EXPECT_GT(Provider->FramePaints(), frames);
  const std::vector<std::uint32_t> shown = FormCachePixels(Provider);

  TForm* fresh = NewComponent<TForm>(Application);
  fresh->SetBounds(60, 60, 420, 300);
  fresh->SetCaption("Provider");
  auto* freshProvider = NewComponent<TsSkinProvider>(fresh);
  freshProvider->SetResizeMode(TsResizeMode::rmBorder);
  fresh->Show();
  Pump();
  EXPECT_EQ(shown, FormCachePixels(freshProvider));
  EXPECT_NE(shown, desert);
  fresh->Free();
  Pump();
}
