// Times a skinned form's frame under Wine: the whole window image painted and copied to the
// window, one caption button changing state, and the non-client hit test.
//   wine build/win/bench/skin/windows/frame_bench.exe SKINS-FOLDER [SKIN]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "framework/win/TApplication.h"
#include "framework/win/TCustomForm.h"
#include "framework/win/TMainMenu.h"
#include "skin/engine/TsSkinManager.h"
#include "skin/windows/TsSkinProvider.h"
#include "framework/win/TBitmap.h"
#include "skin/engine/SkinSectionPainter.h"

namespace {

double NowMs() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return double(now.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

// The median of n runs of f, in milliseconds per call.
template <typename F>
double Median(int runs, int callsPerRun, F f) {
  std::vector<double> t;
  for (int r = 0; r < runs; ++r) {
    const double start = NowMs();
    for (int i = 0; i < callsPerRun; ++i) f(i);
    t.push_back((NowMs() - start) / callsPerRun);
  }
  std::sort(t.begin(), t.end());
  return t[t.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: frame_bench SKINS-FOLDER [SKIN]\n");
    return 2;
  }
  Application->Initialize();
  auto* manager = NewComponent<TsSkinManager>(Application);
  manager->SetSkinDirectory(argv[1]);
  manager->SetSkinName(argc > 2 ? argv[2] : "Desert");
  TForm* form = NewComponent<TForm>(Application);
  auto* menu = NewComponent<TMainMenu>(form);
  for (const char* caption : {"&File", "&Edit", "&View", "&Tools", "&Window", "&Help"}) {
    auto* item = NewComponent<TMenuItem>(menu);
    item->SetCaption(caption);
    menu->Items()->Add(item);
  }
  form->SetMenu(menu);
  auto* provider = NewComponent<TsSkinProvider>(form);
  form->SetBounds(0, 0, 800, 600);
  form->SetCaption("Frame bench");
  form->Show();
  Application->ProcessMessages();
  if (!provider->Skinned()) {
    std::fprintf(stderr, "frame_bench: the skin did not load\n");
    return 1;
  }
  HWND h = form->Handle();
  HDC dc = GetWindowDC(h);
  const double frame = Median(9, 50, [&](int) {
    provider->SkinData()->SetRepaintNeeded(true);
    provider->OutputFrame(dc);
  });
  const double paintOnly = Median(9, 50, [&](int) {
    provider->SkinData()->SetRepaintNeeded(true);
    provider->PaintFrame();
  });
  const double outputOnly = Median(9, 50, [&](int) { provider->OutputFrame(dc); });
  ReleaseDC(h, dc);
  // The share of the skin engine's section painter: the form's section over the whole image.
  TBitmap probe;
  probe.SetPixelFormat(TPixelFormat::Bit24);
  probe.SetSize(800, 600);
  const double section = Median(9, 50, [&](int) {
    PaintSectionByData(ActiveSkin(), provider->SkinData(), EmptyCacheInfo, true, &probe, POINT{0, 0},
                       RECT{0, 0, 800, 600}, TsSkinState::Normal);
  });

  RECT w;
  GetWindowRect(h, &w);
  std::vector<POINT> buttons;
  for (const TsCaptionSlot& s : provider->CaptionSlots())
    buttons.push_back({w.left + (s.Rect.Left + s.Rect.Right) / 2, w.top + (s.Rect.Top + s.Rect.Bottom) / 2});
  const int paintsBefore = provider->ButtonPaints();
  const double button = Median(9, 200, [&](int i) { provider->SetHotButton(i % 2 ? HTCLOSE : HTMAXBUTTON); });
  const int paints = provider->ButtonPaints() - paintsBefore;
  const double hit = Median(9, 2000, [&](int i) {
    // Two points of the close button by turns: it stays hot, nothing repaints.
    const POINT p{buttons[0].x + (i % 2), buttons[0].y};
    SendMessageA(h, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
  });
  const double nul = Median(5, 500, [&](int) { SendMessageA(h, WM_NULL, 0, 0); });
  const double direct = Median(5, 500, [&](int i) { provider->HitTest(buttons[0].x + (i % 2), buttons[0].y); });
  std::printf("PaintFrame + frame output, 800 x 600, six-item menu bar: %.3f ms (budget 2 ms); PaintFrame %.3f ms, "
              "output %.3f ms; the section painter alone over 800 x 600 %.3f ms\n",
              frame, paintOnly, outputOnly, section);
  std::printf("one caption button state change: %.4f ms per button repainted (budget 0.2 ms)\n",
              button * 1800.0 / std::max(paints, 1));
  std::printf("WM_NCHITTEST: %.2f us (budget 10 us); the provider's share %.2f us, an empty message %.2f us\n",
              hit * 1000.0, direct * 1000.0, nul * 1000.0);
  form->Free();
  return 0;
}
