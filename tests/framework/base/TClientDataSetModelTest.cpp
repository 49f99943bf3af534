// Random operations on a table checked against a plain model of it: every index must hold the
// rows in (key, insertion) order and the cursor must stay on the row the operations say.

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <random>

#include "framework/base/TClientDataSet.h"

namespace {

struct TModelRow {
  int Serial;  // insertion order
  std::optional<int> Key;
  std::string Text;
};

bool KeyLess(const TModelRow& a, const TModelRow& b) {
  if (a.Key != b.Key) return !a.Key.has_value() || (b.Key.has_value() && *a.Key < *b.Key);
  return a.Serial < b.Serial;
}

bool TextLess(const TModelRow& a, const TModelRow& b) {
  if (a.Text != b.Text) return a.Text.empty() || (!b.Text.empty() && a.Text < b.Text);
  return a.Serial < b.Serial;
}

}  // namespace

TEST(TClientDataSetModel, RandomOperationsKeepEveryOrderAndTheCurrentRow) {
  TClientDataSet t;
  TField* serial = t.AddIntegerField("Serial");
  TField* key = t.AddIntegerField("Key");
  TField* text = t.AddStringField("Text", 3);
  t.AddIndex("by_key", "Key");
  t.AddIndex("by_text", "Text");
  t.CreateDataSet();
  std::vector<TModelRow> model;
  std::mt19937 random(7);
  int next = 0;
  int current = -1;  // Serial of the current row
  const char* indexes[] = {"", "by_key", "by_text"};

  auto ordered = [&] {
    std::vector<TModelRow> rows = model;
    if (t.IndexName() == "by_key") std::sort(rows.begin(), rows.end(), KeyLess);
    if (t.IndexName() == "by_text") std::sort(rows.begin(), rows.end(), TextLess);
    return rows;
  };
  auto randomKey = [&]() -> std::optional<int> {
    if (random() % 5 == 0) return std::nullopt;
    return static_cast<int>(random() % 20) - 10;
  };
  auto randomText = [&] { return random() % 4 == 0 ? std::string() : std::string(1, static_cast<char>('a' + random() % 6)); };

  for (int step = 0; step < 3000; ++step) {
    switch (random() % 7) {
      case 0:
      case 1: {
        TModelRow row{next++, randomKey(), randomText()};
        t.AppendRecord({row.Serial, row.Key ? TVariant(*row.Key) : TVariant(), row.Text});
        model.push_back(row);
        current = row.Serial;
        break;
      }
      case 2:
        if (!model.empty()) {
          auto it = std::find_if(model.begin(), model.end(), [&](const TModelRow& r) { return r.Serial == current; });
          it->Key = randomKey();
          it->Text = randomText();
          t.Edit();
          key->SetValue(it->Key ? TVariant(*it->Key) : TVariant());
          text->SetAsString(it->Text);
          t.Post();
        }
        break;
      case 3:
        if (!model.empty()) {
          std::vector<TModelRow> rows = ordered();
          auto at = std::find_if(rows.begin(), rows.end(), [&](const TModelRow& r) { return r.Serial == current; });
          std::size_t position = static_cast<std::size_t>(at - rows.begin());
          t.Delete();
          std::erase_if(model, [&](const TModelRow& r) { return r.Serial == current; });
          rows.erase(at);
          current = rows.empty() ? -1 : rows[std::min(position, rows.size() - 1)].Serial;
        }
        break;
      case 4:
        t.SetIndexName(indexes[random() % 3]);
        break;
      case 5:
        if (!model.empty()) {
          int recNo = 1 + static_cast<int>(random() % model.size());
          t.SetRecNo(recNo);
          current = ordered()[static_cast<std::size_t>(recNo - 1)].Serial;
        }
        break;
      case 6:
        if (!model.empty()) {
          const TModelRow& wanted = model[random() % model.size()];
          ASSERT_TRUE(t.Locate("Serial", wanted.Serial));
          current = wanted.Serial;
        }
        break;
    }
    ASSERT_EQ(t.RecordCount(), static_cast<int>(model.size())) << "step " << step;
    if (current >= 0) {
      ASSERT_EQ(serial->AsInteger(), current) << "step " << step;
    }
    if (step % 50 == 0 || step > 2950) {
      std::vector<TModelRow> rows = ordered();
      for (int r = 0; r < static_cast<int>(rows.size()); ++r)
        ASSERT_EQ(t.RowValue(r + 1, *serial).Integer(), rows[static_cast<std::size_t>(r)].Serial)
            << "step " << step << " index " << t.IndexName() << " row " << r + 1;
    }
  }
}
