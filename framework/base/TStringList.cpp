#include "framework/base/TStringList.h"

#include <algorithm>

#include "framework/base/AnsiStrings.h"
#include "framework/base/Exception.h"
#include "framework/base/TAtomicFileStream.h"
#include "framework/base/TStream.h"

TStringList::TStringList(const TStringList& other)
    : TObject(other),
      FItems(other.FItems),
      FSorted(other.FSorted),
      FCaseSensitive(other.FCaseSensitive),
      FDuplicates(other.FDuplicates) {}

TStringList& TStringList::operator=(const TStringList& other) {
  if (this != &other) {
    FItems = other.FItems;
    FSorted = other.FSorted;
    FCaseSensitive = other.FCaseSensitive;
    FDuplicates = other.FDuplicates;
    Changed();
  }
  return *this;
}

int TStringList::Compare(const std::string& a, const std::string& b) const {
  return FCaseSensitive ? CompareStr(a, b) : CompareText(a, b);
}

void TStringList::CheckIndex(int index) const {
  if (index < 0 || index >= Count()) throw EStringListError("List index out of bounds (" + IntToStr(index) + ")");
}

void TStringList::Changed() {
  if (FUpdateCount == 0 && FOnChange) FOnChange(this);
}

void TStringList::EndUpdate() {
  if (FUpdateCount > 0 && --FUpdateCount == 0) Changed();
}

const std::string& TStringList::Strings(int index) const {
  CheckIndex(index);
  return FItems[static_cast<std::size_t>(index)].Text;
}

void TStringList::SetStrings(int index, const std::string& text) {
  if (FSorted) throw EStringListError("Operation not allowed on sorted list");
  CheckIndex(index);
  FItems[static_cast<std::size_t>(index)].Text = text;
  Changed();
}

TObject* TStringList::Objects(int index) const {
  CheckIndex(index);
  return FItems[static_cast<std::size_t>(index)].Object;
}

void TStringList::SetObjects(int index, TObject* object) {
  CheckIndex(index);
  FItems[static_cast<std::size_t>(index)].Object = object;
  Changed();
}

int TStringList::Add(const std::string& text) { return AddObject(text, nullptr); }

int TStringList::AddObject(const std::string& text, TObject* object) {
  int index = Count();
  if (FSorted && Find(text, index)) {
    if (FDuplicates == TDuplicates::dupIgnore) return index;
    if (FDuplicates == TDuplicates::dupError) throw EStringListError("String list does not allow duplicates");
    // Duplicates go after their equals, so equal items keep the order they came in.
    while (index < Count() && Compare(FItems[static_cast<std::size_t>(index)].Text, text) == 0) ++index;
  }
  FItems.insert(FItems.begin() + index, TItem{text, object});
  Changed();
  return index;
}

