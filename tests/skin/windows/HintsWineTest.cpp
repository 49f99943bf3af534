#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>
#include <vector>

#include "framework/win/GdiScopes.h"
#include "framework/win/TApplication.h"
#include "framework/win/TCustomForm.h"
#include "framework/win/TPanel.h"
#include "skin/engine/core/SkinMessages.h"
#include "skin/windows/TsCustomHintWindow.h"
#include "skin/windows/TsHintManager.h"
#include "tests/framework/win/TGuiCensus.h"

namespace {

constexpr COLORREF FormColor = RGB(0, 128, 255);

void PumpFor(int ms, const std::function<bool()>& done = nullptr) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (std::chrono::steady_clock::now() < end) {
    Application->ProcessMessages();
    if (done && done()) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

// A real mouse move, as the input system delivers it.
void MoveMouse(POINT p) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dx = LONG((p.x * 65535 + GetSystemMetrics(SM_CXSCREEN) / 2) / (GetSystemMetrics(SM_CXSCREEN) - 1));
  in.mi.dy = LONG((p.y * 65535 + GetSystemMetrics(SM_CYSCREEN) / 2) / (GetSystemMetrics(SM_CYSCREEN) - 1));
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &in, sizeof in);
  SetCursorPos(p.x, p.y);
}

bool HintVisible() {
  THintWindow* w = Application->HintWindow();
  return w != nullptr && w->HandleAllocated() && IsWindowVisible(w->Handle()) && w->Visible();
}

class Hints : public ::testing::Test {
protected:
  void SetUp() override {
    Form = NewComponent<TForm>(Application);
    Form->SetBounds(100, 100, 600, 400);
    Form->SetColor(TColor(FormColor));
    Target = NewComponent<TPanel>(Form);
    Target->SetParent(Form);
    Target->SetBounds(250, 150, 100, 60);
    Target->SetHint("Split file");
    Target->SetShowHint(true);
    Manager = NewComponent<TsHintManager>(Form);
    Form->Show();
    PumpFor(50);
  }
  void TearDown() override {
    Application->CancelHint();
    SetHintScreenDCSource(nullptr);
    if (Form != nullptr) Form->Free();
    Application->SetHintWindowClass(nullptr);
  }
  // Leaves the target, comes back over it, and waits for the hint timer to show the hint.
  bool Hover(POINT at) {
    Application->CancelHint();
    MoveMouse(Form->ClientToScreen(POINT{10, 10}));
    PumpFor(30);
    MoveMouse(at);
    PumpFor(3000, HintVisible);
    PumpFor(30);
    return HintVisible();
  }
  bool Hover() { return Hover(Target->ClientToScreen(POINT{20, 20})); }
  TsCustomHintWindow* Window() { return dynamic_cast<TsCustomHintWindow*>(Application->HintWindow()); }
  // The work bitmap's pixel bytes.
  std::vector<uint8_t> Picture() {
    TBitmap* work = Manager->WorkBitmap();
    std::vector<uint8_t> bytes;
    for (int y = 0; y < work->Height(); ++y) {
      const uint8_t* row = work->ScanLine(y);
      bytes.insert(bytes.end(), row, row + 3 * work->Width());
    }
    return bytes;
  }

  TForm* Form = nullptr;
  TPanel* Target = nullptr;
  TsHintManager* Manager = nullptr;
};

TEST_F(Hints, ManagerSetsPausesPassesOnShowHintAndSelectsTheClassAtLoad) {
  EXPECT_EQ(Application->HintPause(), 500);
  EXPECT_EQ(Application->HintShortPause(), 200);
  EXPECT_EQ(Manager->HintKind()->Style(), TsHintStyle::hsEllipse);  // shEllipse applied at load
  EXPECT_EQ(ActiveHintManager(), Manager);
  EXPECT_EQ(Application->HintWindowClass(), &NewEllipseHintWindow);
  EXPECT_EQ(Application->HintHidePause(), 5000);
  // A predefinition set later is only stored; the style switches the class at once.
  Manager->SetPredefinitions(TsHintsPredefinitions::shBalloon);
  EXPECT_EQ(Manager->HintKind()->Style(), TsHintStyle::hsEllipse);
  Manager->HintKind()->SetStyle(TsHintStyle::hsComics);
  EXPECT_EQ(Application->HintWindowClass(), &NewComicsHintWindow);
  Manager->HintKind()->SetStyle(TsHintStyle::hsStandard);
  EXPECT_EQ(Application->HintWindowClass(), &NewStandardHintWindow);
  EXPECT_EQ(ActiveHintManager(), nullptr);
  Manager->HintKind()->SetStyle(TsHintStyle::hsNone);
  EXPECT_EQ(Application->HintWindowClass(), &NewSimplyHintWindow);
  EXPECT_EQ(ActiveHintManager(), nullptr);

  struct TCalls {
    int Count = 0;
    void OnShow(std::string& text, bool& canShow, THintInfo&) {
      ++Count;
      text = "changed";
      canShow = true;
    }
  } calls;
  Manager->SetOnShowHint(TShowHintEvent(&calls, &TCalls::OnShow));
  Manager->HintKind()->SetStyle(TsHintStyle::hsSimply);
  Application->SetHintPause(20);
  ASSERT_TRUE(Hover());
  EXPECT_EQ(calls.Count, 1);
  EXPECT_EQ(Application->HintWindow()->Caption(), "changed");
}

