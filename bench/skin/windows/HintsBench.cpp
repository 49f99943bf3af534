// Hint markup layout and hint composing, each against a peer measured in the same run, the two
// alternated:
//  - layout of the program's longest hint repeated 1, 4 and 16 times, against measuring the same
//    bytes as plain text (one pass summing character widths): the ratio should stay flat as the
//    text grows, since both are linear;
//  - composing a hint in the program's look (translucent plain rectangle, blur 15, shadow blur 30)
//    against one translucent copy of a bitmap of the same size.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "skin/engine/core/PixelBlend.h"
#include "skin/engine/core/TsBitmap24.h"
#include "skin/windows/core/TsHintComposer.h"
#include "skin/windows/core/TsHintLook.h"
#include "skin/windows/core/TsHintShape.h"
#include "skin/windows/core/TsHtmlLayout.h"

namespace {

const std::string ProgramHint = "Open code group</b><br>by external program";

// Extents from a per-character width table, as a font's would be.
class TTableCanvas : public TsHtmlCanvas {
public:
  TsHtmlFont Current;
  TsHtmlFont Font() override { return Current; }
  void SetFont(const TsHtmlFont& font) override { Current = font; }
  std::int32_t TextWidth(std::string_view text) override {
    std::int32_t w = 0;
    for (char c : text) w += 5 + (static_cast<unsigned char>(c) & 3);
    return w;
  }
  std::int32_t TextHeight(std::string_view) override { return 13; }
  void TextOut(std::int32_t, std::int32_t, std::string_view text) override { benchmark::DoNotOptimize(text.data()); }
};

std::string Repeated(int times) {
  std::string s;
  for (int i = 0; i < times; ++i) s += ProgramHint + "<br>";
  return s;
}

void SetTextCounters(benchmark::State& state, const std::string& text) {
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}

void BM_HtmlLayout(benchmark::State& state) {
  const std::string text = Repeated(int(state.range(0)));
  TTableCanvas canvas;
  TsHtmlLayout layout;
  for (auto _ : state) {
    layout.Init(canvas, text, {0, 0, 240, 0});
    benchmark::DoNotOptimize(layout.Execute());
  }
  SetTextCounters(state, text);
}

void BM_PlainExtent(benchmark::State& state) {
  const std::string text = Repeated(int(state.range(0)));
  TTableCanvas canvas;
  for (auto _ : state) benchmark::DoNotOptimize(canvas.TextWidth(text));
  SetTextCounters(state, text);
}

// The program's hint: its text of about 110 x 28 pixels in the program's look.
struct TProgramHint {
  TsHintLook Look;
  TsHintSize Size;
  TsBitmap24 Screen, Work, Body, Mask;
  TProgramHint() {
    ApplyHintPredefinition(Look, TsHintsPredefinitions::shTransparent);
    Size = CalcHintSize(Look, 110, 28);
    Screen = TsBitmap24(Size.Width, Size.Height);
    for (int y = 0; y < Size.Height; ++y)
      for (int x = 0; x < Size.Width; ++x) Screen.SetPixel(x, y, {uint8_t(x), uint8_t(y), uint8_t(x + y)});
    Work = Body = Mask = TsBitmap24(Size.Width, Size.Height);
  }
};

void BM_ComposeProgramHint(benchmark::State& state) {
  TProgramHint h;
  for (auto _ : state) {
    // As each paint does: the mask and the shape anew, the work and body bitmaps reused.
    const TsHintShape shape(h.Look, h.Size.Width, h.Size.Height, 0);
    const TsHintComposer composer(h.Look, shape, h.Look.Color);
    CopyPixels(h.Work.View(), {0, 0}, h.Screen.View(), h.Screen.View().Bounds());
    composer.PaintShadow(h.Work.View());
    CopyPixels(h.Body.View(), {0, 0}, h.Work.View(), h.Work.View().Bounds());
    composer.PaintBackground(h.Body.View(), h.Screen.View(), {});
    TsBitmap24 mask(h.Size.Width, h.Size.Height);
    composer.PaintMask(mask.View());
    composer.PaintBorder(h.Body.View(), mask.View());
    TsHintComposer::LayThroughMask(h.Work.View(), h.Body.View(), mask.View());
    benchmark::ClobberMemory();
  }
  state.counters["pixels"] = double(h.Size.Width) * h.Size.Height;
}

void BM_TranslucentCopy(benchmark::State& state) {
  TProgramHint h;
  for (auto _ : state) {
    BlendBitmapRect(h.Work.View(), h.Screen.View(), {38, 38, 38}, h.Screen.View().Bounds(), {0, 0});
    benchmark::ClobberMemory();
  }
  state.counters["pixels"] = double(h.Size.Width) * h.Size.Height;
}

BENCHMARK(BM_HtmlLayout)->Arg(1)->Unit(benchmark::kNanosecond);
BENCHMARK(BM_PlainExtent)->Arg(1)->Unit(benchmark::kNanosecond);
BENCHMARK(BM_HtmlLayout)->Arg(4)->Unit(benchmark::kNanosecond);
BENCHMARK(BM_PlainExtent)->Arg(4)->Unit(benchmark::kNanosecond);
BENCHMARK(BM_HtmlLayout)->Arg(16)->Unit(benchmark::kNanosecond);
BENCHMARK(BM_PlainExtent)->Arg(16)->Unit(benchmark::kNanosecond);
BENCHMARK(BM_ComposeProgramHint)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TranslucentCopy)->Unit(benchmark::kMicrosecond);

class RatioReporter : public benchmark::ConsoleReporter {
public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs)
      if (r.run_type == Run::RT_Iteration && r.iterations > 0) Times[r.benchmark_name()] = r.GetAdjustedRealTime();
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> Times;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  auto ratio = [&](const std::string& ours, const std::string& peer) {
    if (!reporter.Times.count(ours) || !reporter.Times.count(peer)) return;
    std::printf("%-26s / %-26s time ratio %.2f\n", ours.c_str(), peer.c_str(),
                reporter.Times[ours] / reporter.Times[peer]);
  };
  for (const char* n : {"1", "4", "16"})
    ratio(std::string("BM_HtmlLayout/") + n, std::string("BM_PlainExtent/") + n);
  ratio("BM_ComposeProgramHint", "BM_TranslucentCopy");
  benchmark::Shutdown();
  return 0;
}
