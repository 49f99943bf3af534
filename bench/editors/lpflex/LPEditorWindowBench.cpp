// Times "Parse language" and "Pack strings" of a 6000-string CJK language clicked in the
// language-pack editor, with the main window's gauge painted for real, against the editor model
// alone with a host that shows nothing, in one run. Both must give the same strings and the same
// image. Runs under Wine (tools/bench runs host benchmarks only):
//   wine build/win/bench/editors/lpflex/lp_editor_window_bench.exe [--pairs N] [--check-only]
// TARVEX_BENCH_CORRUPT=lp-window changes one string of the window's result, which must fail the check.
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "bench/support/WineBench.h"
#include "editors/TEditorFlasher.h"
#include "editors/TEditorMainLink.h"
#include "editors/TfmLPEditor.h"
#include "editors/core/TEditorHost.h"
#include "editors/core/TLPEditorModel.h"
#include "editors/core/TLanguagePack.h"
#include "framework/base/TClientDataSet.h"
#include "framework/base/TField.h"
#include "framework/win/TApplication.h"
#include "framework/win/TCustomForm.h"
#include "skin/controls/TsButton.h"
#include "skin/controls/TsGauge.h"
#include "tests/editors/generators/LangPackGenerator.h"

namespace {

// The main window's part: its gauge, painted at once on every move.
class TGaugeMain : public TEditorMainLink {
public:
  TForm* Form = nullptr;
  TsGauge* Gauge = nullptr;
  std::string Name;
  TCustomForm* MainForm() override { return Form; }
  std::optional<TGridRow> GridRow(int cg) override {
    if (cg != 4) return std::nullopt;
    return TGridRow{Name, 0, ""};
  }
  void CombineSingleCG(int, const std::string&, int32_t, int32_t) override {}
  void FillFlasherLoader() override {}
  void SetStatus(const std::string&) override {}
  void SetProgress(int position, int maximum) override {
    Gauge->SetMaxValue(maximum);
    Gauge->SetProgress(position);
    UpdateWindow(Form->Handle());
  }
  std::pair<int, int> AskRawBounds(int width, int height) override { return {width, height}; }
};

// A host that shows nothing: the model's own cost.
class TQuietHost : public TEditorHost {
public:
  std::string Name;
  std::string Message(TMsgId) override { return ""; }
  bool AskYesNo(const std::string&) override { return false; }
  void ShowInfo(const std::string&) override {}
  void ShowError(const std::string& text) override { winbench::CheckFailed("model: " + text); }
  void ShowWarning(const std::string& text) override { winbench::CheckFailed("model: " + text); }
  TSaveAnswer AskSaveChanges(const std::string&) override { return TSaveAnswer::Cancel; }
  void SetStatus(const std::string&) override {}
  void SetProgress(int, int) override {}
  std::string OpenFileName(TFilterKind) override { return Name; }
  std::string OpenFileNameWithLastFilter() override { return ""; }
  std::string OpenPictureFileName() override { return ""; }
  std::string SaveFileName(TFilterKind, const std::string&) override { return ""; }
  std::string SaveFileNameUnfiltered(const std::string&) override { return ""; }
  std::string SavePictureFileName(const std::string&) override { return ""; }
  std::pair<int, int> AskRawBounds(int width, int height) override { return {width, height}; }
  std::optional<TGridRow> GridRow(int) override { return std::nullopt; }
  void CombineSingleCG(int, const std::string&, int32_t, int32_t) override {}
  void SendToFlasher(const std::optional<TFlasherRow>&, bool) override {}
};

std::vector<std::u16string> StringsOf(TClientDataSet& table) {
  std::vector<std::u16string> strings;
  for (table.First(); !table.Eof(); table.Next()) strings.push_back(table.FieldByName("Text")->AsWideString());
  return strings;
}

void Click(TsButton* button) { SendMessageA(button->Handle(), BM_CLICK, 0, 0); }

}  // namespace

int main(int argc, char** argv) {
  return winbench::Main(argc, argv, [](const winbench::TOptions& options) {
    Application->Initialize();
    TGenPackPlan plan;
    plan.Seed = 11;
    TGenLanguagePlan language;
    language.ID = 5;
    language.Strings = 6000;
    language.Alphabet = TAlphabet::Cjk;
    plan.Languages.push_back(language);
    const TGenPack gen = GenerateLangPack(plan);
    const std::string name = (std::filesystem::temp_directory_path() / "lp_window_bench_CG4.smg").string();
    {
      FILE* f = std::fopen(name.c_str(), "wb");
      if (f == nullptr) throw std::runtime_error("cannot write " + name);
      std::fwrite(gen.Image.data(), 1, gen.Image.size(), f);
      std::fclose(f);
    }

    TGaugeMain main;
    main.Name = name;
    main.Form = NewComponent<TForm>(Application);
    main.Form->SetBounds(0, 0, 600, 120);
    main.Gauge = NewControl<TsGauge>(main.Form, main.Form, RECT{10, 10, 580, 40});
    main.Form->Show();
    SetEditorMainLink(&main);
    auto* window = NewComponent<TfmLPEditor>(Application);
    window->Show();

    TQuietHost host;
    host.Name = name;
    TLPEditorModel model(host);
    model.OpenLangpack(true);

    using TCall = std::function<void()>;
    const TCall windowParse = [&] { Click(window->sButton4); };
    const TCall windowPack = [&] { Click(window->sButton10); };
    const TCall modelParse = [&] { model.ParseLanguage(); };
    const TCall modelPack = [&] { model.PackStrings(); };

    windowParse();
    modelParse();
    std::vector<std::u16string> ours = StringsOf(*window->cdsStr), peer = StringsOf(model.Strings());
    if (winbench::CorruptionAsked("lp-window")) ours[17] += u"x";
    if (ours != gen.Languages[0].Strings || peer != ours) winbench::CheckFailed("parse: the strings differ");
    windowPack();
    modelPack();
    if (window->Model().Pack()->Image() != model.Pack()->Image() || model.Pack()->Image() != gen.Image)
      winbench::CheckFailed("pack: the images differ");
    if (!options.CheckOnly) {
      for (const auto& [work, ourCall, peerCall] :
           {std::tuple<const char*, TCall, TCall>{"Parse language", windowParse, modelParse},
            std::tuple<const char*, TCall, TCall>{"Pack strings", windowPack, modelPack}}) {
        winbench::AddPairRow(std::string(work) + " (window / model)", "6000 CJK strings",
                             winbench::RunPairs(
                                 options.Pairs, [&] { return winbench::TimeOne(ourCall); },
                                 [&] { return winbench::TimeOne(peerCall); }));
      }
    }
    SetEditorMainLink(nullptr);
    window->Free();
    main.Form->Free();
    std::filesystem::remove(name);
  });
}
