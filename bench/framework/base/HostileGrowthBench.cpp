// How the readers of outside text files grow with hostile input: an XML table whose elements
// carry many attributes, and ini files of many sections or of one section with many keys. Each is
// timed at 25k, 50k, 100k and 200k items; the peer of each size is the size before it, and each
// doubling of the items takes about twice the time where growth is linear, four times where it is
// quadratic. Printed as the table's ratios are, the peer's time over ours: about 0.5 for each
// doubling where growth is linear, 0.25 where it is quadratic.
//
// Checks first, at each size and at the size before it: each reader gives what the file holds (the
// table's fields, or its refusal alike at both sizes; every section, key and value of the ini).
// TARVEX_BENCH_CORRUPT=growth spoils one of our results, which must fail the check. --check-only
// stops after the checks.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include "bench/support/BenchSupport.h"
#include "framework/base/Exception.h"
#include "framework/base/TIniFile.h"
#include "framework/base/TStringList.h"
#include "framework/base/TablePacket.h"
#include "framework/base/TableXmlFormat.h"

namespace {

// A table file whose root element carries `attributes` attributes besides its own two.
std::string XmlWithRootAttributes(int attributes) {
  std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n<TARVEXTABLE";
  for (int i = 0; i < attributes; ++i) text += " a" + std::to_string(i) + "=\"0\"";
  return text + " version=\"1\" crc=\"00000000\"><FIELDS></FIELDS><ROWS/></TARVEXTABLE>\r\n";
}

// A table file, with a valid checksum, one of whose field definitions carries `attributes` attributes.
std::string XmlWithFieldAttributes(int attributes) {
  std::vector<TTableFieldDesc> fields(1);
  fields[0].Name = "ID";
  fields[0].Type = TFieldType::ftInteger;
  std::string text = WriteXmlTable(fields, {});
  std::string extra;
  for (int i = 0; i < attributes; ++i) extra += " x" + std::to_string(i) + "=\"0\"";
  const std::size_t field = text.find("<FIELD ") + 6;
  text.insert(field, extra);
  // The checksum covers what lies between the start tag and the end tag.
  const std::size_t body = text.find('>', text.find("<TARVEXTABLE")) + 1;
  const std::size_t end = text.rfind("</TARVEXTABLE>");
  char crc[9];
  std::snprintf(crc, sizeof crc, "%08X", TableCrc32(text.data() + body, end - body));
  text.replace(text.find("crc=\"") + 5, 8, crc);
  return text;
}

void ReadXml(benchmark::State& state, std::string (*make)(int)) {
  const std::string text = make(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    try {
      ReadXmlTable(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    } catch (const EDatabaseError&) {
    }
  }
  state.SetComplexityN(state.range(0));
}

// An ini file on disk, removed at the end.
class TIniText {
public:
  explicit TIniText(const std::string& text)
      : FName((std::filesystem::temp_directory_path() / ("tvx-growth-" + std::to_string(text.size()) + ".ini"))
                  .string()) {
    std::ofstream(FName, std::ios::binary) << text;
  }
  ~TIniText() { std::filesystem::remove(FName); }
  const std::string& Name() const { return FName; }

private:
  std::string FName;
};

std::string ManySections(int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += "[Section" + std::to_string(i) + "]\r\nKey=" + std::to_string(i) + "\r\n";
  return text;
}

std::string ManyKeys(int count) {
  std::string text = "[Section]\r\n";
  for (int i = 0; i < count; ++i) text += "Key" + std::to_string(i) + "=" + std::to_string(i) + "\r\n";
  return text;
}

void IniReadSections(benchmark::State& state) {
  TIniText file(ManySections(static_cast<int>(state.range(0))));
  TIniFile ini(file.Name());
  TStringList list;
  for (auto _ : state) ini.ReadSections(list);
  state.SetComplexityN(state.range(0));
}

void IniReadSection(benchmark::State& state) {
  TIniText file(ManyKeys(static_cast<int>(state.range(0))));
  TIniFile ini(file.Name());
  TStringList list;
  for (auto _ : state) ini.ReadSection("Section", list);
  state.SetComplexityN(state.range(0));
}

void IniReadSectionValues(benchmark::State& state) {
  TIniText file(ManyKeys(static_cast<int>(state.range(0))));
  TIniFile ini(file.Name());
  TStringList list;
  for (auto _ : state) ini.ReadSectionValues("Section", list);
  state.SetComplexityN(state.range(0));
}

// Every value looked up by name, as a caller walking the section list does.
void IniReadEverySection(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  TIniText file(ManySections(count));
  TIniFile ini(file.Name());
  for (auto _ : state) {
    std::size_t total = 0;
    for (int i = 0; i < count; ++i) total += ini.ReadString("Section" + std::to_string(i), "Key", "").size();
    benchmark::DoNotOptimize(total);
  }
  state.SetComplexityN(state.range(0));
}

void IniReadEveryKey(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  TIniText file(ManyKeys(count));
  TIniFile ini(file.Name());
  for (auto _ : state) {
    std::size_t total = 0;
    for (int i = 0; i < count; ++i) total += ini.ReadString("Section", "Key" + std::to_string(i), "").size();
    benchmark::DoNotOptimize(total);
  }
  state.SetComplexityN(state.range(0));
}

void IniLoad(benchmark::State& state, std::string (*make)(int)) {
  TIniText file(make(static_cast<int>(state.range(0))));
  for (auto _ : state) {
    TIniFile ini(file.Name());
    benchmark::DoNotOptimize(ini.SectionExists("none"));
  }
  state.SetComplexityN(state.range(0));
}

// Keeps each run's processor time (steadier than wall time on a busy machine) by family and size,
// so that the growth can be printed after the table.
class TGrowthReporter : public benchmark::ConsoleReporter {
public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs)
      if (run.run_type == Run::RT_Iteration) {
        const std::string name = run.benchmark_name();
        Times[name.substr(0, name.rfind('/'))][run.complexity_n] = run.GetAdjustedCPUTime();
      }
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, std::map<std::int64_t, double>> Times;
};

constexpr int kSizes[] = {25000, 50000, 100000, 200000};

void Sizes(benchmark::internal::Benchmark* b) {
  for (int n : kSizes) b->Arg(n);
  b->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);
}

