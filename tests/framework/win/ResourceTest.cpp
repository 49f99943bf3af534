#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <vector>

#include "TGuiCensus.h"
#include "TestSupport.h"
#include "framework/base/TStringList.h"
#include "framework/win/TBitmap.h"
#include "framework/win/TCanvas.h"
#include "framework/win/TCustomEdit.h"
#include "framework/win/TGraphicControl.h"
#include "framework/win/THintWindow.h"
#include "framework/win/TImageList.h"
#include "framework/win/TPanel.h"
#include "framework/win/TRegistry.h"
#include "framework/win/TScreen.h"

namespace {

using TFree = std::function<void()>;
struct TLeak {
  const char* Kind;
  int (TGuiCensus::*Count)() const;
  std::function<TFree()> Leak;  // returns what frees the object
  bool SeenFromOutside;         // what OfProcess cannot tell apart, it does not see
};

// Each kind of object the census tells apart, leaked on purpose, on `window`.
std::vector<TLeak> Leaks(HWND window) {
  auto gdi = [](HGDIOBJ h) -> TFree { return [h] { DeleteObject(h); }; };
  auto newWindow = [](HWND parent, DWORD style) -> TFree {
    HWND w = CreateWindowExA(0, "STATIC", "leak", style, 0, 0, 10, 10, parent, nullptr, nullptr, nullptr);
    return [w] { DestroyWindow(w); };
  };
  static LOGPALETTE palette{0x300, 1, {{1, 2, 3, 0}}};
  return {
      {"bitmap", &TGuiCensus::Bitmaps, [=] { return gdi(CreateBitmap(4, 4, 1, 32, nullptr)); }, true},
      {"memory DC", &TGuiCensus::DCs,
       [] {
         HDC dc = CreateCompatibleDC(nullptr);
         return TFree([dc] { DeleteDC(dc); });
       },
       true},
      {"window DC", &TGuiCensus::DCs,
       [window] {
         HDC dc = GetDC(window);
         return TFree([window, dc] { ReleaseDC(window, dc); });
       },
       false},
      {"font", &TGuiCensus::Fonts,
       [=] { return gdi(CreateFontA(-12, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "Arial")); }, true},
      {"brush", &TGuiCensus::Brushes, [=] { return gdi(CreateSolidBrush(RGB(1, 2, 3))); }, true},
      {"pen", &TGuiCensus::Pens, [=] { return gdi(CreatePen(PS_SOLID, 1, RGB(1, 2, 3))); }, true},
      {"region", &TGuiCensus::Regions, [=] { return gdi(CreateRectRgn(0, 0, 5, 5)); }, true},
      {"palette", &TGuiCensus::Palettes, [=] { return gdi(CreatePalette(&palette)); }, true},
      {"window", &TGuiCensus::Windows, [=] { return newWindow(nullptr, WS_POPUP); }, true},
      {"child window", &TGuiCensus::Windows, [=] { return newWindow(window, WS_CHILD); }, true},
      {"message-only window", &TGuiCensus::Windows, [=] { return newWindow(HWND_MESSAGE, 0); }, true},
      {"menu", &TGuiCensus::Menus,
       [] {
         HMENU m = CreatePopupMenu();
         return TFree([m] { DestroyMenu(m); });
       },
       false},
      {"menu bar", &TGuiCensus::Menus,
       [window] {
         HMENU m = CreateMenu();
         SetMenu(window, m);
         return TFree([window, m] {
           SetMenu(window, nullptr);
           DestroyMenu(m);
         });
       },
       true},
  };
}

HWND CensusWindow() {
  HWND window = CreateWindowExA(0, "STATIC", "census", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                                nullptr, nullptr);
  ReleaseDC(window, GetDC(window));  // a free DC in Wine's cache: the leaked one below adds no region
  // The first menu bar loads the menu font and keeps a region for good.
  HMENU menu = CreateMenu();
  SetMenu(window, menu);
  SetMenu(window, nullptr);
  DestroyMenu(menu);
  return window;
}

// Each kind leaked: the census must see exactly one more of that kind, and nothing once it is
// freed (a census that cannot fail proves nothing).
TEST(GuiCensus, SeesEachKindOfObjectLeakedAndFreed) {
  HWND window = CensusWindow();
  ASSERT_NE(window, nullptr);
  for (const TLeak& leak : Leaks(window)) {
    SCOPED_TRACE(leak.Kind);
    TGuiCensus before = TGuiCensus::Now();
    TFree free = leak.Leak();
    TGuiCensus change = TGuiCensus::Now() - before;
    EXPECT_EQ((change.*leak.Count)(), 1) << change;
    EXPECT_EQ(change.Gdi() + change.User(), 1) << change;
    free();
    EXPECT_EQ(TGuiCensus::Now() - before, TGuiCensus());
  }
  DestroyWindow(window);
}

// Taken from outside (here on this process, through its handle), the census sees the same change
// as the own-process one, except what it says it cannot tell apart.
TEST(GuiCensus, OfProcessSeesWhatTheOwnCensusSees) {
  HWND window = CensusWindow();
  ASSERT_NE(window, nullptr);
  for (const TLeak& leak : Leaks(window)) {
    SCOPED_TRACE(leak.Kind);
    TGuiCensus before = TGuiCensus::OfProcess(GetCurrentProcess());
    TGuiCensus ownBefore = TGuiCensus::Now();
    TFree free = leak.Leak();
    TGuiCensus own = TGuiCensus::Now() - ownBefore;
    TGuiCensus change = TGuiCensus::OfProcess(GetCurrentProcess()) - before;
    EXPECT_EQ(change, leak.SeenFromOutside ? own : TGuiCensus()) << change;
    free();
    EXPECT_EQ(TGuiCensus::OfProcess(GetCurrentProcess()) - before, TGuiCensus());
  }
  DestroyWindow(window);
}

TEST(GuiCensus, OfProcessCountsAsManyObjectsAsTheOwnCensus) {
  // The own census leaves out the cached window DCs and the DCs' internal objects; each of the
  // kinds it does count, the outside census finds at least as often.
  const TGuiCensus own = TGuiCensus::Now(), outside = TGuiCensus::OfProcess(GetCurrentProcess());
  EXPECT_EQ(outside.Bitmaps(), own.Bitmaps()) << outside << own;
  EXPECT_EQ(outside.Fonts(), own.Fonts());
  EXPECT_EQ(outside.Brushes(), own.Brushes());
  EXPECT_EQ(outside.Pens(), own.Pens());
  EXPECT_EQ(outside.Windows(), own.Windows());
  EXPECT_GE(outside.DCs(), own.DCs());
  EXPECT_GE(outside.Regions(), own.Regions());
}

TEST(GuiCensus, ChangeOverCountsOnlyTheCyclesAfterTheSettlingOnes) {
  std::vector<HGDIOBJ> brushes;
  TGuiCensus change = TGuiCensus::ChangeOver(5, [&] { brushes.push_back(CreateSolidBrush(RGB(4, 5, 6))); });
  EXPECT_EQ(brushes.size(), 6u);
  EXPECT_EQ(change.Brushes(), 5) << change;
  EXPECT_EQ(change.Gdi() + change.User(), 5) << change;
  for (HGDIOBJ b : brushes) DeleteObject(b);
}

TEST(GuiCensus, PrintsWhatChangedByKind) {
  HDC dc = CreateCompatibleDC(nullptr);
  TGuiCensus before = TGuiCensus::Now();
  DeleteDC(dc);
  HMENU menu = CreateMenu();
  HBITMAP bitmaps[2] = {CreateBitmap(1, 1, 1, 1, nullptr), CreateBitmap(1, 1, 1, 1, nullptr)};
  std::ostringstream text;
  text << TGuiCensus::Now() - before << " " << TGuiCensus();
  EXPECT_EQ(text.str(), "{bitmaps: 2, DCs: -1, menus: 1} {none}");
  DestroyMenu(menu);
  for (HBITMAP b : bitmaps) DeleteObject(b);
}

// A thousand bitmaps, fonts and forms come and go without leaving GDI or USER objects behind,
// and every handle is gone after the free.
TEST(Resources, ThousandsOfBitmapsFontsAndFormsLeaveNothingBehind) {
  // Warm up: the first of each kind makes lasting class registrations and caches.
  {
    TBitmap b;
    b.SetSize(4, 4);
    b.Canvas()->TextOut(0, 0, "x");
    auto form = Make<TTestForm>();
    form->HandleNeeded();
  }
  Pump();
  int i = 0;
  auto cycle = [&i] {
    if (testing::Test::HasFatalFailure()) return;
    HBITMAP bitmapHandle, maskHandle;
    HFONT fontHandle;
    HWND formHandle, childHandle;
    {
      TBitmap b;
      b.SetPixelFormat(i % 2 ? TPixelFormat::Bit24 : TPixelFormat::Bit8);
      b.SetSize(8, 8);
      b.Canvas()->Font()->SetSize(8 + i % 5);
      b.Canvas()->TextOut(0, 0, "x");
      b.SetTransparent(true);
      maskHandle = b.MaskHandle();
      bitmapHandle = b.Handle();
      TFont font;
      font.SetSize(6 + i % 7);
      fontHandle = font.Handle();
      auto form = Make<TTestForm>();
      auto* child = new TTestForm(form.get());
      child->SetParent(form.get());
      child->SetVisible(true);
      formHandle = form->Handle();
      childHandle = child->Handle();
    }
    ASSERT_EQ(GetObjectType(bitmapHandle), 0u) << i;
    ASSERT_EQ(GetObjectType(maskHandle), 0u) << i;
    ASSERT_EQ(GetObjectType(fontHandle), 0u) << i;
    ASSERT_FALSE(IsWindow(formHandle)) << i;
    ASSERT_FALSE(IsWindow(childHandle)) << i;
    ++i;
    Pump();
  };
  EXPECT_EQ(TGuiCensus::ChangeOver(1000, cycle), TGuiCensus());
}

TEST(ImageList, HoldsImagesAndWrapsAForeignListWithoutOwningIt) {
  auto list = Make<TImageList>(nullptr);
  list->SetSize(4, 4);
  TBitmap image;
  image.SetPixelFormat(TPixelFormat::Bit24);
  image.SetSize(8, 4);  // two images side by side
  image.Canvas()->Brush()->SetColor(clRed);
  image.Canvas()->FillRect(RECT{0, 0, 4, 4});
  image.Canvas()->Brush()->SetColor(clBlue);
  image.Canvas()->FillRect(RECT{4, 0, 8, 4});
  EXPECT_EQ(list->Add(&image, nullptr), 0);
  EXPECT_EQ(list->Count(), 2);
  TBitmap second;
  list->GetBitmap(1, &second);
  EXPECT_EQ(second.ScanLine(1)[0], 255);
  EXPECT_EQ(second.ScanLine(1)[2], 0);
  list->Delete(0);
  EXPECT_EQ(list->Count(), 1);

  HIMAGELIST foreign = ImageList_Create(16, 16, ILC_COLOR24, 1, 1);
  {
    auto wrapper = Make<TImageList>(nullptr);
    wrapper->SetShareImages(true);
    wrapper->SetHandle(foreign);
    EXPECT_EQ(wrapper->Width(), 16);
  }
  EXPECT_EQ(ImageList_GetImageCount(foreign), 0);
  EXPECT_TRUE(ImageList_Destroy(foreign));
}

TEST(Registry, ReadsValueNamesAndStringsOfAKey) {
  HKEY key;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\TarvexTest\\Ports", 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(key, "Modem1", 0, REG_SZ, reinterpret_cast<const BYTE*>("COM7"), 5);
  // A string stored without its terminator.
  RegSetValueExA(key, "Modem2", 0, REG_SZ, reinterpret_cast<const BYTE*>("COM12"), 5);
  DWORD number = 5;
  RegSetValueExA(key, "Count", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), 4);
  RegCloseKey(key);