void TStringList::AddStrings(const TStringList& other) {
  BeginUpdate();
  try {
    for (const TItem& item : std::vector<TItem>(other.FItems)) AddObject(item.Text, item.Object);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TStringList::Insert(int index, const std::string& text) { InsertObject(index, text, nullptr); }

void TStringList::InsertObject(int index, const std::string& text, TObject* object) {
  if (FSorted) throw EStringListError("Operation not allowed on sorted list");
  if (index < 0 || index > Count()) throw EStringListError("List index out of bounds (" + IntToStr(index) + ")");
  FItems.insert(FItems.begin() + index, TItem{text, object});
  Changed();
}

void TStringList::Delete(int index) {
  CheckIndex(index);
  FItems.erase(FItems.begin() + index);
  Changed();
}

void TStringList::Exchange(int index1, int index2) {
  if (FSorted) throw EStringListError("Operation not allowed on sorted list");
  CheckIndex(index1);
  CheckIndex(index2);
  std::swap(FItems[static_cast<std::size_t>(index1)], FItems[static_cast<std::size_t>(index2)]);
  Changed();
}

void TStringList::Clear() {
  if (FItems.empty()) return;
  FItems.clear();
  Changed();
}

int TStringList::IndexOf(const std::string& text) const {
  if (FSorted) {
    int index;
    return Find(text, index) ? index : -1;
  }
  for (int i = 0; i < Count(); ++i)
    if (Compare(FItems[static_cast<std::size_t>(i)].Text, text) == 0) return i;
  return -1;
}

int TStringList::IndexOfObject(const TObject* object) const {
  for (int i = 0; i < Count(); ++i)
    if (FItems[static_cast<std::size_t>(i)].Object == object) return i;
  return -1;
}

bool TStringList::Find(const std::string& text, int& index) const {
  // First of the equal items, so IndexOf and duplicate handling see the same one.
  int lo = 0, hi = Count();
  while (lo < hi) {
    int mid = lo + (hi - lo) / 2;
    if (Compare(FItems[static_cast<std::size_t>(mid)].Text, text) < 0) lo = mid + 1;
    else hi = mid;
  }
  index = lo;
  return lo < Count() && Compare(FItems[static_cast<std::size_t>(lo)].Text, text) == 0;
}

void TStringList::Sort() {
  std::stable_sort(FItems.begin(), FItems.end(),
                   [this](const TItem& a, const TItem& b) { return Compare(a.Text, b.Text) < 0; });
  Changed();
}

void TStringList::SetSorted(bool value) {
  if (FSorted == value) return;
  if (value) Sort();
  FSorted = value;
}

void TStringList::SetCaseSensitive(bool value) {
  if (FCaseSensitive == value) return;
  FCaseSensitive = value;
  if (FSorted) Sort();
}

std::string TStringList::Text() const {
  std::string out;
  for (const TItem& item : FItems) {
    out += item.Text;
    out += "\r\n";
  }
  return out;
}

void TStringList::SetText(const std::string& text) {
  BeginUpdate();
  FItems.clear();
  std::size_t i = 0, n = text.size();
  try {
    while (i < n) {
      std::size_t start = i;
      while (i < n && text[i] != '\r' && text[i] != '\n') ++i;
      Add(text.substr(start, i - start));
      if (i < n && text[i] == '\r') ++i;
      else if (i < n) ++i;  // LF alone
      if (i < n && i > 0 && text[i - 1] == '\r' && text[i] == '\n') ++i;
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

std::string TStringList::CommaText() const {
  std::string out;
  for (std::size_t k = 0; k < FItems.size(); ++k) {
    const std::string& s = FItems[k].Text;
    if (k > 0) out += ',';
    bool quote = s.empty() && FItems.size() == 1;
    for (char c : s)
      if (static_cast<unsigned char>(c) <= ' ' || c == ',' || c == '"') quote = true;
    if (!quote) {
      out += s;
      continue;
    }
    out += '"';
    for (char c : s) {
      if (c == '"') out += '"';
      out += c;
    }
    out += '"';
  }
  return out;
}

void TStringList::SetCommaText(const std::string& text) {
  BeginUpdate();
  FItems.clear();
  std::size_t i = 0, n = text.size();
  auto skipBlanks = [&] {
    while (i < n && static_cast<unsigned char>(text[i]) <= ' ') ++i;
  };
  try {
    skipBlanks();
    while (i < n) {
      std::string item;
      if (text[i] == '"') {
        ++i;
        while (i < n) {
          if (text[i] == '"') {
            if (i + 1 < n && text[i + 1] == '"') {
              item += '"';
              i += 2;
              continue;
            }
            ++i;
            break;
          }
          item += text[i++];
        }
        // Anything after the closing quote up to the separator belongs to the item.
        while (i < n && text[i] != ',' && static_cast<unsigned char>(text[i]) > ' ') item += text[i++];
      } else {
        while (i < n && text[i] != ',' && static_cast<unsigned char>(text[i]) > ' ') item += text[i++];
      }
      Add(item);
      skipBlanks();
      if (i < n && text[i] == ',') {
        ++i;
        skipBlanks();
        if (i >= n) Add("");
      }
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

std::string TStringList::Names(int index) const {
  const std::string& s = Strings(index);
  std::size_t eq = s.find('=');
  return eq == std::string::npos ? "" : s.substr(0, eq);
}

std::string TStringList::ValueFromIndex(int index) const {
  const std::string& s = Strings(index);
  std::size_t eq = s.find('=');
  return eq == std::string::npos ? "" : s.substr(eq + 1);
}

int TStringList::IndexOfName(const std::string& name) const {
  for (int i = 0; i < Count(); ++i) {
    const std::string& s = FItems[static_cast<std::size_t>(i)].Text;
    std::size_t eq = s.find('=');
    if (eq != std::string::npos && Compare(s.substr(0, eq), name) == 0) return i;
  }
  return -1;
}

std::string TStringList::Values(const std::string& name) const {
  int i = IndexOfName(name);
  return i < 0 ? "" : ValueFromIndex(i);
}

void TStringList::SetValues(const std::string& name, const std::string& value) {
  int i = IndexOfName(name);
  if (value.empty()) {
    if (i >= 0) Delete(i);
    return;
  }
  if (i < 0) {
    Add(name + "=" + value);
  } else if (FSorted) {
    Delete(i);
    Add(name + "=" + value);
  } else {
    SetStrings(i, name + "=" + value);
  }
}

void TStringList::LoadFromStream(TStream& stream) {
  std::int64_t size = stream.Size() - stream.Position();
  if (size < 0) size = 0;
  std::string text(static_cast<std::size_t>(size), '\0');
  if (size > 0) stream.ReadBuffer(text.data(), size);
  SetText(text);
}

void TStringList::SaveToStream(TStream& stream) const {
  std::string text = Text();
  stream.WriteBuffer(text.data(), static_cast<std::int64_t>(text.size()));
}

void TStringList::LoadFromFile(const std::string& fileName) {
  TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(file);
}

void TStringList::SaveToFile(const std::string& fileName) const {
  TAtomicFileStream file(fileName);
  SaveToStream(file);
  file.Commit();
}
