// The main window under Wine, set up as the program sets it up (the bundled "Desert" skin beside the
// executable, the ini there, the other windows created):
//   split and combine of a 64 MB superfile through the window, started as a click of its button
//   starts them (status line, gauge, grid, messages pumped per code group) and timed until the
//   window has handled and painted what the job left it, against the same engines on the windowless
//   collecting host, in the same process; goal: at most 1.2 times the host;
//   a full repaint of the window holding the split superfile's rows, skinned "Desert" against no
//   skin, same window; goal: at most 1.5 times no skin.
//
// Checks first: both sides of the split list the same rows and write the same images, both sides of
// the combine write the same superfile, and in either look a repaint of the window, covered in one
// colour first, shows the pixels recorded in MainWindowBench.references for that look and size.
// TARVEX_BENCH_CORRUPT=main-split, main-combine or main-repaint spoils the window's side of that
// check, which must then fail (exit code 2). --check-only checks a 4 MB superfile;
// --save-reference records the repaint's pixels (with --check-only those of the 4 MB superfile)
// after a deliberate change of the window's look.
//
//   wine build/win/bench/app/app_main_window_bench.exe [--pairs N] [--check-only] [--save-reference]
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/TfmAdd.h"
#include "app/TfmMain.h"
#include "app/TfmRAWBounds.h"
#include "bench/support/WineBench.h"
#include "bench/support/WineScreen.h"
#include "editors/TfmDRMEditor.h"
#include "editors/TfmFlexEditor.h"
#include "editors/TfmLPEditor.h"
#include "framework/base/TClientDataSet.h"
#include "framework/win/TApplication.h"
#include "phone/TfmFlash.h"
#include "shx-generator.h"
#include "skin/controls/TsLabel.h"
#include "skin/controls/TsButton.h"
#include "skin/controls/TsCheckBox.h"
#include "skin/controls/TsSpinEdit.h"
#include "skin/engine/TsSkinManager.h"
#include "skin/engine/TsSkinned.h"
#include "skin/windows/TsFileNameEdit.h"
#include "skin/engine/core/TsSkinData.h"
#include "tests/tools/shx-tool/TCollectingHost.h"
#include "workbench/core/TCodeGroupTable.h"
#include "workbench/core/TSuperfileCombiner.h"
#include "workbench/core/TSuperfileSplitter.h"

namespace {

namespace fs = std::filesystem;
using namespace winbench;

constexpr int kBufferKB = 512;  // the spin edit's default
constexpr int kSuperfileMiB = 64;
constexpr int kCheckOnlyMiB = 4;

// Both sides write the same date into the combined header.
std::tm FixedTime() {
  std::tm t{};
  t.tm_year = 126, t.tm_mon = 11, t.tm_mday = 7, t.tm_wday = 1, t.tm_hour = 12;
  return t;
}

// The main window with the save dialog answered by SaveName.
class TBenchMain : public TfmMain {
public:
  using TfmMain::TfmMain;
  std::string SaveName;
  bool AskSaveFileName(const std::string&, std::string& fileName) override {
    fileName = SaveName;
    return true;
  }
  std::tm LocalTime() override { return FixedTime(); }
};

class TBenchHost : public TCollectingHost {
public:
  std::tm LocalTime() override { return FixedTime(); }
};

std::string ExeDir() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  return fs::path(path).parent_path().string() + "\\";
}

std::string IniName() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  return fs::path(path).replace_extension(".ini").string();
}

std::string Folder(const std::string& path) {
  std::string p = path;
  for (char& c : p)
    if (c == '/') c = '\\';
  return p;
}

void Pump() {
  for (int i = 0; i < 3; ++i) Application->ProcessMessages();
}

// A click of button as its window reports it to its parent.
void Click(TWinControl* button) {
  const HWND window = button->Handle();
  SendMessageA(GetParent(window), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(window), BN_CLICKED),
               reinterpret_cast<LPARAM>(window));
}