  TRegistry reg;
  reg.SetRootKey(HKEY_CURRENT_USER);
  EXPECT_FALSE(reg.OpenKeyReadOnly("Software\\TarvexTest\\Missing"));
  ASSERT_TRUE(reg.OpenKeyReadOnly("\\Software\\TarvexTest\\Ports"));
  TStringList names;
  reg.GetValueNames(names);
  EXPECT_EQ(names.Count(), 3);
  EXPECT_GE(names.IndexOf("Modem1"), 0);
  EXPECT_EQ(reg.ReadString("Modem1"), "COM7");
  EXPECT_EQ(reg.ReadString("Modem2"), "COM12");
  EXPECT_EQ(reg.ReadString("Nothing"), "");
  EXPECT_THROW(reg.ReadString("Count"), ERegistryException);
  reg.CloseKey();
  EXPECT_EQ(reg.CurrentKey(), nullptr);
  RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\TarvexTest\\Ports");
  RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\TarvexTest");
}

class THintTarget : public TGraphicControl {
public:
  explicit THintTarget(TComponent* owner) : TGraphicControl(owner) {}
  bool Refuse = false;
  void Dispatch(TMessage& m) override {
    if (m.Msg == CM_HINTSHOW && Refuse) {
      m.Result = 1;
      return;
    }
    TGraphicControl::Dispatch(m);
  }
};