TEST_F(Hints, ClassAndSizeMatchTheModel) {
  Application->SetHintPause(20);
  Manager->HintKind()->Font()->SetName("Tahoma");
  Manager->HintKind()->Font()->SetHeight(-11);
  struct TCase {
    TsHintStyle Style;
    bool (*IsClass)(THintWindow*);
  } cases[] = {
      {TsHintStyle::hsSimply, [](THintWindow* w) { return dynamic_cast<TsSimplyHintWindow*>(w) != nullptr; }},
      {TsHintStyle::hsComics, [](THintWindow* w) { return dynamic_cast<TsComicsHintWindow*>(w) != nullptr; }},
      {TsHintStyle::hsEllipse, [](THintWindow* w) { return dynamic_cast<TsEllipseHintWindow*>(w) != nullptr; }},
      {TsHintStyle::hsBalloon, [](THintWindow* w) { return dynamic_cast<TsBalloonHintWindow*>(w) != nullptr; }},
  };
  SIZE text{};
  {
    TScreenDC screen;
    TSelectObject font(screen.Handle(), Manager->HintKind()->Font()->Handle());
    GetTextExtentPoint32A(screen.Handle(), "Split file", 10, &text);
  }
  for (const TCase& c : cases) {
    Manager->HintKind()->SetStyle(c.Style);
    ASSERT_TRUE(Hover()) << int(c.Style);
    THintWindow* w = Application->HintWindow();
    EXPECT_TRUE(c.IsClass(w)) << int(c.Style);
    TsHintLook look = Manager->HintKind()->Look();
    const TsHintSize size = CalcHintSize(look, text.cx, text.cy);
    RECT r;
    GetWindowRect(w->Handle(), &r);
    EXPECT_EQ(r.right - r.left, size.Width) << int(c.Style);
    EXPECT_EQ(r.bottom - r.top, size.Height) << int(c.Style);
    // No frame: the client area is the whole window.
    EXPECT_EQ(GetWindowLongA(w->Handle(), GWL_STYLE) & WS_BORDER, 0);
  }
}

TEST_F(Hints, NearTheBottomRightCornerTheHintOpensAboveLeft) {
  Application->SetHintPause(20);
  const int sw = GetSystemMetrics(SM_CXVIRTUALSCREEN), sh = GetSystemMetrics(SM_CYVIRTUALSCREEN);
  Form->SetBounds(sw - 300, sh - 250, 300, 250);
  RECT client;
  GetClientRect(Form->Handle(), &client);
  Target->SetBounds(client.right - 100, client.bottom - 80, 100, 80);
  PumpFor(50);
  const POINT at = Target->ClientToScreen(POINT{90, 70});
  ASSERT_TRUE(Hover(at));
  ASSERT_NE(Window(), nullptr);
  EXPECT_EQ(Window()->Flip(), 3);
  RECT r;
  GetWindowRect(Window()->Handle(), &r);
  POINT cursor;
  GetCursorPos(&cursor);
  EXPECT_EQ(r.right, cursor.x);
  EXPECT_EQ(r.bottom, cursor.y);
}