std::string RowText(const TCodeGroupRow& row) {
  return (row.CG ? std::to_string(*row.CG) : std::string("-")) + " " + row.Type + " " + std::to_string(row.A1) +
         ".." + std::to_string(row.A2) + " (" + std::to_string(row.Size) + " bytes)";
}

// Every skinned control of the window (its components, those of its panels included).
void SkinnedControls(TComponent* owner, std::vector<TsSkinnedControl*>& out) {
  for (int i = 0; i < owner->ComponentCount(); ++i) {
    TComponent* c = owner->Components(i);
    if (auto* s = dynamic_cast<TsSkinnedControl*>(c)) out.push_back(s);
    SkinnedControls(c, out);
  }
}

class TBench {
public:
  explicit TBench(int mib) : MiB(mib) {
    char temp[MAX_PATH + 1] = {};
    GetTempPathA(MAX_PATH, temp);
    // One name for every run: the window shows the images' paths, and the references its pixels.
    Root = Folder(std::string(temp) + "tarvex-main-bench");
    std::error_code stale;
    fs::remove_all(Root, stale);
    WindowDir = Root + "\\window";
    HostDir = Root + "\\host";
    fs::create_directories(WindowDir);
    fs::create_directories(HostDir);
    // shx-gen's realistic firmware is about 3.1 text bytes per flash byte.
    Superfile = Root + "\\fw.shx";
    WriteFileBytes(Superfile,
                   BuildSuperfile(RealisticFirmware(size_t(mib) * 1048576 * 10 / 31, 5)));
    SuperfileBytes = static_cast<double>(fs::file_size(Superfile));

    // The program's setting: the bundled skin and the ini beside the executable.
    std::error_code ignored;
    fs::remove_all(ExeDir() + "Skins", ignored);
    fs::create_directories(ExeDir() + "Skins");
    fs::copy(std::string(TARVEX_BUNDLED_SKINS) + "\\Desert", ExeDir() + "Skins\\Desert", fs::copy_options::recursive);
    std::ofstream(IniName(), std::ios::binary) << "[Environment]\r\nSkined=1\r\nSkinName=Desert\r\nShowHints=0\r\n";
    Application->CreateForm(fmAdd);
    Application->CreateForm(fmDRMEditor);
    Application->CreateForm(fmLPEditor);
    Application->CreateForm(fmFlash);
    Application->CreateForm(fmRAWBounds);
    Application->CreateForm(fmFlexEditor);
    Main = NewComponent<TBenchMain>(Application);
    fmMain = Main;
    Main->Show();
    SetForegroundWindow(Main->Handle());
    Pump();
    if (!Main->SkinManager->Active() || !SkinData().Active) throw std::runtime_error("the Desert skin did not load");
    Main->SaveName = WindowDir + "\\out.shx";
    Main->sFilenameEdit1->SetText(Superfile);
    Host.SaveName = HostDir + "\\out.shx";
    Host.OnError = [](const std::string& text) { throw std::runtime_error("host: " + text); };
  }
  ~TBench() {
    Main->Free();
    fmMain = nullptr;
    Pump();
    std::error_code ignored;
    fs::remove_all(Root, ignored);
    fs::remove_all(ExeDir() + "Skins", ignored);
    fs::remove(IniName(), ignored);
  }

  // A job through the window: from the click until the window has handled and painted what the
  // job left it (the grid's and the status line's paints, messages posted).
  double WindowJob(TWinControl* button) {
    const auto pump = [] { Application->ProcessMessages(); };
    TimeUntilSettled([] {}, pump);
    return TimeUntilSettled([button] { Click(button); }, pump);
  }
  double WindowSplit() {
    SetCurrentDirectoryA(WindowDir.c_str());
    return WindowJob(Main->sButton11);
  }
  double HostSplit() {
    TSplitOptions options;
    options.BufferKB = kBufferKB;
    options.OutputDir = HostDir;
    const double start = NowMs();
    const bool ok = TSuperfileSplitter(Host).Split(Superfile, options);
    const double ms = NowMs() - start;
    if (!ok) throw std::runtime_error("host: the split failed");
    return ms;
  }
  double WindowCombine() { return WindowJob(Main->sButton10); }
  double HostCombine() {
    const double start = NowMs();
    const bool ok = TSuperfileCombiner(Host).Combine(Host.Rows, "", kBufferKB);
    const double ms = NowMs() - start;
    if (!ok) throw std::runtime_error("host: the combine failed");
    return ms;
  }