class TMarkedHintWindow : public THintWindow {
public:
  using THintWindow::THintWindow;
};

THintWindow* NewMarkedHintWindow(TComponent* owner) {
  return new TMarkedHintWindow(owner);
}

TEST(Hint, ShortHintShowsInTheHintWindowAndTheLongOneGoesToOnHint) {
  auto form = Make<TTestForm>();
  auto* target = new THintTarget(form.get());
  target->SetBounds(10, 10, 50, 20);
  target->SetParent(form.get());
  target->SetHint("Split file|Splits the superfile into code groups");
  target->SetShowHint(true);
  form->Show();
  struct THandlers {
    std::string Long, Shown;
    void OnHint(TObject*) { Long = Application->Hint(); }
    void OnShow(std::string& text, bool&, THintInfo& info) {
      Shown = text;
      info.HintColor = clYellow;
    }
  } handlers;
  Application->SetOnHint(TNotifyEvent(&handlers, &THandlers::OnHint));
  Application->SetOnShowHint(TShowHintEvent(&handlers, &THandlers::OnShow));
  Application->SetHintWindowClass(NewMarkedHintWindow);

  SendMessageA(form->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(20, 20));
  EXPECT_EQ(handlers.Long, "Splits the superfile into code groups");
  Application->ActivateHint(target->ClientToScreen(POINT{5, 5}));
  EXPECT_EQ(handlers.Shown, "Split file");
  THintWindow* window = Application->HintWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_NE(dynamic_cast<TMarkedHintWindow*>(window), nullptr);
  EXPECT_TRUE(IsWindowVisible(window->Handle()));
  EXPECT_EQ(window->Caption(), "Split file");
  EXPECT_EQ(window->Color(), clYellow);
  RECT narrow = window->CalcHintRect(1000, "a", nullptr);
  RECT wide = window->CalcHintRect(1000, "a much longer hint text", nullptr);
  EXPECT_GT(wide.right, narrow.right);
  Application->CancelHint();
  EXPECT_FALSE(IsWindowVisible(window->Handle()));

  // A control that refuses CM_HINTSHOW gets no hint.
  target->Refuse = true;
  handlers.Shown.clear();
  SendMessageA(form->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(21, 21));
  Application->ActivateHint(target->ClientToScreen(POINT{5, 5}));
  EXPECT_EQ(handlers.Shown, "");
  Application->SetOnHint(nullptr);
  Application->SetOnShowHint(nullptr);
  Application->SetHintWindowClass(nullptr);
  form->Hide();
}

