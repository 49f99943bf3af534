// The record table against SQLite in memory on a language's strings: 10 000 rows of an integer
// id and a UTF-16 text, appended in id order (as decoding a language does) and scanned in the
// id index's order. The table also fills a calculated field on every row it reaches; SQLite is
// given its fastest set-up (UTF-16 storage, no journal, one transaction, prepared statements).

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "framework/base/TClientDataSet.h"
#include "framework/base/TField.h"
#include "framework/base/TStream.h"

namespace {

constexpr int kRows = 10000;

// Texts of the lengths and scripts a language pack holds: Latin with accents, Cyrillic, CJK.
const std::vector<WideString>& Strings() {
  static const std::vector<WideString> strings = [] {
    std::mt19937 random(42);
    const char16_t bases[] = {u'a', u'\u00E0', u'\u0430', u'\u4E00'};
    std::vector<WideString> out;
    for (int i = 0; i < kRows; ++i) {
      char16_t base = bases[random() % 4];
      WideString s;
      std::size_t length = 4 + random() % 60;
      for (std::size_t k = 0; k < length; ++k)
        s += k % 7 == 6 ? u' ' : static_cast<char16_t>(base + random() % (base == u'\u4E00' ? 2000 : 26));
      out.push_back(std::move(s));
    }
    return out;
  }();
  return strings;
}

class TStringsTable {
public:
  TStringsTable() {
    FId = Table.AddIntegerField("ID");
    FText = Table.AddWideStringField("Text", 200);
    FIdStr = Table.AddStringField("IDStr", 4, TFieldKind::fkCalculated);
    Table.SetOnCalcFields(TDataSetNotifyEvent(this, &TStringsTable::CalcFields));
    Table.AddIndex("by_id", "ID");
    Table.SetIndexName("by_id");
  }
  void CalcFields(TClientDataSet*) { FIdStr->SetAsString(IntToHex(FId->AsInteger(), 4)); }
  void Fill() {
    Table.CreateDataSet();
    const auto& strings = Strings();
    for (int i = 0; i < kRows; ++i) Table.AppendRecord({i + 1, strings[static_cast<std::size_t>(i)]});
  }
  std::size_t Scan() {
    std::size_t total = 0;
    for (Table.First(); !Table.Eof(); Table.Next())
      total += static_cast<std::size_t>(FId->Value().Integer()) + FText->Value().Wide().size() +
               FIdStr->Value().String().size();
    return total;
  }

  TClientDataSet Table;

private:
  TField* FId;
  TField* FText;
  TField* FIdStr;
};

void TableAppendAndScan(benchmark::State& state) {
  for (auto _ : state) {
    TStringsTable t;
    t.Fill();
    benchmark::DoNotOptimize(t.Scan());
  }
  state.SetItemsProcessed(state.iterations() * kRows);
}

void Check(int rc, sqlite3* db) {
  if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
    std::fprintf(stderr, "sqlite: %s\n", sqlite3_errmsg(db));
    std::abort();
  }
}

void SQLiteInsertAndScan(benchmark::State& state) {
  const auto& strings = Strings();
  for (auto _ : state) {
    sqlite3* db = nullptr;
    Check(sqlite3_open(":memory:", &db), db);
    Check(sqlite3_exec(db,
                       "PRAGMA encoding='UTF-16le'; PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF;"
                       "CREATE TABLE strings(id INTEGER PRIMARY KEY, text TEXT);",
                       nullptr, nullptr, nullptr),
          db);
    Check(sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr), db);
    sqlite3_stmt* insert = nullptr;
    Check(sqlite3_prepare_v2(db, "INSERT INTO strings VALUES(?, ?)", -1, &insert, nullptr), db);
    for (int i = 0; i < kRows; ++i) {
      const WideString& s = strings[static_cast<std::size_t>(i)];
      sqlite3_bind_int(insert, 1, i + 1);
      sqlite3_bind_text16(insert, 2, s.data(), static_cast<int>(s.size() * 2), SQLITE_STATIC);
      Check(sqlite3_step(insert), db);
      sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    Check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db);
    sqlite3_stmt* select = nullptr;
    Check(sqlite3_prepare_v2(db, "SELECT id, text FROM strings ORDER BY id", -1, &select, nullptr), db);
    std::size_t total = 0;
    while (sqlite3_step(select) == SQLITE_ROW) {
      total += static_cast<std::size_t>(sqlite3_column_int(select, 0));
      benchmark::DoNotOptimize(sqlite3_column_text16(select, 1));
      total += static_cast<std::size_t>(sqlite3_column_bytes16(select, 1)) / 2;
    }
    sqlite3_finalize(select);
    sqlite3_close(db);
    benchmark::DoNotOptimize(total);
  }
  state.SetItemsProcessed(state.iterations() * kRows);
}

void TableSave(benchmark::State& state, TDataPacketFormat format) {
  TStringsTable t;
  t.Fill();
  std::int64_t bytes = 0;
  for (auto _ : state) {
    TMemoryStream m;
    t.Table.SaveToStream(m, format);
    bytes = m.Size();
  }
  state.SetBytesProcessed(state.iterations() * bytes);
}

void TableLoad(benchmark::State& state, TDataPacketFormat format) {
  TStringsTable source;
  source.Fill();
  TMemoryStream saved;
  source.Table.SaveToStream(saved, format);
  for (auto _ : state) {
    TStringsTable t;
    saved.SetPosition(0);
    t.Table.LoadFromStream(saved);
    benchmark::DoNotOptimize(t.Table.RecordCount());
  }
  state.SetBytesProcessed(state.iterations() * saved.Size());
}

// Keeps each run's time so the ratio can be printed after the table of results.
class TRatioReporter : public benchmark::ConsoleReporter {
public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs)
      if (run.run_type == Run::RT_Iteration) Times[run.benchmark_name()] = run.GetAdjustedRealTime();
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> Times;
};

}  // namespace

BENCHMARK(TableAppendAndScan)->Unit(benchmark::kMillisecond);
BENCHMARK(SQLiteInsertAndScan)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(TableSave, Binary, TDataPacketFormat::dfBinary)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(TableLoad, Binary, TDataPacketFormat::dfBinary)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(TableSave, XML, TDataPacketFormat::dfXML)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(TableLoad, XML, TDataPacketFormat::dfXML)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  TRatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  auto table = reporter.Times.find("TableAppendAndScan");
  auto peer = reporter.Times.find("SQLiteInsertAndScan");
  if (table != reporter.Times.end() && peer != reporter.Times.end() && table->second > 0)
    std::printf("append+scan of %d wide rows: SQLite time / table time = %.2f (goal: at least 1.00)\n", kRows,
                peer->second / table->second);
  benchmark::Shutdown();
  return 0;
}