  void CheckSplit() {
    const std::vector<TCodeGroupRow> window = Main->Rows().RowsByCG();
    const std::vector<TCodeGroupRow>& host = Host.Rows;
    if (Main->sSpinEdit1->Value() != kBufferKB || Main->sCheckBox1->Checked())
      CheckFailed("split: the window's options are not the host's");
    if (window.size() != host.size() || host.size() < 8)
      CheckFailed("split: the window lists " + std::to_string(window.size()) + " rows, the host " +
                  std::to_string(host.size()));
    for (size_t i = 0; i < host.size(); ++i) {
      const TCodeGroupRow& w = window[i];
      const TCodeGroupRow& h = host[i];
      if (w.CG != h.CG || w.Type != h.Type || w.A1 != h.A1 || w.A2 != h.A2 || w.Size != h.Size)
        CheckFailed("split: row " + std::to_string(i) + ": window " + RowText(w) + ", host " + RowText(h));
      if (fs::path(w.Name).parent_path() != fs::path(WindowDir) || fs::path(h.Name).parent_path() != fs::path(HostDir))
        CheckFailed("split: row " + std::to_string(i) + " names an image in another folder: " + w.Name);
      std::vector<uint8_t> a = ReadFileBytes(w.Name);
      if (i == host.size() / 2 && CorruptionAsked("main-split") && !a.empty()) a[a.size() / 2] ^= 0xFF;
      if (a.empty() || a != ReadFileBytes(h.Name) || static_cast<int64_t>(a.size()) != h.Size)
        CheckFailed("split: the images of row " + std::to_string(i) + " (" + h.Type + ") differ");
    }
  }
  void CheckCombine() {
    std::vector<uint8_t> window = ReadFileBytes(Main->SaveName);
    const std::vector<uint8_t> host = ReadFileBytes(Host.SaveName);
    if (CorruptionAsked("main-combine") && !window.empty()) window[window.size() / 3] ^= 0x01;
    if (host.size() < SuperfileBytes / 2) CheckFailed("combine: the host wrote " + std::to_string(host.size()) + " bytes");
    if (window != host)
      CheckFailed("combine: the window's superfile (" + std::to_string(window.size()) + " bytes) is not the host's (" +
                  std::to_string(host.size()) + " bytes)");
  }

  TBench(const TBench&) = delete;
  TBench& operator=(const TBench&) = delete;

  int MiB;
  std::string Root, WindowDir, HostDir, Superfile;
  double SuperfileBytes = 0;
  TBenchMain* Main = nullptr;
  TBenchHost Host;
};

void SplitAndCombine(TBench& bench, const TOptions& options) {
  bench.WindowSplit();
  bench.HostSplit();
  bench.CheckSplit();
  bench.WindowCombine();
  bench.HostCombine();
  bench.CheckCombine();
  if (options.CheckOnly || options.SaveReference) return;
  const std::string size = std::to_string(bench.MiB) + " MB, " + std::to_string(kBufferKB) + " kB buffer";
  const TPairTimes split = RunPairs(options.Pairs, [&] { return bench.WindowSplit(); }, [&] { return bench.HostSplit(); });
  AddPairRow("split: main window / collecting host", size, split, Goal(1.2, split.Ratios));
  const TPairTimes combine =
      RunPairs(options.Pairs, [&] { return bench.WindowCombine(); }, [&] { return bench.HostCombine(); });
  AddPairRow("combine: main window / collecting host", size, combine, Goal(1.2, combine.Ratios));
  // The window shows again what the checks left (the last split's rows, the combine's status) for the
  // repaint.
  bench.WindowSplit();
  bench.WindowCombine();
}