TEST(Hint, TheHintPauseShowsTheHintAndTheHidePauseHidesIt) {
  auto form = Make<TTestForm>();
  auto* target = new THintTarget(form.get());
  target->SetBounds(10, 10, 50, 20);
  target->SetParent(form.get());
  target->SetHint("Combine");
  target->SetShowHint(true);
  form->Show();
  int pause = Application->HintPause(), hide = Application->HintHidePause();
  Application->SetHintPause(20);
  Application->SetHintHidePause(300);
  SendMessageA(form->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(20, 20));
  auto shown = [] { return Application->HintWindow() != nullptr && Application->HintWindow()->Visible(); };
  // Pump without idling: the idle check would see the real mouse pointer elsewhere and cancel.
  DWORD start = GetTickCount();
  while (!shown() && GetTickCount() - start < 5000) {
    Application->ProcessMessages();
    Sleep(5);
  }
  ASSERT_TRUE(shown());
  EXPECT_EQ(Application->HintWindow()->Caption(), "Combine");
  start = GetTickCount();
  while (shown() && GetTickCount() - start < 5000) {
    Application->ProcessMessages();
    Sleep(5);
  }
  EXPECT_FALSE(shown());
  Application->CancelHint();
  Application->SetHintPause(pause);
  Application->SetHintHidePause(hide);
  form->Hide();
}

