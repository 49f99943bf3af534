#include "TableFuzzCommon.h"

#include <cstdlib>

#include "framework/base/Exception.h"
#include "framework/base/TClientDataSet.h"
#include "framework/base/TField.h"
#include "framework/base/TStream.h"

namespace {

bool Load(TClientDataSet& table, const std::uint8_t* data, std::size_t size) {
  TMemoryStream stream;
  stream.WriteBuffer(data, static_cast<std::int64_t>(size));
  stream.SetPosition(0);
  try {
    table.LoadFromStream(stream);
    return true;
  } catch (const EDatabaseError&) {
    return false;
  }
}

std::string Dump(TClientDataSet& table) {
  std::string out;
  for (int r = 1; r <= table.RecordCount(); ++r) {
    for (int f = 0; f < table.FieldCount(); ++f) {
      if (table.Fields(f)->Calculated()) continue;
      TVariant v = table.RowValue(r, *table.Fields(f));
      out += v.IsNull() ? "~" : v.Type() == TVarType::varInteger ? IntToStr(v.Integer())
                            : v.Type() == TVarType::varString    ? v.String()
                                                                 : WideToUtf8(v.Wide());
      out += '|';
    }
    out += '\n';
  }
  return out;
}

void Exercise(TClientDataSet& table, TDataPacketFormat format) {
  table.SetIndexName("");
  std::string before = Dump(table);
  int steps = 0;
  for (table.First(); !table.Eof() && steps < 100000; table.Next()) ++steps;
  if (table.FieldCount() > 0) table.Locate(table.Fields(0)->FieldName(), TVariant(1));
  TMemoryStream saved;
  table.SaveToStream(saved, format);
  TClientDataSet again;
  saved.SetPosition(0);
  again.LoadFromStream(saved);  // what we wrote must load
  if (Dump(again) != before) std::abort();
}

}  // namespace

void FuzzTableLoad(const std::uint8_t* data, std::size_t size, TDataPacketFormat format) {
  TClientDataSet loose;
  if (Load(loose, data, size)) Exercise(loose, format);

  TClientDataSet grid;
  grid.AddIntegerField("CG");
  grid.AddStringField("Name", 255);
  grid.AddWideStringField("Text", 200);
  grid.AddStringField("A1Str", 8, TFieldKind::fkCalculated);
  grid.AddIndex("by_cg", "cg", TIndexOptions::ixUnique);
  grid.SetIndexName("by_cg");
  grid.SetOnCalcFields(TDataSetNotifyEvent::FromFunctor(
      [](TClientDataSet* ds) { ds->FieldByName("A1Str")->SetAsString(IntToHex(ds->FieldByName("CG")->AsInteger(), 8)); }));
  grid.CreateDataSet();
  grid.AppendRecord({1, "kept"});
  std::string before = Dump(grid);
  if (Load(grid, data, size)) Exercise(grid, format);
  else if (Dump(grid) != before) std::abort();  // a refused file changes nothing
}
