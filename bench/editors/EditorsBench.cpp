// Decode and pack of one CJK language at 1x, 4x and 16x its string count (up to 6000 strings), and the
// listing of an 8 MB DRM image of 1000 pictures. The peers are a plain copy of the same image and, for
// the decode, one walk of the language's whole stream through its tree.
#include "editors/core/TDRMImage.h"
#include "editors/core/TLanguagePack.h"
#include "tests/editors/generators/DRMGenerator.h"
#include "tests/editors/generators/LangPackGenerator.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>

namespace {

const TGenPack& CjkPack(int strings) {
  static std::map<int, TGenPack> packs;
  auto it = packs.find(strings);
  if (it == packs.end()) {
    TGenPackPlan plan;
    plan.Seed = 42;
    TGenLanguagePlan lang;
    lang.ID = 5;
    lang.Strings = strings;
    lang.Alphabet = TAlphabet::Cjk;
    plan.Languages.push_back(lang);
    it = packs.emplace(strings, GenerateLangPack(plan)).first;
  }
  return it->second;
}

const TGenDRM& LargeDRM() {
  static const TGenDRM drm = [] {
    TGenDRMPlan plan;
    plan.Seed = 7;
    plan.RawPictures = 500;
    plan.TypedPictures = 500;
    plan.MaxSide = 180;
    return GenerateDRM(plan);
  }();
  return drm;
}

void BM_Decode(benchmark::State& state) {
  const TLanguagePack pack(CjkPack(int(state.range(0))).Image);
  for (auto _ : state) benchmark::DoNotOptimize(pack.Decode(0));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_Pack(benchmark::State& state) {
  const TGenPack& gen = CjkPack(int(state.range(0)));
  const auto strings = TLanguagePack(gen.Image).Decode(0);
  for (auto _ : state) {
    state.PauseTiming();
    TLanguagePack pack(gen.Image);
    state.ResumeTiming();
    pack.Pack(0, strings);
    benchmark::DoNotOptimize(pack.Image().data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

// The least work any decoder of the language does: every stream bit once through the tree, without
// groups, strings or checks.
void BM_TreeWalk(benchmark::State& state) {
  const TGenPack& gen = CjkPack(int(state.range(0)));
  const TGenLanguage& lang = gen.Languages[0];
  const uint8_t* image = gen.Image.data();
  std::vector<uint16_t> one, zero;
  for (uint32_t at = lang.Tree; at + 6 <= lang.Groups; at += 6) {
    one.push_back(uint16_t(image[at + 2] << 8 | image[at + 3]));
    zero.push_back(uint16_t(image[at + 4] << 8 | image[at + 5]));
  }
  for (auto _ : state) {
    uint32_t node = 0;
    size_t leaves = 0;
    for (uint64_t bit = uint64_t{lang.Stream} * 8; bit < uint64_t{lang.Tree} * 8; ++bit) {
      node = (image[bit >> 3] >> (7 - (bit & 7))) & 1u ? one[node] : zero[node];
      if (one[node] == 0) {
        ++leaves;
        node = 0;
      }
    }
    benchmark::DoNotOptimize(leaves);
  }
}

void BM_CopyLangPack(benchmark::State& state) {
  const auto& image = CjkPack(int(state.range(0))).Image;
  for (auto _ : state) {
    std::vector<uint8_t> copy(image);
    benchmark::DoNotOptimize(copy.data());
  }
}

void BM_ListDRM(benchmark::State& state) {
  const TDRMImage image(LargeDRM().Image);
  state.counters["bytes"] = double(LargeDRM().Image.size());
  for (auto _ : state) benchmark::DoNotOptimize(image.List());
}

void BM_CopyDRM(benchmark::State& state) {
  const auto& image = LargeDRM().Image;
  for (auto _ : state) {
    std::vector<uint8_t> copy(image);
    benchmark::DoNotOptimize(copy.data());
  }
}

// Keeps each benchmark's time per iteration so that the decode's ratio can be printed after the run.
class TRatioReporter : public benchmark::ConsoleReporter {
public:
  std::map<std::string, double> Seconds;
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Iteration && run.iterations > 0)
        Seconds[run.benchmark_name()] = run.real_accumulated_time / double(run.iterations);
    }
    ConsoleReporter::ReportRuns(runs);
  }
};

}  // namespace

BENCHMARK(BM_Decode)->Arg(375)->Arg(1500)->Arg(6000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Pack)->Arg(375)->Arg(1500)->Arg(6000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TreeWalk)->Arg(6000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CopyLangPack)->Arg(6000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListDRM)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CopyDRM)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  TRatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const double decode = reporter.Seconds["BM_Decode/6000"], walk = reporter.Seconds["BM_TreeWalk/6000"];
  if (decode > 0 && walk > 0) {
    std::printf("decode of 6000 strings: %.2f ms, one tree walk of its stream %.2f ms, ratio %.2f\n",
                decode * 1e3, walk * 1e3, decode / walk);
  }
  benchmark::Shutdown();
  return 0;
}
