// How the readers of outside text files grow with hostile input: an XML table whose elements
// carry many attributes, and ini files of many sections or of one section with many keys. Each is
// timed at 25k, 50k, 100k and 200k items; the peer of each size is the size before it, and each
// doubling of the items takes about twice the time where growth is linear, four times where it is
// quadratic.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include "framework/base/Exception.h"
#include "framework/base/TIniFile.h"
#include "framework/base/TStringList.h"
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

void Sizes(benchmark::internal::Benchmark* b) {
  for (int n : {25000, 50000, 100000, 200000}) b->Arg(n);
  b->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);
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
  benchmark::Initialize(&argc, argv);
  TGrowthReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  for (const auto& [family, times] : reporter.Times) {
    std::string steps;
    for (auto before = times.begin(), after = std::next(before); after != times.end(); before = after++) {
      if (before->second <= 0) continue;
      char step[64];
      std::snprintf(step, sizeof step, " %lldk->%lldk x%.1f", static_cast<long long>(before->first / 1000),
                    static_cast<long long>(after->first / 1000), after->second / before->second);
      steps += step;
    }
    std::printf("%s:%s (linear x2, quadratic x4)\n", family.c_str(), steps.c_str());
  }
  benchmark::Shutdown();
  return 0;
}
