// Decode and pack of one CJK language at 1x, 4x and 16x its string count (up to 6000 strings), and the
// listing of an 8 MB DRM image of 1000 pictures. The peer is a plain copy of the same image.
#include "editors/core/TDRMImage.h"
#include "editors/core/TLanguagePack.h"
#include "tests/editors/generators/DRMGenerator.h"
#include "tests/editors/generators/LangPackGenerator.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <map>

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

}  // namespace

BENCHMARK(BM_Decode)->Arg(375)->Arg(1500)->Arg(6000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Pack)->Arg(375)->Arg(1500)->Arg(6000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CopyLangPack)->Arg(6000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListDRM)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CopyDRM)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
