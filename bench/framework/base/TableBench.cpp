// The record table against SQLite in memory on a language's strings, both in-process, alternated
// run by run: 10 000 rows of an integer id and a UTF-16 text, appended in id order (as decoding a
// language does) and scanned in the id index's order. The table fills a calculated field (the id in
// four hex digits) on every row it reaches, and SQLite computes the same in its query; SQLite is
// given its fastest set-up (UTF-16 storage, no journal, one transaction, prepared statements).
// Before timing, the rows each reads back must be equal. TARVEX_BENCH_CORRUPT=table changes one.

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <functional>
#include <stdexcept>
#include <utility>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "bench/support/BenchSupport.h"
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
  // Calls onRow(id, text, id in hex) for each row in the index's order.
  template <typename TOnRow>
  void Scan(TOnRow&& onRow) {
    for (Table.First(); !Table.Eof(); Table.Next())
      onRow(FId->Value().Integer(), FText->Value().Wide(), FIdStr->Value().String());
  }

  TClientDataSet Table;

private:
  TField* FId;
  TField* FText;
  TField* FIdStr;
};

struct TReadRow {
  int Id = 0;
  WideString Text;
  std::string IdHex;
  bool operator==(const TReadRow&) const = default;
};

// Fills the table and reads it back; with `rows`, keeps what it read.
std::size_t TableAppendAndScan(std::vector<TReadRow>* rows = nullptr) {
  TStringsTable t;
  t.Fill();
  std::size_t total = 0;
  t.Scan([&](int id, const WideString& text, const std::string& hex) {
    total += static_cast<std::size_t>(id) + text.size() + hex.size();
    if (rows) rows->push_back({id, text, hex});
  });
  return total;
}

void Check(int rc, sqlite3* db) {
  if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW)
    throw std::runtime_error(std::string("sqlite: ") + sqlite3_errmsg(db));
}

std::size_t SQLiteInsertAndScan(std::vector<TReadRow>* rows = nullptr) {
  const auto& strings = Strings();
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
  Check(sqlite3_prepare_v2(db, "SELECT id, text, printf('%04X', id) FROM strings ORDER BY id", -1, &select, nullptr),
        db);
  std::size_t total = 0;
  while (sqlite3_step(select) == SQLITE_ROW) {
    const int id = sqlite3_column_int(select, 0);
    const auto* text = static_cast<const char16_t*>(sqlite3_column_text16(select, 1));
    const std::size_t length = static_cast<std::size_t>(sqlite3_column_bytes16(select, 1)) / 2;
    const auto* hex = sqlite3_column_text(select, 2);
    const std::size_t hexLength = static_cast<std::size_t>(sqlite3_column_bytes(select, 2));
    total += static_cast<std::size_t>(id) + length + hexLength;
    if (rows)
      rows->push_back({id, WideString(text, length), std::string(reinterpret_cast<const char*>(hex), hexLength)});
  }
  sqlite3_finalize(select);
  sqlite3_close(db);
  return total;
}

// Saving and loading the table in a format (no peer): median and range of `runs` runs each.
void SaveAndLoad(TDataPacketFormat format, const char* name, int runs) {
  TStringsTable source;
  source.Fill();
  TMemoryStream saved;
  source.Table.SaveToStream(saved, format);
  const std::string size = bench::Bytes(static_cast<double>(saved.Size())) + " packet";
  const auto save = [&] {
    TMemoryStream m;
    source.Table.SaveToStream(m, format);
  };
  const auto load = [&] {
    TStringsTable t;
    saved.SetPosition(0);
    t.Table.LoadFromStream(saved);
    benchmark::DoNotOptimize(t.Table.RecordCount());
  };
  for (const auto& [work, call] : {std::pair{"save", std::function<void()>(save)}, std::pair{"load", std::function<void()>(load)}}) {
    const int repeats = bench::RepeatsFor(call);
    std::vector<bench::TSample> samples;
    for (int i = 0; i < runs; ++i) samples.push_back(bench::TimeCalls(call, repeats));
    bench::AddRow(bench::SoloRow(std::string("record table ") + work + " as " + name + " (no peer)", size, samples));
  }
}

}  // namespace

int main(int argc, char** argv) {
  return bench::Main(argc, argv, [](const bench::TOptions& options) {
    std::vector<TReadRow> ours, peer;
    TableAppendAndScan(&ours);
    SQLiteInsertAndScan(&peer);
    if (bench::CorruptionAsked("table") && !ours.empty()) ours[ours.size() / 2].Text += u'x';
    if (ours.size() != peer.size())
      bench::CheckFailed("record table: " + std::to_string(ours.size()) + " rows read back, SQLite " +
                         std::to_string(peer.size()));
    for (std::size_t i = 0; i < ours.size(); ++i)
      if (ours[i] != peer[i]) bench::CheckFailed("record table: row " + std::to_string(i + 1) + " differs from SQLite's");
    std::printf("  record table: the %zu rows read back equal SQLite's\n", ours.size());
    if (options.CheckOnly) return;
    bench::AddRow(bench::PairRow("record table append + scan / SQLite in memory", std::to_string(kRows) + " UTF-16 rows",
                                 bench::RunCallPairs([] { benchmark::DoNotOptimize(TableAppendAndScan()); },
                                                     [] { benchmark::DoNotOptimize(SQLiteInsertAndScan()); },
                                                     options.Pairs)));
    SaveAndLoad(TDataPacketFormat::dfBinary, "binary", options.Pairs);
    SaveAndLoad(TDataPacketFormat::dfXML, "XML", options.Pairs);
  });
}