TEST(Screen, KnowsItsSizeFontsAndCursors) {
  EXPECT_EQ(Screen->Width(), GetSystemMetrics(SM_CXSCREEN));
  RECT work = Screen->WorkAreaRect();
  EXPECT_GT(work.right, work.left);
  EXPECT_GT(Screen->MenuFont()->Name().size(), 0u);
  EXPECT_NE(Screen->Cursors(crHourGlass), nullptr);
  EXPECT_NE(Screen->Cursors(crHourGlass), Screen->Cursors(crDefault));
  Screen->SetCursor(crHourGlass);
  EXPECT_EQ(Screen->Cursor(), crHourGlass);
  Screen->SetCursor(crDefault);
}

// Long work ends with the cursor of the control under the mouse again, without waiting for the
// mouse to move; a control's own cursor is taken over by the application's while it is set.
TEST(Screen, TheDefaultCursorGoesBackToTheControlUnderTheMouseAtOnce) {
  auto form = Make<TTestForm>();
  form->SetBounds(60, 60, 300, 200);
  auto* edit = NewControl<TEdit>(form.get(), form.get(), RECT{10, 10, 200, 34});
  auto* plain = NewControl<TPanel>(form.get(), form.get(), RECT{10, 60, 200, 120});
  plain->SetCursor(crHandPoint);
  form->Show();
  Pump();
  const HCURSOR ibeam = LoadCursorA(nullptr, IDC_IBEAM);
  for (auto [control, own] : {std::pair<TWinControl*, HCURSOR>{edit, ibeam},
                              std::pair<TWinControl*, HCURSOR>{plain, Screen->Cursors(crHandPoint)}}) {
    const POINT p = control->ClientToScreen(POINT{5, 5});
    SetCursorPos(p.x, p.y);
    ASSERT_TRUE(PumpUntil([&] { return GetCursor() == own; }));
    Screen->SetCursor(crHourGlass);
    EXPECT_EQ(GetCursor(), Screen->Cursors(crHourGlass));
    Screen->SetCursor(crDefault);
    EXPECT_EQ(GetCursor(), own);
  }
}

}  // namespace
