// The language pack of one CJK language at 1x, 4x and 16x its string count (up to 6000 strings)
// and the listing of an 8 MB DRM image of 1000 pictures, both made by the editors' generators.
// The decode is timed against a reference decoder written here from the image layout alone (a
// plain walk of each group's bits through the tree), in-process and alternated run by run. Before
// timing: our decode and the reference's must both give the generator's strings, our pack must
// read back as the strings it was given, and our DRM listing must give the generator's pictures.
// TARVEX_BENCH_CORRUPT=langpack or =drm spoils our result to prove the checks.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/support/BenchSupport.h"
#include "editors/core/TDRMImage.h"
#include "editors/core/TLanguagePack.h"
#include "tests/editors/generators/DRMGenerator.h"
#include "tests/editors/generators/LangPackGenerator.h"

namespace {

TGenPack CjkPack(int strings) {
  TGenPackPlan plan;
  plan.Seed = 42;
  TGenLanguagePlan lang;
  lang.ID = 5;
  lang.Strings = strings;
  lang.Alphabet = TAlphabet::Cjk;
  plan.Languages.push_back(lang);
  return GenerateLangPack(plan);
}

uint32_t Be16(const std::vector<uint8_t>& image, size_t at) {
  return uint32_t(image[at]) << 8 | image[at + 1];
}

uint32_t Be32(const std::vector<uint8_t>& image, size_t at) {
  return Be16(image, at) << 16 | Be16(image, at + 2);
}

// The reference: the block opens with its string count; the group table holds, for each four
// strings, the byte offset of their bits from the stream's start; each tree node is its unit (FFFF
// inside the tree) and its 1- and 0-child; a string is its units' codes up to the code of unit 0.
std::vector<std::u16string> ReferenceDecode(const std::vector<uint8_t>& image, const TGenLanguage& lang) {
  struct TNode {
    uint16_t Unit, One, Zero;
  };
  std::vector<TNode> tree;
  for (uint32_t at = lang.Tree; at + 6 <= lang.Groups; at += 6)
    tree.push_back({uint16_t(Be16(image, at)), uint16_t(Be16(image, at + 2)), uint16_t(Be16(image, at + 4))});
  const uint32_t count = Be16(image, lang.Block);
  const uint64_t end = uint64_t{lang.Tree} * 8;
  std::vector<std::u16string> strings;
  uint64_t bit = 0;
  for (uint32_t s = 0; s < count; ++s) {
    if (s % 4 == 0) bit = (uint64_t{lang.Stream} + Be32(image, lang.Groups + s)) * 8;
    std::u16string text;
    for (;;) {
      uint16_t node = 0;
      while (tree[node].One != 0 || tree[node].Zero != 0) {
        if (bit >= end) throw std::runtime_error("the reference ran off the stream");
        node = (image[bit >> 3] >> (7 - (bit & 7))) & 1u ? tree[node].One : tree[node].Zero;
        ++bit;
      }
      if (tree[node].Unit == 0) break;
      text += char16_t(tree[node].Unit);
    }
    strings.push_back(std::move(text));
  }
  return strings;
}

void LanguagePack(int count, const bench::TOptions& options) {
  const TGenPack gen = CjkPack(count);
  const TGenLanguage& lang = gen.Languages[0];
  const TLanguagePack pack(gen.Image);
  std::vector<std::u16string> ours = pack.Decode(0);
  const std::vector<std::u16string> reference = ReferenceDecode(gen.Image, lang);
  if (reference != lang.Strings) throw std::runtime_error("the reference decoder does not give the generator's strings");
  if (bench::CorruptionAsked("langpack")) ours[ours.size() / 2] += u'x';
  if (ours != reference)
    bench::CheckFailed("language decode of " + std::to_string(count) + " strings differs from the reference's");
  TLanguagePack packed(gen.Image);
  packed.Pack(0, ours);
  if (TLanguagePack(packed.Image()).Decode(0) != ours)
    bench::CheckFailed("language pack of " + std::to_string(count) + " strings does not read back as its strings");
  std::printf("  language pack, %d strings: decode equals the reference's, pack reads back\n", count);
  if (options.CheckOnly) return;

  const std::string size = std::to_string(count) + " CJK strings, " + bench::Bytes(double(gen.Image.size()));
  bench::AddRow(bench::PairRow("language decode / reference tree walk", size,
                               bench::RunCallPairs([&] { benchmark::DoNotOptimize(pack.Decode(0)); },
                                                   [&] { benchmark::DoNotOptimize(ReferenceDecode(gen.Image, lang)); },
                                                   options.Pairs)));
  TLanguagePack target(gen.Image);
  const auto repack = [&] { target.Pack(0, ours); };
  const int repeats = bench::RepeatsFor(repack);
  std::vector<bench::TSample> samples;
  for (int i = 0; i < options.Pairs; ++i) samples.push_back(bench::TimeCalls(repack, repeats));
  bench::AddRow(bench::SoloRow("language pack (no peer)", size, samples));
}

void Drm(const bench::TOptions& options) {
  TGenDRMPlan plan;
  plan.Seed = 7;
  plan.RawPictures = 500;
  plan.TypedPictures = 500;
  plan.MaxSide = 180;
  const TGenDRM gen = GenerateDRM(plan);
  const TDRMImage image(gen.Image);
  TDRMListing listing = image.List();
  if (bench::CorruptionAsked("drm") && !listing.Pictures.empty()) ++listing.Pictures.back().Width;
  if (!listing.Complete || listing.Pictures.size() != gen.Pictures.size())
    bench::CheckFailed("DRM listing: " + std::to_string(listing.Pictures.size()) + " pictures, the generator wrote " +
                       std::to_string(gen.Pictures.size()));
  for (size_t i = 0; i < gen.Pictures.size(); ++i) {
    const TDRMPicture& ours = listing.Pictures[i];
    const TGenPicture& want = gen.Pictures[i];
    if (ours.Type != want.Type || ours.Width != want.Width || ours.Height != want.Height ||
        ours.Address != gen.Base + want.Offset || ours.Size != int32_t(want.Data.size()))
      bench::CheckFailed("DRM listing: picture " + std::to_string(i + 1) + " differs from the generator's");
  }
  std::printf("  DRM listing: the %zu pictures equal the generator's\n", listing.Pictures.size());
  if (options.CheckOnly) return;
  const auto list = [&] { benchmark::DoNotOptimize(image.List()); };
  const int repeats = bench::RepeatsFor(list);
  std::vector<bench::TSample> samples;
  for (int i = 0; i < options.Pairs; ++i) samples.push_back(bench::TimeCalls(list, repeats));
  bench::AddRow(bench::SoloRow("DRM listing (no peer)", "1000 pictures, " + bench::Bytes(double(gen.Image.size())), samples));
}

}  // namespace

int main(int argc, char** argv) {
  return bench::Main(argc, argv, [](const bench::TOptions& options) {
    for (int count : {375, 1500, 6000}) LanguagePack(count, options);
    Drm(options);
  });
}