// --- the repaint ---------------------------------------------------------------------------------

void RepaintNow(HWND window) {
  RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void UseLook(TsSkinManager* manager, bool skinned) {
  manager->SetActive(skinned);
  Pump();
}

// Labels and the spin edit's button have no section of their own: what they show stands on their
// parent's skin (the button's arrows are speed buttons of their own).
bool HasOwnSection(TsSkinnedControl* c) {
  return !dynamic_cast<TsCustomLabel*>(c) && !dynamic_cast<TsSpinButton*>(c);
}

void Repaint(TBench& bench, const TOptions& options) {
  TfmMain* main = bench.Main;
  const HWND window = main->Handle();
  std::vector<TsSkinnedControl*> controls;
  SkinnedControls(main, controls);
  const auto builds = [&controls] {
    int n = 0;
    for (TsSkinnedControl* c : controls) n += c->CacheBuilds();
    return n;
  };
  const int rows = main->CDS->RecordCount();
  // No control shows a pointer's hover.
  SetCursorPos(GetSystemMetrics(SM_CXVIRTUALSCREEN) - 1, GetSystemMetrics(SM_CYVIRTUALSCREEN) - 1);
  // Checks: in either look the window shows the split's rows and a repaint paints what the
  // reference recorded for that look shows; skinned, every control paints from the skin.
  for (bool skinned : {true, false}) {
    const std::string look = skinned ? "Desert" : "no skin";
    UseLook(main->SkinManager, skinned);
    RepaintNow(window);
    if (SkinData().Active != skinned) CheckFailed("repaint: the window is not in the look " + look);
    if (rows != static_cast<int>(bench.Host.Rows.size()))
      CheckFailed("repaint: the grid holds " + std::to_string(rows) + " rows");
    if (skinned)
      for (TsSkinnedControl* c : controls)
        if (!c->IsSkinned() && dynamic_cast<TControl*>(c)->Visible() && HasOwnSection(c))
          CheckFailed("repaint: " + dynamic_cast<TControl*>(c)->ClassName() + " does not paint from the skin");
    // What the repaint paints over a window covered in one colour, against the reference recorded.
    Scribble(window);
    RepaintNow(window);
    TScreenPixels shown = ClientPixels(window);
    HideCaretArea(window, shown);
    CheckReference(TARVEX_BENCH_REFERENCES,
                   "main window repaint, " + look + ", " + std::to_string(bench.MiB) + " MB superfile", shown, options,
                   skinned && CorruptionAsked("main-repaint"));
  }
  if (options.CheckOnly || options.SaveReference) return;

  int built = 0;
  const TPairTimes times = RunPairs(
      options.Pairs,
      [&] {
        UseLook(main->SkinManager, true);
        RepaintNow(window);  // the caches are built here, before the clock
        const int before = builds();
        const double ms = TimeOne([&] { RepaintNow(window); });
        built += builds() - before;
        return ms;
      },
      [&] {
        UseLook(main->SkinManager, false);
        RepaintNow(window);
        return TimeOne([&] { RepaintNow(window); });
      });
  RECT r{};
  GetWindowRect(window, &r);
  AddPairRow("main window repaint: Desert / no skin",
             std::to_string(rows) + " rows, " + std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top) +
                 ", " + std::to_string(built) + " cache builds",
             times, Goal(1.5, times.Ratios));
  UseLook(main->SkinManager, true);
}

}  // namespace

int main(int argc, char** argv) {
  return winbench::Main(argc, argv, [](const TOptions& options) {
    Application->Initialize();
    TBench bench(options.CheckOnly ? kCheckOnlyMiB : kSuperfileMiB);
    SplitAndCombine(bench, options);
    Repaint(bench, options);
  });
}