// What the table reader makes of a file: its field names, or "refused".
std::string XmlOutcome(const std::string& text) {
  try {
    const TTablePacket packet = ReadXmlTable(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    std::string fields;
    for (const TTableFieldDesc& f : packet.Fields) fields += f.Name + ";";
    return fields + std::to_string(packet.Rows.size()) + " rows";
  } catch (const EDatabaseError&) {
    return "refused";
  }
}

// The readers at n items, against what the file holds and what the reader gave at the size before.
void CheckSize(int n, int before) {
  const std::string size = std::to_string(n / 1000) + "k: ";
  const std::string rootOutcome = XmlOutcome(XmlWithRootAttributes(n));
  if (rootOutcome != XmlOutcome(XmlWithRootAttributes(before)))
    bench::CheckFailed(size + "a table with many root attributes reads as " + rootOutcome + ", at " +
                       std::to_string(before / 1000) + "k otherwise");
  const std::string fieldOutcome = XmlOutcome(XmlWithFieldAttributes(n));
  if (fieldOutcome != XmlOutcome(XmlWithFieldAttributes(before)))
    bench::CheckFailed(size + "a table with a field of many attributes reads as " + fieldOutcome + ", at " +
                       std::to_string(before / 1000) + "k otherwise");

  const bool corrupt = bench::CorruptionAsked("growth") && n == kSizes[std::size(kSizes) - 1];
  TIniText sections(ManySections(n)), keys(ManyKeys(n));
  TIniFile manySections(sections.Name()), manyKeys(keys.Name());
  TStringList list;
  manySections.ReadSections(list);
  const int listed = list.Count() + (corrupt ? 1 : 0);
  if (listed != n || list[n - 1] != "Section" + std::to_string(n - 1))
    bench::CheckFailed(size + std::to_string(listed) + " sections listed");
  manyKeys.ReadSection("Section", list);
  if (list.Count() != n || list[n - 1] != "Key" + std::to_string(n - 1))
    bench::CheckFailed(size + std::to_string(list.Count()) + " keys listed");
  manyKeys.ReadSectionValues("Section", list);
  if (list.Count() != n || list[n / 2] != "Key" + std::to_string(n / 2) + "=" + std::to_string(n / 2))
    bench::CheckFailed(size + std::to_string(list.Count()) + " values listed");
  for (const int i : {0, n / 3, n - 1}) {
    const std::string want = std::to_string(i);
    if (manySections.ReadString("Section" + want, "Key", "") != want || manyKeys.ReadString("Section", "Key" + want, "") != want)
      bench::CheckFailed(size + "the value of item " + want + " reads wrong");
  }
}

}  // namespace

BENCHMARK_CAPTURE(ReadXml, RootAttributes, XmlWithRootAttributes)->Apply(Sizes);
BENCHMARK_CAPTURE(ReadXml, FieldAttributes, XmlWithFieldAttributes)->Apply(Sizes);
BENCHMARK_CAPTURE(IniLoad, Sections, ManySections)->Apply(Sizes);
BENCHMARK_CAPTURE(IniLoad, Keys, ManyKeys)->Apply(Sizes);
BENCHMARK(IniReadSections)->Apply(Sizes);
BENCHMARK(IniReadSection)->Apply(Sizes);
BENCHMARK(IniReadSectionValues)->Apply(Sizes);
BENCHMARK(IniReadEverySection)->Apply(Sizes);
BENCHMARK(IniReadEveryKey)->Apply(Sizes);

int main(int argc, char** argv) {
  return bench::Main(argc, argv, [&](const bench::TOptions& options) {
    // The generated table is sound where its attributes are few.
    if (const std::string few = XmlOutcome(XmlWithFieldAttributes(2)); few != "ID;0 rows")
      bench::CheckFailed("a table with a field of two more attributes reads as " + few);
    for (std::size_t i = 1; i < std::size(kSizes); ++i) CheckSize(kSizes[i], kSizes[i - 1]);
    if (options.CheckOnly) return;
    benchmark::Initialize(&argc, argv);
    TGrowthReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (const auto& [family, times] : reporter.Times) {
      std::string steps;
      for (auto before = times.begin(), after = std::next(before); after != times.end(); before = after++) {
        if (after->second <= 0) continue;
        char step[64];
        std::snprintf(step, sizeof step, " %lldk/%lldk %.2f", static_cast<long long>(before->first / 1000),
                      static_cast<long long>(after->first / 1000), before->second / after->second);
        steps += step;
      }
      std::printf("%s:%s (linear 0.50, quadratic 0.25)\n", family.c_str(), steps.c_str());
    }
    benchmark::Shutdown();
  });
}
