// The painters' hot loops on a full-HD 24-bit bitmap against pixman doing the same work in the same
// run: a blend at a constant level (pixman: OVER with a solid mask), a vertical two-colour gradient
// (pixman: a linear gradient) and a plain copy (memcpy). Prints our speed as a ratio of the peer's.

#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "skin/engine/core/Gradient.h"
#include "skin/engine/core/PixelBlend.h"
#include "skin/engine/core/TsBitmap24.h"

namespace {

constexpr int Width = 1920;
constexpr int Height = 1080;

TsBitmap24 Pattern(uint8_t seed) {
  TsBitmap24 b(Width, Height);
  const TsBitmap24View v = b.View();
  for (int y = 0; y < Height; ++y) {
    uint8_t* p = v.Row(y);
    for (int i = 0; i < Width * 3; ++i) p[i] = uint8_t(i * 7 + y * 13 + seed);
  }
  return b;
}

pixman_image_t* Wrap(TsBitmap24& b) {
  const TsBitmap24View v = b.View();
  return pixman_image_create_bits(PIXMAN_r8g8b8, Width, Height, reinterpret_cast<uint32_t*>(v.Row(0)),
                                  int(v.Stride()));
}

void SetBytes(benchmark::State& state) {
  state.SetBytesProcessed(int64_t(state.iterations()) * Width * Height * 3);
}

void BM_BlendBitmapRect(benchmark::State& state) {
  TsBitmap24 d = Pattern(1);
  const TsBitmap24 s = Pattern(2);
  for (auto _ : state) {
    BlendBitmapRect(d.View(), s.View(), {127, 127, 127}, {0, 0, Width, Height}, {0, 0});
    benchmark::ClobberMemory();
  }
  SetBytes(state);
}

void BM_PixmanOverSolidMask(benchmark::State& state) {
  TsBitmap24 d = Pattern(1);
  TsBitmap24 s = Pattern(2);
  pixman_image_t* dst = Wrap(d);
  pixman_image_t* src = Wrap(s);
  const pixman_color_t half{0, 0, 0, 0x7F7F};
  pixman_image_t* mask = pixman_image_create_solid_fill(&half);
  for (auto _ : state) {
    pixman_image_composite32(PIXMAN_OP_OVER, src, mask, dst, 0, 0, 0, 0, 0, 0, Width, Height);
    benchmark::ClobberMemory();
  }
  pixman_image_unref(mask);
  pixman_image_unref(src);
  pixman_image_unref(dst);
  SetBytes(state);
}

void BM_VerticalGradient(benchmark::State& state) {
  TsBitmap24 d(Width, Height);
  const std::vector<TsGradientStop> stops{{0x0000FF, 0xFF0000, 100, 0}};
  for (auto _ : state) {
    FillGradient(d.View(), {0, 0, Width, Height}, stops);
    benchmark::ClobberMemory();
  }
  SetBytes(state);
}

void BM_PixmanLinearGradient(benchmark::State& state) {
  TsBitmap24 d(Width, Height);
  pixman_image_t* dst = Wrap(d);
  const pixman_point_fixed_t p1{0, 0};
  const pixman_point_fixed_t p2{0, pixman_int_to_fixed(Height - 1)};
  const pixman_gradient_stop_t stops[2] = {{0, {0xFFFF, 0, 0, 0xFFFF}}, {pixman_fixed_1, {0, 0, 0xFFFF, 0xFFFF}}};
  pixman_image_t* gradient = pixman_image_create_linear_gradient(&p1, &p2, stops, 2);
  for (auto _ : state) {
    pixman_image_composite32(PIXMAN_OP_SRC, gradient, nullptr, dst, 0, 0, 0, 0, 0, 0, Width, Height);
    benchmark::ClobberMemory();
  }
  pixman_image_unref(gradient);
  pixman_image_unref(dst);
  SetBytes(state);
}

void BM_CopyPixels(benchmark::State& state) {
  TsBitmap24 d(Width, Height);
  const TsBitmap24 s = Pattern(3);
  for (auto _ : state) {
    CopyPixels(d.View(), {0, 0}, s.View(), {0, 0, Width, Height});
    benchmark::ClobberMemory();
  }
  SetBytes(state);
}

void BM_Memcpy(benchmark::State& state) {
  TsBitmap24 d(Width, Height);
  const TsBitmap24 s = Pattern(3);
  const size_t bytes = size_t(s.View().Stride()) * Height;
  for (auto _ : state) {
    std::memcpy(d.View().Row(0), s.View().Row(0), bytes);
    benchmark::ClobberMemory();
  }
  SetBytes(state);
}

BENCHMARK(BM_BlendBitmapRect)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PixmanOverSolidMask)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VerticalGradient)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PixmanLinearGradient)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CopyPixels)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Memcpy)->Unit(benchmark::kMillisecond);

// Keeps each benchmark's time per iteration for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs)
      if (r.run_type == Run::RT_Iteration && r.iterations > 0)
        Times[r.benchmark_name()] = r.GetAdjustedRealTime();
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> Times;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  auto ratio = [&](const char* ours, const char* peer) {
    if (!reporter.Times.count(ours) || !reporter.Times.count(peer)) return;
    std::printf("%-22s / %-24s speed ratio %.2f (above 1: ours is faster)\n", ours, peer,
                reporter.Times[peer] / reporter.Times[ours]);
  };
  ratio("BM_BlendBitmapRect", "BM_PixmanOverSolidMask");
  ratio("BM_VerticalGradient", "BM_PixmanLinearGradient");
  ratio("BM_CopyPixels", "BM_Memcpy");
  benchmark::Shutdown();
  return 0;
}