TEST_F(Hints, RepaintingComposesTheSamePictureAndKeepsTheFormOutsideTheShape) {
  Application->SetHintPause(20);
  Manager->HintKind()->SetShadowEnabled(true);
  Manager->HintKind()->SetShadowOffset(6);
  Manager->HintKind()->SetShadowBlur(3);
  Manager->HintKind()->SetShadowTransparency(40);
  Manager->HintKind()->SetTransparency(30);
  Manager->HintKind()->SetColor(0x00FFFF);
  ASSERT_TRUE(Hover());
  TsCustomHintWindow* w = Window();
  ASSERT_NE(w, nullptr);
  ASSERT_EQ(w->Flip(), 0);
  RedrawWindow(w->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  const std::vector<uint8_t> first = Picture();
  RedrawWindow(w->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  RedrawWindow(w->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_EQ(Picture(), first);
  // The ellipse's top-right corner lies outside the shape, the tail and the shadow: the form shows
  // there exactly; the body's middle does not.
  TBitmap* work = Manager->WorkBitmap();
  const uint8_t* top = work->ScanLine(0) + 3 * (work->Width() - 1);
  EXPECT_EQ(RGB(top[2], top[1], top[0]), FormColor);
  const uint8_t* middle = work->ScanLine(work->Height() / 2) + 3 * (work->Width() / 2);
  EXPECT_NE(RGB(middle[2], middle[1], middle[0]), FormColor);
  // What the window shows is the picture.
  TWindowDC dc(w->Handle(), TWindowDC::Client);
  EXPECT_EQ(GetPixel(dc.Handle(), work->Width() - 1, 0), FormColor);
}

TEST_F(Hints, StandardStyleShowsTheFrameworksHint) {
  Application->SetHintPause(20);
  Manager->HintKind()->SetStyle(TsHintStyle::hsStandard);
  ASSERT_TRUE(Hover());
  EXPECT_EQ(Window(), nullptr);
  EXPECT_EQ(Application->HintWindow()->Caption(), "Split file");
}

TEST_F(Hints, AFailingDesktopDCGivesOneBoxAndNoReentry) {
  Application->SetHintPause(20);
  SetHintScreenDCSource([]() -> HDC { return nullptr; });
  static int boxes, depth, deepest;
  static POINT at;
  boxes = depth = deepest = 0;
  at = Target->ClientToScreen(POINT{20, 20});
  TsMessageBoxHandler previous = SetSkinMessageBoxHandler([](TsBoxKind, const std::string& text) {
    EXPECT_EQ(text, "GDI error (out of resources)");
    ++boxes;
    deepest = std::max(deepest, ++depth);
    // A modal box runs the message loop: the hint timer and repaints go on meanwhile.
    Application->ActivateHint(at);
    PumpFor(300);
    --depth;
    return false;
  });
  Application->SetHintPause(20);
  MoveMouse(Form->ClientToScreen(POINT{10, 10}));
  PumpFor(30);
  MoveMouse(Target->ClientToScreen(POINT{20, 20}));
  PumpFor(500);
  Application->ActivateHint(at);
  Application->ActivateHint(at);
  PumpFor(300);
  SetSkinMessageBoxHandler(previous);
  EXPECT_EQ(boxes, 1);
  EXPECT_EQ(deepest, 1);
  EXPECT_FALSE(HintVisible());
}

TEST_F(Hints, AFreedManagerPutsBackTheFrameworksHint) {
  Application->SetHintPause(20);
  ASSERT_TRUE(Hover());
  Manager->Free();
  EXPECT_EQ(ActiveHintManager(), nullptr);
  EXPECT_EQ(Application->HintWindowClass(), &NewStandardHintWindow);
  EXPECT_FALSE(Application->OnShowHint());
  ASSERT_TRUE(Hover());
  EXPECT_EQ(Window(), nullptr);
}

TEST_F(Hints, HandlesStayFlatOverAThousandHints) {
  Manager->HintKind()->ApplyPredefinition(TsHintsPredefinitions::shTransparent);
  Manager->SetHTMLMode(true);
  Manager->HintKind()->SetStyle(TsHintStyle::hsSimply);
  Target->SetHint("Open code group</b><br>by external program");
  MoveMouse(Target->ClientToScreen(POINT{20, 20}));
  PumpFor(50);
  const POINT at = Target->ClientToScreen(POINT{20, 20});
  TsHintStyle styles[] = {TsHintStyle::hsSimply, TsHintStyle::hsComics, TsHintStyle::hsEllipse, TsHintStyle::hsBalloon};
  int i = 0;
  const TGuiCensus change = TGuiCensus::ChangeOver(1000, [&] {
    if (i % 250 == 0) Manager->HintKind()->SetStyle(styles[(i / 250) % 4]);
    ++i;
    Application->ActivateHint(at);
    THintWindow* w = Application->HintWindow();
    if (w != nullptr && w->HandleAllocated()) UpdateWindow(w->Handle());
    Application->HideHint();
  });
  EXPECT_EQ(change, TGuiCensus());
}

}  // namespace
