// The skinned controls' paint cost, under Wine:
//  - a full repaint of a form of 200 skinned controls whose caches are valid, against the same
//    form with no skin (the standard controls), the two alternated: goal at most 1.5 times the
//    unskinned time, with no cache built;
//  - skin changes Desert -> Nocturne -> none -> Desert with ten forms of 30 controls open, the
//    load (the skin read and every control told) and the repaint timed apart, cache builds counted.
//
// Checks first: skinned, the screen shows each control's cache and a repaint builds none; without
// a skin the form shows what the same form of framework controls shows; after each change every
// control follows the skin and shows its cache. TARVEX_BENCH_CORRUPT=repaint or =switch spoils one
// byte of the screen read on our side, which must fail the check (exit code 2).
//
//   wine build/win/bench/skin/controls/skin_controls_bench.exe [--pairs N] [--check-only]
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/win/GdiScopes.h"
#include "framework/win/TApplication.h"
#include "framework/win/TBitBtn.h"
#include "framework/win/TBitmap.h"
#include "framework/win/TButton.h"
#include "framework/win/TCanvas.h"
#include "framework/win/TCheckBox.h"
#include "framework/win/TCustomForm.h"
#include "framework/win/TCustomEdit.h"
#include "framework/win/TGroupBox.h"
#include "framework/win/TPanel.h"
#include "framework/win/TRadioButton.h"
#include "framework/win/TSpeedButton.h"
#include "skin/controls/TsBitBtn.h"
#include "skin/controls/TsButton.h"
#include "skin/controls/TsCheckBox.h"
#include "skin/controls/TsEdit.h"
#include "skin/controls/TsGroupBox.h"
#include "skin/controls/TsPanel.h"
#include "skin/controls/TsSpeedButton.h"
#include "bench/support/WineBench.h"
#include "skin/engine/TsSkinManager.h"
#include "skin/engine/TsSkinned.h"

