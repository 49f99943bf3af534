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
#include "skin/engine/TsSkinManager.h"
#include "skin/engine/TsSkinned.h"

namespace {

// --- the bench protocol: options, checks, rows ---

struct TOptions {
  int Pairs = 5;
  bool CheckOnly = false;
};

class TMismatch : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

[[noreturn]] void CheckFailed(const std::string& what) { throw TMismatch(what); }

bool CorruptionAsked(const std::string& key) {
  const char* keys = std::getenv("TARVEX_BENCH_CORRUPT");
  if (!keys) return false;
  const std::string list = std::string(",") + keys + ",";
  return list.find("," + key + ",") != std::string::npos;
}

std::vector<std::string> Rows;

std::string Milliseconds(double ms) {
  char text[32];
  std::snprintf(text, sizeof text, ms < 10 ? "%.2f ms" : "%.1f ms", ms);
  return text;
}

// One row of tools/bench's closing table: work, size, ours, peer, ratio, memory.
void AddRow(const std::string& work, const std::string& size, const std::string& ours, const std::string& peer,
            const std::string& ratio) {
  Rows.push_back(work + "\t" + size + "\t" + ours + "\t" + peer + "\t" + ratio + "\t-");
  std::printf("%-44s %-26s %-12s %-12s %s\n", work.c_str(), size.c_str(), ours.c_str(), peer.c_str(), ratio.c_str());
}

// The rows go to the file TARVEX_BENCH_ROWS names (a path of the host, reached through drive Z:).
void SaveRows() {
  const char* path = std::getenv("TARVEX_BENCH_ROWS");
  if (!path || !*path) return;
  const std::string file = path[0] == '/' ? std::string("Z:") + path : std::string(path);
  if (FILE* f = std::fopen(file.c_str(), "ab")) {
    for (const std::string& row : Rows) std::fprintf(f, "%s\n", row.c_str());
    std::fclose(f);
  }
}

double NowMs() {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

// The time of one call, from enough calls to last about a quarter second.
double TimeOne(const std::function<void()>& call) {
  double start = NowMs();
  call();
  const double once = std::max(NowMs() - start, 0.01);
  const int repeats = std::clamp(int(250 / once), 1, 200);
  start = NowMs();
  for (int i = 0; i < repeats; ++i) call();
  return (NowMs() - start) / repeats;
}

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

  std::vector<double> skinned, plain, ratios;
  int built = 0;
  for (int pair = 0; pair < options.Pairs; ++pair) {
    double s = 0, p = 0;
    auto timeSkinned = [&] {
      UseSkin("Desert");
      RepaintNow(ours.Form);  // caches built here, before the timing
      const int before = CacheBuilds(ours.Controls);
      s = TimeOne([&] { RepaintNow(ours.Form); });
      built += CacheBuilds(ours.Controls) - before;
    };
    auto timePlain = [&] {
      UseSkin("none");
      RepaintNow(ours.Form);
      p = TimeOne([&] { RepaintNow(ours.Form); });
    };
    if (pair % 2 == 0) {
      timeSkinned();
      timePlain();
    } else {
      timePlain();
      timeSkinned();
    }
    skinned.push_back(s);
    plain.push_back(p);
    ratios.push_back(p / s);
  }
  char ratio[64];
  std::snprintf(ratio, sizeof ratio, "%.2f [%.2f-%.2f]", Median(ratios), *std::min_element(ratios.begin(), ratios.end()),
                *std::max_element(ratios.begin(), ratios.end()));
  AddRow("skinned repaint vs unskinned (Desert)", "200 controls, " + std::to_string(built) + " cache builds",
         Milliseconds(Median(skinned)), Milliseconds(Median(plain)), ratio);
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
  TOptions options;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--check-only") options.CheckOnly = true;
    if (a == "--pairs" && i + 1 < argc) options.Pairs = std::max(5, std::atoi(argv[++i]));
  }
  try {
    Application->Initialize();
    Manager = NewComponent<TsSkinManager>(Application);
    Manager->SetSkinDirectory(TARVEX_BUNDLED_SKINS);
    RepaintWork(options);
    SwitchWork(options);
  } catch (const TMismatch& e) {
    std::fprintf(stderr, "MISMATCH: %s\n", e.what());
    return 2;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "error: %s\n", e.what());
    return 1;
  }
  SaveRows();
  return 0;
}
