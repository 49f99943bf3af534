// Steps 1000 times through 240 x 320 RAW pictures with the DRM editor's "next" button, each
// previewed and painted, against the model rendering the same pictures alone. The check: the
// preview of every picture equals the model's rendering, and the GDI/USER census stays flat over
// the steps. TARVEX_BENCH_CORRUPT=drm-preview changes one rendered pixel, which must fail it.
#include <windows.h>

#include <string>
#include <vector>

#include "bench/support/WineBench.h"
#include "editors/TEditorMainLink.h"
#include "editors/TfmDRMEditor.h"
#include "editors/core/RawPreview.h"
#include "editors/core/TDRMEditorModel.h"
#include "editors/core/TDRMImage.h"
#include "framework/base/TClientDataSet.h"
#include "framework/base/TField.h"
#include "framework/win/TApplication.h"
#include "framework/win/TBitmap.h"
#include "framework/win/TImage.h"
#include "gif/TGIFImage.h"
#include "skin/controls/TsDBNavigator.h"
#include "tests/editors/drm/DRMTestImages.h"
#include "tests/editors/generators/DRMGenerator.h"
#include "tests/framework/win/TGuiCensus.h"

namespace {

constexpr int kPictures = 8, kSteps = 1000;

std::vector<uint8_t> PhoneScreenImage() {
  TGenDRMPlan plan;
  plan.RawPictures = kPictures;
  plan.TypedPictures = 1;
  TDRMImage image(GenerateDRM(plan).Image);
  for (int no = 1; no <= kPictures; ++no) image.Replace(no, MakeDRMRaw(240, 320, uint32_t(no)), 240, 320);
  return image.Image();
}

bool PreviewIsTheModels(TfmDRMEditor* editor, bool corrupt) {
  auto* bitmap = dynamic_cast<TBitmap*>(editor->Image1->Picture()->Graphic());
  if (!bitmap) return false;
  TPixelBuffer want = editor->Model().RenderCurrent(bitmap->Width(), bitmap->Height(), TPreviewFit::Centred,
                                                    ColorToRGB(clScrollBar));
  if (corrupt) want.Pixels[want.Pixels.size() / 2] ^= 1;
  for (int y = 0; y < bitmap->Height(); ++y) {
    const uint8_t* line = bitmap->ScanLine(y);
    for (int x = 0; x < bitmap->Width(); ++x) {
      const uint32_t c = want.At(x, y);
      if (line[3 * x] != uint8_t(c >> 16) || line[3 * x + 1] != uint8_t(c >> 8) || line[3 * x + 2] != uint8_t(c))
        return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  return winbench::Main(argc, argv, [](const winbench::TOptions& options) {
    RegisterGIFImage();
    Application->Initialize();
    TIdleMainLink link;
    SetEditorMainLink(&link);
    auto* editor = NewComponent<TfmDRMEditor>(Application);
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string file = std::string(temp) + "drm_preview_bench.smg";
    const std::vector<uint8_t> bytes = PhoneScreenImage();
    HANDLE h = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(h, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    CloseHandle(h);
    editor->Show();
    editor->Model().SetFileName(file);
    TClientDataSet& pictures = editor->Model().Pictures();
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, AnswerBoxWithOK);
    editor->Model().Open();
    KillTimer(nullptr, timer);
    DeleteFileA(file.c_str());
    DeleteFileA((std::string(temp) + "drm_preview_bench.cds").c_str());

    // One step: "next", or "first" after the last RAW picture; painted before the next one.
    auto step = [&] {
      const bool last = pictures.FieldByName("No")->AsInteger() >= kPictures;
      editor->sDBNavigator1->BtnClick(last ? nbFirst : nbNext);
      UpdateWindow(editor->Handle());
    };
    pictures.First();
    editor->ShowPicture();
    const bool corrupt = winbench::CorruptionAsked("drm-preview");
    for (int i = 0; i < kPictures; ++i) {
      if (!PreviewIsTheModels(editor, corrupt && i == 3))
        winbench::CheckFailed("drm-preview: picture " + std::to_string(i + 1) + " differs from the model's");
      step();
    }
    const TGuiCensus change = TGuiCensus::ChangeOver(200, step);
    if (!(change == TGuiCensus())) winbench::CheckFailed("drm-preview: the census grew over 200 steps");
    if (options.CheckOnly) return;

    const TDRMImage& image = *editor->Model().Image();
    const TDRMListing list = image.List();
    // Ours: the window's steps; the peer: the model rendering the same pictures alone. Each the time
    // of one step.
    const auto steps = [&] {
      const double start = winbench::NowMs();
      for (int i = 0; i < kSteps; ++i) step();
      return (winbench::NowMs() - start) / kSteps;
    };
    const auto renders = [&] {
      const double start = winbench::NowMs();
      volatile uint32_t sum = 0;
      for (int i = 0; i < kSteps; ++i) {
        const TPixelBuffer b = RenderRawPicture(image.Image(), image.Base(), list.Pictures[size_t(i % kPictures)], 240,
                                                320, TPreviewFit::Centred, 0xC8D0D4);
        sum = sum + b.Pixels[size_t(i) % b.Pixels.size()];
      }
      return (winbench::NowMs() - start) / kSteps;
    };
    winbench::AddPairRow("DRM preview step (next, painted)", "240x320 RAW",
                         winbench::RunPairs(options.Pairs, steps, renders));
    editor->Hide();
    editor->Free();
    SetEditorMainLink(nullptr);
  });
}
