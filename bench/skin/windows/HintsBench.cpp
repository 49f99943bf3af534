// Hint markup layout and hint composing, each against a peer measured in the same run, the two
// alternated:
//  - layout of the program's longest hint repeated 1, 4 and 16 times, against measuring the same
//    bytes as plain text (one pass summing character widths): the ratio should stay flat as the
//    text grows, since both are linear;
//  - composing a hint in the program's look (translucent plain rectangle, blur 15, shadow blur 30)
//    against one translucent copy of a bitmap of the same size.
//
// Checks first: the layout draws the text without its tags and its widest line is the plain
// measure of that line; the composed hint leaves the screen outside its body and shadow as it was
// and changes the body; the translucent copy gives the blend its formula gives.
// TARVEX_BENCH_CORRUPT=hint-layout or hint-compose spoils our side's result, which must fail.
//
//   build/host/bench/skin/windows/skin_hints_bench [--pairs N] [--check-only]
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>

#include <cstdlib>
#include <string>
#include <vector>

#include "bench/support/BenchSupport.h"

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
  void TextOut(std::int32_t, std::int32_t, std::string_view text) override {
    benchmark::DoNotOptimize(text.data());
    if (Record) Drawn += text;
  }
  bool Record = false;
  std::string Drawn;
};

std::string Repeated(int times) {
  std::string s;
  for (int i = 0; i < times; ++i) s += ProgramHint + "<br>";
  return s;
}

// The text without its tags, and the widest of its lines (split at <br>) measured as plain text.
struct TPlain {
  std::string Text;
  std::int32_t Widest = 0;
};
TPlain Plain(TTableCanvas& canvas, const std::string& markup) {
  TPlain plain;
  std::string line;
  const auto endLine = [&] {
    plain.Widest = std::max(plain.Widest, canvas.TextWidth(line));
    line.clear();
  };
  for (std::size_t i = 0; i < markup.size(); ++i) {
    if (markup[i] != '<') {
      plain.Text += markup[i];
      line += markup[i];
      continue;
    }
    const std::size_t close = markup.find('>', i);
    if (markup.compare(i, 4, "<br>") == 0) endLine();
    i = close;
  }
  endLine();
  return plain;
}

void CheckLayout(int times) {
  const std::string text = Repeated(times);
  TTableCanvas canvas;
  TsHtmlLayout layout;
  canvas.Record = true;
  layout.Init(canvas, text, {0, 0, 240, 0});
  const TsRect used = layout.Execute();
  if (bench::CorruptionAsked("hint-layout")) canvas.Drawn += "x";
  const TPlain plain = Plain(canvas, text);
  const std::string what = "layout of the hint " + std::to_string(times) + " times: ";
  if (canvas.Drawn != plain.Text) bench::CheckFailed(what + "drew \"" + canvas.Drawn + "\"");
  if (used.Right != plain.Widest)
    bench::CheckFailed(what + "its widest line is " + std::to_string(used.Right) + " wide, measured plain " +
                       std::to_string(plain.Widest));
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

// As each paint does: the mask and the shape anew, the work and body bitmaps reused.
void Compose(TProgramHint& h) {
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

constexpr std::array<uint8_t, 3> kCopyAlpha{38, 38, 38};

void TranslucentCopy(TProgramHint& h) {
  BlendBitmapRect(h.Work.View(), h.Screen.View(), kCopyAlpha, h.Screen.View().Bounds(), {0, 0});
  benchmark::ClobberMemory();
}

bool Same(TsBgr a, TsBgr b) { return a.B == b.B && a.G == b.G && a.R == b.R; }

void CheckCompose() {
  TProgramHint h;
  Compose(h);
  const TsHintShape shape(h.Look, h.Size.Width, h.Size.Height, 0);
  const TsRect body = shape.Bounds();
  const TsPoint centre{(body.Left + body.Right) / 2, (body.Top + body.Bottom) / 2};
  if (bench::CorruptionAsked("hint-compose")) h.Work.SetPixel(centre.X, centre.Y, h.Screen.Pixel(centre.X, centre.Y));
  // The shadow lies right of and below the body: the corners beside it keep the screen.
  for (const TsPoint p : {TsPoint{h.Size.Width - 1, 0}, TsPoint{0, h.Size.Height - 1}})
    if (!Same(h.Work.Pixel(p.X, p.Y), h.Screen.Pixel(p.X, p.Y)))
      bench::CheckFailed("compose: the screen at (" + std::to_string(p.X) + ", " + std::to_string(p.Y) +
                         ") beside the hint changed");
  if (Same(h.Work.Pixel(centre.X, centre.Y), h.Screen.Pixel(centre.X, centre.Y)))
    bench::CheckFailed("compose: the hint's body shows the screen unchanged");

  TProgramHint copy;
  TranslucentCopy(copy);
  const int t = kCopyAlpha[0] + kCopyAlpha[1] + kCopyAlpha[2];
  for (int y = 0; y < copy.Size.Height; ++y)
    for (int x = 0; x < copy.Size.Width; ++x) {
      // d := (d - s) * t / 768 + s, the work bitmap being black.
      const TsBgr s = copy.Screen.Pixel(x, y), d = copy.Work.Pixel(x, y);
      const auto want = [t](int screen) { return (0 - screen) * t / 768 + screen; };
      if (std::abs(d.B - want(s.B)) > 1 || std::abs(d.G - want(s.G)) > 1 || std::abs(d.R - want(s.R)) > 1)
        bench::CheckFailed("translucent copy: pixel (" + std::to_string(x) + ", " + std::to_string(y) +
                           ") is not the blend");
    }
}

}  // namespace

int main(int argc, char** argv) {
  return bench::Main(argc, argv, [](const bench::TOptions& options) {
    for (const int times : {1, 4, 16}) CheckLayout(times);
    CheckCompose();
    if (options.CheckOnly) return;
    for (const int times : {1, 4, 16}) {
      const std::string text = Repeated(times);
      TTableCanvas canvas;
      TsHtmlLayout layout;
      bench::AddRow(bench::PairRow(
          "hint layout / plain measure", std::to_string(text.size()) + " bytes",
          bench::RunCallPairs(
              [&] {
                layout.Init(canvas, text, {0, 0, 240, 0});
                benchmark::DoNotOptimize(layout.Execute());
              },
              [&] { benchmark::DoNotOptimize(canvas.TextWidth(text)); }, options.Pairs)));
    }
    TProgramHint ours, peer;
    bench::AddRow(bench::PairRow(
        "hint compose / translucent copy",
        std::to_string(ours.Size.Width) + "x" + std::to_string(ours.Size.Height) + " pixels",
        bench::RunCallPairs([&] { Compose(ours); }, [&] { TranslucentCopy(peer); }, options.Pairs)));
  });
}