namespace {

using namespace winbench;

// --- forms of controls ---

using TPixels = std::vector<std::uint8_t>;

// The control kinds of the forms, each as the skinned control or its framework twin.
TControl* MakeControl(int kind, bool skinned, TCustomForm* form, const RECT& r, int index) {
  const std::string caption = "Item " + std::to_string(index);
  TControl* c = nullptr;
  switch (kind) {
    case 0: c = skinned ? NewControl<TsEdit>(form, form, r) : NewControl<TEdit>(form, form, r); break;
    case 1: c = skinned ? NewControl<TsButton>(form, form, r) : NewControl<TButton>(form, form, r); break;
    case 2: c = skinned ? NewControl<TsCheckBox>(form, form, r) : NewControl<TCheckBox>(form, form, r); break;
    case 3: c = skinned ? NewControl<TsRadioButton>(form, form, r) : NewControl<TRadioButton>(form, form, r); break;
    case 4: c = skinned ? NewControl<TsPanel>(form, form, r) : NewControl<TPanel>(form, form, r); break;
    case 5: c = skinned ? NewControl<TsSpeedButton>(form, form, r) : NewControl<TSpeedButton>(form, form, r); break;
    case 6: c = skinned ? NewControl<TsGroupBox>(form, form, r) : NewControl<TGroupBox>(form, form, r); break;
    default: c = skinned ? NewControl<TsBitBtn>(form, form, r) : NewControl<TBitBtn>(form, form, r); break;
  }
  c->SetText(caption);
  return c;
}
constexpr int KindCount = 8;

struct TBenchForm {
  TForm* Form = nullptr;
  std::vector<TControl*> Controls;
};

TBenchForm MakeForm(int controls, bool skinned, int left, int top) {
  const int columns = 10, cellW = 96, cellH = 30;
  const int rows = (controls + columns - 1) / columns;
  TBenchForm f;
  f.Form = NewComponent<TForm>(Application);
  f.Form->SetBounds(left, top, columns * cellW + 24, rows * cellH + 48);
  // Takes the focus out of sight, so that no control of the comparison shows it.
  NewControl<TEdit>(f.Form, f.Form, RECT{-60, -60, -10, -40});
  for (int i = 0; i < controls; ++i) {
    const int x = 4 + (i % columns) * cellW, y = 4 + (i / columns) * cellH;
    f.Controls.push_back(MakeControl(i % KindCount, skinned, f.Form, RECT{x, y, x + cellW - 6, y + cellH - 5}, i));
  }
  return f;
}

void Pump() { Application->ProcessMessages(); }

void RepaintNow(TForm* form) {
  RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void ShowAlone(TForm* form) {
  form->Show();
  SetForegroundWindow(form->Handle());
  Pump();
  RepaintNow(form);
}

int CacheBuilds(const std::vector<TControl*>& controls) {
  int n = 0;
  for (TControl* c : controls)
    if (auto* s = dynamic_cast<TsSkinnedControl*>(c)) n += s->CacheBuilds();
  return n;
}

TPixels Read(HDC dc, int x, int y, int w, int h) {
  TBitmap bmp;
  bmp.SetPixelFormat(TPixelFormat::Bit24);
  bmp.SetSize(w, h);
  BitBlt(bmp.Canvas()->Handle(), 0, 0, w, h, dc, x, y, SRCCOPY);
  TPixels pixels;
  for (int row = 0; row < h; ++row) pixels.insert(pixels.end(), bmp.ScanLine(row), bmp.ScanLine(row) + 3 * w);
  return pixels;
}

TPixels ClientOf(TForm* form) {
  const TWindowDC dc(form->Handle(), TWindowDC::Client);
  return Read(dc.Handle(), 0, 0, form->ClientWidth(), form->ClientHeight());
}

// Pixels outside a window's region show what lies below: left out of the comparison.
void OutsideRegionToZero(TWinControl* c, TPixels& pixels) {
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  if (GetWindowRgn(c->Handle(), rgn) != ERROR)
    for (int y = 0; y < c->Height(); ++y)
      for (int x = 0; x < c->Width(); ++x)
        if (!PtInRegion(rgn, x, y)) std::fill_n(pixels.begin() + 3 * (std::size_t(y) * c->Width() + x), 3, 0);
  DeleteObject(rgn);
}

// The screen shows each skinned control's cache (the first control's screen spoilt when asked).
void CheckScreenShowsCaches(const TBenchForm& f, const std::string& key, const std::string& when) {
  bool first = true;
  for (TControl* c : f.Controls) {
    auto* s = dynamic_cast<TsSkinnedControl*>(c);
    if (!s || !s->IsSkinned() || !s->SkinData().CacheBitmap()) CheckFailed(when + ": " + c->ClassName() + " is not skinned");
    TBitmap* cache = s->SkinData().CacheBitmap();
    TPixels shown, cached = Read(cache->Canvas()->Handle(), 0, 0, c->Width(), c->Height());
    if (auto* w = dynamic_cast<TWinControl*>(c)) {
      const TWindowDC dc(w->Handle(), TWindowDC::Whole);
      shown = Read(dc.Handle(), 0, 0, c->Width(), c->Height());
      OutsideRegionToZero(w, shown);
      OutsideRegionToZero(w, cached);
    } else {
      const TWindowDC dc(c->Parent()->Handle(), TWindowDC::Client);
      shown = Read(dc.Handle(), c->Left(), c->Top(), c->Width(), c->Height());
    }
    if (first && CorruptionAsked(key)) shown[shown.size() / 2] ^= 0xFF;
    first = false;
    if (shown != cached) {
      std::size_t n = 0;
      for (std::size_t i = 0; i < shown.size(); ++i) n += shown[i] != cached[i];
      CheckFailed(when + ": the screen of " + c->ClassName() + " " + c->Text() + " is not its cache (" +
                  std::to_string(n) + " bytes differ" + (GetFocus() && dynamic_cast<TWinControl*>(c) && GetFocus() == static_cast<TWinControl*>(c)->Handle() ? ", focused" : "") + ")");
    }
  }
}

TsSkinManager* Manager = nullptr;

void UseSkin(const std::string& name) {
  if (name == "none") {
    Manager->SetActive(false);
    return;
  }
  Manager->SetSkinName(name);
  Manager->SetActive(true);
}

// --- the two pieces of work ---

void RepaintWork(const TOptions& options) {
  TBenchForm ours = MakeForm(200, true, 0, 0);
  TBenchForm twin = MakeForm(200, false, 0, 0);

  // Checks: no skin, our form is the framework's; skinned, the screen is the caches and a
  // repaint builds none.
  UseSkin("none");
  twin.Form->Hide();
  ShowAlone(ours.Form);
  const TPixels unskinned = ClientOf(ours.Form);
  ours.Form->Hide();
  ShowAlone(twin.Form);
  const TPixels framework = ClientOf(twin.Form);
  twin.Form->Hide();
  if (unskinned != framework) CheckFailed("repaint: the unskinned form differs from the framework's controls");
  UseSkin("Desert");
  ShowAlone(ours.Form);
  const int builds = CacheBuilds(ours.Controls);
  RepaintNow(ours.Form);
  if (CacheBuilds(ours.Controls) != builds)
    CheckFailed("repaint: " + std::to_string(CacheBuilds(ours.Controls) - builds) + " caches built by a repaint");
  CheckScreenShowsCaches(ours, "repaint", "repaint");
  if (options.CheckOnly) return;

  int built = 0;
  const TPairTimes times = RunPairs(
      options.Pairs,
      [&] {
        UseSkin("Desert");
        RepaintNow(ours.Form);  // caches built here, before the timing
        const int before = CacheBuilds(ours.Controls);
        const double ms = TimeOne([&] { RepaintNow(ours.Form); });
        built += CacheBuilds(ours.Controls) - before;
        return ms;
      },
      [&] {
        UseSkin("none");
        RepaintNow(ours.Form);
        return TimeOne([&] { RepaintNow(ours.Form); });
      });
  AddPairRow("skinned repaint vs unskinned (Desert)", "200 controls, " + std::to_string(built) + " cache builds",
             times);
  ours.Form->Free();
  twin.Form->Free();
}

void SwitchWork(const TOptions& options) {
  std::vector<TBenchForm> forms;
  for (int i = 0; i < 10; ++i) forms.push_back(MakeForm(30, true, 20 * i, 20 * i));
  UseSkin("Desert");
  for (TBenchForm& f : forms) f.Form->Show();
  Pump();
  std::vector<TControl*> all;
  for (TBenchForm& f : forms) all.insert(all.end(), f.Controls.begin(), f.Controls.end());

  const std::vector<std::string> steps = {"Nocturne", "none", "Desert"};
  std::vector<std::vector<double>> load(steps.size()), repaint(steps.size());
  std::vector<int> loadBuilds(steps.size()), repaintBuilds(steps.size());
  std::string from = "Desert";
  const int rounds = options.CheckOnly ? 1 : options.Pairs;
  for (int round = 0; round < rounds; ++round) {
    for (std::size_t i = 0; i < steps.size(); ++i) {
      const int before = CacheBuilds(all);
      double start = NowMs();
      UseSkin(steps[i]);
      load[i].push_back(NowMs() - start);
      const int loaded = CacheBuilds(all);
      start = NowMs();
      for (TBenchForm& f : forms) RepaintNow(f.Form);
      repaint[i].push_back(NowMs() - start);
      loadBuilds[i] = loaded - before;
      repaintBuilds[i] = CacheBuilds(all) - loaded;
      // Every control follows the skin; the form on top shows the caches.
      const bool skinned = steps[i] != "none";
      for (TControl* c : all)
        if (dynamic_cast<TsSkinnedControl*>(c)->IsSkinned() != skinned)
          CheckFailed("switch to " + steps[i] + ": " + c->ClassName() + " did not follow");
      if (skinned && round == 0) CheckScreenShowsCaches(forms.back(), "switch", "switch to " + steps[i]);
    }
  }
  if (options.CheckOnly) return;
  for (std::size_t i = 0; i < steps.size(); ++i) {
    const std::string step = (i == 0 ? std::string("Desert") : steps[i - 1]) + " -> " + steps[i];
    AddRow("skin change " + step + ": load", "10 forms x 30, " + std::to_string(loadBuilds[i]) + " cache builds",
           Milliseconds(Median(load[i])), "-", "-");
    AddRow("skin change " + step + ": repaint", "10 forms x 30, " + std::to_string(repaintBuilds[i]) + " cache builds",
           Milliseconds(Median(repaint[i])), "-", "-");
  }
  for (TBenchForm& f : forms) f.Form->Free();
}

}  // namespace

int main(int argc, char** argv) {
  return winbench::Main(argc, argv, [](const TOptions& options) {
    Application->Initialize();
    Manager = NewComponent<TsSkinManager>(Application);
    Manager->SetSkinDirectory(TARVEX_BUNDLED_SKINS);
    RepaintWork(options);
    SwitchWork(options);
  });
}
